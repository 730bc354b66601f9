#include "hkSystem.h"

#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "WinString.h"
#include "hkPower.h"

namespace hk {

namespace {

constexpr int VOLUME_LEVELS = 16;
constexpr int MAX_VOLUME_LEVEL = VOLUME_LEVELS - 1;

int ClampLevel(long long level) { return static_cast<int>(std::clamp<long long>(level, 0, MAX_VOLUME_LEVEL)); }

// ---- COM helpers for the endpoint volume ----

class TComApartment {
 public:
  TComApartment() noexcept : FResult(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~TComApartment() {
    // S_FALSE (already initialised) also counts and must be balanced; RPC_E_CHANGED_MODE must not.
    if (SUCCEEDED(FResult)) CoUninitialize();
  }
  TComApartment(const TComApartment&) = delete;
  TComApartment& operator=(const TComApartment&) = delete;
  bool Usable() const noexcept { return SUCCEEDED(FResult) || FResult == RPC_E_CHANGED_MODE; }

 private:
  HRESULT FResult;
};

template <class T>
class TComRef {
 public:
  TComRef() = default;
  ~TComRef() {
    if (FPtr) FPtr->Release();
  }
  TComRef(const TComRef&) = delete;
  TComRef& operator=(const TComRef&) = delete;
  T* operator->() const noexcept { return FPtr; }
  T** Out() noexcept { return &FPtr; }
  void** OutVoid() noexcept { return reinterpret_cast<void**>(&FPtr); }

 private:
  T* FPtr = nullptr;
};

// Runs fn on the default output device's volume interface; false when there is none.
template <class F>
bool WithEndpointVolume(F fn) {
  const TComApartment apartment;
  if (!apartment.Usable()) return false;
  TComRef<IMMDeviceEnumerator> enumerator;
  if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IMMDeviceEnumerator), enumerator.OutVoid())))
    return false;
  TComRef<IMMDevice> device;
  if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.Out()))) return false;
  TComRef<IAudioEndpointVolume> volume;
  if (FAILED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr, volume.OutVoid())))
    return false;
  return fn(*volume.operator->());
}

// ---- wave-out ----

class TWaveOut {
 public:
  // The wave mapper, opened with a plain PCM format it accepts on every system.
  TWaveOut() noexcept {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    if (waveOutOpen(&FHandle, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) FHandle = nullptr;
  }
  ~TWaveOut() {
    if (FHandle) waveOutClose(FHandle);
  }
  TWaveOut(const TWaveOut&) = delete;
  TWaveOut& operator=(const TWaveOut&) = delete;
  HWAVEOUT Handle() const noexcept { return FHandle; }

 private:
  HWAVEOUT FHandle = nullptr;
};

class TRealSystemCalls final : public SystemCalls {
 public:
  int PlatformId() override { return GetPlatformId(); }

  bool ShellExecuteFile(HWND owner, const std::wstring& verb, const std::wstring& file,
                        const std::wstring& parameters, int show) override {
    const HINSTANCE result = ::ShellExecuteW(owner, verb.c_str(), file.c_str(), parameters.c_str(), nullptr, show);
    return reinterpret_cast<INT_PTR>(result) > 32;
  }

  std::optional<float> GetMasterVolume() override {
    float level = 0;
    if (!WithEndpointVolume([&](IAudioEndpointVolume& v) { return SUCCEEDED(v.GetMasterVolumeLevelScalar(&level)); }))
      return std::nullopt;
    return level;
  }

  bool SetMasterVolume(float level) override {
    return WithEndpointVolume(
        [&](IAudioEndpointVolume& v) { return SUCCEEDED(v.SetMasterVolumeLevelScalar(level, nullptr)); });
  }

  std::optional<DWORD> GetWaveVolume() override {
    const TWaveOut wave;
    DWORD volume = 0;
    if (!wave.Handle() || waveOutGetVolume(wave.Handle(), &volume) != MMSYSERR_NOERROR) return std::nullopt;
    return volume;
  }

  bool SetWaveVolume(DWORD volume) override {
    const TWaveOut wave;
    return wave.Handle() && waveOutSetVolume(wave.Handle(), volume) == MMSYSERR_NOERROR;
  }

  bool SendSysCommand(HWND window, WPARAM command) override {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_SYSCOMMAND, command, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               SYSCOMMAND_TIMEOUT_MS, &result) != 0;
  }

  bool PostSysCommand(HWND window, WPARAM command) override {
    return PostMessageW(window, WM_SYSCOMMAND, command, 0) != FALSE;
  }

  std::optional<int> GetMinAnimate() override {
    ANIMATIONINFO info{};
    info.cbSize = sizeof info;
    if (!SystemParametersInfoW(SPI_GETANIMATION, sizeof info, &info, 0)) return std::nullopt;
    return info.iMinAnimate;
  }

  bool SetMinAnimate(int value) override {
    ANIMATIONINFO info{};
    info.cbSize = sizeof info;
    info.iMinAnimate = value;
    // No SPIF_UPDATEINIFILE: the change lasts for the action only and never reaches the user profile.
    return SystemParametersInfoW(SPI_SETANIMATION, sizeof info, &info, 0) != FALSE;
  }

  bool MciCommand(const std::wstring& command) override {
    return mciSendStringW(command.c_str(), nullptr, 0, nullptr) == 0;
  }
};

