// The skin manager and the skinned window under Wine: which windows it skins (the hook's activation, the
// skin-all action) and which it refuses, the dialog component for message boxes, unskinning by the
// action and by the component's end, and its hook passing every code on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <malloc.h>
#include <new>
#include <thread>
#include <vector>

#include "FormsTestSupport.h"
#include "KernelHandle.h"
#include "MessageLoop.h"
#include "SkinTestForms.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"
#include "WinString.h"

// While a TQuarantine lives, freed blocks stay allocated and filled with kFreedByte instead of going back
// to the heap, so that a write into freed memory can be seen. Every other time delete frees at once.
namespace {
constexpr unsigned char kFreedByte = 0xDD;
struct TQuarantined {
  void* block;
  size_t size;
};
bool quarantining = false;
TQuarantined quarantined[8192];
size_t quarantinedCount = 0;
}  // namespace

void* operator new(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
  if (!p) return;
  if (quarantining && quarantinedCount < std::size(quarantined)) {
    const size_t size = _msize(p);
    std::memset(p, kFreedByte, size);
    quarantined[quarantinedCount++] = {p, size};
    return;
  }
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

class TQuarantine {
 public:
  TQuarantine() { quarantining = true; }
  ~TQuarantine() {
    quarantining = false;
    for (size_t i = 0; i < quarantinedCount; ++i) std::free(quarantined[i].block);
    quarantinedCount = 0;
  }
  TQuarantine(const TQuarantine&) = delete;
  TQuarantine& operator=(const TQuarantine&) = delete;
  bool Holds(const void* block) const {
    for (size_t i = 0; i < quarantinedCount; ++i)
      if (quarantined[i].block == block) return true;
    return false;
  }
  static bool Untouched(const void* block, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    return std::all_of(bytes, bytes + size, [](unsigned char c) { return c == kFreedByte; });
  }
};

}  // namespace

namespace {

using formstest::AppTest;
using skin::SkinManager;
using skin::TSkinData;
using skintest::TfrmSkinTest;

// A CBT hook installed before the manager's, so it is called after it: it sees what the manager passes on.
class TCodeRecorder {
 public:
  TCodeRecorder() {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, Proc, nullptr, GetCurrentThreadId());
  }
  ~TCodeRecorder() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  TCodeRecorder(const TCodeRecorder&) = delete;
  TCodeRecorder& operator=(const TCodeRecorder&) = delete;

  std::vector<std::pair<int, HWND>> codes;
  std::function<void(int code, HWND wnd)> onCode;

