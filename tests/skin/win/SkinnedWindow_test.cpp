// A form skinned through the manager wears the skin: the flat-colour package of the frame tests on a real
// form, its frame, buttons, region and hit test, its buttons clicked the way the system delivers a click,
// a message box skinned as a dialog, the windows the rules leave alone, and unskinning.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "DeviceContext.h"
#include "FormsTestSupport.h"
#include "MessageLoop.h"
#include "NCFrameFixture.h"
#include "PaintSurface.h"
#include "SkinTestForms.h"
#include "TestSupport.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace {

using formstest::AppTest;
using skin::SkinManager;
using skin::TSkinData;
using skintest::TfrmSkinTest;
using namespace ncframe;

bool IsSkinned(HWND wnd) { return SendMessageW(wnd, skin::kSkinMsgIsSkinned, 0, 0) == 1; }

SIZE ClientSize(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

SIZE WindowSize(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// The whole window, frame included, after a full repaint with an inactive caption: whether the window
// is active depends on which process the desktop last gave the foreground to, so it is not left to that.
std::vector<COLORREF> Capture(HWND wnd) {
  SendMessageW(wnd, WM_NCACTIVATE, FALSE, 0);
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const SIZE size = WindowSize(wnd);
  hktest::PaintSurface surface(size.cx, size.cy);
  const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
  BitBlt(surface.DC(), 0, 0, size.cx, size.cy, dc.Get(), 0, 0, SRCCOPY);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x) pixels.push_back(surface.Pixel(x, y));
  return pixels;
}

COLORREF PixelOf(HWND wnd, int x, int y) {
  const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
  return GetPixel(dc.Get(), x, y);
}

class SkinnedWindowTest : public skintest::SkinFormsTest {
 protected:
  TfrmSkinTest* NewTestForm(int tag = 0) { return NewSizedForm(tag, 360, 260); }
  TSkinData* ReadSkinForm(bool active = true) {
    TfrmSkinTest* form = NewTestForm();
    cl::ReadRootComponent(form, skintest::FormWithSkin(Package(), "sfMainform",
                                                       "[xcMainMenu, xcPopupMenu, xcSystemMenu]", active));
    main_ = form;
    return cl::ComponentAs<TSkinData>(form, "SkinData1");
  }
  // The main form shown, skinned and its frame fitted.
  skin::TWinSkinForm* ShowSkinned() {
    clientBefore_ = ClientSize(main_->Handle());
    main_->Show();
    skin::TWinSkinForm* skinned = SkinManager()->FindSkinForm(main_->Handle());
    EXPECT_NE(skinned, nullptr);
    if (!skinned) return nullptr;
    EXPECT_TRUE(hktest::PumpUntil([&] { return skinned->ControlsSkinned(); }));
    return skinned;
  }
  static skin::TWinSysButton* Button(skin::TWinSkinForm& f, const char* name) {
    for (auto& b : f.FrameState().SysButtons)
      if (b->Data->Name == name) return b.get();
    ADD_FAILURE() << "no button " << name;
    return nullptr;
  }
  // Screen coordinates of a frame point of the main form.
  LPARAM At(int x, int y) const {
    RECT r{};
    GetWindowRect(main_->Handle(), &r);
    return MAKELPARAM(r.left + x, r.top + y);
  }
  static POINT Centre(const skin::TWinSysButton& b) {
    return {(b.Rect.left + b.Rect.right) / 2, (b.Rect.top + b.Rect.bottom) / 2};
  }
  // A click as the system delivers it: the move that makes the button hot, the press and the release.
  void Click(const skin::TWinSysButton& b) {
    const HWND wnd = main_->Handle();
    const POINT c = Centre(b);
    const LPARAM at = At(c.x, c.y);
    const WPARAM hit = static_cast<WPARAM>(SendMessageW(wnd, WM_NCHITTEST, 0, at));
    SendMessageW(wnd, WM_NCMOUSEMOVE, hit, at);
    SendMessageW(wnd, WM_NCLBUTTONDOWN, hit, at);
    SendMessageW(wnd, WM_NCLBUTTONUP, hit, at);
  }
  static void WriteFile(const std::string& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  // A new skin file read: the window drops its buttons at once and, after the refresh, has as many made
  // from the new skin's data.
  static void LoadSkinFile(TSkinData& data, const std::string& file, const skin::TWinSkinForm& skinned,
                           size_t count) {
    int changed = 0;
    data.OnSkinChanged = [&](cl::TObject*) { ++changed; };
    data.SetSkinFile(file);
    EXPECT_TRUE(skinned.FrameState().SysButtons.empty());
    ASSERT_TRUE(hktest::PumpUntil([&] { return changed == 1; }));
    data.OnSkinChanged = nullptr;
    ASSERT_EQ(skinned.FrameState().SysButtons.size(), count);
    for (auto& b : skinned.FrameState().SysButtons) {
      bool fromNewSkin = false;
      for (auto& d : data.SysButtons) fromNewSkin = fromNewSkin || b->Data == d.get();
      EXPECT_TRUE(fromNewSkin);
    }
  }
  SIZE clientBefore_{};
};

TEST_F(SkinnedWindowTest, TheFormWearsTheSkinsFrameAroundItsOwnClientArea) {
  ReadSkinForm();
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  const HWND wnd = main_->Handle();
  EXPECT_TRUE(IsSkinned(wnd));
  // The hot-track timer runs only while the cursor is over the active frame: a move there starts it, and
  // its tick stops it once the cursor has left; an inactive frame has it stopped.
  SendMessageW(wnd, WM_NCACTIVATE, TRUE, 0);
  EXPECT_FALSE(skinned->HotTracking());
  RECT frame{};
  GetWindowRect(wnd, &frame);
  const LPARAM onCaption = MAKELPARAM(frame.left + 5, frame.top + 3);
  SendMessageW(wnd, WM_NCMOUSEMOVE, SendMessageW(wnd, WM_NCHITTEST, 0, onCaption), onCaption);
  EXPECT_TRUE(skinned->HotTracking());
  SetCursorPos(frame.right + 50, frame.bottom + 50);
  EXPECT_TRUE(hktest::PumpUntil([&] { return !skinned->HotTracking(); }, 3000));
  SendMessageW(wnd, WM_NCMOUSEMOVE, SendMessageW(wnd, WM_NCHITTEST, 0, onCaption), onCaption);
  SendMessageW(wnd, WM_NCACTIVATE, FALSE, 0);
  EXPECT_FALSE(skinned->HotTracking());
  SendMessageW(wnd, WM_NCACTIVATE, TRUE, 0);
  // An owned window keeps its caption style but not the system's buttons: the skin draws its own.
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_STYLE) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

  const SIZE client = ClientSize(wnd);
  EXPECT_EQ(client.cx, clientBefore_.cx);
  EXPECT_EQ(client.cy, clientBefore_.cy);
  const SIZE size = WindowSize(wnd);
  EXPECT_EQ(size.cx, client.cx + 2 * kSide);
  EXPECT_EQ(size.cy, client.cy + kTop + kBottom);

  for (int frame : {0, 1}) {
    SCOPED_TRACE(frame);
    SendMessageW(wnd, WM_NCACTIVATE, frame == 0, 0);
    EXPECT_EQ(PixelOf(wnd, 1, size.cy / 2), kLeft[frame]);
    EXPECT_EQ(PixelOf(wnd, size.cx - 2, size.cy / 2), kRight[frame]);
    EXPECT_EQ(PixelOf(wnd, size.cx / 2, 2), kTopColour[frame]);
    EXPECT_EQ(PixelOf(wnd, size.cx / 2, size.cy - 2), kBottomColour[frame]);
  }
  SendMessageW(wnd, WM_NCACTIVATE, TRUE, 0);

  // The right-aligned buttons sit their X coordinate left of the right edge, in their normal frame.
  struct ButtonCase {
    const char* name;
    int x;
    COLORREF colour;
  };
  for (const ButtonCase& c : {ButtonCase{"BUTTON.CLOSE", kCloseX, kClose[0]}, ButtonCase{"BUTTON.MAX", kMaxX, kMax[0]},
                              ButtonCase{"BUTTON.MIN", kMinX, kMin[0]}}) {
    SCOPED_TRACE(c.name);
    skin::TWinSysButton* b = Button(*skinned, c.name);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->Visible);
    EXPECT_EQ(b->Rect.left, size.cx - c.x);
    EXPECT_EQ(b->Rect.top, kButtonY);
    EXPECT_EQ(PixelOf(wnd, b->Rect.left + kButtonW / 2, kButtonY + kButtonH / 2), c.colour);
  }

  // The key-coloured corners of the top border are outside the region.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(wnd, region), ERROR);
  EXPECT_FALSE(PtInRegion(region, kSide, 0));
  EXPECT_FALSE(PtInRegion(region, kSide + 2, 2));
  EXPECT_FALSE(PtInRegion(region, size.cx - kSide - 1, 0));
  EXPECT_TRUE(PtInRegion(region, kSide + 3, 0));
  EXPECT_TRUE(PtInRegion(region, kSide, 3));
  EXPECT_TRUE(PtInRegion(region, size.cx / 2, size.cy / 2));
  EXPECT_TRUE(PtInRegion(region, size.cx - 1, size.cy - 1));
  DeleteObject(region);
}

