// The keystroke sender: types a key string into whatever window has the keyboard focus, by injecting
// key events into the system's input stream.
#pragma once
#include <string>
#include <vector>

#include "KeyString.h"

namespace hk {

// The keyboard layout of this thread, as the system knows it.
class WindowsKeyLayout final : public KeyLayout {
 public:
  WindowsKeyLayout();
  std::optional<LayoutKey> KeyOf(char32_t ch) const override;
  std::uint16_t ScanCodeOf(std::uint8_t vk) const override;
  unsigned AnsiCodePage() const override;

 private:
  void* layout_;  // HKL
};

// Whether Ctrl, Alt, Shift and both Windows keys are all up (and `extra` too when not 0).
bool ModifierKeysReleased(std::uint8_t extra = 0);

// Injects the steps; a delay step waits without using the processor.
void SendKeySteps(const std::vector<KeyStep>& steps);

enum SendKeysResult { skDone = 0, skInvalidToken = 1, skOtherError = 2 };

// Types a key string once the user has let go of every modifier key (the messages of this thread are
// handled meanwhile). A string with a syntax error types the keys before it, then gives skInvalidToken.
// A call made while another one waits or types (from a message handled meanwhile) does nothing and
// returns skDone.
class TKeySender {
 public:
  SendKeysResult SendKeys(const std::string& keys);
  bool Sending() const noexcept { return sending_; }

 private:
  bool sending_ = false;
};

}  // namespace hk
