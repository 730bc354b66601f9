#include "SaSortListView.h"

#include "DeviceContext.h"
#include "Types.h"

namespace toolkit {

CL_BEGIN_CLASS(TSaSortListView)
    .Int("SortColumn", &TSaSortListView::SortColumn, &TSaSortListView::SetSortColumn, -1)
    .Bool("SortAscending", &TSaSortListView::SortAscending, &TSaSortListView::SetSortAscending, true)
    .Event("OnSortColumnChange", &TSaSortListView::OnSortColumnChange)
    .Event("OnSortModeChange", &TSaSortListView::OnSortModeChange)
CL_END_CLASS

namespace {

std::unique_ptr<cl::TBitmap> LoadArrow(const char* name) {
  auto bitmap = std::make_unique<cl::TBitmap>();
  bitmap->LoadFromResourceName(GetModuleHandleW(nullptr), name);
  bitmap->SetTransparentMode(cl::tmAuto);  // the colour of the lower-left pixel is left out
  bitmap->SetTransparent(true);
  return bitmap;
}

}  // namespace

TSaSortListView::TSaSortListView(cl::TComponent* owner)
    : TListView(owner), ascending_(LoadArrow("BMP_ASCENDING")), descending_(LoadArrow("BMP_DESCENDING")) {}

TSaSortListView::~TSaSortListView() {
  // The header goes with the window; the hook must not outlive this object's members.
  UnhookHeader();
  DestroyHandle();
}

void TSaSortListView::CreateWnd() {
  inherited::CreateWnd();
  HookHeader();
}

void TSaSortListView::HookHeader() {
  if (!HandleAllocated()) return;
  HWND header = reinterpret_cast<HWND>(SendMessageW(Handle(), LVM_GETHEADER, 0, 0));
  if (!header) header = GetWindow(Handle(), GW_CHILD);  // in report view the first child is the header
  if (!header || header == header_.Handle()) return;
  header_.Install(header, [this](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return HeaderWndProc(wnd, msg, wParam, lParam);
  });
}

LRESULT TSaSortListView::HeaderWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
  if (msg == WM_PAINT && sortColumn_ != -1) DrawArrow(wnd);
  return result;
}

void TSaSortListView::DrawArrow(HWND header) {
  if (sortColumn_ >= Columns()->Count()) return;
  RECT rc{};
  GetClientRect(header, &rc);
  // The column widths as this object knows them: a scrolled list still draws at the unscrolled place.
  int right = 0;
  for (int i = 0; i <= sortColumn_; ++i) right += Columns()->Items(i)->Width();
  cl::TBitmap* arrow = sortAscending_ ? ascending_.get() : descending_.get();
  const int x = right - arrow->Width() - 5;
  const int y = (rc.bottom - (rc.top + arrow->Height())) / 2;
  const cl::TWindowDC dc(header);
  if (!dc) return;
  cl::TCanvas canvas;
  canvas.SetHandle(dc.Get());
  canvas.Draw(x, y, arrow);
  canvas.SetHandle(nullptr);
}

void TSaSortListView::InvalidateHeader() {
  if (!HandleAllocated()) return;
  HookHeader();  // the header appears with the first column
  if (HWND header = header_.Handle()) InvalidateRect(header, nullptr, TRUE);
}

void TSaSortListView::SetSortColumn(int value) {
  if (value == sortColumn_ || value < -1 || value > Columns()->Count() - 1) return;
  sortColumn_ = value;
  InvalidateHeader();
  OnSortColumnChange(this);
}

void TSaSortListView::SetSortAscending(bool value) {
  if (value == sortAscending_) return;
  sortAscending_ = value;
  InvalidateHeader();
  OnSortModeChange(this);
}

}  // namespace toolkit
