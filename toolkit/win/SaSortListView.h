// A list view that shows which column its rows are sorted by, and in which direction, with a small arrow in
// that column's header. It sorts nothing itself: its owner sorts the rows and then sets SortColumn and
// SortAscending.
#pragma once
#include <memory>

#include "ComCtrls.h"
#include "Graphics.h"
#include "WindowSubclass.h"

namespace toolkit {

class TSaSortListView : public cl::TListView {
  CL_CLASS(TSaSortListView, cl::TListView)

  // Loads the arrows from the program's bitmap resources "BMP_ASCENDING" and "BMP_DESCENDING"; raises
  // cl::EResNotFound when one is missing.
  explicit TSaSortListView(cl::TComponent* owner);
  ~TSaSortListView() override;

  // -1 (no arrow) .. column count - 1; other values, and the current one, are ignored.
  int SortColumn() const noexcept { return sortColumn_; }
  void SetSortColumn(int value);
  bool SortAscending() const noexcept { return sortAscending_; }
  void SetSortAscending(bool value);

  cl::TNotifyEvent OnSortColumnChange;
  cl::TNotifyEvent OnSortModeChange;

  // The header window whose painting is followed by the arrow; null while there is none.
  HWND HeaderHandle() const noexcept { return header_.Handle(); }

 protected:
  void CreateWnd() override;

 private:
  void HookHeader();
  void UnhookHeader() noexcept { header_.Remove(); }
  LRESULT HeaderWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void InvalidateHeader();
  void DrawArrow(HWND header);

  int sortColumn_ = -1;
  bool sortAscending_ = true;
  std::unique_ptr<cl::TBitmap> ascending_;
  std::unique_ptr<cl::TBitmap> descending_;
  cl::TWindowSubclass header_;
};

}  // namespace toolkit
