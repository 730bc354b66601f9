#include "StdCtrls.h"

#include <algorithm>
#include <cwctype>

#include "DeviceContext.h"
#include "WinString.h"

namespace cl {

// ---------------------------------------------------------------------------------------------------------
// TButton.

CL_BEGIN_CLASS(TButton)
    .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
    .Str("Caption", &TButton::Caption, &TButton::SetCaption)
    .Bool("Default", &TButton::Default, &TButton::SetDefault, false)
    .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, mrNone)
    .Bool("TabStop", &TButton::TabStop, &TButton::SetTabStop, true)
CL_END_CLASS

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  StoreBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, L"BUTTON");
  params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (modalResult_ != mrNone)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  inherited::Click();
}

void TButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == BN_CLICKED) Click();
      return;
    case CM_DIALOGCHAR:
      // Alt and the marked character of the caption press the button.
      if (CanFocus() && IsAccel(static_cast<wchar_t>(m.WParam), Caption())) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    case CM_DIALOGKEY:
      if (((m.WParam == VK_RETURN && default_) || (m.WParam == VK_ESCAPE && cancel_)) &&
          KeyDataToShiftState(m.LParam).Empty() && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TButtonControl.

TButtonControl::TButtonControl(TComponent* owner, int width, DWORD style) : TWinControl(owner), style_(style) {
  StoreBounds(0, 0, width, 17);
  SetTabStop(true);
}

void TButtonControl::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, L"BUTTON");
  params.Style |= style_;
}

void TButtonControl::CreateHandleDone() {
  SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TButtonControl::StoreChecked(bool value) {
  if (value == checked_) return false;
  checked_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  return true;
}

void TButtonControl::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == BN_CLICKED) SetChecked(ClickedState());
    return;
  }
  if (m.Msg == CM_DIALOGCHAR && CanFocus() && IsAccel(static_cast<wchar_t>(m.WParam), Caption())) {
    // Alt and the marked character: focus and change, as a click would.
    SetFocus();
    SetChecked(ClickedState());
    m.Result = 1;
    return;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TCheckBox.

CL_BEGIN_CLASS(TCheckBox)
    .Str("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption)
    .Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked, false)
    .Bool("TabStop", &TCheckBox::TabStop, &TCheckBox::SetTabStop, true)
CL_END_CLASS

void TCheckBox::SetChecked(bool value) {
  if (StoreChecked(value) && !ComponentState().Contains(csLoading)) Click();
}

CL_BEGIN_CLASS(TRadioButton)
    .Str("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption)
    .Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, false)
    .Bool("TabStop", &TRadioButton::TabStop, &TRadioButton::SetTabStop, true)
CL_END_CLASS

void TRadioButton::SetChecked(bool value) {
  if (!StoreChecked(value) || !value) return;
  if (TWinControl* parent = Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
        other->SetChecked(false);
  }
  if (!ComponentState().Contains(csLoading)) Click();
}

// ---------------------------------------------------------------------------------------------------------
// TEdit.

CL_BEGIN_CLASS(TEdit)
    .Int("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength, 0)
    .Bool("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly, false)
    .Int("Color", &TEdit::Color, &TEdit::SetColor, clWindow).Stored(&TEdit::IsColorStored)
    .Bool("ParentColor", &TEdit::ParentColor, &TEdit::SetParentColor, false)
    .Bool("TabStop", &TEdit::TabStop, &TEdit::SetTabStop, true)
    .Str("Text", &TEdit::Text, &TEdit::SetText)
    .Event("OnChange", &TEdit::OnChange)
CL_END_CLASS

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  StoreBounds(0, 0, 121, 21);
  SetColor(clWindow);
  SetControlStyle(ControlStyle().Include(csFramed));
  SetTabStop(true);
}

void TEdit::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, L"EDIT");
  params.Style |= ES_AUTOHSCROLL | ES_LEFT;
  if (readOnly_) params.Style |= ES_READONLY;
  ApplyFrameStyle(params);
}

void TEdit::CreateHandleDone() { SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0); }

void TEdit::SetMaxLength(int value) {
  maxLength_ = value < 0 ? 0 : value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, value, 0);
}

void TEdit::SelectAll() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TEdit::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == EN_CHANGE) Change();
    return;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TMemo.

CL_BEGIN_CLASS(TMemo)
    .Enum("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars, {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"},
          ssNone)
    .Bool("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap, true)
CL_END_CLASS

TMemo::TMemo(TComponent* owner) : TEdit(owner) { StoreBounds(0, 0, 185, 89); }

void TMemo::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
  if (!wordWrap_ || scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= ES_AUTOHSCROLL;
}

void TMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  if (HandleAllocated()) RecreateWnd();
}

int TMemo::SelStart() {
  DWORD start = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

void TMemo::SetSelStart(int value) { SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(value), value); }

