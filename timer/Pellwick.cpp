// Pellwick: the shutdown timer. The main window, then the warning window and the settings window.
#include <windows.h>

#include <exception>

#include "Forms.h"
#include "ProgramPower.h"
#include "StdClasses.h"
#include "TimerSettings.h"
#include "TimerTrayIcon.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "WinSkinData.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The system's way out of Windows, or the recording one of the build that tests start.
  hk::PowerCallsScope power(pellwick::ProgramPowerCalls());
  try {
    cl::TApplication application;
    application.Initialize();
    application.SetTitle(pellwick::AppTitle);
    cl::RegisterStandardClasses();
    pellwick::RegisterTimerTrayIcon();
    skin::RegisterSkinComponents();
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
