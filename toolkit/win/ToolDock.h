// Tool windows that float above their form as small popup windows of their own, or sit docked in the rows
// of a dock (TToolDock).
//
// A floating tool window's parent in the class library is a hidden carrier form (TFloatingWindowParent)
// made for the form it floats over: its controls belong to the carrier's focus and key handling, while its
// window is owned by the form's window, so it stays in front of the form, hides with it and while the
// program is not active, and survives the destruction of the form's window.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "DockLayout.h"
#include "Forms.h"
#include "Graphics.h"
#include "ToolDockCommon.h"
#include "ToolWinFrame.h"

namespace toolkit::dock {

// The dock sides and handle styles are the layout's and the frame's.
using toolkit::TDockPosition;
using toolkit::dpTop, toolkit::dpBottom, toolkit::dpLeft, toolkit::dpRight;
using toolkit::TDragHandleStyle;
using toolkit::dhDouble, toolkit::dhNone, toolkit::dhSingle;
using TDockableTo = cl::TSet<TDockPosition>;

// The skin engine's query "is this window skinned already?" (answered 1 when it is).
inline constexpr UINT kSkinnedQuery = 0x3504;
enum TToolWindowDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum TToolWindowFloatingMode { fmOnTopOfParentForm, fmOnTopOfAllForms };

class TCustomToolWin;

// The sides of a dock that show a 1-pixel line (shadow at top and left, highlight at bottom and right).
enum TDockBoundLinesValues { blTop, blBottom, blLeft, blRight };
using TDockBoundLines = cl::TSet<TDockBoundLinesValues>;
// (Sender, Inserting, Bar): a bar was shown in the dock, or left it.
using TInsertRemoveEvent = cl::TEvent<cl::TObject*, bool, TCustomToolWin*>;
// (Sender, Bar, Accept): the form may refuse a drop of Bar into the dock.
using TRequestDockEvent = cl::TEvent<cl::TObject*, TCustomToolWin*, bool&>;

// The strip along a side of a form (or of a panel) that holds tool windows ("bars") in rows. It aligns
// itself to its side, lays its bars out in rows through TDockLayout, grows and shrinks across its side to
// fit them, draws bound lines in its non-client area and an optional tiled background that the bars may
// share.
class TToolDock : public cl::TCustomControl {
  CL_CLASS(TToolDock, cl::TCustomControl)

  explicit TToolDock(cl::TComponent* owner);
  ~TToolDock() override;
  // The bars leave while the dock, its lists and its bitmaps are all still there.
  void BeforeDestruction() override;

  // A tool window or another dock as parent raises EInvalidOperation.
  void SetParent(cl::TWinControl* parent) override;

  // The side; sets Align. A change while the dock holds any control raises EInvalidOperation.
  TDockPosition Position() const noexcept { return position_; }
  void SetPosition(TDockPosition value);
  // Docked bars show a drag handle and can be dragged; also needed to be a drop target.
  bool AllowDrag() const noexcept { return allowDrag_; }
  void SetAllowDrag(bool value);
  TDockBoundLines BoundLines() const noexcept { return boundLines_; }
  void SetBoundLines(TDockBoundLines value);
  // Owned; assigning copies the picture. Empty: no background.
  cl::TBitmap* Background() const noexcept { return background_.get(); }
  void SetBackground(const cl::TBitmap* value);
  // The picture drawn with BackgroundTransparent: the background over the dock's colour, built on first
  // need; null until then.
  cl::TBitmap* TransparentCopy() const noexcept { return transparentCopy_.get(); }
  // The background's bottom-left colour shows the dock's colour.
  bool BackgroundTransparent() const noexcept { return backgroundTransparent_; }
  void SetBackgroundTransparent(bool value);
  // Docked bars paint the background too.
  bool BackgroundOnToolbars() const noexcept { return backgroundOnToolbars_; }
  void SetBackgroundOnToolbars(bool value);
  // An empty dock keeps 1 pixel instead of 0.
  bool FixAlign() const noexcept { return fixAlign_; }
  void SetFixAlign(bool value);
  // Every bar is put into row 0.
  bool LimitToOneRow() const noexcept { return limitToOneRow_; }
  void SetLimitToOneRow(bool value) noexcept { limitToOneRow_ = value; }
  // Always "ToolDock version 1.76"; a written value is ignored.
  std::string Version() const { return "ToolDock version 1.76"; }
  void SetVersion(const std::string&) {}

