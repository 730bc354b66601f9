// The properties every control inherits: colours and hints taken from the parent, the 3D border, the
// popup menu, dragging and double buffering.
#include <gtest/gtest.h>

#include <windows.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "FormReader.h"
#include "FormsTestSupport.h"
#include "Menus.h"
#include "RecordingPopup.h"
#include "StdClasses.h"
#include "StdCtrls.h"

namespace {

using formstest::AppTest;
using formstest::TRecordingPopup;

// A form whose description names handlers of the drag events.
class TPropsForm : public cl::TForm {
  CL_CLASS(TPropsForm, cl::TForm)
  using TForm::TForm;
  void PanelDragOver(cl::TObject*, cl::TObject*, int, int, cl::TDragState, bool& accept) { accept = true; }
  void PanelDragDrop(cl::TObject*, cl::TObject*, int, int) {}
};

CL_BEGIN_CLASS(TPropsForm)
    .Method("PanelDragOver", &TPropsForm::PanelDragOver)
    .Method("PanelDragDrop", &TPropsForm::PanelDragDrop)
CL_END_CLASS

// Records the kind of context the control paints on.
class TPaintProbe : public cl::TCustomControl {
  CL_PLAIN_CLASS(TPaintProbe, cl::TCustomControl)
  explicit TPaintProbe(cl::TComponent* owner) : TCustomControl(owner) { StoreBounds(0, 0, 60, 40); }
  std::vector<DWORD> kinds;

 protected:
  void Paint() override {
    kinds.push_back(GetObjectType(Canvas()->Handle()));
    Canvas()->Brush()->SetColor(cl::clRed);
    Canvas()->FillRect(ClientRect());
  }
};

class ControlPropsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    cl::RegisterClasses({TRecordingPopup::StaticClass()});
    form_ = cl::NewForm<TPropsForm>(app_.get());
  }
  TPropsForm* form_ = nullptr;
};

