#include "SysUtils.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace cl {

namespace {
inline unsigned char LowerAscii(char c) noexcept {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}
}  // namespace

int CompareText(std::string_view a, std::string_view b) noexcept {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = LowerAscii(a[i]), y = LowerAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(LowerAscii(c));
  return out;
}

namespace {

std::optional<int> ParseInt(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  size_t end = s.size();
  while (end > i && s[end - 1] == ' ') --end;
  bool negative = false;
  if (i < end && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == end) return std::nullopt;
  int64_t value = 0;
  for (; i < end; ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    value = value * 10 + (s[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

int StrToInt(std::string_view s) {
  if (std::optional<int> v = ParseInt(s)) return *v;
  throw EConvertError(Format("'%.*s' is not a valid integer value", static_cast<int>(s.size()), s.data()));
}

int StrToIntDef(std::string_view s, int def) noexcept { return ParseInt(s).value_or(def); }

std::string SystemErrorReason(unsigned long code) {
  const std::string text = SystemErrorText(code);
  return "system error " + std::to_string(code) + (text.empty() ? "" : ": " + text);
}

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

namespace {
ExceptionHandler& Handler() {
  static ExceptionHandler handler;
  return handler;
}
}  // namespace

void SetExceptionHandler(ExceptionHandler handler) { Handler() = std::move(handler); }

void HandleException(std::exception_ptr e) noexcept {
  if (!e) return;
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    try {
      if (Handler()) {
        Handler()(ex);
        return;
      }
    } catch (...) {
      // A failing handler must not take the program down with it.
    }
    std::fprintf(stderr, "%s\n", ex.what());
  } catch (...) {
    std::fprintf(stderr, "unknown exception\n");
  }
}

}  // namespace cl
