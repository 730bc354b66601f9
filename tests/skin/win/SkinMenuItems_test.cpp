// Owner-drawn menu items of skinned forms: the handlers the skinned window gives to its form's popup
// menus (also to items made later), their measuring and drawing from the skin's MenuItem strip, and the
// handlers taken away again.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ByteBuilder.h"
#include "Menus.h"
#include "MessageLoop.h"
#include "NCFrameFixture.h"
#include "PaintSurface.h"
#include "SkinPack.h"
#include "SkinTestForms.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace {

using skin::SkinManager;

constexpr COLORREF kItemFrames[] = {RGB(10, 100, 10), RGB(200, 200, 0), RGB(0, 0, 1), RGB(20, 20, 220),
                                    RGB(0, 0, 2)};
constexpr int kLeftWidth = 4;

// A MenuItem strip of five flat frames (1 normal, 2 separator, 4 selected).
std::string MenuItemPackage(const std::string& colours = "") {
  const std::string ini = "[Colours]\r\nButtonFace=10 20 30\r\n" + colours +
                          "[MenuItem]\r\nImage=item.bmp\r\nLeftWidth=4\r\n";
  return skin::BuildSkinPackage({{"items.ini", ini}, {"item.bmp", ncframe::Strip(5, 12, 12, false, kItemFrames)}});
}

class SkinMenuItemsTest : public skintest::SkinFormsTest {
 protected:
  skin::TWinSkinForm* Load(const std::string& package = MenuItemPackage(), bool rightToLeft = false) {
    skintest::TfrmSkinTest* form = NewSizedForm(0, 300, 200);
    cl::ReadRootComponent(form, skintest::FormWithSkin(package, "sfMainform", "[xcMainMenu, xcPopupMenu]"));
    if (rightToLeft)
      SetWindowLongPtrW(form->Handle(), GWL_EXSTYLE, GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
    main_ = form;
    menu_ = new cl::TPopupMenu(form);
    // Left to the system: its Tag's last two digits are the DisableTag.
    disabled_ = new cl::TPopupMenu(form);
    disabled_->SetTag(199);
    disabled_->Items()->Add(NewItem("Own"));
    for (const char* caption : {"First", "-", "Third"}) menu_->Items()->Add(NewItem(caption));
    form->Show();
    skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(form->Handle());
    if (skinned) EXPECT_TRUE(hktest::PumpUntil([&] { return skinned->ControlsSkinned(); }));
    return skinned;
  }
  cl::TMenuItem* NewItem(const char* caption) {
    auto* item = new cl::TMenuItem(main_);
    item->SetCaption(caption);
    return item;
  }
  static bool OwnerDrawn(HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return (info.fType & MFT_OWNERDRAW) != 0;
  }
  // The item drawn into a surface of its measured size (at least 60 by 16), or of drawWidth when given.
  std::unique_ptr<hktest::PaintSurface> Drawn(cl::TMenuItem* item, bool selected, int* width = nullptr,
                                              int drawWidth = 0) {
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, item->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(item)};
    cl::TMessage m{WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), 0};
    EXPECT_TRUE(menu_->DispatchItemMessage(m));
    if (width) *width = static_cast<int>(measure.itemWidth);
    const int w = drawWidth ? drawWidth : std::max<int>(measure.itemWidth, 60);
    const int h = std::max<int>(measure.itemHeight, 16);
    auto surface = std::make_unique<hktest::PaintSurface>(w, h);
    DRAWITEMSTRUCT draw{ODT_MENU, 0, item->Command(), ODA_DRAWENTIRE, selected ? ODS_SELECTED : 0u, nullptr,
                        surface->DC(), {0, 0, w, h}, reinterpret_cast<ULONG_PTR>(item)};
    cl::TMessage d{WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), 0};
    EXPECT_TRUE(menu_->DispatchItemMessage(d));
    return surface;
  }
  COLORREF DrawnPixel(cl::TMenuItem* item, bool selected, int x, int y, int* width = nullptr) {
    return Drawn(item, selected, width)->Pixel(x, y);
  }
  // The pixels of an item's drawing that have this colour.
  int PixelsOf(cl::TMenuItem* item, COLORREF colour) {
    const auto surface = Drawn(item, false);
    int count = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 60; ++x) count += surface->Pixel(x, y) == colour ? 1 : 0;
    return count;
  }
  // The pixels of the item drawn with this caption, row by row, in a surface of drawWidth (0: measured).
  std::vector<COLORREF> Picture(cl::TMenuItem* item, const char* caption, int drawWidth = 0) {
    item->SetCaption(caption);
    const auto surface = Drawn(item, false, nullptr, drawWidth);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < kPictureRows; ++y)
      for (int x = 0; x < (drawWidth ? drawWidth : 60); ++x) pixels.push_back(surface->Pixel(x, y));
    return pixels;
  }
  static constexpr int kPictureRows = 24;
  cl::TPopupMenu* menu_ = nullptr;
  cl::TPopupMenu* disabled_ = nullptr;
};

