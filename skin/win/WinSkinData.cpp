#include "WinSkinData.h"

#include "SkinRead.h"

namespace skin {

TSkinData::TSkinData(HINSTANCE module) {
  // FindResource first: a module without the bitmap is not an error here.
  if (!FindResourceA(module, kSkinMenuResource, reinterpret_cast<LPCSTR>(RT_BITMAP))) return;
  cl::TBitmap strip;
  strip.LoadFromResourceName(module, kSkinMenuResource);
  MenuIcons.SetWidth(16);
  MenuIcons.SetHeight(16);
  MenuIcons.AddMasked(&strip, kSkinMenuMaskColor);
}

void TSkinData::ReadSkinIni(const TQuickIni& ini, const TSkinEntryReader& entries, int scrollArrowWidth) {
  TSkinDescription::ReadSkinIni(ini, entries, scrollArrowWidth);
  faceBrush_.Reset();
  faceBrush_.Reset(CreateSolidBrush(cl::ColorToRGB(Colors.ButtonFace)));
}

bool TSkinData::LoadSkin() {
  NoSkin = true;
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

}  // namespace skin
