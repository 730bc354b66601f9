// Skinned scroll bars: the overlays lie exactly over the native bars, show the skin's arrows, track and
// thumb, hand presses to the real bar, and go exactly once; size grips are painted, other bare bars not.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "SkinScrollbarFixture.h"
#include "MessageChain.h"
#include "StdCtrls.h"

namespace {

using namespace scrolltest;

// A check box of another vendor that takes a strip of nine glyphs.
class TVendorCheck : public cl::TCheckBox {
  CL_CLASS(TVendorCheck, cl::TCheckBox)
  explicit TVendorCheck(cl::TComponent* owner) : TCheckBox(owner) {}
  cl::TBitmap* CustomGlyphs() const { return glyphs_.get(); }
  void SetCustomGlyphs(cl::TBitmap* value) { glyphs_->Assign(value); }
  int TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(int value) { transparentColor_ = value; }
  bool UseCustomGlyphs() const { return useGlyphs_; }
  void SetUseCustomGlyphs(bool value) {
    useGlyphs_ = value;
    if (value) ++reloads;
  }
  int reloads = 0;

 private:
  std::unique_ptr<cl::TBitmap> glyphs_ = std::make_unique<cl::TBitmap>();
  int transparentColor_ = 0;
  bool useGlyphs_ = false;
};

}  // namespace

CL_BEGIN_CLASS(TVendorCheck)
    .Object("CustomGlyphs", &TVendorCheck::CustomGlyphs, &TVendorCheck::SetCustomGlyphs)
    .Int("TransparentColor", &TVendorCheck::TransparentColor, &TVendorCheck::SetTransparentColor, 0)
    .Bool("UseCustomGlyphs", &TVendorCheck::UseCustomGlyphs, &TVendorCheck::SetUseCustomGlyphs, false)
CL_END_CLASS

