// Reading a skin description into the skin data objects.
#include <algorithm>
#include <map>

#include "SkinColor.h"
#include "SkinDescription.h"
#include "SysUtils.h"

namespace skin {

namespace {

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return std::clamp(v, lo, hi); }
// Margins: pixel widths, never negative.
int32_t Margin(int32_t v) { return Clamp(v, 0, kMaxSkinValue); }
// Shifts and positions: may point either way.
int32_t Offset(int32_t v) { return Clamp(v, -kMaxSkinValue, kMaxSkinValue); }
// Frame counts: the painters divide by them.
int32_t Frames(int32_t v) { return Clamp(v, 1, kMaxSkinValue); }

// One reading: the parsed text, the package, and the entries already read (an image named by several
// elements shares one copy of its bytes).
class TReading {
 public:
  TReading(const TQuickIni& ini, const TSkinEntryReader& entries) : ini_(ini), entries_(entries) {}

  std::string Str(std::string_view section, std::string_view key) const { return ini_.ReadString(section, key, ""); }
  bool Has(std::string_view section, std::string_view key) const { return !Str(section, key).empty(); }
  int32_t Int(std::string_view section, std::string_view key, int32_t def) const {
    return ini_.ReadInteger(section, key, def);
  }
  cl::TColor Color(std::string_view section, std::string_view key, cl::TColor def) const {
    return ReadSkinColor(Str(section, key), def);
  }
  // name+"R", name+"G", name+"B"; the colour changes only when all three are 0 or more.
  void RGB(std::string_view section, const std::string& name, cl::TColor& colour) const {
    const int32_t r = Int(section, name + "R", -1), g = Int(section, name + "G", -1), b = Int(section, name + "B", -1);
    if (r >= 0 && g >= 0 && b >= 0)
      colour = cl::RGBColor(static_cast<uint8_t>(r & 255), static_cast<uint8_t>(g & 255), static_cast<uint8_t>(b & 255));
  }

  // The image a description value names: the package entry of the value's file-name part, taken only
  // when the value ends in ".bmp" exactly as written (".BMP" is not loaded). Anything else, a missing
  // entry or one that is no bitmap file we can draw, gives an empty image.
  void LoadBitmap(TSkinImage& image, std::string_view value) {
    image.Clear();
    // The file-name part: after the last folder separator or drive colon.
    const size_t cut = value.find_last_of("\\/:");
    std::string name(cut == std::string_view::npos ? value : value.substr(cut + 1));
    const size_t dot = name.rfind('.');
    if (name.empty() || dot == std::string::npos || name.compare(dot, std::string::npos, ".bmp") != 0) return;
    const std::string key = cl::LowerCase(name);
    auto it = cache_.find(key);
    if (it == cache_.end()) {
      Entry e;
      auto bytes = std::make_shared<std::string>(entries_ ? entries_(key) : std::string());
      if (auto info = ProbeBmp(*bytes)) {
        e.info = *info;
        e.bytes = std::move(bytes);
      }
      it = cache_.emplace(key, std::move(e)).first;
    }
    if (it->second.bytes)
      image.AssignFile(std::move(name), it->second.bytes, it->second.info);
    else
      image.Name = std::move(name);
  }

