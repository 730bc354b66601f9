// The programs' own skin package: read the way the programs read it, it gives exactly the pinned
// description, and every element the painters draw is there with images that fit its frame count.
// After a deliberate change of the skin: scripts/build-skin.sh, then skindump the package into
// tests/data/skin/Calderine.dump.
#include <gtest/gtest.h>

#include <string>

#include "FileUtil.h"
#include "SkinDescription.h"
#include "SkinDump.h"
#include "SkinRead.h"
#include "TestSupport.h"

namespace {

using skin::TDataSkinObject;
using skin::TSkinImage;

// The system's usual scroll arrow width, as skindump takes it.
constexpr int kScrollArrowWidth = 17;

std::string PackagePath() { return testsupport::DataDir("..") + "../resources/skin/Calderine.skn"; }

class OwnSkin : public ::testing::Test {
 protected:
  void SetUp() override {
    cl::TMemoryStream source(cl::ReadFileBytes(PackagePath()));
    ASSERT_TRUE(reader_.LoadFromStream(source));
    cl::TMemoryStream text;
    std::string entryName;
    reader_.FindEntry(".ini", text, entryName);
    ASSERT_EQ(entryName, "calderine.ini");
    skin::TQuickIni ini;
    ini.LoadFromStream(&text);
    skin_.ReadSkinIni(
        ini,
        [this](const std::string& name) {
          cl::TMemoryStream entry;
          reader_.ReadEntry(name, entry);
          return std::string(entry.Bytes());
        },
        kScrollArrowWidth);
  }

  skin::TSkinReader reader_;
  skin::TSkinDescription skin_;
};

// A strip of `frames` equal frames side by side (or stacked).
void ExpectStrip(const TSkinImage& image, int frames, bool stacked, const std::string& what) {
  SCOPED_TRACE(what);
  ASSERT_FALSE(image.Empty());
  ASSERT_GT(frames, 0);
  const int length = stacked ? image.Height : image.Width;
  EXPECT_EQ(length % frames, 0) << image.Width << "x" << image.Height << " in " << frames << " frames";
  EXPECT_GE(length / frames, 4);
}

void ExpectElement(const TDataSkinObject* element, int frames, const std::string& what) {
  ASSERT_NE(element, nullptr) << what;
  EXPECT_EQ(element->FrameCount, frames) << what;
  ExpectStrip(element->Image, element->FrameCount, false, what);
  // The slice margins leave a middle to stretch or tile.
  const int width = element->Image.Width / element->FrameCount;
  EXPECT_LT(element->Margins.Left + element->Margins.Right, width) << what;
  EXPECT_LT(element->Margins.Top + element->Margins.Bottom, element->Image.Height) << what;
}

}  // namespace

TEST_F(OwnSkin, ReadsIntoThePinnedDescription) {
  EXPECT_FALSE(skin_.NoSkin);
  EXPECT_EQ(skin::DumpSkinDescription(skin_), cl::ReadFileBytes(testsupport::DataDir("skin") + "Calderine.dump"));
}

TEST_F(OwnSkin, EveryImageIsAnUncompressed24BitBitmap) {
  int files = 0;
  skin_.ForEachImage([&](TSkinImage& image) {
    if (!image.File) return;  // composed combo strips and deliberately empty images
    ++files;
    const auto info = skin::ProbeBmp(*image.File);
    ASSERT_TRUE(info.has_value()) << image.Name;
    EXPECT_EQ(info->BitCount, 24) << image.Name;
    EXPECT_EQ(info->Compression, 0u) << image.Name;
    EXPECT_FALSE(info->TopDown) << image.Name;
  });
  EXPECT_GE(files, 40);
}

TEST_F(OwnSkin, WindowFrameAndTitleBarButtons) {
  // Top and bottom stack their frames; the sides lie side by side. Frame 1 active, 2 inactive.
  ExpectStrip(skin_.BorderTop.Image, skin_.BorderTop.FrameCount, true, "top");
  ExpectStrip(skin_.BorderBottom.Image, skin_.BorderBottom.FrameCount, true, "bottom");
  ExpectStrip(skin_.BorderLeft.Image, skin_.BorderLeft.FrameCount, false, "left");
  ExpectStrip(skin_.BorderRight.Image, skin_.BorderRight.FrameCount, false, "right");
  for (const auto* b : {&skin_.BorderTop, &skin_.BorderBottom, &skin_.BorderLeft, &skin_.BorderRight})
    EXPECT_EQ(b->FrameCount, 2) << b->Name;
  const int titleHeight = skin_.BorderTop.Image.Height / 2;
  EXPECT_EQ(skin_.BorderTop.Trans, 1);  // the rounded corners are cut away

  // Close, maximise, restore, minimise, system menu, then the three buttons of a maximised MDI child.
  ASSERT_EQ(skin_.SysButtons.size(), 8u);
  const int actions[8] = {0, 1, 1, 2, 3, 7, 8, 9};
  for (size_t i = 0; i < 8; ++i) {
    const auto& b = *skin_.SysButtons[i];
    SCOPED_TRACE(b.Name + " #" + std::to_string(i));
    EXPECT_EQ(b.Action, actions[i]);
    if (b.Action == 3) {
      EXPECT_TRUE(b.Image.Empty());  // shows the window icon
      continue;
    }
    EXPECT_EQ(b.FrameCount, 4);
    ExpectStrip(b.Image, b.FrameCount, false, b.Name);
    if (b.Align == 1) {
      EXPECT_LE(b.Ycoord + b.Image.Height, titleHeight);
    }
  }
}

