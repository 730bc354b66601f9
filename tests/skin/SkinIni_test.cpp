// Reading a skin description into the skin data objects.
#include <map>

#include "FileUtil.h"
#include "SkinDescription.h"
#include "SkinDump.h"
#include "TestSupport.h"

namespace {

using skin::TSkinDescription;
using skin::TSkinImage;

void Put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A bitmap file with a 40-byte info header; `rows` bytes of pixel data follow the headers.
std::string Bmp(int32_t w, int32_t h, uint16_t bpp = 24, uint32_t compression = 0, size_t rows = SIZE_MAX,
                uint16_t planes = 1) {
  if (rows == SIZE_MAX) {
    const int64_t ah = h < 0 ? -static_cast<int64_t>(h) : h;
    rows = static_cast<size_t>((static_cast<int64_t>(w) * bpp + 31) / 32 * 4 * ah);
  }
  const uint32_t masks = compression == 3 ? 12 : 0;
  std::string s = "BM";
  Put32(s, static_cast<uint32_t>(54 + masks + rows));
  Put32(s, 0);
  Put32(s, 54 + masks);
  Put32(s, 40);
  Put32(s, static_cast<uint32_t>(w));
  Put32(s, static_cast<uint32_t>(h));
  Put16(s, planes);
  Put16(s, bpp);
  Put32(s, compression);
  for (int i = 0; i < 5; ++i) Put32(s, 0);
  s.append(masks + rows, '\0');
  return s;
}

using Entries = std::map<std::string, std::string>;

skin::TSkinEntryReader Reader(const Entries& e) {
  return [&e](const std::string& name) {
    auto it = e.find(name);
    return it == e.end() ? std::string() : it->second;
  };
}

// The images that tests/data/skin/sample.ini names.
Entries SampleEntries() {
  return {{"left.bmp", Bmp(8, 60)},         {"right.bmp", Bmp(4, 40)},       {"top.bmp", Bmp(200, 60)},
          {"bottom.bmp", Bmp(10, 10)},      {"textback.bmp", Bmp(40, 20)},   {"menubar.bmp", Bmp(30, 40)},
          {"close.bmp", Bmp(57, 19)},       {"max.bmp", Bmp(114, 19)},       {"min.bmp", Bmp(60, 15)},
          {"sys.bmp", Bmp(16, 16)},         {"mdi.bmp", Bmp(120, 16)},       {"button.bmp", Bmp(100, 21)},
          {"check.bmp", Bmp(96, 16)},       {"radio.bmp", Bmp(78, 13)},      {"progress.bmp", Bmp(20, 10)},
          {"chunk.bmp", Bmp(6, 10)},        {"gbedge.bmp", Bmp(20, 10)},     {"groupbox.bmp", Bmp(10, 10)},
          {"toolbar.bmp", Bmp(50, 10)},     {"tabs.bmp", Bmp(100, 20)},      {"tabborder.bmp", Bmp(10, 10)},
          {"status.bmp", Bmp(30, 10)},      {"combo.bmp", Bmp(68, 17)},      {"glyph.bmp", Bmp(8, 8)},
          {"sunken.bmp", Bmp(40, 21)},      {"extra.bmp", Bmp(40, 8)},       {"header.bmp", Bmp(50, 10)},
          {"menuitem.bmp", Bmp(50, 10)},    {"menuback.bmp", Bmp(10, 10)},   {"scroll.bmp", Bmp(368, 16)},
          {"hscroll.bmp", Bmp(40, 16)},     {"vscroll.bmp", Bmp(40, 16)},    {"hthumb.bmp", Bmp(32, 16)},
          {"vthumb.bmp", Bmp(48, 16)},      {"th.bmp", Bmp(55, 20)},         {"tv.bmp", Bmp(55, 20)},
          {"tl.bmp", Bmp(55, 20)},          {"tr.bmp", Bmp(55, 20)},         {"tu.bmp", Bmp(55, 20)},
          {"td.bmp", Bmp(55, 20)},          {"udh.bmp", Bmp(64, 10)}};
}

void Read(TSkinDescription& d, const std::string& text, const Entries& e = {}, int arrow = 17) {
  skin::TQuickIni ini;
  ini.LoadFromBytes(text);
  d.ReadSkinIni(ini, Reader(e), arrow);
}

constexpr cl::TColor Sys(int i) { return skin::SysColor(i); }

void ExpectImage(const TSkinImage& i, const char* name, int w, int h) {
  EXPECT_EQ(i.Name, name);
  EXPECT_EQ(i.Width, w) << name;
  EXPECT_EQ(i.Height, h) << name;
  EXPECT_EQ(i.File != nullptr, w > 0) << name;
}

TEST(SkinBmp, AcceptsDrawableBitmapFilesOnly) {
  // 2 by 2, 24 bits: rows of 6 bytes padded to 8, bottom-up.
  std::string b = Bmp(2, 2);
  ASSERT_EQ(b.size(), 54u + 16u);
  EXPECT_EQ(b.substr(0, 2), "BM");
  auto info = skin::ProbeBmp(b);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Width, 2);
  EXPECT_EQ(info->Height, 2);
  EXPECT_EQ(info->BitCount, 24);
  EXPECT_FALSE(info->TopDown);

