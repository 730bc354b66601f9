// The skin component's data: the face brush made from each skin read, and the system menu's icons taken
// from the programs' own resources.
#include "WinSkinData.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FileUtil.h"
#include "SkinPack.h"
#include "TestSupport.h"

namespace {

using skin::TSkinData;

// A package of one description and no bitmaps.
std::string PackageOf(const std::string& ini) { return skin::BuildSkinPackage({{"test.ini", ini}}); }

void Load(TSkinData& data, const std::string& package) {
  data.SkinStreamData.Clear();
  data.SkinStreamData.Write(package.data(), package.size());
  ASSERT_TRUE(data.LoadSkin());
}

// The colour of a solid brush.
COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH lb{};
  EXPECT_EQ(GetObjectW(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
  return lb.lbColor;
}

TEST(WinSkinData, EachSkinReadMakesTheFaceBrushAnew) {
  const long held = cl::GdiHandlesHeld();
  {
    TSkinData data(nullptr);
    EXPECT_EQ(data.FaceBrush(), nullptr);
    Load(data, PackageOf("[Colours]\r\nButtonFace=200,200,200\r\n"));
    EXPECT_FALSE(data.NoSkin);
    ASSERT_NE(data.FaceBrush(), nullptr);
    EXPECT_EQ(BrushColour(data.FaceBrush()), RGB(200, 200, 200));
    EXPECT_EQ(cl::GdiHandlesHeld(), held + 1);

    // The next skin replaces the brush; the old one is gone, not leaked.
    Load(data, PackageOf("[Colours]\r\nButtonFace=1 2 3\r\n"));
    EXPECT_EQ(BrushColour(data.FaceBrush()), RGB(1, 2, 3));
    EXPECT_EQ(cl::GdiHandlesHeld(), held + 1);

    // Without the key the face is the system's button face.
    Load(data, PackageOf("[Personality]\r\n"));
    EXPECT_EQ(BrushColour(data.FaceBrush()), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(cl::GdiHandlesHeld(), held + 1);
  }
  EXPECT_EQ(cl::GdiHandlesHeld(), held);  // the component's end frees it
}

TEST(WinSkinData, OurPackageLoadsWithItsFaceColour) {
  TSkinData data(nullptr);
  Load(data, cl::ReadFileBytes(testsupport::DataDir("..") + "../resources/skin/Calderine.skn"));
  ASSERT_NE(data.MenuItem, nullptr);
  EXPECT_EQ(BrushColour(data.FaceBrush()), cl::ColorToRGB(data.Colors.ButtonFace));
}

// Draws icon `index` of the list over a red ground, 16 by 16.
std::unique_ptr<cl::TBitmap> DrawIcon(cl::TImageList& list, int index) {
  auto owned = std::make_unique<cl::TBitmap>();
  cl::TBitmap& b = *owned;
  b.SetSize(16, 16);
  b.SetPixelFormat(cl::pf24bit);
  b.Canvas()->Brush()->SetColor(cl::clRed);
  b.Canvas()->FillRect(cl::Rect(0, 0, 16, 16));
  list.Draw(b.Canvas(), 0, 0, index);
  return owned;
}

// The programs carry the icons of the skinned system menu: four images cut from SKINMENU, white left
// out, each the same picture as the strip drawn by our tool.
void ExpectMenuIcons(const char* program) {
  SCOPED_TRACE(program);
  HMODULE module = LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  {
    TSkinData data(nullptr, module);
    ASSERT_EQ(data.MenuIcons().Count(), 4);
    EXPECT_EQ(data.MenuIcons().Width(), 16);
    EXPECT_EQ(data.MenuIcons().Height(), 16);

    cl::TBitmap strip;
    strip.LoadFromFile(testsupport::DataDir("..") + "../resources/skin/SkinMenu.bmp");
    ASSERT_EQ(strip.Width(), 64);
    ASSERT_EQ(strip.Height(), 16);
    for (int i = 0; i < 4; ++i) {
      auto icon = DrawIcon(data.MenuIcons(), i);
      int black = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          const cl::TColor want = strip.Canvas()->Pixels(16 * i + x, y);
          ASSERT_EQ(icon->Canvas()->Pixels(x, y), want == cl::clWhite ? cl::clRed : want)
              << "icon " << i << " at " << x << "," << y;
          black += want == cl::clBlack;
        }
      EXPECT_GT(black, 10) << "icon " << i;
    }
  }
  FreeLibrary(module);
}

TEST(WinSkinData, TheProgramsCarryTheSystemMenuIcons) {
  ExpectMenuIcons(HK_HOTKEYS_EXE);
  ExpectMenuIcons(HK_PELLWICK_EXE);
}

TEST(WinSkinData, AModuleWithoutTheIconsGivesAnEmptyList) {
  TSkinData data(nullptr);  // the test program has no SKINMENU
  EXPECT_EQ(data.MenuIcons().Count(), 0);
}

}  // namespace
