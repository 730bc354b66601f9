// Controls: TControl (position, visibility, text, message path) and TWinControl (a control with a window of
// its own, parent of other controls).
//
// Every message of a control goes along its `WindowProc`, a path that a painter, the skinned form or any
// other code may stack handlers on (TMessageLink) and take them away in any order; each handler passes the
// message on, and the path ends in the control's virtual WndProc, which hands the message to Dispatch; what
// no handler takes reaches DefaultHandler, the window's own processing. Perform sends a message along the
// same path without a window.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "MessageChain.h"
#include "Types.h"
#include "WindowSubclass.h"

namespace cl {

class TWinControl;
class TCustomForm;
class TPopupMenu;

// ---------------------------------------------------------------------------------------------------------
// Control messages: notifications between controls (CM_) and window messages reflected from the parent to
// the child they concern (CN_ = CN_BASE + the window message).

constexpr uint32_t CM_BASE = 0xB000;
constexpr uint32_t CM_ACTIVATE = CM_BASE + 0;
constexpr uint32_t CM_DEACTIVATE = CM_BASE + 1;
constexpr uint32_t CM_GOTFOCUS = CM_BASE + 2;
constexpr uint32_t CM_LOSTFOCUS = CM_BASE + 3;
constexpr uint32_t CM_CANCELMODE = CM_BASE + 4;
constexpr uint32_t CM_DIALOGKEY = CM_BASE + 5;
constexpr uint32_t CM_DIALOGCHAR = CM_BASE + 6;
constexpr uint32_t CM_FOCUSCHANGED = CM_BASE + 7;
constexpr uint32_t CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr uint32_t CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr uint32_t CM_HITTEST = CM_BASE + 10;
constexpr uint32_t CM_VISIBLECHANGED = CM_BASE + 11;
constexpr uint32_t CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr uint32_t CM_COLORCHANGED = CM_BASE + 13;
constexpr uint32_t CM_FONTCHANGED = CM_BASE + 14;
constexpr uint32_t CM_CURSORCHANGED = CM_BASE + 15;
constexpr uint32_t CM_CTL3DCHANGED = CM_BASE + 16;
constexpr uint32_t CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr uint32_t CM_TEXTCHANGED = CM_BASE + 18;
constexpr uint32_t CM_MOUSEENTER = CM_BASE + 19;
constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 20;
constexpr uint32_t CM_MENUCHANGED = CM_BASE + 21;
constexpr uint32_t CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr uint32_t CM_ENTER = CM_BASE + 26;
constexpr uint32_t CM_EXIT = CM_BASE + 27;
constexpr uint32_t CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr uint32_t CM_SHOWHINTCHANGED = CM_BASE + 31;
constexpr uint32_t CM_PARENTSHOWHINTCHANGED = CM_BASE + 32;
constexpr uint32_t CM_RELEASE = CM_BASE + 33;
constexpr uint32_t CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr uint32_t CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr uint32_t CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr uint32_t CM_CHILDKEY = CM_BASE + 46;
constexpr uint32_t CM_RECREATEWND = CM_BASE + 51;

constexpr uint32_t CN_BASE = 0xBC00;
constexpr uint32_t CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr uint32_t CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr uint32_t CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr uint32_t CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr uint32_t CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr uint32_t CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr uint32_t CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr uint32_t CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr uint32_t CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr uint32_t CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr uint32_t CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr uint32_t CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr uint32_t CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr uint32_t CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr uint32_t CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr uint32_t CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr uint32_t CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr uint32_t CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr uint32_t CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr uint32_t CN_CHAR = CN_BASE + WM_CHAR;
constexpr uint32_t CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr uint32_t CN_SYSCHAR = CN_BASE + WM_SYSCHAR;

// ---------------------------------------------------------------------------------------------------------
// Types of the control properties and events.

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The parent edges a control keeps its distances to when the parent's client area changes size. Without
// either horizontal edge the control keeps its place relative to the middle; likewise vertically.
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum TControlStyleFlag { csAcceptsControls, csCaptureMouse, csClickEvents, csFramed, csSetCaption, csOpaque,
                         csDoubleClicks };
using TControlStyle = TSet<TControlStyleFlag>;

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Mouse cursors by number: crDefault leaves the choice to the window (its parent, then its class);
// crNone shows no cursor.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNo = -18;
constexpr TCursor crHandPoint = -21;
// The shared system cursor of a standard number (crNone: null; unknown numbers: the arrow).
HCURSOR CursorHandle(TCursor cursor);

// (Sender, Key, Shift): a handler that sets Key to 0 swallows the key.
using TKeyEvent = TEvent<TObject*, uint16_t&, TShiftState>;
// (Sender, Key): a UTF-16 code unit; 0 swallows it.
using TKeyPressEvent = TEvent<TObject*, wchar_t&>;
using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;

// dmAutomatic: pressing the left button on the control and moving the mouse drags it.
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// (Sender, Source, X, Y, State, Accept): the target under the mouse; X, Y in its client area. Accept starts
// true; a handler clears it to refuse the drop.
using TDragOverEvent = TEvent<TObject*, TObject*, int, int, TDragState, bool&>;
// (Sender, Source, X, Y): the drop on a target that accepted it.
using TDragDropEvent = TEvent<TObject*, TObject*, int, int>;

// The state of the modifier keys and mouse buttons: from the MK_ flags of a mouse message, from the
// keyboard now, or from the key data (lParam) of a key message.
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardStateToShiftState();
TShiftState KeyDataToShiftState(LPARAM keyData);

// ---------------------------------------------------------------------------------------------------------
// TControl.

class TControl : public TComponent {
  CL_CLASS(TControl, TComponent)

