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
// TListColumn, TListColumns.

CL_BEGIN_CLASS(TListColumn)
    .Enum("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment,
          {"taLeftJustify", "taRightJustify", "taCenter"}, taLeftJustify)
    .Str("Caption", &TListColumn::Caption, &TListColumn::SetCaption)
    .Int("Width", &TListColumn::Width, &TListColumn::SetWidth, 50)
CL_END_CLASS

TListColumn::TListColumn(TCollection* collection) : TCollectionItem(collection) {}

void TListColumn::SetCaption(const std::string& value) {
  caption_ = value;
  Changed(false);
}

void TListColumn::SetWidth(int value) {
  width_ = value;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment value) {
  alignment_ = value;
  Changed(false);
}

void TListColumn::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TListColumn*>(source);
  if (!other) return inherited::Assign(source);
  caption_ = other->caption_;
  width_ = other->width_;
  alignment_ = other->alignment_;
  Changed(false);
}

CL_BEGIN_CLASS(TListColumns)
CL_END_CLASS

TListColumns::TListColumns(TListView* owner) : TCollection(owner, FactoryOf<TListColumn>()) {}

void TListColumns::Update(TCollectionItem*) {
  if (auto* lv = dynamic_cast<TListView*>(Owner())) lv->SyncColumns();
}

// ---------------------------------------------------------------------------------------------------------
// TListItem, TListItems.

TListItem::TListItem(TListView* owner) : owner_(owner), subItems_(std::make_unique<TStringList>()) {
  subItems_->OnChange = [this](TObject*) { owner_->UpdateRow(Index()); };
}

void TListItem::SetCaption(const std::string& value) {
  caption_ = value;
  owner_->UpdateRow(Index());
}

int TListItem::Index() const { return owner_->items_->IndexOf(this); }

bool TListItem::Selected() const { return owner_->ItemIndex() == Index(); }

void TListItem::SetSelected(bool value) {
  if (value) {
    owner_->SetItemIndex(Index());
    MakeVisible();
  } else if (Selected()) {
    owner_->SetItemIndex(-1);
  }
}

void TListItem::Assign(const TListItem* source) {
  if (!source || source == this) return;
  caption_ = source->caption_;
  data_ = source->data_;
  subItems_->Assign(source->subItems_.get());  // redraws the row through OnChange
  owner_->UpdateRow(Index());
}

bool TListItem::Focused() const { return owner_->ItemFocused() == this; }

void TListItem::SetFocused(bool value) {
  if (value)
    owner_->SetItemFocused(const_cast<TListItem*>(this));
  else if (Focused())
    owner_->SetItemFocused(nullptr);
}

void TListItem::MakeVisible(bool partialOk) {
  if (owner_->HandleAllocated() && owner_->items_->updateCount_ == 0)
    SendMessageW(owner_->Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index()), partialOk ? TRUE : FALSE);
}

TRect TListItem::DisplayRect(TDisplayCode code) const {
  if (!owner_->HandleAllocated() || owner_->items_->updateCount_ > 0) return {};
  static const int codes[] = {LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL, LVIR_SELECTBOUNDS};
  RECT rc{};
  rc.left = codes[code];
  if (!SendMessageW(owner_->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&rc)))
    return {};
  return {rc.left, rc.top, rc.right, rc.bottom};
}

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
  return items_[static_cast<size_t>(index)].get();
}

