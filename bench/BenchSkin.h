// The skin of a form of the program taken off (its frame, painters and subclasses gone: the windows as
// they are unskinned) and put on again, for benchmarks that compare the two.
#pragma once
#include <windows.h>

#include "Forms.h"
#include "MessageLoop.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace benchsupport {

// The form's skin, once it has skinned the form and its controls; nullptr if it does not within 10 s.
inline skin::TWinSkinForm* SkinnedForm(HWND wnd) {
  skin::TWinSkinForm* form = nullptr;
  hktest::PumpUntil([&] {
    form = skin::SkinManager() ? skin::SkinManager()->FindSkinForm(wnd) : nullptr;
    return form && form->ControlsSkinned();
  }, 10000);
  return form && form->ControlsSkinned() ? form : nullptr;
}

// Switches the skin data of `owner` (its component "SkinData1") and waits until the form `wnd` is skinned
// again or no longer skinned at all. False if that does not happen within 10 s.
inline bool SetSkinned(cl::TComponent* owner, HWND wnd, bool on) {
  auto* data = dynamic_cast<skin::TSkinData*>(owner->FindComponent("SkinData1"));
  if (!data) return false;
  data->SetActive(on);
  if (on) return SkinnedForm(wnd) != nullptr;
  return hktest::PumpUntil([&] { return !skin::SkinManager() || !skin::SkinManager()->FindSkinForm(wnd); }, 10000);
}

}  // namespace benchsupport
