// A skinned form with a main menu draws its own menu bar in the frame: the bar's picture, its drop-downs
// opened by click, by Alt and a letter and by moving along the bar, disabled items, the bar rebuilt when
// the menu changes (also while a drop-down is open), unskinning, and the skinned system menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ByteBuilder.h"
#include "Controls.h"
#include "DeviceContext.h"
#include "DropDownPixels.h"
#include "KeyInput.h"
#include "MenuWatch.h"
#include "Menus.h"
#include "MessageLoop.h"
#include "NCFrameFixture.h"
#include "PaintSurface.h"
#include "SkinMenuBar.h"
#include "SkinTestForms.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace {

using skin::SkinManager;
using skintest::TfrmSkinTest;

// Frame 1 (active) and frame 2 (inactive) of the menu bar image; captions in black.
constexpr COLORREF kBar[2] = {RGB(30, 140, 160), RGB(15, 70, 80)};
constexpr COLORREF kMenuRing = RGB(200, 0, 0);

std::string Replace(std::string text, const std::string& what, const std::string& with) {
  const size_t at = text.find(what);
  EXPECT_NE(at, std::string::npos) << what;
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

// The items' strip of the drop-down tests: five flat frames (1 normal, 2 separator, 4 selected).
constexpr COLORREF kItemFrames[5] = {RGB(10, 100, 10), RGB(200, 200, 0), RGB(0, 0, 1), RGB(20, 20, 220),
                                     RGB(0, 0, 2)};

// The frame tests' flat skin with a menu bar image of two frames one above the other; with `items`, a
// MenuItem strip too.
std::string MenuBarPackage(bool items = false) {
  std::string ini = Replace(ncframe::Description(), "[Personality]\r\n", "[Personality]\r\nmenuBar=menubar.bmp\r\n");
  ini = Replace(ini, "[Colours]\r\n", "[Colours]\r\nMenuBarText=0 0 0\r\nButtonShadow=128 128 128\r\n");
  ini += "[MenuBackground]\r\nImage=menu.bmp\r\nLeftWidth=3\r\nTopHeight=3\r\nRightWidth=3\r\nBottomHeight=3\r\n";
  if (items) ini += "[MenuItem]\r\nImage=item.bmp\r\nLeftWidth=4\r\n";
  using namespace ncframe;
  return skin::BuildSkinPackage({{"test.ini", ini},
                                 {"item.bmp", Strip(5, 12, 12, false, kItemFrames)},
                                 {"left.bmp", Strip(2, kSide, 16, false, kLeft)},
                                 {"right.bmp", Strip(2, kSide, 16, false, kRight)},
                                 {"top.bmp", TopImage()},
                                 {"bottom.bmp", Strip(2, 16, kBottom, true, kBottomColour)},
                                 {"close.bmp", Strip(4, kButtonW, kButtonH, false, kClose)},
                                 {"max.bmp", Strip(4, kButtonW, kButtonH, false, kMax)},
                                 {"min.bmp", Strip(4, kButtonW, kButtonH, false, kMin)},
                                 {"own.bmp", Strip(4, kButtonW, kButtonH, false, kOwn)},
                                 {"menubar.bmp", Strip(2, 20, 12, true, kBar)},
                                 {"menu.bmp", Strip(1, 9, 9, false, &kMenuRing)}});
}

SIZE ClientSize(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

class SkinMenuBarTest : public skintest::SkinFormsTest {
 protected:
  // The main form with its menu: File (Open, a separator, Close), Run and Off (commands, Off disabled)
  // and Edit (Copy); shown and skinned.
  skin::TWinSkinForm* ShowWithMenu(HICON icon = nullptr, bool items = false) {
    TfrmSkinTest* form = NewSizedForm(0, 360, 260);
    if (icon) SendMessageW(form->Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    cl::ReadRootComponent(form, skintest::FormWithSkin(MenuBarPackage(items)));
    main_ = form;
    menu_ = new cl::TMainMenu(form);
    file_ = Item("&File");
    file_->Add({Item("&Open"), Item("-"), Item("&Close")});
    run_ = Item("&Run");
    run_->OnClick = [this](cl::TObject*) { ++runs_; };
    off_ = Item("O&ff");
    off_->OnClick = [this](cl::TObject*) { ++offs_; };
    off_->SetEnabled(false);
    edit_ = Item("&Edit");
    edit_->Add(Item("&Copy"));
    menu_->Items()->Add({file_, run_, off_, edit_});
    form->SetMenu(menu_);
    clientBefore_ = ClientSize(form->Handle());
    form->Show();
    skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(form->Handle());
    EXPECT_NE(skinned, nullptr);
    if (!skinned) return nullptr;
    EXPECT_TRUE(hktest::PumpUntil([&] { return skinned->ControlsSkinned(); }));
    return skinned;
  }
  cl::TMenuItem* Item(const char* caption) {
    auto* item = new cl::TMenuItem(main_);
    item->SetCaption(caption);
    return item;
  }
  HWND Wnd() const { return main_->Handle(); }
  LPARAM ScreenOf(POINT frame) const {
    RECT r{};
    GetWindowRect(Wnd(), &r);
    return MAKELPARAM(r.left + frame.x, r.top + frame.y);
  }
  static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  // A press on a bar button as the system delivers it; returns when its drop-down has closed.
  void Press(const skin::TMenuBtn& b) {
    const LPARAM at = ScreenOf(Centre(b.Rect));
    const WPARAM hit = static_cast<WPARAM>(SendMessageW(Wnd(), WM_NCHITTEST, 0, at));
    EXPECT_EQ(hit, static_cast<WPARAM>(HTMENU));
    SendMessageW(Wnd(), WM_NCLBUTTONDOWN, hit, at);
  }
  // A menu that does not show within the deadline fails the test instead of hanging it.
  void Deadline() {
    timers_.After(5000, [] {
      ADD_FAILURE() << "the menu did not close in time";
      EndMenu();
    });
  }

  cl::TMainMenu* menu_ = nullptr;
  cl::TMenuItem* file_ = nullptr;
  cl::TMenuItem* run_ = nullptr;
  cl::TMenuItem* off_ = nullptr;
  cl::TMenuItem* edit_ = nullptr;
  int runs_ = 0;
  int offs_ = 0;
  SIZE clientBefore_{};
};

TEST_F(SkinMenuBarTest, TheBarIsPaintedFromTheSkinBelowTheTitleInPlaceOfTheSystemsBar) {
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  ASSERT_TRUE(skinned->FrameSkinning());
  ASSERT_NE(skinned->MenuBar(), nullptr);
  EXPECT_EQ(GetMenu(Wnd()), nullptr);
  EXPECT_EQ(skinned->MenuBar()->MenuHandle(), menu_->Handle());
  const int barH = GetSystemMetrics(SM_CYMENU);
  EXPECT_EQ(skinned->FrameState().MenuBarHeight, barH);
  // The client area is the one the form had under the system's bar.
  const SIZE client = ClientSize(Wnd());
  EXPECT_EQ(client.cx, clientBefore_.cx);
  EXPECT_EQ(client.cy, clientBefore_.cy);
  RECT window{};
  GetWindowRect(Wnd(), &window);
  const int w = window.right - window.left;
  EXPECT_EQ(window.bottom - window.top, client.cy + ncframe::kTop + ncframe::kBottom + barH);

  for (int frame : {1, 0}) {
    SCOPED_TRACE(frame);
    SendMessageW(Wnd(), WM_NCACTIVATE, frame == 0, 0);
    hktest::PaintSurface surface(w, barH);
    {
      const cl::TWindowDC dc(Wnd(), cl::TWindowDC::dcWholeWindow);
      BitBlt(surface.DC(), 0, 0, w, barH, dc.Get(), 0, ncframe::kTop, SRCCOPY);
    }
    // Past the last button the bar is the image's frame, edge to edge of the borders.
    const skin::TMenuBtn* last = skinned->MenuBar()->Button(3);
    ASSERT_NE(last, nullptr);
    for (int x = last->Rect.right + 1; x < w - ncframe::kSide; ++x)
      for (int y = 0; y < barH; ++y) ASSERT_EQ(surface.Pixel(x, y), kBar[frame]) << x << "," << y;
    EXPECT_EQ(surface.Pixel(ncframe::kSide - 1, barH / 2), ncframe::kLeft[frame]);
    // Each caption is written in its cell.
    for (int i = 0; i < 4; ++i) {
      const RECT r = skinned->MenuBar()->Button(i)->Rect;
      EXPECT_EQ(r.top, ncframe::kTop);
      bool text = false;
      for (int x = r.left; x < r.right && !text; ++x)
        for (int y = 0; y < barH && !text; ++y) text = surface.Pixel(x, y) != kBar[frame];
      EXPECT_TRUE(text) << i;
    }
  }
  // Buttons follow each other left to right.
  EXPECT_LT(skinned->MenuBar()->Button(0)->Rect.right, skinned->MenuBar()->Button(1)->Rect.right);
  EXPECT_EQ(skinned->MenuBar()->Button(0)->Rect.right, skinned->MenuBar()->Button(1)->Rect.left);
}

TEST_F(SkinMenuBarTest, UnskinningGivesTheWindowItsMenuBack) {
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  skinned->Unskin();
  EXPECT_EQ(GetMenu(Wnd()), menu_->Handle());
  const SIZE client = ClientSize(Wnd());
  EXPECT_EQ(client.cx, clientBefore_.cx);
  EXPECT_EQ(client.cy, clientBefore_.cy);
}

TEST_F(SkinMenuBarTest, AClickOnABarItemOpensItsDropDown) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  hktest::MenuWatch watch(Wnd(), [&](HWND popup, HMENU) {
    EXPECT_TRUE(skinned->FrameState().HotObject == skinned->MenuBar()->Button(0));
    EXPECT_TRUE(IsWindowVisible(popup));
    // The drop-down wears the skin's menu frame, which its items find by their menu.
    EXPECT_TRUE(SkinManager()->IsPopupMenuSkinned(popup));
    EXPECT_NE(SkinManager()->FindPopupMenuBitmap(file_->Handle()), nullptr);
    EXPECT_EQ(SkinManager()->PopupMenuKind, 1);
    EndMenu();
  });
  Deadline();
  Press(*skinned->MenuBar()->Button(0));
  ASSERT_EQ(watch.Opened.size(), 1u);
  EXPECT_EQ(watch.Opened[0], file_->Handle());
  // The separator between Open and Close stays; the button is no longer pressed.
  EXPECT_TRUE(file_->Items(1)->Visible());
  EXPECT_EQ(skinned->FrameState().HotObject, nullptr);
}

// The drop-down's items are drawn by the skinned window from the skin's MenuItem strip, whether the form
// names xcMenuItem or not; a disabled bar item's letter and other menus' items keep their own ways.
TEST_F(SkinMenuBarTest, TheDropDownsItemsWearTheSkinsItemFrames) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  skin::TWinSkinForm* skinned = ShowWithMenu(nullptr, true);
  ASSERT_NE(skinned, nullptr);
  auto* data = cl::ComponentAs<skin::TSkinData>(main_, "SkinData1");
  std::string faults;
  int selected = 0;
  const hktest::DropDownFrames frames(Wnd());
  hktest::MenuWatch watch(Wnd(), [&](HWND popup, HMENU menu) {
    faults = frames.Faults(popup, menu, *data, selected);
    EndMenu();
  });
  Deadline();
  Press(*skinned->MenuBar()->Button(0));
  ASSERT_EQ(watch.Opened.size(), 1u);
  EXPECT_EQ(faults, "");
  EXPECT_EQ(selected, 1) << "the drop-down opens with its first item selected";

  // Measured and drawn by the window itself, selected in frame 4.
  cl::TMenuItem* open = file_->Items(0);
  MEASUREITEMSTRUCT measure{ODT_MENU, 0, open->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(open)};
  EXPECT_EQ(SendMessageW(Wnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), TRUE);
  EXPECT_GT(measure.itemWidth, 4u + 35u);
  const hktest::PaintSurface surface(60, 20);
  DRAWITEMSTRUCT draw{ODT_MENU, 0, open->Command(), ODA_DRAWENTIRE, ODS_SELECTED, nullptr, surface.DC(), {0, 0, 60, 20},
                      reinterpret_cast<ULONG_PTR>(open)};
  EXPECT_EQ(SendMessageW(Wnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), TRUE);
  EXPECT_EQ(surface.Pixel(57, 2), kItemFrames[3]);
}

// Raw entries: an id of the class library's range that the main menu does not know is the form's to
// measure; ids above it (system menus, MDI window lists) are measured by the skinned window.
TEST_F(SkinMenuBarTest, RawEntriesAreMeasuredByTheWindowOnlyAboveTheLibrarysIds) {
  ASSERT_NE(ShowWithMenu(nullptr, true), nullptr);
  HMENU raw = CreatePopupMenu();
  AppendMenuW(raw, MF_STRING, 500, L"Library's");
  AppendMenuW(raw, MF_STRING, 5000, L"Raw entry");
  for (UINT id : {500u, 5000u}) {
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, id, 0, 0, 0};
    SendMessageW(Wnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(raw), 0);
    const LRESULT answer = SendMessageW(Wnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    if (id == 500) {
      EXPECT_EQ(answer, FALSE);
      EXPECT_EQ(measure.itemWidth, 0u);
    } else {
      EXPECT_EQ(answer, TRUE);
      EXPECT_GT(measure.itemWidth, 26u + 4u);
    }
  }
  DestroyMenu(raw);
}

TEST_F(SkinMenuBarTest, AltAndTheMnemonicOpensThatItem) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  hktest::MenuWatch watch(Wnd(), [](HWND, HMENU) { EndMenu(); });
  Deadline();
  // Alt alone, and Alt with a letter of the bar, do not reach the system.
  EXPECT_EQ(SendMessageW(Wnd(), WM_SYSCOMMAND, SC_KEYMENU, 0), 1);
  EXPECT_EQ(SendMessageW(Wnd(), WM_SYSCOMMAND, SC_KEYMENU, 'e'), 1);
  Pump();
  EXPECT_TRUE(watch.Opened.empty());
  // Without Alt the letter is not the bar's; with it, the item opens (the press is posted).
  EXPECT_EQ(main_->Perform(cl::CM_DIALOGCHAR, 'e', 0), 0);
  Pump();
  EXPECT_TRUE(watch.Opened.empty());
  EXPECT_EQ(main_->Perform(cl::CM_DIALOGCHAR, 'e', 0x20000000), 1);
  Pump();
  ASSERT_EQ(watch.Opened.size(), 1u);
  EXPECT_EQ(watch.Opened[0], edit_->Handle());
  // A disabled item's letter opens nothing.
  EXPECT_EQ(skinned->FindMenuAccel('f'), skinned->MenuBar()->Button(0));
  EXPECT_EQ(main_->Perform(cl::CM_DIALOGCHAR, 'F', 0x20000000), 1);
  EXPECT_EQ(skinned->FindMenuAccel('x'), nullptr);
  off_->SetCaption("&Xoff");
  EXPECT_EQ(skinned->FindMenuAccel('x'), nullptr);
  Pump();
  ASSERT_EQ(watch.Opened.size(), 2u);
  EXPECT_EQ(watch.Opened[1], file_->Handle());
}