int TListItems::IndexOf(const TListItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

TListItem* TListItems::Add() {
  items_.push_back(std::make_unique<TListItem>(owner_));
  if (updateCount_ == 0) owner_->InsertRow(Count() - 1);
  return items_.back().get();
}

TListItem* TListItems::Insert(int index) {
  if (index < 0 || index > Count()) throw EListError(Format("List index out of bounds (%d)", index));
  items_.insert(items_.begin() + index, std::make_unique<TListItem>(owner_));
  for (int* kept : {&owner_->selectedIndex_, &owner_->focusedIndex_})
    if (*kept >= index) ++*kept;
  if (updateCount_ == 0) owner_->InsertRow(index);
  return items_[static_cast<size_t>(index)].get();
}

void TListItems::Delete(int index) {
  Item(index);  // checks the index
  for (int* kept : {&owner_->selectedIndex_, &owner_->focusedIndex_}) {
    if (*kept == index) *kept = -1;
    else if (*kept > index) --*kept;
  }
  items_.erase(items_.begin() + index);
  if (updateCount_ == 0 && owner_->HandleAllocated())
    SendMessageW(owner_->Handle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

void TListItems::Clear() {
  owner_->selectedIndex_ = -1;
  owner_->focusedIndex_ = -1;
  items_.clear();
  if (updateCount_ == 0 && owner_->HandleAllocated()) SendMessageW(owner_->Handle(), LVM_DELETEALLITEMS, 0, 0);
}

void TListItems::BeginUpdate() { ++updateCount_; }

void TListItems::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) owner_->SyncItems();
}

// ---------------------------------------------------------------------------------------------------------
// TListView.

CL_BEGIN_CLASS(TListView)
    .Object("Columns", &TListView::Columns, &TListView::SetColumns)
    .Int("Color", &TListView::Color, &TListView::SetColor, clWindow)
    .Bool("GridLines", &TListView::GridLines, &TListView::SetGridLines, false)
    .Bool("HideSelection", &TListView::HideSelection, &TListView::SetHideSelection, true)
    .Bool("ReadOnly", &TListView::ReadOnly, &TListView::SetReadOnly, false)
    .Bool("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect, false)
    .Bool("TabStop", &TListView::TabStop, &TListView::SetTabStop, true)
    .Enum("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle, {"vsIcon", "vsSmallIcon", "vsList", "vsReport"},
          vsIcon)
    .Enum("DragMode", &TListView::DragMode, &TListView::SetDragMode, {"dmManual", "dmAutomatic"}, dmManual)
    .Event("OnChange", &TListView::OnChange)
    .Event("OnColumnClick", &TListView::OnColumnClick)
    .Event("OnCompare", &TListView::OnCompare)
    .Event("OnDragDrop", &TListView::OnDragDrop)
    .Event("OnDragOver", &TListView::OnDragOver)
    .Event("OnSelectItem", &TListView::OnSelectItem)
CL_END_CLASS

namespace {
// Posted by the list view to itself when its own drag detection fires: the drag runs once the window's
// button handling has returned.
constexpr UINT CM_LISTVIEWDRAG = CM_BASE + 0x200;
}  // namespace

TListView::TListView(TComponent* owner)
    : TWinControl(owner), columns_(std::make_unique<TListColumns>(this)), items_(std::make_unique<TListItems>(this)) {
  StoreBounds(0, 0, 250, 150);
  SetTabStop(true);
  SetColor(clWindow);
}

TListView::~TListView() {
  // The window's last notifications must not find the rows half gone.
  DestroyHandle();
}

void TListView::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, WC_LISTVIEWW);
  static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  params.Style |= views[viewStyle_] | LVS_SHAREIMAGELISTS | LVS_SINGLESEL;
  if (!readOnly_) params.Style |= LVS_EDITLABELS;
  if (!hideSelection_) params.Style |= LVS_SHOWSELALWAYS;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateHandleDone() {
  UpdateExStyle();
  SyncColumns();
  SyncItems();
}

void TListView::UpdateExStyle() {
  if (!HandleAllocated()) return;
  DWORD ex = 0;
  if (rowSelect_) ex |= LVS_EX_FULLROWSELECT;
  if (gridLines_) ex |= LVS_EX_GRIDLINES;
  SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, ex);
}

void TListView::SyncColumns() {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  while (SendMessageW(wnd, LVM_DELETECOLUMN, 0, 0)) {
  }
  static const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
  for (int i = 0; i < columns_->Count(); ++i) {
    TListColumn* c = columns_->Items(i);
    std::wstring text = ToWide(c->Caption());
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    col.fmt = i == 0 ? LVCFMT_LEFT : formats[c->Alignment()];  // the first column is always left-aligned
    col.cx = c->Width();
    col.pszText = text.data();
    col.iSubItem = i;
    SendMessageW(wnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
  }
  for (int i = 0; i < items_->Count(); ++i) UpdateRow(i);
}

void TListView::SyncItems() {
  if (!HandleAllocated() || items_->updateCount_ > 0) return;
  HWND wnd = Handle();
  SendMessageW(wnd, WM_SETREDRAW, FALSE, 0);
  SendMessageW(wnd, LVM_DELETEALLITEMS, 0, 0);
  for (int i = 0; i < items_->Count(); ++i) InsertRow(i);
  if (selectedIndex_ >= items_->Count()) selectedIndex_ = -1;
  if (focusedIndex_ >= items_->Count() || focusedIndex_ < 0) focusedIndex_ = selectedIndex_;
  const int selected = selectedIndex_;
  const int focused = focusedIndex_;
  if (selected >= 0) {
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED;
    SendMessageW(wnd, LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&state));
  }
  if (focused >= 0) {
    LVITEMW state{};
    state.stateMask = state.state = LVIS_FOCUSED;
    SendMessageW(wnd, LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&state));
  }
  SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(wnd, nullptr, TRUE);
}