namespace {

class SkinScrollbarTest : public ScrollSkinTest {
 protected:
  cl::TMemo* NewMemo(cl::TScrollStyle bars) {
    auto* memo = new cl::TMemo(form_);
    memo->SetParent(form_);
    memo->SetBounds(10, 10, 200, 150);
    memo->SetScrollBars(bars);
    std::string text;
    for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\r\n";
    memo->SetText(text);
    return memo;
  }
  skin::TSkinScrollbar* Skin(cl::TMemo* memo) {
    auto* painter = new skin::TSkinScrollbar(memo);
    painter->AttachScrollbars(memo, data_, nullptr);
    PaintNow(form_->Handle());
    return painter;
  }
  // Paints the overlay now and reads its pixel at (across, along) of the bar.
  static COLORREF BarPixel(skin::TWScrollbar* bar, int across, int along) {
    PaintNow(bar->Handle());
    return bar->Kind() == skin::kVertBar ? Pixel(bar->Handle(), across, along) : Pixel(bar->Handle(), along, across);
  }
  static int Length(skin::TWScrollbar* bar) {
    const RECT r = ScreenRect(bar->Handle());
    return bar->Kind() == skin::kVertBar ? r.bottom - r.top : r.right - r.left;
  }
};

TEST_F(SkinScrollbarTest, OverlaysLieExactlyOverTheMemosBarsAsSiblingsAboveIt) {
  cl::TMemo* memo = NewMemo(cl::ssBoth);
  skin::TSkinScrollbar* painter = Skin(memo);
  const HWND wnd = memo->Handle();
  ASSERT_NE(painter->VertBar(), nullptr);
  ASSERT_NE(painter->HorzBar(), nullptr);
  EXPECT_TRUE(painter->VertBar()->BarVisible());
  EXPECT_TRUE(painter->HorzBar()->BarVisible());
  EXPECT_TRUE(SameRect(ScreenRect(painter->VertBar()->Handle()), BarRect(wnd, OBJID_VSCROLL)));
  EXPECT_TRUE(SameRect(ScreenRect(painter->HorzBar()->Handle()), BarRect(wnd, OBJID_HSCROLL)));
  EXPECT_EQ(GetParent(painter->VertBar()->Handle()), form_->Handle());
  // Both overlays come before the memo in the Z order.
  const HWND above = GetWindow(wnd, GW_HWNDPREV);
  EXPECT_TRUE(above == painter->VertBar()->Handle() || above == painter->HorzBar()->Handle());
  // The square between the bars wears the skin's face.
  const RECT v = BarRect(wnd, OBJID_VSCROLL), h = BarRect(wnd, OBJID_HSCROLL), w = ScreenRect(wnd);
  PaintNow(wnd);
  EXPECT_EQ(WindowPixel(wnd, v.left - w.left + 2, h.top - w.top + 2), kFace);
}

TEST_F(SkinScrollbarTest, ArrowsTrackAndThumbComeFromTheSkinsStrips) {
  skin::TSkinScrollbar* painter = Skin(NewMemo(cl::ssVertical));
  skin::TWScrollbar* bar = painter->VertBar();
  const int a = ArrowSize(), length = Length(bar), mid = a / 2;
  EXPECT_EQ(BarPixel(bar, mid, mid), ArrowColour(9));
  EXPECT_EQ(BarPixel(bar, mid, length - mid - 1), ArrowColour(13));
  ASSERT_GT(bar->ThumbEnd(), bar->ThumbStart());
  EXPECT_EQ(bar->ThumbStart(), a);  // at the top of a memo shown from its first line
  EXPECT_EQ(BarPixel(bar, mid, (bar->ThumbStart() + bar->ThumbEnd()) / 2), VertThumbColour(1));
  EXPECT_EQ(BarPixel(bar, mid, (bar->ThumbEnd() + length - a) / 2), VertTrackColour(1));
}

TEST_F(SkinScrollbarTest, AHorizontalBarUsesTheHorizontalStrips) {
  skin::TSkinScrollbar* painter = Skin(NewMemo(cl::ssBoth));
  skin::TWScrollbar* bar = painter->HorzBar();
  const int a = ArrowSize(), length = Length(bar), mid = a / 2;
  EXPECT_EQ(BarPixel(bar, mid, mid), ArrowColour(1));
  EXPECT_EQ(BarPixel(bar, mid, length - mid - 1), ArrowColour(5));
}

TEST_F(SkinScrollbarTest, APressOnTheDownArrowScrollsTheMemoOneLine) {
  cl::TMemo* memo = NewMemo(cl::ssVertical);
  skin::TSkinScrollbar* painter = Skin(memo);
  skin::TWScrollbar* bar = painter->VertBar();
  const HWND wnd = memo->Handle();
  ASSERT_EQ(SendMessageW(wnd, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  const int a = ArrowSize(), length = Length(bar);
  // The release waits in the queue for the system's tracking loop, in the memo's client coordinates.
  const RECT barRect = bar->BarRect();
  const int x = (barRect.left + barRect.right) / 2, y = barRect.bottom - a / 2;
  PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a / 2, length - a / 2));
  EXPECT_EQ(SendMessageW(wnd, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
  EXPECT_FALSE(bar->IsPressed());
  EXPECT_EQ(bar->ScrollPart(), SB_ENDSCROLL);
  EXPECT_EQ(GetCapture(), nullptr);
}

// Uses the real cursor: the drawn thumb follows it while the system tracks the real one.
TEST_F(SkinScrollbarTest, DraggingTheThumbMovesTheDrawnThumbWithTheCursorBetweenTheArrows) {
  cl::TMemo* memo = NewMemo(cl::ssVertical);
  skin::TWScrollbar* bar = Skin(memo)->VertBar();
  const HWND wnd = memo->Handle();
  const int a = ArrowSize(), length = Length(bar), mid = a / 2;
  PaintNow(bar->Handle());
  const int size = bar->ThumbEnd() - bar->ThumbStart();
  ASSERT_GT(size, 0);
  const int grab = bar->ThumbStart() + size / 2;
  // What the overlay shows whenever the memo hears the thumb being tracked.
  std::vector<int> starts;
  std::vector<COLORREF> colours;
  cl::TMessageLink watch(memo->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    next(m);
    if (m.Msg != WM_VSCROLL || LOWORD(m.WParam) != SB_THUMBTRACK) return;
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    starts.push_back(bar->ThumbStart());
    colours.push_back(Pixel(bar->Handle(), mid, bar->ThumbStart() + 1));
  });
  const RECT screen = ScreenRect(bar->Handle());
  const RECT barRect = bar->BarRect();
  const auto drag = [&](int moved) {
    starts.clear();
    colours.clear();
    SetCursorPos(screen.left + mid, screen.top + grab + moved);
    const LPARAM to = MAKELPARAM(barRect.left + mid, barRect.top + grab + moved);
    PostMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, to);
    PostMessageW(wnd, WM_LBUTTONUP, 0, to);
    SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(mid, grab));
  };
  const int top = bar->ThumbStart();
  drag(30);
  ASSERT_FALSE(starts.empty());
  EXPECT_EQ(starts.back(), top + 30);
  EXPECT_EQ(colours.back(), VertThumbColour(2));  // the pressed thumb
  EXPECT_GT(SendMessageW(wnd, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  // Far below the bar: held above the lower arrow.
  SendMessageW(wnd, WM_VSCROLL, SB_TOP, 0);
  PaintNow(bar->Handle());
  drag(length * 2);
  ASSERT_FALSE(starts.empty());
  EXPECT_EQ(starts.back(), length - a - size);
}

TEST_F(SkinScrollbarTest, ADisabledBarShowsTrackFrameThreeAndNoThumb) {
  cl::TMemo* memo = NewMemo(cl::ssVertical);
  skin::TWScrollbar* bar = Skin(memo)->VertBar();
  const int a = ArrowSize(), mid = a / 2;
  const int thumbMiddle = (bar->ThumbStart() + bar->ThumbEnd()) / 2;
  // Nothing left to scroll, the bar kept: the system shows it disabled.
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
  SetScrollInfo(memo->Handle(), SB_VERT, &si, TRUE);
  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetScrollBarInfo(memo->Handle(), OBJID_VSCROLL, &info));
  ASSERT_EQ(info.rgstate[0] & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE), STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(BarPixel(bar, mid, thumbMiddle), VertTrackColour(3));
  EXPECT_EQ(BarPixel(bar, mid, mid), ArrowColour(9));
}

// A bar shorter than two arrows gets two arrows of half its length each and no track between them.
TEST_F(SkinScrollbarTest, ATwentyPixelBarGetsTwoTenPixelArrowsAndNoTrack) {
  const int a = ArrowSize();
  ASSERT_GT(a, 10);
  cl::TMemo* memo = NewMemo(cl::ssVertical);
  const auto length = [&] {
    const RECT r = BarRect(memo->Handle(), OBJID_VSCROLL);
    return static_cast<int>(r.bottom - r.top);
  };
  memo->SetHeight(memo->Height() + 20 - length());
  ASSERT_EQ(length(), 20);
  skin::TWScrollbar* bar = Skin(memo)->VertBar();
  const int mid = a / 2;
  for (int along : {0, 5, 9}) EXPECT_EQ(BarPixel(bar, mid, along), ArrowColour(9)) << along;
  for (int along : {10, 14, 19}) EXPECT_EQ(BarPixel(bar, mid, along), ArrowColour(13)) << along;
}

// While the system tracks a press on an arrow, the overlay shows that arrow's pressed frame.
TEST_F(SkinScrollbarTest, APressedArrowShowsItsPressedFrame) {
  cl::TMemo* memo = NewMemo(cl::ssVertical);
  skin::TWScrollbar* bar = Skin(memo)->VertBar();
  const HWND wnd = memo->Handle();
  const int a = ArrowSize(), length = Length(bar), mid = a / 2;
  SendMessageW(wnd, WM_VSCROLL, SB_LINEDOWN, 0);  // room to scroll up as well
  std::vector<COLORREF> seen;
  int along = 0;
  const cl::TMessageLink probe(memo->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    next(m);
    if (m.Msg == WM_VSCROLL && (LOWORD(m.WParam) == SB_LINEUP || LOWORD(m.WParam) == SB_LINEDOWN) && seen.empty())
      seen.push_back(BarPixel(bar, mid, along));
  });
  const RECT barRect = bar->BarRect();
  const int x = (barRect.left + barRect.right) / 2;
  struct TCase {
    int along, clientY;
    COLORREF pressed, normal;
  };
  for (const TCase& c : {TCase{length - mid - 1, static_cast<int>(barRect.bottom) - mid, ArrowColour(14), ArrowColour(13)},
                         TCase{mid, static_cast<int>(barRect.top) + mid, ArrowColour(10), ArrowColour(9)}}) {
    seen.clear();
    along = c.along;
    PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, c.clientY));
    SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(mid, c.along));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], c.pressed);
    EXPECT_EQ(BarPixel(bar, mid, c.along), c.normal) << "released";
  }
}

