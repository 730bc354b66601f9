// What the dock and the tool window take from the class library's controls under Wine: the popup menu on
// a right click or the context-menu message (which must not start the tool window's own drag), hints
// taken from the parent as a bar moves between dock and floating, and the drag events of something
// dragged over docked and floating bars.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "FormReader.h"
#include "FormsTestSupport.h"
#include "MessageLoop.h"
#include "RecordingPopup.h"
#include "StdClasses.h"
#include "ToolDock.h"

namespace {

using formstest::TRecordingPopup;
using toolkit::dock::TToolDock;
using toolkit::dock::TToolWin;

// Records what the drag events of its bars tell, one line each: "<bar> <event> <x>,<y>".
class TBarsForm : public cl::TForm {
  CL_CLASS(TBarsForm, cl::TForm)
  using TForm::TForm;
  void BarDragOver(cl::TObject* sender, cl::TObject* source, int x, int y, cl::TDragState state, bool& accept) {
    static const char* const kStates[] = {"enter", "leave", "move"};
    Record(sender, source, kStates[state], x, y);
    accept = true;
  }
  void BarDragDrop(cl::TObject* sender, cl::TObject* source, int x, int y) { Record(sender, source, "drop", x, y); }
  std::vector<std::string> heard;

 private:
  void Record(cl::TObject* sender, cl::TObject* source, const char* what, int x, int y) {
    const auto* from = dynamic_cast<cl::TComponent*>(source);
    heard.push_back(static_cast<cl::TComponent*>(sender)->Name() + " " + what + " " + std::to_string(x) + "," +
                    std::to_string(y) + (from ? " from " + from->Name() : ""));
  }
};

CL_BEGIN_CLASS(TBarsForm)
    .Method("BarDragOver", &TBarsForm::BarDragOver)
    .Method("BarDragDrop", &TBarsForm::BarDragDrop)
CL_END_CLASS

constexpr const char* kForm =
    "object frmBars: TBarsForm\n"
    "  Left = 60\n"
    "  Top = 40\n"
    "  Width = 500\n"
    "  Height = 300\n"
    "  ShowHint = True\n"
    "  object ppmDock: TRecordingPopup\n"
    "  end\n"
    "  object ppmBar: TRecordingPopup\n"
    "  end\n"
    "  object dkTop: TToolDock\n"
    "    PopupMenu = ppmDock\n"
    "    object twDocked: TToolWin\n"
    "      ClientAreaHeight = 20\n"
    "      ClientAreaWidth = 60\n"
    "      HideWhenInactive = False\n"
    "      PopupMenu = ppmBar\n"
    "      OnDragDrop = BarDragDrop\n"
    "      OnDragOver = BarDragOver\n"
    "    end\n"
    "    object twPlain: TToolWin\n"
    "      ClientAreaHeight = 20\n"
    "      ClientAreaWidth = 60\n"
    "      DockPos = 100\n"
    "      HideWhenInactive = False\n"
    "    end\n"
    "  end\n"
    "  object twFloating: TToolWin\n"
    "    Left = 520\n"
    "    Top = 20\n"
    "    ClientAreaHeight = 60\n"
    "    ClientAreaWidth = 100\n"
    "    HideWhenInactive = False\n"
    "    ParentShowHint = False\n"
    "    PopupMenu = ppmBar\n"
    "    OnDragDrop = BarDragDrop\n"
    "    OnDragOver = BarDragOver\n"
    "  end\n"
    "  object pnlSource: TPanel\n"
    "    Left = 150\n"
    "    Top = 150\n"
    "    Width = 60\n"
    "    Height = 40\n"
    "  end\n"
    "end\n";

RECT WindowRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

POINT ToScreen(HWND wnd, POINT p) {
  ClientToScreen(wnd, &p);
  return p;
}

class ToolDockInherited : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    cl::RegisterClasses({TToolWin::StaticClass(), TToolDock::StaticClass(), TRecordingPopup::StaticClass()});
    form_ = cl::NewForm<TBarsForm>(app_.get());
    cl::ReadRootComponent(form_, kForm);
    dock_ = cl::ComponentAs<TToolDock>(form_, "dkTop");
    docked_ = cl::ComponentAs<TToolWin>(form_, "twDocked");
    plain_ = cl::ComponentAs<TToolWin>(form_, "twPlain");
    floating_ = cl::ComponentAs<TToolWin>(form_, "twFloating");
    dockMenu_ = cl::ComponentAs<TRecordingPopup>(form_, "ppmDock");
    barMenu_ = cl::ComponentAs<TRecordingPopup>(form_, "ppmBar");
    form_->Show();
    SetActiveWindow(form_->Handle());
    Pump();
  }

  // A right click at a client point of the window (outside its client area where the frame answers as
  // client area), as the system delivers it. A drag loop started by mistake would wait for a left button
  // that never comes: it is ended, and the test fails.
  void RightClick(HWND wnd, POINT client) {
    timers_.After(1000, [] {
      if (!GetCapture()) return;
      ADD_FAILURE() << "a loop holds the mouse";
      ReleaseCapture();
    });
    const LPARAM at = MAKELPARAM(client.x, client.y);
    SendMessageW(wnd, WM_RBUTTONDOWN, MK_RBUTTON, at);
    SendMessageW(wnd, WM_RBUTTONUP, 0, at);
  }

  TBarsForm* form_ = nullptr;
  TToolDock* dock_ = nullptr;
  TToolWin* docked_ = nullptr;
  TToolWin* plain_ = nullptr;
  TToolWin* floating_ = nullptr;
  TRecordingPopup* dockMenu_ = nullptr;
  TRecordingPopup* barMenu_ = nullptr;
};

