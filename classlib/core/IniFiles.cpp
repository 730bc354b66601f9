#include "IniFiles.h"

#include <algorithm>
#include <cstdint>
#include <set>

#include "FileUtil.h"

namespace cl {

namespace {
constexpr size_t npos = std::string::npos;

template <class Ch>
bool IsBlank(Ch c) {
  return c == Ch(' ') || c == Ch('\t') || c == Ch('\v') || c == Ch('\f');
}

// Lead bytes of the double-byte code pages. A trail byte may look like '[' or ']' (never like a blank, a
// line end, '=', ';' or a quote, which are all below 0x40), so the header scan steps over whole characters.
bool IsLeadByte(unsigned cp, unsigned char b) {
  switch (cp) {
    case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950:
    case 54936: return b >= 0x81 && b <= 0xFE;
    case 1361: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
    default: return false;
  }
}

// Code pages whose bytes below 0x80 are ASCII (unlike EBCDIC, UTF-7 or some OEM pages).
bool AsciiCompatible(unsigned cp) {
  return cp == 65001 || cp == 20127 || cp == 54936 || cp == 1361 || cp == 874 || cp == 932 || cp == 936 ||
         cp == 949 || cp == 950 || (cp >= 1250 && cp <= 1258) || (cp >= 28591 && cp <= 28605);
}

enum class Shape { Blank, Comment, Section, Key, Bare };
struct Parsed {
  Shape shape = Shape::Blank;
  size_t nameBegin = 0, nameEnd = 0, valueBegin = 0, valueEnd = 0;  // in units of Ch
};

// The structure of one line (without its line end), in code units: bytes of a single- or double-byte code
// page (leadCp says which bytes start a double-byte character) or UTF-16 units.
template <class Ch>
Parsed ParseLine(std::basic_string_view<Ch> s, unsigned leadCp) {
  Parsed p;
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  if (b == e) return p;
  if (s[b] == Ch(';')) {
    p.shape = Shape::Comment;
    return p;
  }
  if (s[b] == Ch('[')) {
    size_t close = npos;
    for (size_t i = b + 1; i < e; ++i) {
      if constexpr (sizeof(Ch) == 1) {
        if (IsLeadByte(leadCp, static_cast<unsigned char>(s[i])) && i + 1 < e &&
            static_cast<unsigned char>(s[i + 1]) >= 0x40) {
          ++i;
          continue;
        }
      }
      if (s[i] == Ch(']')) close = i;
    }
    // Without a ']' the line is no header; like the system we then read it as a key line.
    if (close != npos) {
      size_t nb = b + 1, ne = close;
      while (nb < ne && IsBlank(s[nb])) ++nb;
      while (ne > nb && IsBlank(s[ne - 1])) --ne;
      p.shape = Shape::Section;
      p.nameBegin = nb;
      p.nameEnd = ne;
      return p;
    }
  }
  size_t eq = b;
  while (eq < e && s[eq] != Ch('=')) ++eq;
  p.nameBegin = b;
  if (eq == e) {
    p.shape = Shape::Bare;
    p.nameEnd = e;
    return p;
  }
  p.shape = Shape::Key;
  p.nameEnd = eq;
  while (p.nameEnd > b && IsBlank(s[p.nameEnd - 1])) --p.nameEnd;
  p.valueBegin = eq + 1;
  while (p.valueBegin < e && IsBlank(s[p.valueBegin])) ++p.valueBegin;
  p.valueEnd = e;
  return p;
}

std::u16string FromLE(std::string_view bytes) {
  std::u16string u(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < u.size(); ++i)
    u[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return u;
}

std::string ToLE(std::u16string_view u) {
  std::string b(u.size() * 2, '\0');
  for (size_t i = 0; i < u.size(); ++i) {
    b[2 * i] = static_cast<char>(u[i] & 0xFF);
    b[2 * i + 1] = static_cast<char>(u[i] >> 8);
  }
  return b;
}

std::string Fold(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The name as lookups compare it.
std::string Folded(std::string_view name) { return Fold(std::string(Trim(name))); }

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != npos; }

// Decimal with an optional sign, or hexadecimal after "0x", "0X" or "$"; the whole text must be the number.
bool ParseInt(std::string_view s, int& out) {
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  bool hex = false;
  if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    hex = true;
    s.remove_prefix(2);
  } else if (!s.empty() && s[0] == '$') {
    hex = true;
    s.remove_prefix(1);
  }
  if (s.empty()) return false;
  uint64_t v = 0;
  for (char c : s) {
    unsigned d;
    if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
    else if (hex && c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
    else return false;
    v = v * (hex ? 16 : 10) + d;
    if (v > 0xFFFFFFFFull) return false;
  }
  if (hex) {
    // 32 bits in two's complement: "$FFFFFFFF" is -1.
    uint32_t u = static_cast<uint32_t>(v);
    if (negative) u = 0u - u;
    out = static_cast<int32_t>(u);
    return true;
  }
  if (v > (negative ? 2147483648ull : 2147483647ull)) return false;
  out = static_cast<int>(negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
  return true;
}
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TIniData

TIniData::TIniData(unsigned codePage) : baseCodePage_(codePage), codePage_(codePage) {}

TIniData::TIniData(std::string_view bytes, unsigned codePage) : TIniData(codePage) { Load(bytes); }

void TIniData::Load(std::string_view bytes) {
  Changed();
  lines_.clear();
  bom_.clear();
  tail_.clear();
  utf16_ = false;
  codePage_ = baseCodePage_;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bom_ = "\xEF\xBB\xBF";
    codePage_ = 65001;
  } else if (bytes.substr(0, 2) == "\xFF\xFE") {
    bom_ = "\xFF\xFE";
    utf16_ = true;
  }
  bytes.remove_prefix(bom_.size());
  if (utf16_) {
    if (bytes.size() % 2) {
      tail_ = std::string(bytes.substr(bytes.size() - 1));
      bytes.remove_suffix(1);
    }
    const auto unit = [&](size_t i) {
      return static_cast<unsigned>(static_cast<unsigned char>(bytes[i]) |
                                   (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    size_t i = 0;
    while (i < bytes.size()) {
      size_t j = i;
      while (j < bytes.size() && unit(j) != '\r' && unit(j) != '\n') j += 2;
      size_t end = j;
      if (j < bytes.size()) end += (unit(j) == '\r' && j + 2 < bytes.size() && unit(j + 2) == '\n') ? 4 : 2;
      lines_.push_back(MakeLine(std::string(bytes.substr(i, j - i)), std::string(bytes.substr(j, end - j))));
      i = end;
    }
  } else {
    size_t i = 0;
    while (i < bytes.size()) {
      size_t j = std::min(bytes.find_first_of("\r\n", i), bytes.size());
      size_t end = j;
      if (j < bytes.size()) end += (bytes[j] == '\r' && j + 1 < bytes.size() && bytes[j + 1] == '\n') ? 2 : 1;
      lines_.push_back(MakeLine(std::string(bytes.substr(i, j - i)), std::string(bytes.substr(j, end - j))));
      i = end;
    }
  }
}

std::string TIniData::Bytes() const {
  size_t size = bom_.size() + tail_.size();
  for (const Line& l : lines_) size += l.text.size() + l.eol.size();
  std::string out;
  out.reserve(size);
  out += bom_;
  for (const Line& l : lines_) {
    out += l.text;
    out += l.eol;
  }
  out += tail_;
  return out;
}

std::string TIniData::Decode(std::string_view bytes) const {
  if (utf16_) return Utf16ToUtf8(FromLE(bytes));
  if (IsAscii(bytes) && AsciiCompatible(codePage_)) return std::string(bytes);  // most names: no converter
  return CodePageToUtf8(bytes, codePage_);
}

std::string TIniData::Encode(std::string_view utf8, const char* what) const {
  std::string bytes;
  bool exact;
  if (utf16_) {
    const std::u16string u = Utf8ToUtf16(utf8);
    exact = Utf16ToUtf8(u) == utf8;
    bytes = ToLE(u);
  } else {
    // The round trip also catches "best fit" replacements, which the converter does not call lossy.
    bool lossy = false;
    bytes = Utf8ToCodePage(utf8, codePage_, &lossy);
    exact = !lossy && CodePageToUtf8(bytes, codePage_) == utf8;
  }
  if (!exact)
    throw EIniFileException(Format("The %s \"%s\" cannot be stored in code page %u", what,
                                   std::string(utf8.substr(0, 200)).c_str(), CodePage()));
  return bytes;
}

std::string TIniData::Ascii(std::string_view ascii) const {
  if (!utf16_) return std::string(ascii);
  return ToLE(std::u16string(ascii.begin(), ascii.end()));
}

std::string TIniData::DominantEol() const {
  const std::string crlf = Ascii("\r\n"), lf = Ascii("\n"), cr = Ascii("\r");
  size_t nCrlf = 0, nLf = 0, nCr = 0;
  for (const Line& l : lines_) {
    if (l.eol == crlf) ++nCrlf;
    else if (l.eol == lf) ++nLf;
    else if (l.eol == cr) ++nCr;
  }
  if (nLf > nCrlf && nLf >= nCr) return lf;
  if (nCr > nCrlf && nCr > nLf) return cr;
  return crlf;
}

void TIniData::EnsureEol(size_t index) {
  if (lines_[index].eol.empty()) lines_[index].eol = DominantEol();
}

void TIniData::Analyse(Line& line) const {
  Parsed p;
  size_t unit = 1;
  if (utf16_) {
    const std::u16string u = FromLE(line.text);
    p = ParseLine<char16_t>(u, 0);
    unit = 2;
  } else {
    p = ParseLine<char>(line.text, codePage_);
  }
  line.kind = static_cast<Kind>(p.shape);  // the two enumerations list the same kinds in the same order
  line.nameBegin = p.nameBegin * unit;
  line.nameEnd = p.nameEnd * unit;
  line.valueBegin = p.valueBegin * unit;
  line.valueEnd = p.valueEnd * unit;
  line.folded.clear();
  if (line.kind == Kind::Section || line.kind == Kind::Key || line.kind == Kind::Bare)
    line.folded = Fold(Name(line));
}

TIniData::Line TIniData::MakeLine(std::string text, std::string eol) const {
  Line l;
  l.text = std::move(text);
  l.eol = std::move(eol);
  Analyse(l);
  return l;
}

std::string TIniData::RawValue(const Line& line) const {
  std::string_view v = std::string_view(line.text).substr(line.valueBegin, line.valueEnd - line.valueBegin);
  const size_t u = utf16_ ? 2 : 1;
  if (v.size() >= 2 * u) {
    const auto at = [&](size_t i) {
      return utf16_ ? static_cast<unsigned>(static_cast<unsigned char>(v[i]) | (static_cast<unsigned char>(v[i + 1]) << 8))
                    : static_cast<unsigned>(static_cast<unsigned char>(v[i]));
    };
    const unsigned first = at(0);
    if ((first == '"' || first == '\'') && at(v.size() - u) == first) v = v.substr(u, v.size() - 2 * u);
  }
  return Decode(v);
}

const TIniData::Index& TIniData::Lookup() const {
  if (index_) return *index_;
  auto index = std::make_shared<Index>();
  size_t header = npos;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const Line& l = lines_[i];
    if (l.kind == Kind::Section) {
      if (header != npos) index->sectionEnd[header] = i;
      header = i;
      if (!l.folded.empty()) index->sections.emplace(l.folded, i);
    } else if (header != npos && (l.kind == Kind::Key || l.kind == Kind::Bare) && !l.folded.empty()) {
      index->keys[header].emplace(l.folded, i);
    }
  }
  if (header != npos) index->sectionEnd[header] = lines_.size();
  index_ = std::move(index);
  return *index_;
}

size_t TIniData::FindSection(const std::string& folded) const {
  if (folded.empty()) return npos;
  const Index& index = Lookup();
  const auto it = index.sections.find(folded);
  return it == index.sections.end() ? npos : it->second;
}

size_t TIniData::SectionEnd(size_t header) const {
  const Index& index = Lookup();
  const auto it = index.sectionEnd.find(header);
  return it == index.sectionEnd.end() ? lines_.size() : it->second;
}

size_t TIniData::FindKey(size_t header, const std::string& folded) const {
  if (header == npos || folded.empty()) return npos;
  const Index& index = Lookup();
  const auto section = index.keys.find(header);
  if (section == index.keys.end()) return npos;
  const auto it = section->second.find(folded);
  return it == section->second.end() ? npos : it->second;
}

std::string TIniData::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  const size_t k = FindKey(FindSection(Folded(section)), Folded(key));
  if (k == npos || lines_[k].kind != Kind::Key) return std::string(def);
  return RawValue(lines_[k]);
}

int TIniData::ReadInteger(std::string_view section, std::string_view key, int def) const {
  int v;
  return ParseInt(ReadString(section, key, ""), v) ? v : def;
}

bool TIniData::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::vector<size_t> TIniData::VisibleKeys(std::string_view section) const {
  std::vector<size_t> keys;
  const size_t h = FindSection(Folded(section));
  if (h == npos) return keys;
  std::set<std::string> seen;
  for (size_t i = h + 1, end = SectionEnd(h); i < end; ++i) {
    const Line& l = lines_[i];
    if ((l.kind == Kind::Key || l.kind == Kind::Bare) && !l.folded.empty() && seen.insert(l.folded).second &&
        l.kind == Kind::Key)
      keys.push_back(i);
  }
  return keys;
}

std::string TIniData::Name(const Line& line) const {
  return Decode(std::string_view(line.text).substr(line.nameBegin, line.nameEnd - line.nameBegin));
}

std::vector<std::string> TIniData::ReadSection(std::string_view section) const {
  std::vector<std::string> names;
  for (size_t i : VisibleKeys(section)) names.push_back(Name(lines_[i]));
  return names;
}

std::vector<std::string> TIniData::ReadSectionValues(std::string_view section) const {
  std::vector<std::string> values;
  for (size_t i : VisibleKeys(section)) values.push_back(Name(lines_[i]) + "=" + RawValue(lines_[i]));
  return values;
}

std::vector<std::string> TIniData::ReadSections() const {
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (const Line& l : lines_)
    if (l.kind == Kind::Section && !l.folded.empty() && seen.insert(l.folded).second)
      names.push_back(Name(l));
  return names;
}

bool TIniData::SectionExists(std::string_view section) const { return FindSection(Folded(section)) != npos; }

bool TIniData::ValueExists(std::string_view section, std::string_view key) const {
  const size_t k = FindKey(FindSection(Folded(section)), Folded(key));
  return k != npos && lines_[k].kind == Kind::Key;
}

bool TIniData::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view sec = Trim(section), name = Trim(key);
  const auto invalid = [](const char* what, std::string_view text) {
    return EIniFileException(Format("Invalid %s \"%s\"", what, std::string(text.substr(0, 200)).c_str()));
  };
  if (sec.empty() || HasLineBreak(sec)) throw invalid("section name", sec);
  if (name.empty() || HasLineBreak(name)) throw invalid("key name", name);
  // A line break in a value would start a line of its own.
  if (HasLineBreak(value)) throw invalid("value", value);
  const std::string fs = Fold(std::string(sec)), fk = Fold(std::string(name));
  const std::string encValue = Encode(value, "value");

  // Each new or changed line must read back as the key (or header) meant: a name such as "a=b", ";a" or
  // "[a]", or a value that closes a bracket opened by the key, would not.
  const auto checked = [&](Line line, Kind kind, const std::string& folded) {
    if (line.kind != kind || line.folded != folded)
      throw kind == Kind::Section ? invalid("section name", sec) : invalid("key name or value", name);
    return line;
  };

  const size_t h = FindSection(fs);
  if (h != npos) {
    const size_t k = FindKey(h, fk);
    if (k != npos) {
      const Line& old = lines_[k];
      if (old.kind == Kind::Key && RawValue(old) == value) return false;
      std::string text = old.kind == Kind::Key
                             ? old.text.substr(0, old.valueBegin) + encValue + old.text.substr(old.valueEnd)
                             : old.text.substr(0, old.nameEnd) + Ascii("=") + encValue;
      lines_[k] = checked(MakeLine(std::move(text), old.eol), Kind::Key, fk);
      Changed();
      return true;
    }
    Line line = checked(MakeLine(Encode(name, "key") + Ascii("=") + encValue, DominantEol()), Kind::Key, fk);
    // After the last key of the section, so that blank lines and comments before the next header stay there.
    size_t after = h;
    for (size_t i = h + 1, end = SectionEnd(h); i < end; ++i)
      if (lines_[i].kind == Kind::Key || lines_[i].kind == Kind::Bare) after = i;
    EnsureEol(after);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after) + 1, std::move(line));
    Changed();
    return true;
  }
  const std::string eol = DominantEol();
  Line header = checked(MakeLine(Ascii("[") + Encode(sec, "section") + Ascii("]"), eol), Kind::Section, fs);
  Line line = checked(MakeLine(Encode(name, "key") + Ascii("=") + encValue, eol), Kind::Key, fk);
  if (!lines_.empty()) EnsureEol(lines_.size() - 1);
  lines_.push_back(std::move(header));
  lines_.push_back(std::move(line));
  Changed();
  return true;
}

bool TIniData::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniData::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool TIniData::DeleteKey(std::string_view section, std::string_view key) {
  const size_t h = FindSection(Folded(section));
  const std::string fk = Folded(key);
  if (h == npos || fk.empty()) return false;
  const auto first = lines_.begin() + static_cast<std::ptrdiff_t>(h) + 1;
  const auto last = lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(h));
  const auto kept = std::remove_if(first, last, [&](const Line& l) {
    return (l.kind == Kind::Key || l.kind == Kind::Bare) && l.folded == fk;
  });
  if (kept == last) return false;
  lines_.erase(kept, last);
  Changed();
  return true;
}

