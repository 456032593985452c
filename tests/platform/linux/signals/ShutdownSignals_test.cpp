#include "platform/linux/signals/ShutdownSignals.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>

#include "support/LogCapture.h"

namespace brevanto {
namespace {

volatile std::sig_atomic_t earlierHandlerCalls = 0;
void EarlierHandler(int) {
  earlierHandlerCalls = earlierHandlerCalls + 1;
}

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1;
}

// What arrives within a second, up to count signals: a sanitizer's runtime
// may hold a raised signal back until the thread's next system call.
std::vector<int> TakeUpTo(ShutdownSignals& signals, std::size_t count) {
  std::vector<int> received;
  for (int i = 0; i < 100 && received.size() < count; ++i) {
    pollfd p{signals.ReadFd(), POLLIN, 0};
    if (::poll(&p, 1, 10) == 1) {
      for (int signal : signals.TakeReceived()) received.push_back(signal);
    }
  }
  return received;
}

TEST(ShutdownSignals, SignalsArriveOnThePipeInOrderAndTheOldHandlersReturn) {
  std::signal(SIGTERM, EarlierHandler);
  {
    ShutdownSignals signals;
    ASSERT_TRUE(signals.Installed());
    EXPECT_FALSE(Readable(signals.ReadFd()));
    std::raise(SIGTERM);
    std::raise(SIGINT);
    std::raise(SIGHUP);
    EXPECT_EQ(TakeUpTo(signals, 3), (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));
    EXPECT_FALSE(Readable(signals.ReadFd()));
    EXPECT_EQ(earlierHandlerCalls, 0);
  }
  std::raise(SIGTERM);
  EXPECT_EQ(earlierHandlerCalls, 1);
  std::signal(SIGTERM, SIG_DFL);
}

TEST(ShutdownSignals, ASignalTheParentIgnoredStaysIgnored) {
  std::signal(SIGHUP, SIG_IGN);
  {
    ShutdownSignals signals;
    ASSERT_TRUE(signals.Installed());
    std::raise(SIGHUP);  // would end the test program if it were not ignored
    std::raise(SIGINT);
    EXPECT_EQ(TakeUpTo(signals, 1), (std::vector<int>{SIGINT}));
  }
  std::signal(SIGHUP, SIG_DFL);
}

TEST(ShutdownSignals, OnlyOneSetOfHandlersAtATime) {
  testing::LogCapture log;
  ShutdownSignals first;
  ShutdownSignals second;
  EXPECT_TRUE(first.Installed());
  EXPECT_FALSE(second.Installed());
  EXPECT_TRUE(log.Contains("the signal handlers are installed already"));
  std::raise(SIGINT);
  EXPECT_EQ(TakeUpTo(first, 1), (std::vector<int>{SIGINT}));
}

}  // namespace
}  // namespace brevanto
