// ID lists, the data of "Execute Multiple Commands" entries: entry IDs separated by ";", each optionally
// preceded by a delay element "D=<milliseconds>;" that sets the pause before the entries that follow.
// Here the text is taken apart and turned into the commands to run, without windows.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "Definitions.h"
#include "Registration.h"

namespace hk {

// The longest pause between two entries; longer (or negative) values written by hand are kept within
// 0..MaxIdListDelay, the range the selection dialog offers.
inline constexpr int MaxIdListDelay = 32767;

int ClampIdListDelay(int value) noexcept;

// When s begins with "D=" (exact case): removes it and the text up to the next ";" with that ";", and
// returns that text as a number (0 when it is not one; not clamped). Without a ";" after it the value is 0
// and the digits stay in s. Without "D=", s stays as it is and the result is -1.
int TakeDelayPrefix(std::string& s);

// The text before the first ";" (removed from s with the ";"), or all of s (s becomes empty).
std::string TakeNextId(std::string& s);

struct IdListItem {
  std::string id;
  int delayMs = 0;  // the pause in force for this ID (clamped)

  friend bool operator==(const IdListItem&, const IdListItem&) = default;
};

// The IDs of a list in order with their pauses, up to the first empty element, which ends the list. A
// delay counts only at the start or directly after an ID, so a second delay in a row is taken as an ID.
std::vector<IdListItem> ParseIdList(std::string_view list);

// Position of an action name in the action list (ASCII case ignored), -1 when it is none of them.
int ActionNumberOfName(std::string_view name);

// The command an editor row runs as part of a list: action 0 with its show name and folder; Exit Windows
// with the parameter's position; a clipboard with its number less one; the others with their data.
HotkeyCommand CommandOfEntry(const HotkeyEntry& entry, int action);

struct IdListStep {
  HotkeyCommand command;
  int pauseMs = 0;   // waited before the command runs; the first step never waits
  bool runs = true;  // false for a found row that runs nothing: it still costs its pause

  friend bool operator==(const IdListStep&, const IdListStep&) = default;
};

// What a list runs against the rows of the editor's table: for each ID the first row with exactly that
// ID (active or not). IDs that no row has are skipped without a pause. A row whose action has no name, or
// that is itself an ID list (so that no list can run itself or another list), runs nothing but costs its
// pause like any found row.
std::vector<IdListStep> PlanIdList(const std::vector<HotkeyEntry>& rows, std::string_view list);

// Whether some row with an ID of the list (up to its end, as the runner reads it) sends keystrokes.
bool ListSendsKeystrokes(const std::vector<HotkeyEntry>& rows, std::string_view list);

}  // namespace hk
