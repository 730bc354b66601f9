#include "ProgramPower.h"

namespace pellwick {

// The real way out of Windows; no test links it.
hk::PowerCalls& ProgramPowerCalls() { return hk::SystemPowerCalls(); }

}  // namespace pellwick
