#include "Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <optional>

#include "ControlsPrivate.h"
#include "DeviceContext.h"
#include "Forms.h"
#include "SysUtils.h"
#include "WinString.h"
#include "WindowBinding.h"

namespace cl {

namespace {

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
// TWinControl.

CL_BEGIN_CLASS(TWinControl)
    .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
    .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false)
    .Bool("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).Stored(&TWinControl::IsCtl3DStored)
    .Bool("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D, true)
    .Bool("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered, false)
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

TWinControl* TWinControl::FindControl(HWND wnd) noexcept { return dynamic_cast<TWinControl*>(BoundObject(wnd)); }

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
  AdoptParentCtl3D();
  if (handle_) {
    // A popup is owned by its parent's window, which only its creation sets: it is made anew.
    const bool popup = !(GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD);
    if (parent && parent->handle_ && !popup) {
      ::SetParent(handle_, parent->handle_);
      SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      DestroyHandle();
      if (popup && parent && parent->handle_ && !ComponentState().Contains(csLoading)) HandleNeeded();
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
  // Made hidden: CM_SHOWINGCHANGED shows it, so that a class may decide that for itself.
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  params.X = left_;
  params.Y = top_;
  params.Width = width_;
  params.Height = height_;
  params.WndParent = Parent() ? Parent()->handle_ : nullptr;
  if (!Parent()) params.Style &= ~(WS_CHILD | WS_TABSTOP);
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
    if (wc.lpfnWndProc == BoundWindowProc()) return name;
    throw EOSError(Format("Window class %s belongs to another window procedure", FromWide(name).c_str()));
  }
  wc = WNDCLASSEXW{};
  wc.style = params.ClassStyle;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = params.Background;
  wc.hIcon = params.Icon;
  wc.lpszClassName = name;
  if (!RegisterBoundClass(wc)) {
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
  HWND wnd = nullptr;
  DWORD error = 0;
  {
    // Our own classes' windows are bound by their first message, which comes before the handle.
    std::optional<TBindOnCreate> binding;
    if (!params.SystemClass) binding.emplace([this](HWND w) { Bind(w); });
    // A window whose procedure refuses its creation fails without an error of its own: cleared first, so
    // that what an earlier call left is not reported as this one's.
    SetLastError(ERROR_SUCCESS);
    wnd = CreateWindowHandle(params, className, id);
    error = GetLastError();
  }
  if (!wnd) RaiseOSError(error, "CreateWindowEx (" + FromWide(className) + ")");
  if (params.SystemClass) {
    handle_ = wnd;
    defProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC));
    auto binding = std::make_unique<TWindowSubclass>();
    binding->Bind(wnd, this, [this](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
      return SubclassHandler(w, msg, wParam, lParam);
    });
    subclass_ = std::move(binding);
  }
  // Standard controls would draw with the system font.
  SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
  UpdateBoundsFromWindow();
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->handle_) w->CreateWnd();
  AlignControls();
  CreateHandleDone();
  UpdateTooltip();
  // Forms show themselves when asked to; a control on a parent is shown once it is made.
  if (Parent() && Visible() && handle_ == wnd) Perform(CM_SHOWINGCHANGED);
}

HWND TWinControl::CreateWindowHandle(const TCreateParams& params, const wchar_t* className, HMENU id) {
  return CreateWindowExW(params.ExStyle, className, params.Caption.c_str(), params.Style, params.X, params.Y,
                         params.Width, params.Height, params.WndParent, id, Instance(), nullptr);
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
  if (!Parent() && Visible()) Perform(CM_SHOWINGCHANGED);  // a control on a parent showed itself
}

void TWinControl::Bind(HWND wnd) {
  handle_ = wnd;
  BindWindow(wnd, this, [this](TMessage& m) { WindowProc(m); });
}

void TWinControl::WindowGone() {
  if (!handle_) return;
  if (!subclass_) UnbindWindow(handle_);
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

LRESULT TWinControl::SubclassHandler(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, static_cast<intptr_t>(lParam), 0};
  ChainFrame frame{&m, chain_};
  chain_ = &frame;
  // Caught here, so that the frame leaves the chain all the same.
  GuardMessage([&] { WindowProc(m); });
  if (!frame.objectGone) chain_ = frame.outer;
  return m.Result;
}

LRESULT TWinControl::CallDefaultProc(TMessage& m) {
  if (!handle_) return 0;
  const auto w = static_cast<WPARAM>(m.WParam);
  const auto l = static_cast<LPARAM>(m.LParam);
  if (subclass_) {
    if (chain_ && chain_->message == &m) return TWindowSubclass::CallPrevious(handle_, m.Msg, w, l);
    return CallWindowProcW(defProc_, handle_, m.Msg, w, l);
  }
  return DefaultWindowProc(m.Msg, w, l);
}

LRESULT TWinControl::DefaultWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(handle_, msg, wParam, lParam);
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
    if (Parent()) return;  // a control on a parent showed itself once made
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
  // An opaque control paints all of its area: erasing first would only flicker.
  if (handle_) InvalidateRect(handle_, nullptr, !ControlStyle().Contains(csOpaque));
}

bool TWinControl::PaletteChanged(bool foreground) {
  bool changed = inherited::PaletteChanged(foreground);
  // A child may go while it realises its palette (a handler frees it): the list is copied.
  const std::vector<TControl*> children = controls_;
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    changed = (*it)->PaletteChanged(foreground) || changed;
  return changed;
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
  const TPaintDC painting(handle_);
  if (!painting) return;
  PaintWindow(painting.Get());
  PaintControls(painting.Get());
}

void TWinControl::PaintBuffered(TMessage& m) {
  const TPaintDC painting(handle_);
  if (!painting) return;
  RECT client;
  GetClientRect(handle_, &client);
  const TDCHandle memory(CreateCompatibleDC(painting.Get()));
  const TBitmapHandle bitmap(CreateCompatibleBitmap(painting.Get(), client.right, client.bottom));
  if (!memory || !bitmap) return;  // out of resources: nothing painted rather than half
  const TSelectedObject selected(memory.Get(), bitmap.Get());
  const auto dc = reinterpret_cast<uintptr_t>(memory.Get());
  Perform(WM_ERASEBKGND, dc, static_cast<intptr_t>(dc));
  TMessage inner{WM_PAINT, dc, 0, 0};
  if (!subclass_) {
    PaintHandler(inner);
  } else if (HasGraphicChildren()) {
    PaintOverSystemControl(inner);
  } else {
    CallDefaultProc(inner);
  }
  m.Result = 0;
  BitBlt(painting.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

void TWinControl::ApplyFrameStyle(TCreateParams& params) const {
  if (ctl3D_) {
    params.Style &= ~WS_BORDER;
    params.ExStyle |= WS_EX_CLIENTEDGE;
  } else {
    params.Style |= WS_BORDER;
    params.ExStyle &= ~WS_EX_CLIENTEDGE;
  }
}

void TWinControl::SetCtl3D(bool value) {
  parentCtl3D_ = false;
  if (value == ctl3D_) return;
  ctl3D_ = value;
  Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool value) {
  if (value == parentCtl3D_) return;
  parentCtl3D_ = value;
  AdoptParentCtl3D();
}

void TWinControl::AdoptParentCtl3D() {
  if (!Parent() || !parentCtl3D_ || Parent()->Ctl3D() == ctl3D_) return;
  ctl3D_ = Parent()->Ctl3D();
  Perform(CM_CTL3DCHANGED);
}

void TWinControl::PaintControls(HDC dc) {
  for (TControl* c : controls_) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !g->Visible()) continue;
    const TSavedDC saved(dc);
    OffsetViewportOrgEx(dc, g->Left(), g->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
    RECT r{0, 0, g->Width(), g->Height()};
    // Along its message path, so that whatever is stacked on it (a skin's painter) may draw it.
    if (RectVisible(dc, &r)) g->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc));
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
