#include "ToolDock.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "FormReader.h"
#include "SysUtils.h"
#include "ToolDockGeometry.h"
#include "ToolDockPrivate.h"

namespace toolkit::dock {

namespace {

// Raised for the length of a scope.
class TLock {
 public:
  explicit TLock(int& count) noexcept : count_(count) { ++count_; }
  ~TLock() { --count_; }
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;

 private:
  int& count_;
};

}  // namespace

std::vector<TCustomToolWin*>& FloatingList() {
  static std::vector<TCustomToolWin*> list;
  return list;
}

int DockOrientationOf(const TToolDock* dock) {
  if (!dock) return kDockNone;
  return IsVerticalPosition(dock->Position()) ? kDockVertical : kDockHorizontal;
}

cl::TCustomForm* FindParentForm(const cl::TControl* control) {
  cl::TCustomForm* result = nullptr;
  for (const cl::TControl* c = control ? control->Parent() : nullptr; c; c = c->Parent())
    if (auto* form = dynamic_cast<cl::TCustomForm*>(const_cast<cl::TControl*>(c))) result = form;
  if (auto* carrier = dynamic_cast<TFloatingWindowParent*>(result)) return carrier->ParentForm();
  return result;
}

cl::TCustomForm* GetToolWindowForm(const TCustomToolWin* toolWindow) {
  if (cl::TCustomForm* form = FindParentForm(toolWindow)) return form;
  throw cl::EInvalidOperation(cl::Format("Control '%s' has no parent window", toolWindow->Name().c_str()));
}

int FloatingToolWindowCount() noexcept { return static_cast<int>(FloatingList().size()); }

TCustomToolWin* FloatingToolWindow(int index) {
  if (index < 0 || index >= FloatingToolWindowCount())
    throw cl::EListError(cl::Format("List index out of bounds (%d)", index));
  return FloatingList()[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------------------------------------------------
// TCustomToolWin: life and place.

CL_BEGIN_CLASS(TCustomToolWin)
CL_END_CLASS

TCustomToolWin::TCustomToolWin(cl::TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle()
                      .Include(cl::csAcceptsControls)
                      .Include(cl::csClickEvents)
                      .Include(cl::csSetCaption)
                      .Include(cl::csDoubleClicks)
                      .Exclude(cl::csCaptureMouse)
                      .Exclude(cl::csOpaque));
  AddHookCallback(ToolWindowHookCallback, {heActivateApp, heWindowPosChanged, hePreDestroyWindow},
                  ComponentState().Contains(cl::csDesigning));
  hooked_ = true;
  SetColor(cl::clBtnFace);
}

TCustomToolWin::~TCustomToolWin() { LeaveAll(); }  // also for a window not freed with delete

void TCustomToolWin::BeforeDestruction() {
  // The window goes first, while every override still hears its last messages.
  inherited::BeforeDestruction();
  LeaveAll();
}

void TCustomToolWin::LeaveAll() {
  std::erase(FloatingList(), this);
  // Off the carrier before the carrier goes: it would free its children with it.
  if (floatingParent_ && Parent() == floatingParent_) inherited::SetParent(nullptr);
  delete std::exchange(floatingParent_, nullptr);
  if (std::exchange(hooked_, false)) RemoveHookCallback(ToolWindowHookCallback);
}

bool TCustomToolWin::Destroying() const { return ComponentState().Contains(cl::csDestroying); }

TFloatingWindowParent* TCustomToolWin::Carrier() const { return dynamic_cast<TFloatingWindowParent*>(Parent()); }

void TCustomToolWin::MakeCarrierFor(cl::TCustomForm* form) {
  // A carrier that is not the parent (none should be left) goes before a new one is made.
  if (floatingParent_ && Parent() != floatingParent_) delete std::exchange(floatingParent_, nullptr);
  auto carrier = std::make_unique<TFloatingWindowParent>(nullptr);
  carrier->SetParentForm(form);
  carrier->SetName(cl::Format("ToolDockFloatingParent_%.8llx",
                              static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(carrier.get()))));
  carrier->SetBorderStyle(cl::bsNone);
  carrier->SetBounds(0, 0, 0, 0);
  carrier->SetShowHint(true);
  carrier->SetVisible(true);
  floatingParent_ = carrier.release();
}

void TCustomToolWin::SetParent(cl::TWinControl* parent) {
  auto* form = dynamic_cast<cl::TCustomForm*>(parent);
  if (parent && !form && !dynamic_cast<TToolDock*>(parent))
    throw cl::EInvalidOperation("A tool window can only be placed on a TToolDock or directly on the form");
  if (form && !dynamic_cast<TFloatingWindowParent*>(form) && !ComponentState().Contains(cl::csDesigning)) {
    if (!floatingParent_ || floatingParent_->ParentForm() != form) MakeCarrierFor(form);
    form->FreeNotification(this);
    parent = floatingParent_;
  }
  TToolDock* oldDock = dynamic_cast<TToolDock*>(Parent());
  TToolDock* newDock = dynamic_cast<TToolDock*>(parent);
  if (parent == Parent()) {
    dockedTo_ = oldDock;
    isDocked_ = dockedTo_ != nullptr;
    UpdateFloatingList();
    return;
  }
  const bool announce = !Destroying() && parent;
  if (announce) {
    OnDockChanging(this);
    OnDockChangingEx(this, newDock);
    OnRecreating(this);
  }
  // Hidden while it moves, and no move reported; both released whatever happens.
  ++hideLock_;
  ++moveLock_;
  try {
    MoveToParent(parent, oldDock, newDock);
  } catch (...) {
    --moveLock_;
    --hideLock_;
    UpdateVisibility();
    throw;
  }
  --moveLock_;
  --hideLock_;
  UpdateVisibility();
  if (Parent()) MovedNotify();
  if (announce) {
    OnRecreated(this);
    OnDockChanged(this);
  }
}

void TCustomToolWin::MoveToParent(cl::TWinControl* parent, TToolDock* oldDock, TToolDock* newDock) {
  UpdateVisibility();
  // Both docks arrange once, when the window has settled; also when the move fails.
  if (oldDock) oldDock->BeginArrange();
  if (newDock) newDock->BeginArrange();
  const auto endArrange = [&] {
    if (newDock) newDock->EndArrange();
    if (oldDock) oldDock->EndArrange();
  };
  try {
    TLock bounds(boundsLock_);
    if (parent) {
      if (!Destroying()) DoDockChangingHidden(newDock);
      // The content is arranged for its new place, and the window sized to it.
      if (hasLastOrientation_) ArrangeControls(DockOrientationOf(newDock), newDock, true);
    }
    WithControlsLocked([&] { ChangeParent(parent, oldDock, newDock); });
    if (Parent()) {
      lastOrientation_ = DockOrientationOf(newDock);
      hasLastOrientation_ = true;
    }
  } catch (...) {
    endArrange();
    throw;
  }
  endArrange();
}

void TCustomToolWin::ChangeParent(cl::TWinControl* parent, TToolDock* oldDock, TToolDock* newDock) {
  // The dock left behind keeps the window in its bars only as its last dock.
  if (oldDock) {
    if (!useLastDock_) oldDock->AddRemoveBar(false, this);
    oldDock->UpdateShownBars(this, true);
  }
  cl::TWinControl* oldParent = Parent();
  // The window is made anew, with the style of its new place.
  inherited::SetParent(nullptr);
  dockedTo_ = newDock;
  isDocked_ = newDock != nullptr;
  try {
    inherited::SetParent(parent);
  } catch (...) {
    dockedTo_ = dynamic_cast<TToolDock*>(Parent());
    isDocked_ = dockedTo_ != nullptr;
    throw;
  }
  if (auto* carrier = dynamic_cast<TFloatingWindowParent*>(oldParent)) {
    if (carrier == floatingParent_) floatingParent_ = nullptr;
    delete carrier;
  }
  if (newDock) {
    // Its designed place is forgotten: floated again, it goes to its floating position, on the screen.
    placePending_ = false;
    if (useLastDock_) {
      SetLastDock(newDock);
      newDock->UpdateShownBars(this, false);
    } else {
      newDock->AddRemoveBar(true, this);
    }
  }
  UpdateFloatingList();
}

void TCustomToolWin::UpdateFloatingList() {
  auto& list = FloatingList();
  if (Carrier()) {
    if (std::find(list.begin(), list.end(), this) == list.end()) list.push_back(this);
    SetBounds(floatPos_.x, floatPos_.y, Width(), Height());
  } else {
    std::erase(list, this);
  }
}

bool TCustomToolWin::HasParent() const { return Carrier() ? false : inherited::HasParent(); }

cl::TComponent* TCustomToolWin::GetParentComponent() const {
  return Carrier() ? nullptr : inherited::GetParentComponent();
}

void TCustomToolWin::DefineProperties(cl::TFiler& filer) {
  inherited::DefineProperties(filer);
  // A description written by a running program holds screen positions.
  filer.DefineProperty(
      "SavedAtRunTime", [this](const cl::TFormValue&) { savedAtRunTime_ = true; },
      [] { return cl::TFormValue::FromBoolean(true); }, !ComponentState().Contains(cl::csDesigning));
}

void TCustomToolWin::Loaded() {
  // A designed position is relative to the form's client area until the window is first shown.
  placePending_ = !savedAtRunTime_ && !ComponentState().Contains(cl::csDesigning) && Carrier();
  inherited::Loaded();
  AfterLoaded();
  FitToContent();
}

void TCustomToolWin::Resize() {
  if (!ComponentState().Contains(cl::csLoading)) inherited::Resize();
}

void TCustomToolWin::Notification(cl::TComponent* component, cl::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != cl::opRemove) return;
  if (dragDocks_) {
    std::erase_if(*dragDocks_, [component](TToolDock* d) { return static_cast<cl::TComponent*>(d) == component; });
  }
  // Each dock reference is forgotten on its own: one dock may be both.
  bool dock = false;
  if (component == defaultDock_) {
    defaultDock_ = nullptr;
    dock = true;
  }
  if (component == lastDock_) {
    lastDock_ = nullptr;
    dock = true;
  }
  if (dock || !floatingParent_ || component != floatingParent_->ParentForm()) return;
  if (Parent() != floatingParent_)
    delete std::exchange(floatingParent_, nullptr);
  else if (floatingMode_ == fmOnTopOfAllForms)
    floatingParent_->SetParentForm(nullptr);
  else
    SetParent(nullptr);
}

