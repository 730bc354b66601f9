// Skinned scroll bars. A control keeps its own (system) scroll bars working; a small window of ours,
// TWScrollbar, lies exactly over each visible bar, shows the skin's bar and hands every press on it to the
// real bar, whose own tracking then scrolls the control.
//
// Also here: the painters of a dialog's size grip (TSkinSizer) and of a dialog page inside a dialog
// (TSkinBoxH), and the one that hands the skin's check-box glyphs to a check box of another vendor
// (TSkinObjImage).
#pragma once
#include <windows.h>

#include <memory>

#include "Controls.h"
#include "SkinControl.h"

namespace skin {

// Bar kinds: which of the target's bars an overlay lies over (also its orientation).
inline constexpr int kHorzBar = 0;
inline constexpr int kVertBar = 1;

// Scroll requests kept from the target's WM_HSCROLL/WM_VSCROLL (SB_ values).
inline constexpr int kScrollLineUp = SB_LINEUP;
inline constexpr int kScrollLineDown = SB_LINEDOWN;
inline constexpr int kScrollThumbTrack = SB_THUMBTRACK;

// The overlay over one native scroll bar. It is a sibling of its target, directly above it in the Z order,
// so the target's own drawing of the bar never shows through.
class TWScrollbar : public cl::TCustomControl {
  CL_PLAIN_CLASS(TWScrollbar, cl::TCustomControl)

  // `painter` paints through this overlay and hears its presses; it is the overlay's one owner.
  explicit TWScrollbar(TSkinControl* painter);
  ~TWScrollbar() override;

  // Lies over the given bar of a class-library control or of a bare window.
  void AttachToControl(cl::TWinControl* control, int kind);
  void AttachToHandle(HWND wnd, int kind);
  void HideBar();
  // Follows the bar of wnd: hidden while the bar is, else placed over it.
  void Reposition(HWND wnd);

  int Kind() const noexcept { return kind_; }
  HWND Target() const noexcept { return target_; }
  // Over a visible bar.
  bool BarVisible() const noexcept { return visible_; }
  // The left button went down on the overlay and the system's tracking runs.
  bool IsPressed() const noexcept { return pressed_; }
  int ScrollPart() const noexcept { return scrollPart_; }
  void SetScrollPart(int part) noexcept { scrollPart_ = part; }
  // The bar in the target's client coordinates, as last placed.
  const RECT& BarRect() const noexcept { return barRect_; }
  // The thumb along the bar as last painted, in bar coordinates.
  int ThumbStart() const noexcept { return thumbStart_; }
  int ThumbEnd() const noexcept { return thumbEnd_; }

 protected:
  void CreateParams(cl::TCreateParams& params) override;
  void WndProc(cl::TMessage& m) override;
  void Paint() override;

 private:
  void Attach(HWND wnd, int kind);
  bool BarInfo(SCROLLBARINFO& info) const;
  // Hands a press at a point of the overlay to the real bar and waits for its tracking to end.
  void PressBar(const cl::TMessage& m);
  void ReleaseBar(const cl::TMessage& m);
  POINT ScreenPoint(const cl::TMessage& m) const;
  void UpdateThumb(const SCROLLBARINFO& info);
  void DrawBar(HDC dc, const RECT& bar, bool enabled);

  TSkinControl* painter_;
  // Cleared by the destructor: a press waits in the system's tracking loop, during which this may go.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  HWND target_ = nullptr;
  int kind_ = kHorzBar;
  int arrowSize_;
  int barLength_ = 0;
  int thumbStart_ = 0;
  int thumbEnd_ = 0;
  POINT barOrigin_{};
  POINT pressCursor_{};
  int pressThumb_ = 0;
  RECT barRect_{};
  int scrollPart_ = SB_ENDSCROLL;
  bool pressed_ = false;
  bool visible_ = false;
};

// The two overlays of one target, held by its painter alone: freed when the painter gives the control
// back or goes, whichever comes first, and only once.
class TScrollbarPair {
 public:
  void Create(TSkinControl* painter, cl::TWinControl* control);
  void Create(TSkinControl* painter, HWND wnd);
  void Free() noexcept;
  TWScrollbar* Horz() const noexcept { return horz_.get(); }
  TWScrollbar* Vert() const noexcept { return vert_.get(); }
  TWScrollbar* ForMessage(UINT msg) const noexcept { return msg == WM_HSCROLL ? Horz() : Vert(); }
  void Reposition(HWND wnd);
  void Hide();
  void InvalidateVisible();
  // The square between two visible bars, in the skin's face colour.
  void FillCorner(HWND target, cl::TColor color);

