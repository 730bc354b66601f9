// A skinned window's title-bar buttons and its non-client mouse: which buttons show, where they sit,
// how they are drawn hot and pressed, what they do, and the window icon the system-menu buttons show.
#pragma once
#include <windows.h>

#include "NCFrameState.h"

namespace skin {

// The buttons made anew, one per title-bar button of the skin (and the frame widths computed). Nothing
// before a skin is loaded. System-menu buttons without an image take the window's icon bitmap.
void CreateSysButtons(TNCFrameState& s);
// The buttons freed; no object stays hot or pressed.
void ClearSysButtons(TNCFrameState& s);

// Whether button i shows now, by its two visibility rules and its Action; kept in its Visible flag.
bool IsSysButtonVisible(TNCFrameState& s, size_t i);
// Places each visible button with an image by its Align, for the width of the last paint.
void ArrangeSysButtons(TNCFrameState& s);
// The title bar's buttons (not those of the menu bar) drawn on the title bitmap's DC.
void PaintSysButtons(TNCFrameState& s, HDC dc);
// One button in state 1 normal, 2 pressed or 3 hot, straight onto the window.
void PaintSysButton(TNCFrameState& s, TWinSysButton& button, int state);
// The first visible button with an Action >= 0 that contains the frame point, or null.
TWinSysButton* SysButtonAt(TNCFrameState& s, POINT framePoint);

// Runs the hot button's Action; (x, y) is the screen point of the click.
void SysButtonClick(TNCFrameState& s, int x, int y);
void Maximize(TNCFrameState& s);
void Restore(TNCFrameState& s);
void Minimize(TNCFrameState& s);

// The window's icon (small, else big) kept for the system-menu buttons, drawn into the icon bitmap at
// the small icon size. Without one: the skin data's shared icon bitmap, else `fallback` (the main
// form's, which the caller finds), when not empty.
void GetFormIcon(TNCFrameState& s, const cl::TBitmap* fallback = nullptr);
// The system's CopyImage, or a stand-in.
using TCopyImage = HANDLE(WINAPI*)(HANDLE, UINT, int, int, UINT);
// The icon copied at width by height for drawing: from its resource, else a plain copy (icons read from
// form streams have no resource to copy from).
cl::TIconHandle CopyIconAtSize(HICON icon, int width, int height, TCopyImage copyImage = &CopyImage);
// The window icon at the icon size, drawn at (x, y); nothing when the window has none.
void DrawFormIcon(const TNCFrameState& s, HDC dc, int x, int y, TCopyImage copyImage = &CopyImage);

// The non-client mouse (see TNCAnswer).
TNCAnswer NCMouseMove(TNCFrameState& s, POINT screen);
// May turn a caption hit into a menu hit (a maximised window is not dragged).
TNCAnswer NCLButtonDown(TNCFrameState& s, WPARAM& hitTest, POINT screen);
TNCAnswer NCLButtonUp(TNCFrameState& s, POINT screen);
TNCAnswer NCLButtonDblClk(TNCFrameState& s, WPARAM hitTest, POINT screen);
TNCAnswer NCRButtonDown(TNCFrameState& s, WPARAM hitTest, POINT screen);
// The hot-track timer: the hot object leaves when the cursor (screen point) is off it.
void TimerTick(TNCFrameState& s, POINT cursor);

}  // namespace skin
