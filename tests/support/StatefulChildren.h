// Shared by the tests of windows made anew: an edit, a check box and a drop-down list whose state the user
// changed in their windows, and the check that each kept it in its object and in its new window.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include "StdCtrls.h"

namespace formstest {

struct StatefulChildren {
  cl::TEdit* edit = nullptr;
  cl::TCheckBox* check = nullptr;
  cl::TComboBox* combo = nullptr;

  // On `parent`, one below the other from (left, top); owned by `owner`.
  StatefulChildren(cl::TComponent* owner, cl::TWinControl* parent, int left, int top)
      : edit(new cl::TEdit(owner)), check(new cl::TCheckBox(owner)), combo(new cl::TComboBox(owner)) {
    edit->SetParent(parent);
    edit->SetBounds(left, top, 100, 21);
    check->SetParent(parent);
    check->SetBounds(left, top + 30, 100, 17);
    check->SetCaption("Check");
    combo->SetParent(parent);
    combo->SetStyle(cl::csDropDownList);
    combo->SetBounds(left, top + 55, 120, 21);
    combo->Items()->Add("one");
    combo->Items()->Add("two");
    combo->Items()->Add("three");
  }

  // The user's changes, made in the windows: text typed, the box checked, the third item chosen.
  void ChangeAsTheUser() const {
    SetWindowTextW(edit->Handle(), L"typed");
    SendMessageW(check->Handle(), BM_CLICK, 0, 0);
    SendMessageW(combo->Handle(), CB_SETCURSEL, 2, 0);
    SendMessageW(GetParent(combo->Handle()), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo->Handle()));
  }

  void ExpectKept() const {
    ASSERT_TRUE(edit->HandleAllocated());
    EXPECT_EQ(edit->Text(), "typed");
    wchar_t text[32]{};
    GetWindowTextW(edit->Handle(), text, 32);
    EXPECT_STREQ(text, L"typed");
    EXPECT_TRUE(check->Checked());
    EXPECT_EQ(SendMessageW(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCURSEL, 0, 0), 2);
  }
};

}  // namespace formstest
