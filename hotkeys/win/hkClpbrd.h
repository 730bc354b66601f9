// The virtual clipboards: one is current and lives in the system clipboard, each other one is a private
// copy of every format the system clipboard held when the user last switched away from it. Also the tray
// icon's picture that shows the current clipboard's number.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "SysUtils.h"

namespace hk {

using cl::Exception;  // CL_DECLARE_EXCEPTION names its base unqualified
CL_DECLARE_EXCEPTION(EClipboardError, Exception)

// How a saved format holds its data. The system frees each kind in its own way, so each is copied in its
// own way: memory blocks as memory, metafiles and enhanced metafiles with the metafile copy functions,
// bitmaps and palettes as new GDI objects.
enum class TClipboardDataKind { Memory, MetaFilePict, EnhMetaFile, Bitmap, Palette };

// One saved clipboard format: a private copy of its data, freed with the object unless it was handed
// over to the system clipboard.
class TClipboardData : public cl::TObject {
  CL_PLAIN_CLASS(TClipboardData, cl::TObject)
  TClipboardData(UINT format, TClipboardDataKind kind, HANDLE handle, SIZE_T size) noexcept;
  ~TClipboardData() override;

  // Copies data, which the clipboard gave for format. nullptr when there is nothing to copy (no data, or
  // a format whose handle only its owner understands); cl::EOutOfMemory when the copy cannot be made.
  static std::unique_ptr<TClipboardData> Copy(UINT format, HANDLE data);

  UINT Format() const noexcept { return format_; }
  TClipboardDataKind Kind() const noexcept { return kind_; }
  // Bytes of a memory block (0 for the GDI kinds).
  SIZE_T Size() const noexcept { return size_; }
  HANDLE Handle() const noexcept { return handle_; }
  // Gives the data up (to the system clipboard); the object no longer frees it.
  HANDLE Release() noexcept;

 private:
  UINT format_;
  TClipboardDataKind kind_;
  HANDLE handle_;
  SIZE_T size_;
};

// Opens the system clipboard (no owner window) for the life of the object and closes it on every way out.
// Another program may hold it open for a moment, so opening is tried a few times over about 100 ms.
class TClipboardOpen {
 public:
  TClipboardOpen();
  ~TClipboardOpen();
  TClipboardOpen(const TClipboardOpen&) = delete;
  TClipboardOpen& operator=(const TClipboardOpen&) = delete;
  explicit operator bool() const noexcept { return open_; }

 private:
  bool open_ = false;
};

// One virtual clipboard's saved contents, in the order the system clipboard listed its formats.
class TClipboardHistory : public cl::TObject {
  CL_PLAIN_CLASS(TClipboardHistory, cl::TObject)
  TClipboardHistory() = default;
  ~TClipboardHistory() override;

  // Frees every entry; without freeMemory the entries' data is left alone (the caller has handed it on).
  void Clear(bool freeMemory = true);
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  bool Empty() const noexcept { return items_.empty(); }
  const TClipboardData& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  void Swap(TClipboardHistory& other) noexcept { items_.swap(other.items_); }

  // The next three need the clipboard opened by the caller (TClipboardOpen).
  // A copy of the format's data in the clipboard, or nullptr when it has none we can copy.
  std::unique_ptr<TClipboardData> CopyFormat(UINT format);
  // Replaces the contents with a copy of every format of the clipboard. Running out of memory throws
  // (cl::EOutOfMemory or std::bad_alloc) and leaves the contents as they were.
  void SaveFromClipboard();
  // Empties the clipboard and hands every entry to it; the history is then empty. When the clipboard
  // refuses an entry, the entries already handed over are copied back, the clipboard is emptied, the
  // history keeps everything, and the result is false.
  bool RestoreToClipboard();

 private:
  std::vector<std::unique_ptr<TClipboardData>> items_;
};

// The virtual clipboards: 1 to 100 of them (5 at first), index 0 is clipboard number 1.
class TClipboards : public cl::TObject {
  CL_PLAIN_CLASS(TClipboards, cl::TObject)
  TClipboards();
  // Frees every saved copy; the system clipboard keeps what it holds.
  ~TClipboards() override;

  int Count() const noexcept { return static_cast<int>(histories_.size()); }
  int GetCount() const noexcept { return Count(); }
  // Nothing happens for the present count; outside 1..100 raises EClipboardError.
  void SetCount(int count);
  // Frees clipboards from the end or appends empty ones. When the current one is cut off, the last one
  // left becomes current and the system clipboard's contents are dropped. EClipboardError for a count
  // outside 1..100, or when the clipboard cannot be opened (the count then stays as it was).
  void Resize(int count);
  // Makes clipboard index current: the system clipboard's contents are saved in the current one and
  // replaced by the contents of index. All or nothing: when the clipboard cannot be opened or memory
  // runs out, nothing changes and the result is false (with raiseOnError: EClipboardError, or the memory
  // exception). An index outside the clipboards raises with raiseOnError and selects clipboard 0 without.
  bool SelectClipboard(int index, bool raiseOnError);
  int Current() const noexcept { return current_; }
  const TClipboardHistory& History(int index) const { return *histories_.at(static_cast<size_t>(index)); }

  // Whether the system clipboard holds any format.
  static bool ClipboardHasData();

 private:
  // Saves the system clipboard into the current clipboard when save is set, then restores index.
  bool Switch(int index, bool save, bool raiseOnError);

  std::vector<std::unique_ptr<TClipboardHistory>> histories_;
  int current_ = 0;
};

// The tray picture: text (the clipboard number) in white "Small Fonts" on a small ellipse in the bottom
// right corner of a width x height picture, blue when the system clipboard holds data, navy when it is
// empty.
void DrawClipboardNumber(cl::TCanvas& canvas, int width, int height, const std::string& text, bool hasData);

// The tray icon for clipboard number (1-based) drawn on base. Pixels of the colour of base's top-left
// pixel are transparent in the icon; the number's ellipse is opaque.
std::unique_ptr<cl::TIcon> CreateClipboardIcon(cl::TBitmap& base, int number, bool hasData);
// The same on an icon (the program's 16 x 16 tray icon): its transparent pixels stay transparent.
std::unique_ptr<cl::TIcon> CreateClipboardIcon(HICON base, int number, bool hasData);

}  // namespace hk
