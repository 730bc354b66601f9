#include <gtest/gtest.h>

#include <string>

#include "SaIconsData.h"
#include "Streams.h"
#include "SysUtils.h"
#include "TestSupport.h"

namespace {

using toolkit::ReadIconsData;
using toolkit::TIconsData;
using toolkit::WriteIconsData;

std::string I32(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  return std::string{char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char((u >> 24) & 0xFF)};
}

// Title "Key", author "Me", 32x32, frames (5, "ABC") and (7, no icon).
const std::string kBlock = I32(3) + "Key" + I32(2) + "Me" + std::string(1, '\x01') + I32(2) +  //
                           I32(5) + I32(3) + "ABC" + I32(7) + I32(0);

TIconsData Parse(const std::string& bytes) {
  cl::TMemoryStream s(bytes);
  return ReadIconsData(s);
}

TEST(IconsData, WritesAndReadsTheBlockByteForByte) {
  TIconsData d;
  d.Title = "Key";
  d.Author = "Me";
  d.LargeIcons = true;
  d.Frames = {{5, "ABC"}, {7, ""}};
  cl::TMemoryStream out;
  WriteIconsData(out, d);
  EXPECT_EQ(std::string(static_cast<const char*>(out.Memory()), size_t(out.Size())), kBlock);
  EXPECT_EQ(Parse(kBlock), d);

  // Any non-zero flag means large frames; a negative size is an empty frame and reading goes on.
  std::string other = I32(0) + I32(0) + std::string(1, '\x7F') + I32(2) + I32(1) + I32(-5) + I32(2) + I32(1) + "Z";
  const TIconsData o = Parse(other);
  EXPECT_TRUE(o.LargeIcons);
  ASSERT_EQ(o.Frames.size(), 2u);
  EXPECT_EQ(o.Frames[0], (toolkit::TIconsFrameData{1, ""}));
  EXPECT_EQ(o.Frames[1], (toolkit::TIconsFrameData{2, "Z"}));
}

TEST(IconsData, HostileBlocksFailWithAClearError) {
  auto message = [](const std::string& bytes) {
    return testsupport::MessageOf<cl::EReadError>([&] { Parse(bytes); });
  };
  EXPECT_EQ(message(I32(-1)), "Icons data is not valid: title length");
  EXPECT_EQ(message(I32(1000) + "abc"), "Icons data is not valid: title length");
  EXPECT_EQ(message(I32(0) + I32(0x7FFFFFFF)), "Icons data is not valid: author length");
  // A count that the bytes left cannot hold is refused before anything is allocated.
  EXPECT_EQ(message(I32(0) + I32(0) + std::string(1, '\0') + I32(0x7FFFFFFF)),
            "Icons data is not valid: frame count");
  EXPECT_EQ(message(I32(0) + I32(0) + std::string(1, '\0') + I32(-3)), "Icons data is not valid: frame count");
  EXPECT_EQ(message(I32(0) + I32(0) + std::string(1, '\0') + I32(1) + I32(1) + I32(0x10000000)),
            "Icons data is not valid: frame size");
  // Every truncation of a good block fails too.
  for (size_t n = 0; n < kBlock.size(); ++n) EXPECT_THROW(Parse(kBlock.substr(0, n)), cl::EReadError) << n;
}

}  // namespace
