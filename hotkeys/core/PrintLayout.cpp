#include "PrintLayout.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace hk {

namespace {

bool IsBreakChar(char c) { return c == ' ' || c == '-' || c == '\\' || c == '/'; }

// The length of the UTF-8 character at pos (a stray continuation byte counts as one character).
size_t CharLength(std::string_view s, size_t pos) {
  size_t n = 1;
  while (pos + n < s.size() && (static_cast<uint8_t>(s[pos + n]) & 0xC0) == 0x80) ++n;
  return n;
}

}  // namespace

PrintLayout::PrintLayout(PrintCanvas& canvas, PrintTable table, PrintOptions options, PrintPage page)
    : canvas_(canvas), table_(std::move(table)), options_(options), page_(std::move(page)) {}

bool PrintLayout::IsPrinted(int row) const {
  return options_.PrintInactive || table_.Rows[static_cast<size_t>(row)][PrintActiveColumn] == "True";
}

// ----------------------------------------------------------------------------------------------- wrapping

size_t PrintLayout::FindBreak(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i)
    if (IsBreakChar(s[i])) return i + 1;
  return 0;
}

std::string PrintLayout::TakeWord(std::string_view& s, bool consume, bool splitByChar) {
  size_t length = s.size();
  if (size_t b = FindBreak(s))
    length = b;
  else if (splitByChar && !s.empty())
    length = CharLength(s, 0);
  std::string piece(s.substr(0, length));
  if (consume) s.remove_prefix(length);
  return piece;
}

