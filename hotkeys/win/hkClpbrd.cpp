#include "hkClpbrd.h"

#include <cstring>
#include <new>
#include <utility>

namespace hk {

namespace {

constexpr int kMinClipboards = 1;
constexpr int kMaxClipboards = 100;
constexpr int kInitialClipboards = 5;
constexpr char kBadCount[] = "Number of clipboards must be between 1 and 100";
constexpr char kCannotOpen[] = "Cannot open clipboard";
constexpr char kCannotSet[] = "Cannot set clipboard data";
constexpr char kOutOfMemory[] = "Out of memory";

// Tries to open the clipboard this often, with a short sleep in between (about 100 ms in all).
constexpr int kOpenAttempts = 6;
constexpr DWORD kOpenRetryMs = 20;

[[noreturn]] void OutOfMemory() { throw cl::EOutOfMemory(kOutOfMemory); }

// A global memory block that is freed unless released.
class TGlobalBlock {
 public:
  explicit TGlobalBlock(HGLOBAL h) noexcept : h_(h) {}
  ~TGlobalBlock() {
    if (h_) GlobalFree(h_);
  }
  TGlobalBlock(const TGlobalBlock&) = delete;
  TGlobalBlock& operator=(const TGlobalBlock&) = delete;
  HGLOBAL Get() const noexcept { return h_; }
  HGLOBAL Release() noexcept { return std::exchange(h_, nullptr); }

 private:
  HGLOBAL h_;
};

// Keeps a global memory block locked for the life of the object.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL h) noexcept : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
  ~TGlobalLock() {
    if (p_) GlobalUnlock(h_);
  }
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  void* Get() const noexcept { return p_; }

 private:
  HGLOBAL h_;
  void* p_;
};

// What kind of handle a format's data is; false for formats we cannot copy. Every format the system does
// not treat otherwise is a global memory block.
bool KindOf(UINT format, HANDLE data, TClipboardDataKind& kind) {
  switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP:
      kind = TClipboardDataKind::Bitmap;
      return true;
    case CF_PALETTE:
      kind = TClipboardDataKind::Palette;
      return true;
    case CF_METAFILEPICT:
    case CF_DSPMETAFILEPICT:
      kind = TClipboardDataKind::MetaFilePict;
      return true;
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
      kind = TClipboardDataKind::EnhMetaFile;
      return true;
    case CF_OWNERDISPLAY:  // drawn by the owner on request: no data of its own
      return false;
    default:
      break;
  }
  // Private formats carry handles only their owner understands.
  if (format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST) return false;
  if (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST) {
    switch (GetObjectType(data)) {
      case OBJ_BITMAP:
        kind = TClipboardDataKind::Bitmap;
        return true;
      case OBJ_PAL:
        kind = TClipboardDataKind::Palette;
        return true;
      case OBJ_ENHMETAFILE:
        kind = TClipboardDataKind::EnhMetaFile;
        return true;
      default:
        return false;
    }
  }
  kind = TClipboardDataKind::Memory;
  return true;
}

HGLOBAL CopyMemoryBlock(HGLOBAL source, SIZE_T& size) {
  size = GlobalSize(source);
  if (size == 0) return nullptr;  // not a (live) memory block
  TGlobalLock from(source);
  if (!from.Get()) return nullptr;
  TGlobalBlock copy(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
  if (!copy.Get()) OutOfMemory();
  TGlobalLock to(copy.Get());
  if (!to.Get()) OutOfMemory();
  std::memcpy(to.Get(), from.Get(), size);
  return copy.Release();
}

HGLOBAL CopyMetaFilePict(HGLOBAL source) {
  if (GlobalSize(source) < sizeof(METAFILEPICT)) return nullptr;
  METAFILEPICT pict{};
  {
    TGlobalLock from(source);
    if (!from.Get()) return nullptr;
    std::memcpy(&pict, from.Get(), sizeof(pict));
  }
  if (!pict.hMF) return nullptr;
  TGlobalBlock copy(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT)));
  if (!copy.Get()) OutOfMemory();
  pict.hMF = CopyMetaFileW(pict.hMF, nullptr);
  if (!pict.hMF) OutOfMemory();
  TGlobalLock to(copy.Get());
  if (!to.Get()) {
    DeleteMetaFile(pict.hMF);
    OutOfMemory();
  }
  std::memcpy(to.Get(), &pict, sizeof(pict));
  return copy.Release();
}

