// The painter of every control of every window of Hotkeys, the editor wearing the program's own skin,
// against the table below: a change in which painter a control gets shows as a diff of the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "Definitions.h"
#include "DialogDriver.h"
#include "Dialogs.h"
#include "FileUtil.h"
#include "FormsTestSupport.h"
#include "IniFiles.h"
#include "PainterReport.h"
#include "Printers.h"
#include "SaBrowseFolder.h"
#include "SaRegister.h"
#include "StdClasses.h"
#include "StdCtrls.h"
#include "WinSkinData.h"
#include "dontShowme.h"
#include "hkAbout.h"
#include "hkEdit.h"
#include "hkError.h"
#include "hkPrint.h"
#include "hkSelect.h"
#include "hkSpecial.h"

namespace {

// The editor reads its settings and definitions beside the test program: no tray icon, no hot key.
void PrepareFiles(const std::string& exe) {
  const std::string definitions = cl::ExtractFilePath(exe) + "painter_report.hkd";
  cl::TIniFile ini(cl::ChangeFileExt(exe, ".ini"));
  ini.WriteInteger("Settings", "AutoRun", 0);
  ini.WriteInteger("Settings", "ShowTaskbarIcon", 0);
  ini.WriteString("Settings", "HKDFile", definitions);
  hk::Definitions defs;
  hk::HotkeyEntry e;
  e.description = "Editor";
  e.data = "notepad.exe";
  e.hotkey = "Ctrl+Alt+Shift+F8";
  e.active = "False";
  defs.entries.push_back(e);
  hk::SaveDefinitions(definitions, defs);
}

// The form of this thread whose window class is `className`.
cl::TCustomForm* FormOfClass(const wchar_t* className) {
  struct Search {
    const wchar_t* name;
    HWND found = nullptr;
  } search{className};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND wnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t cls[64] = {};
        GetClassNameW(wnd, cls, 64);
        if (std::wstring(cls) != s->name) return TRUE;
        s->found = wnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found ? cl::Screen().FindForm(search.found) : nullptr;
}

// Whether the class library finds a printer to set up.
bool HasPrinter() {
  try {
    cl::Printer().DevMode();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

class HotkeysPainterReport : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    toolkit::RegisterToolkitClasses();
    skin::RegisterSkinComponents();
    PrepareFiles(app_->ExeName());
    app_->CreateForm(editor_);
    editor_->ShowEditor();
  }

  // Shows the form, waits for its controls' painters and reports them.
  std::string Shown(cl::TCustomForm* form) {
    form->Show();
    if (!reporttest::SkinnedWindow(form->Handle())) return form->Name() + ": not skinned\n";
    return reporttest::FormReport(form);
  }
  // Runs `open` (which shows a modal system dialog) and reports the dialog's controls as `name`.
  std::string Dialog(const std::string& name, const std::function<void()>& open) {
    std::string text;
    dialogtest::WhenDialog(timers_, "", [&](HWND dialog) {
      text = reporttest::SkinnedWindow(dialog) ? reporttest::BareReport(name, dialog) : name + ": not skinned\n";
      dialogtest::PressButton(dialog, IDCANCEL);
    });
    open();
    return text;
  }

  hk::TfrmHotkeyEdit* editor_ = nullptr;
};

// Window/control -> painter class; "none" for a control left as it is. Forms list their controls by name
// (then the painters of windows inside a control, as control.window class); the system's dialogs, as
// Wine makes them, list their child windows by class and control ID.
constexpr const char* kExpected = R"(
frmHotkeyEdit/pnlButtons: TSkinBox
frmHotkeyEdit/btnLoad: TSkinButton
frmHotkeyEdit/btnPrint: TSkinButton
frmHotkeyEdit/btnHelp: TSkinButton
frmHotkeyEdit/btnApply: TSkinButton
frmHotkeyEdit/btnClose: TSkinButton
frmHotkeyEdit/pnlOptions: TSkinBox
frmHotkeyEdit/grpOptions: TSkinGroupBox
frmHotkeyEdit/chkShowIcon: TSkinCheckBox
frmHotkeyEdit/chkAutoStart: TSkinCheckBox
frmHotkeyEdit/lblClipboards: none
frmHotkeyEdit/edtClipboards: TSkinEdit
frmHotkeyEdit/udClipboards: TSkinUpDown
frmHotkeyEdit/pnlTableButtons: TSkinBox
frmHotkeyEdit/btnNew: TSkinButton
frmHotkeyEdit/btnEdit: TSkinButton
frmHotkeyEdit/btnDelete: TSkinButton
frmHotkeyEdit/btnUndo: TSkinButton
frmHotkeyEdit/pnlTable: TSkinBox
frmHotkeyEdit/lvHotkeys: TSkinListView
frmHotkeyEdit/twEditor: none
frmHotkeyEdit/pnlEdit: TSkinBox
frmHotkeyEdit/grpEdit: TSkinGroupBox
frmHotkeyEdit/lblDescription: none
frmHotkeyEdit/edtDescription: TSkinEdit
frmHotkeyEdit/lblID: none
frmHotkeyEdit/edtID: TSkinEdit
frmHotkeyEdit/lblAction: none
frmHotkeyEdit/cboActions: TSkinComBox
frmHotkeyEdit/lblCommandLine: none
frmHotkeyEdit/edtCommandLine: TSkinEdit
frmHotkeyEdit/edtMultCommands: TSkinEdit
frmHotkeyEdit/edtKeysToSend: TSkinEdit
frmHotkeyEdit/edtDefFile: TSkinEdit
frmHotkeyEdit/cboParams: TSkinComBox
frmHotkeyEdit/cboClipboard: TSkinComBox
frmHotkeyEdit/lblShow: none
frmHotkeyEdit/cboShow: TSkinComBox
frmHotkeyEdit/lblStartupDir: none
frmHotkeyEdit/edtStartupDir: TSkinEdit
frmHotkeyEdit/lblHotkey: none
frmHotkeyEdit/chkCtrl: TSkinCheckBox
frmHotkeyEdit/chkAlt: TSkinCheckBox
frmHotkeyEdit/chkShift: TSkinCheckBox
frmHotkeyEdit/chkWin: TSkinCheckBox
frmHotkeyEdit/cboHotkey: TSkinComBox
frmHotkeyEdit/chkActive: TSkinCheckBox
frmHotkeyEdit/Button1: TSkinButton
frmHotkeyEdit/lvHotkeys.SysHeader32: TSkinHeader
frmHotkeyList/pnlHotkeys: TSkinBox
frmHotkeyList/lvHotkeys: TSkinListView
frmHotkeyList/lvHotkeys.SysHeader32: TSkinHeader
frmAbout/pnlAbout: TSkinBox
frmAbout/lblProductName: none
frmAbout/lblVersion: none
frmAbout/lblHomepage: none
frmAbout/urlHomepage: none
frmAbout/lblEmail2: none
frmAbout/AnimIcon: none
frmAbout/btnOk: TSkinButton
Form1/Label1: none
Form1/CheckBox1: TSkinCheckBox
Form1/Button1: TSkinButton
frmHotkeyError/lblHotkeyUsed: none
frmHotkeyError/lblEntry: none
frmHotkeyError/lblDescription: none
frmHotkeyError/btnOk: TSkinButton
frmHotkeyError/btnCancel: TSkinButton
frmSelect/lblSource: none
frmSelect/lvSource: TSkinListView
frmSelect/btnInclude: TSkinButton
frmSelect/btnInclAll: TSkinButton
frmSelect/btnExclude: TSkinButton
frmSelect/btnExclAll: TSkinButton
frmSelect/lblDestination: none
frmSelect/lvDestination: TSkinListView
frmSelect/btnUp: TSkinButton
frmSelect/btnDown: TSkinButton
frmSelect/lblDelay: none
frmSelect/edtDelay: TSkinEdit
frmSelect/udDelay: TSkinUpDown
frmSelect/lblMsec: none
frmSelect/btnAddDelay: TSkinButton
frmSelect/btnOk: TSkinButton
frmSelect/btnCancel: TSkinButton
frmSelect/lvSource.SysHeader32: TSkinHeader
frmSelect/lvDestination.SysHeader32: TSkinHeader
frmSpecialChars/lblText: none
frmSpecialChars/mmoText: TSkinScrollbar
frmSpecialChars/lblSpecialChar: none
frmSpecialChars/cboSpecialChar: TSkinComBox
frmSpecialChars/btnInsert: TSkinButton
frmSpecialChars/btnOk: TSkinButton
frmSpecialChars/btnCancel: TSkinButton
frmPrintProgress/lblNowPrinting: none
frmPrintProgress/lblFileName: none
frmPrintProgress/lblPage: none
frmPrintProgress/pgbProgress: TSkinProgress
frmPrintProgress/btnCancel: TSkinButton
frmPrintSettings/grpColumns: TSkinGroupBox
frmPrintSettings/chkDescription: TSkinCheckBox
frmPrintSettings/chkID: TSkinCheckBox
frmPrintSettings/chkAction: TSkinCheckBox
frmPrintSettings/chkData: TSkinCheckBox
frmPrintSettings/chkHotkey: TSkinCheckBox
frmPrintSettings/chkActive: TSkinCheckBox
frmPrintSettings/chkPrintInactive: TSkinCheckBox
frmPrintSettings/cmdOk: TSkinButton
frmPrintSettings/cmdCancel: TSkinButton
frmPrintSettings/btnSetup: TSkinButton
PrinterSetup: not shown, no printer
Open/Static#1091: none
Open/ComboBox#1137: TSkinComBox
Open/SHELLDLL_DefView#1121: none
Open/Static#1088: none
Open/ToolbarWindow32#1184: none
Open/ListBox#1120: none
Open/Static#1090: none
Open/ComboBoxEx32#1148: none
Open/Static#1089: none
Open/ComboBox#1136: TSkinComBox
Open/Button#1040: TSkinCheckBox
Open/Button#1: TSkinButton
Open/Button#2: TSkinButton
Open/Button#1038: TSkinButton
Open/ToolbarWindow32#1: none
Open/ScrollBar#-1: TSkinSizer
Open/ComboBox#1148: TSkinComBox
Folder/Button#1: TSkinButton
Folder/Button#2: TSkinButton
Folder/Static#14146: none
Folder/Static#14147: none
Folder/SysTreeView32#14145: none
MessageBox/Static#1088: none
MessageBox/Button#6: TSkinButton
MessageBox/Button#7: TSkinButton
MessageBox/Button#2: TSkinButton
MessageBox/Static#65535: none
)";