TEST_F(SkinScrollbarTest, ABarShownLaterGetsItsOverlayAtTheNextFramePaint) {
  cl::TMemo* memo = NewMemo(cl::ssVertical);
  memo->SetText("one line");
  skin::TSkinScrollbar* painter = Skin(memo);
  const HWND wnd = memo->Handle();
  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetScrollBarInfo(wnd, OBJID_VSCROLL, &info));
  EXPECT_EQ(painter->VertBar()->BarVisible(), (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) == 0);
  EXPECT_EQ(IsWindowVisible(painter->VertBar()->Handle()) != FALSE, painter->VertBar()->BarVisible());
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\r\n";
  memo->SetText(text);
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(painter->VertBar()->BarVisible());
  EXPECT_TRUE(IsWindowVisible(painter->VertBar()->Handle()));
  EXPECT_TRUE(SameRect(ScreenRect(painter->VertBar()->Handle()), BarRect(wnd, OBJID_VSCROLL)));
}

TEST_F(SkinScrollbarTest, AHiddenMemoHidesItsOverlays) {
  cl::TMemo* memo = NewMemo(cl::ssVertical);
  skin::TSkinScrollbar* painter = Skin(memo);
  memo->Hide();
  EXPECT_FALSE(IsWindowVisible(painter->VertBar()->Handle()));
  EXPECT_FALSE(painter->VertBar()->BarVisible());
}

