#include "Controls.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "Forms.h"
#include "SysUtils.h"
#include "WinString.h"

namespace cl {

namespace {

// The window property that leads from a window to its control.
const wchar_t kControlProp[] = L"ClControl";

// The control whose window is being made on this thread: its first messages come before CreateWindowEx
// returns the handle.
thread_local TWinControl* creatingControl = nullptr;

// The control under the mouse, which got CM_MOUSEENTER and is owed a CM_MOUSELEAVE.
thread_local TControl* mouseControl = nullptr;

// The windowless control that holds the mouse: its parent's window has the capture, and every mouse
// message of that window goes to it until the button is released.
thread_local TControl* captureControl = nullptr;

int NextChildId() {
  // 16 bits travel in WM_COMMAND; the low numbers are the dialog ids IDOK, IDCANCEL, ...
  static std::atomic<int> next{0x100};
  int id = next.fetch_add(1);
  if (id > 0xFFFF) {
    next = 0x101;
    id = 0x100;
  }
  return id;
}

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// Sets a flag for the length of a scope.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

// The size the frame adds to the client area for these styles.
SIZE NonClientSize(DWORD style, DWORD exStyle) {
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

// A message that came in through the subclass of a system-class window; the default processing of that
// very message continues along the subclass chain.
struct TWinControl::ChainFrame {
  TMessage* message;
  ChainFrame* outer;
  bool objectGone = false;
};

// ---------------------------------------------------------------------------------------------------------
// Shift states.

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
  if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (keyData & 0x20000000) s.Include(ssAlt);  // the context code: Alt is down
  return s;
}

TCustomForm* GetParentForm(const TControl* control) {
  if (!control) return nullptr;
  while (control->Parent()) control = control->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(control));
}

// ---------------------------------------------------------------------------------------------------------
// TControl.

CL_BEGIN_CLASS(TControl)
    .Int("Left", &TControl::Left, &TControl::SetLeft)
    .Int("Top", &TControl::Top, &TControl::SetTop)
    .Int("Width", &TControl::Width, &TControl::SetWidth)
    .Int("Height", &TControl::Height, &TControl::SetHeight)
    .Enum("Align", &TControl::Align, &TControl::SetAlign,
          {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}, alNone)
    .Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, {"akLeft", "akTop", "akRight", "akBottom"},
         TAnchors{akLeft, akTop})
    .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
    .Str("Hint", &TControl::Hint, &TControl::SetHint)
    .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
    .Int("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault)
    .Bool("Visible", &TControl::Visible, &TControl::SetVisible, true)
    .Int("Color", &TControl::Color, &TControl::SetColor, clBtnFace)
    .Object("Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::IsFontStored)
    .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
    .Event("OnClick", &TControl::OnClick)
    .Event("OnDblClick", &TControl::OnDblClick)
    .Event("OnMouseDown", &TControl::OnMouseDown)
    .Event("OnMouseMove", &TControl::OnMouseMove)
    .Event("OnMouseUp", &TControl::OnMouseUp)
    .Event("OnResize", &TControl::OnResize)
CL_END_CLASS

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  font_->OnChange = [this](TObject*) {
    if (!adoptingFont_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
  };
}

void TControl::SetParentFont(bool value) {
  parentFont_ = value;
  if (value) AdoptParentFont();
}

void TControl::AdoptParentFont() {
  if (!parent_ || !parentFont_) return;
  adoptingFont_ = true;
  try {
    font_->Assign(parent_->Font());
  } catch (...) {
    adoptingFont_ = false;
    throw;
  }
  adoptingFont_ = false;
}

void TControl::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Perform(CM_COLORCHANGED);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_PARENTFONTCHANGED:
      AdoptParentFont();
      break;
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
      Invalidate();
      break;
  }
  inherited::Dispatch(m);
}

TControl::~TControl() {
  if (mouseControl == this) mouseControl = nullptr;
  if (captureControl == this) captureControl = nullptr;
  if (parent_) parent_->RemoveControl(this);
}

intptr_t TControl::Perform(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& message) { Dispatch(message); }

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
  UpdateAnchorRules();
  AdoptParentFont();
  Invalidate();
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* p = dynamic_cast<TWinControl*>(parent)) SetParent(p);
}

void TControl::StoreBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  // A move by the parent's anchoring keeps the distances it applied; any other move sets new ones.
  if (!parent_ || !parent_->anchoring_) UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  anchorParent_ = parent_;
  if (!parent_) return;
  anchorBounds_ = BoundsRect();
  anchorParentSize_ = parent_->ClientRect().Size();
}

void TControl::SetAnchors(TAnchors value) {
  if (value == anchors_) return;
  anchors_ = value;
  UpdateAnchorRules();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  const bool sized = width != width_ || height != height_;
  StoreBounds(left, top, width, height);
  Invalidate();
  RequestAlign();
  if (sized) Resize();
}

TRect TControl::ClientRect() const { return Rect(0, 0, width_, height_); }

void TControl::SetClientSize(int width, int height) { SetBounds(left_, top_, width, height); }
void TControl::SetClientWidth(int value) { SetClientSize(value, ClientHeight()); }
void TControl::SetClientHeight(int value) { SetClientSize(ClientWidth(), value); }

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  align_ = value;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Perform(CM_VISIBLECHANGED, value ? 1 : 0);
  if (parent_) parent_->AlignControls();
}

bool TControl::Showing() const { return visible_ && (!parent_ || parent_->Showing()); }

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& value) {
  if (GetText() == value) return;
  StoreText(value);
  Perform(CM_TEXTCHANGED);
}

void TControl::Invalidate() {
  if (!parent_ || !parent_->HandleAllocated() || !visible_) return;
  RECT r{left_, top_, left_ + width_, top_ + height_};
  InvalidateRect(parent_->Handle(), &r, TRUE);
}

