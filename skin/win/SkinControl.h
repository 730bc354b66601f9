// The base of every control painter: a component that stacks itself on one control's messages, lets the
// control do its own work, and paints the control's face, frame or glyph from the skin around that.
//
// A painter reaches a control of the class library through the control's message path (Attach; a
// windowless control: AttachGraphic) and a bare window such as a message box's button through a window
// subclass (AttachHandle). Either way the painter's link is taken away with the painter, in its own place
// on the path, whatever was stacked after it. A painter of a class-library control is owned by that
// control; one of a bare window by the skinned window (TWinSkinForm), whose painter list it joins.
//
// Once its window is destroyed (state 6) a painter passes every message straight on: a control whose
// window is made again keeps a dead painter until the skinned window's next pass replaces it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "Classes.h"
#include "Colors.h"
#include "Controls.h"
#include "MessageChain.h"
#include "WindowSubclass.h"

namespace cl {
class TCanvas;
}

namespace skin {

class TSkinData;
class TWinSkinForm;

// Sent to a control: wParam 0 switches its painter off, anything else on again (and redraws).
inline constexpr UINT kSkinMsgPainterSwitch = 0x3506;

// Painter states.
inline constexpr int kPainterNew = 0;
inline constexpr int kPainterAttached = 1;
inline constexpr int kPainterColorBack = 2;  // a panel painter gave its colour back
inline constexpr int kPainterDestroyed = 6;  // the window is gone

// Mouse flags.
inline constexpr uint8_t kMouseHot = 1;
inline constexpr uint8_t kMousePressed = 2;

class TSkinControl : public cl::TComponent {
  CL_PLAIN_CLASS(TSkinControl, cl::TComponent)

  explicit TSkinControl(cl::TComponent* owner);
  // Takes its link off the control's path or window and leaves the skinned window's list.
  ~TSkinControl() override;

  // A windowed control of the class library, the owner: stacks on its message path, makes its window
  // when it has none, gives it the skin's face colour when useColor. A second call does nothing.
  virtual void Attach(TWinSkinForm* form, TSkinData* data, bool useColor);
  // A bare window: subclasses it. Raises EOSError when the window cannot be subclassed.
  virtual void AttachHandle(HWND wnd, TSkinData* data, TWinSkinForm* form);
  // A windowless control of the class library, the owner (speed buttons). True when the skinned window
  // had the painter listed already.
  bool AttachGraphic(TWinSkinForm* form, TSkinData* data);

  // Gives the control its colour from before Attach.
  virtual void RestoreColor();
  // The skin's colours changed: take them over and redraw.
  virtual void ApplySkinColor();
  // Repaints the control (at once for a bare window).
  void Redraw();
  // Sends CM_MOUSELEAVE to a painter's window: the hot-tracking takes the hot state from a button.
  static void ButtonMouseLeave(TSkinControl* painter);

  HWND Handle() const noexcept { return wnd_; }
  cl::TWinControl* Control() const noexcept { return control_; }
  cl::TControl* GraphicControl() const noexcept { return graphic_; }
  // The control painted, windowed or not; null for a bare window.
  cl::TControl* Painted() const noexcept;
  TSkinData* Data() const noexcept { return data_; }
  TWinSkinForm* Form() const noexcept { return form_; }
  int State() const noexcept { return state_; }
  bool SkinOn() const noexcept { return skinOn_; }
  uint8_t MouseFlags() const noexcept { return mouse_; }
  bool Hot() const noexcept { return (mouse_ & kMouseHot) != 0; }
  bool Pressed() const noexcept { return (mouse_ & kMousePressed) != 0; }
  // Attach was asked to give the control the skin's face colour.
  bool UseColor() const noexcept { return useColor_; }
  // Forgets the skinned window (it is going and unlists its painters itself).
  void ForgetForm() noexcept { form_ = nullptr; }

 protected:
  // Before the control's own handling; false: handled here (result set), the control does not see it.
  virtual bool BeforeMessage(cl::TMessage& m);
  // After the control's own handling.
  virtual void AfterMessage(cl::TMessage& m);
  // Draws onto dc, or onto the window's own DC when dc is null; drawing errors are swallowed.
  virtual void PaintFrame(HDC dc);
  // Paints into dc within rect; nothing in the base.
  virtual void DrawSkin(HDC dc, const RECT& rect);