TEST_F(SkinMenuBarTest, RightFromTheLastItemsDropDownOpensTheFirstAndLeftGoesBack) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  int step = 0;
  hktest::MenuWatch watch(Wnd(), [&](HWND popup, HMENU) {
    // Edit (last) -> Right -> File; File -> Left -> Edit (Run and Off have no drop-down); then closed.
    if (step++ < 2)
      PostMessageW(popup, WM_KEYDOWN, step == 1 ? VK_RIGHT : VK_LEFT, 0);
    else
      EndMenu();
  });
  Deadline();
  Press(*skinned->MenuBar()->Button(3));
  ASSERT_EQ(watch.Opened.size(), 3u);
  EXPECT_EQ(watch.Opened[0], edit_->Handle());
  EXPECT_EQ(watch.Opened[1], file_->Handle());
  EXPECT_EQ(watch.Opened[2], edit_->Handle());
  // Passing over the command items ran neither.
  EXPECT_EQ(runs_, 0);
  EXPECT_FALSE(skinned->MenuBar()->Button(0)->State == skin::kNCPressed);
}

// The selection that the window hears (WM_MENUSELECT) decides what Right and Left do in the drop-down:
// an item with its own sub-menu, or a nested sub-menu, keeps the arrows for the menu itself.
TEST_F(SkinMenuBarTest, TheArrowsFollowTheSelectionTheWindowHears) {
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  cl::TMenuItem* recent = Item("&Recent");
  recent->Add(Item("&Old"));
  file_->Insert(0, recent);
  const HMENU file = file_->Handle();
  auto arrow = [](WPARAM key) {
    MSG msg{nullptr, WM_KEYDOWN, key, 0, 0, {}};
    return CallMsgFilterW(&msg, MSGF_MENU) != 0;
  };
  {
    skin::TMenuTracking tracking(Wnd(), *skinned->MenuBar(), 0, file);
    EXPECT_EQ(skin::TMenuTracking::Current(), &tracking);
    // Recent (a sub-menu) selected: Right opens it, the bar stays.
    tracking.MenuSelect(MAKEWPARAM(0, MF_POPUP | MF_HILITE), reinterpret_cast<LPARAM>(file));
    EXPECT_FALSE(arrow(VK_RIGHT));
    EXPECT_EQ(tracking.NextIndex(), -1);
    // Inside Recent's own menu Left closes it, the bar stays.
    tracking.MenuSelect(MAKEWPARAM(recent->Items(0)->Command(), MF_HILITE),
                        reinterpret_cast<LPARAM>(recent->Handle()));
    EXPECT_FALSE(arrow(VK_LEFT));
    EXPECT_EQ(tracking.NextIndex(), -1);
    // Open selected: Right goes to the next bar item with a drop-down (past Run and Off).
    tracking.MenuSelect(MAKEWPARAM(file_->Items(1)->Command(), MF_HILITE), reinterpret_cast<LPARAM>(file));
    EXPECT_TRUE(arrow(VK_RIGHT));
    EXPECT_EQ(tracking.NextIndex(), 3);
  }
  EXPECT_EQ(skin::TMenuTracking::Current(), nullptr);
  // Left from the first wraps to the last.
  skin::TMenuTracking tracking(Wnd(), *skinned->MenuBar(), 0, file);
  tracking.MenuSelect(MAKEWPARAM(file_->Items(1)->Command(), MF_HILITE), reinterpret_cast<LPARAM>(file));
  EXPECT_TRUE(arrow(VK_LEFT));
  EXPECT_EQ(tracking.NextIndex(), 3);
}

