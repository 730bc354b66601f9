// The list view with its columns and items, in report view and owner-data mode.
#include "ComCtrls.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "SysUtils.h"
#include "WinString.h"

namespace cl {

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

TListColumns::TListColumns(TListView* owner) : TCollection(owner, FactoryOf<TListColumn>()) {}

void TListColumns::Update(TCollectionItem*) {
  if (auto* lv = dynamic_cast<TListView*>(Owner())) lv->SyncColumns();
}

// ---------------------------------------------------------------------------------------------------------
// TListItem, TListItems.

TListItem::TListItem(TListView* owner) : owner_(owner), subItems_(std::make_unique<TStringList>()) {
  // Inside BeginUpdate .. EndUpdate the window is refilled at the end: no need to look for the row.
  subItems_->OnChange = [this](TObject*) {
    if (!virtual_ && owner_->WindowInSync()) owner_->UpdateRow(Index());
  };
}

void TListItem::SetCaption(const std::string& value) {
  caption_ = value;
  if (!virtual_ && owner_->WindowInSync()) owner_->UpdateRow(Index());
}

int TListItem::Index() const { return virtual_ ? virtualIndex_ : owner_->items_->IndexOf(this); }

bool TListItem::Selected() const { return owner_->multiSelect_ ? selected_ : owner_->ItemIndex() == Index(); }

void TListItem::SetSelected(bool value) {
  if (owner_->multiSelect_) {
    owner_->SelectRow(Index(), value);
  } else if (value) {
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

int TListItems::Count() const noexcept { return owner_->ownerData_ ? count_ : static_cast<int>(items_.size()); }

void TListItems::SetCount(int value) {
  if (!owner_->ownerData_) return;
  value = std::max(value, 0);
  if (value == count_) return;
  count_ = value;
  for (int* kept : {&owner_->selectedIndex_, &owner_->focusedIndex_})
    if (*kept >= count_) *kept = -1;
  owner_->SyncItems();
}

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
  if (!owner_->ownerData_) return items_[static_cast<size_t>(index)].get();
  if (!virtualItem_) {
    virtualItem_ = std::make_unique<TListItem>(owner_);
    virtualItem_->virtual_ = true;
  }
  TListItem* item = virtualItem_.get();
  item->virtualIndex_ = index;
  item->caption_.clear();
  item->subItems_->Clear();
  item->data_ = nullptr;
  owner_->OnData(owner_, item);
  return item;
}

int TListItems::IndexOf(const TListItem* item) const {
  if (owner_->ownerData_) return item && item == virtualItem_.get() ? item->virtualIndex_ : -1;
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

TListItem* TListItems::Add() {
  if (owner_->ownerData_) {
    SetCount(count_ + 1);
    return Item(count_ - 1);
  }
  items_.push_back(std::make_unique<TListItem>(owner_));
  if (updateCount_ == 0) owner_->InsertRow(Count() - 1);
  return items_.back().get();
}

TListItem* TListItems::Insert(int index) {
  if (index < 0 || index > Count()) throw EListError(Format("List index out of bounds (%d)", index));
  for (int* kept : {&owner_->selectedIndex_, &owner_->focusedIndex_})
    if (*kept >= index) ++*kept;
  if (owner_->ownerData_) {
    ++count_;
    owner_->SyncItems();
    return Item(index);
  }
  items_.insert(items_.begin() + index, std::make_unique<TListItem>(owner_));
  if (updateCount_ == 0) owner_->InsertRow(index);
  return items_[static_cast<size_t>(index)].get();
}

void TListItems::Delete(int index) {
  Item(index);  // checks the index
  for (int* kept : {&owner_->selectedIndex_, &owner_->focusedIndex_}) {
    if (*kept == index) *kept = -1;
    else if (*kept > index) --*kept;
  }
  if (owner_->ownerData_) {
    --count_;
    owner_->SyncItems();
    return;
  }
  items_.erase(items_.begin() + index);
  if (updateCount_ == 0 && owner_->HandleAllocated()) {
    // The window reports the deleted row's deselection by an index that now names the next row: in a
    // MultiSelect list that must not reach the rows' own states.
    const bool wasReordering = owner_->reordering_;
    owner_->reordering_ = wasReordering || owner_->multiSelect_;
    SendMessageW(owner_->Handle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    owner_->reordering_ = wasReordering;
  }
}

void TListItems::Clear() {
  owner_->selectedIndex_ = -1;
  owner_->focusedIndex_ = -1;
  items_.clear();
  count_ = 0;
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
    .Bool("ColumnClick", &TListView::ColumnClick, &TListView::SetColumnClick, true)
    .Int("Color", &TListView::Color, &TListView::SetColor, clWindow).Stored(&TListView::IsColorStored)
    .Bool("ParentColor", &TListView::ParentColor, &TListView::SetParentColor, false)
    .Bool("GridLines", &TListView::GridLines, &TListView::SetGridLines, false)
    .Bool("HideSelection", &TListView::HideSelection, &TListView::SetHideSelection, true)
    .Bool("MultiSelect", &TListView::MultiSelect, &TListView::SetMultiSelect, false)
    .Bool("OwnerData", &TListView::OwnerData, &TListView::SetOwnerData, false)
    .Bool("ReadOnly", &TListView::ReadOnly, &TListView::SetReadOnly, false)
    .Bool("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect, false)
    .Bool("TabStop", &TListView::TabStop, &TListView::SetTabStop, true)
    .Enum("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle, {"vsIcon", "vsSmallIcon", "vsList", "vsReport"},
          vsIcon)
    .Enum("DragMode", &TListView::DragMode, &TListView::SetDragMode, {"dmManual", "dmAutomatic"}, dmManual)
    .Event("OnChange", &TListView::OnChange)
    .Event("OnColumnClick", &TListView::OnColumnClick)
    .Event("OnCompare", &TListView::OnCompare)
    .Event("OnData", &TListView::OnData)
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
  SetControlStyle(ControlStyle().Include(csFramed));
}

TListView::~TListView() {
  // The window's last notifications must not find the rows half gone.
  DestroyHandle();
}

void TListView::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, WC_LISTVIEWW);
  static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  params.Style |= views[viewStyle_] | LVS_SHAREIMAGELISTS;
  if (!multiSelect_) params.Style |= LVS_SINGLESEL;
  if (ownerData_) params.Style |= LVS_OWNERDATA;
  if (!readOnly_) params.Style |= LVS_EDITLABELS;
  if (!columnClick_) params.Style |= LVS_NOSORTHEADER;
  if (!hideSelection_) params.Style |= LVS_SHOWSELALWAYS;
  ApplyFrameStyle(params);
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
  InvalidateRect(wnd, nullptr, TRUE);  // the rows show their texts of the new columns as they redraw
}

void TListView::SyncItems() {
  if (!HandleAllocated() || items_->updateCount_ > 0) return;
  HWND wnd = Handle();
  SendMessageW(wnd, WM_SETREDRAW, FALSE, 0);
  MatchRowCount();
  if (selectedIndex_ >= items_->Count()) selectedIndex_ = -1;
  if (focusedIndex_ >= items_->Count() || focusedIndex_ < 0) focusedIndex_ = selectedIndex_;
  const int selected = multiSelect_ ? -1 : selectedIndex_;
  const int focused = focusedIndex_;
  if (multiSelect_ && !ownerData_) {
    for (int i = 0; i < items_->Count(); ++i) {
      if (!items_->Item(i)->selected_) continue;
      LVITEMW state{};
      state.stateMask = state.state = LVIS_SELECTED;
      SendMessageW(wnd, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&state));
    }
  }
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

LRESULT TListView::SendDirect(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, static_cast<intptr_t>(lParam), 0};
  return CallDefaultProc(m);
}

void TListView::InsertRow(int index) {
  if (!HandleAllocated() || items_->updateCount_ > 0) return;
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = LPSTR_TEXTCALLBACKW;
  SendDirect(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TListView::MatchRowCount() {
  const int want = items_->Count();
  int have = static_cast<int>(SendDirect(LVM_GETITEMCOUNT, 0, 0));
  if (ownerData_) {
    // Only a number: the window keeps nothing per row.
    SendDirect(LVM_SETITEMCOUNT, static_cast<WPARAM>(want), LVSICF_NOSCROLL);
    have = want;
  } else if (want == 0 || want < have / 2) {
    SendDirect(LVM_DELETEALLITEMS, 0, 0);
    have = 0;
  }
  while (have > want) SendDirect(LVM_DELETEITEM, static_cast<WPARAM>(--have), 0);
  if (have < want) SendDirect(LVM_SETITEMCOUNT, static_cast<WPARAM>(want), 0);
  for (; have < want; ++have) InsertRow(have);
  // The kept rows lose the states of the rows they showed, quietly: the caller sets those of the new ones.
  const int selected = selectedIndex_;
  const int focused = focusedIndex_;
  const bool wasReordering = reordering_;
  reordering_ = true;
  struct Restore {
    TListView* view;
    int selected, focused;
    bool reordering;
    ~Restore() {
      view->selectedIndex_ = selected;
      view->focusedIndex_ = focused;
      view->reordering_ = reordering;
    }
  } restore{this, selected, focused, wasReordering};
  auto clear = [this](int row, UINT mask) {
    LVITEMW state{};
    state.stateMask = mask;
    SendDirect(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  };
  // Counted, so that the search stops at the last selected row instead of running through all of them.
  int row = -1;
  for (int left = static_cast<int>(SendDirect(LVM_GETSELECTEDCOUNT, 0, 0)); left > 0; --left) {
    row = static_cast<int>(SendDirect(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    if (row < 0) break;
    clear(row, LVIS_SELECTED);
  }
  row = static_cast<int>(SendDirect(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  if (row >= 0) clear(row, LVIS_FOCUSED);
}

std::string TListView::CellText(int row, int column) const {
  if (row < 0 || row >= items_->Count() || column < 0) return {};
  const TListItem* item = items_->Item(row);
  if (column == 0) return item->Caption();
  return column - 1 < item->SubItems()->Count() ? item->SubItems()->Get(column - 1) : std::string();
}

void TListView::UpdateRow(int index) {
  if (!HandleAllocated() || items_->updateCount_ > 0 || index < 0 || index >= items_->Count()) return;
  SendDirect(LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);  // it asks for the new texts
}

void TListView::UpdateItems(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, items_->Count() - 1);
  if (!HandleAllocated() || items_->updateCount_ > 0 || first > last) return;
  if (viewStyle_ == vsReport) {
    // Rows out of sight ask for their texts when they come into it: only the shown ones (the last one
    // perhaps in part) are redrawn, as the window would redraw the rest one at a time.
    const int top = static_cast<int>(SendDirect(LVM_GETTOPINDEX, 0, 0));
    first = std::max(first, top);
    last = std::min(last, top + static_cast<int>(SendDirect(LVM_GETCOUNTPERPAGE, 0, 0)));
    if (first > last) return;
  }
  SendDirect(LVM_REDRAWITEMS, static_cast<WPARAM>(first), last);
}

void TListView::SetOwnerData(bool value) {
  if (value == ownerData_) return;
  // The rows of one kind are no rows of the other.
  items_->items_.clear();
  items_->count_ = 0;
  selectedIndex_ = -1;
  focusedIndex_ = -1;
  ownerData_ = value;
  RecreateWnd();
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

void TListView::SetColumnClick(bool value) {
  if (value == columnClick_) return;
  columnClick_ = value;
  RecreateWnd();
}

void TListView::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

int TListView::ItemIndex() const {
  if (multiSelect_) {
    for (int i = 0; i < items_->Count(); ++i)
      if (items_->Item(i)->selected_) return i;
    return -1;
  }
  return selectedIndex_;
}

TListItem* TListView::Selected() const {
  const int index = ItemIndex();
  return index >= 0 ? items_->Item(index) : nullptr;
}

void TListView::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  const int first = ItemIndex();
  multiSelect_ = value;
  // One way or the other, the first selected row stays selected.
  for (int i = 0; i < items_->Count(); ++i) items_->Item(i)->selected_ = value && i == first;
  selectedIndex_ = first;
  RecreateWnd();
}

int TListView::SelCount() const {
  if (!multiSelect_) return selectedIndex_ >= 0 ? 1 : 0;
  int count = 0;
  for (int i = 0; i < items_->Count(); ++i)
    if (items_->Item(i)->selected_) ++count;
  return count;
}

void TListView::SelectRow(int index, bool value) {
  if (index < 0 || index >= items_->Count()) return;
  items_->Item(index)->selected_ = value;
  if (!WindowInSync()) return;
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED;
  state.state = value ? LVIS_SELECTED : 0;
  SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
}

void TListView::SetSelected(TListItem* item) {
  SetItemIndex(item ? item->Index() : -1);
  if (item) item->MakeVisible();
}

void TListView::SetItemIndex(int value) {
  if (value < -1 || value >= items_->Count()) value = -1;
  if (multiSelect_) {
    for (int i = 0; i < items_->Count(); ++i)
      if (i != value && items_->Item(i)->selected_) SelectRow(i, false);
    if (value >= 0) {
      SelectRow(value, true);
      SetItemFocused(items_->Item(value));
    }
    selectedIndex_ = value;
    return;
  }
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
  if (index >= 0) {
    // Focus on one row takes it from the others.
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
  } else if (const int row = static_cast<int>(SendDirect(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
             row >= 0) {
    // Only one row can hold the focus: asking every row to drop it costs a round of messages per row. Rows
    // the program keeps report nothing of it, as they would not when asked all at once.
    const bool wasReordering = reordering_;
    reordering_ = wasReordering || ownerData_;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    reordering_ = wasReordering;
  }
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
  if (!compare || ownerData_) return false;  // the program orders the rows it keeps
  TListItem* selected = Selected();
  TListItem* focused = ItemFocused();
  // Sorted on the side: a compare that throws leaves the rows as they were.
  std::vector<size_t> order(items_->items_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return compare(items_->items_[a].get(), items_->items_[b].get()) < 0;
  });
  std::vector<std::unique_ptr<TListItem>> rows(order.size());
  for (size_t i = 0; i < order.size(); ++i) rows[i] = std::move(items_->items_[order[i]]);
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
        if (multiSelect_) items_->Item(nm->iItem)->selected_ = is;
        if (was != is) OnSelectItem(this, items_->Item(nm->iItem), is);
        if (nm->iItem < items_->Count()) OnChange(this, items_->Item(nm->iItem), ctState);
        return;
      }
      case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(m.LParam);
        if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
          const std::wstring text = ToWide(CellText(info->item.iItem, info->item.iSubItem));
          const size_t n = std::min(text.size(), static_cast<size_t>(info->item.cchTextMax - 1));
          text.copy(info->item.pszText, n);
          info->item.pszText[n] = L'\0';
        }
        return;
      }
      case LVN_GETDISPINFOA: {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(m.LParam);
        if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
          const std::wstring text = ToWide(CellText(info->item.iItem, info->item.iSubItem));
          int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), info->item.pszText,
                                      info->item.cchTextMax - 1, nullptr, nullptr);
          info->item.pszText[std::max(n, 0)] = '\0';
        }
        return;
      }
      case LVN_DELETEALLITEMS:
        m.Result = TRUE;  // no LVN_DELETEITEM for each row: nothing here wants them
        return;
      case LVN_ODFINDITEMW:
      case LVN_ODFINDITEMA:
        m.Result = -1;  // typing a row's first letters finds nothing: the rows are the program's
        return;
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
  if (m.Msg == WM_NOTIFY) {
    // A column resized in the header (by the user's mouse or a message): the column keeps that width, so
    // that what is saved is what the user sees.
    const auto* nm = reinterpret_cast<const NMHEADERW*>(m.LParam);
    if (nm && (nm->hdr.code == HDN_ITEMCHANGEDW || nm->hdr.code == HDN_ITEMCHANGEDA) && nm->pitem &&
        (nm->pitem->mask & HDI_WIDTH) && nm->iItem >= 0 && nm->iItem < columns_->Count() && HandleAllocated()) {
      // A column still being made (it joins its collection before it is whole) has no width to keep yet.
      if (auto* column = dynamic_cast<TListColumn*>(columns_->TCollection::Items(nm->iItem)))
        column->width_ =
            static_cast<int>(SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nm->iItem), 0));
    }
  }
}

}  // namespace cl

