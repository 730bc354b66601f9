// skinsheet: draws every element of a skin package onto one labelled contact sheet.
//
//   skinsheet <package.skn> <sheet.bmp>   writes the sheet as a 24-bit Windows bitmap file
//   skinsheet <package.skn>               shows the sheet in a window
//
// The package is read the way the programs read it (the description reader, then the bitmap utilities
// draw each element from its strips), so the sheet shows what the painters have to work with: the
// window frame active and inactive with its title-bar buttons, the menu bar and menus, and every control
// element in each of its states, with the skin's colours and fonts. Exit code 0 on success, 1 when the
// package cannot be read, 2 for a wrong command line.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "Colors.h"
#include "DeviceContext.h"
#include "FileUtil.h"
#include "Graphics.h"
#include "ImgUtil.h"
#include "SkinDescription.h"
#include "SkinRead.h"
#include "WinString.h"

namespace {

using cl::TColor;
using cl::TRect;
using skin::TDataSkinObject;
using skin::TSkinDescription;
using skin::TSkinImage;

constexpr int kSheetWidth = 1040;
constexpr int kSheetHeight = 1172;

TRect R(int x, int y, int w, int h) { return TRect(x, y, x + w, y + h); }

COLORREF Ref(TColor c) { return static_cast<COLORREF>(cl::ColorToRGB(c) & 0xFFFFFF); }

TColor Mix(TColor a, TColor b, int percentB) {
  a = cl::ColorToRGB(a);
  b = cl::ColorToRGB(b);
  auto ch = [&](int shift) {
    const int x = static_cast<int>((a >> shift) & 255), y = static_cast<int>((b >> shift) & 255);
    return static_cast<TColor>((x * (100 - percentB) + y * percentB) / 100) << shift;
  };
  return ch(0) | ch(8) | ch(16);
}

class Font {
 public:
  Font(int height, bool bold)
      : handle_(CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS,
                            L"Tahoma")) {}
  HFONT Get() const { return handle_.Get(); }

 private:
  cl::TFontHandle handle_;
};

// Draws on the sheet's DC from one read skin.
class Sheet {
 public:
  Sheet(HDC dc, TSkinDescription& skin)
      : dc_(dc),
        s_(skin),
        text_(12, false),
        small_(11, false),
        heading_(13, true),
        big_(20, true),
        title_(skin.Title.FontHeight > 0 ? skin.Title.FontHeight : 14, true) {
    SetBkMode(dc_, TRANSPARENT);
  }

  void DrawAll();

 private:
  enum Align { kLeft, kCentre, kRight };

  // ---- primitives ----
  void Fill(const TRect& r, TColor c) {
    cl::TBrushHandle brush(CreateSolidBrush(Ref(c)));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    FillRect(dc_, &rc, brush.Get());
  }
  void Box(const TRect& r, TColor c) {
    Fill(R(r.Left, r.Top, r.Width(), 1), c);
    Fill(R(r.Left, r.Bottom - 1, r.Width(), 1), c);
    Fill(R(r.Left, r.Top, 1, r.Height()), c);
    Fill(R(r.Right - 1, r.Top, 1, r.Height()), c);
  }
  void Text(const TRect& r, const std::string& text, TColor colour, const Font& font, Align align = kLeft) {
    const std::wstring w = cl::ToWide(text);
    const cl::TSelectedObject selected(dc_, font.Get());
    SetTextColor(dc_, Ref(colour));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    const UINT how = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                     (align == kCentre ? DT_CENTER : align == kRight ? DT_RIGHT : DT_LEFT);
    DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &rc, how);
  }
  void Caption(int x, int y, int w, const std::string& text) {
    Text(R(x, y, w, 14), text, Mix(s_.Colors.WindowText, s_.Colors.ButtonFace, 40), small_, kCentre);
  }
  void Heading(int x, int y, int w, const std::string& text) {
    Text(R(x, y, w, 18), text, s_.Colors.WindowText, heading_);
    Fill(R(x, y + 19, w, 1), s_.Colors.ButtonShadow);
  }

  // ---- skin images ----
  cl::TBitmap* Bitmap(TSkinImage& image) { return skin::SkinImageBitmap(image); }
  // Frame `frame` of an element nine-slice into r, as its section says.
  void Nine(TDataSkinObject* e, const TRect& r, int frame, bool stacked = false) {
    if (!e) return;
    if (cl::TBitmap* b = Bitmap(e->Image))
      skin::DrawNineSlice(dc_, r, *b, stacked, e->Tile == 1, e->Trans == 1, e->FrameCount, frame, e->Margins);
  }
  // A separator item from frame 2 of the menu item element, as the owner-drawn menus draw it: the
  // frame's bottom rows when the item is lower than the image, the ends at their own width and the
  // middle stretched, keyed.
  void Separator(TDataSkinObject* e, const TRect& r) {
    cl::TBitmap* b = e ? Bitmap(e->Image) : nullptr;
    if (!b || e->FrameCount < 2 || r.IsEmpty()) return;
    const int fw = e->Image.Width / e->FrameCount, fx = fw, ih = e->Image.Height;
    const int top = r.Height() < ih ? ih - r.Height() : 0, h = std::min(r.Height(), ih);
    const int left = std::min(e->Margins.Left, r.Width() / 2), right = std::min(e->Margins.Right, r.Width() / 2);
    cl::TBitmap work;
    work.SetSize(r.Width(), r.Height());
    HDC w = work.Canvas()->Handle(), src = b->Canvas()->Handle();
    work.Canvas()->Brush()->SetColor(skin::kSkinKeyColor);
    work.Canvas()->FillRect(R(0, 0, r.Width(), r.Height()));
    SetStretchBltMode(w, COLORONCOLOR);
    StretchBlt(w, 0, 0, left, h, src, fx, top, left, h, SRCCOPY);
    StretchBlt(w, left, 0, r.Width() - left - right, h, src, fx + left, top, fw - left - right, h, SRCCOPY);
    StretchBlt(w, r.Width() - right, 0, right, h, src, fx + fw - right, top, right, h, SRCCOPY);
    skin::DrawTransparent(dc_, r, work, skin::kSkinKeyColor);
  }
  void Stretch(TSkinImage& image, int frames, int frame, const TRect& r, bool keyed) {
    if (cl::TBitmap* b = Bitmap(image)) skin::DrawSkinFrame(dc_, r, *b, keyed, frames, frame);
  }
  void Centred(TSkinImage& image, int frames, int frame, const TRect& r, bool keyed) {
    if (cl::TBitmap* b = Bitmap(image)) skin::DrawSkinFrameCentered(dc_, r, *b, keyed, frames, frame);
  }
  static int FrameWidth(const TSkinImage& image, int frames) { return frames > 0 ? image.Width / frames : 0; }

  // ---- composite pieces ----
  void Window(const TRect& r, bool active, const std::string& caption);
  void MenuBar(const TRect& r, bool active);
  void PushButton(const TRect& r, int frame, const std::string& text);
  void Edit(const TRect& r, bool focused, const std::string& text);
  void Combo(const TRect& r, TDataSkinObject* look, int frame, const std::string& text, bool buttonLeft);
  void HScroll(const TRect& r, int arrowState, int thumbFrame, int thumbAt);
  void VScroll(const TRect& r, int arrowState, int thumbFrame, int thumbAt);
  void UpDown(int x, int y, skin::TDataSkinBorder* e, bool vertical, int state);
  void Swatch(int x, int y, TColor c, const std::string& name);

  void SysButtonsSection(int x, int y);
  void MenuSection(int x, int y);
  void ButtonsSection(int x, int y);
  void ChecksSection(int x, int y);
  void EditsSection(int x, int y);
  void ScrollSection(int x, int y);
  void HeaderSection(int x, int y);
  void ProgressSection(int x, int y);
  void StatusSection(int x, int y);
  void GroupSection(int x, int y);
  void TabsSection(int x, int y);
  void TrackSection(int x, int y);
  void UpDownSection(int x, int y);
  void ToolSection(int x, int y);
  void ExtraSection(int x, int y);
  void ColoursSection(int x, int y);

  HDC dc_;
  TSkinDescription& s_;
  Font text_, small_, heading_, big_, title_;
};

