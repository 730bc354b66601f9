// makeskin: draws the bitmaps of the Calderine skin into a folder.
//
//   makeskin <output folder> [<menu icons file>]
//
// Every image is a strip of equal frames side by side (the window's top and bottom borders and the
// menu bar stack theirs one above the other), written as a 24-bit bottom-up Windows bitmap file.
// $FF00FF is the key colour of the images whose section says Trans=1. The output depends on nothing
// but this file, so the packed skin is the same bytes on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using Rgb = uint32_t;  // 0xRRGGBB
constexpr Rgb K = 0xFF00FF;

constexpr Rgb C(int r, int g, int b) { return static_cast<Rgb>((r << 16) | (g << 8) | b); }

Rgb Mix(Rgb a, Rgb b, double t) {  // t = 0 gives a, 1 gives b
  auto ch = [&](int s) {
    const double v = ((a >> s) & 255) * (1 - t) + ((b >> s) & 255) * t;
    return static_cast<Rgb>(std::lround(v)) << s;
  };
  return ch(16) | ch(8) | ch(0);
}

// The palette: cool grey-blue with one blue accent.
constexpr Rgb kFace = C(232, 236, 241), kWhite = C(255, 255, 255), kInk = C(34, 44, 58);
constexpr Rgb kLine = C(142, 156, 176), kLineSoft = C(186, 196, 208), kAccent = C(58, 118, 186);
constexpr Rgb kAccentDark = C(40, 86, 142), kGrey = C(150, 158, 168);
constexpr Rgb kTitleTop = C(84, 118, 158), kTitleBottom = C(50, 80, 118), kTitleEdge = C(34, 52, 76);
constexpr Rgb kIdleTop = C(178, 188, 200), kIdleBottom = C(152, 162, 176), kIdleEdge = C(118, 128, 142);

struct Img {
  int w, h;
  std::vector<Rgb> px;
  Img(int width, int height, Rgb c = K) : w(width), h(height), px(static_cast<size_t>(width) * height, c) {}
  Rgb& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
  void Set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < w && y < h) at(x, y) = c;
  }
  void Fill(int x, int y, int fw, int fh, Rgb c) {
    for (int j = y; j < y + fh; ++j)
      for (int i = x; i < x + fw; ++i) Set(i, j, c);
  }
  void VGrad(int x, int y, int fw, int fh, Rgb a, Rgb b) {
    for (int j = 0; j < fh; ++j) Fill(x, y + j, fw, 1, Mix(a, b, fh > 1 ? double(j) / (fh - 1) : 0));
  }
  void HGrad(int x, int y, int fw, int fh, Rgb a, Rgb b) {
    for (int i = 0; i < fw; ++i) Fill(x + i, y, 1, fh, Mix(a, b, fw > 1 ? double(i) / (fw - 1) : 0));
  }
  // A 1-pixel bevel: top-left edges in `light`, bottom-right edges in `dark`.
  void Bevel(int x, int y, int fw, int fh, Rgb light, Rgb dark) {
    Fill(x, y, fw, 1, light);
    Fill(x, y, 1, fh, light);
    Fill(x, y + fh - 1, fw, 1, dark);
    Fill(x + fw - 1, y, 1, fh, dark);
  }
  void Frame(int x, int y, int fw, int fh, Rgb c) { Bevel(x, y, fw, fh, c, c); }
};

// Share of the pixel (x, y) inside the rounded rectangle (rx, ry, rw, rh, radius), sampled 4 by 4.
double RoundCover(int x, int y, double rx, double ry, double rw, double rh, double r) {
  int in = 0;
  for (int sy = 0; sy < 4; ++sy)
    for (int sx = 0; sx < 4; ++sx) {
      const double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
      if (px < rx || py < ry || px > rx + rw || py > ry + rh) continue;
      const double dx = std::max({rx + r - px, px - (rx + rw - r), 0.0});
      const double dy = std::max({ry + r - py, py - (ry + rh - r), 0.0});
      if (dx * dx + dy * dy <= r * r) ++in;
    }
  return in / 16.0;
}

