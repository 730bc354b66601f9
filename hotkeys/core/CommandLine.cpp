#include "CommandLine.h"

#include "Definitions.h"
#include "SysUtils.h"

namespace hk {

const std::array<FolderMacro, 20> FolderMacros = {{
    {"RECYCLEBIN", FolderSource::Shell, 10, {}},
    {"COMMONFILES", FolderSource::CurrentVersion, -1, "CommonFilesDir"},
    {"CONTROLS", FolderSource::Shell, 3, {}},
    {"DESKTOP", FolderSource::Shell, 0, {}},
    {"DESKTOPDIR", FolderSource::Shell, 16, {}},
    {"DRIVES", FolderSource::Shell, 17, {}},
    {"FONTS", FolderSource::Shell, 20, {}},
    {"NETHOOD", FolderSource::Shell, 19, {}},
    {"NETWORK", FolderSource::Shell, 18, {}},
    {"PERSONAL", FolderSource::Shell, 5, {}},
    {"PRINTERS", FolderSource::Shell, 4, {}},
    {"PROGRAMFILES", FolderSource::CurrentVersion, -1, "ProgramFilesDir"},
    {"PROGRAMS", FolderSource::Shell, 2, {}},
    {"RECENT", FolderSource::Shell, 8, {}},
    {"SENDTO", FolderSource::Shell, 9, {}},
    {"STARTMENU", FolderSource::Shell, 11, {}},
    {"STARTUP", FolderSource::Shell, 7, {}},
    {"SYSTEM", FolderSource::SystemDirectory, -1, {}},
    {"TEMPLATES", FolderSource::Shell, 21, {}},
    {"WINDOWS", FolderSource::WindowsDirectory, -1, {}},
}};

const FolderMacro* FindFolderMacro(std::string_view name) {
  for (const FolderMacro& m : FolderMacros)
    if (cl::SameText(m.name, name)) return &m;
  return nullptr;
}

std::string StripLeadingSpaces(std::string_view s) {
  const std::size_t p = s.find_first_not_of(' ');
  return p == std::string_view::npos ? std::string() : std::string(s.substr(p));
}

std::string TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

namespace {

template <typename Value>
std::string ExpandFirstMacro(std::string_view s, char sign, const Value& value) {
  // A sign that is only the last character opens nothing.
  const std::size_t open = s.find(sign);
  if (open == std::string_view::npos || open + 1 >= s.size()) return std::string(s);
  const std::size_t close = s.find(sign, open + 1);
  if (close == std::string_view::npos || close == open + 1) return std::string(s);
  std::string out(s.substr(0, open));
  out += value(s.substr(open + 1, close - open - 1));
  out += s.substr(close + 1);
  return out;
}

}  // namespace

std::string ExpandEnvironmentMacro(std::string_view s, const EnvironmentLookup& environment) {
  return ExpandFirstMacro(s, '%', [&](std::string_view name) { return environment ? environment(name) : std::string(); });
}

std::string ExpandFolderMacro(std::string_view s, const FolderLookup& folders) {
  return ExpandFirstMacro(s, '$', [&](std::string_view name) {
    const FolderMacro* folder = FindFolderMacro(name);
    return folder && folders ? folders(*folder) : std::string();
  });
}

ProgramData SplitProgramData(std::string_view data) {
  const std::string text = TrimBlanks(data);
  ProgramData out;
  const std::size_t first = text.find(';');
  if (first == std::string::npos) {
    out.command = text;
    out.show = std::string(ShowNames[0]);
    return out;
  }
  out.command = text.substr(0, first);
  const std::string_view rest = std::string_view(text).substr(first + 1);
  const std::size_t second = rest.find(';');
  out.show = std::string(rest.substr(0, second));
  if (second != std::string_view::npos) out.startIn = std::string(rest.substr(second + 1));
  return out;
}

int ShowCodeOf(std::string_view showName) {
  if (cl::SameText(showName, ShowNames[1])) return ShowMaximizedCode;
  if (cl::SameText(showName, ShowNames[2])) return ShowMinimizedCode;
  return ShowNormalCode;
}

namespace {

std::string ExpandPath(std::string_view text, const LaunchContext& context) {
  return StripLeadingSpaces(
      ExpandFolderMacro(ExpandEnvironmentMacro(TrimBlanks(text), context.environment), context.folders));
}

}  // namespace

LaunchRequest PrepareLaunch(const ProgramData& data, const LaunchContext& context) {
  LaunchRequest out;
  const std::string command = ExpandPath(data.command, context);
  out.directory = ExpandPath(data.startIn, context);
  out.showCode = ShowCodeOf(data.show);
  out.program = command;
  std::string parameters;
  if (!command.empty() && command.find(' ') != std::string::npos &&
      !(context.pathExists && context.pathExists(command))) {
    if (command[0] == '"') {
      const std::size_t close = command.find('"', 1);
      if (close != std::string::npos && close >= 2) {
        out.program = command.substr(0, close + 1);
        parameters = StripLeadingSpaces(std::string_view(command).substr(close + 1));
      }
    } else {
      const std::size_t blank = command.find(' ');
      out.program = command.substr(0, blank);
      parameters = command.substr(blank + 1);
    }
  }
  out.parameters = TrimBlanks(parameters);
  return out;
}

}  // namespace hk