void TControl::BringToFront() {
  if (parent_) {
    auto& list = parent_->controls_;
    std::erase(list, this);
    list.push_back(this);
  }
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->handle_)
    SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void TControl::SendToBack() {
  if (parent_) {
    auto& list = parent_->controls_;
    std::erase(list, this);
    list.insert(list.begin(), this);
  }
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->handle_)
    SetWindowPos(w->handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

TPoint TControl::ClientOrigin() {
  if (!parent_) return Point(left_, top_);
  const TPoint p = parent_->ClientOrigin();
  return Point(p.X + left_, p.Y + top_);
}

TPoint TControl::ClientToScreen(TPoint p) {
  const TPoint o = ClientOrigin();
  return Point(p.X + o.X, p.Y + o.Y);
}

TPoint TControl::ScreenToClient(TPoint p) {
  const TPoint o = ClientOrigin();
  return Point(p.X - o.X, p.Y - o.Y);
}

void TControl::Click() { OnClick(this); }

// ---------------------------------------------------------------------------------------------------------
// TWinControl.

CL_BEGIN_CLASS(TWinControl)
    .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
    .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false)
    .Event("OnEnter", &TWinControl::OnEnter)
    .Event("OnExit", &TWinControl::OnExit)
    .Event("OnKeyDown", &TWinControl::OnKeyDown)
    .Event("OnKeyPress", &TWinControl::OnKeyPress)
    .Event("OnKeyUp", &TWinControl::OnKeyUp)
CL_END_CLASS

TWinControl::TWinControl(TComponent* owner)
    : TControl(owner), brush_(std::make_unique<TBrush>()), id_(NextChildId()) {
  brush_->SetColor(Color());
}

TWinControl::~TWinControl() {
  // A message of this control may still be on its way back through the subclass.
  for (ChainFrame* f = chain_; f; f = f->outer) f->objectGone = true;
  chain_ = nullptr;
  DestroyHandle();
  // The children go with their parent, whoever owns them; each leaves its owner's list as it goes.
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    RemoveControl(c);
    delete c;
  }
}

void TWinControl::BeforeDestruction() {
  inherited::BeforeDestruction();
  // The form stops counting on it now, not only when it leaves its parent: a destructor that serves
  // messages (joining a thread) may see the form activated meanwhile.
  if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this, true);
  // While the whole object is there, so that the window's last messages reach every override.
  DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND wnd) noexcept {
  if (!wnd) return nullptr;
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid != GetCurrentProcessId()) return nullptr;  // the property would be another process's pointer
  return BoundControl(wnd);
}

// Windows of our own classes carry their control in the window's extra bytes, read without a trip to
// the window server (a property lookup costs one per message under Wine); subclassed system windows
// carry it in a property.
TWinControl* TWinControl::BoundControl(HWND wnd) noexcept {
  if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(wnd, GCLP_WNDPROC)) == InitWndProc)
    return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(wnd, 0));
  return static_cast<TWinControl*>(GetPropW(wnd, kControlProp));
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) throw EListError(Format("List index out of bounds (%d)", index));
  return controls_[static_cast<size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (; control; control = control->Parent())
    if (control == this) return true;
  return false;
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) tabList_.push_back(w);
  if (control->align_ != alNone) AlignControls();
}

void TWinControl::RemoveControl(TControl* control) {
  // Found by address, not by type: from its own destructor a windowed control is a mere TControl.
  const auto w = std::find_if(tabList_.begin(), tabList_.end(),
                              [control](const TWinControl* c) { return static_cast<const TControl*>(c) == control; });
  if (w != tabList_.end()) {
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(control, true);
    tabList_.erase(w);
  }
  std::erase(controls_, control);
  control->parent_ = nullptr;
  if (captureControl == control) captureControl = nullptr;
  if (control->align_ != alNone) AlignControls();
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (parent == this || ContainsControl(parent))
    throw EInvalidOperation("A control cannot have itself or one of its children as its parent");
  TControl::SetParent(parent);
  if (handle_) {
    if (parent && parent->handle_) {
      ::SetParent(handle_, parent->handle_);
      SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      DestroyHandle();
    }
  } else if (parent && parent->handle_ && !ComponentState().Contains(csLoading)) {
    HandleNeeded();
  }
}

// ----- the window

HWND TWinControl::Handle() {
  if (!handle_) {
    if (ComponentState().Contains(csDestroying)) throw EInvalidOperation("Cannot make the window of a control being destroyed");
    // The parent's window makes the windows of its children.
    if (Parent()) Parent()->HandleNeeded();
    if (!handle_) CreateWnd();
  }
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = ToWide(text_);
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle().Contains(csAcceptsControls)) params.Style |= WS_CLIPCHILDREN;
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  params.X = left_;
  params.Y = top_;
  params.Width = width_;
  params.Height = height_;
  params.WndParent = Parent() ? Parent()->handle_ : nullptr;
  if (!Parent()) params.Style &= ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  params.WinClassName = ToWide(ClassName());
}

void TWinControl::CreateSubClass(TCreateParams& params, const wchar_t* className) {
  params.WinClassName = className;
  params.SystemClass = true;
}

