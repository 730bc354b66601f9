// The program's help: one page, "Help\help.html" in the program's folder, opened by the shell. Every way
// to ask for help ends here: the editor's Help button, the tray's help item and F1 in the other windows
// (whatever topic they ask for, the page holds them all).
#pragma once
#include <string>

#include "Forms.h"
#include "hkSystem.h"

namespace hk {

inline constexpr char HELP_PAGE[] = "Help\\help.html";
inline constexpr char HELP_CAPTION[] = "Calderine Help";

// The page below programDir (with or without its final separator).
std::string HelpPagePath(const std::string& programDir);

// Opens the page with the shell's "open" (no owner window, shown). A page that is not there, or that the
// shell cannot open, is reported in a message box. True when the shell opened it.
bool OpenHelpPage(SystemCalls& calls, const std::string& programDir);

// Makes the application's help the page below programDir: every request of the application (a form's
// topic, a keyword) opens it.
void UseHelpPage(cl::TApplication& application, SystemCalls& calls, const std::string& programDir);

}  // namespace hk
