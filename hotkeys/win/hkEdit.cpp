#include "hkEdit.h"

#include <shellapi.h>

#include <algorithm>
#include <exception>
#include <limits>
#include <utility>

#include "FileUtil.h"
#include "HotkeyText.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "hkAbout.h"
#include "hkHelp.h"
#include "hkMulti.h"
#include "WinString.h"

namespace hk {

namespace {

constexpr char kSettings[] = "Settings";
constexpr char kEditorWindow[] = "EditorWindow";
constexpr char kColumns[] = "EWColumns";
constexpr int kMinTrackWidth = 411;
constexpr int kMinTrackHeight = 244;
constexpr char kEditorCaption[] = "Calderine Editor - ";

std::string CurrentDirectory() {
  std::wstring dir(MAX_PATH, L'\0');
  DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), dir.data());
  if (n > dir.size()) {
    dir.resize(n);
    n = GetCurrentDirectoryW(n, dir.data());
  }
  dir.resize(n);
  return cl::FromWide(dir);
}

}  // namespace

TfrmHotkeyEdit::TfrmHotkeyEdit(cl::TComponent* owner) : TForm(owner) {
  LoadDescription();
}

TfrmHotkeyEdit::~TfrmHotkeyEdit() = default;

void TfrmHotkeyEdit::CreateHandleDone() {
  inherited::CreateHandleDone();
  if (FOnWindowMade) std::exchange(FOnWindowMade, nullptr)();
}

std::string TfrmHotkeyEdit::ProgramFile() const { return cl::Application->ExeName(); }

// ------------------------------------------------------------------------------------ creation and end

void TfrmHotkeyEdit::FormCreate(cl::TObject*) {
  // The program lives in the notification area: no window and no taskbar button at start.
  cl::Application->SetShowMainForm(false);
  atiHotkeys->HideAppButton();

  for (std::string_view name : ActionNames) cboActions->Items()->Add(std::string(name));
  for (std::string_view name : ExitWindowsParameterNames) cboParams->Items()->Add(std::string(name));
  cboParams->SetItemIndex(0);
  for (std::string_view name : HotkeyKeyNames) cboHotkey->Items()->Add(std::string(name));

  FClosing = false;
  FUpdating = false;
  FExecuting = false;
  cboShow->SetItemIndex(0);

  // The settings come before the window is made: the tray icon they switch on is the first sign of the
  // program, and making the window with all its controls takes a while.
  FIniFileName = cl::ChangeFileExt(ProgramFile(), ".ini");
  ReadSettings();
  RemoveLeftoversOfSave(FDefinitionsFile);

  FClipboards = std::make_unique<TClipboards>();
  FNextViewer = SetClipboardViewer(Handle());
  FInViewerChain = true;
  UpdateClipboardList();
  SwitchClipboard(0);  // also draws the first tray icon
  ReloadDefinitions();
  // Told only now, when the hot keys are registered and the program works as it should but for the
  // settings it could not keep.
  if (FStartupWriteFailure) cl::HandleException(std::exchange(FStartupWriteFailure, nullptr));
}

void TfrmHotkeyEdit::FormDestroy(cl::TObject*) {
  FCommands.clear();
  if (FInViewerChain && HandleAllocated()) ChangeClipboardChain(Handle(), FNextViewer);
  FInViewerChain = false;
  FClipboards.reset();
  WriteSettings();
}

void TfrmHotkeyEdit::ReadSettings() {
  cl::TIniFile ini(FIniFileName);
  FDefinitionsFile = DefinitionsFileFromSetting(ini.ReadString(kSettings, "HKDFile", ""), ProgramFile(),
                                                CurrentDirectory());

  // Ticking the box runs its click handler; ApplyShowIcon then settles icon and setting in any case.
  StartupWrite([&] { chkShowIcon->SetChecked(ini.ReadInteger(kSettings, "ShowTaskbarIcon", 1) == 1); });
  StartupWrite([&] { ApplyShowIcon(); });

  FUpdating = true;
  // The up-down keeps the count within 1..100, so a stray value in the file cannot stop the start.
  udClipboards->SetPosition(ini.ReadInteger(kSettings, "ClipboardCount", 5));
  edtClipboards->SetText(std::to_string(udClipboards->Position()));
  FUpdating = false;

  SetWidth(ini.ReadInteger(kEditorWindow, "Width", Width()));
  SetHeight(ini.ReadInteger(kEditorWindow, "Height", Height()));

  // While AutoRun is on, the autorun value is written again at every start.
  StartupWrite([&] { chkAutoStart->SetChecked(ini.ReadBool(kSettings, "AutoRun", true)); });

  ReadColumnWidths(ini, kColumns, *lvHotkeys->Columns());
}

