#include "SaAniIcons.h"

#include <algorithm>

#include "FormReader.h"
#include "SaTmrPool.h"
#include "SysUtils.h"
#include "Unicode.h"

namespace toolkit {

CL_BEGIN_CLASS(TSaAnimatedIcons)
    .Str("Author", &TSaAnimatedIcons::Author, &TSaAnimatedIcons::SetAuthor)
    .Bool("Playing", &TSaAnimatedIcons::Playing, nullptr, false)
    .Str("Title", &TSaAnimatedIcons::Title, &TSaAnimatedIcons::SetTitle)
    .Event("OnNewFrame", &TSaAnimatedIcons::OnNewFrame)
    .Event("OnStopped", &TSaAnimatedIcons::OnStopped)
CL_END_CLASS

void TSaAnimatedIcon::Assign(const cl::TPersistent* source) {
  if (auto* a = dynamic_cast<const TSaAnimatedIcon*>(source)) displayTime_ = a->displayTime_;
  inherited::Assign(source);
}

TSaAnimatedIcons::TSaAnimatedIcons(bool largeIcons) : largeIcons_(largeIcons) {
  TimerPool().SetObjectEnabled(this, false);
}

TSaAnimatedIcons::~TSaAnimatedIcons() { TimerPool().RemoveObject(this); }

void TSaAnimatedIcons::IndexError(int index) const {
  throw cl::EListError(cl::Format("List index out of bounds (%d)", index));
}

TSaAnimatedIcon* TSaAnimatedIcons::Icons(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return frames_[static_cast<size_t>(index)].get();
}

int TSaAnimatedIcons::Add(const cl::TIcon* icon) {
  Insert(Count(), icon);
  return Count() - 1;
}

void TSaAnimatedIcons::Insert(int index, const cl::TIcon* icon) {
  if (index < 0 || index > Count()) IndexError(index);
  auto frame = std::make_unique<TSaAnimatedIcon>();
  frame->Assign(icon);
  frames_.insert(frames_.begin() + index, std::move(frame));
}

TSaAnimatedIcon* TSaAnimatedIcons::AppendFrame() {
  frames_.push_back(std::make_unique<TSaAnimatedIcon>());
  return frames_.back().get();
}

void TSaAnimatedIcons::Delete(int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  frames_.erase(frames_.begin() + index);
}

void TSaAnimatedIcons::Clear() { frames_.clear(); }

void TSaAnimatedIcons::AddFrames(const TSaAnimatedIcons* other) {
  if (!other || other == this) {
    if (other == this)  // copying onto itself must not grow while it walks
      for (int i = 0, n = Count(); i < n; ++i) Add(Icons(i));
    return;
  }
  for (const auto& f : other->frames_) Add(f.get());
}

bool TSaAnimatedIcons::SameFrames(const TSaAnimatedIcons* other) const {
  if (!other || other->Count() != Count()) return false;
  for (size_t i = 0; i < frames_.size(); ++i)
    if (frames_[i] != other->frames_[i]) return false;
  return true;
}

void TSaAnimatedIcons::Assign(const cl::TPersistent* source) {
  if (auto* a = dynamic_cast<const TSaAnimatedIcons*>(source)) {
    if (a == this) return;
    author_ = a->author_;
    title_ = a->title_;
    largeIcons_ = a->largeIcons_;
    Clear();
    AddFrames(a);
    return;
  }
  inherited::Assign(source);
}

void TSaAnimatedIcons::DefineProperties(cl::TFiler& filer) {
  inherited::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "Icons", [this](cl::TStream& s) { ReadIcons(s); }, [this](cl::TStream& s) { WriteIcons(s); },
      filer.Writing() && Count() > 0);
}