  // The pixels the bound lines take from the client area across and down.
  int EdgeWidth() const noexcept { return edgeWidth_; }
  int EdgeHeight() const noexcept { return edgeHeight_; }

  // Every bar that belongs to the dock, docked or remembered as a floating bar's last dock; and the ones
  // shown in it now. Neither owns its bars.
  int BarCount() const noexcept { return static_cast<int>(bars_.size()); }
  TCustomToolWin* Bars(int index) const;
  int ShownBarCount() const noexcept { return static_cast<int>(shownBars_.size()); }
  TCustomToolWin* ShownBars(int index) const;
  bool HasBar(const TCustomToolWin* bar) const noexcept;
  bool HasShownBar(const TCustomToolWin* bar) const noexcept;

  // Arrangement is put off while the lock is up; the last EndArrange runs what was put off.
  void BeginArrange() noexcept { ++arrangeLock_; }
  void EndArrange();
  // Lays out every shown bar and sizes the dock across its side; with clipPoses the bars keep the
  // positions they were pushed to.
  void ArrangeBars(bool clipPoses);

  bool HasShownBars() const;
  // Docked here and visible (or being designed).
  bool IsBarShown(const TCustomToolWin* bar) const;
  // The largest DockRow of the bars; -1 with none.
  int LastRowIndex() const;
  // The row's thickness; 0 for none, then the bar's own docked thickness when a bar is given.
  int RowThickness(int row, TCustomToolWin* bar);
  // The row a drop `offset` pixels across the dock falls into; newRow asks for a row to be opened there.
  int DropRowAt(int offset, bool& newRow);
  // The row whose band holds `offset` pixels across the dock; the row after the last when none does.
  int RowAtOffset(int offset);
  int CountOthersInRow(int row, const TCustomToolWin* bar) const;
  // Opens an empty row at `row`: every bar at or below moves down one.
  void ShiftRowsFrom(int row);
  void DropEmptyRows();
  // The row thicknesses anew from the shown bars.
  void BuildRowSizes();
  // The new size, keeping the edge the dock is aligned to.
  void SetDockSize(int newWidth, int newHeight);
  // Adds the bar to (or takes it from) the bars, then brings the shown bars up to date.
  void AddRemoveBar(bool inserting, TCustomToolWin* bar);
  // The bar joins or leaves the shown bars (forceRemove: leaves); a change arranges and is announced.
  void UpdateShownBars(TCustomToolWin* bar, bool forceRemove);

  bool HasBackground() const noexcept;
  // The background's palette.
  HPALETTE GetPalette() override { return background_->Palette(); }
  // The dock and every shown bar's frame and client area are painted anew.
  void RepaintBackgrounds();
  // The transparent copy is dropped and everything painted anew.
  void BackgroundBitmapChanged();
  // Tiles the background from tileRect's top-left over tileRect, clipped to clipRect, leaving out
  // exclude when given.
  void DrawBackground(HDC dc, const RECT& clipRect, const RECT& tileRect, const RECT* exclude);
  // The tile rectangle for `rect`, given in the client (or, with windowCoordinates, the window)
  // coordinates of `wnd` (the dock or a bar on it): its top-left moves to the client origin of the dock's
  // parent, so the tiles line up across the dock and every bar on it.
  RECT TileRectFor(HWND wnd, const RECT& rect, bool windowCoordinates) const;

  TInsertRemoveEvent OnInsertRemoveBar;
  TRequestDockEvent OnRequestDock;

  void Dispatch(cl::TMessage& message) override;

 protected:
  void CreateParams(cl::TCreateParams& params) override;
  void AlignControls() override;
  void Loaded() override;
  void Resize() override;
  void Notification(cl::TComponent* component, cl::TOperation operation) override;
  void Paint() override;

 private:
  void DrawNCArea(HDC dc);
  void PaintNCArea(HRGN updateRegion);
  // The layout's records for the bars, in Bars order.
  TDockLayout MakeLayout() const;
  // The bars' rows and positions (and order) from the layout's records.
  void TakeFromLayout(const TDockLayout& layout);
  void ApplyArrangement(bool clipPoses);
  // The background, or with BackgroundTransparent its transparent copy (built on first need).
  cl::TBitmap& Picture();
  void BuildTransparentCopy();
  bool Designing() const { return ComponentState().Contains(cl::csDesigning); }