void TfrmHotkeyEdit::StartupWrite(const std::function<void()>& step) {
  try {
    step();
  } catch (const cl::EIniFileException&) {
    // A settings file that is read-only, or that cannot be made where the program is, must not stop the
    // start half-way (no definitions, no hot keys): the first failure is kept and told at the end.
    if (!FStartupWriteFailure) FStartupWriteFailure = std::current_exception();
  }
}

void TfrmHotkeyEdit::WriteSettings() {
  cl::TIniFile ini(FIniFileName);
  ini.WriteString(kSettings, "HKDFile", FDefinitionsFile);
  ini.WriteInteger(kSettings, "ClipboardCount", udClipboards->Position());
  WriteWindowSize(ini, kEditorWindow, *this);
  WriteColumnWidths(ini, kColumns, *lvHotkeys->Columns());
}

// ---------------------------------------------------------------------------------------- the options

void TfrmHotkeyEdit::chkShowIconClick(cl::TObject*) {
  ApplyShowIcon();
  if (chkShowIcon->Checked() || cl::TIniFile(FIniFileName).ReadInteger(kSettings, "showme", 1) != 1) return;
  // Without the icon only the hot key opens the editor: say so, without waiting for an answer.
  if (!FNotice) {
    FNotice = cl::NewForm<TForm1>(this);
    FNotice->SetIniFileName(FIniFileName);
  }
  FNotice->Show();
}

void TfrmHotkeyEdit::ApplyShowIcon() {
  atiHotkeys->SetActive(chkShowIcon->Checked());
  cl::TIniFile(FIniFileName).WriteInteger(kSettings, "ShowTaskbarIcon", chkShowIcon->Checked() ? 1 : 0);
}

void TfrmHotkeyEdit::chkAutoStartClick(cl::TObject*) {
  if (FUnticking) return;
  FIniFileName = cl::ChangeFileExt(ProgramFile(), ".ini");
  const bool on = chkAutoStart->Checked();
  const bool shown = ApplyAutorun(*FAutorun, on, ProgramFile(), FIniFileName, [](const std::string& text) {
    cl::Application->MessageBox(text, "Hotkey Editor", MB_OK | MB_ICONWARNING);
  });
  if (shown != on) {
    // The setting already says off; unticking must not run the option's handler a second time.
    const cl::TBusyScope unticking(FUnticking);
    chkAutoStart->SetChecked(shown);
  }
}

void TfrmHotkeyEdit::UpdateClipboardList() {
  if (!FClipboards) return;
  FClipboards->SetCount(udClipboards->Position());
  const std::string selected = cboClipboard->ItemIndex() >= 0 ? cboClipboard->Text() : std::string();
  // Refilling the list is not the user's choice: the current row keeps its data.
  const bool wasUpdating = FUpdating;
  FUpdating = true;
  cboClipboard->Items()->Clear();
  for (int i = 1; i <= FClipboards->Count(); ++i) cboClipboard->Items()->Add(std::to_string(i));
  int index = cboClipboard->Items()->IndexOf(selected);
  cboClipboard->SetItemIndex(index >= 0 ? index : 0);
  FUpdating = wasUpdating;
}

void TfrmHotkeyEdit::edtClipboardsChange(cl::TObject*) {
  if (FUpdating) return;
  // A number typed into the edit moves the up-down, which keeps it within 1..100; other text (an edit
  // emptied to type anew) leaves the count as it is.
  constexpr int kNotANumber = std::numeric_limits<int>::min();
  const int typed = cl::StrToIntDef(edtClipboards->Text(), kNotANumber);
  if (typed != kNotANumber && typed != udClipboards->Position()) {
    const cl::TBusyScope filling(FUpdating);
    udClipboards->SetPosition(typed);
  }
  UpdateClipboardList();
}

void TfrmHotkeyEdit::edtClipboardsExit(cl::TObject*) {
  edtClipboards->SetText(std::to_string(udClipboards->Position()));
}

// ------------------------------------------------------------------------------- showing and closing

void TfrmHotkeyEdit::ShowEditor() {
  SetWindowState(cl::wsNormal);
  Show();
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(Handle());
}

