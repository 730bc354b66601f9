// The dock on a real form under Wine: rows, the dock's size on each side, its errors, its bound lines and
// background as painted, and its bars' lists as bars come, hide, move, float and go.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DockTestForm.h"
#include "PaintSurface.h"

namespace {

using docktest::DockFormTest;
using docktest::TToolDock;
using docktest::TToolWin;
using toolkit::dock::blBottom;
using toolkit::dock::blLeft;
using toolkit::dock::blRight;
using toolkit::dock::blTop;
using toolkit::dock::TDockBoundLines;

// The docked frame: 2 pixels round, and the double drag handle (9 pixels) along the dock.
constexpr int kFrame = 4;
constexpr int kHandle = 9;

bool Vertical(const TToolDock* dock) { return dock->Position() == toolkit::dock::dpLeft || dock->Position() == toolkit::dock::dpRight; }
int Thickness(const TToolDock* dock) { return Vertical(dock) ? dock->Width() : dock->Height(); }

// The dock's window as WM_PRINT paints it, frame, client area and bars.
std::unique_ptr<hktest::PaintSurface> Printed(cl::TWinControl& control) {
  auto surface = std::make_unique<hktest::PaintSurface>(control.Width(), control.Height());
  SendMessageW(control.Handle(), WM_PRINT, reinterpret_cast<WPARAM>(surface->DC()),
               PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  return surface;
}

TEST_F(DockFormTest, AnEmptyDockIsNoThickerThanZeroOrOneWithFixAlign) {
  for (TToolDock* dock : {top_, bottom_, left_, right_, panelDock_}) {
    SCOPED_TRACE(dock->Name());
    EXPECT_EQ(Thickness(dock), 0);
    dock->SetFixAlign(true);
    EXPECT_EQ(Thickness(dock), 1);
    EXPECT_EQ(dock->BarCount(), 0);
    EXPECT_FALSE(dock->HasShownBars());
    EXPECT_EQ(dock->LastRowIndex(), -1);
  }
  EXPECT_EQ(bottom_->Top() + bottom_->Height(), form_->ClientHeight());
  EXPECT_EQ(right_->Left() + right_->Width(), form_->ClientWidth());
}

TEST_F(DockFormTest, ARowIsAtLeastEightPixelsThickPlusTheBarsFrame) {
  TToolWin* bar = MakeBar("twThin", top_, 40, 5, 0, -1, false);
  EXPECT_TRUE(bar->IsDocked());
  EXPECT_EQ(bar->DockedTo(), top_);
  EXPECT_EQ(bar->Height(), 8 + kFrame);
  EXPECT_EQ(bar->Width(), 40 + kFrame + kHandle);
  EXPECT_EQ(top_->Height(), 8 + kFrame);
  // Bound lines add their pixels across the dock.
  top_->SetBoundLines(TDockBoundLines{blTop, blBottom});
  EXPECT_EQ(top_->EdgeHeight(), 2);
  top_->ArrangeBars(false);
  EXPECT_EQ(top_->Height(), 8 + kFrame + 2);
  EXPECT_EQ(top_->ClientHeight(), 8 + kFrame);

  // A thicker bar makes the row thicker, and the thin one grows to it.
  TToolWin* thick = MakeBar("twThick", top_, 40, 20, 0, -1, false);
  EXPECT_EQ(thick->Height(), 20 + kFrame);
  EXPECT_EQ(bar->Height(), 20 + kFrame);
  EXPECT_EQ(top_->Height(), 20 + kFrame + 2);
}

TEST_F(DockFormTest, BarsWithoutAPositionLineUpFromZeroWithoutGaps) {
  std::vector<TToolWin*> bars;
  // Held back, the dock arranges once, when the last of them has come.
  top_->BeginArrange();
  for (int i = 0; i < 3; ++i) bars.push_back(MakeBar("tw" + std::to_string(i), top_, 40, 20));
  EXPECT_EQ(top_->Height(), 0);
  top_->EndArrange();
  const int width = 40 + kFrame + kHandle;
  // Equal places come out of the row sort reversed (it is not stable); then they line up from 0.
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(bars[i]->Left(), (2 - i) * width);
    EXPECT_EQ(bars[i]->Top(), 0);
    EXPECT_EQ(bars[i]->DockPos(), (2 - i) * width);
    EXPECT_EQ(top_->Bars(2 - i), bars[i]);
    EXPECT_EQ(top_->ShownBars(2 - i), bars[i]);
  }
  EXPECT_EQ(top_->Height(), 20 + kFrame);
  // A position and a row of its own, set on the docked bar, are taken at once.
  bars[1]->SetDockRow(1);
  EXPECT_EQ(bars[1]->Top(), 20 + kFrame);
  EXPECT_EQ(bars[0]->Left(), 2 * width);  // it stays where it was put; the row has room
  EXPECT_EQ(top_->Height(), 2 * (20 + kFrame));
  bars[1]->SetDockPos(100);
  EXPECT_EQ(bars[1]->Left(), 100);
}

TEST_F(DockFormTest, AFullSizeBarGetsARowOfItsOwnAndSpansTheDock) {
  TToolWin* a = MakeBar("twA", top_, 40, 20, 0, 10);
  TToolWin* b = MakeBar("twB", top_, 40, 20, 0, 200);
  TToolWin* full = MakeBar("twFull", nullptr, 40, 20, 0, 100);
  full->SetFullSize(true);
  full->DockAt(top_, 0, 100);
  Pump();
  // The others of its row move one row down.
  EXPECT_EQ(full->DockRow(), 0);
  EXPECT_EQ(full->DockPos(), 0);
  EXPECT_EQ(a->DockRow(), 1);
  EXPECT_EQ(b->DockRow(), 1);
  EXPECT_EQ(full->Left(), 0);
  EXPECT_EQ(full->Width(), top_->ClientWidth());
  EXPECT_EQ(a->Top(), 20 + kFrame);
  EXPECT_EQ(a->Left(), 10);
  EXPECT_EQ(b->Left(), 200);
  EXPECT_EQ(top_->Height(), 2 * (20 + kFrame));
  // It keeps spanning the dock as the form grows.
  form_->SetWidth(form_->Width() + 60);
  Pump();
  EXPECT_EQ(full->Width(), top_->ClientWidth());
}

TEST_F(DockFormTest, LimitToOneRowPutsEveryBarIntoTheFirstRow) {
  TToolWin* a = MakeBar("twA", top_, 40, 20, 0);
  TToolWin* b = MakeBar("twB", top_, 40, 20, 1);
  TToolWin* c = MakeBar("twC", top_, 40, 20, 2);
  EXPECT_EQ(top_->Height(), 3 * (20 + kFrame));
  top_->SetLimitToOneRow(true);
  top_->ArrangeBars(false);
  std::vector<TToolWin*> row{a, b, c};
  for (TToolWin* bar : row) EXPECT_EQ(bar->DockRow(), 0);
  // Side by side from 0, without gaps or overlaps.
  std::sort(row.begin(), row.end(), [](TToolWin* x, TToolWin* y) { return x->Left() < y->Left(); });
  EXPECT_EQ(row[0]->Left(), 0);
  EXPECT_EQ(row[1]->Left(), row[0]->Left() + row[0]->Width());
  EXPECT_EQ(row[2]->Left(), row[1]->Left() + row[1]->Width());
  EXPECT_EQ(top_->Height(), 20 + kFrame);
}

TEST_F(DockFormTest, EachDockFollowsItsRowsAndKeepsItsSide) {
  for (TToolDock* dock : {top_, bottom_, left_, right_, panelDock_}) {
    SCOPED_TRACE(dock->Name());
    const std::string name = dock->Name();
    TToolWin* first = MakeBar(name + "1", dock, 30, 16, 0);
    TToolWin* second = MakeBar(name + "2", dock, 30, 16, 1);
    // Across a vertical dock the client width counts, along it the handle sits at the top.
    EXPECT_EQ(Thickness(dock), 2 * ((Vertical(dock) ? 30 : 16) + kFrame));
    EXPECT_EQ(Vertical(dock) ? second->Left() : second->Top(), Thickness(dock) / 2);
    EXPECT_EQ(dock->RowAtOffset(Thickness(dock) / 2 + 1), 1);
    second->FloatAt(POINT{500, 500});
    Pump();
    EXPECT_FALSE(second->IsDocked());
    EXPECT_EQ(Thickness(dock), (Vertical(dock) ? 30 : 16) + kFrame);
    EXPECT_EQ(dock->ShownBarCount(), 1);
    EXPECT_EQ(dock->BarCount(), 2);  // kept as the floating bar's last dock
    EXPECT_EQ(second->LastDock(), dock);
    (void)first;
  }
  EXPECT_EQ(bottom_->Top() + bottom_->Height(), form_->ClientHeight());
  EXPECT_EQ(right_->Left() + right_->Width(), form_->ClientWidth());
  EXPECT_EQ(left_->Top(), top_->Height());
  EXPECT_EQ(panelDock_->Width(), panel_->ClientWidth());
}

TEST_F(DockFormTest, ThePositionOfADockHoldingABarCannotChange) {
  MakeBar("twA", top_, 40, 20);
  try {
    top_->SetPosition(toolkit::dock::dpLeft);
    FAIL() << "no error";
  } catch (const cl::EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Cannot change Position of a TToolDock if it already contains controls");
  }
  EXPECT_EQ(top_->Position(), toolkit::dock::dpTop);
  EXPECT_EQ(top_->Align(), cl::alTop);
  panelDock_->SetPosition(toolkit::dock::dpRight);
  EXPECT_EQ(panelDock_->Align(), cl::alRight);
}

TEST_F(DockFormTest, ADockCannotBePlacedInAToolWindowOrAnotherDock) {
  TToolWin* bar = MakeBar("twA", top_, 40, 20);
  for (cl::TWinControl* place : std::initializer_list<cl::TWinControl*>{bar, top_}) {
    try {
      panelDock_->SetParent(place);
      FAIL() << "no error";
    } catch (const cl::EInvalidOperation& e) {
      EXPECT_STREQ(e.what(), "A TToolDock control cannot be placed inside a tool window or another TToolDock");
    }
    EXPECT_EQ(panelDock_->Parent(), panel_);
  }
}

TEST_F(DockFormTest, BoundLinesArePaintedInShadowAndHighlightOnlyWhileBarsAreShown) {
  top_->SetBoundLines(TDockBoundLines{blTop, blBottom, blLeft, blRight});
  top_->SetFixAlign(true);
  {
    const auto empty = Printed(*top_);
    EXPECT_EQ(top_->Height(), 1);
    EXPECT_EQ(empty->Pixel(5, 0), GetSysColor(COLOR_BTNFACE));
  }
  TToolWin* bar = MakeBar("twA", top_, 40, 20, 0, 100, false);
  ASSERT_EQ(top_->Height(), 20 + kFrame + 2);
  EXPECT_EQ(bar->Top(), 0);  // in client coordinates, below the top line
  const auto printed = Printed(*top_);
  const int w = top_->Width();
  const int h = top_->Height();
  EXPECT_EQ(printed->Pixel(5, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(printed->Pixel(0, 5), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(printed->Pixel(5, h - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(printed->Pixel(w - 1, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(printed->Pixel(5, 5), GetSysColor(COLOR_BTNFACE));  // the client area, left of the bar
}

// A 16 by 16 picture whose every pixel tells where in the tile it is.
COLORREF TileColor(int x, int y) { return RGB(x * 15, y * 15, 77); }

std::unique_ptr<cl::TBitmap> TilePicture() {
  auto picture = std::make_unique<cl::TBitmap>();
  picture->SetPixelFormat(cl::pf24bit);
  picture->SetSize(16, 16);
  for (int y = 0; y < 16; ++y) {
    auto* row = static_cast<uint8_t*>(picture->ScanLine(y));
    for (int x = 0; x < 16; ++x) {
      const COLORREF c = TileColor(x, y);
      row[3 * x] = GetBValue(c);
      row[3 * x + 1] = GetGValue(c);
      row[3 * x + 2] = GetRValue(c);
    }
  }
  return picture;
}

TEST_F(DockFormTest, TheBackgroundTilesRunOnAcrossTheDockAndItsBars) {
  // Lines at top and left move the client area against the tiles, which follow the panel's origin.
  panelDock_->SetBoundLines(TDockBoundLines{blTop, blLeft});
  const auto picture = TilePicture();
  panelDock_->SetBackground(picture.get());
  ASSERT_TRUE(panelDock_->HasBackground());
  TToolWin* bar = MakeBar("twA", panelDock_, 40, 20, 0, 30, false);
  Pump();
  const auto printed = Printed(*panelDock_);
  // In the printed picture the window's top-left is the panel's client origin.
  const auto expectTile = [&](int x, int y) {
    SCOPED_TRACE(testing::Message() << "at " << x << "," << y);
    EXPECT_EQ(printed->Pixel(x, y), TileColor(x % 16, y % 16));
  };
  // The dock's own client area, before and after the bar.
  expectTile(5, 7);
  expectTile(20, 20);
  const int barLeft = 1 + bar->Left();  // the bar in window coordinates of the dock
  const int barTop = 1 + bar->Top();
  expectTile(barLeft + bar->Width() + 7, 9);
  // The bar's client area and the ring inside its edge.
  expectTile(barLeft + 2 + kHandle + 10, barTop + 2 + 5);
  expectTile(barLeft + bar->Width() - 2, barTop + 10);
  // Off the bar's background, no tiles are drawn on it.
  bar->Perform(WM_NCPAINT, 1, 0);
  panelDock_->SetBackgroundOnToolbars(false);
  Pump();
  const auto plain = Printed(*panelDock_);
  EXPECT_EQ(plain->Pixel(barLeft + 2 + kHandle + 10, barTop + 2 + 5), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(plain->Pixel(5, 7), TileColor(5, 7));
}

TEST_F(DockFormTest, ATransparentBackgroundShowsTheDocksColourAndFollowsIt) {
  auto picture = TilePicture();
  // The bottom-left colour is the transparent one; it stands also at (3, 2).
  auto* row = static_cast<uint8_t*>(picture->ScanLine(2));
  const COLORREF key = TileColor(0, 15);
  row[9] = GetBValue(key);
  row[10] = GetGValue(key);
  row[11] = GetRValue(key);
  top_->SetBackground(picture.get());
  top_->SetColor(static_cast<cl::TColor>(RGB(10, 200, 30)));
  top_->SetBackgroundTransparent(true);
  MakeBar("twA", top_, 40, 20, 0, 200, false);
  Pump();
  {
    const auto printed = Printed(*top_);
    EXPECT_EQ(printed->Pixel(3, 2), RGB(10, 200, 30));
    EXPECT_EQ(printed->Pixel(0, 15), RGB(10, 200, 30));
    EXPECT_EQ(printed->Pixel(4, 2), TileColor(4, 2));
    ASSERT_NE(top_->TransparentCopy(), nullptr);
  }
  top_->SetColor(static_cast<cl::TColor>(RGB(200, 20, 90)));
  EXPECT_EQ(top_->TransparentCopy(), nullptr);  // dropped, made again on need
  const auto printed = Printed(*top_);
  EXPECT_EQ(printed->Pixel(3, 2), RGB(200, 20, 90));
  EXPECT_EQ(printed->Pixel(4, 2), TileColor(4, 2));
}

bool RedrawQueued(HWND wnd) {
  MSG msg;
  return PeekMessageW(&msg, wnd, toolkit::kRedrawDockedFrame, toolkit::kRedrawDockedFrame, PM_NOREMOVE) != 0;
}

TEST_F(DockFormTest, ABarMovedOnADockWithABackgroundHasItsFrameRedrawn) {
  TToolWin* bar = MakeBar("twA", panelDock_, 40, 20, 0, 0, false);
  Pump();
  // Without a background a move needs no new frame.
  bar->SetDockPos(40);
  EXPECT_EQ(bar->Left(), 40);
  EXPECT_FALSE(RedrawQueued(bar->Handle()));
  const auto picture = TilePicture();
  panelDock_->SetBackground(picture.get());
  Pump();
  ASSERT_FALSE(RedrawQueued(bar->Handle()));
  // With one, the tiles move against the bar.
  bar->SetDockPos(60);
  EXPECT_EQ(bar->Left(), 60);
  EXPECT_TRUE(RedrawQueued(bar->Handle()));
}

std::vector<PALETTEENTRY> Entries(HPALETTE palette) {
  std::vector<PALETTEENTRY> entries(GetPaletteEntries(palette, 0, 0, nullptr));
  GetPaletteEntries(palette, 0, static_cast<UINT>(entries.size()), entries.data());
  return entries;
}

TEST_F(DockFormTest, ABackgroundsPaletteIsTheDocksAndItsBarsAndAPaletteChangeOthersWonRedrawsTheBars) {
  cl::TBitmap picture;
  picture.SetPixelFormat(cl::pf8bit);
  picture.SetSize(16, 16);
  top_->SetBackground(&picture);
  TToolWin* bar = MakeBar("twA", top_, 40, 20, 0, 0, false);
  TToolWin* floating = MakeBar("twF", form_, 40, 20);
  Pump();
  const HPALETTE palette = top_->GetPalette();
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette, top_->Background()->Palette());
  EXPECT_EQ(Entries(palette).size(), 256u);
  EXPECT_EQ(bar->GetPalette(), palette);
  EXPECT_EQ(floating->GetPalette(), nullptr);
  EXPECT_EQ(left_->GetPalette(), nullptr);
  // The transparent copy is drawn with a palette of its own, of the same colours.
  top_->SetBackgroundTransparent(true);
  Printed(*top_);
  ASSERT_NE(top_->TransparentCopy(), nullptr);
  const HPALETTE copied = top_->TransparentCopy()->Palette();
  ASSERT_NE(copied, nullptr);
  EXPECT_NE(copied, palette);
  const std::vector<PALETTEENTRY> a = Entries(palette), b = Entries(copied);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(PALETTEENTRY)), 0);

  // The form's palette messages reach the dock and its bar: realised in the foreground they need no
  // new frame; a change that another window won does.
  Pump();
  EXPECT_EQ(SendMessageW(form_->Handle(), WM_QUERYNEWPALETTE, 0, 0), 1);
  EXPECT_FALSE(RedrawQueued(bar->Handle()));
  SendMessageW(form_->Handle(), WM_PALETTECHANGED, reinterpret_cast<WPARAM>(floating->Handle()), 0);
  EXPECT_TRUE(RedrawQueued(bar->Handle()));
}

TEST_F(DockFormTest, ADockedBarsFrameTakesItsNewColourAtOnce) {
  TToolWin* bar = MakeBar("twA", top_, 40, 20, 0, 0, false);
  Pump();
  // The ring inside the edge, on the side away from the handle, as the window shows it.
  const auto ring = [&] {
    const cl::TWindowDC dc(bar->Handle(), cl::TWindowDC::dcWholeWindow);
    return GetPixel(dc.Get(), bar->Width() - 2, bar->Height() / 2);
  };
  ASSERT_EQ(ring(), GetSysColor(COLOR_BTNFACE));
  bar->SetColor(static_cast<cl::TColor>(RGB(10, 200, 30)));
  Pump();
  EXPECT_EQ(ring(), RGB(10, 200, 30));
}

TEST_F(DockFormTest, ADockMovedWithABackgroundHasItsBarsRedrawnAndTellsOfItsNewSize) {
  TToolWin* bar = MakeBar("twL", left_, 30, 40, 0, 0, false);
  const auto picture = TilePicture();
  left_->SetBackground(picture.get());
  Pump();
  ASSERT_FALSE(RedrawQueued(bar->Handle()));
  int resized = 0;
  top_->OnResize = [&](cl::TObject*) { ++resized; };
  // A bar in the top dock makes it thicker, and the left dock moves down.
  TToolWin* top = MakeBar("twT", nullptr, 40, 20);
  top->SetParent(top_);
  EXPECT_GT(resized, 0);
  EXPECT_EQ(left_->Top(), top_->Height());
  EXPECT_TRUE(RedrawQueued(bar->Handle()));
}

}  // namespace
