// A control that shows the active frame of an icon animation and can play it.
#pragma once
#include <memory>

#include "Controls.h"
#include "Forms.h"
#include "SaAniIcons.h"

namespace toolkit {

class TSaAnimatedIconPlayer : public cl::TWinControl {
  CL_CLASS(TSaAnimatedIconPlayer, cl::TWinControl)
  explicit TSaAnimatedIconPlayer(cl::TComponent* owner);
  ~TSaAnimatedIconPlayer() override;

  // Owned; setting it copies the given animation.
  TSaAnimatedIcons* Animation() const noexcept { return animation_.get(); }
  void SetAnimation(TSaAnimatedIcons* value);
  // 1-based; 0 shows no frame. Values below 0, above the frame count, or equal to the current are ignored.
  int ActiveFrame() const noexcept { return activeFrame_; }
  void SetActiveFrame(int value);
  bool AutoSize() const noexcept { return autoSize_; }
  void SetAutoSize(bool value);
  cl::TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
  void SetBorderStyle(cl::TBorderStyle value);
  bool Centered() const noexcept { return centered_; }
  void SetCentered(bool value);
  bool Playing() const noexcept { return animation_->Playing(); }
  void SetPlaying(bool value);
  // Passes to play; 0 plays until stopped. Negative values are ignored.
  int RepeatCount() const noexcept { return repeatCount_; }
  void SetRepeatCount(int value);

  void Play() { animation_->Play(repeatCount_); }
  // Makes the client area one frame in size.
  void AutoSizeToFrame();

  cl::TNotifyEvent OnStopped;

  void Dispatch(cl::TMessage& message) override;

 protected:
  void CreateParams(cl::TCreateParams& params) override;
  // Fills the background with Color, then draws the active frame.
  virtual void Paint(cl::TCanvas& canvas);
  void DrawActiveFrame(cl::TCanvas& canvas);
  // Draws it on the window now, outside painting.
  void DrawActiveFrame();

 private:
  void AnimationNewFrame(cl::TObject* sender, int frame);
  void AnimationStopped(cl::TObject* sender);
  void WMPaint(cl::TMessage& message);

  std::unique_ptr<TSaAnimatedIcons> animation_;
  int activeFrame_ = 0;
  bool autoSize_ = false;
  cl::TBorderStyle borderStyle_ = cl::bsSingle;
  bool centered_ = true;
  int repeatCount_ = 0;
};

}  // namespace toolkit
