// The printed hotkey table: column widths, wrapping, rows, page breaks, page and column headers, footers
// and the ruled grid. One layout code serves both passes: the measure pass only counts pages, the print
// pass draws. It draws through PrintCanvas, so it knows nothing of the device; all positions are in the
// device's pixels.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

// What the layout needs of a device: text metrics in its current font, text, lines, bold on and off, pages.
class PrintCanvas {
 public:
  virtual ~PrintCanvas() = default;
  virtual int TextWidth(std::string_view text) = 0;
  virtual int TextHeight(std::string_view text) = 0;
  virtual void SetBold(bool bold) = 0;
  // Text with its top-left corner at (x, y), cut off outside the rectangle (left, top)-(right, bottom).
  virtual void TextAt(int x, int y, std::string_view text, int left, int top, int right, int bottom) = 0;
  // A line from (x1, y1) to (x2, y2) with a pen `width` pixels wide.
  virtual void Line(int x1, int y1, int x2, int y2, int width) = 0;
  // Ends the page and starts the next one.
  virtual void NewPage() = 0;
};

inline constexpr int PrintColumnCount = 6;
// Columns: 0 Description, 1 ID, 2 Action, 3 Data, 4 Hotkey, 5 Active.
inline constexpr int PrintDataColumn = 3;
inline constexpr int PrintActiveColumn = 5;

using PrintRowTexts = std::array<std::string, PrintColumnCount>;

// The texts to print, copied from the table before the measure pass, so that both passes see the same
// rows whatever happens to the table meanwhile.
struct PrintTable {
  PrintRowTexts Captions;
  std::vector<PrintRowTexts> Rows;
};

struct PrintOptions {
  std::array<bool, PrintColumnCount> Columns{true, true, true, true, true, true};
  bool PrintInactive = true;
};

// The page: its printable size, the grid's line scale (the pen is twice as wide) and the texts of the
// page header and the footer.
struct PrintPage {
  int Width = 0;
  int Height = 0;
  int LineScale = 0;
  std::string FileName;
  std::string DateTime;
  std::string ProductLine;  // product name, ", version ", product version
};

// Results of MeasureColumns.
struct PrintMetrics {
  int Margin = 0;      // x of the table's left edge
  int CellInset = 0;   // TextWidth("X") div 2
  int LineHeight = 0;  // TextHeight("Wg")
  int RowHeight = 0;   // a one-line row
  int TextOffset = 0;  // from a row's top to its first line
  int LastColumn = -1;
  std::array<int, PrintColumnCount> Widths{};
};

class PrintLayout {
 public:
  // (page number, percent of the rows done): called after each row of the print pass. It may throw to
  // stop the job; the exception passes through.
  using Progress = std::function<void(int page, int percent)>;

  PrintLayout(PrintCanvas& canvas, PrintTable table, PrintOptions options, PrintPage page);

  // Sets the metrics and the column widths, in the canvas's current font (regular style).
  void MeasureColumns();
  // Lays out every page: the measure pass (measure true) draws nothing; the print pass draws, with
  // pageCount in the footers. Returns the number of pages.
  int PrintPages(bool measure, int pageCount, const Progress& progress = {});

  const PrintMetrics& Metrics() const noexcept { return metrics_; }
  bool IsPrinted(int row) const;
  // The cell text wrapped into `width` pixels: at least one line, at least one character on each line.
  std::vector<std::string> Wrap(std::string_view text, int width);

  // Wrapping steps. FindBreak: the position (from 1) of the first blank, "-", "\" or "/", 0 for none.
  static size_t FindBreak(std::string_view s);
  // The next piece of s: up to and including the first break character; without one, the first
  // character when splitByChar, else all of s. consume removes it from s.
  static std::string TakeWord(std::string_view& s, bool consume, bool splitByChar);
  static std::string TrimTrailingSpaces(std::string_view s);

 private:
  int PrintRow(int y, int row, bool measure, int pageCount);
  int PrintPageHeader(bool measure);
  int PrintColumnHeader(int y, bool measure);
  void PrintFooter(int pageNumber, int pageCount);
  void DrawLine(int x1, int y1, int x2, int y2);
  void DrawColumnLines(int y1, int y2);
  int RuleLeft() const { return metrics_.Margin + page_.LineScale; }
  int RuleRight() const { return page_.Width - page_.LineScale - metrics_.Margin; }
  // The right edge of a cell's text: its column's edge, but not past the page's right rule.
  int CellRight(int x, int column) const;

  PrintCanvas& canvas_;
  PrintTable table_;
  PrintOptions options_;
  PrintPage page_;
  PrintMetrics metrics_;
  int pageNumber_ = 1;
  int rowsOnPage_ = 0;
};

}  // namespace hk
