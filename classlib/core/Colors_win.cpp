// System colours on Windows: the system's own.
#include <windows.h>

#include "Colors.h"

namespace cl {

uint32_t detail::PlatformSysColor(int index) { return GetSysColor(index); }

}  // namespace cl
