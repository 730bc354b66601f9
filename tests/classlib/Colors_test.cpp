#include "Colors.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Colors, EncodingOfFixedAndSystemColours) {
  EXPECT_EQ(cl::clRed, cl::RGBColor(255, 0, 0));  // red in the low byte
  EXPECT_EQ(cl::clFuchsia, 0xFF00FFu);
  EXPECT_EQ(cl::clBtnFace, 0xFF00000Fu);        // COLOR_BTNFACE 15
  EXPECT_EQ(cl::clHighlightText, 0xFF00000Eu);  // COLOR_HIGHLIGHTTEXT 14
  EXPECT_EQ(cl::clNone, 0x1FFFFFFFu);
}

TEST(Colors, ColorToRgbLooksUpSystemColoursThroughTheHook) {
  cl::SetSysColorFunc([](int index) -> uint32_t { return 0xAA000000u | static_cast<uint32_t>(index * 0x010101); });
  EXPECT_EQ(cl::ColorToRGB(cl::clBtnFace), 0x0F0F0Fu);  // the hook's stray top byte is dropped
  EXPECT_EQ(cl::ColorToRGB(cl::clWindow), 0x050505u);
  EXPECT_EQ(cl::ColorToRGB(cl::clFuchsia), 0xFF00FFu);
  // Not drawable as such: the top byte goes, leaving a valid COLORREF.
  EXPECT_EQ(cl::ColorToRGB(cl::clNone), 0xFFFFFFu);
  EXPECT_EQ(cl::ColorToRGB(cl::clDefault), 0u);
  cl::SetSysColorFunc(nullptr);
#ifndef _WIN32
  EXPECT_EQ(cl::ColorToRGB(cl::clBtnFace), cl::RGBColor(212, 208, 200));
  EXPECT_EQ(cl::ColorToRGB(cl::clWindow), cl::clWhite);
  EXPECT_EQ(cl::ColorToRGB(cl::clSystemColor | 0xFF), 0u);  // no such index
#endif
}

TEST(Colors, IdentifiersBothWays) {
  cl::TColor c = 0;
  ASSERT_TRUE(cl::IdentToColor("clBtnFace", c));
  EXPECT_EQ(c, cl::clBtnFace);
  ASSERT_TRUE(cl::IdentToColor("CLFUCHSIA", c));
  EXPECT_EQ(c, 0xFF00FFu);
  ASSERT_TRUE(cl::IdentToColor("clNone", c));
  EXPECT_EQ(c, cl::clNone);
  ASSERT_TRUE(cl::IdentToColor("clLtGray", c));
  EXPECT_EQ(c, cl::clSilver);

  c = 1234;
  EXPECT_FALSE(cl::IdentToColor("clBtnFaceX", c));
  EXPECT_FALSE(cl::IdentToColor("", c));
  EXPECT_EQ(c, 1234u);

  std::string name;
  ASSERT_TRUE(cl::ColorToIdent(cl::clWindowText, name));
  EXPECT_EQ(name, "clWindowText");
  ASSERT_TRUE(cl::ColorToIdent(cl::clDefault, name));
  EXPECT_EQ(name, "clDefault");
  ASSERT_TRUE(cl::ColorToIdent(0xC0C0C0, name));
  EXPECT_EQ(name, "clSilver");
  name = "kept";
  EXPECT_FALSE(cl::ColorToIdent(0x123456, name));
  EXPECT_EQ(name, "kept");
}

}  // namespace