 private:
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    if (current_ && code >= 0 && code != HCBT_SYSCOMMAND && code != HCBT_KEYSKIPPED && code != HCBT_CLICKSKIPPED) {
      current_->codes.emplace_back(code, reinterpret_cast<HWND>(wParam));
      if (current_->onCode) current_->onCode(code, reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline TCodeRecorder* current_ = nullptr;
  HHOOK hook_ = nullptr;
};

bool IsSkinned(HWND wnd) { return SendMessageW(wnd, skin::kSkinMsgIsSkinned, 0, 0) == 1; }

class SkinManagerTest : public skintest::SkinFormsTest {
 protected:
  TfrmSkinTest* NewTestForm(int tag = 0) { return NewSizedForm(tag, 300, 200); }
  // The main test form with its skin component read (the manager made, skinning on).
  TSkinData* ReadSkinForm(const std::string& text) {
    TfrmSkinTest* form = NewTestForm();
    cl::ReadRootComponent(form, text);
    main_ = form;
    return cl::ComponentAs<TSkinData>(form, "SkinData1");
  }
  // Queues an action as the components do, and waits for it to run.
  void RunAction(TSkinData* data, int action) {
    int changed = 0;
    data->OnSkinChanged = [&](cl::TObject*) { ++changed; };
    SkinManager()->PendingData = data;
    SkinManager()->RequestAction(action, 10);
    ASSERT_TRUE(hktest::PumpUntil([&] { return changed == 1; }));
    data->OnSkinChanged = nullptr;
  }
};

TEST_F(SkinManagerTest, TheFirstActivationSkinsTheFormAndItAnswersTheQuery) {
  TSkinData* data = ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  skin::TSkinManage* manager = SkinManager();
  ASSERT_NE(manager, nullptr);
  EXPECT_TRUE(manager->ManagerActive);  // action 1 before any activation only switches skinning on
  EXPECT_EQ(manager->DefaultData, data);
  EXPECT_FALSE(IsSkinned(main_->Handle()));
  main_->Show();
  ASSERT_TRUE(IsSkinned(main_->Handle()));
  EXPECT_EQ(manager->HookState, 1);
  skin::TWinSkinForm* skinned = manager->FindSkinForm(main_->Handle());
  ASSERT_NE(skinned, nullptr);
  EXPECT_EQ(skinned->Data(), data);
  EXPECT_EQ(skinned->Form(), main_);
  EXPECT_EQ(skinned->Owner(), main_);
  EXPECT_FALSE(main_->AutoScroll());
  EXPECT_EQ(main_->Color(), cl::TColor{RGB(10, 20, 30)});
  EXPECT_EQ(skinned->BorderKind(), skin::TBorderKind::Sizeable);
  // The posted 0x3503 reaches it once the current message is done.
  EXPECT_EQ(skinned->SkinState(), skin::kSkinStateWaiting);
  ASSERT_TRUE(hktest::PumpUntil([&] { return skinned->ControlsSkinned(); }));
  EXPECT_EQ(skinned->SkinState(), skin::kSkinStateSkinned);
}

TEST_F(SkinManagerTest, SkinWindowRefusesWhatItsRulesExclude) {
  ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  skin::TSkinManage* manager = SkinManager();
  TfrmSkinTest* tag99 = NewTestForm(99);
  TfrmSkinTest* tag199 = NewTestForm(199);
  tag99->Show();
  tag199->Show();
  EXPECT_FALSE(IsSkinned(tag99->Handle()));  // 99 itself, whatever DisableTag says
  EXPECT_TRUE(IsSkinned(tag199->Handle()));
  main_->Show();
  ASSERT_TRUE(IsSkinned(main_->Handle()));
  // Already skinned.
  EXPECT_FALSE(manager->SkinWindow(main_->Handle()));

  // A child window of a window that is no MDI client.
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, main_->Handle(), nullptr,
                               nullptr, nullptr);
  EXPECT_FALSE(manager->SkinWindow(child));
  // No area.
  HWND empty = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, 10, 0, 0, nullptr, nullptr, nullptr, nullptr);
  EXPECT_FALSE(manager->SkinWindow(empty));
  // The application's class, with an area.
  HWND appClass = CreateWindowExW(0, L"TApplication", L"", WS_POPUP, 10, 10, 80, 60, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(appClass, nullptr);
  EXPECT_FALSE(manager->SkinWindow(appClass));
  // A plain window of none of these is taken; then its destruction marks it for the purge.
  HWND bare = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_CAPTION, 10, 10, 80, 60, nullptr, nullptr, nullptr,
                              nullptr);
  const int before = manager->SkinFormCount();
  EXPECT_TRUE(manager->SkinWindow(bare));
  EXPECT_TRUE(IsSkinned(bare));
  skin::TWinSkinForm* bareSkin = manager->FindSkinForm(bare);
  ASSERT_NE(bareSkin, nullptr);
  EXPECT_EQ(bareSkin->Owner(), nullptr);
  DestroyWindow(bare);
  EXPECT_EQ(bareSkin->SkinState(), skin::kSkinStateDestroyed);
  EXPECT_FALSE(bareSkin->Subclassed());
  manager->PurgeClosedForms();
  EXPECT_EQ(manager->SkinFormCount(), before);
  for (HWND w : {child, empty, appClass}) DestroyWindow(w);
}

// Action 6 frees the skins of windows that were destroyed, and no other.
TEST_F(SkinManagerTest, ThePurgeActionFreesTheSkinsOfDestroyedWindows) {
  TSkinData* data = ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  main_->Show();
  skin::TSkinManage* manager = SkinManager();
  HWND bare = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_CAPTION, 10, 10, 80, 60, nullptr, nullptr, nullptr,
                              nullptr);
  ASSERT_TRUE(manager->SkinWindow(bare));
  const int count = manager->SkinFormCount();
  DestroyWindow(bare);
  ASSERT_EQ(manager->SkinFormCount(), count);  // waiting for the purge
  RunAction(data, skin::kActionPurge);
  EXPECT_EQ(manager->SkinFormCount(), count - 1);
  EXPECT_EQ(manager->FindSkinForm(bare), nullptr);
  EXPECT_NE(manager->FindSkinForm(main_->Handle()), nullptr);
}

