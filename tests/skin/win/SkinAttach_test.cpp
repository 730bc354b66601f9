// The skinned window gives each control the painter of its class, once, within the skin's switches, and
// each child of a bare window the painter of its button type; its painter list follows the controls.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "MessageLoop.h"
#include "SkinBoxes.h"
#include "SkinButtons.h"
#include "SkinChecks.h"
#include "SkinCombo.h"
#include "SkinListView.h"
#include "SkinScrollbars.h"
#include "SkinEdits.h"
#include "SkinRanges.h"
#include "SkinTestForms.h"
#include "FileUtil.h"
#include "Spin.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace {

using skin::SkinManager;
using skin::TSkinControl;
using skintest::TfrmSkinTest;

constexpr const char* kAllControls =
    "[xcMainMenu, xcPopupMenu, xcCombo, xcCheckBox, xcRadioButton, xcProgress, xcScrollbar, xcEdit, xcButton, "
    "xcBitBtn, xcSpeedButton, xcPanel, xcGroupBox, xcStatusBar, xcTab, xcSystemMenu]";

class SkinAttachTest : public skintest::SkinFormsTest {
 protected:
  // The main form with its skin component (the given switches), not shown yet.
  TfrmSkinTest* NewLabForm(const std::string& switches = kAllControls) {
    TfrmSkinTest* form = NewSizedForm(0, 420, 320);
    cl::ReadRootComponent(form, skintest::FormWithSkin(skintest::FlatPackage(), "sfMainform", switches));
    main_ = form;
    return form;
  }
  template <class T>
  T* Add(cl::TWinControl* parent, int top, int tag = 0) {
    auto* control = new T(main_);
    control->SetParent(parent);
    control->SetBounds(10 + 130 * (top / 200), 10 + top % 200, 110, 24);
    control->SetTag(tag);
    return control;
  }
  skin::TWinSkinForm* ShowSkinned() {
    main_->Show();
    skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(main_->Handle());
    EXPECT_NE(skinned, nullptr);
    if (skinned) EXPECT_TRUE(hktest::PumpUntil([&] { return skinned->ControlsSkinned(); }));
    return skinned;
  }
  // The painter of a control in the window's list, or null.
  static TSkinControl* PainterOf(const skin::TWinSkinForm& skinned, const cl::TControl* control) {
    for (TSkinControl* p : skinned.Painters())
      if (p->Painted() == control) return p;
    return nullptr;
  }
  template <class P>
  static bool Has(const skin::TWinSkinForm& skinned, const cl::TControl* control) {
    TSkinControl* p = PainterOf(skinned, control);
    return p && p->ClassType() == P::StaticClass();
  }
};

