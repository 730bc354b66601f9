#include "SaBrowseEdit.h"

#include <windowsx.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "DeviceContext.h"

namespace toolkit {

// ---------------------------------------------------------------------------------------------------------
// TSaBrowseButton.

TSaBrowseButton::TSaBrowseButton(cl::TComponent* owner, TSaBrowseEdit* edit) : cl::TSpeedButton(owner), edit_(edit) {
  SetControlStyle(ControlStyle().Exclude(cl::csDoubleClicks));
  // The edit around it would show its text cursor.
  SetCursor(cl::crArrow);
  StoreBounds(0, 0, TSaBrowseEdit::ButtonWidth, 17);
}

void TSaBrowseButton::MouseDown(cl::TMouseButton button, cl::TShiftState shift, int x, int y) {
  inherited::MouseDown(button, shift, x, y);
  if (edit_ && edit_->CanFocus()) edit_->SetFocus();
}

void TSaBrowseButton::Click() {
  inherited::Click();
  if (edit_) edit_->ButtonClick();
}

void TSaBrowseButton::Paint() {
  HDC dc = Canvas()->Handle();
  Canvas()->Refresh();
  const cl::TSavedDC saved(dc);
  const int w = Width();
  const int h = Height();
  SelectObject(dc, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, GetStockObject(DC_PEN));
  auto line = [dc](int color, std::initializer_list<POINT> points) {
    SetDCPenColor(dc, GetSysColor(color));
    const std::vector<POINT> p(points);
    Polyline(dc, p.data(), static_cast<int>(p.size()));
  };
  int y = h - 5;
  int x = 4;
  if (State() == cl::bsDown || State() == cl::bsExclusive) {
    SetDCPenColor(dc, GetSysColor(COLOR_BTNSHADOW));
    Rectangle(dc, 0, 0, w, h);
    y += 1;
    x = 5;
  } else {
    RECT r{0, 0, w, h};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    line(COLOR_3DLIGHT, {{0, h - 1}, {0, 0}, {w - 1, 0}});
    line(COLOR_BTNHIGHLIGHT, {{1, h - 1}, {1, 1}, {w - 1, 1}});
    line(COLOR_3DDKSHADOW, {{0, h - 1}, {w - 1, h - 1}, {w - 1, -1}});
    line(COLOR_BTNSHADOW, {{1, h - 2}, {w - 2, h - 2}, {w - 2, 0}});
  }
  const bool enabled = !edit_ || edit_->Enabled();
  for (int i = 0; i < 3; ++i) {
    SetPixel(dc, x + 3 * i, y, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
    if (!enabled) SetPixel(dc, x + 3 * i + 1, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  }
}

// ---------------------------------------------------------------------------------------------------------
// TSaBrowseEdit.

CL_BEGIN_CLASS(TSaBrowseEdit)
    .Bool("AutoSelect", &TSaBrowseEdit::AutoSelect, &TSaBrowseEdit::SetAutoSelect, true)
    .Object("Dialog", &TSaBrowseEdit::Dialog, &TSaBrowseEdit::SetDialog)
    .Event("OnButtonClick", &TSaBrowseEdit::OnButtonClick)
CL_END_CLASS

TSaBrowseEdit::TSaBrowseEdit(cl::TComponent* owner) : cl::TEdit(owner) {
  button_ = new TSaBrowseButton(this, this);
  button_->SetParent(this);
}

TSaBrowseEdit::~TSaBrowseEdit() {
  // The button calls back into the edit; it goes first.
  delete button_;
  button_ = nullptr;
  SetDialog(nullptr);
}

void TSaBrowseEdit::SetDialog(cl::TOpenDialog* value) {
  if (value == dialog_) return;
  if (dialog_) dialog_->RemoveFreeNotification(this);
  dialog_ = value;
  if (dialog_) dialog_->FreeNotification(this);
}

void TSaBrowseEdit::Notification(cl::TComponent* component, cl::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != cl::opRemove) return;
  if (component == dialog_) dialog_ = nullptr;
  if (component == button_) button_ = nullptr;
}

void TSaBrowseEdit::ButtonClick() {
  if (!dialog_) {
    OnButtonClick(this);
    return;
  }
  if (!dialog_->Execute()) return;
  SetText(dialog_->FileName());
  if (autoSelect_ && HandleAllocated())
    SendMessageW(Handle(), EM_SETSEL, 0, GetWindowTextLengthW(Handle()));
}

void TSaBrowseEdit::DoEnter() {
  inherited::DoEnter();
  if (autoSelect_ && !pressingText_ && HandleAllocated()) SelectAll();
}

void TSaBrowseEdit::CreateParams(cl::TCreateParams& params) {
  inherited::CreateParams(params);
  // A multi-line edit honours a formatting rectangle, which keeps the text out of the button.
  params.Style |= ES_MULTILINE;
}

void TSaBrowseEdit::CreateHandleDone() {
  inherited::CreateHandleDone();
  SetEditRect();
}

void TSaBrowseEdit::SetEditRect() {
  if (!HandleAllocated()) return;
  RECT rc{};
  GetClientRect(Handle(), &rc);
  if (button_) button_->SetBounds(rc.right - ButtonWidth, 0, ButtonWidth, rc.bottom);
  rc.right = std::max(rc.left, rc.right - ButtonWidth);
  SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rc));
}

void TSaBrowseEdit::PasteFirstLine() {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(Handle())) return;
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      // The clipboard's text may lack its terminator: read no further than the block.
      const size_t limit = GlobalSize(data) / sizeof(wchar_t);
      size_t n = 0;
      while (n < limit && p[n] != L'\0' && p[n] != L'\r' && p[n] != L'\n') ++n;
      text.assign(p, n);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TSaBrowseEdit::Dispatch(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      // Answered here rather than by the multi-line edit: Tab and Escape stay with the form (the edit in
      // dialog mode would close its parent on Escape); Enter comes to the edit, which refuses it below.
      m.Result = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (m.WParam == VK_RETURN) m.Result |= DLGC_WANTALLKEYS;
      return;
    case WM_CHAR:
      if (m.WParam == L'\r') {
        MessageBeep(0);
        wchar_t key = L'\r';
        DoKeyPress(key);
        m.WParam = 0;
      } else if (m.WParam == L'\n') {
        // Ctrl+Enter would start a second line.
        m.WParam = 0;
      }
      if (m.WParam == 0) {
        // Nothing is inserted; the edit still sees the (empty) character.
        m.Result = CallDefaultProc(m);
        return;
      }
      break;
    case WM_PASTE:
      // Like a single-line edit: only the first line of the clipboard's text comes in.
      if (!ReadOnly()) PasteFirstLine();
      m.Result = 0;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      pressingText_ = !button_ || !button_->BoundsRect().Contains(cl::Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
      struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
      } reset{pressingText_};
      inherited::Dispatch(m);
      return;
    }
    case WM_SIZE:
      inherited::Dispatch(m);
      SetEditRect();
      return;
    case WM_WINDOWPOSCHANGING:
      SetEditRect();
      break;
    case WM_SETFOCUS: {
      inherited::Dispatch(m);
      // The multi-line edit's caret is as tall as a line; this one spans the field.
      POINT at{};
      GetCaretPos(&at);
      CreateCaret(Handle(), nullptr, 1, std::max(1, ClientHeight() - 4));
      SetCaretPos(at.x, at.y);
      ShowCaret(Handle());
      return;
    }
    case cl::CM_ENABLEDCHANGED:
      inherited::Dispatch(m);
      if (button_) button_->Invalidate();
      return;
  }
  inherited::Dispatch(m);
}

}  // namespace toolkit