// A size grip made after its window was skinned gets the skin's grip at its creation: the face colour
// where the system would draw its ridges.
TEST_F(SkinManagerTest, ASizeGripMadeAfterSkinningShowsTheSkinnedGrip) {
  ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  main_->Show();
  skin::TSkinManage* manager = SkinManager();
  HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 300, 300,
                                200, 150, nullptr, nullptr, nullptr, nullptr);
  manager->SkinWindow(dialog);  // when its activation has not skinned it already
  skin::TWinSkinForm* skinned = manager->FindSkinForm(dialog);
  ASSERT_NE(skinned, nullptr);
  HWND grip = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN,
                              0, 0, 40, 40, dialog, nullptr, nullptr, nullptr);
  ASSERT_NE(grip, nullptr);
  EXPECT_NE(skinned->FindControlByHandle(grip), nullptr);
  RedrawWindow(grip, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT r{};
  GetClientRect(grip, &r);
  HDC dc = GetDC(grip);
  int face = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) face += GetPixel(dc, x, y) == RGB(10, 20, 30);
  ReleaseDC(grip, dc);
  EXPECT_EQ(face, (r.right - r.left) * (r.bottom - r.top));
  DestroyWindow(dialog);
}

TEST_F(SkinManagerTest, TwoSkinAllActionsMakeOneSkinPerWindow) {
  TSkinData* data = ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  TfrmSkinTest* second = NewTestForm();
  main_->Show();
  second->Show();
  TfrmSkinTest* hidden = NewTestForm();
  (void)hidden->Handle();
  RunAction(data, skin::kActionSkinAll);
  skin::TSkinManage* manager = SkinManager();
  EXPECT_EQ(manager->SkinFormCount(), 2);  // the hidden form is not skinned
  RunAction(data, skin::kActionSkinAll);
  EXPECT_EQ(manager->SkinFormCount(), 2);
  EXPECT_FALSE(IsSkinned(hidden->Handle()));
  EXPECT_FALSE(manager->ForcedPass);
}

TEST_F(SkinManagerTest, AMessageBoxIsSkinnedWithTheDialogComponent) {
  std::string text = skintest::FormWithSkin(skintest::FlatPackage());
  // A second component, for the message boxes.
  text.insert(text.rfind("end\n"), "  object SkinData2: TSkinData\n    Active = True\n    SkinFormtype = sfDialog\n"
                                   "    SkinStream = " + skintest::SkinStreamValue(skintest::FlatPackage()) + "\n  end\n");
  TCodeRecorder recorder;
  ReadSkinForm(text);
  TSkinData* dialogData = cl::ComponentAs<TSkinData>(main_, "SkinData2");
  main_->Show();
  const TSkinData* boxData = nullptr;
  bool boxSeen = false;
  recorder.onCode = [&](int code, HWND wnd) {
    if (code != HCBT_ACTIVATE || skin::WindowClassName(wnd) != "#32770" || boxSeen) return;
    boxSeen = true;
    // The manager's hook ran first.
    if (skin::TWinSkinForm* f = SkinManager()->FindSkinForm(wnd)) {
      boxData = f->Data();
      EXPECT_TRUE(f->MessageDialog());
      EXPECT_EQ(f->BorderKind(), skin::TBorderKind::Dialog);
    }
    PostMessageW(wnd, WM_COMMAND, IDOK, 0);
  };
  timers_.Timeout();
  MessageBoxW(main_->Handle(), L"Skinned?", L"Skin test", MB_OK);
  EXPECT_TRUE(boxSeen);
  EXPECT_EQ(boxData, dialogData);
  recorder.onCode = nullptr;
}

TEST_F(SkinManagerTest, ActionTwoUnskinsAndRestoresTheWindow) {
  TSkinData* data = ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  const cl::TColor color = main_->Color();
  const HWND wnd = main_->Handle();
  const LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE) | WS_VISIBLE;
  RECT before{};
  GetWindowRect(wnd, &before);
  const int links = main_->WindowProc.LinkCount();
  main_->Show();
  ASSERT_TRUE(IsSkinned(wnd));
  EXPECT_EQ(main_->WindowProc.LinkCount(), links + 1);

  data->SetActive(false);
  EXPECT_EQ(SkinManager()->PendingData, data);
  ASSERT_TRUE(hktest::PumpUntil([&] { return SkinManager()->PendingData == nullptr; }));
  EXPECT_FALSE(SkinManager()->ManagerActive);
  EXPECT_EQ(SkinManager()->SkinFormCount(), 0);
  EXPECT_FALSE(IsSkinned(wnd));
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_STYLE), style);
  RECT after{};
  GetWindowRect(wnd, &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(wnd, probe), ERROR);  // no region
  DeleteObject(probe);
  EXPECT_EQ(main_->Color(), color);
  EXPECT_EQ(main_->WindowProc.LinkCount(), links);
}

