// The calls the program leaves Windows through; its entry installs them for the whole run. They are linked
// in beside the entry: ProgramPower.cpp gives the shipped program the system's calls, and the build that
// tests start links recording ones of its own instead.
#pragma once
#include "hkPower.h"

namespace pellwick {

hk::PowerCalls& ProgramPowerCalls();

}  // namespace pellwick
