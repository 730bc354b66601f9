#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "DragPlacement.h"

namespace {

using cl::Bounds;
using cl::Point;
using cl::Rect;
using cl::TRect;
using cl::TSize;
using namespace toolkit;

// A 100 by 50 window grabbed at (x, y).
TDragGrab Grabbed(int x, int y) { return GrabAt(Point(x, y), 100, 50); }

TEST(DragPlacement, ProportionsRoundHalfAwayFromZeroAndSurviveAZeroReference) {
  EXPECT_EQ(MulDivRounded(1, 1, 2), 1);
  EXPECT_EQ(MulDivRounded(-1, 1, 2), -1);
  EXPECT_EQ(MulDivRounded(5, 2, 3), 3);
  EXPECT_EQ(MulDivRounded(7, 1, -2), -4);
  EXPECT_EQ(MulDivRounded(-7, -1, -2), -4);
  EXPECT_EQ(MulDivRounded(INT_MAX, 2, 1), INT_MAX);
  EXPECT_EQ(MulDivRounded(INT_MIN, 2, 1), INT_MIN);
  EXPECT_EQ(MulDivRounded(65536, 65536, 65536), 65536);
  EXPECT_EQ(MulDivRounded(32, 5, 0), 0);

  // The grab point keeps its place in an outline of another size.
  EXPECT_EQ(OutlineAt(Grabbed(50, 10), Point(1000, 500), {200, 100}), Bounds(1000 - 101, 500 - 20, 200, 100));
  EXPECT_EQ(OutlineAt(Grabbed(50, 10), Point(1000, 500), {100, 50}), Bounds(950, 490, 100, 50));
  // A one-pixel window has a zero-size reference: the outline starts at the cursor.
  const TDragGrab dot = GrabAt(Point(0, 0), 1, 1);
  EXPECT_EQ(dot.RefSize, Point(0, 0));
  EXPECT_EQ(OutlineAt(dot, Point(300, 200), {40, 30}), Bounds(300, 200, 40, 30));
  // It catches a dock as a window grabbed at its start does: the whole tolerance before the dock.
  const TDragDock top{nullptr, Rect(0, 100, 400, 130), false, {40, 30}};
  EXPECT_TRUE(DockCatchesDrag(dot, top, Point(-32, 90)));
  EXPECT_FALSE(DockCatchesDrag(dot, top, Point(-33, 90)));
  EXPECT_FALSE(DockCatchesDrag(dot, top, Point(400, 110)));

  EXPECT_EQ(FloatingOutlineSize({80, 40}, {3, 3, 15}), (TSize{86, 61}));
  EXPECT_EQ(DockedOutlineSize({80, 40}, {13, 4}), (TSize{93, 44}));
}

TEST(DragPlacement, ADockCatchesWithinToleranceSharedByTheGrabPoint) {
  const TDragDock top{nullptr, Rect(0, 100, 400, 130), false, {100, 24}};
  // Grabbed at the top-left: 32 pixels before the dock's start, 20 above it, none past the ends.
  EXPECT_TRUE(DockCatchesDrag(Grabbed(0, 0), top, Point(-32, 80)));
  EXPECT_FALSE(DockCatchesDrag(Grabbed(0, 0), top, Point(-33, 100)));
  EXPECT_FALSE(DockCatchesDrag(Grabbed(0, 0), top, Point(10, 79)));
  EXPECT_FALSE(DockCatchesDrag(Grabbed(0, 0), top, Point(400, 110)));
  EXPECT_FALSE(DockCatchesDrag(Grabbed(0, 0), top, Point(10, 130)));
  // Grabbed at the bottom-right: all of it past the ends.
  EXPECT_TRUE(DockCatchesDrag(Grabbed(99, 49), top, Point(431, 149)));
  EXPECT_FALSE(DockCatchesDrag(Grabbed(99, 49), top, Point(432, 110)));
  EXPECT_FALSE(DockCatchesDrag(Grabbed(99, 49), top, Point(-1, 110)));
  EXPECT_FALSE(DockCatchesDrag(Grabbed(99, 49), top, Point(10, 150)));
  // Within the tolerance the outline must still touch the dock.
  const TDragDock thinOutline{nullptr, top.Window, false, {100, 10}};
  EXPECT_FALSE(DockCatchesDrag(Grabbed(0, 0), thinOutline, Point(10, 85)));
  EXPECT_TRUE(DockCatchesDrag(Grabbed(0, 0), thinOutline, Point(10, 91)));

  // A vertical dock wants the cursor within its own height.
  const TDragDock left{nullptr, Rect(0, 0, 30, 300), true, {30, 80}};
  EXPECT_TRUE(DockCatchesDrag(Grabbed(0, 0), left, Point(5, 0)));
  EXPECT_FALSE(DockCatchesDrag(Grabbed(49, 24), left, Point(5, -1)));
  EXPECT_FALSE(DockCatchesDrag(Grabbed(49, 24), left, Point(5, 300)));

  // An empty dock is widened across its side so that it can be hit at all.
  const TDragDock emptyTop{nullptr, Rect(0, 0, 400, 0), false, {100, 24}};
  EXPECT_TRUE(DockCatchesDrag(Grabbed(0, 0), emptyTop, Point(10, 0)));
  const TDragDock emptyLeft{nullptr, Rect(0, 0, 0, 300), true, {30, 80}};
  EXPECT_TRUE(DockCatchesDrag(Grabbed(0, 0), emptyLeft, Point(0, 10)));
}

// Two docks on top of each other, both catching the cursor at (10, 110), and a third far away.
TDragState TwoDocks() {
  TDragState drag;
  drag.Grab = Grabbed(0, 0);
  drag.Frame = {4, 4, 16};
  drag.FloatingOutline = {108, 74};
  static int dockA, dockB, dockC;
  drag.Docks = {{&dockA, Rect(0, 100, 400, 130), false, {104, 24}},
                {&dockB, Rect(0, 100, 400, 130), false, {104, 26}},
                {&dockC, Rect(600, 0, 630, 300), true, {28, 60}}};
  return drag;
}

const TWorkAreaAt kScreen = [](cl::TPoint) { return Rect(0, 0, 800, 600); };

TEST(DragPlacement, TheFirstAcceptingDockTakesTheDragUnlessCtrlIsHeld) {
  TDragState drag = TwoDocks();
  TDragTarget place = PlaceDrag(drag, Point(10, 110), kScreen, nullptr);
  EXPECT_EQ(place.Target, 0);
  EXPECT_EQ(place.Outline, Bounds(10, 110, 104, 24));
  EXPECT_FALSE(place.NoEntry);

  // A dock that refuses lets the next one of the list take it.
  std::vector<const void*> asked;
  const auto refuseA = [&](const TDragDock& dock) {
    asked.push_back(dock.Dock);
    return dock.Dock != drag.Docks[0].Dock;
  };
  place = PlaceDrag(drag, Point(10, 110), kScreen, refuseA);
  EXPECT_EQ(place.Target, 1);
  EXPECT_EQ(place.Outline, Bounds(10, 110, 104, 26));
  EXPECT_EQ(asked, (std::vector<const void*>{drag.Docks[0].Dock, drag.Docks[1].Dock}));

  // With Ctrl held no dock is asked and the window floats there.
  drag.NoDock = true;
  asked.clear();
  place = PlaceDrag(drag, Point(10, 110), kScreen, refuseA);
  EXPECT_EQ(place.Target, -1);
  EXPECT_EQ(place.Outline, Bounds(10, 110, 108, 74));
  EXPECT_TRUE(asked.empty());
}

TEST(DragPlacement, AWindowThatCannotFloatHasNoDropPlaceOutsideTheDocks) {
  TDragState drag = TwoDocks();
  drag.CannotFloat = true;
  TDragTarget place = PlaceDrag(drag, Point(300, 400), kScreen, nullptr);
  EXPECT_EQ(place.Target, -1);
  EXPECT_TRUE(place.Outline.IsEmpty());
  EXPECT_TRUE(place.NoEntry);
  // Nor where every dock refuses; a dock that takes it still does.
  place = PlaceDrag(drag, Point(10, 110), kScreen, [](const TDragDock&) { return false; });
  EXPECT_TRUE(place.NoEntry);
  EXPECT_TRUE(place.Outline.IsEmpty());
  place = PlaceDrag(drag, Point(610, 10), kScreen, nullptr);
  EXPECT_EQ(place.Target, 2);
  EXPECT_FALSE(place.NoEntry);
  EXPECT_EQ(place.Outline, Bounds(610, 10, 28, 60));
}

TEST(DragPlacement, AFloatingOutlineStaysOnTheWorkAreaByItsFramePlusFour) {
  TDragState drag = TwoDocks();
  drag.Docks.clear();
  // Grabbed at its bottom-right and dragged far to the left and up: the cursor is held on the work
  // area, and the outline keeps 4 + 4 pixels on it at the left; at the top, of its 4-pixel frame and
  // 16-pixel caption all but 4 pixels may leave.
  drag.Grab = Grabbed(99, 49);
  TDragTarget place = PlaceDrag(drag, Point(-500, 300), kScreen, nullptr);
  EXPECT_EQ(place.Outline, Bounds(8 - 108, 300 - 73, 108, 74));
  place = PlaceDrag(drag, Point(400, -50), kScreen, nullptr);
  EXPECT_EQ(place.Outline.Top, -16);
  EXPECT_EQ(place.Outline.Bottom, -16 + 74);
  // Grabbed at its top-left and dragged past the bottom-right.
  drag.Grab = Grabbed(0, 0);
  place = PlaceDrag(drag, Point(900, 700), kScreen, nullptr);
  EXPECT_EQ(place.Outline, Bounds(800 - 8, 600 - 8, 108, 74));
  // Within the work area nothing moves; the cursor's own monitor is asked for its work area.
  place = PlaceDrag(drag, Point(100, 100), kScreen, nullptr);
  EXPECT_EQ(place.Outline, Bounds(100, 100, 108, 74));
  const TWorkAreaAt twoMonitors = [](cl::TPoint p) { return p.X < 0 ? Rect(-800, 0, 0, 600) : Rect(0, 0, 800, 600); };
  place = PlaceDrag(drag, Point(-10, 900), twoMonitors, nullptr);
  EXPECT_EQ(place.Outline, Bounds(-10, 600 - 8, 108, 74));

  // Without a caption only the frame may leave the top, less 4 pixels.
  EXPECT_EQ(KeepFloatingOnWorkArea(Bounds(10, -30, 100, 40), Rect(0, 0, 800, 600), {4, 4, 0}).Top, 0);
  EXPECT_EQ(KeepFloatingOnWorkArea(Bounds(10, -30, 100, 40), Rect(0, 0, 800, 600), {4, 4, 20}).Top, -20);
  // On a work area smaller than the frame allows, the shifts run down, up, right, left: up and left win.
  EXPECT_EQ(KeepFloatingOnWorkArea(Bounds(-20, -20, 4, 4), Rect(0, 0, 10, 10), {4, 4, 0}), Bounds(2, 2, 4, 4));
  // The point clamp never inverts on an empty work area.
  EXPECT_EQ(ClampIntoWorkArea(Point(50, 50), Rect(10, 10, 10, 10)), Point(10, 10));
  EXPECT_EQ(ClampIntoWorkArea(Point(-5, 700), Rect(0, 0, 800, 600)), Point(0, 599));
}

// A horizontal dock with rows 0 and 1, 20 thick (24 with the frame), two bars in row 0.
TDockLayout TwoRows() {
  static int bars[3];
  TDockLayout dock;
  dock.Dock.Width = 400;
  for (int i = 0; i < 3; ++i) {
    TDockBar bar;
    bar.Control = &bars[i];
    bar.DockRow = i == 2 ? 1 : 0;
    bar.DockPos = i * 120;
    bar.Width = 100;
    bar.Height = 24;
    bar.DockedSize = 20;
    dock.Bars.push_back(bar);
  }
  dock.ArrangeBars(true);
  return dock;
}

// Drops a new 60-pixel bar as the drag loop would, and arranges the dock.
TDockBar Drop(TDockLayout& dock, const TDockDrop& drop, bool fullSize) {
  static int dropped;
  if (drop.OpenRow >= 0) dock.ShiftRowsFrom(drop.OpenRow);
  TDockBar bar;
  bar.Control = &dropped;
  bar.DockRow = drop.Row;
  bar.DockPos = drop.Pos;
  bar.FullSize = fullSize;
  bar.Width = 60;
  bar.Height = 24;
  bar.DockedSize = 20;
  dock.Bars.push_back(bar);
  dock.ArrangeBars(true);
  for (const TDockBar& b : dock.Bars) {
    if (b.Control == &dropped) return b;
  }
  ADD_FAILURE() << "the dropped bar left the dock";
  return {};
}

TEST(DragPlacement, ADropBesideARowBoundaryOpensANewRowAndAFullSizeBarGetsItsOwn) {
  TDockLayout dock = TwoRows();
  // The middle of the outline (22) is 2 pixels before the boundary at 24.
  TDockDrop drop = DecideDockDrop(dock, Bounds(30, 10, 60, 24), false, nullptr);
  EXPECT_EQ(drop, (TDockDrop{1, 30, 1}));
  const TDockBar dropped = Drop(dock, drop, false);
  EXPECT_EQ(dropped.DockRow, 1);
  EXPECT_EQ(dock.CountOthersInRow(1, dropped.Control), 0);
  EXPECT_EQ(dock.LastRowIndex(), 2);

  // In the middle of a row the bar joins it.
  dock = TwoRows();
  EXPECT_EQ(DecideDockDrop(dock, Bounds(250, 24, 60, 24), false, nullptr), (TDockDrop{1, 250, -1}));

  // A full-size bar dropped into row 0 with two bars in it gets row 1 of its own; the rest move down.
  drop = DecideDockDrop(dock, Bounds(30, 0, 60, 24), true, nullptr);
  EXPECT_EQ(drop, (TDockDrop{1, 30, 1}));
  const TDockBar full = Drop(dock, drop, true);
  EXPECT_EQ(full.DockRow, 1);
  EXPECT_EQ(full.DockPos, 0);
  EXPECT_EQ(dock.CountOthersInRow(0, full.Control), 2);
  EXPECT_EQ(dock.CountOthersInRow(1, full.Control), 0);
  EXPECT_EQ(dock.CountOthersInRow(2, full.Control), 1);

  // A full-size bar already alone in its row stays there.
  EXPECT_EQ(DecideDockDrop(dock, Bounds(0, 24, 400, 24), true, full.Control), (TDockDrop{1, 0, -1}));

  // A vertical dock decides by the middle across it and keeps the top as the place.
  dock = TwoRows();
  dock.Dock.Vertical = true;
  EXPECT_EQ(DecideDockDrop(dock, Bounds(24, 70, 24, 60), false, nullptr), (TDockDrop{1, 70, -1}));
}

TEST(DragPlacement, DocksAreOfferedDeepestFirstThenBySide) {
  const auto dock = [](const void* id, TDockPosition position, std::vector<TDockTreeNode> children = {}) {
    TDockTreeNode node;
    node.Control = id;
    node.IsDock = true;
    node.Position = position;
    node.Children = std::move(children);
    return node;
  };
  const auto panel = [](const void* id, std::vector<TDockTreeNode> children) {
    TDockTreeNode node;
    node.Control = id;
    node.Children = std::move(children);
    return node;
  };
  static int ids[11];
  TDockTreeNode form = panel(&ids[0], {});
  form.Children.push_back(panel(&ids[1], {dock(&ids[2], dpBottom), dock(&ids[3], dpTop)}));
  form.Children.push_back(dock(&ids[4], dpRight));
  form.Children.push_back(dock(&ids[5], dpTop, {dock(&ids[6], dpLeft)}));
  form.Children.push_back(dock(&ids[7], dpLeft));
  form.Children.push_back(dock(&ids[8], dpBottom));
  // The dragged window: nothing inside it counts.
  form.Children.push_back(panel(&ids[9], {dock(&ids[10], dpTop)}));
  form.Children[3].AllowDrag = false;
  form.Children[4].Showing = false;
  const TDockTreeNode* dragged = &form.Children[5];

  const auto order = [&](cl::TSet<TDockPosition> to) {
    std::vector<const void*> got;
    for (const TDockTreeNode* node : CollectDocks(form, dragged, to)) got.push_back(node->Control);
    return got;
  };
  EXPECT_EQ(order({dpTop, dpBottom, dpLeft, dpRight}),
            (std::vector<const void*>{&ids[6], &ids[5], &ids[4], &ids[3], &ids[2]}));
  EXPECT_EQ(order({dpTop}), (std::vector<const void*>{&ids[5], &ids[3]}));
  form.Showing = false;
  EXPECT_TRUE(order({dpTop}).empty());
}

}  // namespace