TEST_F(SkinManagerTest, DestroyingTheComponentUnskinsItsWindowsAndEndsTheManager) {
  TSkinData* data = ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  TfrmSkinTest* second = NewTestForm();
  main_->Show();
  second->Show();
  ASSERT_TRUE(IsSkinned(main_->Handle()));
  ASSERT_TRUE(IsSkinned(second->Handle()));
  SkinManager()->PendingData = data;
  delete data;
  EXPECT_EQ(SkinManager(), nullptr);  // its hook and timer with it
  EXPECT_FALSE(IsSkinned(main_->Handle()));
  EXPECT_FALSE(IsSkinned(second->Handle()));
  EXPECT_EQ(main_->ComponentCount(), 0);  // the skins the form owned are gone too
  // Windows activated now meet no hook.
  TfrmSkinTest* third = NewTestForm();
  third->Show();
  EXPECT_FALSE(IsSkinned(third->Handle()));
}

TEST_F(SkinManagerTest, AComponentThatGoesLeavesNeitherDefaultNorPendingDataBehind) {
  std::string text = skintest::FormWithSkin(skintest::FlatPackage());
  text.insert(text.rfind("end\n"), "  object SkinData2: TSkinData\n    SkinFormtype = sfDialog\n  end\n");
  TSkinData* data = ReadSkinForm(text);
  auto* dialogData = cl::ComponentAs<TSkinData>(main_, "SkinData2");
  skin::TSkinManage* manager = SkinManager();
  EXPECT_EQ(manager->SkinDataCount(), 2);
  manager->PendingData = dialogData;
  delete dialogData;
  EXPECT_EQ(SkinManager(), manager);  // one component is left
  EXPECT_EQ(manager->PendingData, nullptr);
  EXPECT_EQ(manager->DefaultData, data);
  EXPECT_EQ(manager->FindSkinData(main_->Handle()), data);
  manager->PendingData = data;
  // The default one goes last: the manager with it.
  auto* mainData = data;
  delete mainData;
  EXPECT_EQ(SkinManager(), nullptr);
}

TEST_F(SkinManagerTest, AFreedSkinGivesTheWindowItsProcedureAndPathBack) {
  ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  const int links = main_->WindowProc.LinkCount();
  main_->Show();
  ASSERT_TRUE(IsSkinned(main_->Handle()));
  skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(main_->Handle());
  ASSERT_NE(skinned, nullptr);
  delete skinned;  // as the form frees what it owns
  EXPECT_EQ(SkinManager()->SkinFormCount(), 0);
  EXPECT_FALSE(IsSkinned(main_->Handle()));
  EXPECT_EQ(main_->WindowProc.LinkCount(), links);
  // The window goes on working without it.
  main_->SetCaption("After");
  EXPECT_EQ(cl::FromWide([&] {
              wchar_t b[32] = {};
              GetWindowTextW(main_->Handle(), b, 32);
              return std::wstring(b);
            }()),
            "After");
}

TEST_F(SkinManagerTest, AChildWindowIsTakenOnlyInsideAnMDIClientOrInAForcedPass) {
  ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  skin::TSkinManage* manager = SkinManager();
  HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                               nullptr);
  CLIENTCREATESTRUCT ccs{nullptr, 1};
  HWND client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, frame, nullptr,
                                nullptr, &ccs);
  ASSERT_NE(client, nullptr);
  HWND inClient = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CAPTION, 0, 0, 100, 80, client,
                                  nullptr, nullptr, nullptr);
  HWND inFrame = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CAPTION, 0, 0, 100, 80, frame,
                                 nullptr, nullptr, nullptr);
  EXPECT_TRUE(manager->SkinWindow(inClient));
  EXPECT_FALSE(manager->SkinWindow(inFrame));
  manager->ForcedPass = true;
  EXPECT_TRUE(manager->SkinWindow(inFrame));
  manager->ForcedPass = false;
  DestroyWindow(frame);  // with its children: their skins wait for the purge
  manager->PurgeClosedForms();
  EXPECT_EQ(manager->FindSkinForm(inClient), nullptr);
  EXPECT_EQ(manager->FindSkinForm(inFrame), nullptr);
}