TEST_F(SkinnedWindowTest, TheHitTestAnswersByTheSkinsFrame) {
  ReadSkinForm();
  ASSERT_NE(ShowSkinned(), nullptr);
  const HWND wnd = main_->Handle();
  const SIZE size = WindowSize(wnd);
  struct HitCase {
    int x, y;
    LRESULT hit;
  };
  const HitCase cases[] = {
      {size.cx / 2, kTop / 2, HTCAPTION},
      {1, size.cy / 2, HTLEFT},
      {size.cx - 2, size.cy / 2, HTRIGHT},
      {size.cx / 2, size.cy - 2, HTBOTTOM},
      {size.cx / 2, size.cy / 2, HTCLIENT},
      {kSide + 1, kTop + 1, HTCLIENT},
  };
  for (const HitCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, At(c.x, c.y)), c.hit);
  }
}

TEST_F(SkinnedWindowTest, AMoveShowsTheHotFrameAndTheButtonsActWhenClicked) {
  ReadSkinForm();
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  const HWND wnd = main_->Handle();
  SendMessageW(wnd, WM_NCACTIVATE, TRUE, 0);
  skin::TWinSysButton* close = Button(*skinned, "BUTTON.CLOSE");
  ASSERT_NE(close, nullptr);
  const POINT c = Centre(*close);
  SendMessageW(wnd, WM_NCMOUSEMOVE, HTCAPTION, At(c.x, c.y));
  EXPECT_EQ(skinned->FrameState().HotObject, close);
  EXPECT_EQ(PixelOf(wnd, c.x, c.y), kClose[2]);

  skin::TWinSysButton* max = Button(*skinned, "BUTTON.MAX");
  ASSERT_NE(max, nullptr);
  Click(*max);
  ASSERT_TRUE(hktest::PumpUntil([&] { return IsZoomed(wnd) != FALSE; }));
  EXPECT_EQ(skinned->WindowState(), skin::TWindowState::Maximized);

  // Maximised, the buttons have moved with the right edge.
  close = Button(*skinned, "BUTTON.CLOSE");
  ASSERT_NE(close, nullptr);
  Click(*close);
  ASSERT_TRUE(hktest::PumpUntil([&] { return !IsWindowVisible(wnd); }));
}