void TfrmHotkeyEdit::ShowHotkeyList() {
  if (!FHotkeyList) {
    HotkeyListHost host;
    host.definitionsFile = [this] { return FDefinitionsFile; };
    host.naming = [this] {
      DefinitionsNaming naming;
      naming.actionNames = ItemsOf(cboActions);
      naming.exitWindowsParameters = ItemsOf(cboParams);
      return naming;
    };
    host.clipboardNames = [this] { return ItemsOf(cboClipboard); };
    host.executeRegistered = [this](int index) { ExecuteRegistered(index); };
    host.closed = [this] { FHotkeyList = nullptr; };
    host.iniFileName = FIniFileName;
    FHotkeyList = NewHotkeyList(this, std::move(host));
    FHotkeyList->Show();
  }
  SetForegroundWindow(FHotkeyList->Handle());
}

void TfrmHotkeyEdit::RefreshHotkeyList() {
  if (FHotkeyList && FHotkeyList->Visible()) FHotkeyList->LoadList();
}

std::vector<std::string> TfrmHotkeyEdit::ItemsOf(const cl::TComboBox* combo) const {
  std::vector<std::string> items;
  for (int i = 0; i < combo->Items()->Count(); ++i) items.push_back(combo->Items()->Strings(i));
  return items;
}

void TfrmHotkeyEdit::ShowAbout() {
  // One about box at a time: the tray item is off while it is open, whichever way it closes.
  mnuAbout->SetEnabled(false);
  try {
    std::unique_ptr<TfrmAbout> about(NewAbout(nullptr, FIniFileName));
    about->ShowModal();
  } catch (...) {
    mnuAbout->SetEnabled(true);
    throw;
  }
  mnuAbout->SetEnabled(true);
}

void TfrmHotkeyEdit::ExitProgram() {
  FClosing = true;
  Close();
  // A cancelled save question keeps the program running: the next close must hide again, not end it.
  if (!cl::Application->Terminated()) FClosing = false;
}

