// A message path that several owners can stack handlers on and take away in any order.
#pragma once
#include <cstddef>
#include <functional>

#include "Classes.h"

namespace cl {

// Receives a message; the handler sets Message.Result.
using TWndMethod = std::function<void(TMessage&)>;

class TMessageLink;

// A message sent along the path enters at the handler stacked last. Each handler passes it on by calling
// the `next` it is given, which reaches the handlers stacked before it and finally the path's own end;
// a handler that does not call it swallows the message. Links may be taken away at any time, also from
// inside a message and while links stacked later are still in front of them: the path stays whole, and a
// link taken away sees no message after that. A link stacked during a message sees the next message.
// The path may be destroyed during one of its messages (its owner freed by it): what runs finishes, and
// the end is not called any more.
class TMessageChain {
  struct State;
  struct Node;

 public:
  // The rest of the path behind a handler.
  class TNext {
   public:
    void operator()(TMessage& message) const;

   private:
    friend class TMessageChain;
    TNext(State* state, size_t below) noexcept : state_(state), below_(below) {}
    State* state_;
    size_t below_;
  };
  using THandler = std::function<void(TMessage& message, const TNext& next)>;

  explicit TMessageChain(TWndMethod end);
  ~TMessageChain();
  TMessageChain(const TMessageChain&) = delete;
  TMessageChain& operator=(const TMessageChain&) = delete;

  // Sends a message along the whole path.
  void operator()(TMessage& message) const;
  // How many links are stacked on it now.
  int LinkCount() const noexcept;

 private:
  friend class TMessageLink;
  static void Deliver(State* state, size_t below, TMessage& message);
  State* state_;
};

// One handler stacked on a message path. It is taken away with this object, by Remove, or when the path
// goes (whichever comes first); the handler itself stays alive until it returns, so it may free the
// object that stacked it.
class TMessageLink {
 public:
  TMessageLink() = default;
  TMessageLink(TMessageChain& chain, TMessageChain::THandler handler) { Install(chain, std::move(handler)); }
  ~TMessageLink() { Remove(); }
  TMessageLink(const TMessageLink&) = delete;
  TMessageLink& operator=(const TMessageLink&) = delete;

  // Removes an earlier installation of this object first.
  void Install(TMessageChain& chain, TMessageChain::THandler handler);
  void Remove() noexcept;
  // Stacked on a path that is still there.
  bool Installed() const noexcept;

 private:
  TMessageChain::Node* node_ = nullptr;
};

}  // namespace cl
