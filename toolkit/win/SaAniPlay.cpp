#include "SaAniPlay.h"

#include "Colors.h"
#include "DeviceContext.h"

namespace toolkit {

CL_BEGIN_CLASS(TSaAnimatedIconPlayer)
    .Object("Animation", &TSaAnimatedIconPlayer::Animation, &TSaAnimatedIconPlayer::SetAnimation)
    .Int("ActiveFrame", &TSaAnimatedIconPlayer::ActiveFrame, &TSaAnimatedIconPlayer::SetActiveFrame, 0)
    .Bool("AutoSize", &TSaAnimatedIconPlayer::AutoSize, &TSaAnimatedIconPlayer::SetAutoSize, false)
    .Enum("BorderStyle", &TSaAnimatedIconPlayer::BorderStyle, &TSaAnimatedIconPlayer::SetBorderStyle,
          {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}, cl::bsSingle)
    .Bool("Centered", &TSaAnimatedIconPlayer::Centered, &TSaAnimatedIconPlayer::SetCentered, true)
    .Bool("Playing", &TSaAnimatedIconPlayer::Playing, &TSaAnimatedIconPlayer::SetPlaying).Stored(false)
    .Int("RepeatCount", &TSaAnimatedIconPlayer::RepeatCount, &TSaAnimatedIconPlayer::SetRepeatCount, 0)
    .Event("OnStopped", &TSaAnimatedIconPlayer::OnStopped)
CL_END_CLASS

TSaAnimatedIconPlayer::TSaAnimatedIconPlayer(cl::TComponent* owner)
    : cl::TWinControl(owner), animation_(std::make_unique<TSaAnimatedIcons>(true)) {
  SetControlStyle({cl::csCaptureMouse, cl::csClickEvents, cl::csOpaque, cl::csDoubleClicks});
  animation_->OnStopped = [this](cl::TObject* s) { AnimationStopped(s); };
  animation_->OnNewFrame = [this](cl::TObject* s, int f) { AnimationNewFrame(s, f); };
  SetTabStop(true);
  SetBounds(Left(), Top(), 40, 40);
}

TSaAnimatedIconPlayer::~TSaAnimatedIconPlayer() {
  // The animation goes first: no tick or stop event may reach a half-destroyed player.
  animation_->OnStopped = nullptr;
  animation_->OnNewFrame = nullptr;
  animation_.reset();
}

void TSaAnimatedIconPlayer::SetAnimation(TSaAnimatedIcons* value) {
  animation_->Assign(value);
  if (activeFrame_ > animation_->Count()) activeFrame_ = animation_->Count();
  if (!animation_->Playing()) Invalidate();
}

void TSaAnimatedIconPlayer::SetActiveFrame(int value) {
  if (value == activeFrame_ || value < 0 || value > animation_->Count()) return;
  activeFrame_ = value;
  if (animation_->Playing()) return;
  if (value == 0)
    Invalidate();
  else
    DrawActiveFrame();
}

void TSaAnimatedIconPlayer::SetAutoSize(bool value) {
  autoSize_ = value;
  if (value) AutoSizeToFrame();
}

void TSaAnimatedIconPlayer::SetBorderStyle(cl::TBorderStyle value) {
  borderStyle_ = value;
  if (HandleAllocated()) RecreateWnd();
  if (autoSize_) AutoSizeToFrame();
}

void TSaAnimatedIconPlayer::SetCentered(bool value) {
  centered_ = value;
  Invalidate();
}

void TSaAnimatedIconPlayer::SetPlaying(bool value) {
  if (value == animation_->Playing()) return;
  if (value)
    animation_->Play(repeatCount_);
  else
    animation_->Stop();
}

void TSaAnimatedIconPlayer::SetRepeatCount(int value) {
  if (value >= 0) repeatCount_ = value;
}

void TSaAnimatedIconPlayer::AutoSizeToFrame() {
  const int s = animation_->LargeIcons() ? 32 : 16;
  SetBounds(Left(), Top(), Width() - ClientWidth() + s, Height() - ClientHeight() + s);
}

void TSaAnimatedIconPlayer::CreateParams(cl::TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style |= WS_TABSTOP;
  params.ClassStyle |= CS_DBLCLKS;
  if (borderStyle_ == cl::bsSingle) {
    params.Style &= ~WS_BORDER;
    params.ExStyle |= WS_EX_CLIENTEDGE;
  }
}

void TSaAnimatedIconPlayer::Paint(cl::TCanvas& canvas) {
  canvas.Brush()->SetColor(Color());
  RECT r;
  GetClientRect(Handle(), &r);
  FillRect(canvas.Handle(), &r, canvas.Brush()->Handle());
  DrawActiveFrame(canvas);
}

void TSaAnimatedIconPlayer::DrawActiveFrame(cl::TCanvas& canvas) {
  if (activeFrame_ == 0) return;
  const int s = animation_->LargeIcons() ? 32 : 16;
  int x = 0, y = 0;
  if (centered_) {
    x = (ClientWidth() - s) / 2;
    y = (ClientHeight() - s) / 2;
  }
  animation_->Draw(&canvas, x, y, activeFrame_ - 1, Color());
}

void TSaAnimatedIconPlayer::DrawActiveFrame() {
  if (!HandleAllocated()) return;
  const cl::TWindowDC dc(Handle());
  if (!dc) return;
  cl::TCanvas canvas;  // lets go of the context before the context is released
  canvas.SetHandle(dc.Get());
  DrawActiveFrame(canvas);
}

void TSaAnimatedIconPlayer::AnimationNewFrame(cl::TObject*, int frame) {
  activeFrame_ = frame + 1;
  DrawActiveFrame();
}

void TSaAnimatedIconPlayer::AnimationStopped(cl::TObject*) { OnStopped(this); }

void TSaAnimatedIconPlayer::WMPaint(cl::TMessage& message) {
  const cl::TPaintDC dc(Handle());
  if (dc) {
    cl::TCanvas canvas;
    canvas.SetHandle(dc.Get());
    Paint(canvas);
    canvas.SetHandle(nullptr);
  }
  message.Result = 0;
}

void TSaAnimatedIconPlayer::Dispatch(cl::TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      WMPaint(message);
      return;
    case WM_ERASEBKGND:  // opaque: Paint fills the background
      message.Result = 1;
      return;
    case WM_SIZE:
      inherited::Dispatch(message);
      Invalidate();
      return;
  }
  inherited::Dispatch(message);
}

}  // namespace toolkit