const wchar_t* TWinControl::RegisterOwnClass(const TCreateParams& params) {
  const wchar_t* name = params.WinClassName.c_str();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(Instance(), name, &wc)) {
    if (wc.lpfnWndProc == InitWndProc) return name;
    throw EOSError(Format("Window class %s belongs to another window procedure", FromWide(name).c_str()));
  }
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof(wc);
  wc.style = params.ClassStyle;
  wc.lpfnWndProc = InitWndProc;
  wc.cbWndExtra = sizeof(TWinControl*);
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = params.Background;
  wc.hIcon = params.Icon;
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc)) {
    const DWORD error = GetLastError();
    if (error != ERROR_CLASS_ALREADY_EXISTS) RaiseOSError(error, "RegisterClassEx (" + FromWide(name) + ")");
  }
  return name;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  const wchar_t* className = params.SystemClass ? params.WinClassName.c_str() : RegisterOwnClass(params);
  if (params.SystemClass) {
    // Registers the system's control classes; only the first call loads anything.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
  }
  HMENU id = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<intptr_t>(id_)) : nullptr;
  TWinControl* outer = creatingControl;
  creatingControl = this;
  // A window whose procedure refuses its creation fails without an error of its own: cleared first, so
  // that what an earlier call left is not reported as this one's.
  SetLastError(ERROR_SUCCESS);
  HWND wnd = CreateWindowExW(params.ExStyle, className, params.Caption.c_str(), params.Style, params.X, params.Y,
                             params.Width, params.Height, params.WndParent, id, Instance(), nullptr);
  const DWORD error = GetLastError();
  creatingControl = outer;
  if (!wnd) RaiseOSError(error, "CreateWindowEx (" + FromWide(className) + ")");
  if (params.SystemClass) {
    Bind(wnd);
    defProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC));
    subclass_ = std::make_unique<TWindowSubclass>(
        wnd, [this](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) { return SubclassHandler(w, msg, wParam, lParam); });
  }
  // Standard controls would draw with the system font.
  SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
  UpdateBoundsFromWindow();
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->handle_) w->CreateWnd();
  AlignControls();
  CreateHandleDone();
  UpdateTooltip();
}

void TWinControl::DestroyWnd() { DestroyWindow(handle_); }

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  text_ = GetText();
  DestroyWnd();
  // Normally WM_NCDESTROY has done this; not when someone put another window procedure in front without
  // passing messages on.
  if (handle_) WindowGone();
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  HandleNeeded();
  if (!Parent() && Visible()) Perform(CM_SHOWINGCHANGED);
}

void TWinControl::Bind(HWND wnd) {
  handle_ = wnd;
  if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(wnd, GCLP_WNDPROC)) == InitWndProc)
    SetWindowLongPtrW(wnd, 0, reinterpret_cast<LONG_PTR>(this));
  else
    SetPropW(wnd, kControlProp, this);
}

void TWinControl::WindowGone() {
  if (!handle_) return;
  if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(handle_, GCLP_WNDPROC)) == InitWndProc)
    SetWindowLongPtrW(handle_, 0, 0);
  else
    RemovePropW(handle_, kControlProp);
  handle_ = nullptr;
  defProc_ = nullptr;
  subclass_.reset();
  mouseTracking_ = false;
  clicking_ = false;
  if (mouseControl == this) mouseControl = nullptr;
  if (captureControl && captureControl->parent_ == this) captureControl = nullptr;
  // The tooltip belongs to the top-level window, not to this one: it goes now, unless the top-level
  // window's end has taken it already.
  if (tooltip_ && IsWindow(tooltip_)) DestroyWindow(tooltip_);
  tooltip_ = nullptr;
}

LRESULT CALLBACK TWinControl::InitWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(wnd, 0));
  if (!control && creatingControl && !creatingControl->handle_) {
    control = creatingControl;
    control->Bind(wnd);
  }
  if (!control) return DefWindowProcW(wnd, msg, wParam, lParam);
  TMessage m{msg, wParam, static_cast<intptr_t>(lParam), 0};
  control->MainWndProc(m);
  return m.Result;
}

LRESULT TWinControl::SubclassHandler(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, static_cast<intptr_t>(lParam), 0};
  ChainFrame frame{&m, chain_};
  chain_ = &frame;
  MainWndProc(m);
  if (!frame.objectGone) chain_ = frame.outer;
  return m.Result;
}

void TWinControl::MainWndProc(TMessage& message) {
  try {
    WindowProc(message);
  } catch (...) {
    ::cl::HandleException();
  }
}

LRESULT TWinControl::CallDefaultProc(TMessage& m) {
  if (!handle_) return 0;
  const auto w = static_cast<WPARAM>(m.WParam);
  const auto l = static_cast<LPARAM>(m.LParam);
  if (subclass_) {
    if (chain_ && chain_->message == &m) return TWindowSubclass::CallPrevious(handle_, m.Msg, w, l);
    return CallWindowProcW(defProc_, handle_, m.Msg, w, l);
  }
  return DefWindowProcW(handle_, m.Msg, w, l);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (m.Msg >= CM_BASE && m.Msg < CN_BASE) return;  // control messages mean nothing to a window
  if (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x400) {
    // A reflected message nobody took: colour messages get what the parent's default would give.
    const uint32_t original = m.Msg - CN_BASE;
    if (original >= WM_CTLCOLORMSGBOX && original <= WM_CTLCOLORSTATIC && handle_ && GetParent(handle_))
      m.Result = DefWindowProcW(GetParent(handle_), original, m.WParam, m.LParam);
    return;
  }
  m.Result = CallDefaultProc(m);
}

// ----- messages

bool TWinControl::ReflectToChild(TMessage& m, HWND child) {
  // Notifications come from our own children nearly always: look there before asking the window.
  TWinControl* c = nullptr;
  for (TWinControl* w : tabList_)
    if (w->handle_ == child) {
      c = w;
      break;
    }
  if (!c) c = FindControl(child);
  if (!c || c == this) return false;
  m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
  return true;
}

