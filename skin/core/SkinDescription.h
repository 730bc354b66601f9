// The skin data objects: what a skin description says, read once per skin, and all that the painters
// of the skin engine look at afterwards.
//
// A skin is one INI text (the description) plus bitmaps. TSkinDescription owns every data object of
// one skin; ReadSkinIni replaces them all from a parsed description. Elements the skin lacks are null,
// and a painter draws nothing of a null element or of an empty image.
//
// Images are recipes (SkinImage.h): the reading here needs only their sizes. The drawing side, after
// ReadSkinIni, makes a bitmap for each image (ForEachImage) and the face brush from Colors.ButtonFace.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "QuickIni.h"
#include "SkinImage.h"
#include "Types.h"

namespace skin {

// Pixel values (margins, shifts, positions) are kept within this range, so that the painters' sums
// of them cannot overflow; frame counts within 1 .. kMaxSkinValue.
constexpr int32_t kMaxSkinValue = 32767;

// The class library's colours for the system colours that the description's defaults name.
constexpr cl::TColor SysColor(int index) { return cl::clSystemColor + static_cast<cl::TColor>(index); }

// Base of every element. A plain object: every member has a fixed meaning, read by the painters.
class TDataSkinObject {
 public:
  explicit TDataSkinObject(std::string name) : Name(std::move(name)) {}

  // The four slice margins: Left = LeftWidth, Top = TopHeight, Right = RightWidth, Bottom =
  // BottomHeight; the image border that the nine-slice drawing copies unscaled.
  cl::TRect Margins;
  // A strip of FrameCount frames of equal width side by side, numbered from 1.
  TSkinImage Image;
  int32_t Trans = 0;  // 1: $FF00FF is transparent; 0: opaque copy
  int32_t Tile = 0;   // 1: tile the middle parts, 0: stretch them (borders: the border's Stretch value)
  std::string Name;   // section (or border) name
  int32_t FrameCount = 1;
  int32_t Style = 0;
  // Text colours as stored: integers, -1 when absent.
  int32_t NormalColour = 0;
  int32_t MouseOverColour = 0;
  int32_t PressedColour = 0;
  // Text colours in the colour syntax (default Colors.ButtonText).
  cl::TColor NormalColour2 = 0;
  cl::TColor MouseOverColour2 = 0;
  cl::TColor PressedColour2 = 0;
};

// A window border, or an element with a second image.
class TDataSkinBorder : public TDataSkinObject {
 public:
  using TDataSkinObject::TDataSkinObject;
  TSkinImage Image2;
};

// The caption. Margins carries TextShift (Left), TextShiftVert (Top) and TextRightClip (Right); Image
// is TextBack.
class TDataSkinTitle : public TDataSkinObject {
 public:
  using TDataSkinObject::TDataSkinObject;
  int32_t TextAlignment = 0;
  int32_t Textbackground = 0;
  int32_t FontHeight = 0;
  int32_t TXTBackleft = 0;
  int32_t TXTBackRight = 0;
  cl::TColor ActiveTextColor = 0;
  cl::TColor InActiveTextColor = 0;
};

// Push buttons, with the check box and radio button images.
class TDataSkinButton : public TDataSkinObject {
 public:
  using TDataSkinObject::TDataSkinObject;
  TSkinImage CheckButtonImage;
  TSkinImage RadioButtonImage;
  int32_t RadioButtonFrame = 0;
  int32_t CheckButtonFrame = 0;
  bool HasNormalColour2 = false;
  bool HasMouseOverColour2 = false;
  bool HasPressedColour2 = false;
};

// A title-bar button (or one of the three buttons of a maximised MDI child); Image is its ButtonImage.
class TDataSkinSysButton : public TDataSkinObject {
 public:
  using TDataSkinObject::TDataSkinObject;
  int32_t Action = 0;
  int32_t Align = 0;
  int32_t Xcoord = 0;
  int32_t Ycoord = 0;
  int32_t Visibility = 0;
  int32_t Visibility1 = 0;
};

// The group box.
class TDataSkinBoxLabel : public TDataSkinObject {
 public:
  using TDataSkinObject::TDataSkinObject;
  int32_t BackgroundLeftShift = 0;
  int32_t BackgroundRightShift = 0;
  int32_t BackgroundAlignment = 0;
};

// The sixteen colours of [Colours], in their fixed order.
struct TSkinColors {
  cl::TColor WindowText = SysColor(8);
  cl::TColor TitleTextActive = SysColor(9);
  cl::TColor TitleTextNoActive = SysColor(19);
  cl::TColor ButtonFace = SysColor(15);
  cl::TColor ButtonText = SysColor(18);
  cl::TColor ButtonHilight = SysColor(20);
  cl::TColor Buttonlight = SysColor(20);
  cl::TColor ButtonShadow = SysColor(16);
  cl::TColor ButtonDkShadow = SysColor(21);
  cl::TColor HilightText = SysColor(14);
  cl::TColor Hilight = SysColor(13);
  cl::TColor Menubar = SysColor(15);
  cl::TColor MenuBarText = SysColor(7);
  cl::TColor MenuText = SysColor(7);
  cl::TColor Menu = SysColor(4);
  cl::TColor Scrollbar = SysColor(0);
};

// Gives the bytes of the package entry of a name (already lower-cased), or an empty text when there
// is none.
using TSkinEntryReader = std::function<std::string(const std::string& lowerName)>;

class TSkinDescription {
 public:
  TSkinDescription() = default;
  TSkinDescription(const TSkinDescription&) = delete;
  TSkinDescription& operator=(const TSkinDescription&) = delete;

