// The button painters on real controls: each frame of a flat-colour Buttons image shows for its state,
// clicks come once per press and release, the hot state goes whenever the mouse leaves, switched off the
// button looks as it does unpainted, the control's path is whole again afterwards, bare push buttons
// notify their parent, captions break at "||", and glyphs of bit and speed buttons sit where they should.
#include "SkinButtons.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Buttons.h"
#include "ByteBuilder.h"
#include "DeviceContext.h"
#include "FormsTestSupport.h"
#include "MessageLoop.h"
#include "NCFrameFixture.h"
#include "PainterFormTest.h"
#include "SkinPack.h"
#include "SkinTestForms.h"
#include "StdClasses.h"
#include "StdCtrls.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"

namespace {

using skin::TSkinBitButton;
using skin::TSkinButton;
using skin::TSkinSpeedButton;

// Frames 1-5 of the Buttons image: normal, pressed, disabled, hot or focused, default.
constexpr COLORREF kFrames[5] = {RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200), RGB(200, 200, 40),
                                 RGB(40, 200, 200)};
constexpr COLORREF kFace = RGB(10, 20, 30);
constexpr COLORREF kKey = RGB(255, 0, 255);

COLORREF Frame(int frame) { return kFrames[frame - 1]; }

std::string ButtonsPackage() {
  return skin::BuildSkinPackage(
      {{"buttons.ini",
        "[Colours]\r\nButtonFace=10 20 30\r\nButtonText=0 0 0\r\n"
        "[Buttons]\r\nBitmap=buttons.bmp\r\nLeftWidth=2\r\nTopHeight=2\r\nRightWidth=2\r\nBottomHeight=2\r\n"
        "Trans=0\r\nTile=0\r\n"},
       {"buttons.bmp", ncframe::Strip(5, 10, 10, false, kFrames)}});
}

// A glyph strip of cells, each a flat colour with its bottom-left pixel in the key colour.
void SetGlyph(cl::TBitmap& glyph, int cellSize, const std::vector<COLORREF>& cells) {
  glyph.SetSize(cellSize * static_cast<int>(cells.size()), cellSize);
  for (int x = 0; x < glyph.Width(); ++x)
    for (int y = 0; y < cellSize; ++y)
      glyph.Canvas()->SetPixels(x, y, x % cellSize == 0 && y == cellSize - 1 ? kKey : cells[x / cellSize]);
}

COLORREF Grey(COLORREF c) {
  const int mean = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
  return RGB(mean, mean, mean);
}

// What the window shows after a full repaint, its client area row by row.
struct TCapture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

void Repaint(HWND wnd) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

TCapture Capture(HWND wnd) {
  Repaint(wnd);
  RECT r{};
  GetClientRect(wnd, &r);
  TCapture c{r.right, r.bottom, {}};
  const cl::TWindowDC dc(wnd);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) c.pixels.push_back(GetPixel(dc.Get(), x, y));
  return c;
}

// A pixel of the client area as it shows now, without repainting.
COLORREF Shown(HWND wnd, int x, int y) {
  const cl::TWindowDC dc(wnd);
  return GetPixel(dc.Get(), x, y);
}

COLORREF Painted(HWND wnd, int x, int y) {
  Repaint(wnd);
  return Shown(wnd, x, y);
}