TEST_F(SkinMenuBarTest, ADisabledTopLevelItemDoesNotRunItsCommand) {
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  hktest::MenuWatch watch(Wnd(), [](HWND, HMENU) { EndMenu(); });
  Press(*skinned->MenuBar()->Button(2));
  Pump();
  EXPECT_EQ(offs_, 0);
  // Not even sent: the command is posted only for an enabled item.
  for (WPARAM command : watch.Commands) EXPECT_NE(LOWORD(command), off_->Command());
  Press(*skinned->MenuBar()->Button(1));
  Pump();
  EXPECT_EQ(runs_, 1);
  EXPECT_TRUE(watch.Opened.empty());
}

// The bar follows the form's menu as it is now: a menu given to the form after skinning is the one a menu
// change shows, it stays the window's, and the old menu may go.
TEST_F(SkinMenuBarTest, AMenuGivenToTheFormLaterIsTheOneTheBarShows) {
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  auto* other = new cl::TMainMenu(main_);
  cl::TMenuItem* alpha = Item("&Alpha");
  alpha->Add(Item("&Gamma"));
  other->Items()->Add({alpha, Item("&Beta")});
  main_->SetMenu(other);
  delete menu_;
  menu_ = nullptr;
  other->Items()->Add(Item("&Delta"));  // a menu change
  skin::TWinSkinMenu* bar = skinned->MenuBar();
  ASSERT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(bar->Button(0)->Caption, L"&Alpha");
  EXPECT_EQ(bar->Button(0)->SubMenu, alpha->Handle());
  EXPECT_EQ(bar->Button(2)->Caption, L"&Delta");
  EXPECT_EQ(bar->MainMenu(), other);
  EXPECT_EQ(GetMenu(Wnd()), nullptr) << "the skin paints the bar";
  skinned->Unskin();
  EXPECT_EQ(GetMenu(Wnd()), other->Handle());
}

