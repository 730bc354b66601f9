// The track bar, up-down and progress painters on real controls: a skin made here whose frames are flat
// colours of their own, so a pixel of the control tells which frame was drawn there.
#include "SkinRanges.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ByteBuilder.h"
#include "ComCtrls.h"
#include "DeviceContext.h"
#include "FormsTestSupport.h"
#include "NCFrameFixture.h"
#include "PaintSurface.h"
#include "PainterFormTest.h"
#include "SkinPack.h"
#include "StdClasses.h"
#include "StdCtrls.h"
#include "WinSkinData.h"

namespace {

using ncframe::Strip;

constexpr COLORREF kFace = RGB(10, 20, 30);
constexpr COLORREF kShadow = RGB(90, 100, 110);
constexpr COLORREF kDkShadow = RGB(1, 2, 3);
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// The progress bar: the empty and the filled frame; in chunk mode the background, its borders and a chunk.
constexpr COLORREF kBar[2] = {RGB(200, 40, 40), RGB(40, 200, 40)};
constexpr COLORREF kBack = RGB(30, 60, 90), kBorder = RGB(120, 0, 120), kChunk = RGB(250, 250, 0);
constexpr int kBorderWidth = 3, kChunkWidth = 6, kChunkInk = 4, kChunkHeight = 8;
// The up-down's eight frames and their glyphs.
constexpr COLORREF kUpDown[8] = {RGB(11, 0, 0),  RGB(22, 0, 0),  RGB(33, 0, 0),  RGB(44, 0, 0),
                                 RGB(0, 55, 0),  RGB(0, 66, 0),  RGB(0, 77, 0),  RGB(0, 88, 0)};
constexpr COLORREF kGlyph[8] = {RGB(0, 0, 11), RGB(0, 0, 22), RGB(0, 0, 33), RGB(0, 0, 44),
                                RGB(0, 0, 55), RGB(0, 0, 66), RGB(0, 0, 77), RGB(0, 0, 88)};
// The track bar thumbs' five frames.
constexpr COLORREF kThumb[5] = {RGB(1, 100, 1), RGB(2, 100, 2), RGB(3, 100, 3), RGB(4, 100, 4), RGB(5, 100, 5)};
constexpr COLORREF kThumbVert[5] = {RGB(1, 1, 100), RGB(2, 2, 100), RGB(3, 3, 100), RGB(4, 4, 100),
                                    RGB(5, 5, 100)};

constexpr const char* kColours =
    "[Colours]\r\nButtonFace=10 20 30\r\nButtonShadow=90 100 110\r\nButtonDkShadow=1 2 3\r\n";

// Every element: a stretched progress bar, the vertical up-down with glyphs, both thumbs.
std::string SkinnedPackage() {
  const std::string ini = std::string(kColours) +
                          "[Progress]\r\nBitmap=progress.bmp\r\n"
                          "[UpDown.Vert]\r\nImage=updown.bmp\r\nGlyphImage=glyphs.bmp\r\n"
                          "[Trackbar.ThumbHorz]\r\nImage=thumb.bmp\r\n"
                          "[Trackbar.ThumbVert]\r\nImage=thumbvert.bmp\r\n";
  return skin::BuildSkinPackage({{"test.ini", ini},
                                 {"progress.bmp", Strip(2, 10, 10, false, kBar)},
                                 {"updown.bmp", Strip(8, 10, 10, false, kUpDown)},
                                 {"glyphs.bmp", Strip(8, 4, 4, false, kGlyph)},
                                 {"thumb.bmp", Strip(5, 10, 20, false, kThumb)},
                                 {"thumbvert.bmp", Strip(5, 20, 10, false, kThumbVert)}});
}

// A chunk-mode progress bar: a background with 3-pixel borders, chunks of 4 pixels and a gap of 2.
std::string ChunkPackage() {
  const std::string ini = std::string(kColours) +
                          "[Progress]\r\nBitmap=back.bmp\r\nChunk=chunk.bmp\r\nStyle=1\r\n"
                          "LeftWidth=3\r\nRightWidth=3\r\n";
  const std::string back = testsupport::Bmp24(12, 4, [](int x, int) -> uint32_t {
    return x < kBorderWidth || x >= 12 - kBorderWidth ? kBorder : kBack;
  });
  const std::string chunk =
      testsupport::Bmp24(kChunkWidth, kChunkHeight, [](int x, int) -> uint32_t { return x < kChunkInk ? kChunk : kKey; });
  return skin::BuildSkinPackage({{"test.ini", ini}, {"back.bmp", back}, {"chunk.bmp", chunk}});
}

// Colours only: no element of these painters.
std::string PlainPackage() { return skin::BuildSkinPackage({{"test.ini", kColours}}); }

// The client area's pixels as the window shows them.
class TPixels {
 public:
  explicit TPixels(HWND wnd) {
    RECT c{};
    GetClientRect(wnd, &c);
    width_ = c.right;
    height_ = c.bottom;
    hktest::PaintSurface surface(width_, height_);
    const cl::TWindowDC dc(wnd);
    BitBlt(surface.DC(), 0, 0, width_, height_, dc.Get(), 0, 0, SRCCOPY);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) pixels_.push_back(surface.Pixel(x, y));
  }
  int Width() const { return width_; }
  int Height() const { return height_; }
  COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
  bool operator==(const TPixels& other) const = default;
  // How many pixels of row y have the colour.
  int CountInRow(int y, COLORREF colour) const {
    int n = 0;
    for (int x = 0; x < width_; ++x) n += At(x, y) == colour;
    return n;
  }
  int CountInColumn(int x, COLORREF colour) const {
    int n = 0;
    for (int y = 0; y < height_; ++y) n += At(x, y) == colour;
    return n;
  }

