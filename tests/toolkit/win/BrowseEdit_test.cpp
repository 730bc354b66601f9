#include "SaBrowseEdit.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FormsTestSupport.h"
#include "DialogDriver.h"
#include "FormReader.h"
#include "SaBrowseFolder.h"
#include "SaRegister.h"
#include "StdClasses.h"
#include "TestSupport.h"
#include "WinString.h"

namespace {

using dialogtest::PressButton;
using dialogtest::WhenDialog;
using formstest::AppTest;
using formstest::PrintedRow;
using toolkit::TSaBrowseEdit;
using toolkit::TSaBrowseForFolder;

HWND FileNameField(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, cmb13)) return combo;
  return GetDlgItem(dialog, edt1);
}

std::string EditText(HWND wnd) { return dialogtest::WindowText(wnd); }

std::filesystem::path Normal(const std::string& path) {
  std::error_code ec;
  auto p = std::filesystem::weakly_canonical(std::filesystem::u8path(path), ec);
  return p.lexically_normal();
}

bool SamePath(const std::string& a, const std::string& b) {
  return cl::SameText(testsupport::Utf8(Normal(a).u8string()), testsupport::Utf8(Normal(b).u8string()));
}

class BrowseEditTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    form_->SetBounds(40, 40, 400, 200);
    edit_ = new TSaBrowseEdit(form_);
    edit_->SetParent(form_);
    edit_->SetBounds(10, 10, 200, 24);
    form_->Show();
    SetActiveWindow(form_->Handle());
    Pump();
  }
  // A mouse message to the edit's window at a point of its client area.
  void Mouse(UINT msg, int x, int y) {
    SendMessageW(edit_->Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
  }
  // Inside the button, in the edit's client area.
  int ButtonX() const { return edit_->ClientWidth() - 12; }
  // A click of the browse button with the mouse: the edit's window gets it, in the button's area.
  void ClickButton() {
    Mouse(WM_LBUTTONDOWN, ButtonX(), 4);
    Mouse(WM_LBUTTONUP, ButtonX(), 4);
  }
  bool ButtonHeld() const { return edit_->Button()->State() == cl::bsDown; }
  cl::TForm* form_ = nullptr;
  TSaBrowseEdit* edit_ = nullptr;
};

TEST_F(BrowseEditTest, ButtonSitsAtTheRightEndAndTheTextStaysLeftOfIt) {
  auto check = [&] {
    RECT client{};
    GetClientRect(edit_->Handle(), &client);
    const cl::TRect b = edit_->Button()->BoundsRect();
    const RECT bounds{b.Left, b.Top, b.Right, b.Bottom};
    EXPECT_EQ(bounds.left, client.right - 16);
    EXPECT_EQ(bounds.right, client.right);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.bottom, client.bottom);
    RECT text{};
    SendMessageW(edit_->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    // The edit may keep a margin inside the rectangle; it never reaches the button.
    EXPECT_LE(text.right, client.right - 16);
    EXPECT_GE(text.right, client.right - 16 - 8);
  };
  check();
  edit_->SetBounds(10, 10, 300, 30);
  Pump();
  check();
  EXPECT_TRUE(edit_->Button()->Visible());
}

TEST_F(BrowseEditTest, TheButtonIsASpeedButtonWithoutAWindow) {
  toolkit::TSaBrowseButton* button = edit_->Button();
  EXPECT_TRUE(button->InheritsFrom("TSpeedButton"));
  EXPECT_EQ(dynamic_cast<cl::TWinControl*>(static_cast<cl::TControl*>(button)), nullptr);
  EXPECT_EQ(button->Parent(), edit_);
  EXPECT_EQ(button->Owner(), edit_);
  EXPECT_EQ(button->Cursor(), cl::crArrow);
  EXPECT_FALSE(button->ControlStyle().Contains(cl::csDoubleClicks));
  // The edit has no child window.
  EXPECT_EQ(GetWindow(edit_->Handle(), GW_CHILD), nullptr);
}

