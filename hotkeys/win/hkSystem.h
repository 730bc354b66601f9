// The actions that act on the system as a whole: Exit Windows, the volume, minimising all windows and
// undoing it, the screen saver and the CD drive door.
//
// Everything that would change the machine's state (leave Windows, start a program, open a folder, the
// volume, the minimise animation, minimising other programs' windows, the screen saver, the drive door)
// goes through
// SystemCalls, so tests can run every action against a fake. Leaving Windows itself goes through the
// PowerCalls of hkPower.h.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace hk {

// Exit Windows parameters, in the order of the editor's parameter list.
enum ExitWindowsParam : int {
  EXIT_PARAM_SHUTDOWN = 0,
  EXIT_PARAM_LOGOFF = 1,
  EXIT_PARAM_RESTART = 2,
  EXIT_PARAM_SHUTDOWN_TIMER = 3,
};

// dwPlatformId values.
constexpr int PLATFORM_WIN9X = 1;
constexpr int PLATFORM_NT = 2;

// Second argument of ExitWindowsEx on the 9x family.
constexpr DWORD EXIT_REASON_WIN9X = 0x20;

inline constexpr char SHUTDOWN_TIMER_PROGRAM[] = "Pellwick.exe";
inline constexpr wchar_t MCI_DOOR_OPEN[] = L"Set cdaudio door open wait";
inline constexpr wchar_t MCI_DOOR_CLOSED[] = L"Set cdaudio door closed wait";
inline constexpr wchar_t TASKBAR_WINDOW_CLASS[] = L"Shell_TrayWnd";

// How long a window may take to answer a minimise or restore before it is passed over (hung windows).
constexpr UINT SYSCOMMAND_TIMEOUT_MS = 1000;

// The system's dwPlatformId.
int GetPlatformId();

class SystemCalls {
 public:
  virtual ~SystemCalls() = default;

  virtual int PlatformId() = 0;
  // ShellExecute; true when the system reports success.
  virtual bool ShellExecuteFile(HWND owner, const std::wstring& verb, const std::wstring& file,
                                const std::wstring& parameters, int show) = 0;

  // The default output device's master volume, 0..1; none where the system has no such device (before
  // per-application wave volumes) or it cannot be reached.
  virtual std::optional<float> GetMasterVolume() = 0;
  virtual bool SetMasterVolume(float level) = 0;
  // The wave-out volume: left channel in the low word, right channel in the high word.
  virtual std::optional<DWORD> GetWaveVolume() = 0;
  virtual bool SetWaveVolume(DWORD volume) = 0;

  // WM_SYSCOMMAND with lParam 0: sent with a time limit per window, or posted.
  virtual bool SendSysCommand(HWND window, WPARAM command) = 0;
  virtual bool PostSysCommand(HWND window, WPARAM command) = 0;

  // The system's minimise animation (iMinAnimate); the setting is changed for the session only.
  virtual std::optional<int> GetMinAnimate() = 0;
  virtual bool SetMinAnimate(int value) = 0;

  // mciSendString without a return buffer or callback window; true when it returned 0.
  virtual bool MciCommand(const std::wstring& command) = 0;
};

// The system's calls: for the program's main window only.
SystemCalls& RealSystemCalls();

class SystemActions {
 public:
  explicit SystemActions(SystemCalls& calls) noexcept : FCalls(calls) {}
  SystemActions(const SystemActions&) = delete;
  SystemActions& operator=(const SystemActions&) = delete;

  // The calls these actions make (the system's own, or a test's recorder).
  SystemCalls& Calls() const noexcept { return FCalls; }

  // Action 3. index: an ExitWindowsParam; others do nothing. appWindow owns the timer program's start;
  // programDir is the folder of the program's own file (a missing final separator is supplied).
  void ExitWindowsCommand(int index, HWND appWindow, const std::string& programDir);

  // Actions 6 (+1) and 7 (-1): one of 16 levels up or down, within 0..15, both channels alike.
  void ChangeVolume(int step);

  // Action 8: minimises every visible, not minimised top-level window but the taskbar, and remembers them.
  void MinimizeAllWindows();
  // Action 9: restores the remembered windows that still exist, last first; the list stays as it was.
  void UndoMinimizeAll();
  const std::vector<HWND>& MinimizedWindows() const noexcept { return FMinimizedWindows; }

  // Sets the minimise animation; returns the former setting (value itself when it cannot be read).
  int SetMinimizeAnimation(int value);

  // Action 11: posts SC_SCREENSAVE to mainWindow.
  void LaunchScreenSaver(HWND mainWindow);
  // Actions 12 and 13.
  void EjectCd();
  void CloseCd();
  // Action 14: the shell opens the folder, shown normally; the path is taken as it is (no macros).
  void OpenFolder(HWND owner, const std::string& path);

  // Whether Minimize All takes this window: visible, not iconic, and not the taskbar.
  static bool IsMinimizable(HWND window);

 private:
  static BOOL CALLBACK CollectWindowsProc(HWND window, LPARAM param);

  SystemCalls& FCalls;
  std::vector<HWND> FMinimizedWindows;
};

}  // namespace hk
