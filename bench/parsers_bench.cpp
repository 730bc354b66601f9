// The text readers on hostile sizes: a settings file, a skin description and a key string of 64 KB and of
// 1 MB, each read the way its program reads it. Prints the time of each and the growth from 64 KB to 1 MB
// per byte: 1 for a linear reader, 16 for a quadratic one. A 1 MB text and what is read from it no longer
// fit the processor's caches, which alone costs up to about 2, so FAIL is past 3.
// Usage: parsers_bench [rounds, default 5]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "BenchKeyStrings.h"
#include "IniFiles.h"
#include "KeyString.h"
#include "QuickIni.h"
#include "SkinDescription.h"

namespace {

constexpr std::size_t kSmall = 64 * 1024;
constexpr std::size_t kLarge = 1024 * 1024;

// A settings file of many sections of a few keys, one long section of many keys, and junk lines.
std::string SettingsFile(std::size_t bytes) {
  std::string s = "[Settings]\r\nAutoRun=1\r\nClipboards=5\r\n";
  for (int i = 0; s.size() < bytes / 2; ++i)
    s += "[Section" + std::to_string(i) + "]\r\nWidth=" + std::to_string(i) + "\r\nName=entry " +
         std::to_string(i) + "\r\n; a comment\r\nno equals sign\r\n";
  s += "[Columns]\r\n";
  for (int i = 0; s.size() < bytes; ++i) s += "Column" + std::to_string(i) + "=" + std::to_string(i % 500) + "\r\n";
  return s;
}

// Reads every value of every section, as the fuzzer and a settings reader do.
std::size_t ReadSettings(const std::string& text) {
  const cl::TIniData ini(text, 1252);
  std::size_t values = 0;
  for (const std::string& section : ini.ReadSections())
    for (const std::string& key : ini.ReadSection(section)) values += ini.ReadString(section, key, "").size();
  return values;
}

// A skin description of colour, title-bar button and unused sections, like the engine's own skins.
std::string SkinDescriptionText(std::size_t bytes) {
  std::string s =
      "[Personality]\r\nLeft=left.bmp\r\nTop=top.bmp\r\n[Colours]\r\nButtonFace=200,200,200\r\n"
      "[Buttons]\r\nBitmap=button.bmp\r\nLeftWidth=3\r\n[MenuItem]\r\nImage=menuitem.bmp\r\nTrans=1\r\n";
  for (int i = 0; s.size() < bytes; ++i) {
    switch (i % 3) {
      case 0: s += "[Colour" + std::to_string(i) + "]\r\ncolor=" + std::to_string(i % 256) + ",1,2\r\n"; break;
      case 1:
        s += "[Button" + std::to_string(i) + "]\r\nAction=" + std::to_string(i % 12) +
             "\r\nAlign=1\r\nXcoord=20\r\nYcoord=4\r\nVisibility=0\r\nButtonImage=close.bmp\r\n";
        break;
      default: s += "[Unused" + std::to_string(i) + "]\r\nImage=x.bmp\r\nLeftWidth=1\r\n";
    }
  }
  return s;
}

std::size_t ReadSkin(const std::string& text) {
  skin::TQuickIni ini;
  ini.LoadFromBytes(text, 1252);
  skin::TSkinDescription description;
  description.ReadSkinIni(ini, [](const std::string&) { return std::string(); }, 17);
  return description.ColourTable.size() + description.SysButtons.size();
}

std::size_t ReadKeys(const std::string& text) {
  static const hk::UsKeyLayout layout;
  return hk::ParseKeyString(text, layout).size();
}

// The best of `rounds` runs, in milliseconds.
double Best(const std::function<std::size_t()>& run, int rounds) {
  double best = 1e30;
  std::size_t sink = 0;
  for (int r = 0; r < rounds; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    sink += run();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  if (sink == 0) std::printf("(nothing read)\n");
  return best;
}

bool Measure(const char* name, const std::function<std::string(std::size_t)>& make,
             const std::function<std::size_t(const std::string&)>& read, int rounds) {
  const std::string small = make(kSmall), large = make(kLarge);
  const double tSmall = Best([&] { return read(small); }, rounds);
  const double tLarge = Best([&] { return read(large); }, rounds);
  const double growth = (tLarge / static_cast<double>(large.size())) / (tSmall / static_cast<double>(small.size()));
  const bool pass = growth <= 3.0;
  std::printf("%-18s 64 KB %8.2f ms   1 MB %8.2f ms   growth per byte %5.2f  %s\n", name, tSmall, tLarge, growth,
              pass ? "PASS" : "FAIL");
  return pass;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  bool pass = Measure("settings file", SettingsFile, ReadSettings, rounds);
  pass = Measure("skin description", SkinDescriptionText, ReadSkin, rounds) && pass;
  pass = Measure("key string", benchsupport::MakeKeyString, ReadKeys, rounds) && pass;
  return pass ? 0 : 1;
}