// The overlays have one owner: given back with the colours or freed with the painter, never both.
TEST_F(SkinScrollbarTest, OverlaysGoOnceWhenThePainterGivesUpAndThenGoes) {
  cl::TMemo* memo = NewMemo(cl::ssBoth);
  skin::TSkinScrollbar* painter = Skin(memo);
  EXPECT_EQ(Overlays(form_->Handle()).size(), 2u);
  painter->RestoreColor();
  EXPECT_EQ(Overlays(form_->Handle()).size(), 0u);
  EXPECT_EQ(painter->VertBar(), nullptr);
  delete painter;
  EXPECT_EQ(Overlays(form_->Handle()).size(), 0u);
  delete memo;
  EXPECT_EQ(form_->ControlCount(), 0);
}

TEST_F(SkinScrollbarTest, OverlaysGoWithThePainterAndThenTheMemoGoesAlone) {
  cl::TMemo* memo = NewMemo(cl::ssBoth);
  delete Skin(memo);
  EXPECT_EQ(Overlays(form_->Handle()).size(), 0u);
  delete memo;
  EXPECT_EQ(Overlays(form_->Handle()).size(), 0u);
}

TEST_F(SkinScrollbarTest, AMemosWindowGoneKeepsTheOverlaysUntilThePainterGoesWithTheMemo) {
  cl::TMemo* memo = NewMemo(cl::ssBoth);
  skin::TSkinScrollbar* painter = Skin(memo);
  DestroyWindow(memo->Handle());
  EXPECT_EQ(painter->State(), skin::kPainterDestroyed);
  EXPECT_EQ(Overlays(form_->Handle()).size(), 2u);
  delete memo;  // the painter, owned by the memo, goes with it
  EXPECT_EQ(Overlays(form_->Handle()).size(), 0u);
}