 private:
  int width_ = 0, height_ = 0;
  std::vector<COLORREF> pixels_;
};

// The whole client area painted anew; erase: the background first.
TPixels Repainted(HWND wnd, bool erase = true) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0) | RDW_UPDATENOW);
  EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE)) << "the paint was ended";
  return TPixels(wnd);
}

// The client area filled with a colour no painter uses, so what a paint leaves out shows.
void Smear(HWND wnd) {
  const cl::TWindowDC dc(wnd);
  RECT c{};
  GetClientRect(wnd, &c);
  const cl::TBrushHandle brush(CreateSolidBrush(RGB(0, 255, 0)));
  FillRect(dc.Get(), &c, brush.Get());
}

RECT ThumbRect(HWND bar) {
  RECT r{};
  SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

class SkinRanges : public skintest::PainterFormTest {
 protected:
  void SetUp() override {
    PainterFormTest::SetUp();
    MakeForm(60, 60, 420, 300);
  }
  void LoadSkin(const std::string& package) { LoadPackage(package); }
  template <class TControl>
  TControl* Add(int left, int top, int width, int height) {
    return NewControl<TControl>(left, top, width, height);
  }
  template <class TPainter>
  TPainter* Paint(cl::TWinControl* control) {
    auto* painter = new TPainter(control);
    painter->Attach(nullptr, data_, false);
    return painter;
  }
  cl::TProgressBar* SkinnedProgress(int width, int height) {
    auto* bar = Add<cl::TProgressBar>(10, 10, width, height);
    Paint<skin::TSkinProgress>(bar);
    form_->Show();
    return bar;
  }
};

// ---------------------------------------------------------------------------------------------------------
// Progress bars.

TEST_F(SkinRanges, ProgressFillsInProportionToItsPlaceBetweenMinAndMax) {
  LoadSkin(SkinnedPackage());
  cl::TProgressBar* bar = SkinnedProgress(200, 20);
  struct TCase {
    int min, max, position;
    double done;  // part of the width
  };
  // A minimum above 0 counts: 200 of 100..300 is half way.
  for (const TCase c : {TCase{0, 100, 0, 0.0}, TCase{0, 100, 50, 0.5}, TCase{0, 100, 100, 1.0},
                        TCase{100, 300, 200, 0.5}, TCase{100, 300, 100, 0.0}, TCase{5, 5, 5, 0.0}}) {
    SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " at " << c.position);
    bar->SetMax(c.max);
    bar->SetMin(c.min);
    bar->SetPosition(c.position);
    const TPixels p = Repainted(bar->Handle());
    const int split = static_cast<int>(p.Width() * c.done + 0.5);
    const int y = p.Height() / 2;
    EXPECT_EQ(p.CountInRow(y, kBar[1]), split);
    EXPECT_EQ(p.CountInRow(y, kBar[0]), p.Width() - split);
    if (split > 0) EXPECT_EQ(p.At(split - 1, y), kBar[1]);
    if (split < p.Width()) EXPECT_EQ(p.At(split, y), kBar[0]);
  }
}

