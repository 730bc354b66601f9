#include "Forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormReader.h"
#include "FormsTestSupport.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "WinString.h"

namespace {

using formstest::AppTest;

std::string WindowText(HWND wnd) {
  wchar_t buffer[256] = {};
  GetWindowTextW(wnd, buffer, 256);
  return cl::FromWide(buffer);
}

std::string WindowClass(HWND wnd) {
  wchar_t buffer[256] = {};
  GetClassNameW(wnd, buffer, 256);
  return cl::FromWide(buffer);
}

// Form classes of the tests; each has a class name no other test program uses, since test programs run
// side by side on one display.
class TfrmFormsTestMain : public cl::TForm {
  CL_PLAIN_CLASS(TfrmFormsTestMain, cl::TForm)
  explicit TfrmFormsTestMain(cl::TComponent* owner) : TForm(owner) {}
};

class TfrmFormsTestNotice : public cl::TForm {
  CL_PLAIN_CLASS(TfrmFormsTestNotice, cl::TForm)
  explicit TfrmFormsTestNotice(cl::TComponent* owner) : TForm(owner) {}
};

// Read from the resource TFRMFORMSTESTDESCRIBED of Forms_test.rc by its constructor.
class TfrmFormsTestDescribed : public cl::TForm {
  CL_CLASS(TfrmFormsTestDescribed, cl::TForm)
  explicit TfrmFormsTestDescribed(cl::TComponent* owner) : TForm(owner) {
    cl::RegisterClasses({cl::TButton::StaticClass()});
    readInConstructor = LoadDescription();
  }
  void FormCreate(cl::TObject*) { createSawButton = btnOk != nullptr; }
  void btnOkClick(cl::TObject*) { ++clicks; }

  CL_FIELDS((cl::TButton, btnOk))
  bool readInConstructor = false;
  bool createSawButton = false;
  int clicks = 0;
};
CL_BEGIN_CLASS(TfrmFormsTestDescribed)
    .Method("FormCreate", &TfrmFormsTestDescribed::FormCreate)
    .Method("btnOkClick", &TfrmFormsTestDescribed::btnOkClick)
CL_END_CLASS

// Forms whose fields their descriptions do not give: TFRMFORMSTESTLACKING has no edtName, and the button
// TFRMFORMSTESTMISTYPED has is not an edit; TfrmFormsTestUndescribed has no description at all.
class TfrmFormsTestLacking : public cl::TForm {
  CL_PLAIN_CLASS(TfrmFormsTestLacking, cl::TForm)
  explicit TfrmFormsTestLacking(cl::TComponent* owner) : TForm(owner) { LoadDescription(); }
  CL_FIELDS((cl::TButton, btnOk),
            (cl::TEdit, edtName))
};

class TfrmFormsTestMistyped : public cl::TForm {
  CL_PLAIN_CLASS(TfrmFormsTestMistyped, cl::TForm)
  explicit TfrmFormsTestMistyped(cl::TComponent* owner) : TForm(owner) { LoadDescription(); }
  CL_FIELDS((cl::TEdit, btnOk))
};

class TfrmFormsTestUndescribed : public cl::TForm {
  CL_PLAIN_CLASS(TfrmFormsTestUndescribed, cl::TForm)
  explicit TfrmFormsTestUndescribed(cl::TComponent* owner) : TForm(owner) {}
  CL_FIELDS((cl::TButton, btnOk))
};

// ---------------------------------------------------------------------------------------------------------

TEST_F(AppTest, TheFirstFormIsTheMainFormAndItsWindowIsFoundByClassName) {
  app_->SetTitle("Calderine");
  EXPECT_EQ(WindowClass(app_->Handle()), "TApplication");
  EXPECT_EQ(WindowText(app_->Handle()), "Calderine");
  EXPECT_FALSE(IsWindowVisible(app_->Handle()));

  TfrmFormsTestMain* main = nullptr;
  TfrmFormsTestNotice* notice = nullptr;
  app_->CreateForm(main);
  app_->CreateForm(notice);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(app_->MainForm(), main);
  EXPECT_EQ(main->Owner(), app_.get());

  // The running instance is found while it is still hidden.
  const HWND found = FindWindowW(L"TfrmFormsTestMain", nullptr);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found, main->Handle());
  EXPECT_FALSE(IsWindowVisible(found));
  EXPECT_EQ(GetWindow(found, GW_OWNER), app_->Handle());
  EXPECT_FALSE(notice->HandleAllocated());  // other forms get their windows when needed
  EXPECT_EQ(cl::TWinControl::FindControl(found), main);
}

