// The main window: the hotkey editor, and the owner of everything that runs in the background (the
// system hot keys, the tray icon, the command list). It starts hidden; closing it only hides it.
#pragma once
#include <windows.h>

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ComCtrls.h"
#include "Definitions.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Menus.h"
#include "ExtCtrls.h"
#include "Registration.h"
#include "SaAniTray.h"
#include "SaBrowseFolder.h"
#include "SaSortListView.h"
#include "SaSysHot.h"
#include "ToolDock.h"
#include "StdCtrls.h"
#include "dontShowme.h"
#include "hkAutorun.h"
#include "hkClpbrd.h"
#include "hkLaunch.h"
#include "hkList.h"
#include "hkSend.h"
#include "hkSystem.h"

namespace hk {

// Private messages of the main window; each carries its own number in wParam.
constexpr UINT WM_HK_SHOWEDITOR = 3025;  // a second start asks for the editor
constexpr UINT WM_HK_RUNIDLIST = 3027;   // lParam: the registration id of an ID list entry; others may post it
constexpr UINT WM_HK_EXIT = 3028;        // ends the program (after the save question)

inline constexpr wchar_t MainWindowClass[] = L"TfrmHotkeyEdit";

class TfrmHotkeyEdit : public cl::TForm {
  CL_CLASS(TfrmHotkeyEdit, cl::TForm)

  explicit TfrmHotkeyEdit(cl::TComponent* owner);
  ~TfrmHotkeyEdit() override;

  void ShowEditor();
  void ShowHotkeyList();
  void ShowAbout();
  void ExitProgram();
  // Asks whether to save changed definitions; false means "stay".
  bool QuerySaveChanges();

  // The definitions file in use and the command list of the last registration.
  const std::string& DefinitionsFile() const noexcept { return FDefinitionsFile; }
  const std::vector<HotkeyCommand>& Commands() const noexcept { return FCommands; }
  const std::string& IniFileName() const noexcept { return FIniFileName; }

  // The file in use, read once: into the editor, then registered; a file that could not be read to its
  // end is then reported.
  void ReloadDefinitions();
  // The table from the content of the file in use; a file that is there but whose reading stopped short
  // of its end keeps the rows before and is remembered for the report.
  void LoadDefinitions(std::string_view bytes);
  // Writes the table to the file in use, then registers it again; false (after telling the user) when
  // the file could not be written (read-only, say), the edits then stay unsaved. The first save over a
  // file that was not read to its end keeps the old one beside it.
  bool SaveDefinitions();
  // Registers the active entries of the file in use (read now, or the content already read from it).
  void RegisterHotkeys();
  void RegisterHotkeys(std::string_view bytes);
  void SetModified(bool value);
  bool Modified() const noexcept { return FModified; }
  // Makes another file the file in use (offering to create a missing one).
  void OpenDefinitionsFile(const std::string& name);
  // A name of the settings or the user, made absolute by the rules of definitions files.
  std::string ExpandDefinitionsPath(const std::string& name) const;

  // Runs command list entry `index` (a hot key, a tray item, the hotkey list) unless one is running; one
  // chosen while an ID list runs waits for the list's end.
  void ExecuteRegistered(int index);
  // The action switch; `index` is the command's position in the command list, which an ID list (action 2)
  // posts to this window to run from the message loop.
  void ExecuteCommand(const HotkeyCommand& command, int index);
  // Action 1: refused while one of our windows is in front; the hot keys are off while it types.
  void SendKeystrokes(const std::string& keys);
  // Tells the user and returns true when a window of this program is the active one.
  bool EditorIsActive();
  // Action 2: the entries an ID list names, looked up in the editor's table as it is now, one after
  // another with the list's pauses (refused while the editor is in front if one of them sends keys).
  void ExecuteMultipleCommands(const std::string& idList);
  bool ListSendsKeystrokes(const std::string& idList) const;
  // Action 10, and the tray icon showing the current clipboard's number.
  void SwitchClipboard(int index);
  void UpdateTrayIcon(int index);
  const TClipboards& Clipboards() const noexcept { return *FClipboards; }

  // What starts programs (the shell); benchmarks and tests put an observer in its place.
  using TLauncher = std::function<void(HWND owner, const LaunchRequest& request)>;
  void SetLauncher(TLauncher launcher) { FLauncher = std::move(launcher); }
  // What the system actions call (the system's own unless a test build records them instead); `calls`
  // must outlive the window.
  void SetSystemCalls(SystemCalls& calls) { FSystemActions = std::make_unique<SystemActions>(calls); }
  // Where the autorun option writes its value (the registry unless a test puts another store there).
  void SetAutorunStore(std::unique_ptr<AutorunStore> store) { FAutorun = std::move(store); }

  void Dispatch(cl::TMessage& message) override;
  // Called once, as soon as the window exists (from then on a second start of the program finds it).
  void SetOnWindowMade(std::function<void()> handler) { FOnWindowMade = std::move(handler); }

