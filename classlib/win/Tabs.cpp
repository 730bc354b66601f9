#include "Tabs.h"

#include <algorithm>

#include "DeviceContext.h"
#include "WinString.h"

namespace cl {

CL_BEGIN_CLASS(TTabSet)
    .Object("Tabs", &TTabSet::Tabs, &TTabSet::SetTabs)
    .Int("TabIndex", &TTabSet::TabIndex, &TTabSet::SetTabIndex, -1)
    .Int("StartMargin", &TTabSet::StartMargin, &TTabSet::SetStartMargin, 5)
    .Int("EndMargin", &TTabSet::EndMargin, &TTabSet::SetEndMargin, 5)
    .Int("FirstIndex", &TTabSet::FirstIndex, &TTabSet::SetFirstIndex, 0)
    .Event("OnChange", &TTabSet::OnChange)
CL_END_CLASS

// Pixels a tab is wider than its text.
constexpr int kTabPadding = 9;

TTabSet::TTabSet(TComponent* owner) : TCustomControl(owner), tabs_(std::make_unique<TStringList>()) {
  StoreBounds(0, 0, 185, 21);
  tabs_->OnChange = [this](TObject*) { Invalidate(); };
}

TTabSet::~TTabSet() = default;

void TTabSet::SetTabIndex(int value) {
  if (value == tabIndex_) return;
  tabIndex_ = value;
  Invalidate();
  OnChange(this);
}

void TTabSet::SetStartMargin(int value) {
  startMargin_ = value;
  Invalidate();
}

void TTabSet::SetEndMargin(int value) {
  endMargin_ = value;
  Invalidate();
}

void TTabSet::SetFirstIndex(int value) {
  firstIndex_ = std::max(value, 0);
  Invalidate();
}

std::vector<TTabSet::TTabPlace> TTabSet::Layout() {
  std::vector<TTabPlace> places;
  const TWindowDC screen(nullptr);
  const HGDIOBJ oldFont = SelectObject(screen.Get(), Font()->Handle());
  const TRect client = ClientRect();
  const int limit = client.Width() - endMargin_;
  int x = startMargin_;
  for (int i = firstIndex_; i < tabs_->Count(); ++i) {
    const std::wstring text = ToWide(tabs_->Strings(i));
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    const int right = x + size.cx + kTabPadding;
    if (right > limit) break;
    places.push_back({i, Rect(x, 0, right, client.Height())});
    x = right;
  }
  SelectObject(screen.Get(), oldFont);
  return places;
}

TRect TTabSet::ItemRect(int index) {
  for (const TTabPlace& p : Layout())
    if (p.index == index) return p.rect;
  return TRect{};
}

int TTabSet::ItemAtPos(TPoint pos) {
  for (const TTabPlace& p : Layout())
    if (pos.X >= p.rect.Left && pos.X < p.rect.Right && pos.Y >= p.rect.Top && pos.Y < p.rect.Bottom)
      return p.index;
  return -1;
}

void TTabSet::Paint() {
  const HDC dc = Canvas()->Handle();
  const TRect client = ClientRect();
  RECT all{client.Left, client.Top, client.Right, client.Bottom};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  const HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  for (const TTabPlace& p : Layout()) {
    RECT r{p.rect.Left, p.rect.Top, p.rect.Right, p.rect.Bottom};
    FillRect(dc, &r, GetSysColorBrush(p.index == tabIndex_ ? COLOR_WINDOW : COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_RIGHT | BF_BOTTOM);
    const std::wstring text = ToWide(tabs_->Strings(p.index));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, oldFont);
}

void TTabSet::Dispatch(TMessage& m) {
  if (m.Msg == WM_LBUTTONDOWN) {
    const int hit = ItemAtPos(TPoint{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))});
    if (hit >= 0) SetTabIndex(hit);
  } else if (m.Msg == CM_FONTCHANGED) {
    Invalidate();
  }
  inherited::Dispatch(m);
}

}  // namespace cl
