// The dock's lists of bars under Wine as bars come, hide, move between docks, float, come back and go, and
// as docks go; the children of a bar keep their state across the window's recreation on each move.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DockTestForm.h"
#include "StatefulChildren.h"

namespace {

using docktest::DockFormTest;
using docktest::TCustomToolWin;
using docktest::TToolDock;
using docktest::TToolWin;

struct TInsertRemove {
  bool inserting;
  TCustomToolWin* bar;
};

TEST_F(DockFormTest, AHiddenBarLeavesTheShownBarsAndComesBackWhenShown) {
  std::vector<TInsertRemove> told;
  top_->OnInsertRemoveBar = [&](cl::TObject*, bool inserting, TCustomToolWin* bar) {
    told.push_back({inserting, bar});
  };
  TToolWin* bar = MakeBar("twA", top_, 40, 20);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_TRUE(told[0].inserting);
  EXPECT_EQ(told[0].bar, bar);
  EXPECT_EQ(top_->Height(), 24);

  bar->SetVisible(false);
  Pump();
  EXPECT_EQ(top_->BarCount(), 1);
  EXPECT_EQ(top_->ShownBarCount(), 0);
  EXPECT_EQ(top_->Height(), 0);
  ASSERT_EQ(told.size(), 2u);
  EXPECT_FALSE(told[1].inserting);

  bar->SetVisible(true);
  Pump();
  EXPECT_EQ(top_->ShownBarCount(), 1);
  EXPECT_EQ(top_->Height(), 24);
  EXPECT_TRUE(IsWindowVisible(bar->Handle()));
  ASSERT_EQ(told.size(), 3u);
  EXPECT_TRUE(told[2].inserting);
}

TEST_F(DockFormTest, AFreedBarLeavesTheListsAndItsRoom) {
  TToolWin* a = MakeBar("twA", top_, 40, 20, 0);
  MakeBar("twB", top_, 40, 30, 1);
  EXPECT_EQ(top_->Height(), 24 + 34);
  delete a;
  Pump();
  EXPECT_EQ(top_->BarCount(), 1);
  EXPECT_EQ(top_->ShownBarCount(), 1);
  EXPECT_EQ(top_->Height(), 34);
  // A floating bar that remembers the dock leaves its list too.
  TToolWin* floating = MakeBar("twF", left_, 30, 30);
  floating->FloatAt(POINT{400, 400});
  EXPECT_EQ(left_->BarCount(), 1);
  delete floating;
  EXPECT_EQ(left_->BarCount(), 0);
}

TEST_F(DockFormTest, AFloatingBarStaysInTheListOfItsLastDockWhileUseLastDockIsOn) {
  TToolWin* bar = MakeBar("twA", top_, 40, 20);
  EXPECT_EQ(bar->LastDock(), top_);
  bar->FloatAt(POINT{300, 300});
  Pump();
  EXPECT_FALSE(bar->IsDocked());
  EXPECT_TRUE(top_->HasBar(bar));
  EXPECT_FALSE(top_->HasShownBar(bar));
  EXPECT_EQ(top_->Height(), 0);
  RECT r;
  GetWindowRect(bar->Handle(), &r);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 300);

  // Docked elsewhere, the old dock lets it go.
  bar->DockAt(bottom_, 0, -1);
  EXPECT_EQ(bar->LastDock(), bottom_);
  EXPECT_FALSE(top_->HasBar(bar));
  EXPECT_TRUE(bottom_->HasShownBar(bar));

  // Switched off, the last dock is forgotten; the dock it sits in keeps it while it is there.
  bar->SetUseLastDock(false);
  EXPECT_EQ(bar->LastDock(), nullptr);
  EXPECT_TRUE(bottom_->HasBar(bar));
  bar->FloatAt(POINT{300, 300});
  EXPECT_FALSE(bottom_->HasBar(bar));

  // Setting a last dock switches it on and puts the floating bar into that dock's list.
  bar->SetLastDock(right_);
  EXPECT_TRUE(bar->UseLastDock());
  EXPECT_TRUE(right_->HasBar(bar));
  EXPECT_FALSE(right_->HasShownBar(bar));
  EXPECT_EQ(right_->Width(), 0);
}

