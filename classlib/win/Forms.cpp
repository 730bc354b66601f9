#include "Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "DisabledWindows.h"
#include "FileUtil.h"
#include "FormReader.h"
#include "Menus.h"
#include "SysUtils.h"
#include "WinString.h"
#include "WindowBinding.h"

namespace cl {

TApplication* Application = nullptr;

namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

std::string UpperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// The program's icon, when it has one under the usual name.
HICON ProgramIcon() {
  static const HICON icon = LoadIconW(Instance(), L"MAINICON");
  return icon;
}

// Offers a dialog key to every control inside `parent`, depth first, until one takes it.
bool BroadcastDialogKey(TWinControl* parent, const TMessage& m) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0) return true;
    if (auto* w = dynamic_cast<TWinControl*>(c); w && BroadcastDialogKey(w, m)) return true;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TCustomForm.

CL_BEGIN_CLASS(TCustomForm)
    // A form is measured by its client area; its tab position means nothing.
    .Int("Width", &TCustomForm::Width, &TCustomForm::SetWidth).Stored(false)
    .Int("Height", &TCustomForm::Height, &TCustomForm::SetHeight).Stored(false)
    .Bool("Visible", &TCustomForm::Visible, &TCustomForm::SetVisible, false)
    .Bool("ParentColor", &TCustomForm::ParentColor, &TCustomForm::SetParentColor, false)
    .Bool("ParentShowHint", &TCustomForm::ParentShowHint, &TCustomForm::SetParentShowHint, false)
    .Bool("ParentCtl3D", &TCustomForm::ParentCtl3D, &TCustomForm::SetParentCtl3D, false)
    .Int("TabOrder", &TCustomForm::TabOrder, &TCustomForm::SetTabOrder).Stored(false)
    .Object("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
    .Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
         {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}, TBorderIcons{biSystemMenu, biMinimize, biMaximize})
    .Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
          {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}, bsSizeable)
    .Str("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption)
    .Int("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight)
    .Int("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth)
    .Object("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu)
    .Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
          {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}, fsNormal)
    .Bool("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll, true)
    .Int("HelpContext", &TCustomForm::HelpContext, &TCustomForm::SetHelpContext, 0)
    .Bool("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false)
    .Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
          {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter", "poDesktopCenter",
           "poMainFormCenter", "poOwnerFormCenter"},
          poDesigned)
    .Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
          {"wsNormal", "wsMinimized", "wsMaximized"}, wsNormal)
    .Event("OnActivate", &TCustomForm::OnActivate)
    .Event("OnClose", &TCustomForm::OnClose)
    .Event("OnCloseQuery", &TCustomForm::OnCloseQuery)
    .Event("OnCreate", &TCustomForm::OnCreate)
    .Event("OnDeactivate", &TCustomForm::OnDeactivate)
    .Event("OnDestroy", &TCustomForm::OnDestroy)
    .Event("OnHide", &TCustomForm::OnHide)
    .Event("OnShow", &TCustomForm::OnShow)
CL_END_CLASS

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  visible_ = false;
  // A form placed inside another keeps its own colour, hints and border look, as every form does.
  SetParentColor(false);
  SetParentShowHint(false);
  SetParentCtl3D(false);
  SetControlStyle(ControlStyle().Include(csAcceptsControls));
  StoreBounds(0, 0, 320, 240);
  Screen().Add(this);
}

TCustomForm::TCustomForm(TComponent* owner, TCreateNew) : TCustomForm(owner) { createdNew_ = true; }

TCustomForm::~TCustomForm() {
  Screen().Remove(this);
  // Also for a form that did not go through BeforeDestruction (one on the stack).
  if (Application && Application->mainForm_ == this) Application->mainForm_ = nullptr;
}

void TCustomForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  if (!descriptionRead_ && !createdNew_) LoadDescription();
  DoCreate();
  if (Visible()) ShowingChanged();
}

void TCustomForm::BeforeDestruction() {
  Screen().Remove(this);
  Destroying();
  DoDestroy();
  if (Application && Application->mainForm_ == this && !Application->ComponentState().Contains(csDestroying)) {
    // The loop cannot end by closing a main form that is gone.
    Application->mainForm_ = nullptr;
    Application->Terminate();
  }
  inherited::BeforeDestruction();
}

bool TCustomForm::LoadDescription() {
  const std::wstring name = ToWide(UpperAscii(ClassName()));
  HRSRC info = FindResourceW(Instance(), name.c_str(), reinterpret_cast<LPCWSTR>(RT_RCDATA));
  if (!info) {
    BindFields(this);  // without a description, fields the class declares are missing
    return false;
  }
  HGLOBAL data = LoadResource(Instance(), info);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) throw EResNotFound(Format("Resource %s not found", UpperAscii(ClassName()).c_str()));
  ReadRootComponent(this, std::string_view(static_cast<const char*>(bytes), SizeofResource(Instance(), info)));
  descriptionRead_ = true;
  return true;
}

