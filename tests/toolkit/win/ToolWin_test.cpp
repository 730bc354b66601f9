#include "ToolWin.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ForeignActivation.h"
#include "FormsTestSupport.h"
#include "ExtCtrls.h"
#include "FormReader.h"
#include "MessageLoop.h"
#include "SaRegister.h"
#include "StdClasses.h"
#include "StdCtrls.h"

namespace {

using formstest::AppTest;
using toolkit::TToolWin;

RECT ClientOnScreen(HWND wnd) {
  RECT r;
  GetClientRect(wnd, &r);
  MapWindowPoints(wnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class ToolWinTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    toolkit::RegisterToolkitClasses();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    cl::ReadRootComponent(form_,
                          "object frmHost: TForm\n"
                          "  Left = 100\n"
                          "  Top = 80\n"
                          "  Width = 500\n"
                          "  Height = 300\n"
                          "  object twEditor: TToolWin\n"
                          "    Left = 44\n"
                          "    Top = 10\n"
                          "    Caption = 'Calderine Editor'\n"
                          "    ClientAreaHeight = 232\n"
                          "    ClientAreaWidth = 473\n"
                          "    TabOrder = 1\n"
                          "    Visible = False\n"
                          "    object btnClose: TButton\n"
                          "      Left = 10\n"
                          "      Top = 10\n"
                          "      Width = 75\n"
                          "      Height = 25\n"
                          "      Caption = '&Close'\n"
                          "    end\n"
                          "  end\n"
                          "end\n");
    tw_ = cl::ComponentAs<TToolWin>(form_, "twEditor");
    // Tests beside this one take the activation now and then; those about activation switch this on.
    tw_->SetHideWhenInactive(false);
    form_->Show();
    SetActiveWindow(form_->Handle());
    Pump();
  }

  bool OnScreen() { return tw_->HandleAllocated() && IsWindowVisible(tw_->Handle()); }

  cl::TForm* form_ = nullptr;
  TToolWin* tw_ = nullptr;
};

TEST(ToolWin, NewWindowIsSmallAndWritesItsClientSize) {
  TToolWin tw(nullptr);
  EXPECT_EQ(tw.Width(), 32);
  EXPECT_EQ(tw.Height(), 32);
  EXPECT_EQ(tw.MinClientWidth(), 32);
  EXPECT_EQ(tw.MinClientHeight(), 32);
  // Defaults and the outer size stay out of a description; the client size always goes in.
  tw.SetName("twEditor");
  tw.SetBounds(44, 10, 32, 32);
  tw.SetClientAreaSize(473, 232);
  tw.SetCaption("Calderine Editor");
  tw.SetVisible(false);
  EXPECT_EQ(cl::WriteFormText(&tw),
            "object twEditor: TToolWin\n"
            "  Left = 44\n"
            "  Top = 10\n"
            "  Visible = False\n"
            "  TabOrder = -1\n"
            "  Caption = 'Calderine Editor'\n"
            "  ClientAreaHeight = 232\n"
            "  ClientAreaWidth = 473\n"
            "end\n");
}

TEST_F(ToolWinTest, FirstShowOpensAtTheFormsClientOriginWithTheClientSize) {
  ASSERT_TRUE(tw_->HandleAllocated());
  EXPECT_FALSE(OnScreen());
  const HWND wnd = tw_->Handle();
  EXPECT_EQ(GetWindow(wnd, GW_OWNER), form_->Handle());
  EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  const LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) && (style & WS_THICKFRAME));

  // The form moves before the window is first shown: the window goes where the form is now.
  form_->SetBounds(150, 120, 500, 300);
  int resizes = 0;
  tw_->OnResize = [&](cl::TObject*) { ++resizes; };
  tw_->Show();
  Pump();
  ASSERT_TRUE(OnScreen());
  const cl::TPoint origin = form_->ClientOrigin();
  RECT outer;
  GetWindowRect(wnd, &outer);
  EXPECT_EQ(outer.left, origin.X + 44);
  EXPECT_EQ(outer.top, origin.Y + 10);
  EXPECT_EQ(tw_->Left(), outer.left);
  const RECT client = ClientOnScreen(wnd);
  EXPECT_EQ(client.right - client.left, 473);
  EXPECT_EQ(client.bottom - client.top, 232);
  EXPECT_EQ(tw_->ClientAreaWidth(), 473);
  EXPECT_EQ(resizes, 0);
  EXPECT_EQ(GetWindowTextLengthW(wnd), 16);

  // Sizing reports every change; a hidden and shown again window keeps its place.
  tw_->SetClientAreaSize(300, 200);
  EXPECT_EQ(resizes, 1);
  EXPECT_EQ(tw_->ClientAreaWidth(), 300);
  EXPECT_EQ(tw_->ClientAreaHeight(), 200);
  tw_->SetLeft(outer.left + 5);
  EXPECT_EQ(resizes, 1);
  tw_->Hide();
  EXPECT_FALSE(OnScreen());
  tw_->Show();
  EXPECT_TRUE(OnScreen());
  GetWindowRect(wnd, &outer);
  EXPECT_EQ(outer.left, origin.X + 49);
}

TEST_F(ToolWinTest, AWindowOffTheScreenIsMovedOntoIt) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  form_->SetBounds(work.right - 100, work.bottom - 100, 300, 300);
  tw_->Show();
  Pump();
  RECT outer;
  GetWindowRect(tw_->Handle(), &outer);
  EXPECT_EQ(outer.right, work.right);
  EXPECT_EQ(outer.bottom, work.bottom);
}