void TSaAnimatedIcons::ReadIcons(cl::TStream& stream) {
  const TIconsData data = ReadIconsData(stream);
  // Build every frame before anything changes, so a bad icon leaves the animation intact.
  std::vector<std::unique_ptr<TSaAnimatedIcon>> frames;
  frames.reserve(data.Frames.size());
  for (const TIconsFrameData& f : data.Frames) {
    auto frame = std::make_unique<TSaAnimatedIcon>();
    frame->SetDisplayTime(f.DisplayTime);
    if (!f.Icon.empty()) {
      const int size = data.LargeIcons ? 32 : 16;
      frame->SetSize(size, size);
      cl::TMemoryStream ms(f.Icon);
      frame->LoadFromStream(ms);
    }
    frames.push_back(std::move(frame));
  }
  const unsigned cp = cl::AnsiCodePage();
  title_ = cl::CodePageToUtf8(data.Title, cp);
  author_ = cl::CodePageToUtf8(data.Author, cp);
  largeIcons_ = data.LargeIcons;
  frames_ = std::move(frames);
}

void TSaAnimatedIcons::WriteIcons(cl::TStream& stream) {
  TIconsData data;
  const unsigned cp = cl::AnsiCodePage();
  data.Title = cl::Utf8ToCodePage(title_, cp);
  data.Author = cl::Utf8ToCodePage(author_, cp);
  data.LargeIcons = largeIcons_;
  for (const auto& f : frames_) {
    TIconsFrameData& d = data.Frames.emplace_back();
    d.DisplayTime = f->DisplayTime();
    if (!f->Empty()) {
      cl::TMemoryStream ms;
      f->SaveToStream(ms);
      d.Icon.assign(static_cast<const char*>(ms.Memory()), static_cast<size_t>(ms.Size()));
    }
  }
  WriteIconsData(stream, data);
}

void TSaAnimatedIcons::Play(int repeatCount) {
  if (!OnNewFrame || frames_.empty()) return;
  current_ = 0;
  gathered_ = 0;
  passes_ = 0;
  passLimit_ = repeatCount;
  playing_ = true;
  TimerPool().SetObjectEnabled(this, true);
  WaitForFrame();
}

void TSaAnimatedIcons::Stop() {
  TimerPool().SetObjectEnabled(this, false);
  playing_ = false;
  if (OnStopped) OnStopped(this);
}

void TSaAnimatedIcons::Draw(cl::TCanvas* canvas, int x, int y, int frameIndex, cl::TColor backColor) {
  if (!canvas || frameIndex < 0 || frameIndex >= Count()) return;
  brush_.SetColor(backColor);
  const TSaAnimatedIcon* frame = frames_[static_cast<size_t>(frameIndex)].get();
  const int s = IconSize();
  if (frame->Empty()) {
    RECT r{x, y, x + s, y + s};
    FillRect(canvas->Handle(), &r, brush_.Handle());
    return;
  }
  DrawIconEx(canvas->Handle(), x, y, frame->Handle(), s, s, 0, brush_.Handle(), DI_NORMAL);
}

void TSaAnimatedIcons::Dispatch(cl::TMessage& message) {
  if (message.Msg == WM_POOLTICK) {
    WMTick(message);
    return;
  }
  inherited::Dispatch(message);
}

void TSaAnimatedIcons::WMTick(cl::TMessage& message) {
  if (current_ >= Count()) {
    current_ = 0;
    if (Count() == 0) return;
  }
  gathered_ += PoolTickElapsed(message);
  // 64-bit: a hostile display time must not overflow the comparison.
  if (gathered_ < int64_t(frames_[static_cast<size_t>(current_)]->DisplayTime()) * 10) {
    WaitForFrame();
    return;
  }
  if (OnNewFrame) OnNewFrame(this, current_);
  ++current_;
  if (current_ >= Count()) {
    current_ = 0;
    if (passLimit_ > 0 && ++passes_ == passLimit_) Stop();
  }
  gathered_ = 0;
  WaitForFrame();
}

void TSaAnimatedIcons::WaitForFrame() {
  // Ticks before the current frame's time is up would only be counted: let the pool sleep until then.
  if (!playing_ || current_ >= Count()) return;
  const int64_t due = int64_t(frames_[static_cast<size_t>(current_)]->DisplayTime()) * 10 - gathered_;
  TimerPool().SetObjectWait(this, due > 0 ? static_cast<uint32_t>(std::min<int64_t>(due, 60000)) : 0);
}

}  // namespace toolkit
