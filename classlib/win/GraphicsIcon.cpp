// TIcon (icon files and handles) and TImageList.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "BmpFile.h"
#include "ByteOrder.h"
#include "Graphics.h"
#include "GraphicsSupport.h"
#include "SysUtils.h"
#include "WinString.h"

namespace cl {

using detail::MaskedBlt;
using detail::OutOfResources;
using detail::TTempDC;

// ---------------------------------------------------------------------------------------------------------
// TIcon.

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
  const uint64_t need = uint64_t{Le32(p)} + colors * 4ull + uint64_t(BmpStride(width, bits)) * height +
                        uint64_t(BmpStride(width, 1)) * height;
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
  std::string andBits(static_cast<size_t>(BmpStride(w, 1)) * h, '\0');
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
  std::string maskRows(static_cast<size_t>(BmpStride(w, 1)) * (color ? h : h * 2), '\0');
  GetDIBits(dc.Get(), mask.Get(), 0, color ? h : h * 2, maskRows.data(), reinterpret_cast<BITMAPINFO*>(&mono),
            DIB_RGB_COLORS);
  // Bottom-up rows: a monochrome icon's mask has its AND half on top, which is the second half here.
  andBits.assign(maskRows, color ? 0 : andBits.size(), andBits.size());
  if (!color) {
    const std::string xorMono = maskRows.substr(0, andBits.size());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool white = (xorMono[static_cast<size_t>(y) * BmpStride(w, 1) + (x >> 3)] >> (7 - (x & 7))) & 1;
        const bool opaque = !((andBits[static_cast<size_t>(y) * BmpStride(w, 1) + (x >> 3)] >> (7 - (x & 7))) & 1);
        char* px = xorBits.data() + (static_cast<size_t>(y) * w + x) * 4;
        px[0] = px[1] = px[2] = white ? '\xFF' : '\0';
        px[3] = opaque ? '\xFF' : '\0';
      }
  }
  std::string out;
  PutLe16(out, 0);
  PutLe16(out, 1);
  PutLe16(out, 1);
  out.push_back(static_cast<char>(w == 256 ? 0 : w));
  out.push_back(static_cast<char>(h == 256 ? 0 : h));
  out.push_back(0);
  out.push_back(0);
  PutLe16(out, 1);
  PutLe16(out, 32);
  PutLe32(out, static_cast<uint32_t>(40 + xorBits.size() + andBits.size()));
  PutLe32(out, 22);
  PutLe32(out, 40);
  PutLe32(out, static_cast<uint32_t>(w));
  PutLe32(out, static_cast<uint32_t>(h * 2));
  PutLe16(out, 1);
  PutLe16(out, 32);
  PutLe32(out, BI_RGB);
  PutLe32(out, static_cast<uint32_t>(xorBits.size() + andBits.size()));
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, 0);
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
