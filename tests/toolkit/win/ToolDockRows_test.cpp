#include <gtest/gtest.h>

#include "DockTestForm.h"

namespace {

using docktest::DockFormTest;

TEST_F(DockFormTest, TheFormHasFourDocksAndOneOnThePanel) {
  EXPECT_EQ(top_->Position(), toolkit::dock::dpTop);
  EXPECT_EQ(bottom_->Align(), cl::alBottom);
  EXPECT_EQ(panelDock_->Parent(), panel_);
  EXPECT_EQ(top_->Version(), "ToolDock version 1.76");
}

}  // namespace
