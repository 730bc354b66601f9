// UTF-8 <-> UTF-16 at the Win32 boundary (wchar_t is UTF-16 there).
#pragma once
#include <string>
#include <string_view>

namespace cl {

std::wstring ToWide(std::string_view utf8);
std::string FromWide(std::wstring_view wide);
std::string FromWide(const wchar_t* wide);  // null-terminated; nullptr gives ""

// The text of a Win32 error code (GetLastError), without the trailing line break.
std::string SysErrorMessage(unsigned long code);

// Raises EOSError for the system call `call` that failed with `error`, the GetLastError() read right after
// it. Some calls fail without setting an error (a window whose procedure refused its creation, a failed
// subclassing): error 0 then says that the call failed, not the system's text for success.
[[noreturn]] void RaiseOSError(unsigned long error, std::string_view call);

}  // namespace cl
