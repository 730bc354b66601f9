#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "PrintLayout.h"

using namespace hk;

namespace {

// Known metrics: every character 10 pixels wide (12 in bold), every text 20 pixels high. Records what is
// drawn, page by page.
class RecordingCanvas : public PrintCanvas {
 public:
  struct Text {
    int page, x, y;
    std::string text;
    bool bold;
    int left, top, right, bottom;
  };
  struct Rule {
    int page, x1, y1, x2, y2, width;
  };

  int TextWidth(std::string_view text) override {
    int chars = 0;
    for (char c : text)
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    return chars * (bold_ ? 12 : 10);
  }
  int TextHeight(std::string_view) override { return 20; }
  void SetBold(bool bold) override { bold_ = bold; }
  void TextAt(int x, int y, std::string_view text, int l, int t, int r, int b) override {
    texts.push_back({page, x, y, std::string(text), bold_, l, t, r, b});
  }
  void Line(int x1, int y1, int x2, int y2, int width) override { rules.push_back({page, x1, y1, x2, y2, width}); }
  void NewPage() override { ++page; }

  std::vector<Text> TextsOn(int p) const {
    std::vector<Text> out;
    for (const Text& t : texts)
      if (t.page == p) out.push_back(t);
    return out;
  }
  const Text* Find(const std::string& s, int p = -1) const {
    for (const Text& t : texts)
      if (t.text == s && (p < 0 || t.page == p)) return &t;
    return nullptr;
  }

  std::vector<Text> texts;
  std::vector<Rule> rules;
  int page = 1;