TEST_F(SkinnedWindowTest, ReleasingAwayFromThePressedButtonDoesNothing) {
  ReadSkinForm();
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  const HWND wnd = main_->Handle();
  SendMessageW(wnd, WM_NCACTIVATE, TRUE, 0);
  skin::TWinSysButton* close = Button(*skinned, "BUTTON.CLOSE");
  skin::TWinSysButton* min = Button(*skinned, "BUTTON.MIN");
  ASSERT_TRUE(close && min);
  const POINT c = Centre(*close), m = Centre(*min);
  SendMessageW(wnd, WM_NCMOUSEMOVE, HTCAPTION, At(c.x, c.y));
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTCAPTION, At(c.x, c.y));
  SendMessageW(wnd, WM_NCMOUSEMOVE, HTCAPTION, At(m.x, m.y));
  SendMessageW(wnd, WM_NCLBUTTONUP, HTCAPTION, At(m.x, m.y));
  hktest::PumpUntil([] { return true; });  // what the release posted, run
  EXPECT_TRUE(IsWindowVisible(wnd));
  EXPECT_FALSE(IsIconic(wnd));
}

TEST_F(SkinnedWindowTest, RefreshingRebuildsTheButtonsFromTheSkin) {
  TSkinData* data = ReadSkinForm();
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  const size_t count = skinned->FrameState().SysButtons.size();
  ASSERT_GT(count, 0u);
  // A hot button must not outlive the buttons: the hot-track timer would reach freed memory.
  SendMessageW(main_->Handle(), WM_NCACTIVATE, TRUE, 0);
  const POINT c = Centre(*Button(*skinned, "BUTTON.CLOSE"));
  SendMessageW(main_->Handle(), WM_NCMOUSEMOVE, HTCAPTION, At(c.x, c.y));
  ASSERT_NE(skinned->FrameState().HotObject, nullptr);
  skinned->ClearSysButtons();
  EXPECT_TRUE(skinned->FrameState().SysButtons.empty());
  EXPECT_EQ(skinned->FrameState().HotObject, nullptr);
  int changed = 0;
  data->OnSkinChanged = [&](cl::TObject*) { ++changed; };
  SkinManager()->PendingData = data;
  SkinManager()->RequestAction(skin::kActionRefresh, 10);
  ASSERT_TRUE(hktest::PumpUntil([&] { return changed == 1; }));
  data->OnSkinChanged = nullptr;
  EXPECT_EQ(skinned->FrameState().SysButtons.size(), count);
  EXPECT_EQ(skinned->SkinState(), skin::kSkinStateSkinned);
  EXPECT_EQ(ClientSize(main_->Handle()).cx, clientBefore_.cx);
  EXPECT_EQ(ClientSize(main_->Handle()).cy, clientBefore_.cy);
}

