// The date and time in the user's formats.
#include <ctime>
#include <string>

#include "SysUtils.h"

#ifdef _WIN32
#include <windows.h>

#include "Unicode.h"
#endif

namespace cl {

std::string LongDateTimeText() {
#ifdef _WIN32
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t date[128] = L"";
  wchar_t time[128] = L"";
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &now, nullptr, date, 128);
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 128);
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(date)) + ", " +
         Utf16ToUtf8(reinterpret_cast<const char16_t*>(time));
#else
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char date[128] = "";
  char time[64] = "";
  std::strftime(date, sizeof date, "%A, %d %B %Y", &local);
  std::strftime(time, sizeof time, "%X", &local);
  return std::string(date) + ", " + time;
#endif
}

}  // namespace cl
