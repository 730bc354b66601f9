// The geometry of dragging a tool window, without windows: where the outline stands for a cursor
// position, which dock catches it, how a floating outline is kept on the work area, which row and place a
// drop into a dock asks for, and the order in which a form's docks are offered. The drag loop feeds it
// the cursor, the docks' screen rectangles and the work areas, and draws what it returns.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "Classes.h"
#include "DockLayout.h"
#include "Types.h"

namespace toolkit {

// number * numerator / denominator in 64 bits, rounded half away from zero, saturated to int. A zero
// denominator gives 0: the proportions it serves have a zero-size reference only for a one-pixel window,
// whose one pixel is its start.
int MulDivRounded(int number, int numerator, int denominator) noexcept;

// The pressed point of a drag in window coordinates, and the window's size less one at the start.
struct TDragGrab {
  cl::TPoint Grab;
  cl::TPoint RefSize;
};
TDragGrab GrabAt(cl::TPoint grab, int width, int height) noexcept;

// An outline of `size` placed at the cursor so that the grab point keeps its relative place in it.
cl::TRect OutlineAt(const TDragGrab& grab, cl::TPoint cursor, cl::TSize size) noexcept;

// A floating window's frame: the thickness of one side across and down, and the caption height (0 when
// the caption is not shown), which the top side adds.
struct TFloatingFrameSize {
  int SideX = 0;
  int SideY = 0;
  int Caption = 0;
  cl::TSize Total() const noexcept { return {2 * SideX, 2 * SideY + Caption}; }
  int TopNonClient() const noexcept { return SideY + Caption; }
};

// Outline sizes: a window's content with the frame it would have there. Floating, the content is the
// window's base size; docked, the current client size on its own dock and the base size on any other.
cl::TSize FloatingOutlineSize(cl::TSize baseSize, const TFloatingFrameSize& frame) noexcept;
cl::TSize DockedOutlineSize(cl::TSize content, cl::TSize dockedFrame) noexcept;

// A dock the drag may go to, with the outline size the window would have on it.
struct TDragDock {
  const void* Dock = nullptr;
  cl::TRect Window;  // the dock's window rectangle, screen coordinates
  bool Vertical = false;
  cl::TSize Outline;
};

// Whether the dock catches a drag at `cursor`: within 32 pixels across its ends and 20 along its sides,
// shared between the two sides in proportion to where the window was grabbed, and the outline touching
// the dock. A dock without thickness is widened by a pixel on each side, so an empty dock can be hit.
bool DockCatchesDrag(const TDragGrab& grab, const TDragDock& dock, cl::TPoint cursor) noexcept;

// The point moved to the nearest pixel inside the work area (its top-left corner when that is empty).
cl::TPoint ClampIntoWorkArea(cl::TPoint point, const cl::TRect& workArea) noexcept;
// Moves a floating outline back so that it overlaps the work area by at least the frame plus 4 pixels
// on every side, and so that of its top frame and caption all but 4 pixels at most leave the top.
cl::TRect KeepFloatingOnWorkArea(cl::TRect outline, const cl::TRect& workArea,
                                 const TFloatingFrameSize& frame) noexcept;

// One drag.
struct TDragState {
  TDragGrab Grab;
  bool NoDock = false;       // Ctrl held: no dock takes the window
  bool CannotFloat = false;  // the window may only be docked
  TFloatingFrameSize Frame;
  cl::TSize FloatingOutline;
  std::vector<TDragDock> Docks;  // in the order CollectDocks gives
};

// Where the window would go: Docks[Target], or floating at -1; an empty Outline is no drop place, and
// NoEntry asks for the no-entry cursor.
struct TDragTarget {
  int Target = -1;
  cl::TRect Outline;
  bool NoEntry = false;
};

using TWorkAreaAt = std::function<cl::TRect(cl::TPoint)>;
// A dock's say on taking the window; an empty function lets every dock accept.
using TRequestDock = std::function<bool(const TDragDock&)>;

// The first dock in order that catches the cursor and accepts takes the drag; without one the window
// floats at the cursor, kept on the work area of the cursor's monitor.
TDragTarget PlaceDrag(const TDragState& drag, cl::TPoint cursor, const TWorkAreaAt& workAreaAt,
                      const TRequestDock& requestDock);

// A drop into a dock: the row and the place along it, and the row to open first (ShiftRowsFrom), -1
// for none.
struct TDockDrop {
  int Row = 0;
  int Pos = 0;
  int OpenRow = -1;
  friend bool operator==(const TDockDrop&, const TDockDrop&) = default;
};
// The outline in the dock's client coordinates decides by its middle across the dock: near a row
// boundary a new row opens there; a full-size window dropped into a row with other bars gets a new row
// below it. `bar` is the dropped window (it may already be one of the dock's bars). `rows` is the dock's
// layout or the dock control itself: anything with DropRowAt(offset, newRow) and CountOthersInRow(row,
// bar) over its current rows.
template <class TRows, class TBar>
TDockDrop DecideDockDropIn(TRows& rows, bool vertical, const cl::TRect& outline, bool fullSize, const TBar* bar) {
  const int64_t sum = vertical ? int64_t{outline.Left} + outline.Right : int64_t{outline.Top} + outline.Bottom;
  TDockDrop drop;
  bool newRow = false;
  drop.Row = rows.DropRowAt(static_cast<int>(sum / 2), newRow);
  if (newRow) {
    drop.OpenRow = drop.Row;
  } else if (fullSize && rows.CountOthersInRow(drop.Row, bar) > 0) {
    ++drop.Row;
    drop.OpenRow = drop.Row;
  }
  drop.Pos = vertical ? outline.Top : outline.Left;
  return drop;
}
inline TDockDrop DecideDockDrop(const TDockLayout& dock, const cl::TRect& outline, bool fullSize, const void* bar) {
  return DecideDockDropIn(dock, dock.Dock.Vertical, outline, fullSize, bar);
}

// A window of a form, as far as the search for docks needs it: its windowed children in child order.
struct TDockTreeNode {
  const void* Control = nullptr;
  bool Showing = true;
  bool IsDock = false;
  TDockPosition Position = dpTop;
  bool AllowDrag = true;
  std::vector<TDockTreeNode> Children;
};

// The docks a dragged window may go to, in a fixed order: deeper docks before their container, top
// before bottom before left before right, and none in the dragged window or in a window not showing.
std::vector<const TDockTreeNode*> CollectDocks(const TDockTreeNode& form, const TDockTreeNode* toolWindow,
                                               cl::TSet<TDockPosition> dockableTo);

}  // namespace toolkit
