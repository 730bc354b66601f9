// The tool window's own non-client area: its sizes, docked and floating; the drawing of both forms; the
// coalescing redraw requests; hit testing; the close button's tracking; the sizing loop; and the XOR
// outline that the sizing and drag loops draw on the desktop. Free functions over what the caller states,
// so the window class keeps its properties and this module keeps the geometry.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>

#include "Forms.h"
#include "Graphics.h"

namespace toolkit {

enum TDragHandleStyle { dhDouble, dhNone, dhSingle };

// Dock orientations as the tool windows count them.
inline constexpr int kDockNone = 0;
inline constexpr int kDockHorizontal = 1;  // a dock at the top or bottom: the handle is at the left
inline constexpr int kDockVertical = 2;    // a dock at the left or right: the handle is at the top

// The width (horizontal dock) or height (vertical dock) of the drag-handle strip, and the offset of its
// first grip bar.
int DragHandleSize(bool closeButtonWhenDocked, TDragHandleStyle style) noexcept;
int FirstGripOffset(bool closeButtonWhenDocked, TDragHandleStyle style) noexcept;

// The floating frame's thickness (cx, cy): a sizing frame when resizable, else a fixed one.
SIZE FloatingFrameSize(bool resizable) noexcept;

// What the frame takes from the window on each side.
struct TNonClientSize {
  int left = 0, top = 0, right = 0, bottom = 0;
  int FrameWidth() const noexcept { return left + right; }
  int FrameHeight() const noexcept { return top + bottom; }
  // The client rectangle of an outer rectangle, and back.
  RECT Inner(const RECT& outer) const noexcept;
  RECT Outer(const RECT& inner) const noexcept;
};

struct TDockedFrameOptions {
  int orientation = kDockHorizontal;  // kDockHorizontal or kDockVertical
  bool allowDrag = true;              // the dock lets its bars be dragged: a handle is drawn
  bool closeButtonWhenDocked = false;
  TDragHandleStyle dragHandleStyle = dhDouble;
  // The handle strip's size in these options (0 without AllowDrag).
  int HandleSize() const noexcept;
};

struct TFloatingFrameOptions {
  bool resizable = true;
  bool showCaption = true;
  bool closeButton = true;
  bool captionInactive = false;
};

TNonClientSize DockedNonClientSize(const TDockedFrameOptions& options) noexcept;
TNonClientSize FloatingNonClientSize(bool resizable, bool showCaption) noexcept;

// Rectangles in window coordinates; clientWidth is the client area's width. The caption rectangle stops a
// row short of the client area: that row is the line drawn below the caption bar.
RECT CaptionRect(bool resizable, int clientWidth, bool withoutCloseButton) noexcept;
RECT FloatingCloseButtonRect(bool resizable, int clientWidth) noexcept;
RECT DockedCloseButtonRect(int orientation, int clientWidth) noexcept;

// ----- drawing

// Paints the dock's background into dc, already clipped to where it belongs (the frame ring and the
// handle strip), with the tiles lined up as the dock wants.
using TDockBackgroundPainter = std::function<void(HDC dc)>;

struct TDockedFrame {
  TDockedFrameOptions options;
  cl::TBorderStyle borderStyle = cl::bsSingle;  // bsSingle: a raised edge; bsNone: a flat ring
  COLORREF color = RGB(192, 192, 192);
  bool closePressed = false;
  TDockBackgroundPainter background;  // set when the dock shows a background on its bars
};

struct TFloatingFrame {
  TFloatingFrameOptions options;
  bool closePressed = false;
};

// The floating frame's parts, a set of bits.
inline constexpr unsigned kFramePart = 1;
inline constexpr unsigned kCaptionPart = 2;
inline constexpr unsigned kCloseButtonPart = 4;
inline constexpr unsigned kAllParts = kFramePart | kCaptionPart | kCloseButtonPart;

// Into a caller's DC whose origin is the window's top-left (WM_PRINT, tests).
void DrawDockedFrame(HWND wnd, HDC dc, const TDockedFrame& frame);
void DrawFloatingFrame(HWND wnd, HDC dc, const TFloatingFrame& frame, unsigned parts);
// Into the window's own DC, clipped to the update region (screen coordinates; 0 or 1 for the whole
// window). Requests still queued are served by this drawing and taken off the queue first; the floating
// form draws their parts too.
void PaintDockedFrame(HWND wnd, const TDockedFrame& frame, HRGN updateRegion);
void PaintFloatingFrame(HWND wnd, const TFloatingFrame& frame, unsigned parts, HRGN updateRegion);

// The caption drawn by hand, for a system without DrawCaption: as much of the window's text as fits,
// followed by "..." when it does not.
void DrawToolCaption(HWND wnd, HDC dc, RECT captionRect, bool inactive);

// ----- deferred redraws

// Posted by a window to itself: redraw the docked frame (WParam 0, LParam 0), redraw floating parts
// (LParam the part bits).
inline constexpr UINT kRedrawDockedFrame = 0x17AF;
inline constexpr UINT kRedrawFloatingParts = 0x17B0;

// Removes the queued requests of this kind for the window and gives the OR of their LParam bits. A quit
// request met on the way is posted again and ends the removal.
unsigned TakeQueuedRedraws(HWND wnd, UINT message);
// One request in the queue at a time: the queued ones are removed (their parts kept), then, when the
// window is visible, one is posted.
void RequestDockedRedraw(HWND wnd);
void RequestFloatingRedraw(HWND wnd, unsigned parts);

// ----- hit testing (p in window coordinates; inherited is what the default handling answered)

// The frame and the handle answer as client area, so a press there can start a drag; the docked close
// button answers HTCLOSE.
LRESULT DockedHitTest(LRESULT inherited, POINT p, const TDockedFrameOptions& options, int clientWidth) noexcept;
// The caption answers as client area (HTCLOSE over the close button); a resizable frame answers with its
// sizing edges and corners, the corners reaching a caption's height along each edge.
LRESULT FloatingHitTest(LRESULT inherited, POINT p, const TFloatingFrameOptions& options, SIZE windowSize,
                        int clientWidth) noexcept;

// ----- modal loops

// Tracks a press on the close button with the mouse captured by wnd. inButton tells whether a point (in
// window coordinates) is on the button; setPressed is told each change of the pushed state (it stores it
// and redraws the button), starting with true and ending with false. True when the button was released
// over it: the caller then asks and closes.
bool TrackCloseButton(HWND wnd, const std::function<bool(POINT)>& inButton,
                      const std::function<void(bool pressed)>& setPressed);

struct TSizeLoopHooks {
  std::function<void(int edge)> begin;
  // May change the new rectangle; orig is the rectangle the loop started from.
  std::function<void(RECT& newRect, const RECT& orig)> track;
  std::function<void(bool applied)> end;
};

// Sizes wnd's outline (screen coordinates) from an edge: 0 left, 1 right, 2 top, 3 top-left, 4 top-right,
// 5 bottom, 6 bottom-left, 7 bottom-right; never below minimum (outer size). The rectangle to apply when
// the button was released, nothing when the sizing was cancelled (Esc, another press, capture lost).
// frameThickness is the outline's width.
std::optional<RECT> RunSizeLoop(HWND wnd, int edge, SIZE minimum, int frameThickness, const TSizeLoopHooks& hooks);

// The XOR outline: erases the old one and draws the new one (either may be null) in one step. An outline
// is 1 pixel thick when it stands for a docked place, else floatingThickness.
void DrawDraggingOutline(HDC dc, const RECT* newRect, const RECT* oldRect, bool newDocking, bool oldDocking,
                         int floatingThickness);

// Whether a modal loop keeps the cursor in the work area: sizing does on a one-monitor system, a drag
// never does (the cursor may leave it; the outline is kept on it instead).
enum class TCursorConfinement { WorkArea, None };

// A modal loop's hold on the desktop: pending paints flushed, the desktop's updates locked, its DC taken,
// the mouse captured by wnd and, when asked on a one-monitor system, the cursor kept in the work area. It
// keeps the outline it shows and erases it at the end. Everything is given back when it goes, whichever
// way the loop ends.
class TDesktopDrawSession {
 public:
  TDesktopDrawSession(HWND wnd, int floatingThickness, TCursorConfinement confinement);
  ~TDesktopDrawSession();
  TDesktopDrawSession(const TDesktopDrawSession&) = delete;
  TDesktopDrawSession& operator=(const TDesktopDrawSession&) = delete;

  HDC DC() const noexcept { return dc_; }
  // Moves the outline to rect (null: none shown).
  void ShowOutline(const RECT* rect, bool docking);

 private:
  HWND wnd_;
  bool locked_ = false;
  HDC dc_ = nullptr;
  bool clipped_ = false;
  int thickness_;
  std::optional<RECT> shown_;
  bool shownDocking_ = false;
};

}  // namespace toolkit
