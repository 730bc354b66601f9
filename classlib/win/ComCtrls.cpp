#include "ComCtrls.h"

#include <algorithm>
#include <string>

#include "SysUtils.h"
#include "WinString.h"

namespace cl {

CL_BEGIN_CLASS(TUpDown)
    .Object("Associate", &TUpDown::Associate, &TUpDown::SetAssociate)
    .Int("Min", &TUpDown::Min, &TUpDown::SetMin, 0)
    .Int("Max", &TUpDown::Max, &TUpDown::SetMax, 100)
    .Int("Increment", &TUpDown::Increment, &TUpDown::SetIncrement, 1)
    .Int("Position", &TUpDown::Position, &TUpDown::SetPosition, 0)
    .Bool("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap, false)
    .Event("OnChanging", &TUpDown::OnChanging)
    .Event("OnClick", &TUpDown::OnClick)
CL_END_CLASS

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) { StoreBounds(0, 0, 17, 21); }

void TUpDown::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, UPDOWN_CLASSW);
  params.Style |= UDS_ARROWKEYS | UDS_NOTHOUSANDS;
  if (wrap_) params.Style |= UDS_WRAP;
}

void TUpDown::CreateHandleDone() {
  HWND wnd = Handle();
  SendMessageW(wnd, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  UDACCEL accel{0, static_cast<UINT>(increment_)};
  SendMessageW(wnd, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  SendMessageW(wnd, UDM_SETPOS32, 0, position_);
}

void TUpDown::Loaded() {
  inherited::Loaded();
  position_ = std::clamp(position_, std::min(min_, max_), std::max(min_, max_));
  ShowPosition();
}

void TUpDown::ShowPosition() {
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETPOS32, 0, position_);
  if (associate_ && !ComponentState().Contains(csLoading)) associate_->SetText(std::to_string(position_));
}

void TUpDown::SetMin(int value) {
  min_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  if (!ComponentState().Contains(csLoading)) SetPosition(position_);
}

void TUpDown::SetMax(int value) {
  max_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  if (!ComponentState().Contains(csLoading)) SetPosition(position_);
}

void TUpDown::SetPosition(int value) {
  if (!ComponentState().Contains(csLoading)) value = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  position_ = value;
  ShowPosition();
}

void TUpDown::SetIncrement(int value) {
  increment_ = value < 1 ? 1 : value;
  if (HandleAllocated()) {
    UDACCEL accel{0, static_cast<UINT>(increment_)};
    SendMessageW(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  }
}

void TUpDown::SetWrap(bool value) {
  if (value == wrap_) return;
  wrap_ = value;
  RecreateWnd();
}

void TUpDown::SetAssociate(TWinControl* value) {
  if (value == associate_) return;
  if (associate_) associate_->RemoveFreeNotification(this);
  associate_ = value;
  if (!associate_) return;
  associate_->FreeNotification(this);
  if (!ComponentState().Contains(csLoading)) ShowPosition();
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == associate_) associate_ = nullptr;
}

void TUpDown::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      if (hdr->code != UDN_DELTAPOS) break;
      // The arrows compute the new position themselves; this object decides on it and steps by its own rules.
      auto* delta = reinterpret_cast<NMUPDOWN*>(m.LParam);
      bool allow = true;
      OnChanging(this, allow);
      m.Result = 1;  // the window keeps its position: this object sets it
      if (!allow || delta->iDelta == 0) return;
      const int lo = std::min(min_, max_);
      const int hi = std::max(min_, max_);
      int next = position_ + (delta->iDelta > 0 ? increment_ : -increment_);
      if (next > hi) next = wrap_ ? lo : hi;
      if (next < lo) next = wrap_ ? hi : lo;
      position_ = next;
      ShowPosition();
      OnClick(this, delta->iDelta > 0 ? btNext : btPrev);
      return;
    }
    case CN_VSCROLL:
    case CN_HSCROLL:
      return;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TStatusPanel, TStatusPanels, TStatusBar.