  // Reads the whole description, replacing every data object; images come from `entries`.
  // `scrollArrowWidth` is the system's width of a horizontal scroll bar arrow (SM_CXHSCROLL), which
  // sizes the button of the composed combo-box images. Never fails: absent keys give their defaults,
  // absent sections leave their element null, unreadable images stay empty.
  void ReadSkinIni(const TQuickIni& ini, const TSkinEntryReader& entries, int scrollArrowWidth);

  // Every image of every data object, members before elements, in a fixed order (see the .cpp).
  void ForEachImage(const std::function<void(TSkinImage&)>& f);

  // Always present, overwritten by each skin.
  TDataSkinTitle Title{"Title"};
  TDataSkinButton Buttons{"Buttons"};
  TDataSkinBorder BorderLeft{"Left"};
  TDataSkinBorder BorderRight{"Right"};
  TDataSkinBorder BorderTop{"Top"};
  TDataSkinBorder BorderBottom{"Bottom"};
  // The skin's title-bar buttons in description order, then the three MDI child buttons.
  std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;

  // The elements; null when the skin has no usable section.
  std::unique_ptr<TDataSkinBorder> Tabs;
  std::unique_ptr<TDataSkinBorder> Progress;
  std::unique_ptr<TDataSkinBorder> UpDownHorz;
  std::unique_ptr<TDataSkinBorder> UpDownVert;
  std::unique_ptr<TDataSkinObject> SunkEdge;
  std::unique_ptr<TDataSkinObject> ExtraImages;
  std::unique_ptr<TDataSkinBorder> ComboButton;
  std::unique_ptr<TDataSkinObject> GroupBoxEdge;
  std::unique_ptr<TDataSkinObject> Toolbars;
  std::unique_ptr<TDataSkinBoxLabel> GroupBox;
  std::unique_ptr<TDataSkinObject> StatusBarEdges;
  std::unique_ptr<TDataSkinObject> Headerbar;
  std::unique_ptr<TDataSkinObject> MenuBar;
  std::unique_ptr<TDataSkinObject> MenuItem;
  std::unique_ptr<TDataSkinObject> MenuBackground;
  std::unique_ptr<TDataSkinObject> Scrollbar;
  std::unique_ptr<TDataSkinObject> HorzScroll;
  std::unique_ptr<TDataSkinObject> VertScroll;
  std::unique_ptr<TDataSkinObject> HorzScrollThumb;
  std::unique_ptr<TDataSkinObject> VertScrollThumb;
  std::unique_ptr<TDataSkinObject> TrackbarThumbHorz;
  std::unique_ptr<TDataSkinObject> TrackbarThumbVert;
  std::unique_ptr<TDataSkinObject> TrackbarThumbLeft;
  std::unique_ptr<TDataSkinObject> TrackbarThumbRight;
  std::unique_ptr<TDataSkinObject> TrackbarThumbUp;
  std::unique_ptr<TDataSkinObject> TrackbarThumbDown;

  TSkinColors Colors;
  std::vector<cl::TColor> ColourTable;  // one per COLOUR* section
  std::array<cl::TColor, 10> CustomColors{};
  // True until a description has been read to its end; nothing is skinned meanwhile.
  bool NoSkin = true;
};

}  // namespace skin
