// The text work of "Open Program or File": the fields of its data, the environment macro ("%NAME%") and
// the folder macro ("$NAME$") of a command line and a start-in folder, and the split of a command line
// into program and parameters. The environment, the folders and the file system are passed in, so
// nothing here touches the system.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace hk {

// The value of an environment variable; empty text when there is none.
using EnvironmentLookup = std::function<std::string(std::string_view name)>;

// Where the path of a folder macro comes from.
enum class FolderSource : std::uint8_t {
  Shell,             // the shell's special folder `shellFolder` (a CSIDL number)
  CurrentVersion,    // the string value `valueName` of HKLM "\SOFTWARE\Microsoft\Windows\CurrentVersion"
  SystemDirectory,   // the system directory
  WindowsDirectory,  // the Windows directory
};

struct FolderMacro {
  std::string_view name;  // upper case
  FolderSource source;
  int shellFolder;              // FolderSource::Shell only, else -1
  std::string_view valueName;   // FolderSource::CurrentVersion only
};

extern const std::array<FolderMacro, 20> FolderMacros;

// The folder macro of a name, matched without regard to (ASCII) case; nullptr for an unknown name.
const FolderMacro* FindFolderMacro(std::string_view name);

// The path of a folder macro; empty text when the folder has no file-system path or the look-up failed
// (the macro is then removed, as an unknown one is).
using FolderLookup = std::function<std::string(const FolderMacro& folder)>;

// Removes leading blanks (character 32 only).
std::string StripLeadingSpaces(std::string_view s);
// Removes leading and trailing blanks and control characters (bytes up to 32).
std::string TrimBlanks(std::string_view s);

// Replaces the first "%NAME%" by the variable's value. Only the first "%" counts: with no second "%"
// after it, or with the two adjacent, the text stays unchanged; later macros are left as they are.
std::string ExpandEnvironmentMacro(std::string_view s, const EnvironmentLookup& environment);
// The same scan with "$": the first "$NAME$" becomes the folder's path, an unknown name nothing.
std::string ExpandFolderMacro(std::string_view s, const FolderLookup& folders);

// The data of "Open Program or File" as one text: command line, ";", show name, ";", start-in folder.
struct ProgramData {
  std::string command;
  std::string show;
  std::string startIn;

  friend bool operator==(const ProgramData&, const ProgramData&) = default;
};

// Trims the text, then splits it at the first ";" and the first ";" of the rest. Without any ";" the
// whole text is the command, shown "Normal" from no folder.
ProgramData SplitProgramData(std::string_view data);

// Window show codes of the show names.
inline constexpr int ShowNormalCode = 1;     // SW_SHOWNORMAL
inline constexpr int ShowMinimizedCode = 2;  // SW_SHOWMINIMIZED
inline constexpr int ShowMaximizedCode = 3;  // SW_SHOWMAXIMIZED

// "Normal", "Maximized", "Minimized" in any case; any other name (a file written by hand) shows normally.
int ShowCodeOf(std::string_view showName);

// What the shell is asked to open: program, parameters and folder as given to its default action.
struct LaunchRequest {
  std::string program;
  std::string parameters;
  std::string directory;  // passed even when empty
  int showCode = ShowNormalCode;

  friend bool operator==(const LaunchRequest&, const LaunchRequest&) = default;
};

struct LaunchContext {
  EnvironmentLookup environment;
  FolderLookup folders;
  // True for the path of an existing file or folder. Such a path runs whole even when it holds blanks:
  // a folder macro alone ("$STARTUP$") names a folder, and its path often has blanks.
  std::function<bool(const std::string& path)> pathExists;
};

// Command and folder are trimmed and go through the environment macro, the folder macro and
// StripLeadingSpaces. A command that is not an existing path and holds a blank is split: after a
// leading quoted part with at least one character between its quotes (quotes kept in the program),
// otherwise at the first blank. The parameters are trimmed; the show name is not expanded.
LaunchRequest PrepareLaunch(const ProgramData& data, const LaunchContext& context);

}  // namespace hk