int TMemo::SelLength() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TMemo::SetSelLength(int value) {
  const int start = SelStart();
  SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), start + value);
}

std::string TMemo::SelText() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::wstring text = ToWide(Text());
  if (start >= end || start >= text.size()) return {};
  return FromWide(text.substr(start, std::min<size_t>(end, text.size()) - start));
}

void TMemo::SetSelText(const std::string& value) {
  SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ToWide(value).c_str()));
}

void TMemo::Dispatch(TMessage& m) {
  if (m.Msg == WM_GETDLGCODE) {
    inherited::Dispatch(m);
    // The edit wants every key; Tab and Escape belong to the form.
    if (m.WParam == VK_TAB || m.WParam == VK_ESCAPE)
      m.Result &= ~static_cast<intptr_t>(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    return;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TLabel.

CL_BEGIN_CLASS(TLabel)
    .Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, {"taLeftJustify", "taRightJustify", "taCenter"},
          taLeftJustify)
    .Bool("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true)
    .Str("Caption", &TLabel::Caption, &TLabel::SetCaption)
    .Enum("Layout", &TLabel::Layout, &TLabel::SetLayout, {"tlTop", "tlCenter", "tlBottom"}, tlTop)
    .Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)
    .Object("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl)
    .Bool("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false)
CL_END_CLASS

bool IsAccel(wchar_t ch, const std::string& caption) {
  const std::wstring text = ToWide(caption);
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] == L'&') {
      ++i;  // "&&" shows one "&"
      continue;
    }
    return std::towupper(static_cast<wint_t>(text[i + 1])) == std::towupper(static_cast<wint_t>(ch));
  }
  return false;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { StoreBounds(0, 0, 65, 17); }

void TLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Invalidate();
}

UINT TLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (wordWrap_) flags |= DT_WORDBREAK;
  return flags;
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
  {
    const TWindowDC screen(nullptr);
    if (!screen) return;
    const TSelectedObject font(screen.Get(), Font()->Handle());
    std::wstring text = ToWide(Caption());
    if (text.empty()) text = L" ";  // an empty label keeps the height of a line
    DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r, TextFlags() | DT_CALCRECT);
  }
  const int left = alignment_ == taRightJustify ? Left() + Width() - r.right : Left();
  SetBounds(left, Top(), r.right, r.bottom);
}

void TLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::Loaded() {
  inherited::Loaded();
  AdjustBounds();
}

void TLabel::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  if (!transparent_) canvas->FillRect(client);
  HDC dc = canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
  const std::wstring text = ToWide(Caption());
  RECT r{client.Left, client.Top, client.Right, client.Bottom};
  if (layout_ != tlTop) {
    RECT calc = r;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &calc, TextFlags() | DT_CALCRECT);
    const int h = calc.bottom - calc.top;
    r.top += layout_ == tlCenter ? (client.Height() - h) / 2 : client.Height() - h;
  }
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, TextFlags());
}

void TLabel::SetFocusControl(TWinControl* value) {
  if (value == focusControl_) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = value;
  if (focusControl_) focusControl_->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TLabel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGCHAR:
      if (focusControl_ && Showing() && Enabled() && focusControl_->CanFocus() &&
          IsAccel(static_cast<wchar_t>(m.WParam), Caption())) {
        focusControl_->SetFocus();
        m.Result = 1;
        return;
      }
      break;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      AdjustBounds();
      Invalidate();
      break;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TGroupBox.

CL_BEGIN_CLASS(TGroupBox)
    .Str("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption)
CL_END_CLASS

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  StoreBounds(0, 0, 185, 105);
  SetControlStyle(ControlStyle().Include(csAcceptsControls));
}

void TGroupBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, L"BUTTON");
  params.Style |= BS_GROUPBOX;
}