// How many pixels two captures of the same window differ in.
int Differences(const TCapture& a, const TCapture& b) {
  if (a.pixels.size() != b.pixels.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

// Bands of rows with anything but the face colour between the face's margins.
int TextBands(const TCapture& c, COLORREF face) {
  int bands = 0;
  bool inBand = false;
  for (int y = 3; y < c.height - 3; ++y) {
    bool ink = false;
    for (int x = 3; x < c.width - 3 && !ink; ++x) ink = c.At(x, y) != face;
    if (ink && !inBand) ++bands;
    inBand = ink;
  }
  return bands;
}

// A bit button of another library that takes its image from an image list.
class TListBitBtn : public cl::TBitBtn {
  CL_CLASS(TListBitBtn, cl::TBitBtn)
  explicit TListBitBtn(cl::TComponent* owner) : TBitBtn(owner) {}
  cl::TImageList* Images() const { return images_; }
  void SetImages(cl::TImageList* value) { images_ = value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value) { imageIndex_ = value; }
  int DisabledIndex() const { return disabledIndex_; }
  void SetDisabledIndex(int value) { disabledIndex_ = value; }

 private:
  cl::TImageList* images_ = nullptr;
  int imageIndex_ = -1;
  int disabledIndex_ = -1;
};

}  // namespace

CL_BEGIN_CLASS(TListBitBtn)
    .Object("Images", &TListBitBtn::Images, &TListBitBtn::SetImages)
    .Int("ImageIndex", &TListBitBtn::ImageIndex, &TListBitBtn::SetImageIndex, -1)
    .Int("DisabledIndex", &TListBitBtn::DisabledIndex, &TListBitBtn::SetDisabledIndex, -1)
CL_END_CLASS

namespace {

class SkinButtons : public skintest::PainterFormTest {
 protected:
  void SetUp() override {
    PainterFormTest::SetUp();
    MakeForm(520, 300, 320, 260);
    LoadPackage(ButtonsPackage());
    form_->Show();
  }
  template <class T>
  T* Add(int left, int top, int width, int height, const char* caption) {
    T* control = NewControl<T>(left, top, width, height);
    control->SetCaption(caption);
    return control;
  }
  // A push button with its painter, nothing focused.
  cl::TButton* PaintedButton(const char* caption = "Go") {
    cl::TButton* button = Add<cl::TButton>(10, 10, 100, 30, caption);
    painter_ = new TSkinButton(button);
    painter_->Attach(nullptr, data_, false);
    SetFocus(nullptr);
    return button;
  }
  // The colour of the button's face away from its caption.
  static COLORREF FaceOf(cl::TWinControl* button) { return Painted(button->Handle(), 3, 3); }
  static void Send(cl::TWinControl* c, UINT msg) {
    SendMessageW(c->Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
  }

  TSkinButton* painter_ = nullptr;
};

TEST_F(SkinButtons, APushButtonShowsTheFrameOfItsState) {
  cl::TButton* button = PaintedButton();
  ASSERT_NE(GetFocus(), button->Handle());
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonNormal));
  EXPECT_EQ(Painted(button->Handle(), 96, 26), Frame(skin::kButtonNormal));

  button->SetDefault(true);
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonDefault));
  button->SetDefault(false);

  button->Perform(cl::CM_MOUSEENTER);
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonHot));
  button->Perform(cl::CM_MOUSELEAVE);
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonNormal));
  // The first move over it makes it hot as well.
  SendMessageW(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonHot));

  // The press shows at once, before any repaint.
  Send(button, WM_LBUTTONDOWN);
  EXPECT_EQ(Shown(button->Handle(), 3, 3), Frame(skin::kButtonPressed));
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonPressed));
  button->Perform(cl::CM_MOUSELEAVE);
  EXPECT_FALSE(painter_->Pressed());
  EXPECT_FALSE(painter_->Hot());

  // Focused (the press gave it the focus).
  ASSERT_EQ(GetFocus(), button->Handle());
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonHot));
}

