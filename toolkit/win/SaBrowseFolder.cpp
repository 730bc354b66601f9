#include "SaBrowseFolder.h"

#include <objbase.h>

#include <memory>

#include "WinString.h"

namespace toolkit {

CL_BEGIN_CLASS(TSaBrowseForFolder)
    .Str("Directory", &TSaBrowseForFolder::Directory, &TSaBrowseForFolder::SetDirectory)
    .Set("Flags", &TSaBrowseForFolder::Flags, &TSaBrowseForFolder::SetFlags,
         {"bfFileSysDirsOnly", "bfDontGoBelowDomain", "bfStatusText", "bfFileSysAncestors", "bfBrowseForComputer",
          "bfBrowseForPrinter"},
         TSaBrowseInfoFlags{})
    .Enum("Folder", &TSaBrowseForFolder::Folder, &TSaBrowseForFolder::SetFolder,
          {"foDesktop", "foPrograms", "foControls", "foPrinters", "foPersonal", "foFavorites", "foStartup", "foRecent",
           "foSendTo", "foRecycleBin", "foStartMenu", "foDesktopDir", "foMyComputer", "foNetwork", "foNethood",
           "foFonts", "foTemplates"},
          foDesktop)
    .Bool("ShowPath", &TSaBrowseForFolder::ShowPath, &TSaBrowseForFolder::SetShowPath, false)
    .Str("SubTitle", &TSaBrowseForFolder::SubTitle, &TSaBrowseForFolder::SetSubTitle)
    .Str("Title", &TSaBrowseForFolder::Title, &TSaBrowseForFolder::SetTitle)
    .Event("OnInitialized", &TSaBrowseForFolder::OnInitialized)
    .Event("OnSelChanged", &TSaBrowseForFolder::OnSelChanged)
CL_END_CLASS

UINT BrowseInfoFlagsToBIF(TSaBrowseInfoFlags flags) noexcept {
  static constexpr UINT kBits[] = {BIF_RETURNONLYFSDIRS, BIF_DONTGOBELOWDOMAIN, BIF_STATUSTEXT,
                                   BIF_RETURNFSANCESTORS, BIF_BROWSEFORCOMPUTER, BIF_BROWSEFORPRINTER};
  UINT result = 0;
  for (int i = 0; i < static_cast<int>(std::size(kBits)); ++i)
    if (flags.Contains(static_cast<TSaBrowseInfoFlag>(i))) result |= kBits[i];
  return result;
}

int ShellFolderToCSIDL(TShellFolder folder) noexcept {
  static constexpr int kIds[] = {CSIDL_DESKTOP,   CSIDL_PROGRAMS,  CSIDL_CONTROLS,  CSIDL_PRINTERS, CSIDL_PERSONAL,
                                 CSIDL_FAVORITES, CSIDL_STARTUP,   CSIDL_RECENT,    CSIDL_SENDTO,   CSIDL_BITBUCKET,
                                 CSIDL_STARTMENU, CSIDL_DESKTOPDIRECTORY, CSIDL_DRIVES, CSIDL_NETWORK, CSIDL_NETHOOD,
                                 CSIDL_FONTS,     CSIDL_TEMPLATES};
  const auto i = static_cast<size_t>(folder);
  return i < std::size(kIds) ? kIds[i] : CSIDL_DESKTOP;
}

namespace {

// Item lists come from the shell's allocator, which is the task allocator.
struct ItemListFree {
  void operator()(ITEMIDLIST* list) const noexcept { CoTaskMemFree(list); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

// The shell's browser needs COM on this thread; undone only when this call set it up.
class ComScope {
 public:
  ComScope() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialized_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialized_;
};

// The item's file-system path; empty for a folder that has none (the computer, the printers).
std::wstring PathOf(LPCITEMIDLIST list) {
  wchar_t path[MAX_PATH] = {};
  if (!list || !SHGetPathFromIDListW(list, path)) return {};
  return path;
}

}  // namespace

TSaBrowseForFolder::TSaBrowseForFolder(cl::TComponent* owner) : cl::TComponent(owner) {}

int CALLBACK TSaBrowseForFolder::BrowseForFolderCallback(HWND dialog, UINT msg, LPARAM lParam, LPARAM data) {
  auto* self = reinterpret_cast<TSaBrowseForFolder*>(data);
  self->dialog_ = dialog;
  // Nothing may unwind through the shell's dialog: what the handlers raise goes to the default handler.
  try {
    switch (msg) {
      case BFFM_INITIALIZED: {
        if (!self->title_.empty()) SetWindowTextW(dialog, cl::ToWide(self->title_).c_str());
        const std::wstring start = cl::ToWide(self->directory_);
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start.c_str()));
        if (self->OnInitialized) self->OnInitialized(self);
        break;
      }
      case BFFM_SELCHANGED: {
        auto list = reinterpret_cast<LPCITEMIDLIST>(lParam);
        if (self->OnSelChanged) self->OnSelChanged(self, list);
        if (self->showPath_) {
          const std::wstring path = PathOf(list);
          SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path.c_str()));
        }
        break;
      }
    }
  } catch (...) {
    cl::HandleException();
  }
  return 0;
}

bool TSaBrowseForFolder::Execute() {
  if (showing_) throw EBrowseDialogShowing("The browse dialog is already showing.");
  ComScope com;
  ITEMIDLIST* rootRaw = nullptr;
  // A root the system does not have leaves the whole tree.
  if (FAILED(SHGetSpecialFolderLocation(nullptr, ShellFolderToCSIDL(folder_), &rootRaw))) rootRaw = nullptr;
  const ItemList root(rootRaw);

  wchar_t displayName[MAX_PATH] = {};
  const std::wstring subTitle = cl::ToWide(subTitle_);
  BROWSEINFOW info{};
  // Owned by the active window, which stays disabled meanwhile: the form holding this component cannot be
  // closed under the open dialog.
  info.hwndOwner = GetActiveWindow();
  info.pidlRoot = root.get();
  info.pszDisplayName = displayName;
  info.lpszTitle = subTitle.empty() ? nullptr : subTitle.c_str();
  info.ulFlags = BrowseInfoFlagsToBIF(flags_);
  info.lpfn = &BrowseForFolderCallback;
  info.lParam = reinterpret_cast<LPARAM>(this);
  info.iImage = 0;

  struct Showing {
    TSaBrowseForFolder* self;
    explicit Showing(TSaBrowseForFolder* s) : self(s) { self->showing_ = true; }
    ~Showing() {
      self->showing_ = false;
      self->dialog_ = nullptr;
    }
    Showing(const Showing&) = delete;
    Showing& operator=(const Showing&) = delete;
  } showing(this);

  const ItemList chosen(SHBrowseForFolderW(&info));
  if (!chosen) return false;
  directory_ = cl::FromWide(PathOf(chosen.get()));
  displayName_ = cl::FromWide(displayName);
  imageIndex_ = info.iImage;
  return true;
}

}  // namespace toolkit