TEST_F(SkinManagerTest, AComponentForOnlyItsFormSkinsAndUnskinsThatFormAlone) {
  TSkinData* data = ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  main_->Show();
  ASSERT_TRUE(IsSkinned(main_->Handle()));
  TfrmSkinTest* own = NewTestForm();
  own->Show();
  ASSERT_TRUE(IsSkinned(own->Handle()));
  RunAction(data, skin::kActionUnskinAll);
  ASSERT_FALSE(IsSkinned(own->Handle()));
  // Its own component, read with the form, skins it at once, with itself.
  cl::ReadRootComponent(own, "object frmSkinTest: TfrmSkinTest\n  object OwnSkin: TSkinData\n    Active = True\n"
                             "    SkinFormtype = sfOnlyThisForm\n    SkinStream = " +
                                 skintest::SkinStreamValue(skintest::FlatPackage()) + "\n  end\nend\n");
  auto* ownData = cl::ComponentAs<TSkinData>(own, "OwnSkin");
  skin::TSkinManage* manager = SkinManager();
  EXPECT_TRUE(manager->ManagerActive);
  ASSERT_TRUE(IsSkinned(own->Handle()));
  EXPECT_EQ(manager->FindSkinForm(own->Handle())->Data(), ownData);
  EXPECT_FALSE(IsSkinned(main_->Handle()));
  // Switched off, it unskins its form and nothing else; on again, it skins it again.
  RunAction(data, skin::kActionSkinAll);
  ASSERT_TRUE(IsSkinned(main_->Handle()));
  ownData->SetActive(false);
  ASSERT_TRUE(hktest::PumpUntil([&] { return manager->PendingData == nullptr; }));
  EXPECT_FALSE(IsSkinned(own->Handle()));
  EXPECT_TRUE(IsSkinned(main_->Handle()));
  ownData->SetActive(true);
  ASSERT_TRUE(hktest::PumpUntil([&] { return manager->PendingData == nullptr; }));
  EXPECT_TRUE(IsSkinned(own->Handle()));
  EXPECT_EQ(manager->FindSkinForm(own->Handle())->Data(), ownData);
}

// A window without an icon, skinned with a component without one, shows the main component's icon.
TEST_F(SkinManagerTest, AWindowWithoutIconTakesTheMainComponentsIcon) {
  TSkinData* mainData = ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  mainData->IconBitmap.SetPixelFormat(cl::pf24bit);
  mainData->IconBitmap.SetSize(16, 16);
  mainData->IconBitmap.Canvas()->Brush()->SetColor(cl::clLime);
  mainData->IconBitmap.Canvas()->FillRect(cl::Rect(0, 0, 16, 16));
  TfrmSkinTest* own = NewTestForm();
  ASSERT_EQ(SendMessageW(own->Handle(), WM_GETICON, ICON_SMALL, 0), 0);
  ASSERT_EQ(SendMessageW(own->Handle(), WM_GETICON, ICON_BIG, 0), 0);
  cl::ReadRootComponent(own, "object frmSkinTest: TfrmSkinTest\n  object OwnSkin: TSkinData\n    Active = True\n"
                             "    SkinFormtype = sfOnlyThisForm\n    SkinStream = " +
                                 skintest::SkinStreamValue(skintest::FlatPackage()) + "\n  end\nend\n");
  skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(own->Handle());
  ASSERT_NE(skinned, nullptr);
  ASSERT_EQ(skinned->Data(), cl::ComponentAs<TSkinData>(own, "OwnSkin"));
  const cl::TBitmap& icon = skinned->FrameState().IconBitmap;
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(const_cast<cl::TBitmap&>(icon).Canvas()->Pixels(3, 3), cl::clLime);
}

TEST_F(SkinManagerTest, FindingTheSkinDataMakesNoWindow) {
  TSkinData* mainData = ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  TfrmSkinTest* windowless = NewTestForm();
  ASSERT_FALSE(windowless->HandleAllocated());
  auto* own = new TSkinData(windowless);
  own->SetSkinFormtype(skin::sfOnlyThisForm);
  SkinManager()->AddSkinData(own);
  // Asked for another window (as the hook asks on activation): the component's form stays windowless.
  EXPECT_EQ(SkinManager()->FindSkinData(main_->Handle()), mainData);
  EXPECT_FALSE(windowless->HandleAllocated());
  // Once its form has a window, that window is the component's.
  EXPECT_EQ(SkinManager()->FindSkinData(windowless->Handle()), own);
}

