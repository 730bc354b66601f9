#include "DragPlacement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace toolkit {

namespace {

// The tolerance across a dock's ends and along its sides within which it catches a drag.
constexpr int kCatchAcross = 32;
constexpr int kCatchAlong = 20;
// What a floating outline keeps on the work area beyond its frame.
constexpr int kKeepOnWorkArea = 4;

cl::TRect Offset(cl::TRect r, int dx, int dy) noexcept {
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

bool Intersect(const cl::TRect& a, const cl::TRect& b) noexcept {
  return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) && std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

void Collect(const TDockTreeNode& control, const TDockTreeNode* toolWindow, cl::TSet<TDockPosition> dockableTo,
             std::vector<const TDockTreeNode*>& docks) {
  if (&control == toolWindow || !control.Showing) return;
  for (const TDockPosition position : {dpTop, dpBottom, dpLeft, dpRight}) {
    for (const TDockTreeNode& child : control.Children) {
      if (child.IsDock && child.Position == position) Collect(child, toolWindow, dockableTo, docks);
    }
  }
  for (const TDockTreeNode& child : control.Children) {
    if (!child.IsDock) Collect(child, toolWindow, dockableTo, docks);
  }
  if (control.IsDock && control.AllowDrag && dockableTo.Contains(control.Position)) docks.push_back(&control);
}

}  // namespace

int MulDivRounded(int number, int numerator, int denominator) noexcept {
  if (denominator == 0) return 0;
  int64_t product = int64_t{number} * numerator;
  int64_t divisor = denominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  const int64_t half = divisor / 2;
  const int64_t result = (product >= 0 ? product + half : product - half) / divisor;
  return static_cast<int>(
      std::clamp<int64_t>(result, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

TDragGrab GrabAt(cl::TPoint grab, int width, int height) noexcept { return {grab, {width - 1, height - 1}}; }

cl::TRect OutlineAt(const TDragGrab& grab, cl::TPoint cursor, cl::TSize size) noexcept {
  const int left = cursor.X - MulDivRounded(size.cx - 1, grab.Grab.X, grab.RefSize.X);
  const int top = cursor.Y - MulDivRounded(size.cy - 1, grab.Grab.Y, grab.RefSize.Y);
  return cl::Bounds(left, top, size.cx, size.cy);
}

cl::TSize FloatingOutlineSize(cl::TSize baseSize, const TFloatingFrameSize& frame) noexcept {
  return DockedOutlineSize(baseSize, frame.Total());
}

cl::TSize DockedOutlineSize(cl::TSize content, cl::TSize dockedFrame) noexcept {
  return {content.cx + dockedFrame.cx, content.cy + dockedFrame.cy};
}

bool DockCatchesDrag(const TDragGrab& grab, const TDragDock& dock, cl::TPoint cursor) noexcept {
  cl::TRect r = dock.Window;
  const cl::TRect outline = OutlineAt(grab, cursor, dock.Outline);
  if (r.Width() <= 0 || r.Height() <= 0) {
    if (dock.Vertical) {
      --r.Left;
      ++r.Right;
    } else {
      --r.Top;
      ++r.Bottom;
    }
  }
  const int across = MulDivRounded(kCatchAcross, grab.Grab.X, grab.RefSize.X);
  if (cursor.X < r.Left - (kCatchAcross - across) || cursor.X > r.Right - 1 + across) return false;
  if (dock.Vertical && (cursor.Y < r.Top || cursor.Y >= r.Bottom)) return false;
  const int along = MulDivRounded(kCatchAlong, grab.Grab.Y, grab.RefSize.Y);
  if (cursor.Y < r.Top - (kCatchAlong - along) || cursor.Y > r.Bottom - 1 + along) return false;
  return Intersect(outline, r);
}

cl::TPoint ClampIntoWorkArea(cl::TPoint point, const cl::TRect& workArea) noexcept {
  return {std::max(workArea.Left, std::min(point.X, workArea.Right - 1)),
          std::max(workArea.Top, std::min(point.Y, workArea.Bottom - 1))};
}

cl::TRect KeepFloatingOnWorkArea(cl::TRect outline, const cl::TRect& workArea,
                                 const TFloatingFrameSize& frame) noexcept {
  const int keepX = frame.SideX + kKeepOnWorkArea;
  const int keepY = frame.SideY + kKeepOnWorkArea;
  const cl::TRect inner{workArea.Left + keepX, workArea.Top + keepY, workArea.Right - keepX, workArea.Bottom - keepY};
  if (outline.Bottom < inner.Top) outline = Offset(outline, 0, inner.Top - outline.Bottom);
  if (outline.Top > inner.Bottom) outline = Offset(outline, 0, inner.Bottom - outline.Top);
  if (outline.Right < inner.Left) outline = Offset(outline, inner.Left - outline.Right, 0);
  if (outline.Left > inner.Right) outline = Offset(outline, inner.Right - outline.Left, 0);
  const int highest = workArea.Top - frame.TopNonClient() + kKeepOnWorkArea;
  if (outline.Top < highest) outline = Offset(outline, 0, highest - outline.Top);
  return outline;
}

TDragTarget PlaceDrag(const TDragState& drag, cl::TPoint cursor, const TWorkAreaAt& workAreaAt,
                      const TRequestDock& requestDock) {
  TDragTarget place;
  if (!drag.NoDock) {
    for (std::size_t i = 0; i < drag.Docks.size(); ++i) {
      const TDragDock& dock = drag.Docks[i];
      if (DockCatchesDrag(drag.Grab, dock, cursor) && (!requestDock || requestDock(dock))) {
        place.Target = static_cast<int>(i);
        break;
      }
    }
  }
  if (place.Target >= 0) {
    place.Outline = OutlineAt(drag.Grab, cursor, drag.Docks[static_cast<std::size_t>(place.Target)].Outline);
    return place;
  }
  if (drag.CannotFloat) {
    place.NoEntry = true;
    return place;
  }
  const cl::TPoint p = ClampIntoWorkArea(cursor, workAreaAt(cursor));
  place.Outline = KeepFloatingOnWorkArea(OutlineAt(drag.Grab, p, drag.FloatingOutline), workAreaAt(p), drag.Frame);
  return place;
}

std::vector<const TDockTreeNode*> CollectDocks(const TDockTreeNode& form, const TDockTreeNode* toolWindow,
                                               cl::TSet<TDockPosition> dockableTo) {
  std::vector<const TDockTreeNode*> docks;
  Collect(form, toolWindow, dockableTo, docks);
  return docks;
}

}  // namespace toolkit