  TDockPosition position_ = dpTop;
  bool allowDrag_ = true;
  TDockBoundLines boundLines_;
  std::unique_ptr<cl::TBitmap> background_;
  std::unique_ptr<cl::TBitmap> transparentCopy_;
  bool backgroundTransparent_ = false;
  bool backgroundOnToolbars_ = true;
  bool fixAlign_ = false;
  bool limitToOneRow_ = false;
  int arrangeLock_ = 0;
  bool arrangePending_ = false;
  bool clipPending_ = false;
  int edgeWidth_ = 0;
  int edgeHeight_ = 0;
  std::vector<TCustomToolWin*> bars_;
  std::vector<TCustomToolWin*> shownBars_;
  std::vector<int> rowThicknesses_;
};


// (Sender, DockingTo): the dock the window goes to; null when it is to float.
using TDockChangingExEvent = cl::TEvent<cl::TObject*, TToolDock*>;

// 0 for none, 1 for a dock along the top or bottom, 2 for one along the left or right.
int DockOrientationOf(const TToolDock* dock);

// The hidden carrier form of a floating tool window: made without a description, no taskbar button, never
// the main form, shown only while its tool window wants to be.
class TFloatingWindowParent : public cl::TForm {
  CL_PLAIN_CLASS(TFloatingWindowParent, cl::TForm)
  explicit TFloatingWindowParent(cl::TComponent* owner);

  // The form the tool window floats over; null once that form is gone.
  cl::TCustomForm* ParentForm() const noexcept { return parentForm_; }
  void SetParentForm(cl::TCustomForm* form) noexcept { parentForm_ = form; }
  // Whether the carrier's window is to be shown (its tool window is).
  bool ShouldShow() const noexcept { return shouldShow_; }
  void SetShouldShow(bool value) noexcept { shouldShow_ = value; }

  void Dispatch(cl::TMessage& message) override;

 protected:
  void CreateParams(cl::TCreateParams& params) override;

 private:
  cl::TCustomForm* parentForm_ = nullptr;
  bool shouldShow_ = false;
};

// The outermost form around a control; for a floating tool window, the form it floats over. Null when none.
cl::TCustomForm* FindParentForm(const cl::TControl* control);
// FindParentForm, or EInvalidOperation "Control '<Name>' has no parent window".
cl::TCustomForm* GetToolWindowForm(const TCustomToolWin* toolWindow);

// The tool windows floating now (whose parent is a carrier), in the order they began floating.
int FloatingToolWindowCount() noexcept;
TCustomToolWin* FloatingToolWindow(int index);

// Registered with the hook registry by every tool window: keeps the floating ones in step with the
// application's activation and their form's state, and saves their windows from their owner's end.
void ToolWindowHookCallback(THookEvent event, HWND wnd, WPARAM wParam, LPARAM lParam);

class TCustomToolWin : public cl::TCustomControl {
  CL_CLASS(TCustomToolWin, cl::TCustomControl)

  explicit TCustomToolWin(cl::TComponent* owner);
  ~TCustomToolWin() override;
  // Leaves the floating list, frees the carrier and unregisters the hook while the whole object is there.
  void BeforeDestruction() override;

