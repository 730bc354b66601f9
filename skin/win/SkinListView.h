// The list view painter (its scroll bars, as any control with bars of its own, and its header) and the
// header painter, which draws each header item from the skin with its text, image and sort arrow.
#pragma once
#include <windows.h>

#include "SkinDescription.h"
#include "SkinScrollbars.h"

namespace skin {

class TSkinHeader;

class TSkinListView : public TSkinScrollbar {
  CL_PLAIN_CLASS(TSkinListView, TSkinScrollbar)
  explicit TSkinListView(cl::TComponent* owner) : TSkinScrollbar(owner) {}
  ~TSkinListView() override;

  // The scroll bars, then a header painter (owned by the list view) on the list's header, if it has one.
  void AttachScrollbars(cl::TWinControl* control, TSkinData* data, TWinSkinForm* form) override;

  // Null when the list has no header, or once its painter has gone.
  TSkinHeader* Header() const noexcept { return header_; }

 protected:
  void Notification(cl::TComponent* component, cl::TOperation operation) override;

 private:
  TSkinHeader* header_ = nullptr;
};

// A header control. The sorted column, if any, gets an arrow: the one the item's format marks
// (HDF_SORTUP, HDF_SORTDOWN), else the one the header's owner publishes (SortColumn, SortAscending) — the
// owner's own arrow would be painted over.
class TSkinHeader : public TSkinControl {
  CL_PLAIN_CLASS(TSkinHeader, TSkinControl)
  explicit TSkinHeader(cl::TComponent* owner) : TSkinControl(owner) {}

 protected:
  bool BeforeMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;

 private:
  TDataSkinObject* Bar() const;
  // 1 ascending (arrow up), -1 descending, 0 not sorted.
  int SortMark(int index, int format) const;
};

}  // namespace skin
