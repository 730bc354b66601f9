// A non-visual wrapper of the shell's folder browser: Execute shows it modally and leaves the chosen
// folder's path in Directory.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "Classes.h"
#include "SysUtils.h"

namespace toolkit {

enum TSaBrowseInfoFlag { bfFileSysDirsOnly, bfDontGoBelowDomain, bfStatusText, bfFileSysAncestors, bfBrowseForComputer,
                         bfBrowseForPrinter };
using TSaBrowseInfoFlags = cl::TSet<TSaBrowseInfoFlag>;

// The root of the browse tree.
enum TShellFolder { foDesktop, foPrograms, foControls, foPrinters, foPersonal, foFavorites, foStartup, foRecent, foSendTo,
                    foRecycleBin, foStartMenu, foDesktopDir, foMyComputer, foNetwork, foNethood, foFonts, foTemplates };

// The BIF_ flags word and the CSIDL of the root that the dialog gets.
UINT BrowseInfoFlagsToBIF(TSaBrowseInfoFlags flags) noexcept;
int ShellFolderToCSIDL(TShellFolder folder) noexcept;

// Raised by Execute while the dialog is already open.
class EBrowseDialogShowing : public cl::Exception {
 public:
  using cl::Exception::Exception;
  const char* ClassName() const noexcept override { return "EBrowseDialogShowing"; }
};

// (Sender, ItemIDList): the new selection; the list belongs to the dialog.
using TSelChangedEvent = cl::TEvent<cl::TObject*, LPCITEMIDLIST>;

class TSaBrowseForFolder : public cl::TComponent {
  CL_CLASS(TSaBrowseForFolder, cl::TComponent)

  explicit TSaBrowseForFolder(cl::TComponent* owner);

  // The initial selection; after a successful Execute the chosen folder's file-system path (empty for a
  // folder that has none).
  const std::string& Directory() const noexcept { return directory_; }
  void SetDirectory(const std::string& value) { directory_ = value; }
  TSaBrowseInfoFlags Flags() const noexcept { return flags_; }
  void SetFlags(TSaBrowseInfoFlags value) { flags_ = value; }
  TShellFolder Folder() const noexcept { return folder_; }
  void SetFolder(TShellFolder value) { folder_ = value; }
  // Shows the selected folder's path as the status text (which exists only with bfStatusText).
  bool ShowPath() const noexcept { return showPath_; }
  void SetShowPath(bool value) { showPath_ = value; }
  // The text above the tree.
  const std::string& SubTitle() const noexcept { return subTitle_; }
  void SetSubTitle(const std::string& value) { subTitle_ = value; }
  // The dialog's caption; empty keeps the system's.
  const std::string& Title() const noexcept { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }

  // The chosen folder's display name and shell image index (after a successful Execute).
  const std::string& DisplayName() const noexcept { return displayName_; }
  int ImageIndex() const noexcept { return imageIndex_; }
  // The dialog's window while it is open, else null.
  HWND DialogHandle() const noexcept { return dialog_; }
  bool Showing() const noexcept { return showing_; }

  // Shows the dialog modally. True when the user chose a folder (Directory, DisplayName and ImageIndex then
  // describe it); false when cancelled (nothing changes). Raises EBrowseDialogShowing "The browse dialog is
  // already showing." when called while the dialog is open.
  bool Execute();

  cl::TNotifyEvent OnInitialized;
  TSelChangedEvent OnSelChanged;

 private:
  static int CALLBACK BrowseForFolderCallback(HWND dialog, UINT msg, LPARAM lParam, LPARAM data);

  std::string directory_;
  TSaBrowseInfoFlags flags_{};
  TShellFolder folder_ = foDesktop;
  bool showPath_ = false;
  std::string subTitle_;
  std::string title_;
  std::string displayName_;
  int imageIndex_ = 0;
  HWND dialog_ = nullptr;
  bool showing_ = false;
};

}  // namespace toolkit