// A disabled item is written in the skin's ButtonShadow, or in the system's when that equals MenuText;
// a popup menu whose Tag ends in the DisableTag keeps the system's drawing.
TEST_F(SkinMenuItemsTest, DisabledItemsAndDisabledMenus) {
  ASSERT_NE(Load(MenuItemPackage("ButtonShadow=200 0 0\r\nMenuText=0 0 0\r\n")), nullptr);
  EXPECT_FALSE(disabled_->OwnerDraw());
  EXPECT_FALSE(static_cast<bool>(disabled_->Items()->Items(0)->OnDrawItem));
  cl::TMenuItem* first = menu_->Items()->Items(0);
  EXPECT_EQ(PixelsOf(first, RGB(200, 0, 0)), 0);
  EXPECT_GT(PixelsOf(first, RGB(0, 0, 0)), 5);
  first->SetEnabled(false);
  EXPECT_GT(PixelsOf(first, RGB(200, 0, 0)), 5);
  EXPECT_EQ(PixelsOf(first, RGB(0, 0, 0)), 0);
}

TEST_F(SkinMenuItemsTest, ADisabledItemWithTheShadowOfTheTextTakesTheSystemsShadow) {
  ASSERT_NE(Load(MenuItemPackage("ButtonShadow=200 0 0\r\nMenuText=200 0 0\r\n")), nullptr);
  cl::TMenuItem* first = menu_->Items()->Items(0);
  first->SetEnabled(false);
  EXPECT_EQ(PixelsOf(first, RGB(200, 0, 0)), 0);
  EXPECT_GT(PixelsOf(first, cl::ColorToRGB(cl::clBtnShadow)), 5);
}

TEST_F(SkinMenuItemsTest, TheFormsPopupMenusAreOwnerDrawnFromTheSkinUntilUnskinned) {
  skin::TWinSkinForm* skinned = Load();
  ASSERT_NE(skinned, nullptr);
  EXPECT_TRUE(menu_->OwnerDraw());
  for (UINT i = 0; i < 3; ++i) EXPECT_TRUE(OwnerDrawn(menu_->Handle(), i)) << i;
  cl::TMenuItem* first = menu_->Items()->Items(0);
  EXPECT_TRUE(static_cast<bool>(first->OnDrawItem));

  // Frame 1, frame 4 selected, frame 2 for the separator; the skin's left margin and the glyph room
  // widen the item.
  int skinnedWidth = 0;
  EXPECT_EQ(DrawnPixel(first, false, 1, 1, &skinnedWidth), kItemFrames[0]);
  EXPECT_EQ(DrawnPixel(first, true, 1, 1), kItemFrames[3]);
  EXPECT_EQ(DrawnPixel(menu_->Items()->Items(1), false, 6, 4), kItemFrames[1]);

  skinned->Unskin();
  EXPECT_FALSE(menu_->OwnerDraw());
  EXPECT_FALSE(static_cast<bool>(first->OnDrawItem));
  EXPECT_FALSE(OwnerDrawn(menu_->Handle(), 0));
  // Measured by the item alone now (what the menu would ask if it were owner-drawn again).
  menu_->SetOwnerDraw(true);
  int plainWidth = 0;
  DrawnPixel(first, false, 1, 1, &plainWidth);
  EXPECT_EQ(skinnedWidth, plainWidth + kLeftWidth + 35);
  menu_->SetOwnerDraw(false);
}

// A checked item shows the system's check mark in clBtnText over the item's own frame (no box of its
// own); a checked item with an image shows it on the dotted clBtnFace and clBtnHighlight ground.
TEST_F(SkinMenuItemsTest, CheckedItemsShowTheMarkOnTheFrameAndImagesOnTheDottedGround) {
  ASSERT_NE(Load(), nullptr);
  cl::TMenuItem* first = menu_->Items()->Items(0);
  first->SetChecked(true);
  const COLORREF ink = cl::ColorToRGB(cl::clBtnText);
  int inked = 0, foreign = 0;
  // The glyph box: one pixel in, past the skin's left margin, 16 pixels square.
  const auto checked = Drawn(first, false);
  for (int y = 1; y < 17; ++y)
    for (int x = 1 + kLeftWidth; x < 17 + kLeftWidth; ++x) {
      const COLORREF c = checked->Pixel(x, y);
      inked += c == ink ? 1 : 0;
      foreign += c != ink && c != kItemFrames[0] ? 1 : 0;
    }
  EXPECT_GT(inked, 10);
  EXPECT_EQ(foreign, 0);

  auto* images = new cl::TImageList(main_);
  images->SetWidth(16);
  images->SetHeight(16);
  cl::TBitmap clear;
  clear.SetSize(16, 16);
  clear.Canvas()->Brush()->SetColor(cl::clFuchsia);
  clear.Canvas()->FillRect(cl::Rect(0, 0, 16, 16));
  images->AddMasked(&clear, cl::clFuchsia);  // nothing of the image shows
  menu_->SetImages(images);
  first->SetImageIndex(0);
  const COLORREF a = DrawnPixel(first, false, 1 + kLeftWidth + 6, 8);
  const COLORREF b = DrawnPixel(first, false, 1 + kLeftWidth + 7, 8);
  const COLORREF face = cl::ColorToRGB(cl::clBtnFace), light = cl::ColorToRGB(cl::clBtnHighlight);
  EXPECT_TRUE((a == face && b == light) || (a == light && b == face)) << a << " " << b;
  menu_->SetImages(nullptr);
}