void TCustomForm::DoCreate() {
  // A failing create handler is reported, and the form is made all the same.
  try {
    OnCreate(this);
  } catch (...) {
    ::cl::HandleException();
  }
}

void TCustomForm::DoDestroy() {
  try {
    OnDestroy(this);
  } catch (...) {
    ::cl::HandleException();
  }
}

// ----- window

void TCustomForm::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP | WS_VISIBLE);
  params.Style |= WS_CLIPCHILDREN;
  params.WndParent = Application ? Application->Handle() : nullptr;
  params.Icon = ProgramIcon();
  switch (borderStyle_) {
    case bsNone:
      params.Style |= WS_POPUP;
      break;
    case bsSingle:
    case bsToolWindow:
      params.Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      params.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION;
      params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) params.ExStyle |= WS_EX_TOOLWINDOW;
  if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) {
    params.Style |= WS_SYSMENU;
    const bool boxes = borderStyle_ == bsSingle || borderStyle_ == bsSizeable;
    if (boxes && borderIcons_.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
    if (boxes && borderIcons_.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    if (borderIcons_.Contains(biHelp) && !(params.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
      params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (formStyle_ == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
  if (formStyle_ == fsMDIChild) {
    const TCustomForm* frame = MDIFrame();
    if (!frame) throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    params.ExStyle |= WS_EX_MDICHILD;
    params.Style &= ~static_cast<DWORD>(WS_POPUP);
    params.WndParent = frame->ClientHandle();
  }
}

// The MDI frame of the program: the first open form holding an MDI client.
const TCustomForm* TCustomForm::MDIFrame() {
  for (int i = 0; i < Screen().FormCount(); ++i)
    if (const TCustomForm* form = Screen().Forms(i); form->formStyle_ == fsMDIForm && form->clientHandle_) return form;
  return nullptr;
}

HWND TCustomForm::CreateWindowHandle(const TCreateParams& params, const wchar_t* className, HMENU id) {
  if (formStyle_ != fsMDIChild) return inherited::CreateWindowHandle(params, className, id);
  MDICREATESTRUCTW create{className, params.Caption.c_str(), Instance(), params.X, params.Y, params.Width,
                          params.Height, params.Style, 0};
  const HWND wnd = reinterpret_cast<HWND>(
      SendMessageW(params.WndParent, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
  // The frame's window menu lists the new child.
  if (wnd) SendMessageW(params.WndParent, WM_MDIREFRESHMENU, 0, 0);
  return wnd;
}

void TCustomForm::DestroyWnd() {
  const HWND client = formStyle_ == fsMDIChild ? GetParent(Handle()) : nullptr;
  // The MDI client keeps a list of its children: one of them leaves through it.
  if (client && IsWindow(client))
    SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(Handle()), 0);
  else
    inherited::DestroyWnd();
  clientHandle_ = nullptr;
}

LRESULT TCustomForm::DefaultWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (formStyle_ == fsMDIForm && clientHandle_) return DefFrameProcW(Handle(), clientHandle_, msg, wParam, lParam);
  if (formStyle_ == fsMDIChild) return DefMDIChildProcW(Handle(), msg, wParam, lParam);
  return inherited::DefaultWindowProc(msg, wParam, lParam);
}

void TCustomForm::CreateMDIClient() {
  CLIENTCREATESTRUCT create{nullptr, kFirstMDIChildId};
  const TRect client = ClientRect();
  clientHandle_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL, 0, 0,
                                  client.Width(), client.Height(), Handle(), nullptr, Instance(), &create);
  if (!clientHandle_) RaiseOSError(GetLastError(), "CreateWindowEx (MDICLIENT)");
}

void TCustomForm::CreateHandleDone() {
  if (formStyle_ == fsMDIForm) CreateMDIClient();
  if (menu_) {
    // The menu bar takes its height from the window, not from the client area.
    const TRect client = ClientRect();
    menu_->SetWindow(Handle());
    SetClientSize(client.Width(), client.Height());
  }
  if (windowState_ != wsNormal && Visible()) ShowWindow(Handle(), windowState_ == wsMaximized ? SW_MAXIMIZE : SW_MINIMIZE);
}

void TCustomForm::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  // The client area stays as it was.
  const TRect client = ClientRect();
  borderStyle_ = value;
  if (ComponentState().Contains(csLoading)) return;
  RecreateWnd();
  SetClientSize(client.Width(), client.Height());
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (value == borderIcons_) return;
  borderIcons_ = value;
  if (!ComponentState().Contains(csLoading)) RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (value == formStyle_) return;
  formStyle_ = value;
  ApplyStayOnTop();
}

void TCustomForm::ApplyStayOnTop() {
  if (HandleAllocated())
    SetWindowPos(Handle(), formStyle_ == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState value) {
  windowState_ = value;
  if (HandleAllocated() && Visible() && !ComponentState().Contains(csLoading))
    ShowWindow(Handle(), value == wsMinimized ? SW_MINIMIZE : value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::SetClientWidth(int value) {
  // The frame may still change while the description is read (BorderStyle comes later): Loaded sets the
  // size again. Meanwhile the size is near enough for the anchored controls to take their distances.
  if (ComponentState().Contains(csLoading)) pendingClientWidth_ = value;
  inherited::SetClientWidth(value);
}

void TCustomForm::SetClientHeight(int value) {
  if (ComponentState().Contains(csLoading)) pendingClientHeight_ = value;
  inherited::SetClientHeight(value);
}

void TCustomForm::Loaded() {
  inherited::Loaded();
  if (pendingClientWidth_ >= 0 || pendingClientHeight_ >= 0) {
    const TRect client = ClientRect();
    SetClientSize(pendingClientWidth_ >= 0 ? pendingClientWidth_ : client.Width(),
                  pendingClientHeight_ >= 0 ? pendingClientHeight_ : client.Height());
    pendingClientWidth_ = pendingClientHeight_ = -1;
  }
}

// ----- showing

void TCustomForm::Show() {
  // The forms of a minimised application are hidden with its window.
  if (Application && IsIconic(Application->Handle())) Application->Restore();
  SetVisible(true);
  BringToFront();
}

void TCustomForm::PlaceOnFirstShow() {
  if (placed_) return;
  placed_ = true;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  TCustomForm* around = nullptr;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      break;
    case poMainFormCenter:
      around = Application ? Application->MainForm() : nullptr;
      break;
    case poOwnerFormCenter:
      around = dynamic_cast<TCustomForm*>(Owner());
      break;
    default:
      return;
  }
  if (around && around != this && around->HandleAllocated()) GetWindowRect(around->Handle(), &area);
  SetBounds(area.left + (area.right - area.left - Width()) / 2, area.top + (area.bottom - area.top - Height()) / 2,
            Width(), Height());
}

void TCustomForm::ShowingChanged() {
  if (ComponentState().Contains(csLoading)) return;
  if (Visible()) {
    HWND wnd = Handle();
    PlaceOnFirstShow();
    DoShow();
    ApplyStayOnTop();
    ShowWindow(wnd, windowState_ == wsMaximized ? SW_SHOWMAXIMIZED
                    : windowState_ == wsMinimized ? SW_SHOWMINIMIZED
                                                  : SW_SHOWNORMAL);
    // The application's window carries the taskbar button of the program.
    if (Application && Application->MainForm() == this && !IsWindowVisible(Application->Handle()))
      ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
  } else {
    DoHide();
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  }
}

bool TCustomForm::Active() const {
  auto* self = const_cast<TCustomForm*>(this);
  return self->HandleAllocated() && GetActiveWindow() == self->Handle();
}

// ----- focus

void TCustomForm::SetMenu(TMainMenu* value) {
  if (value == menu_) return;
  if (menu_) {
    menu_->RemoveFreeNotification(this);
    if (HandleAllocated()) menu_->SetWindow(nullptr);
  }
  menu_ = value;
  if (!menu_) return;
  menu_->FreeNotification(this);
  if (HandleAllocated()) {
    const TRect client = ClientRect();
    menu_->SetWindow(Handle());
    SetClientSize(client.Width(), client.Height());
  }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == menu_) menu_ = nullptr;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (ComponentState().Contains(csLoading)) {
    activeControl_ = control;
    return;
  }
  if (control && (!ContainsControl(control) || !control->CanFocus()))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  activeControl_ = control;
  if (control && Active()) control->SetFocus();
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control == activeControl_ || control == this) return;
  TWinControl* old = activeControl_;
  activeControl_ = control;
  if (old) old->Perform(CM_EXIT);
  if (control && control == activeControl_) control->Perform(CM_ENTER);
}

void TCustomForm::DefocusControl(const TControl* control, bool removing) {
  const TControl* c = activeControl_;
  while (c && c != control) c = c->Parent();
  if (activeControl_ && control && c) {
    const bool hadFocus = !removing && activeControl_->Focused();
    activeControl_ = nullptr;
    if (hadFocus && HandleAllocated()) ::SetFocus(Handle());
  }
}

void TCustomForm::FocusOnActivation() {
  if (activeControl_ && activeControl_->CanFocus()) {
    ::SetFocus(activeControl_->Handle());
    return;
  }
  SelectNext(nullptr, true, true);
}

// ----- closing

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    case caFree:
      Release();
      break;
    case caNone:
      break;
  }
}

void TCustomForm::Release() { PostMessageW(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    if (action == caNone) modalResult_ = mrNone;
    if (action == caFree) Release();
  } catch (...) {
    modalResult_ = mrNone;
    ::cl::HandleException();
  }
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || modal_) throw EInvalidOperation("Cannot show a visible window modally");
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HWND activeBefore = GetActiveWindow();
  modal_ = true;
  modalResult_ = mrNone;
  {
    TDisabledWindows disabled(HandleAllocated() ? Handle() : nullptr);
    try {
      Show();
      do {
        if (Application) {
          Application->HandleMessage();
          if (Application->Terminated()) modalResult_ = mrCancel;
        } else {
          MSG msg;
          if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
            modalResult_ = mrCancel;
          } else {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
          }
        }
        if (modalResult_ != mrNone && !(Application && Application->Terminated())) CloseModal();
      } while (modalResult_ == mrNone);
    } catch (...) {
      modal_ = false;
      Hide();
      throw;
    }
    modal_ = false;
    Hide();
  }
  if (activeBefore && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
  return modalResult_;
}