TEST_F(BrowseEditTest, EnterBeepsRaisesKeyPressAndInsertsNothing) {
  edit_->SetFocus();
  std::vector<int> pressed;
  edit_->OnKeyPress = [&](cl::TObject*, wchar_t& key) { pressed.push_back(key); };
  edit_->SetText("abc");
  SendMessageW(edit_->Handle(), EM_SETSEL, 3, 3);
  SendMessageW(edit_->Handle(), WM_CHAR, L'\r', 1);
  SendMessageW(edit_->Handle(), WM_CHAR, L'\n', 1);
  EXPECT_EQ(EditText(edit_->Handle()), "abc");
  EXPECT_EQ(SendMessageW(edit_->Handle(), EM_GETLINECOUNT, 0, 0), 1);
  SendMessageW(edit_->Handle(), WM_CHAR, L'd', 1);
  EXPECT_EQ(EditText(edit_->Handle()), "abcd");
  EXPECT_EQ(pressed, (std::vector<int>{L'\r', L'd'}));
  // Tab and Escape stay with the form.
  const auto code = SendMessageW(edit_->Handle(), WM_GETDLGCODE, VK_ESCAPE, 0);
  EXPECT_EQ(code & (DLGC_WANTALLKEYS | DLGC_WANTTAB), 0);
}

TEST_F(BrowseEditTest, ButtonWithoutDialogRaisesOnButtonClickAndFocusesTheEdit) {
  ClickButton();  // neither a dialog nor a handler: nothing happens
  EXPECT_EQ(EditText(edit_->Handle()), "");
  int clicks = 0;
  edit_->OnButtonClick = [&](cl::TObject* sender) {
    EXPECT_EQ(sender, edit_);
    ++clicks;
  };
  ClickButton();
  ClickButton();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(GetFocus(), edit_->Handle());
  // A quick second press is a second click, not a double click.
  Mouse(WM_LBUTTONDBLCLK, ButtonX(), 4);
  Mouse(WM_LBUTTONUP, ButtonX(), 4);
  EXPECT_EQ(clicks, 3);
  // Released outside the button: no click.
  Mouse(WM_LBUTTONDOWN, ButtonX(), 4);
  EXPECT_TRUE(ButtonHeld());
  Mouse(WM_LBUTTONUP, 300, 4);
  EXPECT_FALSE(ButtonHeld());
  EXPECT_EQ(clicks, 3);
  // The text area is the edit's: no click there.
  Mouse(WM_LBUTTONDOWN, 4, 4);
  Mouse(WM_LBUTTONUP, 4, 4);
  EXPECT_EQ(clicks, 3);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(BrowseEditTest, TheEditDrawsTheButtonsDotsInEveryState) {
  const int w = edit_->ClientWidth();
  const int h = edit_->ClientHeight();
  const int left = w - 16;
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  // Up: the dots at x 4, 7, 10 of the button on row h - 5; the frame's light left edge.
  auto row = PrintedRow(edit_, h - 5);
  for (int i : {4, 7, 10}) EXPECT_EQ(row[left + i], text) << i;
  EXPECT_EQ(row[left + 5], GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(row[left], GetSysColor(COLOR_3DLIGHT));
  // Held: one pixel right and down, in a plain shadow frame.
  Mouse(WM_LBUTTONDOWN, ButtonX(), 4);
  row = PrintedRow(edit_, h - 4);
  for (int i : {5, 8, 11}) EXPECT_EQ(row[left + i], text) << i;
  EXPECT_EQ(row[left], GetSysColor(COLOR_BTNSHADOW));
  Mouse(WM_LBUTTONUP, 300, 4);
  // Disabled edit: grey dots with a light shadow below right.
  edit_->SetEnabled(false);
  row = PrintedRow(edit_, h - 5);
  for (int i : {4, 7, 10}) EXPECT_EQ(row[left + i], GetSysColor(COLOR_BTNSHADOW)) << i;
  row = PrintedRow(edit_, h - 4);
  for (int i : {5, 8, 11}) EXPECT_EQ(row[left + i], GetSysColor(COLOR_BTNHIGHLIGHT)) << i;
}

TEST_F(BrowseEditTest, TabbingInSelectsTheWholeTextAndAClickPlacesTheCaret) {
  auto* before = new cl::TEdit(form_);
  before->SetParent(form_);
  before->SetBounds(10, 50, 100, 24);
  before->SetTabOrder(0);
  edit_->SetText("C:\\Program Files\\tool.exe");
  const auto length = static_cast<DWORD>(edit_->Text().size());
  auto selection = [&] {
    DWORD from = 99, to = 99;
    SendMessageW(edit_->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return std::pair{from, to};
  };
  before->SetFocus();
  SendMessageW(edit_->Handle(), EM_SETSEL, 2, 2);
  PostMessageW(before->Handle(), WM_KEYDOWN, VK_TAB, 1);
  PostMessageW(before->Handle(), WM_KEYUP, VK_TAB, 0xC0000001);
  Pump();
  ASSERT_TRUE(edit_->Focused());
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{0, length}));

  // Entered by a press on the text, the caret goes where the mouse points.
  before->SetFocus();
  Mouse(WM_LBUTTONDOWN, 2, 4);
  Mouse(WM_LBUTTONUP, 2, 4);
  ASSERT_TRUE(edit_->Focused());
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{0, 0}));

  // Without AutoSelect the tab keeps the caret.
  edit_->SetAutoSelect(false);
  before->SetFocus();
  SendMessageW(edit_->Handle(), EM_SETSEL, 2, 2);
  PostMessageW(before->Handle(), WM_KEYDOWN, VK_TAB, 1);
  Pump();
  ASSERT_TRUE(edit_->Focused());
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{2, 2}));
}