TEST_F(ToolDockInherited, ADescriptionNamesThemOnDockAndBarsAndHintsFollowTheParentFromPlaceToPlace) {
  EXPECT_EQ(dock_->PopupMenu(), dockMenu_);
  EXPECT_EQ(docked_->PopupMenu(), barMenu_);
  EXPECT_EQ(floating_->PopupMenu(), barMenu_);
  EXPECT_EQ(plain_->PopupMenu(), nullptr);
  EXPECT_TRUE(static_cast<bool>(docked_->OnDragOver) && static_cast<bool>(docked_->OnDragDrop));
  EXPECT_TRUE(static_cast<bool>(floating_->OnDragOver) && static_cast<bool>(floating_->OnDragDrop));
  EXPECT_EQ(docked_->DockedTo(), dock_);
  EXPECT_FALSE(floating_->IsDocked());

  // The docked bars follow the dock, the dock the form; the floating bar that does not follow keeps its own.
  EXPECT_TRUE(docked_->ParentShowHint());
  EXPECT_FALSE(floating_->ParentShowHint());
  form_->SetShowHint(false);
  EXPECT_FALSE(dock_->ShowHint());
  EXPECT_FALSE(docked_->ShowHint());
  EXPECT_FALSE(plain_->ShowHint());
  EXPECT_TRUE(floating_->ShowHint());
  // Floating, a bar takes the hints of its carrier, which shows them; back on the dock, the dock's again.
  docked_->SetDockedTo(nullptr);
  EXPECT_TRUE(docked_->ShowHint());
  docked_->SetDockedTo(dock_);
  EXPECT_FALSE(docked_->ShowHint());
  form_->SetShowHint(true);
  EXPECT_TRUE(docked_->ShowHint());

  // Written back: what the description set, and no hints where they are taken from the parent.
  const std::string text = cl::WriteFormText(form_);
  for (const char* line : {"\n    PopupMenu = ppmDock\n", "\n      PopupMenu = ppmBar\n      OnDragDrop = BarDragDrop\n"
                           "      OnDragOver = BarDragOver\n", "\n    ShowHint = True\n    ParentShowHint = False\n",
                           "\n    PopupMenu = ppmBar\n    OnDragDrop = BarDragDrop\n    OnDragOver = BarDragOver\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
  EXPECT_EQ(text.find("ShowHint", text.find("object dkTop")), text.find("ShowHint = True\n    ParentShowHint"))
      << text;
  // Nor their colour, which is their own by default.
  EXPECT_EQ(text.find("Color", text.find("object dkTop")), std::string::npos) << text;
  EXPECT_TRUE(errors_.empty()) << testing::PrintToString(errors_);
}

TEST_F(ToolDockInherited, ARightClickOnABarOrTheDockOpensItsPopupMenuAndDragsNothing) {
  floating_->Show();
  Pump();
  std::vector<std::string> pressed;
  floating_->OnMouseDown = [&](cl::TObject*, cl::TMouseButton button, cl::TShiftState, int, int) {
    pressed.push_back(button == cl::mbRight ? "right" : "other");
  };
  // A right click at a screen point of a bar's frame, which answers as client area: the bar's menu opens
  // there, and the bar neither moves nor holds the mouse.
  const auto onTheFrame = [&](TToolWin* bar, POINT screen) {
    const HWND wnd = bar->Handle();
    const RECT before = WindowRect(wnd);
    ASSERT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)), HTCLIENT);
    POINT client = screen;
    ScreenToClient(wnd, &client);
    ASSERT_TRUE(client.x < 0 || client.y < 0);
    const size_t opened = barMenu_->opened.size();
    RightClick(wnd, client);
    ASSERT_EQ(barMenu_->opened.size(), opened + 1);
    EXPECT_EQ(barMenu_->opened.back().x, screen.x);
    EXPECT_EQ(barMenu_->opened.back().y, screen.y);
    EXPECT_EQ(barMenu_->PopupComponent(), bar);
    EXPECT_EQ(GetCapture(), nullptr);
    Pump();
    const RECT after = WindowRect(wnd);
    EXPECT_TRUE(EqualRect(&before, &after));
  };
  // The floating caption, and the docked drag handle left of the client area.
  const HWND floating = floating_->Handle();
  const RECT window = WindowRect(floating);
  onTheFrame(floating_, {window.left + 20, window.top + 6});
  EXPECT_EQ(pressed, std::vector<std::string>{"right"});
  const RECT dockedWindow = WindowRect(docked_->Handle());
  onTheFrame(docked_, {dockedWindow.left + 4, dockedWindow.top + 10});

  // The context-menu key on the floating bar opens its menu under its middle.
  SendMessageW(floating, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(floating), MAKELPARAM(-1, -1));
  ASSERT_EQ(barMenu_->opened.size(), 3u);
  const POINT middle = ToScreen(floating, {floating_->Width() / 2, floating_->Height() / 2});
  EXPECT_EQ(barMenu_->opened[2].x, middle.x);
  EXPECT_EQ(barMenu_->opened[2].y, middle.y);

  // The dock's own menu: on its bare part, and for a bar without a menu of its own.
  RightClick(dock_->Handle(), {300, 10});
  const POINT bare = ToScreen(dock_->Handle(), {300, 10});
  SendMessageW(plain_->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(plain_->Handle()), MAKELPARAM(7, 8));
  ASSERT_EQ(dockMenu_->opened.size(), 2u);
  EXPECT_EQ(dockMenu_->opened[0].x, bare.x);
  EXPECT_EQ(dockMenu_->opened[0].y, bare.y);
  EXPECT_EQ(dockMenu_->opened[1].x, 7);
  EXPECT_EQ(dockMenu_->opened[1].y, 8);
  EXPECT_EQ(dockMenu_->PopupComponent(), dock_);
  EXPECT_EQ(barMenu_->opened.size(), 3u);
  EXPECT_TRUE(errors_.empty()) << testing::PrintToString(errors_);
}