  info = skin::ProbeBmp(Bmp(3, -5, 8));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Height, 5);
  EXPECT_TRUE(info->TopDown);
  EXPECT_TRUE(skin::ProbeBmp(Bmp(3, 5, 32, 3)));      // bit fields, masks after the header
  EXPECT_TRUE(skin::ProbeBmp(Bmp(300, 200, 8, 1, 2)));  // run-length data: only its end mark

  // The old 12-byte core header: 16-bit width and height.
  std::string core = "BM";
  Put32(core, 26 + 3 * 12);
  Put32(core, 0);
  Put32(core, 26);
  Put32(core, 12);
  Put16(core, 3);
  Put16(core, 3);
  Put16(core, 1);
  Put16(core, 24);
  core.append(3 * 12, '\0');  // rows of 9 bytes padded to 12
  info = skin::ProbeBmp(core);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Width, 3);
  EXPECT_FALSE(skin::ProbeBmp(core.substr(0, core.size() - 1)));

  EXPECT_FALSE(skin::ProbeBmp(""));
  EXPECT_FALSE(skin::ProbeBmp(b.substr(0, 20)));
  EXPECT_FALSE(skin::ProbeBmp("XM" + b.substr(2)));
  EXPECT_FALSE(skin::ProbeBmp(b.substr(0, b.size() - 1)));       // last row cut short
  EXPECT_FALSE(skin::ProbeBmp(Bmp(2, 2, 24, 0, SIZE_MAX, 2)));    // two planes
  EXPECT_FALSE(skin::ProbeBmp(Bmp(2, 2, 7)));                     // no such bit count
  EXPECT_FALSE(skin::ProbeBmp(Bmp(2, 2, 24, 1)));                 // RLE8 needs 8 bits
  EXPECT_FALSE(skin::ProbeBmp(Bmp(2, -2, 8, 1, 2)));              // run-length data is bottom-up only
  EXPECT_FALSE(skin::ProbeBmp(Bmp(2, 2, 24, 4)));                 // JPEG inside: not ours
  EXPECT_FALSE(skin::ProbeBmp(Bmp(0, 2)));
  EXPECT_FALSE(skin::ProbeBmp(Bmp(2, 0)));
  EXPECT_FALSE(skin::ProbeBmp(Bmp(2, INT32_MIN, 8, 0, 0)));
  EXPECT_FALSE(skin::ProbeBmp(Bmp(20000, 1, 1)));                 // wider than any skin image
  EXPECT_FALSE(skin::ProbeBmp(Bmp(16384, 16384, 8, 1, 2)));       // 2 bytes asking for 256 MB
  std::string badOffset = b;
  badOffset[10] = static_cast<char>(0xF0);
  EXPECT_FALSE(skin::ProbeBmp(badOffset));
}

