// Reading a skin description from arbitrary bytes: it must never fail, and what it gives must keep the
// promises the painters rely on (frame counts of at least 1, margins inside the pixel range, images
// that are drawable bitmaps or empty, parts inside their bitmaps).
// Input: the description text. Images named "raw*.bmp" are the input itself; other names get a small
// bitmap whose size follows from the name; names containing "none" are missing from the package.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "SkinDescription.h"
#include "SkinDump.h"

namespace {
std::string Bmp(int w, int h) {
  auto put32 = [](std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const uint32_t rows = static_cast<uint32_t>((w * 24 + 31) / 32 * 4 * h);
  std::string s = "BM";
  put32(s, 54 + rows);
  put32(s, 0);
  put32(s, 54);
  put32(s, 40);
  put32(s, static_cast<uint32_t>(w));
  put32(s, static_cast<uint32_t>(h));
  put32(s, 1 | 24 << 16);
  for (int i = 0; i < 6; ++i) put32(s, 0);
  s.append(rows, '\0');
  return s;
}

void CheckObject(const skin::TDataSkinObject& o, bool margins) {
  CHECK(o.FrameCount >= 1 && o.FrameCount <= skin::kMaxSkinValue);
  if (margins) {
    for (int m : {o.Margins.Left, o.Margins.Top, o.Margins.Right, o.Margins.Bottom})
      CHECK(m >= 0 && m <= skin::kMaxSkinValue);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  skin::TSkinEntryReader entries = [bytes](const std::string& name) -> std::string {
    if (name.starts_with("raw")) return std::string(bytes);
    if (name.find("none") != std::string::npos) return {};
    uint32_t h = 2166136261u;
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    return Bmp(1 + static_cast<int>(h % 150), 1 + static_cast<int>((h >> 8) % 30));
  };
  skin::TQuickIni ini;
  ini.LoadFromBytes(bytes, 1252);
  skin::TSkinDescription d;
  d.ReadSkinIni(ini, entries, static_cast<int>(size % 40));
  CHECK(!d.NoSkin);

  CHECK(d.SysButtons.size() >= 3);
  for (auto& b : d.SysButtons) CheckObject(*b, false);
  for (auto* b : {&d.BorderLeft, &d.BorderRight, &d.BorderTop, &d.BorderBottom}) CheckObject(*b, true);
  CheckObject(d.Buttons, true);
  CheckObject(d.Title, false);
  CHECK(d.Buttons.RadioButtonFrame >= 1);
  CHECK(d.Buttons.CheckButtonFrame >= 1);
  for (auto* m : {&d.SunkEdge, &d.ExtraImages, &d.GroupBoxEdge, &d.Toolbars, &d.StatusBarEdges, &d.Headerbar,
                  &d.MenuBar, &d.MenuItem, &d.MenuBackground, &d.Scrollbar, &d.HorzScroll, &d.VertScroll,
                  &d.HorzScrollThumb, &d.VertScrollThumb, &d.TrackbarThumbHorz, &d.TrackbarThumbVert,
                  &d.TrackbarThumbLeft, &d.TrackbarThumbRight, &d.TrackbarThumbUp, &d.TrackbarThumbDown})
    if (*m) CheckObject(**m, true);
  for (auto* m : {&d.Tabs, &d.Progress, &d.UpDownHorz, &d.UpDownVert, &d.ComboButton})
    if (*m) CheckObject(**m, true);
  if (d.GroupBox) CheckObject(*d.GroupBox, true);

  d.ForEachImage([](skin::TSkinImage& i) {
    CHECK(i.Width >= 0 && i.Height >= 0);
    if (i.File) {
      const auto info = skin::ProbeBmp(*i.File);
      CHECK(info);
      CHECK(i.Part.Left >= 0 && i.Part.Top >= 0 && i.Part.Right <= info->Width && i.Part.Bottom <= info->Height);
      CHECK(i.Part.Width() == i.Width && i.Part.Height() == i.Height);
    } else if (!i.Combo) {
      CHECK(i.Empty());
    }
  });
  CHECK(skin::DumpSkinDescription(d).starts_with("NoSkin = false\n"));
  return 0;
}