 private:
  std::unique_ptr<TWScrollbar> horz_;
  std::unique_ptr<TWScrollbar> vert_;
};

// The painter of a control with scroll bars of its own (memos, rich edits, grids).
class TSkinScrollbar : public TSkinControl {
  CL_PLAIN_CLASS(TSkinScrollbar, TSkinControl)
  explicit TSkinScrollbar(cl::TComponent* owner) : TSkinControl(owner) {}
  ~TSkinScrollbar() override;

  // control is the painter's owner: stacks on its path and lays the overlays over its bars.
  virtual void AttachScrollbars(cl::TWinControl* control, TSkinData* data, TWinSkinForm* form);
  void RestoreColor() override;
  void RepositionBars();

  TWScrollbar* HorzBar() const noexcept { return bars_.Horz(); }
  TWScrollbar* VertBar() const noexcept { return bars_.Vert(); }

 protected:
  void AfterMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;

 private:
  TScrollbarPair bars_;
};

// The same for a bare window (the list of a simple combo box).
class TSkinScrollbarH : public TSkinControl {
  CL_PLAIN_CLASS(TSkinScrollbarH, TSkinControl)
  explicit TSkinScrollbarH(cl::TComponent* owner) : TSkinControl(owner) {}
  ~TSkinScrollbarH() override;

  void AttachHandle(HWND wnd, TSkinData* data, TWinSkinForm* form) override;
  void RestoreColor() override;
  void RepositionBars();

  TWScrollbar* HorzBar() const noexcept { return bars_.Horz(); }
  TWScrollbar* VertBar() const noexcept { return bars_.Vert(); }

 protected:
  void AfterMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;

 private:
  TScrollbarPair bars_;
};

// A size grip of a dialog, painted in the skin's face colour. Other bare scroll-bar controls keep their
// own look: they are real bars, not decoration.
class TSkinSizer : public TSkinControl {
  CL_PLAIN_CLASS(TSkinSizer, TSkinControl)
  explicit TSkinSizer(cl::TComponent* owner) : TSkinControl(owner) {}

  // A "scrollbar" window that is a size grip or size box.
  static bool IsSizeGrip(HWND wnd);

 protected:
  void DrawSkin(HDC dc, const RECT& rect) override;
};

// A dialog page inside a dialog: its background in the skin's face colour.
class TSkinBoxH : public TSkinControl {
  CL_PLAIN_CLASS(TSkinBoxH, TSkinControl)
  explicit TSkinBoxH(cl::TComponent* owner) : TSkinControl(owner) {}

 protected:
  bool BeforeMessage(cl::TMessage& m) override;
};

// A check box of another vendor that takes custom glyphs (published CustomGlyphs, UseCustomGlyphs,
// TransparentColor): it is handed the skin's check images as its glyph strip.
class TSkinObjImage : public TSkinControl {
  CL_PLAIN_CLASS(TSkinObjImage, TSkinControl)
  explicit TSkinObjImage(cl::TComponent* owner) : TSkinControl(owner) {}

  void SetCheckGlyphs(bool value) noexcept { checkGlyphs_ = value; }
  bool CheckGlyphs() const noexcept { return checkGlyphs_; }

  void Attach(TWinSkinForm* form, TSkinData* data, bool useColor) override;
  void ApplySkinColor() override;
  void RestoreColor() override;

 private:
  void BuildGlyphs();
  bool checkGlyphs_ = false;
};

}  // namespace skin