void TCustomToolWin::SetDefaultDock(TToolDock* value) {
  if (value == defaultDock_) return;
  ForgetDock(std::exchange(defaultDock_, value));
  if (value) value->FreeNotification(this);
}

void TCustomToolWin::ForgetDock(TToolDock* dock) {
  // The link of free notifications runs both ways: it stays while either side still needs it.
  if (dock && dock != defaultDock_ && dock != lastDock_ && !dock->HasBar(this)) dock->RemoveFreeNotification(this);
}

void TCustomToolWin::SetUseLastDock(bool value) {
  if (value == useLastDock_) return;
  useLastDock_ = value;
  SetLastDock(value ? dockedTo_ : nullptr);
}

void TCustomToolWin::SetLastDock(TToolDock* value) {
  if (useLastDock_ && isDocked_) value = dockedTo_;
  if (value == lastDock_) return;
  TToolDock* old = std::exchange(lastDock_, value);
  if (old && old != Parent()) old->AddRemoveBar(false, this);
  ForgetDock(old);
  if (!value) return;
  useLastDock_ = true;
  value->FreeNotification(this);
  value->AddRemoveBar(true, this);
}

void TCustomToolWin::SetDockedTo(TToolDock* value) {
  if (value)
    SetParent(value);
  else
    SetParent(GetToolWindowForm(this));
}

