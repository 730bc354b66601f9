#include "ImgUtil.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "SkinGeometry.h"
#include "SysUtils.h"

namespace skin {
namespace {

bool Inverted(const cl::TRect& r) { return r.Right < r.Left || r.Bottom < r.Top; }

cl::TSize SizeOf(const cl::TBitmap& b) { return {b.Width(), b.Height()}; }

// A copy of source onto dest, stretched when the sizes differ.
void Blit(HDC dst, const cl::TRect& d, HDC src, const cl::TRect& s) {
  if (d.Width() == s.Width() && d.Height() == s.Height())
    BitBlt(dst, d.Left, d.Top, d.Width(), d.Height(), src, s.Left, s.Top, SRCCOPY);
  else
    StretchBlt(dst, d.Left, d.Top, d.Width(), d.Height(), src, s.Left, s.Top, s.Width(), s.Height(), SRCCOPY);
}

HDC DCOf(cl::TBitmap& b) { return b.Canvas()->Handle(); }

// The bitmap at rect: colour-keyed or copied.
void Put(HDC dc, const cl::TRect& rect, cl::TBitmap& bitmap, bool transparent) {
  if (transparent)
    DrawTransparent(dc, rect, bitmap, kSkinKeyColor);
  else
    BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), DCOf(bitmap), 0, 0, SRCCOPY);
}

// A bitmap of the given size, 24 bits per pixel, that stretches COLORONCOLOR.
std::unique_ptr<cl::TBitmap> NewWork(int width, int height) {
  auto b = std::make_unique<cl::TBitmap>();
  b->SetPixelFormat(cl::pf24bit);
  b->SetSize(width, height);
  SetStretchBltMode(DCOf(*b), COLORONCOLOR);
  return b;
}

uint8_t* Row(cl::TBitmap& b, int y) { return static_cast<uint8_t*>(b.ScanLine(y)); }

// The pixels of a 24-bit bitmap, top row first, 3 bytes each, without row padding.
std::vector<uint8_t> Pixels24(cl::TBitmap& b) {
  const size_t rowBytes = static_cast<size_t>(b.Width()) * 3;
  std::vector<uint8_t> px(rowBytes * b.Height());
  for (int y = 0; y < b.Height(); ++y) std::memcpy(px.data() + rowBytes * y, Row(b, y), rowBytes);
  return px;
}

enum class TTurn { Left, Right };

