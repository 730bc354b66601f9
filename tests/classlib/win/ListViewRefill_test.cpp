// The list view's window rows hold no texts of their own: what the window shows and answers must follow
// the rows here through refills of other sizes, edits, inserts and deletes, with no selection left behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ComCtrls.h"
#include "FormReader.h"
#include "FormsTestSupport.h"
#include "StdClasses.h"
#include "WinString.h"

namespace {

using formstest::FormTest;
using formstest::ListViewText;

int WindowSelectedCount(HWND wnd) { return static_cast<int>(SendMessageW(wnd, LVM_GETSELECTEDCOUNT, 0, 0)); }

class ListViewRefill : public FormTest {
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
             "      end\n"
             "      item\n"
             "        Caption = 'Note'\n"
             "      end>\n"
             "    ReadOnly = True\n"
             "    ViewStyle = vsReport\n"
             "  end\n"
             "end\n");
    lv_ = cl::ComponentAs<cl::TListView>(form_, "lvRows");
    form_->Show();
    wnd_ = lv_->Handle();
  }
  // Rows "<prefix> i" with key "K<i>"; the third column only on even rows.
  void Fill(const std::string& prefix, int count) {
    cl::TListItems* items = lv_->Items();
    items->BeginUpdate();
    items->Clear();
    for (int i = 0; i < count; ++i) {
      cl::TListItem* row = items->Add();
      row->SetCaption(prefix + " " + std::to_string(i));
      row->SubItems()->Add("K" + std::to_string(i));
      if (i % 2 == 0) row->SubItems()->Add("even");
    }
    items->EndUpdate();
  }
  void ExpectRows(const std::string& prefix, int count) {
    ASSERT_EQ(formstest::ListViewRows(wnd_), count);
    for (int i : {0, count / 2, count - 1}) {
      EXPECT_EQ(ListViewText(wnd_, i, 0), prefix + " " + std::to_string(i)) << i;
      EXPECT_EQ(ListViewText(wnd_, i, 1), "K" + std::to_string(i)) << i;
      EXPECT_EQ(ListViewText(wnd_, i, 2), i % 2 == 0 ? "even" : "") << i;
    }
  }
  cl::TListView* lv_ = nullptr;
  HWND wnd_ = nullptr;
};

TEST_F(ListViewRefill, RefillsOfEverySizeShowTheNewRowsAndLeaveNoSelectionBehind) {
  Fill("first", 5);
  ExpectRows("first", 5);
  lv_->SetItemIndex(3);
  ASSERT_EQ(formstest::ListViewSelected(wnd_), 3);

  // A refill with the same number of rows: the window's row 3 must not stay selected for the new row 3.
  int events = 0;
  lv_->OnChange = [&](cl::TObject*, cl::TListItem*, cl::TItemChange) { ++events; };
  lv_->OnSelectItem = [&](cl::TObject*, cl::TListItem*, bool) { ++events; };
  Fill("second", 5);
  ExpectRows("second", 5);
  EXPECT_EQ(WindowSelectedCount(wnd_), 0);
  EXPECT_EQ(lv_->ItemIndex(), -1);
  EXPECT_EQ(events, 0);  // clearing the old rows' states is no change of the user's

  // Growing, shrinking by a little and by a lot, emptying.
  for (int count : {40, 37, 2, 0, 12}) {
    Fill("n" + std::to_string(count), count);
    if (count) ExpectRows("n" + std::to_string(count), count);
    else EXPECT_EQ(formstest::ListViewRows(wnd_), 0);
  }

  // A row selected inside the refill is the one the window selects.
  lv_->Items()->BeginUpdate();
  lv_->Items()->Item(7)->SetCaption("picked");
  lv_->SetItemIndex(7);
  lv_->Items()->EndUpdate();
  EXPECT_EQ(formstest::ListViewSelected(wnd_), 7);
  EXPECT_EQ(WindowSelectedCount(wnd_), 1);
  EXPECT_EQ(ListViewText(wnd_, 7, 0), "picked");
}

TEST_F(ListViewRefill, EditsInsertsAndDeletesOutsideAnUpdateReachTheWindowAtOnce) {
  Fill("row", 6);
  lv_->SetItemIndex(4);

  lv_->Items()->Item(2)->SetCaption("renamed");
  lv_->Items()->Item(2)->SubItems()->Put(0, "Ctrl+R");
  EXPECT_EQ(ListViewText(wnd_, 2, 0), "renamed");
  EXPECT_EQ(ListViewText(wnd_, 2, 1), "Ctrl+R");

  // An insert above the selected row moves the selection down with its row.
  cl::TListItem* inserted = lv_->Items()->Insert(1);
  inserted->SetCaption("new");
  inserted->SubItems()->Add("Alt+N");
  ASSERT_EQ(formstest::ListViewRows(wnd_), 7);
  EXPECT_EQ(ListViewText(wnd_, 1, 0), "new");
  EXPECT_EQ(ListViewText(wnd_, 1, 1), "Alt+N");
  EXPECT_EQ(ListViewText(wnd_, 3, 0), "renamed");
  EXPECT_EQ(lv_->ItemIndex(), 5);
  EXPECT_EQ(formstest::ListViewSelected(wnd_), 5);
  EXPECT_EQ(ListViewText(wnd_, 5, 0), "row 4");

  lv_->Items()->Delete(0);
  ASSERT_EQ(formstest::ListViewRows(wnd_), 6);
  EXPECT_EQ(ListViewText(wnd_, 0, 0), "new");
  EXPECT_EQ(ListViewText(wnd_, 5, 0), "row 5");
  EXPECT_EQ(formstest::ListViewSelected(wnd_), lv_->ItemIndex());
  EXPECT_EQ(ListViewText(wnd_, lv_->ItemIndex(), 0), "row 4");
}

}  // namespace
