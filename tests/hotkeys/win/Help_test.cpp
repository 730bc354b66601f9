// The program's help: the page below the program, opened by the shell (replaced here), a clear message
// when it cannot be, and the topics the windows ask for with F1.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "FormReader.h"
#include "Forms.h"
#include "SaRegister.h"
#include "StdClasses.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "WinString.h"
#include "hkHelp.h"
#include "hkList.h"
#include "hkPrint.h"
#include "hkSpecial.h"
#include "FormsTestSupport.h"

namespace {

// Records what would be opened; only the shell matters here.
class TFakeShell final : public hk::SystemCalls {
 public:
  struct Call {
    HWND owner;
    std::wstring verb, file, parameters;
    int show;
  };
  std::vector<Call> calls;
  bool succeeds = true;

  int PlatformId() override { return hk::PLATFORM_NT; }
  bool ShellExecuteFile(HWND owner, const std::wstring& verb, const std::wstring& file,
                        const std::wstring& parameters, int show) override {
    calls.push_back({owner, verb, file, parameters, show});
    return succeeds;
  }
  std::optional<float> GetMasterVolume() override { return std::nullopt; }
  bool SetMasterVolume(float) override { return false; }
  std::optional<DWORD> GetWaveVolume() override { return std::nullopt; }
  bool SetWaveVolume(DWORD) override { return false; }
  bool SendSysCommand(HWND, WPARAM) override { return false; }
  bool PostSysCommand(HWND, WPARAM) override { return false; }
  std::optional<int> GetMinAnimate() override { return std::nullopt; }
  bool SetMinAnimate(int) override { return false; }
  bool MciCommand(const std::wstring&) override { return false; }
};

// The text of a message box: its static control that is not the icon.
std::string MessageText(HWND box) {
  std::string text;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM p) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (_wcsicmp(cls, L"Static") == 0 && GetWindowTextLengthW(child) > 0)
          *reinterpret_cast<std::string*>(p) = dialogtest::WindowText(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

class HelpPage : public formstest::AppTest {
 protected:
  std::string Dir() const { return testsupport::Utf8(dir_.path.u8string()); }
  std::string Page() const { return Dir() + "\\Help\\help.html"; }
  void WritePage() {
    std::filesystem::create_directories(dir_.path / "Help");
    std::ofstream(dir_.path / "Help" / "help.html") << "<html></html>";
  }
  // Answers the next message box of the help and keeps its text.
  void AnswerMessage() {
    message_.clear();
    dialogtest::WhenDialog(timers_, hk::HELP_CAPTION, [this](HWND box) {
      message_ = MessageText(box);
      dialogtest::PressButton(box, IDOK);
    });
    timers_.Timeout(20000);
  }
  testsupport::TempDir dir_;
  TFakeShell shell_;
  std::string message_;
};

TEST_F(HelpPage, ThePageBelowTheProgramIsOpenedByTheShell) {
  WritePage();
  EXPECT_EQ(hk::HelpPagePath(Dir()), Page());
  EXPECT_EQ(hk::HelpPagePath(Dir() + "\\"), Page());
  EXPECT_TRUE(hk::OpenHelpPage(shell_, Dir() + "\\"));
  ASSERT_EQ(shell_.calls.size(), 1u);
  EXPECT_EQ(shell_.calls[0].owner, nullptr);
  EXPECT_EQ(shell_.calls[0].verb, L"open");
  EXPECT_EQ(shell_.calls[0].file, cl::ToWide(Page()));
  EXPECT_EQ(shell_.calls[0].parameters, L"");
  EXPECT_EQ(shell_.calls[0].show, SW_SHOW);
}

TEST_F(HelpPage, AMissingPageOrAFailedShellIsReported) {
  AnswerMessage();
  EXPECT_FALSE(hk::OpenHelpPage(shell_, Dir()));
  EXPECT_EQ(message_, "The help page " + Page() + " was not found.");
  EXPECT_TRUE(shell_.calls.empty());

  WritePage();
  shell_.succeeds = false;
  AnswerMessage();
  EXPECT_FALSE(hk::OpenHelpPage(shell_, Dir()));
  EXPECT_EQ(message_, "The help page " + Page() + " could not be opened.");
  EXPECT_EQ(shell_.calls.size(), 1u);
}

TEST_F(HelpPage, EveryTopicOfTheApplicationOpensThePage) {
  WritePage();
  hk::UseHelpPage(*app_, shell_, Dir());
  EXPECT_TRUE(app_->HelpContext(4));
  EXPECT_TRUE(app_->HelpKeyword(hk::SPECIAL_CHARS_HELP_TOPIC));
  ASSERT_EQ(shell_.calls.size(), 2u);
  EXPECT_EQ(shell_.calls[1].file, cl::ToWide(Page()));
}

// ----- the topics of the windows

class HelpTopics : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    toolkit::RegisterToolkitClasses();
    app_->OnHelp = [this](cl::TObject*, const cl::THelpRequest& request, bool& handled) {
      asked_.push_back(request.Command == HELP_CONTEXT ? std::to_string(request.Context) : request.Keyword);
      handled = true;
    };
  }
  // F1 as the keyboard gives it, through the message loop.
  void F1(cl::TWinControl* control) {
    PostMessageW(control->Handle(), WM_KEYDOWN, VK_F1, 1);
    PostMessageW(control->Handle(), WM_KEYUP, VK_F1, 0xC0000001);
    Pump();
  }
  std::vector<std::string> asked_;
};

TEST_F(HelpTopics, TheListPrintSettingsAndSpecialKeysWindowsAskForTheirOwn) {
  testsupport::TempDir dir;
  hk::HotkeyListHost host;
  host.definitionsFile = [&] { return dir.File("none.hkd"); };
  host.naming = [] { return hk::DefinitionsNaming{}; };
  host.clipboardNames = [] { return std::vector<std::string>{"1"}; };
  host.executeRegistered = [](int) {};
  host.closed = [] {};
  hk::TfrmHotkeyList* list = hk::NewHotkeyList(app_.get(), host);
  EXPECT_EQ(list->HelpContext(), 4);
  list->Show();
  Pump();
  F1(list->List());
  EXPECT_EQ(asked_, std::vector<std::string>{"4"});

  auto* print = cl::NewForm<hk::TfrmPrintSettings>(app_.get());
  EXPECT_EQ(print->HelpContext(), 5);
  print->Show();
  Pump();
  F1(cl::ComponentAs<cl::TCheckBox>(print, "chkData"));
  EXPECT_EQ(asked_.back(), "5");

  auto* special = cl::NewForm<hk::TfrmSpecialChars>(app_.get());
  EXPECT_EQ(special->HelpContext(), 6);
  special->Show();
  Pump();
  asked_.clear();
  // The text asks for the topic on special characters, and only for it; the rest of the dialog for its own.
  F1(cl::ComponentAs<cl::TMemo>(special, "mmoText"));
  F1(cl::ComponentAs<cl::TComboBox>(special, "cboSpecialChar"));
  EXPECT_EQ(asked_, (std::vector<std::string>{"Sending special characters", "6"}));
  EXPECT_TRUE(errors_.empty());
}

}  // namespace