// The caption takes NormalColour2 in the normal frame, MouseOverColour2 when hot and PressedColour2 when
// pressed.
TEST_F(SkinButtons, TheCaptionTakesTheSkinsNormalHotAndPressedTextColours) {
  constexpr COLORREF kNormal = RGB(250, 0, 0), kHot = RGB(0, 250, 0), kPressed = RGB(0, 0, 250);
  LoadPackage(skin::BuildSkinPackage(
      {{"buttons.ini",
        "[Colours]\r\nButtonFace=10 20 30\r\nButtonText=0 0 0\r\n"
        "[Buttons]\r\nBitmap=buttons.bmp\r\nLeftWidth=2\r\nTopHeight=2\r\nRightWidth=2\r\nBottomHeight=2\r\n"
        "Trans=0\r\nTile=0\r\nNormalColour2=250 0 0\r\nMouseOverColour2=0 250 0\r\nPressedColour2=0 0 250\r\n"},
       {"buttons.bmp", ncframe::Strip(5, 10, 10, false, kFrames)}}));
  cl::TButton* button = PaintedButton("MMMM");
  const auto count = [](const TCapture& c, COLORREF colour) {
    int n = 0;
    for (COLORREF p : c.pixels) n += p == colour;
    return n;
  };
  const TCapture normal = Capture(button->Handle());
  EXPECT_GT(count(normal, kNormal), 10);
  EXPECT_EQ(count(normal, kHot) + count(normal, kPressed), 0);
  button->Perform(cl::CM_MOUSEENTER);
  const TCapture hot = Capture(button->Handle());
  EXPECT_GT(count(hot, kHot), 10);
  EXPECT_EQ(count(hot, kNormal) + count(hot, kPressed), 0);
  Send(button, WM_LBUTTONDOWN);
  const TCapture pressed = Capture(button->Handle());
  EXPECT_GT(count(pressed, kPressed), 10);
  EXPECT_EQ(count(pressed, kNormal) + count(pressed, kHot), 0);
  Send(button, WM_LBUTTONUP);
}

TEST_F(SkinButtons, FocusedTheDefaultPushButtonShowsTheDefaultFrameButTheDefaultBitButtonTheFocusedOne) {
  cl::TButton* button = PaintedButton();
  button->SetDefault(true);
  SetFocus(button->Handle());
  ASSERT_EQ(GetFocus(), button->Handle());
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonDefault));

  auto* bit = Add<cl::TBitBtn>(10, 60, 100, 30, "Bit");
  (new TSkinBitButton(bit))->Attach(nullptr, data_, false);
  bit->SetDefault(true);
  EXPECT_EQ(FaceOf(bit), Frame(skin::kButtonDefault));
  SetFocus(bit->Handle());
  ASSERT_EQ(GetFocus(), bit->Handle());
  EXPECT_EQ(FaceOf(bit), Frame(skin::kButtonHot));
}

TEST_F(SkinButtons, ADisabledButtonShowsTheDisabledFrameAlsoWhilePressedOrHot) {
  cl::TButton* button = PaintedButton();
  button->Perform(cl::CM_MOUSEENTER);
  Send(button, WM_LBUTTONDOWN);
  ASSERT_TRUE(painter_->Pressed());
  ASSERT_TRUE(painter_->Hot());
  button->SetEnabled(false);
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonDisabled));
  button->SetDefault(true);
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonDisabled));
}

TEST_F(SkinButtons, EachPressAndReleaseClicksOnceAndAReleaseAfterTheMouseLeftDoesNot) {
  cl::TButton* button = PaintedButton();
  int clicks = 0;
  button->OnClick = [&](cl::TObject*) { ++clicks; };
  Send(button, WM_LBUTTONDOWN);
  Send(button, WM_LBUTTONUP);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(painter_->Pressed());

  // A release without a press on this button.
  Send(button, WM_LBUTTONUP);
  EXPECT_EQ(clicks, 1);

  Send(button, WM_LBUTTONDOWN);
  button->Perform(cl::CM_MOUSELEAVE);
  Send(button, WM_LBUTTONUP);
  EXPECT_EQ(clicks, 1);

  // A double click's second press counts as a press.
  Send(button, WM_LBUTTONDBLCLK);
  Send(button, WM_LBUTTONUP);
  EXPECT_EQ(clicks, 2);
}

