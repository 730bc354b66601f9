// TBitmap: a DIB section, its canvas, and BMP files (read and written by BmpFile.h).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "BmpFile.h"
#include "Graphics.h"
#include "GraphicsSupport.h"
#include "SysUtils.h"
#include "WinString.h"

namespace cl {

using detail::MaskedBlt;
using detail::OutOfResources;
using detail::TTempDC;

namespace {

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
    if (!selected_ && bitmap_.image_.dib) {
      HGDIOBJ old = SelectObject(memDC_.Get(), bitmap_.image_.dib.Get());
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
  image.stride = BmpStride(width, bits);
  image.palette = std::move(palette);
  return image;
}

void TBitmap::Adopt(Image&& image) {
  DeselectFromCanvas();
  image_ = std::move(image);
  tablePalette_.Reset();
  if (!image_.dib) {  // no pixels, so no size either
    image_.bits = nullptr;
    image_.width = image_.height = image_.stride = 0;
  }
}

void* TBitmap::ScanLine(int row) {
  if (!image_.dib || row < 0 || row >= image_.height) throw EInvalidGraphicOperation("Scan line index out of range");
  GdiFlush();
  return image_.bits + static_cast<size_t>(image_.height - 1 - row) * image_.stride;
}

TColor TBitmap::PixelColor(int x, int y) const {
  const uint8_t* row = image_.bits + static_cast<size_t>(image_.height - 1 - y) * image_.stride;
  auto indexed = [&](unsigned index) { return index < image_.palette.size() ? QuadColor(image_.palette[index]) : clBlack; };
  switch (image_.format) {
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
  if (width == image_.width && height == image_.height) return;
  Image image = MakeImage(width, height, image_.format, image_.palette);
  if (image.dib) {
    TTempDC target(image.dib.Get());
    PatBlt(target.Get(), 0, 0, width, height, WHITENESS);
    if (image_.dib) BitBlt(target.Get(), 0, 0, std::min(width, image_.width), std::min(height, image_.height), MemoryDC(), 0, 0, SRCCOPY);
  }
  Adopt(std::move(image));
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == image_.format || format < pf1bit || format > pf32bit) return;
  Image image = MakeImage(image_.width, image_.height, format, {});
  if (image.dib) {
    TTempDC target(image.dib.Get());
    BitBlt(target.Get(), 0, 0, image_.width, image_.height, MemoryDC(), 0, 0, SRCCOPY);
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
    Image image = MakeImage(other->image_.width, other->image_.height, other->image_.format, other->image_.palette);
    if (image.dib) {
      GdiFlush();
      std::memcpy(image.bits, other->image_.bits, static_cast<size_t>(other->image_.stride) * other->image_.height);
    }
    Adopt(std::move(image));
    palette_.Reset(CopyPalette(other->palette_.Get()));
    transparent_ = other->transparent_;
    transparentMode_ = other->transparentMode_;
    transparentColor_ = other->transparentColor_;
    Changed();
    return;
  }
  inherited::Assign(source);
}

HPALETTE CopyPalette(HPALETTE palette) {
  const UINT count = palette ? GetPaletteEntries(palette, 0, 0, nullptr) : 0;
  if (count == 0) return nullptr;
  std::vector<unsigned char> data(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* log = reinterpret_cast<LOGPALETTE*>(data.data());
  log->palVersion = 0x300;
  log->palNumEntries = static_cast<WORD>(count);
  GetPaletteEntries(palette, 0, count, log->palPalEntry);
  return CreatePalette(log);
}

HPALETTE TBitmap::Palette() {
  if (palette_) return palette_.Get();
  if (!tablePalette_ && !image_.palette.empty()) {
    const std::vector<RGBQUAD>& table = image_.palette;
    std::vector<unsigned char> data(sizeof(LOGPALETTE) + table.size() * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(data.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(table.size());
    for (size_t i = 0; i < table.size(); ++i)
      log->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    tablePalette_.Reset(CreatePalette(log));
  }
  return tablePalette_.Get();
}

void TBitmap::SetPalette(HPALETTE palette) {
  if (palette == palette_.Get()) return;
  palette_.Reset(palette);
  Changed();
}

HBITMAP TBitmap::Handle() {
  DeselectFromCanvas();
  GdiFlush();
  return image_.dib.Get();
}

HBITMAP TBitmap::ReleaseHandle() {
  DeselectFromCanvas();
  GdiFlush();
  HBITMAP h = image_.dib.Release();
  Image empty;
  empty.format = image_.format;
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
  if (owned.Get() == image_.dib.Get()) {
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
      image.stride = BmpStride(image.width, ds.dsBmih.biBitCount);
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
  if (!image_.dib) return clDefault;
  GdiFlush();
  return PixelColor(0, image_.height - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == transparentColor_ && transparentMode_ == tmFixed) return;
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

TBitmapHandle TBitmap::MakeMask(TColor color) const {
  Image mask = MakeImage(image_.width, image_.height, pf1bit, {});
  if (!mask.dib) return {};
  GdiFlush();
  const TColor key = ColorToRGB(color);
  for (int y = 0; y < image_.height; ++y) {
    uint8_t* out = mask.bits + static_cast<size_t>(image_.height - 1 - y) * mask.stride;
    std::memset(out, 0, mask.stride);
    for (int x = 0; x < image_.width; ++x)
      if (PixelColor(x, y) == key) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
  }
  return std::move(mask.dib);
}

void TBitmap::Mask(TColor color) {
  if (!image_.dib) return;
  Image image;
  image.format = pf1bit;
  image.width = image_.width;
  image.height = image_.height;
  image.stride = BmpStride(image_.width, 1);
  image.palette = DefaultPalette(pf1bit);
  image.dib = MakeMask(color);
  DIBSECTION ds{};
  GetObjectW(image.dib.Get(), sizeof(ds), &ds);
  image.bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
  Adopt(std::move(image));
  Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (!image_.dib) return;
  HDC dst = canvas.Handle();
  HDC src = MemoryDC();
  if (transparent_) {
    TBitmapHandle mask = MakeMask(TransparentColor());
    TTempDC maskDC(mask.Get());
    MaskedBlt(dst, rect, src, maskDC.Get(), image_.width, image_.height);
    return;
  }
  if (rect.Width() == image_.width && rect.Height() == image_.height)
    BitBlt(dst, rect.Left, rect.Top, image_.width, image_.height, src, 0, 0, canvas.CopyMode());
  else
    StretchBlt(dst, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0, image_.width, image_.height, canvas.CopyMode());
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

void TBitmap::LoadFromStream(TStream& stream) {
  const TBmpImage file = ReadBmp(stream);
  if (file.Empty()) {
    Adopt(Image{});
    Changed();
    return;
  }
  std::vector<RGBQUAD> palette(file.Palette.size());
  for (size_t i = 0; i < palette.size(); ++i)
    palette[i] = RGBQUAD{file.Palette[i].Blue, file.Palette[i].Green, file.Palette[i].Red, 0};
  const bool plainMasks = file.Compression != bcBitFields || (file.BitCount == 32 && file.Masks[0] == 0xFF0000 &&
                                                              file.Masks[1] == 0xFF00 && file.Masks[2] == 0xFF);
  if (!file.RunLength() && file.BitCount != 16 && plainMasks)
    AdoptRows(file, std::move(palette));
  else
    AdoptDecoded(file, std::move(palette));
  Changed();
}

// Rows this bitmap keeps as they are: copied into a DIB section, bottom row first.
void TBitmap::AdoptRows(const TBmpImage& file, std::vector<RGBQUAD> palette) {
  const TPixelFormat format = file.BitCount == 1   ? pf1bit
                              : file.BitCount == 4 ? pf4bit
                              : file.BitCount == 8 ? pf8bit
                              : file.BitCount == 24 ? pf24bit
                                                    : pf32bit;
  Image image = MakeImage(file.Width, file.Height, format, std::move(palette));
  const size_t rowBytes = static_cast<size_t>(BmpStride(file.Width, file.BitCount));
  if (file.TopDown) {
    for (int y = 0; y < file.Height; ++y)
      std::memcpy(image.bits + static_cast<size_t>(file.Height - 1 - y) * rowBytes, file.Pixels.data() + y * rowBytes,
                  rowBytes);
  } else {
    std::memcpy(image.bits, file.Pixels.data(), file.Pixels.size());
  }
  Adopt(std::move(image));
}

// Run-length encoded, 16-bit or unusual masks: the system decodes into a DIB section of ours. The
// header handed over is a plain 40-byte one whose sizes were checked against the data read.
void TBitmap::AdoptDecoded(const TBmpImage& file, std::vector<RGBQUAD> palette) {
  const TPixelFormat format = file.RunLength() ? (file.BitCount == 8 ? pf8bit : pf4bit)
                              : file.BitCount == 16 ? pf24bit
                                                    : pf32bit;
  std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + std::max<size_t>(palette.size() * 4, 12));
  auto* bih = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  bih->biSize = sizeof(BITMAPINFOHEADER);
  bih->biWidth = file.Width;
  bih->biHeight = file.TopDown ? -file.Height : file.Height;
  bih->biPlanes = 1;
  bih->biBitCount = file.BitCount;
  bih->biCompression = file.Compression;
  bih->biSizeImage = static_cast<DWORD>(file.Pixels.size());
  bih->biClrUsed = static_cast<DWORD>(palette.size());
  if (file.Compression == bcBitFields)
    std::memcpy(bih + 1, file.Masks, sizeof(file.Masks));
  else if (!palette.empty())
    std::memcpy(bih + 1, palette.data(), palette.size() * sizeof(RGBQUAD));
  Image image = MakeImage(file.Width, file.Height, format, std::move(palette));
  TTempDC dc;
  if (SetDIBits(dc.Get(), image.dib.Get(), 0, static_cast<UINT>(file.Height), file.Pixels.data(),
                reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS) == 0)
    throw EInvalidGraphic("Bitmap image is not valid");
  GdiFlush();
  Adopt(std::move(image));
}

void TBitmap::SaveToStream(TStream& stream) {
  if (!image_.dib) return;
  GdiFlush();
  std::vector<TBmpColor> palette(image_.palette.size());
  for (size_t i = 0; i < palette.size(); ++i)
    palette[i] = TBmpColor{image_.palette[i].rgbBlue, image_.palette[i].rgbGreen, image_.palette[i].rgbRed, image_.palette[i].rgbReserved};
  WriteBmp(stream, image_.width, image_.height, BitsOf(image_.format), palette, image_.bits);
}

}  // namespace cl