// A rounded box with a 1-pixel border and a vertical (or horizontal) gradient inside. Outside the
// box the pixels become the key colour when `keyed` (edge pixels blend with `halo`, the colour the
// box will usually stand on), else they blend with what is there.
void RBox(Img& m, int x, int y, int bw, int bh, double r, Rgb top, Rgb bottom, Rgb border, bool keyed,
          Rgb halo = kFace, bool horizontal = false) {
  for (int j = y; j < y + bh; ++j)
    for (int i = x; i < x + bw; ++i) {
      if (i < 0 || j < 0 || i >= m.w || j >= m.h) continue;
      const double outer = RoundCover(i, j, x, y, bw, bh, r);
      const double inner = RoundCover(i, j, x + 1, y + 1, bw - 2, bh - 2, std::max(r - 1, 0.0));
      const double t = horizontal ? (bw > 1 ? double(i - x) / (bw - 1) : 0) : (bh > 1 ? double(j - y) / (bh - 1) : 0);
      const Rgb fill = Mix(top, bottom, t);
      if (keyed && outer < 0.5) {
        m.at(i, j) = K;
        continue;
      }
      const Rgb back = keyed ? halo : m.at(i, j);
      const Rgb body = outer > 0 ? Mix(border, fill, inner / outer) : border;
      m.at(i, j) = Mix(back, body, outer);
    }
}

// A glyph from a small pattern: '#' in `c`, '+' half-way between `c` and what is there.
using Pattern = std::vector<std::string>;
void Glyph(Img& m, int x, int y, const Pattern& p, Rgb c) {
  for (size_t j = 0; j < p.size(); ++j)
    for (size_t i = 0; i < p[j].size(); ++i) {
      const int px = x + static_cast<int>(i), py = y + static_cast<int>(j);
      if (px < 0 || py < 0 || px >= m.w || py >= m.h) continue;
      if (p[j][i] == '#') m.at(px, py) = c;
      if (p[j][i] == '+') m.at(px, py) = m.at(px, py) == K ? c : Mix(m.at(px, py), c, 0.5);
    }
}
// The glyph centred in the cell (x, y, cw, ch).
void GlyphIn(Img& m, int x, int y, int cw, int ch, const Pattern& p, Rgb c) {
  Glyph(m, x + (cw - static_cast<int>(p[0].size())) / 2, y + (ch - static_cast<int>(p.size())) / 2, p, c);
}
Pattern FlipV(Pattern p) { return {p.rbegin(), p.rend()}; }
Pattern Transpose(const Pattern& p) {
  Pattern t(p[0].size(), std::string(p.size(), ' '));
  for (size_t j = 0; j < p.size(); ++j)
    for (size_t i = 0; i < p[j].size(); ++i) t[i][j] = p[j][i];
  return t;
}

const Pattern kArrowUp = {"   #   ", "  ###  ", " ##### ", "#######"};
const Pattern kArrowDown = FlipV(kArrowUp);
const Pattern kArrowLeft = Transpose(kArrowUp);
const Pattern kArrowRight = Transpose(kArrowDown);
const Pattern kSmallDown = {"#####", " ### ", "  #  "};
const Pattern kCheck = {"      +#", "     +##", "#+  +## ", "##+### ", " #### ", "  ##   "};
const Pattern kClose = {"##    ##", "###  ###", " ###### ", "  ####  ", "  ####  ", " ###### ", "###  ###",
                        "##    ##"};
const Pattern kMax = {"#########", "#########", "#       #", "#       #", "#       #", "#       #", "#       #",
                      "#########"};
const Pattern kRestore = {"  #######", "  #######", "  #     #", "####### #", "####### #", "#     ###",
                          "#     #  ", "#     #  ", "#######  "};
const Pattern kMin = {"#######", "#######"};
const Pattern kGrip = {"        #", "       ##", "         ", "     #  #", "    ## ##", "         ",
                       "  #  #  #", " ## ## ##", "         "};

// The four usual states of a raised control.
enum State { kNormal, kPressed, kDisabled, kHot, kDefault };
struct Look {
  Rgb top, bottom, border, ink;
};
Look RaisedLook(State s) {
  switch (s) {
    case kPressed: return {C(190, 204, 222), C(214, 224, 236), kAccentDark, kInk};
    case kDisabled: return {C(240, 242, 245), C(234, 237, 241), kLineSoft, kGrey};
    case kHot: return {C(246, 250, 255), C(208, 224, 244), kAccent, kInk};
    case kDefault: return {C(252, 253, 255), C(220, 228, 238), kAccent, kInk};
    default: return {C(252, 253, 255), C(222, 228, 236), kLine, kInk};
  }
}

