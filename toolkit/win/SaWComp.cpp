#include "SaWComp.h"

namespace toolkit {

TSaWindowedComponent::TSaWindowedComponent(cl::TComponent* owner) : cl::TComponent(owner) {}

TSaWindowedComponent::~TSaWindowedComponent() { DestroyHandle(); }

HWND TSaWindowedComponent::Handle() {
  HandleNeeded();
  return window_.Handle();
}

void TSaWindowedComponent::HandleNeeded() {
  if (!window_) window_ = cl::THiddenWindow([this](cl::TMessage& message) { WndProc(message); });
}

void TSaWindowedComponent::WndProc(cl::TMessage& message) { Dispatch(message); }

void TSaWindowedComponent::DefaultHandler(cl::TMessage& message) {
  if (window_)
    message.Result = DefWindowProcW(window_.Handle(), message.Msg, message.WParam, message.LParam);
  else
    inherited::DefaultHandler(message);
}

}  // namespace toolkit