TWinControl* TWinControl::ChildByID(int id) const {
  for (TWinControl* w : tabList_)
    if (w->id_ == id) return w;
  return nullptr;
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_COMMAND:
      if (m.LParam && ReflectToChild(m, reinterpret_cast<HWND>(m.LParam))) return;
      break;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      if (hdr && ReflectToChild(m, hdr->hwndFrom)) return;
      break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
      if (m.LParam && ReflectToChild(m, reinterpret_cast<HWND>(m.LParam))) return;
      break;
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (d && d->CtlType != ODT_MENU && ReflectToChild(m, d->hwndItem)) return;
      break;
    }
    case WM_DELETEITEM: {
      auto* d = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam);
      if (d && ReflectToChild(m, d->hwndItem)) return;
      break;
    }
    case WM_COMPAREITEM: {
      auto* d = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam);
      if (d && ReflectToChild(m, d->hwndItem)) return;
      break;
    }
    case WM_MEASUREITEM: {
      // Sent while the child's window is still being made, so the child is found by its id.
      auto* d = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (d && d->CtlType != ODT_MENU)
        if (TWinControl* c = ChildByID(static_cast<int>(d->CtlID))) {
          m.Result = c->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
          return;
        }
      break;
    }
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN: {
      auto dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(Font()->Color()));
      SetBkColor(dc, ColorToRGB(Color()));
      m.Result = reinterpret_cast<intptr_t>(brush_->Handle());
      return;
    }
    case WM_ERASEBKGND:
      // Windows of this library's own classes fill with the control's colour; system classes paint themselves.
      if (!subclass_ && handle_) {
        RECT r;
        GetClientRect(handle_, &r);
        FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush_->Handle());
        m.Result = 1;
        return;
      }
      break;
    case CM_FONTCHANGED:
      if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
      for (TControl* c : controls_) c->Perform(CM_PARENTFONTCHANGED);
      break;
    case CM_COLORCHANGED:
      brush_->SetColor(Color());
      break;
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this); form && form != this) form->SetFocusedControl(this);
      break;
    case WM_DESTROY:
      text_ = GetText();
      break;
    case WM_NCDESTROY:
      m.Result = CallDefaultProc(m);
      WindowGone();
      return;
    case WM_WINDOWPOSCHANGED:
      m.Result = CallDefaultProc(m);
      UpdateBoundsFromWindow();
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      auto key = static_cast<uint16_t>(m.WParam);
      const TShiftState shift = KeyDataToShiftState(m.LParam);
      if (DoKeyDown(key, shift)) return;
      m.WParam = key;
      if (m.Msg == WM_KEYDOWN && key == VK_F1 && shift.Empty() && ShowFormHelp()) return;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      auto key = static_cast<uint16_t>(m.WParam);
      if (DoKeyUp(key, KeyDataToShiftState(m.LParam))) return;
      m.WParam = key;
      break;
    }
    case WM_CHAR: {
      auto ch = static_cast<wchar_t>(m.WParam);
      if (DoKeyPress(ch)) return;
      m.WParam = static_cast<uintptr_t>(ch);
      break;
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      CNKeyDown(m);
      return;
    case CN_SYSCHAR:
      // Alt and a character: the controls of the form whose caption marks it as their accelerator.
      if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) {
        m.Result = 1;
        return;
      }
      m.Result = 0;
      return;
    case CM_DIALOGCHAR:
      // Offered to the visible children in turn until one takes it.
      for (TControl* c : std::vector<TControl*>(controls_)) {
        if (!c->Visible() || !c->Enabled()) continue;
        if (c->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) {
          m.Result = 1;
          return;
        }
      }
      return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (RouteToGraphicChild(m)) return;
      HandleMouseMessage(m);
      break;
    case WM_CAPTURECHANGED:
      if (captureControl && captureControl->parent_ == this) {
        TControl* held = captureControl;
        captureControl = nullptr;
        held->Perform(WM_CAPTURECHANGED, m.WParam, m.LParam);
      }
      break;
    case WM_PAINT:
      if (!subclass_) {
        PaintHandler(m);
        return;
      }
      if (handle_ && HasGraphicChildren()) {
        // A system control (a group box, an edit) paints itself; its windowless children go on top, past
        // any clipping it left in the context.
        auto given = reinterpret_cast<HDC>(m.WParam);
        const int saved = given ? SaveDC(given) : 0;
        m.Result = CallDefaultProc(m);
        if (given) RestoreDC(given, saved);
        if (auto dc = given) {
          PaintControls(dc);
        } else if (HDC own = GetDC(handle_)) {
          try {
            PaintControls(own);
          } catch (...) {
            ReleaseDC(handle_, own);
            throw;
          }
          ReleaseDC(handle_, own);
        }
        return;
      }
      break;
    case WM_PRINTCLIENT:
      if (!subclass_) {
        auto dc = reinterpret_cast<HDC>(m.WParam);
        if (m.LParam & PRF_ERASEBKGND) Perform(WM_ERASEBKGND, m.WParam);
        PaintWindow(dc);
        PaintControls(dc);
        return;
      }
      if (HasGraphicChildren()) {
        // The system control may leave the context clipped to its own text area (an edit does).
        auto dc = reinterpret_cast<HDC>(m.WParam);
        const int saved = SaveDC(dc);
        m.Result = CallDefaultProc(m);
        RestoreDC(dc, saved);
        PaintControls(dc);
        return;
      }
      break;
    case WM_MOUSELEAVE:
      mouseTracking_ = false;
      if (mouseControl && (mouseControl == this || mouseControl->parent_ == this)) {
        TControl* left = mouseControl;
        mouseControl = nullptr;
        left->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(left));
      }
      break;
    case WM_SETCURSOR:
      if (SetCursorFromControl(m)) return;
      break;
    case CM_ENABLEDCHANGED:
      if (!Enabled())
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this, false);
      if (handle_) EnableWindow(handle_, Enabled());
      break;
    case CM_VISIBLECHANGED:
      UpdateShowing();
      break;
    case CM_SHOWINGCHANGED:
      // A child window shows with its parent; its own style only says whether it may.
      if (handle_)
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (Visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      return;
    case CM_ENTER:
      DoEnter();
      break;
    case CM_EXIT:
      DoExit();
      break;
  }
  inherited::Dispatch(m);
}

