// Icon animations: an ordered list of frames (an icon and its display time), stored in forms as the
// "Icons" block, timed by the timer pool's ticks and drawn one frame at a time.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "SaIconsData.h"

namespace toolkit {

// An icon with the time it is shown, in hundredths of a second.
class TSaAnimatedIcon : public cl::TIcon {
  CL_PLAIN_CLASS(TSaAnimatedIcon, cl::TIcon)
  TSaAnimatedIcon() = default;
  // From another animated icon: its display time, then the icon.
  void Assign(const cl::TPersistent* source) override;
  int DisplayTime() const noexcept { return displayTime_; }
  void SetDisplayTime(int value) noexcept { displayTime_ = value; }

 private:
  int displayTime_ = 0;
};

// (Sender, Frame): the frame index whose display time has just passed.
using TNewFrameEvent = cl::TEvent<cl::TObject*, int>;

class TSaAnimatedIcons : public cl::TPersistent {
  CL_CLASS(TSaAnimatedIcons, cl::TPersistent)
  // Registers (disabled) with the timer pool.
  explicit TSaAnimatedIcons(bool largeIcons);
  ~TSaAnimatedIcons() override;
  TSaAnimatedIcons(const TSaAnimatedIcons&) = delete;
  TSaAnimatedIcons& operator=(const TSaAnimatedIcons&) = delete;

  const std::string& Author() const noexcept { return author_; }
  void SetAuthor(const std::string& value) { author_ = value; }
  const std::string& Title() const noexcept { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  bool Playing() const noexcept { return playing_; }
  // Whether the pass playing is the last one the play was given (never for an endless play).
  bool LastPass() const noexcept { return passLimit_ > 0 && passes_ + 1 >= passLimit_; }
  bool LargeIcons() const noexcept { return largeIcons_; }
  int IconSize() const noexcept { return largeIcons_ ? 32 : 16; }

  int Count() const noexcept { return static_cast<int>(frames_.size()); }
  // The frame at index; EListError "List index out of bounds (%d)" outside the list (also for Insert and
  // Delete).
  TSaAnimatedIcon* Icons(int index) const;
  // A copy of icon (with its display time when it is an animated icon) at the end; its index.
  int Add(const cl::TIcon* icon);
  void Insert(int index, const cl::TIcon* icon);
  TSaAnimatedIcon* AppendFrame();
  void Delete(int index);
  void Clear();
  void AddFrames(const TSaAnimatedIcons* other);
  // Equal counts and the same frame objects position by position.
  bool SameFrames(const TSaAnimatedIcons* other) const;

  // Copies author, title, frame size and frames from another animation (not the play state).
  void Assign(const cl::TPersistent* source) override;
  void DefineProperties(cl::TFiler& filer) override;

  // The "Icons" block. A bad block raises EReadError and leaves the animation as it was.
  void ReadIcons(cl::TStream& stream);
  void WriteIcons(cl::TStream& stream);

  // Plays from frame 0, repeatCount passes (0 or less: until Stop). Nothing without OnNewFrame or frames.
  void Play(int repeatCount);
  // Stops and raises OnStopped (also when nothing played).
  void Stop();
  // Draws a frame over a background of backColor; nothing without a canvas or for a bad index.
  void Draw(cl::TCanvas* canvas, int x, int y, int frameIndex, cl::TColor backColor);

  void Dispatch(cl::TMessage& message) override;

  TNewFrameEvent OnNewFrame;
  cl::TNotifyEvent OnStopped;

 private:
  void WMTick(cl::TMessage& message);
  void WaitForFrame();
  void IndexError(int index) const;

  std::vector<std::unique_ptr<TSaAnimatedIcon>> frames_;
  std::string author_;
  std::string title_;
  bool largeIcons_;
  bool playing_ = false;
  cl::TBrush brush_;
  int current_ = 0;
  int64_t gathered_ = 0;
  int passes_ = 0;
  int passLimit_ = 0;
};

}  // namespace toolkit
