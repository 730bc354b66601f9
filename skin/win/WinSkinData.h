// The skin component that a program's main form carries: it holds the skin package (stored in the form
// description), reads the skin from it or from a file, and asks the skin manager (WinSkinDlg.h) to skin,
// unskin or refresh the windows. The skinned windows and the painters read their settings from it.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "Lists.h"
#include "SkinDescription.h"
#include "Streams.h"

namespace cl {
class TControl;
}

namespace skin {

// The name of the bitmap resource holding the system menu's icons: restore, maximise, minimise and
// close, 16 pixels wide each, white being transparent.
inline constexpr const char* kSkinMenuResource = "SKINMENU";
inline constexpr cl::TColor kSkinMenuMaskColor = 0xFFFFFF;
inline constexpr const char* kSkinDataVersion = "3.02.03.09";

// What the skin reaches besides the window frames; bit n is member n.
enum TSkinControlType {
  xcMainMenu, xcPopupMenu, xcMenuItem, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton, xcProgress,
  xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcPanel, xcGroupBox, xcStatusBar, xcTab, xcSystemMenu,
  xcFastReport
};
using TSkinControlTypes = cl::TSet<TSkinControlType>;
// Every member but xcMenuItem and xcFastReport.
inline constexpr TSkinControlTypes kDefaultSkinControls = TSkinControlTypes::FromMask(0x7FFFB);

enum TSkinOption { xoMDIScrollbar, xoMenuMerge, xoNCPaint };
using TSkinOptions = cl::TSet<TSkinOption>;

// sfMainform: skins every window of the program; sfOnlyThisForm: only its owner form; sfDialog: the
// message boxes.
enum TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog };

class TSkinData;
// (Sender, class name, DoSkin): DoSkin starts true.
using TOnFormSkin = cl::TEvent<cl::TObject*, std::string, bool&>;
// (Sender, SkinData, Form, Control, ControlClass, SkinnedControl): for the painters.
using TOnSkinControl =
    cl::TEvent<cl::TComponent*, TSkinData*, cl::TControl*, cl::TControl*, std::string, cl::TComponent*&>;

// The lines "class name=kind" that map controls of other libraries to our painters.
const std::vector<std::string>& DefaultSkin3rd();
// The list that Pellwick's form stores in place of the default one.
const std::vector<std::string>& PellwickSkin3rd();

class TSkinData : public cl::TComponent, public TSkinDescription {
  CL_CLASS(TSkinData, cl::TComponent)

  // The system menu's icons come from the SKINMENU bitmap of the program file.
  explicit TSkinData(cl::TComponent* owner);
  // The same from `module`; a module without the bitmap leaves the list empty.
  TSkinData(cl::TComponent* owner, HINSTANCE module);
  // Unskins the windows skinned with it and leaves the manager (which ends with the last component).
  ~TSkinData() override;

  bool Active() const noexcept { return active_; }
  void SetActive(bool value);
  int32_t DisableTag() const noexcept { return disableTag_; }
  void SetDisableTag(int32_t value) noexcept { disableTag_ = value; }
  TSkinControlTypes SkinControls() const noexcept { return skinControls_; }
  void SetSkinControls(TSkinControlTypes value) noexcept { skinControls_ = value; }
  TSkinOptions Options() const noexcept { return options_; }
  void SetOptions(TSkinOptions value) noexcept { options_ = value; }
  cl::TStrings* Skin3rd() const noexcept { return skin3rd_.get(); }
  void SetSkin3rd(cl::TStrings* value) { skin3rd_->Assign(value); }
  const std::string& SkinFile() const noexcept { return skinFile_; }
  void SetSkinFile(const std::string& value);
  // "(none)" at run time; "(Good)" at design time while a package is held. Writing it does nothing.
  std::string SkinStore() const;
  void SetSkinStore(const std::string&) noexcept {}
  TSkinFormType SkinFormtype() const noexcept { return skinFormtype_; }
  void SetSkinFormtype(TSkinFormType value) noexcept { skinFormtype_ = value; }
  std::string Version() const { return kSkinDataVersion; }
  void SetVersion(const std::string&) noexcept {}
  bool MenuUpdate() const noexcept { return menuUpdate_; }
  void SetMenuUpdate(bool value) noexcept { menuUpdate_ = value; }
  bool MenuMerge() const noexcept { return menuMerge_; }
  void SetMenuMerge(bool value) noexcept { menuMerge_ = value; }