// A new skin file frees the old skin's button data: the windows drop their buttons at once, and the
// refresh that follows makes them from the new skin.
TEST_F(SkinnedWindowTest, ANewSkinFileDropsTheOldButtonsAndTheRefreshMakesNewOnes) {
  TSkinData* data = ReadSkinForm();
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  const size_t count = skinned->FrameState().SysButtons.size();
  testsupport::TempDir dir;
  const std::string file = dir.File("new.skn");
  WriteFile(file, Package());
  ASSERT_NO_FATAL_FAILURE(LoadSkinFile(*data, file, *skinned, count));
}

// A component for one form or for the dialogs reads a new skin file the same way: its windows must not
// keep buttons on the freed data, and they make them anew from the new skin, whose close button shows.
TEST_F(SkinnedWindowTest, ANewSkinFileOnAFormOrDialogComponentRebuildsItsWindowsButtons) {
  static constexpr COLORREF kNewClose[4] = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(11, 12, 13)};
  testsupport::TempDir dir;
  const std::string file = dir.File("new.skn");
  WriteFile(file, Package("", {}, kNewClose));
  for (const char* formtype : {"sfOnlyThisForm", "sfDialog"}) {
    SCOPED_TRACE(formtype);
    main_ = NewTestForm();
    cl::ReadRootComponent(main_, skintest::FormWithSkin(Package(), formtype));
    auto* data = cl::ComponentAs<TSkinData>(main_, "SkinData1");
    skin::TWinSkinForm* skinned = ShowSkinned();
    ASSERT_NE(skinned, nullptr);
    ASSERT_EQ(skinned->Data(), data);
    ASSERT_NO_FATAL_FAILURE(LoadSkinFile(*data, file, *skinned, skinned->FrameState().SysButtons.size()));
    SendMessageW(main_->Handle(), WM_NCACTIVATE, FALSE, 0);
    const POINT c = Centre(*Button(*skinned, "BUTTON.CLOSE"));
    EXPECT_EQ(PixelOf(main_->Handle(), c.x, c.y), kNewClose[3]);
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) delete *it;
    forms_.clear();
    ASSERT_EQ(SkinManager(), nullptr);
  }
}

