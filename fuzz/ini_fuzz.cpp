// INI engine on arbitrary bytes: reading must keep every byte; a write and a delete may change only the
// lines they concern; the result must parse again to the same bytes and the same contents.
// Input: one byte choosing the code page, one byte choosing the section and key to change, then the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "IniFiles.h"

namespace {
using Lines = std::vector<std::string>;

Lines LinesOf(const cl::TIniData& d) {
  Lines l;
  for (size_t i = 0; i < d.LineCount(); ++i) l.push_back(d.LineBytes(i));
  return l;
}

// Everything the file says, as text.
Lines Contents(const cl::TIniData& d) {
  Lines all;
  for (const std::string& s : d.ReadSections()) {
    all.push_back("[" + s + "]");
    for (const std::string& kv : d.ReadSectionValues(s)) all.push_back(kv);
  }
  return all;
}

// The line end at the end of a line's bytes.
std::string EolOf(const std::string& line, bool utf16) {
  for (const char* e : {"\r\n", "\n", "\r"}) {
    std::string end;
    for (const char* c = e; *c; ++c) {
      end += *c;
      if (utf16) end += '\0';
    }
    if (line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0) return end;
  }
  return {};
}

// A write: the lines outside one stretch are untouched; inside it at most one old line, which is either
// rewritten keeping its own line end, or given a line end and followed by new lines.
void CheckWrite(const Lines& before, const Lines& after, bool utf16) {
  size_t p = 0;
  while (p < before.size() && p < after.size() && before[p] == after[p]) ++p;
  size_t s = 0;
  while (s < before.size() - p && s < after.size() - p &&
         before[before.size() - 1 - s] == after[after.size() - 1 - s])
    ++s;
  const size_t oldMid = before.size() - p - s, newMid = after.size() - p - s;
  CHECK(oldMid <= 1);
  CHECK(newMid >= 1);
  if (oldMid == 0) return;
  const std::string& o = before[p];
  const std::string& n = after[p];
  if (newMid == 1) {
    CHECK(EolOf(n, utf16) == EolOf(o, utf16));
  } else {
    CHECK(EolOf(o, utf16).empty() && n.size() > o.size() && n.compare(0, o.size(), o) == 0);
  }
}

// A delete: the new lines are the old ones with some left out.
void CheckDelete(const Lines& before, const Lines& after) {
  size_t j = 0;
  for (size_t i = 0; i < before.size() && j < after.size(); ++i)
    if (before[i] == after[j]) ++j;
  CHECK(j == after.size());
}

void CheckReparse(const cl::TIniData& d, unsigned cp) {
  const std::string bytes = d.Bytes();
  cl::TIniData again(bytes, cp);
  CHECK(again.Bytes() == bytes);
  CHECK(Contents(again) == Contents(d));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static const unsigned kCodePages[] = {1252, 936, 65001, 932};
  const unsigned cp = kCodePages[data[0] % 4];
  const unsigned pick = data[1];
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

  cl::TIniData d(bytes, cp);
  CHECK(d.Bytes() == bytes);
  // The lines are the file between a byte order mark and a stray last byte of a UTF-16 text.
  std::string joined;
  for (size_t i = 0; i < d.LineCount(); ++i) joined += d.LineBytes(i);
  const size_t bom = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : bytes.rfind("\xFF\xFE", 0) == 0 ? 2 : 0;
  CHECK(bytes.compare(bom, joined.size(), joined) == 0);
  CHECK(bytes.size() - bom - joined.size() <= (bom == 2 ? 1u : 0u));

  const Lines sections = d.ReadSections();
  for (const std::string& s : sections) {
    CHECK(d.SectionExists(s));
    for (const std::string& k : d.ReadSection(s)) {
      CHECK(d.ValueExists(s, k));
      d.ReadString(s, k, "");
      d.ReadInteger(s, k, 0);
      d.ReadBool(s, k, false);
    }
  }
  CHECK(d.Bytes() == bytes);
  const bool utf16 = d.CodePage() == 1200;

  // A write to an existing key, a new key of an existing section, or a new section.
  std::string section = "fuzz", key = "k";
  if (!sections.empty()) {
    section = sections[pick % sections.size()];
    const Lines keys = d.ReadSection(section);
    if (!keys.empty() && (pick & 0x80)) key = keys[(pick >> 3) % keys.size()];
  }
  const std::string value = "v" + std::to_string(pick);
  Lines before = LinesOf(d);
  try {
    if (d.WriteString(section, key, value)) CheckWrite(before, LinesOf(d), utf16);
    CHECK(d.ReadString(section, key, "-") == value);
  } catch (const cl::EIniFileException&) {
    CHECK(LinesOf(d) == before);  // a name the file cannot hold: nothing changed
  }
  CheckReparse(d, cp);

  // A delete of some key, and of a section.
  const Lines now = d.ReadSections();
  if (!now.empty()) {
    const std::string s = now[(pick >> 2) % now.size()];
    const Lines keys = d.ReadSection(s);
    if (!keys.empty()) {
      const std::string k = keys[pick % keys.size()];
      before = LinesOf(d);
      CHECK(d.DeleteKey(s, k));
      CheckDelete(before, LinesOf(d));
      CHECK(!d.ValueExists(s, k));
      CheckReparse(d, cp);
    }
    before = LinesOf(d);
    CHECK(d.EraseSection(s));
    CheckDelete(before, LinesOf(d));
    CHECK(!d.SectionExists(s));
    CheckReparse(d, cp);
  }
  return 0;
}