TEST_F(SkinAttachTest, EachControlGetsThePainterOfItsClassOnceEvenOnASecondPass) {
  NewLabForm();
  auto* button = Add<cl::TButton>(main_, 0);
  auto* check = Add<cl::TCheckBox>(main_, 30);
  auto* radio = Add<cl::TRadioButton>(main_, 60);
  auto* progress = Add<cl::TProgressBar>(main_, 90);
  auto* upDown = Add<cl::TUpDown>(main_, 120);
  auto* status = Add<cl::TStatusBar>(main_, 150);
  auto* group = Add<cl::TGroupBox>(main_, 200);
  group->SetHeight(80);
  auto* inGroup = Add<cl::TCheckBox>(group, 20);
  auto* panel = Add<cl::TPanel>(main_, 300);
  panel->SetHeight(60);
  auto* speed = Add<cl::TSpeedButton>(panel, 10);
  auto* edit = Add<cl::TEdit>(main_, 380);
  auto* spin = Add<cl::TSpinEdit>(main_, 240);
  auto* combo = Add<cl::TComboBox>(main_, 270);
  auto* memo = Add<cl::TMemo>(main_, 330);
  memo->SetScrollBars(cl::ssVertical);
  auto* list = Add<cl::TListView>(main_, 360);
  auto* off199 = Add<cl::TButton>(main_, 180, 199);
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);

  EXPECT_TRUE(Has<skin::TSkinButton>(*skinned, button));
  EXPECT_TRUE(Has<skin::TSkinCheckBox>(*skinned, check));
  EXPECT_TRUE(Has<skin::TSkinCheckBox>(*skinned, inGroup));
  EXPECT_TRUE(Has<skin::TSkinRadioButton>(*skinned, radio));
  EXPECT_TRUE(Has<skin::TSkinProgress>(*skinned, progress));
  EXPECT_TRUE(Has<skin::TSkinUpDown>(*skinned, upDown));
  EXPECT_TRUE(Has<skin::TSkinStatusBar>(*skinned, status));
  EXPECT_TRUE(Has<skin::TSkinGroupBox>(*skinned, group));
  EXPECT_TRUE(Has<skin::TSkinBox>(*skinned, panel));
  EXPECT_TRUE(Has<skin::TSkinSpeedButton>(*skinned, speed));
  EXPECT_TRUE(Has<skin::TSkinComBox>(*skinned, combo));
  EXPECT_TRUE(Has<skin::TSkinScrollbar>(*skinned, memo)) << "a memo's painter is its scroll bars'";
  EXPECT_TRUE(Has<skin::TSkinListView>(*skinned, list));
  // Edits are subclassed; a spin edit's arrows get theirs at its first paint.
  TSkinControl* editPainter = skinned->FindControlByHandle(edit->Handle());
  ASSERT_NE(editPainter, nullptr);
  EXPECT_EQ(editPainter->ClassType(), skin::TSkinEdit::StaticClass());
  EXPECT_EQ(editPainter->Owner(), edit);
  auto* spinPainter = dynamic_cast<skin::TSkinEdit*>(skinned->FindControlByHandle(spin->Handle()));
  ASSERT_NE(spinPainter, nullptr);
  RedrawWindow(spin->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_NE(spinPainter->UpDown(), nullptr);
  EXPECT_EQ(spinPainter->UpDown()->Handle(), spin->ArrowsHandle());
  EXPECT_EQ(PainterOf(*skinned, off199), nullptr) << "Tag 199 is DisableTag 99 in its last two digits";

  // A second pass finds every control skinned, the windowless speed button too.
  const size_t count = skinned->Painters().size();
  const int links = button->WindowProc.LinkCount();
  const int speedLinks = speed->WindowProc.LinkCount();
  skinned->SkinControls(main_);
  EXPECT_EQ(skinned->Painters().size(), count);
  EXPECT_EQ(button->WindowProc.LinkCount(), links);
  EXPECT_EQ(speed->WindowProc.LinkCount(), speedLinks);
}

// A simple combo box: no button to draw, a list with its own painter.
class TSimpleComboBox : public cl::TComboBox {
  CL_PLAIN_CLASS(TSimpleComboBox, cl::TComboBox)
  explicit TSimpleComboBox(cl::TComponent* owner) : TComboBox(owner) {}
  void CreateParams(cl::TCreateParams& params) override {
    TComboBox::CreateParams(params);
    params.Style = (params.Style & ~3u) | CBS_SIMPLE;
    params.Height = 100;
  }
};

// The combo painter frees its list's painter; the window's painter list frees each painter once.
TEST_F(SkinAttachTest, UnskinningFreesASimpleComboBoxsPaintersOnce) {
  NewLabForm();
  auto* combo = Add<TSimpleComboBox>(main_, 0);
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  auto* painter = dynamic_cast<skin::TSkinComBox*>(PainterOf(*skinned, combo));
  ASSERT_NE(painter, nullptr);
  ASSERT_NE(painter->ListPainter(), nullptr);
  EXPECT_EQ(skinned->FindControlByHandle(painter->List()), painter->ListPainter());
  auto* data = cl::ComponentAs<skin::TSkinData>(main_, "SkinData1");
  data->SetActive(false);
  ASSERT_TRUE(hktest::PumpUntil([&] { return SkinManager()->PendingData == nullptr; }));
  EXPECT_EQ(SkinManager()->FindSkinForm(main_->Handle()), nullptr);
  EXPECT_EQ(combo->ComponentCount(), 0);
}