bool TfrmHotkeyEdit::QuerySaveChanges() {
  if (!btnApply->Enabled()) return true;
  std::string text = FModified ? "Hotkey definitions have changed" : "Hotkey sort order has changed";
  text += ". Save changes?";
  switch (cl::Application->MessageBox(text, "Hotkey Editor", MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return SaveDefinitions();
    case IDNO:
      ReloadDefinitions();
      return true;
    default:
      return false;
  }
}

void TfrmHotkeyEdit::FormCloseQuery(cl::TObject*, bool& canClose) { canClose = QuerySaveChanges(); }

void TfrmHotkeyEdit::FormClose(cl::TObject*, cl::TCloseAction& action) {
  if (FClosing) return;
  action = cl::caNone;
  Hide();
}

void TfrmHotkeyEdit::FormKeyDown(cl::TObject*, uint16_t& key, cl::TShiftState) {
  if (key == VK_F1) {
    btnHelp->Click();
  } else if (key == VK_ESCAPE) {
    // Escape inside the edit box closes only the box.
    const HWND focus = GetFocus();
    if (twEditor->Visible() && twEditor->HandleAllocated() && focus && IsChild(twEditor->Handle(), focus)) {
      Button1Click(this);
      key = 0;
    } else {
      Close();
    }
  }
}

void TfrmHotkeyEdit::btnHelpClick(cl::TObject*) { OpenHelpPage(FSystemActions->Calls(), cl::ExtractFilePath(ProgramFile())); }

void TfrmHotkeyEdit::btnCloseClick(cl::TObject*) { Close(); }
void TfrmHotkeyEdit::mnuHelpClick(cl::TObject*) { btnHelp->Click(); }
void TfrmHotkeyEdit::mnuAboutClick(cl::TObject*) { ShowAbout(); }
void TfrmHotkeyEdit::mnuEditHotkeysClick(cl::TObject*) { ShowEditor(); }
void TfrmHotkeyEdit::mnuListHotkeysClick(cl::TObject*) { ShowHotkeyList(); }
void TfrmHotkeyEdit::mnuExitClick(cl::TObject*) { ExitProgram(); }

void TfrmHotkeyEdit::SysHotkeysHotKey(cl::TObject*, int index) { ExecuteRegistered(index); }

void TfrmHotkeyEdit::HotProgramClick(cl::TObject* sender) {
  if (auto* item = dynamic_cast<cl::TComponent*>(sender)) ExecuteRegistered(item->Tag());
}

void TfrmHotkeyEdit::atiHotkeysEndAnimation(cl::TObject*) { atiHotkeys->SetStyle(toolkit::tsNormal); }

void TfrmHotkeyEdit::Dispatch(cl::TMessage& message) {
  switch (message.Msg) {
    case WM_HK_SHOWEDITOR:
      if (message.WParam == WM_HK_SHOWEDITOR) ShowEditor();
      return;
    case WM_HK_RUNIDLIST:
      if (message.WParam == WM_HK_RUNIDLIST) WMExecuteMultiple(message);
      return;
    case WM_DRAWCLIPBOARD:
      WMDrawClipboard(message);
      return;
    case WM_CHANGECBCHAIN:
      WMChangeCBChain(message);
      return;
    case WM_HK_EXIT:
      if (message.WParam == WM_HK_EXIT) ExitProgram();
      return;
    case WM_GETMINMAXINFO: {
      inherited::Dispatch(message);
      auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
      info->ptMinTrackSize = {kMinTrackWidth, kMinTrackHeight};
      return;
    }
  }
  inherited::Dispatch(message);
}

// ------------------------------------------------------------------------------------- the definitions

std::string TfrmHotkeyEdit::ExpandDefinitionsPath(const std::string& name) const {
  return hk::ExpandDefinitionsPath(name, cl::ExtractFilePath(ProgramFile()), CurrentDirectory());
}

void TfrmHotkeyEdit::SetModified(bool value) {
  if (value != FModified) {
    FModified = value;
    if (value) SysHotkeys->Clear();
  }
  btnApply->SetEnabled(FModified);
  btnUndo->SetEnabled(FModified);
}

void TfrmHotkeyEdit::ReloadDefinitions() {
  SetModified(false);
  const std::optional<ShortRead> told = FShortRead;
  // One read serves the table and the registration: both see the same content, and a large file is
  // read from disk once.
  const std::string bytes = DefinitionsFileBytes();
  LoadDefinitions(bytes);
  RegisterHotkeys(bytes);
  // Told once the hot keys are back, so that a start-up goes on while the box waits; and told once: the
  // same file read short again (edits discarded by No or Undo) tells the user nothing new.
  if (FShortRead != told) ReportShortRead();
}

void TfrmHotkeyEdit::ReportShortRead() const {
  if (!FShortRead) return;
  const std::string& file = FShortRead->file;
  const size_t n = FShortRead->entries;
  const std::string read = std::to_string(n) + (n == 1 ? " entry" : " entries");
  cl::Application->MessageBox(
      cl::Format("The hotkey definitions file %s could not be read to its end: only the first %s could be "
                 "read.\n\nThe rest of the file is not shown. The next save keeps the file as it is now as %s.",
                 file.c_str(), read.c_str(), DefinitionsBackupFile(file).c_str()),
      "Hotkey Editor", MB_OK | MB_ICONWARNING);
}

std::string TfrmHotkeyEdit::DefinitionsFileBytes() const {
  try {
    return cl::ReadFileBytes(FDefinitionsFile);
  } catch (const cl::Exception&) {
    return {};  // read as a file with nothing in it: no rows, nothing registered
  }
}

void TfrmHotkeyEdit::LoadDefinitions(std::string_view bytes) {
  SetCaption(kEditorCaption + FDefinitionsFile);
  const int remembered = std::max(FCurrentItem, 0);
  LoadedDefinitions loaded = hk::ReadDefinitions(bytes);
  // A missing file is a new one; a file that is there and stops early holds entries we cannot show.
  if (loaded.complete || !cl::FileExists(FDefinitionsFile))
    FShortRead.reset();
  else
    FShortRead = ShortRead{FDefinitionsFile, loaded.entries.size()};
  if (loaded.sortColumn) FEntries.sortColumn = *loaded.sortColumn;
  if (loaded.sortAscending) FEntries.sortAscending = *loaded.sortAscending;
  FEntries.entries = std::move(loaded.entries);
  FSavedSortColumn = FEntries.sortColumn;
  if (FEntries.entries.empty()) {
    FCurrentItem = -1;
    ShowRows();
    AddBlankEntry();
    return;
  }
  FCurrentItem = remembered < static_cast<int>(FEntries.entries.size())
                     ? remembered
                     : static_cast<int>(FEntries.entries.size()) - 1;
  ShowRows();
  grpEdit->SetCaption("Edit hotkey");
  SetModified(false);
}

void TfrmHotkeyEdit::AddBlankEntry() { btnNewClick(this); }

void TfrmHotkeyEdit::ShowRows() {
  FFillingTable = true;
  // Selection and focus start afresh, as in a new table; the table then draws the entries as they are now.
  lvHotkeys->SetItemIndex(-1);
  lvHotkeys->SetItemFocused(nullptr);
  const int count = static_cast<int>(FEntries.entries.size());
  lvHotkeys->Items()->SetCount(count);
  lvHotkeys->UpdateItems(0, count - 1);
  // The header's arrow shows the order the rows are in.
  lvHotkeys->SetSortColumn(FEntries.sortColumn);
  lvHotkeys->SetSortAscending(FEntries.sortAscending);
  if (FCurrentItem >= 0) lvHotkeys->SetItemIndex(FCurrentItem);
  FFillingTable = false;
  ShowCurrentHotkey();
}

bool TfrmHotkeyEdit::SaveDefinitions() {
  // A new row switched the visible sort off; the save restores the order the file records.
  if (FSavedSortColumn != FEntries.sortColumn) {
    FEntries.sortColumn = FSavedSortColumn;
    SortRows();
  }
  const bool keepOld = FShortRead && FShortRead->file == FDefinitionsFile;
  try {
    hk::SaveDefinitions(FDefinitionsFile, FEntries, {},
                        keepOld ? OldDefinitionsFile::KeepBackup : OldDefinitionsFile::Replace);
  } catch (const cl::Exception& e) {
    // The old file is still whole; the edits stay unsaved so that nothing is lost.
    cl::Application->MessageBox(cl::Format("Unable to write to %s\n\n%s\n\nThe changes are not saved.",
                                           FDefinitionsFile.c_str(), e.what()),
                                "Hotkey Editor", MB_OK | MB_ICONERROR);
    return false;
  }
  FShortRead.reset();
  SetModified(false);
  RegisterHotkeys();
  RefreshHotkeyList();
  return true;
}

void TfrmHotkeyEdit::RegisterHotkeys() { RegisterHotkeys(DefinitionsFileBytes()); }

void TfrmHotkeyEdit::RegisterHotkeys(std::string_view bytes) {
  SysHotkeys->Clear();
  FCommands.clear();
  mnuEditHotkeys->SetCaption(std::string(EditHotkeysCaption));
  mnuListHotkeys->SetCaption(std::string(ListHotkeysCaption));
  mnuAbout->SetCaption(std::string(AboutCaption));
  mnuHelp->SetCaption(std::string(HelpCaption));

  // A missing or unreadable file registers what was read before the fault, which may be nothing.
  const RegistrationPlan plan = PlanRegistration(ReadDefinitionRecords(bytes).records);
  FCommands = plan.commands;
  for (const HotkeyCombination& c : plan.combinations) SysHotkeys->AddHotKey(c.key, c.modifiers);
  // In place of the old ones all together: the menu is rebuilt once, its entries rewritten where they
  // stand, not once per item.
  std::vector<std::unique_ptr<cl::TMenuItem>> made;
  std::vector<cl::TMenuItem*> items;
  for (const HotProgramItem& p : plan.hotPrograms) {
    cl::TMenuItem* item = made.emplace_back(std::make_unique<cl::TMenuItem>(nullptr)).get();
    item->SetCaption(p.caption);
    item->SetTag(p.tag);
    item->OnClick = cl::TNotifyEvent(this, &TfrmHotkeyEdit::HotProgramClick);
    items.push_back(item);
  }
  mnuHotkeys->ReplaceItems(items);
  for (auto& item : made) item.release();  // the menu owns them now
  mnuEditHotkeys->SetCaption(plan.editCaption);
  mnuListHotkeys->SetCaption(plan.listCaption);

  const bool any = mnuHotkeys->Count() > 0;
  mnuHotkeys->SetVisible(any);
  mnuSeparator1->SetVisible(any);
}

void TfrmHotkeyEdit::OpenDefinitionsFile(const std::string& name) {
  const std::string path = ExpandDefinitionsPath(name);
  if (!cl::FileExists(path)) {
    const std::wstring text = cl::ToWide(name + " does not exist. Do you want to create it?");
    if (MessageBoxW(Handle(), text.c_str(), L"Hotkey definition file not found", MB_YESNO | MB_ICONQUESTION) != IDYES)
      return;
    try {
      CreateDefinitionsFile(path, FDefinitionsFile);
    } catch (const cl::Exception& e) {
      // Switching to a file that could not be made would leave the user with no hot keys at all.
      cl::Application->MessageBox(cl::Format("%s could not be created.\n\n%s", path.c_str(), e.what()),
                                  "Hotkey Editor", MB_OK | MB_ICONERROR);
      return;
    }
  }
  FDefinitionsFile = cl::LowerCase(path);
  ReloadDefinitions();
  RefreshHotkeyList();
}

// ------------------------------------------------------------------------------------ running commands

bool TfrmHotkeyEdit::ValidCommandIndex(LPARAM index) const noexcept {
  return index >= 0 && index < static_cast<LPARAM>(FCommands.size());
}

void TfrmHotkeyEdit::ExecuteRegistered(int index) {
  if (!ValidCommandIndex(index)) return;
  if (FListRunning) {
    // A list pauses and lets the tray and the hotkey list be used: their commands run after it, as the
    // hot keys pressed meanwhile do.
    FDeferred.push_back({false, index});
    return;
  }
  if (FExecuting) return;
  std::exception_ptr failure;
  try {
    const cl::TBusyScope busy(FExecuting);
    // A copy: the command may rebuild the command list (opening another definitions file).
    const HotkeyCommand command = FCommands[static_cast<size_t>(index)];
    atiHotkeys->SetStyle(toolkit::tsAnimated);
    ExecuteCommand(command, index);
  } catch (...) {
    failure = std::current_exception();
  }
  // A list whose message came while this command let messages through runs now.
  RunDeferred();
  if (failure) std::rethrow_exception(failure);
}

void TfrmHotkeyEdit::ExecuteCommand(const HotkeyCommand& command, int index) {
  switch (command.action) {
    case haOpenProgram:
      FLauncher(Handle(), PrepareLaunch({command.data, command.show, command.startIn}, SystemLaunchContext()));
      break;
    case haSendKeystrokes:
      SendKeystrokes(command.data);
      break;
    case haExecuteMultiple:
      // The list runs from the message loop, once this command is done.
      PostMessageW(Handle(), WM_HK_RUNIDLIST, WM_HK_RUNIDLIST, index);
      break;
    case haExitWindows:
      FSystemActions->ExitWindowsCommand(cl::StrToInt(command.data), cl::Application->Handle(),
                                        cl::ExtractFilePath(ProgramFile()));
      break;
    case haEditHotkeys:
      ShowEditor();
      break;
    case haViewHotkeyList:
      ShowHotkeyList();
      break;
    case haIncreaseVolume:
      FSystemActions->ChangeVolume(+1);
      break;
    case haDecreaseVolume:
      FSystemActions->ChangeVolume(-1);
      break;
    case haMinimizeAll:
      FSystemActions->MinimizeAllWindows();
      break;
    case haUndoMinimizeAll:
      FSystemActions->UndoMinimizeAll();
      break;
    case haSwitchClipboard:
      SwitchClipboard(cl::StrToIntDef(command.data, 1));
      break;
    case haScreenSaver:
      FSystemActions->LaunchScreenSaver(Handle());
      break;
    case haEjectCd:
      FSystemActions->EjectCd();
      break;
    case haCloseCd:
      FSystemActions->CloseCd();
      break;
    case haOpenFolder:
      FSystemActions->OpenFolder(Handle(), command.data);
      break;
    case haOpenDefinitions:
      // Switching files reloads the editor: unsaved edits are asked about first, as Load does.
      if (QuerySaveChanges()) OpenDefinitionsFile(command.data);
      break;
    default:
      break;
  }
}

bool TfrmHotkeyEdit::EditorIsActive() {
  // Keys typed while one of our own windows is in front would land in it (and "~" could run the same
  // entry again and again).
  DWORD pid = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &pid);
  if (pid != GetCurrentProcessId()) return false;
  MessageBoxW(Handle(), L"Hotkey commands that send keystrokes cannot be executed when the Hotkey editor is active.",
              L"Hotkey Editor Active", MB_OK | MB_ICONINFORMATION);
  return true;
}