// ---------------------------------------------------------------------------------------------------------

void Sheet::MenuBar(const TRect& r, bool active) {
  Fill(r, s_.Colors.Menubar);
  Nine(s_.MenuBar.get(), r, active ? 1 : 2, true);
  const char* items[] = {"File", "Edit", "View", "Help"};
  int x = r.Left + 4;
  for (int i = 0; i < 4 && x + 44 <= r.Right; ++i) {
    const TRect item = R(x, r.Top + 1, 44, r.Height() - 2);
    if (active && i == 1) Nine(s_.MenuItem.get(), item, 4);
    Text(item, items[i], active ? s_.Colors.MenuBarText : s_.Colors.ButtonShadow, text_, kCentre);
    x += 46;
  }
}

void Sheet::Window(const TRect& r, bool active, const std::string& caption) {
  const int frame = active ? 1 : 2;
  skin::TDataSkinBorder& top = s_.BorderTop;
  const int titleH = top.Image.Empty() ? 24 : top.Image.Height / std::max(top.FrameCount, 1);
  const int leftW = FrameWidth(s_.BorderLeft.Image, s_.BorderLeft.FrameCount);
  const int rightW = FrameWidth(s_.BorderRight.Image, s_.BorderRight.FrameCount);
  const int bottomH = s_.BorderBottom.Image.Empty()
                          ? 4
                          : s_.BorderBottom.Image.Height / std::max(s_.BorderBottom.FrameCount, 1);
  Fill(R(r.Left + leftW, r.Top + titleH, r.Width() - leftW - rightW, r.Height() - titleH - bottomH),
       s_.Colors.ButtonFace);
  Nine(&top, R(r.Left, r.Top, r.Width(), titleH), frame, true);
  Nine(&s_.BorderLeft, R(r.Left, r.Top + titleH, leftW, r.Height() - titleH - bottomH), frame);
  Nine(&s_.BorderRight, R(r.Right - rightW, r.Top + titleH, rightW, r.Height() - titleH - bottomH), frame);
  Nine(&s_.BorderBottom, R(r.Left, r.Bottom - bottomH, r.Width(), bottomH), frame, true);

  // Title-bar buttons: the skin's own (not those of a maximised MDI child), the restore button only
  // on a maximised window; the system-menu button shows the window icon.
  for (auto& b : s_.SysButtons) {
    if (b->Align == 100 || b->Visibility == 1) continue;
    const int x = b->Align == 1 ? r.Right - b->Xcoord : r.Left + b->Xcoord;
    const int y = r.Top + b->Ycoord;
    if (b->Action == 3 || b->Action == 11) {
      HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
      DrawIconEx(dc_, x, y, icon, 16, 16, 0, nullptr, DI_NORMAL);
      continue;
    }
    const int w = FrameWidth(b->Image, b->FrameCount);
    // Frames: normal, pressed, hot, inactive.
    Stretch(b->Image, b->FrameCount, active ? 1 : std::min(4, b->FrameCount), R(x, y, w, b->Image.Height), true);
  }
  const TColor ink = active ? s_.Title.ActiveTextColor : s_.Title.InActiveTextColor;
  Text(R(r.Left + s_.Title.Margins.Left, r.Top + s_.Title.Margins.Top, r.Width() - s_.Title.Margins.Left -
                                                                            s_.Title.Margins.Right,
         titleH),
       caption, ink == cl::clNone ? (active ? s_.Colors.TitleTextActive : s_.Colors.TitleTextNoActive) : ink, title_);

  const int menuH = s_.MenuBar ? s_.MenuBar->Image.Height / std::max(s_.MenuBar->FrameCount, 1) : 20;
  MenuBar(R(r.Left + leftW, r.Top + titleH, r.Width() - leftW - rightW, menuH), active);
}

