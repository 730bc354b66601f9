// Hotkeys: a second start hands over to the running instance; the first one lives in the tray.
#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <optional>

#include "FileUtil.h"
#include "Forms.h"
#include "hkEdit.h"
#include "hkHelp.h"
#include "hkInstance.h"
#include "SaRegister.h"
#include "StdClasses.h"
#include "WinSkinData.h"
#include "hkPower.h"
#ifdef HOTKEYS_RECORD_ACTIONS
#include "ActionRecorder.h"
#endif

namespace {

// The first argument, exactly "DEBUG", allows a second instance (for trying out a build beside the one
// in use).
bool DebugStart() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const bool debug = argv && argc > 1 && std::wcscmp(argv[1], L"DEBUG") == 0;
  LocalFree(argv);
  return debug;
}

// Asks a running instance to show its editor. The wait is bounded: an instance that hangs must not hang
// this start too.
bool HandOverToRunningInstance() {
  HWND running = FindWindowW(hk::MainWindowClass, nullptr);
  if (!running) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(running, &pid);
  AllowSetForegroundWindow(pid);  // so that it may bring its editor to the front
  DWORD_PTR result = 0;
  SendMessageTimeoutW(running, hk::WM_HK_SHOWEDITOR, hk::WM_HK_SHOWEDITOR, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                      10000, &result);
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The window appears some time after the start: two starts close together would both miss it. Held
  // from before the search until this start's window exists, the lock makes the later one wait for it.
  std::optional<hk::TStartLock> startLock;
  if (!DebugStart()) {
    startLock.emplace();
    if (HandOverToRunningInstance()) return 0;
  }

#ifdef HOTKEYS_RECORD_ACTIONS
  // The build the tests start: the calls behind the actions are only recorded, beside the program.
  hkrec::TActionRecorder recorder;
  hk::PowerCallsScope power(recorder.Power());
#else
  // The real way out of Windows; tests never install it.
  hk::PowerCallsScope power(hk::SystemPowerCalls());
#endif
  try {
    cl::TApplication application;
    application.Initialize();
    application.SetTitle("Calderine");
    application.SetHelpFile("Calderine.hlp");
    hk::UseHelpPage(application, hk::RealSystemCalls(), cl::ExtractFilePath(application.ExeName()));
    cl::RegisterStandardClasses();
    toolkit::RegisterToolkitClasses();
    skin::RegisterSkinComponents();
    hk::TfrmHotkeyEdit* editor = nullptr;
    application.CreateForm(editor, [&](hk::TfrmHotkeyEdit* form) {
      if (startLock) form->SetOnWindowMade([&] { startLock->Release(); });
    });
#ifdef HOTKEYS_RECORD_ACTIONS
    recorder.Attach(*editor);
#endif
    application.Run();
  } catch (const std::exception& e) {
    // Nothing may end the program without a word: not even a failure to make the application itself.
    cl::ShowFatalException(e, "Calderine");
    return 1;
  }
  return 0;
}