TEST_F(DockFormTest, ABarKeepsItsChildrensStateFromDockToDockToFloatingAndBack) {
  TToolWin* bar = MakeBar("twA", top_, 160, 90, 0, -1, false);
  const formstest::StatefulChildren children(form_, bar, 4, 4);
  Pump();
  children.ChangeAsTheUser();
  ASSERT_TRUE(children.check->Checked());

  int recreated = 0;
  bar->OnRecreated = [&](cl::TObject*) { ++recreated; };
  const auto expectKept = [&](const char* where) {
    SCOPED_TRACE(where);
    Pump();
    children.ExpectKept();
  };
  HWND first = bar->Handle();
  bar->DockAt(left_, 0, -1);
  EXPECT_NE(bar->Handle(), first);
  EXPECT_EQ(bar->DockedTo(), left_);
  expectKept("left dock");
  bar->FloatAt(POINT{350, 250});
  EXPECT_FALSE(bar->IsDocked());
  expectKept("floating");
  bar->DockAt(panelDock_, 0, -1);
  EXPECT_EQ(bar->DockedTo(), panelDock_);
  expectKept("panel dock");
  bar->DockAt(top_, 0, -1);
  expectKept("top dock again");
  EXPECT_EQ(recreated, 4);
  EXPECT_EQ(left_->BarCount() + panelDock_->BarCount(), 0);
}

TEST_F(DockFormTest, ADockFreedWithItsBarsTakesTheDockedOnesAndIsForgottenByTheRest) {
  const auto picture = std::make_unique<cl::TBitmap>();
  picture->SetSize(8, 8);
  top_->SetBackground(picture.get());
  top_->SetBoundLines(toolkit::dock::TDockBoundLines{toolkit::dock::blBottom});
  MakeBar("twA", top_, 40, 20, 0);
  MakeBar("twB", top_, 40, 20, 1);
  TToolWin* floating = MakeBar("twF", top_, 40, 20, 0);
  floating->FloatAt(POINT{400, 300});
  TToolWin* other = MakeBar("twO", bottom_, 40, 20, 0);
  other->SetDefaultDock(top_);
  Pump();
  ASSERT_EQ(top_->BarCount(), 3);

  delete top_;
  top_ = nullptr;
  Pump();
  EXPECT_EQ(form_->FindComponent("twA"), nullptr);
  EXPECT_EQ(form_->FindComponent("twB"), nullptr);
  EXPECT_EQ(floating->LastDock(), nullptr);
  EXPECT_EQ(other->DefaultDock(), nullptr);
  EXPECT_EQ(other->LastDock(), bottom_);
  // What is left works on.
  floating->DockAt(bottom_, 0, -1);
  EXPECT_EQ(bottom_->ShownBarCount(), 2);
  EXPECT_EQ(left_->Top(), 0);
}

TEST_F(DockFormTest, FreedDocksAreForgottenAsDefaultAndLastDock) {
  TToolWin* bar = MakeBar("twA", nullptr, 40, 20);
  bar->SetParent(form_);
  bar->SetDefaultDock(right_);
  bar->SetLastDock(left_);
  EXPECT_TRUE(left_->HasBar(bar));
  delete left_;
  EXPECT_EQ(bar->LastDock(), nullptr);
  EXPECT_EQ(bar->DefaultDock(), right_);
  delete right_;
  EXPECT_EQ(bar->DefaultDock(), nullptr);
  // One dock as both.
  bar->SetDefaultDock(bottom_);
  bar->SetLastDock(bottom_);
  delete bottom_;
  EXPECT_EQ(bar->DefaultDock(), nullptr);
  EXPECT_EQ(bar->LastDock(), nullptr);
}

TEST_F(DockFormTest, ChangingTheDefaultDockKeepsTheDockItSitsInTellingOfItsEnd) {
  // Without a last dock, the dock it sits in knows it only as one of its bars; and owned elsewhere than
  // the dock, it is told of the bar's end only through the link the bar made.
  auto* bar = new TToolWin(nullptr);
  bar->SetClientAreaSize(40, 20);
  bar->SetUseLastDock(false);
  bar->SetDefaultDock(top_);
  bar->DockAt(top_, 0, -1);
  bar->SetDefaultDock(bottom_);
  EXPECT_TRUE(top_->HasBar(bar));
  delete bar;
  EXPECT_EQ(top_->BarCount(), 0);
  EXPECT_EQ(top_->Height(), 0);
}

