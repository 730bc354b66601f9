// A real window wearing a flat-colour skin built here: the borders, title and buttons are each one
// plain colour per frame, so a pixel tells which image and which frame was drawn. The window's procedure
// hands its non-client messages to the frame and button code the way the skinned-window object does,
// and records what the buttons ask of the window.
#pragma once
#include <windows.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ByteBuilder.h"
#include "SkinFrame.h"
#include "SkinPack.h"
#include "SysButtons.h"
#include "WinSkinData.h"

namespace ncframe {

// Frame widths of the test skin.
constexpr int kSide = 4;  // left and right
constexpr int kTop = 24;  // title bar
constexpr int kBottom = 5;
constexpr int kTopWidth = 40;  // the top image's frame width; its corners are 3 by 3 key pixels
constexpr int kButtonW = 16, kButtonH = 14;
constexpr int kTextShift = 10, kTextRightClip = 60;
constexpr int kClientW = 300, kClientH = 200;
constexpr COLORREF kKey = RGB(255, 0, 255);

// Frame 1 (active) and frame 2 (inactive) of each border.
constexpr COLORREF kLeft[2] = {RGB(200, 10, 10), RGB(100, 10, 10)};
constexpr COLORREF kRight[2] = {RGB(10, 200, 10), RGB(10, 100, 10)};
constexpr COLORREF kTopColour[2] = {RGB(200, 200, 10), RGB(100, 100, 10)};
constexpr COLORREF kBottomColour[2] = {RGB(10, 10, 200), RGB(10, 10, 100)};
// Frames 1-4 (normal, pressed, hot, inactive) of the buttons.
constexpr COLORREF kClose[4] = {RGB(0, 128, 255), RGB(0, 64, 128), RGB(0, 200, 200), RGB(50, 50, 50)};
constexpr COLORREF kMax[4] = {RGB(128, 0, 255), RGB(64, 0, 128), RGB(200, 0, 200), RGB(60, 60, 60)};
constexpr COLORREF kMin[4] = {RGB(255, 128, 0), RGB(128, 64, 0), RGB(200, 200, 0), RGB(70, 70, 70)};
constexpr COLORREF kOwn[4] = {RGB(90, 30, 30), RGB(30, 90, 30), RGB(30, 30, 90), RGB(80, 80, 80)};
constexpr COLORREF kIcon = RGB(250, 20, 20);

// Button places: the close, maximise and minimise buttons right-aligned, our own (Action 40) left.
constexpr int kCloseX = 22, kMaxX = 40, kMinX = 58, kOwnX = 30, kButtonY = 4, kSysX = 6;

inline std::string Strip(int frames, int w, int h, bool vertical, const COLORREF* colours) {
  return testsupport::Bmp24(vertical ? w : w * frames, vertical ? h * frames : h,
                            [=](int x, int y) { return colours[vertical ? y / h : x / w]; });
}

// The top border: two frames stacked, each with key-coloured 3 by 3 corners at its top.
inline std::string TopImage() {
  return testsupport::Bmp24(kTopWidth, 2 * kTop, [](int x, int y) -> uint32_t {
    const int row = y % kTop;
    if (row < 3 && (x < 3 || x >= kTopWidth - 3)) return kKey;
    return kTopColour[y / kTop];
  });
}

inline std::string Description() {
  return "[Personality]\r\n"
         "Left=left.bmp\r\nLeftFrame=2\r\nLeftTrans=0\r\n"
         "Right=right.bmp\r\nRightFrame=2\r\nRightTrans=0\r\n"
         "Top=top.bmp\r\nTopFrame=2\r\nTopTopHeight=6\r\nTopBotHeight=6\r\nTopTrans=1\r\n"
         "Bottom=bottom.bmp\r\nBottomFrame=2\r\nBottomTrans=0\r\n"
         "TextShift=10\r\nTextRightClip=60\r\nTextAlignment=0\r\n"
         "[Colours]\r\nTitleTextActive=255 255 255\r\nTitleTextNoActive=0 0 0\r\n"
         "[Button.Close]\r\nButtonImage=close.bmp\r\nframe=4\r\nAction=0\r\nAlign=1\r\nXcoord=22\r\nYcoord=4\r\n"
         "Visibility=0\r\nVisibility1=0\r\n"
         "[Button.Max]\r\nButtonImage=max.bmp\r\nframe=4\r\nAction=1\r\nAlign=1\r\nXcoord=40\r\nYcoord=4\r\n"
         "Visibility=2\r\nVisibility1=6\r\n"
         "[Button.Min]\r\nButtonImage=min.bmp\r\nframe=4\r\nAction=2\r\nAlign=1\r\nXcoord=58\r\nYcoord=4\r\n"
         "Visibility=8\r\nVisibility1=0\r\n"
         "[Button.Own]\r\nButtonImage=own.bmp\r\nframe=4\r\nAction=40\r\nAlign=0\r\nXcoord=30\r\nYcoord=4\r\n"
         "Visibility=0\r\nVisibility1=0\r\n"
         "[Button.SysMenu]\r\nAction=3\r\nAlign=0\r\nXcoord=6\r\nYcoord=4\r\nVisibility=0\r\nVisibility1=0\r\n";
}

// The flat frame skin; `extraIni` is appended to its description and `extraFiles` to its files;
// closeColours: the close button's four frames (another skin's close button).
inline std::string Package(const std::string& extraIni = "", const std::vector<skin::TSkinPackEntry>& extraFiles = {},
                           const COLORREF* closeColours = kClose) {
  std::vector<skin::TSkinPackEntry> files{{"test.ini", Description() + extraIni},
                                          {"left.bmp", Strip(2, kSide, 16, false, kLeft)},
                                          {"right.bmp", Strip(2, kSide, 16, false, kRight)},
                                          {"top.bmp", TopImage()},
                                          {"bottom.bmp", Strip(2, 16, kBottom, true, kBottomColour)},
                                          {"close.bmp", Strip(4, kButtonW, kButtonH, false, closeColours)},
                                          {"max.bmp", Strip(4, kButtonW, kButtonH, false, kMax)},
                                          {"min.bmp", Strip(4, kButtonW, kButtonH, false, kMin)},
                                          {"own.bmp", Strip(4, kButtonW, kButtonH, false, kOwn)}};
  files.insert(files.end(), extraFiles.begin(), extraFiles.end());
  return skin::BuildSkinPackage(files);
}

// A 16 by 16 icon of one colour, made in memory (not from a resource).
inline HICON FlatIcon(COLORREF colour) {
  HDC screen = GetDC(nullptr);
  HBITMAP colourBits = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, colourBits);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT r{0, 0, 16, 16};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  std::vector<BYTE> maskBits(16 * 2, 0);  // all opaque
  HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskBits.data());
  ICONINFO info{TRUE, 0, 0, mask, colourBits};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colourBits);
  return icon;
}