// One frame of a raised button-like cell.
void RaisedCell(Img& m, int x, int y, int cw, int ch, State s, double r, bool keyed) {
  const Look l = RaisedLook(s);
  RBox(m, x, y, cw, ch, r, l.top, l.bottom, l.border, keyed);
  if (s == kDefault) RBox(m, x + 1, y + 1, cw - 2, ch - 2, std::max(r - 1, 0.0), l.top, l.bottom, C(150, 186, 226), false);
}

// ---- the elements -------------------------------------------------------------------------------

constexpr int kTitleH = 28, kBorder = 4, kRadius = 7;

Img TopBorder() {  // 2 frames stacked: active, inactive; rounded top corners keyed
  const int w = 64;
  Img m(w, 2 * kTitleH);
  for (int f = 0; f < 2; ++f) {
    const Rgb top = f ? kIdleTop : kTitleTop, bottom = f ? kIdleBottom : kTitleBottom, edge = f ? kIdleEdge : kTitleEdge;
    Img cell(w, kTitleH + kRadius + 2);
    RBox(cell, 0, 0, w, kTitleH + kRadius + 2, kRadius, Mix(top, kWhite, 0.12), bottom, edge, true, C(128, 128, 128));
    for (int y = 0; y < kTitleH; ++y)
      for (int x = 0; x < w; ++x) m.at(x, f * kTitleH + y) = cell.at(x, y);
    // A soft highlight under the top edge and a dark line that parts the title from the menu bar.
    for (int x = kRadius; x < w - kRadius; ++x) m.at(x, f * kTitleH + 1) = Mix(top, kWhite, 0.35);
    m.Fill(1, f * kTitleH + kTitleH - 1, w - 2, 1, Mix(edge, bottom, 0.5));
  }
  return m;
}

Img SideBorder(bool left) {  // 2 frames side by side, each kBorder wide: active, inactive
  Img m(2 * kBorder, 32);
  for (int f = 0; f < 2; ++f) {
    const Rgb edge = f ? kIdleEdge : kTitleEdge, body = f ? kIdleBottom : kTitleBottom;
    const int x0 = f * kBorder;
    m.HGrad(x0, 0, kBorder, 32, left ? edge : Mix(body, kWhite, 0.2), left ? Mix(body, kWhite, 0.2) : edge);
    m.Fill(left ? x0 + kBorder - 1 : x0, 0, 1, 32, Mix(body, kFace, 0.5));
  }
  return m;
}

Img BottomBorder() {  // 2 frames stacked, each kBorder high; corner columns like the side borders
  const int w = 32;
  Img m(w, 2 * kBorder);
  for (int f = 0; f < 2; ++f) {
    const Rgb edge = f ? kIdleEdge : kTitleEdge, body = f ? kIdleBottom : kTitleBottom;
    const int y0 = f * kBorder;
    m.VGrad(0, y0, w, kBorder, Mix(body, kWhite, 0.2), edge);
    m.Fill(kBorder - 1, y0, w - 2 * kBorder + 2, 1, Mix(body, kFace, 0.5));
    m.Fill(0, y0, 1, kBorder, edge);
    m.Fill(w - 1, y0, 1, kBorder, edge);
  }
  return m;
}

// Title-bar button: 4 frames (normal, pressed, hot, inactive), drawn over the title's own gradient
// so the cell looks right whether it is blitted keyed or opaque.
constexpr int kSysW = 21, kSysH = 19, kSysY = 5;
Img SysButton(const Pattern& glyph, bool danger) {
  Img m(4 * kSysW, kSysH);
  for (int f = 0; f < 4; ++f) {
    const int x0 = f * kSysW;
    const bool idle = f == 3;
    const Rgb tt = Mix(idle ? kIdleTop : kTitleTop, kWhite, 0.12), tb = idle ? kIdleBottom : kTitleBottom;
    for (int y = 0; y < kSysH; ++y)
      m.Fill(x0, y, kSysW, 1, Mix(tt, tb, double(kSysY + y) / (kTitleH + kRadius + 1)));
    Rgb top = C(104, 138, 178), bottom = C(74, 104, 142), border = C(132, 162, 198), ink = kWhite;
    if (f == 1) top = danger ? C(156, 44, 38) : C(44, 70, 104), bottom = danger ? C(186, 64, 54) : C(64, 94, 132);
    if (f == 2) top = danger ? C(226, 96, 84) : C(132, 166, 206), bottom = danger ? C(190, 58, 48) : C(96, 130, 172);
    if (f == 2 && danger) border = C(236, 140, 128);
    if (idle) top = C(192, 200, 210), bottom = C(168, 177, 189), border = C(204, 210, 218), ink = C(236, 239, 243);
    RBox(m, x0, 0, kSysW, kSysH, 3, top, bottom, border, false);
    GlyphIn(m, x0, 0, kSysW, kSysH, glyph, ink);
  }
  return m;
}

