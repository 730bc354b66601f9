#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "CommandLine.h"

using namespace hk;

namespace {

const std::map<std::string, std::string> kEnvironment = {
    {"TEMP", "C:\\Temp"}, {"APP", "C:\\Program Files\\App\\app.exe"}, {"TOOLS", "D:\\Tools"},
    {"PCT", "%TEMP%"},    {"DOLLAR", "$WINDOWS$"},                     {"BLANKS", "   x"}};

std::string Env(std::string_view name) {
  const auto it = kEnvironment.find(std::string(name));
  return it == kEnvironment.end() ? std::string() : it->second;
}

std::string Folder(const FolderMacro& m) {
  switch (m.source) {
    case FolderSource::Shell: return m.shellFolder == 7 ? "C:\\Users\\u\\Start Menu\\Programs\\Startup" : "";
    case FolderSource::CurrentVersion: return "HKLM:" + std::string(m.valueName);
    case FolderSource::SystemDirectory: return "C:\\Windows\\system32";
    case FolderSource::WindowsDirectory: return "C:\\Windows";
  }
  return {};
}

LaunchContext Context(std::set<std::string> files = {}) {
  return {Env, Folder, [files](const std::string& path) { return files.count(path) != 0; }};
}

LaunchRequest Launch(std::string_view data, std::set<std::string> files = {}) {
  return PrepareLaunch(SplitProgramData(data), Context(std::move(files)));
}

}  // namespace

TEST(CommandLine, BlankRemoval) {
  EXPECT_EQ(StripLeadingSpaces("  a b "), "a b ");
  EXPECT_EQ(StripLeadingSpaces("\t a"), "\t a");  // blanks only
  EXPECT_EQ(StripLeadingSpaces("   "), "");
  EXPECT_EQ(TrimBlanks("\t\r\n a b \x01"), "a b");
  EXPECT_EQ(TrimBlanks(" \xC3\xA9 "), "\xC3\xA9");
  EXPECT_EQ(TrimBlanks(""), "");
}

TEST(CommandLine, EnvironmentMacro) {
  EXPECT_EQ(ExpandEnvironmentMacro("%TEMP%\\x.txt", Env), "C:\\Temp\\x.txt");
  EXPECT_EQ(ExpandEnvironmentMacro("a %NOPE% b", Env), "a  b");  // an undefined variable goes with its signs
  // Only the first macro, and only the first sign, count.
  EXPECT_EQ(ExpandEnvironmentMacro("%TEMP%;%TOOLS%", Env), "C:\\Temp;%TOOLS%");
  EXPECT_EQ(ExpandEnvironmentMacro("%%TEMP%", Env), "%%TEMP%");
  EXPECT_EQ(ExpandEnvironmentMacro("100% %TEMP%", Env), "100TEMP%");  // the name is " "
  EXPECT_EQ(ExpandEnvironmentMacro("x%", Env), "x%");
  EXPECT_EQ(ExpandEnvironmentMacro("%", Env), "%");
  EXPECT_EQ(ExpandEnvironmentMacro("%TEMP", Env), "%TEMP");
  EXPECT_EQ(ExpandEnvironmentMacro("", Env), "");
  // A value is inserted as it is, never expanded again.
  EXPECT_EQ(ExpandEnvironmentMacro("%PCT%", Env), "%TEMP%");
  EXPECT_EQ(ExpandEnvironmentMacro("%TEMP%", EnvironmentLookup()), "");
}