  // nil, a dock or a form (the window then floats over that form); any other parent raises
  // EInvalidOperation. Every change of place makes the window anew.
  void SetParent(cl::TWinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  // Never written as the child of its carrier.
  bool HasParent() const override;
  cl::TComponent* GetParentComponent() const override;
  void DefineProperties(cl::TFiler& filer) override;

  bool IsDocked() const noexcept { return isDocked_; }
  TToolDock* DockedTo() const noexcept { return dockedTo_; }
  cl::TCustomForm* FloatingParent() const noexcept { return floatingParent_; }
  // The screen position the window floats at (its last floating top-left).
  POINT FloatPos() const noexcept { return floatPos_; }
  void SetFloatPos(POINT value) noexcept { floatPos_ = value; }
  int DockPos() const noexcept { return dockPos_; }
  void SetDockPos(int value);
  int DockRow() const noexcept { return dockRow_; }
  void SetDockRow(int value);

  bool ActivateParent() const noexcept { return activateParent_; }
  void SetActivateParent(bool value) noexcept { activateParent_ = value; }
  bool HideWhenInactive() const noexcept { return hideWhenInactive_; }
  void SetHideWhenInactive(bool value);
  bool CloseButton() const noexcept { return closeButton_; }
  void SetCloseButton(bool value);
  bool CloseButtonWhenDocked() const noexcept { return closeButtonWhenDocked_; }
  void SetCloseButtonWhenDocked(bool value);
  bool FullSize() const noexcept { return fullSize_; }
  void SetFullSize(bool value);
  bool Resizable() const noexcept { return resizable_; }
  void SetResizable(bool value);
  bool ShowCaption() const noexcept { return showCaption_; }
  void SetShowCaption(bool value);
  // On: the dock the window leaves keeps it in its bars as its LastDock. Off: LastDock is forgotten.
  bool UseLastDock() const noexcept { return useLastDock_; }
  void SetUseLastDock(bool value);
  cl::TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
  void SetBorderStyle(cl::TBorderStyle value);
  TToolWindowDockMode DockMode() const noexcept { return dockMode_; }
  void SetDockMode(TToolWindowDockMode value) noexcept { dockMode_ = value; }
  TDragHandleStyle DragHandleStyle() const noexcept { return dragHandleStyle_; }
  void SetDragHandleStyle(TDragHandleStyle value);
  TDockableTo DockableTo() const noexcept { return dockableTo_; }
  void SetDockableTo(TDockableTo value) noexcept { dockableTo_ = value; }
  TToolWindowFloatingMode FloatingMode() const noexcept { return floatingMode_; }
  void SetFloatingMode(TToolWindowFloatingMode value);
  // The docks the window goes back to; each is forgotten on its own when it is freed.
  TToolDock* DefaultDock() const noexcept { return defaultDock_; }
  void SetDefaultDock(TToolDock* value);
  TToolDock* LastDock() const noexcept { return lastDock_; }
  // Docked, the value is the window's dock. A dock switches UseLastDock on and holds the window in its
  // bars; the dock left behind lets it go.
  void SetLastDock(TToolDock* value);
  // Docked, the dock it sits in is what the description carries.
  bool IsLastDockStored() const noexcept { return !isDocked_; }
  // A dock makes it the window's parent; null floats the window over its form.
  void SetDockedTo(TToolDock* value);
  // Docks the window into dock at row and position (pixels along the dock; -1 after the row's last bar).
  void DockAt(TToolDock* dock, int row, int pos);
  // Floats the window over its form with its top-left at screenPoint.
  void FloatAt(POINT screenPoint);

  // Before the window exists, the client area is what the tool window's own frame leaves.
  cl::TRect ClientRect() const override;
  // Docked on a dock with a background, the dock's palette; else none.
  HPALETTE GetPalette() override;

  // The floating caption is drawn inactive.
  bool CaptionInactive() const noexcept { return captionInactive_; }
  // The non-client size around the client area.
  int FrameWidth() const { return FrameSize().cx; }
  int FrameHeight() const { return FrameSize().cy; }

  // Showing, no hide lock, and for a floating window: the program active (with HideWhenInactive) and the
  // form it floats over on the screen and not minimised.
  bool ShouldBeVisible() const;
  // Shows or hides the window (through CM_SHOWINGCHANGED) to match ShouldBeVisible.
  void UpdateVisibility();
  // Keeps the window topmost exactly while its owner is (fmOnTopOfParentForm) or while it is enabled
  // (fmOnTopOfAllForms).
  void UpdateTopmost();
  // Moves the window onto the work area of its monitor; with onlyIfFullyOffscreen only a window that
  // lies wholly outside it. A window larger than the work area gets its top-left corner on it.
  void MoveOnScreen(bool onlyIfFullyOffscreen);
  // Sizes the window to its content's wish (GetBaseSize) plus its frame; postponed while the controls
  // are locked, the window is loading or being destroyed, or has no parent.
  void ArrangeControls(int orientation, TToolDock* dock, bool resize);
  void FitToContent();
  void BeginArrangeControls() noexcept { ++controlsLock_; }
  void EndArrangeControls();
  // Runs work with the controls lock raised; the lock's end (which fits the content when that was put
  // off) comes also when work fails.
  template <class F>
  void WithControlsLocked(F&& work) {
    BeginArrangeControls();
    try {
      work();
    } catch (...) {
      EndArrangeControls();
      throw;
    }
    EndArrangeControls();
  }

  cl::TNotifyEvent OnClose;
  cl::TNotifyEvent OnDockChanged;
  cl::TNotifyEvent OnDockChanging;
  cl::TNotifyEvent OnMove;
  cl::TNotifyEvent OnRecreated;
  cl::TNotifyEvent OnRecreating;
  cl::TNotifyEvent OnVisibleChanged;
  cl::TCloseQueryEvent OnCloseQuery;
  TDockChangingExEvent OnDockChangingEx;
  TDockChangingExEvent OnDockChangingHidden;

  void Dispatch(cl::TMessage& message) override;

 protected:
  friend class TToolDock;
  // What the content wants: the docked row thickness for an orientation, the minimum client size, the
  // client size, and the new outer size whenever the size changes (empty here).
  virtual int GetDockedSize(int orientation) { return 0; }
  virtual void GetMinimumSize(int& minWidth, int& minHeight) { minWidth = minHeight = 0; }
  virtual POINT GetBaseSize() { return POINT{0, 0}; }
  virtual void StoreBaseSize(int newWidth, int newHeight) {}
  virtual void DoDockChangingHidden(TToolDock* dockingTo) { OnDockChangingHidden(this, dockingTo); }
  virtual void DoMove() { OnMove(this); }
  virtual void AfterLoaded() {}

  void CreateParams(cl::TCreateParams& params) override;
  // A left press outside the child controls drags the window (a double click docks or floats it).
  void MouseDown(cl::TMouseButton button, cl::TShiftState shift, int x, int y) override;
  void AlignControls() override;
  void Loaded() override;
  // OnResize, but not while the window loads.
  void Resize() override;
  // A palette change another window won maps the dock's colours anew: frame and client are redrawn.
  bool PaletteChanged(bool foreground) override;
  void Notification(cl::TComponent* component, cl::TOperation operation) override;
  // Docked on a dock whose background shows on its bars, the client area shows it too.
  void Paint() override;

 private:
  friend void ToolWindowHookCallback(THookEvent, HWND, WPARAM, LPARAM);
  bool Destroying() const;
  // Out of the floating list, off and rid of the carrier, the hook registration undone.
  void LeaveAll();
  cl::TWinControl* ParentControl() const;
  TFloatingWindowParent* Carrier() const;
  void MakeCarrierFor(cl::TCustomForm* form);
  void MoveToParent(cl::TWinControl* parent, TToolDock* oldDock, TToolDock* newDock);
  void ChangeParent(cl::TWinControl* parent, TToolDock* oldDock, TToolDock* newDock);
  void UpdateFloatingList();
  void MovedNotify();
  void SetCaptionInactive(bool value);
  void ShowingChanged();
  void PlaceOnFirstShow();
  void ActivateMessage(cl::TMessage& m);
  void MouseActivateMessage(cl::TMessage& m);
  int GetDockedRowThickness();
  // Drops the free-notification link to a dock that no longer needs to know of this window.
  void ForgetDock(TToolDock* dock);
  // The non-client size that the last WM_NCCALCSIZE computed (before the window exists: what its place
  // and properties give).
  SIZE FrameSize() const;
  // The window draws its whole non-client area itself: size, painting, printing, hit testing, the close
  // button and the sizing loop. False for what it leaves to the inherited handling.
  bool FrameMessage(cl::TMessage& m);
  // Queues a redraw of floating parts (kFramePart, kCaptionPart, kCloseButtonPart) or of the docked frame.
  void InvalidateFrame(unsigned parts);
  TNonClientSize NonClientSize() const;
  TDockedFrame DockedLook() const;
  // The dock whose background this window shows (docked there, with BackgroundOnToolbars); null if none.
  TToolDock* BackgroundDock() const;
  TFloatingFrame FloatingLook() const;
  LRESULT HitTest(LRESULT inherited, POINT screenPoint) const;
  void PaintFrame(HRGN updateRegion, unsigned parts);
  void TrackClose();
  void RunSizing(int edge);
  bool OnChildControl(int x, int y) const;
  // The modal drag from the pressed point (client coordinates), and its drop into a dock (null: floating).
  void RunDragLoop(int x, int y);
  void CommitDrag(TToolDock* target, const RECT& outline);
  void DropIntoDock(TToolDock& dock, const RECT& outline);
  // The docks a drag may go to, in the order they are offered, and the outline size on one of them.
  std::vector<TToolDock*> DragDocks();
  cl::TSize DockedOutline(const TToolDock& dock);
  // A double click: a docked window floats, a floating one docks into its last or default dock.
  void ToggleDocking();

  std::vector<TToolDock*>* dragDocks_ = nullptr;  // the docks offered to a running drag
  int dockPos_ = -1;
  int dockRow_ = 0;
  bool isDocked_ = false;
  TToolDock* dockedTo_ = nullptr;
  TToolDock* defaultDock_ = nullptr;
  TToolDock* lastDock_ = nullptr;
  bool activateParent_ = true;
  bool hideWhenInactive_ = true;
  bool closeButton_ = true;
  bool closeButtonWhenDocked_ = false;
  bool fullSize_ = false;
  bool resizable_ = true;
  bool showCaption_ = true;
  bool useLastDock_ = true;
  cl::TBorderStyle borderStyle_ = cl::bsSingle;
  TToolWindowDockMode dockMode_ = dmCanFloat;
  TDragHandleStyle dragHandleStyle_ = dhDouble;
  TDockableTo dockableTo_{dpTop, dpBottom, dpLeft, dpRight};
  TToolWindowFloatingMode floatingMode_ = fmOnTopOfParentForm;
  int lastOrientation_ = 0;
  bool hasLastOrientation_ = false;
  int boundsLock_ = 0;
  int controlsLock_ = 0;
  int moveLock_ = 0;
  int hideLock_ = 0;
  bool arrangePending_ = false;
  bool captionInactive_ = false;
  bool closePressed_ = false;
  SIZE frameSize_{-1, -1};  // none computed yet
  POINT floatPos_{0, 0};
  TFloatingWindowParent* floatingParent_ = nullptr;  // owned
  bool savedAtRunTime_ = false;  // the description was written by a running program: screen positions
  bool placePending_ = false;    // Left and Top are still relative to the form's client area
  bool hooked_ = false;
};

// The tool window that forms place: its content is child controls, its size the size of its client area
// (never below the minimum client size).
class TToolWin : public TCustomToolWin {
  CL_CLASS(TToolWin, TCustomToolWin)

