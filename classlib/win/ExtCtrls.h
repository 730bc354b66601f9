// Non-visual helpers of forms: the timer.
#pragma once
#include <windows.h>

#include <cstdint>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "HiddenWindow.h"

namespace cl {

// Raises OnTimer every Interval milliseconds through the message loop of the thread that made it. A
// system timer exists only while the timer is Enabled, Interval is above 0 and OnTimer is assigned; while
// the component is being loaded it waits for Loaded. Changing Enabled, Interval or OnTimer starts the
// count again.
class TTimer : public TComponent {
  CL_CLASS(TTimer, TComponent)
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t interval);
  // The event is set through SetOnTimer so that the timer can start or stop with it.
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);

  // Whether a system timer runs at the moment.
  bool Running() const { return running_; }

 protected:
  void Loaded() override;
  // Raises OnTimer.
  virtual void Timer();

 private:
  void UpdateTimer();

  bool enabled_ = true;
  uint32_t interval_ = 1000;
  bool running_ = false;
  TNotifyEvent onTimer_;
  THiddenWindow window_;
};

enum TPanelBevel { bvNone, bvLowered, bvRaised };

// A container with a raised or lowered edge and a caption in its middle.
class TPanel : public TCustomControl {
  CL_CLASS(TPanel, TCustomControl)

  explicit TPanel(TComponent* owner);

  TPanelBevel BevelOuter() const noexcept { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel value);
  TPanelBevel BevelInner() const noexcept { return bevelInner_; }
  void SetBevelInner(TPanelBevel value);

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;

 private:
  TPanelBevel bevelOuter_ = bvRaised;
  TPanelBevel bevelInner_ = bvNone;
};

}  // namespace cl

