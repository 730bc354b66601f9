// Shared by the tests that make the program's windows in this process.
#pragma once
#include <gtest/gtest.h>

#include "SaRegister.h"
#include "StdClasses.h"
#include "FormsTestSupport.h"

namespace hkwin {

// A fresh application with every control class the forms name; no exception may reach it.
class WindowTest : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    toolkit::RegisterToolkitClasses();
  }
  void TearDown() override {
    EXPECT_TRUE(errors_.empty()) << errors_.front();
    AppTest::TearDown();
  }
};

}  // namespace hkwin