TEST(SkinIni, SampleDescriptionMemberByMember) {
  const std::string text = cl::ReadFileBytes(testsupport::DataDir("skin") + "sample.ini");
  const Entries entries = SampleEntries();
  TSkinDescription d;
  ASSERT_TRUE(d.NoSkin);
  Read(d, text, entries);
  EXPECT_FALSE(d.NoSkin);

  // Borders: a folder part is dropped; Left and Right margins are vertical, Top and Bottom horizontal.
  ExpectImage(d.BorderLeft.Image, "left.bmp", 8, 60);
  EXPECT_EQ(d.BorderLeft.Name, "Left");
  EXPECT_EQ(d.BorderLeft.Margins, cl::Rect(0, 30, 0, 5));
  EXPECT_EQ(d.BorderLeft.FrameCount, 2);
  EXPECT_EQ(d.BorderLeft.Tile, 0);
  EXPECT_EQ(d.BorderLeft.Trans, 0);
  ExpectImage(d.BorderRight.Image, "right.bmp", 4, 40);
  EXPECT_EQ(d.BorderRight.Margins, cl::Rect(0, 0, 0, 0));
  EXPECT_EQ(d.BorderRight.FrameCount, 1);
  EXPECT_EQ(d.BorderRight.Tile, 1);
  EXPECT_EQ(d.BorderRight.Trans, 1);
  EXPECT_EQ(d.BorderTop.Margins, cl::Rect(40, 0, 60, 0));
  EXPECT_EQ(d.BorderTop.FrameCount, 2);
  EXPECT_TRUE(d.BorderBottom.Image.Empty());  // ".BMP" is not loaded
  EXPECT_EQ(d.BorderBottom.Image.Name, "");
  EXPECT_EQ(d.BorderBottom.FrameCount, 3);

  // Colours.
  EXPECT_EQ(d.Colors.WindowText, 0u);
  EXPECT_EQ(d.Colors.ButtonFace, 0xC8C8C8u);
  EXPECT_EQ(d.Colors.Menubar, 0xC8C8C8u);           // no key: the ButtonFace just read
  EXPECT_EQ(d.Colors.ButtonText, 0x302010u);
  EXPECT_EQ(d.Colors.Hilight, 0x00000Au);           // "10 20": the trailing run is not taken
  EXPECT_EQ(d.Colors.MenuText, 0u);                 // no hexadecimal in the colour syntax
  EXPECT_EQ(d.Colors.Scrollbar, Sys(0));
  EXPECT_EQ(d.Colors.HilightText, Sys(14));
  EXPECT_EQ(d.Colors.Menu, Sys(4));
  EXPECT_EQ(d.Colors.ButtonHilight, Sys(20));
  EXPECT_EQ(d.Colors.Buttonlight, Sys(20));
  EXPECT_EQ(d.Colors.ButtonShadow, Sys(16));
  EXPECT_EQ(d.Colors.ButtonDkShadow, Sys(21));
  EXPECT_EQ(d.Colors.MenuBarText, Sys(7));
  EXPECT_EQ(d.Colors.TitleTextActive, Sys(9));
  EXPECT_EQ(d.Colors.TitleTextNoActive, Sys(19));
  EXPECT_EQ(d.ColourTable, (std::vector<cl::TColor>{0x0000FF, Sys(8)}));
  EXPECT_EQ(d.CustomColors[0], 0x030201u);
  EXPECT_EQ(d.CustomColors[1], 0x00FFFFu);
  EXPECT_EQ(d.CustomColors[3], 0xFFFFFFu);
  EXPECT_EQ(d.CustomColors[9], 0x090909u);

  // Title-bar buttons: five of the skin's own ([ButtonX] dropped, [Button], [Button.Radio] and
  // [Button.CheckBox] never taken), then the MDI child's three.
  ASSERT_EQ(d.SysButtons.size(), 5u + 3u);
  const auto& close = *d.SysButtons[0];
  EXPECT_EQ(close.Name, "BUTTON.CLOSE");
  ExpectImage(close.Image, "close.bmp", 57, 19);
  EXPECT_EQ(close.FrameCount, 3);  // 57 / 19 = 3.0
  EXPECT_EQ(close.Action, 0);
  EXPECT_EQ(close.Align, 1);
  EXPECT_EQ(close.Xcoord, 30);
  EXPECT_EQ(close.Ycoord, 6);
  EXPECT_EQ(close.Visibility, 0);
  EXPECT_EQ(close.Visibility1, 0);
  EXPECT_EQ(close.Trans, 0);
  EXPECT_EQ(d.SysButtons[1]->Name, "BUTTON.MAX");
  EXPECT_EQ(d.SysButtons[1]->FrameCount, 6);  // 114 / 19 = 6.0
  EXPECT_EQ(d.SysButtons[1]->Visibility, 6);
  EXPECT_EQ(d.SysButtons[1]->Visibility1, 2);
  EXPECT_EQ(d.SysButtons[2]->FrameCount, 4);  // its own "frame"
  ExpectImage(d.SysButtons[2]->Image, "min.bmp", 60, 15);
  EXPECT_EQ(d.SysButtons[3]->Name, "BUTTON.SYS");
  EXPECT_TRUE(d.SysButtons[3]->Image.Empty());  // shows the window icon
  EXPECT_EQ(d.SysButtons[3]->FrameCount, 3);
  const auto& y = *d.SysButtons[4];
  EXPECT_EQ(y.Name, "BUTTONY");
  EXPECT_EQ(y.Action, -1);
  EXPECT_EQ(y.Visibility1, -1);
  EXPECT_EQ(y.FrameCount, 6);  // ratio 3.0, but a negative Action
  EXPECT_EQ(y.Image.File, close.Image.File);  // one copy of an entry named twice
  for (size_t i = 0; i < 3; ++i) {
    const auto& b = *d.SysButtons[5 + i];
    EXPECT_EQ(b.Name, "");
    EXPECT_EQ(b.Action, static_cast<int>(7 + i));
    EXPECT_EQ(b.Align, 100);
    EXPECT_EQ(b.Visibility, 100);
    EXPECT_EQ(b.Visibility1, 100);
    EXPECT_EQ(b.FrameCount, 4);
    EXPECT_EQ(b.Ycoord, 0);
    // mdi.bmp is 120 wide: a = 10, parts of 40 by 16.
    EXPECT_EQ(b.Image.Name, "mdi.bmp");
    EXPECT_EQ(b.Image.Width, 40);
    EXPECT_EQ(b.Image.Height, 16);
    EXPECT_EQ(b.Image.Part, cl::Rect(40 * static_cast<int>(i), 0, 40 * static_cast<int>(i) + 40, 16));
    EXPECT_EQ(b.Xcoord, 14 * (3 - static_cast<int>(i)));
  }

  // Push buttons.
  ExpectImage(d.Buttons.Image, "button.bmp", 100, 21);
  EXPECT_EQ(d.Buttons.Margins, cl::Rect(4, 5, 6, 7));
  EXPECT_EQ(d.Buttons.Trans, 1);
  EXPECT_EQ(d.Buttons.Tile, 2);  // no clamp here
  EXPECT_EQ(d.Buttons.FrameCount, 5);
  EXPECT_EQ(d.Buttons.Style, 0);
  EXPECT_EQ(d.Buttons.NormalColour, 5);
  EXPECT_EQ(d.Buttons.MouseOverColour, -1);
  EXPECT_EQ(d.Buttons.NormalColour2, 0xFF0000u);
  EXPECT_EQ(d.Buttons.MouseOverColour2, 0x302010u);  // Colors.ButtonText
  EXPECT_EQ(d.Buttons.PressedColour2, 0x010101u);
  EXPECT_TRUE(d.Buttons.HasNormalColour2);
  EXPECT_FALSE(d.Buttons.HasMouseOverColour2);
  EXPECT_TRUE(d.Buttons.HasPressedColour2);
  EXPECT_EQ(d.Buttons.RadioButtonFrame, 6);  // 78 / 13
  EXPECT_EQ(d.Buttons.CheckButtonFrame, 6);  // 96 / 16

  // Caption.
  ExpectImage(d.Title.Image, "textback.bmp", 40, 20);
  EXPECT_EQ(d.Title.Margins, cl::Rect(20, -4, 70, 0));
  EXPECT_EQ(d.Title.FrameCount, 2);
  EXPECT_EQ(d.Title.TextAlignment, 1);
  EXPECT_EQ(d.Title.Textbackground, 1);
  EXPECT_EQ(d.Title.TXTBackleft, 6);
  EXPECT_EQ(d.Title.TXTBackRight, 8);
  EXPECT_EQ(d.Title.FontHeight, 13);
  EXPECT_EQ(d.Title.ActiveTextColor, 0xFFFFFFu);
  EXPECT_EQ(d.Title.InActiveTextColor, cl::clNone);  // a component below 0 leaves it

  ASSERT_TRUE(d.Progress);
  ExpectImage(d.Progress->Image, "progress.bmp", 20, 10);
  ExpectImage(d.Progress->Image2, "chunk.bmp", 6, 10);
  EXPECT_EQ(d.Progress->Style, 1);
  EXPECT_EQ(d.Progress->Tile, 2);
  EXPECT_EQ(d.Progress->Margins, cl::Rect(2, 0, 2, 0));
  EXPECT_EQ(d.Progress->FrameCount, 2);
  EXPECT_EQ(d.Progress->NormalColour2, 0u);  // no colours read

  ASSERT_TRUE(d.MenuBar);
  EXPECT_EQ(d.MenuBar->Name, "Personality");
  EXPECT_EQ(d.MenuBar->Tile, 1);
  EXPECT_EQ(d.MenuBar->Margins, cl::Rect(3, 0, 1, 0));
  EXPECT_EQ(d.MenuBar->FrameCount, 2);

  // Elements.
  ASSERT_TRUE(d.GroupBox);
  EXPECT_EQ(d.GroupBox->BackgroundAlignment, 1);
  EXPECT_EQ(d.GroupBox->BackgroundLeftShift, 5);
  EXPECT_EQ(d.GroupBox->BackgroundRightShift, -5);
  EXPECT_EQ(d.GroupBox->FrameCount, 1);
  ASSERT_TRUE(d.Tabs);
  EXPECT_EQ(d.Tabs->Name, "Tabs");
  ExpectImage(d.Tabs->Image2, "tabborder.bmp", 10, 10);
  EXPECT_EQ(d.Tabs->Style, 0);  // not read for elements with a second image
  EXPECT_EQ(d.Tabs->Tile, 0);   // 2 is stored as 0
  EXPECT_EQ(d.Tabs->Margins.Left, 3);
  EXPECT_EQ(d.Tabs->FrameCount, 5);
  EXPECT_EQ(d.Tabs->NormalColour, -1);
  EXPECT_EQ(d.Tabs->NormalColour2, 0x302010u);
  ASSERT_TRUE(d.Toolbars);
  EXPECT_EQ(d.Toolbars->Tile, 1);
  ASSERT_TRUE(d.StatusBarEdges);
  EXPECT_EQ(d.StatusBarEdges->NormalColour2, 0x00FFFFu);
  EXPECT_EQ(d.StatusBarEdges->FrameCount, 3);
  ASSERT_TRUE(d.Headerbar);
  EXPECT_EQ(d.Headerbar->MouseOverColour, 255);
  EXPECT_EQ(d.GroupBoxEdge->FrameCount, 2);
  EXPECT_EQ(d.MenuItem->FrameCount, 5);
  EXPECT_EQ(d.MenuBackground->FrameCount, 1);
  EXPECT_EQ(d.Scrollbar->FrameCount, 23);
  EXPECT_EQ(d.HorzScroll->FrameCount, 4);
  EXPECT_EQ(d.VertScroll->FrameCount, 4);
  EXPECT_EQ(d.HorzScrollThumb->FrameCount, 2);
  EXPECT_EQ(d.VertScrollThumb->FrameCount, 3);
  for (auto* t : {&d.TrackbarThumbHorz, &d.TrackbarThumbVert, &d.TrackbarThumbLeft, &d.TrackbarThumbRight,
                  &d.TrackbarThumbUp, &d.TrackbarThumbDown}) {
    ASSERT_TRUE(*t);
    EXPECT_EQ((*t)->FrameCount, 5);
  }
  EXPECT_EQ(d.TrackbarThumbUp->Name, "Trackbar.ThumbUp");
  ASSERT_TRUE(d.UpDownHorz);
  EXPECT_EQ(d.UpDownHorz->Name, "UpDown.Horz");
  ExpectImage(d.UpDownHorz->Image2, "glyph.bmp", 8, 8);
  EXPECT_EQ(d.UpDownHorz->FrameCount, 8);
  EXPECT_FALSE(d.UpDownVert);  // empty Image value

  // Combo images: ComboButton has the button on the right, SunkEdge on the left (mirrored strip).
  ASSERT_TRUE(d.ComboButton && d.SunkEdge && d.ExtraImages);
  const int a = 17 + 2;
  EXPECT_EQ(d.ComboButton->Style, 2);
  EXPECT_EQ(d.ComboButton->Margins, cl::Rect(2, 3, a + 2, 3));
  EXPECT_EQ(d.ComboButton->FrameCount, 4);
  EXPECT_EQ(d.ComboButton->Image.Width, 200);
  EXPECT_EQ(d.ComboButton->Image.Height, 21);
  EXPECT_FALSE(d.ComboButton->Image.Mirrored);
  ASSERT_TRUE(d.ComboButton->Image.Combo);
  const skin::TComboStrip& c = *d.ComboButton->Image.Combo;
  EXPECT_EQ(c.Frames, 4);
  EXPECT_EQ(c.ButtonWidth, a);
  EXPECT_EQ(c.SunkEdge.Name, "sunken.bmp");
  EXPECT_EQ(c.SunkEdgeMargins, cl::Rect(3, 3, 3, 3));
  EXPECT_TRUE(c.SunkEdgeTrans);
  EXPECT_EQ(c.Button.Name, "combo.bmp");
  EXPECT_EQ(c.ButtonFrames, 4);
  EXPECT_TRUE(c.HasExtra);
  EXPECT_EQ(c.Extra.Name, "extra.bmp");
  EXPECT_EQ(c.ExtraFrames, 5);
  // The ComboButton's second image: its own image mirrored (the "****" image is replaced).
  EXPECT_EQ(d.ComboButton->Image2.Name, "combo.bmp");
  EXPECT_TRUE(d.ComboButton->Image2.Mirrored);
  EXPECT_EQ(d.ComboButton->Image2.Width, 68);
  EXPECT_EQ(d.SunkEdge->Image.Combo, d.ComboButton->Image.Combo);
  EXPECT_TRUE(d.SunkEdge->Image.Mirrored);
  EXPECT_EQ(d.SunkEdge->Margins, cl::Rect(a + 2, 3, 2, 3));
  EXPECT_EQ(c.Button.File, d.ComboButton->Image2.File);
}

