#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include "DockLayout.h"

namespace {

using cl::Bounds;
using toolkit::TBarPlacement;
using toolkit::TDockBar;
using toolkit::TDockLayout;

// Stand-ins for the tool windows the records belong to.
int gWindows[8];

// A bar of the given client thickness across the dock, with its 2-pixel frame around it.
TDockBar Bar(int window, int row, int pos, int length, int clientThickness = 20, bool vertical = false) {
  TDockBar bar;
  bar.Control = &gWindows[window];
  bar.DockRow = row;
  bar.DockPos = pos;
  bar.DockedSize = clientThickness;
  bar.Width = vertical ? clientThickness + 4 : length;
  bar.Height = vertical ? length : clientThickness + 4;
  return bar;
}

TDockLayout Horizontal(int width, std::vector<TDockBar> bars) {
  TDockLayout layout;
  layout.Dock.Width = width;
  layout.Dock.Height = 30;
  layout.Bars = std::move(bars);
  return layout;
}

// The bounds ArrangeBars gave each window.
std::map<const void*, cl::TRect> BoundsByWindow(const TDockLayout& layout, const toolkit::TDockArrangement& a) {
  std::map<const void*, cl::TRect> result;
  for (const TBarPlacement& p : a.Placements) result[layout.Bars[static_cast<size_t>(p.Index)].Control] = p.Bounds;
  return result;
}

const TDockBar& Of(const TDockLayout& layout, int window) {
  return *std::find_if(layout.Bars.begin(), layout.Bars.end(),
                       [&](const TDockBar& b) { return b.Control == &gWindows[window]; });
}

TEST(DockLayout, AnEmptyDockIsNoThickerThanItsAlignmentAsks) {
  TDockLayout layout = Horizontal(200, {});
  EXPECT_EQ(layout.ArrangeBars(false).DockSize, (cl::TSize{200, 0}));
  layout.Dock.FixAlign = true;
  EXPECT_EQ(layout.ArrangeBars(false).DockSize, (cl::TSize{200, 1}));
  layout.Dock.Designing = true;
  EXPECT_EQ(layout.ArrangeBars(false).DockSize, (cl::TSize{200, 9}));
  // A hidden bar leaves the dock empty; a vertical dock keeps its height and sets its width.
  layout = Horizontal(200, {Bar(0, 0, 0, 50)});
  layout.Bars[0].Shown = false;
  layout.Dock.Vertical = true;
  layout.Dock.Height = 300;
  const auto arrangement = layout.ArrangeBars(false);
  EXPECT_EQ(arrangement.DockSize, (cl::TSize{0, 300}));
  EXPECT_TRUE(arrangement.Placements.empty());
}

TEST(DockLayout, AThinBarGetsTheMinimumRowAndItsFrame) {
  TDockLayout layout = Horizontal(200, {Bar(0, 0, 0, 50, 5)});
  layout.Dock.EdgeHeight = 2;
  const auto arrangement = layout.ArrangeBars(false);
  EXPECT_EQ(layout.RowThicknesses, std::vector<int>{8});
  ASSERT_EQ(arrangement.Placements.size(), 1u);
  EXPECT_EQ(arrangement.Placements[0].Bounds, Bounds(0, 0, 50, 12));
  EXPECT_EQ(arrangement.DockSize, (cl::TSize{200, 12 + 2}));
}

TEST(DockLayout, UnplacedBarsLineUpInListOrderAndEqualPlacesFollowTheListSort) {
  TDockLayout layout = Horizontal(400, {Bar(0, 0, -1, 30), Bar(1, 0, -1, 40), Bar(2, 0, -1, 50)});
  auto placed = BoundsByWindow(layout, layout.ArrangeBars(false));
  // Three equal places come out of the quicksort reversed (it is not stable), then line up from 0.
  EXPECT_EQ(placed[&gWindows[2]].Left, 0);
  EXPECT_EQ(placed[&gWindows[1]].Left, 50);
  EXPECT_EQ(placed[&gWindows[0]].Left, 90);
  EXPECT_EQ(Of(layout, 0).DockPos, 90);  // the overlap pass stores positions even without clipping
  // Once placed, the order holds on the next arrangement.
  placed = BoundsByWindow(layout, layout.ArrangeBars(false));
  EXPECT_EQ(placed[&gWindows[1]].Left, 50);
  EXPECT_EQ(placed[&gWindows[0]].Left, 90);
  // A bar docked "first in the row" (a place before 0) goes ahead of the others, which move up.
  layout.Bars.push_back(Bar(3, 0, -8, 20));
  placed = BoundsByWindow(layout, layout.ArrangeBars(false));
  EXPECT_EQ(placed[&gWindows[3]].Left, 0);
  EXPECT_EQ(placed[&gWindows[2]].Left, 20);
  EXPECT_EQ(placed[&gWindows[0]].Left, 110);
}

TEST(DockLayout, ARowLongerThanTheDockIsPushedBackButNeverOntoItself) {
  // The second bar ends past the dock: it moves back until its end meets the dock's end.
  TDockLayout layout = Horizontal(100, {Bar(0, 0, 0, 40), Bar(1, 0, 80, 40)});
  auto placed = BoundsByWindow(layout, layout.ArrangeBars(false));
  EXPECT_EQ(placed[&gWindows[1]], Bounds(60, 0, 40, 24));
  EXPECT_EQ(Of(layout, 1).DockPos, 80);  // kept without clipping: the old place comes back
  layout.Dock.Width = 200;
  EXPECT_EQ(BoundsByWindow(layout, layout.ArrangeBars(false))[&gWindows[1]].Left, 80);
  layout.Dock.Width = 100;
  layout.ArrangeBars(true);
  EXPECT_EQ(Of(layout, 1).DockPos, 60);

  // Two bars that cannot both fit: the first stays at 0, the second sticks out after it.
  layout = Horizontal(100, {Bar(0, 0, 0, 60), Bar(1, 0, 50, 60)});
  placed = BoundsByWindow(layout, layout.ArrangeBars(true));
  EXPECT_EQ(placed[&gWindows[0]].Left, 0);
  EXPECT_EQ(placed[&gWindows[1]].Left, 60);
  EXPECT_EQ(Of(layout, 1).DockPos, 60);
}

TEST(DockLayout, AFullSizeBarEndsAloneInItsRowSpanningTheDock) {
  TDockLayout layout = Horizontal(300, {Bar(0, 0, 0, 50), Bar(1, 0, 10, 80), Bar(2, 0, 100, 50), Bar(3, 1, 0, 50)});
  layout.Dock.EdgeWidth = 2;
  layout.Bars[1].FullSize = true;
  const auto placed = BoundsByWindow(layout, layout.ArrangeBars(true));
  EXPECT_EQ(Of(layout, 1).DockRow, 0);
  EXPECT_EQ(Of(layout, 0).DockRow, 1);
  EXPECT_EQ(Of(layout, 2).DockRow, 1);
  EXPECT_EQ(Of(layout, 3).DockRow, 2);
  EXPECT_EQ(placed.at(&gWindows[1]), Bounds(0, 0, 298, 24));
  EXPECT_EQ(placed.at(&gWindows[0]), Bounds(0, 24, 50, 24));
  EXPECT_EQ(placed.at(&gWindows[2]), Bounds(100, 24, 50, 24));
  EXPECT_EQ(placed.at(&gWindows[3]), Bounds(0, 48, 50, 24));
  EXPECT_EQ(layout.ArrangeBars(true).DockSize, (cl::TSize{300, 72}));
}

TEST(DockLayout, AVerticalDockStacksRowsSidewaysAndBarsDownwards) {
  TDockLayout layout;
  layout.Dock = {.Vertical = true, .Width = 40, .Height = 200, .EdgeWidth = 1, .EdgeHeight = 2};
  layout.Bars = {Bar(0, 0, -1, 60, 20, true), Bar(1, 0, -1, 70, 30, true), Bar(2, 1, 5, 90, 10, true)};
  layout.Bars[2].FullSize = true;
  const auto arrangement = layout.ArrangeBars(false);
  const auto placed = BoundsByWindow(layout, arrangement);
  EXPECT_EQ(layout.RowThicknesses, (std::vector<int>{30, 10}));
  // The two unplaced bars of equal place come out of the sort exchanged.
  EXPECT_EQ(placed.at(&gWindows[1]), Bounds(0, 0, 34, 70));
  EXPECT_EQ(placed.at(&gWindows[0]), Bounds(0, 70, 34, 60));
  EXPECT_EQ(placed.at(&gWindows[2]), Bounds(34, 0, 14, 198));
  EXPECT_EQ(arrangement.DockSize, (cl::TSize{34 + 14 + 1, 200}));
}

TEST(DockLayout, LimitToOneRowLinesEveryBarUpInRowZero) {
  TDockLayout layout = Horizontal(400, {Bar(0, 0, 0, 50), Bar(1, 1, 30, 50), Bar(2, 2, 20, 50)});
  layout.Dock.LimitToOneRow = true;
  const auto placed = BoundsByWindow(layout, layout.ArrangeBars(true));
  EXPECT_EQ(layout.RowThicknesses.size(), 1u);
  EXPECT_EQ(placed.at(&gWindows[0]).Left, 0);
  EXPECT_EQ(placed.at(&gWindows[2]).Left, 50);
  EXPECT_EQ(placed.at(&gWindows[1]).Left, 100);
  for (const TDockBar& bar : layout.Bars) EXPECT_EQ(bar.DockRow, 0);
}

TEST(DockLayout, EmptyRowsCloseUpByHalfAGapPerRun) {
  TDockLayout layout = Horizontal(400, {Bar(0, 5, 0, 50), Bar(1, 0, 0, 50), Bar(2, 9, 0, 50)});
  layout.DropEmptyRows();
  EXPECT_EQ(Of(layout, 1).DockRow, 0);
  EXPECT_EQ(Of(layout, 0).DockRow, 3);  // the gap of 4 rows leaves 2
  EXPECT_EQ(Of(layout, 2).DockRow, 5);  // and the next gap of 3 leaves 1
  layout.Bars = {Bar(0, 1, 0, 50)};
  layout.DropEmptyRows();
  EXPECT_EQ(layout.Bars[0].DockRow, 0);
}

TEST(DockLayout, RowQueriesAndRowChanges) {
  TDockLayout layout = Horizontal(400, {Bar(0, 0, 0, 50), Bar(1, 0, 60, 50), Bar(2, 2, 0, 50, 30)});
  layout.Bars[1].Shown = false;
  EXPECT_EQ(layout.LastRowIndex(), 2);
  EXPECT_EQ(layout.CountOthersInRow(0, &gWindows[0]), 1);  // hidden bars count
  EXPECT_EQ(layout.CountOthersInRow(2, &gWindows[0]), 1);
  EXPECT_EQ(layout.CountOthersInRow(1, nullptr), 0);
  layout.BuildRowSizes();
  EXPECT_EQ(layout.RowThicknesses, (std::vector<int>{20, 0, 30}));
  EXPECT_EQ(layout.RowThickness(1, nullptr), 0);
  EXPECT_EQ(layout.RowThickness(1, &layout.Bars[2]), 30);  // an empty row takes the bar's own size
  EXPECT_EQ(layout.RowThickness(7, &layout.Bars[0]), 20);
  EXPECT_EQ(layout.RowThickness(-1, nullptr), 0);
  layout.ShiftRowsFrom(1);
  EXPECT_EQ(layout.Bars[0].DockRow, 0);
  EXPECT_EQ(layout.Bars[2].DockRow, 3);
  EXPECT_EQ(TDockLayout{}.LastRowIndex(), -1);
}

TEST(DockLayout, DropsNearRowBoundariesOpenNewRows) {
  // Rows 0 and 2 are 20 thick, 24 with their frame: bands [0, 24) and [24, 48); the empty row 1 takes no
  // room.
  TDockLayout layout = Horizontal(400, {Bar(0, 0, 0, 50), Bar(1, 2, 0, 50)});
  layout.BuildRowSizes();
  bool newRow = false;
  EXPECT_EQ(layout.DropRowAt(3, newRow), 0);
  EXPECT_TRUE(newRow);
  EXPECT_EQ(layout.DropRowAt(12, newRow), 0);
  EXPECT_FALSE(newRow);
  EXPECT_EQ(layout.DropRowAt(21, newRow), 2);  // 3 pixels before the boundary: a new row there
  EXPECT_TRUE(newRow);
  EXPECT_EQ(layout.DropRowAt(36, newRow), 2);  // the middle of the second band
  EXPECT_FALSE(newRow);
  EXPECT_EQ(layout.DropRowAt(50, newRow), 3);  // just past the last row: a new row at the end
  EXPECT_TRUE(newRow);
  EXPECT_EQ(layout.DropRowAt(100, newRow), 3);
  EXPECT_FALSE(newRow);
  EXPECT_EQ(layout.DropRowAt(2147483647, newRow), 3);
  EXPECT_FALSE(newRow);

  EXPECT_EQ(layout.RowAtOffset(0), 0);
  EXPECT_EQ(layout.RowAtOffset(23), 0);
  EXPECT_EQ(layout.RowAtOffset(24), 2);
  EXPECT_EQ(layout.RowAtOffset(47), 2);
  EXPECT_EQ(layout.RowAtOffset(48), 3);
}

TEST(DockLayout, ABarAboveTheFirstRowIsPlacedInRowZero) {
  TDockLayout layout = Horizontal(400, {Bar(0, -3, 0, 50), Bar(1, 0, 0, 50)});
  const auto arrangement = layout.ArrangeBars(true);
  EXPECT_EQ(arrangement.Placements.size(), 2u);
  EXPECT_EQ(Of(layout, 0).DockRow, 0);
  EXPECT_EQ(arrangement.DockSize.cy, 24);
}

// Bounds seen along the dock: Left and Right run along it, Top and Bottom across.
cl::TRect AlongTheDock(const cl::TRect& r, bool vertical) {
  return vertical ? cl::Rect(r.Top, r.Left, r.Bottom, r.Right) : r;
}

// Random docks of both orientations: after an arrangement that stores its positions, rows are bands one
// after another, a full-size bar is alone in its row, no two bars of a row overlap, and a row that fits
// lies inside the dock.
TEST(DockLayout, RandomDocksKeepRowsContiguousAndBarsApart) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 4000; ++round) {
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const bool vertical = pick(0, 1) == 1;
    TDockLayout layout;
    layout.Dock = {.Vertical = vertical,
                   .Width = pick(0, 300),
                   .Height = pick(0, 300),
                   .EdgeWidth = pick(0, 2),
                   .EdgeHeight = pick(0, 2),
                   .LimitToOneRow = pick(0, 9) == 0};
    const int count = pick(1, 7);
    for (int i = 0; i < count; ++i) {
      TDockBar bar = Bar(i, pick(0, 5), pick(-1, 250), pick(4, 90), pick(0, 30), vertical);
      bar.FullSize = pick(0, 7) == 0;
      bar.Shown = pick(0, 5) != 0;
      layout.Bars.push_back(bar);
    }
    const auto arrangement = layout.ArrangeBars(true);
    const int length =
        std::max(0, vertical ? layout.Dock.Height - layout.Dock.EdgeHeight : layout.Dock.Width - layout.Dock.EdgeWidth);
    int bandTop = 0;
    for (size_t row = 0; row < layout.RowThicknesses.size(); ++row) {
      std::vector<cl::TRect> inRow;
      for (const TBarPlacement& p : arrangement.Placements) {
        const TDockBar& bar = layout.Bars[size_t(p.Index)];
        if (bar.DockRow != int(row)) continue;
        const cl::TRect r = AlongTheDock(p.Bounds, vertical);
        ASSERT_EQ(r.Left, bar.DockPos) << "round " << round;
        if (bar.FullSize) {
          ASSERT_EQ(layout.CountOthersInRow(int(row), bar.Control), 0) << "round " << round;
        }
        inRow.push_back(r);
      }
      const int thickness = layout.RowThicknesses[row];
      ASSERT_EQ(inRow.empty(), thickness == 0) << "round " << round;
      if (inRow.empty()) continue;
      int used = 0;
      for (const cl::TRect& r : inRow) {
        ASSERT_EQ(r.Top, bandTop) << "round " << round;
        ASSERT_EQ(r.Height(), thickness + 4) << "round " << round;
        used += r.Width();
      }
      for (size_t k = 1; k < inRow.size(); ++k) {
        ASSERT_GE(inRow[k].Left, inRow[k - 1].Right) << "round " << round;
      }
      ASSERT_GE(inRow.front().Left, 0) << "round " << round;
      if (used <= length) {
        ASSERT_LE(inRow.back().Right, length) << "round " << round;
      }
      bandTop += thickness + 4;
    }
    // The bound lines count only round bars: an empty dock has no thickness at all.
    const cl::TSize size = arrangement.DockSize;
    const int edge = arrangement.Placements.empty() ? 0 : vertical ? layout.Dock.EdgeWidth : layout.Dock.EdgeHeight;
    ASSERT_EQ((vertical ? size.cx : size.cy) - edge, bandTop) << "round " << round;
  }
}

}  // namespace
