#include "Controls.h"

#include <algorithm>

namespace cl {

namespace {

// Sets a flag for the length of a scope.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};


}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Align and anchors.

void TControl::StoreBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  // A move by the parent's anchoring keeps the distances it applied; any other move sets new ones.
  if (!parent_ || !parent_->anchoring_) UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  anchorParent_ = parent_;
  if (!parent_) return;
  anchorBounds_ = BoundsRect();
  anchorParentSize_ = parent_->ClientRect().Size();
}

void TControl::SetAnchors(TAnchors value) {
  if (value == anchors_) return;
  anchors_ = value;
  UpdateAnchorRules();
}
void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  align_ = value;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (parent_ && align_ != alNone) parent_->AlignControls();
}
void TWinControl::AlignControls() {
  if (aligning_ || ComponentState().Contains(csLoading)) return;
  TFlagScope aligning(aligning_);
  const TRect client = ClientRect();
  TRect r = client;
  r.Left += borderWidth_;
  r.Top += borderWidth_;
  r.Right -= borderWidth_;
  r.Bottom -= borderWidth_;
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : controls_) {
      if (c->Align() != a || !c->Visible()) continue;
      const int w = std::max(0, r.Width());
      const int h = std::max(0, r.Height());
      switch (a) {
        case alTop:
          c->SetBounds(r.Left, r.Top, w, c->Height());
          r.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(r.Left, r.Bottom - c->Height(), w, c->Height());
          r.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(r.Left, r.Top, c->Width(), h);
          r.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), h);
          r.Right -= c->Width();
          break;
        case alClient:
          c->SetBounds(r.Left, r.Top, w, h);
          break;
        case alNone:
          break;
      }
    }
  }
  AnchorControls(client.Size());
}

void TWinControl::AnchorControls(TSize size) {
  TFlagScope anchoring(anchoring_);
  const TAnchors leftTop{akLeft, akTop};
  for (TControl* c : controls_) {
    if (c->Align() != alNone || c->anchors_ == leftTop || c->anchorParent_ != this) continue;
    const TRect& b = c->anchorBounds_;
    const int dw = size.cx - c->anchorParentSize_.cx;
    const int dh = size.cy - c->anchorParentSize_.cy;
    const TAnchors a = c->anchors_;
    int left = b.Left;
    int width = b.Width();
    if (a.Contains(akLeft) && a.Contains(akRight))
      width = std::max(0, width + dw);
    else if (a.Contains(akRight))
      left += dw;
    else if (!a.Contains(akLeft))
      left += dw / 2;
    int top = b.Top;
    int height = b.Height();
    if (a.Contains(akTop) && a.Contains(akBottom))
      height = std::max(0, height + dh);
    else if (a.Contains(akBottom))
      top += dh;
    else if (!a.Contains(akTop))
      top += dh / 2;
    c->SetBounds(left, top, width, height);
  }
}

}  // namespace cl
