// Linked into the build of Pellwick that the program tests start, in place of the system's calls: leaving
// Windows is only recorded, in "poweroff.log" beside the program, and the program ends as the machine would.
#include <cstdio>
#include <string>

#include "Forms.h"
#include "ProgramPower.h"
#include "Unit1.h"

namespace pellwick {

namespace {

void RecordPowerOff(UINT flags, DWORD reason) {
  const std::string path = ProgramDir() + "\\poweroff.log";
  if (FILE* f = std::fopen(path.c_str(), "ab")) {
    std::fprintf(f, "ExitWindowsEx %u %lu\n", flags, static_cast<unsigned long>(reason));
    std::fclose(f);
  }
  if (cl::Application) cl::Application->Terminate();
}

}  // namespace

hk::PowerCalls& ProgramPowerCalls() {
  static hk::RecordingPowerCalls recording(RecordPowerOff);
  return recording;
}

}  // namespace pellwick