TEST_F(BrowseEditTest, DialogResultLandsInTheEditAndCancelKeepsTheText) {
  testsupport::TempDir dir;
  const std::string file = dir.File("run me.exe");
  std::ofstream(std::filesystem::u8path(file)) << "x";
  auto* dialog = new cl::TOpenDialog(form_);
  dialog->SetTitle("Select Program to Run");
  dialog->SetFilter("Program Files (*.exe;*.com)|*.exe;*.com|All Files (*.*)|*.*");
  dialog->SetFilterIndex(2);
  dialog->SetOptions({cl::ofHideReadOnly, cl::ofPathMustExist, cl::ofFileMustExist});
  edit_->SetDialog(dialog);
  int handlerCalls = 0;
  edit_->OnButtonClick = [&](cl::TObject*) { ++handlerCalls; };
  edit_->SetText("old");

  WhenDialog(timers_, "Select Program to Run", [](HWND d) { PressButton(d, IDCANCEL); });
  timers_.Timeout(20000);
  ClickButton();
  EXPECT_EQ(EditText(edit_->Handle()), "old");

  WhenDialog(timers_, "Select Program to Run", [&](HWND d) {
    SetWindowTextW(FileNameField(d), cl::ToWide(file).c_str());
    PressButton(d, IDOK);
  });
  ClickButton();
  EXPECT_TRUE(SamePath(EditText(edit_->Handle()), file)) << EditText(edit_->Handle());
  DWORD from = 1, to = 0;
  SendMessageW(edit_->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, static_cast<DWORD>(GetWindowTextLengthW(edit_->Handle())));
  EXPECT_EQ(handlerCalls, 0);  // the dialog takes the click

  // A freed dialog is forgotten; the handler takes over.
  delete dialog;
  EXPECT_EQ(edit_->Dialog(), nullptr);
  ClickButton();
  EXPECT_EQ(handlerCalls, 1);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(AppTest, BrowseEditDescriptionRefersToItsDialog) {
  cl::RegisterStandardClasses();
  toolkit::RegisterToolkitClasses();
  auto* form = cl::NewForm<cl::TForm>(app_.get());
  cl::ReadRootComponent(form,
                        "object frmBrowse: TForm\n"
                        "  object edtDefFile: TSaBrowseEdit\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Width = 150\n"
                        "    Dialog = opdOpenFile\n"
                        "    AutoSelect = False\n"
                        "  end\n"
                        "  object opdOpenFile: TOpenDialog\n"
                        "  end\n"
                        "  object BrowseForFolder: TSaBrowseForFolder\n"
                        "    Directory = 'C:\\'\n"
                        "    Flags = [bfFileSysDirsOnly]\n"
                        "    Title = 'Select Startup Directory'\n"
                        "  end\n"
                        "end\n");
  auto* edit = cl::ComponentAs<TSaBrowseEdit>(form, "edtDefFile");
  EXPECT_EQ(edit->Dialog(), cl::ComponentAs<cl::TOpenDialog>(form, "opdOpenFile"));
  EXPECT_FALSE(edit->AutoSelect());
  auto* folder = cl::ComponentAs<TSaBrowseForFolder>(form, "BrowseForFolder");
  EXPECT_EQ(folder->Directory(), "C:\\");
  EXPECT_EQ(folder->Flags(), toolkit::TSaBrowseInfoFlags{toolkit::bfFileSysDirsOnly});
  EXPECT_FALSE(folder->ShowPath());
  EXPECT_EQ(folder->Title(), "Select Startup Directory");
}

// ----- the folder dialog

TEST(SaBrowseForFolderFlags, FlagsAndRootsMapToTheShellsValues) {
  using namespace toolkit;
  EXPECT_EQ(BrowseInfoFlagsToBIF({bfFileSysDirsOnly, bfStatusText}), 0x0005u);
  EXPECT_EQ(BrowseInfoFlagsToBIF({bfDontGoBelowDomain, bfFileSysAncestors, bfBrowseForComputer, bfBrowseForPrinter}),
            0x300Au);
  EXPECT_EQ(BrowseInfoFlagsToBIF({}), 0u);
  EXPECT_EQ(ShellFolderToCSIDL(foDesktop), 0x00);
  EXPECT_EQ(ShellFolderToCSIDL(foRecycleBin), 0x0A);
  EXPECT_EQ(ShellFolderToCSIDL(foDesktopDir), 0x10);
  EXPECT_EQ(ShellFolderToCSIDL(foMyComputer), 0x11);
  EXPECT_EQ(ShellFolderToCSIDL(foTemplates), 0x15);
}

class BrowseFolderTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    browse_ = new TSaBrowseForFolder(app_.get());
    browse_->SetFlags({toolkit::bfFileSysDirsOnly});
    browse_->SetTitle("Select Startup Directory");
    start_ = testsupport::Utf8(dir_.path.u8string());
    browse_->SetDirectory(start_);
  }
  testsupport::TempDir dir_;
  std::string start_;
  TSaBrowseForFolder* browse_ = nullptr;
};