 private:
  bool bold_ = false;
};

PrintTable Table(std::vector<PrintRowTexts> rows) {
  PrintTable t;
  t.Captions = {"Description", "ID", "Action", "Data", "Hotkey", "Active"};
  t.Rows = std::move(rows);
  return t;
}

PrintPage Page(int width, int height, int lineScale = 2) {
  return {width, height, lineScale, "C:\\Hotkeys.hkd", "Wednesday, 9 December 2026, 04:00:00", "Hotkeys, version 1.61"};
}

PrintOptions AllColumns() { return {}; }

// Metrics with this canvas: inset 5, line 20, row 30, text offset 5.
TEST(PrintLayout, DataColumnAbsorbsTheSpareWidthFromMarginZero) {
  RecordingCanvas canvas;
  PrintLayout layout(canvas, Table({{"Notepad", "1", "Open Program or File", "notepad.exe", "Ctrl+N", "True"}}),
                     AllColumns(), Page(1000, 800));
  layout.MeasureColumns();
  const PrintMetrics& m = layout.Metrics();
  EXPECT_EQ(m.CellInset, 5);
  EXPECT_EQ(m.LineHeight, 20);
  EXPECT_EQ(m.RowHeight, 30);
  EXPECT_EQ(m.TextOffset, 5);
  EXPECT_EQ(m.Margin, 0);
  EXPECT_EQ(m.LastColumn, 5);
  // Bold captions against regular cells: "Description" 132 > "Notepad" 70, "ID" 24 > 10, "Action" 72 <
  // 200, "Hotkey" 72 > 60, "Active" 72 > 40; each plus 2 x inset.
  EXPECT_EQ(m.Widths[0], 142);
  EXPECT_EQ(m.Widths[1], 34);
  EXPECT_EQ(m.Widths[2], 210);
  EXPECT_EQ(m.Widths[4], 82);
  EXPECT_EQ(m.Widths[5], 82);
  EXPECT_EQ(m.Widths[3], 1000 - 142 - 34 - 210 - 82 - 82);
}

TEST(PrintLayout, WithoutDataTheTableIsCentredWithEqualMargins) {
  RecordingCanvas canvas;
  PrintOptions options;
  options.Columns = {true, true, false, false, true, false};
  PrintLayout layout(canvas, Table({{"Notepad", "1", "Open Program or File", "notepad.exe", "Ctrl+N", "True"}}),
                     options, Page(1001, 800, 3));
  layout.MeasureColumns();
  const PrintMetrics& m = layout.Metrics();
  EXPECT_EQ(m.LastColumn, 4);
  const int total = 142 + 34 + 82;
  EXPECT_EQ(m.Margin, (1001 - total) / 2);
  EXPECT_EQ(layout.PrintPages(false, 1), 1);
  // The row's bottom rule runs from margin + line scale to page width - line scale - margin, 6 wide.
  const RecordingCanvas::Rule* row = nullptr;
  for (const auto& r : canvas.rules)
    if (r.y1 == 100 && r.y2 == 100) row = &r;
  ASSERT_NE(row, nullptr);
  const auto& bottom = *row;
  EXPECT_EQ(bottom.x1, m.Margin + 3);
  EXPECT_EQ(bottom.x2, 1001 - 3 - m.Margin);
  EXPECT_EQ(bottom.width, 6);
  // Captions of the printed columns only, in bold, each one inset into its cell.
  ASSERT_NE(canvas.Find("Description"), nullptr);
  EXPECT_TRUE(canvas.Find("Description")->bold);
  EXPECT_EQ(canvas.Find("Description")->x, m.Margin + 5);
  EXPECT_EQ(canvas.Find("ID")->x, m.Margin + 142 + 5);
  EXPECT_EQ(canvas.Find("Hotkey")->x, m.Margin + 142 + 34 + 5);
  EXPECT_EQ(canvas.Find("Data"), nullptr);
  EXPECT_EQ(canvas.Find("notepad.exe"), nullptr);
  EXPECT_FALSE(canvas.Find("Ctrl+N")->bold);
  // Vertical rules: left edge, after Description, after ID, right edge (none after the last column).
  std::vector<int> verticals;
  for (const auto& r : canvas.rules)
    if (r.x1 == r.x2 && r.y1 == 2 * 20 + 30) verticals.push_back(r.x1);  // the first row's
  EXPECT_EQ(verticals, (std::vector<int>{m.Margin + 3, m.Margin + 3 + 142, m.Margin + 3 + 142 + 34, 1001 - 3 - m.Margin}));
}

TEST(PrintLayout, InactiveRowsAreNeitherMeasuredNorPrintedWhenLeftOut) {
  PrintOptions options;
  options.PrintInactive = false;
  std::vector<PrintRowTexts> rows = {{"On", "1", "A", "d", "Ctrl+A", "True"},
                                     {"An inactive entry with a long description", "2", "A", "d", "", "False"}};
  RecordingCanvas canvas;
  PrintLayout layout(canvas, Table(rows), options, Page(1000, 800));
  layout.MeasureColumns();
  EXPECT_EQ(layout.Metrics().Widths[0], 142);  // the caption, not the inactive row
  layout.PrintPages(false, 1);
  EXPECT_NE(canvas.Find("On"), nullptr);
  EXPECT_EQ(canvas.Find("2"), nullptr);

  RecordingCanvas all;
  PrintLayout everything(all, Table(rows), AllColumns(), Page(1000, 800));
  everything.MeasureColumns();
  EXPECT_EQ(everything.Metrics().Widths[0], 41 * 10 + 10);
}

TEST(PrintLayout, WrapsAfterBlanksHyphensAndSlashesAndSplitsUnbrokenText) {
  RecordingCanvas canvas;
  PrintLayout layout(canvas, Table({}), AllColumns(), Page(1000, 800));
  using L = std::vector<std::string>;
  // Trailing blanks do not count: "C:\Program " is 100 wide as "C:\Program".
  EXPECT_EQ(layout.Wrap("C:\\Program Files\\Tool\\run.exe", 110), (L{"C:\\Program ", "Files\\Tool\\", "run.exe"}));
  EXPECT_EQ(layout.Wrap("one-two/three four", 80), (L{"one-two/", "three ", "four"}));
  EXPECT_EQ(layout.Wrap("abcdefghij", 40), (L{"abcd", "efgh", "ij"}));
  EXPECT_EQ(layout.Wrap("fits", 40), (L{"fits"}));
  EXPECT_EQ(layout.Wrap("", 40), (L{""}));
  // A word wider than the column before its break character is split between characters too.
  EXPECT_EQ(layout.Wrap("abcdefgh ij", 30), (L{"abc", "def", "gh ", "ij"}));
  // Multi-byte characters are never cut apart.
  EXPECT_EQ(layout.Wrap("\xC3\xA4\xC3\xB6\xC3\xBC\xE2\x82\xAC", 20), (L{"\xC3\xA4\xC3\xB6", "\xC3\xBC\xE2\x82\xAC"}));
  // No room at all: one character per line, and the wrap ends.
  EXPECT_EQ(layout.Wrap("ab c", 0), (L{"a", "b", " ", "c"}));
  EXPECT_EQ(layout.Wrap("ab", -15), (L{"a", "b"}));

  EXPECT_EQ(PrintLayout::FindBreak("abc"), 0u);
  EXPECT_EQ(PrintLayout::FindBreak("ab/c d"), 3u);
  std::string_view s = "ab\\cd";
  EXPECT_EQ(PrintLayout::TakeWord(s, false, true), "ab\\");
  EXPECT_EQ(s, "ab\\cd");
  EXPECT_EQ(PrintLayout::TakeWord(s, true, false), "ab\\");
  EXPECT_EQ(PrintLayout::TakeWord(s, false, true), "c");
  EXPECT_EQ(PrintLayout::TakeWord(s, true, false), "cd");
  EXPECT_EQ(s, "");
  EXPECT_EQ(PrintLayout::TrimTrailingSpaces("a b  "), "a b");
}

TEST(PrintLayout, RowHeightFollowsTheTallestCellAndIsNeverBelowOneLine) {
  RecordingCanvas canvas;
  PrintOptions options;
  options.Columns = {true, false, false, true, false, false};  // Description 142 wide, Data the rest
  // Description 250 wide; page 400 wide: Data 150, inner 140 (seven letters and their blanks a line).
  PrintLayout layout(canvas,
                     Table({{"", "", "", "", "", "True"},
                            {"one line of description!", "", "", "a b c d e f g h i j k l m n o p q r s t u v w x", "", ""}}),
                     options, Page(400, 2000));
  layout.MeasureColumns();
  ASSERT_EQ(layout.Metrics().Widths[0], 250);
  ASSERT_EQ(layout.Metrics().Widths[3], 150);
  EXPECT_EQ(layout.Wrap("a b c d e f g h i j k l m n o p q r s t u v w x", 140).size(), 4u);
  layout.PrintPages(false, 1);
  // Row 1 (all empty): one line, 30 high, from y 70 to 100. Row 2: four lines, 30 + 3 x 20 = 90.
  std::vector<int> bottoms;
  for (const auto& r : canvas.rules)
    if (r.y1 == r.y2 && r.x1 == 2 && r.y1 > 70) bottoms.push_back(r.y1);
  ASSERT_GE(bottoms.size(), 2u);
  EXPECT_EQ(bottoms[0], 100);
  EXPECT_EQ(bottoms[1], 190);
  // The lines of a wrapped cell are h apart, starting at the row's top + text offset.
  const auto* second = canvas.Find("h i j k l m n ");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->y, 100 + 5 + 20);
}