// ----- messages

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_COMMAND:
      // Menu commands: no control window, notification code 0.
      if (menu_ && m.LParam == 0 && HIWORD(m.WParam) == 0 && menu_->DispatchCommand(LOWORD(m.WParam))) {
        m.Result = 0;
        return;
      }
      break;
    case WM_INITMENUPOPUP:
      if (menu_) menu_->DispatchPopup(reinterpret_cast<HMENU>(m.WParam));
      break;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
      // Entries of the menu bar's owner-drawn menus; controls' items are reflected to the controls.
      if (menu_ && menu_->DispatchItemMessage(m)) return;
      break;
    case WM_DESTROY:
      // Destroying the window would destroy its menu bar; the menu keeps it.
      if (menu_) menu_->SetWindow(nullptr);
      break;
    case WM_CLOSE:
      Close();
      return;
    case CM_SHOWINGCHANGED:
      ShowingChanged();
      return;
    case CM_RELEASE:
      delete this;  // nothing of this object may be touched after this
      return;
    case WM_QUERYNEWPALETTE:
      // About to be active: the controls realise their palettes in the foreground.
      m.Result = PaletteChanged(true) ? TRUE : FALSE;
      return;
    case WM_PALETTECHANGED:
      // Another window realised its palette: the controls map theirs onto what is left.
      if (reinterpret_cast<HWND>(m.WParam) != Handle()) PaletteChanged(false);
      break;
    case WM_ACTIVATE:
      inherited::Dispatch(m);
      if (LOWORD(m.WParam) != WA_INACTIVE) {
        if (!HIWORD(m.WParam)) FocusOnActivation();  // not while minimised
        Activate();
      } else {
        Deactivate();
      }
      return;
    case WM_SIZE:
      // The user's minimising and maximising, so that WindowState tells the truth; not the sizes a window
      // gets while it is made or hidden.
      if (!HandleAllocated() || !IsWindowVisible(Handle()))
        break;
      else if (m.WParam == SIZE_MINIMIZED)
        windowState_ = wsMinimized;
      else if (m.WParam == SIZE_MAXIMIZED)
        windowState_ = wsMaximized;
      else if (m.WParam == SIZE_RESTORED)
        windowState_ = wsNormal;
      break;
    case WM_SYSCOMMAND:
      // Minimising the main form minimises the application with all its windows.
      if ((m.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
        Application->Minimize();
        m.Result = 0;
        return;
      }
      break;
    case CM_DIALOGKEY:
      if (GetKeyState(VK_MENU) >= 0) {
        const auto key = static_cast<uint16_t>(m.WParam);
        if (key == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
          m.Result = 1;
          return;
        }
        if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
          if (activeControl_ && activeControl_->Parent()) {
            activeControl_->Parent()->SelectNext(activeControl_, key == VK_RIGHT || key == VK_DOWN, false);
            m.Result = 1;
          }
          return;
        }
      }
      // Enter and Escape: the default and the cancel button, wherever they are on the form.
      if (BroadcastDialogKey(this, m)) {
        m.Result = 1;
        return;
      }
      break;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TApplication.

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  // Registered once; the error is taken inside, before anything else can overwrite it.
  static const std::pair<ATOM, DWORD> registration = [] {
    WNDCLASSEXW wc{};
    wc.hInstance = Instance();
    wc.hIcon = ProgramIcon();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"TApplication";
    const ATOM atom = RegisterBoundClass(wc);
    return std::pair<ATOM, DWORD>(atom, atom ? 0 : GetLastError());
  }();
  if (!registration.first) RaiseOSError(registration.second, "RegisterClassEx (TApplication)");
  std::string name = ExtractFileName(ExeName());
  if (auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
  title_ = name;
  // A popup of no size in the middle of the screen: it only owns the forms and stands for the program in
  // the taskbar.
  handle_ = CreateWindowExW(0, L"TApplication", ToWide(title_).c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                            nullptr, Instance(), nullptr);
  if (!handle_) RaiseOSError(GetLastError(), "CreateWindowEx (TApplication)");
  BindWindow(handle_, this, [this](TMessage& m) { m.Result = WndProc(m.Msg, m.WParam, m.LParam); });
  if (!Application) {
    Application = this;
    SetExceptionHandler([this](const std::exception& e) { HandleException(e); });
  }
}

