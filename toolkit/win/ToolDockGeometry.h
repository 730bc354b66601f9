// The tool windows' geometry and activation routines: caption height, work areas of monitors, the MDI
// frame of a form, pending paints flushed before a drag draws, the window to activate next, and a frame
// recomputed.
#pragma once
#include <windows.h>

#include "Controls.h"
#include "Forms.h"

namespace toolkit {

// The height of a small (tool window) caption.
int GetSmallCaptionHeight();
// The work area of the primary monitor, or the whole screen when the system cannot say.
RECT GetPrimaryWorkArea();
// The system has more than one monitor.
bool MultipleMonitorsPresent();
// The system's monitor functions. A system without them has one monitor: its work area is the primary one.
struct TMonitorFunctions {
  using FromRect = HMONITOR(WINAPI*)(LPCRECT, DWORD);
  using FromPoint = HMONITOR(WINAPI*)(POINT, DWORD);
  using Info = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
  FromRect fromRect = nullptr;
  FromPoint fromPoint = nullptr;
  Info info = nullptr;
};
// Looks the three functions up by name in the module (the loaded user32); true when all are there.
bool LoadMonitorFunctions(HMODULE user32, TMonitorFunctions& funcs);
// The work area of the monitor nearest to the rectangle or point, asked through funcs; the primary work
// area without funcs or when the monitor cannot say.
RECT RectWorkAreaWith(const TMonitorFunctions* funcs, const RECT& rect);
RECT PointWorkAreaWith(const TMonitorFunctions* funcs, POINT point);
// The same through the system's functions, looked up on each call and only with more than one monitor.
RECT GetRectWorkArea(const RECT& rect);
RECT GetPointWorkArea(POINT point);
// The MDI frame among whose children the form is; the form itself otherwise.
cl::TCustomForm* GetMDIParentOf(cl::TCustomForm* form);
// Dispatches the thread's pending WM_PAINT messages, so that none wipes what a drag draws next; a quit
// request stays queued.
void FlushPaintMessages();
// The thread's top-level window to activate when `exclude` goes: visible, enabled, not the application's
// hidden window; a window that is not topmost first. Null when none.
HWND FindWindowToActivate(HWND exclude);
// Asks the window to compute its frame again and repaints it.
void RefreshFrame(cl::TWinControl& control);

}  // namespace toolkit