TEST(PrintLayout, PageBreaksRepeatTheHeadersAndFootersCountPages) {
  // Page 500 high: header 40, column header 30, rows 30 each; a row breaks when y + 30 >= 470.
  // Rows start at 70, 100, ..., 430: 13 rows per page. 30 rows: 13 + 13 + 4 on three pages.
  std::vector<PrintRowTexts> rows;
  for (int i = 0; i < 30; ++i) rows.push_back({"Row " + std::to_string(i), std::to_string(i), "A", "d", "", "True"});
  RecordingCanvas canvas;
  PrintLayout layout(canvas, Table(rows), AllColumns(), Page(800, 500));
  layout.MeasureColumns();
  const int pages = layout.PrintPages(true, 0);
  EXPECT_EQ(pages, 3);
  EXPECT_TRUE(canvas.texts.empty());
  EXPECT_TRUE(canvas.rules.empty());
  EXPECT_EQ(canvas.page, 1);

  std::vector<std::pair<int, int>> progress;
  EXPECT_EQ(layout.PrintPages(false, pages, [&](int page, int percent) { progress.push_back({page, percent}); }), 3);
  EXPECT_EQ(canvas.page, 3);
  ASSERT_EQ(progress.size(), 30u);
  EXPECT_EQ(progress[12], (std::pair<int, int>{1, 13 * 100 / 30}));
  EXPECT_EQ(progress[13], (std::pair<int, int>{2, 14 * 100 / 30}));
  EXPECT_EQ(progress.back(), (std::pair<int, int>{3, 100}));
  EXPECT_EQ(canvas.Find("Row 12")->page, 1);
  EXPECT_EQ(canvas.Find("Row 13")->page, 2);
  EXPECT_EQ(canvas.Find("Row 13")->y, 70 + 5);
  EXPECT_EQ(canvas.Find("Row 29")->page, 3);
  for (int p = 1; p <= 3; ++p) {
    SCOPED_TRACE(p);
    // Page header: file name left, date and time right-aligned.
    ASSERT_NE(canvas.Find("C:\\Hotkeys.hkd", p), nullptr);
    const auto* date = canvas.Find("Wednesday, 9 December 2026, 04:00:00", p);
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->x + 36 * 10, 800);
    // Bold column header at y 40 + 5 on every page.
    const auto* caption = canvas.Find("Description", p);
    ASSERT_NE(caption, nullptr);
    EXPECT_TRUE(caption->bold);
    EXPECT_EQ(caption->y, 45);
    // Footer: product line left, "Page p of 3" right-aligned, at page height - h.
    const auto* product = canvas.Find("Hotkeys, version 1.61", p);
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->x, 0);
    EXPECT_EQ(product->y, 480);
    const std::string pageText = "Page " + std::to_string(p) + " of 3";
    const auto* number = canvas.Find(pageText, p);
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->x + 11 * 10, 800);
    EXPECT_EQ(number->y, 480);
  }
  // The last page's footer comes after its last row.
  const auto& page3 = canvas.TextsOn(3);
  EXPECT_EQ(page3.back().text, "Page 3 of 3");
  // Every rule is drawn 2 x line scale wide.
  for (const auto& r : canvas.rules) EXPECT_EQ(r.width, 4);
}

