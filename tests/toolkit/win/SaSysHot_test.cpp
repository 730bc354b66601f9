#include "SaSysHot.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KernelHandle.h"
#include "KeyInput.h"
#include "TypInfo.h"

namespace {

using namespace toolkit;

// Test programs run side by side and hotkeys are shared by the whole desktop, so every test uses
// combinations of its own: a modifier set and keys F13..F24 (key indexes 88..99).
constexpr TSaHotKeyModifiers kCAS = hkCtrl | hkAlt | hkShift;
constexpr TSaHotKeyModifiers kCA = hkCtrl | hkAlt;
constexpr TSaHotKeyModifiers kCS = hkCtrl | hkShift;
constexpr TSaHotKeyModifiers kAS = hkAlt | hkShift;
constexpr std::uint8_t F(int n) { return static_cast<std::uint8_t>(76 + n - 1); }

// Whether some registration of the combination stands (ours or anyone's): the system refuses a second one.
bool Taken(TSaHotKeyModifiers mods, std::uint8_t key) {
  if (!RegisterHotKey(nullptr, 0xBFFF, ModifiersToFlags(mods), SaHotKeyVirtualKeys[key])) return true;
  UnregisterHotKey(nullptr, 0xBFFF);
  return false;
}

class SysHotKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hot_ = std::make_unique<TSaSysHotKey>(nullptr);
    hot_->OnHotKey = [this](cl::TObject* sender, int index) {
      EXPECT_EQ(sender, hot_.get());
      indexes_.push_back(index);
    };
  }

  // Presses the combination and waits for the component's report: its Index, or -1 when none came.
  int Press(TSaHotKeyModifiers mods, std::uint8_t key) {
    hktest::KeyboardLock lock;
    EXPECT_TRUE(lock.Owned());
    const size_t before = indexes_.size();
    EXPECT_TRUE(hktest::PressCombination(ModifiersToFlags(mods), SaHotKeyVirtualKeys[key]));
    if (!hktest::PumpUntil([&] { return indexes_.size() > before; })) return -1;
    EXPECT_EQ(indexes_.size(), before + 1);
    return indexes_.back();
  }
  // Presses a combination that must report nothing, then a registered one whose report proves that the
  // first press has been handled (input is processed in order).
  void ExpectSilent(TSaHotKeyModifiers mods, std::uint8_t key, TSaHotKeyModifiers sentinelMods,
                    std::uint8_t sentinelKey, int sentinelIndex) {
    hktest::KeyboardLock lock;
    const size_t before = indexes_.size();
    ASSERT_TRUE(hktest::PressCombination(ModifiersToFlags(mods), SaHotKeyVirtualKeys[key]));
    ASSERT_TRUE(hktest::PressCombination(ModifiersToFlags(sentinelMods), SaHotKeyVirtualKeys[sentinelKey]));
    ASSERT_TRUE(hktest::PumpUntil([&] { return indexes_.size() > before; }));
    EXPECT_EQ(std::vector<int>(indexes_.begin() + static_cast<std::ptrdiff_t>(before), indexes_.end()),
              std::vector<int>{sentinelIndex});
  }

  std::unique_ptr<TSaSysHotKey> hot_;
  std::vector<int> indexes_;
};

TEST_F(SysHotKeyTest, PressReportsTheIndexOfTheItem) {
  hot_->SetActive(true);
  EXPECT_FALSE(hot_->HandleAllocated());  // nothing registered yet, so no window either
  for (int n : {13, 14, 15}) EXPECT_TRUE(hot_->AddHotKey(F(n), kCAS).Registered);
  EXPECT_TRUE(hot_->HandleAllocated());
  EXPECT_FALSE(hot_->AddHotKey(F(13), kCAS).Registered);  // the same combination again is refused
  EXPECT_EQ(hot_->Count(), 4);
  // Index 89 is F14 and 90 is F15 (0x7D, 0x7E).
  EXPECT_EQ(SaHotKeyVirtualKeys[89], 0x7Du);
  EXPECT_EQ(SaHotKeyVirtualKeys[90], 0x7Eu);
  EXPECT_EQ(Press(kCAS, F(15)), 2);
  EXPECT_EQ(Press(kCAS, F(14)), 1);
  EXPECT_EQ(Press(kCAS, F(13)), 0);
  const TSaHotKeyItem item = hot_->HotKeys(1);
  EXPECT_EQ(item.Key, F(14));
  EXPECT_EQ(item.Modifiers, kCAS);
  EXPECT_TRUE(item.Registered);
}

