// What windows that float over a form ask of the control classes: style flags, the order in which a
// description sets parent and properties, windows lost and made again (with the children's state), popup
// controls owned by their parent's window, showing through CM_SHOWINGCHANGED only, dialog keys, forms made
// without a description, and the step before destruction.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "ExtCtrls.h"
#include "FormReader.h"
#include "Forms.h"
#include "FormsTestSupport.h"
#include "StatefulChildren.h"
#include "StdCtrls.h"
#include "WinString.h"

namespace {

using formstest::AppTest;

// A container with a window of its own class; its style flags are the test's.
class TLifeBox : public cl::TWinControl {
  CL_PLAIN_CLASS(TLifeBox, cl::TWinControl)
  explicit TLifeBox(cl::TComponent* owner) : TWinControl(owner) { StoreBounds(0, 0, 120, 80); }
  int clicks = 0;
  int erases = 0;
  void Click() override {
    ++clicks;
    inherited::Click();
  }
  void Dispatch(cl::TMessage& m) override {
    if (m.Msg == WM_ERASEBKGND) ++erases;
    inherited::Dispatch(m);
  }
};

// A popup window carried by a parent control (as a floating tool window is).
class TLifePopup : public cl::TWinControl {
  CL_PLAIN_CLASS(TLifePopup, cl::TWinControl)
  explicit TLifePopup(cl::TComponent* owner) : TWinControl(owner) { StoreBounds(300, 300, 100, 60); }
  bool refuseShowing = false;  // replaces the showing handler with one that never shows
  int showingCalls = 0;

 protected:
  void CreateParams(cl::TCreateParams& params) override {
    inherited::CreateParams(params);
    params.Style = WS_POPUP | WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW;
  }
  void Dispatch(cl::TMessage& m) override {
    if (m.Msg == cl::CM_SHOWINGCHANGED) {
      ++showingCalls;
      if (refuseShowing) return;
    }
    inherited::Dispatch(m);
  }
};

// Tells whether its parent was there when a description set its property.
class TParentProbe : public cl::TWinControl {
  CL_CLASS(TParentProbe, cl::TWinControl)
  explicit TParentProbe(cl::TComponent* owner) : TWinControl(owner) {}
  int Probe() const { return probe_; }
  void SetProbe(int value) {
    probe_ = value;
    parentSeen = Parent() != nullptr;
  }
  bool parentSeen = false;

 private:
  int probe_ = 0;
};

}  // namespace

CL_BEGIN_CLASS(TParentProbe)
    .Int("Probe", &TParentProbe::Probe, &TParentProbe::SetProbe, 0)
CL_END_CLASS

namespace {

class ControlLifeTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    form_->SetBounds(40, 40, 400, 300);
  }
  cl::TForm* form_ = nullptr;
};

TEST_F(ControlLifeTest, StyleFlagsDecideCaptureClicksDoubleClicksAndErasing) {
  auto* box = new TLifeBox(form_);
  box->SetParent(form_);
  form_->Show();
  const HWND wnd = box->Handle();
  // Without csCaptureMouse a press takes no capture; without csClickEvents a release is no click.
  box->SetControlStyle({});
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_NE(GetCapture(), wnd);
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(box->clicks, 0);
  // With them, the press captures and the release clicks.
  box->SetControlStyle({cl::csCaptureMouse, cl::csClickEvents});
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(GetCapture(), wnd);
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(box->clicks, 1);
  // A double click without csDoubleClicks is a second press; with it, a double click.
  int doubles = 0;
  box->OnDblClick = [&](cl::TObject*) { ++doubles; };
  SendMessageW(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(doubles, 0);
  EXPECT_EQ(box->clicks, 2);
  box->SetControlStyle({cl::csDoubleClicks});
  SendMessageW(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(doubles, 1);
  // An opaque control is repainted without erasing; any other is erased first.
  UpdateWindow(wnd);
  box->erases = 0;
  box->Invalidate();
  UpdateWindow(wnd);
  EXPECT_EQ(box->erases, 1);
  box->SetControlStyle({cl::csOpaque});
  box->Invalidate();
  UpdateWindow(wnd);
  EXPECT_EQ(box->erases, 1);
  // csAcceptsControls: the children are clipped out of the window's painting.
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CLIPCHILDREN, 0);
  box->SetControlStyle({cl::csAcceptsControls});
  box->RecreateWnd();
  EXPECT_NE(GetWindowLongPtrW(box->Handle(), GWL_STYLE) & WS_CLIPCHILDREN, 0);
}

TEST_F(ControlLifeTest, ANameBecomesTheCaptionOnlyWhileTheCaptionIsTheName) {
  auto* box = new TLifeBox(form_);
  box->SetParent(form_);
  box->SetName("boxFirst");
  EXPECT_EQ(box->Caption(), "boxFirst");
  EXPECT_EQ(cl::FromWide([&] {
              wchar_t text[64]{};
              GetWindowTextW(box->Handle(), text, 64);
              return std::wstring(text);
            }()),
            "boxFirst");
  box->SetName("boxSecond");
  EXPECT_EQ(box->Caption(), "boxSecond");
  box->SetCaption("Tools");
  box->SetName("boxThird");
  EXPECT_EQ(box->Caption(), "Tools");
  // Without csSetCaption the name stays out of the text.
  auto* quiet = new TLifeBox(form_);
  quiet->SetControlStyle(quiet->ControlStyle().Exclude(cl::csSetCaption));
  quiet->SetName("boxQuiet");
  EXPECT_EQ(quiet->Caption(), "");
}

TEST_F(ControlLifeTest, TheReaderSetsTheParentBeforeTheProperties) {
  cl::RegisterClasses({TParentProbe::StaticClass()});
  cl::ReadRootComponent(form_, "object Form1: TForm\n  object prbOne: TParentProbe\n    Probe = 7\n  end\nend\n");
  auto* probe = dynamic_cast<TParentProbe*>(form_->FindComponent("prbOne"));
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->Probe(), 7);
  EXPECT_TRUE(probe->parentSeen);
  EXPECT_EQ(probe->Parent(), form_);
  // Read as a description, the name did not become the caption.
  EXPECT_EQ(probe->Caption(), "");
}

