// The editor's table (rows, selection, New/Delete/Edit/Apply/Undo/Load, sorting) and the edit box that
// writes each change of its controls into the current row.
#include <algorithm>
#include <memory>
#include <numeric>

#include "Dialogs.h"
#include "HotkeyText.h"
#include "IdList.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "WinString.h"
#include "hkEdit.h"
#include "hkError.h"
#include "hkPrint.h"
#include "hkSelect.h"
#include "hkSpecial.h"

namespace hk {

namespace {

constexpr char kProgramFilter[] = "Program Files (*.exe;*.com)|*.exe;*.com|All Files (*.*)|*.*";
constexpr char kDefinitionsFilter[] = "Hotkey Definition File (*.hkd)|*.hkd|All Files (*.*)|*.*";
constexpr char kDefinitionsTitle[] = "Select Hotkey Definition File";

// Case-insensitive for ASCII letters, every other byte by its code; a sign only, so nothing overflows.
int CompareAsciiNoCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

const std::string& ColumnText(const HotkeyEntry& e, int column) {
  switch (column) {
    case 1: return e.id;
    case 2: return e.action;
    case 3: return e.data;
    case 4: return e.hotkey;
    case 5: return e.active;
    default: return e.description;
  }
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(cl::ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int IndexOfName(cl::TStrings* items, const std::string& name) {
  for (int i = 0; i < items->Count(); ++i)
    if (cl::SameText(items->Get(i), name)) return i;
  return -1;
}

}  // namespace

// ------------------------------------------------------------------------------------------- the rows

HotkeyEntry* TfrmHotkeyEdit::CurrentEntry() {
  if (FCurrentItem < 0 || FCurrentItem >= static_cast<int>(FEntries.entries.size())) return nullptr;
  return &FEntries.entries[static_cast<size_t>(FCurrentItem)];
}

void TfrmHotkeyEdit::ShowRow(int index) { lvHotkeys->UpdateItems(index, index); }

void TfrmHotkeyEdit::lvHotkeysData(cl::TObject*, cl::TListItem* item) {
  const int index = item->Index();
  if (index < 0 || index >= static_cast<int>(FEntries.entries.size())) return;
  const HotkeyEntry& e = FEntries.entries[static_cast<size_t>(index)];
  item->SetCaption(e.description);
  cl::TStringList* texts = item->SubItems();
  for (const std::string* text : {&e.id, &e.action, &e.data, &e.hotkey, &e.active, &e.show, &e.startIn})
    texts->Add(*text);
}

void TfrmHotkeyEdit::RowChanged() {
  ShowRow(FCurrentItem);
  SetModified(true);
}

// ------------------------------------------------------------------------------------ the selection

void TfrmHotkeyEdit::lvHotkeysClick(cl::TObject*) {
  if (FFillingTable) return;
  const int selected = lvHotkeys->ItemIndex();
  if (selected < 0) {
    // A click on empty space: the row being edited stays the selected one.
    if (FCurrentItem >= 0 && FCurrentItem < lvHotkeys->Items()->Count()) {
      FFillingTable = true;
      lvHotkeys->SetItemIndex(FCurrentItem);
      FFillingTable = false;
    }
    return;
  }
  FCurrentItem = selected;
  grpEdit->SetCaption("Edit hotkey");
  ShowCurrentHotkey();
}

void TfrmHotkeyEdit::lvHotkeysChange(cl::TObject* sender, cl::TListItem* item, bool selected) {
  if (item && selected) lvHotkeysClick(sender);
}

void TfrmHotkeyEdit::lvHotkeysDblClick(cl::TObject* sender) { btnEditClick(sender); }

void TfrmHotkeyEdit::btnEditClick(cl::TObject*) { twEditor->Show(); }

void TfrmHotkeyEdit::Button1Click(cl::TObject*) { twEditor->Hide(); }

// The description field follows the window's width by its anchors; the other wide fields take their
// widths from it (the command line shares its row with more controls).
void TfrmHotkeyEdit::twEditorResize(cl::TObject*) {
  const int width = edtDescription->Width();
  edtCommandLine->SetWidth(width - 130);
  for (cl::TControl* c : {edtKeysToSend, edtMultCommands, edtDefFile, edtStartupDir}) c->SetWidth(width);
}

// ----------------------------------------------------------------------------------- New and Delete

void TfrmHotkeyEdit::btnNewClick(cl::TObject*) {
  FEntries.entries.emplace_back();
  FCurrentItem = static_cast<int>(FEntries.entries.size()) - 1;
  // The new row stays last and the sort arrow goes; the sort column the next save restores is kept as it
  // is, so that a second New does not lose it.
  FEntries.sortColumn = -1;
  ShowRows();
  grpEdit->SetCaption("Add hotkey");
  SetModified(true);
}

void TfrmHotkeyEdit::btnDeleteClick(cl::TObject* sender) {
  if (!CurrentEntry()) return;
  FEntries.entries.erase(FEntries.entries.begin() + FCurrentItem);
  if (FEntries.entries.empty()) {
    FCurrentItem = -1;
    btnNewClick(sender);
    return;
  }
  FCurrentItem = 0;
  ShowRows();
  grpEdit->SetCaption("Edit hotkey");
  SetModified(true);
}

// -------------------------------------------------------------------------------- Apply, Undo, Load

void TfrmHotkeyEdit::btnApplyClick(cl::TObject*) { SaveDefinitions(); }

void TfrmHotkeyEdit::btnUndoClick(cl::TObject*) {
  if (cl::Application->MessageBox("Undoing will discard all changes since the last save. Continue?", "Warning",
                                  MB_YESNO | MB_ICONQUESTION) == IDYES)
    ReloadDefinitions();
}

void TfrmHotkeyEdit::btnLoadClick(cl::TObject*) {
  cl::TOpenDialog dialog(nullptr);
  dialog.SetTitle(kDefinitionsTitle);
  dialog.SetFilter(kDefinitionsFilter);
  dialog.SetFilterIndex(1);
  dialog.SetOptions(cl::TOpenOptions{cl::ofHideReadOnly, cl::ofPathMustExist, cl::ofFileMustExist});
  bool chosen = false;
  try {
    chosen = dialog.Execute();
  } catch (const cl::Exception& e) {
    cl::Application->MessageBox(e.what(), "Hotkey Editor", MB_OK | MB_ICONERROR);
  }
  if (chosen && QuerySaveChanges()) OpenDefinitionsFile(dialog.FileName());
  cl::TIniFile(FIniFileName).WriteString("Settings", "HKDFile", FDefinitionsFile);
}

void TfrmHotkeyEdit::btnPrintClick(cl::TObject*) {
  PrintJob job;
  {
    std::unique_ptr<TfrmPrintSettings> settings(cl::NewForm<TfrmPrintSettings>(nullptr));
    if (settings->ShowModal() != cl::mrOk) return;
    job.Options = settings->Options();
  }
  // The texts are copied now: the job lets messages through, and the rows must not change under it.
  static constexpr const char* kCaptions[] = {"Description", "ID", "Action", "Data", "Hotkey", "Active"};
  cl::TListColumns* columns = lvHotkeys->Columns();
  for (int c = 0; c < PrintColumnCount; ++c)
    job.Table.Captions[c] = c < columns->Count() ? columns->ItemAs<cl::TListColumn>(c)->Caption() : kCaptions[c];
  for (const HotkeyEntry& e : FEntries.entries)
    job.Table.Rows.push_back({e.description, e.id, e.action, e.data, e.hotkey, e.active});
  job.FileName = FDefinitionsFile;
  job.ProductLine = PrintProductLine();
  job.ScreenFont = Font();
  try {
    PrintHotkeyTable(cl::Printer(), job);
  } catch (const cl::EAbort&) {
    // Cancelled: the document is discarded, nothing to say.
  } catch (const cl::Exception& e) {
    cl::Application->MessageBox(e.what(), cl::Application->Title(), MB_OK | MB_ICONERROR);
  }
}

// ------------------------------------------------------------------------------------------ sorting

int TfrmHotkeyEdit::lvHotkeysCompare(const HotkeyEntry& item1, const HotkeyEntry& item2) const {
  const int order = CompareAsciiNoCase(ColumnText(item1, FEntries.sortColumn), ColumnText(item2, FEntries.sortColumn));
  return FEntries.sortAscending ? order : -order;
}

void TfrmHotkeyEdit::SortRows() {
  if (FEntries.sortColumn < 0) return;
  std::vector<size_t> order(FEntries.entries.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return lvHotkeysCompare(FEntries.entries[a], FEntries.entries[b]) < 0;
  });
  std::vector<HotkeyEntry> sorted;
  sorted.reserve(order.size());
  int current = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    if (static_cast<int>(order[i]) == FCurrentItem) current = static_cast<int>(i);
    sorted.push_back(std::move(FEntries.entries[order[i]]));
  }
  FEntries.entries = std::move(sorted);
  FCurrentItem = current;
  ShowRows();
}

void TfrmHotkeyEdit::lvHotkeysColumnClick(cl::TObject*, cl::TListColumn* column) {
  if (!column) return;
  const int index = column->Index();
  if (index == FEntries.sortColumn) {
    FEntries.sortAscending = !FEntries.sortAscending;
  } else {
    FEntries.sortAscending = true;
    FEntries.sortColumn = index;
  }
  SortRows();
  FSavedSortColumn = FEntries.sortColumn;
  SaveOrderChange();
}

// ---------------------------------------------------------------------------- moving rows by drag and drop

void TfrmHotkeyEdit::lvHotkeysMouseDown(cl::TObject*, cl::TMouseButton button, cl::TShiftState, int, int) {
  if (button == cl::mbLeft && CurrentEntry()) {
    const cl::TRect r = lvHotkeys->Items()->Item(FCurrentItem)->DisplayRect();
    FDragRowHeight = r.Bottom - r.Top;
  }
}

void TfrmHotkeyEdit::lvHotkeysDragOver(cl::TObject*, cl::TObject*, int, int y, cl::TDragState, bool& accept) {
  accept = true;
  // Near an edge the table scrolls by a row per move, so any row can be reached.
  cl::TListItem* top = lvHotkeys->TopItem();
  if (!top || FDragRowHeight <= 0) return;
  if (y <= 15 && top->Index() > 0)
    lvHotkeys->Scroll(0, -FDragRowHeight);
  else if (y >= lvHotkeys->ClientHeight() - 10 &&
           top->Index() + lvHotkeys->VisibleRowCount() < lvHotkeys->Items()->Count())
    lvHotkeys->Scroll(0, FDragRowHeight);
}

void TfrmHotkeyEdit::lvHotkeysDragDrop(cl::TObject* sender, cl::TObject* source, int x, int y) {
  if (sender != lvHotkeys || source != lvHotkeys || !CurrentEntry()) return;
  cl::TListItem* target = lvHotkeys->GetItemAt(x, y);
  if (!target) {
    MessageBeep(0xFFFFFFFF);
    return;
  }
  const int to = target->Index();
  if (to == FCurrentItem) return;
  // The dragged row goes in front of the target row.
  HotkeyEntry moved = std::move(FEntries.entries[static_cast<size_t>(FCurrentItem)]);
  FEntries.entries.erase(FEntries.entries.begin() + FCurrentItem);
  const int at = FCurrentItem < to ? to - 1 : to;
  FEntries.entries.insert(FEntries.entries.begin() + at, std::move(moved));
  FCurrentItem = at;
  // The manual order is now the order.
  FEntries.sortColumn = -1;
  FSavedSortColumn = -1;
  ShowRows();
  if (lvHotkeys->CanFocus()) lvHotkeys->SetFocus();
  SaveOrderChange();
}

void TfrmHotkeyEdit::SaveOrderChange() {
  if (btnApply->Enabled()) {
    btnApply->SetEnabled(true);
    btnUndo->SetEnabled(true);
  } else {
    SaveDefinitions();
  }
}

// --------------------------------------------------------------------------------------- the edit box

void TfrmHotkeyEdit::ShowCurrentHotkey() {
  const HotkeyEntry* e = CurrentEntry();
  if (!e) return;
  const HotkeyEntry row = *e;  // the controls' own events must not see a half-filled row
  const bool wasUpdating = FUpdating;
  FUpdating = true;
  edtDescription->SetText(row.description);
  cboActions->SetItemIndex(IndexOfName(cboActions->Items(), row.action));
  edtID->SetText(row.id);
  switch (SelectedAction()) {
    case haOpenProgram: edtCommandLine->SetText(row.data); break;
    case haSendKeystrokes: edtKeysToSend->SetText(row.data); break;
    case haExecuteMultiple: edtMultCommands->SetText(row.data); break;
    case haExitWindows: cboParams->SetItemIndex(IndexOfName(cboParams->Items(), row.data)); break;
    case haSwitchClipboard: cboClipboard->SetItemIndex(cboClipboard->Items()->IndexOf(row.data)); break;
    case haOpenFolder: edtStartupDir->SetText(row.data); break;
    case haOpenDefinitions: edtDefFile->SetText(row.data); break;
    default: break;
  }
  if (SelectedAction() == haOpenProgram) {
    cboShow->SetItemIndex(IndexOfName(cboShow->Items(), row.show));
    edtStartupDir->SetText(row.startIn);
  }
  UpdateActionControls();
  ShowHotkeyControls();
  chkActive->SetChecked(row.active == "True");
  FUpdating = wasUpdating;
}

void TfrmHotkeyEdit::UpdateActionControls() {
  const int action = SelectedAction();
  edtCommandLine->SetVisible(action == haOpenProgram);
  lblShow->SetVisible(action == haOpenProgram);
  cboShow->SetVisible(action == haOpenProgram);
  edtKeysToSend->SetVisible(action == haSendKeystrokes);
  edtMultCommands->SetVisible(action == haExecuteMultiple);
  cboParams->SetVisible(action == haExitWindows);
  cboClipboard->SetVisible(action == haSwitchClipboard);
  edtDefFile->SetVisible(action == haOpenDefinitions);
  const bool startDir = action == haOpenProgram || action == haOpenFolder;
  lblStartupDir->SetVisible(startDir);
  edtStartupDir->SetVisible(startDir);
  lblCommandLine->SetVisible(action <= haExitWindows || action == haSwitchClipboard || action == haOpenDefinitions);
  switch (action) {
    case haOpenProgram:
      lblCommandLine->SetCaption("Co&mmandline:");
      lblCommandLine->SetFocusControl(edtCommandLine);
      SetupOpenDialog(0);
      break;
    case haSendKeystrokes:
      lblCommandLine->SetCaption("&Keys to send:");
      lblCommandLine->SetFocusControl(edtKeysToSend);
      break;
    case haExecuteMultiple:
      lblCommandLine->SetCaption("Com&mand IDs:");
      lblCommandLine->SetFocusControl(edtMultCommands);
      break;
    case haExitWindows:
      lblCommandLine->SetCaption("Para&meters:");
      lblCommandLine->SetFocusControl(cboParams);
      break;
    case haSwitchClipboard:
      lblCommandLine->SetCaption("Clip&board:");
      lblCommandLine->SetFocusControl(cboClipboard);
      break;
    case haOpenDefinitions:
      lblCommandLine->SetCaption("De&finition File:");
      lblCommandLine->SetFocusControl(edtDefFile);
      SetupOpenDialog(1);
      break;
    default:
      break;
  }
}

void TfrmHotkeyEdit::SetupOpenDialog(int kind) {
  OpenDialog->SetTitle(kind == 0 ? "Select Program to Run" : kDefinitionsTitle);
  OpenDialog->SetFilter(kind == 0 ? kProgramFilter : kDefinitionsFilter);
  OpenDialog->SetFilterIndex(kind == 0 ? 2 : 1);
}

void TfrmHotkeyEdit::edtStartupDirButtonClick(cl::TObject*) {
  if (BrowseForFolder->Execute()) edtStartupDir->SetText(BrowseForFolder->Directory());
}

void TfrmHotkeyEdit::edtKeysToSendButtonClick(cl::TObject*) {
  std::unique_ptr<TfrmSpecialChars> dialog(cl::NewForm<TfrmSpecialChars>(nullptr));
  dialog->SetKeys(edtKeysToSend->Text());
  if (dialog->ShowModal() == cl::mrOk) edtKeysToSend->SetText(dialog->GetKeys());
}

void TfrmHotkeyEdit::edtMultCommandsButtonClick(cl::TObject*) {
  std::unique_ptr<TfrmSelect> dialog(cl::NewForm<TfrmSelect>(nullptr));
  if (dialog->SelectCommands(lvHotkeys, edtMultCommands->Text())) edtMultCommands->SetText(dialog->GetCommands());
}

// Text handlers: nothing while the controls are being filled or without a row.
void TfrmHotkeyEdit::edtDescriptionChange(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e) return;
  e->description = edtDescription->Text();
  RowChanged();
}