TEST(SkinIni, SysButtonSelection) {
  TSkinDescription d;
  Read(d,
       "[Buttons]\n[Button]\nAction=1\n[Button.Radio]\n[BUTTON.CHECKBOX]\n"
       "[ButtonX]\nAction=-1\n"
       "[ButtonY]\nAction=-1\nVisibility=0\nButtonImage=b.bmp\n"
       "[ButtonZ]\nAction=-1\nVisibility=3\n"
       "[button.close]\nAction=0\nButtonImage=b.bmp\n"
       "[ButtonW]\nAction=11\n",
       {{"b.bmp", Bmp(57, 19)}});
  ASSERT_EQ(d.SysButtons.size(), 3u + 3u);
  EXPECT_EQ(d.SysButtons[0]->Name, "BUTTONY");
  EXPECT_EQ(d.SysButtons[0]->Visibility1, -1);
  EXPECT_EQ(d.SysButtons[0]->FrameCount, 6);  // ratio 3.0 but a negative Action
  EXPECT_EQ(d.SysButtons[1]->Name, "BUTTON.CLOSE");
  EXPECT_EQ(d.SysButtons[1]->FrameCount, 3);
  EXPECT_EQ(d.SysButtons[2]->Name, "BUTTONW");
  EXPECT_EQ(d.SysButtons[2]->FrameCount, 6);  // no image
  EXPECT_EQ(d.SysButtons[3]->Action, 7);
  EXPECT_TRUE(d.SysButtons[3]->Image.Empty());  // no [MDICONTROLS]
  EXPECT_EQ(d.SysButtons[3]->Xcoord, 0);
}

