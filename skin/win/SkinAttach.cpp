// The skinned window's painters: the list it keeps, and the choice of a painter for each control of a
// form (by class and the skin's switches) or each child window of a bare window (by window class).
#include <algorithm>
#include <cctype>
#include <string>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "SkinAttachSupport.h"
#include "SkinBoxes.h"
#include "SkinButtons.h"
#include "SkinChecks.h"
#include "SkinCombo.h"
#include "SkinEdits.h"
#include "SkinListView.h"
#include "SkinRanges.h"
#include "SkinScrollbars.h"
#include "SkinTabs.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "Buttons.h"
#include "WindowBinding.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace skin {

namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

// Painters of bare "button" windows by the button's type.
enum class TButtonKind { None, Push, Check, Radio };

TButtonKind ButtonKindOf(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      return TButtonKind::Push;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return TButtonKind::Check;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return TButtonKind::Radio;
    default:  // group boxes, owner-drawn, split and command-link buttons keep their own look
      return TButtonKind::None;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// The painter list.

bool TWinSkinForm::AddControl(TSkinControl* painter) {
  if (std::find(painters_.begin(), painters_.end(), painter) != painters_.end()) return true;
  painters_.push_back(painter);
  return false;
}

void TWinSkinForm::RemoveControl(TSkinControl* painter) noexcept {
  const auto it = std::find(painters_.rbegin(), painters_.rend(), painter);
  if (it != painters_.rend()) painters_.erase(std::next(it).base());
  if (hotPainter_ == painter) hotPainter_ = nullptr;
}

void TWinSkinForm::PurgeControls() {
  for (TSkinControl* painter : std::vector<TSkinControl*>(painters_))
    if (Listed(painter) && painter->State() == kPainterDestroyed) delete painter;
}

void TWinSkinForm::FreeControls() {
  // A painter leaves the list in its destructor; the copy keeps the loop whole, and a painter freed by
  // another (a combo box's list painter) is not freed again.
  for (TSkinControl* painter : std::vector<TSkinControl*>(painters_)) {
    if (!Listed(painter)) continue;
    if (painter->State() != kPainterDestroyed) painter->RestoreColor();
    delete painter;
  }
  painters_.clear();
  hotPainter_ = nullptr;
}

bool TWinSkinForm::Listed(const TSkinControl* painter) const noexcept {
  return std::find(painters_.begin(), painters_.end(), painter) != painters_.end();
}

TSkinControl* TWinSkinForm::FindControlByHandle(HWND wnd) const noexcept {
  for (TSkinControl* painter : painters_)
    if (painter->Handle() == wnd) return painter;
  return nullptr;
}

bool TWinSkinForm::IsControlSkinned(const cl::TControl* control) const {
  const auto* windowed = dynamic_cast<const cl::TWinControl*>(control);
  for (TSkinControl* painter : painters_) {
    if (painter->Painted()) {
      if (painter->Painted() == control) return true;
      continue;
    }
    // A painter of a bare window: the control's own window, if it has one. A print preview makes its
    // pages' windows late and anew: a control of a preview form without one yet counts as skinned.
    if (!windowed) continue;
    if (!windowed->HandleAllocated())
      return form_ && cl::LowerCase(form_->Name()).find("preview") != std::string::npos;
    if (painter->Handle() == const_cast<cl::TWinControl*>(windowed)->Handle()) return true;
  }
  return false;
}

void TWinSkinForm::TrackHotPainter(bool active, POINT cursor) {
  if (!hotPainter_) return;
  if (active) {
    // Controls of the class library learn of the mouse leaving themselves; bare windows do not.
    if (form_) return;
    RECT r{};
    if (GetWindowRect(hotPainter_->Handle(), &r) && PtInRect(&r, cursor)) return;
  }
  TSkinControl* painter = hotPainter_;
  hotPainter_ = nullptr;
  TSkinControl::ButtonMouseLeave(painter);
}

// ---------------------------------------------------------------------------------------------------------
// Controls of the class library.

void TWinSkinForm::SkinControls(cl::TComponent* owner) {
  PurgeControls();
  for (int i = 0; i < owner->ComponentCount(); ++i)
    if (auto* control = dynamic_cast<cl::TControl*>(owner->Components(i))) SkinControl(control, owner);
}

void TWinSkinForm::SkinControl(cl::TControl* control, cl::TComponent* form) {
  if (!data_ || !control) return;
  const std::string name = Upper(std::string(control->ClassName()));
  if (control->Tag() % 100 == data_->DisableTag()) return;
  if (IsControlSkinned(control)) return;
  // A form that is only owned by this one is a window of its own: its own skin paints its controls when
  // it is shown, and a second painter here would paint them twice. Only a form placed inside is a control.
  if (auto* owned = dynamic_cast<cl::TCustomForm*>(control); owned && !owned->Parent()) return;
  auto* windowed = dynamic_cast<cl::TWinControl*>(control);
  if (windowed) {
    try {
      windowed->HandleNeeded();
    } catch (const std::exception&) {
      return;  // a control without a window stays as it is
    }
  }
  if (data_->OnSkinControl) {
    cl::TComponent* chosen = nullptr;
    data_->OnSkinControl(this, data_, dynamic_cast<cl::TControl*>(form), control, name, chosen);
    if (auto* painter = dynamic_cast<TSkinControl*>(chosen)) {
      if (!AddControl(painter)) painter->Attach(this, data_, painter->UseColor());
      if (dynamic_cast<cl::TPanel*>(control)) SkinControls(control);
      return;
    }
  }
  if (SkinThirdParty(name, control)) return;
  // Controls of other libraries that no painter may touch.
  if (name == "TDBCOMBOBOXEH" || name == "TQRPREVIEW" || name == "TFRDESIGNERPAGE" || name == "TFRPBOX") return;
  const TSkinControlTypes on = data_->SkinControls();
  const bool hasTabs = data_->Tabs && !data_->Tabs->Image.Empty();
  if (name == "TTABSET" && on.Contains(xcTab) && hasTabs) {
    AttachNew<TSkinTab31>(control, this, data_, false);
    return;
  }
  if (name == "TTABBEDNOTEBOOK" && on.Contains(xcTab) && hasTabs) {
    AttachHandleNew<TSkinTab>(control, windowed->Handle(), this, data_);
    return;
  }
  if (name == "TMVCPANEL") {
    SkinControls(control);
    return;
  }
  if (dynamic_cast<cl::TCheckBox*>(control) && on.Contains(xcCheckBox)) {
    AttachNew<TSkinCheckBox>(control, this, data_, false);
  } else if (dynamic_cast<cl::TRadioButton*>(control) && on.Contains(xcRadioButton)) {
    AttachNew<TSkinRadioButton>(control, this, data_, false);
  } else if (dynamic_cast<cl::TStatusBar*>(control) && on.Contains(xcStatusBar)) {
    AttachNew<TSkinStatusBar>(control, this, data_, false);
  } else if (name == "TTRACKBAR" && on.Contains(xcButton)) {
    AttachNew<TSkinTrackBar>(control, this, data_, false);
  } else if ((name == "TUPDOWN" || name == "TSPINBUTTON") && on.Contains(xcButton)) {
    AttachNew<TSkinUpDown>(control, this, data_, false);
  } else if (name == "TRZDBCHECKBOX" && on.Contains(xcCheckBox)) {
    auto* painter = new TSkinObjImage(control);
    painter->SetCheckGlyphs(true);
    painter->Attach(this, data_, true);
  } else if (name == "TDBNAVIGATOR" && on.Contains(xcPanel)) {
    SetPropByName(control, "Flat", "True");
    AttachNew<TSkinBox>(control, this, data_, true);
  } else if (dynamic_cast<cl::TGroupBox*>(control) && on.Contains(xcPanel)) {
    AttachNew<TSkinGroupBox>(control, this, data_, true);
    SkinControls(control);
  } else if (dynamic_cast<cl::TProgressBar*>(control) && on.Contains(xcProgress)) {
    AttachNew<TSkinProgress>(control, this, data_, false);
  } else if (dynamic_cast<cl::TComboBox*>(control) && on.Contains(xcCombo)) {
    AttachNew<TSkinComBox>(control, this, data_, false);
  } else if (name == "TDATETIMEPICKER" && on.Contains(xcEdit) && windowed) {
    // A picker with arrows is an edit; one that drops a calendar down looks like a combo box.
    if (GetWindowLongW(windowed->Handle(), GWL_STYLE) & DTS_UPDOWN)
      AttachHandleNew<TSkinEdit>(control, windowed->Handle(), this, data_);
    else
      AttachNew<TSkinComBox>(control, this, data_, false);
  } else if ((name == "TRICHEDIT" || name == "TWWDBRICHEDIT" || name == "TDXDBMEMO") && on.Contains(xcScrollbar)) {
    AttachScrollbarsNew<TSkinScrollbar>(control, windowed, this, data_);
  } else if (control->InheritsFrom("TBitBtn")) {
    if (on.Contains(xcBitBtn)) AttachNew<TSkinBitButton>(control, this, data_, false);
  } else if (dynamic_cast<cl::TSpeedButton*>(control)) {
    if (on.Contains(xcSpeedButton)) (new TSkinSpeedButton(control))->AttachGraphic(this, data_);
  } else if (dynamic_cast<cl::TPanel*>(control) && on.Contains(xcPanel)) {
    AttachNew<TSkinBox>(control, this, data_, true);
    SkinControls(control);
  } else if ((name == "TDXTREELIST" || name == "TDXDBTREELIST" || name == "TDXDBGRID") && on.Contains(xcScrollbar)) {
    AttachScrollbarsNew<TSkinScrollbar>(control, windowed, this, data_);
  } else if (dynamic_cast<cl::TListView*>(control) && on.Contains(xcScrollbar)) {
    AttachScrollbarsNew<TSkinListView>(control, windowed, this, data_);
  } else if (dynamic_cast<cl::TMemo*>(control) && on.Contains(xcScrollbar)) {
    // A memo's painter is the one of its scroll bars, not the edit frame.
    AttachScrollbarsNew<TSkinScrollbar>(control, windowed, this, data_);
  } else if (NeedsScrollbars(control) && on.Contains(xcScrollbar)) {
    AttachScrollbarsNew<TSkinScrollbar>(control, windowed, this, data_);
  } else if (dynamic_cast<cl::TButton*>(control) && on.Contains(xcButton)) {
    AttachNew<TSkinButton>(control, this, data_, false);
  } else if (dynamic_cast<cl::TEdit*>(control) && on.Contains(xcEdit)) {
    AttachHandleNew<TSkinEdit>(control, windowed->Handle(), this, data_);
  } else if (dynamic_cast<cl::TCustomForm*>(control) && name != "TDCEDIT" && name != "TDCDBEDIT") {
    AttachNew<TSkinBox>(control, this, data_, true);
    SkinControls(control);
  } else if ((name == "TDCEDIT" || name == "TDCDBEDIT") && windowed) {
    const int64_t buttons = GetOrdPropByName(control, "NumButtons");
    if (buttons == 1 && on.Contains(xcCombo))
      AttachNew<TSkinComBox>(control, this, data_, false);
    else if (buttons == 0 && on.Contains(xcEdit))
      AttachHandleNew<TSkinEdit>(control, windowed->Handle(), this, data_);
  }
}

// ---------------------------------------------------------------------------------------------------------
// Bare windows.

void TWinSkinForm::SkinChildWindows() {
  for (HWND child = GetTopWindow(wnd_); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetWindowLongW(child, GWL_STYLE) & WS_CHILD) SkinChildWindow(child);
}

void TWinSkinForm::SkinChildWindow(HWND wnd) {
  if (!wnd || !data_ || FindControlByHandle(wnd)) return;
  // A control of the class library gets its painter, or none, from its form's pass.
  if (dynamic_cast<cl::TControl*>(cl::BoundObject(wnd))) return;
  const std::string name = LowerWindowClassName(wnd);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(wnd, GWL_STYLE));
  // Painters of bare windows are owned by this window and freed with its painter list.
  TSkinControl* painter = nullptr;
  if (name == "button") {
    switch (ButtonKindOf(style)) {
      case TButtonKind::Push:
        painter = new TSkinButton(this);
        break;
      case TButtonKind::Check:
        painter = new TSkinCheckBox(this);
        break;
      case TButtonKind::Radio:
        painter = new TSkinRadioButton(this);
        break;
      case TButtonKind::None:
        break;
    }
  } else if (name == "edit") {
    painter = new TSkinEdit(this);
  } else if (name == "combobox") {
    if ((style & 3) != CBS_SIMPLE) painter = new TSkinComBox(this);
  } else if (name == "comboboxex32") {
    // The combo box inside the extended one.
    wnd = GetTopWindow(wnd);
    if (wnd && !FindControlByHandle(wnd)) painter = new TSkinComBox(this);
  } else if (name == "scrollbar") {
    // Only size grips: other bare scroll bars keep their own look.
    if (TSkinSizer::IsSizeGrip(wnd)) painter = new TSkinSizer(this);
  } else if (name == "#32770") {
    painter = new TSkinBoxH(this);
  }
  if (!painter) return;
  try {
    painter->AttachHandle(wnd, data_, this);
  } catch (const std::exception&) {
    delete painter;  // a window that cannot be subclassed keeps its own look
  }
}

}  // namespace skin