  // Hands the message to the control (or the window's procedure) and keeps its result.
  void CallDefault(cl::TMessage& m);
  // The WM_PAINT of painters that draw the whole client area: the message's DC or a paint of its own.
  void PaintClient(cl::TMessage& m);
  // The colour of the control's parent, or fallback.
  cl::TColor ParentColor(cl::TColor fallback) const;
  void FillSkinColor(HDC dc, const RECT& rect) const;
  void FillParentColor(HDC dc, const RECT& rect) const;
  // The skin's face colour (the system's when the skin has none).
  cl::TColor FaceColor() const;
  void SetMouseFlag(uint8_t flag, bool on) noexcept { mouse_ = on ? (mouse_ | flag) : (mouse_ & ~flag); }
  void MarkAttached() noexcept { attached_ = true; state_ = kPainterAttached; }
  void SetState(int state) noexcept { state_ = state; }
  // Sets the members every attach sets and joins the skinned window's list; true when already listed.
  bool Register(TWinSkinForm* form, TSkinData* data);
  // The owner becomes the painted control and its window (made if need be) the painter's window; false
  // when the owner is no windowed control.
  bool BindOwner(bool useColor);
  // With useColor: keeps the control's colour for RestoreColor and gives it the skin's face colour.
  void TakeFaceColor();
  // Takes the link off the control's path (speed buttons give it back before their control goes).
  void Unhook() noexcept { link_.Remove(); }

  bool Enabled() const noexcept { return enabled_; }
  bool Focused() const noexcept { return focused_; }
  const std::wstring& Text() const noexcept { return text_; }
  void SetText(const std::wstring& text) { text_ = text; }
  const RECT& WindowRect() const noexcept { return windowRect_; }

 private:
  // How CallDefault reaches the rest of the path for the message being handled.
  struct TDefault {
    const cl::TMessageChain::TNext* next;
    HWND wnd;
  };
  // Shared with the installed handler, which outlives a painter freed by its own message (a click whose
  // handler frees the form): what the message may still look at once the painter is gone.
  struct TCallState {
    const TDefault* current = nullptr;
    bool destroyed = false;
  };
  // Messages nest (a paint sends others): each restores what the one around it reached.
  class TDefaultScope {
   public:
    TDefaultScope(TCallState& state, const TDefault& here) noexcept : state_(state), old_(state.current) {
      state_.current = &here;
    }
    ~TDefaultScope() { state_.current = old_; }
    TDefaultScope(const TDefaultScope&) = delete;
    TDefaultScope& operator=(const TDefaultScope&) = delete;

   private:
    TCallState& state_;
    const TDefault* old_;
  };
  void SkinWndProc(cl::TMessage& m);
  void StackOn(cl::TControl& control);

  std::shared_ptr<TCallState> call_ = std::make_shared<TCallState>();

  cl::TMessageLink link_;
  cl::TWindowSubclass subclass_;
  TSkinData* data_ = nullptr;
  TWinSkinForm* form_ = nullptr;
  HWND wnd_ = nullptr;
  cl::TWinControl* control_ = nullptr;
  cl::TControl* graphic_ = nullptr;
  RECT windowRect_{};
  std::wstring text_;
  cl::TColor savedColor_ = 0;
  bool savedParentColor_ = false;
  int state_ = kPainterNew;
  uint8_t mouse_ = 0;
  bool skinOn_ = true;
  bool enabled_ = true;
  bool focused_ = false;
  bool useColor_ = false;
  bool attached_ = false;
};

// Published properties read and written by name on any object; a null object or a property it lacks
// gives 0, an empty text or null, and writing one changes nothing.
int64_t GetOrdPropByName(const cl::TObject* obj, std::string_view name);
// The identifier of an enumeration's value ("True"/"False" for Booleans).
std::string GetEnumPropByName(const cl::TObject* obj, std::string_view name);
// Any string property, as text.
std::string GetStrPropByName(const cl::TObject* obj, std::string_view name);
cl::TObject* GetObjectPropByName(const cl::TObject* obj, std::string_view name, cl::TClass cls);
// Enumerations take value as an identifier, integers as a number; other kinds are left alone.
void SetPropByName(cl::TObject* obj, std::string_view name, std::string_view value);

// Invalidates the whole window (erasing) and updates it at once.
void RedrawWindowNow(HWND wnd);

}  // namespace skin
