// A skinned MDI frame and its children: children skinned once the client refreshes its menu, menu
// updates back on after each child's creation, the client without scroll bars of its own, and the
// children's frames following the maximised state.
#include <gtest/gtest.h>
#include <windows.h>

#include "Forms.h"
#include "Menus.h"
#include "MessageLoop.h"
#include "NCFrameFixture.h"
#include "SkinTestForms.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace {

using skin::SkinManager;

class SkinMDITest : public skintest::SkinFormsTest {
 protected:
  skin::TWinSkinForm* LoadFrame() {
    skintest::TfrmSkinTest* frame = NewSizedForm(0, 520, 420);
    cl::ReadRootComponent(frame, skintest::FormWithSkin(ncframe::Package(), "sfMainform",
                                                        "[xcMainMenu, xcPopupMenu, xcSystemMenu]"));
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
  const auto childButtonsShown = [&] {
    RedrawWindow(main_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    int shown = 0;
    for (const auto& b : frame->FrameState().SysButtons)
      if (b->Data->Visibility == 100 && b->Visible) ++shown;
    return shown;
  };
  EXPECT_EQ(childButtonsShown(), 0);
  SendMessageW(main_->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  EXPECT_EQ(childButtonsShown(), 3);
  SendMessageW(main_->ClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  EXPECT_EQ(childButtonsShown(), 0);
}

}  // namespace
