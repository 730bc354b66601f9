// A popup menu that records where it was asked to open instead of running a menu loop, so a test can see
// which control's menu a click or the context-menu message opened.
#pragma once
#include <windows.h>

#include <vector>

#include "Menus.h"

namespace formstest {

class TRecordingPopup : public cl::TPopupMenu {
  CL_PLAIN_CLASS(TRecordingPopup, cl::TPopupMenu)
  explicit TRecordingPopup(cl::TComponent* owner) : TPopupMenu(owner) {}
  void Popup(int x, int y) override { opened.push_back({x, y}); }
  std::vector<POINT> opened;
};

}  // namespace formstest
