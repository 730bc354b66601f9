// Windows code page conversion through the system's own tables, independent of the system code page.
#include <windows.h>

#include "Unicode.h"

namespace cl {

std::string CodePageToUtf8(std::string_view bytes, unsigned cp) {
  if (bytes.empty()) return {};
  if (cp == CP_UTF8) return Utf16ToUtf8(Utf8ToUtf16(bytes));
  const int n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return std::string(bytes);
  std::u16string wide(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), reinterpret_cast<wchar_t*>(wide.data()), n);
  return Utf16ToUtf8(wide);
}

std::string Utf8ToCodePage(std::string_view utf8, unsigned cp, bool* lossy) {
  if (lossy) *lossy = false;
  if (utf8.empty()) return {};
  if (cp == CP_UTF8) return std::string(utf8);
  const std::u16string wide = Utf8ToUtf16(utf8);
  const auto* w = reinterpret_cast<const wchar_t*>(wide.data());
  const int wn = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(cp, 0, w, wn, nullptr, 0, nullptr, nullptr);
  if (n <= 0) {
    if (lossy) *lossy = true;
    return std::string(utf8);
  }
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, 0, w, wn, out.data(), n, "?", &usedDefault);
  if (lossy) *lossy = usedDefault != FALSE;
  return out;
}

unsigned AnsiCodePage() { return GetACP(); }

}  // namespace cl
