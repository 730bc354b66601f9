// Dragging a tool window by its caption, frame or bare client area: the modal drag loop shows where the
// window would go, into a row of one of its form's docks or floating, and the drop puts it there. A double
// click floats a docked window or docks a floating one.
#include <algorithm>
#include <vector>

#include "ToolDock.h"
#include "ToolDockGeometry.h"
#include "ToolWinDrag.h"

namespace toolkit::dock {

namespace {

// The windowed controls under `control` as the search for docks sees them; every dock met is also kept
// in `docks`, so a node found by the search leads back to its control.
TDockTreeNode DockTree(cl::TWinControl& control, std::vector<TToolDock*>& docks) {
  TDockTreeNode node;
  node.Control = &control;
  node.Showing = control.Showing();
  if (auto* dock = dynamic_cast<TToolDock*>(&control)) {
    node.IsDock = true;
    node.Position = dock->Position();
    node.AllowDrag = dock->AllowDrag();
    docks.push_back(dock);
  }
  for (int i = 0; i < control.ControlCount(); ++i) {
    if (auto* child = dynamic_cast<cl::TWinControl*>(control.Controls(i)))
      node.Children.push_back(DockTree(*child, docks));
  }
  return node;
}

const TDockTreeNode* FindNode(const TDockTreeNode& node, const void* control) {
  if (node.Control == control) return &node;
  for (const TDockTreeNode& child : node.Children) {
    if (const TDockTreeNode* found = FindNode(child, control)) return found;
  }
  return nullptr;
}

TToolDock* DockOf(const std::vector<TToolDock*>& docks, const void* id) {
  const auto it = std::find_if(docks.begin(), docks.end(), [id](const TToolDock* dock) { return dock == id; });
  return it == docks.end() ? nullptr : *it;
}

cl::TRect ScreenRectOf(cl::TWinControl& control) {
  RECT r{};
  GetWindowRect(control.Handle(), &r);
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

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
    ToggleDocking();
    return;
  }
  RunDragLoop(x, y);
  MouseUp(cl::mbLeft, cl::TShiftState{}, -1, -1);
}

void TCustomToolWin::ToggleDocking() {
  if (isDocked_) {
    if (dockMode_ != dmCanFloat) return;
    SetDockedTo(nullptr);
    MoveOnScreen(true);
    return;
  }
  TToolDock* dock = useLastDock_ && lastDock_ ? lastDock_ : defaultDock_;
  // First in the first row.
  if (dock) DockAt(dock, 0, -8);
}

std::vector<TToolDock*> TCustomToolWin::DragDocks() {
  if (dockMode_ == dmCannotFloatOrChangeDocks) {
    if (isDocked_ && dockedTo_) return {dockedTo_};
    return {};
  }
  cl::TCustomForm* form = FindParentForm(this);
  if (!form) return {};
  std::vector<TToolDock*> all;
  const TDockTreeNode tree = DockTree(*form, all);
  std::vector<TToolDock*> docks;
  for (const TDockTreeNode* node : CollectDocks(tree, FindNode(tree, this), dockableTo_))
    docks.push_back(DockOf(all, node->Control));
  return docks;
}

cl::TSize TCustomToolWin::DockedOutline(const TToolDock& dock) {
  TDockedFrameOptions options;
  options.orientation = DockOrientationOf(&dock);
  options.allowDrag = dock.AllowDrag();
  options.closeButtonWhenDocked = closeButtonWhenDocked_;
  options.dragHandleStyle = dragHandleStyle_;
  const TNonClientSize frame = DockedNonClientSize(options);
  // On its own dock the window keeps the size its row gave it.
  cl::TSize content{ClientWidth(), ClientHeight()};
  if (&dock != dockedTo_) {
    const POINT base = GetBaseSize();
    content = {base.x, base.y};
  }
  return DockedOutlineSize(content, {frame.FrameWidth(), frame.FrameHeight()});
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
  std::vector<TToolDock*> docks = DragDocks();
  for (TToolDock* dock : docks) {
    drag.Docks.push_back({dock, ScreenRectOf(*dock), DockOrientationOf(dock) == kDockVertical, DockedOutline(*dock)});
    dock->FreeNotification(this);
  }
  // The form has its say through the dock's OnRequestDock. A dock freed meanwhile (by such a handler, say)
  // has left `docks` (Notification): it is neither asked nor dropped into.
  const auto requestDock = [&](const TDragDock& candidate) {
    TToolDock* dock = DockOf(docks, candidate.Dock);
    bool accept = dock != nullptr;
    if (dock && dock->OnRequestDock) dock->OnRequestDock(dock, this, accept);
    return accept;
  };
  dragDocks_ = &docks;
  std::optional<TDragDrop> drop;
  try {
    drop = toolkit::RunDragLoop(wnd, drag, requestDock);
  } catch (...) {
    dragDocks_ = nullptr;
    throw;
  }
  dragDocks_ = nullptr;
  if (!drop) return;
  TToolDock* target = DockOf(docks, drop->Dock);
  if (drop->Dock && !target) return;  // its dock is gone: the window stays where it was
  CommitDrag(target, drop->Outline);
}

void TCustomToolWin::CommitDrag(TToolDock* target, const RECT& outline) {
  if (target)
    DropIntoDock(*target, outline);
  else
    FloatAt(POINT{outline.left, outline.top});
  MoveOnScreen(true);
}

void TCustomToolWin::DropIntoDock(TToolDock& dock, const RECT& outline) {
  const cl::TPoint topLeft = dock.ScreenToClient(cl::TPoint{outline.left, outline.top});
  const cl::TRect r = cl::Bounds(topLeft.X, topLeft.Y, outline.right - outline.left, outline.bottom - outline.top);
  const TDockDrop drop = DecideDockDropIn(dock, DockOrientationOf(&dock) == kDockVertical, r, fullSize_, this);
  if (drop.OpenRow >= 0) dock.ShiftRowsFrom(drop.OpenRow);
  // The place is taken without arranging the dock the window leaves: arranged while the window still
  // counted there under its new row, that dock would close up the rows it is numbered for here.
  DockAt(&dock, drop.Row, drop.Pos);
  // The dropped place is kept as the dock fits it.
  dock.ArrangeBars(true);
}

}  // namespace toolkit::dock
