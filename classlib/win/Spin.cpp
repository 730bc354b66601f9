#include "Spin.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <string>

namespace cl {

CL_BEGIN_CLASS(TSpinEdit)
    .Int("Increment", &TSpinEdit::Increment, &TSpinEdit::SetIncrement, 1)
    .Int("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue, 0)
    .Int("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue, 0)
    .Int("Value", &TSpinEdit::Value, &TSpinEdit::SetValue)
CL_END_CLASS

TSpinEdit::TSpinEdit(TComponent* owner) : TEdit(owner) {
  StoreBounds(0, 0, 121, 22);
  SetText("0");
}

int TSpinEdit::ClampToRange(int64_t value) const {
  value = std::clamp<int64_t>(value, INT_MIN, INT_MAX);
  if (minValue_ != 0 || maxValue_ != 0) value = std::clamp<int64_t>(value, minValue_, std::max(minValue_, maxValue_));
  return static_cast<int>(value);
}

int TSpinEdit::Value() const {
  const std::string text = Text();
  const char* begin = text.data();
  const char* end = begin + text.size();
  while (begin != end && *begin == ' ') ++begin;
  while (end != begin && end[-1] == ' ') --end;
  int64_t value = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (begin == end || ptr != end) return ClampToRange(minValue_);
  // Too many digits for any int: the nearer end of the range.
  if (ec == std::errc::result_out_of_range) return ClampToRange(*begin == '-' ? INT64_MIN : INT64_MAX);
  return ClampToRange(value);
}

void TSpinEdit::SetValue(int value) {
  const std::string text = std::to_string(ClampToRange(value));
  if (Text() != text) SetText(text);
}

void TSpinEdit::Step(int direction) {
  SetValue(ClampToRange(int64_t{Value()} + int64_t{direction} * increment_));
  if (HandleAllocated()) SelectAll();
}

void TSpinEdit::CreateHandleDone() {
  inherited::CreateHandleDone();
  // Without a buddy: the arrows only report clicks, and this edit keeps the value.
  arrows_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, Handle(), nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (arrows_) SendMessageW(arrows_, UDM_SETRANGE32, 0, 100);
  PlaceArrows();
}

void TSpinEdit::PlaceArrows() {
  if (!arrows_) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  const int width = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), client.right / 2);
  SetWindowPos(arrows_, nullptr, client.right - width, 0, width, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  // The text stops short of the arrows.
  SendMessageW(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width));
}

void TSpinEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
      if (arrows_ && header && header->hwndFrom == arrows_ && header->code == UDN_DELTAPOS) {
        const auto* delta = reinterpret_cast<const NMUPDOWN*>(m.LParam);
        if (!ReadOnly() && Enabled()) Step(delta->iDelta > 0 ? 1 : -1);
        m.Result = 1;  // the arrows' own position stays put
        return;
      }
      break;
    }
    case WM_NCDESTROY:
      arrows_ = nullptr;
      break;
    case WM_SIZE:
      inherited::Dispatch(m);
      PlaceArrows();
      return;
  }
  inherited::Dispatch(m);
}

void TSpinEdit::DoExit() {
  Clamp();
  inherited::DoExit();
}

void TSpinEdit::KeyDown(uint16_t& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  if ((key == VK_UP || key == VK_DOWN) && !ReadOnly()) {
    Step(key == VK_UP ? 1 : -1);
    key = 0;
  }
}

void TSpinEdit::KeyPress(wchar_t& key) {
  inherited::KeyPress(key);
  // Digits, a minus and editing keys only.
  if (key >= 32 && !(key >= L'0' && key <= L'9') && key != L'-') key = 0;
}

}  // namespace cl
