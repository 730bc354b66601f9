#include "Graphics.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>

#include "DeviceContext.h"
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

namespace {

[[noreturn]] void OutOfResources() { throw EOutOfResources("Out of system resources"); }

// A memory context for a moment: selects one bitmap and restores the context's own on the way out.
class TTempDC {
 public:
  explicit TTempDC(HBITMAP bitmap = nullptr) : dc_(CreateCompatibleDC(nullptr)), bitmap_(Checked(dc_), bitmap) {}
  TTempDC(const TTempDC&) = delete;
  TTempDC& operator=(const TTempDC&) = delete;
  HDC Get() const { return dc_.Get(); }

 private:
  static HDC Checked(const TDCHandle& dc) {
    if (!dc) OutOfResources();
    return dc.Get();
  }
  TDCHandle dc_;
  TSelectedObject bitmap_;
};

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

// Copies src onto dst except where mask (1 bit per pixel, white = leave out) is white. Three blits, so
// it works stretched too as long as all three sample the same pixels.
void MaskedBlt(HDC dst, const TRect& d, HDC src, HDC mask, int srcWidth, int srcHeight) {
  TSavedColors colors(dst, RGB(0, 0, 0), RGB(255, 255, 255));
  const bool stretched = d.Width() != srcWidth || d.Height() != srcHeight;
  const int oldMode = stretched ? SetStretchBltMode(dst, COLORONCOLOR) : 0;
  StretchBlt(dst, d.Left, d.Top, d.Width(), d.Height(), src, 0, 0, srcWidth, srcHeight, SRCINVERT);
  StretchBlt(dst, d.Left, d.Top, d.Width(), d.Height(), mask, 0, 0, srcWidth, srcHeight, SRCAND);
  StretchBlt(dst, d.Left, d.Top, d.Width(), d.Height(), src, 0, 0, srcWidth, srcHeight, SRCINVERT);
  if (stretched) SetStretchBltMode(dst, oldMode);
}

TColor QuadColor(const RGBQUAD& q) { return RGBColor(q.rgbRed, q.rgbGreen, q.rgbBlue); }

int BitsOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    case pf32bit: return 32;
  }
  return 24;
}

int Stride(int width, int bits) { return static_cast<int>((static_cast<int64_t>(width) * bits + 31) / 32 * 4); }

// A palette for a format made from scratch: black and white; the 16 VGA colours; those, a 6x6x6 cube
// and greys.
std::vector<RGBQUAD> DefaultPalette(TPixelFormat format) {
  static const uint8_t vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                     {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                     {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                     {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  std::vector<RGBQUAD> palette;
  auto add = [&](int r, int g, int b) {
    palette.push_back(RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0});
  };
  switch (format) {
    case pf1bit:
      add(0, 0, 0);
      add(255, 255, 255);
      break;
    case pf4bit:
    case pf8bit:
      for (auto& c : vga) add(c[0], c[1], c[2]);
      if (format == pf8bit) {
        for (int r = 0; r < 6; ++r)
          for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) add(r * 51, g * 51, b * 51);
        for (int i = 1; palette.size() < 256; ++i) add(i * 10, i * 10, i * 10);
      }
      break;
    default:
      break;
  }
  return palette;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Fonts, pens, brushes.

CL_BEGIN_CLASS(TGraphicsObject) CL_END_CLASS

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

CL_BEGIN_CLASS(TGraphic) CL_END_CLASS

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

CL_BEGIN_CLASS(TCanvas) CL_END_CLASS

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

// ---------------------------------------------------------------------------------------------------------
// TBitmap.

// The canvas of a bitmap: one memory context for the bitmap's whole life, into which the bitmap's
// current DIB section is selected whenever the canvas draws.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override {
    SetHandle(nullptr);
    DeselectBitmap();
  }

  HDC MemoryDC() {
    if (!memDC_) {
      HDC dc = CreateCompatibleDC(nullptr);
      if (!dc) OutOfResources();
      memDC_.Reset(dc);
      SetHandle(dc);
    }
    if (!selected_ && bitmap_.dib_) {
      HGDIOBJ old = SelectObject(memDC_.Get(), bitmap_.dib_.Get());
      if (!original_) original_ = old;
      selected_ = true;
    }
    return memDC_.Get();
  }
  // Takes the DIB section out of the context (before it is freed, replaced or handed out).
  void DeselectBitmap() noexcept {
    if (selected_) SelectObject(memDC_.Get(), original_);
    selected_ = false;
  }

 protected:
  void HandleNeeded() override { MemoryDC(); }

 private:
  TBitmap& bitmap_;
  TDCHandle memDC_;
  HGDIOBJ original_ = nullptr;
  bool selected_ = false;
};

