#include "WinString.h"

#include <windows.h>

#include "SysUtils.h"
#include "Unicode.h"

namespace cl {

std::wstring ToWide(std::string_view utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string FromWide(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

std::string FromWide(const wchar_t* wide) { return wide ? FromWide(std::wstring_view(wide)) : std::string(); }

std::string SysErrorMessage(unsigned long code) {
  wchar_t* buf = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::string text = n ? FromWide(std::wstring_view(buf, n)) : "System error " + std::to_string(code);
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

void RaiseOSError(unsigned long error, std::string_view call) {
  std::string text(call);
  text += " failed";
  if (error != 0) text += ": " + SysErrorMessage(error) + " (error " + std::to_string(error) + ")";
  throw EOSError(text);
}

}  // namespace cl