// ---------------------------------------------------------------------------------------------------------
// Check glyphs handed to another vendor's check box.

TEST_F(SkinScrollbarTest, AVendorsCheckBoxGetsTheNineGlyphCellsFromTheCheckImage) {
  auto* check = new TVendorCheck(form_);
  check->SetParent(form_);
  check->SetColor(0x123456);
  const int links = check->WindowProc.LinkCount();
  auto* painter = new skin::TSkinObjImage(check);
  painter->SetCheckGlyphs(true);
  painter->Attach(nullptr, data_, true);
  // Only the glyphs: the control's messages and colour stay its own.
  EXPECT_EQ(check->WindowProc.LinkCount(), links);
  EXPECT_EQ(check->Color(), cl::TColor{0x123456});
  EXPECT_EQ(painter->State(), skin::kPainterAttached);
  cl::TBitmap* glyphs = check->CustomGlyphs();
  ASSERT_EQ(glyphs->Width(), 9 * kCheckSize);
  ASSERT_EQ(glyphs->Height(), kCheckSize);
  // Cells 1..9 from frames 1 2 5 1 2 5 3 4 5 of a five-frame image.
  const int frames[9] = {1, 2, 5, 1, 2, 5, 3, 4, 5};
  const HDC dc = glyphs->Canvas()->Handle();
  for (int cell = 0; cell < 9; ++cell)
    EXPECT_EQ(GetPixel(dc, cell * kCheckSize + 6, 6), CheckColour(frames[cell])) << "cell " << cell + 1;
  EXPECT_EQ(check->TransparentColor(), 0xFF00FF);
  EXPECT_TRUE(check->UseCustomGlyphs());
  EXPECT_EQ(check->reloads, 1);
  painter->Attach(nullptr, data_, true);  // once only
  EXPECT_EQ(check->reloads, 1);
  painter->ApplySkinColor();
  EXPECT_EQ(check->reloads, 2);
  EXPECT_EQ(check->Color(), cl::TColor{0x123456});
  painter->RestoreColor();
  EXPECT_FALSE(check->UseCustomGlyphs());
  EXPECT_EQ(check->Color(), cl::TColor{0x123456});
}