TEST_F(SkinAttachTest, TheSkinsSwitchesLeaveTheirControlsAlone) {
  NewLabForm("[xcMainMenu, xcCheckBox]");
  auto* button = Add<cl::TButton>(main_, 0);
  auto* check = Add<cl::TCheckBox>(main_, 30);
  auto* radio = Add<cl::TRadioButton>(main_, 60);
  auto* panel = Add<cl::TPanel>(main_, 90);
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  EXPECT_EQ(PainterOf(*skinned, button), nullptr);
  EXPECT_TRUE(Has<skin::TSkinCheckBox>(*skinned, check));
  EXPECT_EQ(PainterOf(*skinned, radio), nullptr);
  EXPECT_EQ(PainterOf(*skinned, panel), nullptr);
}

// A control that goes takes its painter out of the list, and the hot painter with it; a control whose
// window was made again gets a fresh painter at the next pass, the dead one purged.
TEST_F(SkinAttachTest, ThePainterListFollowsTheControls) {
  NewLabForm();
  auto* button = Add<cl::TButton>(main_, 0);
  auto* other = Add<cl::TButton>(main_, 30);
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  TSkinControl* painter = PainterOf(*skinned, button);
  ASSERT_NE(painter, nullptr);
  skinned->SetHotPainter(painter);
  const size_t count = skinned->Painters().size();
  delete button;
  EXPECT_EQ(skinned->Painters().size(), count - 1);
  EXPECT_EQ(skinned->HotPainter(), nullptr);

  TSkinControl* old = PainterOf(*skinned, other);
  other->RecreateWnd();
  other->HandleNeeded();
  EXPECT_EQ(old->State(), skin::kPainterDestroyed);
  const int links = other->WindowProc.LinkCount();
  skinned->SkinControls(main_);
  TSkinControl* fresh = PainterOf(*skinned, other);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->State(), skin::kPainterAttached);
  EXPECT_EQ(fresh->Handle(), other->Handle());
  EXPECT_EQ(other->WindowProc.LinkCount(), links) << "the dead painter's link went with it";
}

// A second window the main form owns (the timer's warning and settings windows) is skinned by its own
// skin when shown, its controls painted once; a form placed inside the main form is one of its controls.
TEST_F(SkinAttachTest, AnOwnedWindowIsPaintedByItsOwnSkinAndAFormInsideByTheOwners) {
  NewLabForm();
  auto* owned = cl::NewForm<TfrmSkinTest>(main_);
  owned->SetBounds(480, 40, 200, 120);
  auto* ownedButton = new cl::TButton(owned);
  ownedButton->SetParent(owned);
  ownedButton->SetBounds(10, 10, 110, 24);
  auto* inside = cl::NewForm<TfrmSkinTest>(main_);
  inside->SetBorderStyle(cl::bsNone);
  inside->SetParent(main_);
  inside->SetBounds(10, 100, 200, 80);
  auto* insideButton = new cl::TButton(inside);
  insideButton->SetParent(inside);
  insideButton->SetBounds(10, 10, 110, 24);
  inside->Show();
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  EXPECT_EQ(PainterOf(*skinned, owned), nullptr);
  EXPECT_EQ(PainterOf(*skinned, ownedButton), nullptr);
  EXPECT_TRUE(Has<skin::TSkinBox>(*skinned, inside));
  EXPECT_TRUE(Has<skin::TSkinButton>(*skinned, insideButton));

  owned->Show();
  skin::TWinSkinForm* own = nullptr;
  ASSERT_TRUE(hktest::PumpUntil([&] {
    own = SkinManager()->FindSkinForm(owned->Handle());
    return own && own->ControlsSkinned();
  }));
  EXPECT_TRUE(Has<skin::TSkinButton>(*own, ownedButton));
  EXPECT_EQ(PainterOf(*skinned, ownedButton), nullptr) << "one painter, its own window's";
}

