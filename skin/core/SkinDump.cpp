#include "SkinDump.h"

#include "SysUtils.h"

namespace skin {

namespace {

std::string Colour(cl::TColor c) { return cl::Format("$%08X", static_cast<unsigned>(c)); }
std::string Bool(bool b) { return b ? "true" : "false"; }
std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
std::string RectText(const cl::TRect& r) { return cl::Format("%d,%d,%d,%d", r.Left, r.Top, r.Right, r.Bottom); }

std::string ImageText(const TSkinImage& i) {
  if (i.Combo) {
    const TComboStrip& c = *i.Combo;
    std::string s = cl::Format("combo{frames=%d button=%d sunkedge=", c.Frames, c.ButtonWidth) +
                    ImageText(c.SunkEdge) + " margins(" + RectText(c.SunkEdgeMargins) +
                    cl::Format(") of %d trans=%s face=", c.SunkEdgeFrames, Bool(c.SunkEdgeTrans).c_str()) +
                    ImageText(c.Button) + cl::Format(" of %d", c.ButtonFrames);
    if (c.HasExtra) s += " extra=" + ImageText(c.Extra) + cl::Format(" of %d", c.ExtraFrames);
    s += cl::Format("} %dx%d", i.Width, i.Height);
    if (i.Mirrored) s += " mirrored";
    return s;
  }
  if (i.Name.empty() && i.Empty()) return "(none)";
  std::string s = Quoted(i.Name);
  if (!i.File) return s + " missing";
  s += cl::Format(" %dx%d", i.Width, i.Height);
  if (i.Part != cl::Rect(0, 0, i.Width, i.Height)) s += " part(" + RectText(i.Part) + ")";
  if (i.Mirrored) s += " mirrored";
  return s;
}

class TDump {
 public:
  std::string text;

  void Line(const std::string& object, const char* member, const std::string& value) {
    text += object + "." + member + " = " + value + "\n";
  }
  void Int(const std::string& o, const char* m, int32_t v) { Line(o, m, std::to_string(v)); }

