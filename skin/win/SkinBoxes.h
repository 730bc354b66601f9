// Painters of container-like controls: the status bar, drawn anew from the skin after each of its own
// paints; the group box, whose frame becomes a thin rounded line under its caption; and the panel,
// which only takes the skin's face colour.
#pragma once
#include "SkinControl.h"

namespace skin {

// Frames of the StatusBarEdges strip.
inline constexpr int kStatusEdgeLowered = 1;
inline constexpr int kStatusEdgeRaised = 2;
inline constexpr int kStatusEdgeFlat = 3;
// The size grip's frame of ExtraImages.
inline constexpr int kSizeGripFrame = 5;

class TSkinStatusBar : public TSkinControl {
  CL_PLAIN_CLASS(TSkinStatusBar, TSkinControl)
  explicit TSkinStatusBar(cl::TComponent* owner) : TSkinControl(owner) {}

  // An edge frame of StatusBarEdges, nine-sliced and copied to rect.
  void DrawStatusEdge(HDC dc, const RECT& rect, int frame);
  // Without that element: a one-pixel bevel in the system's colours (lowered or raised; flat: none).
  static void DrawStatusBevel(HDC dc, const RECT& rect, int frame);

 protected:
  void DrawSkin(HDC dc, const RECT& rect) override;

 private:
  // The edge of a frame, from the skin when it has one, else a bevel.
  void DrawEdge(HDC dc, const RECT& rect, int frame);
  void DrawPanels(HDC dc, const RECT& rect);
  void DrawSizeGrip(HDC dc, const RECT& rect);
  void DrawOwnerPanels(HDC dc);
};

class TSkinGroupBox : public TSkinControl {
  CL_PLAIN_CLASS(TSkinGroupBox, TSkinControl)
  explicit TSkinGroupBox(cl::TComponent* owner) : TSkinControl(owner) {}

  // The height of the text's extent in the DC's font.
  static int TextHeight(HDC dc, const std::wstring& text);

 protected:
  void DrawSkin(HDC dc, const RECT& rect) override;

 private:
  std::wstring Caption() const;
  HFONT CaptionFont() const;
  COLORREF CaptionColor(HDC dc) const;
};

// Gives a panel the skin's face colour and back; it does not stack on the panel's messages, and its
// state stays new until RestoreColor makes it "colour given back".
class TSkinBox : public TSkinControl {
  CL_PLAIN_CLASS(TSkinBox, TSkinControl)
  explicit TSkinBox(cl::TComponent* owner) : TSkinControl(owner) {}

  void Attach(TWinSkinForm* form, TSkinData* data, bool useColor) override;
  void RestoreColor() override;
};

}  // namespace skin
