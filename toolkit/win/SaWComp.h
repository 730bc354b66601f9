// Base of the non-visual components that receive window messages through a hidden window of their own.
#pragma once
#include <windows.h>

#include "Classes.h"
#include "HiddenWindow.h"

namespace toolkit {

class TSaWindowedComponent : public cl::TComponent {
  CL_PLAIN_CLASS(TSaWindowedComponent, cl::TComponent)

  explicit TSaWindowedComponent(cl::TComponent* owner);
  ~TSaWindowedComponent() override;

  // The hidden window, made on first use on the calling thread.
  HWND Handle();
  void HandleNeeded();
  bool HandleAllocated() const { return static_cast<bool>(window_); }

  // Unhandled messages get the window's default processing once the window exists.
  void DefaultHandler(cl::TMessage& message) override;

 protected:
  // Every message of the hidden window arrives here and goes on to Dispatch.
  virtual void WndProc(cl::TMessage& message);
  // Destroys the hidden window now. Descendants call it from their destructor, so that the window's
  // last messages (WM_DESTROY) still reach their own handlers.
  void DestroyHandle() noexcept { window_.Reset(); }

 private:
  cl::THiddenWindow window_;
};

}  // namespace toolkit
