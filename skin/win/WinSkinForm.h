// One skinned top-level window: the skin manager makes one for each window that qualifies, either for a
// form of the class library (InitForm) or for a bare window such as a message box (SkinWindow alone).
// The window's messages then pass through WindowProc first (a TWindowSubclass), and a form's own message
// path gets FormWindowProc (a TMessageLink); Unskin and the window's destruction take both away.
//
// WindowProc works in three stages: what every skinned window handles, what a top-level window with a
// skinned frame handles, and the non-client messages of a frame in the skinned states (1 and 3).
#pragma once
#include <windows.h>

#include <string>

#include "Classes.h"
#include "Types.h"
#include "MessageChain.h"
#include "WindowSubclass.h"

namespace cl {
class TCustomForm;
}

namespace skin {

class TSkinData;

// Skin states.
inline constexpr int kSkinStateWaiting = 0;     // made, waiting for 0x3503
inline constexpr int kSkinStateSkinned = 1;
inline constexpr int kSkinStateRecolouring = 3;
inline constexpr int kSkinStateDestroying = 4;  // WM_NCDESTROY, before the detach
inline constexpr int kSkinStateFitting = 5;     // 0x3503 fits the frame
inline constexpr int kSkinStateDestroyed = 6;   // the manager frees it at its next purge

// Border kinds.
inline constexpr int kBorderSizeable = 0;
inline constexpr int kBorderSingle = 1;
inline constexpr int kBorderNone = 2;
inline constexpr int kBorderDialog = 3;

// Window kinds.
inline constexpr int kWindowNormal = 0;
inline constexpr int kWindowMDIFrame = 1;
inline constexpr int kWindowMDIChild = 2;

class TWinSkinForm : public cl::TComponent {
  CL_PLAIN_CLASS(TWinSkinForm, cl::TComponent)

  // owner: the form, or null for a bare window.
  explicit TWinSkinForm(cl::TComponent* owner);
  // Puts the window back when still skinned and leaves the manager's list.
  ~TWinSkinForm() override;

  // The manager sets the window before starting the skin.
  void SetHandle(HWND wnd) noexcept { wnd_ = wnd; }
  HWND Handle() const noexcept { return wnd_; }
  TSkinData* Data() const noexcept { return data_; }
  cl::TCustomForm* Form() const noexcept { return form_; }

  // For a form: turns its scrolling off, puts FormWindowProc on its message path (frame skinning only),
  // skins the window and gives the form the skin's face colour.
  void InitForm(TSkinData* data, cl::TCustomForm* form);
  // Skins the window; nothing when it is skinned already.
  void SkinWindow(TSkinData* data);
  // Puts back the window procedure, the form's path and colour, the style, the size and the region.
  void Unskin();
  // Gives the form and its controls the skin's colours again (0x3401, refresh action).
  void SkinColorsChanged();
  // Restores (true) or removes (false) the system's caption.
  void SetCaptionStyle(bool restore);

  int SkinState() const noexcept { return skinState_; }
  int BorderKind() const noexcept { return borderKind_; }
  int WindowKind() const noexcept { return windowKind_; }
  // 0 normal, 1 maximised, 2 minimised.
  int WindowState() const noexcept { return windowState_; }
  bool FrameSkinning() const noexcept { return frameSkinning_; }
  bool MessageDialog() const noexcept { return messageDialog_; }
  bool Subclassed() const noexcept { return subclass_.Installed(); }
  bool ControlsSkinned() const noexcept { return controlsSkinned_; }

 private:
  LRESULT WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Stage 1 handled the message when it returns true.
  bool CommonMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT FrameMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void FormWindowProc(cl::TMessage& m, const cl::TMessageChain::TNext& next);
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnSkinControls();
  LRESULT WMSize(WPARAM wParam, LPARAM lParam);
  LRESULT WMGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
  void ReadWindowState();
  void ReadBorderKind(DWORD style, DWORD exStyle);
  void RefreshFrame();
  // Takes the subclass and the form's link away (Unskin and WM_NCDESTROY).
  void Detach();
  void UnskinOnDestroy();
  void RestoreFormColor();
  bool IsMDIChild() const noexcept { return windowKind_ == kWindowMDIChild; }

  HWND wnd_ = nullptr;
  TSkinData* data_ = nullptr;
  cl::TCustomForm* form_ = nullptr;
  cl::TWindowSubclass subclass_;
  cl::TMessageLink formLink_;
  int skinState_ = kSkinStateWaiting;
  int borderKind_ = kBorderSizeable;
  int windowKind_ = kWindowNormal;
  int windowState_ = 0;
  int styleFlags_ = 0;  // 8 system menu, 2 minimise box, 1 maximise box, 0x10 caption removed
  bool frameSkinning_ = false;
  bool controlsSkinned_ = false;
  bool captionStyle_ = true;
  bool rightToLeft_ = false;
  bool sizeable_ = false;
  bool messageDialog_ = false;
  bool active_ = true;
  std::string windowClass_;
  HWND ownerWnd_ = nullptr;
  HMENU systemMenu_ = nullptr;
  HMENU windowMenu_ = nullptr;
  RECT clientRect_{};
  SIZE initialNonClient_{};  // window size minus client size when skinned
  DWORD initialStyle_ = 0;
  cl::TColor savedColor_ = 0;
  int frameLeft_ = 0, frameTop_ = 0, frameRight_ = 0, frameBottom_ = 0;
  int menuBarHeight_ = 0;
};

}  // namespace skin