TEST(SkinIni, BordersAndColoursOnlyLeaveEveryElementNil) {
  TSkinDescription d;
  Read(d, "[Personality]\nLeft=l.bmp\nRight=r.bmp\nTop=t.bmp\nBottom=b.bmp\n[Colours]\nButtonFace=1 2 3\n",
       {{"l.bmp", Bmp(4, 4)}});
  EXPECT_FALSE(d.NoSkin);
  EXPECT_EQ(d.SysButtons.size(), 3u);
  ExpectImage(d.BorderLeft.Image, "l.bmp", 4, 4);
  ExpectImage(d.BorderRight.Image, "r.bmp", 0, 0);  // named, but not in the package
  for (auto* m : {&d.SunkEdge, &d.ExtraImages, &d.GroupBoxEdge, &d.Toolbars, &d.StatusBarEdges, &d.Headerbar,
                  &d.MenuBar, &d.MenuItem, &d.MenuBackground, &d.Scrollbar, &d.HorzScroll, &d.VertScroll,
                  &d.HorzScrollThumb, &d.VertScrollThumb, &d.TrackbarThumbHorz, &d.TrackbarThumbVert,
                  &d.TrackbarThumbLeft, &d.TrackbarThumbRight, &d.TrackbarThumbUp, &d.TrackbarThumbDown})
    EXPECT_FALSE(*m);
  for (auto* m : {&d.Tabs, &d.Progress, &d.UpDownHorz, &d.UpDownVert, &d.ComboButton}) EXPECT_FALSE(*m);
  EXPECT_FALSE(d.GroupBox);
  EXPECT_TRUE(d.ColourTable.empty());
  for (cl::TColor c : d.CustomColors) EXPECT_EQ(c, 0xFFFFFFu);
  EXPECT_EQ(d.Colors.Menubar, 0x030201u);
  // Defaults of the always-present objects.
  EXPECT_EQ(d.Title.FontHeight, 14);
  EXPECT_EQ(d.Title.ActiveTextColor, cl::clNone);
  EXPECT_EQ(d.Buttons.NormalColour, -1);
  EXPECT_EQ(d.Buttons.NormalColour2, Sys(18));
  EXPECT_EQ(d.Buttons.RadioButtonFrame, 4);  // no image: the minimum
  EXPECT_FALSE(d.Buttons.HasNormalColour2);
  // The combo strip needs both SunkEdge and ComboButton.
  Read(d, "[ComboButton]\nImage=c.bmp\n", {{"c.bmp", Bmp(68, 17)}});
  ASSERT_TRUE(d.ComboButton);
  EXPECT_EQ(d.ComboButton->Style, 0);
  EXPECT_EQ(d.ComboButton->Image.Name, "c.bmp");
  EXPECT_TRUE(d.ComboButton->Image2.Mirrored);
}