void TfrmHotkeyEdit::edtDescriptionExit(cl::TObject*) {
  if (FUpdating || !CurrentEntry() || !edtID->Text().empty()) return;
  std::vector<std::string> ids;
  for (const HotkeyEntry& e : FEntries.entries) ids.push_back(e.id);
  edtID->SetText(UniqueHotkeyId(ids, FCurrentItem, edtDescription->Text()));
}

void TfrmHotkeyEdit::edtIDChange(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e) return;
  std::vector<std::string> ids;
  for (const HotkeyEntry& row : FEntries.entries) ids.push_back(row.id);
  e->id = UniqueHotkeyId(ids, FCurrentItem, edtID->Text());
  RowChanged();
}

void TfrmHotkeyEdit::edtIDExit(cl::TObject*) {
  const HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e || edtID->Text() == e->id) return;
  FUpdating = true;
  edtID->SetText(e->id);
  FUpdating = false;
}

void TfrmHotkeyEdit::cboActionsClick(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e) return;
  const int action = SelectedAction();
  if (action < 0) return;
  const std::string name = cboActions->Items()->Get(action);
  if (name == e->action) return;
  e->action = name;
  e->actionNumber = action;
  switch (action) {
    case haOpenProgram: e->data = edtCommandLine->Text(); break;
    case haSendKeystrokes: e->data = edtKeysToSend->Text(); break;
    case haExecuteMultiple: e->data = edtMultCommands->Text(); break;
    case haExitWindows: e->data = cboParams->ItemIndex() >= 0 ? cboParams->Text() : std::string(); break;
    case haSwitchClipboard: e->data = cboClipboard->ItemIndex() >= 0 ? cboClipboard->Text() : std::string(); break;
    case haOpenDefinitions: e->data = edtDefFile->Text(); break;
    default: e->data.clear(); break;
  }
  RowChanged();
  // The controls of the new action may still show values of another row or action: they show this row's.
  ShowCurrentHotkey();
}

