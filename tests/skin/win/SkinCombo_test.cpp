// The combo-box painter on real combo boxes: the composed strip's frame for each state (normal, hot,
// pressed in the edit, disabled even when hot), the left-button look with its reversed frames, nothing
// drawn without the sunken edge or over a simple combo box, a drop-down that still drops down and
// selects, and a simple combo box's list painter left to the one owner.
#include "SkinCombo.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ByteBuilder.h"
#include "DeviceContext.h"
#include "FormsTestSupport.h"
#include "MessageLoop.h"
#include "NCFrameFixture.h"
#include "PainterFormTest.h"
#include "SkinPack.h"
#include "StdClasses.h"
#include "StdCtrls.h"
#include "WinSkinData.h"

namespace {

using skin::TSkinComBox;

// Frames 1-4 of the sunken edge and of the combo button: normal, pressed, disabled, hot.
constexpr COLORREF kEdge[4] = {RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200), RGB(200, 200, 40)};
constexpr COLORREF kButton[4] = {RGB(120, 0, 60), RGB(0, 120, 60), RGB(60, 0, 120), RGB(120, 120, 0)};

std::string ComboPackage(bool withSunkEdge) {
  std::string ini =
      "[Colours]\r\nButtonFace=10 20 30\r\n"
      "[ComboButton]\r\nImage=button.bmp\r\nLeftWidth=1\r\nTopHeight=1\r\nRightWidth=1\r\nBottomHeight=1\r\n";
  if (withSunkEdge)
    ini += "[SunkEdge]\r\nImage=sunk.bmp\r\nLeftWidth=2\r\nTopHeight=2\r\nRightWidth=2\r\nBottomHeight=2\r\n";
  return skin::BuildSkinPackage({{"combo.ini", ini},
                                 {"button.bmp", ncframe::Strip(4, 8, 8, false, kButton)},
                                 {"sunk.bmp", ncframe::Strip(4, 8, 8, false, kEdge)}});
}

// Combo boxes of the other kinds: the button on the left, or no button at all.
class TLeftButtonCombo : public cl::TComboBox {
  CL_PLAIN_CLASS(TLeftButtonCombo, cl::TComboBox)
  using TComboBox::TComboBox;

 protected:
  void CreateParams(cl::TCreateParams& params) override {
    TComboBox::CreateParams(params);
    params.ExStyle |= WS_EX_LEFTSCROLLBAR;
  }
};

class TSimpleCombo : public cl::TComboBox {
  CL_PLAIN_CLASS(TSimpleCombo, cl::TComboBox)
  using TComboBox::TComboBox;

 protected:
  void CreateParams(cl::TCreateParams& params) override {
    TComboBox::CreateParams(params);
    params.Style = (params.Style & ~3u) | CBS_SIMPLE;
    params.Height = 100;
  }
};

// A combo painter whose simple combo boxes get a plain painter on their list.
class TListedComBox : public TSkinComBox {
  CL_PLAIN_CLASS(TListedComBox, TSkinComBox)
  using TSkinComBox::TSkinComBox;

 protected:
  skin::TSkinControl* NewListPainter() override { return new skin::TSkinControl(Owner()); }
};

// The sunken edge's colour on the outer edge away from the button, and the button's colour in the middle
// of the button.
struct TLook {
  COLORREF edge;
  COLORREF button;
  friend bool operator==(const TLook&, const TLook&) = default;
};

void PrintTo(const TLook& look, std::ostream* os) {
  *os << std::hex << "{edge " << look.edge << ", button " << look.button << "}";
}

class SkinComboTest : public skintest::PainterFormTest {
 protected:
  void SetUp() override {
    PainterFormTest::SetUp();
    MakeForm(60, 60, 320, 240);
    // Keeps the focus away from the combo boxes.
    NewControl<cl::TButton>(200, 150, 80, 24);
    form_->Show();
  }
  void LoadSkin(bool withSunkEdge) { LoadPackage(ComboPackage(withSunkEdge)); }
  template <class TCombo = cl::TComboBox>
  TCombo* NewCombo(cl::TComboBoxStyle style = cl::csDropDown) {
    auto* combo = new TCombo(form_);
    combo->SetStyle(style);
    combo->SetParent(form_);
    combo->SetBounds(10, 10, 150, 24);
    for (const char* item : {"one", "two", "three"}) combo->Items()->Add(item);
    return combo;
  }
  template <class TPainter = TSkinComBox>
  TPainter* Skin(cl::TComboBox* combo) {
    auto* painter = new TPainter(combo);
    painter->Attach(nullptr, data_, false);
    Repaint(combo->Handle());
    return painter;
  }
  static void Repaint(HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  static COLORREF Pixel(HWND wnd, int x, int y) { return skintest::WindowPixel(wnd, x, y); }
  static SIZE WindowSize(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
  }
  // After a full repaint.
  static TLook Look(HWND wnd, bool leftButton = false) {
    Repaint(wnd);
    const SIZE size = WindowSize(wnd);
    const int buttonMiddle = (GetSystemMetrics(SM_CXHSCROLL) + 2) / 2;
    if (leftButton) return {Pixel(wnd, size.cx - 1, size.cy / 2), Pixel(wnd, buttonMiddle, size.cy / 2)};
    return {Pixel(wnd, 0, size.cy / 2), Pixel(wnd, size.cx - buttonMiddle, size.cy / 2)};
  }
  static TLook Frame(int frame) { return {kEdge[frame - 1], kButton[frame - 1]}; }
  // Every pixel of the window, row by row.
  static std::vector<COLORREF> Pixels(HWND wnd) {
    Repaint(wnd);
    const SIZE size = WindowSize(wnd);
    const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x) pixels.push_back(GetPixel(dc.Get(), x, y));
    return pixels;
  }

};