struct TBitmap::Image {
  TBitmapHandle dib;
  uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
  TPixelFormat format = pf24bit;
  std::vector<RGBQUAD> palette;
};

CL_BEGIN_CLASS(TBitmap) CL_END_CLASS

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  canvas_.reset();  // the context lets go of the DIB section before it is freed
}

void TBitmap::DeselectFromCanvas() noexcept {
  if (canvas_) canvas_->DeselectBitmap();
}

HDC TBitmap::MemoryDC() {
  Canvas();
  return canvas_->MemoryDC();
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
  return canvas_.get();
}

TBitmap::Image TBitmap::MakeImage(int width, int height, TPixelFormat format, std::vector<RGBQUAD> palette) const {
  Image image;
  image.format = format;
  const int bits = BitsOf(format);
  if (bits <= 8 && palette.empty()) palette = DefaultPalette(format);
  if (bits > 8) palette.clear();
  if (width <= 0 || height <= 0) {
    image.palette = std::move(palette);
    return image;
  }
  if (static_cast<int64_t>(width) * height > (int64_t{1} << 28)) OutOfResources();
  std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + palette.size() * sizeof(RGBQUAD));
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = width;
  header->biHeight = height;  // bottom-up, as the file keeps its rows
  header->biPlanes = 1;
  header->biBitCount = static_cast<WORD>(bits);
  header->biCompression = BI_RGB;
  header->biClrUsed = static_cast<DWORD>(palette.size());
  if (!palette.empty()) std::memcpy(header + 1, palette.data(), palette.size() * sizeof(RGBQUAD));
  void* pixels = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &pixels,
                                 nullptr, 0);
  if (!dib || !pixels) {
    if (dib) DeleteObject(dib);
    OutOfResources();
  }
  image.dib.Reset(dib);
  image.bits = static_cast<uint8_t*>(pixels);
  image.width = width;
  image.height = height;
  image.stride = Stride(width, bits);
  image.palette = std::move(palette);
  return image;
}

void TBitmap::Adopt(Image&& image) {
  DeselectFromCanvas();
  dib_ = std::move(image.dib);
  bits_ = dib_ ? image.bits : nullptr;
  width_ = dib_ ? image.width : 0;
  height_ = dib_ ? image.height : 0;
  stride_ = dib_ ? image.stride : 0;
  format_ = image.format;
  palette_ = std::move(image.palette);
}

