#include "hkList.h"

#include <windows.h>

#include <algorithm>

#include "FileUtil.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "WinSkinDlg.h"

namespace hk {

namespace {

constexpr char kWindow[] = "ViewWindow";
constexpr char kColumns[] = "VWColumns";
constexpr char kCaption[] = "Hotkey List - ";

std::string NameAt(const std::vector<std::string>& names, std::int64_t index) {
  return index >= 0 && index < static_cast<std::int64_t>(names.size()) ? names[static_cast<size_t>(index)]
                                                                       : std::string();
}

}  // namespace

std::vector<HotkeyListRow> HotkeyListRows(std::string_view bytes, const DefinitionsNaming& naming,
                                          const std::vector<std::string>& clipboardNames) {
  // The editor's reader makes the IDs of a version 1.0 file over every record read, inactive ones too, so
  // the window shows the IDs the editor shows. The registration reader tells which entries are registered.
  const LoadedDefinitions loaded = ReadDefinitions(bytes, naming);
  const DefinitionRecords records = ReadDefinitionRecords(bytes);
  const size_t count = std::min(loaded.entries.size(), records.records.size());
  std::vector<HotkeyListRow> rows;
  int registrationId = 0;
  for (size_t i = 0; i < count; ++i) {
    const HotkeyEntry& e = loaded.entries[i];
    const DefinitionRecord& r = records.records[i];
    if (!r.active) continue;
    HotkeyListRow row;
    row.description = e.description;
    row.id = e.id;
    row.action = e.action;
    switch (r.action) {
      case haOpenProgram:
      case haSendKeystrokes:
      case haExecuteMultiple:
      case haOpenFolder:
      case haOpenDefinitions:
        row.data = r.data;
        break;
      case haExitWindows:
        row.data = NameAt(naming.exitWindowsParameters, cl::StrToIntDef(r.data, -1));
        break;
      case haSwitchClipboard:
        row.data = NameAt(clipboardNames, cl::StrToIntDef(r.data, -1));
        break;
      default:
        break;
    }
    row.hotkey = e.hotkey;
    if (IsRegistrable(r)) row.registrationId = std::to_string(registrationId++);
    rows.push_back(std::move(row));
  }
  return rows;
}

TfrmHotkeyList::TfrmHotkeyList(cl::TComponent* owner) : TForm(owner) {
  LoadDescription();
}

TfrmHotkeyList::~TfrmHotkeyList() = default;

int ColumnWidthFromSettings(int stored, int defaultWidth) {
  if (stored < kMinColumnWidth) return defaultWidth;
  return std::min(stored, std::max(GetSystemMetrics(SM_CXMAXTRACK), kMinColumnWidth));
}

void ReadColumnWidths(const cl::TIniFile& ini, const std::string& section, cl::TListColumns& columns) {
  for (int i = 0; i < columns.Count(); ++i) {
    cl::TListColumn* column = columns.Items(i);
    const int design = column->Width();
    column->SetWidth(ColumnWidthFromSettings(ini.ReadInteger(section, column->Caption(), design), design));
  }
}

void WriteColumnWidths(cl::TIniFile& ini, const std::string& section, cl::TListColumns& columns) {
  for (int i = 0; i < columns.Count(); ++i) ini.WriteInteger(section, columns.Items(i)->Caption(), columns.Items(i)->Width());
}

void WriteWindowSize(cl::TIniFile& ini, const std::string& section, cl::TWinControl& window) {
  const SIZE size = skin::StoredWindowSize(window);
  ini.WriteInteger(section, "Width", size.cx);
  ini.WriteInteger(section, "Height", size.cy);
}

TfrmHotkeyList* NewHotkeyList(cl::TComponent* owner, HotkeyListHost host) {
  return cl::NewForm<TfrmHotkeyList>(owner, [&](TfrmHotkeyList* form) { form->SetHost(std::move(host)); });
}

void TfrmHotkeyList::FormCreate(cl::TObject*) {
  if (FHost.iniFileName.empty()) return;
  cl::TIniFile ini(FHost.iniFileName);
  SetWidth(ini.ReadInteger(kWindow, "Width", Width()));
  SetHeight(ini.ReadInteger(kWindow, "Height", Height()));
  ReadColumnWidths(ini, kColumns, *lvHotkeys->Columns());
}

void TfrmHotkeyList::FormDestroy(cl::TObject*) {
  if (FHost.iniFileName.empty()) return;
  try {
    cl::TIniFile ini(FHost.iniFileName);
    WriteWindowSize(ini, kWindow, *this);
    WriteColumnWidths(ini, kColumns, *lvHotkeys->Columns());
  } catch (const cl::Exception&) {
    // A settings file that cannot be written keeps the old sizes; closing goes on.
  }
}

void TfrmHotkeyList::FormShow(cl::TObject*) {
  // No taskbar button for the program while the list is up.
  if (cl::Application && cl::Application->Handle())
    SetWindowPos(cl::Application->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  LoadList();
}

void TfrmHotkeyList::FormClose(cl::TObject*, cl::TCloseAction& action) {
  action = cl::caFree;
  if (FHost.closed) FHost.closed();
}

void TfrmHotkeyList::FormKeyDown(cl::TObject*, uint16_t& key, cl::TShiftState) {
  if (key == VK_ESCAPE) Close();
}

void TfrmHotkeyList::lvHotkeysKeyDown(cl::TObject*, uint16_t& key, cl::TShiftState) {
  if (key == VK_ESCAPE) Close();
}

void TfrmHotkeyList::lvHotkeysKeyPress(cl::TObject*, wchar_t& key) {
  if (key != L'\r') return;
  key = 0;
  ExecuteSelected();
}

void TfrmHotkeyList::lvHotkeysDblClick(cl::TObject*) { ExecuteSelected(); }

void TfrmHotkeyList::LoadList() {
  const std::string file = FHost.definitionsFile ? FHost.definitionsFile() : std::string();
  SetCaption(kCaption + file);
  cl::TListItems* items = lvHotkeys->Items();
  items->BeginUpdate();
  items->Clear();
  std::string bytes;
  try {
    bytes = cl::ReadFileBytes(file);
  } catch (const cl::Exception&) {
    // A missing or unreadable file shows an empty table.
  }
  const DefinitionsNaming naming = FHost.naming ? FHost.naming() : DefinitionsNaming{};
  const std::vector<std::string> clipboards = FHost.clipboardNames ? FHost.clipboardNames() : std::vector<std::string>{};
  for (const HotkeyListRow& row : HotkeyListRows(bytes, naming, clipboards)) {
    cl::TListItem* item = items->Add();
    item->SetCaption(row.description);
    for (const std::string* text : {&row.id, &row.action, &row.data, &row.hotkey, &row.registrationId})
      item->SubItems()->Add(*text);
  }
  items->EndUpdate();
}

void TfrmHotkeyList::ExecuteSelected() {
  cl::TListItem* item = lvHotkeys->Selected();
  if (!item || item->SubItems()->Count() < 5) return;
  const std::string id = item->SubItems()->Strings(4);
  if (id.empty() || !FHost.executeRegistered) return;
  FHost.executeRegistered(cl::StrToIntDef(id, -1));
}

CL_BEGIN_CLASS(TfrmHotkeyList)
    .Method("FormCreate", &TfrmHotkeyList::FormCreate)
    .Method("FormShow", &TfrmHotkeyList::FormShow)
    .Method("FormClose", &TfrmHotkeyList::FormClose)
    .Method("FormDestroy", &TfrmHotkeyList::FormDestroy)
    .Method("FormKeyDown", &TfrmHotkeyList::FormKeyDown)
    .Method("lvHotkeysKeyDown", &TfrmHotkeyList::lvHotkeysKeyDown)
    .Method("lvHotkeysKeyPress", &TfrmHotkeyList::lvHotkeysKeyPress)
    .Method("lvHotkeysDblClick", &TfrmHotkeyList::lvHotkeysDblClick)
CL_END_CLASS

}  // namespace hk
