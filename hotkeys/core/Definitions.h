// The hotkey entries and their persistent copy, the definitions file (*.hkd): the entry model that the
// editor's table holds, the writer, the editor's reader, the registration reader with its command texts,
// the ID rules and the path rules of the file in use.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

// ------------------------------------------------------------------------------------ names and numbers

// Action numbers: the position of the action's name in the action list; 15 has no name.
enum HotkeyAction : int {
  haOpenProgram = 0,
  haSendKeystrokes = 1,
  haExecuteMultiple = 2,
  haExitWindows = 3,
  haEditHotkeys = 4,
  haViewHotkeyList = 5,
  haIncreaseVolume = 6,
  haDecreaseVolume = 7,
  haMinimizeAll = 8,
  haUndoMinimizeAll = 9,
  haSwitchClipboard = 10,
  haScreenSaver = 11,
  haEjectCd = 12,
  haCloseCd = 13,
  haOpenFolder = 14,
  haOpenDefinitions = 15,
};

inline constexpr int ActionNameCount = 15;
inline constexpr std::array<std::string_view, ActionNameCount> ActionNames = {
    "Open Program or File", "Send Keystrokes", "Execute Multiple Commands", "Exit Windows", "Edit Calderine",
    "View Hotkey List", "Increase Volume", "Decrease Volume", "Minimize All Windows", "Undo Minimize All",
    "Switch to Virtual Clipboard", "Launch Screen Saver", "Eject CD-ROM", "Close CD-ROM", "Open a Folder",
};
// Parameters of "Exit Windows", by their stored position.
inline constexpr std::array<std::string_view, 4> ExitWindowsParameterNames = {"Shutdown", "Log off", "Restart Windows",
                                                                              "Shutdown-Timer"};
// Show names of "Open Program or File", in the order of the show list.
inline constexpr std::array<std::string_view, 3> ShowNames = {"Normal", "Maximized", "Minimized"};

inline constexpr std::string_view DefinitionsHeader = "Hotkey definitions, version 1.5";

// File versions by header; any header other than the four old ones is the current version.
inline constexpr int DefinitionsVersion100 = 100;
inline constexpr int DefinitionsVersion105 = 105;
inline constexpr int DefinitionsVersion120 = 120;
inline constexpr int DefinitionsVersion130 = 130;
inline constexpr int DefinitionsVersion150 = 150;
int DefinitionsVersionOfHeader(std::string_view header);

// The lists whose names the table holds and whose positions the file holds. Matching a name ignores ASCII
// case and takes the first match; a position outside a list reads as empty text.
struct DefinitionsNaming {
  std::vector<std::string> actionNames{ActionNames.begin(), ActionNames.end()};
  std::vector<std::string> exitWindowsParameters{ExitWindowsParameterNames.begin(), ExitWindowsParameterNames.end()};
};

// --------------------------------------------------------------------------------------------- the model

// One row of the editor's table. The defaults are those of a new blank entry.
struct HotkeyEntry {
  std::string description;
  std::string id;
  std::string action{ActionNames[0]};  // the action's name; empty for a number without name
  // The action number read with the row. The writer uses the number of `action` when that name is in
  // the list and this number otherwise, so a row of an action without name (15) keeps its action.
  std::int32_t actionNumber = haOpenProgram;
  // Exit Windows: the parameter name; Switch to Virtual Clipboard: the clipboard number "1", "2", ...;
  // the actions with a string: that string; the others: empty.
  std::string data;
  std::string hotkey;           // the hotkey text
  std::string active{"True"};   // "True" or "False"
  std::string show{ShowNames[0]};
  std::string startIn;

  friend bool operator==(const HotkeyEntry&, const HotkeyEntry&) = default;
};

// What the writer stores: the table's rows in table order and the sort column the file records.
struct Definitions {
  std::int32_t sortColumn = -1;  // -1 none, 0 Description, 1 ID, 2 Action, 3 Data, 4 Hotkey, 5 Active
  bool sortAscending = true;
  std::vector<HotkeyEntry> entries;
};

// --------------------------------------------------------------------------------------------- writing

// The file image of the definitions in the current version.
std::string DefinitionsToBytes(const Definitions& defs, const DefinitionsNaming& naming = {});

// What a save does with the file it replaces: a file that was not read to its end holds entries the
// editor never showed, so the first save over it keeps a copy.
enum class OldDefinitionsFile { Replace, KeepBackup };

