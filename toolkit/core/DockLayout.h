// The dock's row layout, without windows: the bars a dock holds are plain records, laid out in rows
// across the dock and along it, and the dock's size across its side follows from the rows. The dock
// control keeps one TDockLayout for its bars, fills the records from its tool windows, and applies the
// bounds and the dock size that ArrangeBars returns.
#pragma once
#include <vector>

#include "Types.h"

namespace toolkit {

// The side of its parent a dock is aligned to; left and right docks are vertical.
enum TDockPosition { dpTop, dpBottom, dpLeft, dpRight };
constexpr bool IsVerticalPosition(TDockPosition position) { return position == dpLeft || position == dpRight; }

// One bar (tool window) of a dock, shown in it now or only remembered by it.
struct TDockBar {
  void* Control = nullptr;  // the tool window the record stands for
  int DockRow = 0;          // row index
  int DockPos = -1;         // pixels along the dock; -1 = not placed yet (goes right after its neighbour)
  bool FullSize = false;    // spans the dock's whole length, alone in its row
  bool Shown = true;        // on this dock and visible (or being designed)
  int Width = 0;            // outer size
  int Height = 0;
  int DockedSize = 0;  // its client size across a dock of this orientation
};

// What the layout needs to know of the dock itself.
struct TDockGeometry {
  bool Vertical = false;  // a left or right dock: rows are columns, bars run top to bottom
  int Width = 0;
  int Height = 0;
  int EdgeWidth = 0;  // pixels of bound lines taken from the client area
  int EdgeHeight = 0;
  bool LimitToOneRow = false;
  bool FixAlign = false;  // an empty dock keeps 1 pixel
  bool Designing = false;
};

// Where ArrangeBars puts one shown bar: Bars[Index], in the dock's client coordinates.
struct TBarPlacement {
  int Index = 0;
  cl::TRect Bounds;
  friend bool operator==(const TBarPlacement&, const TBarPlacement&) = default;
};

struct TDockArrangement {
  std::vector<TBarPlacement> Placements;  // in Bars order, rows first
  cl::TSize DockSize;                     // the dock's new outer size
};

// The docked frame of a bar: 2 pixels on every side, so each row takes its thickness plus this.
inline constexpr int kDockedFrameAcross = 4;
// No row is thinner than this, whatever its bars' thickness.
inline constexpr int kMinRowThickness = 8;
// Within this many pixels of a row boundary a drop opens a new row there.
inline constexpr int kNewRowMargin = 5;

// Orders bars by row, then by position, ascending.
int CompareDockPlace(const TDockBar& a, const TDockBar& b) noexcept;

class TDockLayout {
 public:
  TDockGeometry Dock;
  std::vector<TDockBar> Bars;
  // One thickness per row 0..LastRowIndex(), as of the last BuildRowSizes (or ArrangeBars).
  std::vector<int> RowThicknesses;

  // Lays out every shown bar and sizes the dock. With clipPoses the fitted positions are stored in the
  // bars; without, only the placement uses them, so a bar returns to its old place when the dock grows.
  // Rows, positions and the order of Bars may change.
  TDockArrangement ArrangeBars(bool clipPoses);

  bool HasShownBars() const noexcept;
  // The largest DockRow of Bars; -1 when there is no bar.
  int LastRowIndex() const noexcept;
  // The row's thickness; a row with none (or not built yet) gives the bar's own docked size when a bar
  // is given, else 0.
  int RowThickness(int row, const TDockBar* bar) const noexcept;
  // The row that a drop at `offset` pixels across the dock falls into; newRow asks for a new row to be
  // opened at that index (ShiftRowsFrom) first.
  int DropRowAt(int offset, bool& newRow) const noexcept;
  // The row whose band holds `offset` pixels across the dock; the row after the last when none does.
  int RowAtOffset(int offset) const noexcept;
  // The bars of the row other than `control`.
  int CountOthersInRow(int row, const void* control) const noexcept;
  // Opens an empty row at `row`: every bar at or below it moves down one row.
  void ShiftRowsFrom(int row) noexcept;
  // Closes up empty rows between the bars; of a gap of several empty rows about half is closed per run.
  void DropEmptyRows() noexcept;
  // RowThicknesses anew from the shown bars.
  void BuildRowSizes();

 private:
  int BarLength(const TDockBar& bar) const noexcept { return Dock.Vertical ? bar.Height : bar.Width; }
  void SortBars();
  void SeparateFullSizeBars() noexcept;
  void RemoveOverlaps() noexcept;
  std::vector<int> FittedPositions(int length) const;
  TDockArrangement Place(const std::vector<int>& positions, int clientW, int clientH) const;
};

}  // namespace toolkit
