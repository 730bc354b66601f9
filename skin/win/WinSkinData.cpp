#include "WinSkinData.h"

#include <cstring>

#include "Controls.h"
#include "Dialogs.h"
#include "FileUtil.h"
#include "FormReader.h"
#include "Forms.h"
#include "ImgUtil.h"
#include "Lzh.h"
#include "SkinRead.h"
#include "WinSkinDlg.h"

namespace skin {

// Every property is written to the form description, none declaring a default.
CL_BEGIN_CLASS(TSkinData)
    .Bool("Active", &TSkinData::Active, &TSkinData::SetActive)
    .Int("DisableTag", &TSkinData::DisableTag, &TSkinData::SetDisableTag)
    .Set("SkinControls", &TSkinData::SkinControls, &TSkinData::SetSkinControls,
         {"xcMainMenu", "xcPopupMenu", "xcMenuItem", "xcToolbar", "xcControlbar", "xcCombo", "xcCheckBox",
          "xcRadioButton", "xcProgress", "xcScrollbar", "xcEdit", "xcButton", "xcBitBtn", "xcSpeedButton", "xcPanel",
          "xcGroupBox", "xcStatusBar", "xcTab", "xcSystemMenu", "xcFastReport"})
    .Set("Options", &TSkinData::Options, &TSkinData::SetOptions, {"xoMDIScrollbar", "xoMenuMerge", "xoNCPaint"})
    .Object("Skin3rd", &TSkinData::Skin3rd, &TSkinData::SetSkin3rd)
    .Str("SkinFile", &TSkinData::SkinFile, &TSkinData::SetSkinFile)
    .Str("SkinStore", &TSkinData::SkinStore, &TSkinData::SetSkinStore)
    .Enum("SkinFormtype", &TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype,
          {"sfMainform", "sfOnlyThisForm", "sfDialog"})
    .Str("Version", &TSkinData::Version, &TSkinData::SetVersion)
    .Bool("MenuUpdate", &TSkinData::MenuUpdate, &TSkinData::SetMenuUpdate)
    .Bool("MenuMerge", &TSkinData::MenuMerge, &TSkinData::SetMenuMerge)
    .Event("OnFormSkin", &TSkinData::OnFormSkin)
    .Event("OnSkinChanged", &TSkinData::OnSkinChanged)
    .Event("OnSkinControl", &TSkinData::OnSkinControl)
CL_END_CLASS

void RegisterSkinComponents() { cl::RegisterComponentClass(TSkinData::StaticClass()); }

TSkinData::TSkinData(cl::TComponent* owner) : TSkinData(owner, GetModuleHandleW(nullptr)) {}

TSkinData::TSkinData(cl::TComponent* owner, HINSTANCE module)
    : TComponent(owner), skin3rd_(std::make_unique<cl::TStringList>()) {
  for (const std::string& line : DefaultSkin3rd()) skin3rd_->Add(line);
  module_ = module;
  // A package of an older format must not leave the window unskinned without a word.
  OnMessage = [](const std::string& text) { cl::ShowMessage(text); };
}

cl::TBitmap& TSkinData::WorkBitmap() {
  if (!workBitmap_) workBitmap_ = NewSharedWorkBitmap();
  return *workBitmap_;
}

cl::TImageList& TSkinData::MenuIcons() {
  if (menuIcons_) return *menuIcons_;
  menuIcons_ = std::make_unique<cl::TImageList>(nullptr);
  // FindResource first: a module without the bitmap is not an error here.
  if (!module_ || !FindResourceA(module_, kSkinMenuResource, reinterpret_cast<LPCSTR>(RT_BITMAP))) return *menuIcons_;
  cl::TBitmap strip;
  strip.LoadFromResourceName(module_, kSkinMenuResource);
  menuIcons_->SetWidth(16);
  menuIcons_->SetHeight(16);
  menuIcons_->AddMasked(&strip, kSkinMenuMaskColor);
  return *menuIcons_;
}

TSkinData::~TSkinData() {
  // Windows skinned with this component must not keep pointing at it, nor the manager's queue.
  if (TSkinManage* manager = SkinManager()) {
    manager->UnskinFormsOf(this);
    manager->RemoveSkinData(this);
    ReleaseSkinManagerIfUnused();
  }
}

void TSkinData::DefineProperties(cl::TFiler& filer) {
  inherited::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "SkinStream", [this](cl::TStream& s) { ReadSkinStream(s); }, [this](cl::TStream& s) { WriteSkinStream(s); },
      true);
}

void TSkinData::ReadSkinStream(cl::TStream& stream) {
  int32_t count = 0;
  stream.ReadBuffer(&count, sizeof count);
  if (count <= 0) return;
  SkinStreamData.Clear();
  SkinStreamData.CopyFrom(stream, count);
  if (!Designing()) LoadSkinSafely();
}

void TSkinData::WriteSkinStream(cl::TStream& stream) {
  const int32_t count = static_cast<int32_t>(SkinStreamData.Size());
  stream.WriteBuffer(&count, sizeof count);
  if (count > 0) stream.WriteBuffer(SkinStreamData.Memory(), static_cast<size_t>(count));
}

