// Printing the hotkey table in this process: a printer whose pages are bitmaps of printer size, the
// progress window's Cancel, the settings dialog, and the behaviour without any printer installed.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Definitions.h"
#include "Dialogs.h"
#include "FormReader.h"
#include "Forms.h"
#include "GdiObjects.h"
#include "Printers.h"
#include "SaRegister.h"
#include "StdClasses.h"
#include "SysUtils.h"
#include "TestSupport.h"
#include "ProgramDriver.h"
#include "WindowTest.h"
#include "hkPrint.h"
#include "FormsTestSupport.h"

namespace {

// Pages of 8.5 x 11 inches at 150 pixels per inch, each drawn into a white bitmap of its own.
class TBitmapPrinter : public cl::TPrinter {
 public:
  static constexpr int kDpi = 150;
  static constexpr int kWidth = 1275;
  static constexpr int kHeight = 1650;

  ~TBitmapPrinter() override {
    Abort();
    for (HBITMAP b : pages) DeleteObject(b);
  }

  std::vector<HBITMAP> pages;
  int started = 0;
  int ended = 0;
  int aborted = 0;
  std::function<void()> onNextPage;

 protected:
  HDC StartDocument() override {
    ++started;
    return NewSheet();
  }
  HDC NextPage(HDC dc) override {
    DeleteDC(dc);
    if (onNextPage) onNextPage();
    return NewSheet();
  }
  void EndDocument(HDC dc) override {
    DeleteDC(dc);
    ++ended;
  }
  void AbortDocument(HDC dc) noexcept override {
    DeleteDC(dc);
    ++aborted;
  }
  int DeviceCaps(int index) override {
    switch (index) {
      case HORZRES: return kWidth;
      case VERTRES: return kHeight;
      case LOGPIXELSX:
      case LOGPIXELSY: return kDpi;
      default: return 0;
    }
  }

