#include "ExtCtrls.h"

#include <algorithm>

#include "FileUtil.h"
#include "FormReader.h"
#include "SysUtils.h"
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
    .Int("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth, 0)
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

// ---------------------------------------------------------------------------------------------------------
// TPicture.

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (!graphic) {
    Take(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy;
  if (dynamic_cast<const TBitmap*>(graphic))
    copy = std::make_unique<TBitmap>();
  else if (dynamic_cast<const TIcon*>(graphic))
    copy = std::make_unique<TIcon>();
  else
    throw EInvalidGraphic(Format("Cannot show a %s in a picture", graphic->ClassName().c_str()));
  copy->Assign(graphic);
  Take(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) Take(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(graphic_.get())) Take(std::make_unique<TIcon>());
  return static_cast<TIcon*>(graphic_.get());
}

void TPicture::LoadFromFile(const std::string& fileName) {
  const std::string name = LowerCase(ExtractFileName(fileName));
  const size_t dot = name.rfind('.');
  const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  std::unique_ptr<TGraphic> graphic;
  if (ext == ".bmp")
    graphic = std::make_unique<TBitmap>();
  else if (ext == ".ico")
    graphic = std::make_unique<TIcon>();
  else
    throw EInvalidGraphic(Format("Unknown picture file extension (%s)", ext.c_str()));
  // Read completely before the picture changes: a bad file leaves it as it was.
  graphic->LoadFromFile(fileName);
  Take(std::move(graphic));
}

void TPicture::Assign(const TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
    return;
  }
  if (auto* picture = dynamic_cast<const TPicture*>(source)) {
    SetGraphic(picture->Graphic());
    return;
  }
  if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    SetGraphic(graphic);
    return;
  }
  inherited::Assign(source);
}

void TPicture::DefineProperties(TFiler& filer) {
  inherited::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
      filer.Writing() && graphic_ && !graphic_->Empty());
}

void TPicture::ReadData(TStream& stream) {
  uint8_t length = 0;
  stream.ReadBuffer(&length, 1);
  std::string className(length, '\0');
  if (length) stream.ReadBuffer(className.data(), length);
  std::unique_ptr<TGraphic> graphic;
  if (className == "TBitmap")
    graphic = std::make_unique<TBitmap>();
  else if (className == "TIcon")
    graphic = std::make_unique<TIcon>();
  else
    throw EReadError(Format("Unknown picture class %s", className.c_str()));
  graphic->LoadFromStream(stream);
  Take(std::move(graphic));
}

void TPicture::WriteData(TStream& stream) {
  if (!graphic_) return;
  const std::string className = graphic_->ClassName();
  const auto length = static_cast<uint8_t>(className.size());
  stream.WriteBuffer(&length, 1);
  stream.WriteBuffer(className.data(), className.size());
  graphic_->SaveToStream(stream);
}

// ---------------------------------------------------------------------------------------------------------
// TImage.

CL_BEGIN_CLASS(TImage)
    .Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false)
    .Bool("Center", &TImage::Center, &TImage::SetCenter, false)
    .Object("Picture", &TImage::Picture, &TImage::SetPicture)
    .Bool("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
    .Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent, false)
CL_END_CLASS

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  StoreBounds(0, 0, 105, 105);
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { picture_->OnChange = TNotifyEvent(); }

void TImage::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustSize();
}

void TImage::SetCenter(bool value) {
  if (value == center_) return;
  center_ = value;
  Invalidate();
}

void TImage::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  if (TGraphic* graphic = picture_->Graphic()) graphic->SetTransparent(value);
  Invalidate();
}

void TImage::PictureChanged() {
  // A new picture is drawn the way the image says.
  if (TGraphic* graphic = picture_->Graphic(); graphic && graphic->Transparent() != transparent_)
    graphic->SetTransparent(transparent_);  // comes back here once more, then it agrees
  AdjustSize();
  Invalidate();
}

void TImage::AdjustSize() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  const int w = picture_->Width();
  const int h = picture_->Height();
  if (w > 0 && h > 0) SetBounds(Left(), Top(), w, h);
}

void TImage::Loaded() {
  inherited::Loaded();
  AdjustSize();
}

TRect TImage::DestRect() const {
  if (stretch_) return ClientRect();
  const int w = picture_->Width();
  const int h = picture_->Height();
  if (center_) return Bounds((Width() - w) / 2, (Height() - h) / 2, w, h);
  return Bounds(0, 0, w, h);
}

void TImage::Paint() {
  TGraphic* graphic = picture_->Graphic();
  if (!graphic || graphic->Empty()) return;
  Canvas()->StretchDraw(DestRect(), graphic);
}

}  // namespace cl
