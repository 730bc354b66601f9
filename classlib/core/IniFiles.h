// INI files: sections in brackets, then "key=value" lines. Our own engine, not the system profile functions,
// so that a file keeps its own code page whatever the system's is, and so that a write changes nothing but
// the line it concerns: comments, blank lines, order, spacing and every line end of the rest stay byte for
// byte.
//
// Lookup follows the system profile functions:
// - section and key names match without regard to (ASCII) case, compared as decoded text; blanks (space,
//   tab, VT, FF) around names and values do not count;
// - a line whose first non-blank character is ';' is a comment; a line whose first non-blank character is
//   '[' and that holds a ']' is a section header, its name running to the last ']';
// - a value enclosed in matching double or single quotes reads without them;
// - a non-blank line without '=' is a key without a value: it is not listed by ReadSection, reads as the
//   default and ValueExists is false for it, but a write of that key fills in its line and DeleteKey
//   removes it;
// - of two sections (or two keys in a section) with the same name the first wins; the later ones are not
//   listed and not read. Lines above the first section header belong to no section.
// - lines end at CR LF, LF or a lone CR.
//
// The file's text is in the code page given to the constructor, unless it starts with a byte order mark:
// EF BB BF is UTF-8, FF FE is UTF-16LE; the mark is kept. Names and values are UTF-8 at this interface.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "SysUtils.h"
#include "Unicode.h"

namespace cl {

// A write that could not be carried out: the file could not be written, or a name or value cannot be
// stored in it (a line break, a key that would read back as something else, a character that the file's
// code page lacks). The file is then unchanged.
CL_DECLARE_EXCEPTION(EIniFileException, Exception)

// The engine: an INI text held as its own bytes, one entry per line with the line's own line end. Reading
// never changes the bytes; each change rewrites or inserts only the lines it concerns.
class TIniData {
 public:
  explicit TIniData(unsigned codePage = AnsiCodePage());
  TIniData(std::string_view bytes, unsigned codePage);

  // Replaces the contents with `bytes` (any bytes at all).
  void Load(std::string_view bytes);
  // The text as bytes: byte order mark, lines, and a stray last byte of a UTF-16 text of odd length.
  std::string Bytes() const;

  // The encoding of the text: the code page given, 65001 after a UTF-8 mark, 1200 for UTF-16LE.
  unsigned CodePage() const { return utf16_ ? 1200u : codePage_; }
  size_t LineCount() const { return lines_.size(); }
  // Line `i` as it stands in Bytes(), line end included.
  std::string LineBytes(size_t i) const { return lines_.at(i).text + lines_.at(i).eol; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal with an optional sign, or hexadecimal after "0x", "0X" or "$" (up to 32 bits, two's
  // complement); anything else, or a number outside 32 bits, gives `def`.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // An integer, anything but 0 being true.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  // The key names of a section (those with a value), in file order.
  std::vector<std::string> ReadSection(std::string_view section) const;
  std::vector<std::string> ReadSections() const;
  // "key=value" for every key of ReadSection.
  std::vector<std::string> ReadSectionValues(std::string_view section) const;
  // True when the section header is present, keys or not.
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;

  // The changes return whether the bytes changed. WriteString leaves the text alone when the key already
  // reads as `value`. A new key goes after the last key of its section, a new section at the end; new
  // lines take the text's most frequent line end (CR LF when it has none). Throws EIniFileException for a
  // name or value that cannot be stored; the text is then unchanged.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);  // "1" or "0"
  // Removes the line of the key (every line of that name in the section's first occurrence).
  bool DeleteKey(std::string_view section, std::string_view key);
  // Removes every section of that name: its header and all lines up to the next header.
  bool EraseSection(std::string_view section);

 private:
  enum class Kind { Blank, Comment, Section, Key, Bare };
  struct Line {
    std::string text;  // bytes without the line end
    std::string eol;   // the line's own line end, empty for a last line without one
    Kind kind = Kind::Blank;
    // Byte offsets into text: the name (section or key) and, for Key, the raw value.
    size_t nameBegin = 0, nameEnd = 0, valueBegin = 0, valueEnd = 0;
    std::string folded;  // the decoded name, ASCII upper case folded to lower: what lookups compare
  };

  void Analyse(Line& line) const;
  std::string Decode(std::string_view bytes) const;
  std::string Encode(std::string_view utf8, const char* what) const;
  std::string Ascii(std::string_view ascii) const;  // ASCII text in the text's encoding
  std::string DominantEol() const;
  void EnsureEol(size_t index);
  Line MakeLine(std::string text, std::string eol) const;
  std::string Name(const Line& line) const;      // decoded, as written
  std::string RawValue(const Line& line) const;  // decoded, without enclosing quotes
  // The lines of the keys that ReadSection lists: first of their name, with a value.
  std::vector<size_t> VisibleKeys(std::string_view section) const;

  // The first header named `folded`, or npos.
  size_t FindSection(const std::string& folded) const;
  // The line after the last line of the section at `header`.
  size_t SectionEnd(size_t header) const;
  // The first Key or Bare line named `folded` in the section at `header` (npos for none), or npos.
  size_t FindKey(size_t header, const std::string& folded) const;

  // Where names are, so that a lookup does not walk the text: reading every key of a large file stays
  // linear. Made on the first lookup after a change; copies of the text may share it until they change.
  struct Index {
    std::unordered_map<std::string, size_t> sections;  // the first header of each name
    std::unordered_map<size_t, size_t> sectionEnd;     // by header line
    std::unordered_map<size_t, std::unordered_map<std::string, size_t>> keys;  // by header line
  };
  const Index& Lookup() const;
  void Changed() noexcept { index_.reset(); }

  unsigned baseCodePage_;  // of a text without a byte order mark
  unsigned codePage_;      // of this text (65001 after a UTF-8 mark); unused for UTF-16
  bool utf16_ = false;
  std::string bom_;
  std::vector<Line> lines_;
  std::string tail_;  // a stray last byte of a UTF-16 text of odd length; always stays last
  mutable std::shared_ptr<const Index> index_;
};

// An INI file on disk. Every call reads the file afresh and every change is written at once (through a
// temporary file that replaces the old one), so several objects on one file, in one program or in two,
// see each other's changes. A missing or unreadable file reads as empty; the first write creates it.
// A write that fails throws EIniFileException "Unable to write to <file>" and leaves the file as it was.
class TIniFile {
 public:
  explicit TIniFile(std::string fileName, unsigned codePage = AnsiCodePage());

  const std::string& FileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  std::vector<std::string> ReadSection(std::string_view section) const;
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSectionValues(std::string_view section) const;
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void DeleteKey(std::string_view section, std::string_view key);
  void EraseSection(std::string_view section);
  // Every change is on disk already; kept for callers that flush explicitly.
  void UpdateFile() {}

 private:
  TIniData Read() const;
  template <class Change>
  void Modify(Change change);

  std::string fileName_;
  unsigned codePage_;
};

}  // namespace cl