TEST_F(SysHotKeyTest, InactiveItemsRegisterInListOrderOnActivation) {
  for (int n : {15, 13, 14}) EXPECT_FALSE(hot_->AddHotKey(F(n), kCA).Registered);
  EXPECT_FALSE(hot_->HandleAllocated());
  EXPECT_FALSE(Taken(kCA, F(15)));
  hot_->SetActive(true);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(hot_->HotKeys(i).Registered);
  hot_->SetActive(true);  // no change
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(hot_->HotKeys(i).Registered);
  EXPECT_EQ(Press(kCA, F(13)), 1);
  EXPECT_EQ(Press(kCA, F(14)), 2);
  EXPECT_EQ(Press(kCA, F(15)), 0);

  hot_->SetActive(false);  // the items stay, unregistered
  EXPECT_EQ(hot_->Count(), 3);
  EXPECT_FALSE(hot_->HotKeys(0).Registered);
  EXPECT_FALSE(Taken(kCA, F(15)));
}

TEST_F(SysHotKeyTest, DeletingMovesTheItemsBehindToNewIds) {
  hot_->SetActive(true);
  for (int n : {13, 14, 15}) hot_->AddHotKey(F(n), kCS);
  hot_->DeleteHotKey(0);
  ASSERT_EQ(hot_->Count(), 2);
  EXPECT_TRUE(hot_->HotKeys(0).Registered);
  EXPECT_TRUE(hot_->HotKeys(1).Registered);
  EXPECT_FALSE(Taken(kCS, F(13)));
  EXPECT_EQ(Press(kCS, F(15)), 1);
  EXPECT_EQ(Press(kCS, F(14)), 0);
  ExpectSilent(kCS, F(13), kCS, F(15), 1);
}

TEST_F(SysHotKeyTest, ClearUnregistersAndLaterItemsStartAtIdZero) {
  hot_->SetActive(true);
  hot_->AddHotKey(F(13), kAS);
  hot_->AddHotKey(F(14), kAS);
  hot_->Clear();
  EXPECT_EQ(hot_->Count(), 0);
  EXPECT_TRUE(hot_->Active());
  EXPECT_FALSE(Taken(kAS, F(13)));
  EXPECT_FALSE(Taken(kAS, F(14)));
  EXPECT_TRUE(hot_->AddHotKey(F(15), kAS).Registered);
  EXPECT_EQ(Press(kAS, F(15)), 0);
}

TEST_F(SysHotKeyTest, EmptyModifierSetRegistersTheBareKey) {
  hot_->SetActive(true);
  EXPECT_TRUE(hot_->AddHotKey(F(24), 0).Registered);
  EXPECT_EQ(Press(0, F(24)), 0);
}

