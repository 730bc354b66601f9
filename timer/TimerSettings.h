// "config.ini" beside the program (section and key names in code page 936 whatever the system's code
// page is) and the autorun value under HKEY_CURRENT_USER.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "IniFiles.h"

namespace pellwick {

// The file's own code page: the section and key names are Chinese.
constexpr unsigned ConfigCodePage = 936;
inline constexpr char ConfigFileName[] = "config.ini";

inline constexpr char SectionSystem[] = "系统参数";
inline constexpr char SectionTiming[] = "定时设置";
inline constexpr char SectionStartup[] = "启动设置";
inline constexpr char KeyAutoStartup[] = "checkbox1";
inline constexpr char KeySaveTime[] = "checkbox2";
inline constexpr char KeyAutoTask[] = "checkbox4";
inline constexpr char KeySeconds[] = "倒计时";
inline constexpr char KeyHour[] = "时";
inline constexpr char KeyMinute[] = "分";
inline constexpr char KeySecond[] = "秒";
inline constexpr char KeyCountDownMode[] = "倒计时定时";
inline constexpr char KeyExactTimeMode[] = "精确计时";
inline constexpr char KeyRemind[] = "关机提醒";
inline constexpr char KeyRunTaskAtStart[] = "启动时执行定时任务";

// The settings file object on `dir` + "\config.ini".
cl::TIniFile OpenConfig(const std::string& dir);

// The time settings of the main window, as saved and read back at start.
struct TTimeSettings {
  std::string seconds = "0";  // the seconds field's text, unchanged
  int hour = 0, minute = 0, second = 0;
  bool countDown = false;
  bool exactTime = false;
  bool remind = true;
};

// Missing keys give the defaults above.
TTimeSettings ReadTimeSettings(const cl::TIniFile& ini);
// [系统参数] checkbox2 := 1, then the [定时设置] keys in their fixed order.
void WriteTimeSettings(cl::TIniFile& ini, const TTimeSettings& settings);

// The settings dialog's three options.
struct TOptions {
  bool autoStartup = false;  // checkbox1
  bool saveTime = false;     // checkbox2
  bool autoTask = false;     // checkbox4, and [启动设置] 启动时执行定时任务
};
TOptions ReadOptions(const cl::TIniFile& ini);
// Whether the task starts by itself half a second after start-up.
bool ReadRunTaskAtStart(const cl::TIniFile& ini);

// The seconds text: 1 to 10 characters '0'..'9'. Its value, or nothing for any other text.
std::optional<int64_t> ParseSecondsText(std::string_view text);

// The autorun value: the quoted program path under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run. The quotes keep a path with blanks
// from being read as another program with arguments.
inline constexpr char AutorunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Writes value `name` with `programPath` quoted; nothing when the key cannot be opened. Raises the
// registry's error when the write fails.
void AddAutorun(const std::string& name, const std::string& programPath);
// Deletes value `name` under `key`, which is created when it is missing, as AddAutorun creates it: the
// key exists after either. A missing value is not an error.
void RemoveAutorun(const std::string& name, const std::string& key = AutorunKey);
// This program's full path, from its module file name.
std::string ProgramPath();

}  // namespace pellwick
