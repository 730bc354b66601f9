// Common controls: the up-down arrows and the list view.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

#include "Collections.h"
#include "Controls.h"
#include "Lists.h"
#include "StdCtrls.h"

namespace cl {

enum TUDBtnType { btNext, btPrev };
// (Sender, AllowChange): a handler that clears AllowChange keeps the position.
using TUDChangingEvent = TEvent<TObject*, bool&>;
using TUDClickEvent = TEvent<TObject*, TUDBtnType>;

// Arrows that step Position between Min and Max by Increment (with Wrap, past one end to the other). The
// Associate control (an edit) shows the position and sits to the left of the arrows.
class TUpDown : public TWinControl {
  CL_CLASS(TUpDown, TWinControl)

  explicit TUpDown(TComponent* owner);

  int Min() const noexcept { return min_; }
  void SetMin(int value);
  int Max() const noexcept { return max_; }
  void SetMax(int value);
  // Kept between Min and Max.
  int Position() const noexcept { return position_; }
  void SetPosition(int value);
  int Increment() const noexcept { return increment_; }
  void SetIncrement(int value);
  bool Wrap() const noexcept { return wrap_; }
  void SetWrap(bool value);
  TWinControl* Associate() const noexcept { return associate_; }
  void SetAssociate(TWinControl* value);

  TUDChangingEvent OnChanging;
  TUDClickEvent OnClick;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

 private:
  void ShowPosition();
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int increment_ = 1;
  bool wrap_ = false;
  TWinControl* associate_ = nullptr;
};

class TListView;

// A column of a list view in report mode.
class TListColumn : public TCollectionItem {
  CL_CLASS(TListColumn, TCollectionItem)

  explicit TListColumn(TCollection* collection);

  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(const std::string& value);
  int Width() const noexcept { return width_; }
  void SetWidth(int value);
  TAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TAlignment value);
  void Assign(const TPersistent* source) override;

 private:
  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TListColumns : public TCollection {
  CL_CLASS(TListColumns, TCollection)
  explicit TListColumns(TListView* owner);
  TListColumn* Items(int index) const { return ItemAs<TListColumn>(index); }
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }

 protected:
  void Update(TCollectionItem* item) override;
};

// A row: Caption in the first column, SubItems in the next ones, and a pointer for the program.
class TListItem {
 public:
  TListItem(TListView* owner);
  TListItem(const TListItem&) = delete;
  TListItem& operator=(const TListItem&) = delete;

  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(const std::string& value);
  TStringList* SubItems() const noexcept { return subItems_.get(); }
  void* Data() const noexcept { return data_; }
  void SetData(void* value) noexcept { data_ = value; }
  int Index() const;
  bool Selected() const;
  void SetSelected(bool value);
  TListView* ListView() const noexcept { return owner_; }
  // Copies caption, subitems and Data of another row.
  void Assign(const TListItem* source);
  // The row has the keyboard focus (the focus rectangle). Setting it scrolls the row into view.
  bool Focused() const;
  void SetFocused(bool value);
  // Scrolls the list until the row is visible (with `partialOk`, a partly visible row is enough).
  void MakeVisible(bool partialOk = false);
  // The row's rectangle in the list view's client area; empty without a window.
  enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
  TRect DisplayRect(TDisplayCode code = drBounds) const;

 private:
  TListView* owner_;
  std::string caption_;
  std::unique_ptr<TStringList> subItems_;
  void* data_ = nullptr;
};

class TListItems {
 public:
  explicit TListItems(TListView* owner) : owner_(owner) {}
  TListItems(const TListItems&) = delete;
  TListItems& operator=(const TListItems&) = delete;
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // EListError "List index out of bounds (%d)" for a bad index.
  TListItem* Item(int index) const;
  TListItem* operator[](int index) const { return Item(index); }
  TListItem* Add();
  // A new blank row at index (0 .. Count); the rows from there move down.
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const;
  // Changes between these reach the window once, at the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TListView;
  friend class TListItem;
  TListView* owner_;
  std::vector<std::unique_ptr<TListItem>> items_;
  int updateCount_ = 0;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using TLVSelectItemEvent = TEvent<TObject*, TListItem*, bool>;
using TLVColumnClickEvent = TEvent<TObject*, TListColumn*>;
enum TItemChange { ctText, ctImage, ctState };
// (Sender, Item, Change): a row changed; ctState for its selection or focus.
using TLVChangeEvent = TEvent<TObject*, TListItem*, TItemChange>;
// (Sender, Item1, Item2, Compare): Compare < 0 puts Item1 first, > 0 Item2, 0 keeps their order.
using TLVCompareEvent = TEvent<TObject*, TListItem*, TListItem*, int&>;

// A list view whose columns and rows live here and are mirrored to the window.
class TListView : public TWinControl {
  CL_CLASS(TListView, TWinControl)

  explicit TListView(TComponent* owner);
  ~TListView() override;

  TListColumns* Columns() const noexcept { return columns_.get(); }
  void SetColumns(TListColumns* value) { columns_->Assign(value); }
  TListItems* Items() const noexcept { return items_.get(); }
  TViewStyle ViewStyle() const noexcept { return viewStyle_; }
  void SetViewStyle(TViewStyle value);
  bool RowSelect() const noexcept { return rowSelect_; }
  void SetRowSelect(bool value);
  bool GridLines() const noexcept { return gridLines_; }
  void SetGridLines(bool value);
  bool ReadOnly() const noexcept { return readOnly_; }
  void SetReadOnly(bool value);
  bool HideSelection() const noexcept { return hideSelection_; }
  void SetHideSelection(bool value);

  // The first selected row; null / -1 when none.
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  int ItemIndex() const;
  void SetItemIndex(int value);
  void Clear() { items_->Clear(); }
  // The row with the keyboard focus; the setter also scrolls it into view (null: no row focused).
  TListItem* ItemFocused() const;
  void SetItemFocused(TListItem* item);

  // Reorders the rows by compare (by OnCompare when compare is empty); rows with equal keys keep their
  // order, and the selection and focus stay with their rows. False, and nothing changed, without either.
  bool CustomSort(std::function<int(TListItem*, TListItem*)> compare = {});

  // The row at a point of the client area, else null.
  TListItem* GetItemAt(int x, int y);
  // The first visible row (null when none) and how many rows fit the client area.
  TListItem* TopItem();
  int VisibleRowCount();
  // Scrolls the rows by pixels (in report view vertically by whole rows).
  void Scroll(int dx, int dy);

  TLVSelectItemEvent OnSelectItem;
  TLVColumnClickEvent OnColumnClick;
  TLVChangeEvent OnChange;
  TLVCompareEvent OnCompare;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumns;
  void SyncColumns();
  void SyncItems();
  void InsertRow(int index);
  void UpdateRow(int index);
  void UpdateExStyle();
  // The window exists and shows the rows as they are here.
  bool WindowInSync() const noexcept { return HandleAllocated() && items_->updateCount_ == 0; }
  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListItems> items_;
  TViewStyle viewStyle_ = vsIcon;
  bool rowSelect_ = false;
  bool gridLines_ = false;
  bool readOnly_ = false;
  bool hideSelection_ = true;
  int selectedIndex_ = -1;  // kept while there is no window
  int focusedIndex_ = -1;   // likewise
  bool reordering_ = false; // the window's rows are refilled: no change events
};

}  // namespace cl