CL_BEGIN_CLASS(TStatusPanel)
    .Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment,
          {"taLeftJustify", "taRightJustify", "taCenter"}, taLeftJustify)
    .Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel, {"pbNone", "pbLowered", "pbRaised"}, pbLowered)
    .Enum("BiDiMode", &TStatusPanel::BiDiMode, &TStatusPanel::SetBiDiMode,
          {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}, bdLeftToRight)
    .Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle, {"psText", "psOwnerDraw"}, psText)
    .Str("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
    .Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth, 50)
CL_END_CLASS

TStatusPanel::TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

void TStatusPanel::SetText(const std::string& value) {
  text_ = value;
  Changed(false);
}

void TStatusPanel::SetWidth(int value) {
  width_ = value;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
  bevel_ = value;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
  style_ = value;
  Changed(false);
}

void TStatusPanel::SetBiDiMode(TBiDiMode value) {
  biDiMode_ = value;
  Changed(false);
}

void TStatusPanel::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TStatusPanel*>(source);
  if (!other) return inherited::Assign(source);
  text_ = other->text_;
  width_ = other->width_;
  alignment_ = other->alignment_;
  bevel_ = other->bevel_;
  style_ = other->style_;
  biDiMode_ = other->biDiMode_;
  Changed(true);
}

TStatusPanels::TStatusPanels(TStatusBar* owner) : TCollection(owner, FactoryOf<TStatusPanel>()) {}

TStatusPanel* TStatusPanels::Add() {
  auto* panel = static_cast<TStatusPanel*>(TCollection::Add());
  Update(nullptr);
  return panel;
}

void TStatusPanels::Update(TCollectionItem*) {
  if (auto* bar = dynamic_cast<TStatusBar*>(Owner())) bar->SyncPanels();
}

CL_BEGIN_CLASS(TStatusBar)
    .Object("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels)
    .Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel, true)
    .Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
    .Event("OnDrawPanel", &TStatusBar::OnDrawPanel)
CL_END_CLASS

TStatusBar::TStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this)), canvas_(std::make_unique<TCanvas>()) {
  StoreBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, STATUSCLASSNAMEW);
  // The layout places it: the control must not move itself.
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
}

void TStatusBar::CreateHandleDone() {
  SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(ToWide(simpleText_).c_str()));
  SyncPanels();
}

void TStatusBar::SetSimplePanel(bool value) {
  simplePanel_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), SB_SIMPLE, value ? TRUE : FALSE, 0);
}

void TStatusBar::SetSimpleText(const std::string& value) {
  simpleText_ = value;
  if (HandleAllocated())
    SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(ToWide(value).c_str()));
}

