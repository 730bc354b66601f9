#include "hkSelect.h"

#include "IdList.h"
#include "SysUtils.h"

namespace hk {

namespace {

constexpr char kDelayCaption[] = "Delay=";

// Entry rows carry the editor row's texts; delay rows have none.
bool IsEntryRow(const cl::TListItem* row) { return row->SubItems()->Count() > 0; }

std::string RowId(const cl::TListItem* row) { return IsEntryRow(row) ? row->SubItems()->Get(0) : std::string(); }

std::string DelayText(const cl::TListItem* row) {
  const std::string& caption = row->Caption();
  const size_t equals = caption.find('=');
  return equals == std::string::npos ? std::string() : caption.substr(equals + 1);
}

cl::TListItem* AppendCopy(cl::TListView* list, const cl::TListItem* row) {
  cl::TListItem* copy = list->Items()->Add();
  copy->Assign(row);
  return copy;
}

}  // namespace

TfrmSelect::TfrmSelect(cl::TComponent* owner) : TForm(owner) {
  LoadDescription();
  UpdateButtons();
}

bool TfrmSelect::SelectCommands(cl::TListView* view, const std::string& commands) {
  FillLists(view, commands);
  return ShowModal() == cl::mrOk;
}

void TfrmSelect::FillLists(cl::TListView* view, const std::string& commands) {
  FMoving = true;
  lvSource->Items()->Clear();
  lvDestination->Items()->Clear();
  std::string rest = commands;
  TakeDelayItem(rest);
  // Lists cannot be listed: their rows are not offered.
  cl::TListItems* rows = view->Items();
  for (int i = 0; i < rows->Count(); ++i) {
    const cl::TListItem* row = rows->Item(i);
    if (row->SubItems()->Count() > 1 && ActionNumberOfName(row->SubItems()->Get(1)) == haExecuteMultiple) continue;
    AppendCopy(lvSource, row);
  }
  SortSource();
  while (!rest.empty()) {
    TakeDelayItem(rest);
    const std::string id = TakeNextId(rest);
    if (id.empty()) continue;  // an empty element, or the end
    for (int i = 0; i < rows->Count(); ++i) {
      const cl::TListItem* row = rows->Item(i);
      if (RowId(row) != id) continue;
      AppendCopy(lvDestination, row);
      RemoveFromSource(row);
      break;
    }
  }
  FMoving = false;
  lvDestinationClick(this);
}

void TfrmSelect::TakeDelayItem(std::string& commands) {
  if (!commands.starts_with("D=")) return;
  commands.erase(0, 2);
  const size_t semicolon = commands.find(';');
  const std::string value = commands.substr(0, semicolon);
  commands.erase(0, semicolon == std::string::npos ? commands.size() : semicolon + 1);
  lvDestination->Items()->Add()->SetCaption(kDelayCaption + value);
}

void TfrmSelect::RemoveFromSource(const cl::TListItem* row) {
  cl::TListItems* items = lvSource->Items();
  for (int i = 0; i < items->Count(); ++i) {
    const cl::TListItem* candidate = items->Item(i);
    if (candidate->Caption() == row->Caption() && RowId(candidate) == RowId(row)) {
      items->Delete(i);
      return;
    }
  }
}

void TfrmSelect::SortSource() {
  lvSource->CustomSort([](cl::TListItem* a, cl::TListItem* b) { return cl::CompareText(a->Caption(), b->Caption()); });
}

std::string TfrmSelect::GetCommands() const {
  std::string list;
  cl::TListItems* items = lvDestination->Items();
  for (int i = 0; i < items->Count(); ++i) {
    const cl::TListItem* row = items->Item(i);
    if (i > 0) list += ';';
    list += IsEntryRow(row) ? RowId(row) : "D=" + DelayText(row);
  }
  return list;
}

void TfrmSelect::SelectAll(cl::TListView* list) {
  for (int i = 0; i < list->Items()->Count(); ++i) list->Items()->Item(i)->SetSelected(true);
}

void TfrmSelect::MoveSelected(cl::TListView* from, cl::TListView* to) {
  const bool wasMoving = FMoving;
  FMoving = true;
  cl::TListItems* items = from->Items();
  for (int i = 0; i < items->Count();) {
    cl::TListItem* row = items->Item(i);
    if (!row->Selected()) {
      ++i;
      continue;
    }
    // A delay row that leaves the destination is gone for good.
    if (IsEntryRow(row)) AppendCopy(to, row)->SetSelected(true);
    items->Delete(i);
  }
  if (to == lvSource) SortSource();
  FMoving = wasMoving;
  UpdateButtons();
}

void TfrmSelect::UpdateButtons() {
  btnInclude->SetEnabled(lvSource->SelCount() > 0);
  btnInclAll->SetEnabled(lvSource->Items()->Count() > 0);
  btnExclude->SetEnabled(lvDestination->SelCount() > 0);
  btnExclAll->SetEnabled(lvDestination->Items()->Count() > 0);
  btnOk->SetEnabled(btnExclAll->Enabled());
  cl::TListItems* items = lvDestination->Items();
  int first = -1, last = -1;
  for (int i = 0; i < items->Count(); ++i)
    if (items->Item(i)->Selected()) {
      if (first < 0) first = i;
      last = i;
    }
  btnUp->SetEnabled(first > 0);
  btnDown->SetEnabled(last >= 0 && last < items->Count() - 1);
}

void TfrmSelect::btnIncludeClick(cl::TObject*) { MoveSelected(lvSource, lvDestination); }

void TfrmSelect::btnInclAllClick(cl::TObject*) {
  SelectAll(lvSource);
  MoveSelected(lvSource, lvDestination);
}

void TfrmSelect::btnExcludeClick(cl::TObject* sender) {
  MoveSelected(lvDestination, lvSource);
  lvDestinationClick(sender);
}

void TfrmSelect::btnExclAllClick(cl::TObject* sender) {
  SelectAll(lvDestination);
  MoveSelected(lvDestination, lvSource);
  lvDestinationClick(sender);
}

void TfrmSelect::MoveRow(int index, int step) {
  cl::TListItems* items = lvDestination->Items();
  cl::TListItem* row = items->Item(index);
  cl::TListItem* copy = items->Insert(step < 0 ? index - 1 : index + 2);
  copy->Assign(row);
  copy->SetSelected(true);
  items->Delete(items->IndexOf(row));
}

void TfrmSelect::btnUpClick(cl::TObject* sender) {
  FMoving = true;
  cl::TListItems* items = lvDestination->Items();
  for (int i = 1; i < items->Count(); ++i)
    if (items->Item(i)->Selected()) MoveRow(i, -1);
  FMoving = false;
  lvDestinationClick(sender);
}

void TfrmSelect::btnDownClick(cl::TObject* sender) {
  FMoving = true;
  cl::TListItems* items = lvDestination->Items();
  for (int i = items->Count() - 2; i >= 0; --i)
    if (items->Item(i)->Selected()) MoveRow(i, +1);
  FMoving = false;
  lvDestinationClick(sender);
}

void TfrmSelect::lvSourceClick(cl::TObject*) { UpdateButtons(); }

void TfrmSelect::lvSourceChange(cl::TObject*, cl::TListItem*, cl::TItemChange change) {
  if (!FMoving && change == cl::ctState) UpdateButtons();
}

void TfrmSelect::lvDestinationClick(cl::TObject*) {
  const cl::TListItem* selected = lvDestination->Selected();
  const bool delay = selected && !IsEntryRow(selected);
  btnAddDelay->SetCaption(delay ? "&Edit" : "&Add");
  if (delay) {
    udDelay->SetPosition(cl::StrToIntDef(DelayText(selected), 0));
    edtDelay->SetText(std::to_string(udDelay->Position()));
  }
  UpdateButtons();
}

void TfrmSelect::lvDestinationChange(cl::TObject* sender, cl::TListItem*, cl::TItemChange change) {
  if (!FMoving && change == cl::ctState) lvDestinationClick(sender);
}

void TfrmSelect::edtDelayExit(cl::TObject*) {
  // The up-down keeps the value within its range; text that is no number leaves it as it was.
  const int typed = cl::StrToIntDef(edtDelay->Text(), udDelay->Position());
  udDelay->SetPosition(typed);
  edtDelay->SetText(std::to_string(udDelay->Position()));
}

void TfrmSelect::btnAddDelayClick(cl::TObject* sender) {
  // Pressed through its accelerator the edit is never left: its text is checked here as well.
  edtDelayExit(sender);
  const std::string caption = kDelayCaption + std::to_string(udDelay->Position());
  cl::TListItem* selected = lvDestination->Selected();
  if (selected && !IsEntryRow(selected)) selected->SetCaption(caption);
  else lvDestination->Items()->Add()->SetCaption(caption);
  UpdateButtons();
}

void TfrmSelect::FormKeyDown(cl::TObject*, uint16_t& key, cl::TShiftState) {
  if (key == VK_ESCAPE) SetModalResult(cl::mrCancel);
}

CL_BEGIN_CLASS(TfrmSelect)
    .Method("btnIncludeClick", &TfrmSelect::btnIncludeClick)
    .Method("btnExcludeClick", &TfrmSelect::btnExcludeClick)
    .Method("btnInclAllClick", &TfrmSelect::btnInclAllClick)
    .Method("btnExclAllClick", &TfrmSelect::btnExclAllClick)
    .Method("btnUpClick", &TfrmSelect::btnUpClick)
    .Method("btnDownClick", &TfrmSelect::btnDownClick)
    .Method("lvSourceClick", &TfrmSelect::lvSourceClick)
    .Method("lvSourceChange", &TfrmSelect::lvSourceChange)
    .Method("lvDestinationClick", &TfrmSelect::lvDestinationClick)
    .Method("lvDestinationChange", &TfrmSelect::lvDestinationChange)
    .Method("edtDelayExit", &TfrmSelect::edtDelayExit)
    .Method("btnAddDelayClick", &TfrmSelect::btnAddDelayClick)
    .Method("FormKeyDown", &TfrmSelect::FormKeyDown)
CL_END_CLASS

}  // namespace hk
