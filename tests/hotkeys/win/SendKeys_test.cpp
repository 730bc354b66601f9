// The keystroke sender typing for real into an edit window of this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "KeyInput.h"
#include "MessageLoop.h"
#include "WinString.h"
#include "hkSend.h"

namespace {

class EditWindow {
 public:
  EditWindow() {
    frame_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 300, 60, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 300, 30, frame_, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(frame_);
    SetFocus(edit_);
  }
  ~EditWindow() { DestroyWindow(frame_); }

  std::wstring Text() const {
    wchar_t buf[256] = {};
    GetWindowTextW(edit_, buf, 256);
    return buf;
  }
  std::pair<DWORD, DWORD> Selection() const {
    DWORD start = 0, end = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  bool HasFocus() const { return GetFocus() == edit_; }

 private:
  HWND frame_;
  HWND edit_;
};

// Types and waits until the edit shows `expected`.
bool TypeInto(const EditWindow& edit, const std::string& keys, const std::wstring& expected,
              hk::SendKeysResult* result = nullptr) {
  hk::TKeySender sender;
  const hk::SendKeysResult r = sender.SendKeys(keys);
  if (result) *result = r;
  return hktest::PumpUntil([&] { return edit.Text() == expected; }, 3000);
}

TEST(SendKeys, TypesTextAndShiftArrowsSelect) {
  hktest::KeyboardLock lock;
  EditWindow edit;
  ASSERT_TRUE(edit.HasFocus());
  ASSERT_TRUE(TypeInto(edit, "Hello, World!", L"Hello, World!"));
  // Shift+Left twice after moving one to the left selects the two characters before the caret.
  hk::TKeySender sender;
  EXPECT_EQ(sender.SendKeys("{LEFT}+{LEFT}+{LEFT}"), hk::skDone);
  EXPECT_TRUE(hktest::PumpUntil([&] { return edit.Selection() == std::make_pair(DWORD{10}, DWORD{12}); }, 3000))
      << edit.Selection().first << "," << edit.Selection().second;
  // Typing replaces the selection; {HOME} and a braced plus go to the start.
  EXPECT_TRUE(TypeInto(edit, "xy{HOME}{+}", L"+Hello, Worxy!"));
}

TEST(SendKeys, CharactersWithoutAKeyAndDelays) {
  hktest::KeyboardLock lock;
  EditWindow edit;
  ASSERT_TRUE(edit.HasFocus());
  // A Cyrillic letter has no key on the test layout and no byte in its code page: sent as a character.
  EXPECT_TRUE(TypeInto(edit, "{DELAY=5}a\xD0\x96" "b", L"a\x0416" L"b"));
}

TEST(SendKeys, ABadStringTypesTheKeysBeforeItsError) {
  hktest::KeyboardLock lock;
  EditWindow edit;
  ASSERT_TRUE(edit.HasFocus());
  hk::TKeySender sender;
  EXPECT_EQ(sender.SendKeys("xyz{DELAY=}"), hk::skInvalidToken);  // a bad delay is found before any key
  EXPECT_EQ(sender.SendKeys("xyz{DELAY=-5}"), hk::skInvalidToken);
  EXPECT_EQ(sender.SendKeys(""), hk::skDone);
  EXPECT_EQ(sender.SendKeys("abc{ENTERPRISEWIDE"), hk::skInvalidToken);
  EXPECT_TRUE(hktest::PumpUntil([&] { return edit.Text() == L"abc"; }, 3000)) << cl::FromWide(edit.Text());
}

// The modifiers of the hot key that started the sender are still held: nothing is typed until they are
// all up, and then the keys arrive without them (Ctrl+A would select, not type).
TEST(SendKeys, WaitsForHeldModifiersBeforeTyping) {
  hktest::KeyboardLock lock;
  EditWindow edit;
  ASSERT_TRUE(edit.HasFocus());
  auto key = [](WORD vk, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = flags;
    SendInput(1, &in, sizeof in);
  };
  hktest::RunLoop(200);  // the focus settled first: Wine re-reads the keys from the display on a change
  key(VK_CONTROL, 0);
  ASSERT_TRUE(hktest::PumpUntil([] { return !hk::ModifierKeysReleased(); }, 1000));
  ULONGLONG releasedAt = 0;
  std::thread release([&] {
    Sleep(400);
    releasedAt = GetTickCount64();
    key(VK_CONTROL, KEYEVENTF_KEYUP);
  });
  hk::TKeySender sender;
  const hk::SendKeysResult result = sender.SendKeys("ab");
  const ULONGLONG returnedAt = GetTickCount64();
  release.join();
  EXPECT_EQ(result, hk::skDone);
  EXPECT_GE(returnedAt, releasedAt);
  EXPECT_TRUE(hktest::PumpUntil([&] { return edit.Text() == L"ab"; }, 3000)) << cl::FromWide(edit.Text());
}

}  // namespace
