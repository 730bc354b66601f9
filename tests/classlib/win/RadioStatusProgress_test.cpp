// Radio buttons (exclusive within their parent, a click only when becoming checked), the status bar's
// simple text and panels, the progress bar's range and the track bar's, as their windows show them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ComCtrls.h"
#include "FormReader.h"
#include "FormsTestSupport.h"
#include "StdClasses.h"
#include "StdCtrls.h"

namespace {

class RadioStatusProgressTest : public formstest::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    LoadForm("object frmRadio: TForm\n"
             "  Width = 300\n"
             "  Height = 220\n"
             "  object rbOne: TRadioButton\n"
             "    Left = 8\n"
             "    Top = 8\n"
             "    Caption = '&One'\n"
             "    Checked = True\n"
             "  end\n"
             "  object rbTwo: TRadioButton\n"
             "    Left = 8\n"
             "    Top = 30\n"
             "    Caption = 'Two'\n"
             "  end\n"
             "  object grpOther: TGroupBox\n"
             "    Left = 8\n"
             "    Top = 60\n"
             "    Width = 200\n"
             "    Height = 50\n"
             "    object rbInner: TRadioButton\n"
             "      Left = 8\n"
             "      Top = 20\n"
             "      Caption = 'Inner'\n"
             "      Checked = True\n"
             "    end\n"
             "  end\n"
             "  object pbWarn: TProgressBar\n"
             "    Left = 8\n"
             "    Top = 120\n"
             "    Min = 0\n"
             "    Max = 29\n"
             "    Step = 1\n"
             "  end\n"
             "  object tbLevel: TTrackBar\n"
             "    Left = 120\n"
             "    Top = 120\n"
             "    Min = 2\n"
             "    Max = 20\n"
             "    Position = 7\n"
             "  end\n"
             "  object sbState: TStatusBar\n"
             "    SimplePanel = True\n"
             "    SimpleText = 'No Task'\n"
             "  end\n"
             "end\n");
    one_ = cl::ComponentAs<cl::TRadioButton>(form_, "rbOne");
    two_ = cl::ComponentAs<cl::TRadioButton>(form_, "rbTwo");
    inner_ = cl::ComponentAs<cl::TRadioButton>(form_, "rbInner");
    for (auto* rb : {one_, two_, inner_})
      rb->OnClick = [this, rb](cl::TObject* sender) {
        EXPECT_EQ(sender, rb);
        clicks_ += rb->Name() + " ";
      };
    form_->Show();
  }
  static bool Shown(cl::TRadioButton* rb) { return SendMessageW(rb->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

  cl::TRadioButton *one_ = nullptr, *two_ = nullptr, *inner_ = nullptr;
  std::string clicks_;
};

TEST_F(RadioStatusProgressTest, RadioButtonsAreExclusiveWithinTheirParentAndClickOnlyWhenChecked) {
  EXPECT_TRUE(one_->Checked());
  EXPECT_TRUE(inner_->Checked());  // another parent: its own group
  EXPECT_TRUE(Shown(one_));

  two_->SetChecked(true);  // in code
  EXPECT_EQ(clicks_, "rbTwo ");
  EXPECT_FALSE(one_->Checked());
  EXPECT_FALSE(Shown(one_));
  EXPECT_TRUE(Shown(two_));
  EXPECT_TRUE(inner_->Checked());

  clicks_.clear();
  two_->SetChecked(true);   // already checked
  two_->SetChecked(false);  // unchecking
  EXPECT_EQ(clicks_, "");
  EXPECT_FALSE(two_->Checked());

  // The user's click, as the button reports it to its parent.
  SendMessageW(form_->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(one_->Handle()), BN_CLICKED),
               reinterpret_cast<LPARAM>(one_->Handle()));
  EXPECT_EQ(clicks_, "rbOne ");
  EXPECT_TRUE(one_->Checked());
  SendMessageW(form_->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(one_->Handle()), BN_CLICKED),
               reinterpret_cast<LPARAM>(one_->Handle()));
  EXPECT_EQ(clicks_, "rbOne ");  // a click on the checked button changes nothing
}