void* TBitmap::ScanLine(int row) {
  if (!dib_ || row < 0 || row >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
  GdiFlush();
  return bits_ + static_cast<size_t>(height_ - 1 - row) * stride_;
}

TColor TBitmap::PixelColor(int x, int y) const {
  const uint8_t* row = bits_ + static_cast<size_t>(height_ - 1 - y) * stride_;
  auto indexed = [&](unsigned index) { return index < palette_.size() ? QuadColor(palette_[index]) : clBlack; };
  switch (format_) {
    case pf1bit: return indexed((row[x >> 3] >> (7 - (x & 7))) & 1);
    case pf4bit: return indexed((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
    case pf8bit: return indexed(row[x]);
    case pf24bit: return RGBColor(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    case pf32bit: return RGBColor(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
  }
  return clBlack;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  Image image = MakeImage(width, height, format_, palette_);
  if (image.dib) {
    TTempDC target(image.dib.Get());
    PatBlt(target.Get(), 0, 0, width, height, WHITENESS);
    if (dib_) BitBlt(target.Get(), 0, 0, std::min(width, width_), std::min(height, height_), MemoryDC(), 0, 0, SRCCOPY);
  }
  Adopt(std::move(image));
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_ || format < pf1bit || format > pf32bit) return;
  Image image = MakeImage(width_, height_, format, {});
  if (image.dib) {
    TTempDC target(image.dib.Get());
    BitBlt(target.Get(), 0, 0, width_, height_, MemoryDC(), 0, 0, SRCCOPY);
  }
  Adopt(std::move(image));
  Changed();
}

void TBitmap::Assign(const TPersistent* source) {
  if (!source) {
    Adopt(Image{});
    Changed();
    return;
  }
  if (auto* other = dynamic_cast<const TBitmap*>(source)) {
    if (other == this) return;
    Image image = MakeImage(other->width_, other->height_, other->format_, other->palette_);
    if (image.dib) {
      GdiFlush();
      std::memcpy(image.bits, other->bits_, static_cast<size_t>(other->stride_) * other->height_);
    }
    Adopt(std::move(image));
    transparent_ = other->transparent_;
    transparentMode_ = other->transparentMode_;
    transparentColor_ = other->transparentColor_;
    Changed();
    return;
  }
  inherited::Assign(source);
}

HBITMAP TBitmap::Handle() {
  DeselectFromCanvas();
  GdiFlush();
  return dib_.Get();
}

HBITMAP TBitmap::ReleaseHandle() {
  DeselectFromCanvas();
  GdiFlush();
  HBITMAP h = dib_.Release();
  Image empty;
  empty.format = format_;
  Adopt(std::move(empty));
  Changed();
  return h;
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (!bitmap) {
    Adopt(Image{});
    Changed();
    return;
  }
  TBitmapHandle owned(bitmap);
  if (owned.Get() == dib_.Get()) {
    owned.Release();
    return;
  }
  DIBSECTION ds{};
  const int got = GetObjectW(bitmap, sizeof(ds), &ds);
  if (got == 0) throw EInvalidGraphic("Invalid bitmap handle");
  if (got == sizeof(DIBSECTION) && ds.dsBm.bmBits && ds.dsBmih.biHeight > 0 && ds.dsBmih.biCompression == BI_RGB &&
      ds.dsBmih.biPlanes == 1) {
    TPixelFormat format;
    bool known = true;
    switch (ds.dsBmih.biBitCount) {
      case 1: format = pf1bit; break;
      case 4: format = pf4bit; break;
      case 8: format = pf8bit; break;
      case 24: format = pf24bit; break;
      case 32: format = pf32bit; break;
      default: format = pf24bit; known = false; break;
    }
    if (known) {
      Image image;
      image.format = format;
      image.width = ds.dsBm.bmWidth;
      image.height = ds.dsBm.bmHeight;
      image.stride = Stride(image.width, ds.dsBmih.biBitCount);
      image.bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
      if (ds.dsBmih.biBitCount <= 8) {
        RGBQUAD table[256];
        TTempDC dc(bitmap);
        const UINT n = GetDIBColorTable(dc.Get(), 0, 1u << ds.dsBmih.biBitCount, table);
        image.palette.assign(table, table + n);
        if (image.palette.empty()) image.palette = DefaultPalette(format);
      }
      image.dib = std::move(owned);
      Adopt(std::move(image));
      Changed();
      return;
    }
  }
  // A device-dependent bitmap, or a DIB section of a layout we do not address: copy it into one we do.
  BITMAP bm{};
  GetObjectW(bitmap, sizeof(bm), &bm);
  const TPixelFormat format = bm.bmBitsPixel == 1 ? pf1bit : bm.bmBitsPixel == 32 ? pf32bit : pf24bit;
  Image image = MakeImage(bm.bmWidth, std::abs(bm.bmHeight), format, {});
  if (image.dib) {
    TTempDC target(image.dib.Get());
    TTempDC source(bitmap);
    BitBlt(target.Get(), 0, 0, image.width, image.height, source.Get(), 0, 0, SRCCOPY);
  }
  Adopt(std::move(image));
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  transparentMode_ = mode;
  if (mode == tmAuto) transparentColor_ = clDefault;
  Changed();
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
  if (!dib_) return clDefault;
  GdiFlush();
  return PixelColor(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == transparentColor_ && transparentMode_ == tmFixed) return;
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

TBitmapHandle TBitmap::MakeMask(TColor color) const {
  Image mask = MakeImage(width_, height_, pf1bit, {});
  if (!mask.dib) return {};
  GdiFlush();
  const TColor key = ColorToRGB(color);
  for (int y = 0; y < height_; ++y) {
    uint8_t* out = mask.bits + static_cast<size_t>(height_ - 1 - y) * mask.stride;
    std::memset(out, 0, mask.stride);
    for (int x = 0; x < width_; ++x)
      if (PixelColor(x, y) == key) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
  }
  return std::move(mask.dib);
}

void TBitmap::Mask(TColor color) {
  if (!dib_) return;
  Image image;
  image.format = pf1bit;
  image.width = width_;
  image.height = height_;
  image.stride = Stride(width_, 1);
  image.palette = DefaultPalette(pf1bit);
  image.dib = MakeMask(color);
  DIBSECTION ds{};
  GetObjectW(image.dib.Get(), sizeof(ds), &ds);
  image.bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
  Adopt(std::move(image));
  Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (!dib_) return;
  HDC dst = canvas.Handle();
  HDC src = MemoryDC();
  if (transparent_) {
    TBitmapHandle mask = MakeMask(TransparentColor());
    TTempDC maskDC(mask.Get());
    MaskedBlt(dst, rect, src, maskDC.Get(), width_, height_);
    return;
  }
  if (rect.Width() == width_ && rect.Height() == height_)
    BitBlt(dst, rect.Left, rect.Top, width_, height_, src, 0, 0, canvas.CopyMode());
  else
    StretchBlt(dst, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0, width_, height_, canvas.CopyMode());
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  HANDLE h = LoadImageW(instance, ToWide(name).c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!h) throw EResNotFound(Format("Resource %s not found", name.c_str()));
  SetHandle(static_cast<HBITMAP>(h));
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  HANDLE h = LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!h) throw EResNotFound(Format("Resource %d not found", id));
  SetHandle(static_cast<HBITMAP>(h));
}

namespace {

constexpr char kInvalidBitmap[] = "Bitmap image is not valid";
[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(kInvalidBitmap); }

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
void Put16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}
void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Reads exactly count bytes or reports the picture as not valid.
void ReadExact(TStream& stream, void* buffer, size_t count) {
  if (stream.Read(buffer, count) != count) InvalidBitmap();
}

}  // namespace

void TBitmap::LoadFromStream(TStream& stream) {
  const int64_t start = stream.Position();
  const int64_t available = stream.Size() - start;
  if (available <= 0) {
    Adopt(Image{});
    Changed();
    return;
  }
  uint8_t file[14];
  if (available < static_cast<int64_t>(sizeof(file))) InvalidBitmap();
  ReadExact(stream, file, sizeof(file));
  if (file[0] != 'B' || file[1] != 'M') InvalidBitmap();
  const uint32_t offBits = Le32(file + 10);
  if (offBits > available) InvalidBitmap();

  // The info header: 40 bytes or one of its longer versions (the extra fields are not needed), or the
  // old 12-byte core header (16-bit sizes, bottom-up rows, no compression, a table of RGB triples).
  uint8_t header[124] = {};
  ReadExact(stream, header, 4);
  const uint32_t headerSize = Le32(header);
  const bool core = headerSize == 12;
  if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
    InvalidBitmap();
  if (14 + headerSize > offBits) InvalidBitmap();
  ReadExact(stream, header + 4, headerSize - 4);
  const int32_t width = core ? Le16(header + 4) : static_cast<int32_t>(Le32(header + 4));
  const int32_t rawHeight = core ? Le16(header + 6) : static_cast<int32_t>(Le32(header + 8));
  const uint16_t planes = core ? Le16(header + 8) : Le16(header + 12);
  const uint16_t bitCount = core ? Le16(header + 10) : Le16(header + 14);
  const uint32_t compression = core ? BI_RGB : Le32(header + 16);
  const uint32_t sizeImage = core ? 0 : Le32(header + 20);
  uint32_t colorsUsed = core ? 0 : Le32(header + 32);
  if (core && bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) InvalidBitmap();

  constexpr int32_t kMaxSide = 32767;
  constexpr int64_t kMaxPixels = int64_t{1} << 26;
  if (planes != 1 || width <= 0 || width > kMaxSide || rawHeight == 0 || rawHeight < -kMaxSide ||
      rawHeight > kMaxSide)
    InvalidBitmap();
  const bool topDown = rawHeight < 0;
  const int height = topDown ? -rawHeight : rawHeight;
  if (static_cast<int64_t>(width) * height > kMaxPixels) InvalidBitmap();

  bool rle = false;
  bool bitFields = false;
  switch (compression) {
    case BI_RGB:
      if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        InvalidBitmap();
      break;
    case BI_RLE8:
    case BI_RLE4:
      if (bitCount != (compression == BI_RLE8 ? 8 : 4) || topDown) InvalidBitmap();
      rle = true;
      break;
    case BI_BITFIELDS:
      if (bitCount != 16 && bitCount != 32) InvalidBitmap();
      bitFields = true;
      break;
    default:
      InvalidBitmap();
  }

  // The three colour masks of bit fields follow a 40-byte header; longer headers hold them.
  uint32_t masks[3] = {0, 0, 0};
  size_t used = 14 + headerSize;
  if (bitFields) {
    if (headerSize == 40) {
      if (used + 12 > offBits) InvalidBitmap();
      uint8_t raw[12];
      ReadExact(stream, raw, sizeof(raw));
      used += 12;
      for (int i = 0; i < 3; ++i) masks[i] = Le32(raw + 4 * i);
    } else {
      for (int i = 0; i < 3; ++i) masks[i] = Le32(header + 40 + 4 * i);
    }
  }

  std::vector<RGBQUAD> palette;
  if (bitCount <= 8) {
    const uint32_t maxColors = 1u << bitCount;
    if (colorsUsed == 0) colorsUsed = maxColors;
    if (colorsUsed > maxColors) InvalidBitmap();
    const size_t entrySize = core ? 3 : 4;  // RGBTRIPLE or RGBQUAD, blue first in both
    if (used + static_cast<uint64_t>(colorsUsed) * entrySize > offBits) InvalidBitmap();
    std::vector<uint8_t> table(colorsUsed * entrySize);
    ReadExact(stream, table.data(), table.size());
    palette.resize(colorsUsed);
    for (size_t i = 0; i < palette.size(); ++i) {
      const uint8_t* e = table.data() + i * entrySize;
      palette[i] = RGBQUAD{e[0], e[1], e[2], 0};
    }
  }

  const int64_t rowBytes = Stride(width, bitCount);
  const int64_t dataBytes = rle ? sizeImage : rowBytes * height;
  if (rle && dataBytes == 0) InvalidBitmap();
  if (static_cast<int64_t>(offBits) + dataBytes > available) InvalidBitmap();
  stream.SetPosition(start + offBits);
  std::vector<uint8_t> data(static_cast<size_t>(dataBytes));
  ReadExact(stream, data.data(), data.size());

  const bool plainMasks = !bitFields || (bitCount == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 &&
                                         masks[2] == 0xFF);
  if (!rle && bitCount != 16 && plainMasks) {
    const TPixelFormat format = bitCount == 1   ? pf1bit
                                : bitCount == 4 ? pf4bit
                                : bitCount == 8 ? pf8bit
                                : bitCount == 24 ? pf24bit
                                                 : pf32bit;
    Image image = MakeImage(width, height, format, palette);
    if (topDown) {
      for (int y = 0; y < height; ++y)
        std::memcpy(image.bits + static_cast<size_t>(height - 1 - y) * rowBytes, data.data() + y * rowBytes,
                    static_cast<size_t>(rowBytes));
    } else {
      std::memcpy(image.bits, data.data(), data.size());
    }
    Adopt(std::move(image));
    Changed();
    return;
  }

  // Run-length encoded, 16-bit or unusual masks: the system decodes into a DIB section of ours. The
  // header handed over is a plain 40-byte one whose sizes were checked above against the data read.
  const TPixelFormat format = rle ? (bitCount == 8 ? pf8bit : pf4bit) : bitCount == 16 ? pf24bit : pf32bit;
  Image image = MakeImage(width, height, format, palette);
  std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + std::max<size_t>(palette.size() * 4, 12));
  auto* bih = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  bih->biSize = sizeof(BITMAPINFOHEADER);
  bih->biWidth = width;
  bih->biHeight = rawHeight;
  bih->biPlanes = 1;
  bih->biBitCount = bitCount;
  bih->biCompression = compression;
  bih->biSizeImage = static_cast<DWORD>(dataBytes);
  bih->biClrUsed = static_cast<DWORD>(palette.size());
  if (bitFields)
    std::memcpy(bih + 1, masks, sizeof(masks));
  else if (!palette.empty())
    std::memcpy(bih + 1, palette.data(), palette.size() * sizeof(RGBQUAD));
  TTempDC dc;
  if (SetDIBits(dc.Get(), image.dib.Get(), 0, static_cast<UINT>(height), data.data(),
                reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS) == 0)
    InvalidBitmap();
  GdiFlush();
  Adopt(std::move(image));
  Changed();
}

void TBitmap::SaveToStream(TStream& stream) {
  if (!dib_) return;
  GdiFlush();
  const int bits = BitsOf(format_);
  const size_t paletteBytes = bits <= 8 ? palette_.size() * sizeof(RGBQUAD) : 0;
  const uint32_t imageBytes = static_cast<uint32_t>(stride_) * static_cast<uint32_t>(height_);
  const uint32_t offBits = static_cast<uint32_t>(14 + 40 + paletteBytes);
  std::string out;
  out.reserve(offBits);
  out += "BM";
  Put32(out, offBits + imageBytes);
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width_));
  Put32(out, static_cast<uint32_t>(height_));
  Put16(out, 1);
  Put16(out, static_cast<uint16_t>(bits));
  Put32(out, BI_RGB);
  Put32(out, imageBytes);
  Put32(out, 0);
  Put32(out, 0);
  // A full table is written as "all colours" (0), a shorter one by its count.
  Put32(out, bits <= 8 && palette_.size() != (1u << bits) ? static_cast<uint32_t>(palette_.size()) : 0);
  Put32(out, 0);
  if (paletteBytes) out.append(reinterpret_cast<const char*>(palette_.data()), paletteBytes);
  stream.WriteBuffer(out.data(), out.size());
  stream.WriteBuffer(bits_, imageBytes);
}

