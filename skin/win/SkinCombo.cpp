#include "SkinCombo.h"

#include "SkinScrollbars.h"

#include "ImgUtil.h"
#include "WinSkinData.h"

namespace skin {

namespace {

bool IsPopupWindow(HWND wnd) {
  return (GetWindowLongW(wnd, GWL_STYLE) & WS_POPUP) != 0 ||
         GetParent(wnd) == reinterpret_cast<HWND>(static_cast<INT_PTR>(0x10014));
}

}  // namespace

TSkinComBox::~TSkinComBox() {
  editHook_.Remove();
  delete listPainter_;  // its notification clears the pointer
}

void TSkinComBox::Attach(TWinSkinForm* form, TSkinData* data, bool useColor) {
  if (State() != kPainterNew) return;
  TSkinControl::Attach(form, data, useColor);
  if (!Handle()) return;
  if ((GetWindowLongW(Handle(), GWL_STYLE) & 3) != CBS_SIMPLE) {
    HookEdit();
  } else {
    SkinList();
  }
}

void TSkinComBox::HookEdit() {
  const HWND edit = GetTopWindow(Handle());
  if (!edit) return;
  editHook_.Install(edit, [this](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return EditProc(wnd, msg, wParam, lParam);
  });
}

LRESULT TSkinComBox::EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
  // A painter switched off, or whose combo box is gone, leaves the edit alone too.
  if (!SkinOn() || State() == kPainterDestroyed) return result;
  switch (msg) {
    case WM_PAINT:
      // The edit paints over the combo box's frame where they meet.
      PaintFrame(nullptr);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetMouseFlag(kMousePressed, true);
      Redraw();
      break;
    case WM_LBUTTONUP:
      SetMouseFlag(kMousePressed, false);
      Redraw();
      break;
    default:
      break;
  }
  return result;
}

void TSkinComBox::SkinList() {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(Handle(), &info)) return;
  list_ = info.hwndList;
  if (!list_ || IsPopupWindow(list_) || (GetWindowLongW(list_, GWL_STYLE) & WS_CHILD) == 0) return;
  TSkinControl* painter = NewListPainter();
  if (!painter) return;
  try {
    painter->AttachHandle(list_, Data(), Form());
  } catch (const std::exception&) {
    delete painter;
    return;
  }
  listPainter_ = painter;
  // The owner may free the list's painter first.
  FreeNotification(painter);
}

TSkinControl* TSkinComBox::NewListPainter() { return new TSkinScrollbarH(Owner()); }

void TSkinComBox::Notification(cl::TComponent* component, cl::TOperation operation) {
  TSkinControl::Notification(component, operation);
  if (operation == cl::opRemove && component == listPainter_) listPainter_ = nullptr;
}

void TSkinComBox::RestoreColor() {
  TSkinControl::RestoreColor();
  editHook_.Remove();
}

void TSkinComBox::AfterMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetMouseFlag(kMousePressed, true);
      Redraw();
      break;
    case WM_DRAWITEM:
    case WM_NCPAINT:
      Redraw();
      break;
    case WM_LBUTTONUP:
      SetMouseFlag(kMousePressed, false);
      Redraw();
      break;
    case cl::CM_MOUSEENTER:
      // Shown at the next paint.
      if (IsWindowEnabled(Handle())) SetMouseFlag(kMouseHot, true);
      break;
    case cl::CM_MOUSELEAVE:
      // Also when disabled: a control disabled under the mouse must not stay hot or pressed.
      SetMouseFlag(kMouseHot | kMousePressed, false);
      break;
    default:
      TSkinControl::AfterMessage(m);
      break;
  }
}

int TSkinComBox::StateFrame(bool leftButton, int frameCount) const {
  // 1 normal, 2 pressed, 3 disabled, 4 hot or focused; disabled wins, or a disabled box could look usable.
  int frame = 1;
  if (!IsWindowEnabled(Handle())) {
    frame = 3;
  } else if (Pressed()) {
    frame = 2;
  } else if (Hot() || GetFocus() == Handle()) {
    frame = 4;
  }
  // The left-button look is the right-button strip mirrored as a whole: its frames run backwards.
  return leftButton ? frameCount + 1 - frame : frame;
}

void TSkinComBox::DrawSkin(HDC dc, const RECT& rect) {
  TSkinData* data = Data();
  // Both looks are composed only when the skin has both elements; without them the image is no combo box.
  if (!data || !data->ComboButton || !data->SunkEdge) return;
  const bool leftButton = (GetWindowLongW(Handle(), GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  TDataSkinObject& element = leftButton ? static_cast<TDataSkinObject&>(*data->SunkEdge) : *data->ComboButton;
  cl::TBitmap* image = SkinImageBitmap(element.Image);
  if (!image) return;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(Handle(), &info) || (info.stateButton & STATE_SYSTEM_INVISIBLE) != 0) return;
  const int frame = StateFrame(leftButton, element.FrameCount);
  DrawNineSlice(dc, cl::TRect{rect.left, rect.top, rect.right, rect.bottom}, *image, false, false, true,
                element.FrameCount, frame, element.Margins);
}

}  // namespace skin