void TfrmHotkeyEdit::WMExecuteMultiple(cl::TMessage& message) {
  // Any program may post the message; an id outside the command list names nothing.
  if (!ValidCommandIndex(message.LParam)) return;
  FDeferred.push_back({true, static_cast<int>(message.LParam)});
  RunDeferred();
}

void TfrmHotkeyEdit::RunIdList(int index) {
  // The command list may have been rebuilt since the message was posted.
  if (!ValidCommandIndex(index)) return;
  const std::string text = CommandText(FCommands[static_cast<size_t>(index)]);
  const cl::TBusyScope running(FListRunning);
  ExecuteMultipleCommands(text.substr(text.find('=') + 1));
}

void TfrmHotkeyEdit::RunDeferred() {
  if (FDraining) return;
  const cl::TBusyScope draining(FDraining);
  while (!FDeferred.empty() && !FListRunning && !FExecuting && !cl::Application->Terminated()) {
    const DeferredRun next = FDeferred.front();
    FDeferred.pop_front();
    try {
      if (next.list) RunIdList(next.index);
      else ExecuteRegistered(next.index);
    } catch (const std::exception& e) {
      cl::Application->HandleException(e);
    }
  }
}

bool TfrmHotkeyEdit::ListSendsKeystrokes(const std::string& idList) const {
  return hk::ListSendsKeystrokes(FEntries.entries, idList);
}

