// Hot key texts and the generated definitions files of the benchmarks.
#pragma once
#include <iterator>
#include <optional>
#include <random>
#include <string>

#include "Definitions.h"
#include "HotkeyText.h"
#include "IniFiles.h"

namespace benchsupport {

// Combination n of the 107 keys with the modifier sets 1..15 (n / 107 + 1; n below 107 * 15).
inline std::string CombinationText(int n) {
  const int modifiers = 1 + n / 107;
  std::string text;
  if (modifiers & 1) hk::AppendKeyPart(text, "Ctrl");
  if (modifiers & 2) hk::AppendKeyPart(text, "Alt");
  if (modifiers & 4) hk::AppendKeyPart(text, "Shift");
  if (modifiers & 8) hk::AppendKeyPart(text, "Win");
  hk::AppendKeyPart(text, hk::HotkeyKeyNames[static_cast<size_t>(n % 107)]);
  return text;
}

// The program's settings for a benchmark, in the settings file given: no autorun value, so that no run
// leaves one behind; the definitions file to open, when one is given; the tray icon shown or hidden, when
// said (else the program's default).
inline void WriteBenchSettings(const std::string& iniFile, const std::string& definitions = {},
                               std::optional<bool> showIcon = std::nullopt) {
  cl::TIniFile ini(iniFile);
  ini.WriteInteger("Settings", "AutoRun", 0);
  if (showIcon) ini.WriteInteger("Settings", "ShowTaskbarIcon", *showIcon ? 1 : 0);
  if (!definitions.empty()) ini.WriteString("Settings", "HKDFile", definitions);
}

// A definitions file of one inactive row: what the editor benchmarks open before their own files.
inline void WriteOneRowDefinitions(const std::string& path) {
  hk::Definitions defs;
  hk::HotkeyEntry e;
  e.description = "Editor";
  e.data = "notepad.exe";
  e.hotkey = "Ctrl+Alt+Shift+F8";
  e.active = "False";
  defs.entries.push_back(e);
  hk::SaveDefinitions(path, defs);
}

// Varied rows: descriptions and IDs of mixed words and case, every action with data of its kind, and
// combinations of every key and modifier set. `active` rows: every combination distinct as far as the
// 1,605 there are go; the rest repeat them (their registration then fails, as a duplicate does).
inline hk::Definitions MakeDefinitions(int count, bool allActive) {
  static const char* const words[] = {"open",  "Mail",   "backup", "Editor", "notes", "Calc",  "paint",
                                      "SHELL", "music",  "Video",  "build",  "Log",   "server", "tidy",
                                      "Print", "screen", "Zip",    "web",    "Chat",  "diary"};
  constexpr int kWords = static_cast<int>(std::size(words));
  std::mt19937 random(20261209);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  hk::Definitions defs;
  defs.entries.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    hk::HotkeyEntry e;
    e.description = std::string(words[pick(kWords)]) + " " + words[pick(kWords)] + " " + std::to_string(pick(100000));
    e.id = std::string(words[pick(kWords)]).substr(0, 3) + std::to_string(i * 7919 % count);
    const int action = pick(hk::ActionNameCount);
    e.action = std::string(hk::ActionNames[static_cast<size_t>(action)]);
    e.actionNumber = action;
    switch (action) {
      case hk::haOpenProgram:
        e.data = "\"C:\\Program Files\\" + std::string(words[pick(kWords)]) + "\\app" + std::to_string(i) + ".exe\" -x";
        e.show = std::string(hk::ShowNames[static_cast<size_t>(pick(3))]);
        e.startIn = "C:\\Work\\" + std::string(words[pick(kWords)]);
        break;
      case hk::haSendKeystrokes: e.data = "Hello {ENTER} " + std::to_string(i); break;
      case hk::haExecuteMultiple: e.data = "D=100;" + e.id + ";x" + std::to_string(i); break;
      case hk::haExitWindows: e.data = std::string(hk::ExitWindowsParameterNames[static_cast<size_t>(pick(4))]); break;
      case hk::haSwitchClipboard: e.data = std::to_string(1 + pick(5)); break;
      case hk::haOpenFolder: e.data = "C:\\Users\\" + std::string(words[pick(kWords)]); break;
      default: break;
    }
    // Key positions 0..106 and the 15 non-empty modifier sets.
    e.hotkey = CombinationText(allActive ? i % (107 * 15) : pick(107 * 15));
    e.active = allActive ? "True" : "False";
    defs.entries.push_back(std::move(e));
  }
  return defs;
}

}  // namespace benchsupport
