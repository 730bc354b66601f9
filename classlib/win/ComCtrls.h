// Common controls: the up-down arrows, the status bar with its panels, the progress and track bars, and the
// list view.
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

class TStatusBar;

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// One part of a status bar: Width pixels wide (the last one reaches the bar's right end).
class TStatusPanel : public TCollectionItem {
  CL_CLASS(TStatusPanel, TCollectionItem)

  explicit TStatusPanel(TCollection* collection);

  const std::string& Text() const noexcept { return text_; }
  void SetText(const std::string& value);
  int Width() const noexcept { return width_; }
  void SetWidth(int value);
  TAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TAlignment value);
  TStatusPanelBevel Bevel() const noexcept { return bevel_; }
  void SetBevel(TStatusPanelBevel value);
  TStatusPanelStyle Style() const noexcept { return style_; }
  void SetStyle(TStatusPanelStyle value);
  TBiDiMode BiDiMode() const noexcept { return biDiMode_; }
  void SetBiDiMode(TBiDiMode value);
  // Right-to-left reading with its alignment mirrored.
  bool UseRightToLeftAlignment() const noexcept { return biDiMode_ == bdRightToLeft; }

  void Assign(const TPersistent* source) override;

 private:
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelBevel bevel_ = pbLowered;
  TStatusPanelStyle style_ = psText;
  TBiDiMode biDiMode_ = bdLeftToRight;
};

class TStatusPanels : public TCollection {
  CL_PLAIN_CLASS(TStatusPanels, TCollection)
  explicit TStatusPanels(TStatusBar* owner);
  TStatusPanel* Items(int index) const { return ItemAs<TStatusPanel>(index); }
  // The window gets the new panel at once.
  TStatusPanel* Add();

 protected:
  void Update(TCollectionItem* item) override;
};

// (StatusBar, Panel, Rect): paint an owner-drawn panel on the status bar's Canvas.
using TDrawPanelEvent = TEvent<TStatusBar*, TStatusPanel*, TRect>;

// A status bar at the bottom of its parent: one text (SimpleText) while SimplePanel, else its Panels.
class TStatusBar : public TWinControl {
  CL_CLASS(TStatusBar, TWinControl)

  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;

  bool SimplePanel() const noexcept { return simplePanel_; }
  void SetSimplePanel(bool value);
  const std::string& SimpleText() const noexcept { return simpleText_; }
  void SetSimpleText(const std::string& value);
  TStatusPanels* Panels() const noexcept { return panels_.get(); }
  void SetPanels(TStatusPanels* value) { panels_->Assign(value); }
  // Bound to a DC only while OnDrawPanel runs.
  TCanvas* Canvas() const noexcept { return canvas_.get(); }

  TDrawPanelEvent OnDrawPanel;
  // Raises OnDrawPanel with the canvas bound to dc.
  void DrawPanel(HDC dc, TStatusPanel* panel, const TRect& rect);

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  friend class TStatusPanels;
  // Gives the window the panels' edges, texts and kinds.
  void SyncPanels();

  bool simplePanel_ = true;
  std::string simpleText_;
  std::unique_ptr<TStatusPanels> panels_;
  std::unique_ptr<TCanvas> canvas_;
};

// A bar filled in proportion to Position between Min and Max; Position is kept in that range.
class TProgressBar : public TWinControl {
  CL_CLASS(TProgressBar, TWinControl)

  explicit TProgressBar(TComponent* owner);

  int Min() const noexcept { return min_; }
  void SetMin(int value);
  int Max() const noexcept { return max_; }
  void SetMax(int value);
  int Position() const noexcept { return position_; }
  void SetPosition(int value);
  int Step() const noexcept { return step_; }
  void SetStep(int value) { step_ = value; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  void Apply();
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
};

enum TTrackBarOrientation { trHorizontal, trVertical };

// A thumb on a channel with a tick at every step, giving a Position between Min and Max; Position follows
// the user's moves. Vertical bars have Min at the top.
class TTrackBar : public TWinControl {
  CL_CLASS(TTrackBar, TWinControl)

  explicit TTrackBar(TComponent* owner);

