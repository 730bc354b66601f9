// The smallest program that puts an icon into the notification area: a hidden window, the icon (id 0),
// a message loop. The yardstick for how fast a tray program can start. Ends on WM_CLOSE or on message
// 3028 with wParam 3028.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kQuitMessage = 3028;
constexpr UINT kTrayCallback = WM_APP + 1;

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kQuitMessage:
      if (wParam != kQuitMessage) break;
      DestroyWindow(window);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY: {
      NOTIFYICONDATAW nid{};
      nid.cbSize = sizeof nid;
      nid.hWnd = window;
      nid.uID = 0;
      Shell_NotifyIconW(NIM_DELETE, &nid);
      PostQuitMessage(0);
      return 0;
    }
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"HkTrayMinimal";
  if (!RegisterClassW(&wc)) return 1;
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Tray minimal", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;

  HICON icon = static_cast<HICON>(LoadImageW(instance, L"TRAYICON", IMAGE_ICON, 16, 16, 0));
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = window;
  nid.uID = 0;
  nid.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  nid.uCallbackMessage = kTrayCallback;
  nid.hIcon = icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
  lstrcpynW(nid.szTip, L"Tray minimal", ARRAYSIZE(nid.szTip));
  if (!Shell_NotifyIconW(NIM_ADD, &nid)) {
    DestroyWindow(window);
    return 2;
  }

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (icon) DestroyIcon(icon);
  return 0;
}
