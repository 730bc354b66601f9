#include "ExtCtrls.h"

#include "WinString.h"

namespace cl {

namespace {
constexpr UINT_PTR kTimerId = 1;
}  // namespace

// OnTimer goes through its setter, which the builder's Event (a plain member) cannot express: the
// published list is the builder's, with the event appended.
TClass TTimer::StaticClass() {
  static const TMetaClass meta = [] {
    const TMetaClass built = TClassBuilder<TTimer>("TTimer")
                                 .Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
                                 .Int("Interval", &TTimer::Interval, &TTimer::SetInterval, uint32_t{1000});
    std::vector<TPropInfo> properties = built.OwnProperties();
    TPropInfo& onTimer = properties.emplace_back();
    onTimer.Name = "OnTimer";
    onTimer.Kind = TTypeKind::Method;
    onTimer.GetMethod = [](const TObject* o) { return detail::Self<TTimer>(o).OnTimer().Method(); };
    onTimer.SetMethod = [](TObject* o, const TMethod& m) {
      TNotifyEvent handler;
      handler.SetMethod(m);
      detail::Self<TTimer>(o).SetOnTimer(std::move(handler));
    };
    return TMetaClass("TTimer", built.ClassParent(), built.Factory(), std::move(properties), {});
  }();
  return &meta;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  enabled_ = false;
  UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(uint32_t interval) {
  if (interval == interval_) return;
  interval_ = interval;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void TTimer::Loaded() {
  inherited::Loaded();
  UpdateTimer();
}

void TTimer::Timer() { onTimer_(this); }

void TTimer::UpdateTimer() {
  if (running_) {
    KillTimer(window_.Handle(), kTimerId);
    running_ = false;
  }
  if (!enabled_ || interval_ == 0 || !onTimer_ || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDestroying))
    return;
  if (!window_) {
    window_ = THiddenWindow([this](TMessage& m) {
      if (m.Msg == WM_TIMER && m.WParam == kTimerId) {
        Timer();  // an exception goes to the application's handler, and the timer keeps running
        return;
      }
      m.Result = DefWindowProcW(window_.Handle(), m.Msg, m.WParam, m.LParam);
    });
  }
  if (!SetTimer(window_.Handle(), kTimerId, interval_, nullptr)) throw EOutOfResources("Not enough timers available");
  running_ = true;
}

// ---------------------------------------------------------------------------------------------------------
// TPanel.

CL_BEGIN_CLASS(TPanel)
    .Enum("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, {"bvNone", "bvLowered", "bvRaised"}, bvNone)
    .Enum("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, {"bvNone", "bvLowered", "bvRaised"}, bvRaised)
    .Str("Caption", &TPanel::Caption, &TPanel::SetCaption)
CL_END_CLASS

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  StoreBounds(0, 0, 185, 41);
  SetControlStyle(ControlStyle().Include(csAcceptsControls));
}

void TPanel::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  // The caption is centred and the edge follows the size: everything is painted again on resizing.
  params.ClassStyle |= CS_HREDRAW | CS_VREDRAW;
}

void TPanel::SetBevelOuter(TPanelBevel value) {
  bevelOuter_ = value;
  Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel value) {
  bevelInner_ = value;
  Invalidate();
}

void TPanel::Paint() {
  HDC dc = Canvas()->Handle();
  const TRect client = ClientRect();
  RECT r{client.Left, client.Top, client.Right, client.Bottom};
  if (bevelOuter_ != bvNone) DrawEdge(dc, &r, bevelOuter_ == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  if (bevelInner_ != bvNone) DrawEdge(dc, &r, bevelInner_ == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  const std::wstring text = ToWide(Caption());
  if (text.empty()) return;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void TPanel::Dispatch(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED) Invalidate();
  inherited::Dispatch(m);
}

}  // namespace cl

