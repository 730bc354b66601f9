// The dock: its properties, its bars and their rows (laid out by TDockLayout), its size across its side
// and its messages. Its painting is ToolDockPaint.cpp.
#include <algorithm>
#include <cstddef>

#include "ToolDock.h"
#include "ToolDockGeometry.h"

namespace toolkit::dock {

CL_BEGIN_CLASS(TToolDock)
    .Bool("AllowDrag", &TToolDock::AllowDrag, &TToolDock::SetAllowDrag, true)
    .Object("Background", &TToolDock::Background, &TToolDock::SetBackground)
    .Bool("BackgroundOnToolbars", &TToolDock::BackgroundOnToolbars, &TToolDock::SetBackgroundOnToolbars, true)
    .Bool("BackgroundTransparent", &TToolDock::BackgroundTransparent, &TToolDock::SetBackgroundTransparent, false)
    .Set("BoundLines", &TToolDock::BoundLines, &TToolDock::SetBoundLines, {"blTop", "blBottom", "blLeft", "blRight"},
         TDockBoundLines{})
    // Its own colour, not the parent's, unless the description says otherwise.
    .Int("Color", &TToolDock::Color, &TToolDock::SetColor, cl::clBtnFace).Stored(&TToolDock::IsColorStored)
    .Bool("ParentColor", &TToolDock::ParentColor, &TToolDock::SetParentColor, false)
    .Bool("FixAlign", &TToolDock::FixAlign, &TToolDock::SetFixAlign, false)
    .Bool("LimitToOneRow", &TToolDock::LimitToOneRow, &TToolDock::SetLimitToOneRow, false)
    .Enum("Position", &TToolDock::Position, &TToolDock::SetPosition, {"dpTop", "dpBottom", "dpLeft", "dpRight"}, dpTop)
    .Str("Version", &TToolDock::Version, &TToolDock::SetVersion)
    .Event("OnInsertRemoveBar", &TToolDock::OnInsertRemoveBar)
    .Event("OnRequestDock", &TToolDock::OnRequestDock)
CL_END_CLASS

TToolDock::TToolDock(cl::TComponent* owner) : TCustomControl(owner), background_(std::make_unique<cl::TBitmap>()) {
  SetControlStyle(ControlStyle()
                      .Include(cl::csAcceptsControls)
                      .Exclude(cl::csCaptureMouse)
                      .Exclude(cl::csClickEvents)
                      .Exclude(cl::csOpaque));
  background_->OnChange = [this](cl::TObject*) { BackgroundBitmapChanged(); };
  SetColor(cl::clBtnFace);
  SetAlign(cl::alTop);
}

TToolDock::~TToolDock() = default;

void TToolDock::BeforeDestruction() {
  // The docked bars go with the dock, but while it is whole: going, each one is still told its dock's
  // lists and background, which the rest of the destruction takes away. No arrangement runs meanwhile.
  ++arrangeLock_;
  for (int i = ControlCount(); i-- > 0;) {
    if (auto* bar = dynamic_cast<TCustomToolWin*>(Controls(i))) delete bar;
  }
  // Floating bars that remember this dock are told by free notification; the lists no longer hold them.
  bars_.clear();
  shownBars_.clear();
  inherited::BeforeDestruction();
}

void TToolDock::SetParent(cl::TWinControl* parent) {
  if (dynamic_cast<TCustomToolWin*>(parent) || dynamic_cast<TToolDock*>(parent))
    throw cl::EInvalidOperation("A TToolDock control cannot be placed inside a tool window or another TToolDock");
  inherited::SetParent(parent);
}

// ---------------------------------------------------------------------------------------------------------
// Properties.

void TToolDock::SetPosition(TDockPosition value) {
  if (value == position_) return;
  if (ControlCount() > 0)
    throw cl::EInvalidOperation("Cannot change Position of a TToolDock if it already contains controls");
  position_ = value;
  static constexpr cl::TAlign kAligns[] = {cl::alTop, cl::alBottom, cl::alLeft, cl::alRight};
  SetAlign(kAligns[value]);
}

void TToolDock::SetAllowDrag(bool value) {
  if (value == allowDrag_) return;
  allowDrag_ = value;
  // The bars' handles come or go.
  for (int i = 0; i < ControlCount(); ++i) {
    if (auto* bar = dynamic_cast<TCustomToolWin*>(Controls(i))) RefreshFrame(*bar);
  }
}

void TToolDock::SetBoundLines(TDockBoundLines value) {
  if (value == boundLines_) return;
  boundLines_ = value;
  edgeWidth_ = static_cast<int>(value.Contains(blLeft)) + static_cast<int>(value.Contains(blRight));
  edgeHeight_ = static_cast<int>(value.Contains(blTop)) + static_cast<int>(value.Contains(blBottom));
  RefreshFrame(*this);
}

void TToolDock::SetBackground(const cl::TBitmap* value) { background_->Assign(value); }

void TToolDock::SetBackgroundTransparent(bool value) {
  if (value == backgroundTransparent_) return;
  backgroundTransparent_ = value;
  if (HasBackground()) BackgroundBitmapChanged();
}

void TToolDock::SetBackgroundOnToolbars(bool value) {
  if (value == backgroundOnToolbars_) return;
  backgroundOnToolbars_ = value;
  RepaintBackgrounds();
}

void TToolDock::SetFixAlign(bool value) {
  if (value == fixAlign_) return;
  fixAlign_ = value;
  ArrangeBars(false);
}

// ---------------------------------------------------------------------------------------------------------
// The bars.

TCustomToolWin* TToolDock::Bars(int index) const {
  if (index < 0 || index >= BarCount()) throw cl::EListError(cl::Format("List index out of bounds (%d)", index));
  return bars_[static_cast<std::size_t>(index)];
}

TCustomToolWin* TToolDock::ShownBars(int index) const {
  if (index < 0 || index >= ShownBarCount())
    throw cl::EListError(cl::Format("List index out of bounds (%d)", index));
  return shownBars_[static_cast<std::size_t>(index)];
}

bool TToolDock::HasBar(const TCustomToolWin* bar) const noexcept {
  return std::find(bars_.begin(), bars_.end(), bar) != bars_.end();
}

bool TToolDock::HasShownBar(const TCustomToolWin* bar) const noexcept {
  return std::find(shownBars_.begin(), shownBars_.end(), bar) != shownBars_.end();
}

bool TToolDock::IsBarShown(const TCustomToolWin* bar) const {
  return bar->Parent() == this && (bar->Visible() || bar->ComponentState().Contains(cl::csDesigning));
}

void TToolDock::AddRemoveBar(bool inserting, TCustomToolWin* bar) {
  if (inserting) {
    if (!HasBar(bar)) {
      bars_.push_back(bar);
      bar->FreeNotification(this);
    }
  } else {
    std::erase(bars_, bar);
  }
  UpdateShownBars(bar, false);
}

void TToolDock::UpdateShownBars(TCustomToolWin* bar, bool forceRemove) {
  // Only a bar of the dock's list can be shown in it.
  const bool belongs = !forceRemove && HasBar(bar) && IsBarShown(bar);
  if (belongs == HasShownBar(bar)) return;
  if (belongs) {
    shownBars_.push_back(bar);
  } else {
    std::erase(shownBars_, bar);
  }
  ArrangeBars(false);
  OnInsertRemoveBar(this, belongs, bar);
}

void TToolDock::Notification(cl::TComponent* component, cl::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != cl::opRemove) return;
  // Told from the end of the bar's destruction, when only its component part is left: found by address.
  const auto it = std::find_if(bars_.begin(), bars_.end(),
                               [component](TCustomToolWin* bar) { return static_cast<cl::TComponent*>(bar) == component; });
  if (it == bars_.end()) return;
  TCustomToolWin* bar = *it;
  const bool shown = HasShownBar(bar);
  std::erase(bars_, bar);
  std::erase(shownBars_, bar);
  // The room it took goes.
  if (shown) ArrangeBars(false);
}

