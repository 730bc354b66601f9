// The date and time in the user's formats, as the system's locale writes them.
#include <windows.h>

#include <string>

#include "SysUtils.h"
#include "Unicode.h"

namespace cl {

std::string LongDateTimeText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t date[128] = L"";
  wchar_t time[128] = L"";
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &now, nullptr, date, 128);
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 128);
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(date)) + ", " +
         Utf16ToUtf8(reinterpret_cast<const char16_t*>(time));
}

}  // namespace cl