TEST_F(SkinnedWindowTest, UnskinningGivesBackStyleSizeAndRegion) {
  TSkinData* data = ReadSkinForm();
  const HWND wnd = main_->Handle();
  const LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE) | WS_VISIBLE;
  const SIZE before = WindowSize(wnd);
  ASSERT_NE(ShowSkinned(), nullptr);
  ASSERT_NE(WindowSize(wnd).cy, before.cy);  // the skin's frame differs from the system's

  data->SetActive(false);
  ASSERT_TRUE(hktest::PumpUntil([&] { return SkinManager()->PendingData == nullptr; }));
  EXPECT_FALSE(IsSkinned(wnd));
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_STYLE), style);
  const SIZE after = WindowSize(wnd);
  EXPECT_EQ(after.cx, before.cx);
  EXPECT_EQ(after.cy, before.cy);
  EXPECT_EQ(ClientSize(wnd).cx, clientBefore_.cx);
  EXPECT_EQ(ClientSize(wnd).cy, clientBefore_.cy);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(wnd, probe), ERROR);
  DeleteObject(probe);
}

// A form the rules leave alone (Tag 99, or every form while the skin is inactive) looks exactly as it
// did with no skin anywhere.
TEST_F(SkinnedWindowTest, WindowsTheSkinLeavesAloneArePixelIdenticalToUnskinnedOnes) {
  for (const bool tag99 : {true, false}) {
    SCOPED_TRACE(tag99 ? "Tag 99" : "inactive skin");
    TfrmSkinTest* other = NewTestForm(tag99 ? 99 : 0);
    other->SetBounds(500, 400, 360, 260);  // clear of the main form: a covered part would not compare
    other->Show();
    const std::vector<COLORREF> plain = Capture(other->Handle());
    other->Hide();

    ReadSkinForm(/*active=*/tag99);
    main_->Show();
    if (tag99) ASSERT_TRUE(hktest::PumpUntil([&] { return SkinManager()->FindSkinForm(main_->Handle()) &&
                                                          SkinManager()->FindSkinForm(main_->Handle())->ControlsSkinned(); }));
    other->Show();
    EXPECT_FALSE(IsSkinned(other->Handle()));
    const std::vector<COLORREF> now = Capture(other->Handle());
    ASSERT_EQ(now.size(), plain.size());
    size_t differing = 0, first = 0;
    for (size_t i = now.size(); i-- > 0;)
      if (now[i] != plain[i]) ++differing, first = i;
    EXPECT_EQ(differing, 0u) << "first at " << first % WindowSize(other->Handle()).cx << ","
                             << first / WindowSize(other->Handle()).cx;

    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) delete *it;
    forms_.clear();
    ASSERT_EQ(SkinManager(), nullptr);
  }
}

