// The contact sheet program, run on our own skin package: it writes a sheet of the expected size, and
// known elements land where its layout puts them, pixel for pixel as the skin's own strips hold them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FileUtil.h"
#include "ImgUtil.h"
#include "Process.h"
#include "SkinDescription.h"
#include "SkinRead.h"
#include "TestSupport.h"

namespace {

std::string PackagePath() { return testsupport::DataDir("..") + "../resources/skin/Calderine.skn"; }

// The package as the sheet program reads it.
struct OwnSkin {
  skin::TSkinReader reader;
  skin::TSkinDescription skin;
  OwnSkin() {
    cl::TMemoryStream source(cl::ReadFileBytes(PackagePath()));
    EXPECT_TRUE(reader.LoadFromStream(source));
    cl::TMemoryStream text;
    std::string name;
    reader.FindEntry(".ini", text, name);
    skin::TQuickIni ini;
    ini.LoadFromStream(&text);
    skin.ReadSkinIni(
        ini,
        [this](const std::string& entry) {
          cl::TMemoryStream bytes;
          reader.ReadEntry(entry, bytes);
          return std::string(bytes.Bytes());
        },
        GetSystemMetrics(SM_CXHSCROLL));
  }
};

// Counts the pixels of frame `frame` (of `frames`, side by side) of `image` that differ from the sheet
// at (x, y); key pixels are left out, the sheet shows its background there. `compared` counts the rest.
int Mismatches(cl::TBitmap& sheet, int x, int y, skin::TSkinImage& image, int frames, int frame, int& compared) {
  cl::TBitmap* strip = skin::SkinImageBitmap(image);
  if (!strip) return -1;
  const int w = image.Width / frames;
  int wrong = 0;
  compared = 0;
  for (int py = 0; py < image.Height; ++py)
    for (int px = 0; px < w; ++px) {
      const cl::TColor c = strip->Canvas()->Pixels((frame - 1) * w + px, py);
      if (c == skin::kSkinKeyColor) continue;
      ++compared;
      if (sheet.Canvas()->Pixels(x + px, y + py) != c) ++wrong;
    }
  return wrong;
}

TEST(SkinSheet, DrawsOurPackage) {
  testsupport::TempDir dir;
  const std::string out = (dir.path / "sheet.bmp").string();
  hktest::ChildProcess program;
  ASSERT_TRUE(program.Start(HK_SKINSHEET_EXE, {PackagePath(), out}));
  EXPECT_EQ(program.WaitExit(60000), 0u);

  cl::TBitmap sheet;
  sheet.LoadFromFile(out);
  ASSERT_EQ(sheet.Width(), 1040);
  ASSERT_EQ(sheet.Height(), 1172);

  OwnSkin own;
  skin::TSkinDescription& s = own.skin;
  // The background is the skin's face colour.
  EXPECT_EQ(sheet.Canvas()->Pixels(4, 40), cl::ColorToRGB(s.Colors.ButtonFace));

  // The close button of the active window mock (484 wide at 16, 72): frame 1 at Xcoord from the right
  // edge and Ycoord from the top; the inactive one (at 16, 284) shows frame 4.
  skin::TDataSkinSysButton* close = s.SysButtons.at(0).get();
  ASSERT_EQ(close->Name, "BUTTON.CLOSE");
  int compared = 0;
  EXPECT_EQ(Mismatches(sheet, 16 + 484 - close->Xcoord, 72 + close->Ycoord, close->Image, close->FrameCount, 1,
                       compared),
            0);
  EXPECT_GT(compared, 300);
  EXPECT_EQ(Mismatches(sheet, 16 + 484 - close->Xcoord, 284 + close->Ycoord, close->Image, close->FrameCount, 4,
                       compared),
            0);

  // The check box and radio button cells at their own size: row 412 (checks) and 436 (radios), the
  // states 121 pixels apart from x 540, each centred in a 16-pixel line.
  for (int f = 1; f <= 4; ++f) {
    SCOPED_TRACE(f);
    skin::TDataSkinButton& b = s.Buttons;
    const int x = 540 + 121 * (f - 1);
    EXPECT_EQ(Mismatches(sheet, x, 412 + (16 - b.CheckButtonImage.Height) / 2, b.CheckButtonImage,
                         b.CheckButtonFrame, f, compared),
              0);
    EXPECT_GT(compared, 100);
    EXPECT_EQ(Mismatches(sheet, x, 436 + (16 - b.RadioButtonImage.Height) / 2, b.RadioButtonImage,
                         b.RadioButtonFrame, f, compared),
              0);
    EXPECT_GT(compared, 60);
  }
}

TEST(SkinSheet, RefusesWhatIsNoPackage) {
  testsupport::TempDir dir;
  const std::string bad = (dir.path / "bad.skn").string();
  cl::WriteFileAtomic(bad, std::string("\x0A\0\0\0 not a package", 20));
  hktest::ChildProcess program;
  ASSERT_TRUE(program.Start(HK_SKINSHEET_EXE, {bad, (dir.path / "sheet.bmp").string()}));
  EXPECT_EQ(program.WaitExit(60000), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir.path / "sheet.bmp"));
}

}  // namespace