std::string TSkinData::SkinStore() const {
  return Designing() && !SkinStreamData.Bytes().empty() ? "(Good)" : "(none)";
}

void TSkinData::SetSkinFile(const std::string& value) {
  NoSkin = true;
  skinFile_ = value;
  if (Designing()) {
    if (!value.empty()) SkinStreamData.Clear();
    return;
  }
  if (value.empty() || !cl::FileExists(value)) return;
  SkinStreamData.Clear();
  const std::string bytes = cl::ReadFileBytes(value);
  SkinStreamData.Write(bytes.data(), bytes.size());
  // The description read anew frees the button data the windows' title-bar buttons point at, whatever
  // the form type: they drop them first, even for a load that fails half-way.
  if (TSkinManage* manager = SkinManager()) manager->ClearSysButtonsOf(this);
  // A file that is not a good package leaves no skin to apply.
  if (!LoadSkinSafely()) return;
  if (skinFormtype_ == sfMainform || SkinManager()) ApplySkin();
}

void TSkinData::ReadSkinIni(const TQuickIni& ini, const TSkinEntryReader& entries, int scrollArrowWidth) {
  TSkinDescription::ReadSkinIni(ini, entries, scrollArrowWidth);
  faceBrush_.Reset();
  faceBrush_.Reset(CreateSolidBrush(cl::ColorToRGB(Colors.ButtonFace)));
}

bool TSkinData::LoadSkin() {
  NoSkin = true;
  if (Designing()) return false;
  TSkinReader reader;
  reader.OnMessage = OnMessage;
  SkinStreamData.SetPosition(0);
  if (!reader.LoadFromStream(SkinStreamData)) return false;
  TQuickIni ini;
  reader.ReadDescription(ini);
  ReadSkinIni(ini, [&reader](const std::string& name) { return reader.EntryBytes(name); },
              GetSystemMetrics(SM_CXHSCROLL));
  return true;
}

bool TSkinData::LoadSkinSafely() {
  // A damaged package (stream or layout) is no skin: the form carrying it still loads, unskinned.
  try {
    return LoadSkin();
  } catch (const ElzhException&) {
  } catch (const ESkinPackageError&) {
  }
  NoSkin = true;
  return false;
}

void TSkinData::Loaded() {
  inherited::Loaded();
  if (Designing()) return;
  TSkinManage& manager = EnsureSkinManager();
  manager.AddSkinData(this);
  if (skinFormtype_ != sfMainform) {
    manager.ManagerActive = true;
    manager.HookState += 1;
    if (auto* form = dynamic_cast<cl::TCustomForm*>(Owner())) manager.SkinWindow(form->Handle());
    return;
  }
  manager.InstallHook();
  if (active_) {
    if (NoSkin)
      active_ = false;
    else
      manager.RequestAction(kActionSkinAll, 250);
  }
  if (skinControls_.Contains(xcMainMenu))
    skinControls_.Exclude(xcMenuItem);
  else
    skinControls_.Exclude(xcSystemMenu);
}

void TSkinData::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  TSkinManage* manager = SkinManager();
  if (Designing() || ComponentState().Contains(cl::csReading) || !manager) return;
  switch (skinFormtype_) {
    case sfDialog:
      return;
    case sfOnlyThisForm:
      manager->PendingData = this;
      if (value && NoSkin) return;
      manager->RequestAction(value ? kActionSkinAll : kActionUnskinAll, 250);
      return;
    case sfMainform:
      if (value && NoSkin) return;
      if (value) {
        manager->RequestAction(kActionSkinAll, 250);
        manager->HookState = 1;
      } else {
        manager->RequestAction(kActionUnskinAll, 250);
      }
      manager->PendingData = this;
      return;
  }
}

void TSkinData::ApplySkin() {
  if (Designing() || ComponentState().Contains(cl::csReading)) return;
  if (!SkinManager()) Loaded();
  TSkinManage& manager = *SkinManager();
  manager.PendingData = this;
  // The old skin's buttons must not outlive it; the refresh makes them anew from the new skin.
  manager.RefreshForms();
  if (manager.HookState == 1) manager.RequestAction(kActionRefresh, 250);
}

void TSkinData::DoFormSkin(const std::string& name, bool& doSkin) {
  if (OnFormSkin) {
    OnFormSkin(this, name, doSkin);
    return;
  }
  if (name == "SysMonthCal32") doSkin = false;
  if (skinControls_.Contains(xcFastReport) && name.starts_with("Tfr")) doSkin = false;
}

// ---------------------------------------------------------------------------------------------------------
// Text routines.

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), n);
  return result;
}

std::string WideToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), n, nullptr, nullptr);
  return result;
}

std::wstring WideCopy(const wchar_t* text, int count) {
  if (!text) return {};
  if (count < 0) return text;
  return std::wstring(text, wcsnlen(text, static_cast<size_t>(count)));
}

int DrawTextWide(HDC dc, const std::wstring& text, RECT& rect, UINT format) {
  return DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

}  // namespace skin