void TCustomToolWin::DockAt(TToolDock* dock, int row, int pos) {
  if (!dock) throw cl::EInvalidOperation("A tool window can only be placed on a TToolDock or directly on the form");
  // The place is taken before the move, so that the dock arranges the window there once.
  dockRow_ = row;
  dockPos_ = pos;
  if (Parent() == dock)
    dock->ArrangeBars(false);
  else
    SetParent(dock);
}

void TCustomToolWin::FloatAt(POINT screenPoint) {
  placePending_ = false;
  floatPos_ = screenPoint;
  if (Carrier()) {
    SetBounds(screenPoint.x, screenPoint.y, Width(), Height());
    return;
  }
  SetParent(GetToolWindowForm(this));
}

// ---------------------------------------------------------------------------------------------------------
// Bounds and content size.

void TCustomToolWin::SetBounds(int left, int top, int width, int height) {
  if (boundsLock_ == 0 && (width != Width() || height != Height())) StoreBaseSize(width, height);
  // In the designer a docked window moved by hand takes the row and position it was moved to; the dock
  // places it there.
  if (isDocked_ && dockedTo_ && boundsLock_ == 0 && ComponentState().Contains(cl::csDesigning) &&
      !ComponentState().Contains(cl::csLoading) && (left != Left() || top != Top())) {
    const bool vertical = IsVerticalPosition(dockedTo_->Position());
    dockRow_ = dockedTo_->RowAtOffset(vertical ? left + Width() / 2 : top + Height() / 2);
    dockPos_ = vertical ? top : left;
    inherited::SetBounds(Left(), Top(), width, height);
    dockedTo_->ArrangeBars(false);
    return;
  }
  const bool moved = left != Left() || top != Top();
  inherited::SetBounds(left, top, width, height);
  if (!ComponentState().Contains(cl::csLoading) && !isDocked_ && boundsLock_ == 0) {
    floatPos_ = POINT{Left(), Top()};
    // The program's own placement is in screen coordinates and wins over the designed one.
    if (moved) placePending_ = false;
  }
}