TEST_F(SkinRanges, ProgressPaintsItsWholeClientArea) {
  LoadSkin(SkinnedPackage());
  cl::TProgressBar* bar = SkinnedProgress(200, 20);
  for (const int position : {0, 100}) {
    bar->SetPosition(position);
    Repainted(bar->Handle());
    Smear(bar->Handle());
    const TPixels p = Repainted(bar->Handle(), false);
    const COLORREF colour = kBar[position == 0 ? 0 : 1];
    for (int y = 0; y < p.Height(); ++y) EXPECT_EQ(p.CountInRow(y, colour), p.Width()) << "row " << y;
  }
}

TEST_F(SkinRanges, AVerticalProgressBarFillsFromTheBottom) {
  LoadSkin(SkinnedPackage());
  cl::TProgressBar* bar = SkinnedProgress(20, 200);
  SetWindowLongW(bar->Handle(), GWL_STYLE, GetWindowLongW(bar->Handle(), GWL_STYLE) | PBS_VERTICAL);
  bar->SetPosition(25);
  const TPixels p = Repainted(bar->Handle());
  const int done = (p.Height() + 2) / 4;  // a quarter, rounded
  const int x = p.Width() / 2;
  EXPECT_EQ(p.CountInColumn(x, kBar[1]), done);
  EXPECT_EQ(p.At(x, p.Height() - 1), kBar[1]);
  EXPECT_EQ(p.At(x, p.Height() - done), kBar[1]);
  EXPECT_EQ(p.At(x, p.Height() - done - 1), kBar[0]);
  EXPECT_EQ(p.At(x, 0), kBar[0]);
}

// The chunks start after the left border and end with the done part, the last one cut there; a full bar
// leaves the right border too.
TEST_F(SkinRanges, ChunkModeFillsBetweenTheBordersWithChunks) {
  LoadSkin(ChunkPackage());
  cl::TProgressBar* bar = SkinnedProgress(200, 20);
  for (const int position : {50, 100, 37}) {
    SCOPED_TRACE(testing::Message() << "at " << position);
    bar->SetPosition(position);
    const TPixels p = Repainted(bar->Handle());
    const int inner = p.Width() - 2 * kBorderWidth;
    const int done = (inner * position * 2 + 100) / 200;
    const int chunkTop = (p.Height() - kChunkHeight) / 2;
    auto expected = [&](int x, int y) {
      if (x < kBorderWidth || x >= p.Width() - kBorderWidth) return kBorder;
      const int at = x - kBorderWidth;
      const bool inChunkRows = y >= chunkTop && y < chunkTop + kChunkHeight;
      return inChunkRows && at < done && at % kChunkWidth < kChunkInk ? kChunk : kBack;
    };
    int wrong = 0;
    for (int y = 0; y < p.Height(); ++y)
      for (int x = 0; x < p.Width(); ++x) wrong += p.At(x, y) != expected(x, y);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(p.At(kBorderWidth, chunkTop), kChunk);
    EXPECT_EQ(p.At(p.Width() - 1, chunkTop), kBorder);
  }
}

// ---------------------------------------------------------------------------------------------------------
// Up-downs.

// The up-down's window keeps the width it chooses: the checks go by its client area.
TEST_F(SkinRanges, UpDownDrawsItsFramesAndGlyphsNormalAndDisabled) {
  LoadSkin(SkinnedPackage());
  auto* arrows = Add<cl::TUpDown>(300, 10, 20, 40);
  Paint<skin::TSkinUpDown>(arrows);
  form_->Show();
  // Nothing pressed: frame 1 for the up button, 5 for the down button, wherever the mouse is.
  TPixels p = Repainted(arrows->Handle());
  const int w = p.Width(), h = p.Height(), half = h / 2;
  ASSERT_GT(w, 8);
  ASSERT_GT(h, 16);
  // The glyph cells (4 by 4) centred in each button.
  const int glyphX = (w - 4) / 2 + 1, upGlyphY = (half - 4) / 2 + 1, downGlyphY = half + (h - half - 4) / 2 + 1;
  EXPECT_EQ(p.At(0, 0), kUpDown[0]);
  EXPECT_EQ(p.At(w - 1, half - 1), kUpDown[0]);
  EXPECT_EQ(p.At(0, half), kUpDown[4]);
  EXPECT_EQ(p.At(w - 1, h - 1), kUpDown[4]);
  EXPECT_EQ(p.At(glyphX, upGlyphY), kGlyph[0]);
  EXPECT_EQ(p.At(glyphX, downGlyphY), kGlyph[4]);

  arrows->SetEnabled(false);
  p = Repainted(arrows->Handle());
  EXPECT_EQ(p.At(0, 0), kUpDown[2]);
  EXPECT_EQ(p.At(w - 1, h - 1), kUpDown[6]);
  EXPECT_EQ(p.At(glyphX, upGlyphY), kGlyph[2]);
  EXPECT_EQ(p.At(glyphX, downGlyphY), kGlyph[6]);
}