TEST_F(SkinButtons, TheSpaceKeyShowsThePressedFrameAndTheButtonClicksOnceOnItsRelease) {
  cl::TButton* button = PaintedButton();
  int clicks = 0;
  button->OnClick = [&](cl::TObject*) { ++clicks; };
  SendMessageW(button->Handle(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  EXPECT_TRUE(painter_->Pressed());
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonPressed));
  SendMessageW(button->Handle(), WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
  EXPECT_FALSE(painter_->Pressed());
  EXPECT_EQ(clicks, 1);
}

// A painter whose drawing fails.
class TFailingButtonPainter : public TSkinButton {
  CL_PLAIN_CLASS(TFailingButtonPainter, TSkinButton)
  explicit TFailingButtonPainter(cl::TComponent* owner) : TSkinButton(owner) {}

 protected:
  void DrawSkin(HDC, const RECT&) override { throw std::runtime_error("drawing failed"); }
};

TEST_F(SkinButtons, APaintWhoseDrawingFailsStillEnds) {
  cl::TButton* button = Add<cl::TButton>(10, 10, 100, 30, "Go");
  (new TFailingButtonPainter(button))->Attach(nullptr, data_, false);
  InvalidateRect(button->Handle(), nullptr, TRUE);
  UpdateWindow(button->Handle());
  EXPECT_FALSE(GetUpdateRect(button->Handle(), nullptr, FALSE)) << "the paint must be validated";
}

TEST_F(SkinButtons, AButtonThatDisablesItselfInItsClickIsNotHotOnceTheMouseLeaves) {
  cl::TButton* button = PaintedButton();
  button->OnClick = [&](cl::TObject*) { button->SetEnabled(false); };
  button->Perform(cl::CM_MOUSEENTER);
  Send(button, WM_LBUTTONDOWN);
  Send(button, WM_LBUTTONUP);
  ASSERT_FALSE(button->Enabled());
  button->Perform(cl::CM_MOUSELEAVE);
  EXPECT_FALSE(painter_->Hot());
  EXPECT_FALSE(painter_->Pressed());

  button->SetEnabled(true);
  ASSERT_NE(GetFocus(), button->Handle());
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonNormal));
}

TEST_F(SkinButtons, SwitchedOffTheButtonLooksAsItDoesUnpainted) {
  cl::TButton* button = Add<cl::TButton>(10, 10, 100, 30, "Go");
  SetFocus(nullptr);
  const TCapture unpainted = Capture(button->Handle());
  auto* painter = new TSkinButton(button);
  painter->Attach(nullptr, data_, false);
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonNormal));

  button->Perform(skin::kSkinMsgPainterSwitch, 0);
  EXPECT_EQ(Differences(Capture(button->Handle()), unpainted), 0);
  button->Perform(skin::kSkinMsgPainterSwitch, 1);
  EXPECT_EQ(FaceOf(button), Frame(skin::kButtonNormal));
}

