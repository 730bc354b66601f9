// Running an ID list: its entries one after another, with the pauses between them. The pauses let the
// thread's messages be handled, so the program keeps painting and answering while a list runs.
#pragma once
#include <functional>
#include <vector>

#include "IdList.h"

namespace hk {

// Waits ms milliseconds while handling this thread's messages (through the application when there is
// one). False, early, when the application is told to end meanwhile (a WM_QUIT met without an
// application is posted again for the loop outside).
bool PauseHandlingMessages(unsigned ms);

// Runs the steps in order, each after its pause, through run (a step that runs nothing only pauses).
// False when a pause was cut short by the end of the application; the remaining steps are then not run.
// An exception of run ends the list.
bool RunIdListSteps(const std::vector<IdListStep>& steps, const std::function<void(const HotkeyCommand&)>& run,
                    const std::function<bool(unsigned)>& pause = PauseHandlingMessages);

}  // namespace hk
