// The system's text of an error code on POSIX systems.
#include <cstring>

#include "SysUtils.h"

namespace cl {

std::string SystemErrorText(unsigned long code) { return std::strerror(static_cast<int>(code)); }

}  // namespace cl
