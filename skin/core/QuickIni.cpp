#include "QuickIni.h"

#include <limits>

#include "SysUtils.h"

namespace skin {

std::string_view TQuickIni::Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

bool TQuickIni::IsSectionLine(std::string_view line) {
  line = Trim(line);
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

std::string TQuickIni::KeyOfLine(std::string_view line) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return {};
  return cl::LowerCase(Trim(line.substr(0, eq)));
}

std::string TQuickIni::ValueOfLine(std::string_view line, std::string_view key) {
  if (line.empty() || key.empty()) return {};
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos || KeyOfLine(line) != key) return {};
  return std::string(Trim(line.substr(eq + 1)));
}

bool TQuickIni::TryStrToInt(std::string_view s, int32_t& value) {
  if (s.empty()) return false;
  if (s[0] == '$') {
    s.remove_prefix(1);
    if (s.empty()) return false;
    uint64_t v = 0;
    for (char c : s) {
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return false;
      v = v * 16 + static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFu) return false;  // leading zeros never get here
    }
    value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
  }
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    s.remove_prefix(1);
    if (s.empty()) return false;
  }
  const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
    if (v > limit) return false;
  }
  value = negative ? static_cast<int32_t>(-static_cast<int64_t>(v)) : static_cast<int32_t>(v);
  return true;
}

void TQuickIni::LoadFromStream(cl::TStream* stream, unsigned codePage) {
  if (!stream) return;
  // Read to the end rather than trusting Size(): a short read simply ends the text.
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const size_t n = stream->Read(buffer, sizeof buffer);
    if (n == 0) break;
    bytes.append(buffer, n);
  }
  LoadFromBytes(bytes, codePage);
}

void TQuickIni::LoadFromBytes(std::string_view bytes, unsigned codePage) {
  // A NUL ends the whole text; decoding comes after, so no decoder ever sees it.
  const size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  const std::string text = cl::IsAscii(bytes) ? std::string(bytes) : cl::CodePageToUtf8(bytes, codePage);

  lines_.clear();
  sections_.clear();
  firstSection_.clear();
  const std::string_view t = text;
  size_t p = 0;
  while (p < t.size()) {
    size_t e = p;
    while (e < t.size() && t[e] != '\r' && t[e] != '\n') ++e;
    const std::string_view line = Trim(t.substr(p, e - p));
    if (e < t.size() && t[e] == '\r') ++e;
    if (e < t.size() && t[e] == '\n') ++e;
    p = e;
    if (line.empty() || line[0] == ';') continue;
    lines_.emplace_back(line);
    if (IsSectionLine(line)) {
      const int at = static_cast<int>(lines_.size()) - 1;
      sections_.push_back({std::string(line), at});
      firstSection_.try_emplace(cl::LowerCase(line), at);  // a repeated name keeps its first header
    }
  }
}

int TQuickIni::FindSection(std::string_view name) const {
  std::string header;
  header.reserve(name.size() + 2);
  header += '[';
  header += name;
  header += ']';
  const auto it = firstSection_.find(cl::LowerCase(header));
  return it == firstSection_.end() ? -1 : it->second;
}

std::string TQuickIni::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  if (lines_.empty()) return std::string(def);
  const int header = FindSection(section);
  if (header < 0) return std::string(def);
  const std::string lowerKey = cl::LowerCase(key);
  for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
    const std::string& line = lines_[i];
    if (IsSectionLine(line)) break;
    if (KeyOfLine(line) == lowerKey) {
      std::string value = ValueOfLine(line, lowerKey);
      return value.empty() ? std::string(def) : value;
    }
  }
  return std::string(def);
}

int32_t TQuickIni::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  std::string s = ReadString(section, key, {});
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.replace(0, 2, "$");
  int32_t value;
  return TryStrToInt(s, value) ? value : def;
}

std::vector<std::string> TQuickIni::ReadSections() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const SectionEntry& s : sections_) {
    std::string_view h = Trim(s.header);
    // A header is at least "[]": both brackets are there to take off.
    h = h.size() >= 2 ? h.substr(1, h.size() - 2) : std::string_view{};
    names.emplace_back(Trim(h));
  }
  return names;
}

void TQuickIni::ReadSections(cl::TStrings* list) const {
  if (!list) return;
  list->BeginUpdate();
  try {
    list->Clear();
    for (const std::string& name : ReadSections()) list->Add(name);
  } catch (...) {
    list->EndUpdate();
    throw;
  }
  list->EndUpdate();
}

}  // namespace skin
