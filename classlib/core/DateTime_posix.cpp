// The date and time in the C library's formats of the current locale.
#include <ctime>
#include <string>

#include "SysUtils.h"

namespace cl {

std::string LongDateTimeText() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char date[128] = "";
  char time[64] = "";
  std::strftime(date, sizeof date, "%A, %d %B %Y", &local);
  std::strftime(time, sizeof time, "%X", &local);
  return std::string(date) + ", " + time;
}

}  // namespace cl
