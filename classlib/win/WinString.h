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

}  // namespace cl