TEST(CommandLine, FolderMacro) {
  EXPECT_EQ(ExpandFolderMacro("$STARTUP$", Folder), "C:\\Users\\u\\Start Menu\\Programs\\Startup");
  EXPECT_EQ(ExpandFolderMacro("$windows$\\notepad.exe", Folder), "C:\\Windows\\notepad.exe");
  EXPECT_EQ(ExpandFolderMacro("$System$\\calc.exe", Folder), "C:\\Windows\\system32\\calc.exe");
  EXPECT_EQ(ExpandFolderMacro("$ProgramFiles$\\x", Folder), "HKLM:ProgramFilesDir\\x");
  EXPECT_EQ(ExpandFolderMacro("$COMMONFILES$", Folder), "HKLM:CommonFilesDir");
  EXPECT_EQ(ExpandFolderMacro("a$NOWHERE$b", Folder), "ab");
  EXPECT_EQ(ExpandFolderMacro("$RECYCLEBIN$x", Folder), "x");  // no file-system path
  EXPECT_EQ(ExpandFolderMacro("$WINDOWS$;$SYSTEM$", Folder), "C:\\Windows;$SYSTEM$");
  EXPECT_EQ(ExpandFolderMacro("$$WINDOWS$", Folder), "$$WINDOWS$");
  EXPECT_EQ(ExpandFolderMacro("cost 5$", Folder), "cost 5$");

  // The table: every name upper case, found in any case, each shell folder with its own number.
  std::set<int> shellFolders;
  for (const FolderMacro& m : FolderMacros) {
    EXPECT_EQ(FindFolderMacro(m.name), &m);
    std::string lower(m.name);
    for (char& c : lower) c = static_cast<char>(c - 'A' + 'a');
    EXPECT_EQ(FindFolderMacro(lower), &m);
    if (m.source == FolderSource::Shell) EXPECT_TRUE(shellFolders.insert(m.shellFolder).second);
    else EXPECT_EQ(m.shellFolder, -1);
  }
  EXPECT_EQ(shellFolders, (std::set<int>{0, 2, 3, 4, 5, 7, 8, 9, 10, 11, 16, 17, 18, 19, 20, 21}));
  EXPECT_EQ(FindFolderMacro("DESKTOPDIR")->shellFolder, 16);
  EXPECT_EQ(FindFolderMacro("STARTMENU")->shellFolder, 11);
  EXPECT_EQ(FindFolderMacro(""), nullptr);
}

TEST(CommandLine, ProgramDataFields) {
  EXPECT_EQ(SplitProgramData("notepad.exe"), (ProgramData{"notepad.exe", "Normal", ""}));
  EXPECT_EQ(SplitProgramData("  notepad.exe a.txt \r\n"), (ProgramData{"notepad.exe a.txt", "Normal", ""}));
  EXPECT_EQ(SplitProgramData("calc.exe;Maximized;C:\\Work"), (ProgramData{"calc.exe", "Maximized", "C:\\Work"}));
  EXPECT_EQ(SplitProgramData("calc.exe;Minimized"), (ProgramData{"calc.exe", "Minimized", ""}));
  EXPECT_EQ(SplitProgramData("calc.exe;;D:\\a;b"), (ProgramData{"calc.exe", "", "D:\\a;b"}));
  EXPECT_EQ(SplitProgramData(";Normal;"), (ProgramData{"", "Normal", ""}));

  EXPECT_EQ(ShowCodeOf("Normal"), ShowNormalCode);
  EXPECT_EQ(ShowCodeOf("MAXIMIZED"), ShowMaximizedCode);
  EXPECT_EQ(ShowCodeOf("minimized"), ShowMinimizedCode);
  EXPECT_EQ(ShowCodeOf("Hidden"), ShowNormalCode);
  EXPECT_EQ(ShowCodeOf(""), ShowNormalCode);
}