void Sheet::PushButton(const TRect& r, int frame, const std::string& text) {
  Nine(&s_.Buttons, r, frame);
  TColor c = s_.Buttons.NormalColour2;
  if (frame == 2) c = s_.Buttons.PressedColour2;
  if (frame == 3) c = s_.Colors.ButtonShadow;
  if (frame == 4) c = s_.Buttons.MouseOverColour2;
  TRect t = r;
  if (frame == 2) t = TRect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
  Text(t, text, c, text_, kCentre);
}

// The edit painter's look: a flat two-pixel border in the skin's colours.
void Sheet::Edit(const TRect& r, bool focused, const std::string& text) {
  Fill(r, cl::clWhite);
  Box(r, focused ? s_.Colors.Hilight : s_.Colors.ButtonShadow);
  Box(TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), focused ? Mix(s_.Colors.Hilight, cl::clWhite, 60)
                                                                        : s_.Colors.Buttonlight);
  Text(TRect(r.Left + 5, r.Top, r.Right - 4, r.Bottom), text, s_.Colors.WindowText, text_);
}

void Sheet::Combo(const TRect& r, TDataSkinObject* look, int frame, const std::string& text, bool buttonLeft) {
  Fill(TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2), frame == 3 ? Mix(cl::clWhite, s_.Colors.ButtonFace, 50)
                                                                           : cl::clWhite);
  // The composed strips leave the text area in the key colour, whatever the section's Trans.
  if (look)
    if (cl::TBitmap* b = Bitmap(look->Image))
      skin::DrawNineSlice(dc_, r, *b, false, false, true, look->FrameCount, frame, look->Margins);
  const int button = look ? (buttonLeft ? look->Margins.Left : look->Margins.Right) : 0;
  const TRect t = buttonLeft ? TRect(r.Left + button + 3, r.Top, r.Right - 3, r.Bottom)
                             : TRect(r.Left + 5, r.Top, r.Right - button, r.Bottom);
  Text(t, text, frame == 3 ? s_.Colors.ButtonShadow : s_.Colors.WindowText, text_);
}

// Scroll arrow cells: left 1-4, right 5-8, up 9-12, down 13-16 (normal, pressed, hot, disabled).
void Sheet::HScroll(const TRect& r, int arrowState, int thumbFrame, int thumbAt) {
  const int a = r.Height();
  const int arrows = s_.Scrollbar ? s_.Scrollbar->FrameCount : 1;
  if (s_.HorzScroll) Stretch(s_.HorzScroll->Image, s_.HorzScroll->FrameCount, 1, TRect(r.Left + a, r.Top, r.Right - a, r.Bottom), false);
  if (s_.Scrollbar) {
    Stretch(s_.Scrollbar->Image, arrows, 1 + arrowState, R(r.Left, r.Top, a, a), s_.Scrollbar->Trans == 1);
    Stretch(s_.Scrollbar->Image, arrows, 5, R(r.Right - a, r.Top, a, a), s_.Scrollbar->Trans == 1);
  }
  Nine(s_.HorzScrollThumb.get(), R(r.Left + a + thumbAt, r.Top, 60, a), thumbFrame);
}

void Sheet::VScroll(const TRect& r, int arrowState, int thumbFrame, int thumbAt) {
  const int a = r.Width();
  const int arrows = s_.Scrollbar ? s_.Scrollbar->FrameCount : 1;
  if (s_.VertScroll) Stretch(s_.VertScroll->Image, s_.VertScroll->FrameCount, 1, TRect(r.Left, r.Top + a, r.Right, r.Bottom - a), false);
  if (s_.Scrollbar) {
    Stretch(s_.Scrollbar->Image, arrows, 9, R(r.Left, r.Top, a, a), s_.Scrollbar->Trans == 1);
    Stretch(s_.Scrollbar->Image, arrows, 13 + arrowState, R(r.Left, r.Bottom - a, a, a), s_.Scrollbar->Trans == 1);
  }
  Nine(s_.VertScrollThumb.get(), R(r.Left, r.Top + a + thumbAt, a, 44), thumbFrame);
}

// An up-down pair: the first button (up or left) from frames 1-4, the second from 5-8, glyphs from the
// second image's same cells. state: 0 normal, 1 pressed, 2 disabled, 3 hot.
void Sheet::UpDown(int x, int y, skin::TDataSkinBorder* e, bool vertical, int state) {
  if (!e) return;
  const int w = FrameWidth(e->Image, e->FrameCount), h = e->Image.Height;
  for (int b = 0; b < 2; ++b) {
    const TRect cell = vertical ? R(x, y + b * h, w, h) : R(x + b * w, y, w, h);
    // The second button shows the state, the first stays normal (or disabled with it).
    const int st = b == 1 ? state : (state == 2 ? 2 : 0);
    Nine(e, cell, 4 * b + st + 1);
    Centred(e->Image2, e->FrameCount, 4 * b + st + 1, cell, true);
  }
}