// ---------------------------------------------------------------------------------------------------------
// TIcon.

CL_BEGIN_CLASS(TIcon) CL_END_CLASS

namespace {
constexpr char kInvalidIcon[] = "Icon image is not valid";
[[noreturn]] void InvalidIcon() { throw EInvalidGraphic(kInvalidIcon); }

// Checks that one image of an icon file lies within its bytes: a PNG, or a DIB of an XOR and an AND
// bitmap with the colour table its header promises.
bool IconImageFits(const uint8_t* p, uint32_t size) {
  static const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (size >= 8 && std::memcmp(p, png, 8) == 0) return true;
  if (size < 40 || Le32(p) < 40 || Le32(p) > size) return false;
  const int32_t width = static_cast<int32_t>(Le32(p + 4));
  const int32_t height2 = static_cast<int32_t>(Le32(p + 8));
  const uint16_t bits = Le16(p + 14);
  const uint32_t compression = Le32(p + 16);
  uint32_t colors = Le32(p + 32);
  if (Le16(p + 12) != 1 || width <= 0 || width > 256 || height2 <= 0 || height2 > 512 || (height2 & 1)) return false;
  if (compression != BI_RGB) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  if (bits <= 8) {
    if (colors == 0) colors = 1u << bits;
    if (colors > (1u << bits)) return false;
  } else {
    colors = 0;
  }
  const int height = height2 / 2;
  const uint64_t need = uint64_t{Le32(p)} + colors * 4ull + uint64_t(Stride(width, bits)) * height +
                        uint64_t(Stride(width, 1)) * height;
  return need <= size;
}
}  // namespace