void TGroupBox::Dispatch(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND && HandleAllocated()) {
    // The system's group box leaves its inside unpainted.
    RECT r;
    GetClientRect(Handle(), &r);
    FillRect(reinterpret_cast<HDC>(m.WParam), &r, Brush()->Handle());
    m.Result = 1;
    return;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TComboBox.

CL_BEGIN_CLASS(TComboBox)
    .Enum("Style", &TComboBox::Style, &TComboBox::SetStyle, {"csDropDown", "csDropDownList", "csOwnerDrawFixed"},
          csDropDown)
    .Int("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight, 16)
    .Event("OnDrawItem", &TComboBox::OnDrawItem)
    .Int("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8)
    .Bool("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted, false)
    .Bool("TabStop", &TComboBox::TabStop, &TComboBox::SetTabStop, true)
    .Int("Color", &TComboBox::Color, &TComboBox::SetColor, clWindow).Stored(&TComboBox::IsColorStored)
    .Bool("ParentColor", &TComboBox::ParentColor, &TComboBox::SetParentColor, false)
    .Str("Text", &TComboBox::Text, &TComboBox::SetText)
    .Object("Items", &TComboBox::Items, &TComboBox::SetItems)
    .Int("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex, -1)
    .Event("OnChange", &TComboBox::OnChange)
CL_END_CLASS

TComboBox::TComboBox(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TCanvas>()), items_(std::make_unique<TStringList>()) {
  StoreBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
  items_->OnChange = [this](TObject*) { SyncItems(); };
}

void TComboBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, L"COMBOBOX");
  params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
  if (style_ == csDropDown) params.Style |= CBS_DROPDOWN;
  else params.Style |= CBS_DROPDOWNLIST;
  if (style_ == csOwnerDrawFixed) params.Style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
  // The window's height includes the list while it is dropped down.
  params.Height = height_ + dropDownCount_ * 16;
}

void TComboBox::CreateHandleDone() {
  const std::string text = text_;
  shownItems_.clear();  // a new window starts empty
  SyncItems();
  if (style_ == csDropDown && itemIndex_ < 0) SetWindowTextW(Handle(), ToWide(text).c_str());
}

void TComboBox::Loaded() {
  inherited::Loaded();
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  SyncItems();
}

void TComboBox::SyncItems() {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  // Items added one at a time to a combo box with a window only append: refilling the whole list on
  // every change would cost the square of the count.
  const auto count = static_cast<size_t>(items_->Count());
  bool appended = shownItems_.size() <= count;
  for (size_t i = 0; appended && i < shownItems_.size(); ++i)
    appended = shownItems_[i] == items_->Get(static_cast<int>(i));
  if (!appended) {
    SendMessageW(wnd, CB_RESETCONTENT, 0, 0);
    shownItems_.clear();
  }
  for (size_t i = shownItems_.size(); i < count; ++i) {
    shownItems_.push_back(items_->Get(static_cast<int>(i)));
    SendMessageW(wnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(shownItems_.back()).c_str()));
  }
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  SendMessageW(wnd, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
}

int TComboBox::ItemIndex() const { return itemIndex_; }

void TComboBox::SetItemIndex(int value) {
  if (ComponentState().Contains(csLoading)) {
    itemIndex_ = value;  // the items may follow in the description
    return;
  }
  if (value < -1 || value >= items_->Count()) value = -1;
  if (value == itemIndex_) return;
  itemIndex_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
  Click();
  Change();
}

void TComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

void TComboBox::SetDropDownCount(int value) {
  dropDownCount_ = value < 1 ? 1 : value;
  if (HandleAllocated()) SetWindowPos(Handle(), nullptr, 0, 0, Width(), Height() + dropDownCount_ * 16,
                                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBox::SetItemHeight(int value) {
  if (value < 1) value = 1;
  if (value == itemHeight_) return;
  itemHeight_ = value;
  if (HandleAllocated() && style_ == csOwnerDrawFixed) {
    SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, value);
    SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), value);
  }
}

void TComboBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  canvas_->FillRect(rect);
  if (index >= 0 && index < items_->Count()) canvas_->TextOut(rect.Left + 2, rect.Top, items_->Get(index));
}

void TComboBox::CNDrawItem(TMessage& m) {
  auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  TOwnerDrawState state;
  if (d->itemState & ODS_SELECTED) state.Include(odSelected);
  if (d->itemState & ODS_DISABLED) state.Include(odDisabled);
  if (d->itemState & ODS_FOCUS) state.Include(odFocused);
  if (d->itemState & ODS_COMBOBOXEDIT) state.Include(odComboBoxEdit);
  const TRect rect{d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom};
  canvas_->SetHandle(d->hDC);
  try {
    canvas_->SetFont(Font());
    if (state.Contains(odSelected)) {
      canvas_->Brush()->SetColor(clHighlight);
      canvas_->Font()->SetColor(clHighlightText);
    } else {
      canvas_->Brush()->SetColor(Color());
    }
    DrawItem(static_cast<int>(d->itemID), rect, state);
    if (state.Contains(odFocused)) canvas_->DrawFocusRect(rect);
  } catch (...) {
    canvas_->SetHandle(nullptr);
    throw;
  }
  canvas_->SetHandle(nullptr);
  m.Result = 1;
}

void TComboBox::Dispatch(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    CNDrawItem(m);
    return;
  }
  if (m.Msg == CN_MEASUREITEM) {
    reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->itemHeight = static_cast<UINT>(itemHeight_);
    m.Result = 1;
    return;
  }
  if (m.Msg == CN_COMMAND) {
    switch (HIWORD(m.WParam)) {
      case CBN_SELCHANGE:
        itemIndex_ = static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
        Click();
        Change();
        break;
      case CBN_EDITCHANGE:
        itemIndex_ = -1;
        Change();
        break;
    }
    return;
  }
  inherited::Dispatch(m);
}

}  // namespace cl