void Sheet::Swatch(int x, int y, TColor c, const std::string& name) {
  Fill(R(x, y, 22, 16), c);
  Box(R(x, y, 22, 16), Mix(s_.Colors.ButtonDkShadow, c, 30));
  Text(R(x + 27, y, 120, 16), name, s_.Colors.WindowText, small_);
}

// ---------------------------------------------------------------------------------------------------------

void Sheet::SysButtonsSection(int x, int y) {
  Heading(x, y, 484, "Title-bar buttons");
  const char* states[] = {"normal", "pressed", "hot", "inactive"};
  for (int i = 0; i < 4; ++i) Caption(x + 90 + 40 * i, y + 24, 40, states[i]);
  int row = y + 42;
  for (auto& b : s_.SysButtons) {
    if (b->Align == 100 || b->Image.Empty()) continue;
    std::string name = b->Name;
    if (name.rfind("BUTTON.", 0) == 0) name = name.substr(7);
    Text(R(x, row, 84, b->Image.Height), name, s_.Colors.WindowText, text_);
    const int w = FrameWidth(b->Image, b->FrameCount);
    for (int f = 1; f <= b->FrameCount && f <= 4; ++f)
      Stretch(b->Image, b->FrameCount, f, R(x + 90 + 40 * (f - 1) + (40 - w) / 2, row, w, b->Image.Height), true);
    row += b->Image.Height + 6;
  }
  // The buttons of a maximised MDI child, on the menu bar.
  const int mx = x + 262;
  Caption(mx, y + 24, 222, "MDI child: minimise, restore, close");
  int my = y + 42;
  for (auto& b : s_.SysButtons) {
    if (b->Align != 100 || b->Image.Empty()) continue;
    const int w = FrameWidth(b->Image, b->FrameCount);
    Fill(R(mx, my - 3, 222, b->Image.Height + 6), s_.Colors.Menubar);
    Nine(s_.MenuBar.get(), R(mx, my - 3, 222, b->Image.Height + 6), 1, true);
    for (int f = 1; f <= b->FrameCount && f <= 4; ++f)
      Stretch(b->Image, b->FrameCount, f, R(mx + 16 + 52 * (f - 1), my, w, b->Image.Height), true);
    my += b->Image.Height + 8;
  }
  for (int i = 0; i < 4; ++i) Caption(mx + 52 * i, my, 52, i == 0 ? "normal" : i == 1 ? "pressed" : i == 2 ? "hot" : "disabled");
}

void Sheet::MenuSection(int x, int y) {
  Heading(x, y, 484, "Menus");
  // A popup menu over its background, one item selected and one disabled.
  const TRect menu = R(x + 10, y + 30, 170, 132);
  Fill(menu, s_.Colors.Menu);
  Nine(s_.MenuBackground.get(), menu, 1);
  const char* items[] = {"Open...", "Save", "Print", "", "Exit"};
  int iy = menu.Top + 4;
  for (int i = 0; i < 5; ++i) {
    if (!*items[i]) {
      Separator(s_.MenuItem.get(), R(menu.Left + 3, iy, menu.Width() - 6, 8));
      iy += 8;
      continue;
    }
    const TRect item = R(menu.Left + 3, iy, menu.Width() - 6, 22);
    if (i == 1) Nine(s_.MenuItem.get(), item, 4);
    Text(TRect(item.Left + 24, item.Top, item.Right - 8, item.Bottom), items[i],
         i == 2 ? s_.Colors.ButtonShadow : s_.Colors.MenuText, text_);
    if (i == 0) Text(TRect(item.Left, item.Top, item.Right - 10, item.Bottom), "Ctrl+O", s_.Colors.ButtonShadow, small_, kRight);
    iy += 24;
  }
  // The five item frames.
  const char* states[] = {"normal", "separator", "disabled", "selected", "selected, disabled"};
  for (int f = 1; f <= 5; ++f) {
    const TRect item = R(x + 200, y + 30 + 27 * (f - 1), 130, 22);
    Fill(item, s_.Colors.Menu);
    if (f == 2) {
      Separator(s_.MenuItem.get(), R(item.Left, item.Top + 14, item.Width(), 8));
      Text(TRect(item.Left + 10, item.Top, item.Right, item.Top + 14), states[f - 1], s_.Colors.MenuText, small_);
      continue;
    }
    Nine(s_.MenuItem.get(), item, f);
    Text(TRect(item.Left + 10, item.Top, item.Right, item.Bottom), states[f - 1],
         f == 3 || f == 5 ? s_.Colors.ButtonShadow : s_.Colors.MenuText, text_);
  }
  // The menu bar, active and inactive.
  Caption(x + 346, y + 30, 130, "menu bar, active");
  MenuBar(R(x + 346, y + 46, 138, 20), true);
  Caption(x + 346, y + 76, 130, "menu bar, inactive");
  MenuBar(R(x + 346, y + 92, 138, 20), false);
}

void Sheet::ButtonsSection(int x, int y) {
  Heading(x, y, 484, "Push buttons");
  const char* states[] = {"normal", "pressed", "disabled", "hot", "default"};
  for (int f = 1; f <= 5; ++f) {
    PushButton(R(x + 97 * (f - 1), y + 28, 88, 26), f, f == 5 ? "OK" : "Button");
    Caption(x + 97 * (f - 1), y + 56, 88, states[f - 1]);
  }
}