HBITMAP CopyBitmap(HBITMAP source) {
  BITMAP info{};
  if (!GetObjectW(source, sizeof(info), &info)) return nullptr;
  auto copy = static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, 0));
  if (!copy) OutOfMemory();
  return copy;
}

HPALETTE CopyPalette(HPALETTE source) {
  if (GetPaletteEntries(source, 0, 0, nullptr) == 0) return nullptr;
  HPALETTE copy = cl::CopyPalette(source);
  if (!copy) OutOfMemory();
  return copy;
}

void FreeData(TClipboardDataKind kind, HANDLE handle) noexcept {
  switch (kind) {
    case TClipboardDataKind::Memory:
      GlobalFree(handle);
      break;
    case TClipboardDataKind::MetaFilePict: {
      {
        TGlobalLock pict(handle);
        if (pict.Get()) {
          METAFILEPICT p;
          std::memcpy(&p, pict.Get(), sizeof(p));
          if (p.hMF) DeleteMetaFile(p.hMF);
        }
      }
      GlobalFree(handle);
      break;
    }
    case TClipboardDataKind::EnhMetaFile:
      DeleteEnhMetaFile(static_cast<HENHMETAFILE>(handle));
      break;
    case TClipboardDataKind::Bitmap:
    case TClipboardDataKind::Palette:
      DeleteObject(handle);
      break;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TClipboardData.

TClipboardData::TClipboardData(UINT format, TClipboardDataKind kind, HANDLE handle, SIZE_T size) noexcept
    : format_(format), kind_(kind), handle_(handle), size_(size) {}

TClipboardData::~TClipboardData() {
  if (handle_) FreeData(kind_, handle_);
}

HANDLE TClipboardData::Release() noexcept { return std::exchange(handle_, nullptr); }

std::unique_ptr<TClipboardData> TClipboardData::Copy(UINT format, HANDLE data) {
  TClipboardDataKind kind;
  if (!data || !KindOf(format, data, kind)) return nullptr;
  HANDLE copy = nullptr;
  SIZE_T size = 0;
  switch (kind) {
    case TClipboardDataKind::Memory:
      copy = CopyMemoryBlock(data, size);
      break;
    case TClipboardDataKind::MetaFilePict:
      copy = CopyMetaFilePict(data);
      size = copy ? sizeof(METAFILEPICT) : 0;
      break;
    case TClipboardDataKind::EnhMetaFile:
      copy = CopyEnhMetaFileW(static_cast<HENHMETAFILE>(data), nullptr);
      if (!copy) OutOfMemory();
      break;
    case TClipboardDataKind::Bitmap:
      copy = CopyBitmap(static_cast<HBITMAP>(data));
      break;
    case TClipboardDataKind::Palette:
      copy = CopyPalette(static_cast<HPALETTE>(data));
      break;
  }
  if (!copy) return nullptr;
  // Own the copy at once, so that a failing allocation of the object frees it.
  struct Guard {
    TClipboardDataKind kind;
    HANDLE h;
    ~Guard() {
      if (h) FreeData(kind, h);
    }
  } guard{kind, copy};
  auto result = std::make_unique<TClipboardData>(format, kind, copy, size);
  guard.h = nullptr;
  return result;
}

// ---------------------------------------------------------------------------------------------------------
// TClipboardOpen.

TClipboardOpen::TClipboardOpen() {
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    if (attempt > 0) Sleep(kOpenRetryMs);
    if (OpenClipboard(nullptr)) {
      open_ = true;
      return;
    }
  }
}

TClipboardOpen::~TClipboardOpen() {
  if (open_) CloseClipboard();
}

// ---------------------------------------------------------------------------------------------------------
// TClipboardHistory.

TClipboardHistory::~TClipboardHistory() { Clear(true); }

void TClipboardHistory::Clear(bool freeMemory) {
  if (!freeMemory)
    for (auto& item : items_) item->Release();
  items_.clear();
}

std::unique_ptr<TClipboardData> TClipboardHistory::CopyFormat(UINT format) {
  return TClipboardData::Copy(format, GetClipboardData(format));
}

void TClipboardHistory::SaveFromClipboard() {
  std::vector<std::unique_ptr<TClipboardData>> items;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
    if (auto data = CopyFormat(format)) items.push_back(std::move(data));
  items_.swap(items);  // the old contents are freed with items
}

bool TClipboardHistory::RestoreToClipboard() {
  if (!EmptyClipboard()) return false;
  size_t given = 0;
  for (; given < items_.size(); ++given) {
    TClipboardData& item = *items_[given];
    if (!SetClipboardData(item.Format(), item.Handle())) break;
    item.Release();
  }
  if (given == items_.size()) {
    items_.clear();
    return true;
  }
  // The clipboard still holds what it took: copy that back before emptying it, so the history keeps
  // every format.
  for (size_t i = 0; i < given; ++i) {
    const UINT format = items_[i]->Format();
    std::unique_ptr<TClipboardData> back;
    try {
      back = CopyFormat(format);
    } catch (const std::exception&) {
      // No memory even for that: this format is lost, the others are kept.
    }
    if (back) items_[i] = std::move(back);
  }
  EmptyClipboard();
  std::erase_if(items_, [](const auto& item) { return item->Handle() == nullptr; });
  return false;
}

// ---------------------------------------------------------------------------------------------------------
// TClipboards.

TClipboards::TClipboards() { Resize(kInitialClipboards); }

TClipboards::~TClipboards() = default;

void TClipboards::SetCount(int count) {
  if (count == Count()) return;
  Resize(count);
}

void TClipboards::Resize(int count) {
  if (count < kMinClipboards || count > kMaxClipboards) throw EClipboardError(kBadCount);
  // The new current one goes into the system clipboard first, so a failure leaves the count alone.
  if (current_ >= count) Switch(count - 1, false, true);
  while (Count() > count) histories_.pop_back();
  while (Count() < count) histories_.push_back(std::make_unique<TClipboardHistory>());
}

bool TClipboards::SelectClipboard(int index, bool raiseOnError) {
  if (index == current_) return true;
  if (index < 0 || index >= Count()) {
    if (raiseOnError) throw EClipboardError(std::to_string(index) + " is not a valid clipboard");
    index = 0;
    if (index == current_) return true;
  }
  return Switch(index, true, raiseOnError);
}

bool TClipboards::Switch(int index, bool save, bool raiseOnError) {
  try {
    TClipboardOpen open;
    if (!open) throw EClipboardError(kCannotOpen);
    TClipboardHistory snapshot;
    if (save) snapshot.SaveFromClipboard();
    TClipboardHistory& target = *histories_[static_cast<size_t>(index)];
    if (!target.RestoreToClipboard()) {
      // The target keeps its contents; put the system clipboard's own back. Should even that fail, the
      // snapshot stays with the current clipboard, so nothing is lost.
      if (save && !snapshot.RestoreToClipboard() && current_ >= 0 && current_ < Count())
        histories_[static_cast<size_t>(current_)]->Swap(snapshot);
      throw EClipboardError(kCannotSet);
    }
    if (save) histories_[static_cast<size_t>(current_)]->Swap(snapshot);
    current_ = index;
    return true;
  } catch (const EClipboardError&) {
    if (raiseOnError) throw;
  } catch (const cl::EOutOfMemory&) {
    if (raiseOnError) throw;
  } catch (const std::bad_alloc&) {
    if (raiseOnError) throw;
  }
  return false;
}

bool TClipboards::ClipboardHasData() { return CountClipboardFormats() > 0; }

// ---------------------------------------------------------------------------------------------------------
// The tray picture.

void DrawClipboardNumber(cl::TCanvas& canvas, int width, int height, const std::string& text, bool hasData) {
  cl::TFont& font = *canvas.Font();
  font.SetName("Small Fonts");
  font.SetSize(6);
  font.SetColor(cl::clWhite);
  canvas.Brush()->SetColor(hasData ? cl::clBlue : cl::clNavy);
  canvas.Brush()->SetStyle(cl::bsSolid);
  canvas.Pen()->SetStyle(cl::psClear);
  const cl::TSize extent = canvas.TextExtent(text);
  const int w = extent.cx;
  const int h = extent.cy;
  // Runs off the bottom right corner, so the number sits in the corner.
  Ellipse(canvas.Handle(), width - w - 3, height - h - 1, width + 1, height + 1);
  canvas.Brush()->SetStyle(cl::bsClear);
  canvas.TextOut(width - ((w + 3) / 2) - (w / 2) - 1, height - h, text);
  canvas.Brush()->SetStyle(cl::bsSolid);
}

std::unique_ptr<cl::TIcon> CreateClipboardIcon(cl::TBitmap& base, int number, bool hasData) {
  const int width = base.Width();
  const int height = base.Height();
  const std::string text = std::to_string(number);

  cl::TBitmap picture;
  picture.Assign(&base);
  picture.SetTransparent(false);
  const cl::TColor key = picture.Canvas()->Pixels(0, 0);

  // First pass: the opaque picture with the number, from which the mask is made.
  cl::TBitmap color;
  color.SetPixelFormat(cl::pf24bit);
  color.SetSize(width, height);
  color.Canvas()->Draw(0, 0, &picture);
  DrawClipboardNumber(*color.Canvas(), width, height, text, hasData);
  cl::TBitmap mask;
  mask.Assign(&color);
  mask.Mask(key);  // white (transparent) where the key colour is

  // Second pass: black under the transparent pixels, as the icon's colour image needs.
  color.Canvas()->Brush()->SetColor(cl::clBlack);
  color.Canvas()->Brush()->SetStyle(cl::bsSolid);
  color.Canvas()->FillRect(cl::TRect{0, 0, width, height});
  picture.SetTransparentColor(key);
  picture.SetTransparent(true);
  color.Canvas()->Draw(0, 0, &picture);
  DrawClipboardNumber(*color.Canvas(), width, height, text, hasData);

  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask.Handle();
  info.hbmColor = color.Handle();
  HICON icon = CreateIconIndirect(&info);
  if (!icon) throw cl::EOutOfResources("Out of system resources");
  auto result = std::make_unique<cl::TIcon>();
  result->SetHandle(icon);
  return result;
}

std::unique_ptr<cl::TIcon> CreateClipboardIcon(HICON base, int number, bool hasData) {
  // The icon is drawn over a colour it does not use; that colour then marks its transparent pixels.
  constexpr cl::TColor kKey = cl::clFuchsia;
  int width = 16;
  int height = 16;
  ICONINFO info{};
  if (base && GetIconInfo(base, &info)) {
    cl::TBitmapHandle maskBits(info.hbmMask);
    cl::TBitmapHandle colorBits(info.hbmColor);
    BITMAP bm{};
    if (GetObjectW(info.hbmMask, sizeof(bm), &bm)) {
      width = bm.bmWidth;
      height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    }
  }
  cl::TBitmap picture;
  picture.SetPixelFormat(cl::pf24bit);
  picture.SetSize(width, height);
  cl::TCanvas& canvas = *picture.Canvas();
  canvas.Brush()->SetColor(kKey);
  canvas.Brush()->SetStyle(cl::bsSolid);
  canvas.FillRect(cl::TRect{0, 0, width, height});
  if (base) DrawIconEx(canvas.Handle(), 0, 0, base, width, height, 0, nullptr, DI_NORMAL);
  return CreateClipboardIcon(picture, number, hasData);
}

}  // namespace hk
