#include "ToolDock.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "FormReader.h"
#include "ForeignActivation.h"
#include "FormsTestSupport.h"
#include "MessageLoop.h"
#include "PaintSurface.h"
#include "ModalScript.h"
#include "StdClasses.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "ToolDockGeometry.h"
#include "ToolWinFrame.h"

namespace {

using formstest::AppTest;
using toolkit::dock::TCustomToolWin;
using toolkit::dock::TFloatingWindowParent;
using toolkit::dock::TToolWin;

constexpr const char* kForm =
    "object frmHost: TForm\n"
    "  Left = 100\n"
    "  Top = 80\n"
    "  Width = 500\n"
    "  Height = 300\n"
    "  object edtMain: TEdit\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 120\n"
    "    Height = 21\n"
    "    TabOrder = 0\n"
    "  end\n"
    "  object twEditor: TToolWin\n"
    "    Left = 44\n"
    "    Top = 10\n"
    "    Caption = 'Calderine Editor'\n"
    "    ClientAreaHeight = 232\n"
    "    ClientAreaWidth = 473\n"
    "    TabOrder = 1\n"
    "    Visible = False\n"
    "    object edtInside: TEdit\n"
    "      Left = 10\n"
    "      Top = 10\n"
    "      Width = 120\n"
    "      Height = 21\n"
    "    end\n"
    "  end\n"
    "end\n";

RECT WindowRect(HWND wnd) {
  RECT r;
  GetWindowRect(wnd, &r);
  return r;
}

class ToolDockTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    cl::RegisterClasses({TToolWin::StaticClass()});
    form_ = cl::NewForm<cl::TForm>(app_.get());
    cl::ReadRootComponent(form_, kForm);
    tw_ = cl::ComponentAs<TToolWin>(form_, "twEditor");
    // Tests beside this one take the activation now and then; those about activation switch this on.
    tw_->SetHideWhenInactive(false);
    form_->Show();
    SetActiveWindow(form_->Handle());
    Pump();
  }

  bool OnScreen() { return tw_->HandleAllocated() && IsWindowVisible(tw_->Handle()); }

  cl::TForm* form_ = nullptr;
  TToolWin* tw_ = nullptr;
};

TEST(ToolDockAlone, ANewToolWindowIsSmallWithAMinimumClientSizeAndAFixedVersion) {
  TToolWin tw(nullptr);
  EXPECT_EQ(tw.Width(), 32);
  EXPECT_EQ(tw.Height(), 32);
  EXPECT_EQ(tw.MinClientWidth(), 32);
  EXPECT_EQ(tw.MinClientHeight(), 32);
  EXPECT_EQ(tw.ClientAreaWidth(), 32);
  tw.SetVersion("something else");
  EXPECT_EQ(tw.Version(), "ToolDock version 1.76");
  EXPECT_FALSE(tw.IsDocked());
  EXPECT_EQ(tw.DockPos(), -1);
}