TIcon::TIcon() { transparent_ = true; }
TIcon::~TIcon() = default;

int TIcon::WantedWidth() const { return wantedWidth_ > 0 ? wantedWidth_ : GetSystemMetrics(SM_CXICON); }
int TIcon::WantedHeight() const { return wantedHeight_ > 0 ? wantedHeight_ : GetSystemMetrics(SM_CYICON); }

void TIcon::SetWidth(int width) { SetSize(width, wantedHeight_); }
void TIcon::SetHeight(int height) { SetSize(wantedWidth_, height); }

void TIcon::SetSize(int width, int height) {
  wantedWidth_ = std::max(width, 0);
  wantedHeight_ = std::max(height, 0);
}

void TIcon::Take(HICON icon, std::string data) {
  int width = 0, height = 0;
  if (icon) {
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
      TBitmapHandle color(info.hbmColor), mask(info.hbmMask);
      BITMAP bm{};
      if (color && GetObjectW(color.Get(), sizeof(bm), &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight;
      } else if (mask && GetObjectW(mask.Get(), sizeof(bm), &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight / 2;  // a monochrome icon's mask holds the AND and XOR halves
      }
    }
  }
  handle_.Reset(icon);
  data_ = std::move(data);
  width_ = width;
  height_ = height;
  Changed();
}

void TIcon::Assign(const TPersistent* source) {
  if (!source) {
    Take(nullptr, {});
    return;
  }
  if (auto* other = dynamic_cast<const TIcon*>(source)) {
    if (other == this) return;
    HICON copy = nullptr;
    if (other->handle_) {
      copy = CopyIcon(other->handle_.Get());
      if (!copy) OutOfResources();
    }
    wantedWidth_ = other->wantedWidth_;
    wantedHeight_ = other->wantedHeight_;
    Take(copy, other->data_);
    return;
  }
  inherited::Assign(source);
}

void TIcon::SetHandle(HICON icon) {
  if (icon && icon == handle_.Get()) return;
  Take(icon, {});
}

HICON TIcon::ReleaseHandle() {
  HICON icon = handle_.Release();
  data_.clear();
  width_ = height_ = 0;
  Changed();
  return icon;
}

void TIcon::LoadResource(HINSTANCE instance, const wchar_t* name, const std::string& shownName) {
  const int cx = WantedWidth(), cy = WantedHeight();
  HANDLE h = LoadImageW(instance, name, IMAGE_ICON, cx, cy, 0);
  if (!h) throw EResNotFound(Format("Resource %s not found", shownName.c_str()));
  Take(static_cast<HICON>(h), {});
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  LoadResource(instance, ToWide(name).c_str(), name);
}

void TIcon::LoadFromResourceID(HINSTANCE instance, int id) {
  LoadResource(instance, MAKEINTRESOURCEW(id), std::to_string(id));
}

void TIcon::LoadFromStream(TStream& stream) {
  const int64_t start = stream.Position();
  const int64_t available = stream.Size() - start;
  uint8_t dir[6];
  if (available < 6 || stream.Read(dir, 6) != 6) InvalidIcon();
  const uint16_t count = Le16(dir + 4);
  if (Le16(dir) != 0 || Le16(dir + 2) != 1 || count == 0) InvalidIcon();
  const int64_t dirBytes = 6 + 16 * int64_t{count};
  if (dirBytes > available) InvalidIcon();
  std::string bytes(static_cast<size_t>(dirBytes), '\0');
  std::memcpy(bytes.data(), dir, 6);
  if (stream.Read(bytes.data() + 6, bytes.size() - 6) != bytes.size() - 6) InvalidIcon();

  // The file ends with the last byte of its farthest image.
  int64_t end = dirBytes;
  auto entry = [&](int i) { return reinterpret_cast<const uint8_t*>(bytes.data()) + 6 + 16 * i; };
  for (int i = 0; i < count; ++i) {
    const uint32_t size = Le32(entry(i) + 8), offset = Le32(entry(i) + 12);
    if (size == 0 || offset < dirBytes || int64_t{offset} + size > available) InvalidIcon();
    end = std::max<int64_t>(end, int64_t{offset} + size);
  }
  bytes.resize(static_cast<size_t>(end));
  if (stream.Read(bytes.data() + dirBytes, bytes.size() - dirBytes) != bytes.size() - dirBytes) InvalidIcon();

  // The image of the wanted size with the most colours; else the smallest larger one; else the largest.
  const int wantW = WantedWidth(), wantH = WantedHeight();
  int best = -1;
  int64_t bestScore = std::numeric_limits<int64_t>::min();
  const auto* base = reinterpret_cast<const uint8_t*>(bytes.data());
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = entry(i);
    const int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
    const uint8_t* image = base + Le32(e + 12);
    int bits = Le16(e + 6);
    if (bits == 0 && Le32(e + 8) >= 40 && Le32(image) >= 40) bits = Le16(image + 14);
    int64_t score;
    if (w == wantW && h == wantH)
      score = 3'000'000 + bits;
    else if (w >= wantW && h >= wantH)
      score = 2'000'000 - (int64_t{w} * h) * 16 + bits;
    else
      score = int64_t{w} * h * 16 + bits;
    if (score > bestScore) {
      bestScore = score;
      best = i;
    }
  }
  const uint8_t* e = entry(best);
  const uint32_t size = Le32(e + 8), offset = Le32(e + 12);
  if (!IconImageFits(base + offset, size)) InvalidIcon();
  const int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
  HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(base + offset), size, TRUE, 0x00030000, w, h,
                                        LR_DEFAULTCOLOR);
  if (!icon) InvalidIcon();
  Take(icon, std::move(bytes));
}

