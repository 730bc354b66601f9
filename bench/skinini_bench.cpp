// Times reading a skin description of 16,000 sections (parsing and reading it into the skin data
// objects): the section lookups behind every key must not grow with the number of sections.
#include <chrono>
#include <cstdio>
#include <string>

#include "QuickIni.h"
#include "SkinDescription.h"

namespace {

// Our skin's kind of description, then `extra` sections of the kinds the reader walks: colour table
// entries, title-bar buttons, and sections it never asks for.
std::string Description(int extra) {
  std::string s =
      "[Personality]\r\nLeft=left.bmp\r\nTop=top.bmp\r\n[Colours]\r\nButtonFace=200,200,200\r\n"
      "[Buttons]\r\nBitmap=button.bmp\r\nLeftWidth=3\r\n[MenuItem]\r\nImage=menuitem.bmp\r\nTrans=1\r\n";
  for (int i = 0; i < extra; ++i) {
    switch (i % 3) {
      case 0:
        s += "[Colour" + std::to_string(i) + "]\r\ncolor=" + std::to_string(i % 256) + ",1,2\r\n";
        break;
      case 1:
        s += "[Button" + std::to_string(i) + "]\r\nAction=" + std::to_string(i % 12) +
             "\r\nAlign=1\r\nXcoord=20\r\nYcoord=4\r\nVisibility=0\r\nButtonImage=close.bmp\r\n";
        break;
      default:
        s += "[Unused" + std::to_string(i) + "]\r\nImage=x.bmp\r\nLeftWidth=1\r\n";
    }
  }
  return s;
}

}  // namespace

int main() {
  for (int sections : {1000, 16000}) {
    const std::string text = Description(sections);
    const auto t0 = std::chrono::steady_clock::now();
    skin::TQuickIni ini;
    ini.LoadFromBytes(text);
    const auto t1 = std::chrono::steady_clock::now();
    skin::TSkinDescription description;
    description.ReadSkinIni(ini, [](const std::string&) { return std::string(); }, 17);
    const auto t2 = std::chrono::steady_clock::now();
    auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("%6d sections (%zu KB): parse %.1f ms, read %.1f ms (%zu colours, %zu title-bar buttons)\n",
                ini.SectionCount(), text.size() / 1024, ms(t1 - t0), ms(t2 - t1), description.ColourTable.size(),
                description.SysButtons.size());
  }
  return 0;
}