TEST_F(SkinComboTest, EachStateShowsItsFrameOfTheComposedStrip) {
  LoadSkin(true);
  auto* combo = NewCombo();
  auto* painter = Skin(combo);
  const HWND wnd = combo->Handle();
  ASSERT_NE(painter->HookedEdit(), nullptr);
  EXPECT_EQ(Look(wnd), Frame(1));

  combo->Perform(cl::CM_MOUSEENTER);
  EXPECT_EQ(Look(wnd), Frame(4));
  combo->Perform(cl::CM_MOUSELEAVE);
  EXPECT_EQ(Look(wnd), Frame(1));

  // A press in the edit part shows until the button is released.
  const HWND edit = painter->HookedEdit();
  SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(Look(wnd), Frame(2));
  SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Look(wnd), Frame(1));

  // Disabled wins over hot.
  combo->Perform(cl::CM_MOUSEENTER);
  combo->SetEnabled(false);
  EXPECT_EQ(Look(wnd), Frame(3));
  combo->SetEnabled(true);
  EXPECT_EQ(Look(wnd), Frame(4));

  // Switched off, neither the combo box's paints nor its edit's bring the skin back.
  SendMessageW(wnd, skin::kSkinMsgPainterSwitch, 0, 0);
  const TLook off = Look(wnd);
  for (const COLORREF c : kEdge) EXPECT_NE(off.edge, c);
  SendMessageW(wnd, skin::kSkinMsgPainterSwitch, 1, 0);
  EXPECT_EQ(Look(wnd), Frame(4));
}

TEST_F(SkinComboTest, TheLeftButtonLookCountsItsMirroredFramesBackwards) {
  LoadSkin(true);
  auto* combo = NewCombo<TLeftButtonCombo>();
  Skin(combo);
  const HWND wnd = combo->Handle();
  EXPECT_EQ(Look(wnd, true), Frame(1));
  combo->Perform(cl::CM_MOUSEENTER);
  EXPECT_EQ(Look(wnd, true), Frame(4));
  combo->SetEnabled(false);
  EXPECT_EQ(Look(wnd, true), Frame(3));
}

TEST_F(SkinComboTest, WithoutTheSunkenEdgeNothingIsDrawnOnEitherLook) {
  LoadSkin(false);
  for (cl::TComboBox* combo : {NewCombo(), static_cast<cl::TComboBox*>(NewCombo<TLeftButtonCombo>())}) {
    const std::vector<COLORREF> own = Pixels(combo->Handle());
    Skin(combo);
    EXPECT_EQ(Pixels(combo->Handle()), own);
  }
}

TEST_F(SkinComboTest, ASimpleComboBoxGetsNothingDrawnOverItAndItsListPainterGoesWithIt) {
  LoadSkin(true);
  auto* combo = NewCombo<TSimpleCombo>();
  const std::vector<COLORREF> own = Pixels(combo->Handle());
  auto* painter = Skin<TListedComBox>(combo);
  EXPECT_EQ(Pixels(combo->Handle()), own);
  EXPECT_EQ(painter->HookedEdit(), nullptr);

  skin::TSkinControl* list = painter->ListPainter();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Handle(), painter->List());
  EXPECT_EQ(list->Owner(), combo);
  const LONG_PTR listProc = GetWindowLongPtrW(painter->List(), GWLP_WNDPROC);
  // The combo painter frees the list painter with itself: the list gets its procedure back, and the
  // control has no painter left to free again.
  const HWND listWnd = painter->List();
  delete painter;
  EXPECT_EQ(combo->ComponentCount(), 0);
  EXPECT_NE(GetWindowLongPtrW(listWnd, GWLP_WNDPROC), listProc);
  delete combo;
}

TEST_F(SkinComboTest, ADropDownListStillDropsDownAndSelects) {
  LoadSkin(true);
  auto* combo = NewCombo(cl::csDropDownList);
  int changes = 0;
  combo->OnChange = [&](cl::TObject*) { ++changes; };
  Skin(combo);
  const HWND wnd = combo->Handle();
  const SIZE size = WindowSize(wnd);
  const LPARAM onButton = MAKELPARAM(size.cx - 6, size.cy / 2);
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, onButton);
  SendMessageW(wnd, WM_LBUTTONUP, 0, onButton);
  ASSERT_TRUE(SendMessageW(wnd, CB_GETDROPPEDSTATE, 0, 0));

  // The second item is chosen from the open list with the keys.
  for (int i = 0; i < 2; ++i) {
    SendMessageW(wnd, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(wnd, WM_KEYUP, VK_DOWN, 0);
  }
  SendMessageW(wnd, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageW(wnd, WM_KEYUP, VK_RETURN, 0);
  EXPECT_TRUE(hktest::PumpUntil([&] { return !SendMessageW(wnd, CB_GETDROPPEDSTATE, 0, 0); }));
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(changes, 2);
}

}  // namespace