TEST_F(SkinButtons, OnceThePainterIsFreedTheButtonWorksAndLooksAsBefore) {
  cl::TButton* button = Add<cl::TButton>(10, 10, 100, 30, "Go");
  SetFocus(nullptr);
  const int links = button->WindowProc.LinkCount();
  const TCapture unpainted = Capture(button->Handle());
  auto* painter = new TSkinButton(button);
  painter->Attach(nullptr, data_, false);
  EXPECT_EQ(button->WindowProc.LinkCount(), links + 1);
  delete painter;
  EXPECT_EQ(button->WindowProc.LinkCount(), links);
  SetFocus(nullptr);
  EXPECT_EQ(Differences(Capture(button->Handle()), unpainted), 0);

  // The button's own press and release click it again.
  int clicks = 0;
  button->OnClick = [&](cl::TObject*) { ++clicks; };
  Send(button, WM_LBUTTONDOWN);
  Send(button, WM_LBUTTONUP);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinButtons, ABarePushButtonPostsItsClickToItsParentOnTheRelease) {
  HWND wnd = CreateWindowExW(0, L"BUTTON", L"Bare", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 60, 90, 28,
                             form_->Handle(), reinterpret_cast<HMENU>(123), nullptr, nullptr);
  ASSERT_NE(wnd, nullptr);
  std::vector<std::pair<WPARAM, LPARAM>> commands;
  cl::TMessageLink recorder(form_->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == WM_COMMAND) commands.emplace_back(m.WParam, m.LParam);
    next(m);
  });
  auto* painter = new TSkinButton(form_);
  painter->AttachHandle(wnd, data_, nullptr);
  SetFocus(nullptr);
  EXPECT_EQ(Painted(wnd, 3, 3), Frame(skin::kButtonNormal));

  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(Shown(wnd, 3, 3), Frame(skin::kButtonPressed));
  EXPECT_TRUE(commands.empty());
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(hktest::PumpUntil([&] { return !commands.empty(); }));
  EXPECT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].first, MAKEWPARAM(123, BN_CLICKED));
  EXPECT_EQ(commands[0].second, reinterpret_cast<LPARAM>(wnd));
  delete painter;
  DestroyWindow(wnd);
}

TEST_F(SkinButtons, ACaptionWithABarPairIsDrawnOnTwoLines) {
  cl::TButton* button = PaintedButton("One||Two");
  button->SetHeight(60);
  EXPECT_EQ(TextBands(Capture(button->Handle()), Frame(skin::kButtonNormal)), 2);
  button->SetCaption("OneTwo");
  EXPECT_EQ(TextBands(Capture(button->Handle()), Frame(skin::kButtonNormal)), 1);
}

TEST_F(SkinButtons, TheLineBreakKeepsCharactersTheCodePageLacks) {
  EXPECT_EQ(skin::CaptionLines(L"\u0416\u4E2D||\u03A9||"), L"\u0416\u4E2D\r\n\u03A9\r\n");
  EXPECT_EQ(skin::CaptionLines(L"a|||b"), L"a\r\n|b");
  // Drawn, the letters are not question marks.
  cl::TButton* button = PaintedButton("?||?");
  button->SetHeight(60);
  const TCapture marks = Capture(button->Handle());
  button->SetCaption("\xD0\x96||\xD0\x96");
  const TCapture letters = Capture(button->Handle());
  EXPECT_EQ(TextBands(letters, Frame(skin::kButtonNormal)), 2);
  EXPECT_GT(Differences(letters, marks), 0);
}

TEST_F(SkinButtons, AGlyphOnlyBitButtonCentresItsGlyphAndASpeedButtonOnePixelFurther) {
  auto* bit = Add<cl::TBitBtn>(10, 10, 100, 30, "");
  SetGlyph(*bit->Glyph(), 16, {RGB(250, 250, 0)});
  (new TSkinBitButton(bit))->Attach(nullptr, data_, false);
  SetFocus(nullptr);
  // (100 - 16) / 2 = 42 across, (30 - 16 + 1) / 2 = 7 down.
  const TCapture c = Capture(bit->Handle());
  EXPECT_EQ(c.At(42, 7), RGB(250, 250, 0));
  EXPECT_EQ(c.At(57, 7), RGB(250, 250, 0));
  EXPECT_EQ(c.At(43, 22), RGB(250, 250, 0));
  EXPECT_EQ(c.At(42, 22), Frame(skin::kButtonNormal)) << "the bottom-left pixel's colour is left out";
  EXPECT_EQ(c.At(41, 7), Frame(skin::kButtonNormal));
  EXPECT_EQ(c.At(58, 7), Frame(skin::kButtonNormal));
  EXPECT_EQ(c.At(42, 6), Frame(skin::kButtonNormal));

  auto* speed = new cl::TSpeedButton(form_);
  speed->SetParent(form_);
  speed->SetBounds(10, 150, 100, 30);
  SetGlyph(*speed->Glyph(), 16, {RGB(250, 250, 0)});
  (new TSkinSpeedButton(speed))->AttachGraphic(nullptr, data_);
  const TCapture f = Capture(form_->Handle());
  EXPECT_EQ(f.At(10 + 42, 150 + 7), Frame(skin::kButtonNormal));
  EXPECT_EQ(f.At(10 + 43, 150 + 7), RGB(250, 250, 0));
  EXPECT_EQ(f.At(10 + 58, 150 + 7), RGB(250, 250, 0));
  EXPECT_EQ(f.At(10 + 59, 150 + 7), Frame(skin::kButtonNormal));
}