TEST(SkinIni, ReadingAgainReplacesEverything) {
  TSkinDescription d;
  Read(d, "[Tabs]\nImage=t.bmp\n[Colour1]\ncolor=1 1 1\n[Button.Close]\nAction=0\n", {{"t.bmp", Bmp(10, 10)}});
  ASSERT_TRUE(d.Tabs);
  ASSERT_EQ(d.SysButtons.size(), 4u);
  const auto* title = &d.Title;
  d.Title.Image.Bitmap = std::make_shared<skin::TSkinBitmap>();
  Read(d, "[Personality]\nTextShift=3\n");
  EXPECT_FALSE(d.Tabs);
  EXPECT_TRUE(d.ColourTable.empty());
  EXPECT_EQ(d.SysButtons.size(), 3u);
  EXPECT_EQ(&d.Title, title);
  EXPECT_EQ(d.Title.Margins.Left, 3);
  EXPECT_FALSE(d.Title.Image.Bitmap);  // the old skin's bitmap goes with it
}

TEST(SkinIni, HostileValuesGiveDocumentedResults) {
  TSkinDescription d;
  const Entries e = {{"ok.bmp", Bmp(16, 16)}, {"bad.bmp", "BM not really"}, {"tiny.bmp", Bmp(11, 2)}};
  Read(d,
       "[Personality]\n"
       "Left=ok.bmp\nLeftFrame=abc\nLeftTopHeight=99999999\nLeftBotHeight=-7\n"
       "Right=bad.bmp\nRightFrame=-3\nRightStretch=0x10\n"
       "Top=..\\..\\ok.bmp\nTopFrame=4294967296\nTopTopHeight=0x7FFFFFFF\n"
       "Bottom=\\\nBottomFrame=0\nTextBack=C:ok.bmp\n"
       "TextShift=-2147483648\nTextRightClip=12 ; note\nActiveTextR=999\nActiveTextG=256\nActiveTextB=0\n"
       "menuBar=nothing.txt\nTileLeftMenu=-1\n"
       "[Fonts]\nFontHeight=$7FFFFFFF\n"
       "[Colours]\nButtonFace=300 1 2\nButtonText=,,,\n"
       "[Button.A]\nframe=-5\nButtonImage=ok.bmp\nXcoord=2147483647\n"
       "[Button.B]\nframe=1000000\nButtonImage=ok.bmp\n"
       "[MDICONTROLS]\nImage=tiny.bmp\n"
       "[Buttons]\nRadioButtonFrame=-2\nCheckButtonFrame=1000000\nRadioButton=ok.bmp\n"
       "[HorzScrollThumb]\nImage=ok.bmp\nFrameCount=0\n"
       "[VertScrollThumb]\nImage=ok.bmp\nFrameCount=-1\n"
       "[Tabs]\nImage=ok.bmp\nTile=-1\nLeftWidth=-4\nRightWidth=40000\n",
       e);
  EXPECT_EQ(d.BorderLeft.FrameCount, 1);                   // not a number: default
  EXPECT_EQ(d.BorderLeft.Margins, cl::Rect(0, 32767, 0, 0)); // clamped to pixel range
  ExpectImage(d.BorderRight.Image, "bad.bmp", 0, 0);       // not a bitmap: empty, name kept
  EXPECT_EQ(d.BorderRight.FrameCount, 1);
  EXPECT_EQ(d.BorderRight.Tile, 16);
  ExpectImage(d.BorderTop.Image, "ok.bmp", 16, 16);        // only the file-name part is looked up
  EXPECT_EQ(d.BorderTop.FrameCount, 1);                    // out of 32 bits: default
  EXPECT_EQ(d.BorderTop.Margins.Left, 32767);
  EXPECT_EQ(d.BorderBottom.Image.Name, "");
  EXPECT_EQ(d.BorderBottom.FrameCount, 1);
  ExpectImage(d.Title.Image, "ok.bmp", 16, 16);             // after a drive colon too
  EXPECT_EQ(d.Title.Margins.Left, -32767);
  EXPECT_EQ(d.Title.Margins.Right, 0);                     // "12 ; note" is no number
  EXPECT_EQ(d.Title.ActiveTextColor, 0x0000E7u);           // each component "and 255"
  EXPECT_EQ(d.Title.FontHeight, 32767);
  EXPECT_FALSE(d.MenuBar->Image.File);                     // not a ".bmp": empty
  EXPECT_EQ(d.MenuBar->Image.Name, "");
  EXPECT_EQ(d.MenuBar->Margins.Left, 0);
  EXPECT_EQ(d.Colors.ButtonFace, 0x02012Cu);  // each number modulo 256
  EXPECT_EQ(d.Colors.ButtonText, 0u);
  ASSERT_EQ(d.SysButtons.size(), 2u + 3u);
  EXPECT_EQ(d.SysButtons[0]->FrameCount, 3);               // a negative "frame" counts as none
  EXPECT_EQ(d.SysButtons[0]->Xcoord, 32767);
  EXPECT_EQ(d.SysButtons[1]->FrameCount, 32767);
  // tiny.bmp is 11 wide: a = 0, so the MDI buttons' images are empty.
  EXPECT_TRUE(d.SysButtons[2]->Image.Empty());
  EXPECT_EQ(d.SysButtons[2]->Xcoord, 12);
  EXPECT_EQ(d.Buttons.RadioButtonFrame, 4);
  EXPECT_EQ(d.Buttons.CheckButtonFrame, 32767);
  EXPECT_EQ(d.HorzScrollThumb->FrameCount, 1);
  EXPECT_EQ(d.VertScrollThumb->FrameCount, 1);
  EXPECT_EQ(d.Tabs->Tile, -1);                             // only values above 1 become 0
  EXPECT_EQ(d.Tabs->Margins, cl::Rect(0, 0, 32767, 0));

  // The scroll arrow width is kept inside the combo cell.
  for (int arrow : {-100, 1000}) {
    Read(d, "[ComboButton]\nImage=ok.bmp\n[SunkEdge]\nImage=ok.bmp\n", e, arrow);
    ASSERT_TRUE(d.ComboButton->Image.Combo);
    const int a = d.ComboButton->Image.Combo->ButtonWidth;
    EXPECT_GE(a, 2);
    EXPECT_LE(a, skin::TComboStrip::CellWidth - 2);
  }
}