// Zeroes the minimise animation for its lifetime and puts the former setting back however it ends.
class TAnimationOff {
 public:
  explicit TAnimationOff(SystemActions& actions) : FActions(actions), FOld(actions.SetMinimizeAnimation(0)) {}
  ~TAnimationOff() {
    try {
      FActions.SetMinimizeAnimation(FOld);
    } catch (...) {
      // A destructor must not throw; the setting is the session's only.
    }
  }
  TAnimationOff(const TAnimationOff&) = delete;
  TAnimationOff& operator=(const TAnimationOff&) = delete;

 private:
  SystemActions& FActions;
  int FOld;
};

}  // namespace

int GetPlatformId() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return 0;
  return static_cast<int>(info.dwPlatformId);
}

SystemCalls& RealSystemCalls() {
  static TRealSystemCalls calls;
  return calls;
}

void SystemActions::ExitWindowsCommand(int index, HWND appWindow, const std::string& programDir) {
  const int platform = FCalls.PlatformId();
  // Enabled up front for the session; its result does not matter here (the exits check their own).
  if (platform == PLATFORM_NT) SetTokenPrivilege(SHUTDOWN_PRIVILEGE, true);

  const auto exitWith = [&](UINT flags) {
    if (platform == PLATFORM_WIN9X)
      CurrentPowerCalls().ExitWindowsEx(flags, EXIT_REASON_WIN9X);
    else if (platform == PLATFORM_NT)
      ExitWindowsWithPrivilege(flags);
  };

  switch (index) {
    case EXIT_PARAM_SHUTDOWN:
      exitWith(EXIT_FLAGS_SHUTDOWN);
      break;
    case EXIT_PARAM_LOGOFF:
      CurrentPowerCalls().ExitWindowsEx(EXIT_FLAGS_LOGOFF, 0);
      break;
    case EXIT_PARAM_RESTART:
      exitWith(EXIT_FLAGS_RESTART);
      break;
    case EXIT_PARAM_SHUTDOWN_TIMER: {
      std::string file = programDir;
      if (!file.empty() && file.back() != '\\' && file.back() != '/') file += '\\';
      file += SHUTDOWN_TIMER_PROGRAM;
      FCalls.ShellExecuteFile(appWindow, L"open", cl::ToWide(file), L"", SW_SHOWNORMAL);
      break;
    }
    default:
      break;
  }
}

void SystemActions::ChangeVolume(int step) {
  // Where wave volume is the program's own, only the device's master volume changes what is heard.
  if (const std::optional<float> master = FCalls.GetMasterVolume()) {
    const int level = ClampLevel(static_cast<long long>(std::floor(*master * VOLUME_LEVELS)));
    const int next = ClampLevel(static_cast<long long>(level) + step);
    FCalls.SetMasterVolume(static_cast<float>(next) / MAX_VOLUME_LEVEL);
    return;
  }
  const std::optional<DWORD> wave = FCalls.GetWaveVolume();
  if (!wave) return;
  // The right channel's top four bits give the level; both channels get the new one.
  const int next = ClampLevel(static_cast<long long>(*wave >> 28) + step);
  const DWORD channel = static_cast<DWORD>(next) << 12;
  FCalls.SetWaveVolume(channel | (channel << 16));
}

bool SystemActions::IsMinimizable(HWND window) {
  if (!IsWindowVisible(window) || IsIconic(window)) return false;
  wchar_t className[256] = {};
  GetClassNameW(window, className, 256);
  return std::wstring_view(className) != TASKBAR_WINDOW_CLASS;
}

BOOL CALLBACK SystemActions::CollectWindowsProc(HWND window, LPARAM param) {
  auto& windows = *reinterpret_cast<std::vector<HWND>*>(param);
  try {
    if (IsMinimizable(window)) windows.push_back(window);
  } catch (...) {
    return FALSE;  // out of memory: keep what was collected
  }
  return TRUE;
}

void SystemActions::MinimizeAllWindows() {
  FMinimizedWindows.clear();
  EnumWindows(CollectWindowsProc, reinterpret_cast<LPARAM>(&FMinimizedWindows));
  const TAnimationOff animationOff(*this);
  for (HWND window : FMinimizedWindows) FCalls.SendSysCommand(window, SC_MINIMIZE);
}

void SystemActions::UndoMinimizeAll() {
  const TAnimationOff animationOff(*this);
  for (auto it = FMinimizedWindows.rbegin(); it != FMinimizedWindows.rend(); ++it)
    if (IsWindow(*it)) FCalls.SendSysCommand(*it, SC_RESTORE);
}

int SystemActions::SetMinimizeAnimation(int value) {
  const std::optional<int> old = FCalls.GetMinAnimate();
  if (!old) return value;
  if (*old != value) FCalls.SetMinAnimate(value);
  return *old;
}

void SystemActions::LaunchScreenSaver(HWND mainWindow) { FCalls.PostSysCommand(mainWindow, SC_SCREENSAVE); }

void SystemActions::EjectCd() { FCalls.MciCommand(MCI_DOOR_OPEN); }

void SystemActions::OpenFolder(HWND owner, const std::string& path) {
  FCalls.ShellExecuteFile(owner, L"open", cl::ToWide(path), L"", SW_SHOWNORMAL);
}

void SystemActions::CloseCd() { FCalls.MciCommand(MCI_DOOR_CLOSED); }

}  // namespace hk