 private:
  struct Entry {
    std::shared_ptr<const std::string> bytes;
    TBmpInfo info;
  };
  const TQuickIni& ini_;
  const TSkinEntryReader& entries_;
  std::map<std::string, Entry> cache_;
};

void ReadMargins(const TReading& r, std::string_view section, TDataSkinObject& o) {
  o.Margins = cl::Rect(Margin(r.Int(section, "LeftWidth", 0)), Margin(r.Int(section, "TopHeight", 0)),
                       Margin(r.Int(section, "RightWidth", 0)), Margin(r.Int(section, "BottomHeight", 0)));
}

void ReadTextColours(const TReading& r, std::string_view section, TDataSkinObject& o, cl::TColor buttonText) {
  o.NormalColour = r.Int(section, "NormalColour", -1);
  o.MouseOverColour = r.Int(section, "MouseOverColour", -1);
  o.PressedColour = r.Int(section, "PressedColour", -1);
  o.NormalColour2 = r.Color(section, "NormalColour2", buttonText);
  o.MouseOverColour2 = r.Color(section, "MouseOverColour2", buttonText);
  o.PressedColour2 = r.Color(section, "PressedColour2", buttonText);
}

// Everything of a plain element after its image(s); Style only when asked.
void ReadElementKeys(const TReading& r, std::string_view section, TDataSkinObject& o, bool withStyle,
                     cl::TColor buttonText) {
  if (withStyle) o.Style = r.Int(section, "Style", 0);
  ReadMargins(r, section, o);
  o.Trans = r.Int(section, "Trans", 0);
  o.Tile = r.Int(section, "Tile", 0);
  ReadTextColours(r, section, o, buttonText);
  if (o.Tile > 1) o.Tile = 0;
}

template <class T>
void ReadSkinObject(TReading& r, std::unique_ptr<T>& member, const char* section, cl::TColor buttonText) {
  member.reset();
  const std::string image = r.Str(section, "Image");
  if (image.empty()) return;
  member = std::make_unique<T>(section);
  r.LoadBitmap(member->Image, image);
  ReadElementKeys(r, section, *member, true, buttonText);
}

void ReadSkinObject2(TReading& r, std::unique_ptr<TDataSkinBorder>& member, const char* section,
                     const char* secondKey, cl::TColor buttonText) {
  member.reset();
  const std::string image = r.Str(section, "Image");
  if (image.empty()) return;
  member = std::make_unique<TDataSkinBorder>(section);
  const std::string second = r.Str(section, secondKey);
  if (!second.empty()) r.LoadBitmap(member->Image2, second);
  r.LoadBitmap(member->Image, image);
  ReadElementKeys(r, section, *member, false, buttonText);
}

// A check box or radio button strip: 13 pixels per frame in a small image, else 16, at least 4.
int32_t ButtonFrames(const TSkinImage& image) {
  return std::max(image.Width / (image.Height < 16 ? 13 : 16), 4);
}

}  // namespace