void TfrmHotkeyEdit::ExecuteMultipleCommands(const std::string& idList) {
  if (ListSendsKeystrokes(idList) && EditorIsActive()) return;
  // The entries as the table holds them now: edits made while the list pauses do not change it.
  const std::vector<IdListStep> steps = PlanIdList(FEntries.entries, idList);
  RunIdListSteps(steps, [this](const HotkeyCommand& command) { ExecuteCommand(command, 0); });
}

void TfrmHotkeyEdit::SendKeystrokes(const std::string& keys) {
  if (EditorIsActive()) return;
  // The typed keys must not fire our own hot keys; only the outermost of nested sends switches them.
  if (FSendDepth++ == 0) SysHotkeys->SetActive(false);
  struct Restore {
    TfrmHotkeyEdit& form;
    ~Restore() {
      if (--form.FSendDepth == 0) form.SysHotkeys->SetActive(true);
    }
  } restore{*this};
  FKeySender.SendKeys(keys);
}

// ------------------------------------------------------------------------------- virtual clipboards

void TfrmHotkeyEdit::SwitchClipboard(int index) {
  FClipboards->SelectClipboard(index, false);
  UpdateTrayIcon(FClipboards->Current());
}

void TfrmHotkeyEdit::UpdateTrayIcon(int index) {
  HICON base = toolkit::TSaAnimatedTrayIcon::DefaultIcon();
  std::unique_ptr<cl::TIcon> icon = CreateClipboardIcon(base, index + 1, TClipboards::ClipboardHasData());
  if (base) DestroyIcon(base);
  atiHotkeys->SetIcon(icon.get());
}