// With a margin of 4 the glyph sits 4 pixels in from the side its layout names, centred the other way.
TEST_F(SkinButtons, RightTopAndBottomLayoutsPlaceTheGlyphByTheirSide) {
  constexpr COLORREF kGlyph = RGB(250, 250, 0);
  struct TCase {
    cl::TButtonLayout layout;
    int x, y;
  };
  // A 100 by 40 button and a 16-pixel glyph: right x 100 - 4 - 16, top y 4, bottom y 40 - 4 - 16;
  // across, (100 - 16 + 1) / 2 = 42 and (40 - 16 + 1) / 2 = 12.
  for (const TCase& c : {TCase{cl::blGlyphRight, 80, 12}, TCase{cl::blGlyphTop, 42, 4}, TCase{cl::blGlyphBottom, 42, 20}}) {
    SCOPED_TRACE(static_cast<int>(c.layout));
    auto* bit = Add<cl::TBitBtn>(10, 10, 100, 40, "");
    SetGlyph(*bit->Glyph(), 16, {kGlyph});
    bit->SetLayout(c.layout);
    bit->SetMargin(4);
    (new TSkinBitButton(bit))->Attach(nullptr, data_, false);
    SetFocus(nullptr);
    const TCapture shot = Capture(bit->Handle());
    EXPECT_EQ(shot.At(c.x, c.y), kGlyph);
    EXPECT_EQ(shot.At(c.x + 15, c.y + 14), kGlyph);
    EXPECT_EQ(shot.At(c.x - 1, c.y), Frame(skin::kButtonNormal));
    EXPECT_EQ(shot.At(c.x, c.y - 1), Frame(skin::kButtonNormal));
    EXPECT_EQ(shot.At(c.x + 16, c.y + 15), Frame(skin::kButtonNormal));
    delete bit;
  }
}

// Without a glyph the image list's ImageIndex shows; disabled, its DisabledIndex in the list's disabled look.
TEST_F(SkinButtons, ABitButtonWithAnImageListDrawsItsImageOrItsDisabledImage) {
  cl::RegisterClasses({TListBitBtn::StaticClass()});
  cl::TImageList list(form_);
  cl::TBitmap strip;
  SetGlyph(strip, 16, {RGB(0, 200, 0), RGB(0, 0, 200)});
  // The disabled image's shape differs (its left half left out): the disabled look shows which was drawn.
  for (int x = 16; x < 24; ++x)
    for (int y = 0; y < 16; ++y) strip.Canvas()->SetPixels(x, y, kKey);
  list.AddMasked(&strip, kKey);
  ASSERT_EQ(list.Count(), 2);
  auto* bit = Add<TListBitBtn>(10, 10, 100, 30, "");
  bit->SetImages(&list);
  bit->SetImageIndex(0);
  bit->SetDisabledIndex(1);
  (new TSkinBitButton(bit))->Attach(nullptr, data_, false);
  SetFocus(nullptr);
  // Centred as a glyph would be: (100 - 16) / 2 = 42 across, (30 - 16 + 1) / 2 = 7 down.
  EXPECT_EQ(Painted(bit->Handle(), 50, 14), RGB(0, 200, 0));
  bit->SetEnabled(false);
  // The disabled image as the list itself draws it disabled over the disabled frame.
  cl::TBitmap expected;
  expected.SetSize(16, 16);
  expected.Canvas()->Brush()->SetColor(cl::TColor{Frame(skin::kButtonDisabled)});
  expected.Canvas()->FillRect(cl::Rect(0, 0, 16, 16));
  list.Draw(expected.Canvas(), 0, 0, 1, false);
  const TCapture shot = Capture(bit->Handle());
  int same = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) same += shot.At(42 + x, 7 + y) == cl::ColorToRGB(expected.Canvas()->Pixels(x, y));
  EXPECT_EQ(same, 256);
  delete bit;
}