bool TWinControl::RouteToGraphicChild(TMessage& m) {
  if (!handle_) return false;
  const int x = GET_X_LPARAM(m.LParam);
  const int y = GET_Y_LPARAM(m.LParam);
  TControl* c = nullptr;
  if (GetCapture() == handle_) {
    // Held by a windowless child, every message is its; held by the window itself (a system control
    // selecting text), none is.
    if (captureControl && captureControl->parent_ == this) c = captureControl;
  } else {
    c = GraphicControlAt(x, y);
  }
  if (!c) return false;
  const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
  if (press && c != captureControl && c->ControlStyle().Contains(csCaptureMouse)) {
    SetCapture(handle_);
    captureControl = c;
  }
  if (m.Msg == WM_LBUTTONUP && captureControl == c) {
    // Let go before the release is handled: a click may open a modal window, which needs the mouse.
    captureControl = nullptr;
    if (GetCapture() == handle_) ReleaseCapture();
  }
  if (m.Msg == WM_MOUSEMOVE) TrackGraphicChild(c);
  m.Result = c->Perform(m.Msg, m.WParam, MAKELPARAM(x - c->Left(), y - c->Top()));
  return true;
}

void TWinControl::HandleMouseMessage(TMessage& m) {
  const int x = GET_X_LPARAM(m.LParam);
  const int y = GET_Y_LPARAM(m.LParam);
  TShiftState shift = KeysToShiftState(m.WParam);
  // System controls capture the mouse and report clicks themselves.
  const bool own = !subclass_;
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      if (!mouseTracking_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
        mouseTracking_ = TrackMouseEvent(&tme) != FALSE;
      }
      if (mouseControl != this) {
        TControl* old = mouseControl;
        mouseControl = this;
        if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(old));
        Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(this));
      }
      MouseMove(shift, x, y);
      return;
    case WM_LBUTTONDOWN:
      if (own && ControlStyle().Contains(csCaptureMouse)) SetCapture(handle_);
      break;
    case WM_LBUTTONUP:
      if (own && GetCapture() == handle_) ReleaseCapture();
      break;
  }
  DispatchMouseButton(m, own);
}

bool TControl::DispatchMouseButton(const TMessage& m, bool clicks) {
  const int x = GET_X_LPARAM(m.LParam);
  const int y = GET_Y_LPARAM(m.LParam);
  const TShiftState shift = KeysToShiftState(m.WParam);
  const TShiftState doubled = TShiftState(shift).Include(ssDouble);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      clicking_ = true;
      MouseDown(mbLeft, shift, x, y);
      // System controls track the button themselves and start their automatic drags on their own signal.
      if (clicks && dragMode_ == dmAutomatic && !dragging_) {
        const TPoint at = ClientToScreen(TPoint{x, y});
        DragLoop(false, -1, POINT{at.X, at.Y});
      }
      return true;
    case WM_LBUTTONDBLCLK:
      if (!ControlStyle().Contains(csDoubleClicks)) {
        // The second press of a quick pair is a press of its own.
        clicking_ = true;
        MouseDown(mbLeft, shift, x, y);
        return true;
      }
      DblClick();
      MouseDown(mbLeft, doubled, x, y);
      return true;
    case WM_LBUTTONUP: {
      const bool click = clicking_ && clicks && ControlStyle().Contains(csClickEvents) && ClientRect().Contains(Point(x, y));
      clicking_ = false;
      if (click) Click();
      MouseUp(mbLeft, shift, x, y);
      return true;
    }
    case WM_RBUTTONDOWN: MouseDown(mbRight, shift, x, y); return true;
    case WM_RBUTTONDBLCLK: MouseDown(mbRight, doubled, x, y); return true;
    case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); return true;
    case WM_MBUTTONDOWN: MouseDown(mbMiddle, shift, x, y); return true;
    case WM_MBUTTONDBLCLK: MouseDown(mbMiddle, doubled, x, y); return true;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); return true;
  }
  return false;
}

// ----- drag and drop

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = static_cast<bool>(OnDragOver);
  if (accept) OnDragOver(this, source, x, y, state, accept);
}

TControl* TControl::DragTargetAt(POINT screen) {
  HWND wnd = WindowFromPoint(screen);
  TWinControl* control = nullptr;
  // Inner windows of system controls (a list view's header) belong to the control around them.
  while (wnd && !(control = TWinControl::FindControl(wnd))) wnd = GetParent(wnd);
  if (!control || !control->Enabled()) return nullptr;
  POINT p = screen;
  ::ScreenToClient(control->handle_, &p);
  if (TControl* child = control->GraphicControlAt(p.x, p.y)) return child;
  return control;
}

namespace {

// Forgets the drag target when it is freed during the drag (by one of the drag's own handlers).
class TDragTargetWatch : public TComponent {
 public:
  TDragTargetWatch() : TComponent(nullptr) {}
  ~TDragTargetWatch() override { Watch(nullptr); }
  TControl* Target() const noexcept { return target_; }
  void Watch(TControl* target) {
    if (target == target_) return;
    if (target_) target_->RemoveFreeNotification(this);
    target_ = target;
    if (target_) target_->FreeNotification(this);
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == target_) target_ = nullptr;
  }

 private:
  TControl* target_ = nullptr;
};

}  // namespace

bool TControl::BeginDrag(bool immediate, int threshold) {
  POINT start{};
  GetCursorPos(&start);
  return DragLoop(immediate, threshold, start);
}

