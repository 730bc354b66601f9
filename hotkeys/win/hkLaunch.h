// Starting programs, documents and folders through the shell, with the system's environment, special
// folders and file system behind the text rules of command lines.
#pragma once
#include <windows.h>

#include <string>

#include "CommandLine.h"

namespace hk {

// The environment, the special folders (shell, registry, system and Windows directories) and the file
// system of this machine.
const LaunchContext& SystemLaunchContext();

// The shell's default action on the request's program, with its parameters, folder and show code.
void ShellLaunch(HWND owner, const LaunchRequest& request);

// Opens a folder (or anything else the shell opens) shown normally; the path is taken as it is.
void ShellOpen(HWND owner, const std::string& path);

}  // namespace hk