TEST_F(SkinManagerTest, TheHookPassesEveryCodeOn) {
  TCodeRecorder recorder;
  ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  ASSERT_TRUE(SkinManager()->ManagerActive);
  main_->Show();
  HWND popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_CAPTION, 10, 10, 80, 60, nullptr, nullptr, nullptr,
                               nullptr);
  ShowWindow(popup, SW_SHOW);
  SetActiveWindow(popup);
  DestroyWindow(popup);
  auto seen = [&](int code, HWND wnd) {
    return std::find(recorder.codes.begin(), recorder.codes.end(), std::make_pair(code, wnd)) != recorder.codes.end();
  };
  EXPECT_TRUE(seen(HCBT_ACTIVATE, main_->Handle()));
  EXPECT_TRUE(seen(HCBT_CREATEWND, popup));
  EXPECT_TRUE(seen(HCBT_ACTIVATE, popup));
  EXPECT_TRUE(seen(HCBT_DESTROYWND, popup));
  EXPECT_TRUE(IsSkinned(main_->Handle()));
}

// A request that finds nothing pending at its tick stops the timer: an idle program is not woken four
// times a second for nothing.
TEST_F(SkinManagerTest, ATickWithNothingPendingStopsTheTimer) {
  ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  skin::TSkinManage* manager = SkinManager();
  ASSERT_TRUE(manager);
  ASSERT_TRUE(hktest::PumpUntil([&] { return manager->PendingData == nullptr && !manager->ActionTimerRunning(); }));
  manager->HookState = 1;
  manager->RequestAction(skin::kActionRefresh, 10);
  ASSERT_TRUE(manager->ActionTimerRunning());
  EXPECT_TRUE(hktest::PumpUntil([&] { return !manager->ActionTimerRunning(); }, 2000));
}

// An OnSkinChanged handler may free the last component, and the manager with it, inside the manager's
// own tick: the tick must not write into the freed manager afterwards. While the tick runs, freed blocks
// are kept filled with a pattern (Quarantine, below), so a later write shows in the manager's block.
TEST_F(SkinManagerTest, AHandlerThatFreesTheLastComponentLeavesTheFreedManagerUntouched) {
  TSkinData* data = ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  main_->Show();
  skin::TSkinManage* manager = SkinManager();
  ASSERT_TRUE(hktest::PumpUntil([&] { return manager->PendingData == nullptr && !manager->ActionTimerRunning(); }));
  bool ran = false;
  // The handler goes with its component: what it needs afterwards is copied out first.
  data->OnSkinChanged = [at = &ran](cl::TObject* sender) {
    bool* done = at;
    delete sender;
    *done = true;
  };
  manager->PendingData = data;
  manager->RequestAction(skin::kActionRefresh, 10);
  {
    const TQuarantine quarantine;
    ASSERT_TRUE(hktest::PumpUntil([&] { return ran; }));
    EXPECT_EQ(SkinManager(), nullptr);
    ASSERT_TRUE(quarantine.Holds(manager));
    EXPECT_TRUE(quarantine.Untouched(manager, sizeof(skin::TSkinManage)));
  }
}

// A window of another thread cannot be subclassed: the manager leaves it alone instead of raising (which
// inside the activation hook showed a message box that kept the program from ending).
TEST_F(SkinManagerTest, AWindowOfAnotherThreadIsLeftAlone) {
  ReadSkinForm(skintest::FormWithSkin(skintest::FlatPackage()));
  skin::TSkinManage* manager = SkinManager();
  ASSERT_TRUE(manager);
  manager->ManagerActive = true;
  HWND other = nullptr;
  const cl::TKernelHandle made(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const cl::TKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread owner([&] {
    other = CreateWindowExW(0, L"STATIC", L"other thread", WS_POPUP | WS_VISIBLE, 10, 10, 120, 60, nullptr, nullptr,
                            nullptr, nullptr);
    SetEvent(made.Get());
    const HANDLE waits[] = {done.Get()};
    while (MsgWaitForMultipleObjects(1, waits, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    DestroyWindow(other);
  });
  WaitForSingleObject(made.Get(), 5000);
  ASSERT_TRUE(other);
  EXPECT_FALSE(manager->SkinWindow(other));
  EXPECT_EQ(manager->FindSkinForm(other), nullptr);
  SetEvent(done.Get());
  owner.join();
}

}  // namespace