// The window kinds the tests skin.
struct TWindowRecipe {
  DWORD Style;
  DWORD ExStyle;
  skin::TBorderKind Border;
  const wchar_t* Text = L"Frame";
};
inline const TWindowRecipe kOverlapped{WS_OVERLAPPEDWINDOW, 0, skin::TBorderKind::Sizeable};
inline const TWindowRecipe kSingle{WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, skin::TBorderKind::Single};
inline const TWindowRecipe kDialog{WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME,
                                   skin::TBorderKind::Dialog};
inline const TWindowRecipe kPopupCaption{WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, skin::TBorderKind::Single};
inline const TWindowRecipe kBarePopup{WS_POPUP, 0, skin::TBorderKind::None};

class SkinnedWindow : public skin::TNCFrameHost {
 public:
  explicit SkinnedWindow(const TWindowRecipe& recipe, int menuBarHeight = 0);
  ~SkinnedWindow() override;
  SkinnedWindow(const SkinnedWindow&) = delete;
  SkinnedWindow& operator=(const SkinnedWindow&) = delete;

  HWND Wnd() const { return s.Wnd; }
  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(s.Wnd, &r);
    return r;
  }
  int Width() const { return WindowRect().right - WindowRect().left; }
  int Height() const { return WindowRect().bottom - WindowRect().top; }
  // Screen point of a frame point.
  POINT Screen(int x, int y) const { return {WindowRect().left + x, WindowRect().top + y}; }
  LPARAM ScreenParam(int x, int y) const {
    const POINT p = Screen(x, y);
    return MAKELPARAM(p.x, p.y);
  }
  // Runs the messages posted to the window.
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, s.Wnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  skin::TWinSysButton& Button(const char* name);

  // TNCFrameHost: records what the buttons ask.
  void ShowSysMenu(int x, int y) override { SysMenuAt.push_back({x, y}); }
  bool IsMDIChildMaximized() override { return MDIChildMaximized; }
  void SetTimerEnabled(bool on) override { TimerEnabled = on; }

  skin::TSkinData Data{nullptr};
  skin::TNCFrameState s;
  std::vector<WPARAM> SysCommands;
  std::vector<WPARAM> SkinActions;
  std::vector<POINT> SysMenuAt;
  LRESULT VisibleAnswer = 0;
  std::vector<WPARAM> VisibleAsked;
  bool MDIChildMaximized = false;
  bool TimerEnabled = true;
  bool PaintingOn = true;  // the skin's non-client painting switch
  HICON Icon = nullptr;

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
};

