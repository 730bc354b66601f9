#include "ToolDockGeometry.h"

namespace toolkit {

int GetSmallCaptionHeight() { return GetSystemMetrics(SM_CYSMCAPTION); }

RECT GetPrimaryWorkArea() {
  RECT r{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0))
    r = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return r;
}

bool MultipleMonitorsPresent() {
  const int count = GetSystemMetrics(SM_CMONITORS);
  return count != 0 && count != 1;
}

bool LoadMonitorFunctions(HMODULE user32, TMonitorFunctions& funcs) {
  funcs = {};
  if (!user32) return false;
  funcs.fromRect = reinterpret_cast<TMonitorFunctions::FromRect>(
      reinterpret_cast<void*>(GetProcAddress(user32, "MonitorFromRect")));
  funcs.fromPoint = reinterpret_cast<TMonitorFunctions::FromPoint>(
      reinterpret_cast<void*>(GetProcAddress(user32, "MonitorFromPoint")));
  funcs.info = reinterpret_cast<TMonitorFunctions::Info>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetMonitorInfoA")));
  return funcs.fromRect && funcs.fromPoint && funcs.info;
}

namespace {

RECT MonitorWorkArea(const TMonitorFunctions& funcs, HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor && funcs.info(monitor, &info)) return info.rcWork;
  return GetPrimaryWorkArea();
}

// Looked up anew on each call: nothing is kept of a system's functions.
const TMonitorFunctions* SystemMonitorFunctions(TMonitorFunctions& funcs) {
  if (!MultipleMonitorsPresent() || !LoadMonitorFunctions(GetModuleHandleW(L"user32.dll"), funcs)) return nullptr;
  return &funcs;
}

}  // namespace

RECT RectWorkAreaWith(const TMonitorFunctions* funcs, const RECT& rect) {
  if (!funcs) return GetPrimaryWorkArea();
  return MonitorWorkArea(*funcs, funcs->fromRect(&rect, MONITOR_DEFAULTTONEAREST));
}

RECT PointWorkAreaWith(const TMonitorFunctions* funcs, POINT point) {
  if (!funcs) return GetPrimaryWorkArea();
  return MonitorWorkArea(*funcs, funcs->fromPoint(point, MONITOR_DEFAULTTONEAREST));
}

RECT GetRectWorkArea(const RECT& rect) {
  TMonitorFunctions funcs;
  return RectWorkAreaWith(SystemMonitorFunctions(funcs), rect);
}

RECT GetPointWorkArea(POINT point) {
  TMonitorFunctions funcs;
  return PointWorkAreaWith(SystemMonitorFunctions(funcs), point);
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