// A control whose window is not made yet counts as skinned on a preview form only (once a painter of a
// bare window is listed).
TEST_F(SkinAttachTest, AControlWithoutAWindowCountsAsSkinnedOnlyOnAPreviewForm) {
  NewLabForm();
  Add<cl::TEdit>(main_, 0);  // its painter is bound to its window
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  auto* holder = new cl::TPanel(main_);  // no parent: no windows below it
  auto* pending = new cl::TButton(main_);
  pending->SetParent(holder);
  ASSERT_FALSE(pending->HandleAllocated());
  EXPECT_FALSE(skinned->IsControlSkinned(pending));
  main_->SetName("frmPrintPreview");
  EXPECT_TRUE(skinned->IsControlSkinned(pending));
  EXPECT_FALSE(pending->HandleAllocated());
}

TEST_F(SkinAttachTest, UnskinningFreesThePaintersAndGivesColoursAndPathsBack) {
  NewLabForm();
  auto* button = Add<cl::TButton>(main_, 0);
  auto* panel = Add<cl::TPanel>(main_, 30);
  panel->SetColor(0x204060);
  const int links = button->WindowProc.LinkCount();
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  EXPECT_EQ(panel->Color(), cl::TColor{RGB(10, 20, 30)});
  EXPECT_EQ(button->WindowProc.LinkCount(), links + 1);
  skinned->Unskin();
  EXPECT_TRUE(skinned->Painters().empty());
  EXPECT_EQ(panel->Color(), 0x204060);
  EXPECT_EQ(button->WindowProc.LinkCount(), links);
  EXPECT_EQ(button->ComponentCount(), 0) << "the painter owned by the button is gone";
}

// The painters on a control's path double-buffer it, and unskinning leaves that on; the panel painter,
// which keeps off the path, the edit's subclass and the memo's scroll-bar overlays leave it off.
TEST_F(SkinAttachTest, ThePaintersOnAControlsPathDoubleBufferItForGood) {
  NewLabForm();
  const std::vector<cl::TWinControl*> buffered{
      Add<cl::TButton>(main_, 0),       Add<cl::TCheckBox>(main_, 30),  Add<cl::TRadioButton>(main_, 60),
      Add<cl::TProgressBar>(main_, 90), Add<cl::TUpDown>(main_, 120),   Add<cl::TStatusBar>(main_, 150),
      Add<cl::TGroupBox>(main_, 200),   Add<cl::TComboBox>(main_, 230)};
  const std::vector<cl::TWinControl*> unbuffered{Add<cl::TPanel>(main_, 260), Add<cl::TEdit>(main_, 290),
                                                 Add<cl::TMemo>(main_, 320)};
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  for (cl::TWinControl* c : buffered) {
    ASSERT_NE(skinned->FindControlByHandle(c->Handle()), nullptr) << c->ClassName();
    EXPECT_TRUE(c->DoubleBuffered()) << c->ClassName();
  }
  for (cl::TWinControl* c : unbuffered) {
    ASSERT_NE(skinned->FindControlByHandle(c->Handle()), nullptr) << c->ClassName();
    EXPECT_FALSE(c->DoubleBuffered()) << c->ClassName();
  }

  skinned->Unskin();
  for (cl::TWinControl* c : buffered) EXPECT_TRUE(c->DoubleBuffered()) << c->ClassName();
}

