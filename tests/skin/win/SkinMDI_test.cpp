// A skinned MDI frame and its children: children skinned once the client refreshes its menu, menu
// updates back on after each child's creation, the client without scroll bars of its own, and the
// children's frames following the maximised state.
#include <gtest/gtest.h>
#include <windows.h>

#include "DeviceContext.h"
#include "Forms.h"
#include "Menus.h"
#include "SkinMenuBar.h"
#include "MessageLoop.h"
#include "NCFrameFixture.h"
#include "SkinTestForms.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace {

using skin::SkinManager;

// The three buttons of a maximised child (minimise, restore, close), four flat frames each.
constexpr COLORREF kChildButtons[12] = {RGB(250, 10, 10), RGB(251, 10, 10), RGB(252, 10, 10), RGB(253, 10, 10),
                                        RGB(10, 250, 10), RGB(10, 251, 10), RGB(10, 252, 10), RGB(10, 253, 10),
                                        RGB(10, 10, 250), RGB(10, 10, 251), RGB(10, 10, 252), RGB(10, 10, 253)};

class SkinMDITest : public skintest::SkinFormsTest {
 protected:
  skin::TWinSkinForm* LoadFrame() {
    skintest::TfrmSkinTest* frame = NewSizedForm(0, 520, 420);
    const std::string package = ncframe::Package(
        "[MDICONTROLS]\r\nImage=mdi.bmp\r\n", {{"mdi.bmp", ncframe::Strip(12, 10, 10, false, kChildButtons)}});
    cl::ReadRootComponent(frame, skintest::FormWithSkin(package, "sfMainform", "[xcMainMenu, xcPopupMenu, xcSystemMenu]"));
    frame->SetFormStyle(cl::fsMDIForm);
    // A menu bar: the skin's bar is where a maximised child's buttons go.
    auto* menu = new cl::TMainMenu(frame);
    auto* file = new cl::TMenuItem(frame);
    file->SetCaption("&File");
    menu->Items()->Add(file);
    frame->SetMenu(menu);
    main_ = frame;
    frame->Show();
    skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(frame->Handle());
    if (skinned) EXPECT_TRUE(hktest::PumpUntil([&] { return skinned->ControlsSkinned(); }));
    return skinned;
  }
  cl::TForm* NewChild() {
    auto* child = cl::NewForm<cl::TForm>(app_.get());
    child->SetFormStyle(cl::fsMDIChild);
    child->SetBounds(10, 10, 220, 160);
    child->Show();
    children_.push_back(child);
    return child;
  }
  void TearDown() override {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) delete *it;
    SkinFormsTest::TearDown();
  }
  skin::TSkinData* Data() const { return cl::ComponentAs<skin::TSkinData>(main_, "SkinData1"); }
  std::vector<cl::TForm*> children_;
};