TEST_F(SkinMenuBarTest, AMenuChangeRebuildsTheBar) {
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  cl::TMenuItem* help = Item("&Help");
  help->Add(Item("&About"));
  menu_->Items()->Add(help);
  skin::TWinSkinMenu* bar = skinned->MenuBar();
  ASSERT_EQ(bar->ButtonCount(), 5);
  EXPECT_EQ(bar->Button(4)->Caption, L"&Help");
  EXPECT_EQ(bar->Button(4)->SubMenu, help->Handle());
  EXPECT_FALSE(IsRectEmpty(&bar->Button(4)->Rect));
  EXPECT_EQ(GetMenu(Wnd()), nullptr);
  EXPECT_TRUE(skinned->Data()->NonClientPainting);
  // A caption change shows on the bar too.
  run_->SetCaption("&Go");
  EXPECT_EQ(bar->Button(1)->Caption, L"&Go");
}

TEST_F(SkinMenuBarTest, AMenuChangeWhileADropDownIsOpenWaitsForItToClose) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  const skin::TMenuBtn* before = skinned->MenuBar()->Button(0);
  hktest::MenuWatch watch(Wnd(), [&](HWND, HMENU) {
    menu_->Items()->Add(Item("&Last"));
    // The button whose drop-down is open is still there.
    EXPECT_EQ(skinned->MenuBar()->ButtonCount(), 4);
    EXPECT_EQ(skinned->MenuBar()->Button(0), before);
    EXPECT_TRUE(skinned->Data()->NonClientPainting);
    EndMenu();
  });
  Deadline();
  Press(*skinned->MenuBar()->Button(0));
  ASSERT_EQ(watch.Opened.size(), 1u);
  ASSERT_EQ(skinned->MenuBar()->ButtonCount(), 5);
  EXPECT_EQ(skinned->MenuBar()->Button(4)->Caption, L"&Last");
}