// Under the real cursor: the targets are found on the screen.
TEST_F(ToolDockInherited, DraggedOverTheBarsSomethingIsOfferedToThemAndDroppedOnTheFloatingOne) {
  floating_->Show();
  Pump();
  auto* source = cl::ComponentAs<cl::TPanel>(form_, "pnlSource");
  const HWND wnd = source->Handle();
  const POINT overDocked = ToScreen(docked_->Handle(), {30, 10});
  const POINT overFloating = ToScreen(floating_->Handle(), {50, 30});
  const POINT start = ToScreen(wnd, {30, 20});
  ASSERT_TRUE(hktest::PumpUntil([&] {
    SetWindowPos(form_->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return WindowFromPoint(start) == wnd && WindowFromPoint(overDocked) == docked_->Handle() &&
           WindowFromPoint(overFloating) == floating_->Handle();
  }));
  SetCursorPos(start.x, start.y);
  // The drag loop reads these from the queue: moves to the docked bar, on to the floating one, released.
  const auto post = [&](UINT msg, POINT screen) {
    ScreenToClient(wnd, &screen);
    PostMessageW(wnd, msg, msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(screen.x, screen.y));
  };
  post(WM_MOUSEMOVE, overDocked);
  post(WM_MOUSEMOVE, overFloating);
  post(WM_LBUTTONUP, overFloating);
  EXPECT_TRUE(source->BeginDrag(true));
  // The docked bar is told where the cursor went when it left.
  POINT left = overFloating;
  ScreenToClient(docked_->Handle(), &left);
  const std::string leftAt = std::to_string(left.x) + "," + std::to_string(left.y);
  EXPECT_EQ(form_->heard, (std::vector<std::string>{"twDocked enter 30,10 from pnlSource",
                                                    "twDocked leave " + leftAt + " from pnlSource",
                                                    "twFloating enter 50,30 from pnlSource",
                                                    "twFloating move 50,30 from pnlSource",
                                                    "twFloating leave 0,0 from pnlSource",
                                                    "twFloating drop 50,30 from pnlSource"}))
      << testing::PrintToString(form_->heard);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(errors_.empty()) << testing::PrintToString(errors_);
}

}  // namespace
