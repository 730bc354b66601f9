#include <gtest/gtest.h>

#include "SysUtils.h"
#include "TestSupport.h"

using testsupport::MessageOf;

TEST(SysUtils, StrToIntTakesDecimalIntegersOnly) {
  EXPECT_EQ(cl::StrToInt("42"), 42);
  EXPECT_EQ(cl::StrToInt(" -7 "), -7);
  EXPECT_EQ(cl::StrToInt("+3"), 3);
  EXPECT_EQ(cl::StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(cl::StrToInt("2147483647"), INT32_MAX);
  for (const char* bad : {"", " ", "-", "1x", "0x10", "2147483648", "-2147483649", "99999999999999999999999"})
    EXPECT_EQ(MessageOf<cl::EConvertError>([&] { cl::StrToInt(bad); }),
              std::string("'") + bad + "' is not a valid integer value");
  EXPECT_EQ(cl::StrToIntDef("abc", 1), 1);
  EXPECT_EQ(cl::StrToIntDef("5", 1), 5);
}
