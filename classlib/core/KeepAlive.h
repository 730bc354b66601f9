// Objects that message handlers run in, and that may be released while one of them still runs.
#pragma once

namespace cl {

// Released while something holds it (a message running in it, a list that refers to it), the object is
// deleted when the last hold ends; released while nothing does, at once. A window freed by its own message
// therefore keeps what the message runs in until the outermost of the nested messages returns.
class TKeepAlive {
 public:
  TKeepAlive(const TKeepAlive&) = delete;
  TKeepAlive& operator=(const TKeepAlive&) = delete;

  // The owner's end of it; a second call does nothing.
  void Release() noexcept {
    if (released_) return;
    released_ = true;
    if (holds_ == 0) delete this;
  }
  bool Released() const noexcept { return released_; }

  void Hold() noexcept { ++holds_; }
  void Drop() noexcept {
    if (--holds_ == 0 && released_) delete this;
  }
  int Holds() const noexcept { return holds_; }

  // Holds an object for the length of a scope.
  class THold {
   public:
    explicit THold(TKeepAlive& object) noexcept : object_(object) { object_.Hold(); }
    ~THold() { object_.Drop(); }
    THold(const THold&) = delete;
    THold& operator=(const THold&) = delete;

   private:
    TKeepAlive& object_;
  };

 protected:
  TKeepAlive() = default;
  virtual ~TKeepAlive() = default;

 private:
  int holds_ = 0;
  bool released_ = false;
};

}  // namespace cl
