// What the benchmarks that run the program's own windows share: the application made as the program
// makes it (and, through BenchSupport.h, the way out of a failed step).
#pragma once
#include "BenchSupport.h"
#include "Forms.h"
#include "SaRegister.h"
#include "StdClasses.h"
#include "WinSkinData.h"

namespace benchsupport {

// The application initialised and every component class the program's descriptions name registered.
inline void InitializeProgram(cl::TApplication& application) {
  application.Initialize();
  cl::RegisterStandardClasses();
  toolkit::RegisterToolkitClasses();
  skin::RegisterSkinComponents();
}

}  // namespace benchsupport
