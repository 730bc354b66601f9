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

TEST(SkinColor, NumbersAreTakenModulo256) {
  EXPECT_EQ(ParseSkinColor("256 257 511"), 0xFF0100u);
  EXPECT_EQ(ParseSkinColor("000000000000000000000000000000012 0 0"), 12u);  // leading zeros do not count
}

// A run must fit a 32-bit signed integer. One that does not is not stored, and the digits after it
// join it, so nothing after it is stored either.
TEST(SkinColor, ARunPastTheSignedRangeEndsTheNumbers) {
  EXPECT_EQ(ParseSkinColor("2147483647 0 0"), 0xFFu);  // the largest run that is stored (255 modulo 256)
  EXPECT_EQ(ParseSkinColor("2147483648 0 0"), 0u);     // one more is not, nor anything after it
  EXPECT_EQ(ParseSkinColor("255 99999999999 7"), 0xFFu);
  EXPECT_EQ(ParseSkinColor("1 2 4294967296"), 0x0201u);  // at the end of the text, as blue: dropped too
  EXPECT_EQ(ParseSkinColor("1 2 2147483647"), 0xFF0201u);
  EXPECT_EQ(ParseSkinColor("00000000002147483648,5,6"), 0u);  // the value counts, not the length
  EXPECT_EQ(ReadSkinColor("99999999999999999999999999999", cl::clNone), 0u);  // a text, so no default
}

TEST(SkinColor, ReadSkinColorKeepsTheDefaultForEmptyText) {
  EXPECT_EQ(ReadSkinColor("", cl::clNone), cl::clNone);
  EXPECT_EQ(ReadSkinColor(" \t", 0xFF00000Fu), 0xFF00000Fu);
  EXPECT_EQ(ReadSkinColor("0,0,0", cl::clNone), 0u);
}

}  // namespace
