// The memo, the owner-drawn combo box and list views with several selected rows, in real windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ComCtrls.h"
#include "FormReader.h"
#include "FormsTestSupport.h"
#include "StdClasses.h"
#include "StdCtrls.h"

namespace {

using formstest::FormTest;

class MemoMultiSelectTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    LoadForm("object frm: TForm\n"
             "  Width = 400\n"
             "  Height = 300\n"
             "  object mmo: TMemo\n"
             "    Left = 8\n"
             "    Top = 8\n"
             "    ScrollBars = ssVertical\n"
             "  end\n"
             "  object cbo: TComboBox\n"
             "    Left = 200\n"
             "    Top = 8\n"
             "    Style = csOwnerDrawFixed\n"
             "    ItemHeight = 20\n"
             "  end\n"
             "  object lv: TListView\n"
             "    Left = 8\n"
             "    Top = 120\n"
             "    MultiSelect = True\n"
             "    ViewStyle = vsReport\n"
             "  end\n"
             "  object btnCancel: TButton\n"
             "    Left = 300\n"
             "    Top = 100\n"
             "    Cancel = True\n"
             "  end\n"
             "end\n");
  }
  std::vector<int> SelectedRows(cl::TListView* lv) {
    std::vector<int> rows;
    for (int i = 0; i < lv->Items()->Count(); ++i)
      if (lv->Items()->Item(i)->Selected()) rows.push_back(i);
    return rows;
  }
  // The window's own selection, row by row.
  std::vector<int> WindowSelection(cl::TListView* lv) {
    std::vector<int> rows;
    for (int i = -1; (i = static_cast<int>(SendMessageW(lv->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(i),
                                                        LVNI_SELECTED))) >= 0;)
      rows.push_back(i);
    return rows;
  }
};

TEST_F(MemoMultiSelectTest, MemoKeepsLinesAndReplacesTheSelection) {
  auto* mmo = cl::ComponentAs<cl::TMemo>(form_, "mmo");
  form_->Show();
  const LONG style = GetWindowLongW(mmo->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & WS_VSCROLL);
  mmo->SetText("one\r\ntwo");
  EXPECT_EQ(mmo->Text(), "one\r\ntwo");
  SendMessageW(mmo->Handle(), EM_SETSEL, 3, 5);
  EXPECT_EQ(mmo->SelStart(), 3);
  EXPECT_EQ(mmo->SelLength(), 2);
  EXPECT_EQ(mmo->SelText(), "\r\n");
  mmo->SetSelText(" and ");
  EXPECT_EQ(mmo->Text(), "one and two");
  EXPECT_EQ(mmo->SelStart(), 8);
  // Enter is the memo's, Tab and Escape are the form's.
  EXPECT_TRUE(SendMessageW(mmo->Handle(), WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS);
  EXPECT_FALSE(SendMessageW(mmo->Handle(), WM_GETDLGCODE, VK_TAB, 0) & (DLGC_WANTALLKEYS | DLGC_WANTTAB));
  EXPECT_FALSE(SendMessageW(mmo->Handle(), WM_GETDLGCODE, VK_ESCAPE, 0) & DLGC_WANTALLKEYS);
}

TEST_F(MemoMultiSelectTest, OwnerDrawnComboPaintsThroughItsHandler) {
  auto* cbo = cl::ComponentAs<cl::TComboBox>(form_, "cbo");
  cbo->Items()->Add("first");
  cbo->Items()->Add("second");
  std::vector<int> drawn;
  cbo->OnDrawItem = [&](cl::TWinControl* control, int index, cl::TRect rect, cl::TOwnerDrawState state) {
    EXPECT_EQ(control, cbo);
    if (!state.Contains(cl::odComboBoxEdit)) {
      EXPECT_EQ(rect.Height(), 20);
    }
    cbo->Canvas()->FillRect(rect);
    drawn.push_back(index);
  };
  cbo->SetItemIndex(1);
  form_->Show();
  EXPECT_TRUE(GetWindowLongW(cbo->Handle(), GWL_STYLE) & CBS_OWNERDRAWFIXED);
  EXPECT_EQ(SendMessageW(cbo->Handle(), CB_GETITEMHEIGHT, 0, 0), 20);
  RedrawWindow(cbo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), 1);  // the closed box shows the chosen item
  EXPECT_FALSE(cbo->Canvas()->HandleAllocated());
}

TEST_F(MemoMultiSelectTest, RowsKeepTheirOwnSelection) {
  auto* lv = cl::ComponentAs<cl::TListView>(form_, "lv");
  lv->Columns()->Add()->SetCaption("Name");
  for (const char* name : {"d", "b", "c", "a"}) lv->Items()->Add()->SetCaption(name);
  // Before the window: kept and handed to it.
  lv->Items()->Item(1)->SetSelected(true);
  lv->Items()->Item(3)->SetSelected(true);
  form_->Show();
  EXPECT_EQ(WindowSelection(lv), (std::vector<int>{1, 3}));
  EXPECT_EQ(lv->SelCount(), 2);
  EXPECT_EQ(lv->ItemIndex(), 1);

  std::vector<std::pair<std::string, cl::TItemChange>> changes;
  lv->OnChange = [&](cl::TObject*, cl::TListItem* item, cl::TItemChange change) {
    changes.emplace_back(item->Caption(), change);
  };
  lv->Items()->Item(2)->SetSelected(true);
  EXPECT_EQ(SelectedRows(lv), (std::vector<int>{1, 2, 3}));
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back(), std::make_pair(std::string("c"), cl::ctState));

  // Deleting a selected row leaves the others as they were; sorting takes the selection along.
  lv->Items()->Delete(1);
  EXPECT_EQ(SelectedRows(lv), (std::vector<int>{1, 2}));
  EXPECT_EQ(WindowSelection(lv), (std::vector<int>{1, 2}));
  lv->CustomSort([](cl::TListItem* x, cl::TListItem* y) { return x->Caption().compare(y->Caption()); });
  EXPECT_EQ(SelectedRows(lv), (std::vector<int>{0, 1}));  // a, c
  EXPECT_EQ(WindowSelection(lv), (std::vector<int>{0, 1}));
  lv->Items()->Insert(0)->SetCaption("new");
  EXPECT_EQ(SelectedRows(lv), (std::vector<int>{1, 2}));

  // ItemIndex selects one row alone; a user's click too.
  lv->SetItemIndex(3);
  EXPECT_EQ(SelectedRows(lv), (std::vector<int>{3}));
  EXPECT_EQ(WindowSelection(lv), (std::vector<int>{3}));
  lv->Items()->Item(0)->SetSelected(true);
  const cl::TRect r = lv->Items()->Item(0)->DisplayRect();
  SendMessageW(lv->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.Left + 5, r.Top + 2));
  SendMessageW(lv->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(r.Left + 5, r.Top + 2));
  Pump();
  EXPECT_EQ(SelectedRows(lv), (std::vector<int>{0}));
  lv->SetMultiSelect(false);
  EXPECT_EQ(lv->ItemIndex(), 0);
  EXPECT_EQ(lv->SelCount(), 1);
}

}  // namespace