// ---------------------------------------------------------------------------------------------------------
// Rows, through the layout.

TDockLayout TToolDock::MakeLayout() const {
  TDockLayout layout;
  layout.Dock.Vertical = IsVerticalPosition(position_);
  layout.Dock.Width = Width();
  layout.Dock.Height = Height();
  layout.Dock.EdgeWidth = edgeWidth_;
  layout.Dock.EdgeHeight = edgeHeight_;
  layout.Dock.LimitToOneRow = limitToOneRow_;
  layout.Dock.FixAlign = fixAlign_;
  layout.Dock.Designing = Designing();
  const int orientation = DockOrientationOf(this);
  for (TCustomToolWin* bar : bars_) {
    layout.Bars.push_back(TDockBar{bar, bar->dockRow_, bar->dockPos_, bar->FullSize(), IsBarShown(bar), bar->Width(),
                                   bar->Height(), bar->GetDockedSize(orientation)});
  }
  layout.RowThicknesses = rowThicknesses_;
  return layout;
}

void TToolDock::TakeFromLayout(const TDockLayout& layout) {
  std::vector<TCustomToolWin*> order;
  order.reserve(layout.Bars.size());
  for (const TDockBar& record : layout.Bars) {
    auto* bar = static_cast<TCustomToolWin*>(record.Control);
    bar->dockRow_ = record.DockRow;
    bar->dockPos_ = record.DockPos;
    order.push_back(bar);
  }
  bars_ = std::move(order);
  // The shown bars keep the order of the bars.
  std::stable_sort(shownBars_.begin(), shownBars_.end(), [this](TCustomToolWin* a, TCustomToolWin* b) {
    return std::find(bars_.begin(), bars_.end(), a) < std::find(bars_.begin(), bars_.end(), b);
  });
  rowThicknesses_ = layout.RowThicknesses;
}

