// Shared by the tool window's source files only.
#pragma once
#include <vector>

#include "ToolDock.h"

namespace toolkit::dock {

// The floating tool windows of the GUI thread, in the order they began floating.
std::vector<TCustomToolWin*>& FloatingList();

}  // namespace toolkit::dock
