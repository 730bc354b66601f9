// Drawing: fonts, pens and brushes, the canvas on a device context, bitmaps, icons and image lists.
// Every GDI object is owned by exactly one object of this library and freed with it.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BmpFile.h"
#include "Classes.h"
#include "Colors.h"
#include "Streams.h"
#include "Types.h"

namespace cl {

// EInvalidGraphic: BmpFile.h.
CL_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
// The system refused a handle (GDI object, timer): "Out of system resources" and the like.
CL_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory)

// ---------------------------------------------------------------------------------------------------------
// Handle owners.

namespace detail {
// Counts the handles held by TGdiOwner objects; leak tests compare it before and after.
void CountGdiHandle(int delta) noexcept;
inline void FreeGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }
inline void FreeDC(HDC dc) noexcept { DeleteDC(dc); }
inline void FreeIcon(HICON icon) noexcept { DestroyIcon(icon); }
inline void FreeImageList(HIMAGELIST list) noexcept { ImageList_Destroy(list); }
}  // namespace detail

// The number of GDI and icon handles the library holds at the moment.
long GdiHandlesHeld() noexcept;

// Owns one handle and frees it with the function Free.
template <class H, void (*Free)(H)>
class TGdiOwner {
 public:
  TGdiOwner() = default;
  explicit TGdiOwner(H handle) noexcept : h_(handle) {
    if (h_) detail::CountGdiHandle(1);
  }
  ~TGdiOwner() { Reset(); }
  TGdiOwner(TGdiOwner&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
  TGdiOwner& operator=(TGdiOwner&& other) noexcept {
    if (this != &other) {
      Reset();
      h_ = other.h_;
      other.h_ = nullptr;
    }
    return *this;
  }
  TGdiOwner(const TGdiOwner&) = delete;
  TGdiOwner& operator=(const TGdiOwner&) = delete;

  H Get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != nullptr; }
  // Frees the handle held, then holds `handle`.
  void Reset(H handle = nullptr) noexcept {
    if (h_) {
      Free(h_);
      detail::CountGdiHandle(-1);
    }
    h_ = handle;
    if (h_) detail::CountGdiHandle(1);
  }
  // Gives the handle up to the caller.
  H Release() noexcept {
    H h = h_;
    if (h_) detail::CountGdiHandle(-1);
    h_ = nullptr;
    return h;
  }

 private:
  H h_ = nullptr;
};

template <class H>
void FreeGdi(H handle) noexcept {
  detail::FreeGdiObject(handle);
}
using TFontHandle = TGdiOwner<HFONT, &FreeGdi<HFONT>>;
using TPenHandle = TGdiOwner<HPEN, &FreeGdi<HPEN>>;
using TBrushHandle = TGdiOwner<HBRUSH, &FreeGdi<HBRUSH>>;
using TBitmapHandle = TGdiOwner<HBITMAP, &FreeGdi<HBITMAP>>;
using TRegionHandle = TGdiOwner<HRGN, &FreeGdi<HRGN>>;
using TPaletteHandle = TGdiOwner<HPALETTE, &FreeGdi<HPALETTE>>;
using TDCHandle = TGdiOwner<HDC, &detail::FreeDC>;
using TIconHandle = TGdiOwner<HICON, &detail::FreeIcon>;
using TImageListHandle = TGdiOwner<HIMAGELIST, &detail::FreeImageList>;

class TCanvas;

// ---------------------------------------------------------------------------------------------------------
// Fonts, pens and brushes: properties, with the GDI object made from them on first use.

class TGraphicsObject : public TPersistent {
  CL_PLAIN_CLASS(TGraphicsObject, TPersistent)
  TNotifyEvent OnChange;

 protected:
  // Before a property changes: the canvas that has the object selected lets go of it, and with
  // dropHandle the GDI object made from the old properties is freed.
  void Changing(bool dropHandle = true);
  void Changed() { OnChange(this); }
  virtual void DropHandle() noexcept = 0;