TEST_F(AppTest, RunShowsTheMainFormAndEndsWhenItCloses) {
  TfrmFormsTestMain* main = nullptr;
  app_->CreateForm(main);
  std::vector<std::string> events;
  main->OnShow = [&](cl::TObject*) { events.push_back("show"); };
  main->OnClose = [&](cl::TObject*, cl::TCloseAction& a) {
    events.push_back("close");
    EXPECT_EQ(a, cl::caHide);
  };
  timers_.Timeout();
  timers_.After(30, [&] {
    events.push_back(IsWindowVisible(main->Handle()) ? "visible" : "hidden");
    PostMessageW(main->Handle(), WM_CLOSE, 0, 0);
  });
  app_->Run();
  EXPECT_TRUE(app_->Terminated());
  EXPECT_EQ(events, (std::vector<std::string>{"show", "visible", "close"}));
}

TEST_F(AppTest, RunKeepsTheMainFormHiddenWhenAskedAndTerminateEndsIt) {
  TfrmFormsTestMain* main = nullptr;
  app_->CreateForm(main);
  app_->SetShowMainForm(false);
  bool wasVisible = true;
  timers_.Timeout();
  timers_.After(30, [&] {
    wasVisible = IsWindowVisible(main->Handle()) != FALSE;
    app_->Terminate();
    EXPECT_FALSE(app_->Terminated());  // the loop sees it when it gets there
  });
  app_->Run();
  EXPECT_FALSE(wasVisible);
  EXPECT_TRUE(app_->Terminated());
}

TEST_F(AppTest, AnExceptionInAWindowProcedureReachesTheHandlerAndTheLoopGoesOn) {
  TfrmFormsTestMain* main = nullptr;
  app_->CreateForm(main);
  app_->SetShowMainForm(false);
  bool after = false;
  cl::TMessageLink link(main->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == WM_APP + 1) throw cl::EConvertError("bad value");
    if (m.Msg == WM_APP + 2) {
      after = true;
      app_->Terminate();
    }
    next(m);
  });
  PostMessageW(main->Handle(), WM_APP + 1, 0, 0);
  PostMessageW(main->Handle(), WM_APP + 2, 0, 0);
  timers_.Timeout();
  app_->Run();
  EXPECT_EQ(errors_, std::vector<std::string>{"bad value"});
  EXPECT_TRUE(after);
  link.Remove();
}

TEST_F(AppTest, AFailingCreateHandlerIsReportedAndTheFormIsMadeAllTheSame) {
  class TfrmBadCreate : public cl::TForm {
   public:
    explicit TfrmBadCreate(cl::TComponent* owner) : TForm(owner) {
      OnCreate = [](cl::TObject*) { throw cl::EInvalidOperation("create failed"); };
    }
  };
  TfrmBadCreate* form = nullptr;
  app_->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(app_->MainForm(), form);
  EXPECT_EQ(errors_, std::vector<std::string>{"create failed"});
}