// A right-to-left window's items are mirrored: the check mark at the right end, past the skin's margin.
TEST_F(SkinMenuItemsTest, RightToLeftItemsAreMirrored) {
  ASSERT_NE(Load(MenuItemPackage(), true), nullptr);
  cl::TMenuItem* first = menu_->Items()->Items(0);
  first->SetChecked(true);
  int width = 0;
  const auto drawn = Drawn(first, false, &width);
  const int w = std::max(width, 60);
  const COLORREF ink = cl::ColorToRGB(cl::clBtnText);
  int left = 0, right = 0;
  for (int y = 1; y < 17; ++y)
    for (int x = 0; x < 16; ++x) {
      left += drawn->Pixel(1 + kLeftWidth + x, y) == ink ? 1 : 0;
      right += drawn->Pixel(w - 1 - kLeftWidth - 16 + x, y) == ink ? 1 : 0;
    }
  EXPECT_GT(right, 10);
  EXPECT_EQ(left, 0);
}

// An empty caption or a lone "&" is measured as one blank: the short cut, cut off where the measured
// caption ends, shows from the same column as after a " " caption. A prefix is drawn as an underline
// taking no room.
TEST_F(SkinMenuItemsTest, ALoneAmpersandIsMeasuredWithABlankAndPrefixesAreUnderlined) {
  ASSERT_NE(Load(), nullptr);
  cl::TMenuItem* item = menu_->Items()->Items(0);
  // The caption starts past the margin, the glyph box and a 3-pixel gap; the short cut ends 11 pixels
  // before the right edge. This narrow item leaves it less room than its text needs.
  constexpr int kNarrow = 1 + kLeftWidth + 16 + 3 + 11 + 12;
  // The first column where the short cut shows beside this caption.
  const auto shortCutStart = [&](const char* caption) {
    item->SetShortCut(cl::scNone);
    const std::vector<COLORREF> without = Picture(item, caption, kNarrow);
    item->SetShortCut(cl::ShortCut('A', false, true, false));
    const std::vector<COLORREF> with = Picture(item, caption, kNarrow);
    int first = kNarrow;
    for (size_t i = 0; i < with.size(); ++i)
      if (with[i] != without[i]) first = std::min(first, static_cast<int>(i % kNarrow));
    return first;
  };
  const int afterBlank = shortCutStart(" ");
  EXPECT_LT(afterBlank, kNarrow);
  EXPECT_EQ(shortCutStart("&"), afterBlank);
  EXPECT_EQ(shortCutStart(""), afterBlank);
  item->SetShortCut(cl::scNone);

  // "&File" is "File" plus one underlined row.
  const std::vector<COLORREF> plain = Picture(item, "File"), prefixed = Picture(item, "&File");
  std::set<int> rows;
  int extra = 0;
  for (size_t i = 0; i < plain.size(); ++i)
    if (plain[i] != prefixed[i]) {
      rows.insert(static_cast<int>(i / 60));
      ++extra;
    }
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_GE(extra, 3);
}

// The tray's program items are made again after each save: the new ones are skinned when the menu opens.
TEST_F(SkinMenuItemsTest, ItemsMadeAfterSkinningAreSkinnedWhenTheMenuOpens) {
  ASSERT_NE(Load(), nullptr);
  cl::TMenuItem* programs = NewItem("Programs");
  menu_->Items()->Add(programs);
  cl::TMenuItem* later = NewItem("Made later");
  programs->Add(later);
  EXPECT_FALSE(static_cast<bool>(later->OnDrawItem));
  EXPECT_TRUE(OwnerDrawn(programs->Handle(), 0)) << "a rebuilt entry keeps the owner drawing";
  // Every item is the skin's, also one that came with a drawing of its own.
  programs->OnDrawItem = [](cl::TObject*, cl::TCanvas*, const cl::TRect&, bool) {};
  SendMessageW(main_->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu_->Handle()), 0);
  EXPECT_TRUE(static_cast<bool>(later->OnDrawItem));
  EXPECT_EQ(DrawnPixel(later, false, 1, 1), kItemFrames[0]);
  EXPECT_EQ(DrawnPixel(programs, false, 1, 1), kItemFrames[0]);
}

}  // namespace