bool TToolDock::HasShownBars() const {
  return std::any_of(bars_.begin(), bars_.end(), [this](const TCustomToolWin* bar) { return IsBarShown(bar); });
}

int TToolDock::LastRowIndex() const { return MakeLayout().LastRowIndex(); }

int TToolDock::RowThickness(int row, TCustomToolWin* bar) {
  const TDockLayout layout = MakeLayout();
  TDockBar own;
  if (bar) own.DockedSize = bar->GetDockedSize(DockOrientationOf(this));
  return layout.RowThickness(row, bar ? &own : nullptr);
}

int TToolDock::DropRowAt(int offset, bool& newRow) { return MakeLayout().DropRowAt(offset, newRow); }

int TToolDock::RowAtOffset(int offset) { return MakeLayout().RowAtOffset(offset); }

int TToolDock::CountOthersInRow(int row, const TCustomToolWin* bar) const {
  return MakeLayout().CountOthersInRow(row, bar);
}

void TToolDock::ShiftRowsFrom(int row) {
  TDockLayout layout = MakeLayout();
  layout.ShiftRowsFrom(row);
  TakeFromLayout(layout);
}

void TToolDock::DropEmptyRows() {
  TDockLayout layout = MakeLayout();
  layout.DropEmptyRows();
  TakeFromLayout(layout);
}

void TToolDock::BuildRowSizes() {
  TDockLayout layout = MakeLayout();
  layout.BuildRowSizes();
  rowThicknesses_ = layout.RowThicknesses;
}

// ---------------------------------------------------------------------------------------------------------
// Arrangement.

void TToolDock::EndArrange() {
  if (--arrangeLock_ == 0 && arrangePending_) ArrangeBars(clipPending_);
}

