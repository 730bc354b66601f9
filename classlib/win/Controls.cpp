#include "Controls.h"

#include <windowsx.h>

#include "ControlsPrivate.h"
#include "DeviceContext.h"
#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"

namespace cl {

thread_local TControl* mouseControl = nullptr;
thread_local TControl* captureControl = nullptr;

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
    // Written whenever not taken from the parent: read before it, the parent's value is there already.
    .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored(&TControl::IsShowHintStored)
    .Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
    .Int("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault)
    .Bool("Visible", &TControl::Visible, &TControl::SetVisible, true)
    .Int("Color", &TControl::Color, &TControl::SetColor).Stored(&TControl::IsColorStored)
    .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true)
    .Object("Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::IsFontStored)
    .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
    .Object("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
    .Enum("DragMode", &TControl::DragMode, &TControl::SetDragMode, {"dmManual", "dmAutomatic"}, dmManual)
    .Int("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, crDrag)
    .Event("OnClick", &TControl::OnClick)
    .Event("OnDblClick", &TControl::OnDblClick)
    .Event("OnDragDrop", &TControl::OnDragDrop)
    .Event("OnDragOver", &TControl::OnDragOver)
    .Event("OnMouseDown", &TControl::OnMouseDown)
    .Event("OnMouseMove", &TControl::OnMouseMove)
    .Event("OnMouseUp", &TControl::OnMouseUp)
    .Event("OnResize", &TControl::OnResize)
CL_END_CLASS

TControl::TControl(TComponent* owner)
    : TComponent(owner), WindowProc([this](TMessage& m) { WndProc(m); }), font_(std::make_unique<TFont>()) {
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
  parentColor_ = false;
  if (value == color_) return;
  color_ = value;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  AdoptParentColor();
}

void TControl::AdoptParentColor() {
  if (!parent_ || !parentColor_ || parent_->Color() == color_) return;
  color_ = parent_->Color();
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentShowHint(bool value) {
  if (value == parentShowHint_) return;
  parentShowHint_ = value;
  AdoptParentShowHint();
}

void TControl::AdoptParentShowHint() {
  if (!parent_ || !parentShowHint_ || parent_->ShowHint() == showHint_) return;
  showHint_ = parent_->ShowHint();
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* value) {
  if (value == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = value;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

bool TControl::ShowPopupMenu(int x, int y) {
  if (!popupMenu_ || !popupMenu_->AutoPopup()) return false;
  if (x == -1 && y == -1) {
    const TPoint p = ClientToScreen(Point(width_ / 2, height_ / 2));
    x = p.X;
    y = p.Y;
  }
  popupMenu_->SetPopupComponent(this);
  popupMenu_->Popup(x, y);
  return true;
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_PARENTFONTCHANGED:
      AdoptParentFont();
      break;
    case CM_PARENTCOLORCHANGED:
      AdoptParentColor();
      break;
    case CM_PARENTSHOWHINTCHANGED:
      AdoptParentShowHint();
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
  AdoptParentColor();
  AdoptParentShowHint();
  Invalidate();
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* p = dynamic_cast<TWinControl*>(parent)) SetParent(p);
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
  InvalidateRect(parent_->Handle(), &r, !controlStyle_.Contains(csOpaque));
}

bool TControl::PaletteChanged(bool foreground) {
  if (!visible_) return false;
  const HPALETTE palette = GetPalette();
  if (!palette) return false;
  auto* own = dynamic_cast<TWinControl*>(this);
  const HWND wnd = own ? own->handle_ : parent_ && parent_->HandleAllocated() ? parent_->Handle() : nullptr;
  if (!wnd) return false;
  const TWindowDC dc(wnd);
  const HPALETTE old = SelectPalette(dc.Get(), palette, foreground ? FALSE : TRUE);
  const UINT mapped = RealizePalette(dc.Get());
  if (mapped != 0 && mapped != GDI_ERROR) Invalidate();
  SelectPalette(dc.Get(), old, TRUE);
  return true;
}

void TControl::SetName(const std::string& name) {
  // A control still showing its name (as a new one made in code does) shows the new name.
  const bool follow = controlStyle_.Contains(csSetCaption) && !ComponentState().Contains(csLoading) &&
                      !(Owner() && Owner()->ComponentState().Contains(csLoading)) && GetText() == Name();
  inherited::SetName(name);
  if (follow) SetText(name);
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
// TGraphicControl and TCustomControl.

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
  // The parent's paint hands it the parent's context, its origin at this control's corner.
  if (m.Msg == WM_PAINT && m.WParam) {
    PaintTo(reinterpret_cast<HDC>(m.WParam));
    return;
  }
  if (m.Msg == WM_MOUSEMOVE) {
    MouseMove(KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    return;
  }
  if (DispatchMouseButton(m, true)) return;
  inherited::Dispatch(m);
}

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
  parentShowHint_ = false;
  if (value == showHint_) return;
  showHint_ = value;
  Perform(CM_SHOWHINTCHANGED);
}
}  // namespace cl