// The skin's face colour reaches the controls that take their parent's colour: the background right of a
// check box's caption and that of a label follow the skin, a refresh with another face colour and the
// unskinning.
TEST_F(SkinAttachTest, CheckBoxesAndLabelsWearTheSkinsFaceColourAndFollowIt) {
  NewLabForm();
  auto* check = Add<cl::TCheckBox>(main_, 0);
  check->SetCaption("On");
  auto* label = new cl::TLabel(main_);
  label->SetParent(main_);
  label->SetAutoSize(false);
  label->SetBounds(10, 60, 110, 20);
  label->SetCaption("H");
  auto pixels = [&] {
    RedrawWindow(main_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const cl::TWindowDC box(check->Handle());
    const cl::TWindowDC client(main_->Handle());
    return std::pair{GetPixel(box.Get(), check->Width() - 4, check->Height() / 2), GetPixel(client.Get(), 100, 70)};
  };
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  EXPECT_EQ(pixels(), std::pair(RGB(10, 20, 30), RGB(10, 20, 30)));

  testsupport::TempDir dir;
  const std::string file = dir.File("other.skn");
  cl::WriteFileAtomic(file, skin::BuildSkinPackage({{"other.ini", "[Colours]\r\nButtonFace=200 100 50\r\n"}}));
  auto* data = cl::ComponentAs<skin::TSkinData>(main_, "SkinData1");
  int changed = 0;
  data->OnSkinChanged = [&](cl::TObject*) { ++changed; };
  data->SetSkinFile(file);
  ASSERT_TRUE(hktest::PumpUntil([&] { return changed == 1; }));
  data->OnSkinChanged = nullptr;
  EXPECT_EQ(pixels(), std::pair(RGB(200, 100, 50), RGB(200, 100, 50)));

  data->SetActive(false);
  ASSERT_TRUE(hktest::PumpUntil([&] { return SkinManager()->PendingData == nullptr; }));
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(pixels(), std::pair(face, face));
}

// A bare window: a dialog-framed top-level window of a class of our own, owned by the test's form.
class BareWindow {
 public:
  explicit BareWindow(HWND owner) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SkinAttachBare";
    RegisterClassW(&wc);
    wnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME, L"SkinAttachBare", L"Bare", WS_POPUP | WS_CAPTION | WS_SYSMENU, 500,
                           80, 360, 300, owner, nullptr, nullptr, nullptr);
  }
  ~BareWindow() {
    if (IsWindow(wnd_)) DestroyWindow(wnd_);
    UnregisterClassW(L"SkinAttachBare", GetModuleHandleW(nullptr));
  }
  BareWindow(const BareWindow&) = delete;
  BareWindow& operator=(const BareWindow&) = delete;
  HWND Handle() const noexcept { return wnd_; }

 private:
  HWND wnd_ = nullptr;
};

// Skins the bare window and waits for its children's painters.
skin::TWinSkinForm* SkinBare(HWND wnd) {
  if (!SkinManager()->SkinWindow(wnd)) return nullptr;
  skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(wnd);
  if (skinned && !hktest::PumpUntil([&] { return skinned->ControlsSkinned(); })) return nullptr;
  return skinned;
}

TEST_F(SkinAttachTest, ABareWindowsChildrenGetPaintersByClassAndButtonType) {
  NewLabForm();
  main_->Show();
  const BareWindow window(main_->Handle());
  const HWND bare = window.Handle();
  ASSERT_NE(bare, nullptr);
  struct Child {
    DWORD type;
    const char* expected;  // painter class, or "" for none
    HWND wnd;
  } children[] = {
      {BS_PUSHBUTTON, "TSkinButton", nullptr},     {BS_DEFPUSHBUTTON, "TSkinButton", nullptr},
      {BS_CHECKBOX, "TSkinCheckBox", nullptr},     {BS_AUTOCHECKBOX, "TSkinCheckBox", nullptr},
      {BS_3STATE, "TSkinCheckBox", nullptr},       {BS_AUTO3STATE, "TSkinCheckBox", nullptr},
      {BS_RADIOBUTTON, "TSkinRadioButton", nullptr}, {BS_AUTORADIOBUTTON, "TSkinRadioButton", nullptr},
      {BS_GROUPBOX, "", nullptr},                  {BS_OWNERDRAW, "", nullptr},
      {0xC /* split button */, "", nullptr},
  };
  int y = 4;
  for (Child& c : children) {
    c.wnd = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | c.type, 4, y, 120, 20, bare, nullptr,
                            nullptr, nullptr);
    y += 22;
  }
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 130, 4, 120, 22, bare, nullptr,
                              nullptr, nullptr);
  HWND text = CreateWindowExW(0, L"STATIC", L"text", WS_CHILD | WS_VISIBLE, 130, 30, 120, 22, bare, nullptr,
                              nullptr, nullptr);
  HWND dropDown = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 130, 56, 120, 120,
                                  bare, nullptr, nullptr, nullptr);
  HWND simple = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_SIMPLE, 130, 84, 120, 60, bare,
                                nullptr, nullptr, nullptr);
  HWND grip = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 300, 250, 16, 16, bare,
                              nullptr, nullptr, nullptr);
  HWND bar = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_VERT, 260, 4, 16, 100, bare, nullptr,
                             nullptr, nullptr);
  skin::TWinSkinForm* skinned = SkinBare(bare);
  ASSERT_NE(skinned, nullptr);
  for (const Child& c : children) {
    TSkinControl* p = skinned->FindControlByHandle(c.wnd);
    const std::string got = p ? std::string(p->ClassName()) : "";
    EXPECT_EQ(got, c.expected) << "button type " << c.type;
    if (p) EXPECT_EQ(p->Owner(), skinned);
  }
  TSkinControl* editPainter = skinned->FindControlByHandle(edit);
  ASSERT_NE(editPainter, nullptr);
  EXPECT_EQ(editPainter->ClassType(), skin::TSkinEdit::StaticClass());
  EXPECT_EQ(skinned->FindControlByHandle(text), nullptr);
  const auto classOf = [&](HWND w) {
    TSkinControl* p = skinned->FindControlByHandle(w);
    return p ? std::string(p->ClassName()) : std::string();
  };
  EXPECT_EQ(classOf(dropDown), "TSkinComBox");
  EXPECT_EQ(classOf(simple), "") << "a simple combo box has no button to draw";
  EXPECT_EQ(classOf(grip), "TSkinSizer");
  EXPECT_EQ(classOf(bar), "") << "only size grips among bare scroll bars";
}

}  // namespace