void TfrmHotkeyEdit::edtCommandLineChange(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e) return;
  e->data = edtCommandLine->Text();
  RowChanged();
}

void TfrmHotkeyEdit::edtCommandLineExit(cl::TObject*) {
  if (FUpdating || !CurrentEntry() || !Trim(edtStartupDir->Text()).empty()) return;
  std::string s = Trim(edtCommandLine->Text());
  if (!s.empty() && s[0] == '"') s.erase(0, 1);
  // Without a drive there is nothing to start from: a relative path gives no start directory.
  if (s.size() < 3 || s[1] != ':' || s[2] != '\\') return;
  std::string dir = s.substr(0, 2);
  s.erase(0, 3);
  for (size_t slash = s.find('\\'); slash != std::string::npos; slash = s.find('\\')) {
    const std::string candidate = dir + "\\" + s.substr(0, slash);
    if (!DirectoryExists(candidate)) break;
    dir = candidate;
    s.erase(0, slash + 1);
  }
  if (dir.size() == 2) dir += "\\";
  edtStartupDir->SetText(dir);
}

void TfrmHotkeyEdit::edtKeysToSendChange(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e) return;
  e->data = edtKeysToSend->Text();
  RowChanged();
}

void TfrmHotkeyEdit::edtMultCommandsChange(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e) return;
  e->data = edtMultCommands->Text();
  RowChanged();
}