inline SkinnedWindow::SkinnedWindow(const TWindowRecipe& recipe, int menuBarHeight) {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &SkinnedWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"NCFrameTestWindow";
    return RegisterClassExW(&wc);
  }();
  const std::string package = Package();
  Data.SkinStreamData.Write(package.data(), package.size());
  EXPECT_TRUE(Data.LoadSkin());

  RECT r{0, 0, kClientW, kClientH};
  AdjustWindowRectEx(&r, recipe.Style, FALSE, recipe.ExStyle);
  HWND wnd = CreateWindowExW(recipe.ExStyle, MAKEINTATOM(atom), recipe.Text, recipe.Style, 100, 100, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  EXPECT_NE(wnd, nullptr);
  Icon = FlatIcon(kIcon);
  SendMessageW(wnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Icon));

  // What the skinned-window object does when it skins a window.
  s.Wnd = wnd;
  s.Skin = &Data;
  s.Host = this;
  s.InitialStyle = recipe.Style;
  s.BorderKind = recipe.Border;
  if (recipe.Style & WS_SYSMENU) s.StyleFlags |= skin::kStyleSysMenu;
  if (recipe.Style & WS_MINIMIZEBOX) s.StyleFlags |= skin::kStyleMinimizeBox;
  if (recipe.Style & WS_MAXIMIZEBOX) s.StyleFlags |= skin::kStyleMaximizeBox;
  GetClientRect(wnd, &s.ClientRect);
  skin::GetFormIcon(s);
  skin::CreateSysButtons(s);
  s.MenuBarHeight = menuBarHeight;
  if (recipe.Border != skin::TBorderKind::None) {
    s.StyleFlags |= skin::kStyleCaptionRemoved;
    SetWindowLongW(wnd, GWL_STYLE, static_cast<LONG>(recipe.Style & ~WS_CAPTION));
  }
  s.SkinState = skin::kSkinStateSkinned;
  skin::UpdateFrameSize(s, false);
  skin::UpdateWindowRegion(s);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  UpdateWindow(wnd);
}

inline SkinnedWindow::~SkinnedWindow() {
  skin::ClearSysButtons(s);
  DestroyWindow(s.Wnd);
  DestroyIcon(Icon);
}

inline skin::TWinSysButton& SkinnedWindow::Button(const char* name) {
  for (auto& b : s.SysButtons)
    if (b->Data->Name == name) return *b;
  ADD_FAILURE() << "no button " << name;
  return *s.SysButtons.front();
}

inline LRESULT CALLBACK SkinnedWindow::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(wnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<SkinnedWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!self || self->s.Wnd != wnd) return DefWindowProcW(wnd, msg, wParam, lParam);
  return self->Handle(msg, wParam, lParam);
}

inline LRESULT SkinnedWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND wnd = s.Wnd;
  auto callDefault = [&] { return DefWindowProcW(wnd, msg, wParam, lParam); };
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  auto answer = [&](skin::TNCAnswer r) { return r == skin::TNCAnswer::Default ? callDefault() : 0; };
  switch (msg) {
    case WM_SYSCOMMAND: SysCommands.push_back(wParam & 0xFFF0); return 0;
    case skin::kMsgSkinAction: SkinActions.push_back(wParam); return 0;
    case skin::kMsgSkinButtonVisible: VisibleAsked.push_back(wParam); return VisibleAnswer;
    case WM_SIZE: {
      const LRESULT r = callDefault();
      if (s.SkinState == skin::kSkinStateSkinned) skin::UpdateWindowRegion(s);
      return r;
    }
    default: break;
  }
  if (s.SkinState != skin::kSkinStateSkinned) return callDefault();
  switch (msg) {
    case WM_NCCALCSIZE: return skin::NCCalcSize(s, wParam, lParam, callDefault);
    case WM_NCHITTEST: return skin::NCHitTest(s, at, callDefault());
    case WM_NCPAINT: return answer(skin::NCPaint(s, PaintingOn));
    case WM_NCACTIVATE:
      s.Active = wParam != 0;
      skin::PaintNonClient(s);
      return 1;
    case WM_NCMOUSEMOVE: return answer(skin::NCMouseMove(s, at));
    case WM_NCLBUTTONDOWN: return answer(skin::NCLButtonDown(s, wParam, at));
    case WM_NCLBUTTONUP: return answer(skin::NCLButtonUp(s, at));
    case WM_NCLBUTTONDBLCLK: return answer(skin::NCLButtonDblClk(s, wParam, at));
    case WM_NCRBUTTONDOWN: return answer(skin::NCRButtonDown(s, wParam, at));
    default: return callDefault();
  }
}

}  // namespace ncframe