namespace {

// Controls of "another library", named in a Skin3rd list of the test's own. TLabBox descends from the
// check box only so that it is a button window; its painter comes from the list.
class TLabNilEdit : public cl::TEdit {
  CL_PLAIN_CLASS(TLabNilEdit, cl::TEdit)
  explicit TLabNilEdit(cl::TComponent* owner) : TEdit(owner) {}
};
class TLabBox : public cl::TCheckBox {
  CL_PLAIN_CLASS(TLabBox, cl::TCheckBox)
  explicit TLabBox(cl::TComponent* owner) : TCheckBox(owner) {}
};
class TLabPlain : public cl::TButton {
  CL_PLAIN_CLASS(TLabPlain, cl::TButton)
  explicit TLabPlain(cl::TComponent* owner) : TButton(owner) {}
};
class TLabRadioGroup : public cl::TPanel {
  CL_PLAIN_CLASS(TLabRadioGroup, cl::TPanel)
  explicit TLabRadioGroup(cl::TComponent* owner) : TPanel(owner) {}
};
class TLabLong : public cl::TButton {
  CL_PLAIN_CLASS(TLabLong, cl::TButton)
  explicit TLabLong(cl::TComponent* owner) : TButton(owner) {}
};
class TLabBit : public cl::TButton {
  CL_PLAIN_CLASS(TLabBit, cl::TButton)
  explicit TLabBit(cl::TComponent* owner) : TButton(owner) {}
};
class TLabEmpty : public cl::TButton {
  CL_PLAIN_CLASS(TLabEmpty, cl::TButton)
  explicit TLabEmpty(cl::TComponent* owner) : TButton(owner) {}
};

TEST_F(SkinAttachTest, TheSkin3rdListNamesPaintersForOtherLibrariesClasses) {
  NewLabForm();
  cl::TStringList lines;
  lines.Add("TLABNILEDIT=nil");                      // upper case: matched without case
  lines.Add("tlabbox=CheckBox");
  lines.Add("TLabRadioGroup=RadioGroup");
  lines.Add("TLabLong=button" + std::string(60, ' '));  // cut to 50: no longer "button"
  lines.Add("TLabBox=radiobutton");                   // only the first line of a class counts
  lines.Add("TLabNilEdit=edit");
  lines.Add("TLabEmpty=");  // listed without a kind: nothing paints it
  lines.Add("TLabBit=bitbtn");
  cl::ComponentAs<skin::TSkinData>(main_, "SkinData1")->SetSkin3rd(&lines);
  auto* nilEdit = Add<TLabNilEdit>(main_, 0);
  auto* box = Add<TLabBox>(main_, 30);
  auto* group = Add<TLabRadioGroup>(main_, 200);
  group->SetHeight(80);
  // Made after the group: the group's pass reaches it first and makes it a radio button.
  auto* radio = Add<TLabPlain>(group, 10);
  auto* longKind = Add<TLabLong>(main_, 300);
  auto* empty = Add<TLabEmpty>(main_, 330);
  auto* bit = Add<TLabBit>(main_, 360);
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);