void Rotate(cl::TBitmap& bitmap, TTurn turn) {
  bitmap.SetPixelFormat(cl::pf24bit);
  const int w = bitmap.Width(), h = bitmap.Height();
  if (w == 0 || h == 0) return;
  const std::vector<uint8_t> old = Pixels24(bitmap);
  bitmap.SetSize(h, w);
  for (int y = 0; y < w; ++y) {
    uint8_t* out = Row(bitmap, y);
    for (int x = 0; x < h; ++x) {
      // left: new (x, y) = old (W - 1 - y, x); right: new (x, y) = old (y, H - 1 - x)
      const int ox = turn == TTurn::Left ? w - 1 - y : y;
      const int oy = turn == TTurn::Left ? x : h - 1 - x;
      std::memcpy(out + x * 3, old.data() + (static_cast<size_t>(oy) * w + ox) * 3, 3);
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Transformations.

void GrayBitmap(cl::TBitmap& bitmap) {
  bitmap.SetPixelFormat(cl::pf24bit);
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* p = Row(bitmap, y);
    for (int x = 0; x < bitmap.Width(); ++x, p += 3) {
      const auto grey = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
      p[0] = p[1] = p[2] = grey;
    }
  }
}

void MirrorBitmap(cl::TBitmap& bitmap) {
  bitmap.SetPixelFormat(cl::pf24bit);
  const int w = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* p = Row(bitmap, y);
    for (int a = 0, b = w - 1; a < b; ++a, --b) std::swap_ranges(p + a * 3, p + a * 3 + 3, p + b * 3);
  }
}

void FlipBitmap(cl::TBitmap& bitmap) {
  bitmap.SetPixelFormat(cl::pf24bit);
  const size_t rowBytes = static_cast<size_t>(bitmap.Width()) * 3;
  for (int a = 0, b = bitmap.Height() - 1; a < b; ++a, --b) {
    uint8_t* top = Row(bitmap, a);
    std::swap_ranges(top, top + rowBytes, Row(bitmap, b));
  }
}

void RotateBitmapLeft(cl::TBitmap& bitmap) { Rotate(bitmap, TTurn::Left); }
void RotateBitmapRight(cl::TBitmap& bitmap) { Rotate(bitmap, TTurn::Right); }

// ---------------------------------------------------------------------------------------------------------
// Frames.

std::unique_ptr<cl::TBitmap> BuildNineSliceBitmap(const cl::TRect& rect, cl::TBitmap& image, const cl::TRect& margins,
                                                  bool vertical, bool tile, int frameCount, int frame) {
  if (Inverted(rect)) return nullptr;
  const int w = rect.Width(), h = rect.Height();
  auto result = NewWork(w, h);
  const cl::TRect source = FrameRect(SizeOf(image), ValidFrameCount(frameCount), frame, vertical);
  const TNineSlice slice = NineSlice(cl::Rect(0, 0, w, h), source, margins);
  HDC dst = DCOf(*result);
  HDC src = DCOf(image);
  for (int i = spTopLeft; i <= spBottom; ++i) {
    const TBlit& piece = slice.Pieces[i];
    if (piece.IsEmpty()) continue;
    if (i == spCentre && tile)
      ForEachTile(piece.Dest, piece.Source, [&](const TBlit& t) { Blit(dst, t.Dest, src, t.Source); });
    else
      Blit(dst, piece.Dest, src, piece.Source);
  }
  return result;
}

void DrawNineSlice(HDC dc, const cl::TRect& rect, cl::TBitmap& image, bool vertical, bool tile, bool transparent,
                   int frameCount, int frame, const cl::TRect& margins) {
  if (Inverted(rect) || rect.IsEmpty()) return;
  if (FrameRect(SizeOf(image), ValidFrameCount(frameCount), frame, vertical).IsEmpty()) return;
  auto bitmap = BuildNineSliceBitmap(rect, image, margins, vertical, tile, frameCount, frame);
  if (bitmap) Put(dc, rect, *bitmap, transparent);
}

void DrawNineSliceDirect(HDC dc, const cl::TRect& rect, cl::TBitmap& image, bool vertical, int frameCount, int frame,
                         const cl::TRect& margins) {
  if (Inverted(rect) || rect.IsEmpty()) return;
  const cl::TRect source = FrameRect(SizeOf(image), ValidFrameCount(frameCount), frame, vertical);
  const TNineSlice slice = NineSlice(rect, source, margins);
  HDC src = DCOf(image);
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  for (int i = spTopLeft; i <= spBottom; ++i) {
    const TBlit& piece = slice.Pieces[i];
    if (i == spCentre || piece.IsEmpty()) continue;
    Blit(dc, piece.Dest, src, piece.Source);
  }
  if (oldMode) SetStretchBltMode(dc, oldMode);
}

void DrawNineSliceCanvas(cl::TCanvas& canvas, const cl::TRect& rect, cl::TBitmap& image, bool vertical,
                         bool transparent, int frameCount, int frame, const cl::TRect& margins) {
  if (Inverted(rect) || rect.IsEmpty()) return;
  const cl::TRect source = FrameRect(SizeOf(image), ValidFrameCount(frameCount), frame, vertical);
  if (source.IsEmpty()) return;
  const int w = rect.Width(), h = rect.Height();
  auto work = NewWork(w, h);
  const TThreePiece strip = ThreePiece(cl::Rect(0, 0, w, h), source, margins.Left, margins.Right);
  HDC dst = DCOf(*work);
  HDC src = DCOf(image);
  if (!strip.LeftPart.IsEmpty()) Blit(dst, strip.LeftPart.Dest, src, strip.LeftPart.Source);
  ForEachRepeat(strip.Middle, [&](const TBlit& b) { Blit(dst, b.Dest, src, b.Source); });
  if (!strip.RightPart.IsEmpty()) Blit(dst, strip.RightPart.Dest, src, strip.RightPart.Source);
  if (transparent) {
    work->SetTransparentColor(kSkinKeyColor);
    work->SetTransparent(true);
    canvas.Draw(rect.Left, rect.Top, work.get());
  } else {
    BitBlt(canvas.Handle(), rect.Left, rect.Top, w, h, dst, 0, 0, SRCCOPY);
  }
}

void DrawSkinFrame(HDC dc, const cl::TRect& rect, cl::TBitmap& image, bool transparent, int frameCount, int frame) {
  if (Inverted(rect) || rect.IsEmpty()) return;
  const cl::TRect source = FrameRect(SizeOf(image), ValidFrameCount(frameCount), frame);
  if (source.IsEmpty()) return;
  auto work = NewWork(rect.Width(), rect.Height());
  Blit(DCOf(*work), cl::Rect(0, 0, rect.Width(), rect.Height()), DCOf(image), source);
  Put(dc, rect, *work, transparent);
}

void DrawSkinFrameCentered(HDC dc, const cl::TRect& rect, cl::TBitmap& image, bool transparent, int frameCount,
                           int frame) {
  if (Inverted(rect)) return;
  const cl::TRect source = FrameRect(SizeOf(image), ValidFrameCount(frameCount), frame);
  if (source.IsEmpty()) return;
  const cl::TRect place = CenteredRect(rect, source.Size());
  if (place.IsEmpty()) return;
  auto work = NewWork(source.Width(), source.Height());
  Blit(DCOf(*work), cl::Rect(0, 0, source.Width(), source.Height()), DCOf(image), source);
  Put(dc, place, *work, transparent);
}

void DrawTransparent(HDC dc, const cl::TRect& rect, cl::TBitmap& bitmap, cl::TColor keyColour) {
  if (Inverted(rect) || rect.IsEmpty() || bitmap.Empty()) return;
  // The mask: white where the pixel has the key colour, black elsewhere.
  cl::TBitmap mask;
  mask.Assign(&bitmap);
  mask.Mask(keyColour);
  HDC src = DCOf(bitmap);
  const int w = rect.Width(), h = rect.Height();
  // Where the mask is set the destination stays (raster operation $AA0029), elsewhere the source is copied.
  if (MaskBlt(dc, rect.Left, rect.Top, w, h, src, 0, 0, mask.Handle(), 0, 0, MAKEROP4(0x00AA0029, SRCCOPY))) return;
  // Systems without MaskBlt: the same picture from three blits.
  HDC maskDC = DCOf(mask);
  const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  BitBlt(dc, rect.Left, rect.Top, w, h, src, 0, 0, SRCINVERT);
  BitBlt(dc, rect.Left, rect.Top, w, h, maskDC, 0, 0, SRCAND);
  BitBlt(dc, rect.Left, rect.Top, w, h, src, 0, 0, SRCINVERT);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);
}

