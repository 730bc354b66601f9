#include "SpecialKeys.h"

namespace hk {

std::string GetField(std::string_view s, int n, char delimiter) {
  if (n < 1) return {};
  size_t start = 0;
  for (int field = 1; field < n; ++field) {
    const size_t next = s.find(delimiter, start);
    if (next == std::string_view::npos) return {};
    start = next + 1;
  }
  const size_t end = s.find(delimiter, start);
  return std::string(s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string KeysToText(std::string_view keys) {
  static constexpr std::string_view kBracedTilde = "{~}";
  static constexpr std::string_view kEnter = "{ENTER}";
  std::string text;
  text.reserve(keys.size());
  for (size_t i = 0; i < keys.size();) {
    const std::string_view rest = keys.substr(i);
    if (rest.starts_with(kBracedTilde)) {
      text += kBracedTilde;
      i += kBracedTilde.size();
    } else if (rest.starts_with(kEnter)) {
      text += "\r\n";
      i += kEnter.size();
    } else if (keys[i] == '~') {
      text += "\r\n";
      ++i;
    } else {
      text += keys[i++];
    }
  }
  return text;
}

std::string TextToKeys(std::string_view text) {
  std::string keys;
  keys.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      keys += '~';
      ++i;
    } else {
      keys += text[i];
    }
  }
  return keys;
}

}  // namespace hk