TEST_F(AppTest, CloseQueryRefusingKeepsTheFormAndLeavesNothingBehind) {
  TfrmFormsTestMain* main = nullptr;
  app_->CreateForm(main);
  main->Show();
  int asked = 0;
  bool allow = false;
  cl::TCloseAction action = cl::caNone;
  int closed = 0;
  main->OnCloseQuery = [&](cl::TObject*, bool& canClose) {
    ++asked;
    canClose = allow;
  };
  main->OnClose = [&](cl::TObject*, cl::TCloseAction& a) {
    ++closed;
    a = action;
  };

  // Refused through the close box.
  SendMessageW(main->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(closed, 0);
  EXPECT_TRUE(main->Visible());
  EXPECT_FALSE(app_->Terminated());

  // Allowed, but the form decides to hide instead: the program goes on.
  allow = true;
  action = cl::caNone;
  main->Close();
  Pump();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(app_->Terminated());
  EXPECT_TRUE(main->Visible());

  // Only a close that nobody refuses ends the program.
  action = cl::caHide;
  main->Close();
  Pump();
  EXPECT_EQ(closed, 2);
  EXPECT_TRUE(app_->Terminated());
}

TEST_F(AppTest, ClosingAnotherFormHidesOrFreesIt) {
  TfrmFormsTestMain* main = nullptr;
  TfrmFormsTestNotice* other = nullptr;
  app_->CreateForm(main);
  app_->CreateForm(other);
  other->Show();
  other->Close();
  EXPECT_FALSE(other->Visible());
  EXPECT_FALSE(IsWindowVisible(other->Handle()));

  bool destroyed = false;
  other->OnDestroy = [&](cl::TObject*) { destroyed = true; };
  other->OnClose = [](cl::TObject*, cl::TCloseAction& a) { a = cl::caFree; };
  other->Show();
  other->Close();
  EXPECT_FALSE(destroyed);  // freed only after its own handlers have returned
  Pump();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(FindWindowW(L"TfrmFormsTestNotice", nullptr), nullptr);
  EXPECT_EQ(app_->ComponentCount(), 1);
  EXPECT_FALSE(app_->Terminated());
}

TEST_F(AppTest, ShowModalEndsWithTheModalResultAndDisablesTheOtherForms) {
  TfrmFormsTestMain* main = nullptr;
  app_->CreateForm(main);
  main->Show();
  auto* dialog = cl::NewForm<cl::TForm>(main);
  bool mainEnabledDuring = true;
  bool dialogVisibleDuring = false;
  timers_.Timeout();
  timers_.After(30, [&] {
    mainEnabledDuring = IsWindowEnabled(main->Handle()) != FALSE;
    dialogVisibleDuring = IsWindowVisible(dialog->Handle()) != FALSE;
    EXPECT_TRUE(dialog->Modal());
    dialog->SetModalResult(cl::mrOk);
  });
  EXPECT_EQ(dialog->ShowModal(), cl::mrOk);
  EXPECT_FALSE(mainEnabledDuring);
  EXPECT_TRUE(dialogVisibleDuring);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->Modal());

  // Showing a visible form modally is refused.
  dialog->Show();
  EXPECT_THROW(dialog->ShowModal(), cl::EInvalidOperation);
}

