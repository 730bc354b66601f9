#include "TimerSettings.h"

#include <windows.h>

#include "Registry.h"
#include "WinString.h"

namespace pellwick {

cl::TIniFile OpenConfig(const std::string& dir) {
  return cl::TIniFile(dir + "\\" + ConfigFileName, ConfigCodePage);
}

TTimeSettings ReadTimeSettings(const cl::TIniFile& ini) {
  TTimeSettings s;
  s.seconds = ini.ReadString(SectionTiming, KeySeconds, "0");
  s.hour = ini.ReadInteger(SectionTiming, KeyHour, 0);
  s.minute = ini.ReadInteger(SectionTiming, KeyMinute, 0);
  s.second = ini.ReadInteger(SectionTiming, KeySecond, 0);
  s.countDown = ini.ReadBool(SectionTiming, KeyCountDownMode, false);
  s.exactTime = ini.ReadBool(SectionTiming, KeyExactTimeMode, false);
  s.remind = ini.ReadBool(SectionTiming, KeyRemind, true);
  return s;
}

void WriteTimeSettings(cl::TIniFile& ini, const TTimeSettings& s) {
  ini.WriteBool(SectionSystem, KeySaveTime, true);
  ini.WriteString(SectionTiming, KeySeconds, s.seconds);
  ini.WriteInteger(SectionTiming, KeyHour, s.hour);
  ini.WriteInteger(SectionTiming, KeyMinute, s.minute);
  ini.WriteInteger(SectionTiming, KeySecond, s.second);
  ini.WriteBool(SectionTiming, KeyCountDownMode, s.countDown);
  ini.WriteBool(SectionTiming, KeyExactTimeMode, s.exactTime);
  ini.WriteBool(SectionTiming, KeyRemind, s.remind);
}

TOptions ReadOptions(const cl::TIniFile& ini) {
  return {ini.ReadBool(SectionSystem, KeyAutoStartup, false), ini.ReadBool(SectionSystem, KeySaveTime, false),
          ini.ReadBool(SectionSystem, KeyAutoTask, false)};
}

bool ReadRunTaskAtStart(const cl::TIniFile& ini) { return ini.ReadBool(SectionStartup, KeyRunTaskAtStart, false); }

std::optional<int64_t> ParseSecondsText(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  int64_t value = 0;  // ten digits always fit 64 bits
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

void AddAutorun(const std::string& name, const std::string& programPath) {
  cl::TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  if (!reg.OpenKey(AutorunKey, true)) return;
  reg.WriteString(name, "\"" + programPath + "\"");
  reg.CloseKey();
}

void RemoveAutorun(const std::string& name, const std::string& key) {
  cl::TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  if (!reg.OpenKey(key, true)) return;
  if (reg.ValueExists(name)) reg.DeleteValue(name);
  reg.CloseKey();
}

std::string ProgramPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return cl::FromWide(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace pellwick