bool TControl::DragLoop(bool immediate, int threshold, POINT start) {
  if (dragging_) return false;
  auto* windowed = dynamic_cast<TWinControl*>(this);
  if (!windowed) windowed = Parent();
  if (!windowed || !windowed->HandleAllocated()) return false;
  const HWND wnd = windowed->Handle();
  if (threshold < 0) threshold = std::max(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));

  struct Session {
    TControl* self;
    HWND wnd;
    HCURSOR oldCursor;
    Session(TControl* c, HWND w) : self(c), wnd(w), oldCursor(GetCursor()) {
      self->dragging_ = true;
      SetCapture(wnd);
    }
    ~Session() {
      self->dragging_ = false;
      if (GetCapture() == wnd) ReleaseCapture();
      ::SetCursor(oldCursor);
    }
  } session(this, wnd);

  TDragTargetWatch watch;
  bool accepted = false;
  bool started = immediate;
  const HCURSOR dragCursor = LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR noDropCursor = LoadCursorW(nullptr, IDC_NO);

  // Tells the target under the mouse (and the one it left) where the drag is.
  auto moveTo = [&](POINT screen) {
    TControl* target = DragTargetAt(screen);
    if (TControl* old = watch.Target(); old && old != target) {
      bool ignored = false;
      const TPoint p = old->ScreenToClient(TPoint{screen.x, screen.y});
      old->DragOver(this, p.X, p.Y, dsDragLeave, ignored);
      watch.Watch(nullptr);
    }
    accepted = false;
    if (target) {
      const TDragState state = watch.Target() == target ? dsDragMove : dsDragEnter;
      watch.Watch(target);
      const TPoint p = target->ScreenToClient(TPoint{screen.x, screen.y});
      target->DragOver(this, p.X, p.Y, state, accepted);
      if (!watch.Target()) accepted = false;
    }
    ::SetCursor(accepted ? dragCursor : noDropCursor);
  };
  auto leave = [&] {
    if (TControl* old = watch.Target()) {
      bool ignored = false;
      old->DragOver(this, 0, 0, dsDragLeave, ignored);
      watch.Watch(nullptr);
    }
  };
  auto screenPoint = [](const MSG& msg) {
    POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    ::ClientToScreen(msg.hwnd, &p);
    return p;
  };

  if (started) moveTo(start);
  MSG msg{};
  for (;;) {
    if (GetCapture() != wnd) break;  // taken away: cancelled
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // the loop outside must see it
      break;
    }
    switch (msg.message) {
      case WM_MOUSEMOVE: {
        const POINT p = screenPoint(msg);
        if (!started) {
          if (std::abs(p.x - start.x) < threshold && std::abs(p.y - start.y) < threshold) continue;
          started = true;
        }
        moveTo(p);
        continue;
      }
      case WM_LBUTTONUP: {
        if (!started) {
          // Not a drag after all: the control gets its button release as usual.
          ReleaseCapture();
          DispatchMessageW(&msg);
          return false;
        }
        moveTo(screenPoint(msg));
        TControl* target = watch.Target();
        const bool drop = target && accepted;
        const POINT screen = screenPoint(msg);
        const TPoint p = target ? target->ScreenToClient(TPoint{screen.x, screen.y}) : TPoint{};
        leave();
        ReleaseCapture();
        if (drop) target->DragDrop(this, p.X, p.Y);
        return drop;
      }
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (msg.wParam == VK_ESCAPE) {
          leave();
          return false;
        }
        continue;
      case WM_RBUTTONDOWN:
        leave();
        return false;
      case WM_KEYUP:
      case WM_SYSKEYUP:
      case WM_CHAR:
      case WM_SYSCHAR:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONUP:
        continue;  // the drag has the keyboard and mouse
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  leave();
  return false;
}

// ----- keys

void TWinControl::CNKeyDown(TMessage& m) {
  // Keys that move between controls or press the default and cancel buttons go to the form, unless the
  // control wants them itself.
  m.Result = 1;
  const auto key = static_cast<uint16_t>(m.WParam);
  DWORD mask = 0;
  switch (key) {
    case VK_TAB:
      mask = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      mask = DLGC_WANTARROWS;
      break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
      mask = DLGC_WANTALLKEYS;
      break;
  }
  if (mask && handle_ && Perform(CM_WANTSPECIALKEY, key, m.LParam) == 0) {
    MSG msg{handle_, m.Msg - CN_BASE, m.WParam, m.LParam, 0, {0, 0}};
    const auto code = SendMessageW(handle_, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
    TCustomForm* form = GetParentForm(this);
    if ((code & (mask | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) == 0 && form &&
        form->Perform(CM_DIALOGKEY, key, m.LParam) != 0)
      return;
  }
  m.Result = 0;
}

bool TWinControl::ShowFormHelp() {
  TCustomForm* form = GetParentForm(this);
  if (!form || form->HelpContext() == 0 || !Application) return false;
  Application->HelpContext(form->HelpContext());
  return true;
}

bool TWinControl::DoKeyDown(uint16_t& key, TShiftState shift) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyDown(key, shift)) return true;
  if (key) KeyDown(key, shift);
  return key == 0;
}

bool TWinControl::DoKeyUp(uint16_t& key, TShiftState shift) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyUp(key, shift)) return true;
  if (key) KeyUp(key, shift);
  return key == 0;
}

bool TWinControl::DoKeyPress(wchar_t& key) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyPress(key)) return true;
  if (key) KeyPress(key);
  return key == 0;
}

// ----- focus and tab order

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const {
  // A control being freed has lost its window for good: focusing it would have to make a new one.
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled() || c->ComponentState().Contains(csDestroying)) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  // While a description is read the siblings do not all exist yet.
  if (ComponentState().Contains(csLoading))
    pendingTabOrder_ = value;
  else
    ApplyTabOrder(value);
}