  void Base(const std::string& o, const char* cls, const TDataSkinObject& d) {
    text += o + " = " + cls + " " + Quoted(d.Name) + "\n";
    Line(o, "Margins", RectText(d.Margins));
    Line(o, "Image", ImageText(d.Image));
    Int(o, "Trans", d.Trans);
    Int(o, "Tile", d.Tile);
    Int(o, "FrameCount", d.FrameCount);
    Int(o, "Style", d.Style);
    Int(o, "NormalColour", d.NormalColour);
    Int(o, "MouseOverColour", d.MouseOverColour);
    Int(o, "PressedColour", d.PressedColour);
    Line(o, "NormalColour2", Colour(d.NormalColour2));
    Line(o, "MouseOverColour2", Colour(d.MouseOverColour2));
    Line(o, "PressedColour2", Colour(d.PressedColour2));
  }
  void Object(const std::string& o, const TDataSkinObject* d) {
    if (!d) return Nil(o);
    Base(o, "TDataSkinObject", *d);
  }
  void Border(const std::string& o, const TDataSkinBorder* d) {
    if (!d) return Nil(o);
    Base(o, "TDataSkinBorder", *d);
    Line(o, "Image2", ImageText(d->Image2));
  }
  void Nil(const std::string& o) { text += o + " = nil\n"; }
};

}  // namespace

std::string DumpSkinDescription(const TSkinDescription& s) {
  TDump d;
  d.text += "NoSkin = " + Bool(s.NoSkin) + "\n";

  const std::pair<const char*, cl::TColor> colours[] = {
      {"WindowText", s.Colors.WindowText},       {"TitleTextActive", s.Colors.TitleTextActive},
      {"TitleTextNoActive", s.Colors.TitleTextNoActive}, {"ButtonFace", s.Colors.ButtonFace},
      {"ButtonText", s.Colors.ButtonText},       {"ButtonHilight", s.Colors.ButtonHilight},
      {"Buttonlight", s.Colors.Buttonlight},     {"ButtonShadow", s.Colors.ButtonShadow},
      {"ButtonDkShadow", s.Colors.ButtonDkShadow}, {"HilightText", s.Colors.HilightText},
      {"Hilight", s.Colors.Hilight},             {"Menubar", s.Colors.Menubar},
      {"MenuBarText", s.Colors.MenuBarText},     {"MenuText", s.Colors.MenuText},
      {"Menu", s.Colors.Menu},                   {"Scrollbar", s.Colors.Scrollbar}};
  for (auto [name, c] : colours) d.Line("Colors", name, Colour(c));
  d.Int("ColourTable", "Count", static_cast<int32_t>(s.ColourTable.size()));
  for (size_t i = 0; i < s.ColourTable.size(); ++i) d.text += cl::Format("ColourTable[%d] = ", static_cast<int>(i)) + Colour(s.ColourTable[i]) + "\n";
  for (size_t i = 0; i < s.CustomColors.size(); ++i) d.text += cl::Format("CustomColors[%d] = ", static_cast<int>(i)) + Colour(s.CustomColors[i]) + "\n";

  d.Border("BorderLeft", &s.BorderLeft);
  d.Border("BorderRight", &s.BorderRight);
  d.Border("BorderTop", &s.BorderTop);
  d.Border("BorderBottom", &s.BorderBottom);

  d.Base("Title", "TDataSkinTitle", s.Title);
  d.Int("Title", "TextAlignment", s.Title.TextAlignment);
  d.Int("Title", "Textbackground", s.Title.Textbackground);
  d.Int("Title", "FontHeight", s.Title.FontHeight);
  d.Int("Title", "TXTBackleft", s.Title.TXTBackleft);
  d.Int("Title", "TXTBackRight", s.Title.TXTBackRight);
  d.Line("Title", "ActiveTextColor", Colour(s.Title.ActiveTextColor));
  d.Line("Title", "InActiveTextColor", Colour(s.Title.InActiveTextColor));

  d.Base("Buttons", "TDataSkinButton", s.Buttons);
  d.Line("Buttons", "CheckButtonImage", ImageText(s.Buttons.CheckButtonImage));
  d.Line("Buttons", "RadioButtonImage", ImageText(s.Buttons.RadioButtonImage));
  d.Int("Buttons", "RadioButtonFrame", s.Buttons.RadioButtonFrame);
  d.Int("Buttons", "CheckButtonFrame", s.Buttons.CheckButtonFrame);
  d.Line("Buttons", "HasNormalColour2", Bool(s.Buttons.HasNormalColour2));
  d.Line("Buttons", "HasMouseOverColour2", Bool(s.Buttons.HasMouseOverColour2));
  d.Line("Buttons", "HasPressedColour2", Bool(s.Buttons.HasPressedColour2));

  d.Int("SysButtons", "Count", static_cast<int32_t>(s.SysButtons.size()));
  for (size_t i = 0; i < s.SysButtons.size(); ++i) {
    const TDataSkinSysButton& b = *s.SysButtons[i];
    const std::string o = cl::Format("SysButtons[%d]", static_cast<int>(i));
    d.Base(o, "TDataSkinSysButton", b);
    d.Int(o, "Action", b.Action);
    d.Int(o, "Align", b.Align);
    d.Int(o, "Xcoord", b.Xcoord);
    d.Int(o, "Ycoord", b.Ycoord);
    d.Int(o, "Visibility", b.Visibility);
    d.Int(o, "Visibility1", b.Visibility1);
  }

  d.Border("Tabs", s.Tabs.get());
  d.Border("Progress", s.Progress.get());
  d.Border("UpDownHorz", s.UpDownHorz.get());
  d.Border("UpDownVert", s.UpDownVert.get());
  d.Object("SunkEdge", s.SunkEdge.get());
  d.Object("ExtraImages", s.ExtraImages.get());
  d.Border("ComboButton", s.ComboButton.get());
  d.Object("GroupBoxEdge", s.GroupBoxEdge.get());
  d.Object("Toolbars", s.Toolbars.get());
  if (s.GroupBox) {
    d.Base("GroupBox", "TDataSkinBoxLabel", *s.GroupBox);
    d.Int("GroupBox", "BackgroundLeftShift", s.GroupBox->BackgroundLeftShift);
    d.Int("GroupBox", "BackgroundRightShift", s.GroupBox->BackgroundRightShift);
    d.Int("GroupBox", "BackgroundAlignment", s.GroupBox->BackgroundAlignment);
  } else {
    d.Nil("GroupBox");
  }
  const std::pair<const char*, const TDataSkinObject*> elements[] = {
      {"StatusBarEdges", s.StatusBarEdges.get()},       {"Headerbar", s.Headerbar.get()},
      {"MenuBar", s.MenuBar.get()},                     {"MenuItem", s.MenuItem.get()},
      {"MenuBackground", s.MenuBackground.get()},       {"Scrollbar", s.Scrollbar.get()},
      {"HorzScroll", s.HorzScroll.get()},               {"VertScroll", s.VertScroll.get()},
      {"HorzScrollThumb", s.HorzScrollThumb.get()},     {"VertScrollThumb", s.VertScrollThumb.get()},
      {"TrackbarThumbHorz", s.TrackbarThumbHorz.get()}, {"TrackbarThumbVert", s.TrackbarThumbVert.get()},
      {"TrackbarThumbLeft", s.TrackbarThumbLeft.get()}, {"TrackbarThumbRight", s.TrackbarThumbRight.get()},
      {"TrackbarThumbUp", s.TrackbarThumbUp.get()},     {"TrackbarThumbDown", s.TrackbarThumbDown.get()}};
  for (auto [name, o] : elements) d.Object(name, o);
  return d.text;
}

}  // namespace skin