TEST_F(SkinRanges, UpDownInsideAnEditLeavesItsOuterPixelToTheEdit) {
  LoadSkin(SkinnedPackage());
  auto* arrows = Add<cl::TUpDown>(300, 10, 20, 40);
  auto* painter = Paint<skin::TSkinUpDown>(arrows);
  painter->SetInsideEdit(true);
  form_->Show();
  const TPixels p = Repainted(arrows->Handle());
  const int w = p.Width(), h = p.Height();
  EXPECT_EQ(p.At(0, h / 2), kFace);
  EXPECT_EQ(p.At(w / 2, 0), kFace);
  // The buttons share the rows inside the outer pixels.
  const int split = 1 + (h - 2) / 2;
  EXPECT_EQ(p.At(1, 1), kUpDown[0]);
  EXPECT_EQ(p.At(1, split - 1), kUpDown[0]);
  EXPECT_EQ(p.At(1, split), kUpDown[4]);
  EXPECT_EQ(p.At(w - 2, h - 2), kUpDown[4]);
}

TEST_F(SkinRanges, UpDownWithoutItsElementDrawsPlainBoxesWithArrows) {
  LoadSkin(PlainPackage());
  auto* arrows = Add<cl::TUpDown>(300, 10, 20, 40);
  Paint<skin::TSkinUpDown>(arrows);
  form_->Show();
  const TPixels p = Repainted(arrows->Handle());
  const int w = p.Width(), h = p.Height(), half = h / 2;
  // Each box: a dark outline around the face colour.
  EXPECT_EQ(p.At(0, 5), kDkShadow);
  EXPECT_EQ(p.At(w - 1, 5), kDkShadow);
  EXPECT_EQ(p.At(2, half - 1), kDkShadow);
  EXPECT_EQ(p.At(2, half), kDkShadow);
  EXPECT_EQ(p.At(2, 2), kFace);
  EXPECT_EQ(p.At(2, h - 3), kFace);
  // The arrows, in the outline's colour, a little above each box's centre.
  const int x = w / 2, upY = half / 2 - 2, downY = half + (h - half) / 2 - 2;
  EXPECT_EQ(p.At(x, upY + 1), kDkShadow);
  EXPECT_EQ(p.At(x, downY + 1), kDkShadow);
  EXPECT_GT(p.CountInRow(upY + 3, kDkShadow), 4);
}

// A bare up-down (one inside an edit's window, say) starts white: its outer pixels that the buttons leave
// to the edit are not left as they were.
TEST_F(SkinRanges, ABareUpDownIsErasedWhite) {
  LoadSkin(SkinnedPackage());
  form_->Show();
  HWND wnd = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, 300, 80, 20, 40, form_->Handle(),
                             nullptr, nullptr, nullptr);
  ASSERT_NE(wnd, nullptr);
  auto* painter = new skin::TSkinUpDown(form_);
  painter->AttachHandle(wnd, data_, nullptr);
  painter->SetInsideEdit(true);
  Smear(wnd);
  const TPixels p = Repainted(wnd);
  const int w = p.Width(), h = p.Height();
  EXPECT_EQ(p.At(w - 1, h / 2), kWhite);
  EXPECT_EQ(p.At(w / 2, h - 1), kWhite);
  EXPECT_EQ(p.At(0, h / 2), kFace);
  EXPECT_EQ(p.At(1, 1), kUpDown[0]);
  delete painter;
  DestroyWindow(wnd);
}

// ---------------------------------------------------------------------------------------------------------
// Track bars.

