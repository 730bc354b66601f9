#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "FormReader.h"
#include "SaAniIcons.h"
#include "Streams.h"

namespace {

// resources/icons beside tests/data.
std::string IconsDir() {
  const char* env = std::getenv("HK_TEST_DATA");
  return std::string(env && *env ? env : HK_TEST_DATA) + "/../../resources/icons/";
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The block as a form description holding it as a binary property gives it back.
std::string BlockOf(const std::string& file) {
  const std::string hex = ReadText(IconsDir() + file);
  EXPECT_FALSE(hex.empty()) << file;
  const cl::TFormObject tree = cl::ParseFormText("object atiTray: TSaAnimatedTrayIcon\n  Animation.Icons = {\n" + hex +
                                                 "    }\nend\n");
  EXPECT_EQ(tree.Properties.size(), 1u);
  if (tree.Properties.size() != 1) return {};
  EXPECT_EQ(tree.Properties[0].Value.Kind, cl::TFormValueKind::Binary);
  return tree.Properties[0].Value.Text;
}

struct IconSize {
  int width = 0;
  int height = 0;
};

IconSize SizeOf(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  BITMAP bm{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  IconSize s{bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return s;
}

void ExpectAnimation(const std::string& file, bool large, const char* title, const std::vector<int>& times) {
  SCOPED_TRACE(file);
  const std::string block = BlockOf(file);
  ASSERT_FALSE(block.empty());
  // Sixteen-byte lines would be read the same, but the files keep the writer's 32 bytes per line.
  const std::string hex = ReadText(IconsDir() + file);
  EXPECT_EQ(hex.substr(0, hex.find('\n')).size(), 64u);

  toolkit::TSaAnimatedIcons anim(large);
  cl::TMemoryStream stream(block);
  anim.ReadIcons(stream);
  EXPECT_EQ(stream.Position(), static_cast<int64_t>(block.size()));
  EXPECT_EQ(anim.Title(), title);
  EXPECT_EQ(anim.LargeIcons(), large);
  ASSERT_EQ(anim.Count(), static_cast<int>(times.size()));
  const int size = large ? 32 : 16;
  for (int i = 0; i < anim.Count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(anim.Icons(i)->DisplayTime(), times[i]);
    ASSERT_FALSE(anim.Icons(i)->Empty());
    EXPECT_EQ(anim.Icons(i)->Width(), size);
    EXPECT_EQ(anim.Icons(i)->Height(), size);
    const IconSize s = SizeOf(anim.Icons(i)->Handle());
    EXPECT_EQ(s.width, size);
    EXPECT_EQ(s.height, size);
  }
  // The key goes down and comes back: the frames differ, and the last looks like the first.
  cl::TMemoryStream first, middle, last;
  anim.Icons(0)->SaveToStream(first);
  anim.Icons(anim.Count() / 2)->SaveToStream(middle);
  anim.Icons(anim.Count() - 1)->SaveToStream(last);
  EXPECT_NE(first.Bytes(), middle.Bytes());
  EXPECT_EQ(first.Bytes(), last.Bytes());
}

TEST(IconAssets, KeyBeingPressedHasEightFramesOfFiveHundredths) {
  ExpectAnimation("KeyPressed16.icons", false, "Key being pressed", std::vector<int>(8, 5));
}

TEST(IconAssets, KeyBeingPressedLargeHasElevenQuickAndTenSlowerFrames) {
  std::vector<int> times(11, 3);
  times.insert(times.end(), 10, 4);
  ExpectAnimation("KeyPressed32.icons", true, "Key being pressed (32x32)", times);
}

TEST(IconAssets, IconFilesLoadAtEachSize) {
  const struct {
    const char* file;
    std::vector<int> sizes;
  } cases[] = {{"TrayIcon.ico", {16}}, {"Hotkeys.ico", {16, 32, 48}}};
  for (const auto& c : cases) {
    for (int size : c.sizes) {
      SCOPED_TRACE(std::string(c.file) + " " + std::to_string(size));
      const std::wstring path = [&] {
        const std::string p = IconsDir() + c.file;
        return std::wstring(p.begin(), p.end());
      }();
      HICON icon = static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
      ASSERT_NE(icon, nullptr);
      const IconSize s = SizeOf(icon);
      EXPECT_EQ(s.width, size);
      EXPECT_EQ(s.height, size);
      DestroyIcon(icon);
    }
  }
  // The program icon holds exactly its three sizes.
  const std::string ico = ReadText(IconsDir() + "Hotkeys.ico");
  ASSERT_GE(ico.size(), 6u);
  EXPECT_EQ(ico.substr(0, 6), std::string("\0\0\1\0\3\0", 6));
}

}  // namespace