void TSkinDescription::ReadSkinIni(const TQuickIni& ini, const TSkinEntryReader& entries, int scrollArrowWidth) {
  NoSkin = true;
  TReading r(ini, entries);
  const std::vector<std::string> sections = ini.ReadSections();
  const char* const kP = "Personality";

  // Borders.
  const std::pair<TDataSkinBorder*, const char*> borders[] = {
      {&BorderLeft, "Left"}, {&BorderRight, "Right"}, {&BorderTop, "Top"}, {&BorderBottom, "Bottom"}};
  for (auto [b, n] : borders) {
    const std::string name = n;
    *b = TDataSkinBorder(name);
    r.LoadBitmap(b->Image, r.Str(kP, name));
    const int32_t first = Margin(r.Int(kP, name + "TopHeight", 0)), second = Margin(r.Int(kP, name + "BotHeight", 0));
    b->Margins = (b == &BorderLeft || b == &BorderRight) ? cl::Rect(0, first, 0, second) : cl::Rect(first, 0, second, 0);
    b->FrameCount = Frames(r.Int(kP, name + "Frame", 1));
    b->Tile = r.Int(kP, name + "Stretch", 1);
    b->Trans = r.Int(kP, name + "Trans", 1);
  }

  // Colours.
  const char* const kC = "Colours";
  Colors.WindowText = r.Color(kC, "WindowText", SysColor(8));
  Colors.ButtonFace = r.Color(kC, "ButtonFace", SysColor(15));
  Colors.Scrollbar = r.Color(kC, "Scrollbar", SysColor(0));
  Colors.HilightText = r.Color(kC, "HilightText", SysColor(14));
  Colors.Hilight = r.Color(kC, "Hilight", SysColor(13));
  Colors.Menubar = r.Color(kC, "Menubar", Colors.ButtonFace);
  Colors.Menu = r.Color(kC, "Menu", SysColor(4));
  Colors.MenuText = r.Color(kC, "MenuText", SysColor(7));
  Colors.ButtonText = r.Color(kC, "ButtonText", SysColor(18));
  Colors.ButtonHilight = r.Color(kC, "ButtonHilight", SysColor(20));
  Colors.Buttonlight = r.Color(kC, "Buttonlight", SysColor(20));
  Colors.ButtonShadow = r.Color(kC, "ButtonShadow", SysColor(16));
  Colors.ButtonDkShadow = r.Color(kC, "ButtonDkShadow", SysColor(21));
  Colors.MenuBarText = r.Color(kC, "MenuBarText", SysColor(7));
  Colors.TitleTextActive = r.Color(kC, "TitleTextActive", SysColor(9));
  Colors.TitleTextNoActive = r.Color(kC, "TitleTextNoActive", SysColor(19));
  ColourTable.clear();
  for (const std::string& s : sections) {
    const std::string u = UpperCase(s);
    if (u.starts_with("COLOUR") && u != "COLOURS") ColourTable.push_back(r.Color(s, "color", SysColor(8)));
  }
  for (size_t i = 0; i < CustomColors.size(); ++i)
    CustomColors[i] = r.Color("Customcolors", "Color" + std::to_string(i), 0xFFFFFF);
  const cl::TColor buttonText = Colors.ButtonText;

  // Title-bar buttons: sections "Button*" other than the push button, radio and check box sections,
  // dropping those with Action -1 that are not shown always.
  SysButtons.clear();
  for (const std::string& s : sections) {
    const std::string u = UpperCase(s);
    if (!u.starts_with("BUTTON") || u == "BUTTON" || u == "BUTTONS" || u == "BUTTON.RADIO" || u == "BUTTON.CHECKBOX")
      continue;
    if (r.Int(s, "Action", 0) == -1 && r.Int(s, "Visibility", -1) != 0) continue;
    auto b = std::make_unique<TDataSkinSysButton>(u);
    b->Action = r.Int(s, "Action", 0);
    b->Align = r.Int(s, "Align", 0);
    b->Xcoord = Offset(r.Int(s, "Xcoord", 0));
    b->Ycoord = Offset(r.Int(s, "Ycoord", 0));
    b->Visibility = r.Int(s, "Visibility", 0);
    b->Visibility1 = r.Int(s, "Visibility1", b->Action == -1 ? -1 : 0);
    // A count below 1 means none given: the count follows from the image.
    const int32_t frame = r.Int(s, "frame", 0);
    r.LoadBitmap(b->Image, r.Str(s, "ButtonImage"));
    if (frame >= 1) {
      b->FrameCount = Frames(frame);
    } else {
      b->FrameCount = 6;
      if (!b->Image.Empty())
        b->FrameCount =
            static_cast<double>(b->Image.Width) / b->Image.Height <= 3.8 && b->Action >= 0 ? 3 : 6;
      // These show the window icon instead.
      if (b->Action == 3 || b->Action == 11) b->Image.Clear();
    }
    SysButtons.push_back(std::move(b));
  }
  // Minimise, restore and close of a maximised MDI child, on the menu bar.
  const size_t mdi = SysButtons.size();
  for (int32_t action : {7, 8, 9}) {
    auto b = std::make_unique<TDataSkinSysButton>("");
    b->Action = action;
    b->Align = b->Visibility = b->Visibility1 = 100;
    b->FrameCount = 4;
    SysButtons.push_back(std::move(b));
  }
  {
    TSkinImage source;
    r.LoadBitmap(source, r.Str("MDICONTROLS", "Image"));
    if (!source.Empty()) {
      const int a = source.Width / 12;
      for (int i = 0; i < 3; ++i) {
        TDataSkinSysButton& b = *SysButtons[mdi + static_cast<size_t>(i)];
        b.Image = source.Section(cl::Rect(4 * a * i, 0, 4 * a * i + 4 * a, source.Height));
        b.Xcoord = (a + 4) * (3 - i);
      }
    }
  }

  // Push buttons, check boxes, radio buttons.
  {
    const char* const kB = "Buttons";
    Buttons = TDataSkinButton(kB);
    ReadMargins(r, kB, Buttons);
    Buttons.Trans = r.Int(kB, "Trans", 0);
    Buttons.Tile = r.Int(kB, "Tile", 0);
    r.LoadBitmap(Buttons.Image, r.Str(kB, "Bitmap"));
    r.LoadBitmap(Buttons.CheckButtonImage, r.Str(kB, "CheckButton"));
    r.LoadBitmap(Buttons.RadioButtonImage, r.Str(kB, "RadioButton"));
    Buttons.RadioButtonFrame = std::min(r.Int(kB, "RadioButtonFrame", 0), kMaxSkinValue);
    Buttons.CheckButtonFrame = std::min(r.Int(kB, "CheckButtonFrame", 0), kMaxSkinValue);
    Buttons.HasNormalColour2 = r.Has(kB, "NormalColour2");
    Buttons.HasMouseOverColour2 = r.Has(kB, "MouseOverColour2");
    Buttons.HasPressedColour2 = r.Has(kB, "PressedColour2");
    ReadTextColours(r, kB, Buttons, buttonText);
  }

  // Caption.
  Title = TDataSkinTitle("Title");
  r.LoadBitmap(Title.Image, r.Str(kP, "TextBack"));
  Title.Margins = cl::Rect(Offset(r.Int(kP, "TextShift", 0)), Offset(r.Int(kP, "TextShiftVert", 0)),
                           Offset(r.Int(kP, "TextRightClip", 0)), 0);
  Title.TextAlignment = r.Int(kP, "TextAlignment", 0);
  Title.Textbackground = r.Int(kP, "Textbackground", 0);
  Title.TXTBackleft = Offset(r.Int(kP, "TXTBackleft", 0));
  Title.TXTBackRight = Offset(r.Int(kP, "TXTBackRight", 0));
  Title.FontHeight = Offset(r.Int("Fonts", "FontHeight", 14));
  Title.ActiveTextColor = cl::clNone;
  Title.InActiveTextColor = cl::clNone;
  r.RGB(kP, "ActiveText", Title.ActiveTextColor);
  r.RGB(kP, "InActiveText", Title.InActiveTextColor);

  // Progress bar: Bitmap is the bar, Chunk one chunk.
  Progress.reset();
  if (const std::string bitmap = r.Str("Progress", "Bitmap"); !bitmap.empty()) {
    Progress = std::make_unique<TDataSkinBorder>("Progress");
    r.LoadBitmap(Progress->Image, bitmap);
    if (const std::string chunk = r.Str("Progress", "Chunk"); !chunk.empty()) r.LoadBitmap(Progress->Image2, chunk);
    Progress->Style = r.Int("Progress", "Style", 0);
    ReadMargins(r, "Progress", *Progress);
    Progress->Trans = r.Int("Progress", "Trans", 0);
    Progress->Tile = r.Int("Progress", "Tile", 0);
  }

  // Menu bar, from [Personality].
  MenuBar.reset();
  if (const std::string image = r.Str(kP, "menuBar"); !image.empty()) {
    MenuBar = std::make_unique<TDataSkinObject>(kP);
    r.LoadBitmap(MenuBar->Image, image);
    MenuBar->Tile = r.Int(kP, "TileMenu", 0);
    MenuBar->Margins = cl::Rect(Margin(r.Int(kP, "TileLeftMenu", 1)), 0, Margin(r.Int(kP, "TileRightMenu", 1)), 0);
  }

  // Elements.
  ReadSkinObject(r, GroupBoxEdge, "GroupBoxEdge", buttonText);
  ReadSkinObject(r, GroupBox, "GroupBox", buttonText);
  if (GroupBox) {
    GroupBox->BackgroundAlignment = r.Int("GroupBox", "BackgroundAlignment", 0);
    GroupBox->BackgroundLeftShift = Offset(r.Int("GroupBox", "BackgroundLeftShift", 0));
    GroupBox->BackgroundRightShift = Offset(r.Int("GroupBox", "BackgroundRightShift", 0));
  }
  ReadSkinObject(r, Toolbars, "Toolbars", buttonText);
  ReadSkinObject2(r, Tabs, "Tabs", "Border", buttonText);
  ReadSkinObject(r, StatusBarEdges, "StatusBarEdges", buttonText);
  ReadSkinObject2(r, ComboButton, "ComboButton", "****", buttonText);
  if (ComboButton && !ComboButton->Image.Empty()) ComboButton->Image2 = ComboButton->Image.MirroredCopy();
  ReadSkinObject(r, SunkEdge, "SunkEdge", buttonText);
  ReadSkinObject(r, ExtraImages, "ExtraImages", buttonText);
  ReadSkinObject(r, Headerbar, "Headerbar", buttonText);
  ReadSkinObject(r, MenuItem, "MenuItem", buttonText);
  ReadSkinObject(r, MenuBackground, "MenuBackground", buttonText);
  ReadSkinObject(r, Scrollbar, "Scrollbar", buttonText);
  ReadSkinObject(r, HorzScroll, "HorzScroll", buttonText);
  ReadSkinObject(r, VertScroll, "VertScroll", buttonText);
  ReadSkinObject(r, HorzScrollThumb, "HorzScrollThumb", buttonText);
  ReadSkinObject(r, VertScrollThumb, "VertScrollThumb", buttonText);
  ReadSkinObject(r, TrackbarThumbHorz, "Trackbar.ThumbHorz", buttonText);
  ReadSkinObject(r, TrackbarThumbVert, "Trackbar.ThumbVert", buttonText);
  ReadSkinObject(r, TrackbarThumbLeft, "Trackbar.ThumbLeft", buttonText);
  ReadSkinObject(r, TrackbarThumbRight, "Trackbar.ThumbRight", buttonText);
  ReadSkinObject(r, TrackbarThumbUp, "Trackbar.ThumbUp", buttonText);
  ReadSkinObject(r, TrackbarThumbDown, "Trackbar.ThumbDown", buttonText);
  ReadSkinObject2(r, UpDownHorz, "UpDown.Horz", "GlyphImage", buttonText);
  ReadSkinObject2(r, UpDownVert, "UpDown.Vert", "GlyphImage", buttonText);

  // Frame counts.
  auto set = [](auto& member, int32_t count) {
    if (member) member->FrameCount = count;
  };
  Buttons.FrameCount = 5;
  Title.FrameCount = 2;
  set(Progress, 2);
  set(MenuBar, 2);
  set(GroupBoxEdge, 2);
  for (auto* m : {&Toolbars, &ExtraImages, &Headerbar, &MenuItem, &TrackbarThumbHorz, &TrackbarThumbVert,
                  &TrackbarThumbLeft, &TrackbarThumbRight, &TrackbarThumbUp, &TrackbarThumbDown})
    set(*m, 5);
  set(Tabs, 5);
  set(StatusBarEdges, 3);
  set(GroupBox, 1);
  set(MenuBackground, 1);
  set(ComboButton, 4);
  set(SunkEdge, 4);
  set(HorzScroll, 4);
  set(VertScroll, 4);
  set(Scrollbar, 23);
  set(UpDownHorz, 8);
  set(UpDownVert, 8);
  set(HorzScrollThumb, Frames(r.Int("HorzScrollThumb", "FrameCount", 3)));
  set(VertScrollThumb, Frames(r.Int("VertScrollThumb", "FrameCount", 3)));
  // A count below 1 means none given, as 0 does.
  if (Buttons.RadioButtonFrame < 1) Buttons.RadioButtonFrame = ButtonFrames(Buttons.RadioButtonImage);
  if (Buttons.CheckButtonFrame < 1) Buttons.CheckButtonFrame = ButtonFrames(Buttons.CheckButtonImage);

  // The combo-box images: ComboButton becomes the look of a combo box with its button on the right,
  // SunkEdge that of one with its button on the left.
  if (SunkEdge && ComboButton) {
    auto strip = std::make_shared<TComboStrip>();
    strip->Frames = SunkEdge->FrameCount;
    strip->ButtonWidth = Clamp(scrollArrowWidth, 0, TComboStrip::CellWidth - 4) + 2;
    strip->SunkEdge = SunkEdge->Image;
    strip->SunkEdgeMargins = SunkEdge->Margins;
    strip->SunkEdgeFrames = SunkEdge->FrameCount;
    strip->SunkEdgeTrans = SunkEdge->Trans == 1;
    strip->Button = ComboButton->Image;
    strip->ButtonFrames = ComboButton->FrameCount;
    if (ExtraImages) {
      strip->HasExtra = true;
      strip->Extra = ExtraImages->Image;
      strip->ExtraFrames = ExtraImages->FrameCount;
    }
    for (TSkinImage* i : {&strip->SunkEdge, &strip->Button, &strip->Extra}) i->Bitmap.reset();
    const int a = strip->ButtonWidth;
    TSkinImage image;
    image.Name = "(combo)";
    image.Width = TComboStrip::CellWidth * strip->Frames;
    image.Height = TComboStrip::CellHeight;
    image.Part = cl::Rect(0, 0, image.Width, image.Height);
    image.Combo = std::move(strip);
    ComboButton->Style = 2;
    ComboButton->Margins = SunkEdge->Margins;
    ComboButton->Margins.Left = 2;
    ComboButton->Margins.Right = a + 2;
    ComboButton->Image = image;
    SunkEdge->Image = image.MirroredCopy();
    SunkEdge->Margins.Left = a + 2;
    SunkEdge->Margins.Right = 2;
  }

  NoSkin = false;
}

