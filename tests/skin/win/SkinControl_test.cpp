// The painter base: its place on a control's message path or a window's subclass chain, the switch
// message, the destroyed state, the paint path, and the property routines.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "ExtCtrls.h"
#include "FormsTestSupport.h"
#include "MessageLoop.h"
#include "SkinControl.h"
#include "SkinTestForms.h"
#include "StdCtrls.h"
#include "TypInfo.h"
#include "WinSkinData.h"

namespace {

using skin::TSkinControl;

// A painter that counts its paints; it can swallow WM_PAINT (drawing the client area itself) and throw
// while drawing.
class TProbePainter : public TSkinControl {
  CL_PLAIN_CLASS(TProbePainter, TSkinControl)
  explicit TProbePainter(cl::TComponent* owner) : TSkinControl(owner) {}

  bool SwallowPaint = false;
  bool ThrowWhileDrawing = false;
  int Draws = 0;
  RECT LastRect{};
  // Counts AfterMessage calls for one message, kept outside the painter.
  int* Afters = nullptr;
  UINT Counted = 0;

 protected:
  bool BeforeMessage(cl::TMessage& m) override {
    if (m.Msg == WM_PAINT && SwallowPaint) {
      PaintClient(m);
      return false;
    }
    return TSkinControl::BeforeMessage(m);
  }
  void AfterMessage(cl::TMessage& m) override {
    if (Afters && m.Msg == Counted) ++*Afters;
    TSkinControl::AfterMessage(m);
  }
  void DrawSkin(HDC, const RECT& rect) override {
    ++Draws;
    LastRect = rect;
    if (ThrowWhileDrawing) throw std::runtime_error("drawing failed");
  }
};

class PainterBase : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    form_->SetBounds(60, 60, 320, 200);
    data_ = new skin::TSkinData(form_);
    button_ = new cl::TButton(form_);
    button_->SetParent(form_);
    button_->SetBounds(10, 10, 100, 30);
    button_->SetCaption("Probe");
    form_->Show();
  }
  void TearDown() override {
    delete form_;
    AppTest::TearDown();
  }
  // Paints what is invalid now; true when the window has nothing left to paint.
  static bool PaintedOut(HWND wnd) {
    UpdateWindow(wnd);
    return !GetUpdateRect(wnd, nullptr, FALSE);
  }
  static void Invalidate(HWND wnd) { InvalidateRect(wnd, nullptr, TRUE); }

  cl::TForm* form_ = nullptr;
  skin::TSkinData* data_ = nullptr;
  cl::TButton* button_ = nullptr;
};

TEST_F(PainterBase, AttachStacksOnceAndPaintersLeaveThePathInAnyOrder) {
  const int before = button_->WindowProc.LinkCount();
  auto* first = new TProbePainter(button_);
  first->Attach(nullptr, data_, false);
  first->Attach(nullptr, data_, false);
  EXPECT_EQ(button_->WindowProc.LinkCount(), before + 1);
  EXPECT_EQ(first->State(), skin::kPainterAttached);
  EXPECT_EQ(first->Handle(), button_->Handle());

  auto* second = new TProbePainter(button_);
  second->Attach(nullptr, data_, false);
  // The one stacked first goes first: the later one and the control still get every message.
  delete first;
  Invalidate(button_->Handle());
  ASSERT_TRUE(PaintedOut(button_->Handle()));
  EXPECT_EQ(second->Draws, 1);
  button_->SetCaption("Renamed");
  EXPECT_EQ(button_->Perform(WM_GETTEXTLENGTH), 7);
  delete second;
  EXPECT_EQ(button_->WindowProc.LinkCount(), before);
}

TEST_F(PainterBase, SwitchedOffEveryMessagePassesAndSwitchedOnItRedraws) {
  auto* painter = new TProbePainter(button_);
  painter->Attach(nullptr, data_, false);
  ASSERT_TRUE(PaintedOut(button_->Handle()));
  const int drawn = painter->Draws;

  button_->Perform(skin::kSkinMsgPainterSwitch, 0);
  EXPECT_FALSE(painter->SkinOn());
  EXPECT_FALSE(GetUpdateRect(button_->Handle(), nullptr, FALSE)) << "switching off redraws nothing";
  Invalidate(button_->Handle());
  ASSERT_TRUE(PaintedOut(button_->Handle()));
  EXPECT_EQ(painter->Draws, drawn);
  EXPECT_EQ(button_->Perform(WM_GETTEXTLENGTH), 5);

  button_->Perform(skin::kSkinMsgPainterSwitch, 1);
  EXPECT_TRUE(painter->SkinOn());
  ASSERT_TRUE(PaintedOut(button_->Handle()));
  EXPECT_EQ(painter->Draws, drawn + 1);
}

// A painter that draws the whole client area keeps its dead window's handle: once the control's window is
// made again it must pass every message on, or the new window's paint is never validated and repeats.
TEST_F(PainterBase, AfterItsWindowIsMadeAgainThePainterPassesEverythingOn) {
  auto* painter = new TProbePainter(button_);
  painter->SwallowPaint = true;
  painter->Attach(nullptr, data_, false);
  ASSERT_TRUE(PaintedOut(button_->Handle()));
  ASSERT_GE(painter->Draws, 1);

  button_->RecreateWnd();
  button_->HandleNeeded();
  EXPECT_EQ(painter->State(), skin::kPainterDestroyed);
  const int drawn = painter->Draws;
  Invalidate(button_->Handle());
  EXPECT_TRUE(PaintedOut(button_->Handle()));
  EXPECT_EQ(painter->Draws, drawn);
  EXPECT_EQ(button_->Perform(WM_GETTEXTLENGTH), 5);
}

