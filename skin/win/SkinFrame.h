// A skinned window's frame: its size, hit test, painting and window region.
//
// The four borders come from the skin's border images, the title bar (top border, caption text and
// title-bar buttons) is composed in the state's title bitmap and copied in one piece, and the window
// region leaves out the key-coloured pixels of transparent borders. Coordinates called "frame" are
// relative to the window's top-left corner.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "NCFrameState.h"

namespace skin {

// The skin frame's widths from the border images (all 0, and no menu bar, for border kind None).
void ComputeFrameWidths(TNCFrameState& s);

// Frame coordinates of a screen point (the client origin lies at (Left, Top + menu bar) of the frame;
// a minimised window has no skin frame).
POINT ScreenToFrame(const TNCFrameState& s, POINT screen);

// WM_NCCALCSIZE: `callDefault` runs the window's own procedure first; then the client rectangle is the
// proposed window rectangle less the skin frame.
LRESULT NCCalcSize(TNCFrameState& s, WPARAM wParam, LPARAM lParam, const std::function<LRESULT()>& callDefault);

// WM_NCHITTEST given what the window's own procedure answered: the title band is the caption, the menu
// bar the menu, the rest of the frame its border codes; the top three rows and the system's own border,
// client and other answers stay.
LRESULT NCHitTest(const TNCFrameState& s, POINT screen, LRESULT defaultResult);

// WM_NCPAINT: nothing at all while the skin's non-client painting is switched off; the window's own
// frame for a window without border or an MDI child that is not restored; else the skin frame.
TNCAnswer NCPaint(TNCFrameState& s, bool paintingOn);

// The whole non-client area painted into `dc` (null: the window DC), each part copied in one piece.
// Nothing outside the skinned states, without a frame, or for an MDI child that is not restored. Ends
// with no hot object.
void PaintNonClient(TNCFrameState& s, HDC dc = nullptr);
// Border 1 Left, 2 Right, 3 Top, 4 Bottom, frame 1 while active (2 while not), built to rect's size and
// copied to rect of dc. Nothing for a rectangle of negative size.
void PaintBorder(const TNCFrameState& s, int index, const RECT& rect, HDC dc);
// The title bar composed in the title bitmap over what dc shows at the top, then copied to dc.
void PaintTitleBar(TNCFrameState& s, HDC dc);
// The caption text (and its background image) into area of the canvas; sets the caption rectangle.
void PaintCaption(TNCFrameState& s, cl::TCanvas& canvas, const RECT& area);

// The window's text, as the caption shows it (without prefix and suffix).
std::wstring WindowCaption(HWND wnd);

// Resizes the window so that the kept client rectangle (refreshed first when `recalc`) fits inside the
// skin frame; a message dialog whose title is wider than that is widened (its controls move right by
// half the difference). A maximised window only gets its frame recalculated.
void UpdateFrameSize(TNCFrameState& s, bool recalc);
// The frame recalculated and repainted in place, the window neither moved, sized nor activated.
void RefreshFrame(HWND wnd);

// Builds the window region for the window's present size and hands it to the window; nothing while the
// size is the one it was built for (except while recolouring or for an MDI child).
void UpdateWindowRegion(TNCFrameState& s);
// Takes the region from the window and drops the title bitmap.
void ClearWindowRegion(TNCFrameState& s);

}  // namespace skin