TEST_F(HotkeysPainterReport, EveryControlOfEveryWindowHasItsPainter) {
  std::string report = "\n";
  skin::TWinSkinForm* editorSkin = reporttest::SkinnedWindow(editor_->Handle());
  ASSERT_NE(editorSkin, nullptr);
  // The edit box's tool window: its controls are the editor's, painted by the editor's skin.
  cl::ComponentAs<cl::TButton>(editor_, "btnEdit")->Click();
  Pump();
  report += reporttest::FormReport(editor_);
  auto* editBox = cl::ComponentAs<cl::TWinControl>(editor_, "pnlEdit");
  int inEditBox = 0;
  for (skin::TSkinControl* p : reporttest::AllPainters()) {
    if (!p->Handle() || (p->Handle() != editBox->Handle() && !IsChild(editBox->Handle(), p->Handle()))) continue;
    ++inEditBox;
    const auto& own = editorSkin->Painters();
    EXPECT_NE(std::find(own.begin(), own.end(), p), own.end()) << p->ClassName() << " is not the editor's";
  }
  EXPECT_EQ(inEditBox, 20);

  editor_->ShowHotkeyList();
  cl::TCustomForm* list = FormOfClass(L"TfrmHotkeyList");
  ASSERT_NE(list, nullptr);
  report += Shown(list);
  list->Close();

  std::unique_ptr<hk::TfrmAbout> about(hk::NewAbout(nullptr, editor_->IniFileName()));
  report += Shown(about.get());
  about->Hide();
  auto* notice = cl::NewForm<hk::TForm1>(editor_);
  report += Shown(notice);
  notice->Hide();
  std::unique_ptr<hk::TfrmHotkeyError> error(cl::NewForm<hk::TfrmHotkeyError>(nullptr));
  report += Shown(error.get());
  error->Hide();
  std::unique_ptr<hk::TfrmSelect> select(cl::NewForm<hk::TfrmSelect>(nullptr));
  report += Shown(select.get());
  select->Hide();
  std::unique_ptr<hk::TfrmSpecialChars> special(cl::NewForm<hk::TfrmSpecialChars>(nullptr));
  report += Shown(special.get());
  special->Hide();
  std::unique_ptr<hk::TfrmPrintProgress> progress(cl::NewForm<hk::TfrmPrintProgress>(nullptr));
  report += Shown(progress.get());
  progress->Hide();
  std::unique_ptr<hk::TfrmPrintSettings> settings(cl::NewForm<hk::TfrmPrintSettings>(nullptr));
  report += Shown(settings.get());
  // Without a printer the setup dialog does not open (the class library says so instead).
  if (HasPrinter())
    report += Dialog("PrinterSetup", [&] { cl::ComponentAs<cl::TButton>(settings.get(), "btnSetup")->Click(); });
  else
    report += "PrinterSetup: not shown, no printer\n";
  settings->Hide();

  report += Dialog("Open", [&] {
    editor_->SetupOpenDialog(0);
    cl::ComponentAs<cl::TOpenDialog>(editor_, "OpenDialog")->Execute();
  });
  report += Dialog("Folder", [&] {
    cl::ComponentAs<toolkit::TSaBrowseForFolder>(editor_, "BrowseForFolder")->Execute();
  });
  editor_->SetModified(true);
  report += Dialog("MessageBox", [&] { EXPECT_FALSE(editor_->QuerySaveChanges()); });
  editor_->SetModified(false);

  EXPECT_EQ(report, kExpected);
}

}  // namespace