void Sheet::ChecksSection(int x, int y) {
  Heading(x, y, 484, "Check boxes and radio buttons");
  const char* states[] = {"Unchecked", "Checked", "Disabled", "Disabled, checked"};
  for (int row = 0; row < 2; ++row) {
    TSkinImage& image = row == 0 ? s_.Buttons.CheckButtonImage : s_.Buttons.RadioButtonImage;
    const int frames = row == 0 ? s_.Buttons.CheckButtonFrame : s_.Buttons.RadioButtonFrame;
    const int w = FrameWidth(image, frames);
    for (int f = 1; f <= frames && f <= 4; ++f) {
      const int cx = x + 121 * (f - 1), cy = y + 28 + 24 * row;
      Stretch(image, frames, f, R(cx, cy + (16 - image.Height) / 2, w, image.Height), true);
      Text(R(cx + w + 5, cy, 121 - w - 5, 16), states[f - 1], f >= 3 ? s_.Colors.ButtonShadow : s_.Colors.ButtonText,
           text_);
    }
  }
}

void Sheet::EditsSection(int x, int y) {
  Heading(x, y, 1008, "Edits and combo boxes");
  Edit(R(x, y + 28, 130, 21), false, "Edit");
  Caption(x, y + 51, 130, "edit");
  Edit(R(x + 140, y + 28, 130, 21), true, "Focused edit");
  Caption(x + 140, y + 51, 130, "focused");
  const char* states[] = {"normal", "pressed", "disabled", "hot"};
  for (int f = 1; f <= 4; ++f) {
    Combo(R(x + 290 + 130 * (f - 1), y + 28, 120, 21), s_.ComboButton.get(), f, "Combo box", false);
    Caption(x + 290 + 130 * (f - 1), y + 51, 120, std::string("combo box, ") + states[f - 1]);
  }
  // SunkEdge carries the combo box with its button on the left, in reversed frame order.
  Combo(R(x + 810, y + 28, 120, 21), s_.SunkEdge.get(), s_.SunkEdge ? s_.SunkEdge->FrameCount : 1, "Right to left", true);
  Caption(x + 810, y + 51, 120, "button on the left");
}

void Sheet::ScrollSection(int x, int y) {
  Heading(x, y, 484, "Scroll bars");
  HScroll(R(x, y + 30, 300, 17), 0, 1, 40);
  Caption(x, y + 49, 300, "normal");
  HScroll(R(x, y + 68, 300, 17), 2, 3, 120);
  Caption(x, y + 87, 300, "left arrow hot, thumb hot");
  HScroll(R(x, y + 106, 300, 17), 1, 2, 200);
  Caption(x, y + 125, 300, "left arrow pressed, thumb dragged");
  VScroll(R(x + 330, y + 30, 17, 110), 0, 1, 10);
  VScroll(R(x + 360, y + 30, 17, 110), 2, 3, 40);
  Caption(x + 320, y + 142, 70, "vertical");
  // Every arrow cell: left, right, up, down, each normal, pressed, hot, disabled.
  if (s_.Scrollbar) {
    const int a = FrameWidth(s_.Scrollbar->Image, s_.Scrollbar->FrameCount);
    for (int f = 1; f <= 16; ++f)
      Stretch(s_.Scrollbar->Image, s_.Scrollbar->FrameCount, f,
              R(x + 400 + ((f - 1) % 4) * (a + 3), y + 30 + ((f - 1) / 4) * (a + 3), a, a), s_.Scrollbar->Trans == 1);
    Caption(x + 394, y + 112, 90, "arrow cells");
  }
}

void Sheet::HeaderSection(int x, int y) {
  Heading(x, y, 484, "Column headers");
  const char* names[] = {"Normal", "Pressed", "Disabled", "Hot", "Sorted"};
  for (int f = 1; f <= 5; ++f) {
    const TRect r = R(x + 96 * (f - 1), y + 30, 96, 22);
    Nine(s_.Headerbar.get(), r, f);
    Text(TRect(r.Left + 6, r.Top, r.Right - 4, r.Bottom), names[f - 1],
         f == 3 ? s_.Colors.ButtonShadow : s_.Colors.ButtonText, text_);
  }
  // A list under a header row.
  Fill(R(x, y + 60, 480, 72), cl::clWhite);
  Box(R(x, y + 60, 480, 72), s_.Colors.ButtonShadow);
  const char* cols[] = {"Description", "Hotkey", "Action"};
  const int widths[] = {200, 120, 158};
  int cx = x + 1;
  for (int i = 0; i < 3; ++i) {
    Nine(s_.Headerbar.get(), R(cx, y + 61, widths[i], 22), i == 0 ? 5 : 1);
    Text(R(cx + 6, y + 61, widths[i] - 8, 22), cols[i], s_.Colors.ButtonText, text_);
    cx += widths[i];
  }
  Fill(R(x + 1, y + 85, 478, 20), s_.Colors.Hilight);
  Text(R(x + 7, y + 85, 190, 20), "Open the editor", s_.Colors.HilightText, text_);
  Text(R(x + 207, y + 85, 110, 20), "Ctrl+Alt+E", s_.Colors.HilightText, text_);
  Text(R(x + 7, y + 106, 190, 20), "Volume up", s_.Colors.WindowText, text_);
  Text(R(x + 207, y + 106, 110, 20), "Win+PgUp", s_.Colors.WindowText, text_);
}

void Sheet::ProgressSection(int x, int y) {
  Heading(x, y, 484, "Progress bars");
  skin::TDataSkinBorder* p = s_.Progress.get();
  const TRect bar = R(x, y + 30, 300, 18);
  Nine(p, bar, 1);
  Nine(p, R(bar.Left, bar.Top, bar.Width() * 62 / 100, bar.Height()), 2);
  Caption(x + 310, y + 32, 100, "62 %, smooth");
  const TRect chunks = R(x, y + 58, 300, 18);
  Nine(p, chunks, 1);
  if (p && !p->Image2.Empty()) {
    const int cw = p->Image2.Width;
    const int inner = chunks.Width() - p->Margins.Left - p->Margins.Right;
    const int ch = chunks.Height() - 6;
    for (int cx = 0; cx + cw <= inner * 45 / 100; cx += cw)
      Stretch(p->Image2, 1, 1, R(chunks.Left + p->Margins.Left + cx, chunks.Top + 3, cw, ch), true);
  }
  Caption(x + 310, y + 60, 100, "45 %, chunks");
}

