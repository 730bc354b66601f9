#include "SkinButtons.h"

#include <algorithm>
#include <cctype>

#include "DeviceContext.h"
#include "ImgUtil.h"
#include "SkinDraw.h"
#include "SkinFrame.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinString.h"

namespace skin {

namespace {

// A memory context with a bitmap selected into it for one composition.
class TComposeDC {
 public:
  explicit TComposeDC(cl::TBitmap& bitmap)
      : dc_(CreateCompatibleDC(nullptr)), bitmap_(dc_.Get(), bitmap.Handle()) {}
  HDC Get() const noexcept { return dc_.Get(); }

 private:
  cl::TDCHandle dc_;
  cl::TSelectedObject bitmap_;  // declared last: the bitmap leaves the context before it is freed
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool PropIsTrue(const cl::TObject* obj, std::string_view name) {
  return Lower(GetEnumPropByName(obj, name)) == "true";
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The glyph's place beside the caption. An unknown layout text counts as the glyph on the left.
enum class TLayout { Left, Right, Top, Bottom };

TLayout LayoutOf(const cl::TObject* control) {
  const std::string layout = Lower(GetEnumPropByName(control, "Layout"));
  if (layout == "blglyphright") return TLayout::Right;
  if (layout == "blglyphtop") return TLayout::Top;
  if (layout == "blglyphbottom") return TLayout::Bottom;
  return TLayout::Left;
}

struct TGlyphLayoutInput {
  SIZE client;
  SIZE glyph;
  SIZE text;
  TLayout layout;
  int margin;
  int spacing;
  bool centred;      // a bit button whose Alignment centres: the margin is worked out as for -1
  bool speedButton;  // one pixel further from the edge when centred; no word-wrapping
};

struct TGlyphPlace {
  POINT glyph{};
  POINT text{};
  UINT flags = 0;
};

TGlyphPlace PlaceGlyph(const TGlyphLayoutInput& in) {
  TGlyphPlace p;
  p.flags = in.speedButton ? DT_LEFT : DT_WORDBREAK;
  const bool across = in.layout == TLayout::Left || in.layout == TLayout::Right;
  if (across) {
    p.glyph.y = (in.client.cy - in.glyph.cy + 1) / 2;
    p.text.y = (in.client.cy - in.text.cy + 1) / 2;
  } else {
    p.glyph.x = (in.client.cx - in.glyph.cx + 1) / 2;
    p.text.x = (in.client.cx - in.text.cx + 1) / 2;
  }
  const int clientSize = across ? in.client.cx : in.client.cy;
  const int glyphSize = across ? in.glyph.cx : in.glyph.cy;
  const int textSize = across ? in.text.cx : in.text.cy;
  int margin = in.margin;
  int spacing = in.spacing;
  if (in.text.cx == 0 || in.glyph.cx == 0) spacing = 0;
  if (margin == -1 || in.centred) {
    if (spacing == -1) {
      margin = (clientSize - (glyphSize + textSize)) / 3;
      spacing = margin;
    } else {
      margin = (clientSize - (glyphSize + spacing + textSize)) / 2 + (in.speedButton ? 1 : 0);
    }
  } else if (spacing == -1) {
    spacing = (clientSize - (margin + glyphSize) - textSize) / 2;
  }
  switch (in.layout) {
    case TLayout::Left:
      p.glyph.x = margin;
      p.text.x = p.glyph.x + in.glyph.cx + spacing;
      break;
    case TLayout::Right:
      p.glyph.x = in.client.cx - margin - in.glyph.cx;
      p.text.x = p.glyph.x - spacing - in.text.cx;
      p.flags = (p.flags & ~DT_LEFT) | DT_RIGHT;
      break;
    case TLayout::Top:
      p.glyph.y = margin;
      p.text.y = p.glyph.y + in.glyph.cy + spacing;
      p.flags = (p.flags & ~DT_LEFT) | DT_CENTER;
      break;
    case TLayout::Bottom:
      p.glyph.y = in.client.cy - margin - in.glyph.cy;
      p.text.y = p.glyph.y - spacing - in.text.cy;
      p.flags = (p.flags & ~DT_LEFT) | DT_CENTER;
      break;
  }
  return p;
}

// The extent of the caption word-wrapped within the client area, in the DC's font; none when empty.
SIZE TextSize(HDC dc, const std::wstring& text, SIZE client) {
  if (text.empty()) return {0, 0};
  RECT r{0, 0, client.cx, client.cy};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK);
  return {Width(r), Height(r)};
}

void DrawTextAt(HDC dc, POINT at, SIZE size, UINT flags, const std::wstring& text, COLORREF colour) {
  RECT r{at.x, at.y, at.x + size.cx, at.y + size.cy};
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, colour);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

// Frame to glyph cell: pressed 3, disabled 2, else 1.
int GlyphIndexOf(int frame) {
  if (frame == kButtonPressed) return 3;
  if (frame == kButtonDisabled) return 2;
  return 1;
}

cl::TBitmap* NonEmptyGlyph(const cl::TObject* control) {
  auto* glyph = static_cast<cl::TBitmap*>(GetObjectPropByName(control, "Glyph", cl::TBitmap::StaticClass()));
  return glyph && !glyph->Empty() ? glyph : nullptr;
}

int NumGlyphsOf(const cl::TObject* control) {
  const int n = static_cast<int>(GetOrdPropByName(control, "NumGlyphs"));
  return n < 1 ? 1 : n;
}

}  // namespace

std::wstring CaptionLines(std::wstring text) {
  for (size_t at = text.find(L"||"); at != std::wstring::npos; at = text.find(L"||", at + 2))
    text.replace(at, 2, L"\r\n");
  return text;
}

// ---------------------------------------------------------------------------------------------------------
// TSkinButton.

TSkinButton::TSkinButton(cl::TComponent* owner) : TSkinControl(owner), work_(std::make_unique<cl::TBitmap>()) {}

TSkinButton::~TSkinButton() = default;

bool TSkinButton::BeforeMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      PaintClient(m);
      return false;
    case WM_ERASEBKGND:
      m.Result = 1;
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != Handle()) SetFocus(Handle());
      SetMouseFlag(kMousePressed, true);
      PaintFrame(nullptr);
      return false;
    default:
      return TSkinControl::BeforeMessage(m);
  }
}