bool TIniData::EraseSection(std::string_view section) {
  const std::string fs = Folded(section);
  if (FindSection(fs) == npos) return false;
  std::vector<Line> kept;
  kept.reserve(lines_.size());
  bool erasing = false;
  for (Line& l : lines_) {
    if (l.kind == Kind::Section) erasing = l.folded == fs;
    if (!erasing) kept.push_back(std::move(l));
  }
  lines_ = std::move(kept);
  Changed();
  return true;
}

// ---------------------------------------------------------------------------------------------------------
// TIniFile

TIniFile::TIniFile(std::string fileName, unsigned codePage) : fileName_(std::move(fileName)), codePage_(codePage) {}

TIniData TIniFile::Read() const {
  TIniData data(codePage_);
  try {
    if (FileExists(fileName_)) data.Load(ReadFileBytes(fileName_));
  } catch (const Exception&) {
    // Unreadable reads like missing, as with the system's profile functions.
  }
  return data;
}

template <class Change>
void TIniFile::Modify(Change change) {
  const std::string failed = Format("Unable to write to %s", fileName_.c_str());
  TIniData data(codePage_);
  try {
    // A file that is there but cannot be read must not be replaced by what little we know.
    if (FileExists(fileName_)) data.Load(ReadFileBytes(fileName_));
  } catch (const Exception&) {
    throw EIniFileException(failed);
  }
  bool changed;
  try {
    changed = change(data);
  } catch (const EIniFileException& e) {
    throw EIniFileException(failed + ": " + e.Message());
  }
  if (!changed) return;
  if (IsReadOnlyFile(fileName_)) throw EIniFileException(failed);
  try {
    WriteFileAtomic(fileName_, data.Bytes());
  } catch (const Exception&) {
    throw EIniFileException(failed);
  }
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  return Read().ReadString(section, key, def);
}
int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  return Read().ReadInteger(section, key, def);
}
bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return Read().ReadBool(section, key, def);
}
std::vector<std::string> TIniFile::ReadSection(std::string_view section) const { return Read().ReadSection(section); }
std::vector<std::string> TIniFile::ReadSections() const { return Read().ReadSections(); }
std::vector<std::string> TIniFile::ReadSectionValues(std::string_view section) const {
  return Read().ReadSectionValues(section);
}
bool TIniFile::SectionExists(std::string_view section) const { return Read().SectionExists(section); }
bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return Read().ValueExists(section, key);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Modify([&](TIniData& d) { return d.WriteString(section, key, value); });
}
void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  Modify([&](TIniData& d) { return d.WriteInteger(section, key, value); });
}
void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  Modify([&](TIniData& d) { return d.WriteBool(section, key, value); });
}
void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Modify([&](TIniData& d) { return d.DeleteKey(section, key); });
}
void TIniFile::EraseSection(std::string_view section) {
  Modify([&](TIniData& d) { return d.EraseSection(section); });
}

}  // namespace cl