TEST_F(ToolDockTest, FloatingOnAFormMakesACarrierThatTheFormsListHoldsAndThatGoesWithIt) {
  TFloatingWindowParent* carrier = dynamic_cast<TFloatingWindowParent*>(tw_->FloatingParent());
  ASSERT_NE(carrier, nullptr);
  EXPECT_EQ(tw_->Parent(), carrier);
  EXPECT_EQ(carrier->ParentForm(), form_);
  EXPECT_TRUE(carrier->CreatedNew());
  EXPECT_NE(app_->MainForm(), carrier);
  EXPECT_EQ(cl::Screen().FindForm(carrier->Handle()), carrier);
  EXPECT_NE(GetWindowLongPtrW(carrier->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_FALSE(IsWindowVisible(carrier->Handle()));  // its tool window is hidden
  EXPECT_EQ(toolkit::dock::FloatingToolWindowCount(), 1);
  EXPECT_EQ(toolkit::dock::FindParentForm(tw_), form_);
  // Never written as the carrier's child.
  EXPECT_FALSE(tw_->HasParent());
  EXPECT_EQ(tw_->GetParentComponent(), nullptr);

  const int forms = cl::Screen().FormCount();
  tw_->SetParent(nullptr);
  EXPECT_EQ(tw_->FloatingParent(), nullptr);
  EXPECT_EQ(cl::Screen().FormCount(), forms - 1);
  EXPECT_EQ(toolkit::dock::FloatingToolWindowCount(), 0);
  EXPECT_FALSE(tw_->HandleAllocated());
  EXPECT_THROW(toolkit::dock::GetToolWindowForm(tw_), cl::EInvalidOperation);
  tw_->SetParent(form_);
  ASSERT_NE(tw_->FloatingParent(), nullptr);
  EXPECT_EQ(cl::Screen().FormCount(), forms);
  EXPECT_EQ(toolkit::dock::FloatingToolWindowCount(), 1);
  EXPECT_EQ(toolkit::dock::GetToolWindowForm(tw_), form_);
}

TEST_F(ToolDockTest, OnlyADockOrAFormCanBeTheParent) {
  auto* panel = new cl::TPanel(form_);
  panel->SetParent(form_);
  EXPECT_EQ(testsupport::MessageOf<cl::EInvalidOperation>([&] { tw_->SetParent(panel); }),
            "A tool window can only be placed on a TToolDock or directly on the form");
  EXPECT_NE(tw_->FloatingParent(), nullptr);
  EXPECT_EQ(toolkit::dock::FindParentForm(tw_), form_);
}

TEST_F(ToolDockTest, ShownItIsAPopupOwnedByTheFormWithoutTaskbarButtonAtTheFormsClientOriginPlusLeftTop) {
  POINT origin{0, 0};
  ClientToScreen(form_->Handle(), &origin);
  tw_->Show();
  ASSERT_TRUE(OnScreen());
  const HWND wnd = tw_->Handle();
  EXPECT_EQ(GetWindow(wnd, GW_OWNER), form_->Handle());
  const LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE);
  EXPECT_NE(style & WS_POPUP, 0);
  EXPECT_EQ(style & WS_CHILD, 0);
  EXPECT_NE(style & WS_THICKFRAME, 0);
  EXPECT_NE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  const RECT r = WindowRect(wnd);
  EXPECT_EQ(r.left, origin.x + 44);
  EXPECT_EQ(r.top, origin.y + 10);
  RECT client;
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, 473);
  EXPECT_EQ(client.bottom, 232);
  EXPECT_EQ(tw_->FloatPos().x, r.left);
  EXPECT_EQ(tw_->FloatPos().y, r.top);
  // In front of its form; its empty carrier wants to be shown with it, but its window stays hidden.
  for (HWND w = GetWindow(form_->Handle(), GW_HWNDPREV);; w = GetWindow(w, GW_HWNDPREV)) {
    ASSERT_NE(w, nullptr) << "the tool window is not above its form";
    if (w == wnd) break;
  }
  EXPECT_TRUE(dynamic_cast<TFloatingWindowParent*>(tw_->FloatingParent())->ShouldShow());
  EXPECT_FALSE(IsWindowVisible(tw_->FloatingParent()->Handle()));
}

// The designed place waits for the first show (the form's window may not be made before); whatever the
// program places the window at before then is a screen position and stays.
TEST_F(ToolDockTest, ThePlaceTheProgramGivesBeforeTheFirstShowIsWhereItOpens) {
  const std::vector<std::pair<const char*, std::function<void(TToolWin&)>>> placements{
      {"FloatAt", [](TToolWin& tw) { tw.FloatAt(POINT{500, 400}); }},
      {"SetBounds", [](TToolWin& tw) { tw.SetBounds(500, 400, tw.Width(), tw.Height()); }},
      {"MoveOnScreen", [](TToolWin& tw) { tw.MoveOnScreen(false); }},
      {"docked and floated again",
       [](TToolWin& tw) {
         auto* dock = new toolkit::dock::TToolDock(tw.Owner());
         dock->SetParent(toolkit::dock::FindParentForm(&tw));
         tw.SetDockedTo(dock);
         tw.SetFloatPos(POINT{500, 400});
         tw.SetDockedTo(nullptr);
       }},
  };
  std::string text = kForm;
  text.replace(text.find("frmHost"), 7, "frmPlaced");
  for (const auto& [name, place] : placements) {
    SCOPED_TRACE(name);
    auto* form = cl::NewForm<cl::TForm>(app_.get());
    cl::ReadRootComponent(form, text);
    form->Show();
    auto* tw = cl::ComponentAs<TToolWin>(form, "twEditor");
    tw->SetHideWhenInactive(false);
    place(*tw);
    tw->Show();
    ASSERT_TRUE(tw->HandleAllocated() && IsWindowVisible(tw->Handle()));
    const RECT r = WindowRect(tw->Handle());
    const POINT expected = std::string(name) == "MoveOnScreen" ? POINT{44, 10} : POINT{500, 400};
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);
    delete form;
  }
}

