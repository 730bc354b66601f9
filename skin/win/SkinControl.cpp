#include "SkinControl.h"

#include <charconv>

#include "DeviceContext.h"
#include "Graphics.h"
#include "SkinFrame.h"
#include "TypInfo.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinString.h"

namespace skin {


TSkinControl::TSkinControl(cl::TComponent* owner) : TComponent(owner) {}

TSkinControl::~TSkinControl() {
  call_->destroyed = true;
  // The link and the subclass go with their members; the speed button's control gets its path back
  // with the link.
  link_.Remove();
  subclass_.Remove();
  if (form_) form_->RemoveControl(this);
}

cl::TControl* TSkinControl::Painted() const noexcept {
  if (control_) return control_;
  return graphic_;
}

void TSkinControl::StackOn(cl::TControl& control) {
  link_.Install(control.WindowProc, [this, call = call_](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    const TDefault here{&next, nullptr};
    const TDefaultScope scope(*call, here);
    SkinWndProc(m);
  });
}

bool TSkinControl::Register(TWinSkinForm* form, TSkinData* data) {
  data_ = data;
  form_ = form;
  return form_ ? form_->AddControl(this) : false;
}

bool TSkinControl::BindOwner(bool useColor) {
  useColor_ = useColor;
  control_ = dynamic_cast<cl::TWinControl*>(Owner());
  if (!control_) return false;
  wnd_ = control_->Handle();
  return true;
}

void TSkinControl::TakeFaceColor() {
  if (!useColor_ || !control_) return;
  savedColor_ = control_->Color();
  savedParentColor_ = control_->ParentColor();
  control_->SetColor(FaceColor());
}

void TSkinControl::Attach(TWinSkinForm* form, TSkinData* data, bool useColor) {
  if (attached_) return;
  data_ = data;
  form_ = form;
  if (!BindOwner(useColor)) return;
  StackOn(*control_);
  Register(form, data);
  focused_ = GetFocus() == wnd_;
  enabled_ = (GetWindowLongW(wnd_, GWL_STYLE) & WS_DISABLED) == 0;
  text_ = WindowCaption(wnd_);
  TakeFaceColor();
  control_->Invalidate();
  MarkAttached();
}

void TSkinControl::AttachHandle(HWND wnd, TSkinData* data, TWinSkinForm* form) {
  wnd_ = wnd;
  enabled_ = true;
  Register(form, data);
  text_ = WindowCaption(wnd_);
  subclass_.Install(wnd_, [this, call = call_](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    cl::TMessage m{msg, wParam, lParam, 0};
    const TDefault here{nullptr, w};
    const TDefaultScope scope(*call, here);
    SkinWndProc(m);
    return static_cast<LRESULT>(m.Result);
  });
  InvalidateRect(wnd_, nullptr, TRUE);
  MarkAttached();
}

bool TSkinControl::AttachGraphic(TWinSkinForm* form, TSkinData* data) {
  graphic_ = dynamic_cast<cl::TControl*>(Owner());
  if (!graphic_) return false;
  StackOn(*graphic_);
  const bool listed = Register(form, data);
  SetState(kPainterAttached);
  return listed;
}

void TSkinControl::RestoreColor() {
  if (!useColor_ || !control_) return;
  control_->SetColor(savedColor_);
  // A control that followed its parent's colour follows it again.
  control_->SetParentColor(savedParentColor_);
}

void TSkinControl::ApplySkinColor() {
  if (useColor_ && control_) control_->SetColor(FaceColor());
  Redraw();
}

void TSkinControl::Redraw() {
  if (control_) {
    control_->Invalidate();
  } else if (graphic_) {
    graphic_->Invalidate();
  } else if (wnd_) {
    RedrawWindowNow(wnd_);
  }
}

void TSkinControl::ButtonMouseLeave(TSkinControl* painter) {
  if (!painter) return;
  if (painter->graphic_) {
    painter->graphic_->Perform(cl::CM_MOUSELEAVE);
  } else if (painter->wnd_) {
    SendMessageW(painter->wnd_, cl::CM_MOUSELEAVE, 0, 0);
  }
}

void TSkinControl::SkinWndProc(cl::TMessage& m) {
  // A dead window's successor is not ours to paint: everything passes until the next skin pass.
  if (state_ == kPainterDestroyed) {
    CallDefault(m);
    return;
  }
  if (!skinOn_) {
    if (m.Msg == kSkinMsgPainterSwitch) {
      skinOn_ = m.WParam > 0;
      if (skinOn_) Redraw();
      return;
    }
    CallDefault(m);
    return;
  }
  const std::shared_ptr<TCallState> call = call_;
  if (BeforeMessage(m)) {
    CallDefault(m);
    if (call->destroyed) return;  // freed by the control's own handling
    AfterMessage(m);
  }
}

void TSkinControl::CallDefault(cl::TMessage& m) {
  const TDefault* here = call_->current;
  if (!here) return;
  if (here->next) {
    (*here->next)(m);
  } else {
    m.Result = cl::TWindowSubclass::CallPrevious(here->wnd, m.Msg, m.WParam, m.LParam);
  }
}

bool TSkinControl::BeforeMessage(cl::TMessage& m) {
  if (m.Msg != WM_NCDESTROY) return true;
  CallDefault(m);
  state_ = kPainterDestroyed;
  RestoreColor();
  return false;
}

void TSkinControl::AfterMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case cl::CM_ENABLEDCHANGED:
      Redraw();
      break;
    case WM_SETTEXT:
      text_ = m.LParam ? std::wstring(reinterpret_cast<const wchar_t*>(m.LParam)) : std::wstring();
      Redraw();
      break;
    case WM_PAINT:
      PaintFrame(reinterpret_cast<HDC>(m.WParam));
      break;
    case kSkinMsgPainterSwitch:
      skinOn_ = m.WParam > 0;
      break;
    default:
      break;
  }
}