void TfrmHotkeyEdit::edtMultCommandsExit(cl::TObject*) {
  if (FUpdating || !CurrentEntry()) return;
  // The list is read as the runner reads it, so that what passes here is what runs.
  bool valid = true;
  for (const IdListItem& item : ParseIdList(edtMultCommands->Text())) {
    auto row = std::find_if(FEntries.entries.begin(), FEntries.entries.end(),
                            [&](const HotkeyEntry& e) { return e.id == item.id; });
    if (row == FEntries.entries.end() || ActionNumberOfName(row->action) == haExecuteMultiple) {
      valid = false;
      break;
    }
  }
  if (valid) return;
  MessageBoxW(Handle(),
              L"This entry contains one or more invalid IDs (ID does not exist or ID belongs to Multiple Action "
              L"command).",
              L"Invalid IDs found", MB_OK | MB_ICONEXCLAMATION);
  edtMultCommands->SetFocus();
}

void TfrmHotkeyEdit::edtDefFileChange(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e) return;
  e->data = edtDefFile->Text();
  RowChanged();
}

void TfrmHotkeyEdit::edtStartupDirChange(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e) return;
  (SelectedAction() == haOpenFolder ? e->data : e->startIn) = edtStartupDir->Text();
  RowChanged();
}

void TfrmHotkeyEdit::cboParamsClick(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e || cboParams->ItemIndex() < 0 || cboParams->Text() == e->data) return;
  e->data = cboParams->Text();
  RowChanged();
}