TEST_F(SysHotKeyTest, HotKeyMessageReportsTheLowWordOnly) {
  const HWND wnd = hot_->Handle();
  EXPECT_EQ(SendMessageW(wnd, WM_HOTKEY, 0x10002, 0), 0);
  EXPECT_EQ(SendMessageW(wnd, WM_HOTKEY, 0xFFFF, 0), 0);
  EXPECT_EQ(indexes_, (std::vector<int>{2, 0xFFFF}));
  hot_->OnHotKey = nullptr;
  SendMessageW(wnd, WM_HOTKEY, 1, 0);  // unassigned: nothing happens
  EXPECT_EQ(indexes_.size(), 2u);
  // Other messages get the window's default processing.
  SendMessageW(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
  EXPECT_EQ(GetWindowTextLengthW(wnd), 3);
}

TEST_F(SysHotKeyTest, IndexErrorsChangeNothing) {
  hot_->SetActive(true);
  for (int n : {16, 17, 18}) hot_->AddHotKey(F(n), kCAS);
  auto message = [](auto fn) {
    try {
      fn();
    } catch (const cl::EListError& e) {
      return e.Message();
    }
    return std::string("(no exception)");
  };
  EXPECT_EQ(message([&] { hot_->DeleteHotKey(3); }), "List index out of bounds (3)");
  EXPECT_EQ(message([&] { hot_->DeleteHotKey(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(message([&] { hot_->GetHotKey(3); }), "List index out of bounds (3)");
  EXPECT_EQ(message([&] { hot_->SetHotKey(4, TSaHotKeyItem{kCAS, F(19), false}); }), "List index out of bounds (4)");
  ASSERT_EQ(hot_->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(hot_->HotKeys(i).Key, F(16 + i));
    EXPECT_TRUE(hot_->HotKeys(i).Registered);
  }
  EXPECT_FALSE(Taken(kCAS, F(19)));
  EXPECT_EQ(Press(kCAS, F(18)), 2);
}

TEST_F(SysHotKeyTest, SetHotKeyMovesTheRegistration) {
  hot_->SetActive(true);
  hot_->AddHotKey(F(16), kCS);
  hot_->AddHotKey(F(18), kCS);
  hot_->SetHotKey(0, TSaHotKeyItem{kCS, F(17), false});  // Registered of the value is not taken
  EXPECT_EQ(hot_->HotKeys(0).Key, F(17));
  EXPECT_TRUE(hot_->HotKeys(0).Registered);
  EXPECT_FALSE(Taken(kCS, F(16)));
  EXPECT_EQ(Press(kCS, F(17)), 0);

  hot_->SetActive(false);
  hot_->SetHotKey(1, TSaHotKeyItem{kCS, F(16), true});
  EXPECT_EQ(hot_->HotKeys(1).Key, F(16));
  EXPECT_FALSE(hot_->HotKeys(1).Registered);
}

// A repeated combination is refused while the first holds it, and registered once that one lets it go.
TEST_F(SysHotKeyTest, ARepeatedCombinationRegistersWhenTheFirstLetsItGo) {
  hot_->SetActive(true);
  EXPECT_TRUE(hot_->AddHotKey(F(13), kCS).Registered);
  EXPECT_FALSE(hot_->AddHotKey(F(13), kCS).Registered);
  hot_->SetHotKey(0, TSaHotKeyItem{kCS, F(14), false});
  hot_->SetActive(false);
  hot_->SetActive(true);
  EXPECT_TRUE(hot_->HotKeys(0).Registered);
  EXPECT_TRUE(hot_->HotKeys(1).Registered);
  EXPECT_EQ(Press(kCS, F(13)), 1);
  hot_->AddHotKey(F(14), kCS);
  hot_->DeleteHotKey(0);
  EXPECT_TRUE(hot_->HotKeys(1).Registered);
  EXPECT_EQ(Press(kCS, F(14)), 1);
}

TEST_F(SysHotKeyTest, LoadedWhileActiveRegistersEachItemOnce) {
  hot_->BeginLoading();
  hot_->SetActive(true);
  hot_->AddHotKey(F(16), kAS);
  hot_->AddHotKey(F(17), kAS);
  hot_->EndLoading();  // Loaded registers again: the items stay registered, once
  EXPECT_TRUE(hot_->HotKeys(0).Registered);
  EXPECT_TRUE(hot_->HotKeys(1).Registered);
  EXPECT_EQ(Press(kAS, F(17)), 1);
  hot_->SetActive(false);
  EXPECT_FALSE(Taken(kAS, F(16)));
  EXPECT_FALSE(Taken(kAS, F(17)));
}

TEST_F(SysHotKeyTest, DestructionUnregistersEverything) {
  hot_->SetActive(true);
  for (int n : {16, 17, 18}) hot_->AddHotKey(F(n), kCA);
  const HWND wnd = hot_->Handle();
  EXPECT_TRUE(Taken(kCA, F(17)));
  hot_.reset();
  EXPECT_FALSE(IsWindow(wnd));
  for (int n : {16, 17, 18}) EXPECT_FALSE(Taken(kCA, F(n)));
}

TEST_F(SysHotKeyTest, WindowDestroyedUnderneathDeactivates) {
  hot_->SetActive(true);
  hot_->AddHotKey(F(20), kCA);
  SendMessageW(hot_->Handle(), WM_DESTROY, 0, 0);  // what the window's destruction delivers first
  EXPECT_FALSE(hot_->Active());
  EXPECT_FALSE(hot_->HotKeys(0).Registered);
  EXPECT_FALSE(Taken(kCA, F(20)));
}

TEST_F(SysHotKeyTest, PublishedProperties) {
  const cl::TPropInfo* active = cl::GetPropInfo(hot_.get(), "Active");
  ASSERT_NE(active, nullptr);
  EXPECT_EQ(active->Kind, cl::TTypeKind::Boolean);
  EXPECT_FALSE(active->Default.has_value());
  EXPECT_TRUE(cl::IsStoredProp(hot_.get(), active));  // stored even when False
  const cl::TPropInfo* event = cl::GetPropInfo(hot_.get(), "OnHotKey");
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->Kind, cl::TTypeKind::Method);
}

// A process of its own holds a combination; the component is told the system refused it.
TEST_F(SysHotKeyTest, CombinationHeldByAnotherProcessIsNotRegistered) {
  const std::wstring tag = std::to_wstring(GetCurrentProcessId());
  const std::wstring readyName = L"CalderineTests.HolderReady." + tag;
  const std::wstring quitName = L"CalderineTests.HolderQuit." + tag;
  const cl::TKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
  const cl::TKernelHandle quit(CreateEventW(nullptr, TRUE, FALSE, quitName.c_str()));
  ASSERT_TRUE(ready && quit);

  wchar_t self[MAX_PATH];
  const DWORD len = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe(self, len);
  exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"hotkey_holder.exe";
  std::wstring cmd = L"\"" + exe + L"\" " + std::to_wstring(ModifiersToFlags(kCAS)) + L" " +
                     std::to_wstring(SaHotKeyVirtualKeys[F(20)]) + L" " + readyName + L" " + quitName + L" " + tag;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      << GetLastError();
  const cl::TKernelHandle thread(pi.hThread);
  const cl::TKernelHandle process(pi.hProcess);
  const HANDLE waits[] = {ready.Get(), process.Get()};
  const DWORD got = WaitForMultipleObjects(2, waits, FALSE, 30000);

  if (got == WAIT_OBJECT_0) {
    hot_->SetActive(true);
    EXPECT_TRUE(hot_->AddHotKey(F(21), kCAS).Registered);
    const TSaHotKeyItem held = hot_->AddHotKey(F(20), kCAS);
    EXPECT_FALSE(held.Registered);  // no exception, only the flag
    EXPECT_EQ(hot_->Count(), 2);
    EXPECT_EQ(Press(kCAS, F(21)), 0);
  } else {
    ADD_FAILURE() << "the holder did not get ready";
  }
  SetEvent(quit.Get());
  EXPECT_EQ(WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(process.Get(), &code);
  EXPECT_EQ(code, 0u);
  // Once the holder let go, the combination is free again.
  EXPECT_FALSE(Taken(kCAS, F(20)));
}

}  // namespace
