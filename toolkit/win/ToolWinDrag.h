// The tool window's drag loop: while the left button is held, an XOR outline on the desktop shows where
// the window would go, into a dock that catches the cursor or floating at it, and the release says where
// it goes. The window class gathers the docks beforehand and commits the drop afterwards; the loop only
// tracks, and knows the docks by the ids the caller gave them.
#pragma once
#include <windows.h>

#include <optional>

#include "DragPlacement.h"

namespace toolkit {

// The floating frame as the drag's geometry counts it: the frame module's sides and, when shown, the
// small caption.
TFloatingFrameSize DragFloatingFrame(bool resizable, bool showCaption);

// Where a drag was dropped: into the dock the caller knows as Dock, or floating when Dock is null. The
// outline is in screen coordinates.
struct TDragDrop {
  const void* Dock = nullptr;
  RECT Outline{};
};

// Drags wnd with the mouse captured by it. drag holds the grab, whether Ctrl was down at the start
// (NoDock), whether the window may float, the candidate docks in order with their outline sizes, and the
// floating outline and frame; requestDock gives each dock that catches the drag its say (empty: every
// dock accepts). Pressing or releasing Ctrl re-evaluates at once; Esc, a second left press or a double
// click cancels; the right and middle buttons and other keys are swallowed; releasing the left button
// drops. Nothing when cancelled, when the capture went elsewhere, or when dropped where the window cannot
// go. The cursor roams freely, and the capture, the desktop's DC and its update lock are given back
// whichever way the loop ends, also when requestDock throws.
std::optional<TDragDrop> RunDragLoop(HWND wnd, const TDragState& drag, const TRequestDock& requestDock);

}  // namespace toolkit
