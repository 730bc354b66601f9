// Dragging a tool window by its caption, frame or bare client area: the modal drag loop shows where the
// window would go, and the drop moves it there.
#include "ToolDock.h"
#include "ToolDockGeometry.h"
#include "ToolWinDrag.h"

namespace toolkit::dock {

bool TCustomToolWin::OnChildControl(int x, int y) const {
  if (!ClientRect().Contains(cl::Point(x, y))) return false;
  for (int i = 0; i < ControlCount(); ++i) {
    const cl::TControl* child = Controls(i);
    if (child->Visible() && child->BoundsRect().Contains(cl::Point(x, y))) return true;
  }
  return false;
}

void TCustomToolWin::MouseDown(cl::TMouseButton button, cl::TShiftState shift, int x, int y) {
  inherited::MouseDown(button, shift, x, y);
  if (button != cl::mbLeft || OnChildControl(x, y)) return;
  if (isDocked_ && dockedTo_ && !dockedTo_->AllowDrag()) return;
  if (shift.Contains(cl::ssDouble)) {
    // Dock step: a double click floats a docked window, or docks a floating one into its last or default
    // dock.
    return;
  }
  RunDragLoop(x, y);
  MouseUp(cl::mbLeft, cl::TShiftState{}, -1, -1);
}

void TCustomToolWin::RunDragLoop(int x, int y) {
  const HWND wnd = Handle();
  RECT window;
  GetWindowRect(wnd, &window);
  POINT client{0, 0};
  ::ClientToScreen(wnd, &client);
  const cl::TPoint grab{x + client.x - window.left, y + client.y - window.top};

  toolkit::TDragState drag;
  drag.Grab = GrabAt(grab, Width(), Height());
  drag.NoDock = GetKeyState(VK_CONTROL) < 0;
  drag.CannotFloat = dockMode_ != dmCanFloat;
  drag.Frame = DragFloatingFrame(resizable_, showCaption_);
  const POINT base = GetBaseSize();
  drag.FloatingOutline = FloatingOutlineSize(cl::TSize{base.x, base.y}, drag.Frame);
  // Dock step: the docks of the form (CollectDocks), or only the current one for
  // dmCannotFloatOrChangeDocks, with their outline sizes and their OnRequestDock.
  const std::optional<TDragDrop> drop = toolkit::RunDragLoop(wnd, drag, TRequestDock{});
  if (drop) CommitDrag(drop->Outline);
}

void TCustomToolWin::CommitDrag(const RECT& outline) {
  // Dock step: a drop into a dock takes its row and place there.
  floatPos_ = POINT{outline.left, outline.top};
  SetBounds(outline.left, outline.top, Width(), Height());
  MoveOnScreen(true);
}

}  // namespace toolkit::dock
