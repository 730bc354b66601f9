// Lists the painter of every control of a skinned window: a form's controls by name, a bare window's
// child windows by window class and control ID. The list is one text, a line per control
// ("window/control: painter", "none" without one, painters joined by "+" when a control has several), so
// that a change in attachment shows as a diff of the expected text. Painters of every skinned window count:
// a control painted from two skins shows both.
#pragma once
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "MessageLoop.h"
#include "SkinControl.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"
#include "WinString.h"
#include "WindowBinding.h"

namespace reporttest {

inline std::vector<skin::TSkinControl*> AllPainters() {
  std::vector<skin::TSkinControl*> all;
  if (skin::TSkinManage* manager = skin::SkinManager())
    for (int i = 0; i < manager->SkinFormCount(); ++i)
      for (skin::TSkinControl* p : manager->SkinForms(i)->Painters()) all.push_back(p);
  return all;
}

inline std::string Joined(const std::vector<std::string>& names) {
  if (names.empty()) return "none";
  std::string text;
  for (const std::string& n : names) text += (text.empty() ? "" : "+") + n;
  return text;
}

inline std::string WindowClass(HWND wnd) {
  wchar_t name[128] = {};
  GetClassNameW(wnd, name, 128);
  return cl::FromWide(name);
}

// The painters of a window: those on its own handle.
inline std::string PaintersOfWindow(HWND wnd) {
  std::vector<std::string> names;
  for (skin::TSkinControl* p : AllPainters())
    if (p->Handle() == wnd && p->State() != skin::kPainterDestroyed) names.emplace_back(p->ClassName());
  return Joined(names);
}

// The painters of a control of the class library: those bound to it or to its window.
inline std::string PaintersOf(cl::TControl* control) {
  auto* windowed = dynamic_cast<cl::TWinControl*>(control);
  const HWND wnd = windowed && windowed->HandleAllocated() ? windowed->Handle() : nullptr;
  std::vector<std::string> names;
  for (skin::TSkinControl* p : AllPainters()) {
    if (p->State() == skin::kPainterDestroyed) continue;
    if (p->Painted() == control || (wnd && p->Handle() == wnd)) names.emplace_back(p->ClassName());
  }
  return Joined(names);
}

// Every control the form owns, by name, then the painters of windows inside its controls that are no
// control themselves (a spin edit's arrows, a list's header), by the control and their window class.
inline std::string FormReport(cl::TCustomForm* form) {
  std::string text;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* control = dynamic_cast<cl::TControl*>(form->Components(i)))
      text += form->Name() + "/" + control->Name() + ": " + PaintersOf(control) + "\n";
  for (skin::TSkinControl* p : AllPainters()) {
    if (p->Painted() || !p->Handle() || p->State() == skin::kPainterDestroyed) continue;
    if (dynamic_cast<cl::TControl*>(cl::BoundObject(p->Handle()))) continue;
    HWND inside = GetParent(p->Handle());
    while (inside && !dynamic_cast<cl::TControl*>(cl::BoundObject(inside))) inside = GetParent(inside);
    auto* owner = inside ? dynamic_cast<cl::TControl*>(cl::BoundObject(inside)) : nullptr;
    if (!owner || (owner != form && owner->Owner() != form)) continue;
    text += form->Name() + "/" + owner->Name() + "." + WindowClass(p->Handle()) + ": " + p->ClassName() + "\n";
  }
  return text;
}

// Every child window of a bare window (and of its child dialogs and extended combo boxes), as
// "name/class#id"; a second window of the same class and ID gets its place in the list after it ("#id.2").
inline std::string BareReport(const std::string& name, HWND dialog) {
  std::map<std::string, int> seen;
  std::string text;
  std::vector<HWND> queue;
  for (HWND c = GetTopWindow(dialog); c; c = GetWindow(c, GW_HWNDNEXT)) queue.push_back(c);
  for (size_t i = 0; i < queue.size(); ++i) {
    HWND child = queue[i];
    std::string key = WindowClass(child) + "#" + std::to_string(GetDlgCtrlID(child));
    const int count = ++seen[key];
    if (count > 1) key += "." + std::to_string(count);
    text += name + "/" + key + ": " + PaintersOfWindow(child) + "\n";
    // Child dialogs and extended combo boxes hold controls of their own.
    if (WindowClass(child) == "#32770" || WindowClass(child) == "ComboBoxEx32")
      for (HWND c = GetTopWindow(child); c; c = GetWindow(c, GW_HWNDNEXT)) queue.push_back(c);
  }
  return text;
}

// The skin of a window once its controls have their painters, else null (the time is up).
inline skin::TWinSkinForm* SkinnedWindow(HWND wnd, DWORD timeoutMs = 10000) {
  skin::TWinSkinForm* skinned = nullptr;
  hktest::PumpUntil(
      [&] {
        skinned = skin::SkinManager() ? skin::SkinManager()->FindSkinForm(wnd) : nullptr;
        return skinned && skinned->ControlsSkinned();
      },
      timeoutMs);
  return skinned && skinned->ControlsSkinned() ? skinned : nullptr;
}

}  // namespace reporttest