// The name of that copy: the file name plus ".bak" ("Hotkeys.hkd.bak").
std::string DefinitionsBackupFile(const std::string& fileName);

// Deletes the temporary files that a save of fileName killed midway left (of the file and of its backup).
// SaveDefinitions does so first; the program does so at its start.
void RemoveLeftoversOfSave(const std::string& fileName);

// Writes the definitions to fileName. The old file is replaced only once the new one is completely on
// disk (with KeepBackup, only once the old one is copied to its backup name, an older backup replaced);
// on failure it stays as it was and cl::EFCreateError or cl::EWriteError is thrown. A read-only file is
// not replaced (and no backup is made).
void SaveDefinitions(const std::string& fileName, const Definitions& defs, const DefinitionsNaming& naming = {},
                     OldDefinitionsFile old = OldDefinitionsFile::Replace);

// Writes a new definitions file with its one entry "Load Previous HKD File" (Win+L, action 15), whose
// data is the full path of the file that was in use before. Throws as SaveDefinitions does.
void CreateDefinitionsFile(const std::string& fileName, const std::string& previousFile);

// ------------------------------------------------------------------------------------- the editor reader

struct LoadedDefinitions {
  int version = 0;  // 0 when not even the header could be read
  // The sort fields as the file decides them: -1 and ascending for the old versions. Unset when reading
  // stopped before them, and the column also when the file's value lies outside -1..5: the table then
  // keeps its own.
  std::optional<std::int32_t> sortColumn;
  std::optional<bool> sortAscending;
  // The rows read completely, in file order; a row cut off by the end of reading is left out.
  std::vector<HotkeyEntry> entries;
  bool complete = false;  // false when reading stopped early (missing file, bad value, data ending early)
};

LoadedDefinitions ReadDefinitions(std::string_view bytes, const DefinitionsNaming& naming = {});
// A file that cannot be opened gives no rows and complete == false.
LoadedDefinitions LoadDefinitions(const std::string& fileName, const DefinitionsNaming& naming = {});

// -------------------------------------------------------------------------------- the registration reader

// One record as the file holds it, no name looked up.
struct DefinitionRecord {
  std::string description;
  std::string id;  // empty in a version 1.0 file, which stores none
  std::int32_t action = haOpenProgram;
  std::string data;  // Exit Windows and Switch to Virtual Clipboard: the stored integer in decimal
  std::string hotkey;
  bool active = false;
  std::string show{ShowNames[0]};  // action 0 only; "Normal" where the version stores none
  std::string startIn;             // action 0 only

  friend bool operator==(const DefinitionRecord&, const DefinitionRecord&) = default;
};

struct DefinitionRecords {
  int version = 0;
  std::vector<DefinitionRecord> records;  // the records read completely
  bool complete = false;
};

DefinitionRecords ReadDefinitionRecords(std::string_view bytes);
DefinitionRecords LoadDefinitionRecords(const std::string& fileName);

// Whether the registration takes the record: active, action not 16, and not an action 0 or 1 (or lower)
// with empty data.
bool IsRegistrable(const DefinitionRecord& record);

// ------------------------------------------------------------------------------------------------- IDs

// The first (at most) four ASCII letters and digits of text, letters upper-cased.
std::string IdFromText(std::string_view text);

// An ID made from text, padded with "0" to four characters and numbered until no row of the table but
// `row` (-1: none) has it. `ids` are the IDs of the table's rows; a table of at most one row is not searched.
std::string UniqueHotkeyId(std::span<const std::string> ids, std::ptrdiff_t row, std::string_view text);

// ----------------------------------------------------------------------------------------------- paths

// The path of a definitions file named by the user or the settings, by Windows path rules ("\"):
// trimmed of blanks and control characters (empty stays empty); a name with a drive ("X:") is kept;
// a name holding "\" is made absolute against currentDir; a bare name is put in programDir.
std::string ExpandDefinitionsPath(std::string_view name, std::string_view programDir, std::string_view currentDir);

// The program's path with the extension ".hkd".
std::string DefaultDefinitionsFile(std::string_view programPath);

// The definitions file in use for a value of the HKDFile setting: expanded and lower-cased; an empty or
// blank value gives the default file instead of an empty name.
std::string DefinitionsFileFromSetting(std::string_view value, std::string_view programPath, std::string_view currentDir);

}  // namespace hk