 private:
  friend class TCanvas;
  TCanvas* canvas_ = nullptr;  // the canvas that owns this object, if any
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

// Height is in pixels (negative: the character height without internal leading, as CreateFont takes it);
// Size is in points at the screen's resolution.
class TFont : public TGraphicsObject {
  CL_CLASS(TFont, TGraphicsObject)
  TFont();
  ~TFont() override;
  void Assign(const TPersistent* source) override;

  HFONT Handle();
  // Takes ownership of font; the properties are read from it.
  void SetHandle(HFONT font);

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  int Height() const { return height_; }
  void SetHeight(int height);
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t charset);

  // The resolution Size converts with (the screen's vertical pixels per inch).
  static int PixelsPerInch();

 protected:
  void DropHandle() noexcept override { handle_.Reset(); }

 private:
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TFontStyles style_;
  TColor color_ = clWindowText;
  uint8_t charset_ = DEFAULT_CHARSET;
  TFontHandle handle_;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
  CL_CLASS(TPen, TGraphicsObject)
  TPen();
  ~TPen() override;
  void Assign(const TPersistent* source) override;

  HPEN Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);

 protected:
  void DropHandle() noexcept override { handle_.Reset(); }

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenHandle handle_;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
  CL_CLASS(TBrush, TGraphicsObject)
  TBrush();
  ~TBrush() override;
  void Assign(const TPersistent* source) override;

  HBRUSH Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);

 protected:
  void DropHandle() noexcept override { handle_.Reset(); }

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBrushHandle handle_;
};

// ---------------------------------------------------------------------------------------------------------
// Pictures.

// A picture that a canvas can draw: bitmap or icon.
class TGraphic : public TPersistent {
  CL_PLAIN_CLASS(TGraphic, TPersistent)
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);

  // Reads the picture's file format from the stream's position; bad data raises EInvalidGraphic and
  // leaves the picture as it was. Writing an empty picture writes nothing.
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  // Draws the picture into rect (stretched to its size).
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
  void Changed() { OnChange(this); }

  bool transparent_ = false;
};

// ---------------------------------------------------------------------------------------------------------
// The canvas: drawing on a device context with its own font, pen and brush.

class TCanvas : public TPersistent {
  CL_PLAIN_CLASS(TCanvas, TPersistent)
  TCanvas();
  ~TCanvas() override;

  // The device context with the canvas's font, pen and brush selected into it. A canvas bound to no
  // context raises EInvalidOperation "Canvas does not allow drawing".
  HDC Handle();
  bool HandleAllocated() const { return dc_ != nullptr; }
  // Binds the canvas to a context it borrows (nullptr unbinds). The font, pen and brush are selected out
  // of the previous context first.
  void SetHandle(HDC dc);
  // Binds the canvas to a context it owns: release frees it once the canvas lets go of it.
  void SetHandle(HDC dc, std::function<void(HDC)> release);
  // Selects the font, pen and brush out of the context, so plain GDI calls see the context's defaults;
  // they are selected again by the next drawing.
  void Refresh();

  TFont* Font() { return font_.get(); }
  TPen* Pen() { return pen_.get(); }
  TBrush* Brush() { return brush_.get(); }
  void SetFont(const TFont* font) { font_->Assign(font); }
  void SetPen(const TPen* pen) { pen_->Assign(pen); }
  void SetBrush(const TBrush* brush) { brush_->Assign(brush); }
  // The raster operation of CopyRect and bitmap drawing (SRCCOPY by default).
  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD rop) { copyMode_ = rop; }

  TPoint PenPos();
  void SetPenPos(const TPoint& p) { MoveTo(p.X, p.Y); }
  void MoveTo(int x, int y);
  void LineTo(int x, int y);

  // With the brush.
  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  // Outlined with the pen, filled with the brush.
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void DrawFocusRect(const TRect& rect);

  // Text in the font; its background is the brush's colour unless the brush style is bsClear.
  // (<windows.h> renames TextOut to TextOutW wherever this header is seen, consistently.)
  void TextOut(int x, int y, std::string_view text);
  // Text at (x, y) clipped to rect; a solid brush also fills rect.
  void TextRect(const TRect& rect, int x, int y, std::string_view text);
  TSize TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }

  // Pictures at their own size / stretched into rect; a null or empty picture draws nothing.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  // Copies source's part of canvas into dest (stretched) with the copy mode.
  void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);

  // clNone for a pixel outside the context's clipping region.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

 protected:
  // Called when the canvas needs its context: a canvas that makes its own context binds it here.
  virtual void HandleNeeded() {}

 private:
  enum Parts : unsigned { kFont = 1, kPen = 2, kBrush = 4 };
  HDC Require(unsigned parts);
  void Deselect(unsigned parts) noexcept;
  void Unbind() noexcept;
  friend class TGraphicsObject;
  void ObjectChanging(TGraphicsObject* object) noexcept;

  HDC dc_ = nullptr;
  std::function<void(HDC)> release_;
  unsigned selected_ = 0;
  DWORD copyMode_ = SRCCOPY;
  TPoint penPos_;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
};