void TSkinDescription::ForEachImage(const std::function<void(TSkinImage&)>& f) {
  f(Title.Image);
  f(Buttons.Image);
  f(Buttons.CheckButtonImage);
  f(Buttons.RadioButtonImage);
  for (TDataSkinBorder* b : {&BorderLeft, &BorderRight, &BorderTop, &BorderBottom}) {
    f(b->Image);
    f(b->Image2);
  }
  for (auto& b : SysButtons) f(b->Image);
  for (auto* m : {&Tabs, &Progress, &UpDownHorz, &UpDownVert, &ComboButton})
    if (*m) {
      f((*m)->Image);
      f((*m)->Image2);
    }
  if (GroupBox) f(GroupBox->Image);
  for (auto* m : {&SunkEdge, &ExtraImages, &GroupBoxEdge, &Toolbars, &StatusBarEdges, &Headerbar, &MenuBar,
                  &MenuItem, &MenuBackground, &Scrollbar, &HorzScroll, &VertScroll, &HorzScrollThumb,
                  &VertScrollThumb, &TrackbarThumbHorz, &TrackbarThumbVert, &TrackbarThumbLeft,
                  &TrackbarThumbRight, &TrackbarThumbUp, &TrackbarThumbDown})
    if (*m) f((*m)->Image);
}

}  // namespace skin