void TileBitmapRect(HDC dc, const cl::TRect& dest, HDC source, const cl::TRect& cell) {
  ForEachTile(dest, cell, [&](const TBlit& t) { Blit(dc, t.Dest, source, t.Source); });
}

cl::TRegionHandle RegionFromBitmap(cl::TBitmap& bitmap, int offsetX, int offsetY, uint8_t toleranceBlue,
                                   uint8_t toleranceGreen, uint8_t toleranceRed, cl::TColor keyColour) {
  const cl::TColor key = cl::ColorToRGB(keyColour);
  const int r0 = key & 0xFF, g0 = (key >> 8) & 0xFF, b0 = (key >> 16) & 0xFF;
  const int r1 = std::min(255, r0 + toleranceRed), g1 = std::min(255, g0 + toleranceGreen),
            b1 = std::min(255, b0 + toleranceBlue);
  auto isKey = [&](const uint8_t* p) {
    return p[2] >= r0 && p[2] <= r1 && p[1] >= g0 && p[1] <= g1 && p[0] >= b0 && p[0] <= b1;
  };
  // Runs are handed to the system in batches, each made into a region and added to the result.
  constexpr size_t kBatch = 2000;
  cl::TRegionHandle result;
  std::vector<RECT> rects;
  rects.reserve(500);
  auto flush = [&] {
    if (rects.empty()) return;
    std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects.size());
    header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header->rcBound = rects.front();
    for (const RECT& r : rects) {
      header->rcBound.left = std::min(header->rcBound.left, r.left);
      header->rcBound.top = std::min(header->rcBound.top, r.top);
      header->rcBound.right = std::max(header->rcBound.right, r.right);
      header->rcBound.bottom = std::max(header->rcBound.bottom, r.bottom);
    }
    std::memcpy(data.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
    cl::TRegionHandle part(
        ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
    rects.clear();
    if (!part) return;
    if (!result)
      result = std::move(part);
    else
      CombineRgn(result.Get(), result.Get(), part.Get(), RGN_OR);
  };
  // Coordinates past the int range are cut to it rather than wrapped.
  auto coord = [](int64_t v) {
    return static_cast<LONG>(
        std::clamp<int64_t>(v, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
  };

  bitmap.SetPixelFormat(cl::pf32bit);
  const int w = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const auto* row = static_cast<const uint8_t*>(bitmap.ScanLine(y));
    int x = 0;
    while (x < w) {
      while (x < w && isKey(row + x * 4)) ++x;
      const int x0 = x;
      while (x < w && !isKey(row + x * 4)) ++x;
      if (x > x0) {
        rects.push_back(RECT{coord(int64_t{x0} + offsetX), coord(int64_t{y} + offsetY), coord(int64_t{x} + offsetX),
                             coord(int64_t{y} + offsetY + 1)});
        if (rects.size() >= kBatch) flush();
      }
    }
  }
  flush();
  if (!result) result.Reset(CreateRectRgn(0, 0, 0, 0));
  return result;
}

std::unique_ptr<cl::TBitmap> NewSharedWorkBitmap() {
  auto b = std::make_unique<cl::TBitmap>();
  // One stretching rule for every painter, the status bar's too: COLORONCOLOR keeps key colours exact.
  SetStretchBltMode(DCOf(*b), COLORONCOLOR);
  return b;
}

void DebugLog(std::string_view) {}

// ---------------------------------------------------------------------------------------------------------
// Bitmaps of the description's images.

std::unique_ptr<cl::TBitmap> BuildComboStrip(const TComboStrip& strip) {
  constexpr int cw = TComboStrip::CellWidth, ch = TComboStrip::CellHeight;
  const int frames = ValidFrameCount(strip.Frames);
  auto result = NewWork(cw * frames, ch);
  cl::TCanvas* canvas = result->Canvas();
  canvas->Brush()->SetColor(kSkinKeyColor);
  canvas->FillRect(cl::Rect(0, 0, result->Width(), ch));

  auto sunk = LoadSkinImage(strip.SunkEdge);
  auto button = LoadSkinImage(strip.Button);
  auto extra = strip.HasExtra ? LoadSkinImage(strip.Extra) : nullptr;
  const int a = std::clamp(strip.ButtonWidth, 0, cw);
  const cl::TRect whole = cl::Rect(0, 0, cw, ch), buttonRect = cl::Rect(cw - a, 0, cw, ch);

  auto cell = NewWork(cw, ch);
  cl::TCanvas* cellCanvas = cell->Canvas();
  cellCanvas->Brush()->SetColor(kSkinKeyColor);
  for (int k = 1; k <= frames; ++k) {
    // Every cell starts from the key colour: the keyed parts of one frame must not show the last.
    cellCanvas->FillRect(whole);
    HDC dc = cellCanvas->Handle();
    if (sunk)
      DrawNineSlice(dc, whole, *sunk, false, false, strip.SunkEdgeTrans, strip.SunkEdgeFrames, k,
                    strip.SunkEdgeMargins);
    if (button)
      DrawNineSlice(dc, buttonRect, *button, false, false, true, strip.ButtonFrames, k, strip.SunkEdgeMargins);
    if (extra) DrawSkinFrameCentered(dc, buttonRect, *extra, true, strip.ExtraFrames, k);
    // The text area stays the control's own.
    cellCanvas->FillRect(cl::Rect(2, 2, cw - 1 - a, 18));
    BitBlt(DCOf(*result), cw * (k - 1), 0, cw, ch, cellCanvas->Handle(), 0, 0, SRCCOPY);
  }
  return result;
}

std::unique_ptr<cl::TBitmap> LoadSkinImage(const TSkinImage& image) {
  if (image.Empty()) return nullptr;
  std::unique_ptr<cl::TBitmap> whole;
  if (image.Combo) {
    whole = BuildComboStrip(*image.Combo);
  } else if (image.File) {
    whole = std::make_unique<cl::TBitmap>();
    cl::TMemoryStream stream(*image.File);
    try {
      whole->LoadFromStream(stream);
    } catch (const cl::EInvalidGraphic&) {
      return nullptr;  // pixel data the header check could not see to be damaged
    } catch (const cl::EStreamError&) {
      return nullptr;
    }
    whole->SetPixelFormat(cl::pf24bit);
  }
  if (!whole || whole->Empty()) return nullptr;
  const cl::TRect part =
      cl::Rect(std::clamp(image.Part.Left, 0, whole->Width()), std::clamp(image.Part.Top, 0, whole->Height()),
               std::clamp(image.Part.Right, 0, whole->Width()), std::clamp(image.Part.Bottom, 0, whole->Height()));
  if (part.IsEmpty()) return nullptr;
  std::unique_ptr<cl::TBitmap> result;
  if (part == cl::Rect(0, 0, whole->Width(), whole->Height())) {
    result = std::move(whole);
  } else {
    result = NewWork(part.Width(), part.Height());
    BitBlt(DCOf(*result), 0, 0, part.Width(), part.Height(), DCOf(*whole), part.Left, part.Top, SRCCOPY);
  }
  if (image.Mirrored) MirrorBitmap(*result);
  return result;
}

cl::TBitmap* SkinImageBitmap(TSkinImage& image) {
  if (auto* held = dynamic_cast<TWinSkinBitmap*>(image.Bitmap.get())) return &held->Bitmap;
  if (image.Empty()) return nullptr;
  auto loaded = LoadSkinImage(image);
  if (!loaded) {
    // A damaged picture: the image has no pixels, and painters skip it.
    image.File.reset();
    image.Combo.reset();
    image.Width = image.Height = 0;
    image.Part = {};
    image.Bitmap.reset();
    return nullptr;
  }
  auto held = std::make_shared<TWinSkinBitmap>();
  // Take the DIB section over without copying its pixels.
  held->Bitmap.SetHandle(loaded->ReleaseHandle());
  image.Bitmap = held;
  return &held->Bitmap;
}

}  // namespace skin