TEST_F(SkinButtons, ADisabledBitButtonGreysTheSecondOfFourCellsOrElseTheFirst) {
  const COLORREF cells[4] = {RGB(250, 250, 0), RGB(0, 90, 210), RGB(250, 0, 0), RGB(0, 250, 0)};
  auto* bit = Add<cl::TBitBtn>(10, 10, 100, 30, "");
  bit->SetNumGlyphs(4);
  SetGlyph(*bit->Glyph(), 16, {cells[0], cells[1], cells[2], cells[3]});
  (new TSkinBitButton(bit))->Attach(nullptr, data_, false);
  SetFocus(nullptr);
  // Four cells of 16: centred as one.
  EXPECT_EQ(Painted(bit->Handle(), 50, 15), cells[0]);
  bit->SetEnabled(false);
  EXPECT_EQ(Painted(bit->Handle(), 50, 15), Grey(cells[1]));
  EXPECT_EQ(Shown(bit->Handle(), 3, 3), Frame(skin::kButtonDisabled));
  Send(bit, WM_LBUTTONDOWN);
  EXPECT_EQ(Painted(bit->Handle(), 50, 15), Grey(cells[1]));

  bit->SetNumGlyphs(1);
  SetGlyph(*bit->Glyph(), 16, {cells[1]});
  EXPECT_EQ(Painted(bit->Handle(), 50, 15), Grey(cells[1]));
  bit->SetEnabled(true);
  bit->Perform(cl::CM_MOUSELEAVE);
  SetFocus(nullptr);
  EXPECT_EQ(Painted(bit->Handle(), 50, 15), cells[1]);
}

TEST_F(SkinButtons, AFlatSpeedButtonShowsOnlyTheFaceColourUntilTheMouseIsOverIt) {
  auto* speed = new cl::TSpeedButton(form_);
  speed->SetParent(form_);
  speed->SetBounds(10, 150, 60, 24);
  speed->SetFlat(true);
  (new TSkinSpeedButton(speed))->AttachGraphic(nullptr, data_);
  HWND parent = form_->Handle();
  EXPECT_EQ(Painted(parent, 12, 152), kFace);
  EXPECT_EQ(Shown(parent, 40, 162), kFace);

  // Hot: drawn at once, and so again by the parent's paint.
  speed->Perform(cl::CM_MOUSEENTER);
  EXPECT_EQ(Shown(parent, 12, 152), Frame(skin::kButtonHot));
  EXPECT_EQ(Painted(parent, 12, 152), Frame(skin::kButtonHot));
  speed->Perform(cl::CM_MOUSELEAVE);
  EXPECT_EQ(Shown(parent, 12, 152), kFace);

  speed->SetFlat(false);
  EXPECT_EQ(Painted(parent, 12, 152), Frame(skin::kButtonNormal));
  speed->SetEnabled(false);
  EXPECT_EQ(Painted(parent, 12, 152), Frame(skin::kButtonDisabled));
}