void TListView::InsertRow(int index) {
  if (!HandleAllocated() || items_->updateCount_ > 0) return;
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  std::wstring text = ToWide(items_->Item(index)->Caption());
  item.pszText = text.data();
  SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  UpdateRow(index);
}

void TListView::UpdateRow(int index) {
  if (!HandleAllocated() || items_->updateCount_ > 0 || index < 0 || index >= items_->Count()) return;
  TListItem* row = items_->Item(index);
  for (int col = 0; col <= row->SubItems()->Count(); ++col) {
    std::wstring text = ToWide(col == 0 ? row->Caption() : row->SubItems()->Get(col - 1));
    LVITEMW item{};
    item.iSubItem = col;
    item.pszText = text.data();
    SendMessageW(Handle(), LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  }
}

void TListView::SetViewStyle(TViewStyle value) {
  if (value == viewStyle_) return;
  viewStyle_ = value;
  RecreateWnd();
}

void TListView::SetRowSelect(bool value) {
  rowSelect_ = value;
  UpdateExStyle();
}

void TListView::SetGridLines(bool value) {
  gridLines_ = value;
  UpdateExStyle();
}

void TListView::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  RecreateWnd();
}

void TListView::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

int TListView::ItemIndex() const { return selectedIndex_; }

TListItem* TListView::Selected() const { return selectedIndex_ >= 0 ? items_->Item(selectedIndex_) : nullptr; }

void TListView::SetSelected(TListItem* item) {
  SetItemIndex(item ? item->Index() : -1);
  if (item) item->MakeVisible();
}

void TListView::SetItemIndex(int value) {
  if (value < -1 || value >= items_->Count()) value = -1;
  if (!HandleAllocated()) {
    selectedIndex_ = value;
    return;
  }
  // The window reports the change back through LVN_ITEMCHANGED.
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED;
  state.state = 0;
  if (selectedIndex_ >= 0 && selectedIndex_ != value)
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(selectedIndex_), reinterpret_cast<LPARAM>(&state));
  if (value >= 0) {
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(value), reinterpret_cast<LPARAM>(&state));
  }
  selectedIndex_ = value;
}

TListItem* TListView::ItemFocused() const {
  int index = focusedIndex_;
  if (WindowInSync()) index = static_cast<int>(SendMessageW(const_cast<TListView*>(this)->Handle(), LVM_GETNEXTITEM,
                                                            static_cast<WPARAM>(-1), LVNI_FOCUSED));
  return index >= 0 && index < items_->Count() ? items_->Item(index) : nullptr;
}

void TListView::SetItemFocused(TListItem* item) {
  const int index = item ? item->Index() : -1;
  if (!WindowInSync()) {
    focusedIndex_ = index;
    return;
  }
  LVITEMW state{};
  state.stateMask = LVIS_FOCUSED;
  state.state = index >= 0 ? LVIS_FOCUSED : 0;
  // Focus on one row takes it from the others; clearing it is asked of every row.
  SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
  focusedIndex_ = index;
  if (item) item->MakeVisible();
}

bool TListView::CustomSort(std::function<int(TListItem*, TListItem*)> compare) {
  if (!compare && OnCompare)
    compare = [this](TListItem* a, TListItem* b) {
      int result = 0;
      OnCompare(this, a, b, result);
      return result;
    };
  if (!compare) return false;
  TListItem* selected = Selected();
  TListItem* focused = ItemFocused();
  // Sorted on the side: a compare that throws leaves the rows as they were.
  std::vector<TListItem*> order;
  order.reserve(items_->items_.size());
  for (auto& row : items_->items_) order.push_back(row.get());
  std::stable_sort(order.begin(), order.end(), [&](TListItem* a, TListItem* b) { return compare(a, b) < 0; });
  std::vector<std::unique_ptr<TListItem>> rows(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    const int from = items_->IndexOf(order[i]);
    rows[i] = std::move(items_->items_[static_cast<size_t>(from)]);
  }
  items_->items_ = std::move(rows);
  selectedIndex_ = selected ? selected->Index() : -1;
  focusedIndex_ = focused ? focused->Index() : -1;
  reordering_ = true;
  try {
    SyncItems();
  } catch (...) {
    reordering_ = false;
    throw;
  }
  reordering_ = false;
  return true;
}

