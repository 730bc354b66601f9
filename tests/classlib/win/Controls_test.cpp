#include "Controls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <string>
#include <vector>

#include "Forms.h"
#include "FormsTestSupport.h"
#include "TestSupport.h"
#include "StdCtrls.h"
#include "WinString.h"
#include "WindowSubclass.h"

namespace {

using formstest::AppTest;

// The numbers other code (painters of other libraries) relies on.
static_assert(cl::CM_ENABLEDCHANGED == 0xB00C && cl::CM_MOUSEENTER == 0xB013 && cl::CM_MOUSELEAVE == 0xB014 &&
              cl::CM_EXIT == 0xB01B && cl::CM_RELEASE == 0xB021 && cl::CN_NOTIFY == 0xBC4E &&
              cl::CN_COMMAND == 0xBD11);

// A plain container control with a window of its own class.
class TTestBox : public cl::TWinControl {
  CL_PLAIN_CLASS(TTestBox, cl::TWinControl)
  explicit TTestBox(cl::TComponent* owner) : TWinControl(owner) {
    SetControlStyle(ControlStyle().Include(cl::csAcceptsControls));
    StoreBounds(0, 0, 200, 100);
  }
};

// Records the messages of a control that pass its WindowProc, then passes them on. What it records outlives
// it: the control may get messages after the test body (when the form goes).
struct TSpy {
  std::shared_ptr<std::vector<uint32_t>> log = std::make_shared<std::vector<uint32_t>>();
  const std::vector<uint32_t>& seen = *log;
  cl::TMessageLink link;
  TSpy(cl::TControl* control, std::vector<uint32_t> watch) {
    link.Install(control->WindowProc, [log = log, watch = std::move(watch)](cl::TMessage& m, const auto& next) {
      if (std::find(watch.begin(), watch.end(), m.Msg) != watch.end()) log->push_back(m.Msg);
      next(m);
    });
  }
};

class ControlsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    form_->SetBounds(50, 50, 400, 300);
  }
  cl::TForm* form_ = nullptr;
};

// ---------------------------------------------------------------------------------------------------------

TEST_F(ControlsTest, PerformAndWindowMessagesGoThroughAReplacedWindowProc) {
  auto* button = new cl::TButton(form_);
  button->SetParent(form_);
  std::vector<uint32_t> order;
  cl::TMessageLink link(button->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == WM_APP) {
      order.push_back(m.Msg);
      m.Result = static_cast<intptr_t>(m.WParam + 1);
      return;
    }
    if (m.Msg == WM_SETTEXT) order.push_back(m.Msg);
    next(m);
  });
  EXPECT_EQ(button->Perform(WM_APP, 41), 42);  // without a window
  EXPECT_FALSE(button->HandleAllocated());
  EXPECT_EQ(SendMessageW(button->Handle(), WM_APP, 1, 0), 2);
  button->SetCaption("Go");  // the window's own message passes the replacement and still works
  EXPECT_EQ(order, (std::vector<uint32_t>{WM_APP, WM_APP, WM_SETTEXT}));
  wchar_t text[16] = {};
  GetWindowTextW(button->Handle(), text, 16);
  EXPECT_EQ(std::wstring(text), L"Go");

  // Taking the handler away ends the replacement.
  link.Remove();
  EXPECT_EQ(button->Perform(WM_APP, 41), 0);
}

TEST_F(ControlsTest, SubclassLayersChainInOrderAndCanBeRemovedInAnyOrder) {
  auto* button = new cl::TButton(form_);
  button->SetParent(form_);
  const HWND wnd = button->Handle();
  std::vector<std::string> order;
  TSpy object(button, {WM_APP});
  auto lower = std::make_unique<cl::TWindowSubclass>(wnd, [&](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) order.push_back("lower");
    return cl::TWindowSubclass::CallPrevious(w, msg, wp, lp);
  });
  cl::TWindowSubclass upper(wnd, [&](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) order.push_back("upper");
    return cl::TWindowSubclass::CallPrevious(w, msg, wp, lp);
  });
  SendMessageW(wnd, WM_APP, 0, 0);
  EXPECT_EQ(order, (std::vector<std::string>{"upper", "lower"}));
  EXPECT_EQ(object.seen.size(), 1u);  // the control itself comes last

  // The lower one goes first, while the upper one is still in front of it.
  lower.reset();
  order.clear();
  SendMessageW(wnd, WM_APP, 0, 0);
  EXPECT_EQ(order, std::vector<std::string>{"upper"});
  EXPECT_EQ(object.seen.size(), 2u);

  // A procedure set the old way on top of the chain keeps working when the chain below changes.
  static WNDPROC before = nullptr;
  static int rawCalls = 0;
  before = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC));
  SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
                      if (msg == WM_APP) ++rawCalls;
                      return CallWindowProcW(before, w, msg, wp, lp);
                    }));
  upper.Remove();
  order.clear();
  SendMessageW(wnd, WM_APP, 0, 0);
  EXPECT_EQ(rawCalls, 1);
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(object.seen.size(), 3u);
  SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(before));
  EXPECT_FALSE(upper.Installed());
}