void TIcon::SaveToStream(TStream& stream) {
  if (!data_.empty()) {
    stream.WriteBuffer(data_.data(), data_.size());
    return;
  }
  if (!handle_) return;
  // An icon made elsewhere: one 32-bit image and its mask.
  ICONINFO info{};
  if (!GetIconInfo(handle_.Get(), &info)) OutOfResources();
  TBitmapHandle color(info.hbmColor), mask(info.hbmMask);
  const int w = width_, h = height_;
  if (w <= 0 || h <= 0 || w > 256 || h > 256) throw EInvalidGraphicOperation(kInvalidIcon);
  std::string xorBits(static_cast<size_t>(w) * 4 * h, '\0');
  std::string andBits(static_cast<size_t>(Stride(w, 1)) * h, '\0');
  TTempDC dc;
  BITMAPINFOHEADER bih{};
  bih.biSize = sizeof(bih);
  bih.biWidth = w;
  bih.biPlanes = 1;
  bih.biCompression = BI_RGB;
  if (color) {
    bih.biHeight = h;
    bih.biBitCount = 32;
    GetDIBits(dc.Get(), color.Get(), 0, h, xorBits.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
  }
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } mono{};
  mono.header = bih;
  mono.header.biBitCount = 1;
  mono.header.biHeight = color ? h : h * 2;
  std::string maskRows(static_cast<size_t>(Stride(w, 1)) * (color ? h : h * 2), '\0');
  GetDIBits(dc.Get(), mask.Get(), 0, color ? h : h * 2, maskRows.data(), reinterpret_cast<BITMAPINFO*>(&mono),
            DIB_RGB_COLORS);
  // Bottom-up rows: a monochrome icon's mask has its AND half on top, which is the second half here.
  andBits.assign(maskRows, color ? 0 : andBits.size(), andBits.size());
  if (!color) {
    const std::string xorMono = maskRows.substr(0, andBits.size());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool white = (xorMono[static_cast<size_t>(y) * Stride(w, 1) + (x >> 3)] >> (7 - (x & 7))) & 1;
        const bool opaque = !((andBits[static_cast<size_t>(y) * Stride(w, 1) + (x >> 3)] >> (7 - (x & 7))) & 1);
        char* px = xorBits.data() + (static_cast<size_t>(y) * w + x) * 4;
        px[0] = px[1] = px[2] = white ? '\xFF' : '\0';
        px[3] = opaque ? '\xFF' : '\0';
      }
  }
  std::string out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, 1);
  out.push_back(static_cast<char>(w == 256 ? 0 : w));
  out.push_back(static_cast<char>(h == 256 ? 0 : h));
  out.push_back(0);
  out.push_back(0);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, static_cast<uint32_t>(40 + xorBits.size() + andBits.size()));
  Put32(out, 22);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(w));
  Put32(out, static_cast<uint32_t>(h * 2));
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, BI_RGB);
  Put32(out, static_cast<uint32_t>(xorBits.size() + andBits.size()));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  out += xorBits;
  out += andBits;
  stream.WriteBuffer(out.data(), out.size());
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  if (!handle_) return;
  DrawIconEx(canvas.Handle(), rect.Left, rect.Top, handle_.Get(), rect.Width(), rect.Height(), 0, nullptr, DI_NORMAL);
}