void Sheet::StatusSection(int x, int y) {
  Heading(x, y, 484, "Status bar");
  const TRect bar = R(x, y + 30, 484, 24);
  Fill(bar, s_.Colors.ButtonFace);
  const char* texts[] = {"Lowered panel", "Raised panel", "Flat panel"};
  const int widths[] = {170, 150, 140};
  int px = bar.Left + 2;
  for (int f = 1; f <= 3; ++f) {
    const TRect panel = R(px, bar.Top + 2, widths[f - 1], bar.Height() - 2);
    Nine(s_.StatusBarEdges.get(), panel, f);
    Text(TRect(panel.Left + 6, panel.Top, panel.Right - 4, panel.Bottom), texts[f - 1],
         s_.StatusBarEdges ? s_.StatusBarEdges->NormalColour2 : s_.Colors.ButtonText, text_);
    px += widths[f - 1] + 2;
  }
  // The size grip is the last cell of ExtraImages.
  if (s_.ExtraImages) {
    const int g = FrameWidth(s_.ExtraImages->Image, s_.ExtraImages->FrameCount);
    Stretch(s_.ExtraImages->Image, s_.ExtraImages->FrameCount, 5, R(bar.Right - g - 1, bar.Bottom - g - 1, g, g),
            true);
  }
}

void Sheet::GroupSection(int x, int y) {
  Heading(x, y, 230, "Group box");
  const TRect box = R(x, y + 36, 220, 96);
  Nine(s_.GroupBoxEdge.get(), box, 1);
  // The caption on its background image, shifted as the section says.
  const std::string caption = "Options";
  SIZE size{};
  {
    const cl::TSelectedObject selected(dc_, text_.Get());
    const std::wstring wc = cl::ToWide(caption);
    GetTextExtentPoint32W(dc_, wc.c_str(), static_cast<int>(wc.size()), &size);
  }
  const int lx = box.Left + 12;
  if (s_.GroupBox) {
    const TRect back(lx + s_.GroupBox->Margins.Left + s_.GroupBox->BackgroundLeftShift - 4, box.Top - 9,
                     lx + size.cx + s_.GroupBox->BackgroundRightShift + 4, box.Top + 9);
    Nine(s_.GroupBox.get(), back, 1);
  }
  Text(R(lx, box.Top - 9, size.cx + 2, 18), caption,
       s_.GroupBox ? s_.GroupBox->NormalColour2 : s_.Colors.ButtonText, text_);
  // Disabled edge frame.
  Caption(box.Left + 10, box.Top + 20, 200, "enabled edge (frame 1)");
  Nine(s_.GroupBoxEdge.get(), R(box.Left + 14, box.Top + 44, 192, 40), 2);
  Caption(box.Left + 14, box.Top + 57, 192, "disabled edge (frame 2)");
}

void Sheet::TabsSection(int x, int y) {
  Heading(x, y, 240, "Tabs");
  const TRect page = R(x, y + 52, 240, 80);
  skin::TDataSkinBorder* t = s_.Tabs.get();
  if (t && !t->Image2.Empty()) {
    if (cl::TBitmap* b = Bitmap(t->Image2)) skin::DrawNineSlice(dc_, page, *b, false, false, false, 1, 1, TRect(3, 3, 3, 3));
  }
  const char* names[] = {"General", "Keys", "Hot", "Off"};
  const int frames[] = {2, 1, 4, 3};
  const int widths[] = {64, 50, 46, 42};
  int tx = x + 2;
  for (int i = 0; i < 4; ++i) {
    const bool sel = frames[i] == 2;
    const TRect tab = R(tx, sel ? y + 30 : y + 32, widths[i], sel ? 24 : 21);
    Nine(t, tab, frames[i]);
    TColor c = t ? t->NormalColour2 : s_.Colors.ButtonText;
    if (frames[i] == 4 && t) c = t->MouseOverColour2;
    if (frames[i] == 3) c = s_.Colors.ButtonShadow;
    if (sel) c = s_.Colors.ButtonText;
    Text(tab, names[i], c, text_, kCentre);
    tx += widths[i] + 1;
  }
  Text(R(page.Left + 12, page.Top + 10, 200, 18), "The selected tab's page", s_.Colors.WindowText, text_);
  Caption(page.Left, page.Top + 36, 240, "tabs: selected, normal, hot, disabled");
}