void TSkinButton::AfterMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (m.WParam == VK_SPACE) {
        SetMouseFlag(kMousePressed, m.Msg == WM_KEYDOWN);
        Redraw();
      }
      break;
    case WM_MOUSEMOVE:
      if (!Hot()) BecomeHot(true);
      break;
    case WM_LBUTTONUP:
      // Only a press that began on this button and was not taken away by the mouse leaving it.
      if (Pressed()) Released();
      break;
    case cl::CM_MOUSEENTER:
      if (IsEnabledNow()) BecomeHot(false);
      break;
    case cl::CM_MOUSELEAVE:
      // Also when disabled: a button that disabled itself in its click must not keep the hot face.
      LeaveHot();
      break;
    default:
      TSkinControl::AfterMessage(m);
      break;
  }
}

void TSkinButton::BecomeHot(bool fromMouseMove) {
  SetMouseFlag(kMouseHot, true);
  TWinSkinForm* form = Form();
  if (fromMouseMove) {
    TSkinControl* previous = form ? form->HotPainter() : nullptr;
    if (previous && previous != this) ButtonMouseLeave(previous);
    if (form && form->HotPainter() == this) return;
  }
  Redraw();
  if (form) form->SetHotPainter(this);
}

void TSkinButton::LeaveHot() {
  SetMouseFlag(kMouseHot | kMousePressed, false);
  Redraw();
  if (Form() && Form()->HotPainter() == this) Form()->SetHotPainter(nullptr);
}

void TSkinButton::Released() {
  SetMouseFlag(kMousePressed, false);
  Redraw();
  // Last: the click may free this painter with its control.
  if (cl::TWinControl* control = Control()) {
    control->Click();
  } else if (HWND wnd = Handle()) {
    PostMessageW(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(wnd));
  }
}

bool TSkinButton::IsEnabledNow() const {
  if (Handle()) return IsWindowEnabled(Handle()) != FALSE;
  return GraphicControl() && GraphicControl()->Enabled();
}

bool TSkinButton::HasButtonImage() const {
  if (!Data()) return false;
  const cl::TBitmap* image = SkinImageBitmap(Data()->Buttons.Image);
  return image && !image->Empty();
}

cl::TBitmap& TSkinButton::WorkBitmap(const RECT& rect) {
  work_->SetSize(Width(rect), Height(rect));
  return *work_;
}