 private:
  HDC NewSheet() {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = -kHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    pages.push_back(bitmap);
    return dc;
  }
};

// A page read back once: a pixel is dark when its red, green and blue average below half.
class PageImage {
 public:
  explicit PageImage(HBITMAP page) {
    BITMAP bm{};
    GetObjectW(page, sizeof bm, &bm);
    width_ = bm.bmWidth;
    height_ = std::abs(bm.bmHeight);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width_;
    bi.bmiHeader.biHeight = -height_;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    pixels_.resize(static_cast<size_t>(width_) * height_);
    const cl::TDCHandle dc(CreateCompatibleDC(nullptr));
    GetDIBits(dc.Get(), page, 0, static_cast<UINT>(height_), pixels_.data(), &bi, DIB_RGB_COLORS);
  }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Dark(int x, int y) const {
    const uint32_t c = pixels_[static_cast<size_t>(y) * width_ + x];
    return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 3 * 128;
  }
  int DarkPixels(int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += Dark(x, y);
    return n;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

// The ruled grid of one printed page as the picture shows it: the left rule's column and extent, and the
// centres of the horizontal rules that cross it (the column header's two, then one below each row).
struct PageGrid {
  int ruleX = -1;
  int top = 0;
  int bottom = -1;
  std::vector<int> lines;
};

PageGrid ReadGrid(const PageImage& page) {
  PageGrid grid;
  // The left rule: the column near the left edge with the longest unbroken run of dark pixels.
  int best = 0;
  for (int x = 0; x < 60; ++x)
    for (int y = 0; y < page.Height();) {
      if (!page.Dark(x, y)) {
        ++y;
        continue;
      }
      const int start = y;
      while (y < page.Height() && page.Dark(x, y)) ++y;
      if (y - start > best) {
        best = y - start;
        grid = {x, start, y - 1, {}};
      }
    }
  if (grid.ruleX < 0) return grid;
  // A horizontal rule: a pixel row dark for 300 pixels to the right of the rule (no text is that solid).
  auto ruled = [&](int y) {
    for (int x = grid.ruleX; x < grid.ruleX + 300 && x < page.Width(); ++x)
      if (!page.Dark(x, y)) return false;
    return true;
  };
  for (int y = grid.top; y <= grid.bottom;) {
    if (!ruled(y)) {
      ++y;
      continue;
    }
    const int start = y;
    while (y <= grid.bottom && ruled(y)) ++y;
    grid.lines.push_back((start + y - 1) / 2);
  }
  return grid;
}

bool SystemHasPrinter() {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.Flags = PD_RETURNDEFAULT | PD_NOWARNING;
  const bool found = PrintDlgW(&pd) && pd.hDevNames;
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  return found;
}

hk::PrintJob Job(int rows) {
  hk::PrintJob job;
  job.Table.Captions = {"Description", "ID", "Action", "Data", "Hotkey", "Active"};
  for (int i = 0; i < rows; ++i)
    job.Table.Rows.push_back({"Entry number " + std::to_string(i), std::to_string(i + 1), "Open Program or File",
                              i % 7 == 3 ? "C:\\Program Files\\Some Vendor\\A rather long folder name\\with a "
                                           "program that has a long name as well.exe"
                                         : "C:\\Windows\\notepad.exe",
                              "Ctrl+Alt+" + std::string(1, static_cast<char>('A' + i % 26)),
                              i % 5 == 4 ? "False" : "True"});
  job.FileName = "C:\\Calderine\\Hotkeys.hkd";
  job.ProductLine = "Hotkeys, version 1.61";
  return job;
}

class Print : public hkwin::WindowTest {};

TEST_F(Print, ThePrintPassDrawsAsManyPagesAsTheMeasurePassCounted) {
  TBitmapPrinter printer;
  cl::TForm main(nullptr);
  hk::PrintJob job = Job(120);
  job.ScreenFont = main.Font();
  const int pages = hk::PrintHotkeyTable(printer, job);
  EXPECT_GE(pages, 2);
  EXPECT_EQ(static_cast<int>(printer.pages.size()), pages);
  EXPECT_EQ(printer.started, 1);
  EXPECT_EQ(printer.ended, 1);
  EXPECT_EQ(printer.aborted, 0);
  EXPECT_FALSE(printer.Printing());
  // Every page has its header, its grid and its footer. What the layout guarantees, whatever the font's
  // metrics: the left rule runs unbroken from the column header's top rule to the last row's bottom rule,
  // every row is on exactly one page, and a page ends only when its next row would reach the bottom band.
  std::vector<PageGrid> grids;
  int rowsPrinted = 0;
  int rowHeight = 0;
  const int tolerance = 4;  // the pen is a few pixels wide
  for (HBITMAP bitmap : printer.pages) {
    const PageImage page(bitmap);
    SCOPED_TRACE("page " + std::to_string(grids.size() + 1));
    EXPECT_GT(page.DarkPixels(0, 0, 400, 30), 50);  // the file name
    EXPECT_GT(page.DarkPixels(0, page.Height() - 30, 400, page.Height()), 50);  // the product line
    const PageGrid grid = ReadGrid(page);
    ASSERT_GE(grid.lines.size(), 3u) << "the column header and at least one row";
    EXPECT_LE(std::abs(grid.lines.front() - grid.top), tolerance) << "the rule starts at the column header";
    EXPECT_LE(std::abs(grid.lines.back() - grid.bottom), tolerance) << "the rule ends at the last row";
    rowHeight = grid.lines[1] - grid.lines[0];
    rowsPrinted += static_cast<int>(grid.lines.size()) - 2;
    grids.push_back(grid);
  }
  EXPECT_EQ(rowsPrinted, 120);
  const int bottomBand = TBitmapPrinter::kHeight - rowHeight;
  for (size_t p = 0; p + 1 < grids.size(); ++p) {
    const int nextRowHeight = grids[p + 1].lines[2] - grids[p + 1].lines[1];
    EXPECT_GE(grids[p].lines.back() + nextRowHeight + tolerance, bottomBand) << "page " << p + 1 << " ends early";
  }
  // No progress window is left behind.
  EXPECT_EQ(FindWindowW(nullptr, L"Printing"), nullptr);
}

TEST_F(Print, ASampleDefinitionsFilePrintsOnOnePage) {
  const hk::LoadedDefinitions defs = hk::LoadDefinitions(testsupport::DataDir("hkd") + "v150_sample.hkd");
  ASSERT_TRUE(defs.complete);
  ASSERT_FALSE(defs.entries.empty());
  cl::TForm main(nullptr);
  // The whole file (one of its descriptions is wider than the page), and the file without that row.
  for (bool whole : {true, false}) {
    SCOPED_TRACE(whole);
    hk::PrintJob job = Job(0);
    for (const hk::HotkeyEntry& e : defs.entries)
      if (whole || e.description.size() < 80)
        job.Table.Rows.push_back({e.description, e.id, e.action, e.data, e.hotkey, e.active});
    job.ScreenFont = main.Font();
    TBitmapPrinter printer;
    EXPECT_EQ(hk::PrintHotkeyTable(printer, job), 1);
    ASSERT_EQ(printer.pages.size(), 1u);
    EXPECT_EQ(printer.ended, 1);
    // A picture of the page, when asked for (the README's).
    const char* out = std::getenv("HK_PRINT_PAGE_OUT");
    if (out && !whole) {
      cl::TBitmap picture;
      picture.SetHandle(static_cast<HBITMAP>(CopyImage(printer.pages[0], IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
      picture.SaveToFile(out);
    }
  }
}

TEST_F(Print, CancelInTheProgressWindowAbortsTheDocument) {
  TBitmapPrinter printer;
  HWND progress = nullptr;
  printer.onNextPage = [&] {
    // The progress window is up while the pages are drawn: its Cancel button is clicked.
    progress = FindWindowW(nullptr, L"Printing");
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(IsWindowVisible(progress));
    HWND cancel = FindWindowExW(progress, nullptr, L"Button", L"Cancel");
    ASSERT_NE(cancel, nullptr);
    PostMessageW(cancel, BM_CLICK, 0, 0);
  };
  cl::TForm other(nullptr);
  other.Show();
  EXPECT_THROW(hk::PrintHotkeyTable(printer, Job(200)), cl::EAbort);
  EXPECT_EQ(printer.aborted, 1);
  EXPECT_EQ(printer.ended, 0);
  EXPECT_FALSE(printer.Printing());
  EXPECT_LT(printer.pages.size(), 4u);
  EXPECT_FALSE(IsWindow(progress));
  // The windows that were blocked take input again.
  EXPECT_TRUE(IsWindowEnabled(other.Handle()));
  // The silent exception reaches no message.
  cl::Application->HandleException(cl::EAbort("Operation aborted"));
  EXPECT_TRUE(errors_.empty());
}

// Repeated print jobs: the other windows take no input while pages are drawn, and nothing of the screen
// context, the progress window or the printer's fonts is left behind.
TEST_F(Print, AJobBlocksTheOtherWindowsMeanwhileAndLeavesNoGdiObjectBehind) {
  cl::TForm other(nullptr);
  other.Show();
  auto printOnce = [&] {
    TBitmapPrinter printer;
    int pagesBlocked = 0;
    printer.onNextPage = [&] {
      if (!IsWindowEnabled(other.Handle())) ++pagesBlocked;
    };
    hk::PrintJob job = Job(60);
    job.ScreenFont = other.Font();
    const int pages = hk::PrintHotkeyTable(printer, job);
    EXPECT_GE(pages, 2);
    EXPECT_EQ(pagesBlocked, pages - 1);
    EXPECT_TRUE(IsWindowEnabled(other.Handle()));
  };
  printOnce();  // what is made once per process (window classes, cached contexts) is mostly made here
  const long before = hktest::GdiObjectsInProcess();
  constexpr int kJobs = 10;
  for (int i = 0; i < kJobs; ++i) printOnce();
  // A leak grows with every job. What a window makes once, at its first paint, may come after the
  // warm-up on a busy machine (the progress window need not have painted there): a few, once.
  EXPECT_LT(hktest::GdiObjectsInProcess() - before, kJobs);
}

TEST_F(Print, TheProgressWindowCountsPages) {
  std::unique_ptr<hk::TfrmPrintProgress> form(cl::NewForm<hk::TfrmPrintProgress>(nullptr));
  EXPECT_EQ(form->Caption(), "Printing");
  auto* page = cl::ComponentAs<cl::TLabel>(form.get(), "lblPage");
  auto* bar = cl::ComponentAs<cl::TProgressBar>(form.get(), "pgbProgress");
  EXPECT_FALSE(page->Visible());
  form->SetFileName("C:\\Calderine\\Hotkeys.hkd");
  form->SetPageCount(3);
  EXPECT_TRUE(page->Visible());
  EXPECT_EQ(page->Caption(), "Page 1 of 3");
  form->SetPage(2);
  form->SetProgress(40);
  EXPECT_EQ(page->Caption(), "Page 2 of 3");
  EXPECT_EQ(bar->Position(), 40);
  form->SetFileName("D:\\Other.hkd");
  EXPECT_EQ(bar->Position(), 0);
}

TEST_F(Print, TheSettingsDialogNeedsAColumnAndGivesTheChoice) {
  std::unique_ptr<hk::TfrmPrintSettings> form(cl::NewForm<hk::TfrmPrintSettings>(nullptr));
  EXPECT_EQ(form->Caption(), "Print Hotkey Definition File");
  auto* ok = cl::ComponentAs<cl::TButton>(form.get(), "cmdOk");
  const char* names[] = {"chkDescription", "chkID", "chkAction", "chkData", "chkHotkey", "chkActive"};
  hk::PrintOptions options = form->Options();
  for (bool c : options.Columns) EXPECT_TRUE(c);
  EXPECT_TRUE(options.PrintInactive);
  EXPECT_TRUE(ok->Enabled());
  for (const char* name : names) cl::ComponentAs<cl::TCheckBox>(form.get(), name)->SetChecked(false);
  EXPECT_FALSE(ok->Enabled());
  cl::ComponentAs<cl::TCheckBox>(form.get(), "chkData")->SetChecked(true);
  EXPECT_TRUE(ok->Enabled());
  cl::ComponentAs<cl::TCheckBox>(form.get(), "chkPrintInactive")->SetChecked(false);
  options = form->Options();
  EXPECT_EQ(options.Columns, (std::array<bool, 6>{false, false, false, true, false, false}));
  EXPECT_FALSE(options.PrintInactive);

  // Esc closes it as Cancel.
  timers_.After(200, [&] {
    HWND focus = GetFocus();
    PostMessageW(focus ? focus : form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  timers_.Timeout();
  EXPECT_EQ(form->ShowModal(), cl::mrCancel);
}

TEST_F(Print, PrinterFontsAreScaledToThePrintersResolution) {
  TBitmapPrinter printer;
  cl::TFont* font = printer.Canvas()->Font();
  font->SetHeight(-13);
  printer.BeginDoc();
  const int scaled = MulDiv(-13, TBitmapPrinter::kDpi, cl::TFont::PixelsPerInch());
  EXPECT_EQ(font->Height(), scaled);
  font->SetStyle({cl::fsBold});  // another property leaves the height alone
  EXPECT_EQ(font->Height(), scaled);
  font->SetHeight(-16);
  EXPECT_EQ(font->Height(), MulDiv(-16, TBitmapPrinter::kDpi, cl::TFont::PixelsPerInch()));
  EXPECT_EQ(printer.PageNumber(), 1);
  printer.NewPage();
  EXPECT_EQ(printer.PageNumber(), 2);
  EXPECT_THROW(printer.BeginDoc(), cl::EPrinter);
  printer.EndDoc();
  EXPECT_EQ(font->Height(), -16);
  EXPECT_EQ(printer.pages.size(), 2u);
  EXPECT_THROW(printer.EndDoc(), cl::EPrinter);
  printer.Abort();  // nothing open: nothing happens
  EXPECT_EQ(printer.aborted, 0);
}

TEST_F(Print, WithoutAPrinterTheUserGetsAClearMessageAndNothingHangs) {
  if (SystemHasPrinter()) GTEST_SKIP() << "a printer is installed";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(testsupport::MessageOf<cl::EPrinter>([] { cl::Printer().BeginDoc(); }),
            "There is no default printer currently selected");
  EXPECT_FALSE(cl::Printer().Printing());
  EXPECT_EQ(testsupport::MessageOf<cl::EPrinter>([] { cl::TPrinterSetupDialog(nullptr).Execute(); }),
            "There is no default printer currently selected");
  EXPECT_EQ(testsupport::MessageOf<cl::EPrinter>([] { hk::PrintHotkeyTable(cl::Printer(), Job(3)); }),
            "There is no default printer currently selected");
  EXPECT_EQ(FindWindowW(nullptr, L"Printing"), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

BOOL CALLBACK FindPrintButton(HWND w, LPARAM found) {
  if (hkprog::WindowText(w) != L"&Print...") return TRUE;
  *reinterpret_cast<HWND*>(found) = w;
  return FALSE;
}

// The real program: its "&Print..." button, the settings dialog's OK, and the printer's message.
TEST(PrintProgram, WithoutAPrinterThePrintButtonEndsWithTheMessage) {
  if (SystemHasPrinter()) GTEST_SKIP() << "a printer is installed";
  testsupport::TempDir dir;
  const std::string exe = hktest::CopyFileTo(HK_HOTKEYS_EXE, dir.File(""));
  ASSERT_FALSE(exe.empty());
  hk::Definitions defs;
  defs.entries = {hkprog::Entry("Notepad", "Open Program or File", "notepad.exe", "", true)};
  hk::SaveDefinitions(dir.File("Hotkeys.hkd"), defs);
  hktest::ChildProcess p;
  const HWND main = hkprog::StartProgram(p, exe, dir.File(""));
  ASSERT_TRUE(main);
  PostMessageW(main, hkprog::kShowEditor, hkprog::kShowEditor, 0);
  ASSERT_TRUE(hkprog::Eventually([&] { return IsWindowVisible(main) != FALSE; }));
  HWND print = nullptr;
  EnumChildWindows(main, &FindPrintButton, reinterpret_cast<LPARAM>(&print));
  ASSERT_TRUE(print);
  PostMessageW(GetParent(print), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(print), BN_CLICKED),
               reinterpret_cast<LPARAM>(print));

  HWND settings = nullptr;
  ASSERT_TRUE(hkprog::Eventually([&] {
    settings = hktest::FindProcessWindow("TfrmPrintSettings", p.Pid());
    return settings && IsWindowVisible(settings);
  }));
  HWND ok = FindWindowExW(settings, nullptr, L"Button", L"OK");
  ASSERT_TRUE(ok);
  PostMessageW(settings, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED), reinterpret_cast<LPARAM>(ok));

  HWND box = nullptr;
  ASSERT_TRUE(hkprog::Eventually([&] {
    box = hktest::FindProcessWindow("#32770", p.Pid());
    return box && IsWindowVisible(box);
  }));
  EXPECT_EQ(hkprog::WindowText(GetDlgItem(box, 0xFFFF)), L"There is no default printer currently selected");
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(hkprog::Eventually([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
  EXPECT_EQ(hktest::FindProcessWindow("TfrmPrintProgress", p.Pid()), nullptr);
  EXPECT_TRUE(IsWindowEnabled(main));

  PostMessageW(main, hkprog::kExit, hkprog::kExit, 0);
  EXPECT_TRUE(p.WaitExit(hkprog::kWait).has_value());
}

}  // namespace