void Sheet::TrackSection(int x, int y) {
  Heading(x, y, 484, "Track bars");
  // A horizontal track bar: its channel, ticks below, the thumb pointing down.
  const TRect channel = R(x + 8, y + 40, 200, 5);
  Fill(channel, cl::clWhite);
  Box(channel, s_.Colors.ButtonShadow);
  for (int i = 0; i <= 10; ++i) Fill(R(channel.Left + 4 + i * 19, y + 62, 1, 4), s_.Colors.ButtonShadow);
  if (auto* t = s_.TrackbarThumbDown.get())
    Stretch(t->Image, t->FrameCount, 1,
            R(channel.Left + 70, y + 32, FrameWidth(t->Image, t->FrameCount), t->Image.Height), t->Trans == 1);
  // A vertical one, the thumb pointing right.
  const TRect vchannel = R(x + 236, y + 30, 5, 110);
  Fill(vchannel, cl::clWhite);
  Box(vchannel, s_.Colors.ButtonShadow);
  for (int i = 0; i <= 6; ++i) Fill(R(x + 256, vchannel.Top + 4 + i * 17, 4, 1), s_.Colors.ButtonShadow);
  if (auto* t = s_.TrackbarThumbRight.get())
    Stretch(t->Image, t->FrameCount, 1, R(x + 228, y + 70, FrameWidth(t->Image, t->FrameCount), t->Image.Height),
            t->Trans == 1);
  // Every thumb, frames 2-5 (normal, pressed, disabled, hot): those of horizontal track bars in one
  // column, those of vertical ones in the other.
  struct {
    const char* name;
    TDataSkinObject* e;
  } thumbs[] = {{"horz", s_.TrackbarThumbHorz.get()}, {"up", s_.TrackbarThumbUp.get()},
                {"down", s_.TrackbarThumbDown.get()}, {"vert", s_.TrackbarThumbVert.get()},
                {"left", s_.TrackbarThumbLeft.get()}, {"right", s_.TrackbarThumbRight.get()}};
  for (int column = 0; column < 2; ++column) {
    int ty = y + 30;
    const int cx = x + 272 + column * 96;
    for (int row = 0; row < 3; ++row) {
      TDataSkinObject* e = thumbs[3 * column + row].e;
      if (!e) continue;
      const int w = FrameWidth(e->Image, e->FrameCount);
      Text(R(cx, ty, 28, e->Image.Height), thumbs[3 * column + row].name, s_.Colors.ButtonShadow, small_);
      for (int f = 2; f <= 5; ++f)
        Stretch(e->Image, e->FrameCount, f, R(cx + 28 + (w + 3) * (f - 2), ty, w, e->Image.Height), e->Trans == 1);
      ty += e->Image.Height + 6;
    }
  }
  Caption(x + 270, y + 124, 214, "thumbs: normal, pressed, disabled, hot");
}

void Sheet::UpDownSection(int x, int y) {
  Heading(x, y, 300, "Up-down buttons");
  // In a spin edit, then each state of the second button.
  Edit(R(x, y + 30, 70, 21), false, "42");
  UpDown(x + 70 - 18, y + 31, s_.UpDownVert.get(), true, 0);
  const char* states[] = {"normal", "pressed", "disabled", "hot"};
  for (int st = 0; st < 4; ++st) {
    UpDown(x + 102 + 52 * st, y + 30, s_.UpDownVert.get(), true, st);
    UpDown(x + 98 + 52 * st, y + 60, s_.UpDownHorz.get(), false, st);
    Caption(x + 86 + 52 * st, y + 80, 48, states[st]);
  }
}

void Sheet::ToolSection(int x, int y) {
  Heading(x, y, 240, "Tool buttons");
  const char* states[] = {"normal", "pressed", "disabled", "hot", "down"};
  for (int f = 1; f <= 5; ++f) {
    const TRect r = R(x + 48 * (f - 1) + 10, y + 30, 26, 26);
    Nine(s_.Toolbars.get(), r, f);
    // A small glyph: a page.
    const TColor ink = f == 3 ? s_.Colors.ButtonShadow : s_.Colors.ButtonDkShadow;
    Box(R(r.Left + 8, r.Top + 6, 10, 13), ink);
    Fill(R(r.Left + 10, r.Top + 10, 6, 1), ink);
    Fill(R(r.Left + 10, r.Top + 13, 6, 1), ink);
    Caption(x + 48 * (f - 1), y + 58, 46, states[f - 1]);
  }
}

// The combo arrows and the size grip, at their own size.
void Sheet::ExtraSection(int x, int y) {
  Heading(x, y, 384, "Combo arrows and size grip");
  skin::TDataSkinObject* e = s_.ExtraImages.get();
  if (!e) return;
  const char* states[] = {"normal", "pressed", "disabled", "hot", "size grip"};
  for (int f = 1; f <= e->FrameCount && f <= 5; ++f) {
    const TRect cell = R(x + 8 + 74 * (f - 1), y + 30, 60, 26);
    Fill(cell, f == 5 ? s_.Colors.ButtonFace : cl::clWhite);
    Box(cell, s_.Colors.ButtonShadow);
    Centred(e->Image, e->FrameCount, f, cell, e->Trans == 1);
    Caption(cell.Left, cell.Bottom + 2, cell.Width(), states[f - 1]);
  }
}

