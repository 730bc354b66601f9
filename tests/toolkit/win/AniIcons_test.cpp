#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FormsTestSupport.h"
#include "Colors.h"
#include "DeviceContext.h"
#include "FormReader.h"
#include "Graphics.h"
#include "KernelHandle.h"
#include "MessageLoop.h"
#include "SaAniIcons.h"
#include "SaAniPlay.h"
#include "SaTmrPool.h"
#include "TestSupport.h"

namespace {

using toolkit::TSaAnimatedIconPlayer;
using toolkit::TSaAnimatedIcons;
using toolkit::TSaTimerPool;

// A component that records the pool's ticks; `onTick` may act inside the tick.
class TTickSink : public cl::TComponent {
  CL_PLAIN_CLASS(TTickSink, cl::TComponent)
  explicit TTickSink(cl::TComponent* owner) : cl::TComponent(owner) {}
  ~TTickSink() override { Freed().push_back(this); }
  void Dispatch(cl::TMessage& m) override {
    if (m.Msg == toolkit::WM_POOLTICK) {
      Ticked().push_back(this);
      counters.push_back(toolkit::PoolTickCounter(m));
      elapsed += toolkit::PoolTickElapsed(m);
      if (onTick) onTick();
      return;
    }
    inherited::Dispatch(m);
  }
  static std::vector<void*>& Ticked() {
    static std::vector<void*> v;
    return v;
  }
  static std::vector<void*>& Freed() {
    static std::vector<void*> v;
    return v;
  }
  std::vector<int> counters;
  uint64_t elapsed = 0;
  std::function<void()> onTick;
};

// A thread that no longer runs (or whose id is gone).
bool ThreadEnded(DWORD id) {
  const cl::TKernelHandle thread(OpenThread(SYNCHRONIZE, FALSE, id));
  return !thread || WaitForSingleObject(thread.Get(), 2000) == WAIT_OBJECT_0;
}

// A solid square icon of the given size and colour.
HICON SolidIcon(int size, COLORREF color) {
  const cl::TWindowDC screen(nullptr);
  const cl::TBitmapHandle bmp(CreateCompatibleBitmap(screen.Get(), size, size));
  const cl::TBitmapHandle mask(CreateBitmap(size, size, 1, 1, nullptr));
  {
    const cl::TDCHandle dc(CreateCompatibleDC(screen.Get()));
    {
      const cl::TSelectedObject selected(dc.Get(), bmp.Get());
      const cl::TBrushHandle brush(CreateSolidBrush(color));
      RECT r{0, 0, size, size};
      FillRect(dc.Get(), &r, brush.Get());
    }
    const cl::TSelectedObject selected(dc.Get(), mask.Get());
    PatBlt(dc.Get(), 0, 0, size, size, BLACKNESS);  // all opaque
  }
  ICONINFO info{TRUE, 0, 0, mask.Get(), bmp.Get()};
  return CreateIconIndirect(&info);
}

std::string Bytes(cl::TMemoryStream& s) { return std::string(static_cast<const char*>(s.Memory()), size_t(s.Size())); }

std::string I32(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  return std::string{char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char((u >> 24) & 0xFF)};
}

// ---------------------------------------------------------------------------------------------------------
// The pool.

TEST(TimerPool, TicksAtItsPeriodOnlyWhileSomethingIsEnabled) {
  TSaTimerPool pool(nullptr);
  TTickSink a(nullptr), b(nullptr);
  pool.SetObjectEnabled(&a, false);
  EXPECT_EQ(pool.TimingThreadID(), 0u);  // registered but disabled: no thread

  pool.SetObjectEnabled(&a, true);
  const DWORD first = pool.TimingThreadID();
  ASSERT_NE(first, 0u);
  pool.SetObjectEnabled(&b, true);
  EXPECT_EQ(pool.TimingThreadID(), first);  // two enabled entries share one thread

  const DWORD t0 = GetTickCount();
  ASSERT_TRUE(hktest::PumpUntil([&] { return a.counters.size() >= 40; }, 5000));
  const DWORD wall = GetTickCount() - t0;
  // Counters run 1, 2, 3, ...; each tick reports the time since the last one began.
  for (size_t i = 0; i < a.counters.size(); ++i) ASSERT_EQ(a.counters[i], int(i + 1));
  EXPECT_GE(wall, 40u * 4);  // no faster than the 5 ms period
  EXPECT_LE(wall, 40u * 40);
  EXPECT_NEAR(double(a.elapsed), double(wall), wall * 0.3 + 40);

  pool.SetObjectEnabled(&a, false);
  EXPECT_EQ(pool.TimingThreadID(), first);  // b still plays
  const size_t aTicks = a.counters.size();
  const size_t bTicks = b.counters.size();
  ASSERT_TRUE(hktest::PumpUntil([&] { return b.counters.size() >= bTicks + 5; }, 5000));
  EXPECT_EQ(a.counters.size(), aTicks);

  pool.RemoveObject(&b);
  EXPECT_EQ(pool.TimingThreadID(), 0u);
  EXPECT_TRUE(ThreadEnded(first));
  EXPECT_EQ(pool.Count(), 1);

  pool.SetObjectEnabled(&a, true);  // starts a new thread
  const DWORD second = pool.TimingThreadID();
  EXPECT_NE(second, 0u);
  ASSERT_TRUE(hktest::PumpUntil([&] { return a.counters.size() >= aTicks + 3; }, 5000));
  EXPECT_EQ(a.counters[aTicks], int(aTicks + 1));  // the entry kept its counter
  pool.SetObjectEnabled(&a, false);
  EXPECT_TRUE(ThreadEnded(second));
}

TEST(TimerPool, FreeingThePoolWithATickPendingTicksNobody) {
  auto* pool = new TSaTimerPool(nullptr);
  TTickSink sink(nullptr);
  pool->SetObjectEnabled(&sink, true);
  const DWORD id = pool->TimingThreadID();
  Sleep(60);  // no messages handled: the thread now waits in Synchronize with a tick
  delete pool;  // joins the thread, which runs its pending tick against no pool
  EXPECT_TRUE(sink.counters.empty());
  EXPECT_TRUE(ThreadEnded(id));
  hktest::RunLoop(30);
  EXPECT_TRUE(sink.counters.empty());
}

TEST(TimerPool, AComponentFreedWhileRegisteredIsNeverTickedAgain) {
  TSaTimerPool pool(nullptr);
  auto* gone = new TTickSink(nullptr);
  TTickSink stays(nullptr);
  pool.SetObjectEnabled(gone, true);
  pool.SetObjectEnabled(&stays, true);
  Sleep(60);  // a tick is pending
  delete gone;
  EXPECT_EQ(pool.Count(), 1);
  TTickSink::Ticked().clear();
  ASSERT_TRUE(hktest::PumpUntil([&] { return stays.counters.size() >= 5; }, 5000));
  EXPECT_EQ(std::count(TTickSink::Ticked().begin(), TTickSink::Ticked().end(), gone), 0);

  // Freed by another entry's handler within the same tick: the later entry is skipped.
  auto* victim = new TTickSink(nullptr);
  pool.SetObjectEnabled(victim, true);
  stays.onTick = [&] {
    delete victim;
    victim = nullptr;
    stays.onTick = nullptr;
  };
  TTickSink::Ticked().clear();
  pool.Tick(5);
  EXPECT_EQ(victim, nullptr);
  EXPECT_EQ(TTickSink::Ticked().size(), 1u);
  EXPECT_EQ(pool.Count(), 1);
}

TEST(TimerPool, APoolFreedFromItsOwnTickEndsItsThreadLater) {
  auto* pool = new TSaTimerPool(nullptr);
  TTickSink sink(nullptr);
  pool->SetObjectEnabled(&sink, true);
  const DWORD id = pool->TimingThreadID();
  sink.onTick = [&] {
    delete pool;
    pool = nullptr;
  };
  ASSERT_TRUE(hktest::PumpUntil([&] { return pool == nullptr; }, 5000));
  hktest::RunLoop(50);
  EXPECT_EQ(sink.counters.size(), 1u);
  EXPECT_TRUE(ThreadEnded(id));
}

// ---------------------------------------------------------------------------------------------------------
// Animations.

struct Recorder {
  std::vector<std::pair<int, int>> frames;  // (frame, simulated ms)
  int stopped = 0;
  int now = 0;
  void Bind(TSaAnimatedIcons& a) {
    a.OnNewFrame = [this](cl::TObject*, int f) { frames.emplace_back(f, now); };
    a.OnStopped = [this](cl::TObject*) { ++stopped; };
  }
  // Feeds 5 ms ticks through the program's pool until the animation stops or `limit` ms passed.
  void Run(TSaAnimatedIcons& a, int limit) {
    while (a.Playing() && now < limit) {
      now += 5;
      toolkit::TimerPool().Tick(5);
    }
  }
};

TEST(AnimatedIcons, AnnouncesEachFrameAfterItsDisplayTimeAndStopsAfterThePasses) {
  TSaAnimatedIcons anim(false);
  const int times[] = {10, 20, 30};
  for (int t : times) anim.AppendFrame()->SetDisplayTime(t);
  Recorder rec;
  rec.Bind(anim);
  anim.Play(1);
  EXPECT_TRUE(anim.Playing());
  rec.Run(anim, 5000);
  EXPECT_EQ(rec.frames, (std::vector<std::pair<int, int>>{{0, 100}, {1, 300}, {2, 600}}));
  EXPECT_EQ(rec.stopped, 1);
  EXPECT_FALSE(anim.Playing());
  auto& pool = toolkit::TimerPool();
  EXPECT_FALSE(pool.Entries(pool.IndexOfObject(&anim)).Enabled);

  // Two passes announce every frame twice; no pass limit plays on.
  rec = Recorder();
  rec.Bind(anim);
  anim.Play(2);
  rec.Run(anim, 5000);
  EXPECT_EQ(rec.frames.size(), 6u);
  EXPECT_EQ(rec.frames.back(), std::make_pair(2, 1200));
  rec = Recorder();
  rec.Bind(anim);
  anim.Play(0);
  rec.Run(anim, 2000);
  EXPECT_TRUE(anim.Playing());
  EXPECT_GE(rec.frames.size(), 9u);
  anim.Stop();
  EXPECT_EQ(rec.stopped, 1);
  anim.Stop();  // also when nothing plays
  EXPECT_EQ(rec.stopped, 2);
}

TEST(AnimatedIcons, PlayNeedsAHandlerAndFrames) {
  auto& pool = toolkit::TimerPool();
  TSaAnimatedIcons anim(true);
  anim.AppendFrame()->SetDisplayTime(1);
  anim.Play(1);  // no OnNewFrame
  EXPECT_FALSE(anim.Playing());
  EXPECT_FALSE(pool.Entries(pool.IndexOfObject(&anim)).Enabled);
  TSaAnimatedIcons empty(true);
  empty.OnNewFrame = [](cl::TObject*, int) {};
  empty.Play(1);
  EXPECT_FALSE(empty.Playing());
  EXPECT_EQ(pool.TimingThreadID(), 0u);
  EXPECT_THROW(anim.Icons(1), cl::EListError);
  EXPECT_EQ(testsupport::MessageOf<cl::EListError>([&] { anim.Delete(-1); }), "List index out of bounds (-1)");
  const int before = pool.Count();
  { TSaAnimatedIcons temp(false); EXPECT_EQ(pool.Count(), before + 1); }
  EXPECT_EQ(pool.Count(), before);
}

TEST(AnimatedIcons, HostileIconsDataLeavesTheAnimationAsItWas) {
  TSaAnimatedIcons anim(true);
  anim.SetTitle("Kept");
  anim.AppendFrame()->SetDisplayTime(3);
  anim.AppendFrame()->SetDisplayTime(4);
  const std::string head = I32(1) + "T" + I32(0) + std::string(1, '\x01');
  for (const std::string& bad : {head + I32(0x7FFFFFFF), head + I32(1) + I32(3) + I32(0x40000000) + "xx",
                                 head + I32(1) + I32(3) + I32(4) + "junk"}) {  // the last is no icon file
    cl::TMemoryStream s(bad);
    EXPECT_ANY_THROW(anim.ReadIcons(s));
    EXPECT_EQ(anim.Count(), 2);
    EXPECT_EQ(anim.Title(), "Kept");
  }
  // A frame of size 0 is an empty frame.
  cl::TMemoryStream ok(head + I32(2) + I32(3) + I32(0) + I32(4) + I32(0));
  anim.ReadIcons(ok);
  ASSERT_EQ(anim.Count(), 2);
  EXPECT_TRUE(anim.Icons(0)->Empty());
  EXPECT_EQ(anim.Icons(1)->DisplayTime(), 4);
  EXPECT_EQ(anim.Title(), "T");
}

// ---------------------------------------------------------------------------------------------------------
// The player, in a form.

class TfrmAniTest : public cl::TForm {
  CL_PLAIN_CLASS(TfrmAniTest, cl::TForm)
  explicit TfrmAniTest(cl::TComponent* owner) : TForm(owner) {}
};

class AniPlayer : public formstest::AppTest {
 protected:
  TSaAnimatedIconPlayer* MakePlayer(cl::TForm* form) {
    auto* p = new TSaAnimatedIconPlayer(form);
    p->SetName("AnimIcon");
    p->SetParent(form);
    p->SetBounds(10, 10, 40, 40);
    p->SetColor(cl::clRed);
    return p;
  }
};

TEST_F(AniPlayer, IconsRoundTripThroughAFormDescriptionByteForByte) {
  auto* form = cl::NewForm<TfrmAniTest>(app_.get());
  form->SetName("frmAniTest");
  auto* player = MakePlayer(form);
  TSaAnimatedIcons* anim = player->Animation();
  anim->SetTitle("Key being pressed (32x32)");
  anim->SetAuthor("Us");
  std::string frameBytes[2];
  const COLORREF colors[] = {RGB(0, 255, 0), RGB(0, 0, 255)};
  for (int i = 0; i < 2; ++i) {
    auto* f = anim->AppendFrame();
    f->SetHandle(SolidIcon(32, colors[i]));
    f->SetDisplayTime(3 + i);
    cl::TMemoryStream ms;
    f->SaveToStream(ms);
    frameBytes[i] = Bytes(ms);
    ASSERT_GT(frameBytes[i].size(), 22u);
  }
  const std::string expected = I32(25) + "Key being pressed (32x32)" + I32(2) + "Us" + std::string(1, '\x01') +
                               I32(2) + I32(3) + I32(int32_t(frameBytes[0].size())) + frameBytes[0] + I32(4) +
                               I32(int32_t(frameBytes[1].size())) + frameBytes[1];
  cl::TMemoryStream written;
  anim->WriteIcons(written);
  EXPECT_EQ(Bytes(written), expected);

  const std::string text = cl::WriteFormText(form);
  EXPECT_NE(text.find("Animation.Icons = {"), std::string::npos);
  cl::RegisterClasses({TSaAnimatedIconPlayer::StaticClass()});
  delete form;  // the copy takes its name
  auto* copy = new TfrmAniTest(app_.get());
  cl::ReadRootComponent(copy, text);
  auto* copied = cl::ComponentAs<TSaAnimatedIconPlayer>(copy, "AnimIcon");
  cl::TMemoryStream again;
  copied->Animation()->WriteIcons(again);
  EXPECT_EQ(Bytes(again), expected);
  EXPECT_EQ(cl::WriteFormText(copy), text);

  // A hostile block fails the whole description cleanly.
  std::string bad = text;
  const size_t at = bad.find("Animation.Icons = {") + 19;
  bad.replace(at, bad.find('}', at) - at, "00000000 00000000 00 FFFFFF7F");
  auto* third = new TfrmAniTest(app_.get());
  EXPECT_THROW(cl::ReadRootComponent(third, bad), cl::EReadError);
}

TEST_F(AniPlayer, PlaysTheFramesInOrderAndShowsTheLast) {
  auto* form = cl::NewForm<TfrmAniTest>(app_.get());
  form->SetBounds(0, 0, 200, 150);
  auto* player = MakePlayer(form);
  TSaAnimatedIcons* anim = player->Animation();
  const COLORREF colors[] = {RGB(0, 255, 0), RGB(0, 0, 255)};
  for (int i = 0; i < 2; ++i) {
    auto* f = anim->AppendFrame();
    f->SetHandle(SolidIcon(32, colors[i]));
    f->SetDisplayTime(3 + i);
  }
  form->Show();
  hktest::RunLoop(50);

  EXPECT_EQ(player->ActiveFrame(), 0);
  player->SetActiveFrame(3);  // only 2 frames
  EXPECT_EQ(player->ActiveFrame(), 0);
  player->SetActiveFrame(-1);
  EXPECT_EQ(player->ActiveFrame(), 0);

  // Record the frames as the player sees them.
  std::vector<std::pair<int, DWORD>> seen;
  auto chained = anim->OnNewFrame;
  anim->OnNewFrame = [&](cl::TObject* s, int f) {
    seen.emplace_back(f, GetTickCount());
    chained(s, f);
  };
  int stopped = 0;
  player->OnStopped = [&](cl::TObject* s) {
    EXPECT_EQ(s, player);
    ++stopped;
  };
  player->SetRepeatCount(2);
  const DWORD start = GetTickCount();
  player->SetPlaying(true);
  EXPECT_TRUE(player->Playing());
  ASSERT_TRUE(hktest::PumpUntil([&] { return stopped > 0; }, 5000));
  ASSERT_EQ(seen.size(), 4u);
  const int order[] = {0, 1, 0, 1};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(seen[i].first, order[i]);
  EXPECT_GE(seen[0].second - start, 30u - 16);  // GetTickCount is coarse
  EXPECT_GE(seen[3].second - start, 140u - 16);
  EXPECT_FALSE(player->Playing());
  EXPECT_EQ(player->ActiveFrame(), 2);
  EXPECT_EQ(toolkit::TimerPool().TimingThreadID(), 0u);

  // What is on the window: the last frame centred, the control's colour around it.
  player->Invalidate();
  hktest::RunLoop(30);
  const int cx = player->ClientWidth() / 2, cy = player->ClientHeight() / 2;
  {
    const cl::TWindowDC dc(player->Handle());
    EXPECT_EQ(GetPixel(dc.Get(), cx, cy), colors[1]);
    EXPECT_EQ(GetPixel(dc.Get(), 0, 0), RGB(255, 0, 0));
  }
  player->SetActiveFrame(0);
  hktest::RunLoop(30);
  EXPECT_EQ(GetPixel(cl::TWindowDC(player->Handle()).Get(), cx, cy), RGB(255, 0, 0));

  // Freeing a playing player stops its ticks with it.
  player->SetRepeatCount(0);
  player->Play();
  EXPECT_NE(toolkit::TimerPool().TimingThreadID(), 0u);
  Sleep(30);
  delete player;
  EXPECT_EQ(toolkit::TimerPool().TimingThreadID(), 0u);
  hktest::RunLoop(30);
  EXPECT_TRUE(errors_.empty()) << (errors_.empty() ? "" : errors_.front());
}

TEST_F(AniPlayer, AutoSizeFitsTheClientAreaToOneFrame) {
  auto* form = cl::NewForm<TfrmAniTest>(app_.get());
  auto* player = MakePlayer(form);
  player->HandleNeeded();
  player->SetAutoSize(true);
  EXPECT_EQ(player->ClientWidth(), 32);
  EXPECT_EQ(player->ClientHeight(), 32);
  player->SetBorderStyle(cl::bsNone);
  EXPECT_EQ(player->Width(), 32);
  EXPECT_EQ(player->BorderStyle(), cl::bsNone);
}

}  // namespace