TEST_F(ControlPropsTest, ParentColorFollowsTheParentUntilColorIsSetAndIsWrittenOnlyWhenOff) {
  cl::ReadRootComponent(form_,
                        "object frmProps: TPropsForm\n"
                        "  Color = clYellow\n"
                        "  object pnlBox: TPanel\n"
                        "    object chkIn: TCheckBox\n"
                        "    end\n"
                        "  end\n"
                        "  object lblPlain: TLabel\n"
                        "  end\n"
                        "  object lblOwn: TLabel\n"
                        "    Color = clRed\n"
                        "  end\n"
                        "  object btnGo: TButton\n"
                        "  end\n"
                        "  object grpBox: TGroupBox\n"
                        "  end\n"
                        "  object edtText: TEdit\n"
                        "  end\n"
                        "  object cmbList: TComboBox\n"
                        "  end\n"
                        "end\n");
  auto* panel = cl::ComponentAs<cl::TPanel>(form_, "pnlBox");
  auto* check = cl::ComponentAs<cl::TCheckBox>(form_, "chkIn");
  auto* plain = cl::ComponentAs<cl::TLabel>(form_, "lblPlain");
  auto* own = cl::ComponentAs<cl::TLabel>(form_, "lblOwn");
  auto* edit = cl::ComponentAs<cl::TEdit>(form_, "edtText");
  auto* combo = cl::ComponentAs<cl::TComboBox>(form_, "cmbList");
  for (const char* name : {"pnlBox", "chkIn", "lblPlain", "btnGo", "grpBox"}) {
    auto* control = cl::ComponentAs<cl::TControl>(form_, name);
    EXPECT_TRUE(control->ParentColor()) << name;
    EXPECT_EQ(control->Color(), cl::clYellow) << name;
  }
  EXPECT_FALSE(form_->ParentColor());
  EXPECT_FALSE(own->ParentColor());
  EXPECT_EQ(own->Color(), cl::clRed);
  EXPECT_FALSE(edit->ParentColor());
  EXPECT_EQ(edit->Color(), cl::clWindow);
  EXPECT_FALSE(combo->ParentColor());
  EXPECT_EQ(combo->Color(), cl::clWindow);

  // A change goes down the parents to the children that follow; the check box paints in it.
  form_->SetColor(cl::clAqua);
  EXPECT_EQ(check->Color(), cl::clAqua);
  EXPECT_EQ(plain->Color(), cl::clAqua);
  EXPECT_EQ(own->Color(), cl::clRed);
  EXPECT_EQ(edit->Color(), cl::clWindow);
  const std::vector<COLORREF> row = formstest::PrintedRow(check, check->ClientHeight() / 2);
  EXPECT_EQ(row.back(), RGB(0, 255, 255));

  // The panel's own colour ends its following; its child follows the panel now.
  panel->SetColor(cl::clLime);
  EXPECT_FALSE(panel->ParentColor());
  EXPECT_EQ(check->Color(), cl::clLime);
  panel->SetParentColor(true);
  EXPECT_EQ(panel->Color(), cl::clAqua);
  EXPECT_EQ(check->Color(), cl::clAqua);
  edit->SetParentColor(true);
  EXPECT_EQ(edit->Color(), cl::clAqua);

  // A taken colour is not written; an own one is, with ParentColor only where it differs from the class's.
  const std::string text = cl::WriteFormText(form_);
  EXPECT_NE(text.find("  Color = clAqua\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("clAqua", text.find("clAqua") + 1), std::string::npos) << text;
  EXPECT_NE(text.find("    Color = clRed\n    ParentColor = False\n"), std::string::npos) << text;
  EXPECT_NE(text.find("    ParentColor = True\n"), std::string::npos) << text;  // the edit
  EXPECT_EQ(text.find("ParentColor = True", text.find("ParentColor = True") + 1), std::string::npos) << text;
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ControlPropsTest, DescriptionsNameTheInheritedPropertiesAndTheyAct) {
  cl::ReadRootComponent(form_,
                        "object frmProps: TPropsForm\n"
                        "  ShowHint = True\n"
                        "  object ppmBox: TRecordingPopup\n"
                        "  end\n"
                        "  object pnlBox: TPanel\n"
                        "    Left = 10\n"
                        "    Top = 10\n"
                        "    Width = 120\n"
                        "    Height = 80\n"
                        "    Ctl3D = False\n"
                        "    DoubleBuffered = True\n"
                        "    DragCursor = -18\n"
                        "    DragMode = dmAutomatic\n"
                        "    ParentShowHint = False\n"
                        "    PopupMenu = ppmBox\n"
                        "    OnDragDrop = PanelDragDrop\n"
                        "    OnDragOver = PanelDragOver\n"
                        "    object edtIn: TEdit\n"
                        "    end\n"
                        "    object lblIn: TLabel\n"
                        "      Left = 0\n"
                        "      Top = 40\n"
                        "      AutoSize = False\n"
                        "      Width = 60\n"
                        "      PopupMenu = ppmBox\n"
                        "    end\n"
                        "  end\n"
                        "  object edtOut: TEdit\n"
                        "    Top = 100\n"
                        "    ParentCtl3D = False\n"
                        "  end\n"
                        "end\n");
  auto* panel = cl::ComponentAs<cl::TPanel>(form_, "pnlBox");
  auto* inner = cl::ComponentAs<cl::TEdit>(form_, "edtIn");
  auto* outer = cl::ComponentAs<cl::TEdit>(form_, "edtOut");
  auto* popup = cl::ComponentAs<TRecordingPopup>(form_, "ppmBox");
  EXPECT_TRUE(panel->DoubleBuffered());
  EXPECT_EQ(panel->DragCursor(), cl::crNo);
  EXPECT_EQ(panel->DragMode(), cl::dmAutomatic);
  EXPECT_TRUE(static_cast<bool>(panel->OnDragDrop));
  EXPECT_TRUE(static_cast<bool>(panel->OnDragOver));

  // Hints: the panel keeps what it took when it stopped following, its child follows the panel, the other
  // edit the form.
  EXPECT_TRUE(panel->ShowHint());
  EXPECT_TRUE(inner->ShowHint());
  EXPECT_TRUE(outer->ShowHint());
  form_->SetShowHint(false);
  EXPECT_FALSE(outer->ShowHint());
  EXPECT_TRUE(panel->ShowHint());
  panel->SetShowHint(false);
  EXPECT_FALSE(inner->ShowHint());

  // Ctl3D: the edit in the flat panel has a line border (which the edit draws inside), the other the
  // sunken frame; a change makes the window again with the other border.
  auto border = [](cl::TWinControl* c) {
    const bool sunken = (GetWindowLongPtrW(c->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    RECT window, client;
    GetWindowRect(c->Handle(), &window);
    GetClientRect(c->Handle(), &client);
    const int frame = (window.right - window.left) - client.right;
    return std::string(sunken && frame == 4 ? "sunken" : !sunken && frame <= 2 ? "line" : "other");
  };
  EXPECT_FALSE(inner->Ctl3D());
  EXPECT_EQ(border(inner), "line");
  EXPECT_EQ(border(outer), "sunken");
  panel->SetCtl3D(true);
  EXPECT_EQ(border(inner), "sunken");
  outer->SetCtl3D(false);
  EXPECT_EQ(border(outer), "line");

  // The popup menu: the context-menu message of the window (a right click, the menu key) and a right
  // click on the windowless label both open it where the mouse is.
  form_->Show();
  Pump();
  const HWND wnd = panel->Handle();
  SendMessageW(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(200, 150));
  SendMessageW(wnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 45));
  SendMessageW(wnd, WM_RBUTTONUP, 0, MAKELPARAM(5, 45));
  POINT label{5, 45};
  ClientToScreen(wnd, &label);
  ASSERT_EQ(popup->opened.size(), 2u);
  EXPECT_EQ(popup->opened[0].x, 200);
  EXPECT_EQ(popup->opened[0].y, 150);
  EXPECT_EQ(popup->opened[1].x, label.x);
  EXPECT_EQ(popup->opened[1].y, label.y);
  EXPECT_EQ(popup->PopupComponent(), cl::ComponentAs<cl::TLabel>(form_, "lblIn"));
  // Freed, it is no longer anyone's menu.
  delete popup;
  EXPECT_EQ(panel->PopupMenu(), nullptr);
  SendMessageW(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(200, 150));

  // Written back: what the description set.
  const std::string text = cl::WriteFormText(form_);
  for (const char* line : {"  ShowHint = False\n", "    Ctl3D = True\n", "    DoubleBuffered = True\n", "    DragMode = dmAutomatic\n",
                           "    ParentShowHint = False\n", "    OnDragDrop = PanelDragDrop\n", "    ParentCtl3D = False\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ControlPropsTest, ADoubleBufferedControlPaintsIntoABitmapCopiedToItsWindow) {
  form_->SetBounds(40, 40, 200, 150);
  auto* probe = new TPaintProbe(form_);
  probe->SetParent(form_);
  form_->Show();
  Pump();
  UpdateWindow(probe->Handle());
  ASSERT_FALSE(probe->kinds.empty());
  EXPECT_EQ(probe->kinds.back(), static_cast<DWORD>(OBJ_DC));

  probe->SetDoubleBuffered(true);
  probe->kinds.clear();
  InvalidateRect(probe->Handle(), nullptr, TRUE);
  UpdateWindow(probe->Handle());
  ASSERT_EQ(probe->kinds.size(), 1u);
  EXPECT_EQ(probe->kinds[0], static_cast<DWORD>(OBJ_MEMDC));
  const cl::TWindowDC screen(probe->Handle());
  EXPECT_EQ(GetPixel(screen.Get(), 30, 20), RGB(255, 0, 0));

  // A system control paints itself into the bitmap: the same picture as without.
  auto* button = new cl::TButton(form_);
  button->SetParent(form_);
  button->SetBounds(80, 10, 90, 30);
  button->SetCaption("Buffered");
  const auto picture = [&] {
    RedrawWindow(button->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const cl::TWindowDC dc(button->Handle());
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 30; y += 3)
      for (int x = 0; x < 90; ++x) pixels.push_back(GetPixel(dc.Get(), x, y));
    return pixels;
  };
  const std::vector<COLORREF> direct = picture();
  button->SetDoubleBuffered(true);
  EXPECT_EQ(picture(), direct);
  EXPECT_TRUE(errors_.empty());
}

// A combo box does not clip its edit field: the copy of its bitmap leaves the field's pixels alone.
TEST_F(ControlPropsTest, ADoubleBufferedComboBoxLeavesItsEditFieldToItself) {
  form_->SetBounds(40, 40, 200, 150);
  auto* combo = new cl::TComboBox(form_);
  combo->SetParent(form_);
  combo->SetBounds(10, 10, 150, 24);
  combo->SetText("MMMM");
  combo->SetDoubleBuffered(true);
  form_->Show();
  Pump();
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  UpdateWindow(info.hwndItem);
  // The combo box alone: a repaint of the field after it would hide what the copy did.
  RedrawWindow(combo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT field{};
  GetClientRect(info.hwndItem, &field);
  const cl::TWindowDC screen(info.hwndItem);
  int text = 0;
  int background = 0;
  for (int y = 0; y < field.bottom; ++y) {
    for (int x = 0; x < field.right; ++x) {
      const COLORREF pixel = GetPixel(screen.Get(), x, y);
      // The text, selected or not, is what is not background.
      const bool window = pixel == GetSysColor(COLOR_WINDOW);
      text += !window;
      background += window;
    }
  }
  EXPECT_GT(text, 10);
  EXPECT_GT(background, field.right * field.bottom / 2);
  EXPECT_TRUE(errors_.empty());
}

}  // namespace