TEST_F(ControlLifeTest, AControlWithoutParentLosesItsWindowAndGetsANewOneWhenNeeded) {
  auto* box = new TLifeBox(form_);
  box->SetParent(form_);
  form_->Show();
  const HWND first = box->Handle();
  box->SetParent(nullptr);
  EXPECT_FALSE(box->HandleAllocated());
  EXPECT_FALSE(IsWindow(first));
  box->SetParent(form_);
  ASSERT_TRUE(box->HandleAllocated());
  EXPECT_EQ(GetParent(box->Handle()), form_->Handle());
  EXPECT_TRUE(IsWindowVisible(box->Handle()));
}

TEST_F(ControlLifeTest, APopupControlIsOwnedByItsParentFormsWindowAndShownWithIt) {
  auto* popup = new TLifePopup(form_);
  popup->SetParent(form_);
  EXPECT_FALSE(popup->HandleAllocated());  // the form has no window yet
  form_->Show();
  ASSERT_TRUE(popup->HandleAllocated());
  const HWND wnd = popup->Handle();
  EXPECT_EQ(GetWindow(wnd, GW_OWNER), form_->Handle());
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CHILD, 0);
  EXPECT_TRUE(IsWindowVisible(wnd));
  RECT r;
  GetWindowRect(wnd, &r);
  EXPECT_EQ(r.left, 300);  // screen coordinates
  EXPECT_EQ(r.top, 300);
  // Another form: a window owned by that form's.
  auto* other = cl::NewForm<cl::TForm>(app_.get());
  other->Show();
  popup->SetParent(other);
  ASSERT_TRUE(popup->HandleAllocated());
  EXPECT_EQ(GetWindow(popup->Handle(), GW_OWNER), other->Handle());
  EXPECT_TRUE(IsWindowVisible(popup->Handle()));
  // Hidden while its parent is.
  other->Hide();
  popup->Perform(cl::CM_SHOWINGCHANGED);
  EXPECT_FALSE(IsWindowVisible(popup->Handle()));
  // Freed with its parent, the window goes too.
  const HWND last = popup->Handle();
  delete other;
  EXPECT_FALSE(IsWindow(last));
}

TEST_F(ControlLifeTest, OnlyTheShowingHandlerShowsAWindow) {
  auto* popup = new TLifePopup(form_);
  popup->refuseShowing = true;
  popup->SetParent(form_);
  form_->Show();
  ASSERT_TRUE(popup->HandleAllocated());
  EXPECT_GE(popup->showingCalls, 1);
  EXPECT_FALSE(IsWindowVisible(popup->Handle()));
  // A child control too: made hidden, shown by the handler.
  auto* box = new TLifeBox(form_);
  int showing = 0;
  cl::TMessageLink link(box->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == cl::CM_SHOWINGCHANGED) ++showing;
    else next(m);
  });
  box->SetParent(form_);
  ASSERT_TRUE(box->HandleAllocated());
  EXPECT_EQ(showing, 1);
  EXPECT_FALSE(IsWindowVisible(box->Handle()));
}

