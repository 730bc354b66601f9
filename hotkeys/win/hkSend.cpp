#include "hkSend.h"

#include <windows.h>

#include "Forms.h"
#include "SysUtils.h"

namespace hk {

WindowsKeyLayout::WindowsKeyLayout() : layout_(GetKeyboardLayout(0)) {}

std::optional<LayoutKey> WindowsKeyLayout::KeyOf(char32_t ch) const {
  if (ch > 0xFFFF) return std::nullopt;
  const SHORT r = VkKeyScanExW(static_cast<wchar_t>(ch), static_cast<HKL>(layout_));
  if (r == -1) return std::nullopt;
  return LayoutKey{static_cast<std::uint8_t>(r & 0xFF), static_cast<std::uint8_t>((r >> 8) & 0xFF)};
}

std::uint16_t WindowsKeyLayout::ScanCodeOf(std::uint8_t vk) const {
  return static_cast<std::uint16_t>(MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, static_cast<HKL>(layout_)));
}

unsigned WindowsKeyLayout::AnsiCodePage() const { return GetACP(); }

namespace {

bool KeyIsUp(int vk) { return (GetAsyncKeyState(vk) & 0x8000) == 0; }

INPUT KeyInput(const KeyStep& step, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = step.vk;
  input.ki.wScan = step.scan;
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (step.extended ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

void SendUnicode(char32_t cp) {
  wchar_t units[2];
  int n = 0;
  if (cp > 0xFFFF) {
    cp -= 0x10000;
    units[n++] = static_cast<wchar_t>(0xD800 + (cp >> 10));
    units[n++] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  } else {
    units[n++] = static_cast<wchar_t>(cp);
  }
  INPUT inputs[4] = {};
  int count = 0;
  for (int i = 0; i < n; ++i) {
    for (bool up : {false, true}) {
      INPUT& in = inputs[count++];
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = units[i];
      in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    }
  }
  SendInput(count, inputs, sizeof(INPUT));
}

}  // namespace

bool ModifierKeysReleased(std::uint8_t extra) {
  return KeyIsUp(VK_LWIN) && KeyIsUp(VK_RWIN) && KeyIsUp(VK_CONTROL) && KeyIsUp(VK_MENU) && KeyIsUp(VK_SHIFT) &&
         (extra == 0 || KeyIsUp(extra));
}

void SendKeySteps(const std::vector<KeyStep>& steps) {
  for (const KeyStep& step : steps) {
    switch (step.kind) {
      case KeyStep::Kind::KeyDown:
      case KeyStep::Kind::KeyUp: {
        INPUT input = KeyInput(step, step.kind == KeyStep::Kind::KeyUp);
        SendInput(1, &input, sizeof(INPUT));
        break;
      }
      case KeyStep::Kind::Char:
        SendUnicode(step.codePoint);
        break;
      case KeyStep::Kind::Delay:
        Sleep(step.delayMs);
        break;
    }
  }
}

SendKeysResult TKeySender::SendKeys(const std::string& keys) {
  if (sending_ || keys.empty()) return skDone;
  const cl::TBusyScope busy(sending_);

  // The modifiers of the hot key that started us must not mix into the typed keys. No message tells
  // when they are let go, so look again every few milliseconds, handling this thread's messages.
  while (!ModifierKeysReleased()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    if (cl::Application) cl::Application->ProcessMessages();
  }
  std::vector<KeyStep> steps;
  SendKeysResult result = skDone;
  try {
    ParseKeyString(keys, WindowsKeyLayout(), steps);
  } catch (const EInvalidToken&) {
    result = skInvalidToken;
  } catch (const std::exception&) {
    result = skOtherError;
  }
  // The keys before an error are typed, then the error is told.
  SendKeySteps(steps);
  return result;
}

}  // namespace hk