TEST_F(SkinRanges, TrackBarThumbIsFrameTwoAndTheChannelAndTicksStayTheControls) {
  LoadSkin(SkinnedPackage());
  auto* across = Add<cl::TTrackBar>(10, 60, 150, 45);
  auto* upright = Add<cl::TTrackBar>(200, 60, 45, 150);
  upright->SetOrientation(cl::trVertical);
  for (auto* bar : {across, upright}) {
    bar->SetPosition(3);
    Paint<skin::TSkinTrackBar>(bar);
  }
  form_->Show();
  for (auto* bar : {across, upright}) {
    const bool vertical = bar == upright;
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    HWND wnd = bar->Handle();
    bar->Perform(skin::kSkinMsgPainterSwitch, 0);
    const TPixels own = Repainted(wnd);
    bar->Perform(skin::kSkinMsgPainterSwitch, 1);
    const TPixels skinned = Repainted(wnd);
    const RECT thumb = ThumbRect(wnd);
    ASSERT_LT(thumb.left, thumb.right);
    const COLORREF frame2 = vertical ? kThumbVert[1] : kThumb[1];
    EXPECT_NE(own.At(thumb.left + 2, thumb.top + 2), frame2);
    int wrongThumb = 0, changedElsewhere = 0;
    for (int y = 0; y < skinned.Height(); ++y)
      for (int x = 0; x < skinned.Width(); ++x) {
        const POINT pt{x, y};
        if (PtInRect(&thumb, pt))
          wrongThumb += skinned.At(x, y) != frame2;
        else
          changedElsewhere += skinned.At(x, y) != own.At(x, y);
      }
    EXPECT_EQ(wrongThumb, 0);
    EXPECT_EQ(changedElsewhere, 0);
  }
}

TEST_F(SkinRanges, TrackBarWithoutAThumbImageDrawsAPlainRectangle) {
  LoadSkin(PlainPackage());
  auto* bar = Add<cl::TTrackBar>(10, 60, 150, 45);
  Paint<skin::TSkinTrackBar>(bar);
  form_->Show();
  const TPixels p = Repainted(bar->Handle());
  const RECT thumb = ThumbRect(bar->Handle());
  const int midX = (thumb.left + thumb.right) / 2, midY = (thumb.top + thumb.bottom) / 2;
  EXPECT_EQ(p.At(thumb.left, midY), kShadow);
  EXPECT_EQ(p.At(thumb.right - 1, midY), kShadow);
  EXPECT_EQ(p.At(midX, thumb.top), kShadow);
  EXPECT_EQ(p.At(midX, thumb.bottom - 1), kShadow);
  EXPECT_EQ(p.At(midX, midY), kWhite);
}

// ---------------------------------------------------------------------------------------------------------
// All three.

// Switched off, a painter leaves the control looking exactly as it does without one; without its element
// a progress bar keeps its own look too.
TEST_F(SkinRanges, SwitchedOffEachControlLooksAsItsOwn) {
  LoadSkin(SkinnedPackage());
  auto* progress = Add<cl::TProgressBar>(10, 10, 200, 20);
  progress->SetPosition(40);
  auto* arrows = Add<cl::TUpDown>(300, 10, 20, 40);
  auto* bar = Add<cl::TTrackBar>(10, 60, 150, 45);
  bar->SetPosition(6);
  form_->Show();
  const std::vector<cl::TWinControl*> controls{progress, arrows, bar};
  std::vector<TPixels> own;
  for (auto* c : controls) own.push_back(Repainted(c->Handle()));

  Paint<skin::TSkinProgress>(progress);
  Paint<skin::TSkinUpDown>(arrows);
  Paint<skin::TSkinTrackBar>(bar);
  for (size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(controls[i]->ClassName());
    EXPECT_FALSE(Repainted(controls[i]->Handle()) == own[i]) << "the painter draws";
    controls[i]->Perform(skin::kSkinMsgPainterSwitch, 0);
    EXPECT_TRUE(Repainted(controls[i]->Handle()) == own[i]);
  }

  LoadSkin(PlainPackage());
  progress->Perform(skin::kSkinMsgPainterSwitch, 1);
  EXPECT_TRUE(Repainted(progress->Handle()) == own[0]);
}