TEST_F(SkinMDITest, ANewChildIsSkinnedWhenTheClientRefreshesItsMenuAndUpdatesComeBack) {
  skin::TWinSkinForm* frame = LoadFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->WindowKind(), skin::TWindowKind::MDIFrame);
  Data()->SetMenuUpdate(true);
  cl::TForm* child = NewChild();
  skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(child->Handle());
  ASSERT_NE(skinned, nullptr);
  EXPECT_EQ(skinned->WindowKind(), skin::TWindowKind::MDIChild);
  EXPECT_TRUE(Data()->MenuUpdate()) << "a child's creation turned menu updates off for good";
  // The client shows no scroll bars of its own in the skinned frame.
  SetWindowPos(main_->ClientHandle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  EXPECT_EQ(GetWindowLongPtrW(main_->ClientHandle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
}

// A menu the MDI client gives the frame becomes the bar: owner-drawn entries take their text from the
// main menu's item of their command, others keep their own.
TEST_F(SkinMDITest, AMenuSetThroughTheClientIsTheBarsWithTheMainMenusTexts) {
  skin::TWinSkinForm* frame = LoadFrame();
  ASSERT_NE(frame, nullptr);
  cl::TMenuItem* file = main_->Menu()->Items()->Items(0);
  HMENU given = CreateMenu();
  AppendMenuW(given, MF_STRING, 0xFF00, L"&Window");
  AppendMenuW(given, MF_OWNERDRAW, file->Command(), nullptr);
  SendMessageW(main_->ClientHandle(), WM_MDISETMENU, reinterpret_cast<WPARAM>(given), 0);
  skin::TWinSkinMenu* bar = frame->MenuBar();
  ASSERT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(bar->Button(0)->Caption, L"&Window");
  EXPECT_EQ(bar->Button(1)->Caption, L"&File");
  EXPECT_EQ(bar->Button(1)->MenuItem, file);
  EXPECT_EQ(bar->Button(1)->Command, file->Command());
  EXPECT_EQ(GetMenu(main_->Handle()), nullptr) << "the skin paints the bar";
  EXPECT_EQ(bar->MenuHandle(), given);
  SendMessageW(main_->ClientHandle(), WM_MDISETMENU, reinterpret_cast<WPARAM>(main_->Menu()->Handle()), 0);
  EXPECT_EQ(bar->MenuHandle(), main_->Menu()->Handle());
  DestroyMenu(given);
}

// Alt and a letter of the frame's bar, pressed in a child, open the frame's item.
TEST_F(SkinMDITest, AltAndALetterInAChildReachTheFramesBar) {
  ASSERT_NE(LoadFrame(), nullptr);
  cl::TForm* child = NewChild();
  skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(child->Handle());
  ASSERT_NE(skinned, nullptr);
  ASSERT_TRUE(hktest::PumpUntil([&] { return skinned->ControlsSkinned(); }));
  EXPECT_EQ(child->Perform(cl::CM_DIALOGCHAR, 'f', 0x20000000), 1);
  EXPECT_EQ(child->Perform(cl::CM_DIALOGCHAR, 'x', 0x20000000), 0);
  EXPECT_EQ(child->Perform(cl::CM_DIALOGCHAR, 'f', 0), 0) << "without Alt the letter is not the bar's";
  MSG msg;
  while (PeekMessageW(&msg, main_->Handle(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) {
  }
}

TEST_F(SkinMDITest, ChildrenDropTheirSkinnedFrameWhileMaximisedAndTakeItBackAfter) {
  ASSERT_NE(LoadFrame(), nullptr);
  cl::TForm* child = NewChild();
  skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(child->Handle());
  ASSERT_NE(skinned, nullptr);
  ASSERT_TRUE(hktest::PumpUntil([&] { return skinned->ControlsSkinned(); }));
  // A skinned child draws its own title-bar buttons: the system's go while the skin's frame shows.
  const auto caption = [&] { return (GetWindowLongPtrW(child->Handle(), GWL_STYLE) & WS_SYSMENU) != 0; };
  EXPECT_FALSE(caption());

  SkinManager()->SetMDIMaximized(true);
  EXPECT_TRUE(caption());
  // Cascading ends the maximised state: the skinned frame is back.
  SendMessageW(main_->ClientHandle(), WM_MDICASCADE, 0, 0);
  EXPECT_FALSE(SkinManager()->MDIMaximized);
  EXPECT_FALSE(caption());

  SkinManager()->SetMDIMaximized(true);
  delete child;
  children_.clear();
  EXPECT_FALSE(SkinManager()->MDIMaximized) << "no child is left to be maximised";
}

// When the maximised state ends, a minimised child keeps the system's caption and a normal one gets the
// skin's frame back.
TEST_F(SkinMDITest, EndingTheMaximisedStateLeavesAMinimisedChildsCaptionAndReframesANormalOne) {
  ASSERT_NE(LoadFrame(), nullptr);
  cl::TForm* normal = NewChild();
  cl::TForm* minimised = NewChild();
  skin::TWinSkinForm* normalSkin = SkinManager()->FindSkinForm(normal->Handle());
  skin::TWinSkinForm* minimisedSkin = SkinManager()->FindSkinForm(minimised->Handle());
  ASSERT_TRUE(normalSkin && minimisedSkin);
  ASSERT_TRUE(hktest::PumpUntil([&] { return normalSkin->ControlsSkinned() && minimisedSkin->ControlsSkinned(); }));
  ShowWindow(minimised->Handle(), SW_MINIMIZE);
  ASSERT_EQ(minimisedSkin->WindowState(), skin::TWindowState::Minimized);
  const auto sysMenu = [](HWND wnd) { return (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_SYSMENU) != 0; };
  SkinManager()->SetMDIMaximized(true);
  EXPECT_TRUE(sysMenu(normal->Handle()));
  SkinManager()->SetMDIMaximized(false);
  EXPECT_TRUE(sysMenu(minimised->Handle()));
  EXPECT_FALSE(sysMenu(normal->Handle()));
  EXPECT_TRUE(normalSkin->FrameState().RegionHeld);
}

// The frame's MDI buttons act on the active child at once and end the maximised state once it is
// restored; a child's own skin has no MDI command to run.
TEST_F(SkinMDITest, AnMDICommandRunsOnTheActiveChildOnlyFromTheFrame) {
  skin::TWinSkinForm* frame = LoadFrame();
  ASSERT_NE(frame, nullptr);
  cl::TForm* child = NewChild();
  skin::TWinSkinForm* childSkin = SkinManager()->FindSkinForm(child->Handle());
  ASSERT_NE(childSkin, nullptr);
  childSkin->FrameState().Host->MDIChildCommand(SC_MINIMIZE);
  hktest::PumpUntil([] { return false; }, 100);
  EXPECT_FALSE(IsIconic(child->Handle()));

  SendMessageW(main_->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  SkinManager()->SetMDIMaximized(true);
  ASSERT_TRUE(IsZoomed(child->Handle()));
  frame->FrameState().Host->MDIChildCommand(SC_RESTORE);
  EXPECT_FALSE(IsZoomed(child->Handle()));
  EXPECT_FALSE(SkinManager()->MDIMaximized);
}

// Maximised, the active child's minimise, restore and close buttons sit on the frame's skinned bar.
TEST_F(SkinMDITest, TheFramesBarShowsTheMaximisedChildsButtons) {
  skin::TWinSkinForm* frame = LoadFrame();
  ASSERT_NE(frame, nullptr);
  cl::TForm* child = NewChild();
  // The buttons' frame-1 colours seen on the frame's window, at the middle of each button's place.
  const auto childButtonsShown = [&] {
    RedrawWindow(main_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    const cl::TWindowDC dc(main_->Handle(), cl::TWindowDC::dcWholeWindow);
    int shown = 0;
    for (const auto& b : frame->FrameState().SysButtons) {
      if (b->Data->Visibility != 100) continue;
      const int i = b->Data->Action - 7;  // minimise, restore, close
      const COLORREF seen =
          GetPixel(dc.Get(), (b->Rect.left + b->Rect.right) / 2, (b->Rect.top + b->Rect.bottom) / 2);
      if (!IsRectEmpty(&b->Rect) && seen == kChildButtons[4 * i]) ++shown;
    }
    return shown;
  };
  EXPECT_EQ(childButtonsShown(), 0);
  SendMessageW(main_->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  EXPECT_EQ(childButtonsShown(), 3);
  EXPECT_TRUE(SkinManager()->MDIMaximized);
  SendMessageW(main_->ClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  EXPECT_EQ(childButtonsShown(), 0);
}

}  // namespace