void TWinControl::ApplyTabOrder(int value) {
  if (!Parent() || value < 0) return;
  auto& list = Parent()->tabList_;
  std::erase(list, this);
  const size_t at = std::min(static_cast<size_t>(value), list.size());
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), this);
}

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  if (handle_) {
    const LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
    SetWindowLongPtrW(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

std::vector<TWinControl*> TWinControl::TabList(bool recursive) const {
  std::vector<TWinControl*> out;
  for (TWinControl* c : tabList_) {
    out.push_back(c);
    if (recursive) {
      auto inner = c->TabList(true);
      out.insert(out.end(), inner.begin(), inner.end());
    }
  }
  return out;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  // Arrow keys (no tab stops asked) stay among the current control's siblings.
  const bool checkParent = !checkTabStop;
  const auto list = TabList(true);
  const int n = static_cast<int>(list.size());
  if (n == 0) return;
  auto it = std::find(list.begin(), list.end(), current);
  int start = it == list.end() ? (forward ? n - 1 : 0) : static_cast<int>(it - list.begin());
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = forward ? (i + 1) % n : (i + n - 1) % n;
    TWinControl* c = list[static_cast<size_t>(i)];
    if (c == current) break;
    if (c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this)) {
      c->SetFocus();
      return;
    }
  }
}

// ----- geometry, visibility, text

bool TWinControl::Showing() const { return Visible() && (!Parent() || Parent()->Showing()); }

void TWinControl::UpdateShowing() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  if (!handle_) {
    if (!Visible() || (Parent() && !Parent()->handle_)) return;
    HandleNeeded();
    if (Parent()) return;  // a child window is made visible already
  }
  Perform(CM_SHOWINGCHANGED);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  if (handle_) {
    // The window reports back through WM_WINDOWPOSCHANGED.
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  const bool sized = width != width_ || height != height_;
  StoreBounds(left, top, width, height);
  RequestAlign();
  if (sized) AlignControls();
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!handle_ || IsIconic(handle_)) return;
  RECT r;
  if (!GetWindowRect(handle_, &r)) return;
  if (HWND parent = GetParent(handle_); parent && (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  if (r.left == left_ && r.top == top_ && w == width_ && h == height_) return;
  const bool sized = w != width_ || h != height_;
  StoreBounds(r.left, r.top, w, h);
  if (sized) {
    RequestAlign();
    AlignControls();
    Resize();
  }
}

TRect TWinControl::ClientRect() const {
  if (handle_) {
    RECT r;
    GetClientRect(handle_, &r);
    return Rect(r.left, r.top, r.right, r.bottom);
  }
  TCreateParams params;
  const_cast<TWinControl*>(this)->CreateParams(params);
  const SIZE nc = NonClientSize(params.Style, params.ExStyle);
  return Rect(0, 0, std::max(0, width_ - static_cast<int>(nc.cx)), std::max(0, height_ - static_cast<int>(nc.cy)));
}

void TWinControl::SetClientSize(int width, int height) {
  SIZE nc;
  if (handle_) {
    RECT w, c;
    GetWindowRect(handle_, &w);
    GetClientRect(handle_, &c);
    nc = {(w.right - w.left) - c.right, (w.bottom - w.top) - c.bottom};
  } else {
    TCreateParams params;
    CreateParams(params);
    nc = NonClientSize(params.Style, params.ExStyle);
  }
  SetBounds(left_, top_, width + nc.cx, height + nc.cy);
}

void TWinControl::SetBorderWidth(int value) {
  value = std::max(0, value);
  if (value == borderWidth_) return;
  borderWidth_ = value;
  AlignControls();
  Invalidate();
}

TPoint TWinControl::ClientOrigin() {
  POINT p{0, 0};
  ::ClientToScreen(Handle(), &p);
  return Point(p.x, p.y);
}

void TWinControl::AlignControls() {
  if (aligning_ || ComponentState().Contains(csLoading)) return;
  TFlagScope aligning(aligning_);
  const TRect client = ClientRect();
  TRect r = client;
  r.Left += borderWidth_;
  r.Top += borderWidth_;
  r.Right -= borderWidth_;
  r.Bottom -= borderWidth_;
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : controls_) {
      if (c->Align() != a || !c->Visible()) continue;
      const int w = std::max(0, r.Width());
      const int h = std::max(0, r.Height());
      switch (a) {
        case alTop:
          c->SetBounds(r.Left, r.Top, w, c->Height());
          r.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(r.Left, r.Bottom - c->Height(), w, c->Height());
          r.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(r.Left, r.Top, c->Width(), h);
          r.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), h);
          r.Right -= c->Width();
          break;
        case alClient:
          c->SetBounds(r.Left, r.Top, w, h);
          break;
        case alNone:
          break;
      }
    }
  }
  AnchorControls(client.Size());
}

void TWinControl::AnchorControls(TSize size) {
  TFlagScope anchoring(anchoring_);
  const TAnchors leftTop{akLeft, akTop};
  for (TControl* c : controls_) {
    if (c->Align() != alNone || c->anchors_ == leftTop || c->anchorParent_ != this) continue;
    const TRect& b = c->anchorBounds_;
    const int dw = size.cx - c->anchorParentSize_.cx;
    const int dh = size.cy - c->anchorParentSize_.cy;
    const TAnchors a = c->anchors_;
    int left = b.Left;
    int width = b.Width();
    if (a.Contains(akLeft) && a.Contains(akRight))
      width = std::max(0, width + dw);
    else if (a.Contains(akRight))
      left += dw;
    else if (!a.Contains(akLeft))
      left += dw / 2;
    int top = b.Top;
    int height = b.Height();
    if (a.Contains(akTop) && a.Contains(akBottom))
      height = std::max(0, height + dh);
    else if (a.Contains(akBottom))
      top += dh;
    else if (!a.Contains(akTop))
      top += dh / 2;
    c->SetBounds(left, top, width, height);
  }
}

void TWinControl::Loaded() {
  inherited::Loaded();
  if (pendingTabOrder_ >= 0) {
    ApplyTabOrder(pendingTabOrder_);
    pendingTabOrder_ = -1;
  }
  if (Parent() && Parent()->handle_ && !handle_) HandleNeeded();
  AlignControls();
}

