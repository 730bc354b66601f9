// Status bar, group box and panel painters: the status bar composed from the skin's edge frames with
// its texts and size grip, the group box's rounded line and caption drawn without leaving anything in
// the caller's DC, and the panel's colour taken and given back.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "ChecksBoxesFixture.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "GdiObjects.h"
#include "PaintSurface.h"
#include "SkinBoxes.h"
#include "StdCtrls.h"

namespace {

using painttest::kFrames;
using painttest::PaintNow;
using painttest::WindowPixel;

constexpr COLORREF kFace = RGB(10, 20, 30);
constexpr COLORREF kShadow = RGB(90, 60, 30);
constexpr COLORREF kStatusText = RGB(250, 250, 250);

// Whether any pixel of the window's rectangle has the colour.
bool AnyPixel(HDC dc, const RECT& r, COLORREF colour) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (GetPixel(dc, x, y) == colour) return true;
  return false;
}

bool AnyWindowPixel(HWND wnd, const RECT& r, COLORREF colour) {
  const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
  return AnyPixel(dc.Get(), r, colour);
}

// ---------------------------------------------------------------------------------------------------------
// Status bars.

class StatusBarPainter : public painttest::PainterTest {
 protected:
  // Edges 1-3 in kFrames[0..2]; the grip strip's frame 5 in kFrames[4].
  void LoadEdges() {
    LoadSkin("[Colours]\r\nButtonFace=10 20 30\r\n"
             "[StatusBarEdges]\r\nImage=edges.bmp\r\nNormalColour2=250 250 250\r\n"
             "[ExtraImages]\r\nImage=extra.bmp\r\n",
             {{"edges.bmp", painttest::FrameStrip(3, 8, 8)}, {"extra.bmp", painttest::FrameStrip(5, 10, 10)}});
  }
  cl::TStatusBar* NewStatusBar() {
    bar_ = NewControl<cl::TStatusBar>(0, 0, 200, 19);
    (new skin::TSkinStatusBar(bar_))->Attach(nullptr, data_, false);
    return bar_;
  }
  void AddPanel(int width, cl::TStatusPanelBevel bevel, const std::string& text = "") {
    cl::TStatusPanel* panel = bar_->Panels()->Add();
    panel->SetWidth(width);
    panel->SetBevel(bevel);
    panel->SetText(text);
  }
  HWND Wnd() const { return bar_->Handle(); }
  int Width() const { return bar_->Width(); }
  RECT PanelRect(int index) const {
    RECT r{};
    SendMessageW(bar_->Handle(), SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
  }

  cl::TStatusBar* bar_ = nullptr;
};

TEST_F(StatusBarPainter, SimpleModeIsOneLoweredEdgeWithItsTextAtTheLeft) {
  LoadEdges();
  NewStatusBar();
  bar_->SetSimpleText("Idle");
  Show();
  PaintNow(Wnd());
  EXPECT_EQ(WindowPixel(Wnd(), 0, 0), kFrames[0]);
  EXPECT_EQ(WindowPixel(Wnd(), Width() / 2, 1), kFrames[0]);
  EXPECT_EQ(WindowPixel(Wnd(), Width() - 1, 18), kFrames[0]);
  EXPECT_TRUE(AnyWindowPixel(Wnd(), RECT{2, 2, 40, 17}, kStatusText)) << "the text in the edges' colour";
  EXPECT_FALSE(AnyWindowPixel(Wnd(), RECT{60, 0, Width(), 19}, kStatusText));
}

TEST_F(StatusBarPainter, PanelsGetTheirBevelsFrameAndTheLastReachesTheRightEnd) {
  LoadEdges();
  NewStatusBar();
  bar_->SetSimplePanel(false);
  AddPanel(70, cl::pbRaised);
  AddPanel(70, cl::pbLowered);
  AddPanel(40, cl::pbNone);
  Show();
  PaintNow(Wnd());
  // Panels lie inside the bar's border, which keeps the skin's face colour.
  EXPECT_EQ(WindowPixel(Wnd(), 35, 0), kFace);
  EXPECT_EQ(WindowPixel(Wnd(), 35, 10), kFrames[1]);
  EXPECT_EQ(WindowPixel(Wnd(), 105, 10), kFrames[0]);
  EXPECT_EQ(WindowPixel(Wnd(), 170, 10), kFrames[2]);
  EXPECT_EQ(WindowPixel(Wnd(), Width() - 1, 10), kFrames[2]);
  // Each panel's edge closes the gap to the next one.
  const RECT first = PanelRect(0);
  EXPECT_EQ(WindowPixel(Wnd(), first.right + 1, 10), kFrames[1]);
}

TEST_F(StatusBarPainter, APanelsTextFollowsItsAlignmentMirroredRightToLeft) {
  LoadEdges();
  NewStatusBar();
  bar_->SetSimplePanel(false);
  AddPanel(100, cl::pbLowered, "Left");
  AddPanel(100, cl::pbLowered, "Mirrored");
  bar_->Panels()->Items(1)->SetBiDiMode(cl::bdRightToLeft);
  Show();
  PaintNow(Wnd());
  const RECT first = PanelRect(0), second = PanelRect(1);
  const int middle1 = (first.left + first.right) / 2, middle2 = (second.left + second.right) / 2;
  EXPECT_TRUE(AnyWindowPixel(Wnd(), RECT{first.left, 2, middle1, 17}, kStatusText));
  EXPECT_FALSE(AnyWindowPixel(Wnd(), RECT{middle1 + 10, 2, first.right, 17}, kStatusText));
  EXPECT_TRUE(AnyWindowPixel(Wnd(), RECT{middle2, 2, Width(), 17}, kStatusText));
  EXPECT_FALSE(AnyWindowPixel(Wnd(), RECT{second.left, 2, second.left + 10, 17}, kStatusText));
}

TEST_F(StatusBarPainter, TheSizeGripIsFrameFiveInTheBottomRightCorner) {
  LoadEdges();
  NewStatusBar();
  Show();
  SetWindowLongW(Wnd(), GWL_STYLE, GetWindowLongW(Wnd(), GWL_STYLE) | SBARS_SIZEGRIP);
  PaintNow(Wnd());
  // Grip 10 by 10 ending one pixel before the corner.
  EXPECT_EQ(WindowPixel(Wnd(), Width() - 2, 17), kFrames[4]);
  EXPECT_EQ(WindowPixel(Wnd(), Width() - 11, 8), kFrames[4]);
  EXPECT_EQ(WindowPixel(Wnd(), Width() - 1, 18), kFrames[0]);
  EXPECT_EQ(WindowPixel(Wnd(), Width() - 12, 8), kFrames[0]);
}

TEST_F(StatusBarPainter, WithoutEdgeImagesASystemBevelOnTheSkinsFace) {
  LoadSkin("[Colours]\r\nButtonFace=10 20 30\r\n", {});
  NewStatusBar();
  bar_->SetSimpleText("Idle");
  Show();
  PaintNow(Wnd());
  EXPECT_EQ(WindowPixel(Wnd(), 100, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(WindowPixel(Wnd(), 0, 10), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(WindowPixel(Wnd(), 100, 18), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(WindowPixel(Wnd(), 100, 10), kFace);
}

TEST_F(StatusBarPainter, OwnerDrawnPanelsAreDrawnOverTheSkinInsideTheirEdge) {
  LoadEdges();
  NewStatusBar();
  bar_->SetSimplePanel(false);
  AddPanel(80, cl::pbLowered);
  AddPanel(80, cl::pbLowered);
  bar_->Panels()->Items(0)->SetStyle(cl::psOwnerDraw);
  constexpr cl::TColor kOwn = 0x40C020;  // RGB(0x20, 0xC0, 0x40)
  int calls = 0;
  bar_->OnDrawPanel = [&](cl::TStatusBar* sender, cl::TStatusPanel* panel, cl::TRect rect) {
    ++calls;
    if (panel->Index() != 0) return;
    sender->Canvas()->Brush()->SetColor(kOwn);
    sender->Canvas()->FillRect(rect);
  };
  Show();
  PaintNow(Wnd());
  EXPECT_GE(calls, 2);
  const RECT first = PanelRect(0);
  EXPECT_EQ(WindowPixel(Wnd(), first.left + 10, (first.top + first.bottom) / 2), RGB(0x20, 0xC0, 0x40));
  EXPECT_EQ(WindowPixel(Wnd(), first.left + 10, first.top), kFrames[0]);
}

TEST_F(StatusBarPainter, TheWorkBitmapBelongsToTheSkinData) {
  LoadEdges();
  NewStatusBar();
  Show();
  PaintNow(Wnd());
  // The bar was composed in the skin data's bitmap: it holds the picture the window shows.
  cl::TBitmap& work = data_->WorkBitmap();
  EXPECT_EQ(work.Width(), Width());
  for (const POINT p : {POINT{0, 0}, POINT{Width() / 2, 1}, POINT{Width() - 1, 18}})
    EXPECT_EQ(cl::ColorToRGB(work.Canvas()->Pixels(p.x, p.y)), WindowPixel(Wnd(), p.x, p.y));
  EXPECT_EQ(WindowPixel(Wnd(), 0, 0), kFrames[0]);
  EXPECT_EQ(GetStretchBltMode(work.Canvas()->Handle()), COLORONCOLOR);
}

// ---------------------------------------------------------------------------------------------------------
// Group boxes.

// Draws into any DC, as a paint with a DC given does.
class TGroupBoxProbe : public skin::TSkinGroupBox {
 public:
  using TSkinGroupBox::TSkinGroupBox;
  using TSkinGroupBox::DrawSkin;
};

class GroupBoxPainter : public painttest::PainterTest {
 protected:
  void SetUp() override {
    PainterTest::SetUp();
    LoadSkin("[Colours]\r\nButtonFace=10 20 30\r\nButtonShadow=90 60 30\r\n", {});
    box_ = NewControl<cl::TGroupBox>(10, 10, kW, kH);
    box_->SetCaption("Group");
    box_->Font()->SetColor(0x0000DC);  // RGB(220, 0, 0)
    painter_ = new TGroupBoxProbe(box_);
    painter_->Attach(nullptr, data_, true);
    Show();
  }
  void DrawOn(hktest::PaintSurface& surface) {
    const RECT all{0, 0, kW, kH};
    FillRect(surface.DC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    painter_->DrawSkin(surface.DC(), all);
  }
  static constexpr int kW = 200, kH = 100;
  cl::TGroupBox* box_ = nullptr;
  TGroupBoxProbe* painter_ = nullptr;
};

TEST_F(GroupBoxPainter, ItsLineIsTheSkinsShadowOverTheErasedFrame) {
  PaintNow(box_->Handle());
  EXPECT_EQ(WindowPixel(box_->Handle(), 1, kH / 2), kShadow);
  EXPECT_EQ(WindowPixel(box_->Handle(), 0, kH / 2), kFace);
  EXPECT_EQ(WindowPixel(box_->Handle(), kW / 2, kH - 2), kShadow);
  EXPECT_EQ(WindowPixel(box_->Handle(), kW / 2, kH - 1), kFace);
}

TEST_F(GroupBoxPainter, ThousandPaintsKeepTheGdiObjectCountFlat) {
  hktest::PaintSurface surface(kW, kH);
  DrawOn(surface);
  const long before = hktest::GdiObjectsInProcess();
  ASSERT_GT(before, 0);
  for (int i = 0; i < 1000; ++i) DrawOn(surface);
  EXPECT_LE(hktest::GdiObjectsInProcess(), before + 2);
}

TEST_F(GroupBoxPainter, TheCallersDcKeepsItsObjectsAndColours) {
  hktest::PaintSurface surface(kW, kH);
  HDC dc = surface.DC();
  const cl::TBrushHandle brush(CreateSolidBrush(RGB(1, 2, 3)));
  const cl::TPenHandle pen(CreatePen(PS_SOLID, 3, RGB(4, 5, 6)));
  const cl::TSelectedObject brushIn(dc, brush.Get());
  const cl::TSelectedObject penIn(dc, pen.Get());
  SetBkColor(dc, RGB(7, 8, 9));
  SetTextColor(dc, RGB(10, 11, 12));
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);

  DrawOn(surface);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush.Get());
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen.Get());
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(GetBkColor(dc), RGB(7, 8, 9));
  EXPECT_EQ(GetTextColor(dc), RGB(10, 11, 12));
}

TEST_F(GroupBoxPainter, TheCaptionTakesTheFontsColourAndIsGreyedWhenDisabled) {
  hktest::PaintSurface surface(kW, kH);
  const RECT caption{9, 0, 60, 16};
  DrawOn(surface);
  EXPECT_TRUE(AnyPixel(surface.DC(), caption, RGB(220, 0, 0)));

  box_->SetEnabled(false);
  DrawOn(surface);
  EXPECT_FALSE(AnyPixel(surface.DC(), caption, RGB(220, 0, 0)));
  EXPECT_TRUE(AnyPixel(surface.DC(), caption, cl::ColorToRGB(cl::clBtnShadow)));
}

// ---------------------------------------------------------------------------------------------------------
// Panels.

class PanelPainter : public painttest::PainterTest {};

TEST_F(PanelPainter, APanelTakesTheFaceColourWithoutJoiningItsMessagesAndGetsItsOwnBack) {
  LoadSkin("[Colours]\r\nButtonFace=10 20 30\r\n", {});
  auto* panel = NewControl<cl::TPanel>(10, 10, 100, 60);
  panel->SetColor(0x123456);
  const int links = panel->WindowProc.LinkCount();
  auto* painter = new skin::TSkinBox(panel);
  painter->Attach(nullptr, data_, true);
  EXPECT_EQ(panel->Color(), data_->Colors.ButtonFace);
  EXPECT_EQ(panel->WindowProc.LinkCount(), links);
  EXPECT_EQ(painter->Handle(), panel->Handle());
  EXPECT_EQ(painter->State(), skin::kPainterNew);

  painter->Attach(nullptr, data_, true);  // a second call keeps the first colour
  painter->RestoreColor();
  EXPECT_EQ(panel->Color(), 0x123456);
  EXPECT_EQ(painter->State(), skin::kPainterColorBack);
}

}  // namespace