// Windows that exist while their form reads a description (read into a shown form, say) are sized while
// loading: nobody hears of that until the description is in, and then the dock's bars are in place.
TEST_F(DockFormTest, OnResizeIsQuietWhileLoadingAndTheDockArrangesBeforeIt) {
  TToolWin* full = MakeBar("twFull", top_, 40, 20);
  full->SetFullSize(true);
  TToolWin* bar = MakeBar("twLeft", left_, 40, 20);
  std::vector<std::string> heard;
  const auto loading = [](const cl::TComponent* c) { return c->ComponentState().Contains(cl::csLoading); };
  top_->OnResize = [&](cl::TObject*) {
    heard.push_back(std::string(loading(top_) ? "loading " : "") +
                    (full->Width() == top_->Width() ? "dock, bar across" : "dock, bar short"));
  };
  bar->OnResize = [&](cl::TObject*) { heard.push_back(loading(bar) ? "loading bar" : "bar"); };
  form_->BeginLoading();
  form_->SetWidth(form_->Width() + 40);
  bar->SetClientAreaSize(50, 30);
  Pump();
  EXPECT_EQ(heard, std::vector<std::string>{});
  form_->EndLoading();
  Pump();
  EXPECT_EQ(bar->ClientAreaWidth(), 50);
  form_->SetWidth(form_->Width() + 40);
  Pump();
  EXPECT_NE(std::find(heard.begin(), heard.end(), "dock, bar across"), heard.end()) << testing::PrintToString(heard);
  EXPECT_EQ(std::find(heard.begin(), heard.end(), "dock, bar short"), heard.end()) << testing::PrintToString(heard);
  bar->SetClientAreaSize(60, 30);
  EXPECT_NE(std::find(heard.begin(), heard.end(), "bar"), heard.end()) << testing::PrintToString(heard);
}

}  // namespace

namespace {

// A form read from a description of docks and bars, made by each test.
class DockDescriptionTest : public formstest::AppTest {
 protected:
  cl::TForm* ReadForm(const std::string& description) {
    cl::RegisterStandardClasses();
    cl::RegisterClasses({TToolWin::StaticClass(), TToolDock::StaticClass()});
    auto* form = cl::NewForm<cl::TForm>(app_.get());
    cl::ReadRootComponent(form, description);
    return form;
  }
};

TEST_F(DockDescriptionTest, ADescriptionDocksItsBarsAndNamesTheDocksOfAFloatingOne) {
  auto* form = ReadForm("object frmDocks: TForm\n"
                        "  Width = 500\n"
                        "  Height = 300\n"
                        "  object dkTop: TToolDock\n"
                        "    BoundLines = [blTop, blBottom]\n"
                        "    object twDocked: TToolWin\n"
                        "      ClientAreaHeight = 20\n"
                        "      ClientAreaWidth = 60\n"
                        "      DockPos = 30\n"
                        "    end\n"
                        "  end\n"
                        "  object dkLeft: TToolDock\n"
                        "    Position = dpLeft\n"
                        "  end\n"
                        "  object twFloating: TToolWin\n"
                        "    DefaultDock = dkTop\n"
                        "    LastDock = dkLeft\n"
                        "    HideWhenInactive = False\n"
                        "  end\n"
                        "end\n");
  auto* top = cl::ComponentAs<TToolDock>(form, "dkTop");
  auto* left = cl::ComponentAs<TToolDock>(form, "dkLeft");
  auto* docked = cl::ComponentAs<TToolWin>(form, "twDocked");
  auto* floating = cl::ComponentAs<TToolWin>(form, "twFloating");
  form->Show();
  Pump();
  EXPECT_EQ(top->BoundLines(), (toolkit::dock::TDockBoundLines{toolkit::dock::blTop, toolkit::dock::blBottom}));
  EXPECT_EQ(docked->DockedTo(), top);
  EXPECT_EQ(docked->Left(), 30);
  EXPECT_EQ(top->Height(), 20 + 4 + 2);
  EXPECT_EQ(floating->DefaultDock(), top);
  EXPECT_EQ(floating->LastDock(), left);
  EXPECT_TRUE(left->HasBar(floating));
  EXPECT_FALSE(left->HasShownBar(floating));
  EXPECT_EQ(left->Width(), 0);
}

TEST_F(DockDescriptionTest, ABarNamingItsDockLoadsDockedThere) {
  auto* form = ReadForm("object frmDocks: TForm\n"
                        "  Width = 500\n"
                        "  Height = 300\n"
                        "  object twBar: TToolWin\n"
                        "    ClientAreaHeight = 20\n"
                        "    ClientAreaWidth = 60\n"
                        "    DockedTo = dkLeft\n"
                        "    HideWhenInactive = False\n"
                        "  end\n"
                        "  object dkLeft: TToolDock\n"
                        "    Position = dpLeft\n"
                        "  end\n"
                        "end\n");
  auto* left = cl::ComponentAs<TToolDock>(form, "dkLeft");
  auto* bar = cl::ComponentAs<TToolWin>(form, "twBar");
  form->Show();
  Pump();
  EXPECT_EQ(bar->DockedTo(), left);
  EXPECT_EQ(bar->Parent(), left);
  EXPECT_TRUE(left->HasShownBar(bar));
  EXPECT_EQ(left->Width(), 60 + 4);
  EXPECT_EQ(bar->ClientAreaWidth(), 60);
  ASSERT_TRUE(bar->HandleAllocated());
  EXPECT_NE(GetWindowLongPtrW(bar->Handle(), GWL_STYLE) & WS_CHILD, 0);
}

}  // namespace