  int Min() const noexcept { return min_; }
  void SetMin(int value);
  int Max() const noexcept { return max_; }
  void SetMax(int value);
  // Kept between Min and Max.
  int Position() const noexcept { return position_; }
  void SetPosition(int value);
  TTrackBarOrientation Orientation() const noexcept { return orientation_; }
  void SetOrientation(TTrackBarOrientation value);

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  void Apply();
  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  TTrackBarOrientation orientation_ = trHorizontal;
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
  friend class TListView;  // takes the widths the user gives the columns in the header
  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TListColumns : public TCollection {
  CL_PLAIN_CLASS(TListColumns, TCollection)
  explicit TListColumns(TListView* owner);
  TListColumn* Items(int index) const { return ItemAs<TListColumn>(index); }
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }

 protected:
  void Update(TCollectionItem* item) override;
};

// A row: Caption in the first column, SubItems in the next ones, and a pointer for the program. In a list
// view with OwnerData it is the one shared item that OnData fills for the row asked for.
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
  friend class TListView;
  friend class TListItems;
  bool selected_ = false;  // the row's own selection state in a list view with MultiSelect
  bool virtual_ = false;   // the shared item of an OwnerData list: its changes reach no row
  int virtualIndex_ = -1;  // ... and the row it was filled for
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
  int Count() const noexcept;
  // With OwnerData: the number of rows the program keeps (the rows from Count on lose their selection).
  void SetCount(int value);
  // EListError "List index out of bounds (%d)" for a bad index. With OwnerData: the shared item, filled by
  // OnData for that row, good until the next call.
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
  int count_ = 0;  // OwnerData
  mutable std::unique_ptr<TListItem> virtualItem_;
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
// (Sender, Item): fill Item (caption, sub-items, Data) for row Item->Index() of an OwnerData list.
using TLVOwnerDataEvent = TEvent<TObject*, TListItem*>;

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
  // The column headers are buttons: a click raises OnColumnClick. Without, they are plain captions.
  bool ColumnClick() const noexcept { return columnClick_; }
  void SetColumnClick(bool value);
  bool HideSelection() const noexcept { return hideSelection_; }
  void SetHideSelection(bool value);
  // Several rows may be selected at once (each row's Selected tells); Selected and ItemIndex then give the
  // first selected row, and setting them selects that row alone.
  bool MultiSelect() const noexcept { return multiSelect_; }
  // The rows live with the program, not here nor in the window, which asks for the texts it draws: a list
  // of any length costs nothing per row, and clearing or ending it takes no time. Items()->SetCount gives
  // the number of rows, OnData fills a row on request, UpdateItems redraws rows the program changed. One
  // row is selected at a time (MultiSelect is for lists that keep their rows).
  bool OwnerData() const noexcept { return ownerData_; }
  void SetOwnerData(bool value);
  void UpdateItems(int first, int last);
  void SetMultiSelect(bool value);
  int SelCount() const;

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
  TLVOwnerDataEvent OnData;

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
  // The window's rows hold no texts: it asks for them as it draws (LVN_GETDISPINFO), so filling it takes
  // one placeholder per row and no text at all, and any window row serves for any row here.
  void InsertRow(int index);
  void UpdateRow(int index);
  void MatchRowCount();
  std::string CellText(int row, int column) const;
  // A message straight to the list view's own procedure, past the subclass chain: for the many messages of
  // a fill, which no handler of ours wants to see.
  LRESULT SendDirect(UINT msg, WPARAM wParam, LPARAM lParam);
  void UpdateExStyle();
  // The window exists and shows the rows as they are here.
  bool WindowInSync() const noexcept { return HandleAllocated() && items_->updateCount_ == 0; }
  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListItems> items_;
  TViewStyle viewStyle_ = vsIcon;
  bool rowSelect_ = false;
  bool gridLines_ = false;
  bool readOnly_ = false;
  bool columnClick_ = true;
  bool hideSelection_ = true;
  bool multiSelect_ = false;
  bool ownerData_ = false;
  // Sets one row's selection in a MultiSelect list (the window reports it back like a user's change).
  void SelectRow(int index, bool value);
  int selectedIndex_ = -1;  // kept while there is no window
  int focusedIndex_ = -1;   // likewise
  bool reordering_ = false; // the window's rows are refilled: no change events
};

}  // namespace cl

