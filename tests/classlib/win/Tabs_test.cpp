// The tab set: read from a description, laid out from its start margin at each text's width plus 9,
// ending at the first tab that does not fit, from its first index on; a click on a tab selects it.
#include "Tabs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "FormReader.h"
#include "DeviceContext.h"
#include "FormsTestSupport.h"

namespace {

class TabSetTest : public formstest::FormTest {
 protected:
  cl::TTabSet* LoadTabSet(int width, int firstIndex) {
    LoadForm("object frmTabs: TForm\n"
             "  Width = 400\n"
             "  Height = 200\n"
             "  object tabPages: TTabSet\n"
             "    Left = 8\n"
             "    Top = 8\n"
             "    Width = " + std::to_string(width) + "\n"
             "    Height = 21\n"
             "    StartMargin = 4\n"
             "    EndMargin = 6\n"
             "    FirstIndex = " + std::to_string(firstIndex) + "\n"
             "    TabIndex = 1\n"
             "    Tabs.Strings = (\n"
             "      'First'\n"
             "      'Second'\n"
             "      'A rather long third tab'\n"
             "      'D')\n"
             "  end\n"
             "end\n");
    auto* tabSet = cl::ComponentAs<cl::TTabSet>(form_, "tabPages");
    form_->Show();
    return tabSet;
  }
  int TextWidth(cl::TTabSet& tabSet, const std::wstring& text) {
    const cl::TWindowDC screen(nullptr);
    const HGDIOBJ old = SelectObject(screen.Get(), tabSet.Font()->Handle());
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(screen.Get(), old);
    return size.cx;
  }
};

TEST_F(TabSetTest, TabsAreLaidOutUpToTheFirstThatDoesNotFit) {
  auto* tabSet = LoadTabSet(160, 0);
  ASSERT_EQ(tabSet->Tabs()->Count(), 4);
  EXPECT_EQ(tabSet->TabIndex(), 1);
  const int first = TextWidth(*tabSet, L"First") + 9, second = TextWidth(*tabSet, L"Second") + 9;
  EXPECT_EQ(tabSet->ItemRect(0), cl::Rect(4, 0, 4 + first, 21));
  EXPECT_EQ(tabSet->ItemRect(1), cl::Rect(4 + first, 0, 4 + first + second, 21));
  ASSERT_GT(4 + first + second + TextWidth(*tabSet, L"A rather long third tab") + 9, 160 - 6);
  EXPECT_TRUE(tabSet->ItemRect(2).IsEmpty());
  // "D" would fit after the first two, but the row has ended.
  ASSERT_LE(4 + first + second + TextWidth(*tabSet, L"D") + 9, 160 - 6);
  EXPECT_TRUE(tabSet->ItemRect(3).IsEmpty());
  EXPECT_EQ(tabSet->ItemAtPos(cl::TPoint{3, 5}), -1);
  EXPECT_EQ(tabSet->ItemAtPos(cl::TPoint{4, 5}), 0);
  EXPECT_EQ(tabSet->ItemAtPos(cl::TPoint{4 + first, 5}), 1);
  EXPECT_EQ(tabSet->ItemAtPos(cl::TPoint{4 + first + second, 5}), -1);
}

TEST_F(TabSetTest, TheRowStartsAtTheFirstIndexAndAClickSelects) {
  auto* tabSet = LoadTabSet(300, 2);
  EXPECT_TRUE(tabSet->ItemRect(0).IsEmpty());
  EXPECT_EQ(tabSet->ItemRect(2).Left, 4);
  const cl::TRect d = tabSet->ItemRect(3);
  ASSERT_FALSE(d.IsEmpty());
  int changes = 0;
  tabSet->OnChange = [&](cl::TObject*) { ++changes; };
  const HWND wnd = tabSet->Handle();
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(d.Left + 2, 5));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(d.Left + 2, 5));
  EXPECT_EQ(tabSet->TabIndex(), 3);
  // Beside the tabs, and on the selected tab again, nothing changes.
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(295, 5));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(295, 5));
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(d.Left + 2, 5));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(d.Left + 2, 5));
  EXPECT_EQ(tabSet->TabIndex(), 3);
  EXPECT_EQ(changes, 1);
}

}  // namespace