TEST_F(ControlsTest, SubclassesEndWithTheirWindowAndCatchExceptions) {
  auto* box = new TTestBox(form_);
  box->SetParent(form_);
  const HWND wnd = box->Handle();
  std::vector<UINT> last;
  cl::TWindowSubclass layer(wnd, [&](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg == WM_APP) throw cl::EConvertError("in a subclass");
    if (msg == WM_DESTROY || msg == WM_NCDESTROY) last.push_back(msg);
    return cl::TWindowSubclass::CallPrevious(w, msg, wp, lp);
  });
  EXPECT_EQ(SendMessageW(wnd, WM_APP, 0, 0), 0);
  EXPECT_EQ(errors_, std::vector<std::string>{"in a subclass"});
  EXPECT_THROW(cl::TWindowSubclass(HWND(nullptr), nullptr), cl::EOSError);

  delete box;  // the window goes, the installation with it
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(last, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(layer.Installed());
}

// A handler that destroys its window and then passes the message on: the installations ended with the
// window, so the message goes to the window's own procedure, past the lower one.
TEST_F(ControlsTest, AHandlerThatDestroysItsWindowMayStillPassTheMessageOn) {
  const HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  int lowerCalls = 0;
  cl::TWindowSubclass lower(wnd, [&](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) ++lowerCalls;
    return cl::TWindowSubclass::CallPrevious(w, msg, wp, lp);
  });
  cl::TWindowSubclass upper(wnd, [&](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) DestroyWindow(w);
    return cl::TWindowSubclass::CallPrevious(w, msg, wp, lp);
  });
  EXPECT_EQ(SendMessageW(wnd, WM_APP, 0, 0), 0);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_FALSE(upper.Installed());
  EXPECT_FALSE(lower.Installed());
  EXPECT_EQ(lowerCalls, 0);
  EXPECT_TRUE(errors_.empty());
}

// A window whose procedure refuses its creation fails without a system error of its own: the exception
// names the call, instead of what an earlier call left (or the system's text for success).
TEST_F(ControlsTest, AWindowRefusedByItsProcedureRaisesWhatFailed) {
  auto* box = new TTestBox(form_);
  cl::TMessageLink refuse(box->WindowProc, [](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == WM_NCCREATE) {
      m.Result = FALSE;
      return;
    }
    next(m);
  });
  form_->HandleNeeded();
  SetLastError(ERROR_FILE_NOT_FOUND);  // left by an earlier call
  EXPECT_EQ(testsupport::MessageOf<cl::EOSError>([&] { box->SetParent(form_); }), "CreateWindowEx (TTestBox) failed");
  EXPECT_FALSE(box->HandleAllocated());
  delete box;

  // With an error, its text and number follow.
  const std::string text = testsupport::MessageOf<cl::EOSError>([] { cl::RaiseOSError(ERROR_ACCESS_DENIED, "OpenThing"); });
  EXPECT_EQ(text.rfind("OpenThing failed: ", 0), 0u) << text;
  EXPECT_EQ(text.substr(text.size() - 10), " (error 5)") << text;
}