TEST_F(RadioStatusProgressTest, StatusBarShowsItsSimpleTextAtTheBottom) {
  auto* bar = cl::ComponentAs<cl::TStatusBar>(form_, "sbState");
  EXPECT_TRUE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
  // In simple mode the bar's one part holds the simple text.
  wchar_t text[64] = {};
  SendMessageW(bar->Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"No Task");
  bar->SetSimpleText("Executing Task.....");
  SendMessageW(bar->Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Executing Task.....");
  EXPECT_EQ(bar->Top() + bar->Height(), form_->ClientHeight());
  EXPECT_EQ(bar->Width(), form_->ClientWidth());
}

// Panels described in the form: the window gets one part per panel, the last reaching the end, with the
// panels' texts and edges; SimplePanel switches between them and the simple text.
class StatusPanelsTest : public formstest::FormTest {};

TEST_F(StatusPanelsTest, DescribedPanelsBecomeTheWindowsPartsAndSimplePanelSwitches) {
  LoadForm("object frmPanels: TForm\n"
           "  Width = 300\n"
           "  Height = 120\n"
           "  object sbPanels: TStatusBar\n"
           "    Panels = <\n"
           "      item\n"
           "        Text = 'First'\n"
           "        Width = 60\n"
           "      end\n"
           "      item\n"
           "        Bevel = pbRaised\n"
           "        Text = 'Second'\n"
           "        Width = 80\n"
           "      end\n"
           "      item\n"
           "        Alignment = taRightJustify\n"
           "        Bevel = pbNone\n"
           "        Text = 'Third'\n"
           "      end>\n"
           "    SimplePanel = False\n"
           "    SimpleText = 'Simple'\n"
           "  end\n"
           "end\n");
  form_->Show();
  auto* bar = cl::ComponentAs<cl::TStatusBar>(form_, "sbPanels");
  ASSERT_EQ(bar->Panels()->Count(), 3);
  EXPECT_EQ(bar->Panels()->Items(1)->Bevel(), cl::pbRaised);
  EXPECT_FALSE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
  int edges[4] = {};
  ASSERT_EQ(SendMessageW(bar->Handle(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
  EXPECT_EQ(edges[0], 60);
  EXPECT_EQ(edges[1], 140);
  EXPECT_EQ(edges[2], -1);
  wchar_t text[64] = {};
  const LRESULT second = SendMessageW(bar->Handle(), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Second");
  EXPECT_EQ(HIWORD(second) & SBT_POPOUT, SBT_POPOUT);
  const LRESULT third = SendMessageW(bar->Handle(), SB_GETTEXTW, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"\t\tThird");  // the control right-aligns after two tabs
  EXPECT_EQ(HIWORD(third) & SBT_NOBORDERS, SBT_NOBORDERS);

  bar->Panels()->Add()->SetText("Fourth");
  EXPECT_EQ(SendMessageW(bar->Handle(), SB_GETPARTS, 0, 0), 4);
  bar->SetSimplePanel(true);
  EXPECT_TRUE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
  SendMessageW(bar->Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Simple");
}

TEST_F(RadioStatusProgressTest, ProgressBarKeepsItsPositionInRange) {
  auto* bar = cl::ComponentAs<cl::TProgressBar>(form_, "pbWarn");
  EXPECT_EQ(bar->Max(), 29);
  EXPECT_EQ(bar->Step(), 1);
  EXPECT_EQ(SendMessageW(bar->Handle(), PBM_GETRANGE, FALSE, 0), 29);
  bar->SetPosition(12);
  EXPECT_EQ(SendMessageW(bar->Handle(), PBM_GETPOS, 0, 0), 12);
  bar->SetPosition(40);
  EXPECT_EQ(bar->Position(), 29);
  bar->SetPosition(-3);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_EQ(SendMessageW(bar->Handle(), PBM_GETPOS, 0, 0), 0);
}

TEST_F(RadioStatusProgressTest, TrackBarShowsItsRangeFollowsTheThumbAndTurns) {
  auto* bar = cl::ComponentAs<cl::TTrackBar>(form_, "tbLevel");
  HWND wnd = bar->Handle();
  wchar_t cls[32] = {};
  GetClassNameW(wnd, cls, 32);
  EXPECT_STREQ(cls, TRACKBAR_CLASSW);
  EXPECT_EQ(SendMessageW(wnd, TBM_GETRANGEMIN, 0, 0), 2);
  EXPECT_EQ(SendMessageW(wnd, TBM_GETRANGEMAX, 0, 0), 20);
  EXPECT_EQ(SendMessageW(wnd, TBM_GETPOS, 0, 0), 7);
  bar->SetPosition(30);
  EXPECT_EQ(bar->Position(), 20);

  // The user's move, as the bar reports it to its parent.
  SendMessageW(wnd, TBM_SETPOS, TRUE, 4);
  SendMessageW(form_->Handle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 4), reinterpret_cast<LPARAM>(wnd));
  EXPECT_EQ(bar->Position(), 4);

  // Its parent hands the bar's notifications back to it.
  int customDraws = 0;
  cl::TMessageLink seen(bar->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == cl::CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == static_cast<UINT>(NM_CUSTOMDRAW))
      ++customDraws;
    next(m);
  });
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GT(customDraws, 0);

  EXPECT_FALSE(GetWindowLongW(wnd, GWL_STYLE) & TBS_VERT);
  bar->SetOrientation(cl::trVertical);
  EXPECT_TRUE(GetWindowLongW(bar->Handle(), GWL_STYLE) & TBS_VERT);
  EXPECT_EQ(SendMessageW(bar->Handle(), TBM_GETPOS, 0, 0), 4);
}

}  // namespace
