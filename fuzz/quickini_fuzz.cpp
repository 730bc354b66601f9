// Skin description parser on arbitrary bytes: loading and every lookup must hold up, and what the
// lookups give must agree with the kept lines.
// Input: one byte choosing the code page, then the text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "QuickIni.h"

namespace {
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const unsigned kCodePages[] = {1252, 936, 65001, 932};
  const unsigned cp = kCodePages[data[0] % 4];
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  skin::TQuickIni ini;
  ini.LoadFromBytes(bytes, cp);
  for (const std::string& line : ini.Lines()) {
    CHECK(!line.empty() && line[0] != ';');
    CHECK(skin::TQuickIni::Trim(line).size() == line.size());
    CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
  }
  const std::vector<std::string> sections = ini.ReadSections();
  CHECK(static_cast<int>(sections.size()) == ini.SectionCount());
  const std::vector<std::string>& lines = ini.Lines();
  size_t seen = 0;
  for (size_t at = 0; at < lines.size(); ++at) {
    if (!skin::TQuickIni::IsSectionLine(lines[at])) continue;
    ++seen;
    // Found by the text between its brackets, at this header or an earlier one of the same name.
    const std::string name = lines[at].substr(1, lines[at].size() - 2);
    const int header = ini.FindSection(name);
    CHECK(header >= 0 && static_cast<size_t>(header) <= at);
    CHECK(skin::TQuickIni::IsSectionLine(lines[header]));
    if (static_cast<size_t>(header) != at) continue;
    // Every key of the section's first occurrence reads back as its first line's value, or the default.
    for (size_t i = at + 1; i < lines.size() && !skin::TQuickIni::IsSectionLine(lines[i]); ++i) {
      const std::string key = skin::TQuickIni::KeyOfLine(lines[i]);
      const std::string value = ini.ReadString(name, key, "\x01");
      CHECK(!value.empty());
      if (key.empty()) CHECK(value == "\x01");
      ini.ReadInteger(name, key, 0);
    }
  }
  CHECK(seen == sections.size());
  // Lookups with names taken from the input itself.
  const std::string_view probe = bytes.substr(0, std::min<size_t>(bytes.size(), 16));
  ini.ReadString(probe, probe, "");
  ini.ReadInteger(probe, probe, 0);
  int32_t v;
  skin::TQuickIni::TryStrToInt(probe, v);

  // Loading again replaces everything and gives the same result.
  skin::TQuickIni again;
  again.LoadFromBytes("[stale]\nk=v\n", 1252);
  again.LoadFromBytes(bytes, cp);
  CHECK(again.Lines() == ini.Lines());
  CHECK(again.ReadSections() == sections);
  return 0;
}
