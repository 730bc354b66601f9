// Popup menu windows get the skin's three-pixel frame while they are open, and lose their skin with their
// window, also when skinning was switched off meanwhile.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "ByteBuilder.h"
#include "KeyInput.h"
#include "Menus.h"
#include "PaintSurface.h"
#include "SkinPack.h"
#include "SkinTestForms.h"
#include "WinSkinDlg.h"
#include "WinSkinMenu.h"

namespace {

using skin::SkinManager;

constexpr COLORREF kRing = RGB(200, 0, 0);
constexpr COLORREF kCentre = RGB(0, 200, 0);

// A menu background of a 3-pixel ring around a centre of another colour.
std::string MenuPackage() {
  const std::string ini =
      "[Colours]\r\nButtonFace=10 20 30\r\n"
      "[MenuBackground]\r\nImage=menu.bmp\r\nLeftWidth=3\r\nTopHeight=3\r\nRightWidth=3\r\nBottomHeight=3\r\n";
  const std::string bitmap = testsupport::Bmp24(9, 9, [](int x, int y) -> uint32_t {
    return x < 3 || y < 3 || x >= 6 || y >= 6 ? kRing : kCentre;
  });
  return skin::BuildSkinPackage({{"menu.ini", ini}, {"menu.bmp", bitmap}});
}

class SkinPopupMenuTest : public skintest::SkinFormsTest {
 protected:
  void Load(const std::string& switches) {
    skintest::TfrmSkinTest* form = NewSizedForm(0, 300, 200);
    cl::ReadRootComponent(form, skintest::FormWithSkin(MenuPackage(), "sfMainform", switches));
    main_ = form;
    menu_ = new cl::TPopupMenu(form);
    for (const char* caption : {"First", "Second", "Third"}) {
      auto* item = new cl::TMenuItem(form);
      item->SetCaption(caption);
      menu_->Items()->Add(item);
    }
    form->Show();
  }
  // Opens the menu; `whileOpen` runs once its window is there, then the menu is closed.
  void WhileOpen(const std::function<void(HWND)>& whileOpen) {
    timers_.Timeout(5000);
    timers_.After(300, [&] {
      HWND popup = FindWindowW(L"#32768", nullptr);
      while (popup && !IsWindowVisible(popup)) popup = FindWindowExW(nullptr, popup, L"#32768", nullptr);
      ASSERT_NE(popup, nullptr);
      whileOpen(popup);
      EndMenu();
    });
    menu_->Popup(30, 30);
  }
  cl::TPopupMenu* menu_ = nullptr;
};

TEST_F(SkinPopupMenuTest, AnOpenPopupWearsTheRingAndPrintsItsItemsInside) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  Load("[xcMainMenu, xcPopupMenu]");
  bool checked = false;
  WhileOpen([&](HWND popup) {
    checked = true;
    EXPECT_TRUE(SkinManager()->IsPopupMenuSkinned(popup));
    EXPECT_EQ(SendMessageW(popup, skin::kSkinMsgIsSkinned, 0, 0), 1);
    EXPECT_NE(SkinManager()->FindPopupMenuBitmap(menu_->Handle()), nullptr);
    RECT r{};
    GetWindowRect(popup, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    hktest::PaintSurface surface(w, h);
    SendMessageW(popup, WM_PRINT, reinterpret_cast<WPARAM>(surface.DC()), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    for (int i = 0; i < skin::kPopupMenuBorder; ++i) {
      EXPECT_EQ(surface.Pixel(i, h / 2), kRing) << i;
      EXPECT_EQ(surface.Pixel(w - 1 - i, h / 2), kRing) << i;
      EXPECT_EQ(surface.Pixel(w / 2, i), kRing) << i;
      EXPECT_EQ(surface.Pixel(w / 2, h - 1 - i), kRing) << i;
    }
    // Inside the ring the menu drew its own items over the picture.
    EXPECT_NE(surface.Pixel(w / 2, skin::kPopupMenuBorder), kRing);
    EXPECT_NE(surface.Pixel(w - 6, h / 2), kCentre);

    // Into a DC whose origin is moved, the clip follows the origin.
    hktest::PaintSurface moved(w + 20, h + 20);
    SetViewportOrgEx(moved.DC(), 10, 10, nullptr);
    SendMessageW(popup, WM_PRINT, reinterpret_cast<WPARAM>(moved.DC()), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    SetViewportOrgEx(moved.DC(), 0, 0, nullptr);
    EXPECT_EQ(moved.Pixel(10, 10 + h / 2), kRing);
    EXPECT_EQ(moved.Pixel(10 + w - 1, 10 + h / 2), kRing);
    EXPECT_NE(moved.Pixel(10 + w - 6, 10 + h / 2), kCentre);
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(SkinManager()->PopupMenuCount(), 0);
  EXPECT_EQ(SkinManager()->PopupMenuKind, 0);
}

TEST_F(SkinPopupMenuTest, WithoutThePopupSwitchTheMenuKeepsTheSystemsFrame) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  Load("[xcMainMenu]");
  WhileOpen([&](HWND popup) {
    EXPECT_FALSE(SkinManager()->IsPopupMenuSkinned(popup));
    EXPECT_NE(SendMessageW(popup, skin::kSkinMsgIsSkinned, 0, 0), 1);
  });
}

TEST_F(SkinPopupMenuTest, APopupClosedWhileSkinningIsOffLeavesNoSkinBehind) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  Load("[xcMainMenu, xcPopupMenu]");
  WhileOpen([&](HWND popup) {
    EXPECT_TRUE(SkinManager()->IsPopupMenuSkinned(popup));
    SkinManager()->ManagerActive = false;
    // Off, the skin answers only the query; the system paints the rest.
    EXPECT_EQ(SendMessageW(popup, skin::kSkinMsgIsSkinned, 0, 0), 1);
  });
  EXPECT_EQ(SkinManager()->PopupMenuCount(), 0);
  SkinManager()->ManagerActive = true;
}

}  // namespace