TEST_F(AppTest, ShowModalEndsByAButtonWithAModalResultAndByClose) {
  TfrmFormsTestMain* main = nullptr;
  app_->CreateForm(main);
  auto* dialog = cl::NewForm<cl::TForm>(main);
  auto* yes = new cl::TButton(dialog);
  yes->SetParent(dialog);
  yes->SetModalResult(cl::mrYes);
  int clicks = 0;
  yes->OnClick = [&](cl::TObject*) { ++clicks; };
  timers_.Timeout();
  timers_.After(30, [&] { SendMessageW(yes->Handle(), BM_CLICK, 0, 0); });
  EXPECT_EQ(dialog->ShowModal(), cl::mrYes);
  EXPECT_EQ(clicks, 1);

  // Close asks OnCloseQuery; a refusal keeps the dialog up until the next close.
  int asked = 0;
  dialog->OnCloseQuery = [&](cl::TObject*, bool& canClose) { canClose = ++asked > 1; };
  timers_.After(30, [&] { dialog->Close(); });
  timers_.After(60, [&] {
    EXPECT_TRUE(dialog->Visible());
    PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(dialog->ShowModal(), cl::mrCancel);
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(app_->Terminated());
}

TEST_F(AppTest, TerminateEndsAModalLoopAndThenRun) {
  TfrmFormsTestMain* main = nullptr;
  app_->CreateForm(main);
  auto* dialog = cl::NewForm<cl::TForm>(main);
  cl::TModalResult result = -1;
  timers_.Timeout();
  timers_.After(20, [&] { result = dialog->ShowModal(); });
  timers_.After(60, [&] { app_->Terminate(); });
  app_->Run();
  EXPECT_EQ(result, cl::mrCancel);
  EXPECT_TRUE(app_->Terminated());
  EXPECT_FALSE(dialog->Visible());
}

TEST_F(AppTest, FreeingTheMainFormEndsTheLoop) {
  TfrmFormsTestMain* main = nullptr;
  app_->CreateForm(main);
  timers_.Timeout();
  timers_.After(20, [&] { delete main; });
  app_->Run();
  EXPECT_EQ(app_->MainForm(), nullptr);
  EXPECT_TRUE(app_->Terminated());
}

TEST_F(AppTest, BorderAndFormStylesShapeTheWindow) {
  auto* form = cl::NewForm<cl::TForm>(app_.get());
  form->SetCaption("Settings");
  form->SetBorderStyle(cl::bsDialog);
  form->SetFormStyle(cl::fsStayOnTop);
  form->SetPosition(cl::poScreenCenter);
  form->SetClientWidth(200);
  form->SetClientHeight(100);
  form->Show();
  const HWND wnd = form->Handle();
  EXPECT_EQ(WindowText(wnd), "Settings");
  EXPECT_EQ(WindowClass(wnd), "TForm");
  const auto style = GetWindowLongPtrW(wnd, GWL_STYLE);
  const auto exStyle = GetWindowLongPtrW(wnd, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  RECT client;
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  RECT r;
  GetWindowRect(wnd, &r);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  // A later change of the border keeps the client area.
  form->SetBorderStyle(cl::bsNone);
  EXPECT_EQ(form->ClientWidth(), 200);
  EXPECT_FALSE(GetWindowLongPtrW(form->Handle(), GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(AppTest, WindowStateIsAppliedWhenShownAndFollowsTheWindow) {
  auto* form = cl::NewForm<cl::TForm>(app_.get());
  form->SetWindowState(cl::wsMaximized);
  form->Show();
  EXPECT_TRUE(IsZoomed(form->Handle()));
  ShowWindow(form->Handle(), SW_RESTORE);
  EXPECT_EQ(form->WindowState(), cl::wsNormal);
  form->SetWindowState(cl::wsMaximized);
  EXPECT_TRUE(IsZoomed(form->Handle()));
  form->Hide();
  EXPECT_EQ(form->WindowState(), cl::wsMaximized);
}

TEST_F(AppTest, AFormReadsItsDescriptionFromItsResource) {
  TfrmFormsTestDescribed* form = nullptr;
  app_->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->readInConstructor);
  EXPECT_TRUE(form->createSawButton);  // OnCreate runs after the constructor bound the fields
  EXPECT_EQ(form->Name(), "frmFormsTestDescribed");
  EXPECT_EQ(form->Caption(), "Described");
  EXPECT_EQ(form->BorderStyle(), cl::bsSingle);
  EXPECT_EQ(form->ClientWidth(), 240);
  EXPECT_EQ(form->ClientHeight(), 120);
  ASSERT_NE(form->btnOk, nullptr);
  EXPECT_EQ(form->btnOk->Parent(), form);
  EXPECT_EQ(form->btnOk->Caption(), "OK");
  EXPECT_EQ(form->btnOk->Left(), 10);
  SendMessageW(form->btnOk->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->clicks, 1);

  // A form in code has no description, and says so.
  auto* plain = cl::NewForm<TfrmFormsTestNotice>(app_.get());
  EXPECT_EQ(plain->ControlCount(), 0);
}

TEST_F(AppTest, AFormWhoseDescriptionLacksAFieldOrGivesAnotherClassIsNotMade) {
  cl::RegisterClasses({cl::TButton::StaticClass(), cl::TEdit::StaticClass()});
  const int owned = app_->ComponentCount();
  EXPECT_EQ(testsupport::MessageOf<cl::EComponentError>([&] { cl::NewForm<TfrmFormsTestLacking>(app_.get()); }),
            "TfrmFormsTestLacking: field edtName expects a TEdit; no component edtName");
  EXPECT_EQ(testsupport::MessageOf<cl::EComponentError>([&] { cl::NewForm<TfrmFormsTestMistyped>(app_.get()); }),
            "TfrmFormsTestMistyped: field btnOk expects a TEdit; btnOk is a TButton");
  // Read by AfterConstruction, which finds no description.
  EXPECT_EQ(testsupport::MessageOf<cl::EComponentError>([&] { cl::NewForm<TfrmFormsTestUndescribed>(app_.get()); }),
            "TfrmFormsTestUndescribed: field btnOk expects a TButton; no component btnOk");
  EXPECT_EQ(app_->ComponentCount(), owned);
}

TEST_F(AppTest, AFormWritesTheDescriptionItIsReadFrom) {
  auto* form = cl::NewForm<TfrmFormsTestMain>(app_.get());
  form->SetName("frmFormsTestMain");
  form->SetCaption("Round trip");
  form->SetBorderStyle(cl::bsToolWindow);
  form->SetBorderIcons({cl::biSystemMenu});
  form->SetKeyPreview(true);
  form->SetClientWidth(300);
  form->SetClientHeight(150);
  auto* button = new cl::TButton(form);
  button->SetName("btnGo");
  button->SetParent(form);
  button->SetBounds(8, 9, 80, 24);
  button->SetDefault(true);
  const std::string text = cl::WriteFormText(form);
  EXPECT_EQ(text.find("Width = "), text.find("ClientWidth = ") + 6);  // only the client size is stored
  EXPECT_EQ(text.find("Visible"), std::string::npos);

  cl::RegisterClasses({cl::TButton::StaticClass()});
  auto* copy = new TfrmFormsTestMain(app_.get());
  cl::ReadRootComponent(copy, text);
  EXPECT_EQ(copy->Caption(), "Round trip");
  EXPECT_EQ(copy->BorderStyle(), cl::bsToolWindow);
  EXPECT_EQ(copy->BorderIcons(), cl::TBorderIcons{cl::biSystemMenu});
  EXPECT_TRUE(copy->KeyPreview());
  EXPECT_EQ(copy->ClientWidth(), 300);
  EXPECT_EQ(copy->ClientHeight(), 150);
  auto* copied = cl::ComponentAs<cl::TButton>(copy, "btnGo");
  EXPECT_EQ(copied->Parent(), copy);
  EXPECT_EQ(copied->BoundsRect(), cl::Bounds(8, 9, 80, 24));
  EXPECT_TRUE(copied->Default());
}

}  // namespace

namespace {

TEST_F(AppTest, TheScreenListsTheFormsThatExistInCreationOrder) {
  cl::TScreen& screen = cl::Screen();
  const int before = screen.FormCount();
  TfrmFormsTestMain* main = nullptr;
  app_->CreateForm(main);
  auto* notice = cl::NewForm<TfrmFormsTestNotice>(app_.get());
  {
    TfrmFormsTestNotice onStack(nullptr);
    ASSERT_EQ(screen.FormCount(), before + 3);
    EXPECT_EQ(screen.Forms(before + 2), &onStack);
  }
  ASSERT_EQ(screen.FormCount(), before + 2);
  EXPECT_EQ(screen.Forms(before), main);
  EXPECT_EQ(screen.Forms(before + 1), notice);
  EXPECT_EQ(screen.FindForm(notice->Handle()), notice);
  EXPECT_EQ(screen.FindForm(app_->Handle()), nullptr);
  EXPECT_THROW(screen.Forms(before + 2), cl::EListError);

  // A form being freed has left the list already when its OnDestroy runs.
  int countInDestroy = -1;
  notice->OnDestroy = [&](cl::TObject*) { countInDestroy = screen.FormCount(); };
  delete notice;
  EXPECT_EQ(countInDestroy, before + 1);
  EXPECT_EQ(screen.FormCount(), before + 1);
  EXPECT_TRUE(main->AutoScroll());
}

}  // namespace