void TfrmHotkeyEdit::cboClipboardClick(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e || cboClipboard->ItemIndex() < 0 || cboClipboard->Text() == e->data) return;
  e->data = cboClipboard->Text();
  RowChanged();
}

void TfrmHotkeyEdit::cboShowClick(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e || cboShow->ItemIndex() < 0 || cboShow->Text() == e->show) return;
  e->show = cboShow->Text();
  RowChanged();
}

void TfrmHotkeyEdit::chkActiveClick(cl::TObject*) {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e) return;
  const std::string active = chkActive->Checked() ? "True" : "False";
  if (active == e->active) return;
  e->active = active;
  RowChanged();
}

// ----------------------------------------------------------------------------------- the combination

void TfrmHotkeyEdit::ShowHotkeyControls() {
  const HotkeyEntry* e = CurrentEntry();
  if (!e) return;
  const std::string text = e->hotkey;
  // Ticking a box runs its click handler: while the controls follow the row they must not write it back.
  const bool wasUpdating = FUpdating;
  FUpdating = true;
  chkCtrl->SetChecked(text.find("Ctrl") != std::string::npos);
  chkAlt->SetChecked(text.find("Alt") != std::string::npos);
  chkShift->SetChecked(text.find("Shift") != std::string::npos);
  chkWin->SetChecked(text.find("Win") != std::string::npos);
  cboHotkey->SetItemIndex(KeyPositionFromText(text));
  FUpdating = wasUpdating;
}

