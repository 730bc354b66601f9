#include "ResourceStream.h"

#include <gtest/gtest.h>

#include <string>

#include "SysUtils.h"

using namespace cl;

TEST(ResourceStream, ReadsRawDataByNameAndNumber) {
  TResourceStream byName(GetModuleHandleW(nullptr), "hktestdata", RT_RCDATA);  // names match regardless of case
  EXPECT_EQ(byName.Bytes(), std::string("Hello\x01\x02\x00\x00\x03\x04", 11));
  char buf[5];
  byName.ReadBuffer(buf, 5);
  EXPECT_EQ(std::string(buf, 5), "Hello");
  EXPECT_EQ(byName.Position(), 5);
  EXPECT_THROW(byName.Write("x", 1), EStreamError);
  EXPECT_THROW(byName.SetSize(0), EStreamError);

  TResourceStream byId(GetModuleHandleW(nullptr), 42, RT_RCDATA);
  EXPECT_EQ(byId.Bytes(), "id");
}

TEST(ResourceStream, MissingResourceNamesIt) {
  try {
    TResourceStream s(GetModuleHandleW(nullptr), "NOSUCHFORM", RT_RCDATA);
    FAIL() << "no error";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource NOSUCHFORM not found");
  }
  try {
    TResourceStream s(GetModuleHandleW(nullptr), 43, RT_RCDATA);
    FAIL() << "no error";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource 43 not found");
  }
}
