#include "MessageChain.h"

#include <algorithm>
#include <vector>

#include "KeepAlive.h"

namespace cl {

// One stacked handler. Held by the path's list while it is on it and by each message running in it;
// released by its link.
struct TMessageChain::Node : TKeepAlive {
  THandler handler;
  State* state = nullptr;  // null once taken away or once the path is gone
};

// What the path's messages run in: held by each of them, released by the path. Taken-away links stay on the
// list, skipped, until no message runs, so that a running message keeps its place on it.
struct TMessageChain::State : TKeepAlive {
  TWndMethod end;
  bool ended = false;        // the path's owner is gone
  std::vector<Node*> nodes;  // innermost first

  ~State() override {
    for (Node* n : nodes) {
      n->state = nullptr;
      n->Drop();
    }
  }

  void Purge() noexcept {
    std::erase_if(nodes, [](Node* n) {
      if (n->state) return false;
      n->Drop();
      return true;
    });
  }
};

namespace {

// Holds the path for one message; the outermost message tidies away the links taken away meanwhile.
template <class State>
class TDelivery {
 public:
  explicit TDelivery(State& state) noexcept : state_(state) { state_.Hold(); }
  ~TDelivery() {
    if (state_.Holds() == 1 && !state_.Released()) state_.Purge();
    state_.Drop();
  }
  TDelivery(const TDelivery&) = delete;
  TDelivery& operator=(const TDelivery&) = delete;

 private:
  State& state_;
};

}  // namespace

TMessageChain::TMessageChain(TWndMethod end) : state_(new State) { state_->end = std::move(end); }

TMessageChain::~TMessageChain() {
  state_->ended = true;
  state_->Release();
}

void TMessageChain::operator()(TMessage& message) const { Deliver(state_, state_->nodes.size(), message); }

void TMessageChain::TNext::operator()(TMessage& message) const { Deliver(state_, below_, message); }

int TMessageChain::LinkCount() const noexcept {
  const auto& nodes = state_->nodes;
  return static_cast<int>(std::count_if(nodes.begin(), nodes.end(), [](const Node* n) { return n->state; }));
}

void TMessageChain::Deliver(State* state, size_t below, TMessage& message) {
  TDelivery<State> delivery(*state);
  size_t i = below;
  while (i > 0 && !state->nodes[i - 1]->state) --i;
  if (i == 0) {
    if (!state->ended) state->end(message);
    return;
  }
  Node* node = state->nodes[i - 1];
  TKeepAlive::THold hold(*node);
  node->handler(message, TNext(state, i - 1));
}

void TMessageLink::Install(TMessageChain& chain, TMessageChain::THandler handler) {
  Remove();
  auto* node = new TMessageChain::Node;
  node->handler = std::move(handler);
  node->state = chain.state_;
  node->Hold();  // the list's hold
  chain.state_->nodes.push_back(node);
  node_ = node;
}

void TMessageLink::Remove() noexcept {
  TMessageChain::Node* node = node_;
  if (!node) return;
  node_ = nullptr;
  if (TMessageChain::State* state = node->state) {
    node->state = nullptr;
    if (state->Holds() == 0) state->Purge();
  }
  node->Release();
}

bool TMessageLink::Installed() const noexcept { return node_ && node_->state; }

}  // namespace cl
