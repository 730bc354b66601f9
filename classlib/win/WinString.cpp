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
  std::string text = SystemErrorText(code);
  return text.empty() ? "System error " + std::to_string(code) : text;
}

void RaiseOSError(unsigned long error, std::string_view call) {
  std::string text(call);
  text += " failed";
  if (error != 0) text += ": " + SysErrorMessage(error) + " (error " + std::to_string(error) + ")";
  throw EOSError(text);
}

}  // namespace cl