Img MdiButtons() {  // 3 buttons (minimise, restore, close) of 4 frames each: 12 cells
  const int cw = 16, ch = 14;
  Img m(12 * cw, ch);
  const Pattern small[3] = {{"######", "######"},
                            {"  #####", "  #   #", "##### #", "#   ###", "#   #  ", "#####  "},
                            {"#   #", " # # ", "  #  ", " # # ", "#   #"}};
  for (int b = 0; b < 3; ++b)
    for (int f = 0; f < 4; ++f) {
      const int x0 = (4 * b + f) * cw;
      const State s = f == 1 ? kPressed : f == 2 ? kHot : f == 3 ? kDisabled : kNormal;
      m.Fill(x0, 0, cw, ch, C(236, 239, 243));  // the menu bar they stand on
      RaisedCell(m, x0, 0, cw, ch, s, 2, false);
      GlyphIn(m, x0, 0, cw, ch, small[b], RaisedLook(s).ink);
    }
  return m;
}

Img PushButton() {  // 5 frames: normal, pressed, disabled, hot, default
  const int cw = 24, ch = 22;
  Img m(5 * cw, ch);
  const State st[5] = {kNormal, kPressed, kDisabled, kHot, kDefault};
  for (int f = 0; f < 5; ++f) RaisedCell(m, f * cw, 0, cw, ch, st[f], 4, true);
  return m;
}

Img CheckBox() {  // 4 frames: unchecked, checked, unchecked disabled, checked disabled
  const int c = 13;
  Img m(4 * c, c);
  for (int f = 0; f < 4; ++f) {
    const bool on = f == 1 || f == 3, off = f >= 2;
    RBox(m, f * c, 0, c, c, 2.5, off ? C(242, 244, 246) : kWhite, off ? C(236, 239, 242) : C(226, 234, 244),
         off ? kLineSoft : C(112, 130, 156), true);
    if (on) GlyphIn(m, f * c, 0, c, c, kCheck, off ? kGrey : kAccentDark);
  }
  return m;
}

Img RadioButton() {  // 4 frames like the check box
  const int c = 13;
  Img m(4 * c, c);
  for (int f = 0; f < 4; ++f) {
    const bool on = f == 1 || f == 3, off = f >= 2;
    RBox(m, f * c, 0, c, c, 6.5, off ? C(242, 244, 246) : kWhite, off ? C(236, 239, 242) : C(226, 234, 244),
         off ? kLineSoft : C(112, 130, 156), true);
    if (on) RBox(m, f * c + 4, 4, 5, 5, 2.5, off ? kGrey : kAccent, off ? kGrey : kAccentDark, off ? kGrey : kAccentDark, false);
  }
  return m;
}

Img ProgressBar() {  // 2 frames: the empty bar, the filled part
  const int cw = 24, ch = 16;
  Img m(2 * cw, ch);
  RBox(m, 0, 0, cw, ch, 3, C(226, 231, 238), C(246, 248, 250), kLine, true);
  RBox(m, cw, 0, cw, ch, 3, C(120, 178, 232), C(58, 116, 184), kAccentDark, true);
  m.Fill(cw + 3, 2, cw - 6, 1, C(168, 206, 242));
  return m;
}

Img ProgressChunk() {
  Img m(8, 12);
  m.VGrad(0, 0, 7, 12, C(120, 178, 232), C(58, 116, 184));
  m.Fill(7, 0, 1, 12, K);
  return m;
}

Img MenuBar() {  // 2 frames stacked: active, inactive
  const int w = 20, h = 20;
  Img m(w, 2 * h);
  m.VGrad(0, 0, w, h, C(244, 246, 249), C(226, 231, 238));
  m.VGrad(0, h, w, h, C(246, 247, 249), C(236, 238, 241));
  m.Fill(0, h - 1, w, 1, kLineSoft);
  m.Fill(0, 2 * h - 1, w, 1, C(212, 216, 222));
  return m;
}