TEST(PrintLayout, ARowTallerThanAPageIsPrintedWholeFromTheTopOfANewPage) {
  std::string tall;
  for (int i = 0; i < 80; ++i) tall += "word ";
  RecordingCanvas canvas;
  PrintOptions options;
  options.Columns = {true, false, false, true, false, false};
  PrintLayout layout(canvas, Table({{"first", "", "", "", "", ""}, {"second", "", "", tall, "", ""},
                                    {"third", "", "", "", "", ""}}),
                     options, Page(300, 400));
  layout.MeasureColumns();
  // Data: 158 wide, inner 148: three words a line, 27 lines, 30 + 26 x 20 = 550 high.
  EXPECT_EQ(layout.PrintPages(true, 0), 3);
  EXPECT_EQ(layout.PrintPages(false, 3), 3);
  EXPECT_EQ(canvas.Find("first")->page, 1);
  EXPECT_EQ(canvas.Find("second")->page, 2);
  EXPECT_EQ(canvas.Find("second")->y, 75);
  EXPECT_EQ(canvas.Find("third")->page, 3);
  int lines = 0;
  for (const auto& t : canvas.TextsOn(2))
    if (t.text == "word word word ") ++lines;
  EXPECT_EQ(lines, 26);

  // On a fresh page such a row is not pushed on to another page.
  RecordingCanvas alone;
  PrintLayout single(alone, Table({{"second", "", "", tall, "", ""}}), options, Page(300, 400));
  single.MeasureColumns();
  EXPECT_EQ(single.PrintPages(true, 0), 1);
}

TEST(PrintLayout, ADataColumnSqueezedToNothingKeepsItsCaptionWidthAndTheJobEnds) {
  const std::string wide(120, 'x');  // 1200 pixels: wider than the page by itself
  RecordingCanvas canvas;
  PrintLayout layout(canvas, Table({{wide, "7", "Send Keystrokes", "Long\\data\\text-without-room", "", "True"}}),
                     AllColumns(), Page(1000, 800));
  layout.MeasureColumns();
  const PrintMetrics& m = layout.Metrics();
  EXPECT_EQ(m.Margin, 0);
  EXPECT_EQ(m.Widths[3], 4 * 12 + 10);  // bold "Data" and the insets
  EXPECT_EQ(layout.PrintPages(true, 0), 1);
  EXPECT_EQ(layout.PrintPages(false, 1), 1);
  // Every text stays inside its cell and left of the page's right rule; the columns right of the page
  // are cut off entirely.
  for (const auto& t : canvas.texts) {
    SCOPED_TRACE(t.text);
    EXPECT_LE(t.right, 1000);
    EXPECT_LE(t.left, t.right);
  }
  EXPECT_EQ(canvas.Find("Data"), nullptr);
  EXPECT_EQ(canvas.Find("Send Keystrokes"), nullptr);
  const auto* description = canvas.Find(wide);
  ASSERT_NE(description, nullptr);
  EXPECT_EQ(description->right, 1000 - 2);
}

TEST(PrintLayout, AnExceptionFromTheProgressStopsThePrintPass) {
  std::vector<PrintRowTexts> rows(5, PrintRowTexts{"r", "1", "A", "d", "", "True"});
  RecordingCanvas canvas;
  PrintLayout layout(canvas, Table(rows), AllColumns(), Page(800, 600));
  layout.MeasureColumns();
  int calls = 0;
  EXPECT_THROW(layout.PrintPages(false, 1,
                                 [&](int, int) {
                                   if (++calls == 2) throw std::runtime_error("cancelled");
                                 }),
               std::runtime_error);
  EXPECT_EQ(calls, 2);
  int printed = 0;
  for (const auto& t : canvas.texts)
    if (t.text == "r") ++printed;
  EXPECT_EQ(printed, 2);
  EXPECT_EQ(canvas.Find("Page 1 of 1"), nullptr);
}

}  // namespace
