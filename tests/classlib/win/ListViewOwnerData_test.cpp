// A list view with OwnerData keeps no rows: the window asks for the texts it draws, the program's OnData
// fills them, and a million rows cost a number.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ComCtrls.h"
#include "FormReader.h"
#include "FormsTestSupport.h"
#include "StdClasses.h"
#include "WinString.h"

namespace {

using formstest::FormTest;
using formstest::ListViewText;


class ListViewOwnerData : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    LoadForm("object frmRows: TForm\n"
             "  Width = 420\n"
             "  Height = 320\n"
             "  object lvRows: TListView\n"
             "    Width = 380\n"
             "    Height = 250\n"
             "    Columns = <\n"
             "      item\n"
             "        Caption = 'Name'\n"
             "      end\n"
             "      item\n"
             "        Caption = 'Key'\n"
             "      end>\n"
             "    OwnerData = True\n"
             "    ReadOnly = True\n"
             "    RowSelect = True\n"
             "    ViewStyle = vsReport\n"
             "  end\n"
             "end\n");
    lv_ = cl::ComponentAs<cl::TListView>(form_, "lvRows");
    lv_->OnData = [this](cl::TObject*, cl::TListItem* item) {
      ++asked_;
      const int i = item->Index();
      item->SetCaption(i == renamed_ ? std::string("renamed") : "row " + std::to_string(i));
      item->SubItems()->Add("K" + std::to_string(i));
    };
    form_->Show();
    wnd_ = lv_->Handle();
  }
  cl::TListView* lv_ = nullptr;
  HWND wnd_ = nullptr;
  int asked_ = 0;
  int renamed_ = -1;
};

TEST_F(ListViewOwnerData, AMillionRowsAreANumberAndTheTextsComeFromOnData) {
  ASSERT_TRUE(lv_->OwnerData());
  EXPECT_TRUE(GetWindowLongPtrW(wnd_, GWL_STYLE) & LVS_OWNERDATA);
  lv_->Items()->SetCount(1000000);
  ASSERT_EQ(lv_->Items()->Count(), 1000000);
  ASSERT_EQ(formstest::ListViewRows(wnd_), 1000000);
  for (int i : {0, 500000, 999999}) {
    EXPECT_EQ(ListViewText(wnd_, i, 0), "row " + std::to_string(i));
    EXPECT_EQ(ListViewText(wnd_, i, 1), "K" + std::to_string(i));
  }
  // The shared item, filled for the row asked for.
  cl::TListItem* item = lv_->Items()->Item(123);
  EXPECT_EQ(item->Index(), 123);
  EXPECT_EQ(item->Caption(), "row 123");
  ASSERT_EQ(item->SubItems()->Count(), 1);
  EXPECT_EQ(lv_->Items()->IndexOf(item), 123);
  EXPECT_THROW(lv_->Items()->Item(1000000), cl::EListError);
  // The program keeps the order: there is nothing here to sort.
  EXPECT_FALSE(lv_->CustomSort([](cl::TListItem*, cl::TListItem*) { return 0; }));

  // Clearing and ending cost nothing per row.
  lv_->Items()->Clear();
  EXPECT_EQ(formstest::ListViewRows(wnd_), 0);
  lv_->Items()->SetCount(1000000);
  asked_ = 0;
  delete form_;
  form_ = nullptr;
  EXPECT_LT(asked_, 1000);
}

TEST_F(ListViewOwnerData, SelectionFollowsTheKeysAndTheRowCountAndChangedRowsAreRedrawn) {
  lv_->Items()->SetCount(20);
  std::vector<int> selected;
  lv_->OnSelectItem = [&](cl::TObject*, cl::TListItem* item, bool on) {
    if (on) selected.push_back(item->Index());
  };
  lv_->SetItemIndex(5);
  EXPECT_EQ(formstest::ListViewSelected(wnd_), 5);
  ASSERT_TRUE(lv_->Selected());
  EXPECT_EQ(lv_->Selected()->Index(), 5);
  SendMessageW(wnd_, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(lv_->ItemIndex(), 6);
  ASSERT_FALSE(selected.empty());
  EXPECT_EQ(selected.back(), 6);
  // Typing a row's first letters leaves the selection where it is.
  SendMessageW(wnd_, WM_CHAR, L'r', 0);
  EXPECT_EQ(lv_->ItemIndex(), 6);

  // A row the program changed shows its new text once it is redrawn.
  renamed_ = 6;
  lv_->UpdateItems(6, 6);
  EXPECT_EQ(ListViewText(wnd_, 6, 0), "renamed");
  UpdateWindow(wnd_);
  EXPECT_FALSE(GetUpdateRect(wnd_, nullptr, FALSE));

  // Fewer rows than the selected one: no selection is left behind, here or in the window.
  lv_->Items()->SetCount(3);
  EXPECT_EQ(formstest::ListViewRows(wnd_), 3);
  EXPECT_EQ(lv_->ItemIndex(), -1);
  EXPECT_EQ(formstest::ListViewSelected(wnd_), -1);
  lv_->Items()->Delete(0);
  EXPECT_EQ(formstest::ListViewRows(wnd_), 2);
  EXPECT_EQ(ListViewText(wnd_, 1, 0), "row 1");
}

}  // namespace