TEST_F(ToolWinTest, ItAnswersTheSkinsQuerySoNoSkinTakesItForAWindowOfItsOwn) {
  EXPECT_EQ(SendMessageW(tw_->Handle(), 0x3504, 0, 0), 1);
  EXPECT_NE(SendMessageW(form_->Handle(), 0x3504, 0, 0), 1);
}

TEST_F(ToolWinTest, NeverSmallerThanTheMinimumClientSize) {
  tw_->Show();
  tw_->SetMinClientWidth(120);
  tw_->SetBounds(tw_->Left(), tw_->Top(), 10, 10);
  EXPECT_EQ(tw_->ClientAreaWidth(), 120);
  EXPECT_EQ(tw_->ClientAreaHeight(), 32);
  MINMAXINFO info{};
  SendMessageW(tw_->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x - 120, tw_->Width() - tw_->ClientWidth());
  EXPECT_EQ(info.ptMinTrackSize.y - 32, tw_->Height() - tw_->ClientHeight());
}

TEST_F(ToolWinTest, TheCloseButtonHidesUnlessRefused) {
  tw_->Show();
  ASSERT_TRUE(OnScreen());
  std::vector<std::string> calls;
  bool allow = false;
  tw_->OnCloseQuery = [&](cl::TObject*, bool& canClose) {
    calls.push_back("query");
    canClose = allow;
  };
  tw_->OnClose = [&](cl::TObject*) { calls.push_back("close"); };
  tw_->OnVisibleChanged = [&](cl::TObject*) { calls.push_back("visible"); };
  RECT outer;
  GetWindowRect(tw_->Handle(), &outer);
  const LPARAM at = MAKELPARAM(outer.right - 8, outer.top + 8);
  SendMessageW(tw_->Handle(), WM_SYSCOMMAND, SC_CLOSE, at);
  EXPECT_TRUE(tw_->Visible());
  EXPECT_TRUE(OnScreen());
  allow = true;
  SendMessageW(tw_->Handle(), WM_SYSCOMMAND, SC_CLOSE, at);
  EXPECT_FALSE(tw_->Visible());
  EXPECT_FALSE(OnScreen());
  EXPECT_EQ(calls, (std::vector<std::string>{"query", "query", "visible", "close"}));
  EXPECT_TRUE(IsWindow(tw_->Handle()));
  EXPECT_TRUE(IsWindowVisible(form_->Handle()));
}

TEST_F(ToolWinTest, FollowsTheApplicationsActivationAndItsForm) {
  tw_->SetHideWhenInactive(true);
  tw_->Show();
  SetForegroundWindow(form_->Handle());  // a test beside this one may have taken it
  ASSERT_TRUE(hktest::PumpUntil([&] { return OnScreen(); }));
  // Another application became active: every top-level window of ours is told.
  SendMessageW(tw_->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_FALSE(OnScreen());
  EXPECT_TRUE(tw_->Visible());
  SendMessageW(tw_->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_TRUE(OnScreen());
  // With HideWhenInactive off it stays.
  tw_->SetHideWhenInactive(false);
  SendMessageW(tw_->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_TRUE(OnScreen());
  SendMessageW(tw_->Handle(), WM_ACTIVATEAPP, TRUE, 0);

  // The form hidden and shown again.
  form_->Hide();
  EXPECT_FALSE(OnScreen());
  form_->Show();
  SetActiveWindow(form_->Handle());
  Pump();
  EXPECT_TRUE(OnScreen());
}

TEST_F(ToolWinTest, HidesWhileAnotherThreadsWindowIsActive) {
  tw_->SetHideWhenInactive(true);
  tw_->Show();
  SetForegroundWindow(form_->Handle());  // a test beside this one may have taken it
  ASSERT_TRUE(hktest::PumpUntil([&] { return OnScreen(); }));
  // A window of another thread takes the activation, as another program's would.
  {
    const hktest::TForeignActiveWindow other;
    EXPECT_TRUE(hktest::PumpUntil([&] { return !OnScreen(); }));
    EXPECT_TRUE(tw_->Visible());
  }
  SetForegroundWindow(form_->Handle());
  EXPECT_TRUE(hktest::PumpUntil([&] { return OnScreen(); }));
}

TEST_F(ToolWinTest, AHiddenActiveWindowHandsTheActivationToItsForm) {
  tw_->Show();
  ASSERT_TRUE(OnScreen());
  auto* button = cl::ComponentAs<cl::TButton>(form_, "btnClose");
  SetActiveWindow(tw_->Handle());
  ::SetFocus(button->Handle());
  ASSERT_EQ(GetActiveWindow(), tw_->Handle());
  tw_->Hide();
  EXPECT_EQ(GetActiveWindow(), form_->Handle());
  // The form does not give the focus back to the hidden window's control.
  EXPECT_NE(GetFocus(), button->Handle());
}

TEST_F(ToolWinTest, OnlyAFormCanBeTheParent) {
  cl::TPanel panel(form_);
  panel.SetParent(form_);
  EXPECT_THROW(tw_->SetParent(&panel), cl::EInvalidOperation);
  EXPECT_EQ(tw_->Parent(), form_);
}

}  // namespace
