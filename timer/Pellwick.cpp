// Pellwick: the shutdown timer. The main window, then the warning window and the settings window.
#include <windows.h>

#include <cstdio>
#include <exception>

#include "Forms.h"
#include "StdClasses.h"
#include "TimerSettings.h"
#include "TimerTrayIcon.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "hkPower.h"

namespace {

#ifdef PELLWICK_RECORD_POWER
// The build the tests start: leaving Windows is only recorded, in "poweroff.log" beside the program,
// and the program ends as the machine would.
void RecordPowerOff(UINT flags, DWORD reason) {
  const std::string path = pellwick::ProgramDir() + "\\poweroff.log";
  if (FILE* f = std::fopen(path.c_str(), "ab")) {
    std::fprintf(f, "ExitWindowsEx %u %lu\n", flags, static_cast<unsigned long>(reason));
    std::fclose(f);
  }
  if (cl::Application) cl::Application->Terminate();
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#ifdef PELLWICK_RECORD_POWER
  hk::RecordingPowerCalls recording(RecordPowerOff);
  hk::PowerCallsScope power(recording);
#else
  // The real way out of Windows; tests never install it.
  hk::PowerCallsScope power(hk::SystemPowerCalls());
#endif
  try {
    cl::TApplication application;
    application.Initialize();
    application.SetTitle(pellwick::AppTitle);
    cl::RegisterStandardClasses();
    pellwick::RegisterTimerTrayIcon();
    // The order matters: the settings window reads the file the main window opens.
    pellwick::TForm1* form1 = nullptr;
    application.CreateForm(form1);
    auto* form2 = cl::NewForm<pellwick::TForm2>(form1);
    auto* form3 = cl::NewForm<pellwick::TForm3>(form1);
    form1->Attach(form2, form3);
    application.Run();
  } catch (const std::exception& e) {
    // Nothing may end the program without a word: not even a failure to make the application itself.
    cl::ShowFatalException(e, pellwick::AppTitle);
    return 1;
  }
  return 0;
}
