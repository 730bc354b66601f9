// Forms and the application object.
//
// A program makes one TApplication, creates its forms with Application->CreateForm (the first becomes the
// main form) and calls Run; closing the main form ends Run. Other forms are made with NewForm<T>(owner).
//
// A form class reads its description (the RCDATA resource named after the class, e.g. "TFRMABOUT") in its
// own constructor with LoadDescription, which binds its CL_FIELDS; a form that does not is read by
// AfterConstruction. OnCreate runs in AfterConstruction, after the constructor, which CreateForm and
// NewForm call.
#pragma once
#include <windows.h>

#include <exception>
#include <string>
#include <type_traits>
#include <vector>

#include "Controls.h"

namespace cl {

class TApplication;
class TMainMenu;

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
// The MDI styles exist for code that asks about them; forms of this library are never MDI windows.
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;

// (Sender, Action): the action starts as caHide.
using TCloseEvent = TEvent<TObject*, TCloseAction&>;
// (Sender, CanClose): starts true.
using TCloseQueryEvent = TEvent<TObject*, bool&>;

// ---------------------------------------------------------------------------------------------------------
// TCustomForm.

// Tag of the constructor of a form made without a description.
struct TCreateNew {};

class TCustomForm : public TWinControl {
  CL_CLASS(TCustomForm, TWinControl)

  explicit TCustomForm(TComponent* owner);
  // A form made without a description (a carrier for other windows): AfterConstruction reads none, and it
  // never becomes the application's main form.
  TCustomForm(TComponent* owner, TCreateNew);
  bool CreatedNew() const noexcept { return createdNew_; }
  ~TCustomForm() override;
  // Reads the description unless the constructor did, then raises OnCreate (once).
  virtual void AfterConstruction();
  void BeforeDestruction() override;

  TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TBorderIcons BorderIcons() const noexcept { return borderIcons_; }
  void SetBorderIcons(TBorderIcons value);
  // fsMDIForm: the form holds an MDI client window (ClientHandle) where the fsMDIChild forms live; set
  // before the window is made.
  TFormStyle FormStyle() const noexcept { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  // The MDI client window of an MDI frame; null for other forms.
  HWND ClientHandle() const noexcept { return clientHandle_; }
  // Where the form goes when it is first shown.
  TPosition Position() const noexcept { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  TWindowState WindowState() const noexcept { return windowState_; }
  void SetWindowState(TWindowState value);
  // The form sees the keys of its controls first (OnKeyDown, OnKeyUp, OnKeyPress).
  bool KeyPreview() const noexcept { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  // The help topic of the form: F1 in it, unless a key handler takes the key, asks the application's
  // help for this context. 0: the form has none, and F1 goes on as any other key.
  int HelpContext() const noexcept { return helpContext_; }
  void SetHelpContext(int value) { helpContext_ = value; }

  // The control that has the focus while the form is active, and gets it back when the form is activated.
  TWinControl* ActiveControl() const noexcept { return activeControl_; }
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window" for a control that cannot
  // take the focus (except while the description is read).
  void SetActiveControl(TWinControl* control);
  // The form's window is the active window.
  bool Active() const;
  // The menu bar; null for none.
  TMainMenu* Menu() const noexcept { return menu_; }
  // Kept for code that turns scrolling off (the skinned frame does); forms of this library never show
  // scroll bars of their own.
  bool AutoScroll() const noexcept { return autoScroll_; }
  void SetAutoScroll(bool value) noexcept { autoScroll_ = value; }
  void SetMenu(TMainMenu* value);

  // Shows the form in front.
  void Show();
  // Asks OnCloseQuery, then OnClose decides: hide (caHide), minimise, free later (caFree) or stay (caNone).
  // Closing the main form, unless refused, ends the application. On a modal form it sets ModalResult to
  // mrCancel.
  void Close();
  // OnCloseQuery; true when the form may close.
  virtual bool CloseQuery();
  // Shows the form and runs a message loop with the application's other windows disabled until ModalResult
  // is set (a button with a modal result, Close) or the application is terminated (then mrCancel). Raises
  // EInvalidOperation "Cannot show a visible window modally" for a visible or disabled form.
  TModalResult ShowModal();
  TModalResult ModalResult() const noexcept { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  bool Modal() const noexcept { return modal_; }
  // Frees the form once the messages already queued have been handled (from its own event handlers).
  void Release();

  void SetClientWidth(int value) override;
  void SetClientHeight(int value) override;

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnHide;
  TNotifyEvent OnShow;

  // Told by its controls when they get the focus or lose the ability to keep it.
  void SetFocusedControl(TWinControl* control);
  // `control` may be in its destructor already: it is only compared with the active control's parents.
  void DefocusControl(const TControl* control, bool removing);

  void Dispatch(TMessage& message) override;

 protected:
  // Reads the description from the RCDATA resource named after the class (upper case) in the program
  // file; false when there is none. Raises what the reader raises for a bad description, and what
  // BindFields raises for fields of the class it lacks (all of them, when there is none).
  bool LoadDescription();

  void CreateParams(TCreateParams& params) override;
  // An MDI child is made by its MDI client.
  HWND CreateWindowHandle(const TCreateParams& params, const wchar_t* className, HMENU id) override;
  void CreateHandleDone() override;
  void DestroyWnd() override;
  // MDI frames and children have the system's MDI defaults.
  LRESULT DefaultWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow() { OnShow(this); }
  virtual void DoHide() { OnHide(this); }
  virtual void DoClose(TCloseAction& action) { OnClose(this, action); }
  virtual void Activate() { OnActivate(this); }
  virtual void Deactivate() { OnDeactivate(this); }

 private:
  friend class TApplication;
  void ShowingChanged();
  void PlaceOnFirstShow();
  void CloseModal();
  void FocusOnActivation();
  void ApplyStayOnTop();

  TBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  // MDI children get ids from here on in the frame's window menu.
  static constexpr UINT kFirstMDIChildId = 0xFF00;
  static const TCustomForm* MDIFrame();
  void CreateMDIClient();
  TFormStyle formStyle_ = fsNormal;
  HWND clientHandle_ = nullptr;  // an MDI frame's client: a child of its window, gone with it
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  bool keyPreview_ = false;
  bool autoScroll_ = true;
  int helpContext_ = 0;
  TWinControl* activeControl_ = nullptr;
  TMainMenu* menu_ = nullptr;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool created_ = false;          // AfterConstruction has run
  bool descriptionRead_ = false;  // LoadDescription found one
  bool createdNew_ = false;       // made without a description
  bool placed_ = false;           // Position applied
  int pendingClientWidth_ = -1;   // client size read from the description, applied in Loaded
  int pendingClientHeight_ = -1;
};

class TForm : public TCustomForm {
  CL_PLAIN_CLASS(TForm, TCustomForm)
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
  TForm(TComponent* owner, TCreateNew tag) : TCustomForm(owner, tag) {}
};

// Creates a form (its constructor reads its description) and runs AfterConstruction (OnCreate).
// `setup` runs between the two, for what FormCreate needs to know.
template <class T, class Setup>
T* NewForm(TComponent* owner, Setup&& setup) {
  static_assert(std::is_base_of_v<TCustomForm, T>);
  T* form = new T(owner);
  try {
    setup(form);
    form->AfterConstruction();
  } catch (...) {
    delete form;
    throw;
  }
  return form;
}

template <class T>
T* NewForm(TComponent* owner) {
  return NewForm<T>(owner, [](T*) {});
}

// ---------------------------------------------------------------------------------------------------------
// TScreen: the forms that exist now.

// Every form enters the list when it is constructed and leaves it when its destruction begins, so a form
// being freed is no longer found. Forms are listed in creation order.
class TScreen {
 public:
  int FormCount() const noexcept { return static_cast<int>(forms_.size()); }
  // EListError "List index out of bounds (%d)" for a bad index.
  TCustomForm* Forms(int index) const;
  // The listed form whose window is wnd; null when none.
  TCustomForm* FindForm(HWND wnd) const noexcept;
  // The system's menu font, read at first use.
  const TFont& MenuFont();

 private:
  friend class TCustomForm;
  void Add(TCustomForm* form);
  void Remove(TCustomForm* form) noexcept;
  std::vector<TCustomForm*> forms_;
  std::unique_ptr<TFont> menuFont_;
};

// The list of the GUI thread's forms (the forms of this library live on one thread).
TScreen& Screen();

// ---------------------------------------------------------------------------------------------------------
// TApplication.

// (Sender, E): replaces the message box of the default exception handler.
using TExceptionEvent = TEvent<TObject*, const std::exception&>;

// What the program's help is asked for: a topic by its context number (Command HELP_CONTEXT, Context set)
// or by a keyword (Command HELP_KEY, Keyword set).
struct THelpRequest {
  UINT Command = HELP_CONTEXT;
  int Context = 0;
  std::string Keyword;
};
// (Sender, Request, Handled): the program shows its help; Handled, false at first, says it did.
using THelpEvent = TEvent<TObject*, const THelpRequest&, bool&>;

class TApplication : public TComponent {
  CL_PLAIN_CLASS(TApplication, TComponent)

  // The first one becomes `Application` and the handler of escaping exceptions. Makes the application
  // window (class "TApplication"); raises EOSError when it cannot.
  explicit TApplication(TComponent* owner = nullptr);
  ~TApplication() override;

  // The hidden window that owns the forms and carries the taskbar button.
  HWND Handle() const noexcept { return handle_; }
  // Prepares the common controls.
  void Initialize();

  const std::string& Title() const noexcept { return title_; }
  void SetTitle(const std::string& value);
  const std::string& HelpFile() const noexcept { return helpFile_; }
  void SetHelpFile(const std::string& value) { helpFile_ = value; }
  // Ask OnHelp for a topic; true when it showed one. Without OnHelp the program has no help.
  bool HelpContext(int context);
  bool HelpKeyword(const std::string& keyword);
  // The program file's full path.
  std::string ExeName() const;

  // Creates a form owned by the application; `reference` is set before OnCreate runs. The first form
  // created becomes the main form, and its window is made at once.
  template <class T>
  void CreateForm(T*& reference);
  // The same, with `setup` run on the form before OnCreate, for what its create handler needs to know.
  template <class T, class Setup>
  void CreateForm(T*& reference, Setup&& setup);
  TCustomForm* MainForm() const noexcept { return mainForm_; }
  // Whether Run shows the main form first (default true).
  bool ShowMainForm() const noexcept { return showMainForm_; }
  void SetShowMainForm(bool value) { showMainForm_ = value; }

  // Shows the main form (see ShowMainForm) and handles messages until terminated.
  void Run();
  // Handles the messages waiting now, then returns.
  void ProcessMessages();
  // The same, leaving messages numbered `held` in the queue for later.
  void ProcessMessagesExcept(UINT held);
  // Handles one message, waiting for one when none is there.
  void HandleMessage();
  // Ends Run, and any modal loop that is running, once the messages before it are handled (posts WM_QUIT).
  void Terminate();
  bool Terminated() const noexcept { return terminated_; }

  // The default handling of an exception nobody caught: OnException when assigned, else ShowException.
  void HandleException(const std::exception& e);
  // Shows the exception's message in a message box captioned with the title.
  void ShowException(const std::exception& e);
  // A message box owned by the active window of the application; returns the button pressed (IDOK, ...).
  int MessageBox(const std::string& text, const std::string& caption, UINT flags = MB_OK);

  // Minimises the application window with all forms; Restore brings them back.
  void Minimize();
  void Restore();

  TExceptionEvent OnException;
  THelpEvent OnHelp;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TCustomForm;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  bool ProcessMessage(MSG& msg, UINT first = 0, UINT last = 0);
  bool IsKeyMsg(MSG& msg);
  bool Help(const THelpRequest& request);
  void SetMainForm(TCustomForm* form);

  HWND handle_ = nullptr;
  std::string title_;
  std::string helpFile_;
  TCustomForm* mainForm_ = nullptr;
  bool showMainForm_ = true;
  bool terminated_ = false;
};

// For a program's entry: shows an exception that ended the program, with or without an application
// object (the system's own message box, owned by nobody).
void ShowFatalException(const std::exception& e, const std::string& caption);

// The program's application object, or null before there is one.
extern TApplication* Application;

template <class T>
void TApplication::CreateForm(T*& reference) {
  CreateForm(reference, [](T*) {});
}

template <class T, class Setup>
void TApplication::CreateForm(T*& reference, Setup&& setup) {
  static_assert(std::is_base_of_v<TCustomForm, T>, "CreateForm makes forms");
  T* form = new T(this);
  reference = form;
  try {
    setup(form);
    form->AfterConstruction();
  } catch (...) {
    reference = nullptr;
    delete form;
    throw;
  }
  if (!mainForm_ && !form->CreatedNew()) SetMainForm(form);
}

}  // namespace cl
