// The combo-box painter: draws a combo box from the skin's composed combo images, whose edit area is key
// colour so that the control's own text and selection stay visible. ComboButton's image carries the look
// of a combo box with its button on the right, SunkEdge's (the same strip mirrored) one with its button on
// the left. A simple combo box has no button and gets nothing drawn over it.
#pragma once
#include "SkinControl.h"

namespace skin {

class TSkinComBox : public TSkinControl {
  CL_PLAIN_CLASS(TSkinComBox, TSkinControl)
  explicit TSkinComBox(cl::TComponent* owner) : TSkinControl(owner) {}
  // Gives the edit child its procedure back and frees the list's painter.
  ~TSkinComBox() override;

  // Also hooks the edit child of a drop-down combo box, or gives a simple one's list its painter.
  void Attach(TWinSkinForm* form, TSkinData* data, bool useColor) override;
  // Also gives the edit child its own procedure back.
  void RestoreColor() override;

  // The edit child while it is hooked; null otherwise.
  HWND HookedEdit() const noexcept { return editHook_.Handle(); }
  // The list window of a simple combo box; null for the others.
  HWND List() const noexcept { return list_; }
  // The painter of a simple combo box's list, or null. It belongs to the combo painter's owner; this
  // painter frees it when it goes, unless the owner has freed it first.
  TSkinControl* ListPainter() const noexcept { return listPainter_; }

 protected:
  void AfterMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;
  // A new painter for a simple combo box's list, owned by this painter's owner; null: the list keeps its
  // own scroll bars.
  virtual TSkinControl* NewListPainter();
  void Notification(cl::TComponent* component, cl::TOperation operation) override;

 private:
  // Drop-down combo boxes: the edit child's presses count as presses on the combo box, and its paints
  // bring the combo box's look back.
  void HookEdit();
  void SkinList();
  LRESULT EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // The frame of the composed strip for the current state, counted in the strip as drawn left to right.
  int StateFrame(bool leftButton, int frameCount) const;

  cl::TWindowSubclass editHook_;
  HWND list_ = nullptr;
  TSkinControl* listPainter_ = nullptr;
};

}  // namespace skin