// Stage 1 alone: without xcMainMenu the window keeps the system's frame, size, style and no region, and
// is skinned at once; a bare window gets its background and static colour from the skin's face.
TEST_F(SkinnedWindowTest, WithoutFrameSkinningOnlyTheCommonMessagesAreTheSkins) {
  TfrmSkinTest* form = NewTestForm();
  cl::ReadRootComponent(form, skintest::FormWithSkin(Package(), "sfMainform", "[xcPopupMenu]"));
  main_ = form;
  auto* data = cl::ComponentAs<TSkinData>(form, "SkinData1");
  const HWND wnd = form->Handle();
  const LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE) | WS_VISIBLE;
  const SIZE size = WindowSize(wnd);
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  EXPECT_FALSE(skinned->FrameSkinning());
  EXPECT_TRUE(IsSkinned(wnd));
  EXPECT_EQ(skinned->SkinState(), skin::kSkinStateSkinned);
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_STYLE), style);
  EXPECT_EQ(WindowSize(wnd).cx, size.cx);
  EXPECT_EQ(WindowSize(wnd).cy, size.cy);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(wnd, probe), ERROR);
  DeleteObject(probe);
  const int captionY = GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, At(size.cx / 2, captionY)), HTCAPTION);  // the system's caption

  HWND bare = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_CAPTION, 500, 400, 120, 80, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_TRUE(SkinManager()->SkinWindow(bare));
  hktest::PaintSurface surface(20, 20);
  const RECT all{0, 0, 20, 20};
  const cl::TBrushHandle ground(CreateSolidBrush(RGB(1, 2, 3)));
  FillRect(surface.DC(), &all, ground.Get());
  EXPECT_EQ(SendMessageW(bare, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.DC()), 0), 1);
  EXPECT_EQ(surface.Pixel(10, 10), cl::ColorToRGB(data->Colors.ButtonFace));
  EXPECT_EQ(SendMessageW(bare, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(surface.DC()), 0),
            reinterpret_cast<LRESULT>(data->FaceBrush()));
  EXPECT_EQ(GetBkMode(surface.DC()), TRANSPARENT);
  DestroyWindow(bare);
}

// Stage 2: the skin's maximum track size for a sizeable window, and WM_SIZE reaching the form's own
// procedure twice (stage 2, then stage 3).
TEST_F(SkinnedWindowTest, TheFrameStageAnswersMinMaxInfoAndPassesEachSizeOnTwice) {
  ReadSkinForm();
  ASSERT_NE(ShowSkinned(), nullptr);
  const HWND wnd = main_->Handle();
  MINMAXINFO info{};
  SendMessageW(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMaxTrackSize.x, GetSystemMetrics(SM_CXMAXIMIZED));
  EXPECT_EQ(info.ptMaxTrackSize.y, GetSystemMetrics(SM_CYMAXIMIZED));
  // Restored, the (owned) window stays without the system's buttons.
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_STYLE) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

  int sizes = 0;
  const cl::TMessageLink counter(main_->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == WM_SIZE) ++sizes;
    next(m);
  });
  const SIZE before = WindowSize(wnd);
  SetWindowPos(wnd, nullptr, 0, 0, before.cx + 30, before.cy + 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(sizes, 2);
}