std::string PrintLayout::TrimTrailingSpaces(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

std::vector<std::string> PrintLayout::Wrap(std::string_view text, int width) {
  auto fits = [&](const std::string& s) { return canvas_.TextWidth(TrimTrailingSpaces(s)) <= width; };
  std::vector<std::string> lines;
  std::string_view rest = text;
  do {
    std::string line;
    while (!rest.empty()) {
      const bool splitByChar = FindBreak(line) == 0;
      std::string_view peek = rest;
      std::string piece = TakeWord(peek, false, splitByChar);
      if (fits(line + piece)) {
        TakeWord(rest, true, splitByChar);
        line += piece;
        continue;
      }
      if (!splitByChar) break;  // the line ends after its last break character
      // No break character on the line to end it at: the piece is split between characters, and an empty
      // line takes one character even when it does not fit (it is cut off when drawn), so every line
      // moves the text on.
      size_t taken = 0;
      while (taken < piece.size()) {
        size_t n = CharLength(piece, taken);
        if (!line.empty() && !fits(line + piece.substr(taken, n))) break;
        line += piece.substr(taken, n);
        taken += n;
      }
      rest.remove_prefix(taken);
      break;
    }
    lines.push_back(std::move(line));
  } while (!rest.empty());
  return lines;
}

// ------------------------------------------------------------------------------------------------ columns

void PrintLayout::MeasureColumns() {
  PrintMetrics& m = metrics_;
  canvas_.SetBold(false);
  m.CellInset = canvas_.TextWidth("X") / 2;
  m.LineHeight = canvas_.TextHeight("Wg");
  m.RowHeight = m.LineHeight + m.LineHeight / 2;
  m.TextOffset = (m.LineHeight / 2) / 2;

  canvas_.SetBold(true);
  for (int c = 0; c < PrintColumnCount; ++c) m.Widths[c] = canvas_.TextWidth(table_.Captions[c]);
  canvas_.SetBold(false);
  // Data never gets narrower than its caption, however little room the other columns leave.
  const int dataMinimum = m.Widths[PrintDataColumn] + 2 * m.CellInset;

  for (size_t r = 0; r < table_.Rows.size(); ++r) {
    if (!IsPrinted(static_cast<int>(r))) continue;
    for (int c = 0; c < PrintColumnCount; ++c)
      m.Widths[c] = std::max(m.Widths[c], canvas_.TextWidth(table_.Rows[r][c]));
  }

  int total = 0;
  m.LastColumn = -1;
  for (int c = 0; c < PrintColumnCount; ++c) {
    if (!options_.Columns[c]) continue;
    m.Widths[c] += 2 * m.CellInset;
    total += m.Widths[c];
    m.LastColumn = c;
  }
  const int spare = page_.Width - total;
  if (options_.Columns[PrintDataColumn]) {
    m.Margin = 0;
    m.Widths[PrintDataColumn] = std::max(m.Widths[PrintDataColumn] + spare, dataMinimum);
  } else {
    m.Margin = spare / 2;
  }
}

int PrintLayout::CellRight(int x, int column) const {
  return std::max(x, std::min(x + metrics_.Widths[column], RuleRight()));
}

// ------------------------------------------------------------------------------------------------- pages

int PrintLayout::PrintPages(bool measure, int pageCount, const Progress& progress) {
  pageNumber_ = 1;
  rowsOnPage_ = 0;
  int y = PrintPageHeader(measure);
  y = PrintColumnHeader(y, measure);
  const auto rows = static_cast<long long>(table_.Rows.size());
  for (int r = 0; r < rows; ++r) {
    if (!IsPrinted(r)) continue;
    y = PrintRow(y, r, measure, pageCount);
    if (!measure && progress) progress(pageNumber_, static_cast<int>((r + 1) * 100LL / rows));
  }
  if (!measure) PrintFooter(pageNumber_, pageCount);
  return pageNumber_;
}

int PrintLayout::PrintRow(int y, int row, bool measure, int pageCount) {
  const PrintMetrics& m = metrics_;
  const PrintRowTexts& texts = table_.Rows[static_cast<size_t>(row)];
  std::array<std::vector<std::string>, PrintColumnCount> cells;
  size_t lines = 1;  // a row of empty cells is still one line tall
  for (int c = 0; c < PrintColumnCount; ++c) {
    if (!options_.Columns[c]) continue;
    cells[c] = Wrap(texts[c], m.Widths[c] - 2 * m.CellInset);
    lines = std::max(lines, cells[c].size());
  }
  const int height = m.RowHeight + m.LineHeight * static_cast<int>(lines - 1);

  // The bottom band stays free for the footer. A row that does not fit even on a fresh page is printed
  // from the top of the page it is on, rather than after an empty one.
  if (rowsOnPage_ > 0 && y + height >= page_.Height - m.RowHeight) {
    if (!measure) PrintFooter(pageNumber_, pageCount);
    ++pageNumber_;
    if (!measure) canvas_.NewPage();
    y = PrintPageHeader(measure);
    y = PrintColumnHeader(y, measure);
    rowsOnPage_ = 0;
  }
  ++rowsOnPage_;

  if (!measure) {
    int x = m.Margin + m.CellInset;
    for (int c = 0; c < PrintColumnCount; ++c) {
      if (!options_.Columns[c]) continue;
      const int left = x - m.CellInset;
      const int right = CellRight(left, c);
      for (size_t i = 0; i < cells[c].size() && left < right; ++i)
        canvas_.TextAt(x, y + m.TextOffset + m.LineHeight * static_cast<int>(i), cells[c][i], left, y, right,
                       y + height);
      x += m.Widths[c];
    }
    DrawLine(RuleLeft(), y + height, RuleRight(), y + height);
    DrawColumnLines(y, y + height);
  }
  return y + height;
}

int PrintLayout::PrintPageHeader(bool measure) {
  const int h = metrics_.LineHeight;
  if (!measure) {
    // A table wider than the page starts left of it; the header texts stay on the page.
    const int left = std::max(metrics_.Margin, 0);
    const int right = std::min(page_.Width - metrics_.Margin, page_.Width);
    canvas_.TextAt(left, 0, page_.FileName, 0, 0, page_.Width, page_.Height);
    canvas_.TextAt(right - canvas_.TextWidth(page_.DateTime), 0, page_.DateTime, 0, 0, page_.Width, page_.Height);
    DrawLine(RuleLeft(), h, RuleRight(), h);
  }
  return 2 * h;
}

int PrintLayout::PrintColumnHeader(int y, bool measure) {
  const PrintMetrics& m = metrics_;
  if (!measure) {
    DrawLine(RuleLeft(), y, RuleRight(), y);
    DrawLine(RuleLeft(), y + m.RowHeight, RuleRight(), y + m.RowHeight);
    DrawColumnLines(y, y + m.RowHeight);
    canvas_.SetBold(true);
    int x = m.Margin;
    for (int c = 0; c < PrintColumnCount; ++c) {
      if (!options_.Columns[c]) continue;
      if (x < CellRight(x, c))
        canvas_.TextAt(x + m.CellInset, y + m.TextOffset, table_.Captions[c], x, y, CellRight(x, c), y + m.RowHeight);
      x += m.Widths[c];
    }
    canvas_.SetBold(false);
  }
  return y + m.RowHeight;
}

void PrintLayout::PrintFooter(int pageNumber, int pageCount) {
  const int y = page_.Height - metrics_.LineHeight;
  const int left = std::max(metrics_.Margin, 0);
  const int right = std::min(page_.Width - metrics_.Margin, page_.Width);
  canvas_.TextAt(left, y, page_.ProductLine, 0, 0, page_.Width, page_.Height);
  const std::string pages = "Page " + std::to_string(pageNumber) + " of " + std::to_string(pageCount);
  canvas_.TextAt(right - canvas_.TextWidth(pages), y, pages, 0, 0, page_.Width, page_.Height);
  DrawLine(RuleLeft(), y, RuleRight(), y);
}

void PrintLayout::DrawLine(int x1, int y1, int x2, int y2) { canvas_.Line(x1, y1, x2, y2, 2 * page_.LineScale); }

void PrintLayout::DrawColumnLines(int y1, int y2) {
  int x = RuleLeft();
  DrawLine(x, y1, x, y2);
  for (int c = 0; c < metrics_.LastColumn; ++c) {
    if (!options_.Columns[c]) continue;
    x += metrics_.Widths[c];
    DrawLine(x, y1, x, y2);
  }
  DrawLine(RuleRight(), y1, RuleRight(), y2);
}

}  // namespace hk