TEST_F(SkinButtons, TheSpeedButtonPainterGivesThePathBackOnReleaseOrWhenFreed) {
  auto* speed = new cl::TSpeedButton(form_);
  speed->SetParent(form_);
  speed->SetBounds(10, 150, 60, 24);
  const int links = speed->WindowProc.LinkCount();
  auto* painter = new TSkinSpeedButton(speed);
  painter->AttachGraphic(nullptr, data_);
  EXPECT_EQ(speed->WindowProc.LinkCount(), links + 1);
  delete painter;
  EXPECT_EQ(speed->WindowProc.LinkCount(), links);
  // Unpainted again: the button draws its own face.
  EXPECT_NE(Painted(form_->Handle(), 40, 162), Frame(skin::kButtonNormal));

  painter = new TSkinSpeedButton(speed);
  painter->AttachGraphic(nullptr, data_);
  EXPECT_EQ(Painted(form_->Handle(), 40, 162), Frame(skin::kButtonNormal));
  speed->Perform(cl::CM_RELEASE);
  EXPECT_EQ(speed->WindowProc.LinkCount(), links);
  delete painter;
  EXPECT_EQ(speed->WindowProc.LinkCount(), links);
}

TEST_F(SkinButtons, ASpeedButtonClicksOnceThroughItsPainter) {
  auto* speed = new cl::TSpeedButton(form_);
  speed->SetParent(form_);
  speed->SetBounds(10, 150, 60, 24);
  int clicks = 0;
  speed->OnClick = [&](cl::TObject*) { ++clicks; };
  auto* painter = new TSkinSpeedButton(speed);
  painter->AttachGraphic(nullptr, data_);
  speed->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(painter->Pressed());
  EXPECT_EQ(Shown(form_->Handle(), 12, 152), Frame(skin::kButtonPressed));
  speed->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(painter->Pressed());
  EXPECT_EQ(clicks, 1);
}

// On a skinned window, whose painters its own pass made: one hot button at a time.
class SkinnedButtons : public skintest::SkinFormsTest {};

TEST_F(SkinnedButtons, AButtonBecomingHotTakesTheHotStateFromTheWindowsOtherButton) {
  main_ = NewSizedForm(0, 320, 200);
  cl::ReadRootComponent(main_, skintest::FormWithSkin(ButtonsPackage(), "sfMainform", "[xcButton]"));
  cl::TButton* buttons[2] = {};
  for (int i = 0; i < 2; ++i) {
    buttons[i] = new cl::TButton(main_);
    buttons[i]->SetParent(main_);
    buttons[i]->SetBounds(10, 10 + 40 * i, 100, 30);
  }
  main_->Show();
  skin::TWinSkinForm* skinned = skin::SkinManager()->FindSkinForm(main_->Handle());
  ASSERT_NE(skinned, nullptr);
  ASSERT_TRUE(hktest::PumpUntil([&] { return skinned->ControlsSkinned(); }));
  skin::TSkinControl* painters[2] = {};
  for (skin::TSkinControl* p : skinned->Painters())
    for (int i = 0; i < 2; ++i)
      if (p->Painted() == buttons[i]) painters[i] = p;
  ASSERT_NE(painters[0], nullptr);
  ASSERT_NE(painters[1], nullptr);
  ASSERT_EQ(painters[0]->ClassType(), TSkinButton::StaticClass());
  SetFocus(nullptr);

  SendMessageW(buttons[0]->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(skinned->HotPainter(), painters[0]);
  EXPECT_EQ(Painted(buttons[0]->Handle(), 3, 3), Frame(skin::kButtonHot));
  SendMessageW(buttons[1]->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(skinned->HotPainter(), painters[1]);
  EXPECT_FALSE(painters[0]->Hot());
  EXPECT_EQ(Painted(buttons[0]->Handle(), 3, 3), Frame(skin::kButtonNormal));
  EXPECT_EQ(Painted(buttons[1]->Handle(), 3, 3), Frame(skin::kButtonHot));

  buttons[1]->Perform(cl::CM_MOUSELEAVE);
  EXPECT_EQ(skinned->HotPainter(), nullptr);
  EXPECT_EQ(Painted(buttons[1]->Handle(), 3, 3), Frame(skin::kButtonNormal));
}

}  // namespace