// Stage 3's own message 0x3502 paints the frame again, and 0x3401 on the form's path recolours the form.
TEST_F(SkinnedWindowTest, RepaintAndRecolourMessagesReachTheSkin) {
  TSkinData* data = ReadSkinForm();
  ASSERT_NE(ShowSkinned(), nullptr);
  const HWND wnd = main_->Handle();
  const SIZE size = WindowSize(wnd);
  SendMessageW(wnd, WM_NCACTIVATE, TRUE, 0);
  {
    const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
    const RECT top{0, 0, size.cx, kTop};
    FillRect(dc.Get(), &top, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  ASSERT_EQ(PixelOf(wnd, size.cx / 2, 2), RGB(0, 0, 0));
  SendMessageW(wnd, skin::kSkinMsgRepaintFrame, 0, 0);
  EXPECT_EQ(PixelOf(wnd, size.cx / 2, 2), kTopColour[0]);

  data->Colors.ButtonFace = 0x563412;
  SendMessageW(wnd, skin::kSkinMsgRecolor, 0, 0);
  EXPECT_EQ(main_->Color(), cl::TColor{0x563412});
}

// A window going: an Unskin while the skin is in state 4 (WM_NCDESTROY) leaves its size and colour.
TEST_F(SkinnedWindowTest, UnskinningWhileTheWindowGoesLeavesSizeAndColour) {
  TSkinData* data = ReadSkinForm();
  main_->SetColor(0x123456);
  skin::TWinSkinForm* skinned = ShowSkinned();
  ASSERT_NE(skinned, nullptr);
  const HWND wnd = main_->Handle();
  int state = -1;
  SIZE before{}, after{};
  cl::TColor colour = 0;
  const cl::TMessageLink link(main_->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == WM_NCDESTROY && state < 0) {
      state = skinned->SkinState();
      before = WindowSize(wnd);
      skinned->Unskin();
      after = WindowSize(wnd);
      colour = main_->Color();
    }
    next(m);
  });
  main_->DestroyHandle();
  EXPECT_EQ(state, skin::kSkinStateDestroying);
  EXPECT_EQ(after.cx, before.cx);
  EXPECT_EQ(after.cy, before.cy);
  EXPECT_EQ(colour, data->Colors.ButtonFace);
}

// A message box is skinned as a dialog, with the main component when there is no dialog component: its
// frame is the skin's once its frame is fitted.
TEST_F(SkinnedWindowTest, AMessageBoxWearsTheSkinAsADialog) {
  const TSkinData* mainData = ReadSkinForm();
  ASSERT_NE(ShowSkinned(), nullptr);
  constexpr UINT kCheck = WM_APP + 77;
  struct Seen {
    HWND box = nullptr;
    bool checked = false;
    skin::TBorderKind border = skin::TBorderKind::Sizeable;
    const TSkinData* data = nullptr;
    COLORREF left = 0, top = 0;
    SIZE client{}, size{};
  };
  static Seen seen;
  seen = {};
  // Posted messages pass this hook before they are dispatched: once the box's 0x3503 has been taken,
  // a check is queued behind it, and that check reads the box and closes it.
  HHOOK hook = SetWindowsHookExW(
      WH_GETMESSAGE,
      [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (code >= 0 && wParam == PM_REMOVE && skin::WindowClassName(msg->hwnd) == "#32770") {
          if (msg->message == skin::kSkinMsgSkinControls && !seen.box) {
            seen.box = msg->hwnd;
            PostMessageW(msg->hwnd, kCheck, 0, 0);
          } else if (msg->message == kCheck && msg->hwnd == seen.box && !seen.checked) {
            seen.checked = true;
            HWND box = seen.box;
            if (skin::TWinSkinForm* f = SkinManager()->FindSkinForm(box)) {
              seen.border = f->BorderKind();
              seen.data = f->Data();
            }
            SendMessageW(box, WM_NCACTIVATE, TRUE, 0);
            seen.size = WindowSize(box);
            seen.client = ClientSize(box);
            seen.left = PixelOf(box, 1, seen.size.cy / 2);
            seen.top = PixelOf(box, seen.size.cx / 2, 2);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
          }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
      },
      nullptr, GetCurrentThreadId());
  timers_.Timeout();
  MessageBoxW(main_->Handle(), L"Skinned?", L"Skin test", MB_OK);
  UnhookWindowsHookEx(hook);
  ASSERT_TRUE(seen.checked);
  EXPECT_EQ(seen.border, skin::TBorderKind::Dialog);
  EXPECT_EQ(seen.data, mainData) << "no dialog component: the main one";
  EXPECT_EQ(seen.left, kLeft[0]);
  EXPECT_EQ(seen.top, kTopColour[0]);
  EXPECT_EQ(seen.size.cx, seen.client.cx + 2 * kSide);
  EXPECT_EQ(seen.size.cy, seen.client.cy + kTop + kBottom);
}

}  // namespace