// Only a five-frame image fills cells 3, 6 and 9; a longer one gives its first four frames only.
TEST_F(SkinScrollbarTest, WithFourOrSixCheckFramesTheThirdSixthAndNinthCellsStayEmpty) {
  for (const int frames : {4, 6}) {
    SCOPED_TRACE(frames);
    data_->Buttons.CheckButtonFrame = frames;
    auto* check = new TVendorCheck(form_);
    check->SetParent(form_);
    auto* painter = new skin::TSkinObjImage(check);
    painter->SetCheckGlyphs(true);
    painter->Attach(nullptr, data_, true);
    const int w = 5 * kCheckSize / frames;
    cl::TBitmap* glyphs = check->CustomGlyphs();
    ASSERT_EQ(glyphs->Width(), 9 * w);
    const HDC dc = glyphs->Canvas()->Handle();
    for (int cell : {3, 6, 9}) EXPECT_EQ(GetPixel(dc, (cell - 1) * w + w / 2, 6), RGB(255, 255, 255)) << cell;
    EXPECT_EQ(GetPixel(dc, w / 2, 6), CheckColour(1));
    delete check;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Bare scroll-bar controls.

class BareWindow {
 public:
  BareWindow(HWND parent, DWORD style, RECT r)
      : wnd_(CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  ~BareWindow() {
    if (IsWindow(wnd_)) DestroyWindow(wnd_);
  }
  BareWindow(const BareWindow&) = delete;
  BareWindow& operator=(const BareWindow&) = delete;
  HWND Get() const noexcept { return wnd_; }

 private:
  HWND wnd_;
};

TEST_F(SkinScrollbarTest, ABareListGetsOverlaysThatFollowItsBarAndHideWithIt) {
  const HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER, 220, 10, 150,
                                    120, form_->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  for (int i = 0; i < 50; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
  auto* painter = new skin::TSkinScrollbarH(form_);
  painter->AttachHandle(list, data_, nullptr);
  RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_TRUE(painter->VertBar()->BarVisible());
  EXPECT_TRUE(SameRect(ScreenRect(painter->VertBar()->Handle()), BarRect(list, OBJID_VSCROLL)));
  EXPECT_EQ(BarPixel(painter->VertBar(), ArrowSize() / 2, ArrowSize() / 2), ArrowColour(9));
  // Resized: the overlay follows.
  SetWindowPos(list, nullptr, 0, 0, 150, 90, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(SameRect(ScreenRect(painter->VertBar()->Handle()), BarRect(list, OBJID_VSCROLL)));
  ShowWindow(list, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(painter->VertBar()->Handle()));
  delete painter;
  EXPECT_EQ(Overlays(form_->Handle()).size(), 0u);
  DestroyWindow(list);
}

TEST_F(SkinScrollbarTest, ADialogPageInsideADialogIsErasedInTheFaceColour) {
  const HWND page = CreateWindowExW(0, L"#32770", L"", WS_CHILD | WS_VISIBLE, 220, 150, 120, 80, form_->Handle(),
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(page, nullptr);
  PaintNow(page);
  EXPECT_NE(Pixel(page, 60, 40), kFace);
  (new skin::TSkinBoxH(form_))->AttachHandle(page, data_, nullptr);
  PaintNow(page);
  EXPECT_EQ(Pixel(page, 60, 40), kFace);
  EXPECT_EQ(Pixel(page, 119, 79), kFace);
  DestroyWindow(page);
}

TEST_F(SkinScrollbarTest, ASizeGripIsPaintedInTheFaceColourAndAPlainBareBarIsLeftAlone) {
  const BareWindow grip(form_->Handle(), SBS_SIZEGRIP, RECT{300, 200, 320, 220});
  const BareWindow plain(form_->Handle(), SBS_VERT, RECT{340, 10, 340 + ArrowSize(), 200});
  ASSERT_NE(grip.Get(), nullptr);
  ASSERT_NE(plain.Get(), nullptr);
  EXPECT_TRUE(skin::TSkinSizer::IsSizeGrip(grip.Get()));
  EXPECT_FALSE(skin::TSkinSizer::IsSizeGrip(plain.Get()));
  PaintNow(plain.Get());
  const COLORREF before = Pixel(plain.Get(), ArrowSize() / 2, 95);
  for (HWND wnd : {grip.Get(), plain.Get()}) (new skin::TSkinSizer(form_))->AttachHandle(wnd, data_, nullptr);
  PaintNow(grip.Get());
  PaintNow(plain.Get());
  EXPECT_EQ(Pixel(grip.Get(), 10, 10), kFace);
  EXPECT_EQ(Pixel(grip.Get(), 18, 18), kFace);
  EXPECT_EQ(Pixel(plain.Get(), ArrowSize() / 2, 95), before);
  EXPECT_NE(Pixel(plain.Get(), ArrowSize() / 2, 95), kFace);
}

}  // namespace