class SkinSysMenuTest : public SkinMenuBarTest {
 protected:
  // The system menu's entries as the open menu shows them: enabled or not, by position.
  static std::vector<bool> EnabledEntries(HMENU menu) {
    std::vector<bool> enabled;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
      enabled.push_back(!(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)));
    return enabled;
  }
  // Right click on the caption.
  void RightClickCaption() {
    SendMessageW(Wnd(), WM_NCRBUTTONDOWN, HTCAPTION, ScreenOf(POINT{150, ncframe::kTop / 2}));
  }
};

TEST_F(SkinSysMenuTest, TheSystemMenuOffersWhatTheNormalWindowCanDoAndItsChoiceRuns) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  cl::TPopupMenu* popup = skinned->SysMenuPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->Tag(), skin::kSysMenuTag);
  EXPECT_TRUE(popup->OwnerDraw());
  std::vector<bool> enabled;
  hktest::MenuWatch watch(Wnd(), [&](HWND, HMENU menu) {
    enabled = EnabledEntries(menu);
    EndMenu();
  });
  Deadline();
  RightClickCaption();
  ASSERT_EQ(watch.Opened.size(), 1u);
  EXPECT_EQ(watch.Opened[0], popup->Handle());
  // Restore, Maximize, Minimize, the separator, Close.
  EXPECT_EQ(enabled, (std::vector<bool>{false, true, true, true, true}));
  ASSERT_EQ(popup->Items()->Count(), 5);
  EXPECT_EQ(popup->Items()->Items(4)->Caption(), " Close ");
  EXPECT_EQ(cl::ShortCutToText(popup->Items()->Items(4)->ShortCut()), "Shift+F4");
  // Minimize chosen.
  popup->Items()->Items(2)->Click();
  EXPECT_TRUE(hktest::PumpUntil([&] { return IsIconic(Wnd()) != 0; }));
}