TEST_F(BrowseFolderTest, AcceptedDialogReturnsTheSelectedFolder) {
  HWND during = nullptr;
  int selChanges = 0;
  std::string reentry;
  browse_->OnSelChanged = [&](cl::TObject*, LPCITEMIDLIST list) {
    if (list) ++selChanges;
  };
  browse_->OnInitialized = [&](cl::TObject* sender) {
    EXPECT_EQ(sender, browse_);
    during = browse_->DialogHandle();
    EXPECT_TRUE(browse_->Showing());
    // A second Execute from inside is refused; the open dialog goes on.
    reentry = testsupport::MessageOf<toolkit::EBrowseDialogShowing>([&] { browse_->Execute(); });
  };
  std::string caption;
  std::string picked;
  WhenDialog(timers_, "Select Startup Directory", [&](HWND d) {
    caption = dialogtest::WindowText(d);
    // Pick the first item of the tree (the desktop), then accept.
    HWND tree = FindWindowExW(d, nullptr, L"SysTreeView32", nullptr);
    ASSERT_NE(tree, nullptr);
    auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    auto child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
    if (child) SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
    PressButton(d, IDOK);
  });
  timers_.Timeout(20000);
  ASSERT_TRUE(browse_->Execute());
  EXPECT_EQ(caption, "Select Startup Directory");
  EXPECT_NE(during, nullptr);
  EXPECT_EQ(reentry, "The browse dialog is already showing.");
  EXPECT_GE(selChanges, 1);
  wchar_t desktop[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
  EXPECT_TRUE(SamePath(browse_->Directory(), cl::FromWide(desktop))) << browse_->Directory();
  EXPECT_FALSE(browse_->DisplayName().empty());
  EXPECT_EQ(browse_->DialogHandle(), nullptr);
  EXPECT_FALSE(browse_->Showing());
  EXPECT_TRUE(errors_.empty());
}

TEST_F(BrowseFolderTest, CancelledDialogKeepsTheOldPathAndEmptyTitleKeepsTheSystemCaption) {
  browse_->SetTitle("");
  browse_->SetSubTitle("Pick one");
  std::string caption;
  WhenDialog(timers_, "", [&](HWND d) {
    caption = dialogtest::WindowText(d);
    PressButton(d, IDCANCEL);
  });
  timers_.Timeout(20000);
  EXPECT_FALSE(browse_->Execute());
  EXPECT_EQ(browse_->Directory(), start_);
  EXPECT_FALSE(caption.empty());
  EXPECT_NE(caption, "Select Startup Directory");
  EXPECT_FALSE(browse_->Showing());
}

}  // namespace
