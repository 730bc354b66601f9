// The system's text of an error code on Windows.
#include <windows.h>

#include "SysUtils.h"
#include "Unicode.h"

namespace cl {

std::string SystemErrorText(unsigned long code) {
  wchar_t* buf = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::string text = n ? Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(buf), n)) : std::string();
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace cl