// ---------------------------------------------------------------------------------------------------------
// TImageList.

CL_BEGIN_CLASS(TImageList)
    .Int("Height", &TImageList::Height, &TImageList::SetHeight, 16)
    .Int("Width", &TImageList::Width, &TImageList::SetWidth, 16)
    .Event("OnChange", &TImageList::OnChange)
CL_END_CLASS

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}
TImageList::~TImageList() = default;

HIMAGELIST TImageList::Handle() {
  if (!handle_) {
    HIMAGELIST list = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 4, 4);
    if (!list) OutOfResources();
    handle_.Reset(list);
  }
  return handle_.Get();
}

void TImageList::Recreate() {
  handle_.Reset();
  OnChange(this);
}

void TImageList::SetWidth(int width) {
  width = std::clamp(width, 1, 32768);
  if (width == width_) return;
  width_ = width;
  Recreate();
}

void TImageList::SetHeight(int height) {
  height = std::clamp(height, 1, 32768);
  if (height == height_) return;
  height_ = height;
  Recreate();
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_.Get()) : 0; }

void TImageList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
}

int TImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->Empty()) return -1;
  const int index = ImageList_Add(Handle(), image->Handle(), mask && !mask->Empty() ? mask->Handle() : nullptr);
  if (index >= 0) OnChange(this);
  return index;
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->Empty()) return -1;
  // The system blackens the masked pixels of the bitmap it is given: hand it a copy.
  TBitmap copy;
  copy.Assign(image);
  const int index = ImageList_AddMasked(Handle(), copy.Handle(), ColorToRGB(maskColor));
  if (index >= 0) OnChange(this);
  return index;
}

int TImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->Empty()) return -1;
  const int index = ImageList_AddIcon(Handle(), icon->Handle());
  if (index >= 0) OnChange(this);
  return index;
}

void TImageList::Delete(int index) {
  CheckIndex(index);
  ImageList_Remove(handle_.Get(), index);
  OnChange(this);
}

void TImageList::Clear() {
  if (!handle_ || Count() == 0) return;
  ImageList_Remove(handle_.Get(), -1);
  OnChange(this);
}

void TImageList::GetIcon(int index, TIcon* icon) {
  CheckIndex(index);
  if (!icon) return;
  HICON h = ImageList_GetIcon(handle_.Get(), index, ILD_NORMAL);
  if (!h) OutOfResources();
  icon->SetHandle(h);
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (!canvas || !handle_ || index < 0 || index >= Count()) return;
  HDC dc = canvas->Handle();
  if (enabled) {
    ImageList_Draw(handle_.Get(), index, dc, x, y, ILD_NORMAL);
    return;
  }
  // Disabled: the image's shape (its visible pixels that are not white) in the highlight colour one pixel
  // down and right, then in the shadow colour on top.
  TBitmap shape;
  shape.SetSize(width_, height_);  // white
  ImageList_Draw(handle_.Get(), index, shape.Canvas()->Handle(), 0, 0, ILD_TRANSPARENT);
  shape.Mask(clWhite);  // white = leave out
  TBitmap fill;
  fill.SetSize(width_, height_);
  for (const auto& [offset, color] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}}) {
    fill.Canvas()->Brush()->SetColor(color);
    fill.Canvas()->FillRect(Rect(0, 0, width_, height_));
    MaskedBlt(dc, Bounds(x + offset, y + offset, width_, height_), fill.Canvas()->Handle(), shape.Canvas()->Handle(),
              width_, height_);
  }
}

}  // namespace cl
