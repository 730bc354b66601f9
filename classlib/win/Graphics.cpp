#include "Graphics.h"

#include <algorithm>
#include <atomic>

#include "DeviceContext.h"
#include "GraphicsSupport.h"
#include "SysUtils.h"
#include "WinString.h"

namespace cl {

// ---------------------------------------------------------------------------------------------------------
// Handle accounting.

namespace {
std::atomic<long> gdiHandlesHeld{0};
}  // namespace

void detail::CountGdiHandle(int delta) noexcept { gdiHandlesHeld += delta; }
long GdiHandlesHeld() noexcept { return gdiHandlesHeld.load(); }

void detail::OutOfResources() { throw EOutOfResources("Out of system resources"); }

namespace {
// Colours of a context changed for a moment.
class TSavedColors {
 public:
  TSavedColors(HDC dc, COLORREF text, COLORREF back)
      : dc_(dc), text_(SetTextColor(dc, text)), back_(SetBkColor(dc, back)) {}
  ~TSavedColors() {
    SetTextColor(dc_, text_);
    SetBkColor(dc_, back_);
  }
  TSavedColors(const TSavedColors&) = delete;
  TSavedColors& operator=(const TSavedColors&) = delete;

 private:
  HDC dc_;
  COLORREF text_;
  COLORREF back_;
};
}  // namespace

void detail::MaskedBlt(HDC dst, const TRect& d, HDC src, HDC mask, int srcWidth, int srcHeight) {
  TSavedColors colors(dst, RGB(0, 0, 0), RGB(255, 255, 255));
  const bool stretched = d.Width() != srcWidth || d.Height() != srcHeight;
  const int oldMode = stretched ? SetStretchBltMode(dst, COLORONCOLOR) : 0;
  StretchBlt(dst, d.Left, d.Top, d.Width(), d.Height(), src, 0, 0, srcWidth, srcHeight, SRCINVERT);
  StretchBlt(dst, d.Left, d.Top, d.Width(), d.Height(), mask, 0, 0, srcWidth, srcHeight, SRCAND);
  StretchBlt(dst, d.Left, d.Top, d.Width(), d.Height(), src, 0, 0, srcWidth, srcHeight, SRCINVERT);
  if (stretched) SetStretchBltMode(dst, oldMode);
}

using detail::OutOfResources;

// ---------------------------------------------------------------------------------------------------------
// Fonts, pens, brushes.

void TGraphicsObject::Changing(bool dropHandle) {
  if (canvas_) canvas_->ObjectChanging(this);
  if (dropHandle) DropHandle();
}

CL_BEGIN_CLASS(TFont)
    .Int("Charset", &TFont::Charset, &TFont::SetCharset, uint8_t{DEFAULT_CHARSET})
    .Int("Color", &TFont::Color, &TFont::SetColor, clWindowText)
    .Int("Height", &TFont::Height, &TFont::SetHeight)
    .Str("Name", &TFont::Name, &TFont::SetName)
    .Int("Size", &TFont::Size, &TFont::SetSize).Stored(false)
    .Set("Style", &TFont::Style, &TFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
         TFontStyles{})
CL_END_CLASS

TFont::TFont() = default;
TFont::~TFont() = default;

int TFont::PixelsPerInch() {
  static const int ppi = [] {
    const TWindowDC screen(nullptr);
    const int value = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return value > 0 ? value : 96;
  }();
  return ppi;
}

void TFont::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TFont*>(source)) {
    if (other == this) return;
    Changing();
    name_ = other->name_;
    height_ = other->height_;
    style_ = other->style_;
    color_ = other->color_;
    charset_ = other->charset_;
    Changed();
    return;
  }
  inherited::Assign(source);
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic);
    lf.lfUnderline = style_.Contains(fsUnderline);
    lf.lfStrikeOut = style_.Contains(fsStrikeOut);
    lf.lfCharSet = charset_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    std::wstring face = ToWide(name_);
    face.resize(std::min<size_t>(face.size(), LF_FACESIZE - 1));
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) OutOfResources();
    handle_.Reset(font);
  }
  return handle_.Get();
}