TEST_F(SkinSysMenuTest, AMaximisedWindowsSystemMenuOffersRestore) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  skin::TWinSkinForm* skinned = ShowWithMenu();
  ASSERT_NE(skinned, nullptr);
  ShowWindow(Wnd(), SW_MAXIMIZE);
  Pump();
  ASSERT_EQ(skinned->WindowState(), skin::TWindowState::Maximized);
  std::vector<bool> enabled;
  hktest::MenuWatch watch(Wnd(), [&](HWND, HMENU menu) {
    enabled = EnabledEntries(menu);
    EndMenu();
  });
  Deadline();
  RightClickCaption();
  ASSERT_EQ(watch.Opened.size(), 1u);
  EXPECT_EQ(enabled, (std::vector<bool>{true, false, true, true, true}));
  // Its choice: restore.
  skinned->SysMenuPopup()->Items()->Items(0)->Click();
  EXPECT_TRUE(hktest::PumpUntil([&] { return !IsZoomed(Wnd()); }));
}

TEST_F(SkinSysMenuTest, TwoClicksOnTheSystemMenuButtonWithinTheDoubleClickTimeClose) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  // The system-menu button shows the window's icon; a window without one has no such button.
  const cl::TIconHandle icon(ncframe::FlatIcon(ncframe::kIcon));
  skin::TWinSkinForm* skinned = ShowWithMenu(icon.Get());
  ASSERT_NE(skinned, nullptr);
  const skin::TWinSysButton* sysButton = nullptr;
  for (const auto& b : skinned->FrameState().SysButtons)
    if (b->Data->Action == 3) sysButton = b.get();
  ASSERT_NE(sysButton, nullptr);
  ASSERT_TRUE(sysButton->Visible);
  // Off the button the press would start moving the window.
  ASSERT_FALSE(IsRectEmpty(&sysButton->Rect));
  int closes = 0;
  // The close is counted, not carried out.
  cl::TWindowSubclass closing(Wnd(), [&](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (msg == WM_CLOSE) {
      ++closes;
      return 0;
    }
    return cl::TWindowSubclass::CallPrevious(w, msg, wParam, lParam);
  });
  hktest::MenuWatch watch(Wnd(), [](HWND, HMENU) { EndMenu(); });
  Deadline();
  auto click = [&] {
    const LPARAM at = ScreenOf(Centre(sysButton->Rect));
    SendMessageW(Wnd(), WM_NCMOUSEMOVE, HTCAPTION, at);
    SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTCAPTION, at);
    SendMessageW(Wnd(), WM_NCLBUTTONUP, HTCAPTION, at);
  };
  click();
  ASSERT_EQ(watch.Opened.size(), 1u);
  EXPECT_EQ(watch.Opened[0], skinned->SysMenuPopup()->Handle());
  click();
  Pump();
  EXPECT_EQ(watch.Opened.size(), 1u);
  EXPECT_EQ(closes, 1);
}

}  // namespace
