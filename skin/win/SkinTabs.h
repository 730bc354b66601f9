// The tab painters. TSkinTab draws the tab strip and the page border of a common tab control (a bare
// window answering the tab-control messages) over the control's own painting: each tab from the skin's
// Tabs image (frame 1 a tab, frame 2 the selected one) with its text and image, and the page's border from
// the Border image, whose middle is left alone. The images are made for tabs on top; for the other sides
// they are flipped or turned, and the tabs of a vertical control are drawn into a lying strip that is
// turned as a whole. TSkinTab31 draws an old-style tab set (tabs hanging below a strip), whose tabs it
// reads by property name.
#pragma once
#include "Graphics.h"
#include "SkinControl.h"

namespace skin {

class TSkinUpDown;

// Tab-control sides.
enum TTabSide { tsTop, tsBottom, tsLeft, tsRight };

class TSkinTab : public TSkinControl {
  CL_PLAIN_CLASS(TSkinTab, TSkinControl)
  explicit TSkinTab(cl::TComponent* owner) : TSkinControl(owner) {}

  // Also prepares the images for the control's side and skins its scroll arrows.
  void AttachHandle(HWND wnd, TSkinData* data, TWinSkinForm* form) override;
  // Prepares the images again (for the side the control has now) and redraws.
  void ApplySkinColor() override;

  // The side the images were prepared for.
  TTabSide Side() const noexcept { return side_; }
  // The painter of the control's scroll arrows, once found; it belongs to this painter's owner.
  TSkinUpDown* UpDown() const noexcept { return upDown_; }

 protected:
  void DrawSkin(HDC dc, const RECT& rect) override;
  void Notification(cl::TComponent* component, cl::TOperation operation) override;

 private:
  TTabSide ReadSide() const;
  void PrepareImages();
  // Skins the scroll arrows the first time they are met; true while they are shown.
  bool FindTabUpDown();
  // The tabs into the strip work bitmap, turned for a vertical control, then onto dc at strip.
  void DrawStrip(HDC dc, const RECT& rect, const RECT& body, const RECT& strip);
  // Places item rectangle r (client coordinates) in the strip work bitmap.
  RECT ItemInStrip(RECT r, const RECT& rect, const RECT& body) const;
  void DrawTab(HDC dc, const RECT& rect, int frame);

  TTabSide side_ = tsTop;
  cl::TBitmap tabImage_;
  cl::TBitmap borderImage_;
  cl::TBitmap strip_;
  TSkinUpDown* upDown_ = nullptr;
};

class TSkinTab31 : public TSkinControl {
  CL_PLAIN_CLASS(TSkinTab31, TSkinControl)
  explicit TSkinTab31(cl::TComponent* owner) : TSkinControl(owner) {}

  // The owner, a tab set, is painted through its window.
  void Attach(TWinSkinForm* form, TSkinData* data, bool useColor) override;

 protected:
  bool BeforeMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;

 private:
  // The Tabs image flipped: the tabs hang down.
  void PrepareTabSetImage();

  cl::TBitmap tabImage_;
};

}  // namespace skin