TListItem* TListView::GetItemAt(int x, int y) {
  if (!WindowInSync()) return nullptr;
  HWND wnd = Handle();
  if (viewStyle_ == vsReport) {
    // Any point on a row counts, also right of its label.
    const int top = static_cast<int>(SendMessageW(wnd, LVM_GETTOPINDEX, 0, 0));
    const int count = static_cast<int>(SendMessageW(wnd, LVM_GETCOUNTPERPAGE, 0, 0));
    for (int i = std::max(top, 0); i <= top + count && i < items_->Count(); ++i) {
      RECT rc{};
      rc.left = LVIR_BOUNDS;
      if (SendMessageW(wnd, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rc)) &&
          y >= rc.top && y < rc.bottom && x >= rc.left && x < rc.right)
        return items_->Item(i);
    }
    return nullptr;
  }
  LVHITTESTINFO hit{};
  hit.pt = {x, y};
  const int index = static_cast<int>(SendMessageW(wnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return index >= 0 && index < items_->Count() && (hit.flags & LVHT_ONITEM) ? items_->Item(index) : nullptr;
}

TListItem* TListView::TopItem() {
  if (!WindowInSync()) return nullptr;
  const int index = static_cast<int>(SendMessageW(Handle(), LVM_GETTOPINDEX, 0, 0));
  return index >= 0 && index < items_->Count() ? items_->Item(index) : nullptr;
}

int TListView::VisibleRowCount() {
  return WindowInSync() ? static_cast<int>(SendMessageW(Handle(), LVM_GETCOUNTPERPAGE, 0, 0)) : 0;
}

void TListView::Scroll(int dx, int dy) {
  if (WindowInSync()) SendMessageW(Handle(), LVM_SCROLL, static_cast<WPARAM>(dx), dy);
}

void TListView::Dispatch(TMessage& m) {
  if (m.Msg == CM_LISTVIEWDRAG) {
    // Posted messages come before input: the release of the button that began the drag is still queued.
    BeginDrag(true);
    // The window still counts the button as down; its release went to the drag.
    if (HandleAllocated()) {
      TMessage up{WM_LBUTTONUP, 0, m.LParam, 0};
      CallDefaultProc(up);
    }
    return;
  }
  if (m.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    switch (hdr->code) {
      case LVN_ITEMCHANGED: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
        if (!(nm->uChanged & LVIF_STATE) || nm->iItem < 0 || nm->iItem >= items_->Count()) return;
        if (nm->uNewState & LVIS_FOCUSED) focusedIndex_ = nm->iItem;
        else if ((nm->uOldState & LVIS_FOCUSED) && focusedIndex_ == nm->iItem) focusedIndex_ = -1;
        const bool was = (nm->uOldState & LVIS_SELECTED) != 0;
        const bool is = (nm->uNewState & LVIS_SELECTED) != 0;
        if (is) selectedIndex_ = nm->iItem;
        else if (was && selectedIndex_ == nm->iItem) selectedIndex_ = -1;
        if (items_->updateCount_ > 0 || reordering_) return;
        if (was != is) OnSelectItem(this, items_->Item(nm->iItem), is);
        if (nm->iItem < items_->Count()) OnChange(this, items_->Item(nm->iItem), ctState);
        return;
      }
      case NM_CLICK:
        Click();
        return;
      case LVN_BEGINDRAG:
        if (DragMode() == dmAutomatic && !Dragging()) {
          auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
          PostMessageW(Handle(), CM_LISTVIEWDRAG, 0, MAKELPARAM(nm->ptAction.x, nm->ptAction.y));
        }
        return;
      case LVN_COLUMNCLICK: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
        if (nm->iSubItem >= 0 && nm->iSubItem < columns_->Count()) OnColumnClick(this, columns_->Items(nm->iSubItem));
        return;
      }
    }
    // Double clicks and button presses arrive as mouse messages (OnDblClick, OnMouseDown).
    return;
  }
  inherited::Dispatch(m);
}

}  // namespace cl

