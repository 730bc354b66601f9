// Controls of other libraries: the skin data's Skin3rd list maps their class names to a kind of painter.
#include <algorithm>
#include <cctype>
#include <string>

#include "Controls.h"
#include "SysUtils.h"
#include "SkinAttachSupport.h"
#include "SkinBoxes.h"
#include "SkinButtons.h"
#include "SkinChecks.h"
#include "SkinCombo.h"
#include "SkinEdits.h"
#include "SkinRanges.h"
#include "SkinScrollbars.h"
#include "SkinTabs.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"

namespace skin {

namespace {

// Kinds longer than this are cut before they are compared.
constexpr size_t kMaxKindLength = 50;


}  // namespace

std::optional<std::string> TWinSkinForm::ThirdPartyKind(const std::string& className) const {
  if (!data_ || !data_->Skin3rd()) return {};
  const std::string key = cl::LowerCase(className) + "=";
  const cl::TStrings& lines = *data_->Skin3rd();
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string line = cl::LowerCase(lines.Strings(i));
    if (line.compare(0, key.size(), key) == 0) return line.substr(key.size(), kMaxKindLength);
  }
  return {};
}

bool TWinSkinForm::SkinThirdParty(const std::string& className, cl::TControl* control) {
  const std::optional<std::string> listed = ThirdPartyKind(className);
  if (!listed) return false;
  const std::string& kind = *listed;
  const TSkinControlTypes on = data_->SkinControls();
  auto* windowed = dynamic_cast<cl::TWinControl*>(control);
  // The controls inside a container of another library.
  const auto eachChild = [&](auto action) {
    if (!windowed) return;
    for (int i = 0; i < windowed->ControlCount(); ++i) action(windowed->Controls(i));
  };
  if (kind == "combobox") {
    if (on.Contains(xcCombo)) AttachNew<TSkinComBox>(control, this, data_, false);
  } else if (kind == "tab") {
    if (on.Contains(xcTab) && data_->Tabs && !data_->Tabs->Image.Empty() && windowed)
      AttachHandleNew<TSkinTab>(control, windowed->Handle(), this, data_);
  } else if (kind == "edit") {
    if (on.Contains(xcEdit) && windowed) AttachHandleNew<TSkinEdit>(control, windowed->Handle(), this, data_);
  } else if (kind == "radiobutton") {
    if (on.Contains(xcRadioButton)) AttachNew<TSkinRadioButton>(control, this, data_, false);
  } else if (kind == "panel") {
    if (on.Contains(xcPanel)) {
      SetPropByName(control, "Transparent", "True");
      AttachNew<TSkinBox>(control, this, data_, true);
    }
  } else if (kind == "trackbar") {
    if (on.Contains(xcButton)) {
      SetPropByName(control, "Transparent", "True");
      AttachNew<TSkinTrackBar>(control, this, data_, false);
    }
  } else if (kind == "button") {
    if (on.Contains(xcButton)) AttachNew<TSkinButton>(control, this, data_, false);
  } else if (kind == "bitbtn") {
    if (on.Contains(xcButton)) AttachNew<TSkinBitButton>(control, this, data_, false);
  } else if (kind == "speedbutton") {
    if (on.Contains(xcSpeedButton)) (new TSkinSpeedButton(control))->AttachGraphic(this, data_);
  } else if (kind == "progress") {
    if (on.Contains(xcProgress)) AttachNew<TSkinProgress>(control, this, data_, false);
  } else if (kind == "scrollbar") {
    if (on.Contains(xcScrollbar) && windowed) {
      AttachScrollbarsNew<TSkinScrollbar>(control, windowed, this, data_);
      SkinControls(control);
    }
  } else if (kind == "embedscrollbar") {
    if (on.Contains(xcScrollbar))
      eachChild([&](cl::TControl* child) {
        if (NeedsScrollbars(child))
          AttachScrollbarsNew<TSkinScrollbar>(child, dynamic_cast<cl::TWinControl*>(child), this, data_);
      });
  } else if (kind == "container") {
    eachChild([&](cl::TControl* child) { SkinThirdParty(std::string(child->ClassName()), child); });
  } else if (kind == "groupbox") {
    if (on.Contains(xcGroupBox)) AttachNew<TSkinGroupBox>(control, this, data_, true);
  } else if (kind == "radiogroup" || kind == "checkgroup") {
    if (on.Contains(kind == "radiogroup" ? xcGroupBox : xcPanel)) {
      if (on.Contains(xcRadioButton))
        eachChild([&](cl::TControl* child) {
          if (kind == "radiogroup")
            AttachNew<TSkinRadioButton>(child, this, data_, false);
          else
            AttachNew<TSkinCheckBox>(child, this, data_, false);
        });
      if (on.Contains(xcGroupBox)) AttachNew<TSkinGroupBox>(control, this, data_, true);
    }
  } else if (kind == "checkbox") {
    if (on.Contains(xcCheckBox)) AttachNew<TSkinCheckBox>(control, this, data_, false);
  }
  // "nil", and any kind without a painter: the control stays as it is.
  return true;
}

bool TWinSkinForm::NeedsScrollbars(const cl::TControl* control) const {
  const auto* windowed = dynamic_cast<const cl::TWinControl*>(control);
  if (!windowed) return false;
  if (control->Tag() == 55 || control->InheritsFrom("TMemo")) return true;
  if (!windowed->HandleAllocated()) return false;
  const LONG_PTR style = GetWindowLongPtrW(const_cast<cl::TWinControl*>(windowed)->Handle(), GWL_STYLE);
  return (style & (WS_HSCROLL | WS_VSCROLL)) != 0;
}

}  // namespace skin