void TSkinButton::DrawFace(HDC dc, const RECT& area, int frame) {
  FillSkinColor(dc, area);
  if (frame > 0) DrawSkinElement(dc, area, 5, frame, Data()->Buttons);
}

std::wstring TSkinButton::CaptionText() const {
  if (const cl::TControl* control = Painted()) return cl::ToWide(GetStrPropByName(control, "Caption"));
  return WindowCaption(Handle());
}

cl::TFont* TSkinButton::ControlFont() const {
  return static_cast<cl::TFont*>(GetObjectPropByName(Painted(), "Font", cl::TFont::StaticClass()));
}

COLORREF TSkinButton::ControlTextColour(int frame, bool enabled, cl::TColor fontColour) const {
  const TDataSkinButton& b = Data()->Buttons;
  cl::TColor colour = fontColour;
  if (frame == kButtonNormal && b.HasNormalColour2) colour = b.NormalColour2;
  if (frame == kButtonHot && b.HasMouseOverColour2) colour = b.MouseOverColour2;
  if (frame == kButtonPressed && b.HasPressedColour2) colour = b.PressedColour2;
  if (!enabled) colour = cl::clBtnShadow;
  return cl::ColorToRGB(colour);
}

COLORREF TSkinButton::BareTextColour(int frame, bool enabled) const {
  const TDataSkinButton& b = Data()->Buttons;
  cl::TColor colour = Data()->Colors.ButtonText;
  if (frame == kButtonNormal) colour = b.NormalColour2;
  if (frame == kButtonHot) colour = b.MouseOverColour2;
  if (frame == kButtonPressed) colour = b.PressedColour2;
  if (!enabled) return RGB(128, 128, 128);
  return cl::ColorToRGB(colour);
}

void TSkinButton::DrawSkin(HDC dc, const RECT& rect) {
  if (!HasButtonImage()) return;
  const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  const bool isDefault = (style & BS_DEFPUSHBUTTON) == BS_DEFPUSHBUTTON;
  const bool enabled = (style & WS_DISABLED) == 0;
  // Priority: disabled, pressed, hot, default, focused, normal.
  int frame = kButtonNormal;
  if (GetFocus() == Handle()) frame = kButtonHot;
  if (isDefault) frame = kButtonDefault;
  if (Pressed()) {
    frame = kButtonPressed;
  } else if (Hot()) {
    frame = kButtonHot;
  }
  if (!enabled) frame = kButtonDisabled;

  const RECT area{0, 0, Width(rect), Height(rect)};
  const TComposeDC work(WorkBitmap(rect));
  DrawFace(work.Get(), area, frame);
  HFONT font = nullptr;
  COLORREF colour = 0;
  if (Painted()) {
    cl::TFont* controlFont = ControlFont();
    if (controlFont) font = controlFont->Handle();
    colour = ControlTextColour(frame, enabled, controlFont ? controlFont->Color() : cl::clBtnText);
  } else {
    font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
    colour = BareTextColour(frame, enabled);
  }
  const cl::TSelectedObject selected(work.Get(), font);
  SetTextColor(work.Get(), colour);
  DrawCaption(work.Get(), area, DT_CENTER, CaptionText());
  BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), work.Get(), 0, 0, SRCCOPY);
}

void TSkinButton::DrawCaption(HDC dc, const RECT& rect, UINT align, const std::wstring& text) {
  // Kept wide: a round trip through the ANSI code page would lose what it cannot hold.
  const std::wstring lines = CaptionLines(text);
  const int length = static_cast<int>(lines.size());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT measured = rect;
  DrawTextW(dc, lines.c_str(), length, &measured, align | DT_CALCRECT | DT_NOCLIP | DT_WORDBREAK | DT_EXPANDTABS);
  const int textWidth = Width(measured), textHeight = Height(measured);
  if (align == DT_CENTER) {
    OffsetRect(&measured, (Width(rect) - textWidth) / 2, 0);
  } else {
    measured.left = rect.left;
    measured.right = rect.right;
  }
  OffsetRect(&measured, 0, (Height(rect) - textHeight) / 2 - 1);
  DrawTextW(dc, lines.c_str(), length, &measured, align | DT_WORDBREAK | DT_EXPANDTABS);
  SetBkMode(dc, oldMode);
}

// ---------------------------------------------------------------------------------------------------------
// TSkinBitButton.

