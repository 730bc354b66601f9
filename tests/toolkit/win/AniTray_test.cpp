#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "FormsTestSupport.h"
#include "FileUtil.h"
#include "FormReader.h"
#include "MessageLoop.h"
#include "SaAniTray.h"
#include "SaIconsData.h"
#include "SaRegister.h"
#include "SaTmrPool.h"
#include "StdClasses.h"
#include "TestSupport.h"
#include "TrayProbe.h"

namespace {

using toolkit::TSaAnimatedTrayIcon;
using Strings = std::vector<std::string>;
using Msgs = std::vector<DWORD>;

struct TShellCall {
  DWORD Message;
  NOTIFYICONDATAW Data;
};

// Records what would go to the shell instead of sending it, with a taskbar that can be switched off.
class TRecordingTray : public TSaAnimatedTrayIcon {
  CL_PLAIN_CLASS(TRecordingTray, TSaAnimatedTrayIcon)
  explicit TRecordingTray(cl::TComponent* owner) : TSaAnimatedTrayIcon(owner) {}
  std::shared_ptr<std::vector<TShellCall>> Calls = std::make_shared<std::vector<TShellCall>>();  // outlives it
  bool Taskbar = true;
  bool Accept = true;     // every request
  bool AcceptAdd = true;  // NIM_ADD
  Msgs Messages() const {
    Msgs m;
    for (const TShellCall& c : *Calls) m.push_back(c.Message);
    return m;
  }
  const NOTIFYICONDATAW& Last() const { return Calls->back().Data; }
  std::wstring LastTip() const { return Last().szTip; }