Img GroupBoxEdge() {  // 2 frames: enabled, disabled; the inside is keyed
  const int c = 16;
  Img m(2 * c, c);
  for (int f = 0; f < 2; ++f) {
    RBox(m, f * c, 0, c, c, 4, kFace, kFace, f ? C(208, 214, 222) : kLineSoft, true);
    for (int y = 2; y < c - 2; ++y)
      for (int x = f * c + 2; x < f * c + c - 2; ++x) m.at(x, y) = K;
  }
  return m;
}

Img GroupBoxLabel() { Img m(24, 18); RBox(m, 0, 0, 24, 18, 4, C(244, 247, 251), C(224, 232, 242), kLineSoft, true); return m; }

Img Toolbar() {  // 5 frames: normal (flat, keyed), pressed, disabled (flat), hot, down
  const int c = 22;
  Img m(5 * c, c);
  RaisedCell(m, c, 0, c, c, kPressed, 3, true);
  RaisedCell(m, 3 * c, 0, c, c, kHot, 3, true);
  RBox(m, 4 * c, 0, c, c, 3, C(206, 220, 238), C(222, 232, 244), kAccent, true);
  return m;
}

Img Tabs() {  // 5 frames: normal, selected, disabled, hot, selected and hot; rounded top corners
  const int cw = 32, ch = 22;
  Img m(5 * cw, ch);
  for (int f = 0; f < 5; ++f) {
    const int x0 = f * cw;
    Img cell(cw, ch + 4);
    const bool sel = f == 1 || f == 4;
    const Rgb top = sel ? kWhite : f == 3 ? C(246, 250, 255) : f == 2 ? C(236, 238, 241) : C(230, 235, 241);
    const Rgb bottom = sel ? C(248, 250, 252) : f == 3 ? C(214, 228, 244) : f == 2 ? C(230, 233, 237) : C(214, 221, 230);
    RBox(cell, 0, sel ? 0 : 2, cw, ch + 4, 4, top, bottom, f == 2 ? kLineSoft : kLine, true);
    if (sel) cell.Fill(3, 1, cw - 6, 2, kAccent);
    for (int y = 0; y < ch; ++y)
      for (int x = 0; x < cw; ++x) m.at(x0 + x, y) = cell.at(x, y);
  }
  return m;
}

Img TabBorder() {  // the page border: one frame, the centre is the page's own
  Img m(20, 20, C(248, 250, 252));
  m.Frame(0, 0, 20, 20, kLine);
  m.Bevel(1, 1, 18, 18, kWhite, C(222, 228, 236));
  return m;
}

Img StatusEdges() {  // 3 frames: lowered, raised, flat
  const int cw = 16, ch = 20;
  Img m(3 * cw, ch, kFace);
  m.Bevel(0, 0, cw, ch, C(168, 178, 192), kWhite);
  m.Bevel(cw, 0, cw, ch, kWhite, C(168, 178, 192));
  return m;
}

Img SunkEdge() {  // 4 frames: normal, pressed, disabled, hot or focused
  const int cw = 20, ch = 21;
  Img m(4 * cw, ch);
  const Rgb border[4] = {C(150, 164, 184), kAccentDark, C(200, 206, 214), kAccent};
  for (int f = 0; f < 4; ++f) {
    const int x0 = f * cw;
    m.Fill(x0, 0, cw, ch, f == 2 ? C(244, 245, 247) : kWhite);
    m.Frame(x0, 0, cw, ch, border[f]);
    m.Fill(x0 + 1, 1, cw - 2, 1, f == 2 ? C(238, 240, 243) : C(236, 240, 245));
  }
  return m;
}

Img ComboButton() {  // 4 frames like the edit; the arrow comes from ExtraImages
  const int cw = 17, ch = 21;
  Img m(4 * cw, ch);
  const State st[4] = {kNormal, kPressed, kDisabled, kHot};
  for (int f = 0; f < 4; ++f) RaisedCell(m, f * cw, 0, cw, ch, st[f], 2, true);
  return m;
}

Img ExtraImages() {  // 5 frames: combo arrow (normal, pressed, disabled, hot), size grip
  const int c = 9;
  Img m(5 * c, c);
  const Rgb ink[4] = {kInk, kInk, kGrey, kAccentDark};
  for (int f = 0; f < 4; ++f) GlyphIn(m, f * c, 0, c, c, kSmallDown, ink[f]);
  Glyph(m, 4 * c, 0, kGrip, kLine);
  return m;
}

