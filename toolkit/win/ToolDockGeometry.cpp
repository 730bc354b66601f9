#include "ToolDockGeometry.h"

namespace toolkit {

int GetSmallCaptionHeight() { return GetSystemMetrics(SM_CYSMCAPTION); }

RECT GetPrimaryWorkArea() {
  RECT r{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0))
    r = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return r;
}

namespace {

RECT MonitorWorkArea(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
  return GetPrimaryWorkArea();
}

}  // namespace

bool MultipleMonitorsPresent() {
  const int count = GetSystemMetrics(SM_CMONITORS);
  return count != 0 && count != 1;
}

RECT GetRectWorkArea(const RECT& rect) {
  if (!MultipleMonitorsPresent()) return GetPrimaryWorkArea();
  return MonitorWorkArea(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST));
}

RECT GetPointWorkArea(POINT point) {
  if (!MultipleMonitorsPresent()) return GetPrimaryWorkArea();
  return MonitorWorkArea(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

cl::TCustomForm* GetMDIParentOf(cl::TCustomForm* form) {
  if (!form || form->FormStyle() != cl::fsMDIChild || !form->HandleAllocated()) return form;
  const HWND client = GetParent(form->Handle());
  for (int i = 0; i < cl::Screen().FormCount(); ++i) {
    cl::TCustomForm* frame = cl::Screen().Forms(i);
    if (frame->FormStyle() == cl::fsMDIForm && frame->ClientHandle() && frame->ClientHandle() == client) return frame;
  }
  return form;
}

void FlushPaintMessages() {
  // Each paint is taken off the queue as it is found: waiting for one (GetMessage) could block when
  // the window validated itself meanwhile. A quit request comes whatever the filter; it belongs to the
  // loop outside and goes back into the queue.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchMessageW(&msg);
  }
}

namespace {

struct TActivateSearch {
  HWND exclude;
  HWND hidden;
  HWND normal = nullptr;
  HWND topmost = nullptr;
};

BOOL CALLBACK ConsiderWindow(HWND wnd, LPARAM p) {
  auto& s = *reinterpret_cast<TActivateSearch*>(p);
  if (wnd == s.exclude || wnd == s.hidden || !IsWindowVisible(wnd) || !IsWindowEnabled(wnd)) return TRUE;
  if (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) {
    if (!s.topmost) s.topmost = wnd;
    return TRUE;
  }
  s.normal = wnd;
  return FALSE;
}

}  // namespace

HWND FindWindowToActivate(HWND exclude) {
  TActivateSearch search{exclude, cl::Application ? cl::Application->Handle() : nullptr};
  EnumThreadWindows(GetCurrentThreadId(), ConsiderWindow, reinterpret_cast<LPARAM>(&search));
  return search.normal ? search.normal : search.topmost;
}

void RefreshFrame(cl::TWinControl& control) {
  if (!control.HandleAllocated()) return;
  SetWindowPos(control.Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace toolkit
