#include "WindowBinding.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "FormsTestSupport.h"
#include "HiddenWindow.h"
#include "StdCtrls.h"
#include "WinString.h"

namespace {

using formstest::AppTest;
using Seen = std::vector<std::string>;

// A container control with a window of this library's own class.
class TBindingBox : public cl::TWinControl {
  CL_PLAIN_CLASS(TBindingBox, cl::TWinControl)
  explicit TBindingBox(cl::TComponent* owner) : TWinControl(owner) { StoreBounds(0, 0, 120, 60); }
};
class WindowBindingTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    form_->SetBounds(50, 50, 300, 200);
  }
  // A handler for a control's message path that notes WM_APP under `name` and passes everything on.
  cl::TMessageChain::THandler Recorder(std::string name) {
    return [this, name](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
      if (m.Msg == WM_APP) seen_.push_back(name);
      next(m);
    };
  }
  // WM_APP to the control, through its window and without.
  Seen Send(cl::TWinControl* control) {
    seen_.clear();
    SendMessageW(control->Handle(), WM_APP, 0, 0);
    control->Perform(WM_APP);
    return seen_;
  }
  // The control still does its work: its caption reaches its window.
  static bool Works(cl::TWinControl* control, const std::string& caption) {
    control->SetCaption(caption);
    wchar_t text[32] = {};
    GetWindowTextW(control->Handle(), text, 32);
    return cl::FromWide(text) == caption;
  }
  cl::TForm* form_ = nullptr;
  Seen seen_;
};

TEST_F(WindowBindingTest, TwoHandlersStackOnAControlsMessagePathAndComeOffInEitherOrder) {
  auto* button = new cl::TButton(form_);
  button->SetParent(form_);
  for (const bool lowerFirst : {true, false}) {
    SCOPED_TRACE(lowerFirst ? "the lower one first" : "the upper one first");
    cl::TMessageLink lower(button->WindowProc, Recorder("lower"));
    cl::TMessageLink upper(button->WindowProc, Recorder("upper"));
    EXPECT_EQ(Send(button), (Seen{"upper", "lower", "upper", "lower"}));
    EXPECT_TRUE(Works(button, "Both"));

    (lowerFirst ? lower : upper).Remove();
    EXPECT_EQ(Send(button), lowerFirst ? (Seen{"upper", "upper"}) : (Seen{"lower", "lower"}));
    EXPECT_TRUE(Works(button, "One"));

    (lowerFirst ? upper : lower).Remove();
    EXPECT_EQ(Send(button), Seen{});
    EXPECT_TRUE(Works(button, "None"));
    EXPECT_EQ(button->WindowProc.LinkCount(), 0);
  }
}

TEST_F(WindowBindingTest, AHandlerTakesItselfOffTheMessagePathDuringAMessage) {
  auto* box = new TBindingBox(form_);
  box->SetParent(form_);
  cl::TMessageLink lower(box->WindowProc, Recorder("lower"));
  cl::TMessageLink self;
  self.Install(box->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == WM_APP) {
      seen_.push_back("self");
      self.Remove();
    }
    next(m);  // the rest of the path still gets this one
  });
  cl::TMessageLink upper(box->WindowProc, Recorder("upper"));
  seen_.clear();
  SendMessageW(box->Handle(), WM_APP, 0, 0);
  EXPECT_EQ(seen_, (Seen{"upper", "self", "lower"}));
  EXPECT_FALSE(self.Installed());
  EXPECT_EQ(Send(box), (Seen{"upper", "lower", "upper", "lower"}));
  EXPECT_TRUE(Works(box, "Still"));
}

// Freed by a message of its own window: what the message runs in lives until it returns, and the window
// goes with the control.
TEST_F(WindowBindingTest, AControlFreedByItsOwnMessage) {
  for (const bool systemClass : {false, true}) {
    SCOPED_TRACE(systemClass ? "a system class" : "an own class");
    cl::TWinControl* control = systemClass ? static_cast<cl::TWinControl*>(new cl::TButton(form_))
                                           : new TBindingBox(form_);
    control->SetParent(form_);
    const HWND wnd = control->Handle();
    auto alive = std::make_shared<int>(7);
    int after = 0;
    cl::TMessageLink link(control->WindowProc, [&, alive](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
      if (m.Msg != WM_APP) return next(m);
      delete control;
      after = *alive;  // the handler's own state is still there
      next(m);         // the path's end is gone with the control: nothing more happens
      m.Result = 5;
    });
    EXPECT_EQ(SendMessageW(wnd, WM_APP, 0, 0), 5);
    EXPECT_EQ(after, 7);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_FALSE(link.Installed());
    EXPECT_EQ(form_->ControlCount(), 0);
  }
}

TEST_F(WindowBindingTest, EveryWindowOfTheLibraryLeadsToItsObject) {
  auto* box = new TBindingBox(form_);
  box->SetParent(form_);
  auto* button = new cl::TButton(box);
  button->SetParent(box);
  EXPECT_TRUE(cl::IsBoundWindow(box->Handle()));
  EXPECT_FALSE(cl::IsBoundWindow(button->Handle()));  // a system class, bound through its subclass
  EXPECT_EQ(cl::TWinControl::FindControl(box->Handle()), box);
  EXPECT_EQ(cl::TWinControl::FindControl(button->Handle()), button);
  EXPECT_EQ(cl::TWinControl::FindControl(form_->Handle()), form_);
  EXPECT_EQ(cl::BoundObject(app_->Handle()), app_.get());
  EXPECT_TRUE(cl::IsBoundWindow(app_->Handle()));
  cl::THiddenWindow hidden([](cl::TMessage&) {});
  EXPECT_TRUE(cl::IsBoundWindow(hidden.Handle()));
  EXPECT_EQ(cl::BoundObject(hidden.Handle()), nullptr);
  EXPECT_EQ(cl::TWinControl::FindControl(GetDesktopWindow()), nullptr);
  EXPECT_EQ(cl::TWinControl::FindControl(nullptr), nullptr);

  // No window property is left behind, and a window that has gone leads nowhere.
  const HWND buttonWnd = button->Handle();
  EXPECT_EQ(GetPropW(buttonWnd, L"ClControl"), nullptr);
  button->DestroyHandle();
  EXPECT_FALSE(IsWindow(buttonWnd));
  const HWND boxWnd = box->Handle();
  box->DestroyHandle();
  EXPECT_EQ(cl::TWinControl::FindControl(boxWnd), nullptr);
  // Made again, they are found again.
  EXPECT_EQ(cl::TWinControl::FindControl(button->Handle()), button);
  EXPECT_EQ(cl::TWinControl::FindControl(box->Handle()), box);
}

TEST_F(WindowBindingTest, AWindowIsBoundOnce) {
  auto* box = new TBindingBox(form_);
  box->SetParent(form_);
  auto* button = new cl::TButton(form_);
  button->SetParent(form_);
  EXPECT_THROW(cl::BindWindow(box->Handle(), nullptr, [](cl::TMessage&) {}), cl::EOSError);
  EXPECT_THROW(cl::BindWindow(button->Handle(), nullptr, [](cl::TMessage&) {}), cl::EOSError);  // not our class
  cl::TWindowSubclass second;
  EXPECT_THROW(second.Bind(button->Handle(), nullptr, [](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return cl::TWindowSubclass::CallPrevious(w, msg, wp, lp);
  }), cl::EOSError);
  EXPECT_EQ(cl::TWinControl::FindControl(button->Handle()), button);
  EXPECT_TRUE(Works(button, "Fine"));
}

}  // namespace