 protected:
  bool ShellNotify(DWORD message, NOTIFYICONDATAW& data) override {
    Calls->push_back({message, data});
    return Accept && (AcceptAdd || message != NIM_ADD);
  }
  bool TaskbarExists() override { return Taskbar; }
};

// The form that carries the tray icon; it records the message that follows a popup.
class TfrmTrayTest : public cl::TForm {
  CL_CLASS(TfrmTrayTest, cl::TForm)
  explicit TfrmTrayTest(cl::TComponent* owner) : TForm(owner) {}
  void Dispatch(cl::TMessage& m) override {
    if (m.Msg == WM_USER) ++UserMessages;
    inherited::Dispatch(m);
  }
  void mnuEditHotkeysClick(cl::TObject*) { Log.push_back("dblclick"); }
  void atiHotkeysEndAnimation(cl::TObject*) { Log.push_back("end"); }
  int UserMessages = 0;
  Strings Log;
};
CL_BEGIN_CLASS(TfrmTrayTest)
    .Method("mnuEditHotkeysClick", &TfrmTrayTest::mnuEditHotkeysClick)
    .Method("atiHotkeysEndAnimation", &TfrmTrayTest::atiHotkeysEndAnimation)
CL_END_CLASS

class AniTray : public formstest::AppTest {
 protected:
  // What the shell sends for a mouse action on the icon.
  static void Mouse(TSaAnimatedTrayIcon* tray, std::initializer_list<UINT> messages, WPARAM id = 0) {
    static const UINT callback = RegisterWindowMessageW(L"TSaAnimatedTrayIconCallBackMsg");
    for (UINT m : messages) SendMessageW(tray->Handle(), callback, id, static_cast<LPARAM>(m));
  }
  // Logs every event of the tray as words.
  void Watch(TSaAnimatedTrayIcon* tray) {
    static const char* const buttons[] = {"L", "R", "M"};
    tray->OnClick = [this](cl::TObject*) { log_.push_back("click"); };
    tray->OnDblClick = [this](cl::TObject*) { log_.push_back("dblclick"); };
    tray->OnMouseMove = [this](cl::TObject*) { log_.push_back("move"); };
    tray->OnEndAnimation = [this](cl::TObject*) { log_.push_back("end"); };
    tray->OnMouseDown = [this](cl::TObject*, cl::TMouseButton b, cl::TShiftState s) {
      log_.push_back(std::string("down ") + buttons[b] + (s.Contains(cl::ssDouble) ? " double" : ""));
    };
    tray->OnMouseUp = [this](cl::TObject*, cl::TMouseButton b, cl::TShiftState) {
      log_.push_back(std::string("up ") + buttons[b]);
    };
  }
  // Two frames, each shown displayTime hundredths of a second.
  static void AddFrames(TSaAnimatedTrayIcon* tray, int displayTime = 1) {
    for (int i = 0; i < 2; ++i) {
      auto* f = tray->Animation()->AppendFrame();
      f->SetHandle(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
      f->SetDisplayTime(displayTime);
    }
  }
  static HICON Frame(TSaAnimatedTrayIcon* tray, int i) { return tray->Animation()->Icons(i)->Handle(); }

  Strings log_;
};

TEST_F(AniTray, AddsOnceWithItsRecordSendsTipsAndIconsAndRemovesIt) {
  auto* tray = new TRecordingTray(app_.get());
  tray->SetHint("Calderine");
  tray->SetActive(true);
  tray->SetActive(true);
  ASSERT_EQ(tray->Messages(), Msgs{NIM_ADD});
  const NOTIFYICONDATAW& d = tray->Last();
  EXPECT_EQ(d.cbSize, offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(WCHAR));
  EXPECT_EQ(d.hWnd, tray->Handle());
  EXPECT_EQ(d.uID, 0u);
  EXPECT_EQ(d.uFlags, 7u);
  EXPECT_EQ(d.uCallbackMessage, RegisterWindowMessageW(L"TSaAnimatedTrayIconCallBackMsg"));
  EXPECT_EQ(d.hIcon, tray->Icon()->Handle());
  EXPECT_EQ(tray->LastTip(), L"Calderine");

  // Tips: at most 63 UTF-16 units, never half a pair; empty without ShowHint.
  tray->SetHint(std::string(100, 'x'));
  EXPECT_EQ(tray->Calls->back().Message, DWORD{NIM_MODIFY});
  EXPECT_EQ(tray->Last().uFlags, UINT{NIF_TIP});
  EXPECT_EQ(tray->LastTip(), std::wstring(63, L'x'));
  tray->SetHint(std::string(62, 'y') + testsupport::Utf8(u8"\U0001F600"));
  EXPECT_EQ(tray->LastTip(), std::wstring(62, L'y'));
  tray->SetShowHint(false);
  EXPECT_EQ(tray->LastTip(), L"");

  // Icons: a copy of the one given; an empty one falls back to "TRAYICON" at 16x16.
  cl::TIcon given, empty;
  given.SetHandle(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
  tray->SetIcon(&given);
  EXPECT_EQ(tray->Last().uFlags, UINT{NIF_ICON});
  EXPECT_EQ(tray->Last().hIcon, tray->Icon()->Handle());
  EXPECT_NE(tray->Icon()->Handle(), given.Handle());
  tray->SetIcon(&empty);
  EXPECT_EQ(tray->Icon()->Width(), 16);
  EXPECT_EQ(tray->Last().hIcon, tray->Icon()->Handle());
  HICON fallback = TSaAnimatedTrayIcon::DefaultIcon();
  ASSERT_NE(fallback, nullptr);
  DestroyIcon(fallback);

  tray->SetActive(false);
  EXPECT_EQ(tray->Calls->back().Message, DWORD{NIM_DELETE});
  const size_t calls = tray->Calls->size();
  tray->SetHint("quiet");  // nothing reaches the shell while inactive
  EXPECT_EQ(tray->Calls->size(), calls);
  // Freed while in the tray: the icon goes with it.
  tray->SetActive(true);
  auto log = tray->Calls;
  delete tray;
  EXPECT_EQ(log->back().Message, DWORD{NIM_DELETE});

  const LONG style = GetWindowLongW(app_->Handle(), GWL_EXSTYLE);
  (new TSaAnimatedTrayIcon(app_.get()))->HideAppButton();
  EXPECT_EQ(GetWindowLongW(app_->Handle(), GWL_EXSTYLE), style | WS_EX_TOOLWINDOW);
}

TEST_F(AniTray, WithoutATaskbarRetriesLaterAndANewTaskbarGetsTheIconAgain) {
  auto* tray = new TRecordingTray(app_.get());
  tray->Taskbar = false;
  const ULONGLONG start = GetTickCount64();
  tray->SetActive(true);
  EXPECT_LT(GetTickCount64() - start, 500u);  // no waiting
  EXPECT_TRUE(tray->Calls->empty());
  tray->SetHint("later");
  tray->Taskbar = true;
  ASSERT_TRUE(hktest::PumpUntil([&] { return tray->InTray(); }, 5000));  // the retry timer
  ASSERT_EQ(tray->Messages(), Msgs{NIM_ADD});
  EXPECT_EQ(tray->LastTip(), L"later");

  // A taskbar that refuses is asked again (and asked whether it holds the icon already).
  tray->SetActive(false);
  tray->Calls->clear();
  tray->Accept = false;
  tray->SetActive(true);
  EXPECT_EQ(tray->Messages(), (Msgs{NIM_ADD, NIM_MODIFY}));
  tray->Accept = true;
  // A new taskbar announces itself (posted, like the broadcast): the icon is added at once, and again.
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  PostMessageW(tray->Handle(), taskbarCreated, 0, 0);
  ASSERT_TRUE(hktest::PumpUntil([&] { return tray->InTray(); }, 1000));
  SendMessageW(tray->Handle(), taskbarCreated, 0, 0);
  EXPECT_EQ(tray->Messages(), (Msgs{NIM_ADD, NIM_MODIFY, NIM_ADD, NIM_ADD}));
  EXPECT_EQ(tray->Last().uFlags, 7u);
  EXPECT_EQ(tray->LastTip(), L"later");
  tray->AcceptAdd = false;  // a shell that still holds it refuses it, but takes a modification
  SendMessageW(tray->Handle(), taskbarCreated, 0, 0);
  EXPECT_EQ(tray->Messages(), (Msgs{NIM_ADD, NIM_MODIFY, NIM_ADD, NIM_ADD, NIM_ADD, NIM_MODIFY}));
  EXPECT_TRUE(tray->InTray());
  tray->AcceptAdd = true;
  hktest::RunLoop(2500);  // the retry ended with it
  EXPECT_EQ(tray->Calls->size(), 6u);

  // While it plays, the frame shown last goes back.
  AddFrames(tray, 100);
  tray->SetStyle(toolkit::tsAnimated);
  SendMessageW(tray->Handle(), taskbarCreated, 0, 0);
  EXPECT_EQ(tray->Calls->back().Message, DWORD{NIM_ADD});
  EXPECT_EQ(tray->Last().hIcon, Frame(tray, 0));
  tray->SetActive(false);
  SendMessageW(tray->Handle(), taskbarCreated, 0, 0);  // inactive: nothing
  EXPECT_EQ(tray->Calls->back().Message, DWORD{NIM_DELETE});
}

TEST_F(AniTray, TurnsMouseNotificationsIntoEventsAndOpensTheMenu) {
  auto* form = cl::NewForm<TfrmTrayTest>(app_.get());
  auto* tray = new TRecordingTray(form);
  Watch(tray);
  Mouse(tray, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
  EXPECT_EQ(log_, (Strings{"down L", "click", "up L", "dblclick", "down L double", "up L"}));
  log_.clear();
  Mouse(tray, {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE, WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, WM_RBUTTONDBLCLK,
               WM_KEYDOWN});
  Mouse(tray, {WM_LBUTTONDOWN}, 1);  // another icon's id
  EXPECT_EQ(log_, (Strings{"down R", "up R", "move", "down M", "down M double", "down R double"}));
  EXPECT_EQ(form->UserMessages, 0);

  // With a menu: it opens after the button event; the owner form hears of it afterwards.
  auto* menu = new cl::TPopupMenu(form);
  auto* item = new cl::TMenuItem(menu);
  item->SetCaption("Exit");
  menu->Items()->Add(item);
  int popups = 0;
  menu->OnPopup = [&](cl::TObject*) {
    ++popups;
    timers_.After(50, [] { EndMenu(); });
  };
  timers_.Timeout(5000);
  tray->SetPopupMenu(menu);
  log_.clear();
  Mouse(tray, {WM_RBUTTONDOWN});
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(log_, Strings{"down R"});
  EXPECT_TRUE(hktest::PumpUntil([&] { return form->UserMessages == 1; }, 2000));
  // Owned by something other than a form: the menu opens and nothing is posted.
  auto* loose = new TRecordingTray(app_.get());
  loose->SetPopupMenu(menu);
  Mouse(loose, {WM_RBUTTONDOWN});
  EXPECT_EQ(popups, 2);
  hktest::RunLoop(100);
  EXPECT_EQ(form->UserMessages, 1);
  EXPECT_TRUE(errors_.empty());
  delete menu;
  EXPECT_EQ(loose->PopupMenu(), nullptr);
}

TEST_F(AniTray, PlaysTheSetPassesEndsOnceAndStopsWhenTheStyleReturns) {
  auto* tray = new TRecordingTray(app_.get());
  Watch(tray);
  tray->SetActive(true);
  tray->SetStyle(toolkit::tsAnimated);  // nothing to play: the icon
  EXPECT_EQ(tray->Last().hIcon, tray->Icon()->Handle());
  EXPECT_FALSE(tray->Animation()->Playing());
  tray->SetStyle(toolkit::tsNormal);

  AddFrames(tray);
  tray->SetRepeatCount(1);
  tray->Calls->clear();
  tray->SetStyle(toolkit::tsAnimated);
  ASSERT_TRUE(hktest::PumpUntil([&] { return !log_.empty(); }, 3000));
  hktest::RunLoop(150);
  EXPECT_EQ(log_, Strings{"end"});
  std::vector<HICON> icons;  // frame 0 at the start, then the next as each frame's time passes: once each
  for (const TShellCall& c : *tray->Calls) icons.push_back(c.Data.hIcon);
  EXPECT_EQ(icons, (std::vector<HICON>{Frame(tray, 0), Frame(tray, 1)}));
  tray->SetStyle(toolkit::tsNormal);
  EXPECT_EQ(tray->Last().hIcon, tray->Icon()->Handle());

  // Endless: more than two passes and no end of its own.
  log_.clear();
  tray->SetRepeatCount(0);
  tray->SetStyle(toolkit::tsAnimated);
  EXPECT_TRUE(hktest::PumpUntil([&] { return tray->Calls->size() > 10; }, 5000));
  EXPECT_TRUE(tray->Animation()->Playing());
  tray->SetStyle(toolkit::tsNormal);
  EXPECT_FALSE(tray->Animation()->Playing());
  EXPECT_TRUE(log_.empty());

  // With a pass limit, tsNormal during a pass stops it and ends it once; tsAnimated again changes nothing.
  tray->Animation()->Icons(0)->SetDisplayTime(100);
  tray->SetRepeatCount(2);
  tray->SetStyle(toolkit::tsAnimated);
  const size_t calls = tray->Calls->size();
  tray->SetStyle(toolkit::tsAnimated);
  EXPECT_EQ(tray->Calls->size(), calls);
  tray->SetStyle(toolkit::tsNormal);
  EXPECT_EQ(log_, Strings{"end"});
  // A new icon while animated restarts the play from frame 0 and sends no static icon.
  tray->SetStyle(toolkit::tsAnimated);
  cl::TIcon given;
  given.SetHandle(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
  tray->SetIcon(&given);
  EXPECT_EQ(tray->Last().hIcon, Frame(tray, 0));

  // Freed while it plays and while a retry is due: nothing reaches it afterwards.
  const int entries = toolkit::TimerPool().Count();
  tray->Taskbar = false;
  tray->SetActive(false);
  tray->SetActive(true);
  log_.clear();
  const HWND wnd = tray->Handle();
  delete tray;
  EXPECT_EQ(toolkit::TimerPool().Count(), entries - 1);
  EXPECT_FALSE(IsWindow(wnd));
  hktest::RunLoop(200);
  EXPECT_TRUE(log_.empty());
  EXPECT_TRUE(errors_.empty());
}

TEST_F(AniTray, ReadsItsIconAndAnimationFromADescription) {
  toolkit::RegisterToolkitClasses();
  toolkit::RegisterToolkitClasses();
  for (const char* name : {"TSaAnimatedTrayIcon", "TSaSysHotKey", "TSaAnimatedIconPlayer"})
    EXPECT_NE(cl::GetClass(name), nullptr) << name;
  cl::RegisterStandardClasses();
  cl::RegisterClasses({TRecordingTray::StaticClass()});

  const std::string ico = cl::ReadFileBytes(testsupport::DataDir("graphics") + "two-sizes.ico");
  toolkit::TIconsData frames;
  frames.Frames = {{10, ico}, {11, ico}};
  cl::TMemoryStream block;
  toolkit::WriteIconsData(block, frames);
  auto hex = [](const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) out += "0123456789ABCDEF"[c >> 4], out += "0123456789ABCDEF"[c & 15];
    return out;
  };
  const std::string text =
      "object frmTrayTest: TfrmTrayTest\n  object atiHotkeys: TRecordingTray\n    Active = True\n"
      "    Icon.Data = {" + hex(ico) + "}\n    Animation.Icons = {" +
      hex(std::string(static_cast<const char*>(block.Memory()), static_cast<size_t>(block.Size()))) +
      "}\n    Hint = 'Calderine'\n    PopupMenu = ppmTrayMenu\n    RepeatCount = 1\n"
      "    OnDblClick = mnuEditHotkeysClick\n    OnEndAnimation = atiHotkeysEndAnimation\n  end\n"
      "  object ppmTrayMenu: TPopupMenu\n  end\nend\n";
  auto* form = new TfrmTrayTest(app_.get());
  cl::ReadRootComponent(form, text);
  auto* tray = cl::ComponentAs<TRecordingTray>(form, "atiHotkeys");
  EXPECT_EQ(tray->PopupMenu(), cl::ComponentAs<cl::TPopupMenu>(form, "ppmTrayMenu"));
  EXPECT_EQ(tray->Icon()->Width(), 16);  // the 16x16 image of the file
  ASSERT_EQ(tray->Animation()->Count(), 2);
  EXPECT_EQ(tray->Animation()->Icons(1)->DisplayTime(), 11);
  // Added once, after loading, with what the description set.
  ASSERT_EQ(tray->Messages(), Msgs{NIM_ADD});
  EXPECT_EQ(tray->LastTip(), L"Calderine");
  EXPECT_EQ(tray->Last().hIcon, tray->Icon()->Handle());
  Mouse(tray, {WM_LBUTTONDBLCLK});
  tray->SetStyle(toolkit::tsAnimated);
  ASSERT_TRUE(hktest::PumpUntil([&] { return form->Log.size() == 2; }, 3000));
  EXPECT_EQ(form->Log, (Strings{"dblclick", "end"}));

  // Written back as read; a fresh tray icon does not store its default icon.
  const std::string written = cl::WriteFormText(form);
  EXPECT_NE(written.find("Icon.Data = {"), std::string::npos);
  EXPECT_NE(written.find(hex(ico).substr(0, 64)), std::string::npos);
  auto* fresh = new TfrmTrayTest(app_.get());
  new TSaAnimatedTrayIcon(fresh);
  EXPECT_EQ(cl::WriteFormText(fresh).find("Icon.Data"), std::string::npos);
}

TEST_F(AniTray, ReallyPutsTheIconIntoTheShellsTrayAndTakesItOut) {
  if (!FindWindowW(L"Shell_TrayWnd", nullptr)) GTEST_SKIP() << "no taskbar";
  auto* tray = new TSaAnimatedTrayIcon(app_.get());
  tray->SetActive(true);
  EXPECT_TRUE(tray->InTray());
  EXPECT_TRUE(hktest::WindowHasTrayIcon(tray->Handle()));
  tray->SetActive(false);
  EXPECT_FALSE(hktest::WindowHasTrayIcon(tray->Handle()));
  tray->SetActive(true);
  const HWND wnd = tray->Handle();
  delete tray;
  EXPECT_FALSE(hktest::WindowHasTrayIcon(wnd));
}

}  // namespace