void TFont::SetHandle(HFONT font) {
  LOGFONTW lf{};
  if (font && GetObjectW(font, sizeof(lf), &lf) != sizeof(lf)) {
    // Not a font: nothing to take over, but the handle is ours to free all the same.
    DeleteObject(font);
    throw EInvalidGraphicOperation("Invalid font handle");
  }
  Changing();
  if (font) {
    name_ = FromWide(lf.lfFaceName);
    height_ = lf.lfHeight;
    style_ = TFontStyles{};
    if (lf.lfWeight >= FW_BOLD) style_.Include(fsBold);
    if (lf.lfItalic) style_.Include(fsItalic);
    if (lf.lfUnderline) style_.Include(fsUnderline);
    if (lf.lfStrikeOut) style_.Include(fsStrikeOut);
    charset_ = lf.lfCharSet;
  }
  handle_.Reset(font);
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name == name_ || name.empty()) return;
  Changing();
  name_ = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  Changing();
  height_ = height;
  Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, PixelsPerInch(), 72)); }

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  Changing();
  style_ = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  Changing(false);  // the text colour belongs to the context, not to the font object
  color_ = color;
  Changed();
}

void TFont::SetCharset(uint8_t charset) {
  if (charset == charset_) return;
  Changing();
  charset_ = charset;
  Changed();
}

CL_BEGIN_CLASS(TPen)
    .Int("Color", &TPen::Color, &TPen::SetColor, clBlack)
    .Enum("Style", &TPen::Style, &TPen::SetStyle,
          {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}, psSolid)
    .Int("Width", &TPen::Width, &TPen::SetWidth, 1)
CL_END_CLASS

TPen::TPen() = default;
TPen::~TPen() = default;

void TPen::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TPen*>(source)) {
    if (other == this) return;
    Changing();
    color_ = other->color_;
    width_ = other->width_;
    style_ = other->style_;
    Changed();
    return;
  }
  inherited::Assign(source);
}

HPEN TPen::Handle() {
  if (!handle_) {
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    HPEN pen = CreatePen(styles[style_], width_, ColorToRGB(color_));
    if (!pen) OutOfResources();
    handle_.Reset(pen);
  }
  return handle_.Get();
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  Changing();
  color_ = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 0) width = 0;
  if (width == width_) return;
  Changing();
  width_ = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_ || style < psSolid || style > psInsideFrame) return;
  Changing();
  style_ = style;
  Changed();
}

CL_BEGIN_CLASS(TBrush)
    .Int("Color", &TBrush::Color, &TBrush::SetColor, clWhite)
    .Enum("Style", &TBrush::Style, &TBrush::SetStyle,
          {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross",
           "bsDiagCross"},
          bsSolid)
CL_END_CLASS

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TBrush*>(source)) {
    if (other == this) return;
    Changing();
    color_ = other->color_;
    style_ = other->style_;
    Changed();
    return;
  }
  inherited::Assign(source);
}

HBRUSH TBrush::Handle() {
  if (!handle_) {
    LOGBRUSH lb{};
    lb.lbColor = ColorToRGB(color_);
    if (style_ == bsSolid) {
      lb.lbStyle = BS_SOLID;
    } else if (style_ == bsClear) {
      lb.lbStyle = BS_HOLLOW;
    } else {
      static const int hatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
      lb.lbStyle = BS_HATCHED;
      lb.lbHatch = hatches[style_ - bsHorizontal];
    }
    HBRUSH brush = CreateBrushIndirect(&lb);
    if (!brush) OutOfResources();
    handle_.Reset(brush);
  }
  return handle_.Get();
}

void TBrush::SetColor(TColor color) {
  if (color == color_) return;
  Changing();
  color_ = color;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_ || style < bsSolid || style > bsDiagCross) return;
  Changing();
  style_ = style;
  Changed();
}

// ---------------------------------------------------------------------------------------------------------
// TGraphic.

void TGraphic::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
  TMemoryStream data;
  SaveToStream(data);
  TFileStream stream(fileName, fmCreate);
  stream.WriteBuffer(data.Memory(), static_cast<size_t>(data.Size()));
}

// ---------------------------------------------------------------------------------------------------------
// TCanvas.

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
  font_->canvas_ = this;
  pen_->canvas_ = this;
  brush_->canvas_ = this;
}

TCanvas::~TCanvas() { Unbind(); }

void TCanvas::Unbind() noexcept {
  if (!dc_) return;
  Deselect(kFont | kPen | kBrush);
  HDC dc = dc_;
  dc_ = nullptr;
  if (auto release = std::move(release_)) {
    release_ = nullptr;
    release(dc);
  }
}

void TCanvas::SetHandle(HDC dc) { SetHandle(dc, nullptr); }