TEST_F(PainterBase, APaintThatThrowsStillEndsThePaintAndClientDrawingUsesTheClientArea) {
  // An edit has a sunken border around its client area.
  auto* panel = new cl::TEdit(form_);
  panel->SetParent(form_);
  panel->SetBounds(10, 60, 120, 50);
  auto* painter = new TProbePainter(panel);
  painter->SwallowPaint = true;
  painter->Attach(nullptr, data_, false);
  ASSERT_TRUE(PaintedOut(panel->Handle()));
  RECT client{};
  GetClientRect(panel->Handle(), &client);
  EXPECT_TRUE(EqualRect(&painter->LastRect, &client));
  RECT window{};
  GetWindowRect(panel->Handle(), &window);
  EXPECT_LT(client.right, window.right - window.left) << "the border must make the two differ";

  painter->ThrowWhileDrawing = true;
  Invalidate(panel->Handle());
  EXPECT_TRUE(PaintedOut(panel->Handle()));
}

TEST_F(PainterBase, ItsWindowsDestructionReachesTheControlOnceAndGivesTheColourBack) {
  auto* panel = new cl::TPanel(form_);
  panel->SetParent(form_);
  panel->SetColor(0x123456);
  int destroys = 0;
  // Stacked before the painter: sees what the painter passes on.
  cl::TMessageLink counter(panel->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == WM_NCDESTROY) ++destroys;
    next(m);
  });
  auto* painter = new TProbePainter(panel);
  painter->Attach(nullptr, data_, true);
  EXPECT_EQ(panel->Color(), data_->Colors.ButtonFace);
  panel->DestroyHandle();
  EXPECT_EQ(destroys, 1);
  EXPECT_EQ(painter->State(), skin::kPainterDestroyed);
  EXPECT_EQ(panel->Color(), 0x123456);
}

// A control freed by its own handling of a message (a click whose handler frees it) frees its painter
// meanwhile: the painter's handling ends there.
TEST_F(PainterBase, APainterFreedByItsControlsHandlingTouchesNothingAfterwards) {
  constexpr UINT kFreeYourself = WM_APP + 7;
  cl::TMessageLink freer(button_->WindowProc, [this](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == kFreeYourself) {
      delete button_;
      button_ = nullptr;
      return;
    }
    next(m);
  });
  auto* painter = new TProbePainter(button_);
  int afters = 0;
  painter->Afters = &afters;
  painter->Counted = kFreeYourself;
  painter->Attach(nullptr, data_, false);
  button_->Perform(kFreeYourself);
  EXPECT_EQ(button_, nullptr);
  EXPECT_EQ(afters, 0);
}

TEST_F(PainterBase, ABareWindowIsSubclassedInItsTurnAndItsPaintDrawnWithItsOwnDC) {
  HWND wnd = CreateWindowExW(0, L"BUTTON", L"Bare", WS_CHILD | WS_VISIBLE, 10, 120, 90, 28, form_->Handle(),
                             nullptr, nullptr, nullptr);
  ASSERT_NE(wnd, nullptr);
  int seen = 0;
  cl::TWindowSubclass before(wnd, [&](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) ++seen;
    return cl::TWindowSubclass::CallPrevious(w, msg, wParam, lParam);
  });
  auto* painter = new TProbePainter(form_);
  painter->AttachHandle(wnd, data_, nullptr);
  cl::TWindowSubclass after(wnd, [](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    return cl::TWindowSubclass::CallPrevious(w, msg, wParam, lParam);
  });
  ASSERT_TRUE(PaintedOut(wnd));
  EXPECT_GE(painter->Draws, 1);
  RECT r{};
  GetWindowRect(wnd, &r);
  EXPECT_EQ(painter->LastRect.right, r.right - r.left);

  // Taken away between the two others: the chain stays whole.
  delete painter;
  const int drawn = seen;
  Invalidate(wnd);
  ASSERT_TRUE(PaintedOut(wnd));
  EXPECT_EQ(seen, drawn + 1);
  wchar_t text[16] = {};
  GetWindowTextW(wnd, text, 16);
  EXPECT_STREQ(text, L"Bare");
  DestroyWindow(wnd);
}

TEST(PainterProperties, MissingPropertiesGiveNothingAndOnlyOrdinalsAreWritten) {
  cl::RegisterStandardClasses();
  cl::TCheckBox box(nullptr);
  EXPECT_EQ(skin::GetOrdPropByName(&box, "NoSuchThing"), 0);
  EXPECT_EQ(skin::GetOrdPropByName(nullptr, "Tag"), 0);
  EXPECT_EQ(skin::GetEnumPropByName(&box, "NoSuchThing"), "");
  EXPECT_EQ(skin::GetStrPropByName(&box, "NoSuchThing"), "");
  EXPECT_EQ(skin::GetObjectPropByName(&box, "Font", cl::TPen::StaticClass()), nullptr);
  EXPECT_NE(skin::GetObjectPropByName(&box, "Font", cl::TFont::StaticClass()), nullptr);

  skin::SetPropByName(&box, "Checked", "True");
  EXPECT_EQ(skin::GetEnumPropByName(&box, "Checked"), "True");
  skin::SetPropByName(&box, "Tag", "42");
  EXPECT_EQ(skin::GetOrdPropByName(&box, "Tag"), 42);
  skin::SetPropByName(&box, "Tag", "4x2");  // not a number: left alone
  EXPECT_EQ(skin::GetOrdPropByName(&box, "Tag"), 42);
  skin::SetPropByName(&box, "Caption", "Changed");
  EXPECT_EQ(skin::GetStrPropByName(&box, "Caption"), "");
}

}  // namespace
