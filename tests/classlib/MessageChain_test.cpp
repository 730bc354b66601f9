#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "KeepAlive.h"
#include "MessageChain.h"

using namespace cl;

namespace {

constexpr uint32_t kMsg = 0x8001;

TMessage Message(uint32_t msg = kMsg, uintptr_t wParam = 0) { return TMessage{msg, wParam, 0, 0}; }

// A path whose end records what reaches it, and a way to stack named handlers that record and pass on.
class MessageChainTest : public ::testing::Test {
 protected:
  std::vector<std::string> seen_;
  TMessageChain chain_{[this](TMessage& m) {
    seen_.push_back("end");
    m.Result += 1;
  }};

  TMessageChain::THandler Recorder(std::string name) {
    return [this, name](TMessage& m, const TMessageChain::TNext& next) {
      seen_.push_back(name);
      next(m);
    };
  }
  std::vector<std::string> Send() {
    seen_.clear();
    TMessage m = Message();
    chain_(m);
    return seen_;
  }
};

using Seen = std::vector<std::string>;

TEST_F(MessageChainTest, HandlersSeeTheMessageLastStackedFirstAndPassItToTheEnd) {
  EXPECT_EQ(Send(), Seen{"end"});
  TMessageLink inner(chain_, Recorder("inner"));
  TMessageLink outer(chain_, [this](TMessage& m, const TMessageChain::TNext& next) {
    seen_.push_back("outer");
    next(m);
    m.Result *= 10;  // sees what the rest of the path answered
  });
  EXPECT_EQ(chain_.LinkCount(), 2);
  TMessage m = Message();
  seen_.clear();
  chain_(m);
  EXPECT_EQ(seen_, (Seen{"outer", "inner", "end"}));
  EXPECT_EQ(m.Result, 10);
}

TEST_F(MessageChainTest, AHandlerThatDoesNotPassOnSwallowsTheMessage) {
  TMessageLink inner(chain_, Recorder("inner"));
  TMessageLink outer(chain_, [this](TMessage& m, const TMessageChain::TNext&) {
    seen_.push_back("outer");
    m.Result = 7;
  });
  TMessage m = Message();
  chain_(m);
  EXPECT_EQ(seen_, Seen{"outer"});
  EXPECT_EQ(m.Result, 7);
}

TEST_F(MessageChainTest, LinksAreTakenAwayInEitherOrderAndSeeNothingAfterwards) {
  {
    TMessageLink a(chain_, Recorder("a"));
    TMessageLink b(chain_, Recorder("b"));
    a.Remove();  // the inner one first
    EXPECT_FALSE(a.Installed());
    EXPECT_TRUE(b.Installed());
    EXPECT_EQ(Send(), (Seen{"b", "end"}));
    b.Remove();
    EXPECT_EQ(Send(), Seen{"end"});
  }
  {
    TMessageLink a(chain_, Recorder("a"));
    TMessageLink b(chain_, Recorder("b"));
    TMessageLink c(chain_, Recorder("c"));
    b.Remove();  // one in the middle: the path stays whole
    EXPECT_EQ(Send(), (Seen{"c", "a", "end"}));
    c.Remove();  // the outer one
    EXPECT_EQ(Send(), (Seen{"a", "end"}));
    // Stacked again, it goes in front.
    b.Install(chain_, Recorder("b2"));
    EXPECT_EQ(Send(), (Seen{"b2", "a", "end"}));
  }
  EXPECT_EQ(chain_.LinkCount(), 0);
  EXPECT_EQ(Send(), Seen{"end"});
}

TEST_F(MessageChainTest, TakenAwayDuringAMessage) {
  // A handler takes itself away and still passes the message on.
  auto self = std::make_unique<TMessageLink>();
  self->Install(chain_, [&](TMessage& m, const TMessageChain::TNext& next) {
    seen_.push_back("self");
    self->Remove();
    next(m);
  });
  TMessageLink outer(chain_, Recorder("outer"));
  EXPECT_EQ(Send(), (Seen{"outer", "self", "end"}));
  EXPECT_EQ(Send(), (Seen{"outer", "end"}));

  // A handler takes away the one behind it before passing on: the message skips it.
  TMessageLink behind(chain_, Recorder("behind"));
  TMessageLink front(chain_, [&](TMessage& m, const TMessageChain::TNext& next) {
    seen_.push_back("front");
    behind.Remove();
    next(m);
  });
  EXPECT_EQ(Send(), (Seen{"front", "outer", "end"}));

  // ... and the one in front of it, which is running: it finishes, and sees no later message.
  front.Remove();
  TMessageLink lower(chain_, [&](TMessage& m, const TMessageChain::TNext& next) {
    seen_.push_back("lower");
    front.Remove();
    next(m);
  });
  front.Install(chain_, [](TMessage& m, const TMessageChain::TNext& next) { next(m); });
  seen_.clear();
  TMessage m = Message();
  chain_(m);
  EXPECT_EQ(seen_, (Seen{"lower", "outer", "end"}));
  EXPECT_FALSE(front.Installed());
  EXPECT_EQ(chain_.LinkCount(), 2);
}

TEST_F(MessageChainTest, ALinkFreedByItsOwnHandlerKeepsTheHandlerUntilItReturns) {
  auto state = std::make_shared<std::string>("alive");
  auto* link = new TMessageLink;
  link->Install(chain_, [&, state](TMessage& m, const TMessageChain::TNext& next) {
    delete link;
    seen_.push_back(*state);  // the handler's own state is still there
    next(m);
  });
  EXPECT_EQ(Send(), (Seen{"alive", "end"}));
  EXPECT_EQ(state.use_count(), 1);
  EXPECT_EQ(Send(), Seen{"end"});
}

TEST_F(MessageChainTest, ALinkStackedDuringAMessageSeesTheNextOne) {
  TMessageLink late;
  TMessageLink first(chain_, [&](TMessage& m, const TMessageChain::TNext& next) {
    seen_.push_back("first");
    if (!late.Installed()) late.Install(chain_, Recorder("late"));
    next(m);
  });
  EXPECT_EQ(Send(), (Seen{"first", "end"}));
  EXPECT_EQ(Send(), (Seen{"late", "first", "end"}));
}

TEST_F(MessageChainTest, NestedMessagesRunThroughTheWholePath) {
  TMessageLink link(chain_, [&](TMessage& m, const TMessageChain::TNext& next) {
    seen_.push_back("link " + std::to_string(m.WParam));
    if (m.WParam > 0) {
      TMessage inner = Message(kMsg, m.WParam - 1);
      chain_(inner);
    }
    next(m);
  });
  TMessage m = Message(kMsg, 2);
  chain_(m);
  EXPECT_EQ(seen_, (Seen{"link 2", "link 1", "link 0", "end", "end", "end"}));
}

TEST(MessageChain, ThePathMayGoDuringItsOwnMessage) {
  std::vector<std::string> seen;
  auto* chain = new TMessageChain([&](TMessage&) { seen.push_back("end"); });
  TMessageLink outer(*chain, [&](TMessage& m, const TMessageChain::TNext& next) {
    next(m);
    seen.push_back("outer after");
  });
  TMessageLink killer(*chain, [&](TMessage& m, const TMessageChain::TNext& next) {
    delete chain;  // the owner of the path freed by its own message
    seen.push_back("killer");
    next(m);  // reaches the links still running, not the gone end
  });
  TMessage m = Message();
  (*chain)(m);
  EXPECT_EQ(seen, (std::vector<std::string>{"killer", "outer after"}));
  EXPECT_FALSE(outer.Installed());
  EXPECT_FALSE(killer.Installed());
  outer.Remove();  // after the path is gone: nothing to do
}

TEST(MessageChain, LinksOutliveThePath) {
  TMessageLink link;
  {
    TMessageChain chain([](TMessage&) {});
    link.Install(chain, [](TMessage& m, const TMessageChain::TNext& next) { next(m); });
    EXPECT_TRUE(link.Installed());
  }
  EXPECT_FALSE(link.Installed());
}

TEST(MessageChain, AnExceptionLeavesThePathUsable) {
  std::vector<std::string> seen;
  TMessageChain chain([&](TMessage&) { seen.push_back("end"); });
  TMessageLink thrower(chain, [&](TMessage& m, const TMessageChain::TNext& next) {
    if (m.WParam == 1) {
      thrower.Remove();
      throw std::runtime_error("bad");
    }
    next(m);
  });
  TMessage bad = Message(kMsg, 1);
  EXPECT_THROW(chain(bad), std::runtime_error);
  EXPECT_EQ(chain.LinkCount(), 0);
  TMessage good = Message();
  chain(good);
  EXPECT_EQ(seen, std::vector<std::string>{"end"});
}

// Counts its deletions.
struct TCounted : TKeepAlive {
  explicit TCounted(int& deleted) : deleted_(deleted) {}
  ~TCounted() override { ++deleted_; }
  int& deleted_;
};

TEST(KeepAlive, ReleasedWhileHeldGoesWithTheLastHold) {
  int deleted = 0;
  auto* object = new TCounted(deleted);
  {
    TKeepAlive::THold outer(*object);
    {
      TKeepAlive::THold inner(*object);
      object->Release();
      object->Release();  // once is enough
      EXPECT_TRUE(object->Released());
    }
    EXPECT_EQ(deleted, 0);  // the outermost hold still runs in it
  }
  EXPECT_EQ(deleted, 1);

  (new TCounted(deleted))->Release();
  EXPECT_EQ(deleted, 2);
}

}  // namespace