void Sheet::ColoursSection(int x, int y) {
  Heading(x, y, 1008, "Colours and fonts");
  const auto& c = s_.Colors;
  struct {
    const char* name;
    TColor colour;
  } named[] = {{"WindowText", c.WindowText},       {"TitleTextActive", c.TitleTextActive},
               {"TitleTextNoActive", c.TitleTextNoActive}, {"ButtonFace", c.ButtonFace},
               {"ButtonText", c.ButtonText},       {"ButtonHilight", c.ButtonHilight},
               {"Buttonlight", c.Buttonlight},     {"ButtonShadow", c.ButtonShadow},
               {"ButtonDkShadow", c.ButtonDkShadow}, {"HilightText", c.HilightText},
               {"Hilight", c.Hilight},             {"Menubar", c.Menubar},
               {"MenuBarText", c.MenuBarText},     {"MenuText", c.MenuText},
               {"Menu", c.Menu},                   {"Scrollbar", c.Scrollbar}};
  for (int i = 0; i < 16; ++i) Swatch(x + 150 * (i % 4), y + 28 + 22 * (i / 4), named[i].colour, named[i].name);
  int tx = x + 620;
  Text(R(tx, y + 26, 200, 16), "Colour table", s_.Colors.WindowText, small_);
  for (size_t i = 0; i < s_.ColourTable.size() && i < 4; ++i)
    Swatch(tx + 90 + 30 * static_cast<int>(i), y + 26, s_.ColourTable[i], "");
  Text(R(tx, y + 50, 200, 16), "Custom colours", s_.Colors.WindowText, small_);
  for (int i = 0; i < 10; ++i) {
    Fill(R(tx + 30 * (i % 5), y + 70 + 20 * (i / 5), 24, 16), s_.CustomColors[static_cast<size_t>(i)]);
    Box(R(tx + 30 * (i % 5), y + 70 + 20 * (i / 5), 24, 16), s_.Colors.ButtonShadow);
  }
  // Fonts: the caption font at the skin's height, and the controls' text.
  const int fx = x + 790;
  Fill(R(fx, y + 26, 218, 28), s_.Colors.Hilight);
  Text(R(fx + 6, y + 26, 212, 28), "Caption, " + std::to_string(s_.Title.FontHeight) + " px bold", c.TitleTextActive,
       title_);
  Text(R(fx, y + 60, 218, 18), "Control text, 12 px", c.ButtonText, text_);
  Text(R(fx, y + 80, 218, 18), "Menu text", c.MenuText, text_);
  Fill(R(fx + 80, y + 80, 100, 18), c.Hilight);
  Text(R(fx + 86, y + 80, 94, 18), "Selected text", c.HilightText, text_);
}

// The layout is fixed: the sheet's test finds the window mocks and the check box rows at these places.
void Sheet::DrawAll() {
  Fill(R(0, 0, kSheetWidth, kSheetHeight), s_.Colors.ButtonFace);
  Text(R(16, 8, 700, 28), "Skin contact sheet: every element of the skin", s_.Colors.WindowText, big_);

  Heading(16, 44, 484, "Window frame, active");
  Window(R(16, 72, 484, 170), true, "Hotkeys");
  {
    // A little content in the client area.
    const int cx = 16 + 4, cy = 72 + 28 + 20;
    Text(R(cx + 12, cy + 10, 120, 20), "Description", s_.Colors.WindowText, text_);
    Edit(R(cx + 110, cy + 10, 200, 21), true, "Open the editor");
    PushButton(R(cx + 280 + 45, cy + 76, 70, 24), 5, "OK");
    PushButton(R(cx + 360 + 45, cy + 76, 70, 24), 1, "Cancel");
  }
  Heading(16, 256, 484, "Window frame, inactive");
  Window(R(16, 284, 484, 86), false, "Pellwick");

  SysButtonsSection(540, 44);
  MenuSection(540, 210);

  ButtonsSection(16, 384);
  ChecksSection(540, 384);
  EditsSection(16, 466);
  ScrollSection(16, 546);
  HeaderSection(540, 546);
  ProgressSection(16, 712);
  StatusSection(540, 712);
  GroupSection(16, 796);
  TabsSection(266, 796);
  TrackSection(540, 796);
  ToolSection(16, 944);
  UpDownSection(290, 944);
  ExtraSection(640, 944);
  ColoursSection(16, 1044);
}

// ---------------------------------------------------------------------------------------------------------

bool ReadSkin(const std::string& path, TSkinDescription& skin, skin::TSkinReader& reader, std::string& error) {
  try {
    cl::TMemoryStream source(cl::ReadFileBytes(path));
    if (!reader.LoadFromStream(source)) {
      error = "not a skin package of this version";
      return false;
    }
    skin::TQuickIni ini;
    if (!reader.ReadDescription(ini)) {
      error = "the package holds no description";
      return false;
    }
    skin.ReadSkinIni(ini, [&reader](const std::string& name) { return reader.EntryBytes(name); },
                     GetSystemMetrics(SM_CXHSCROLL));
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

// The sheet's window: paints the bitmap handed over at creation.
LRESULT CALLBACK SheetProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NCCREATE)
    SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  if (m == WM_PAINT) {
    auto* shown = reinterpret_cast<cl::TBitmap*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    const cl::TPaintDC dc(w);
    BitBlt(dc.Get(), 0, 0, shown->Width(), shown->Height(), shown->Canvas()->Handle(), 0, 0, SRCCOPY);
    return 0;
  }
  if (m == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(w, m, wp, lp);
}

// Shows the sheet until the window is closed.
void Show(cl::TBitmap& sheet) {
  WNDCLASSW wc{};
  wc.lpszClassName = L"TSkinSheet";
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpfnWndProc = SheetProc;
  RegisterClassW(&wc);
  RECT r{0, 0, sheet.Width(), sheet.Height()};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  HWND w = CreateWindowW(wc.lpszClassName, L"Skin contact sheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                         CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, &sheet);
  if (!w) return;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: skinsheet <package.skn> [<sheet.bmp>]\n");
    return 2;
  }
  const std::string package = cl::FromWide(argv[1]);
  skin::TSkinReader reader;
  TSkinDescription skin;
  std::string error;
  if (!ReadSkin(package, skin, reader, error)) {
    std::fprintf(stderr, "skinsheet: %s: %s\n", package.c_str(), error.c_str());
    return 1;
  }
  cl::TBitmap sheet;
  sheet.SetPixelFormat(cl::pf24bit);
  sheet.SetSize(kSheetWidth, kSheetHeight);
  Sheet(sheet.Canvas()->Handle(), skin).DrawAll();
  GdiFlush();
  if (argc == 3) {
    const std::string out = cl::FromWide(argv[2]);
    try {
      sheet.SaveToFile(out);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "skinsheet: %s: %s\n", out.c_str(), e.what());
      return 1;
    }
    return 0;
  }
  Show(sheet);
  return 0;
}