void TCustomToolWin::SetDockPos(int value) {
  dockPos_ = value;
  if (isDocked_ && dockedTo_) dockedTo_->ArrangeBars(false);
}

void TCustomToolWin::SetDockRow(int value) {
  dockRow_ = value;
  if (isDocked_ && dockedTo_) dockedTo_->ArrangeBars(false);
}

void TCustomToolWin::MovedNotify() {
  if (!ComponentState().Contains(cl::csLoading) && moveLock_ == 0) DoMove();
}

void TCustomToolWin::MoveOnScreen(bool onlyIfFullyOffscreen) {
  if (isDocked_) return;
  placePending_ = false;
  RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
  const RECT work = GetRectWorkArea(r);
  RECT common;
  if (onlyIfFullyOffscreen && IntersectRect(&common, &r, &work)) return;
  // Right and bottom first: a window larger than the work area ends with its top-left corner on it.
  if (r.right > work.right) OffsetRect(&r, work.right - r.right, 0);
  if (r.bottom > work.bottom) OffsetRect(&r, 0, work.bottom - r.bottom);
  if (r.left < work.left) OffsetRect(&r, work.left - r.left, 0);
  if (r.top < work.top) OffsetRect(&r, 0, work.top - r.top);
  SetBounds(r.left, r.top, Width(), Height());
}

void TCustomToolWin::AlignControls() {
  inherited::AlignControls();
  FitToContent();
}

void TCustomToolWin::FitToContent() { ArrangeControls(DockOrientationOf(dockedTo_), dockedTo_, true); }

void TCustomToolWin::EndArrangeControls() {
  if (--controlsLock_ == 0 && arrangePending_) FitToContent();
}

int TCustomToolWin::GetDockedRowThickness() {
  if (!isDocked_ || !dockedTo_) return GetDockedSize(kDockNone);
  dockedTo_->BuildRowSizes();
  return dockedTo_->RowThickness(dockRow_, this);
}

void TCustomToolWin::ArrangeControls(int orientation, TToolDock* dock, bool resize) {
  (void)orientation;
  const cl::TWinControl* parent = Parent();
  if (controlsLock_ > 0 || ComponentState().Contains(cl::csLoading) || Destroying() || !parent ||
      (parent->HandleAllocated() && parent->ComponentState().Contains(cl::csDestroying))) {
    arrangePending_ = true;
    return;
  }
  arrangePending_ = false;
  WithControlsLocked([&] {
    POINT size = GetBaseSize();
    if (!resize) return;
    // Docked, the window is as thick as its row, and with FullSize as long as the dock's client length.
    if (isDocked_ && dock && dock == dockedTo_) {
      const int row = GetDockedRowThickness();
      if (IsVerticalPosition(dock->Position())) {
        size.x = std::max<int>(size.x, row);
        if (fullSize_) size.y = dock->Height() - dock->EdgeHeight() - FrameHeight();
      } else {
        size.y = std::max<int>(size.y, row);
        if (fullSize_) size.x = dock->Width() - dock->EdgeWidth() - FrameWidth();
      }
    }
    const int width = FrameWidth() + size.x;
    const int height = FrameHeight() + size.y;
    if (width != Width() || height != Height()) {
      TLock bounds(boundsLock_);
      SetBounds(Left(), Top(), width, height);
    }
  });
}

// ---------------------------------------------------------------------------------------------------------
// Properties.

void TCustomToolWin::SetHideWhenInactive(bool value) {
  if (value == hideWhenInactive_) return;
  hideWhenInactive_ = value;
  UpdateVisibility();
}