void TfrmHotkeyEdit::chkCtrlClick(cl::TObject*) { ApplyHotkeyControls(); }

void TfrmHotkeyEdit::ApplyHotkeyControls() {
  HotkeyEntry* e = CurrentEntry();
  if (FUpdating || !e) return;
  std::string text;
  if (chkCtrl->Checked()) AppendKeyPart(text, "Ctrl");
  if (chkAlt->Checked()) AppendKeyPart(text, "Alt");
  if (chkShift->Checked()) AppendKeyPart(text, "Shift");
  if (chkWin->Checked()) AppendKeyPart(text, "Win");
  AppendKeyPart(text, cboHotkey->ItemIndex() >= 0 ? cboHotkey->Text() : std::string());
  if (text == e->hotkey) return;
  if (CheckHotkeyCombination(text)) {
    e = CurrentEntry();
    if (!e) return;
    e->hotkey = text;
    RowChanged();
  } else {
    ShowHotkeyControls();
  }
}

bool TfrmHotkeyEdit::CheckHotkeyCombination(const std::string& text) {
  for (int i = 0; i < static_cast<int>(FEntries.entries.size()); ++i) {
    const HotkeyEntry& other = FEntries.entries[static_cast<size_t>(i)];
    if (i == FCurrentItem || other.hotkey != text || other.active != "True") continue;
    std::unique_ptr<TfrmHotkeyError> dialog(cl::NewForm<TfrmHotkeyError>(nullptr));
    dialog->SetEntry(other.description);
    // "Continue" keeps the combination; "Reset", Escape and the close box restore the controls.
    return dialog->ShowModal() == cl::mrOk;
  }
  // The test registration tells whether another program holds the combination. Our own hot keys are off
  // while there are unsaved changes; when they are on, a combination one of them holds is ours.
  const std::uint8_t key = KeyCodeFromText(text);
  const toolkit::TSaHotKeyModifiers modifiers = ModifiersFromText(text);
  for (int i = 0; i < SysHotkeys->Count(); ++i) {
    const toolkit::TSaHotKeyItem own = SysHotkeys->HotKeys(i);
    if (own.Registered && own.Key == key && own.Modifiers == modifiers) return true;
  }
  const int before = SysHotkeys->Count();
  const bool registered = SysHotkeys->AddHotKey(key, modifiers).Registered;
  if (SysHotkeys->Count() > before) SysHotkeys->DeleteHotKey(SysHotkeys->Count() - 1);
  if (!registered)
    MessageBoxW(Handle(), L"This hotkey combination is in use by another application.", L"Hotkey combination error",
                MB_OK | MB_ICONINFORMATION);
  return registered;
}

}  // namespace hk