void TStatusBar::SyncPanels() {
  if (!HandleAllocated()) return;
  const int count = panels_->Count();
  // A panel joins its collection before it is whole: the Add making it syncs when it is.
  for (int i = 0; i < count; ++i)
    if (!dynamic_cast<TStatusPanel*>(panels_->TCollection::Items(i))) return;
  std::vector<int> edges(static_cast<size_t>(std::max(count, 1)), -1);
  int edge = 0;
  for (int i = 0; i + 1 < count; ++i) edges[static_cast<size_t>(i)] = edge += panels_->Items(i)->Width();
  SendMessageW(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < count; ++i) {
    const TStatusPanel* panel = panels_->Items(i);
    WPARAM kind = static_cast<WPARAM>(i);
    if (panel->Bevel() == pbNone) kind |= SBT_NOBORDERS;
    if (panel->Bevel() == pbRaised) kind |= SBT_POPOUT;
    if (panel->BiDiMode() != bdLeftToRight) kind |= SBT_RTLREADING;
    if (panel->Style() == psOwnerDraw) {
      SendMessageW(Handle(), SB_SETTEXTW, kind | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(panel));
      continue;
    }
    // The control centres text after one tab and right-aligns it after two.
    TAlignment align = panel->Alignment();
    if (panel->UseRightToLeftAlignment() && align != taCenter)
      align = align == taLeftJustify ? taRightJustify : taLeftJustify;
    const std::wstring prefix = align == taCenter ? L"\t" : align == taRightJustify ? L"\t\t" : L"";
    const std::wstring text = prefix + ToWide(panel->Text());
    SendMessageW(Handle(), SB_SETTEXTW, kind, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageW(Handle(), SB_SIMPLE, simplePanel_ ? TRUE : FALSE, 0);
}

void TStatusBar::DrawPanel(HDC dc, TStatusPanel* panel, const TRect& rect) {
  if (!OnDrawPanel) return;
  canvas_->SetHandle(dc);
  try {
    canvas_->SetFont(Font());
    OnDrawPanel(this, panel, rect);
  } catch (...) {
    canvas_->SetHandle(nullptr);
    throw;
  }
  canvas_->SetHandle(nullptr);
}

void TStatusBar::Dispatch(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    const int index = static_cast<int>(d->itemID);
    if (index >= 0 && index < panels_->Count())
      DrawPanel(d->hDC, panels_->Items(index), TRect{d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom});
    m.Result = 1;
    return;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TProgressBar.

CL_BEGIN_CLASS(TProgressBar)
    .Int("Min", &TProgressBar::Min, &TProgressBar::SetMin, 0)
    .Int("Max", &TProgressBar::Max, &TProgressBar::SetMax, 100)
    .Int("Position", &TProgressBar::Position, &TProgressBar::SetPosition, 0)
    .Int("Step", &TProgressBar::Step, &TProgressBar::SetStep, 10)
CL_END_CLASS

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { StoreBounds(0, 0, 150, 16); }

void TProgressBar::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, PROGRESS_CLASSW);
}

void TProgressBar::CreateHandleDone() { Apply(); }

void TProgressBar::Apply() {
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetMin(int value) {
  min_ = value;
  position_ = std::max(position_, min_);
  Apply();
}

void TProgressBar::SetMax(int value) {
  max_ = value;
  position_ = std::min(position_, std::max(min_, max_));
  Apply();
}

void TProgressBar::SetPosition(int value) {
  position_ = std::clamp(value, min_, std::max(min_, max_));
  Apply();
}

// ---------------------------------------------------------------------------------------------------------
// TTrackBar.

CL_BEGIN_CLASS(TTrackBar)
    .Int("Min", &TTrackBar::Min, &TTrackBar::SetMin, 0)
    .Int("Max", &TTrackBar::Max, &TTrackBar::SetMax, 10)
    .Int("Position", &TTrackBar::Position, &TTrackBar::SetPosition, 0)
    .Enum("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation, {"trHorizontal", "trVertical"},
          trHorizontal)
CL_END_CLASS

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
  StoreBounds(0, 0, 150, 45);
  SetTabStop(true);
}

void TTrackBar::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, TRACKBAR_CLASSW);
  params.Style |= TBS_AUTOTICKS | (orientation_ == trVertical ? TBS_VERT : TBS_HORZ);
}

void TTrackBar::CreateHandleDone() { Apply(); }

void TTrackBar::Apply() {
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), TBM_SETRANGEMIN, FALSE, min_);
  SendMessageW(Handle(), TBM_SETRANGEMAX, FALSE, max_);
  SendMessageW(Handle(), TBM_SETPOS, TRUE, position_);
}

void TTrackBar::SetMin(int value) {
  min_ = value;
  if (!ComponentState().Contains(csLoading)) position_ = std::clamp(position_, min_, std::max(min_, max_));
  Apply();
}

void TTrackBar::SetMax(int value) {
  max_ = value;
  if (!ComponentState().Contains(csLoading)) position_ = std::clamp(position_, min_, std::max(min_, max_));
  Apply();
}

void TTrackBar::SetPosition(int value) {
  if (!ComponentState().Contains(csLoading)) value = std::clamp(value, min_, std::max(min_, max_));
  position_ = value;
  Apply();
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  RecreateWnd();
}

void TTrackBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      // The user moved the thumb.
      position_ = static_cast<int>(SendMessageW(Handle(), TBM_GETPOS, 0, 0));
      return;
  }
  inherited::Dispatch(m);
}

}  // namespace cl