// ---------------------------------------------------------------------------------------------------------
// Bitmaps: always a DIB section, so the pixels can be reached row by row.

enum TPixelFormat { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

// A new logical palette with the same entries; null for null or an empty one.
HPALETTE CopyPalette(HPALETTE palette);

class TBitmap : public TGraphic {
  CL_PLAIN_CLASS(TBitmap, TGraphic)
  TBitmap();
  ~TBitmap() override;
  // Copies another bitmap's pixels, format and transparency; nullptr empties this one.
  void Assign(const TPersistent* source) override;

  // A canvas drawing on the bitmap. Its context stays the same for the bitmap's life, so settings made
  // on it (stretch mode) hold across size and format changes.
  TCanvas* Canvas();

  bool Empty() const override { return !image_.dib; }
  int Width() const override { return image_.width; }
  int Height() const override { return image_.height; }
  void SetWidth(int width) override { SetSize(width, image_.height); }
  void SetHeight(int height) override { SetSize(image_.width, height); }
  // Keeps the pixels of the common top-left part; new pixels are white. Negative sizes count as 0.
  void SetSize(int width, int height);
  TPixelFormat PixelFormat() const { return image_.format; }
  // Converts the pixels (to the nearest colour of the new format).
  void SetPixelFormat(TPixelFormat format);

  // Row y of the pixels (0 = top), BytesPerScanLine() bytes: 1/4/8-bit palette indices (high bits
  // first), 24-bit blue-green-red, or 32-bit blue-green-red-x. EInvalidGraphicOperation "Scan line index
  // out of range" for a bad row.
  void* ScanLine(int row);
  int BytesPerScanLine() const { return image_.stride; }

  // The DIB section. It is taken out of the canvas's context, so it may be selected elsewhere; the
  // canvas takes it back on its next drawing. Null when empty.
  HBITMAP Handle();
  // Takes ownership of bitmap (any kind: it is converted to a DIB section when need be).
  void SetHandle(HBITMAP bitmap);
  // Gives the DIB section to the caller, who must free it; the bitmap becomes empty.
  HBITMAP ReleaseHandle();

  // The logical palette to draw the bitmap with on a palette display: the one given to SetPalette, else
  // for a 1/4/8-bit bitmap one of its colour table's colours; null for a 24/32-bit bitmap without one.
  // The bitmap keeps it.
  HPALETTE Palette();
  // Takes ownership of palette (null: none); the pixels stay as they are.
  void SetPalette(HPALETTE palette);

  // Transparent drawing leaves out the pixels of TransparentColor: in tmAuto the colour of the
  // bottom-left pixel, in tmFixed the colour set. Setting a colour switches to tmFixed.
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  // Turns the bitmap into its mask for color: 1 bit per pixel, white where the pixel had that colour,
  // black elsewhere.
  void Mask(TColor color);

  // Reads a BMP file as ReadBmp does (BmpFile.h): headers whose sizes or offsets do not fit the data raise
  // EInvalidGraphic "Bitmap image is not valid" and leave the bitmap as it was; an empty stream gives an
  // empty bitmap.
  void LoadFromStream(TStream& stream) override;
  // Writes a BMP file: file header, 40-byte info header, colour table, bottom-up rows.
  void SaveToStream(TStream& stream) override;
  // A bitmap resource of a module; EResNotFound "Resource %s not found" when there is none.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