TEST_F(ControlsTest, CommandsAndNotificationsAreReflectedToTheChildControl) {
  auto* box = new TTestBox(form_);
  box->SetParent(form_);
  auto* button = new cl::TButton(form_);
  button->SetParent(box);
  int clicks = 0;
  button->OnClick = [&](cl::TObject* sender) {
    EXPECT_EQ(sender, button);
    ++clicks;
  };
  TSpy spy(button, {cl::CN_COMMAND, cl::CN_NOTIFY, WM_COMMAND});
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(spy.seen, std::vector<uint32_t>{cl::CN_COMMAND});

  NMHDR hdr{button->Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(button->Handle())), static_cast<UINT>(NM_CLICK)};
  SendMessageW(box->Handle(), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
  EXPECT_EQ(spy.seen, (std::vector<uint32_t>{cl::CN_COMMAND, cl::CN_NOTIFY}));

  // A command from a window that is no control of this library stays with the parent.
  TSpy parentSpy(box, {WM_COMMAND});
  SendMessageW(box->Handle(), WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(app_->Handle()));
  EXPECT_EQ(parentSpy.seen, std::vector<uint32_t>{WM_COMMAND});
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, WindowsAreMadeWithTheirParentsAndKeepTheirStateWhenRemade) {
  auto* box = new TTestBox(form_);
  box->SetParent(form_);
  auto* edit = new cl::TEdit(form_);
  edit->SetParent(box);
  edit->SetBounds(5, 6, 100, 22);
  edit->SetText("typed");
  EXPECT_FALSE(form_->HandleAllocated());
  const HWND editWnd = edit->Handle();  // makes the form's and the box's windows first
  EXPECT_TRUE(form_->HandleAllocated());
  EXPECT_EQ(GetParent(editWnd), box->Handle());
  EXPECT_EQ(GetParent(box->Handle()), form_->Handle());
  wchar_t cls[32] = {};
  GetClassNameW(box->Handle(), cls, 32);
  EXPECT_EQ(std::wstring(cls), L"TTestBox");

  // The user's text and the position survive a new window.
  SetWindowTextW(editWnd, L"changed");
  form_->RecreateWnd();
  EXPECT_FALSE(IsWindow(editWnd));
  ASSERT_TRUE(edit->HandleAllocated());
  EXPECT_EQ(edit->Text(), "changed");
  EXPECT_EQ(edit->BoundsRect(), cl::Bounds(5, 6, 100, 22));

  // A control follows its window's moves; a parent takes its children with it.
  SetWindowPos(edit->Handle(), nullptr, 7, 8, 90, 20, SWP_NOZORDER);
  EXPECT_EQ(edit->BoundsRect(), cl::Bounds(7, 8, 90, 20));
  const HWND boxWnd = box->Handle();
  delete box;
  EXPECT_FALSE(IsWindow(boxWnd));
  EXPECT_EQ(form_->ComponentCount(), 0);  // the edit went with its parent and left its owner
}