TApplication::~TApplication() {
  Destroying();
  // The forms first, while the window that owns theirs is still there.
  DestroyComponents();
  if (Application == this) {
    SetExceptionHandler(nullptr);
    Application = nullptr;
  }
  UnbindWindow(handle_);
  DestroyWindow(handle_);
}

// The common controls are made ready when the first control window is made (TWinControl::CreateWnd):
// loading them costs a tray program's start-up noticeable time before its icon shows.
void TApplication::Initialize() {}

void TApplication::SetTitle(const std::string& value) {
  title_ = value;
  SetWindowTextW(handle_, ToWide(value).c_str());
}

std::string TApplication::ExeName() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return FromWide(path);
    }
    path.resize(path.size() * 2);
  }
}

void TApplication::SetMainForm(TCustomForm* form) {
  mainForm_ = form;
  FreeNotification(form);
  form->HandleNeeded();
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == mainForm_) mainForm_ = nullptr;
}

void TApplication::Run() {
  if (mainForm_ && showMainForm_) {
    if (mainForm_->windowState_ == wsMinimized)
      Minimize();
    else
      mainForm_->Show();
  }
  while (!terminated_) {
    try {
      HandleMessage();
    } catch (...) {
      ::cl::HandleException();
    }
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) WaitMessage();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::ProcessMessagesExcept(UINT held) {
  MSG msg;
  while ((held > 0 && ProcessMessage(msg, 0, held - 1)) ||
         (held < 0xFFFFFFFFu && ProcessMessage(msg, held + 1, 0xFFFFFFFFu))) {
  }
}

bool TApplication::ProcessMessage(MSG& msg, UINT first, UINT last) {
  if (!PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  // A released form is freed here, outside its own window procedure and whatever was put in front of it.
  if (msg.message == CM_RELEASE)
    if (auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(msg.hwnd))) {
      delete form;
      return true;
    }
  if (!IsKeyMsg(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

bool TApplication::IsKeyMsg(MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
      break;
    default:
      return false;
  }
  // The control the key is for: the window itself, or the control around an inner window (the edit of a
  // combo box).
  HWND wnd = GetCapture();
  if (!wnd) wnd = msg.hwnd;
  TWinControl* control = nullptr;
  for (; wnd && !control; wnd = (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CHILD) ? GetParent(wnd) : nullptr)
    control = TWinControl::FindControl(wnd);
  if (!control || !control->HandleAllocated()) return false;
  return SendMessageW(control->Handle(), CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::Help(const THelpRequest& request) {
  bool handled = false;
  OnHelp(this, request, handled);
  return handled;
}

bool TApplication::HelpContext(int context) { return Help({HELP_CONTEXT, context, {}}); }

bool TApplication::HelpKeyword(const std::string& keyword) { return Help({HELP_KEY, 0, keyword}); }

void TApplication::HandleException(const std::exception& e) {
  if (dynamic_cast<const EAbort*>(&e)) return;  // the silent one
  if (OnException)
    OnException(this, e);
  else
    ShowException(e);
}

void ShowFatalException(const std::exception& e, const std::string& caption) {
  ::MessageBoxW(nullptr, ToWide(e.what()).c_str(), ToWide(caption).c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

void TApplication::ShowException(const std::exception& e) { MessageBox(e.what(), title_, MB_OK | MB_ICONSTOP); }

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = GetActiveWindow();
  if (!owner) owner = handle_;
  return ::MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
}

void TApplication::Minimize() {
  // The forms are owned by the application window and go with it.
  if (!IsIconic(handle_)) ShowWindow(handle_, SW_MINIMIZE);
}

void TApplication::Restore() {
  if (IsIconic(handle_)) ShowWindow(handle_, SW_RESTORE);
}

LRESULT TApplication::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return 0;
    case WM_SETFOCUS: {
      // Activated from the taskbar: the focus belongs to the form that had it last.
      HWND last = GetLastActivePopup(handle_);
      if (last && last != handle_ && IsWindowVisible(last) && IsWindowEnabled(last)) {
        SetFocus(last);
        return 0;
      }
      break;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_RESTORE && IsIconic(handle_)) {
        Restore();
        if (mainForm_ && mainForm_->HandleAllocated() && IsWindowVisible(mainForm_->Handle()))
          SetForegroundWindow(mainForm_->Handle());
        return 0;
      }
      break;
  }
  return DefWindowProcW(handle_, msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------------------
// TScreen.

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) throw EListError(Format("List index out of bounds (%d)", index));
  return forms_[static_cast<size_t>(index)];
}

TCustomForm* TScreen::FindForm(HWND wnd) const noexcept {
  if (!wnd) return nullptr;
  for (TCustomForm* form : forms_)
    if (form->HandleAllocated() && form->Handle() == wnd) return form;
  return nullptr;
}

void TScreen::Add(TCustomForm* form) { forms_.push_back(form); }

void TScreen::Remove(TCustomForm* form) noexcept { std::erase(forms_, form); }

const TFont& TScreen::MenuFont() {
  if (!menuFont_) {
    menuFont_ = std::make_unique<TFont>();
    // The size without the padded border width: older systems refuse the longer structure.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
      menuFont_->SetHandle(CreateFontIndirectW(&metrics.lfMenuFont));
  }
  return *menuFont_;
}

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

}  // namespace cl
