// Watches a window's menus while they are open: the menu loop tells the owner window that it waits for
// input (WM_ENTERIDLE) once a menu shows, and that is when a test looks at it and closes it. The watch
// also records the commands the window receives.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "WindowSubclass.h"

namespace hktest {

class MenuWatch {
 public:
  // onOpen runs each time a menu of wnd shows, with its window and the menu it shows.
  MenuWatch(HWND wnd, std::function<void(HWND popup, HMENU menu)> onOpen)
      : onOpen_(std::move(onOpen)),
        subclass_(wnd, [this](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
          if (msg == WM_COMMAND) Commands.push_back(wParam);
          if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) Idle(reinterpret_cast<HWND>(lParam));
          if (msg == WM_EXITMENULOOP) last_ = nullptr;
          return cl::TWindowSubclass::CallPrevious(w, msg, wParam, lParam);
        }) {}

  // The menus seen open, in order.
  std::vector<HMENU> Opened;
  std::vector<WPARAM> Commands;

 private:
  void Idle(HWND popup) {
    if (!popup) popup = VisiblePopup();
    const auto menu = popup ? reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)) : nullptr;
    // The loop goes idle again after each input: a menu is reported once per opening.
    if (!menu || menu == last_) return;
    last_ = menu;
    Opened.push_back(menu);
    onOpen_(popup, menu);
  }
  static HWND VisiblePopup() {
    HWND popup = FindWindowW(L"#32768", nullptr);
    while (popup && !IsWindowVisible(popup)) popup = FindWindowExW(nullptr, popup, L"#32768", nullptr);
    return popup;
  }

  std::function<void(HWND, HMENU)> onOpen_;
  HMENU last_ = nullptr;
  cl::TWindowSubclass subclass_;
};

}  // namespace hktest