void TCustomToolWin::SetCloseButton(bool value) {
  if (value == closeButton_) return;
  closeButton_ = value;
  InvalidateFrame(kCaptionPart | kCloseButtonPart);
}

void TCustomToolWin::SetCloseButtonWhenDocked(bool value) {
  if (value == closeButtonWhenDocked_) return;
  closeButtonWhenDocked_ = value;
  if (isDocked_) RefreshFrame(*this);
}

void TCustomToolWin::SetBorderStyle(cl::TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  if (isDocked_) RefreshFrame(*this);
}

void TCustomToolWin::SetDragHandleStyle(TDragHandleStyle value) {
  if (value == dragHandleStyle_) return;
  dragHandleStyle_ = value;
  if (isDocked_) RefreshFrame(*this);
}

void TCustomToolWin::SetFullSize(bool value) {
  if (value == fullSize_) return;
  fullSize_ = value;
  FitToContent();
}

void TCustomToolWin::SetResizable(bool value) {
  if (value == resizable_) return;
  resizable_ = value;
  // Floating, the style changes.
  if (!isDocked_ && HandleAllocated()) RecreateWnd();
}

void TCustomToolWin::SetShowCaption(bool value) {
  if (value == showCaption_) return;
  showCaption_ = value;
  if (!isDocked_) RefreshFrame(*this);
}

void TCustomToolWin::SetFloatingMode(TToolWindowFloatingMode value) {
  if (value == floatingMode_) return;
  floatingMode_ = value;
  // The owner and the topmost state follow.
  if (HandleAllocated()) Perform(cl::CM_SHOWINGCHANGED);
}

void TCustomToolWin::SetCaptionInactive(bool value) {
  if (ComponentState().Contains(cl::csDesigning)) value = false;
  if (value == captionInactive_) return;
  captionInactive_ = value;
  InvalidateFrame(kCaptionPart);
}

// ---------------------------------------------------------------------------------------------------------
// The window.

void TCustomToolWin::CreateParams(cl::TCreateParams& params) {
  inherited::CreateParams(params);
  const bool designing = ComponentState().Contains(cl::csDesigning);
  if (!designing) params.ClassStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
  if (dynamic_cast<TToolDock*>(Parent())) return;  // docked: the child style
  if (designing) {
    params.Style |= WS_BORDER | (resizable_ ? WS_THICKFRAME : 0);
  } else {
    params.Style = WS_POPUP | WS_BORDER | (resizable_ ? WS_THICKFRAME : 0) | (Enabled() ? 0 : WS_DISABLED);
  }
  params.ExStyle = WS_EX_TOOLWINDOW;
}

}  // namespace toolkit::dock

// ---------------------------------------------------------------------------------------------------------
// TToolWin.