TEST_F(ControlsTest, EnabledVisibleAndTextReachTheWindowAndTellTheControl) {
  auto* check = new cl::TCheckBox(form_);
  check->SetParent(form_);
  check->SetCaption("Remind");
  TSpy spy(check, {cl::CM_ENABLEDCHANGED, cl::CM_VISIBLECHANGED, cl::CM_TEXTCHANGED});
  const HWND wnd = check->Handle();
  check->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(wnd));
  check->SetEnabled(true);
  check->SetCaption("Remind me");
  check->SetVisible(false);
  EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VISIBLE);
  check->SetVisible(true);
  EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(spy.seen, (std::vector<uint32_t>{cl::CM_ENABLEDCHANGED, cl::CM_ENABLEDCHANGED, cl::CM_TEXTCHANGED,
                                             cl::CM_VISIBLECHANGED, cl::CM_VISIBLECHANGED}));

  // A check box changes with the user's click and in code, and tells OnClick both times.
  int clicks = 0;
  check->OnClick = [&](cl::TObject*) { ++clicks; };
  SendMessageW(wnd, BM_CLICK, 0, 0);
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(SendMessageW(wnd, BM_GETCHECK, 0, 0), BST_CHECKED);
  check->SetChecked(false);
  EXPECT_EQ(SendMessageW(wnd, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(clicks, 2);

  auto* edit = new cl::TEdit(form_);
  edit->SetParent(form_);
  int changes = 0;
  edit->OnChange = [&](cl::TObject*) { ++changes; };
  SetWindowTextW(edit->Handle(), L"Hotkey \u00e9");
  EXPECT_EQ(edit->Text(), "Hotkey \xc3\xa9");
  EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, AlignedChildrenFillTheParent) {
  auto* top = new TTestBox(form_);
  top->SetParent(form_);
  top->SetHeight(30);
  top->SetAlign(cl::alTop);
  auto* client = new TTestBox(form_);
  client->SetParent(form_);
  client->SetAlign(cl::alClient);
  auto* left = new TTestBox(form_);
  left->SetParent(form_);
  left->SetWidth(50);
  left->SetAlign(cl::alLeft);
  form_->HandleNeeded();
  const int w = form_->ClientWidth();
  const int h = form_->ClientHeight();
  EXPECT_EQ(top->BoundsRect(), cl::Bounds(0, 0, w, 30));
  EXPECT_EQ(left->BoundsRect(), cl::Bounds(0, 30, 50, h - 30));
  EXPECT_EQ(client->BoundsRect(), cl::Bounds(50, 30, w - 50, h - 30));

  form_->SetClientHeight(h + 40);
  EXPECT_EQ(client->Height(), h + 10);
  top->SetVisible(false);
  EXPECT_EQ(client->BoundsRect(), cl::Bounds(50, 0, w - 50, h + 40));
}

TEST_F(ControlsTest, MouseEnterAndLeaveFollowTheMouse) {
  auto* a = new TTestBox(form_);
  a->SetParent(form_);
  auto* b = new TTestBox(form_);
  b->SetParent(form_);
  b->SetLeft(200);
  TSpy spyA(a, {cl::CM_MOUSEENTER, cl::CM_MOUSELEAVE});
  TSpy spyB(b, {cl::CM_MOUSEENTER, cl::CM_MOUSELEAVE});
  SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
  SendMessageW(b->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(spyA.seen, (std::vector<uint32_t>{cl::CM_MOUSEENTER, cl::CM_MOUSELEAVE}));
  EXPECT_EQ(spyB.seen, std::vector<uint32_t>{cl::CM_MOUSEENTER});
  SendMessageW(b->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(spyB.seen, (std::vector<uint32_t>{cl::CM_MOUSEENTER, cl::CM_MOUSELEAVE}));
  delete b;  // no leave owed to a control that is gone
  SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(spyA.seen.back(), cl::CM_MOUSEENTER);
}

TEST_F(ControlsTest, KeysMoveTheFocusPressTheDefaultButtonAndReachAPreviewingForm) {
  auto* first = new cl::TEdit(form_);
  first->SetParent(form_);
  auto* second = new cl::TEdit(form_);
  second->SetParent(form_);
  second->SetTop(30);
  auto* ok = new cl::TButton(form_);
  ok->SetParent(form_);
  ok->SetTop(60);
  ok->SetDefault(true);
  int okClicks = 0;
  ok->OnClick = [&](cl::TObject*) { ++okClicks; };
  second->SetTabOrder(0);  // before the first in tab order
  EXPECT_EQ(first->TabOrder(), 1);
  std::vector<std::string> focus;
  first->OnEnter = [&](cl::TObject*) { focus.push_back("enter first"); };
  first->OnExit = [&](cl::TObject*) { focus.push_back("exit first"); };
  second->OnEnter = [&](cl::TObject*) { focus.push_back("enter second"); };
  form_->Show();
  Pump();
  first->SetFocus();
  ASSERT_TRUE(first->Focused());
  EXPECT_EQ(form_->ActiveControl(), first);
  ASSERT_FALSE(focus.empty());
  EXPECT_EQ(focus.back(), "enter first");
  focus.clear();

  auto key = [&](HWND wnd, WPARAM vk) {
    PostMessageW(wnd, WM_KEYDOWN, vk, 1);
    PostMessageW(wnd, WM_KEYUP, vk, 0xC0000001);
    Pump();
  };
  key(first->Handle(), VK_TAB);  // after the first comes the button
  EXPECT_TRUE(ok->Focused());
  key(ok->Handle(), VK_TAB);  // and then, wrapping round, the second
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(focus, (std::vector<std::string>{"exit first", "enter second"}));

  key(second->Handle(), VK_RETURN);
  EXPECT_EQ(okClicks, 1);

  // Escape has no cancel button to go to, so the control gets it, after the form when it previews keys.
  std::vector<std::string> keys;
  form_->SetKeyPreview(true);
  form_->OnKeyDown = [&](cl::TObject* sender, uint16_t& k, cl::TShiftState) {
    if (k == VK_ESCAPE) keys.push_back(sender == form_ ? "form" : "other");
  };
  second->OnKeyDown = [&](cl::TObject*, uint16_t& k, cl::TShiftState) {
    if (k == VK_ESCAPE) keys.push_back("edit");
  };
  key(second->Handle(), VK_ESCAPE);
  EXPECT_EQ(keys, (std::vector<std::string>{"form", "edit"}));
  // A handler that takes the key keeps it from the control.
  form_->OnKeyDown = [&](cl::TObject*, uint16_t& k, cl::TShiftState) { k = 0; };
  keys.clear();
  key(second->Handle(), VK_ESCAPE);
  EXPECT_TRUE(keys.empty());
}

// A focusable box whose destructor lets its form be activated, as any destructor that serves messages
// (one joining a thread, say) lets through an activation that another window's end causes.
class TActivatingBox : public TTestBox {
  CL_CLASS(TActivatingBox, TTestBox)
  explicit TActivatingBox(cl::TComponent* owner) : TTestBox(owner) { SetTabStop(true); }
  ~TActivatingBox() override {
    if (form) SendMessageW(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  }
  cl::TForm* form = nullptr;
};
CL_BEGIN_CLASS(TActivatingBox)
CL_END_CLASS

TEST_F(ControlsTest, AControlBeingFreedIsNotFocusedWhenItsFormIsActivatedMeanwhile) {
  auto* edit = new cl::TEdit(form_);
  edit->SetParent(form_);
  edit->SetTop(150);
  form_->Show();
  Pump();
  for (const bool inside : {false, true}) {
    SCOPED_TRACE(inside ? "a control inside it has the focus" : "it has the focus");
    auto* box = new TActivatingBox(form_);
    box->SetParent(form_);
    box->SetTabOrder(0);
    cl::TWinControl* focused = box;
    if (inside) {
      focused = new cl::TEdit(form_);
      focused->SetParent(box);
    }
    focused->SetFocus();
    ASSERT_EQ(form_->ActiveControl(), focused);
    int exits = 0;
    focused->OnExit = [&](cl::TObject*) { ++exits; };
    box->form = form_;
    delete box;  // activates the form on its way out, its windows already gone
    EXPECT_TRUE(errors_.empty()) << (errors_.empty() ? "" : errors_.front());
    errors_.clear();
    // The focus went to the control that stays, and the one going heard nothing of it.
    EXPECT_EQ(form_->ActiveControl(), edit);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(form_->TabList(true), std::vector<cl::TWinControl*>{edit});
  }
}

// A box that draws with a palette of its own and notes each palette change it is told of.
class TPaletteBox : public TTestBox {
  CL_PLAIN_CLASS(TPaletteBox, TTestBox)
  explicit TPaletteBox(cl::TComponent* owner) : TTestBox(owner) {}
  HPALETTE GetPalette() override { return palette.Get(); }
  bool PaletteChanged(bool foreground) override {
    heard.push_back(foreground ? "foreground" : "background");
    return inherited::PaletteChanged(foreground);
  }
  cl::TPaletteHandle palette;
  std::vector<std::string> heard;
};

TEST_F(ControlsTest, ThePaletteMessagesOfTheFormReachItsControlsWithAPalette) {
  auto* outer = new TTestBox(form_);
  outer->SetParent(form_);
  auto* box = new TPaletteBox(form_);
  box->SetParent(outer);
  form_->Show();  // activated, the form is asked to realise its palette already
  Pump();
  box->heard.clear();
  const HWND other = outer->Handle();
  // Without a palette anywhere the form has nothing to realise.
  EXPECT_EQ(SendMessageW(form_->Handle(), WM_QUERYNEWPALETTE, 0, 0), 0);
  EXPECT_EQ(box->heard, (std::vector<std::string>{"foreground"}));
  struct {
    LOGPALETTE head;
    PALETTEENTRY more[1];
  } log{{0x300, 2, {{255, 0, 0, 0}}}, {{0, 0, 255, 0}}};
  box->palette.Reset(CreatePalette(&log.head));
  EXPECT_EQ(SendMessageW(form_->Handle(), WM_QUERYNEWPALETTE, 0, 0), 1);
  SendMessageW(form_->Handle(), WM_PALETTECHANGED, reinterpret_cast<WPARAM>(other), 0);
  // The form's own realisation is no news to it.
  SendMessageW(form_->Handle(), WM_PALETTECHANGED, reinterpret_cast<WPARAM>(form_->Handle()), 0);
  EXPECT_EQ(box->heard, (std::vector<std::string>{"foreground", "foreground", "background"}));
  // Hidden, the box has nothing to show.
  box->Hide();
  EXPECT_EQ(SendMessageW(form_->Handle(), WM_QUERYNEWPALETTE, 0, 0), 0);
}

TEST_F(ControlsTest, ParentsMustNotFormACycle) {
  auto* outer = new TTestBox(form_);
  outer->SetParent(form_);
  auto* inner = new TTestBox(form_);
  inner->SetParent(outer);
  EXPECT_THROW(outer->SetParent(inner), cl::EInvalidOperation);
  EXPECT_THROW(outer->SetParent(outer), cl::EInvalidOperation);
  EXPECT_EQ(outer->Parent(), form_);
  EXPECT_TRUE(form_->ContainsControl(inner));
  EXPECT_THROW(form_->Controls(5), cl::EListError);
  // Moving a child keeps its window, now under the new parent.
  const HWND wnd = inner->Handle();
  inner->SetParent(form_);
  EXPECT_EQ(inner->Handle(), wnd);
  EXPECT_EQ(GetParent(wnd), form_->Handle());
  EXPECT_EQ(outer->ControlCount(), 0);
}

}  // namespace
