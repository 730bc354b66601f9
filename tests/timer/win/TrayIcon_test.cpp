// The tray icon component: the shell's record, the callback message, the hooks.
#include <gtest/gtest.h>

#include "FormsTestSupport.h"
#include "TimerTrayIcon.h"
#include "TrayProbe.h"
#include "WindowSubclass.h"

namespace {

using pellwick::TTimerTrayIcon;

class TimerTrayIconTest : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form = new cl::TForm(app_.get());
    form->AfterConstruction();
    tray = new TTimerTrayIcon(form);
    // The shell takes no icon without a picture.
    cl::TIcon icon;
    icon.SetHandle(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
    tray->SetIcon(&icon);
    tray->OnClick = [this](cl::TObject*) { events += "click "; };
    tray->OnDblClick = [this](cl::TObject*) { events += "dbl "; };
    tray->OnMouseDown = [this](cl::TObject*, cl::TMouseButton b, cl::TShiftState, int, int) {
      events += "down" + std::to_string(b) + " ";
    };
    tray->OnMouseUp = [this](cl::TObject*, cl::TMouseButton b, cl::TShiftState, int, int) {
      events += "up" + std::to_string(b) + " ";
    };
  }
  void Mouse(UINT msg) { SendMessageW(tray->WindowHandle(), TTimerTrayIcon::CallbackMessage, 1, msg); }

  cl::TForm* form = nullptr;
  TTimerTrayIcon* tray = nullptr;
  std::string events;
};

TEST_F(TimerTrayIconTest, IconComesAndGoesWithIconVisible) {
  EXPECT_TRUE(tray->IconVisible());
  tray->SetIconVisible(true);
  EXPECT_TRUE(hktest::WindowHasTrayIcon(tray->WindowHandle(), 1));
  tray->SetIconVisible(false);
  EXPECT_FALSE(hktest::WindowHasTrayIcon(tray->WindowHandle(), 1));
  tray->SetIconVisible(true);
  HWND window = tray->WindowHandle();
  EXPECT_TRUE(hktest::WindowHasTrayIcon(window, 1));
  delete tray;
  tray = nullptr;
  EXPECT_FALSE(hktest::WindowHasTrayIcon(window, 1));
}

TEST_F(TimerTrayIconTest, TipIsCutToTheBufferAndHiddenWithoutShowHint) {
  const NOTIFYICONDATAW& data = tray->IconData();
  EXPECT_EQ(data.uID, 1u);
  EXPECT_EQ(data.uCallbackMessage, 0x800u);
  EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  tray->SetHint(std::string(300, 'x'));
  EXPECT_EQ(std::wstring(data.szTip), std::wstring(std::size(data.szTip) - 1, L'x'));
  tray->SetHint("Executing Task");
  EXPECT_EQ(std::wstring(data.szTip), L"Executing Task");
  tray->SetShowHint(false);
  EXPECT_EQ(data.szTip[0], L'\0');
}

TEST_F(TimerTrayIconTest, MouseMessagesBecomeEventsWhileEnabled) {
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  Mouse(WM_LBUTTONDBLCLK);
  Mouse(WM_LBUTTONUP);
  EXPECT_EQ(events, "down0 click up0 dbl up0 ");
  events.clear();
  Mouse(WM_MBUTTONDOWN);
  Mouse(WM_MBUTTONUP);
  EXPECT_EQ(events, "down2 up2 ");
  events.clear();
  tray->SetEnabled(false);
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  EXPECT_EQ(events, "");
  EXPECT_EQ(SendMessageW(tray->WindowHandle(), WM_QUERYENDSESSION, 0, 0), 1);
}

TEST_F(TimerTrayIconTest, EmptyIconListCountsAsNoList) {
  auto* list = new cl::TImageList(form);
  tray->SetIconList(list);
  tray->SetIconIndex(3);
  EXPECT_EQ(tray->IconIndex(), 0);
  delete list;
  EXPECT_EQ(tray->IconList(), nullptr);
}

TEST_F(TimerTrayIconTest, UnhookingInAnyOrderLeavesTheFormWorking) {
  int seen = 0;
  HWND wnd = form->Handle();
  cl::TWindowSubclass other(wnd, [&](HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SETTEXT) ++seen;
    return cl::TWindowSubclass::CallPrevious(w, m, wp, lp);
  });
  delete tray;  // the earlier hook goes first
  tray = nullptr;
  form->SetCaption("still here");
  EXPECT_EQ(seen, 1);
  wchar_t text[32] = {};
  GetWindowTextW(wnd, text, 32);
  EXPECT_STREQ(text, L"still here");
}

}  // namespace
