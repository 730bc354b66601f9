// An old-style tab set: a row of tabs hanging from the top edge of a strip, one of them selected. The tabs
// from FirstIndex on are laid out from StartMargin, each its text's width plus 9 pixels wide, as long as
// they end within EndMargin of the right edge; the first that does not fit ends the row (there is no
// scrolling). Painting, hit-testing and clicks all follow that one layout.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "Controls.h"
#include "Lists.h"

namespace cl {

class TTabSet : public TCustomControl {
  CL_CLASS(TTabSet, TCustomControl)

  explicit TTabSet(TComponent* owner);
  ~TTabSet() override;

  TStringList* Tabs() const noexcept { return tabs_.get(); }
  void SetTabs(TStringList* value) { tabs_->Assign(value); }
  // -1: none selected.
  int TabIndex() const noexcept { return tabIndex_; }
  void SetTabIndex(int value);
  int StartMargin() const noexcept { return startMargin_; }
  void SetStartMargin(int value);
  int EndMargin() const noexcept { return endMargin_; }
  void SetEndMargin(int value);
  // The first tab shown.
  int FirstIndex() const noexcept { return firstIndex_; }
  void SetFirstIndex(int value);

  // The place of tab `index` in the client area; empty when it is not shown.
  TRect ItemRect(int index);
  // The tab shown at (x, y) of the client area, or -1.
  int ItemAtPos(TPoint pos);

  TNotifyEvent OnChange;

  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;

 private:
  struct TTabPlace {
    int index;
    TRect rect;
  };
  // The tabs shown, measured in the control's font.
  std::vector<TTabPlace> Layout();

  std::unique_ptr<TStringList> tabs_;
  int tabIndex_ = -1;
  int startMargin_ = 5;
  int endMargin_ = 5;
  int firstIndex_ = 0;
};

}  // namespace cl