TEST_F(ControlLifeTest, ChildrenKeepTheirStateWhenTheirParentsWindowIsMadeAgain) {
  auto* panel = new cl::TPanel(form_);
  panel->SetParent(form_);
  panel->SetBounds(10, 10, 300, 200);
  const formstest::StatefulChildren children(form_, panel, 5, 6);
  cl::TEdit* edit = children.edit;
  auto* hidden = new cl::TEdit(form_);
  hidden->SetParent(panel);
  hidden->SetVisible(false);
  form_->Show();
  children.ChangeAsTheUser();
  auto expectKept = [&](const char* when) {
    SCOPED_TRACE(when);
    children.ExpectKept();
    RECT r;
    GetWindowRect(edit->Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, panel->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_TRUE(IsWindowVisible(edit->Handle()));
    EXPECT_FALSE(IsWindowVisible(hidden->Handle()));
  };
  const HWND before = edit->Handle();
  panel->RecreateWnd();
  EXPECT_NE(edit->Handle(), before);
  expectKept("RecreateWnd");
  panel->SetParent(nullptr);
  EXPECT_FALSE(edit->HandleAllocated());
  panel->SetParent(form_);
  expectKept("parent taken away and given back");
}

TEST_F(ControlLifeTest, DialogKeysGoToTheControlsParentFormFirst) {
  auto* edit = new cl::TEdit(form_);
  edit->SetParent(form_);
  auto* cancel = new cl::TButton(form_);
  cancel->SetParent(form_);
  cancel->SetCancel(true);
  std::vector<std::string> order;
  cancel->OnClick = [&](cl::TObject*) { order.push_back("cancel"); };
  cl::TMessageLink link(form_->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == cl::CM_DIALOGKEY && m.WParam == VK_ESCAPE) order.push_back("form");
    next(m);
  });
  form_->Show();
  SendMessageW(edit->Handle(), cl::CN_KEYDOWN, VK_ESCAPE, 0x00010001);
  EXPECT_EQ(order, (std::vector<std::string>{"form", "cancel"}));
}

// A form class whose description would be required: it names a field no description gives.
class TfrmLifeCarrier : public cl::TForm {
  CL_PLAIN_CLASS(TfrmLifeCarrier, cl::TForm)
  explicit TfrmLifeCarrier(cl::TComponent* owner) : TForm(owner, cl::TCreateNew{}) {}
  CL_FIELDS((cl::TButton, btnMissing))
};

TEST_F(AppTest, AFormMadeWithoutDescriptionReadsNoneIsListedAndNeverTheMainForm) {
  const int before = cl::Screen().FormCount();
  TfrmLifeCarrier* carrier = nullptr;
  app_->CreateForm(carrier);  // no description, no error about the missing field
  ASSERT_NE(carrier, nullptr);
  EXPECT_TRUE(carrier->CreatedNew());
  EXPECT_EQ(carrier->btnMissing, nullptr);
  EXPECT_EQ(app_->MainForm(), nullptr);
  EXPECT_EQ(cl::Screen().FormCount(), before + 1);
  EXPECT_EQ(cl::Screen().Forms(before), carrier);
  cl::TForm* main = nullptr;
  app_->CreateForm(main);
  EXPECT_EQ(app_->MainForm(), main);
  delete carrier;
  EXPECT_EQ(cl::Screen().FormCount(), before + 1);
  EXPECT_EQ(cl::Screen().Forms(before), main);
}

// Sees itself before its destruction goes on: parent, window and owner still there.
class TLifeLeaver : public cl::TWinControl {
  CL_PLAIN_CLASS(TLifeLeaver, cl::TWinControl)
  explicit TLifeLeaver(cl::TComponent* owner, std::vector<std::string>* log) : TWinControl(owner), log_(log) {}
  void BeforeDestruction() override {
    log_->push_back(std::string(Parent() ? "parent" : "none") + (HandleAllocated() ? "+window" : "") +
                    (ComponentState().Contains(cl::csDestroying) ? "+destroying" : ""));
    inherited::BeforeDestruction();
  }

 private:
  std::vector<std::string>* log_;
};

TEST_F(ControlLifeTest, BeforeDestructionRunsWithTheWholeControlWhetherFreedAloneOrWithItsForm) {
  std::vector<std::string> log;
  auto* alone = new TLifeLeaver(form_, &log);
  alone->SetParent(form_);
  form_->Show();
  alone->HandleNeeded();
  delete alone;
  auto* withForm = new TLifeLeaver(form_, &log);
  withForm->SetParent(form_);
  withForm->HandleNeeded();
  delete form_;
  form_ = nullptr;
  // Freed with its form: the form's destruction has begun, and the form has let go of it first.
  EXPECT_EQ(log, (std::vector<std::string>{"parent+window", "none+destroying"}));
}

}  // namespace