void TCanvas::SetHandle(HDC dc, std::function<void(HDC)> release) {
  if (dc == dc_ && !release) return;
  Unbind();
  dc_ = dc;
  release_ = std::move(release);
  if (dc_) MoveToEx(dc_, penPos_.X, penPos_.Y, nullptr);
}

void TCanvas::Deselect(unsigned parts) noexcept {
  if (!dc_) return;
  parts &= selected_;
  if (parts & kFont) SelectObject(dc_, GetStockObject(SYSTEM_FONT));
  if (parts & kPen) SelectObject(dc_, GetStockObject(BLACK_PEN));
  if (parts & kBrush) SelectObject(dc_, GetStockObject(HOLLOW_BRUSH));
  selected_ &= ~parts;
}

void TCanvas::ObjectChanging(TGraphicsObject* object) noexcept {
  if (object == font_.get())
    Deselect(kFont);
  else if (object == pen_.get())
    Deselect(kPen);
  else if (object == brush_.get())
    Deselect(kBrush);
}

void TCanvas::Refresh() { Deselect(kFont | kPen | kBrush); }

HDC TCanvas::Require(unsigned parts) {
  HandleNeeded();
  if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
  const unsigned missing = parts & ~selected_;
  if (missing & kFont) {
    SelectObject(dc_, font_->Handle());
    SetTextColor(dc_, ColorToRGB(font_->Color()));
  }
  if (missing & kPen) SelectObject(dc_, pen_->Handle());
  if (missing & kBrush) {
    SelectObject(dc_, brush_->Handle());
    SetBkColor(dc_, ColorToRGB(brush_->Color()));
    SetBkMode(dc_, brush_->Style() == bsSolid ? OPAQUE : TRANSPARENT);
  }
  selected_ |= missing;
  return dc_;
}

HDC TCanvas::Handle() { return Require(kFont | kPen | kBrush); }

TPoint TCanvas::PenPos() {
  if (dc_) {
    POINT p;
    if (GetCurrentPositionEx(dc_, &p)) penPos_ = {p.x, p.y};
  }
  return penPos_;
}

void TCanvas::MoveTo(int x, int y) {
  MoveToEx(Require(0), x, y, nullptr);
  penPos_ = {x, y};
}

void TCanvas::LineTo(int x, int y) {
  ::LineTo(Require(kPen | kBrush), x, y);
  penPos_ = {x, y};
}

void TCanvas::FillRect(const TRect& rect) {
  HDC dc = Require(kBrush);
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FillRect(dc, &r, brush_->Handle());
}

void TCanvas::FrameRect(const TRect& rect) {
  HDC dc = Require(kBrush);
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FrameRect(dc, &r, brush_->Handle());
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) { ::Rectangle(Require(kPen | kBrush), x1, y1, x2, y2); }

void TCanvas::DrawFocusRect(const TRect& rect) {
  HDC dc = Require(kBrush);
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::DrawFocusRect(dc, &r);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  HDC dc = Require(kFont | kBrush);
  const std::wstring w = ToWide(text);
  ::TextOutW(dc, x, y, w.data(), static_cast<int>(w.size()));
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
  HDC dc = Require(kFont | kBrush);
  const std::wstring w = ToWide(text);
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  UINT options = ETO_CLIPPED;
  if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOutW(dc, x, y, options, &r, w.data(), static_cast<UINT>(w.size()), nullptr);
}

TSize TCanvas::TextExtent(std::string_view text) {
  HDC dc = Require(kFont);
  const std::wstring w = ToWide(text);
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, w.data(), static_cast<int>(w.size()), &size);
  return {size.cx, size.cy};
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (graphic && !graphic->Empty()) graphic->Draw(*this, Bounds(x, y, graphic->Width(), graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (graphic && !graphic->Empty()) graphic->Draw(*this, rect);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  if (!canvas) return;
  HDC src = canvas->Require(0);
  HDC dst = Require(kBrush);
  StretchBlt(dst, dest.Left, dest.Top, dest.Width(), dest.Height(), src, source.Left, source.Top, source.Width(),
             source.Height(), copyMode_);
}

TColor TCanvas::Pixels(int x, int y) {
  const COLORREF c = GetPixel(Require(0), x, y);
  return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixels(int x, int y, TColor color) { ::SetPixel(Require(0), x, y, ColorToRGB(color)); }

}  // namespace cl
