#include "SkinColor.h"

#include <gtest/gtest.h>

using skin::ParseSkinColor;
using skin::ReadSkinColor;

namespace {

TEST(SkinColor, ThreeNumbersWithAnySeparator) {
  EXPECT_EQ(ParseSkinColor("255 128 0"), 0x0080FFu);
  EXPECT_EQ(ParseSkinColor("255,128,0"), 0x0080FFu);
  EXPECT_EQ(ParseSkinColor("rgb(255;128;0)"), 0x0080FFu);
  EXPECT_EQ(ParseSkinColor("  200,200,200 \t"), 0xC8C8C8u);
  EXPECT_EQ(ParseSkinColor("1 2 3x"), 0x030201u);
  EXPECT_EQ(ParseSkinColor("-1 -2 -3"), 0x030201u);  // a sign is just a separator
}

TEST(SkinColor, MissingAndExtraNumbers) {
  EXPECT_EQ(ParseSkinColor("10 20"), 10u);  // an open run at the end counts only as blue
  EXPECT_EQ(ParseSkinColor("10 20 \t"), 10u);  // trailing blanks are trimmed first
  EXPECT_EQ(ParseSkinColor("10 20)"), 0x140Au);
  EXPECT_EQ(ParseSkinColor("77"), 0u);
  EXPECT_EQ(ParseSkinColor(""), 0u);
  EXPECT_EQ(ParseSkinColor("no digits"), 0u);
  EXPECT_EQ(ParseSkinColor("1 2 3 4 5"), 0x030201u);
}

TEST(SkinColor, NumbersAreTakenModulo256WhateverTheirLength) {
  EXPECT_EQ(ParseSkinColor("256 257 511"), 0xFF0100u);
  // 99999999999 = 0x174876E7FF: too long for 32 bits, yet it stays one number and the next ones count.
  EXPECT_EQ(ParseSkinColor("255 99999999999 7"), 0x07FFFFu);
  EXPECT_EQ(ParseSkinColor("000000000000000000000000000000012 0 0"), 12u);
}

TEST(SkinColor, ReadSkinColorKeepsTheDefaultForEmptyText) {
  EXPECT_EQ(ReadSkinColor("", cl::clNone), cl::clNone);
  EXPECT_EQ(ReadSkinColor(" \t", 0xFF00000Fu), 0xFF00000Fu);
  EXPECT_EQ(ReadSkinColor("0,0,0", cl::clNone), 0u);
}

}  // namespace
