// What the registration of a definitions file produces, computed without windows: the command list (one
// command per registered hot key, its fields kept apart), the combinations to register under the same
// ids, the "Hot Programs" tray items and the hotkey hints of two tray items.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Definitions.h"
#include "SaHotKeyTable.h"

namespace hk {

// A command of the command list. Command line, show name and start-in folder stay separate fields, so a
// ";" inside a command line is never taken for a field boundary.
struct HotkeyCommand {
  std::int32_t action = haOpenProgram;
  std::string data;     // action 0: the command line; 3 and 10: the stored integer in decimal
  std::string show;     // action 0 only
  std::string startIn;  // action 0 only

  friend bool operator==(const HotkeyCommand&, const HotkeyCommand&) = default;
};

HotkeyCommand CommandFromRecord(const DefinitionRecord& record);
// The command's text as lists show it: the action number, "=", the data; for action 0 the command line,
// ";", the show name, ";", the start-in folder.
std::string CommandText(const HotkeyCommand& command);

struct HotkeyCombination {
  std::uint8_t key = 0;  // index into SaHotKeyVirtualKeys
  toolkit::TSaHotKeyModifiers modifiers;

  friend bool operator==(const HotkeyCombination&, const HotkeyCombination&) = default;
};

// An item of the tray's "Hot Programs" submenu: the caption holds the description, a tab and the hotkey
// text; the tag is the registration id (the command's position).
struct HotProgramItem {
  std::string caption;
  int tag = 0;

  friend bool operator==(const HotProgramItem&, const HotProgramItem&) = default;
};

inline constexpr std::string_view EditHotkeysCaption = "&Edit Calderine...";
inline constexpr std::string_view ListHotkeysCaption = "&View hotkey list...";
inline constexpr std::string_view AboutCaption = "&About...";
inline constexpr std::string_view HelpCaption = "Calderine &help";

struct RegistrationPlan {
  // Parallel lists: command i is registered with combination i under id i.
  std::vector<HotkeyCommand> commands;
  std::vector<HotkeyCombination> combinations;
  std::vector<HotProgramItem> hotPrograms;
  std::string editCaption{EditHotkeysCaption};
  std::string listCaption{ListHotkeysCaption};
};

// The plan for the records of a file, in file order; records that do not register are skipped without
// leaving a gap in the ids.
RegistrationPlan PlanRegistration(const std::vector<DefinitionRecord>& records);

}  // namespace hk