std::string TWinControl::GetText() const {
  if (!handle_) return text_;
  const int length = GetWindowTextLengthW(handle_);
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(handle_, buffer.data(), length + 1);
  buffer.resize(static_cast<size_t>(std::max(0, got)));
  return FromWide(buffer);
}

void TWinControl::StoreText(const std::string& value) {
  text_ = value;
  if (handle_) SetWindowTextW(handle_, ToWide(value).c_str());
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

// ----- painting

void TWinControl::PaintHandler(TMessage& m) {
  if (auto dc = reinterpret_cast<HDC>(m.WParam)) {
    PaintWindow(dc);
    PaintControls(dc);
    return;
  }
  struct Painting {
    HWND wnd;
    PAINTSTRUCT ps{};
    HDC dc;
    explicit Painting(HWND w) : wnd(w), dc(BeginPaint(w, &ps)) {}
    ~Painting() { EndPaint(wnd, &ps); }
    Painting(const Painting&) = delete;
    Painting& operator=(const Painting&) = delete;
  } painting(handle_);
  if (!painting.dc) return;
  PaintWindow(painting.dc);
  PaintControls(painting.dc);
}

void TWinControl::PaintControls(HDC dc) {
  for (TControl* c : controls_) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !g->Visible()) continue;
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, g->Left(), g->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
    RECT r{0, 0, g->Width(), g->Height()};
    try {
      if (RectVisible(dc, &r)) g->PaintTo(dc);
    } catch (...) {
      RestoreDC(dc, saved);
      throw;
    }
    RestoreDC(dc, saved);
  }
}

bool TWinControl::HasGraphicChildren() const {
  for (TControl* c : controls_)
    if (dynamic_cast<TGraphicControl*>(c)) return true;
  return false;
}

TControl* TWinControl::GraphicControlAt(int x, int y) const {
  // The last painted is on top.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TGraphicControl*>(c) && c->Visible() && c->Enabled() && c->BoundsRect().Contains(Point(x, y)))
      return c;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------------------
// TGraphicControl and TCustomControl.

CL_BEGIN_CLASS(TGraphicControl)
CL_END_CLASS

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

namespace {
// Binds a canvas to a context for one painting, in the control's font and colour.
class TCanvasBinding {
 public:
  TCanvasBinding(TCanvas* canvas, HDC dc, TControl* control) : canvas_(canvas) {
    canvas_->SetHandle(dc);
    canvas_->SetFont(control->Font());
    canvas_->Brush()->SetColor(control->Color());
  }
  ~TCanvasBinding() { canvas_->SetHandle(nullptr); }
  TCanvasBinding(const TCanvasBinding&) = delete;
  TCanvasBinding& operator=(const TCanvasBinding&) = delete;

 private:
  TCanvas* canvas_;
};
}  // namespace

void TGraphicControl::PaintTo(HDC dc) {
  TCanvasBinding binding(canvas_.get(), dc, this);
  Paint();
}

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_MOUSEMOVE) {
    MouseMove(KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    return;
  }
  if (DispatchMouseButton(m, true)) return;
  inherited::Dispatch(m);
}

CL_BEGIN_CLASS(TCustomControl)
CL_END_CLASS

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() {
  // The window's last messages may still paint.
  DestroyHandle();
}

void TCustomControl::PaintWindow(HDC dc) {
  TCanvasBinding binding(canvas_.get(), dc, this);
  Paint();
}

// ---------------------------------------------------------------------------------------------------------
// Cursors, hints, and the mouse over windowless children.

HCURSOR CursorHandle(TCursor cursor) {
  const wchar_t* id = IDC_ARROW;
  switch (cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crHandPoint: id = IDC_HAND; break;
    default: break;
  }
  return LoadCursorW(nullptr, id);
}

void TControl::SetHint(const std::string& value) {
  if (value == hint_) return;
  hint_ = value;
  if (auto* w = dynamic_cast<TWinControl*>(this)) w->UpdateTooltip();
}

void TControl::SetShowHint(bool value) {
  if (value == showHint_) return;
  showHint_ = value;
  if (auto* w = dynamic_cast<TWinControl*>(this)) w->UpdateTooltip();
}

void TWinControl::TrackGraphicChild(TControl* child) {
  // The window's own leave message tells when the mouse has left the child too.
  if (!mouseTracking_ && handle_) {
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
    mouseTracking_ = TrackMouseEvent(&tme) != FALSE;
  }
  if (mouseControl == child) return;
  TControl* old = mouseControl;
  mouseControl = child;
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(old));
  child->Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(child));
}

bool TWinControl::SetCursorFromControl(TMessage& m) {
  if (reinterpret_cast<HWND>(m.WParam) != handle_ || LOWORD(m.LParam) != HTCLIENT) return false;
  TControl* control = this;
  POINT p{};
  GetCursorPos(&p);
  ::ScreenToClient(handle_, &p);
  if (TControl* c = GraphicControlAt(p.x, p.y)) control = c;
  if (control->Cursor() == crDefault) return false;
  ::SetCursor(CursorHandle(control->Cursor()));
  m.Result = TRUE;
  return true;
}

void TWinControl::UpdateTooltip() {
  if (!handle_) return;
  const bool wanted = ShowHint() && !Hint().empty();
  if (!wanted) {
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    return;
  }
  if (!tooltip_) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                               Instance(), nullptr);
    if (!tooltip_) return;  // a control without its tooltip still works
  }
  std::wstring text = ToWide(Hint());
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = handle_;
  ti.uId = reinterpret_cast<UINT_PTR>(handle_);
  ti.lpszText = text.data();
  const bool added = SendMessageW(tooltip_, TTM_GETTOOLCOUNT, 0, 0) != 0;
  SendMessageW(tooltip_, added ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace cl