  explicit TControl(TComponent* owner);
  ~TControl() override;

  // The message path; see the top of this file. Stack a TMessageLink on it to see the control's messages
  // first.
  TMessageChain WindowProc;
  // Sends a message along WindowProc and returns its result.
  intptr_t Perform(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
  // The default message handling: hands the message to Dispatch.
  virtual void WndProc(TMessage& message);

  TWinControl* Parent() const noexcept { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // Form descriptions nest controls by their parent.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  // With csSetCaption, a control whose text is its name takes the new name as its text.
  void SetName(const std::string& name) override;

  // Position in the parent's client area (for a top-level window: on the screen) and outer size.
  int Left() const noexcept { return left_; }
  int Top() const noexcept { return top_; }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  // The inner area, from (0, 0).
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientSize(int width, int height);
  virtual void SetClientWidth(int value);
  virtual void SetClientHeight(int value);

  TAlign Align() const noexcept { return align_; }
  void SetAlign(TAlign value);
  // Applies to controls without Align; the distances kept are those when the bounds, the parent or the
  // anchors were last set.
  TAnchors Anchors() const noexcept { return anchors_; }
  void SetAnchors(TAnchors value);

  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all its parents.
  virtual bool Showing() const;

  bool Enabled() const noexcept { return enabled_; }
  virtual void SetEnabled(bool value);

  // Caption and Text are the same text under two names, as the kind of control suggests.
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& value) { SetText(value); }
  std::string Text() const { return GetText(); }
  void SetText(const std::string& value);

  // With ShowHint a windowed control shows Hint as a tooltip while the mouse rests on it.
  const std::string& Hint() const noexcept { return hint_; }
  void SetHint(const std::string& value);
  bool ShowHint() const noexcept { return showHint_; }
  void SetShowHint(bool value);
  // With ParentShowHint the control takes its parent's ShowHint and follows its changes; setting ShowHint
  // ends that.
  bool ParentShowHint() const noexcept { return parentShowHint_; }
  void SetParentShowHint(bool value);
  // The cursor over this control; crDefault: whatever its window shows.
  TCursor Cursor() const noexcept { return cursor_; }
  void SetCursor(TCursor value) { cursor_ = value; }

  // The font of the text. With ParentFont the control takes its parent's font and follows its changes;
  // changing the font itself ends that.
  TFont* Font() const noexcept { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  bool ParentFont() const noexcept { return parentFont_; }
  void SetParentFont(bool value);
  // The background colour (clBtnFace; clWindow for controls that hold user input). With ParentColor the
  // control takes its parent's colour and follows its changes; setting Color ends that. Controls that
  // hold user input keep their own colour by default.
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor value);
  bool ParentColor() const noexcept { return parentColor_; }
  void SetParentColor(bool value);

  // The menu a right click on the control (or the context-menu key) opens; null: the window's own.
  TPopupMenu* PopupMenu() const noexcept { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* value);

  TControlStyle ControlStyle() const noexcept { return controlStyle_; }
  void SetControlStyle(TControlStyle value) { controlStyle_ = value; }

  // Repaints the control's area (for a windowed control, its window) later / now.
  virtual void Invalidate();
  virtual void Update() {}
  void Repaint() {
    Invalidate();
    Update();
  }
  void BringToFront();
  void SendToBack();

  // The logical palette the control draws with on a palette display; null for none.
  virtual HPALETTE GetPalette() { return nullptr; }

  // Client coordinates of this control to the screen and back.
  TPoint ClientToScreen(TPoint p);
  TPoint ScreenToClient(TPoint p);
  // The left-top corner of the client area on the screen.
  virtual TPoint ClientOrigin();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // Raises OnClick (the user clicked; buttons also when pressed from the keyboard).
  virtual void Click();

  TDragMode DragMode() const noexcept { return dragMode_; }
  void SetDragMode(TDragMode value) noexcept { dragMode_ = value; }
  // The cursor while this control is dragged over a target that accepts it.
  TCursor DragCursor() const noexcept { return dragCursor_; }
  void SetDragCursor(TCursor value) noexcept { dragCursor_ = value; }
  // Drags this control with the mouse captured until the left button goes up (a drop on the control under
  // the mouse, when it accepts), Escape or the right button is pressed, or the capture is lost. Without
  // `immediate` the drag starts once the mouse moves `threshold` pixels (-1: the system's drag distance);
  // a release before that ends it as an ordinary click. Targets are the controls of this library; the
  // source handed to them is this control. True when dropped on a target that accepted.
  bool BeginDrag(bool immediate, int threshold = -1);
  bool Dragging() const noexcept { return dragging_; }

  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;

  void Dispatch(TMessage& message) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  // What is taken from the parent is not written into descriptions.
  bool IsFontStored() const noexcept { return !parentFont_; }
  bool IsColorStored() const noexcept { return !parentColor_ || !parent_; }
  bool IsShowHintStored() const noexcept { return !parentShowHint_ || !parent_; }
  // Opens PopupMenu at a screen point (-1, -1: under the control's middle); false without one that opens
  // by itself.
  bool ShowPopupMenu(int x, int y);
  // The text as kept by this object; windowed controls read their window.
  virtual std::string GetText() const { return text_; }
  // Stores the text; windowed controls also set their window's.
  virtual void StoreText(const std::string& value) { text_ = value; }
  virtual void Resize() { OnResize(this); }
  // The system palette changed (foreground: this program's window is about to be active): a visible
  // control with a palette realises it, repaints when that mapped colours anew, and answers true.
  // Windowed controls ask their children too.
  virtual bool PaletteChanged(bool foreground);
  virtual void DblClick() { OnDblClick(this); }
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y) { OnMouseDown(this, button, shift, x, y); }
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y) { OnMouseUp(this, button, shift, x, y); }
  virtual void MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }
  // The drag target's side: without an OnDragOver handler a control refuses every drop.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(TObject* source, int x, int y) { OnDragDrop(this, source, x, y); }
  // Mouse button messages of windowed and windowless controls alike; false for any other message.
  // `clicks`: whether a left button release inside the control may count as a click.
  bool DispatchMouseButton(const TMessage& message, bool clicks);
  // Stores new bounds without moving anything (windowed controls follow their window with it).
  void StoreBounds(int left, int top, int width, int height);
  // The parent lays out its aligned children again.
  void RequestAlign();
  // Takes the current bounds and the parent's client size as the distances Anchors keeps.
  void UpdateAnchorRules();

  std::string text_;
  bool clicking_ = false;  // the left button went down over this control
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;

 private:
  friend class TWinControl;
  friend class TCustomForm;
  TWinControl* parent_ = nullptr;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  // The bounds and the parent's client size that the anchors refer to; anchorParent_ is the parent they
  // were taken in (null: not taken yet).
  TRect anchorBounds_{};
  TSize anchorParentSize_{};
  const TWinControl* anchorParent_ = nullptr;
  bool visible_ = true;
  bool enabled_ = true;
  std::string hint_;
  bool showHint_ = false;
  TCursor cursor_ = crDefault;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  std::unique_ptr<TFont> font_;
  TColor color_ = clBtnFace;
  bool parentColor_ = true;
  bool parentShowHint_ = true;
  TPopupMenu* popupMenu_ = nullptr;
  bool parentFont_ = true;
  bool adoptingFont_ = false;  // the parent's font is being copied: not a change of the control's own
  TDragMode dragMode_ = dmManual;
  TCursor dragCursor_ = crDrag;
  bool dragging_ = false;
  // The control of this library under a point of the screen (windowless children included), else null.
  static TControl* DragTargetAt(POINT screen);
  bool DragLoop(bool immediate, int threshold, POINT start);
  void AdoptParentFont();
  void AdoptParentColor();
  void AdoptParentShowHint();
};

