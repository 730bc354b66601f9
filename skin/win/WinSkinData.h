// The skin component's data: the skin package it holds, the skin read from it, and what the drawing
// side makes of that once per skin (the face brush) or once per component (the system menu's icons).
//
// So far this is the reading half of the component that a form carries; the form properties, the skin
// manager and the windows it skins build on it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Graphics.h"
#include "SkinDescription.h"
#include "Streams.h"

namespace skin {

// The name of the bitmap resource holding the system menu's icons: restore, maximise, minimise and
// close, 16 pixels wide each, white being transparent.
inline constexpr const char* kSkinMenuResource = "SKINMENU";
inline constexpr cl::TColor kSkinMenuMaskColor = 0xFFFFFF;

class TSkinData : public TSkinDescription {
 public:
  // The system menu's icons come from the SKINMENU bitmap of `module` (the program); a module without
  // one leaves the list empty.
  explicit TSkinData(HINSTANCE module = GetModuleHandleW(nullptr));
  TSkinData(const TSkinData&) = delete;
  TSkinData& operator=(const TSkinData&) = delete;

  // Reads the description as TSkinDescription does, then makes the face brush anew from
  // Colors.ButtonFace (the old brush goes first).
  void ReadSkinIni(const TQuickIni& ini, const TSkinEntryReader& entries, int scrollArrowWidth);

  // Reads the skin of the package in SkinStreamData: the first entry whose name contains ".ini" is the
  // description, the others its bitmaps. False for a package of an older version (after the reader's
  // message through OnMessage), with NoSkin left True; a package without a description reads as an
  // empty one. A damaged package raises the reader's exceptions.
  bool LoadSkin();

  // The skin package as the form stores it.
  cl::TMemoryStream SkinStreamData;
  // The icons of the skinned system menu, 16 by 16.
  cl::TImageList MenuIcons{nullptr};
  // The reader's information texts ("This is Older Skin File..."); the owner shows them. Unset: none.
  std::function<void(const std::string& text)> OnMessage;

  // A solid brush of the skin's face colour; null before the first skin is read.
  HBRUSH FaceBrush() const noexcept { return faceBrush_.Get(); }

 private:
  cl::TBrushHandle faceBrush_;
};

}  // namespace skin
