// The read-only INI parser of the skin description: the text is parsed once into memory and answers
// section and key lookups from there; nothing is ever written back.
//
// - Lines end at CR, LF or CR LF; a NUL ends the whole text. Each line is trimmed (characters up to
//   code 32); empty lines and lines starting with ';' are dropped. A ';' later in a line, or a '#',
//   is ordinary text.
// - A kept line that starts with '[' and ends with ']' is a section header. Sections are found by
//   "[" + name + "]" without regard to (ASCII) case; spaces inside the brackets count. Of two sections
//   of one name only the first is searched.
// - Keys match without regard to case; the first occurrence of a key in its section wins, and an
//   empty value there gives the default (a later duplicate is never seen).
// - Lines before the first header belong to no section and are never read.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Lists.h"
#include "Streams.h"
#include "Unicode.h"

namespace skin {

class TQuickIni {
 public:
  TQuickIni() = default;

  // Replaces the contents with the text from the stream's current position to its end, decoded from
  // `codePage` to UTF-8. A null stream changes nothing; read errors of the stream propagate.
  void LoadFromStream(cl::TStream* stream, unsigned codePage = cl::AnsiCodePage());
  // The same from bytes in memory.
  void LoadFromBytes(std::string_view bytes, unsigned codePage = cl::AnsiCodePage());

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal with an optional sign, "$" and hexadecimal digits, or "0x"/"0X" and hexadecimal digits
  // (up to 32 bits, two's complement); anything else, or a number outside 32 bits, gives `def`.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  // The section names without brackets, in text order, duplicates included. The list form replaces
  // the list's contents (a null list is left alone).
  std::vector<std::string> ReadSections() const;
  void ReadSections(cl::TStrings* list) const;

  // The kept lines and the section index, for inspection.
  const std::vector<std::string>& Lines() const noexcept { return lines_; }
  int SectionCount() const noexcept { return static_cast<int>(sections_.size()); }

  // The line number of the header "[" + name + "]", or -1.
  int FindSection(std::string_view name) const;
  // The text before the first '=' of the line, trimmed and lower-cased; empty without a '='.
  static std::string KeyOfLine(std::string_view line);
  // The trimmed text after the first '=' when the line's key is exactly `key` (both non-empty), else "".
  static std::string ValueOfLine(std::string_view line, std::string_view key);
  static bool IsSectionLine(std::string_view line);
  // Removes leading and trailing characters with codes up to 32.
  static std::string_view Trim(std::string_view s);
  // Decimal with an optional sign, or "$" and up to 32 bits of hexadecimal digits; false for anything else.
  static bool TryStrToInt(std::string_view s, int32_t& value);

 private:
  struct SectionEntry {
    std::string header;  // the kept line, brackets included
    int line;            // its index in lines_
  };
  std::vector<std::string> lines_;
  std::vector<SectionEntry> sections_;
  // The lower-cased header of each section name to the line of its first header: a lookup costs the
  // same with 16,000 sections as with 20.
  std::unordered_map<std::string, int> firstSection_;
};

}  // namespace skin