Img Header() {  // 5 frames: normal, pressed, disabled, hot, sorted
  const int cw = 24, ch = 20;
  Img m(5 * cw, ch);
  const Rgb top[5] = {kWhite, C(214, 224, 236), C(246, 247, 249), C(246, 250, 255), C(238, 244, 252)};
  const Rgb bottom[5] = {C(228, 233, 240), C(230, 236, 243), C(240, 242, 245), C(214, 228, 244), C(216, 228, 242)};
  for (int f = 0; f < 5; ++f) {
    const int x0 = f * cw;
    m.VGrad(x0, 0, cw, ch, top[f], bottom[f]);
    m.Fill(x0, ch - 1, cw, 1, f == 3 || f == 4 ? kAccent : kLineSoft);
    m.Fill(x0 + cw - 1, 3, 1, ch - 6, kLineSoft);
  }
  return m;
}

// 5 frames: normal (keyed), separator, disabled (keyed), selected, selected disabled. A separator
// item shows the bottom rows of frame 2 (as many as the item is high, 8 for a plain one), its ends at
// their own width and its middle stretched, keyed: so the etched line sits in the bottom 8 rows, 4
// rows above the bottom edge, and everything else of the frame is key colour.
Img MenuItem() {
  const int cw = 24, ch = 20;
  Img m(5 * cw, ch);
  const Rgb halo = C(250, 251, 252);
  const int line = ch - 5;
  for (int x = 2; x < cw - 2; ++x) {
    const double fade = x < 4 ? (x - 1) / 3.0 : x >= cw - 4 ? (cw - 2 - x) / 3.0 : 1.0;
    m.at(cw + x, line) = Mix(halo, kLineSoft, fade);
    m.at(cw + x, line + 1) = kWhite;
  }
  RBox(m, 3 * cw, 0, cw, ch, 3, C(222, 234, 250), C(198, 218, 242), C(120, 158, 206), true, halo);
  RBox(m, 4 * cw, 0, cw, ch, 3, C(238, 241, 245), C(228, 232, 238), kLineSoft, true, halo);
  return m;
}

Img MenuBackground() {
  Img m(24, 24, C(250, 251, 252));
  m.Frame(0, 0, 24, 24, kLine);
  m.Frame(1, 1, 22, 22, kWhite);
  return m;
}

// Scroll bar arrows: 23 square cells. For each of left, right, up, down, four cells: normal,
// pressed, hot, disabled (cells 1-4, 5-8, 9-12, 13-16); then cells 17-23: the track (normal,
// pressed, disabled), the corner box, and three spare cells in the face colour.
constexpr int kScroll = 17;
Img ScrollArrows() {
  Img m(23 * kScroll, kScroll, kFace);
  const Pattern* arrows[4] = {&kArrowLeft, &kArrowRight, &kArrowUp, &kArrowDown};
  const State st[4] = {kNormal, kPressed, kHot, kDisabled};
  for (int d = 0; d < 4; ++d)
    for (int f = 0; f < 4; ++f) {
      const int x0 = (4 * d + f) * kScroll;
      m.Fill(x0, 0, kScroll, kScroll, C(226, 230, 236));
      RaisedCell(m, x0 + 1, 1, kScroll - 2, kScroll - 2, st[f], 3, false);
      GlyphIn(m, x0, 0, kScroll, kScroll, *arrows[d], st[f] == kDisabled ? C(182, 188, 196) : RaisedLook(st[f]).ink == kInk ? C(70, 84, 104) : kInk);
    }
  m.Fill(16 * kScroll, 0, kScroll, kScroll, C(226, 230, 236));
  m.Fill(17 * kScroll, 0, kScroll, kScroll, C(204, 212, 222));
  m.Fill(18 * kScroll, 0, kScroll, kScroll, C(240, 241, 243));
  return m;
}

Img ScrollTrack(bool horizontal) {  // 4 frames: normal, pressed, disabled, hot
  Img m(4 * kScroll, kScroll);
  const Rgb a[4] = {C(218, 223, 230), C(200, 208, 218), C(238, 240, 242), C(212, 220, 230)};
  const Rgb b[4] = {C(234, 237, 241), C(216, 222, 230), C(242, 243, 245), C(228, 234, 241)};
  for (int f = 0; f < 4; ++f) {
    if (horizontal) m.VGrad(f * kScroll, 0, kScroll, kScroll, a[f], b[f]);
    else m.HGrad(f * kScroll, 0, kScroll, kScroll, a[f], b[f]);
  }
  return m;
}