void TSkinControl::PaintFrame(HDC dc) {
  if (!wnd_ || !GetWindowRect(wnd_, &windowRect_)) return;
  try {
    if (dc) {
      // A DC of the client area: its own coordinates.
      RECT client{};
      GetClientRect(wnd_, &client);
      DrawSkin(dc, client);
    } else {
      const cl::TWindowDC windowDc(wnd_, cl::TWindowDC::dcWholeWindow);
      const RECT r{0, 0, windowRect_.right - windowRect_.left, windowRect_.bottom - windowRect_.top};
      DrawSkin(windowDc.Get(), r);
    }
  } catch (...) {
    // A control that cannot be painted from the skin keeps its own look.
  }
}

void TSkinControl::DrawSkin(HDC, const RECT&) {}

void TSkinControl::PaintClient(cl::TMessage& m) {
  RECT client{};
  if (m.WParam) {
    if (GetWindowRect(wnd_, &windowRect_) && GetClientRect(wnd_, &client))
      DrawSkin(reinterpret_cast<HDC>(m.WParam), client);
    return;
  }
  // EndPaint runs also when drawing raises.
  const cl::TPaintDC paint(wnd_);
  if (GetWindowRect(wnd_, &windowRect_) && GetClientRect(wnd_, &client)) DrawSkin(paint.Get(), client);
}

cl::TColor TSkinControl::ParentColor(cl::TColor fallback) const {
  if (control_ && control_->Parent()) return control_->Parent()->Color();
  return fallback;
}

cl::TColor TSkinControl::FaceColor() const {
  return data_ ? data_->Colors.ButtonFace : cl::clBtnFace;
}

namespace {
void FillColor(HDC dc, const RECT& rect, cl::TColor color) {
  const cl::TBrushHandle brush(CreateSolidBrush(cl::ColorToRGB(color)));
  FillRect(dc, &rect, brush.Get());
}
}  // namespace

void TSkinControl::FillSkinColor(HDC dc, const RECT& rect) const { FillColor(dc, rect, FaceColor()); }

void TSkinControl::FillParentColor(HDC dc, const RECT& rect) const {
  FillColor(dc, rect, ParentColor(FaceColor()));
}

// ---------------------------------------------------------------------------------------------------------

int64_t GetOrdPropByName(const cl::TObject* obj, std::string_view name) {
  if (!obj) return 0;
  const cl::TPropInfo* prop = cl::GetPropInfo(obj, name);
  if (!prop || prop->Kind != cl::TTypeKind::Integer) return 0;
  return cl::GetOrdProp(obj, prop);
}

std::string GetEnumPropByName(const cl::TObject* obj, std::string_view name) {
  if (!obj) return {};
  const cl::TPropInfo* prop = cl::GetPropInfo(obj, name);
  if (!prop || (prop->Kind != cl::TTypeKind::Enumeration && prop->Kind != cl::TTypeKind::Boolean)) return {};
  return cl::GetEnumProp(obj, prop);
}

std::string GetStrPropByName(const cl::TObject* obj, std::string_view name) {
  return obj ? cl::FindStrProp(obj, name).value_or(std::string()) : std::string();
}

cl::TObject* GetObjectPropByName(const cl::TObject* obj, std::string_view name, cl::TClass cls) {
  cl::TObject* value = obj ? cl::FindObjectProp(obj, name) : nullptr;
  return value && value->InheritsFrom(cls) ? value : nullptr;
}

void SetPropByName(cl::TObject* obj, std::string_view name, std::string_view value) {
  if (!obj) return;
  const cl::TPropInfo* prop = cl::GetPropInfo(obj, name);
  if (!prop) return;
  if (prop->Kind == cl::TTypeKind::Enumeration || prop->Kind == cl::TTypeKind::Boolean) {
    cl::SetEnumProp(obj, prop, value);
  } else if (prop->Kind == cl::TTypeKind::Integer) {
    int64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error == std::errc() && end == value.data() + value.size()) cl::SetOrdProp(obj, prop, number);
  }
}

void RedrawWindowNow(HWND wnd) {
  InvalidateRect(wnd, nullptr, TRUE);
  UpdateWindow(wnd);
}

}  // namespace skin