// Each paint gives back every GDI object it made (the skin's images are made once, at the first paint).
TEST_F(SkinRanges, PaintingKeepsNoGdiObjects) {
  LoadSkin(SkinnedPackage());
  auto* progress = Add<cl::TProgressBar>(10, 10, 200, 20);
  progress->SetPosition(40);
  auto* upright = Add<cl::TProgressBar>(10, 40, 20, 120);
  upright->SetPosition(40);
  auto* arrows = Add<cl::TUpDown>(300, 10, 20, 40);
  auto* bar = Add<cl::TTrackBar>(60, 60, 150, 45);
  Paint<skin::TSkinProgress>(progress);
  Paint<skin::TSkinProgress>(upright);
  Paint<skin::TSkinUpDown>(arrows);
  Paint<skin::TSkinTrackBar>(bar);
  form_->Show();
  SetWindowLongW(upright->Handle(), GWL_STYLE, GetWindowLongW(upright->Handle(), GWL_STYLE) | PBS_VERTICAL);
  const std::vector<cl::TWinControl*> controls{progress, upright, arrows, bar};
  for (auto* c : controls) Repainted(c->Handle());
  const long held = cl::GdiHandlesHeld();
  for (int round = 0; round < 3; ++round)
    for (auto* c : controls) Repainted(c->Handle());
  EXPECT_EQ(cl::GdiHandlesHeld(), held);

  LoadSkin(ChunkPackage());
  Repainted(progress->Handle());
  const long chunkHeld = cl::GdiHandlesHeld();
  for (int round = 0; round < 3; ++round) Repainted(progress->Handle());
  EXPECT_EQ(cl::GdiHandlesHeld(), chunkHeld);
}

// ---------------------------------------------------------------------------------------------------------
// With the real mouse and focus (desktop lock).

class SkinRangesDesktop : public SkinRanges {};

TEST_F(SkinRangesDesktop, UpDownPressedShowsThePressedFrameOnTheHalfUnderTheMouse) {
  LoadSkin(SkinnedPackage());
  auto* arrows = Add<cl::TUpDown>(300, 10, 20, 40);
  auto* painter = Paint<skin::TSkinUpDown>(arrows);
  form_->Show();
  Pump();
  HWND wnd = arrows->Handle();
  RECT client{};
  GetClientRect(wnd, &client);
  const int x = client.right / 2, bottom = client.bottom - 1;
  struct TCase {
    int y;
    COLORREF up, down;
  };
  for (const TCase c : {TCase{client.bottom / 4, kUpDown[1], kUpDown[4]},
                        TCase{client.bottom * 3 / 4, kUpDown[0], kUpDown[5]}}) {
    SCOPED_TRACE(testing::Message() << "pressed at y " << c.y);
    POINT at{x, c.y};
    ClientToScreen(wnd, &at);
    ASSERT_TRUE(SetCursorPos(at.x, at.y));
    SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, c.y));
    // Drawn at once, before any paint.
    TPixels p(wnd);
    EXPECT_EQ(p.At(0, 0), c.up);
    EXPECT_EQ(p.At(0, bottom), c.down);
    p = Repainted(wnd);
    EXPECT_EQ(p.At(0, 0), c.up);
    EXPECT_EQ(p.At(0, bottom), c.down);

    SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, c.y));
    p = TPixels(wnd);
    EXPECT_EQ(p.At(0, 0), kUpDown[0]);
    EXPECT_EQ(p.At(0, bottom), kUpDown[4]);
  }

  // Inside an edit the buttons meet one pixel lower: the last row of the up button still presses it.
  painter->SetInsideEdit(true);
  const int lastUpRow = (client.bottom - 2) / 2;
  POINT at{x, lastUpRow};
  ClientToScreen(wnd, &at);
  ASSERT_TRUE(SetCursorPos(at.x, at.y));
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, lastUpRow));
  TPixels p(wnd);
  EXPECT_EQ(p.At(1, lastUpRow), kUpDown[1]);
  EXPECT_EQ(p.At(1, bottom - 1), kUpDown[4]);
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, lastUpRow));
}

TEST_F(SkinRangesDesktop, TrackBarColourUpdateLeavesTheFocusWhereItWas) {
  LoadSkin(SkinnedPackage());
  auto* edit = Add<cl::TEdit>(10, 10, 100, 24);
  auto* bar = Add<cl::TTrackBar>(10, 60, 150, 45);
  auto* painter = Paint<skin::TSkinTrackBar>(bar);
  form_->Show();
  Pump();
  edit->SetFocus();
  ASSERT_TRUE(edit->Focused());
  painter->ApplySkinColor();
  Pump();
  EXPECT_TRUE(edit->Focused());
  EXPECT_FALSE(bar->Focused());
  // It redraws the thumb from the skin.
  const RECT thumb = ThumbRect(bar->Handle());
  EXPECT_EQ(TPixels(bar->Handle()).At((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), kThumb[1]);
}

}  // namespace
