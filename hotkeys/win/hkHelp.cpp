#include "hkHelp.h"

#include <windows.h>

#include "FileUtil.h"
#include "WinString.h"

namespace hk {

std::string HelpPagePath(const std::string& programDir) {
  if (programDir.empty() || programDir.back() == '\\' || programDir.back() == '/') return programDir + HELP_PAGE;
  return programDir + '\\' + HELP_PAGE;
}

bool OpenHelpPage(SystemCalls& calls, const std::string& programDir) {
  const std::string page = HelpPagePath(programDir);
  const DWORD attributes = GetFileAttributesW(cl::ToWide(page).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    cl::Application->MessageBox("The help page " + page + " was not found.", HELP_CAPTION, MB_OK | MB_ICONWARNING);
    return false;
  }
  if (!calls.ShellExecuteFile(nullptr, L"open", cl::ToWide(page), L"", SW_SHOW)) {
    cl::Application->MessageBox("The help page " + page + " could not be opened.", HELP_CAPTION,
                                MB_OK | MB_ICONWARNING);
    return false;
  }
  return true;
}

void UseHelpPage(cl::TApplication& application, SystemCalls& calls, const std::string& programDir) {
  application.OnHelp = [&calls, programDir](cl::TObject*, const cl::THelpRequest&, bool& handled) {
    OpenHelpPage(calls, programDir);
    handled = true;
  };
}

}  // namespace hk