void TfrmHotkeyEdit::WMDrawClipboard(cl::TMessage& message) {
  if (FClipboards) UpdateTrayIcon(FClipboards->Current());
  // The next viewer may hang; it must not take this program with it.
  if (FNextViewer)
    SendMessageTimeoutW(FNextViewer, message.Msg, message.WParam, message.LParam, SMTO_ABORTIFHUNG, 1000, nullptr);
}

void TfrmHotkeyEdit::WMChangeCBChain(cl::TMessage& message) {
  const HWND leaving = reinterpret_cast<HWND>(message.WParam);
  if (leaving == FNextViewer) FNextViewer = reinterpret_cast<HWND>(message.LParam);
  else if (FNextViewer)
    SendMessageTimeoutW(FNextViewer, message.Msg, message.WParam, message.LParam, SMTO_ABORTIFHUNG, 1000, nullptr);
}

// ------------------------------------------------------------------------------------------ metaclass

CL_BEGIN_CLASS(TfrmHotkeyEdit)
    .Method("FormCreate", &TfrmHotkeyEdit::FormCreate)
    .Method("FormDestroy", &TfrmHotkeyEdit::FormDestroy)
    .Method("FormCloseQuery", &TfrmHotkeyEdit::FormCloseQuery)
    .Method("FormClose", &TfrmHotkeyEdit::FormClose)
    .Method("FormKeyDown", &TfrmHotkeyEdit::FormKeyDown)
    .Method("btnHelpClick", &TfrmHotkeyEdit::btnHelpClick)
    .Method("btnCloseClick", &TfrmHotkeyEdit::btnCloseClick)
    .Method("mnuHelpClick", &TfrmHotkeyEdit::mnuHelpClick)
    .Method("mnuAboutClick", &TfrmHotkeyEdit::mnuAboutClick)
    .Method("mnuEditHotkeysClick", &TfrmHotkeyEdit::mnuEditHotkeysClick)
    .Method("mnuListHotkeysClick", &TfrmHotkeyEdit::mnuListHotkeysClick)
    .Method("mnuExitClick", &TfrmHotkeyEdit::mnuExitClick)
    .Method("SysHotkeysHotKey", &TfrmHotkeyEdit::SysHotkeysHotKey)
    .Method("atiHotkeysEndAnimation", &TfrmHotkeyEdit::atiHotkeysEndAnimation)
    .Method("chkShowIconClick", &TfrmHotkeyEdit::chkShowIconClick)
    .Method("chkAutoStartClick", &TfrmHotkeyEdit::chkAutoStartClick)
    .Method("edtClipboardsChange", &TfrmHotkeyEdit::edtClipboardsChange)
    .Method("edtClipboardsExit", &TfrmHotkeyEdit::edtClipboardsExit)
    .Method("btnNewClick", &TfrmHotkeyEdit::btnNewClick)
    .Method("btnDeleteClick", &TfrmHotkeyEdit::btnDeleteClick)
    .Method("btnEditClick", &TfrmHotkeyEdit::btnEditClick)
    .Method("Button1Click", &TfrmHotkeyEdit::Button1Click)
    .Method("twEditorResize", &TfrmHotkeyEdit::twEditorResize)
    .Method("btnApplyClick", &TfrmHotkeyEdit::btnApplyClick)
    .Method("btnUndoClick", &TfrmHotkeyEdit::btnUndoClick)
    .Method("btnLoadClick", &TfrmHotkeyEdit::btnLoadClick)
    .Method("btnPrintClick", &TfrmHotkeyEdit::btnPrintClick)
    .Method("lvHotkeysClick", &TfrmHotkeyEdit::lvHotkeysClick)
    .Method("lvHotkeysDblClick", &TfrmHotkeyEdit::lvHotkeysDblClick)
    .Method("lvHotkeysData", &TfrmHotkeyEdit::lvHotkeysData)
    .Method("lvHotkeysChange", &TfrmHotkeyEdit::lvHotkeysChange)
    .Method("lvHotkeysColumnClick", &TfrmHotkeyEdit::lvHotkeysColumnClick)
    .Method("lvHotkeysMouseDown", &TfrmHotkeyEdit::lvHotkeysMouseDown)
    .Method("lvHotkeysDragOver", &TfrmHotkeyEdit::lvHotkeysDragOver)
    .Method("lvHotkeysDragDrop", &TfrmHotkeyEdit::lvHotkeysDragDrop)
    .Method("edtStartupDirButtonClick", &TfrmHotkeyEdit::edtStartupDirButtonClick)
    .Method("edtDescriptionChange", &TfrmHotkeyEdit::edtDescriptionChange)
    .Method("edtDescriptionExit", &TfrmHotkeyEdit::edtDescriptionExit)
    .Method("edtIDChange", &TfrmHotkeyEdit::edtIDChange)
    .Method("edtIDExit", &TfrmHotkeyEdit::edtIDExit)
    .Method("cboActionsClick", &TfrmHotkeyEdit::cboActionsClick)
    .Method("edtCommandLineChange", &TfrmHotkeyEdit::edtCommandLineChange)
    .Method("edtCommandLineExit", &TfrmHotkeyEdit::edtCommandLineExit)
    .Method("edtKeysToSendChange", &TfrmHotkeyEdit::edtKeysToSendChange)
    .Method("edtMultCommandsChange", &TfrmHotkeyEdit::edtMultCommandsChange)
    .Method("edtMultCommandsExit", &TfrmHotkeyEdit::edtMultCommandsExit)
    .Method("edtDefFileChange", &TfrmHotkeyEdit::edtDefFileChange)
    .Method("edtStartupDirChange", &TfrmHotkeyEdit::edtStartupDirChange)
    .Method("cboParamsClick", &TfrmHotkeyEdit::cboParamsClick)
    .Method("cboClipboardClick", &TfrmHotkeyEdit::cboClipboardClick)
    .Method("cboShowClick", &TfrmHotkeyEdit::cboShowClick)
    .Method("chkActiveClick", &TfrmHotkeyEdit::chkActiveClick)
    .Method("chkCtrlClick", &TfrmHotkeyEdit::chkCtrlClick)
    .Method("edtKeysToSendButtonClick", &TfrmHotkeyEdit::edtKeysToSendButtonClick)
    .Method("edtMultCommandsButtonClick", &TfrmHotkeyEdit::edtMultCommandsButtonClick)
CL_END_CLASS

}  // namespace hk
