// State the control sources share about the mouse; not part of the library's interface.
#pragma once
#include "Controls.h"

namespace cl {

// The control under the mouse, which got CM_MOUSEENTER and is owed a CM_MOUSELEAVE.
extern thread_local TControl* mouseControl;

// The windowless control that holds the mouse: its parent's window has the capture, and every mouse
// message of that window goes to it until the button is released.
extern thread_local TControl* captureControl;

}  // namespace cl
