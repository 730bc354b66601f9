// The hotkey list window: the active entries of the definitions file as last saved, read from the file
// itself; a double click or Enter runs the chosen row's command. It frees itself when closed.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "Definitions.h"
#include "Forms.h"
#include "IniFiles.h"
#include "SaSortListView.h"

namespace hk {

// What the window takes from the main window.
struct HotkeyListHost {
  std::function<std::string()> definitionsFile;  // the file in use
  std::function<DefinitionsNaming()> naming;     // the action and Exit Windows parameter lists
  std::function<std::vector<std::string>()> clipboardNames;  // the clipboard list ("1", "2", ...)
  std::function<void(int)> executeRegistered;    // runs a command list entry
  std::function<void()> closed;                  // the window is closing and will be freed
  std::string iniFileName;                       // where its size and column widths are kept
};

// One row of the window: caption, the four visible sub-items and the registration id ("" for none).
struct HotkeyListRow {
  std::string description, id, action, data, hotkey, registrationId;
  friend bool operator==(const HotkeyListRow&, const HotkeyListRow&) = default;
};

// The rows for a definitions file image: its active entries, their IDs made as the editor makes them
// over all the file's records, and the registration id of each entry the registration takes.
std::vector<HotkeyListRow> HotkeyListRows(std::string_view bytes, const DefinitionsNaming& naming,
                                          const std::vector<std::string>& clipboardNames);

class TfrmHotkeyList : public cl::TForm {
  CL_CLASS(TfrmHotkeyList, cl::TForm)

  // The host must be set before the form's creation handler runs: NewHotkeyList does both.
  explicit TfrmHotkeyList(cl::TComponent* owner);
  ~TfrmHotkeyList() override;

  void SetHost(HotkeyListHost host) { FHost = std::move(host); }

  // (Re)fills the table from the definitions file.
  void LoadList();
  // Runs the selected row's command, when it has one.
  void ExecuteSelected();

  toolkit::TSaSortListView* List() const noexcept { return lvHotkeys; }

 private:
  void FormCreate(cl::TObject* sender);
  void FormShow(cl::TObject* sender);
  void FormClose(cl::TObject* sender, cl::TCloseAction& action);
  void FormDestroy(cl::TObject* sender);
  void FormKeyDown(cl::TObject* sender, uint16_t& key, cl::TShiftState shift);
  void lvHotkeysKeyDown(cl::TObject* sender, uint16_t& key, cl::TShiftState shift);
  void lvHotkeysKeyPress(cl::TObject* sender, wchar_t& key);
  void lvHotkeysDblClick(cl::TObject* sender);

  CL_FIELDS((toolkit::TSaSortListView, lvHotkeys))
  HotkeyListHost FHost;
};

// Narrower than this a column shows nothing of its texts.
inline constexpr int kMinColumnWidth = 8;
// A column width read from a settings file: one narrower than kMinColumnWidth (negative, say) reads as
// the column's default width, one wider than the widest window the system allows as that width. A stray
// width must neither hide the column nor push the rows out of sight, nor be written back.
int ColumnWidthFromSettings(int stored, int defaultWidth);
// The widths of a table's columns from `section` of a settings file, one key per column caption, by the
// rule above (a column's width at this moment is its default); and back.
void ReadColumnWidths(const cl::TIniFile& ini, const std::string& section, cl::TListColumns& columns);
void WriteColumnWidths(cl::TIniFile& ini, const std::string& section, cl::TListColumns& columns);
// Writes the window's size to `section` of a settings file as "Width" and "Height": with the skin, the
// size with the system's frame around the client area, since the skin keeps the client area when it
// replaces that frame at the next start.
void WriteWindowSize(cl::TIniFile& ini, const std::string& section, cl::TWinControl& window);

// Creates the window for host (reading its settings); the caller shows it.
TfrmHotkeyList* NewHotkeyList(cl::TComponent* owner, HotkeyListHost host);

}  // namespace hk