Img ScrollThumb(bool horizontal) {  // 3 frames: normal, pressed (dragged), hot
  Img m(3 * kScroll, kScroll);
  const State st[3] = {kNormal, kPressed, kHot};
  for (int f = 0; f < 3; ++f) {
    const Look l = RaisedLook(st[f]);
    if (horizontal) RBox(m, f * kScroll, 2, kScroll, kScroll - 4, 4, l.top, l.bottom, l.border, true, C(226, 230, 236));
    else RBox(m, f * kScroll + 2, 0, kScroll - 4, kScroll, 4, l.top, l.bottom, l.border, true, C(226, 230, 236), true);
  }
  return m;
}

// Track-bar thumbs: 5 frames (normal, normal, pressed, disabled, hot); `point` is the side that the
// thumb points to (0 none, 1 left, 2 right, 3 up, 4 down).
Img TrackThumb(int cw, int ch, int point) {
  Img m(5 * cw, ch);
  const State st[5] = {kNormal, kNormal, kPressed, kDisabled, kHot};
  const int tip = 5;
  auto inside = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= cw || y >= ch) return false;
    auto taper = [&](int along, int across, int span) {  // inside the pointed end?
      const int d = along < tip ? tip - along : 0;
      return across >= d * span / (2 * tip) && across < span - d * span / (2 * tip);
    };
    switch (point) {
      case 1: return taper(x, y, ch);
      case 2: return taper(cw - 1 - x, y, ch);
      case 3: return taper(y, x, cw);
      case 4: return taper(ch - 1 - y, x, cw);
      default: return !((x == 0 || x == cw - 1) && (y == 0 || y == ch - 1));
    }
  };
  for (int f = 0; f < 5; ++f) {
    const Look l = RaisedLook(st[f]);
    for (int y = 0; y < ch; ++y)
      for (int x = 0; x < cw; ++x) {
        if (!inside(x, y)) continue;
        const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
        m.at(f * cw + x, y) = edge ? l.border : Mix(l.top, l.bottom, double(y) / (ch - 1));
      }
  }
  return m;
}

// Up-down buttons: 8 frames, first button (up or left) then second (down or right), each normal,
// pressed, disabled, hot. The glyph strip has the arrows in the same eight cells.
Img UpDown(int cw, int ch, bool glyphs, bool vertical) {
  Img m(8 * cw, ch);
  const State st[4] = {kNormal, kPressed, kDisabled, kHot};
  const Pattern small[2][2] = {{{"   #   ", "  ###  ", " ##### "}, {" ##### ", "  ###  ", "   #   "}},
                               {{"  #", " ##", "###", " ##", "  #"}, {"#  ", "## ", "###", "## ", "#  "}}};
  for (int b = 0; b < 2; ++b)
    for (int f = 0; f < 4; ++f) {
      const int x0 = (4 * b + f) * cw;
      if (glyphs) GlyphIn(m, x0, 0, cw, ch, small[vertical ? 0 : 1][b], st[f] == kDisabled ? C(182, 188, 196) : kInk);
      else RaisedCell(m, x0, 0, cw, ch, st[f], 2, true);
    }
  return m;
}

// The icons of the skinned system menu, 16 by 16 each: restore, maximise, minimise, close. Black on
// white, white being the colour the skin component takes as transparent.
Img MenuIcons() {
  const int c = 16;
  Img m(4 * c, c, kWhite);
  const Pattern* glyphs[4] = {&kRestore, &kMax, &kMin, &kClose};
  for (int i = 0; i < 4; ++i) {
    const Pattern& g = *glyphs[i];
    // The minimise bar sits low, where the title-bar button has it.
    const int y = i == 2 ? 10 : (c - static_cast<int>(g.size())) / 2;
    Glyph(m, i * c + (c - static_cast<int>(g[0].size())) / 2, y, g, 0x000000);
  }
  return m;
}

// ---- the file ---------------------------------------------------------------------------------

void Put16(std::string& s, uint32_t v) { s += char(v & 255); s += char((v >> 8) & 255); }
void Put32(std::string& s, uint32_t v) { Put16(s, v & 0xFFFF); Put16(s, v >> 16); }