 protected:
  void Draw(TCanvas& canvas, const TRect& rect) override;

 private:
  friend class TBitmapCanvas;
  // A DIB section and what is known of it; TBitmap holds one and builds the next one aside.
  struct Image {
    TBitmapHandle dib;
    uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    TPixelFormat format = pf24bit;
    std::vector<RGBQUAD> palette;
  };
  void Adopt(Image&& image);
  void AdoptRows(const TBmpImage& file, std::vector<RGBQUAD> palette);
  void AdoptDecoded(const TBmpImage& file, std::vector<RGBQUAD> palette);
  Image MakeImage(int width, int height, TPixelFormat format, std::vector<RGBQUAD> palette) const;
  TColor PixelColor(int x, int y) const;
  TBitmapHandle MakeMask(TColor color) const;
  void DeselectFromCanvas() noexcept;
  HDC MemoryDC();

  Image image_;
  TPaletteHandle palette_;       // given by SetPalette
  TPaletteHandle tablePalette_;  // made from the colour table; goes with the image
  TTransparentMode transparentMode_ = tmAuto;
  TColor transparentColor_ = clDefault;
  std::unique_ptr<TBitmapCanvas> canvas_;
};

// ---------------------------------------------------------------------------------------------------------
// Icons.

class TIcon : public TGraphic {
  CL_PLAIN_CLASS(TIcon, TGraphic)
  TIcon();
  ~TIcon() override;
  // Copies another icon (its image and file data).
  void Assign(const TPersistent* source) override;

  bool Empty() const override { return !handle_; }
  // The size of the icon held (0 when empty).
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // The size wanted from the next icon file or resource read (the image nearest it is taken); 0 means
  // the system's icon size. The icon held keeps its own size.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  void SetSize(int width, int height);

  HICON Handle() const { return handle_.Get(); }
  // Takes ownership of icon.
  void SetHandle(HICON icon);
  // Gives the icon to the caller, who must destroy it; the icon becomes empty.
  HICON ReleaseHandle();

  // Reads an .ico file and takes the image nearest the wanted size; bad data raises EInvalidGraphic
  // "Icon image is not valid".
  void LoadFromStream(TStream& stream) override;
  // Writes the .ico file read, or one made from the icon's handle (32 bits per pixel and mask).
  void SaveToStream(TStream& stream) override;
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

 protected:
  void Draw(TCanvas& canvas, const TRect& rect) override;

 private:
  void Take(HICON icon, std::string data);
  void LoadResource(HINSTANCE instance, const wchar_t* name, const std::string& shownName);
  int WantedWidth() const;
  int WantedHeight() const;

  TIconHandle handle_;
  std::string data_;  // the .ico file the icon came from, if any
  int width_ = 0;
  int height_ = 0;
  int wantedWidth_ = 0;
  int wantedHeight_ = 0;
};

// ---------------------------------------------------------------------------------------------------------
// Image lists: equal-sized images with masks, drawn by index.

class TImageList : public TComponent {
  CL_CLASS(TImageList, TComponent)
  explicit TImageList(TComponent* owner);
  ~TImageList() override;

  // The list; made on first use.
  HIMAGELIST Handle();
  int Width() const { return width_; }
  int Height() const { return height_; }
  // A new image size empties the list.
  void SetWidth(int width);
  void SetHeight(int height);
  int Count() const;

  // Each adds the image (a bitmap wider than Width adds one image per Width pixels) and returns the
  // index of the first, or -1 when it could not be added. The pictures are copied; none is changed.
  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(TIcon* icon);
  // EListError "List index out of bounds (%d)" for a bad index.
  void Delete(int index);
  void Clear();
  // Draws image index at (x, y); a disabled image is drawn embossed in the 3D highlight and shadow colours.
  // A bad index draws nothing.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  // Puts image index into icon.
  void GetIcon(int index, TIcon* icon);

  TNotifyEvent OnChange;

 private:
  void Recreate();
  void CheckIndex(int index) const;

  int width_ = 16;
  int height_ = 16;
  TImageListHandle handle_;
};

}  // namespace cl