TEST_F(ToolDockTest, ADescriptionWrittenAtRunTimeHoldsScreenPositions) {
  auto* form = cl::NewForm<cl::TForm>(app_.get());
  cl::ReadRootComponent(form,
                        "object frmOther: TForm\n"
                        "  Left = 100\n"
                        "  Top = 80\n"
                        "  object twSaved: TToolWin\n"
                        "    Left = 300\n"
                        "    Top = 200\n"
                        "    ClientAreaHeight = 50\n"
                        "    ClientAreaWidth = 60\n"
                        "    HideWhenInactive = False\n"
                        "    SavedAtRunTime = True\n"
                        "  end\n"
                        "end\n");
  auto* tw = cl::ComponentAs<TToolWin>(form, "twSaved");
  form->Show();
  ASSERT_TRUE(tw->HandleAllocated());
  ASSERT_TRUE(IsWindowVisible(tw->Handle()));
  const RECT r = WindowRect(tw->Handle());
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 200);
  EXPECT_EQ(tw->ClientAreaWidth(), 60);
  EXPECT_EQ(tw->ClientAreaHeight(), 50);
  // It writes the mark itself.
  EXPECT_NE(cl::WriteFormText(form).find("SavedAtRunTime = True"), std::string::npos);
}

TEST_F(ToolDockTest, MoveOnScreenBringsAWindowOntoTheWorkArea) {
  const RECT work = toolkit::GetPrimaryWorkArea();
  tw_->Show();
  const int w = tw_->Width();
  const int h = tw_->Height();
  // Partly off: left alone when only a wholly hidden window is to move.
  tw_->SetBounds(work.right - 20, work.top + 10, w, h);
  tw_->MoveOnScreen(true);
  EXPECT_EQ(tw_->Left(), work.right - 20);
  tw_->MoveOnScreen(false);
  EXPECT_EQ(tw_->Left(), work.right - w);
  EXPECT_EQ(tw_->Top(), work.top + 10);
  // Wholly off to the bottom left.
  tw_->SetBounds(work.left - w - 50, work.bottom + 30, w, h);
  tw_->MoveOnScreen(true);
  EXPECT_EQ(tw_->Left(), work.left);
  EXPECT_EQ(tw_->Top(), work.bottom - h);
  EXPECT_EQ(WindowRect(tw_->Handle()).left, work.left);
  // Larger than the work area: its top-left corner on the work area's.
  tw_->SetBounds(work.left + 5, work.top + 5, (work.right - work.left) + 100, (work.bottom - work.top) + 100);
  tw_->MoveOnScreen(false);
  EXPECT_EQ(tw_->Left(), work.left);
  EXPECT_EQ(tw_->Top(), work.top);
}

