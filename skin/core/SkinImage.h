// A skin image as the skin description knows it: where its pixels come from and how large it is.
//
// The description is read by portable code, but pixels are a drawing matter. So an image here is a
// recipe: the bytes of a Windows bitmap file from the skin package (kept as they are, shared between
// every image that names the same entry), optionally a part of it or mirrored, or the composed
// combo-box strip. Width and Height are known at once (from the file's header), which is all the
// reading itself needs. The drawing side turns each recipe into a real bitmap once and keeps it in
// the image's Bitmap slot; it may also put a bitmap of its own there (a window icon, for instance).
//
// An image is empty when it has no pixels (Width or Height 0); painters draw nothing of it.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Types.h"

namespace skin {

// Base of whatever the drawing side hangs on an image (a DIB section, say).
class TSkinBitmap {
 public:
  virtual ~TSkinBitmap() = default;
};

// What the header of a Windows bitmap file says, for files we accept.
struct TBmpInfo {
  int Width = 0;
  int Height = 0;      // always positive; TopDown tells the row order
  int BitCount = 0;    // 1, 4, 8, 16, 24 or 32
  uint32_t Compression = 0;
  bool TopDown = false;
};

// Largest width or height, and number of pixels, of an image we take from a skin: far above any real
// skin image, low enough that a few bytes of hostile run-length data cannot ask for gigabytes.
constexpr int kMaxSkinImageSide = 16384;
constexpr int64_t kMaxSkinImagePixels = 16 * 1024 * 1024;

// Checks that `bytes` is a Windows bitmap file we can draw (file header "BM", an info header of a known
// size, one plane, a known bit count and compression, the pixel rows inside the file for uncompressed
// data, the size within the limits above) and returns its header facts; nullopt otherwise.
std::optional<TBmpInfo> ProbeBmp(std::string_view bytes);

struct TComboStrip;

struct TSkinImage {
  // The package entry the pixels come from (the file-name part of the description's value); kept even
  // when the package has no such entry or it is not a bitmap, so a dump can say what was asked for.
  std::string Name;
  // The entry's bytes, a bitmap file that ProbeBmp accepted; null when the image is empty or composed.
  std::shared_ptr<const std::string> File;
  // The part of the file's picture that this image shows, in top-down pixel coordinates.
  cl::TRect Part;
  // Left and right exchanged as a whole (the frame order of a strip reverses too), 24 bits per pixel.
  bool Mirrored = false;
  // Set instead of File for the combo-box strips.
  std::shared_ptr<const TComboStrip> Combo;
  int Width = 0;
  int Height = 0;
  // Filled by the drawing side.
  std::shared_ptr<TSkinBitmap> Bitmap;

  bool Empty() const { return Width <= 0 || Height <= 0; }
  // Back to no image at all (the name goes too).
  void Clear() { *this = TSkinImage(); }
  // Takes the whole picture of a bitmap file that ProbeBmp accepted.
  void AssignFile(std::string name, std::shared_ptr<const std::string> file, const TBmpInfo& info);
  // A copy showing only `part` of this image (clipped to it); no bitmap of its own yet.
  TSkinImage Section(const cl::TRect& part) const;
  // A copy mirrored left to right; no bitmap of its own yet.
  TSkinImage MirroredCopy() const;
};

// The combo-box look composed from three elements of a skin: Frames cells of CellWidth by CellHeight
// side by side. Cell k (1-based) is SunkEdge frame k of SunkEdgeFrames drawn nine-slice over the whole
// cell (with SunkEdgeMargins, not tiled, colour-keyed when SunkEdgeTrans is 1); Button frame k of
// ButtonFrames drawn nine-slice into the button rectangle (CellWidth - ButtonWidth, 0, CellWidth,
// CellHeight), always colour-keyed; when HasExtra, Extra frame k of ExtraFrames drawn centred in the
// button rectangle, colour-keyed; then the text area (2, 2, CellWidth - 1 - ButtonWidth, 18) and the
// rest of the strip are the key colour $FF00FF.
struct TComboStrip {
  static constexpr int CellWidth = 50;
  static constexpr int CellHeight = 21;
  int Frames = 0;
  int ButtonWidth = 0;
  TSkinImage SunkEdge;
  cl::TRect SunkEdgeMargins;
  int SunkEdgeFrames = 1;
  bool SunkEdgeTrans = false;
  TSkinImage Button;
  int ButtonFrames = 1;
  bool HasExtra = false;
  TSkinImage Extra;
  int ExtraFrames = 1;
};

}  // namespace skin
