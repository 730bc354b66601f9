// How the skinned window's attachment makes painters: each owned by the control it paints, attached in
// the way its kind needs; a window that cannot be subclassed keeps its own look.
#pragma once
#include <windows.h>

#include <exception>

#include "Controls.h"

namespace skin {

class TSkinData;
class TWinSkinForm;

// A painter on the control's message path (useColor: the control takes the skin's face colour).
template <class P>
P* AttachNew(cl::TControl* control, TWinSkinForm* form, TSkinData* data, bool useColor) {
  auto* painter = new P(control);
  painter->Attach(form, data, useColor);
  return painter;
}

// A painter that subclasses the control's window instead.
template <class P>
void AttachHandleNew(cl::TControl* control, HWND wnd, TWinSkinForm* form, TSkinData* data) {
  auto* painter = new P(control);
  try {
    painter->AttachHandle(wnd, data, form);
  } catch (const std::exception&) {
    delete painter;
  }
}

// A scroll-bar painter: overlays on the control's bars.
template <class P>
void AttachScrollbarsNew(cl::TControl* control, cl::TWinControl* windowed, TWinSkinForm* form, TSkinData* data) {
  if (windowed) (new P(control))->AttachScrollbars(windowed, data, form);
}

}  // namespace skin