namespace toolkit::dock {

CL_BEGIN_CLASS(TToolWin)
    .Bool("ActivateParent", &TToolWin::ActivateParent, &TToolWin::SetActivateParent, true)
    .Enum("BorderStyle", &TToolWin::BorderStyle, &TToolWin::SetBorderStyle,
          {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}, cl::bsSingle)
    .Str("Caption", &TToolWin::Caption, &TToolWin::SetCaption)
    // Its own colour, not the parent's, unless the description says otherwise.
    .Int("Color", &TToolWin::Color, &TToolWin::SetColor, cl::clBtnFace).Stored(&TToolWin::IsColorStored)
    .Bool("ParentColor", &TToolWin::ParentColor, &TToolWin::SetParentColor, false)
    .Bool("CloseButton", &TToolWin::CloseButton, &TToolWin::SetCloseButton, true)
    .Bool("CloseButtonWhenDocked", &TToolWin::CloseButtonWhenDocked, &TToolWin::SetCloseButtonWhenDocked, false)
    // The size is the client area's, which is what the description carries.
    .Int("Width", &TToolWin::Width, &TToolWin::SetWidth).Stored(false)
    .Int("Height", &TToolWin::Height, &TToolWin::SetHeight).Stored(false)
    .Int("ClientAreaHeight", &TToolWin::ClientAreaHeight, &TToolWin::SetClientAreaHeight)
    .Int("ClientAreaWidth", &TToolWin::ClientAreaWidth, &TToolWin::SetClientAreaWidth)
    .Object("DefaultDock", &TToolWin::DefaultDock, &TToolWin::SetDefaultDock)
    .Set("DockableTo", &TToolWin::DockableTo, &TToolWin::SetDockableTo, {"dpTop", "dpBottom", "dpLeft", "dpRight"},
         TDockableTo{dpTop, dpBottom, dpLeft, dpRight})
    .Enum("DockMode", &TToolWin::DockMode, &TToolWin::SetDockMode,
          {"dmCanFloat", "dmCannotFloat", "dmCannotFloatOrChangeDocks"}, dmCanFloat)
    .Object("DockedTo", &TToolWin::DockedTo, &TToolWin::SetDockedTo)
    .Int("DockPos", &TToolWin::DockPos, &TToolWin::SetDockPos, -1)
    .Int("DockRow", &TToolWin::DockRow, &TToolWin::SetDockRow, 0)
    .Enum("DragHandleStyle", &TToolWin::DragHandleStyle, &TToolWin::SetDragHandleStyle,
          {"dhDouble", "dhNone", "dhSingle"}, dhDouble)
    .Enum("FloatingMode", &TToolWin::FloatingMode, &TToolWin::SetFloatingMode,
          {"fmOnTopOfParentForm", "fmOnTopOfAllForms"}, fmOnTopOfParentForm)
    .Bool("FullSize", &TToolWin::FullSize, &TToolWin::SetFullSize, false)
    .Bool("HideWhenInactive", &TToolWin::HideWhenInactive, &TToolWin::SetHideWhenInactive, true)
    .Object("LastDock", &TToolWin::LastDock, &TToolWin::SetLastDock).Stored(&TToolWin::IsLastDockStored)
    .Int("MinClientHeight", &TToolWin::MinClientHeight, &TToolWin::SetMinClientHeight, 32)
    .Int("MinClientWidth", &TToolWin::MinClientWidth, &TToolWin::SetMinClientWidth, 32)
    .Bool("Resizable", &TToolWin::Resizable, &TToolWin::SetResizable, true)
    .Bool("ShowCaption", &TToolWin::ShowCaption, &TToolWin::SetShowCaption, true)
    .Bool("UseLastDock", &TToolWin::UseLastDock, &TToolWin::SetUseLastDock, true)
    .Str("Version", &TToolWin::Version, &TToolWin::SetVersion)
    .Event("OnClose", &TToolWin::OnClose)
    .Event("OnCloseQuery", &TToolWin::OnCloseQuery)
    .Event("OnDockChanged", &TToolWin::OnDockChanged)
    .Event("OnDockChanging", &TToolWin::OnDockChanging)
    .Event("OnDockChangingEx", &TToolWin::OnDockChangingEx)
    .Event("OnDockChangingHidden", &TToolWin::OnDockChangingHidden)
    .Event("OnMove", &TToolWin::OnMove)
    .Event("OnRecreated", &TToolWin::OnRecreated)
    .Event("OnRecreating", &TToolWin::OnRecreating)
    .Event("OnVisibleChanged", &TToolWin::OnVisibleChanged)
CL_END_CLASS

TToolWin::TToolWin(cl::TComponent* owner) : TCustomToolWin(owner) { SetBounds(Left(), Top(), 32, 32); }

int TToolWin::ClientAreaWidth() const { return Parent() ? ClientWidth() : Width(); }

int TToolWin::ClientAreaHeight() const { return Parent() ? ClientHeight() : Height(); }

void TToolWin::SetClientAreaSize(int width, int height) {
  if (!Parent()) {
    SetBounds(Left(), Top(), width, height);
    return;
  }
  const cl::TRect client = ClientRect();
  SetBounds(Left(), Top(), width + Width() - client.Right, height + Height() - client.Bottom);
}

int TToolWin::GetDockedSize(int orientation) { return orientation == kDockVertical ? baseClientWidth_ : baseClientHeight_; }

void TToolWin::GetMinimumSize(int& minWidth, int& minHeight) {
  minWidth = minClientWidth_;
  minHeight = minClientHeight_;
}

POINT TToolWin::GetBaseSize() { return POINT{baseClientWidth_, baseClientHeight_}; }

void TToolWin::StoreBaseSize(int newWidth, int newHeight) {
  // The frame around the client area is taken off the new outer size.
  baseClientWidth_ = newWidth - (Parent() ? FrameWidth() : 0);
  baseClientHeight_ = newHeight - (Parent() ? FrameHeight() : 0);
}

}  // namespace toolkit::dock