void TToolDock::ArrangeBars(bool clipPoses) {
  if (clipPoses) clipPending_ = true;
  if (arrangeLock_ > 0 || ComponentState().Contains(cl::csLoading)) {
    arrangePending_ = true;
    return;
  }
  if (ComponentState().Contains(cl::csDestroying)) return;
  ++arrangeLock_;
  try {
    ApplyArrangement(clipPending_);
  } catch (...) {
    --arrangeLock_;
    arrangePending_ = clipPending_ = false;
    throw;
  }
  --arrangeLock_;
  arrangePending_ = clipPending_ = false;
}

void TToolDock::ApplyArrangement(bool clipPoses) {
  // The dock goes above its sibling controls.
  if (!Designing() && HandleAllocated())
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  TDockLayout layout = MakeLayout();
  const TDockArrangement arrangement = layout.ArrangeBars(clipPoses);
  TakeFromLayout(layout);
  for (const TBarPlacement& place : arrangement.Placements) {
    auto* bar = static_cast<TCustomToolWin*>(layout.Bars[static_cast<std::size_t>(place.Index)].Control);
    // Bounds the dock gives are not the content's wish.
    ++bar->boundsLock_;
    try {
      bar->SetBounds(place.Bounds.Left, place.Bounds.Top, place.Bounds.Width(), place.Bounds.Height());
    } catch (...) {
      --bar->boundsLock_;
      throw;
    }
    --bar->boundsLock_;
  }
  SetDockSize(arrangement.DockSize.cx, arrangement.DockSize.cy);
}

void TToolDock::SetDockSize(int newWidth, int newHeight) {
  int left = Left();
  int top = Top();
  switch (Align()) {
    case cl::alTop:
    case cl::alLeft:
      break;
    case cl::alBottom:
      top += Height() - newHeight;
      break;
    case cl::alRight:
      left += Width() - newWidth;
      break;
    default:
      return;
  }
  SetBounds(left, top, newWidth, newHeight);
}

void TToolDock::AlignControls() {
  // The bars are placed by the arrangement, not by alignment.
  ArrangeBars(false);
}

void TToolDock::Resize() {
  // The form hears of the new size with the bars already arranged for it; not while the dock loads (it
  // arranges once loaded).
  if (ComponentState().Contains(cl::csLoading)) return;
  ArrangeBars(false);
  inherited::Resize();
}

void TToolDock::Loaded() {
  inherited::Loaded();
  ArrangeBars(false);
}

void TToolDock::CreateParams(cl::TCreateParams& params) {
  inherited::CreateParams(params);
  if (!Designing()) params.ClassStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

// ---------------------------------------------------------------------------------------------------------
// Messages.

void TToolDock::Dispatch(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_MOVE:
      inherited::Dispatch(m);
      // The tiles line up with the parent's client origin, which moved against the dock.
      if (HasBackground()) RepaintBackgrounds();
      return;
    case WM_NCCALCSIZE: {
      inherited::Dispatch(m);
      // The first rectangle of either form of the message is the client area to be.
      auto* r = reinterpret_cast<RECT*>(m.LParam);
      if (boundLines_.Contains(blTop)) ++r->top;
      if (boundLines_.Contains(blBottom)) --r->bottom;
      if (boundLines_.Contains(blLeft)) ++r->left;
      if (boundLines_.Contains(blRight)) --r->right;
      return;
    }
    case WM_NCPAINT:
      PaintNCArea(reinterpret_cast<HRGN>(m.WParam));
      m.Result = 0;
      return;
    case WM_PRINT:
      PrintWindowToDC(Handle(), m, [this](HWND, HDC dc) { DrawNCArea(dc); });
      return;
    case WM_PRINTCLIENT:
      PaintControlToDC(*this, m);
      return;
    case cl::CM_COLORCHANGED:
      // The transparent copy shows the dock's colour.
      if (HasBackground()) BackgroundBitmapChanged();
      inherited::Dispatch(m);
      return;
    case cl::CM_SYSCOLORCHANGE:
      inherited::Dispatch(m);
      if (HasBackground()) BackgroundBitmapChanged();
      return;
  }
  inherited::Dispatch(m);
}

}  // namespace toolkit::dock