TEST(SkinIni, ArbitraryBytesNeverFail) {
  const std::string noise[] = {
      std::string("\0\0\0", 3), "[", "]", "[]\n=\n", "[Button\n", "[Buttonx]\nAction=-1\nVisibility=0\nframe=-2147483648",
      "[Personality]\nLeft=.bmp\nLeftFrame=-2147483648\n", std::string(1000, '['),
      "[COLOUR]\n[colour]\n[Colours]\n[COLOURS]\n[Colour\xff]\ncolor=\xff\xfe",
  };
  for (const std::string& text : noise) {
    TSkinDescription d;
    Read(d, text, {{".bmp", Bmp(1, 1)}});
    EXPECT_FALSE(d.NoSkin);
    EXPECT_GE(d.SysButtons.size(), 3u);
    for (auto& b : d.SysButtons) EXPECT_GE(b->FrameCount, 1);
  }
}

TEST(SkinDump, StableTextOfEveryMember) {
  const std::string text = cl::ReadFileBytes(testsupport::DataDir("skin") + "sample.ini");
  const Entries entries = SampleEntries();
  TSkinDescription d1, d2;
  Read(d1, text, entries);
  Read(d2, text, entries);
  const std::string dump = skin::DumpSkinDescription(d1);
  EXPECT_EQ(dump, skin::DumpSkinDescription(d2));
  for (const char* line : {
           "NoSkin = false\n",
           "Colors.ButtonFace = $00C8C8C8\n",
           "ColourTable[1] = $FF000008\n",
           "BorderLeft = TDataSkinBorder \"Left\"\n",
           "BorderLeft.Margins = 0,30,0,5\n",
           "BorderLeft.Image = \"left.bmp\" 8x60\n",
           "BorderBottom.Image = (none)\n",
           "Title.ActiveTextColor = $00FFFFFF\n",
           "Title.InActiveTextColor = $1FFFFFFF\n",
           "Buttons.HasMouseOverColour2 = false\n",
           "SysButtons.Count = 8\n",
           "SysButtons[6].Image = \"mdi.bmp\" 40x16 part(40,0,80,16)\n",
           "ComboButton.Image2 = \"combo.bmp\" 68x17 mirrored\n",
           "SunkEdge.Image = combo{frames=4 button=19 sunkedge=\"sunken.bmp\" 40x21 margins(3,3,3,3) of 4 "
           "trans=true face=\"combo.bmp\" 68x17 of 4 extra=\"extra.bmp\" 40x8 of 5} 200x21 mirrored\n",
           "UpDownVert = nil\n",
           "GroupBox.BackgroundRightShift = -5\n",
       })
    EXPECT_NE(dump.find(line), std::string::npos) << line;

  TSkinDescription empty;
  Read(empty, "");
  const std::string e = skin::DumpSkinDescription(empty);
  EXPECT_NE(e.find("BorderRight.Image = (none)\n"), std::string::npos);
  EXPECT_NE(e.find("Tabs = nil\n"), std::string::npos);
  EXPECT_NE(e.find("SysButtons[0] = TDataSkinSysButton \"\"\n"), std::string::npos);
}

}  // namespace