  // The edit box: fills its controls from the current row, shows the controls of its action.
  void ShowCurrentHotkey();
  void UpdateActionControls();
  // Kind 0: programs to run; 1: definitions files.
  void SetupOpenDialog(int kind);
  void ShowHotkeyControls();
  void ApplyHotkeyControls();
  // Whether the combination `text` may be taken for the current row (asks or tells the user if not).
  bool CheckHotkeyCombination(const std::string& text);
  // -1 when no action is selected.
  int SelectedAction() const { return cboActions->ItemIndex(); }

 private:
  void CreateHandleDone() override;
  std::function<void()> FOnWindowMade;

  // Published handlers.
  void FormCreate(cl::TObject* sender);
  void FormDestroy(cl::TObject* sender);
  void FormCloseQuery(cl::TObject* sender, bool& canClose);
  void FormClose(cl::TObject* sender, cl::TCloseAction& action);
  void FormKeyDown(cl::TObject* sender, uint16_t& key, cl::TShiftState shift);
  void btnHelpClick(cl::TObject* sender);
  void btnCloseClick(cl::TObject* sender);
  void mnuHelpClick(cl::TObject* sender);
  void mnuAboutClick(cl::TObject* sender);
  void mnuEditHotkeysClick(cl::TObject* sender);
  void mnuListHotkeysClick(cl::TObject* sender);
  void mnuExitClick(cl::TObject* sender);
  void SysHotkeysHotKey(cl::TObject* sender, int index);
  void atiHotkeysEndAnimation(cl::TObject* sender);
  void chkShowIconClick(cl::TObject* sender);
  void chkAutoStartClick(cl::TObject* sender);
  void edtClipboardsChange(cl::TObject* sender);
  void edtClipboardsExit(cl::TObject* sender);
  void HotProgramClick(cl::TObject* sender);
  // The table.
  void btnNewClick(cl::TObject* sender);
  void btnDeleteClick(cl::TObject* sender);
  void btnEditClick(cl::TObject* sender);
  void Button1Click(cl::TObject* sender);
  void twEditorResize(cl::TObject* sender);
  void btnApplyClick(cl::TObject* sender);
  void btnUndoClick(cl::TObject* sender);
  void btnLoadClick(cl::TObject* sender);
  void btnPrintClick(cl::TObject* sender);
  void lvHotkeysClick(cl::TObject* sender);
  void lvHotkeysDblClick(cl::TObject* sender);
  // The table keeps no rows of its own: it asks for the texts of the rows it draws.
  void lvHotkeysData(cl::TObject* sender, cl::TListItem* item);
  void lvHotkeysChange(cl::TObject* sender, cl::TListItem* item, bool selected);
  void lvHotkeysColumnClick(cl::TObject* sender, cl::TListColumn* column);
  void lvHotkeysMouseDown(cl::TObject* sender, cl::TMouseButton button, cl::TShiftState shift, int x, int y);
  void lvHotkeysDragOver(cl::TObject* sender, cl::TObject* source, int x, int y, cl::TDragState state, bool& accept);
  void lvHotkeysDragDrop(cl::TObject* sender, cl::TObject* source, int x, int y);
  // Order of two rows by the table's sort column and direction: <0, 0, >0.
  int lvHotkeysCompare(const HotkeyEntry& item1, const HotkeyEntry& item2) const;
  // The edit box.
  void edtDescriptionChange(cl::TObject* sender);
  void edtDescriptionExit(cl::TObject* sender);
  void edtIDChange(cl::TObject* sender);
  void edtIDExit(cl::TObject* sender);
  void cboActionsClick(cl::TObject* sender);
  void edtCommandLineChange(cl::TObject* sender);
  void edtCommandLineExit(cl::TObject* sender);
  void edtKeysToSendChange(cl::TObject* sender);
  void edtMultCommandsChange(cl::TObject* sender);
  void edtMultCommandsExit(cl::TObject* sender);
  void edtDefFileChange(cl::TObject* sender);
  void edtStartupDirChange(cl::TObject* sender);
  void edtStartupDirButtonClick(cl::TObject* sender);
  void cboParamsClick(cl::TObject* sender);
  void cboClipboardClick(cl::TObject* sender);
  void cboShowClick(cl::TObject* sender);
  void chkActiveClick(cl::TObject* sender);
  void chkCtrlClick(cl::TObject* sender);
  void edtKeysToSendButtonClick(cl::TObject* sender);
  void edtMultCommandsButtonClick(cl::TObject* sender);
  void WMExecuteMultiple(cl::TMessage& message);
  void WMDrawClipboard(cl::TMessage& message);
  void WMChangeCBChain(cl::TMessage& message);

  void ApplyShowIcon();
  void UpdateClipboardList();
  void ReadSettings();
  // Runs a step of the start-up that writes settings; a write that fails is kept for FormCreate to tell.
  void StartupWrite(const std::function<void()>& step);
  void WriteSettings();
  void AddBlankEntry();
  void ShowRows();
  void ShowRow(int index);
  // The current row after an edit of the edit box: the table shows it and the definitions are modified.
  void RowChanged();
  HotkeyEntry* CurrentEntry();
  void SortRows();
  // After a sort or a move: left to the next save when other changes are pending, else saved now.
  void SaveOrderChange();
  std::string ProgramFile() const;
  // The content of the file in use; empty when it cannot be read.
  std::string DefinitionsFileBytes() const;