std::string BmpFile(const Img& m) {
  const uint32_t stride = (static_cast<uint32_t>(m.w) * 3 + 3) & ~3u;
  const uint32_t imageSize = stride * static_cast<uint32_t>(m.h);
  std::string s;
  s += "BM";
  Put32(s, 14 + 40 + imageSize);
  Put32(s, 0);
  Put32(s, 14 + 40);
  Put32(s, 40);  // BITMAPINFOHEADER
  Put32(s, static_cast<uint32_t>(m.w));
  Put32(s, static_cast<uint32_t>(m.h));  // positive: bottom-up rows
  Put16(s, 1);
  Put16(s, 24);
  Put32(s, 0);  // BI_RGB
  Put32(s, imageSize);
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, 0);
  Put32(s, 0);
  for (int y = m.h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < m.w; ++x) {
      const Rgb c = m.px[static_cast<size_t>(y) * m.w + x];
      row += char(c & 255);
      row += char((c >> 8) & 255);
      row += char((c >> 16) & 255);
    }
    row.resize(stride, '\0');
    s += row;
  }
  return s;
}

}  // namespace

bool Write(const std::filesystem::path& path, const Img& image) {
  const std::string bytes = BmpFile(image);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f) std::fprintf(stderr, "makeskin: cannot write %s\n", path.string().c_str());
  return static_cast<bool>(f);
}

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: makeskin <output folder> [<menu icons file>]\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  const std::vector<std::pair<const char*, std::function<Img()>>> images = {
      {"top.bmp", TopBorder},
      {"left.bmp", [] { return SideBorder(true); }},
      {"right.bmp", [] { return SideBorder(false); }},
      {"bottom.bmp", BottomBorder},
      {"sysclose.bmp", [] { return SysButton(kClose, true); }},
      {"sysmax.bmp", [] { return SysButton(kMax, false); }},
      {"sysrestore.bmp", [] { return SysButton(kRestore, false); }},
      {"sysmin.bmp", [] { return SysButton({"       ", "       ", "       ", "       ", "       ", "#######", "#######"}, false); }},
      {"mdibuttons.bmp", MdiButtons},
      {"button.bmp", PushButton},
      {"check.bmp", CheckBox},
      {"radio.bmp", RadioButton},
      {"progress.bmp", ProgressBar},
      {"progchunk.bmp", ProgressChunk},
      {"menubar.bmp", MenuBar},
      {"groupedge.bmp", GroupBoxEdge},
      {"grouplabel.bmp", GroupBoxLabel},
      {"toolbar.bmp", Toolbar},
      {"tabs.bmp", Tabs},
      {"tabborder.bmp", TabBorder},
      {"status.bmp", StatusEdges},
      {"sunken.bmp", SunkEdge},
      {"combo.bmp", ComboButton},
      {"extra.bmp", ExtraImages},
      {"header.bmp", Header},
      {"menuitem.bmp", MenuItem},
      {"menuback.bmp", MenuBackground},
      {"scrollarrows.bmp", ScrollArrows},
      {"hscroll.bmp", [] { return ScrollTrack(true); }},
      {"vscroll.bmp", [] { return ScrollTrack(false); }},
      {"hthumb.bmp", [] { return ScrollThumb(true); }},
      {"vthumb.bmp", [] { return ScrollThumb(false); }},
      {"trackhorz.bmp", [] { return TrackThumb(11, 20, 0); }},
      {"trackvert.bmp", [] { return TrackThumb(20, 11, 0); }},
      {"trackleft.bmp", [] { return TrackThumb(20, 11, 1); }},
      {"trackright.bmp", [] { return TrackThumb(20, 11, 2); }},
      {"trackup.bmp", [] { return TrackThumb(11, 20, 3); }},
      {"trackdown.bmp", [] { return TrackThumb(11, 20, 4); }},
      {"updownh.bmp", [] { return UpDown(10, 16, false, false); }},
      {"updownhglyph.bmp", [] { return UpDown(10, 16, true, false); }},
      {"updownv.bmp", [] { return UpDown(16, 10, false, true); }},
      {"updownvglyph.bmp", [] { return UpDown(16, 10, true, true); }},
  };
  for (const auto& [name, draw] : images)
    if (!Write(out / name, draw())) return 1;
  // The system menu's icons are a resource of the programs, not part of the package.
  if (argc == 3 && !Write(argv[2], MenuIcons())) return 1;
  return 0;
}
