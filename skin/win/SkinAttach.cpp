// The skinned window's painters: the list it keeps, and the choice of a painter for each control of a
// form (by class and the skin's switches) or each child window of a bare window (by window class).
#include <algorithm>
#include <cctype>
#include <string>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "SkinBoxes.h"
#include "SkinButtons.h"
#include "SkinChecks.h"
#include "SkinEdits.h"
#include "SkinRanges.h"
#include "StdCtrls.h"
#include "Buttons.h"
#include "WindowBinding.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"

namespace skin {

namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string WindowClassName(HWND wnd) {
  wchar_t name[100] = {};
  const int n = GetClassNameW(wnd, name, 100);
  std::string text;
  for (int i = 0; i < n; ++i) text += name[i] < 128 ? static_cast<char>(name[i]) : '?';
  return Lower(text);
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
    if (painter->State() == kPainterDestroyed) delete painter;
}

void TWinSkinForm::FreeControls() {
  // A painter leaves the list in its destructor; the copy keeps the loop whole.
  for (TSkinControl* painter : std::vector<TSkinControl*>(painters_)) {
    if (painter->State() != kPainterDestroyed) painter->RestoreColor();
    delete painter;
  }
  painters_.clear();
  hotPainter_ = nullptr;
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
    // A painter of a bare window: the control's own window, if it has one.
    if (windowed && windowed->HandleAllocated() && painter->Handle() == const_cast<cl::TWinControl*>(windowed)->Handle())
      return true;
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

namespace {

// Makes a painter of type P owned by the control and attaches it; the control is then painted.
template <class P>
P* AttachNew(cl::TControl* control, TWinSkinForm* form, TSkinData* data, bool useColor) {
  auto* painter = new P(control);
  painter->Attach(form, data, useColor);
  return painter;
}

// The same for a painter that subclasses the control's window instead.
template <class P>
void AttachHandleNew(cl::TControl* control, HWND wnd, TWinSkinForm* form, TSkinData* data) {
  auto* painter = new P(control);
  try {
    painter->AttachHandle(wnd, data, form);
  } catch (const std::exception&) {
    delete painter;
  }
}

}  // namespace

void TWinSkinForm::SkinControl(cl::TControl* control, cl::TComponent* form) {
  if (!data_ || !control) return;
  const std::string name = Upper(std::string(control->ClassName()));
  if (control->Tag() % 100 == data_->DisableTag()) return;
  if (IsControlSkinned(control)) return;
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
  } else if (name == "TDBNAVIGATOR" && on.Contains(xcPanel)) {
    SetPropByName(control, "Flat", "True");
    AttachNew<TSkinBox>(control, this, data_, true);
  } else if (dynamic_cast<cl::TGroupBox*>(control) && on.Contains(xcPanel)) {
    AttachNew<TSkinGroupBox>(control, this, data_, true);
    SkinControls(control);
  } else if (dynamic_cast<cl::TProgressBar*>(control) && on.Contains(xcProgress)) {
    AttachNew<TSkinProgress>(control, this, data_, false);
  } else if (control->InheritsFrom("TBitBtn")) {
    if (on.Contains(xcBitBtn)) AttachNew<TSkinBitButton>(control, this, data_, false);
  } else if (dynamic_cast<cl::TSpeedButton*>(control)) {
    if (on.Contains(xcSpeedButton)) (new TSkinSpeedButton(control))->AttachGraphic(this, data_);
  } else if (dynamic_cast<cl::TPanel*>(control) && on.Contains(xcPanel)) {
    AttachNew<TSkinBox>(control, this, data_, true);
    SkinControls(control);
  } else if (dynamic_cast<cl::TMemo*>(control) && on.Contains(xcScrollbar)) {
    // A memo's painter is the one of its scroll bars, not the edit frame.
  } else if (dynamic_cast<cl::TButton*>(control) && on.Contains(xcButton)) {
    AttachNew<TSkinButton>(control, this, data_, false);
  } else if (dynamic_cast<cl::TEdit*>(control) && on.Contains(xcEdit)) {
    AttachHandleNew<TSkinEdit>(control, windowed->Handle(), this, data_);
  } else if (dynamic_cast<cl::TCustomForm*>(control) && name != "TDCEDIT" && name != "TDCDBEDIT") {
    AttachNew<TSkinBox>(control, this, data_, true);
    SkinControls(control);
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
  const std::string name = WindowClassName(wnd);
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
  }
  if (!painter) return;
  try {
    painter->AttachHandle(wnd, data_, this);
  } catch (const std::exception&) {
    delete painter;  // a window that cannot be subclassed keeps its own look
  }
}

}  // namespace skin