TEST_F(OwnSkin, EveryControlElementIsThere) {
  ExpectElement(&skin_.Buttons, 5, "Buttons");
  ExpectStrip(skin_.Buttons.CheckButtonImage, skin_.Buttons.CheckButtonFrame, false, "check");
  ExpectStrip(skin_.Buttons.RadioButtonImage, skin_.Buttons.RadioButtonFrame, false, "radio");
  EXPECT_EQ(skin_.Buttons.CheckButtonFrame, 4);
  EXPECT_EQ(skin_.Buttons.RadioButtonFrame, 4);

  ExpectElement(skin_.Progress.get(), 2, "Progress");
  EXPECT_FALSE(skin_.Progress->Image2.Empty());
  ExpectElement(skin_.Tabs.get(), 5, "Tabs");
  EXPECT_FALSE(skin_.Tabs->Image2.Empty());
  for (const auto* ud : {skin_.UpDownHorz.get(), skin_.UpDownVert.get()}) {
    ExpectElement(ud, 8, "UpDown");
    ExpectStrip(ud->Image2, 8, false, "UpDown glyphs");
  }
  // The composed combo-box strips: four cells of 50 by 21, button right and button left.
  ExpectElement(skin_.ComboButton.get(), 4, "ComboButton");
  EXPECT_EQ(skin_.ComboButton->Style, 2);
  EXPECT_EQ(skin_.ComboButton->Image.Width, 200);
  ExpectElement(skin_.SunkEdge.get(), 4, "SunkEdge");
  EXPECT_EQ(skin_.SunkEdge->Image.Width, 200);

  ExpectElement(skin_.GroupBoxEdge.get(), 2, "GroupBoxEdge");
  ExpectElement(skin_.GroupBox.get(), 1, "GroupBox");
  ExpectElement(skin_.Toolbars.get(), 5, "Toolbars");
  ExpectElement(skin_.StatusBarEdges.get(), 3, "StatusBarEdges");
  ExpectElement(skin_.ExtraImages.get(), 5, "ExtraImages");
  ExpectElement(skin_.Headerbar.get(), 5, "Headerbar");
  ExpectElement(skin_.MenuItem.get(), 5, "MenuItem");
  ExpectElement(skin_.MenuBackground.get(), 1, "MenuBackground");
  ASSERT_NE(skin_.MenuBar, nullptr);
  EXPECT_EQ(skin_.MenuBar->FrameCount, 2);
  ExpectStrip(skin_.MenuBar->Image, 2, true, "MenuBar");

  // Scroll bars: square arrow cells as thick as the tracks and thumbs.
  ExpectElement(skin_.Scrollbar.get(), 23, "Scrollbar");
  const int band = skin_.Scrollbar->Image.Height;
  EXPECT_EQ(skin_.Scrollbar->Image.Width / 23, band);
  ExpectElement(skin_.HorzScroll.get(), 4, "HorzScroll");
  ExpectElement(skin_.VertScroll.get(), 4, "VertScroll");
  ExpectElement(skin_.HorzScrollThumb.get(), 3, "HorzScrollThumb");
  ExpectElement(skin_.VertScrollThumb.get(), 3, "VertScrollThumb");
  for (const auto* e : {skin_.HorzScroll.get(), skin_.VertScroll.get(), skin_.HorzScrollThumb.get(),
                        skin_.VertScrollThumb.get()})
    EXPECT_EQ(e->Image.Height, band) << e->Name;

  for (const auto* t : {skin_.TrackbarThumbHorz.get(), skin_.TrackbarThumbVert.get(), skin_.TrackbarThumbLeft.get(),
                        skin_.TrackbarThumbRight.get(), skin_.TrackbarThumbUp.get(), skin_.TrackbarThumbDown.get()})
    ExpectElement(t, 5, "Trackbar thumb");
}

// Frame 2 of the menu item element is the separator: a separator item (8 rows high) shows the frame's
// bottom 8 rows keyed, so those hold a line across the frame and everything else is key colour.
TEST_F(OwnSkin, MenuItemFrame2IsTheSeparator) {
  const TSkinImage& image = skin_.MenuItem->Image;
  ASSERT_TRUE(image.File);
  const auto info = skin::ProbeBmp(*image.File);
  ASSERT_TRUE(info && info->BitCount == 24 && !info->TopDown);
  const std::string& bytes = *image.File;
  const size_t offBits = static_cast<uint8_t>(bytes[10]) | static_cast<uint8_t>(bytes[11]) << 8;
  const int stride = (image.Width * 3 + 3) / 4 * 4, frameWidth = image.Width / 5;
  auto isKey = [&](int x, int y) {  // top-down y
    const size_t at = offBits + static_cast<size_t>(image.Height - 1 - y) * stride + static_cast<size_t>(x) * 3;
    return bytes.substr(at, 3) == std::string("\xFF\x00\xFF", 3);
  };
  int lineRows = 0;
  for (int y = 0; y < image.Height; ++y) {
    int drawn = 0;
    for (int x = frameWidth; x < 2 * frameWidth; ++x) drawn += !isKey(x, y);
    if (y < image.Height - 8) {
      EXPECT_EQ(drawn, 0) << "row " << y;
    } else if (drawn > 0) {
      EXPECT_GE(drawn, frameWidth - 2 * skin_.MenuItem->Margins.Left) << "row " << y;
      ++lineRows;
    }
  }
  EXPECT_GE(lineRows, 1);
  EXPECT_LE(lineRows, 2);
  EXPECT_EQ(skin_.MenuItem->Trans, 1);
}