  EXPECT_EQ(skinned->FindControlByHandle(nilEdit->Handle()), nullptr) << "an edit named \"nil\" stays unskinned";
  EXPECT_TRUE(Has<skin::TSkinCheckBox>(*skinned, box));
  EXPECT_TRUE(Has<skin::TSkinGroupBox>(*skinned, group));
  EXPECT_TRUE(Has<skin::TSkinRadioButton>(*skinned, radio));
  EXPECT_EQ(PainterOf(*skinned, longKind), nullptr) << "listed, so not a plain button either";
  EXPECT_EQ(PainterOf(*skinned, empty), nullptr) << "listed with an empty kind";
  EXPECT_TRUE(Has<skin::TSkinBitButton>(*skinned, bit));
}

// The program's OnSkinControl chooses a control's painter before anything else; without a choice the
// control gets the painter of its class.
TEST_F(SkinAttachTest, OnSkinControlChoosesThePainter) {
  NewLabForm();
  auto* chosen = Add<cl::TButton>(main_, 0);
  auto* other = Add<cl::TButton>(main_, 30);
  std::vector<std::string> classes;
  cl::ComponentAs<skin::TSkinData>(main_, "SkinData1")->OnSkinControl =
      [&](cl::TComponent*, skin::TSkinData*, cl::TControl* form, cl::TControl* control, std::string cls,
          cl::TComponent*& painter) {
        EXPECT_EQ(form, main_);
        classes.push_back(cls);
        if (control == chosen) painter = new skin::TSkinBitButton(control);
      };
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  EXPECT_TRUE(Has<skin::TSkinBitButton>(*skinned, chosen));
  EXPECT_TRUE(Has<skin::TSkinButton>(*skinned, other));
  EXPECT_NE(std::find(classes.begin(), classes.end(), "TBUTTON"), classes.end()) << "the class name in upper case";
}

}  // namespace

namespace {

// The bare-window path reaches windows of the system's classes: a control of the class library is one
// too, and keeps the painter (or none) that its form's pass gave it.
TEST_F(SkinAttachTest, TheBareWindowPathLeavesControlsOfTheClassLibraryAlone) {
  NewLabForm();
  auto* skipped = Add<cl::TButton>(main_, 0, 199);
  auto* edit = Add<cl::TEdit>(main_, 30);
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  const size_t count = skinned->Painters().size();
  skinned->SkinChildWindow(skipped->Handle());
  skinned->SkinChildWindow(edit->Handle());
  skinned->SkinChildWindows();
  EXPECT_EQ(skinned->Painters().size(), count);
  EXPECT_EQ(skinned->FindControlByHandle(skipped->Handle()), nullptr);
}

}  // namespace

namespace {

// A bare window's buttons learn of the mouse leaving from the skinned window: its deactivation (and its
// hot-track timer) take the hot state from the hot button.
TEST_F(SkinAttachTest, ABareWindowsHotButtonGoesColdWhenTheWindowIsDeactivated) {
  NewLabForm();
  main_->Show();
  const BareWindow window(main_->Handle());
  const HWND bare = window.Handle();
  HWND button = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 90, 26, bare,
                                nullptr, nullptr, nullptr);
  skin::TWinSkinForm* skinned = SkinBare(bare);
  ASSERT_NE(skinned, nullptr);
  TSkinControl* painter = skinned->FindControlByHandle(button);
  ASSERT_NE(painter, nullptr);

  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(painter->Hot());
  EXPECT_EQ(skinned->HotPainter(), painter);
  SendMessageW(bare, WM_NCACTIVATE, FALSE, 0);
  EXPECT_FALSE(painter->Hot());
  EXPECT_EQ(skinned->HotPainter(), nullptr);
}

}  // namespace
