// MDI forms: a frame holds an MDI client, its children live in it, maximise into the frame, and leave
// through the client.
#include <gtest/gtest.h>
#include <windows.h>

#include "Forms.h"
#include "FormsTestSupport.h"
#include "MessageLoop.h"
#include "StdClasses.h"

namespace {

class MDIFormsTest : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    frame_ = cl::NewForm<cl::TForm>(app_.get());
    frame_->SetFormStyle(cl::fsMDIForm);
    frame_->SetBounds(40, 40, 500, 400);
    frame_->Show();
  }
  void TearDown() override {
    delete frame_;
    AppTest::TearDown();
  }
  cl::TForm* NewChild(const char* caption) {
    auto* child = cl::NewForm<cl::TForm>(app_.get());
    child->SetFormStyle(cl::fsMDIChild);
    child->SetCaption(caption);
    child->SetBounds(10, 10, 200, 150);
    child->Show();
    return child;
  }
  HWND Active() const {
    return reinterpret_cast<HWND>(SendMessageW(frame_->ClientHandle(), WM_MDIGETACTIVE, 0, 0));
  }
  cl::TForm* frame_ = nullptr;
};

TEST_F(MDIFormsTest, TheFramesClientFillsItAndHoldsTheChildren) {
  const HWND client = frame_->ClientHandle();
  ASSERT_NE(client, nullptr);
  wchar_t name[32] = {};
  GetClassNameW(client, name, 32);
  EXPECT_STREQ(name, L"MDIClient");
  RECT inFrame{}, clientRect{};
  GetClientRect(frame_->Handle(), &inFrame);
  GetWindowRect(client, &clientRect);
  EXPECT_EQ(clientRect.right - clientRect.left, inFrame.right);
  EXPECT_EQ(clientRect.bottom - clientRect.top, inFrame.bottom);
  // A larger frame, a larger client.
  frame_->SetBounds(40, 40, 600, 450);
  GetClientRect(frame_->Handle(), &inFrame);
  GetWindowRect(client, &clientRect);
  EXPECT_EQ(clientRect.right - clientRect.left, inFrame.right);

  cl::TForm* first = NewChild("First");
  cl::TForm* second = NewChild("Second");
  for (cl::TForm* child : {first, second}) {
    EXPECT_EQ(GetParent(child->Handle()), client);
    EXPECT_NE(GetWindowLongPtrW(child->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD, 0);
  }
  EXPECT_EQ(Active(), second->Handle());
  delete second;
  EXPECT_EQ(Active(), first->Handle());
  delete first;
  EXPECT_EQ(Active(), nullptr);
}

TEST_F(MDIFormsTest, AMaximisedChildFillsTheClientAndRestoresFromIt) {
  cl::TForm* child = NewChild("Child");
  SendMessageW(frame_->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  EXPECT_TRUE(IsZoomed(child->Handle()));
  BOOL maximised = FALSE;
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(frame_->ClientHandle(), WM_MDIGETACTIVE, 0,
                                                reinterpret_cast<LPARAM>(&maximised))),
            child->Handle());
  EXPECT_TRUE(maximised);
  RECT client{};
  GetClientRect(frame_->ClientHandle(), &client);
  RECT inChild{};
  GetClientRect(child->Handle(), &inChild);
  EXPECT_EQ(inChild.right, client.right);
  SendMessageW(frame_->ClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  EXPECT_FALSE(IsZoomed(child->Handle()));
  delete child;
}

TEST(MDIForms, AChildWithoutAFrameIsRefusedWithAClearError) {
  cl::TApplication app;
  app.Initialize();
  cl::RegisterStandardClasses();
  auto* child = cl::NewForm<cl::TForm>(&app);
  child->SetFormStyle(cl::fsMDIChild);
  try {
    child->HandleNeeded();
    FAIL() << "made an MDI child without a frame";
  } catch (const cl::EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Cannot create form. No MDI forms are currently active");
  }
}

}  // namespace
