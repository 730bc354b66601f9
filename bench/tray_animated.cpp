// A tray icon playing "Key being pressed" without end, and nothing else: the cost of the animation.
// Ends on WM_CLOSE or on message 3028 (wParam 3028) to its window of class "HkTrayAnimated".
#include <windows.h>

#include <memory>
#include <string>

#include "SaAniTray.h"
#include "Streams.h"

namespace {

constexpr UINT kQuitMessage = 3028;

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if ((msg == kQuitMessage && wParam == kQuitMessage) || msg == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The block held as hexadecimal text in the RCDATA resource name (white space between pairs ignored).
std::string BlockResource(HINSTANCE instance, const wchar_t* name) {
  HRSRC res = FindResourceW(instance, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL data = res ? LoadResource(instance, res) : nullptr;
  const char* text = data ? static_cast<const char*>(LockResource(data)) : nullptr;
  if (!text) return {};
  const DWORD size = SizeofResource(instance, res);
  std::string bytes;
  int high = -1;
  for (DWORD i = 0; i < size; ++i) {
    const int d = HexDigit(text[i]);
    if (d < 0) continue;
    if (high < 0) {
      high = d;
    } else {
      bytes += static_cast<char>(high * 16 + d);
      high = -1;
    }
  }
  return bytes;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"HkTrayAnimated";
  if (!RegisterClassW(&wc)) return 1;
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Tray animated", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;

  try {
    auto tray = std::make_unique<toolkit::TSaAnimatedTrayIcon>(nullptr);
    cl::TMemoryStream block(BlockResource(instance, L"KEYPRESSED16"));
    tray->Animation()->ReadIcons(block);
    tray->SetHint("Key being pressed");
    tray->SetRepeatCount(0);
    tray->SetStyle(toolkit::tsAnimated);
    tray->SetActive(true);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } catch (const std::exception&) {
    return 2;
  }
  return 0;
}
