#include "Dialogs.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include <fstream>
#include <string>

#include "DialogDriver.h"
#include "FormReader.h"
#include "FormsTestSupport.h"
#include "StdClasses.h"
#include "TestSupport.h"
#include "WinString.h"

namespace {

using dialogtest::PressButton;
using dialogtest::WhenDialog;
using formstest::AppTest;

// The file-name field of the open dialog: a combo box with an edit in some versions, a plain edit in others.
HWND FileNameField(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, cmb13)) return combo;
  return GetDlgItem(dialog, edt1);
}

std::string ComboItem(HWND combo, int index) {
  const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return cl::FromWide(text.c_str());
}

void TouchFile(const std::string& path) { std::ofstream(std::filesystem::u8path(path)) << "x"; }

class DialogsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    form_->SetBounds(40, 40, 300, 200);
    form_->Show();
    SetActiveWindow(form_->Handle());
    dialog_ = new cl::TOpenDialog(form_);
    dialog_->SetTitle("Select Hotkey Definition File");
    dialog_->SetFilter("Hotkey Definition File (*.hkd)|*.hkd|All Files (*.*)|*.*");
    dialog_->SetOptions({cl::ofHideReadOnly, cl::ofPathMustExist, cl::ofFileMustExist});
  }
  cl::TForm* form_ = nullptr;
  cl::TOpenDialog* dialog_ = nullptr;
  testsupport::TempDir dir_;
};

TEST_F(DialogsTest, AcceptedDialogReturnsTheFileAndTheFilter) {
  const std::string file = dir_.File(testsupport::Utf8(u8"d\u00e9finitions.hkd"));
  TouchFile(file);
  dialog_->SetFilterIndex(2);
  dialog_->SetInitialDir(testsupport::Utf8(dir_.path.u8string()));
  std::string caption;
  int filterCount = -1;
  int filterSelected = -1;
  std::string secondFilter;
  HWND owner = nullptr;
  WhenDialog(timers_, "Select Hotkey Definition File", [&](HWND dialog) {
    caption = dialogtest::WindowText(dialog);
    owner = GetWindow(dialog, GW_OWNER);
    HWND filters = GetDlgItem(dialog, cmb1);
    filterCount = static_cast<int>(SendMessageW(filters, CB_GETCOUNT, 0, 0));
    filterSelected = static_cast<int>(SendMessageW(filters, CB_GETCURSEL, 0, 0));
    secondFilter = ComboItem(filters, 1);
    SetWindowTextW(FileNameField(dialog), cl::ToWide(file).c_str());
    PressButton(dialog, IDOK);
  });
  timers_.Timeout(20000);
  ASSERT_TRUE(dialog_->Execute());
  EXPECT_EQ(caption, "Select Hotkey Definition File");
  EXPECT_EQ(owner, form_->Handle());
  // Two pairs of the "|" list, the second one preselected from the 1-based index.
  EXPECT_EQ(filterCount, 2);
  EXPECT_EQ(filterSelected, 1);
  EXPECT_EQ(secondFilter, "All Files (*.*)");
  EXPECT_EQ(dialog_->FilterIndex(), 2);
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::u8path(dialog_->FileName()), std::filesystem::u8path(file)))
      << dialog_->FileName();
  EXPECT_TRUE(errors_.empty());
}

TEST_F(DialogsTest, CancelledDialogChangesNothing) {
  dialog_->SetFileName("C:\\before.hkd");
  dialog_->SetFilterIndex(1);
  WhenDialog(timers_, "Select Hotkey Definition File", [&](HWND dialog) {
    HWND filters = GetDlgItem(dialog, cmb1);
    // The user picks another filter, then cancels.
    SendMessageW(filters, CB_SETCURSEL, 1, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(filters));
    PressButton(dialog, IDCANCEL);
  });
  timers_.Timeout(20000);
  EXPECT_FALSE(dialog_->Execute());
  EXPECT_EQ(dialog_->FileName(), "C:\\before.hkd");
  EXPECT_EQ(dialog_->FilterIndex(), 1);
}

TEST_F(AppTest, DescriptionHoldsAnOpenDialog) {
  cl::RegisterStandardClasses();
  auto* frm = cl::NewForm<cl::TForm>(app_.get());
  cl::ReadRootComponent(frm,
                        "object frmDialogs: TForm\n"
                        "  object opdOpenFile: TOpenDialog\n"
                        "    Filter = 'Programs|*.exe|All|*.*'\n"
                        "    FilterIndex = 2\n"
                        "    Options = [ofHideReadOnly, ofPathMustExist, ofFileMustExist]\n"
                        "    Title = 'Select Program to Run'\n"
                        "  end\n"
                        "end\n");
  auto* opd = cl::ComponentAs<cl::TOpenDialog>(frm, "opdOpenFile");
  ASSERT_NE(opd, nullptr);
  EXPECT_EQ(opd->Filter(), "Programs|*.exe|All|*.*");
  EXPECT_EQ(opd->FilterIndex(), 2);
  EXPECT_EQ(opd->Options(), (cl::TOpenOptions{cl::ofHideReadOnly, cl::ofPathMustExist, cl::ofFileMustExist}));
  EXPECT_EQ(opd->Title(), "Select Program to Run");
}

}  // namespace
