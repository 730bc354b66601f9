#include "DockLayout.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "ListSort.h"

namespace toolkit {

namespace {

// Three-way comparison of two ints; a difference could overflow for far-apart values.
int Compare3(int a, int b) noexcept { return (a > b) - (a < b); }

}  // namespace

int CompareDockPlace(const TDockBar& a, const TDockBar& b) noexcept {
  const int byRow = Compare3(a.DockRow, b.DockRow);
  return byRow != 0 ? byRow : Compare3(a.DockPos, b.DockPos);
}

TDockArrangement TDockLayout::ArrangeBars(bool clipPoses) {
  if (!HasShownBars()) {
    const int thickness = Dock.Designing ? 9 : Dock.FixAlign ? 1 : 0;
    return {{}, Dock.Vertical ? cl::TSize{thickness, Dock.Height} : cl::TSize{Dock.Width, thickness}};
  }
  const int clientW = std::max(0, Dock.Width - Dock.EdgeWidth);
  const int clientH = std::max(0, Dock.Height - Dock.EdgeHeight);
  // A bar above the first row would be shown but never placed: it joins row 0.
  for (TDockBar& bar : Bars) {
    if (Dock.LimitToOneRow || bar.DockRow < 0) bar.DockRow = 0;
  }
  DropEmptyRows();
  SortBars();
  SeparateFullSizeBars();
  BuildRowSizes();
  RemoveOverlaps();
  const std::vector<int> positions = FittedPositions(Dock.Vertical ? clientH : clientW);
  if (clipPoses) {
    for (std::size_t k = 0; k < Bars.size(); ++k) Bars[k].DockPos = positions[k];
  }
  return Place(positions, clientW, clientH);
}

bool TDockLayout::HasShownBars() const noexcept {
  return std::any_of(Bars.begin(), Bars.end(), [](const TDockBar& bar) { return bar.Shown; });
}

int TDockLayout::LastRowIndex() const noexcept {
  if (Bars.empty()) return -1;
  return std::max_element(Bars.begin(), Bars.end(),
                          [](const TDockBar& a, const TDockBar& b) { return a.DockRow < b.DockRow; })
      ->DockRow;
}

int TDockLayout::RowThickness(int row, const TDockBar* bar) const noexcept {
  const int thickness = row >= 0 && static_cast<std::size_t>(row) < RowThicknesses.size()
                            ? RowThicknesses[static_cast<std::size_t>(row)]
                            : 0;
  return thickness == 0 && bar ? bar->DockedSize : thickness;
}

int TDockLayout::DropRowAt(int offset, bool& newRow) const noexcept {
  const int last = LastRowIndex();
  int start = 0;
  for (int i = 0; i <= last; ++i) {
    const int thickness = RowThickness(i, nullptr);
    if (thickness == 0) continue;
    const int end = start + thickness + kDockedFrameAcross;
    if (offset < start + kNewRowMargin) {
      newRow = true;
      return i;
    }
    if (offset < end - kNewRowMargin) {
      newRow = false;
      return i;
    }
    start = end;
  }
  // Past the last row the band has no end: near its start a new row opens there, beyond it the drop
  // goes into the row after the last.
  newRow = offset < start + kNewRowMargin;
  return last + 1;
}

int TDockLayout::RowAtOffset(int offset) const noexcept {
  const int last = LastRowIndex();
  int total = 0;
  for (int i = 0; i <= last; ++i) {
    const int thickness = RowThickness(i, nullptr);
    if (thickness == 0) continue;
    total += thickness + kDockedFrameAcross;
    if (total > offset) return i;
  }
  return last + 1;
}

int TDockLayout::CountOthersInRow(int row, const void* control) const noexcept {
  return static_cast<int>(std::count_if(
      Bars.begin(), Bars.end(), [&](const TDockBar& bar) { return bar.DockRow == row && bar.Control != control; }));
}

void TDockLayout::ShiftRowsFrom(int row) noexcept {
  for (TDockBar& bar : Bars) {
    if (bar.DockRow >= row) ++bar.DockRow;
  }
}

void TDockLayout::DropEmptyRows() noexcept {
  int last = LastRowIndex();
  for (int j = 0; j <= last; ++j) {
    const bool empty = std::none_of(Bars.begin(), Bars.end(), [j](const TDockBar& bar) { return bar.DockRow == j; });
    if (!empty) continue;
    for (TDockBar& bar : Bars) {
      if (bar.DockRow > j) --bar.DockRow;
    }
    --last;
  }
}

void TDockLayout::BuildRowSizes() {
  const int last = LastRowIndex();
  RowThicknesses.assign(static_cast<std::size_t>(std::max(last + 1, 0)), 0);
  for (const TDockBar& bar : Bars) {
    if (!bar.Shown || bar.DockRow < 0) continue;
    int& thickness = RowThicknesses[static_cast<std::size_t>(bar.DockRow)];
    thickness = std::max({thickness, bar.DockedSize, kMinRowThickness});
  }
}

void TDockLayout::SortBars() {
  QuickSortItems(
      static_cast<int>(Bars.size()), [this](int i) -> const TDockBar& { return Bars[static_cast<std::size_t>(i)]; },
      [this](int i, int j) { std::swap(Bars[static_cast<std::size_t>(i)], Bars[static_cast<std::size_t>(j)]); },
      CompareDockPlace);
}

// A full-size bar ends alone in its row: every other bar of that row and below moves down one row.
void TDockLayout::SeparateFullSizeBars() noexcept {
  for (int row = 0; row <= LastRowIndex(); ++row) {
    for (std::size_t b = 0; b < Bars.size(); ++b) {
      if (Bars[b].DockRow != row || !Bars[b].FullSize) continue;
      const bool alone = std::none_of(
          Bars.begin(), Bars.end(), [&](const TDockBar& other) { return &other != &Bars[b] && other.DockRow == row; });
      if (alone) continue;
      for (std::size_t k = 0; k < Bars.size(); ++k) {
        if (k != b && Bars[k].DockRow >= row) ++Bars[k].DockRow;
      }
    }
  }
}

// Within a row, each bar starts no earlier than the end of the one before it; -1 thus follows on.
void TDockLayout::RemoveOverlaps() noexcept {
  for (std::size_t row = 0; row < RowThicknesses.size(); ++row) {
    int next = 0;
    for (TDockBar& bar : Bars) {
      if (!bar.Shown || bar.DockRow != static_cast<int>(row)) continue;
      if (bar.FullSize) {
        bar.DockPos = 0;
        continue;
      }
      bar.DockPos = std::max(bar.DockPos, next);
      next = bar.DockPos + BarLength(bar);
    }
  }
}

// Pushes each row's bars back inside `length` from the far end, then forwards again so that none starts
// before 0 or on the one before it: a row too long for the dock sticks out at the far end.
std::vector<int> TDockLayout::FittedPositions(int length) const {
  std::vector<int> positions(Bars.size());
  for (std::size_t k = 0; k < Bars.size(); ++k) positions[k] = Bars[k].DockPos;
  const auto fits = [](const TDockBar& bar, std::size_t row) {
    return bar.Shown && !bar.FullSize && bar.DockRow == static_cast<int>(row);
  };
  for (std::size_t row = 0; row < RowThicknesses.size(); ++row) {
    int room = length;
    for (std::size_t k = Bars.size(); k-- > 0;) {
      if (!fits(Bars[k], row)) continue;
      room -= BarLength(Bars[k]);
      positions[k] = std::min(positions[k], room);
      room = positions[k];
    }
    int next = 0;
    for (std::size_t k = 0; k < Bars.size(); ++k) {
      if (!fits(Bars[k], row)) continue;
      positions[k] = std::max(positions[k], next);
      next = positions[k] + BarLength(Bars[k]);
    }
  }
  return positions;
}

// Rows one after another across the dock, each its thickness plus the bars' frame; a row without a shown
// bar takes no room.
TDockArrangement TDockLayout::Place(const std::vector<int>& positions, int clientW, int clientH) const {
  TDockArrangement result;
  int offset = 0;
  for (std::size_t row = 0; row < RowThicknesses.size(); ++row) {
    int thickness = RowThicknesses[row];
    if (thickness != 0) thickness += kDockedFrameAcross;
    for (std::size_t k = 0; k < Bars.size(); ++k) {
      const TDockBar& bar = Bars[k];
      if (!bar.Shown || bar.DockRow != static_cast<int>(row)) continue;
      const cl::TRect bounds = Dock.Vertical
                                   ? cl::Bounds(offset, positions[k], thickness, bar.FullSize ? clientH : bar.Height)
                                   : cl::Bounds(positions[k], offset, bar.FullSize ? clientW : bar.Width, thickness);
      result.Placements.push_back({static_cast<int>(k), bounds});
    }
    offset += thickness;
  }
  result.DockSize =
      Dock.Vertical ? cl::TSize{offset + Dock.EdgeWidth, Dock.Height} : cl::TSize{Dock.Width, offset + Dock.EdgeHeight};
  return result;
}

}  // namespace toolkit