  // Components of the description.
  CL_FIELDS((toolkit::TSaSortListView, lvHotkeys),
            (cl::TButton, btnUndo),
            (cl::TButton, btnApply),
            (cl::TButton, btnHelp),
            (cl::TCheckBox, chkShowIcon),
            (cl::TCheckBox, chkAutoStart),
            (cl::TEdit, edtClipboards),
            (cl::TUpDown, udClipboards),
            (cl::TComboBox, cboActions),
            (cl::TComboBox, cboParams),
            (cl::TComboBox, cboClipboard),
            (cl::TComboBox, cboShow),
            (cl::TComboBox, cboHotkey),
            (toolkit::dock::TToolWin, twEditor),
            (cl::TGroupBox, grpEdit),
            (cl::TEdit, edtDescription),
            (cl::TEdit, edtID),
            (cl::TEdit, edtCommandLine),
            (cl::TEdit, edtMultCommands),
            (cl::TEdit, edtKeysToSend),
            (cl::TEdit, edtDefFile),
            (cl::TEdit, edtStartupDir),
            // what the browse buttons of the command line and the definitions file open
            (cl::TOpenDialog, OpenDialog),
            (toolkit::TSaBrowseForFolder, BrowseForFolder),
            (cl::TLabel, lblCommandLine),
            (cl::TLabel, lblShow),
            (cl::TLabel, lblStartupDir),
            (cl::TCheckBox, chkCtrl),
            (cl::TCheckBox, chkAlt),
            (cl::TCheckBox, chkShift),
            (cl::TCheckBox, chkWin),
            (cl::TCheckBox, chkActive),
            (toolkit::TSaSysHotKey, SysHotkeys),
            (toolkit::TSaAnimatedTrayIcon, atiHotkeys),
            (cl::TMenuItem, mnuHelp),
            (cl::TMenuItem, mnuAbout),
            (cl::TMenuItem, mnuEditHotkeys),
            (cl::TMenuItem, mnuListHotkeys),
            (cl::TMenuItem, mnuSeparator1),
            (cl::TMenuItem, mnuHotkeys))

  // The hotkey list window while it is open (it frees itself), and the tray icon notice.
  TfrmHotkeyList* FHotkeyList = nullptr;
  TForm1* FNotice = nullptr;
  void RefreshHotkeyList();
  std::vector<std::string> ItemsOf(const cl::TComboBox* combo) const;

  // What waits for the ID list that runs (or the command that lets messages through) to end: commands
  // chosen meanwhile and further lists, by registration id, in the order they came.
  struct DeferredRun {
    bool list;  // an ID list (message 3027), else a command chosen by the user
    int index;
  };
  std::deque<DeferredRun> FDeferred;
  bool FListRunning = false;
  bool FDraining = false;
  bool ValidCommandIndex(LPARAM index) const noexcept;
  // Runs the ID list of command list entry `index`.
  void RunIdList(int index);
  // Runs what waits, once nothing runs any more; an exception of one goes to the application's handler
  // and the next one still runs.
  void RunDeferred();

  std::vector<HotkeyCommand> FCommands;
  std::unique_ptr<TClipboards> FClipboards;
  HWND FNextViewer = nullptr;
  bool FInViewerChain = false;
  std::unique_ptr<SystemActions> FSystemActions = std::make_unique<SystemActions>(RealSystemCalls());
  TKeySender FKeySender;
  TLauncher FLauncher{ShellLaunch};
  std::unique_ptr<AutorunStore> FAutorun{RegistryAutorun()};
  std::exception_ptr FStartupWriteFailure;  // the first settings write that failed during start-up
  bool FUnticking = false;  // the autorun option is being unticked after a failed write: already recorded
  int FSendDepth = 0;  // nested keystroke actions: only the outermost switches the hot keys
  Definitions FEntries;  // the rows of the table
  // The file in use when its last read stopped short, and the entries read from it: the user is told,
  // and the next save keeps the old file as its backup, so that the entries not shown are not lost.
  struct ShortRead {
    std::string file;
    size_t entries = 0;
    friend bool operator==(const ShortRead&, const ShortRead&) = default;
  };
  std::optional<ShortRead> FShortRead;
  void ReportShortRead() const;
  int FCurrentItem = -1;
  int FDragRowHeight = 0;  // the step of scrolling while a row is dragged near an edge
  int FSavedSortColumn = -1;  // the sort column the next save restores and records
  bool FFillingTable = false;  // selection events of the table while its rows are rebuilt are not the user's
  std::string FIniFileName;
  std::string FDefinitionsFile;
  bool FExecuting = false;
  bool FClosing = false;
  bool FUpdating = false;
  bool FModified = false;
};

}  // namespace hk