  TOnFormSkin OnFormSkin;
  cl::TNotifyEvent OnSkinChanged;
  TOnSkinControl OnSkinControl;

  // Reads the description as TSkinDescription does, then makes the face brush anew from
  // Colors.ButtonFace (the old brush goes first).
  void ReadSkinIni(const TQuickIni& ini, const TSkinEntryReader& entries, int scrollArrowWidth);

  // Reads the skin of the package in SkinStreamData: the first entry whose name contains ".ini" is the
  // description, the others its bitmaps. False for a package of an older version (after the reader's
  // message through OnMessage), with NoSkin left True; a package without a description reads as an
  // empty one. A damaged package raises the reader's exceptions. False at design time.
  bool LoadSkin();
  // After a new skin: the windows skinned with this component lose their title-bar buttons and, once
  // skinning has started, get them back from the new skin and recolour.
  void ApplySkin();
  // The manager's filter for a window class name; DoSkin comes in true.
  void DoFormSkin(const std::string& name, bool& doSkin);
  void DoSkinChanged() { OnSkinChanged(this); }

  void DefineProperties(cl::TFiler& filer) override;

  // The skin package as the form stores it.
  cl::TMemoryStream SkinStreamData;
  // The icons of the skinned system menu, 16 by 16, cut from the module's bitmap at first use: an image
  // list loads the common controls, which the programs' start does not wait for.
  cl::TImageList& MenuIcons();
  // Shared by the title-bar buttons of the windows skinned with this component.
  cl::TBitmap IconBitmap;
  // The skinned frame turns this off for a moment while it lets the system paint.
  bool NonClientPainting = true;
  // The reader's information texts ("This is Older Skin File..."), shown in a plain message box unless
  // the owner puts its own handler here (unset: none).
  std::function<void(const std::string& text)> OnMessage;

  // A solid brush of the skin's face colour; null before the first skin is read.
  HBRUSH FaceBrush() const noexcept { return faceBrush_.Get(); }
  // The work bitmap that status bars and chunk progress bars are composed on, made at first use: they
  // size it and draw on it, one at a time on the GUI thread.
  cl::TBitmap& WorkBitmap();

 protected:
  void Loaded() override;

 private:
  void ReadSkinStream(cl::TStream& stream);
  void WriteSkinStream(cl::TStream& stream);
  // LoadSkin, with a damaged package giving false and no skin.
  bool LoadSkinSafely();
  bool Designing() const noexcept { return ComponentState().Contains(cl::csDesigning); }

  bool active_ = false;
  int32_t disableTag_ = 99;
  TSkinControlTypes skinControls_ = kDefaultSkinControls;
  TSkinOptions options_;
  std::unique_ptr<cl::TStringList> skin3rd_;
  std::string skinFile_;
  TSkinFormType skinFormtype_ = sfMainform;
  bool menuUpdate_ = true;
  bool menuMerge_ = false;
  cl::TBrushHandle faceBrush_;
  HINSTANCE module_ = nullptr;  // where the system menu's icons come from
  std::unique_ptr<cl::TImageList> menuIcons_;
  std::unique_ptr<cl::TBitmap> workBitmap_;
};

// Makes the skin component known to the form reader.
void RegisterSkinComponents();

// Text routines of the painters: the system's ANSI code page both ways, a wide copy of a counted text
// (count -1: to its end) and DrawTextW of a wide text.
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);
std::wstring WideCopy(const wchar_t* text, int count);
int DrawTextWide(HDC dc, const std::wstring& text, RECT& rect, UINT format);

}  // namespace skin
