// What the benchmarks that run the program's own windows share: the application made as the program
// makes it, and the way out when a step does not do what it should.
#pragma once
#include <cstdio>
#include <cstdlib>

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

[[noreturn]] inline void Fail(const char* what) {
  std::printf("FAILED: %s\n", what);
  std::fflush(stdout);
  std::exit(1);
}

}  // namespace benchsupport