TEST_F(ToolDockTest, HiddenWhileTheProgramIsInactiveWithVisibleUnchangedAndBackAfter) {
  tw_->SetHideWhenInactive(true);
  tw_->Show();
  SetForegroundWindow(form_->Handle());  // a test beside this one may have taken it
  ASSERT_TRUE(hktest::PumpUntil([&] { return OnScreen(); }));
  // The activation message as every top-level window of the program hears it.
  SendMessageW(form_->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_FALSE(OnScreen());
  EXPECT_TRUE(tw_->Visible());
  SendMessageW(form_->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_TRUE(OnScreen());
  // Without HideWhenInactive it stays, its caption inactive.
  tw_->SetHideWhenInactive(false);
  SendMessageW(form_->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_TRUE(OnScreen());
  SendMessageW(form_->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  tw_->SetHideWhenInactive(true);

  // A window of another thread takes the activation, as another program's would.
  {
    const hktest::TForeignActiveWindow other;
    EXPECT_TRUE(hktest::PumpUntil([&] { return !OnScreen(); }));
    EXPECT_TRUE(tw_->Visible());
  }
  SetForegroundWindow(form_->Handle());
  EXPECT_TRUE(hktest::PumpUntil([&] { return OnScreen(); }));
}

TEST_F(ToolDockTest, AFormLoadsWithoutTheWindowsOfItsFloatingToolWindowUntilItIsFirstToBeSeen) {
  // A program starts quicker when the windows of a tool window that nobody sees yet are not made.
  auto* form = cl::NewForm<cl::TForm>(app_.get());
  cl::ReadRootComponent(form,
                        "object frmLazy: TForm\n"
                        "  object twLazy: TToolWin\n"
                        "    Left = 20\n"
                        "    Top = 10\n"
                        "    ClientAreaHeight = 50\n"
                        "    ClientAreaWidth = 60\n"
                        "    HideWhenInactive = False\n"
                        "    object edtLazy: TEdit\n"
                        "      Text = 'kept'\n"
                        "    end\n"
                        "  end\n"
                        "end\n");
  auto* tw = cl::ComponentAs<TToolWin>(form, "twLazy");
  auto* edit = cl::ComponentAs<cl::TEdit>(form, "edtLazy");
  form->HandleNeeded();  // as a program's main form, hidden in the tray
  EXPECT_FALSE(tw->FloatingParent()->HandleAllocated());
  EXPECT_FALSE(tw->HandleAllocated());
  EXPECT_FALSE(edit->HandleAllocated());
  // Hidden, the form still does not make them; shown, it does, and they show with it.
  form->Hide();
  EXPECT_FALSE(tw->HandleAllocated());
  form->Show();
  Pump();
  ASSERT_TRUE(tw->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(tw->Handle()));
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrW(tw->Handle(), GWLP_HWNDPARENT)), form->Handle());
  EXPECT_EQ(edit->Text(), "kept");
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
  delete form;
}

TEST_F(ToolDockTest, HiddenWithItsFormAndBackWithIt) {
  tw_->Show();
  ASSERT_TRUE(OnScreen());
  form_->Hide();
  EXPECT_FALSE(OnScreen());
  EXPECT_TRUE(tw_->Visible());
  form_->Show();
  EXPECT_TRUE(OnScreen());
  tw_->Hide();
  EXPECT_FALSE(OnScreen());
  EXPECT_FALSE(IsWindowVisible(tw_->FloatingParent()->Handle()));
}

// A form inside another window: the tool window follows what happens to the window around the form.
TEST_F(ToolDockTest, OnAnMDIChildItHidesAndComesBackWithTheFrame) {
  auto* frame = cl::NewForm<cl::TForm>(app_.get());
  frame->SetFormStyle(cl::fsMDIForm);
  frame->SetBounds(50, 50, 600, 450);
  frame->Show();
  auto* child = cl::NewForm<cl::TForm>(app_.get());
  child->SetFormStyle(cl::fsMDIChild);
  child->Show();
  auto* tw = new TToolWin(child);
  tw->SetHideWhenInactive(false);
  tw->SetParent(child);
  tw->SetClientAreaSize(80, 40);
  tw->Show();
  const auto shown = [&] { return tw->HandleAllocated() && IsWindowVisible(tw->Handle()); };
  ASSERT_TRUE(shown());
  frame->Hide();
  EXPECT_FALSE(shown());
  frame->Show();
  EXPECT_TRUE(shown());
  ShowWindow(frame->Handle(), SW_MINIMIZE);
  EXPECT_FALSE(shown());
  ShowWindow(frame->Handle(), SW_RESTORE);
  EXPECT_TRUE(shown());
  delete child;
  delete frame;
}

TEST_F(ToolDockTest, TheEndOfTheFormsWindowDoesNotTakeTheToolWindowsWindow) {
  tw_->Show();
  ASSERT_TRUE(OnScreen());
  const HWND wnd = tw_->Handle();
  const HWND oldForm = form_->Handle();
  form_->SetBorderStyle(cl::bsSingle);  // the form's window is made anew
  ASSERT_NE(form_->Handle(), oldForm);
  EXPECT_FALSE(IsWindow(oldForm));
  ASSERT_TRUE(IsWindow(wnd));
  EXPECT_EQ(tw_->Handle(), wnd);
  // The new window of the form owns it once the form is on the screen.
  form_->Show();
  SetActiveWindow(form_->Handle());
  EXPECT_TRUE(OnScreen());
  EXPECT_EQ(GetWindow(wnd, GW_OWNER), form_->Handle());
}

TEST_F(ToolDockTest, TheHookRegistryIsEmptyOnceTheLastToolWindowIsFreed) {
  EXPECT_EQ(toolkit::HookCallbackCount(toolkit::dock::ToolWindowHookCallback), 1);
  auto* second = new TToolWin(app_.get());
  second->SetParent(form_);
  EXPECT_EQ(toolkit::HookCallbackCount(toolkit::dock::ToolWindowHookCallback), 2);
  EXPECT_EQ(toolkit::dock::FloatingToolWindowCount(), 2);
  const int forms = cl::Screen().FormCount();
  delete second;
  EXPECT_EQ(toolkit::HookCallbackCount(toolkit::dock::ToolWindowHookCallback), 1);
  EXPECT_EQ(toolkit::dock::FloatingToolWindowCount(), 1);
  EXPECT_EQ(cl::Screen().FormCount(), forms - 1);  // its carrier went with it
  delete form_;  // frees twEditor, its carrier and its hooks
  form_ = nullptr;
  EXPECT_FALSE(toolkit::HookCallbacksRegistered());
  for (int slot = 0; slot < 3; ++slot) {
    EXPECT_FALSE(toolkit::HookInstalled(slot)) << slot;
    EXPECT_EQ(toolkit::HookUseCount(slot), 0) << slot;
  }
  EXPECT_EQ(toolkit::dock::FloatingToolWindowCount(), 0);
}

TEST_F(ToolDockTest, AToolWindowThatOutlivesItsFormStopsFloating) {
  auto* tw = new TToolWin(app_.get());
  tw->SetParent(form_);
  tw->Show();
  ASSERT_TRUE(tw->HandleAllocated());
  const int forms = cl::Screen().FormCount();
  delete form_;
  form_ = nullptr;
  EXPECT_EQ(tw->Parent(), nullptr);
  EXPECT_EQ(tw->FloatingParent(), nullptr);
  // The form, and both carriers: twEditor's (it went with its form) and this window's.
  EXPECT_EQ(cl::Screen().FormCount(), forms - 3);
  EXPECT_EQ(toolkit::dock::FloatingToolWindowCount(), 0);
  delete tw;
}

TEST_F(ToolDockTest, EscapeInTheToolWindowGivesTheFocusBackToTheForm) {
  auto* inside = cl::ComponentAs<cl::TEdit>(form_, "edtInside");
  auto* main = cl::ComponentAs<cl::TEdit>(form_, "edtMain");
  SetForegroundWindow(form_->Handle());
  main->SetFocus();
  tw_->Show();
  ASSERT_TRUE(OnScreen());
  inside->SetFocus();
  ASSERT_EQ(GetFocus(), inside->Handle());
  PostMessageW(inside->Handle(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageW(inside->Handle(), WM_KEYUP, VK_ESCAPE, 0xC0010001);
  Pump();
  EXPECT_EQ(GetActiveWindow(), form_->Handle());
  EXPECT_EQ(GetFocus(), main->Handle());
  EXPECT_TRUE(OnScreen());
}

TEST_F(ToolDockTest, ClosingTheToolWindowsWindowClosesItsFormInstead) {
  int queries = 0;
  form_->OnCloseQuery = [&](cl::TObject*, bool& canClose) {
    ++queries;
    canClose = false;
  };
  tw_->Show();
  SendMessageW(tw_->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(queries, 1);
  EXPECT_TRUE(OnScreen());
  EXPECT_TRUE(tw_->Visible());
}

TEST_F(ToolDockTest, AClickDoesNotActivateTheToolWindowButItsForm) {
  tw_->Show();
  ASSERT_TRUE(OnScreen());
  // Another window of the program is active when the click comes.
  auto* other = cl::NewForm<cl::TForm>(app_.get());
  other->SetBounds(700, 500, 200, 150);
  other->Show();
  SetActiveWindow(other->Handle());
  ASSERT_EQ(GetActiveWindow(), other->Handle());
  EXPECT_EQ(SendMessageW(tw_->Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(tw_->Handle()),
                         MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), form_->Handle());
}

TEST_F(ToolDockTest, SizedFromOutsideItKeepsTheNewClientSize) {
  tw_->Show();
  const HWND wnd = tw_->Handle();
  const RECT r = WindowRect(wnd);
  SetWindowPos(wnd, nullptr, 0, 0, (r.right - r.left) + 40, (r.bottom - r.top) + 20,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  RECT client;
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, 513);
  EXPECT_EQ(client.bottom, 252);
  EXPECT_EQ(tw_->BaseClientWidth(), 513);
  EXPECT_EQ(tw_->BaseClientHeight(), 252);
  EXPECT_EQ(tw_->ClientAreaWidth(), 513);
}

TEST_F(ToolDockTest, FloatingOverAnotherFormAnnouncesTheChangeAndTradesTheCarrier) {
  tw_->Show();
  ASSERT_TRUE(OnScreen());
  auto* other = cl::NewForm<cl::TForm>(app_.get());
  other->SetBounds(300, 300, 300, 200);
  other->Show();
  std::vector<std::string> events;
  auto note = [&](const char* name) { return [&events, name](cl::TObject*) { events.push_back(name); }; };
  tw_->OnDockChanging = note("changing");
  tw_->OnRecreating = note("recreating");
  tw_->OnRecreated = note("recreated");
  tw_->OnDockChanged = note("changed");
  tw_->OnDockChangingEx = [&](cl::TObject*, toolkit::dock::TToolDock* dock) {
    events.push_back(dock ? "changingEx dock" : "changingEx float");
  };
  tw_->OnDockChangingHidden = [&](cl::TObject*, toolkit::dock::TToolDock*) {
    events.push_back(IsWindowVisible(tw_->Handle()) ? "hidden? no" : "hidden");
  };
  const cl::TCustomForm* oldCarrier = tw_->FloatingParent();
  const int forms = cl::Screen().FormCount();
  tw_->SetParent(other);
  EXPECT_EQ(events, (std::vector<std::string>{"changing", "changingEx float", "recreating", "hidden", "recreated",
                                              "changed"}));
  auto* carrier = dynamic_cast<TFloatingWindowParent*>(tw_->FloatingParent());
  ASSERT_NE(carrier, nullptr);
  EXPECT_NE(carrier, oldCarrier);
  EXPECT_EQ(carrier->ParentForm(), other);
  EXPECT_EQ(cl::Screen().FormCount(), forms);  // the old carrier went
  EXPECT_EQ(toolkit::dock::FloatingToolWindowCount(), 1);
  SetActiveWindow(other->Handle());
  EXPECT_TRUE(OnScreen());
  EXPECT_EQ(GetWindow(tw_->Handle(), GW_OWNER), other->Handle());
  // Taken off every parent, nothing is announced.
  events.clear();
  tw_->SetParent(nullptr);
  EXPECT_TRUE(events.empty());
}

TEST_F(ToolDockTest, AFreedDockIsForgottenAsTheDefaultDock) {
  auto* dock = new toolkit::dock::TToolDock(app_.get());
  tw_->SetDefaultDock(dock);
  EXPECT_EQ(tw_->DefaultDock(), dock);
  delete dock;
  EXPECT_EQ(tw_->DefaultDock(), nullptr);
  EXPECT_EQ(toolkit::dock::DockOrientationOf(nullptr), 0);
}

TEST_F(ToolDockTest, OnTopOfAllFormsItIsOwnedByTheApplicationAndTopmostWhileEnabled) {
  tw_->Show();
  ASSERT_TRUE(OnScreen());
  const HWND wnd = tw_->Handle();
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);  // its form is not topmost
  tw_->SetFloatingMode(toolkit::dock::fmOnTopOfAllForms);
  EXPECT_EQ(GetWindow(wnd, GW_OWNER), app_->Handle());
  EXPECT_NE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  // Disabled (a modal dialog runs), it gives up its topmost place.
  EnableWindow(wnd, FALSE);
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EnableWindow(wnd, TRUE);
  EXPECT_NE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  // Back over its form: topmost exactly while the form is.
  tw_->SetFloatingMode(toolkit::dock::fmOnTopOfParentForm);
  EXPECT_EQ(GetWindow(wnd, GW_OWNER), form_->Handle());
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  form_->SetFormStyle(cl::fsStayOnTop);
  tw_->UpdateTopmost();
  EXPECT_NE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(ToolDockTest, ItsSizeFollowsItsContentsWishAndTheStyleItsResizable) {
  tw_->Show();
  auto* panel = new cl::TPanel(form_);
  panel->SetParent(tw_);
  panel->SetAlign(cl::alClient);
  // Aligning the content leaves the client size as wished.
  EXPECT_EQ(tw_->ClientAreaWidth(), 473);
  EXPECT_EQ(tw_->ClientAreaHeight(), 232);
  EXPECT_EQ(panel->Width(), 473);
  tw_->SetClientAreaSize(300, 120);
  EXPECT_EQ(tw_->BaseClientWidth(), 300);
  EXPECT_EQ(tw_->BaseClientHeight(), 120);
  EXPECT_EQ(panel->Height(), 120);
  // Without sizing, the window is made anew without its sizing frame, with the same client size.
  const HWND before = tw_->Handle();
  tw_->SetResizable(false);
  ASSERT_TRUE(OnScreen());
  EXPECT_NE(tw_->Handle(), before);
  EXPECT_EQ(GetWindowLongPtrW(tw_->Handle(), GWL_STYLE) & WS_THICKFRAME, 0);
  EXPECT_EQ(tw_->ClientAreaWidth(), 300);
  EXPECT_EQ(tw_->ClientAreaHeight(), 120);
  EXPECT_EQ(GetWindow(tw_->Handle(), GW_OWNER), form_->Handle());
}

// The floating window wears its own frame: a small caption with the window's text, a close button and
// sizing borders, answered and drawn by the window itself.
TEST_F(ToolDockTest, FloatingItDrawsAndAnswersItsOwnFrame) {
  tw_->Show();
  Pump();
  ASSERT_TRUE(OnScreen());
  const HWND wnd = tw_->Handle();
  const RECT window = WindowRect(wnd);
  const SIZE frame = toolkit::FloatingFrameSize(true);
  const toolkit::TNonClientSize nc = toolkit::FloatingNonClientSize(true, true);
  EXPECT_EQ(tw_->FrameWidth(), nc.FrameWidth());
  EXPECT_EQ(tw_->FrameHeight(), nc.FrameHeight());
  EXPECT_EQ(tw_->ClientAreaWidth(), 473);
  EXPECT_EQ(tw_->ClientAreaHeight(), 232);
  POINT client{0, 0};
  ClientToScreen(wnd, &client);
  EXPECT_EQ(client.x - window.left, nc.left);
  EXPECT_EQ(client.y - window.top, nc.top);

  const auto hit = [&](int x, int y) {
    return SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + x, window.top + y));
  };
  const RECT close = toolkit::FloatingCloseButtonRect(true, tw_->ClientWidth());
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  EXPECT_EQ(hit(frame.cx + 20, frame.cy + 4), HTCLIENT);  // the caption drags the window
  EXPECT_EQ(hit((close.left + close.right) / 2, (close.top + close.bottom) / 2), HTCLOSE);
  EXPECT_EQ(hit(0, height / 2), HTLEFT);
  EXPECT_EQ(hit(width - 1, height - 1), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(width / 2, height - 1), HTBOTTOM);
  // No skin takes it, or its empty carrier, for a window of its own: the skin's query is answered.
  EXPECT_EQ(SendMessageW(wnd, toolkit::dock::kSkinnedQuery, 0, 0), 1);
  EXPECT_EQ(SendMessageW(tw_->FloatingParent()->Handle(), toolkit::dock::kSkinnedQuery, 0, 0), 1);

  // Printed, the caption band is the caption's colour, active while the program is, and the line below
  // it the face colour.
  const auto printed = [&](int x, int y) {
    const hktest::PaintSurface surface(width, height);
    SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(surface.DC()), PRF_NONCLIENT);
    return surface.Pixel(x, y);
  };
  SetForegroundWindow(form_->Handle());
  ASSERT_TRUE(hktest::PumpUntil([&] { return GetActiveWindow() == form_->Handle(); }));
  tw_->UpdateVisibility();
  EXPECT_EQ(printed(frame.cx + 1, frame.cy + 1), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(printed(frame.cx + 40, close.bottom), GetSysColor(COLOR_BTNFACE));
  SendMessageW(form_->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(printed(frame.cx + 1, frame.cy + 1), GetSysColor(COLOR_INACTIVECAPTION));
  SendMessageW(form_->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_EQ(printed(frame.cx + 1, frame.cy + 1), GetSysColor(COLOR_ACTIVECAPTION));
}

// The close button asks OnCloseQuery and then hides the window and says so; a refusal keeps it.
TEST_F(ToolDockTest, ItsCloseButtonAsksAndHidesTheWindow) {
  tw_->Show();
  Pump();
  ASSERT_TRUE(OnScreen());
  const HWND wnd = tw_->Handle();
  const RECT window = WindowRect(wnd);
  const RECT close = toolkit::FloatingCloseButtonRect(true, tw_->ClientWidth());
  const POINT at{window.left + (close.left + close.right) / 2, window.top + (close.top + close.bottom) / 2};
  bool allow = false;
  int asked = 0;
  int closed = 0;
  tw_->OnCloseQuery = [&](cl::TObject*, bool& canClose) {
    ++asked;
    canClose = allow;
  };
  tw_->OnClose = [&](cl::TObject*) { ++closed; };
  const auto clickClose = [&] {
    SetCursorPos(at.x, at.y);
    modaltest::TScript script({[&] { PostMessageW(wnd, WM_LBUTTONUP, 0, 0); }});
    SendMessageW(wnd, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(at.x, at.y));
    EXPECT_FALSE(script.Overran());
    EXPECT_EQ(GetCapture(), nullptr);
  };
  clickClose();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(closed, 0);
  EXPECT_TRUE(tw_->Visible());
  EXPECT_TRUE(IsWindowVisible(wnd));
  allow = true;
  clickClose();
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(tw_->Visible());
  EXPECT_FALSE(IsWindowVisible(wnd));
}

// Sized by its border, the window never gets a client area below its minimum.
TEST_F(ToolDockTest, SizedByItsBorderItKeepsItsMinimumClientSize) {
  tw_->Show();
  Pump();
  ASSERT_TRUE(OnScreen());
  const HWND wnd = tw_->Handle();
  const RECT before = WindowRect(wnd);
  const POINT from{before.right - 1, (before.top + before.bottom) / 2};
  SetCursorPos(from.x, from.y);
  modaltest::TScript script({[&] {
                              SetCursorPos(before.left - 200, from.y);
                              PostMessageW(wnd, WM_MOUSEMOVE, 0, 0);
                            },
                            [&] { PostMessageW(wnd, WM_LBUTTONUP, 0, 0); }});
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(from.x, from.y));
  EXPECT_FALSE(script.Overran());
  EXPECT_EQ(tw_->ClientAreaWidth(), tw_->MinClientWidth());
  EXPECT_EQ(tw_->ClientAreaHeight(), 232);
  EXPECT_EQ(WindowRect(wnd).left, before.left);
  EXPECT_EQ(tw_->BaseClientWidth(), tw_->MinClientWidth());
}

// Dragged by its caption, the window follows the mouse with the grabbed point kept; Esc leaves it.
TEST_F(ToolDockTest, DraggedByItsCaptionItMovesWhereTheMouseIsReleased) {
  tw_->Show();
  Pump();
  ASSERT_TRUE(OnScreen());
  const HWND wnd = tw_->Handle();
  const RECT before = WindowRect(wnd);
  int moves = 0;
  tw_->OnMove = [&](cl::TObject*) { ++moves; };
  const POINT at{before.left + 30, before.top + toolkit::FloatingFrameSize(true).cy + 4};
  POINT client = at;
  ScreenToClient(wnd, &client);
  const auto drag = [&](std::vector<std::function<void()>> steps) {
    SetCursorPos(at.x, at.y);
    modaltest::TScript script(std::move(steps));
    SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    EXPECT_FALSE(script.Overran());
    EXPECT_EQ(GetCapture(), nullptr);
  };
  const auto moveBy = [&](int dx, int dy) {
    return [&, dx, dy] {
      SetCursorPos(at.x + dx, at.y + dy);
      PostMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, 0);
    };
  };
  drag({moveBy(60, 40), [&] { PostMessageW(wnd, WM_KEYDOWN, VK_ESCAPE, 0); }});
  EXPECT_EQ(WindowRect(wnd).left, before.left);
  EXPECT_EQ(WindowRect(wnd).top, before.top);
  EXPECT_EQ(moves, 0);

  drag({moveBy(60, 40), [&] { PostMessageW(wnd, WM_LBUTTONUP, 0, 0); }});
  const RECT after = WindowRect(wnd);
  EXPECT_EQ(after.left, before.left + 60);
  EXPECT_EQ(after.top, before.top + 40);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(tw_->FloatPos().x, after.left);
  EXPECT_EQ(tw_->FloatPos().y, after.top);
  EXPECT_GE(moves, 1);
}

}  // namespace