  // 32 by 32 pixels, minimum client size 32 by 32.
  explicit TToolWin(cl::TComponent* owner);

  // The client size (the outer size while the window has no parent). Written: the window gets this client
  // size with its frame around it.
  int ClientAreaWidth() const;
  int ClientAreaHeight() const;
  void SetClientAreaWidth(int value) { SetClientAreaSize(value, ClientAreaHeight()); }
  void SetClientAreaHeight(int value) { SetClientAreaSize(ClientAreaWidth(), value); }
  void SetClientAreaSize(int width, int height);

  int MinClientWidth() const noexcept { return minClientWidth_; }
  void SetMinClientWidth(int value) noexcept { minClientWidth_ = value; }
  int MinClientHeight() const noexcept { return minClientHeight_; }
  void SetMinClientHeight(int value) noexcept { minClientHeight_ = value; }
  int BaseClientWidth() const noexcept { return baseClientWidth_; }
  int BaseClientHeight() const noexcept { return baseClientHeight_; }

  // Always "ToolDock version 1.76"; a written value is ignored.
  std::string Version() const { return "ToolDock version 1.76"; }
  void SetVersion(const std::string&) {}

 protected:
  int GetDockedSize(int orientation) override;
  void GetMinimumSize(int& minWidth, int& minHeight) override;
  POINT GetBaseSize() override;
  void StoreBaseSize(int newWidth, int newHeight) override;

 private:
  int minClientWidth_ = 32;
  int minClientHeight_ = 32;
  int baseClientWidth_ = 0;
  int baseClientHeight_ = 0;
};

}  // namespace toolkit::dock