void TSkinBitButton::DrawGlyph(HDC dc, int x, int y, int numGlyphs, int glyphIndex, cl::TBitmap& glyph) {
  if (numGlyphs < 1) numGlyphs = 1;
  const int cellWidth = glyph.Width() / numGlyphs;
  const int height = glyph.Height();
  if (cellWidth <= 0 || height <= 0) return;
  const int cell = numGlyphs == 4 ? glyphIndex : 1;
  cl::TBitmap piece;
  piece.SetSize(cellWidth, height);
  const int left = (cell - 1) * cellWidth;
  piece.Canvas()->CopyRect(cl::Rect(0, 0, cellWidth, height), glyph.Canvas(),
                           cl::Rect(left, 0, left + cellWidth, height));
  if (glyphIndex == 2) GrayBitmap(piece);
  const cl::TColor key = piece.Canvas()->Pixels(0, height - 1);
  DrawTransparent(dc, cl::Rect(x, y, x + cellWidth, y + height), piece, key);
}

void TSkinBitButton::DrawSkin(HDC dc, const RECT& rect) {
  if (!HasButtonImage()) return;
  const cl::TControl* control = Painted();
  const bool focused = GetFocus() == Handle();
  const bool enabled = IsEnabledNow();
  // Priority: disabled, pressed, hot, focused, default, normal.
  int frame = kButtonNormal;
  if (PropIsTrue(control, "Default")) frame = kButtonDefault;
  if (focused) frame = kButtonHot;
  if (Pressed()) {
    frame = kButtonPressed;
  } else if (Hot()) {
    frame = kButtonHot;
  }
  if (!enabled) frame = kButtonDisabled;

  const RECT area{0, 0, Width(rect), Height(rect)};
  const SIZE client{area.right, area.bottom};
  const TComposeDC work(WorkBitmap(rect));
  DrawFace(work.Get(), area, frame);
  cl::TFont* font = ControlFont();
  const cl::TSelectedObject selected(
      work.Get(), font ? font->Handle() : reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));

  const std::wstring caption = CaptionLines(CaptionText());
  cl::TBitmap* glyph = NonEmptyGlyph(control);
  auto* images =
      static_cast<cl::TImageList*>(GetObjectPropByName(control, "Images", cl::TImageList::StaticClass()));
  const int imageIndex = static_cast<int>(GetOrdPropByName(control, "ImageIndex"));
  const int numGlyphs = NumGlyphsOf(control);
  SIZE glyphSize{0, 0};
  if (glyph) {
    glyphSize = {glyph->Width() / numGlyphs, glyph->Height()};
  } else if (images && imageIndex != -1) {
    glyphSize = {images->Width(), images->Height()};
  }
  const SIZE textSize = TextSize(work.Get(), caption, client);
  const TGlyphPlace place = PlaceGlyph({client, glyphSize, textSize, LayoutOf(control),
                                        static_cast<int>(GetOrdPropByName(control, "Margin")),
                                        static_cast<int>(GetOrdPropByName(control, "Spacing")),
                                        Lower(GetEnumPropByName(control, "Alignment")) == "tacenter", false});
  if (glyph) {
    DrawGlyph(work.Get(), place.glyph.x, place.glyph.y, numGlyphs, GlyphIndexOf(frame), *glyph);
  } else if (images) {
    const int disabledIndex = static_cast<int>(GetOrdPropByName(control, "DisabledIndex"));
    const int index = enabled || disabledIndex == -1 ? imageIndex : disabledIndex;
    if (index != -1) {
      cl::TCanvas canvas;
      canvas.SetHandle(work.Get());
      images->Draw(&canvas, place.glyph.x, place.glyph.y, index, enabled);
      canvas.SetHandle(nullptr);
    }
  }
  DrawTextAt(work.Get(), place.text, textSize, place.flags, caption,
             ControlTextColour(frame, enabled, font ? font->Color() : cl::clBtnText));
  BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), work.Get(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------------------
// TSkinSpeedButton.

bool TSkinSpeedButton::BeforeMessage(cl::TMessage& m) {
  cl::TControl* control = GraphicControl();
  switch (m.Msg) {
    case WM_PAINT:
      // The parent's paint: its context, the origin at the button's corner.
      if (!m.WParam || !control) return true;
      PaintButton(reinterpret_cast<HDC>(m.WParam), RECT{0, 0, control->Width(), control->Height()});
      m.Result = 1;
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The button takes the press itself (it goes down, and clicks on the release).
      CallDefault(m);
      SetMouseFlag(kMousePressed, true);
      PaintFrame(nullptr);
      return false;
    default:
      return TSkinButton::BeforeMessage(m);
  }
}

void TSkinSpeedButton::AfterMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_NCDESTROY:
    case cl::CM_RELEASE:
      Unhook();
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (m.WParam == VK_SPACE) {
        SetMouseFlag(kMousePressed, m.Msg == WM_KEYDOWN);
        PaintFrame(nullptr);
      }
      break;
    case WM_LBUTTONUP:
      SetMouseFlag(kMousePressed, false);
      PaintFrame(nullptr);
      break;
    case cl::CM_MOUSEENTER:
      SetMouseFlag(kMouseHot, true);
      PaintFrame(nullptr);
      break;
    case cl::CM_MOUSELEAVE:
      SetMouseFlag(kMouseHot | kMousePressed, false);
      if (GraphicControl() && GraphicControl()->Visible()) PaintFrame(nullptr);
      if (Form() && Form()->HotPainter() == this) Form()->SetHotPainter(nullptr);
      break;
    default:
      TSkinButton::AfterMessage(m);
      break;
  }
}