TEST(CommandLine, ProgramAndParameters) {
  // A bare program, shown normally from no folder.
  EXPECT_EQ(Launch("notepad.exe"), (LaunchRequest{"notepad.exe", "", "", ShowNormalCode}));
  // Split at the first blank; the parameters lose their outer blanks.
  EXPECT_EQ(Launch("notepad.exe   a b.txt ;Minimized;C:\\Work"),
            (LaunchRequest{"notepad.exe", "a b.txt", "C:\\Work", ShowMinimizedCode}));
  // An existing file with blanks in its path runs whole.
  EXPECT_EQ(Launch("C:\\Program Files\\App\\app.exe", {"C:\\Program Files\\App\\app.exe"}),
            (LaunchRequest{"C:\\Program Files\\App\\app.exe", "", "", ShowNormalCode}));
  EXPECT_EQ(Launch("C:\\Program Files\\App\\app.exe"),
            (LaunchRequest{"C:\\Program", "Files\\App\\app.exe", "", ShowNormalCode}));
  // A quoted program keeps its quotes; the arguments follow without leading blanks.
  EXPECT_EQ(Launch("\"C:\\Program Files\\App\\app.exe\"   -x \"a b\";Maximized"),
            (LaunchRequest{"\"C:\\Program Files\\App\\app.exe\"", "-x \"a b\"", "", ShowMaximizedCode}));
  EXPECT_EQ(Launch("\"C:\\Program Files\\App\\app.exe\""),
            (LaunchRequest{"\"C:\\Program Files\\App\\app.exe\"", "", "", ShowNormalCode}));
  // Empty quotes or no closing quote: nothing is split.
  EXPECT_EQ(Launch("\"\" x y"), (LaunchRequest{"\"\" x y", "", "", ShowNormalCode}));
  EXPECT_EQ(Launch("\"C:\\a b x"), (LaunchRequest{"\"C:\\a b x", "", "", ShowNormalCode}));
  EXPECT_EQ(Launch(""), (LaunchRequest{"", "", "", ShowNormalCode}));
}

TEST(CommandLine, MacrosBeforeTheSplit) {
  // The variable is expanded first, then split at the first blank of the result.
  EXPECT_EQ(Launch("%APP% --open"), (LaunchRequest{"C:\\Program", "Files\\App\\app.exe --open", "", 1}));
  EXPECT_EQ(Launch("%APP% --open", {"C:\\Program Files\\App\\app.exe --open"}),
            (LaunchRequest{"C:\\Program Files\\App\\app.exe --open", "", "", 1}));
  EXPECT_EQ(Launch("\"%APP%\" --open"), (LaunchRequest{"\"C:\\Program Files\\App\\app.exe\"", "--open", "", 1}));
  // Environment first, then folder, then leading blanks; the folder goes the same way.
  EXPECT_EQ(Launch("%DOLLAR%\\notepad.exe;normal;$windows$\\Temp"),
            (LaunchRequest{"C:\\Windows\\notepad.exe", "", "C:\\Windows\\Temp", 1}));
  EXPECT_EQ(Launch("%BLANKS% y"), (LaunchRequest{"x", "y", "", 1}));
  EXPECT_EQ(Launch("%NOPE%calc.exe;Maximized;%TEMP%"), (LaunchRequest{"calc.exe", "", "C:\\Temp", 3}));
  // A folder with blanks in its path opens whole, as an existing file does.
  EXPECT_EQ(Launch("$STARTUP$", {"C:\\Users\\u\\Start Menu\\Programs\\Startup"}),
            (LaunchRequest{"C:\\Users\\u\\Start Menu\\Programs\\Startup", "", "", 1}));
  // Only the first macro of each kind.
  EXPECT_EQ(Launch("%TOOLS%\\t.exe %TEMP% $SYSTEM$ $WINDOWS$"),
            (LaunchRequest{"D:\\Tools\\t.exe", "%TEMP% C:\\Windows\\system32 $WINDOWS$", "", 1}));
  // The show name is not expanded.
  EXPECT_EQ(Launch("a.exe;%SHOW%"), (LaunchRequest{"a.exe", "", "", ShowNormalCode}));
}

TEST(CommandLine, FieldsGivenApartAreTrimmedToo) {
  const ProgramData data{" \tnotepad.exe x ", "Maximized", "  C:\\Work \t"};
  EXPECT_EQ(PrepareLaunch(data, Context()), (LaunchRequest{"notepad.exe", "x", "C:\\Work", ShowMaximizedCode}));
  // A ";" inside a command line given apart stays in the command.
  const ProgramData semi{"cmd.exe /c a;b", "Normal", ""};
  EXPECT_EQ(PrepareLaunch(semi, Context()), (LaunchRequest{"cmd.exe", "/c a;b", "", ShowNormalCode}));
  // Without lookups every macro is removed and no file exists.
  EXPECT_EQ(PrepareLaunch({"%TEMP%$WINDOWS$a b", "", ""}, LaunchContext{}), (LaunchRequest{"a", "b", "", 1}));
}
