// What the tool window's modal loops (the close button's tracking, sizing, dragging) share: how they take
// their next message and what they do with the messages they do not handle.
#pragma once
#include <windows.h>

namespace toolkit::modal {

// The next message of a modal loop; false when the loop must end: an error, or a quit request (posted
// again for the loops outside).
bool NextMessage(MSG& msg);

// What a modal loop does not handle itself: the right and middle buttons are swallowed, everything else
// goes its way.
void PassOn(const MSG& msg);

}  // namespace toolkit::modal
