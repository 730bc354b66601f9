// The dock: its properties, its bars and their rows (laid out by TDockLayout), its size across its side,
// and its non-client bound lines.
#include <algorithm>

#include "ToolDock.h"

namespace toolkit::dock {

CL_BEGIN_CLASS(TToolDock)
    .Bool("AllowDrag", &TToolDock::AllowDrag, &TToolDock::SetAllowDrag, true)
    .Object("Background", &TToolDock::Background, &TToolDock::SetBackground)
    .Bool("BackgroundOnToolbars", &TToolDock::BackgroundOnToolbars, &TToolDock::SetBackgroundOnToolbars, true)
    .Bool("BackgroundTransparent", &TToolDock::BackgroundTransparent, &TToolDock::SetBackgroundTransparent, false)
    .Set("BoundLines", &TToolDock::BoundLines, &TToolDock::SetBoundLines, {"blTop", "blBottom", "blLeft", "blRight"},
         TDockBoundLines{})
    .Bool("FixAlign", &TToolDock::FixAlign, &TToolDock::SetFixAlign, false)
    .Bool("LimitToOneRow", &TToolDock::LimitToOneRow, &TToolDock::SetLimitToOneRow, false)
    .Enum("Position", &TToolDock::Position, &TToolDock::SetPosition, {"dpTop", "dpBottom", "dpLeft", "dpRight"}, dpTop)
    .Str("Version", &TToolDock::Version, &TToolDock::SetVersion)
    .Event("OnInsertRemoveBar", &TToolDock::OnInsertRemoveBar)
    .Event("OnRequestDock", &TToolDock::OnRequestDock)
CL_END_CLASS

TToolDock::TToolDock(cl::TComponent* owner) : TCustomControl(owner), background_(std::make_unique<cl::TBitmap>()) {
  SetAlign(cl::alTop);
}

TToolDock::~TToolDock() = default;

void TToolDock::BeforeDestruction() { inherited::BeforeDestruction(); }

void TToolDock::SetParent(cl::TWinControl* parent) { inherited::SetParent(parent); }

void TToolDock::SetPosition(TDockPosition value) {
  if (value == position_) return;
  if (ControlCount() > 0)
    throw cl::EInvalidOperation("Cannot change Position of a TToolDock if it already contains controls");
  position_ = value;
  static constexpr cl::TAlign kAligns[] = {cl::alTop, cl::alBottom, cl::alLeft, cl::alRight};
  SetAlign(kAligns[value]);
}
void TToolDock::SetAllowDrag(bool value) { allowDrag_ = value; }
void TToolDock::SetBoundLines(TDockBoundLines value) { boundLines_ = value; }
void TToolDock::SetBackground(const cl::TBitmap* value) { background_->Assign(value); }
void TToolDock::SetBackgroundTransparent(bool value) { backgroundTransparent_ = value; }
void TToolDock::SetBackgroundOnToolbars(bool value) { backgroundOnToolbars_ = value; }
void TToolDock::SetFixAlign(bool value) { fixAlign_ = value; }

TCustomToolWin* TToolDock::Bars(int index) const { return bars_.at(static_cast<std::size_t>(index)); }
TCustomToolWin* TToolDock::ShownBars(int index) const { return shownBars_.at(static_cast<std::size_t>(index)); }
bool TToolDock::HasBar(const TCustomToolWin* bar) const noexcept {
  return std::find(bars_.begin(), bars_.end(), bar) != bars_.end();
}
bool TToolDock::HasShownBar(const TCustomToolWin* bar) const noexcept {
  return std::find(shownBars_.begin(), shownBars_.end(), bar) != shownBars_.end();
}

void TToolDock::EndArrange() { --arrangeLock_; }
void TToolDock::ArrangeBars(bool) {}
bool TToolDock::HasShownBars() const { return false; }
bool TToolDock::IsBarShown(const TCustomToolWin*) const { return false; }
int TToolDock::LastRowIndex() const { return -1; }
int TToolDock::RowThickness(int, TCustomToolWin*) { return 0; }
int TToolDock::DropRowAt(int, bool& newRow) {
  newRow = false;
  return 0;
}
int TToolDock::RowAtOffset(int) { return 0; }
int TToolDock::CountOthersInRow(int, const TCustomToolWin*) const { return 0; }
void TToolDock::ShiftRowsFrom(int) {}
void TToolDock::DropEmptyRows() {}
void TToolDock::BuildRowSizes() {}
void TToolDock::SetDockSize(int, int) {}
void TToolDock::AddRemoveBar(bool, TCustomToolWin*) {}
void TToolDock::UpdateShownBars(TCustomToolWin*, bool) {}
bool TToolDock::HasBackground() const noexcept { return false; }
void TToolDock::RepaintBackgrounds() {}
void TToolDock::BackgroundBitmapChanged() {}
void TToolDock::DrawBackground(HDC, const RECT&, const RECT&, const RECT*) {}
RECT TToolDock::TileRectFor(HWND, const RECT& rect) const { return rect; }
void TToolDock::Dispatch(cl::TMessage& message) { inherited::Dispatch(message); }
void TToolDock::CreateParams(cl::TCreateParams& params) { inherited::CreateParams(params); }
void TToolDock::AlignControls() { inherited::AlignControls(); }
void TToolDock::Loaded() { inherited::Loaded(); }
void TToolDock::Notification(cl::TComponent* component, cl::TOperation operation) {
  inherited::Notification(component, operation);
}
void TToolDock::Paint() {}
void TToolDock::DrawNCArea(HDC) {}
void TToolDock::PaintNCArea(HRGN) {}
TDockLayout TToolDock::MakeLayout() const { return {}; }
void TToolDock::TakeFromLayout(const TDockLayout&) {}
void TToolDock::ApplyArrangement(bool) {}
cl::TBitmap& TToolDock::Picture() { return *background_; }

}  // namespace toolkit::dock
