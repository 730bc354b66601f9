// The calls behind the actions of the Hotkeys build that the tests start: instead of leaving Windows,
// starting programs, opening folders, changing the volume, minimising windows, starting the screen saver
// or moving the drive door, each call is written as one line of "actions.log" beside the program.
//
// Lines (UTF-8, fields separated by "|"):
//   launch|<program>|<parameters>|<directory>|<show code>
//   shell|<owner hex>|<verb>|<file>|<parameters>|<show code>
//   wave|<volume hex>          (the volume starts at level 8 on both channels: 80008000)
//   send|<window hex>|<command hex>
//   post|<window hex>|<command hex>
//   mci|<command>
//   exit|<flags>|<reason>
// Each line is on disk before the call returns, so a reader that sees a later line sees the earlier ones.
#pragma once
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "KernelHandle.h"
#include "WinString.h"
#include "hkEdit.h"
#include "hkPower.h"
#include "hkSystem.h"

namespace hkrec {

inline std::string Hex(std::uintptr_t value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llx", static_cast<unsigned long long>(value));
  return buf;
}

inline std::string Hex(HWND window) { return Hex(reinterpret_cast<std::uintptr_t>(window)); }

class TActionLog {
 public:
  TActionLog() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    FPath = self;
    FPath.erase(FPath.find_last_of(L'\\') + 1);
    FPath += L"actions.log";
  }
  void Line(const std::string& text) const {
    const std::string line = text + "\n";
    const cl::TKernelHandle f(CreateFileW(FPath.c_str(), FILE_APPEND_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                          0, nullptr));
    if (!f) return;
    DWORD written = 0;
    WriteFile(f.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }

 private:
  std::wstring FPath;
};

class TRecordingSystemCalls final : public hk::SystemCalls {
 public:
  explicit TRecordingSystemCalls(const TActionLog& log) : FLog(log) {}

  int PlatformId() override { return hk::PLATFORM_NT; }
  bool ShellExecuteFile(HWND owner, const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                        int show) override {
    FLog.Line("shell|" + Hex(owner) + "|" + cl::FromWide(verb) + "|" + cl::FromWide(file) + "|" +
              cl::FromWide(parameters) + "|" + std::to_string(show));
    return true;
  }
  // No endpoint volume: the wave volume, which keeps both channels, shows the direction of each step.
  std::optional<float> GetMasterVolume() override { return std::nullopt; }
  bool SetMasterVolume(float) override { return false; }
  std::optional<DWORD> GetWaveVolume() override { return FWave; }
  bool SetWaveVolume(DWORD volume) override {
    FWave = volume;
    FLog.Line("wave|" + Hex(volume));
    return true;
  }
  bool SendSysCommand(HWND window, WPARAM command) override {
    FLog.Line("send|" + Hex(window) + "|" + Hex(command));
    return true;
  }
  bool PostSysCommand(HWND window, WPARAM command) override {
    FLog.Line("post|" + Hex(window) + "|" + Hex(command));
    return true;
  }
  std::optional<int> GetMinAnimate() override { return FAnimate; }
  bool SetMinAnimate(int value) override {
    FAnimate = value;
    return true;
  }
  bool MciCommand(const std::wstring& command) override {
    FLog.Line("mci|" + cl::FromWide(command));
    return true;
  }

 private:
  const TActionLog& FLog;
  DWORD FWave = 0x8000'8000;
  int FAnimate = 1;
};

// Everything the program's entry installs: the power calls before the application exists, the system
// calls and the launcher on the main window once it is made.
class TActionRecorder {
 public:
  hk::PowerCalls& Power() { return FPower; }
  void Attach(hk::TfrmHotkeyEdit& editor) {
    editor.SetSystemCalls(FSystem);
    editor.SetLauncher([this](HWND, const hk::LaunchRequest& r) {
      FLog.Line("launch|" + r.program + "|" + r.parameters + "|" + r.directory + "|" + std::to_string(r.showCode));
    });
  }

 private:
  TActionLog FLog;
  TRecordingSystemCalls FSystem{FLog};
  // ExitWindowsEx only writes its line.
  hk::RecordingPowerCalls FPower{[this](UINT flags, DWORD reason) {
    FLog.Line("exit|" + std::to_string(flags) + "|" + std::to_string(reason));
  }};
};

}  // namespace hkrec