void TSkinSpeedButton::PaintFrame(HDC) {
  cl::TControl* control = GraphicControl();
  if (!control || !control->Visible() || !control->Parent() || !control->Parent()->HandleAllocated()) return;
  // Drawn where the parent would draw it.
  const cl::TWindowDC parentDc(control->Parent()->Handle());
  if (!parentDc) return;
  const cl::TSavedDC saved(parentDc.Get());
  OffsetViewportOrgEx(parentDc.Get(), control->Left(), control->Top(), nullptr);
  IntersectClipRect(parentDc.Get(), 0, 0, control->Width(), control->Height());
  try {
    PaintButton(parentDc.Get(), RECT{0, 0, control->Width(), control->Height()});
  } catch (...) {
    // A button that cannot be painted from the skin keeps its own look.
  }
}

void TSkinSpeedButton::PaintButton(HDC dc, const RECT& rect) {
  if (!HasButtonImage()) return;
  const cl::TControl* control = Painted();
  int state = kButtonNormal;
  if (Pressed()) {
    state = kButtonPressed;
  } else if (Hot()) {
    state = kButtonHot;
  }
  const bool enabled = PropIsTrue(control, "Enabled");
  int frame = enabled ? state : kButtonDisabled;
  if (PropIsTrue(control, "Down")) frame = kButtonPressed;
  // A flat button shows its face only when hot, pressed, down or disabled.
  const bool flat = PropIsTrue(control, "Flat");

  const RECT area{0, 0, Width(rect), Height(rect)};
  const SIZE client{area.right, area.bottom};
  const TComposeDC work(WorkBitmap(rect));
  DrawFace(work.Get(), area, flat && frame == kButtonNormal ? 0 : frame);
  cl::TFont* font = ControlFont();
  const cl::TSelectedObject selected(work.Get(), font ? font->Handle() : nullptr);
  const cl::TColor fontColour = font ? font->Color() : cl::clBtnText;

  const std::wstring caption = CaptionLines(CaptionText());
  const SIZE textSize = TextSize(work.Get(), caption, client);
  cl::TBitmap* glyph = NonEmptyGlyph(control);
  if (!glyph) {
    SetTextColor(work.Get(), cl::ColorToRGB(fontColour));
    DrawCaption(work.Get(), area, DT_CENTER, caption);
  } else {
    const int numGlyphs = NumGlyphsOf(control);
    const TGlyphPlace place = PlaceGlyph({client, SIZE{glyph->Width() / numGlyphs, glyph->Height()}, textSize,
                                          LayoutOf(control), static_cast<int>(GetOrdPropByName(control, "Margin")),
                                          static_cast<int>(GetOrdPropByName(control, "Spacing")), false, true});
    DrawGlyph(work.Get(), place.glyph.x, place.glyph.y, numGlyphs, GlyphIndexOf(frame), *glyph);
    DrawTextAt(work.Get(), place.text, textSize, place.flags, caption, ControlTextColour(frame, enabled, fontColour));
  }
  BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), work.Get(), 0, 0, SRCCOPY);
}

}  // namespace skin
