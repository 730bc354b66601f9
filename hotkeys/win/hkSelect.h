// The command selection dialog: composes the ID list of an "Execute Multiple Commands" entry from the
// other entries of the editor's table and delays between them.
#pragma once
#include <string>

#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

namespace hk {

class TfrmSelect : public cl::TForm {
  CL_CLASS(TfrmSelect, cl::TForm)

  explicit TfrmSelect(cl::TComponent* owner);

  // Fills both lists from the editor's table `view` (rows: caption, then ID, action name, ...) and the
  // list `commands`, shows the dialog modally; true when it closed with OK.
  bool SelectCommands(cl::TListView* view, const std::string& commands);
  // Fills both lists without showing the dialog.
  void FillLists(cl::TListView* view, const std::string& commands);
  // The ID list the destination rows make.
  std::string GetCommands() const;

  void SelectAll(cl::TListView* list);
  void MoveSelected(cl::TListView* from, cl::TListView* to);
  void UpdateButtons();

 private:
  void btnIncludeClick(cl::TObject* sender);
  void btnExcludeClick(cl::TObject* sender);
  void btnInclAllClick(cl::TObject* sender);
  void btnExclAllClick(cl::TObject* sender);
  void btnUpClick(cl::TObject* sender);
  void btnDownClick(cl::TObject* sender);
  void lvSourceClick(cl::TObject* sender);
  void lvSourceChange(cl::TObject* sender, cl::TListItem* item, cl::TItemChange change);
  void lvDestinationClick(cl::TObject* sender);
  void lvDestinationChange(cl::TObject* sender, cl::TListItem* item, cl::TItemChange change);
  void edtDelayExit(cl::TObject* sender);
  void btnAddDelayClick(cl::TObject* sender);
  void FormKeyDown(cl::TObject* sender, uint16_t& key, cl::TShiftState shift);

  // Appends a delay row when `commands` begins with a delay element (which it loses).
  void TakeDelayItem(std::string& commands);
  void RemoveFromSource(const cl::TListItem* row);
  // Rows moved into the source take their place by caption.
  void SortSource();
  // Moves the selected destination row at `index` one place to `index + step`, selected.
  void MoveRow(int index, int step);

  CL_FIELDS((cl::TListView, lvSource),
            (cl::TListView, lvDestination),
            (cl::TButton, btnInclude),
            (cl::TButton, btnInclAll),
            (cl::TButton, btnExclude),
            (cl::TButton, btnExclAll),
            (cl::TButton, btnUp),
            (cl::TButton, btnDown),
            (cl::TButton, btnOk),
            (cl::TButton, btnAddDelay),
            (cl::TEdit, edtDelay),
            (cl::TUpDown, udDelay))
  bool FMoving = false;  // rows are being moved: their selection events wait for the end
};

}  // namespace hk