// ---------------------------------------------------------------------------------------------------------
// TWinControl.

// What CreateWindowEx gets. WinClassName is a class this library registers with the control's window
// procedure (by default the control's class name), or, after CreateSubClass, a system class (BUTTON, EDIT,
// a common control) whose windows are then subclassed.
struct TCreateParams {
  std::wstring Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  std::wstring WinClassName;
  bool SystemClass = false;
  UINT ClassStyle = CS_DBLCLKS;
  HBRUSH Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  HICON Icon = nullptr;
};

class TWinControl : public TControl {
  CL_CLASS(TWinControl, TControl)

  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // The window, made on first use (with the parents' windows). Raises EOSError when it cannot be made.
  HWND Handle();
  void HandleNeeded() { Handle(); }
  bool HandleAllocated() const noexcept { return handle_ != nullptr; }
  // Destroys the window now; it is made again on the next use.
  void DestroyHandle();
  // Makes the window again (after a change of its style); keeps text, position and children.
  void RecreateWnd();

  // Child controls, in insertion order.
  int ControlCount() const noexcept { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;
  bool ContainsControl(const TControl* control) const;

  // Tab order among the parent's windowed children; -1 for a control without a parent.
  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const noexcept { return tabStop_; }
  void SetTabStop(bool value);
  // The children in tab order (recursing into containers when `recursive`).
  std::vector<TWinControl*> TabList(bool recursive = false) const;

  bool Focused() const;
  // Visible and enabled with all its parents, and none of them being freed.
  virtual bool CanFocus() const;
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot take the focus.
  virtual void SetFocus();
  // Moves the focus to the next (or previous) control in tab order after `current`, wrapping around;
  // `checkTabStop` skips controls without TabStop.
  void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

  void Invalidate() override;
  void Update() override;
  TRect ClientRect() const override;
  void SetClientSize(int width, int height) override;
  TPoint ClientOrigin() override;
  // An inner margin inside the client area that aligned children keep free.
  int BorderWidth() const noexcept { return borderWidth_; }
  void SetBorderWidth(int value);
  void SetBounds(int left, int top, int width, int height) override;
  bool Showing() const override;
  void SetParent(TWinControl* parent) override;

  void Dispatch(TMessage& message) override;
  // Messages nobody handled go to the window's own processing.
  void DefaultHandler(TMessage& message) override;

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // The brush of the background, in the control's Color.
  TBrush* Brush() const noexcept { return brush_.get(); }

  // The sunken 3D border instead of a flat line, for controls with a frame (csFramed). With ParentCtl3D the
  // control takes its parent's Ctl3D and follows its changes; setting Ctl3D ends that.
  bool Ctl3D() const noexcept { return ctl3D_; }
  void SetCtl3D(bool value);
  bool ParentCtl3D() const noexcept { return parentCtl3D_; }
  void SetParentCtl3D(bool value);
  // The window paints into an off-screen bitmap that is then copied to the screen at once, so that no
  // half-painted state flickers.
  bool DoubleBuffered() const noexcept { return doubleBuffered_; }
  void SetDoubleBuffered(bool value) noexcept { doubleBuffered_ = value; }

  // The control whose window this is (for a window made by this library in this process), else null.
  static TWinControl* FindControl(HWND wnd) noexcept;

 protected:
  // Fills the creation parameters; overrides call the inherited first, then change what they need.
  virtual void CreateParams(TCreateParams& params);
  // The border of a framed control: sunken with Ctl3D, else a line.
  void ApplyFrameStyle(TCreateParams& params) const;
  // Makes the window from the parameters; then the children's windows.
  virtual void CreateWnd();
  // The CreateWindowEx call of CreateWnd; a window made some other way (an MDI child, made by its MDI
  // client) overrides it. Returns null with the error in GetLastError.
  virtual HWND CreateWindowHandle(const TCreateParams& params, const wchar_t* className, HMENU id);
  virtual void DestroyWnd();
  // Called once the window exists (after its children's windows were made).
  virtual void CreateHandleDone() {}
  // Paints the window's own content on dc (windows of this library's classes); the windowless children
  // are painted over it.
  virtual void PaintWindow(HDC /*dc*/) {}
  // For wrappers of system controls: makes the window of the given system class and subclasses it.
  static void CreateSubClass(TCreateParams& params, const wchar_t* className);

  // Lays out the children with Align and moves those with other Anchors than left and top. Waits while
  // the control is being read from a description, so that the anchored children take their distances
  // from the sizes the description gives; Loaded lays them out.
  virtual void AlignControls();
  void Loaded() override;
  // Its own palette first, then the children's, the topmost child first.
  bool PaletteChanged(bool foreground) override;
  // Moves and sizes the children by their anchors for a client area of this size.
  void AnchorControls(TSize size);

  // Raise OnKeyDown, OnKeyUp, OnKeyPress.
  virtual void KeyDown(uint16_t& key, TShiftState shift) { OnKeyDown(this, key, shift); }
  virtual void KeyUp(uint16_t& key, TShiftState shift) { OnKeyUp(this, key, shift); }
  virtual void KeyPress(wchar_t& key) { OnKeyPress(this, key); }
  // The form sees the key first when it previews keys; true when the key was swallowed (set to 0).
  bool DoKeyDown(uint16_t& key, TShiftState shift);
  bool DoKeyUp(uint16_t& key, TShiftState shift);
  bool DoKeyPress(wchar_t& key);
  // F1: the help topic of the control's form; false when the form has none.
  bool ShowFormHelp();
  virtual void DoEnter() { OnEnter(this); }
  virtual void DoExit() { OnExit(this); }

  std::string GetText() const override;
  void StoreText(const std::string& value) override;

  // The window's own processing for a message: the procedure behind the subclass (system classes), else
  // DefaultWindowProc.
  LRESULT CallDefaultProc(TMessage& message);
  // The default processing of a window of this library's classes: DefWindowProc, unless the window is
  // of a kind with a default of its own (MDI frames and children).
  virtual LRESULT DefaultWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  friend class TControl;
  friend class TCustomForm;
  friend class TApplication;
  struct ChainFrame;
  static const wchar_t* RegisterOwnClass(const TCreateParams& params);
  LRESULT SubclassHandler(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Binds a window of this library's classes to this control.
  void Bind(HWND wnd);
  void WindowGone();
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void UpdateShowing();
  void UpdateBoundsFromWindow();
  // The families of messages Dispatch hands on; true when the message is done with.
  bool ReflectNotification(TMessage& message);
  bool WindowLifeMessage(TMessage& message);
  bool StateMessage(TMessage& message);
  bool FocusMessage(TMessage& message);
  bool KeyMessage(TMessage& message);
  bool MouseMessage(TMessage& message);
  bool PaintMessage(TMessage& message);
  void PaintOverSystemControl(TMessage& message);
  void PrintOverSystemControl(TMessage& message);
  bool ReflectToChild(TMessage& message, HWND child);
  TWinControl* ChildByID(int id) const;
  // Hands a mouse message to the windowless child under the mouse, or to the one holding the mouse;
  // false when it is the window's own.
  bool RouteToGraphicChild(TMessage& message);
  void HandleMouseMessage(TMessage& message);
  void CNKeyDown(TMessage& message);
  void PaintHandler(TMessage& message);
  // WM_PAINT of a double-buffered window: the painting goes to a bitmap, copied to the window once.
  void PaintBuffered(TMessage& message);
  void AdoptParentCtl3D();
  bool IsCtl3DStored() const noexcept { return !parentCtl3D_ || !Parent(); }
  void PaintControls(HDC dc);
  bool HasGraphicChildren() const;
  // The windowless child under a point of the client area that takes the mouse, else null.
  TControl* GraphicControlAt(int x, int y) const;
  void ApplyTabOrder(int value);

  std::unique_ptr<TBrush> brush_;
  HWND handle_ = nullptr;
  WNDPROC defProc_ = nullptr;  // the window procedure behind the subclass of a system class
  std::unique_ptr<TWindowSubclass> subclass_;  // the binding of a system-class window
  ChainFrame* chain_ = nullptr;  // messages that came through the subclass, innermost first
  int id_ = 0;                   // child window id (WM_COMMAND, WM_MEASUREITEM)
  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;
  int pendingTabOrder_ = -1;
  bool tabStop_ = false;
  bool aligning_ = false;
  bool anchoring_ = false;  // children are moved by their anchors: their distances stay as they were
  int borderWidth_ = 0;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  bool doubleBuffered_ = false;
  bool mouseTracking_ = false;
  // Mouse entering and leaving the windowless children, the cursor over them, the tooltip of Hint.
  void TrackGraphicChild(TControl* child);
  bool SetCursorFromControl(TMessage& message);
  void UpdateTooltip();
  HWND tooltip_ = nullptr;
};

// ---------------------------------------------------------------------------------------------------------
// Controls that paint themselves on a canvas: windowless (painted by their parent, which also hands them
// its mouse messages) and windowed.

class TGraphicControl : public TControl {
  CL_PLAIN_CLASS(TGraphicControl, TControl)

  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;

  // Bound to a device context only while the control paints.
  TCanvas* Canvas() const noexcept { return canvas_.get(); }
  // Paints on dc, whose origin is the control's left-top corner.
  void PaintTo(HDC dc);

  void Dispatch(TMessage& message) override;

 protected:
  virtual void Paint() {}

 private:
  std::unique_ptr<TCanvas> canvas_;
};

class TCustomControl : public TWinControl {
  CL_PLAIN_CLASS(TCustomControl, TWinControl)

  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;

  // Bound to a device context only while the control paints.
  TCanvas* Canvas() const noexcept { return canvas_.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  std::unique_ptr<TCanvas> canvas_;
};

// The form that contains the control (or is it); null when none.
TCustomForm* GetParentForm(const TControl* control);

}  // namespace cl
