#include "core/processing/PostedMessageQueue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "core/processing/Messages.h"

namespace brevanto {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

std::vector<PostedMessage> DrainAll(PostedMessageQueue& queue) {
  std::vector<PostedMessage> drained;
  queue.Drain([&](const PostedMessage& m) { drained.push_back(m); });
  return drained;
}

TEST(PostedMessageQueue, DeliversInOrderAndWakesTheReceiverPerPost) {
  PostedMessageQueue queue;
  int wakeUps = 0;
  queue.SetWakeUp([&] { ++wakeUps; });
  EXPECT_TRUE(queue.Post(WM_BRV_BUTTONS_CHANGED, 0, 0));
  EXPECT_TRUE(queue.Post(WM_BRV_SET_INPUT_TARGET, -1, 2));
  EXPECT_EQ(wakeUps, 2);
  EXPECT_THAT(DrainAll(queue),
              ElementsAre(PostedMessage{0x80CA, 0, 0}, PostedMessage{0x83E8, -1, 2}));
  EXPECT_EQ(queue.Size(), 0u);
}

TEST(PostedMessageQueue, FullQueueDropsNewMessagesUntilDrained) {
  PostedMessageQueue queue;
  for (std::size_t i = 0; i < PostedMessageQueue::kCapacity; ++i) {
    ASSERT_TRUE(queue.Post(WM_BRV_BUTTONS_CHANGED, static_cast<intptr_t>(i), 0));
  }
  EXPECT_FALSE(queue.Post(WM_BRV_DEVICES_CHANGED, 0, 0));
  EXPECT_EQ(queue.Dropped(), 1u);
  const auto first = DrainAll(queue);
  ASSERT_EQ(first.size(), PostedMessageQueue::kCapacity);
  EXPECT_EQ(first.back().wParam, static_cast<intptr_t>(PostedMessageQueue::kCapacity - 1));

  // The ring wraps around after draining.
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(queue.Post(WM_BRV_ANALOG_CHANGED, i, 0));
  EXPECT_THAT(DrainAll(queue), ElementsAre(PostedMessage{WM_BRV_ANALOG_CHANGED, 0, 0},
                                           PostedMessage{WM_BRV_ANALOG_CHANGED, 1, 0},
                                           PostedMessage{WM_BRV_ANALOG_CHANGED, 2, 0}));
}

TEST(PostedMessageQueue, HandlerMayPostAndIsCalledAgainInTheSameDrain) {
  PostedMessageQueue queue;
  queue.Post(WM_BRV_REFRESH_DEVICES, 0, 0);
  std::vector<uint32_t> handled;
  queue.Drain([&](const PostedMessage& m) {
    handled.push_back(m.message);
    if (m.message == WM_BRV_REFRESH_DEVICES) queue.Post(WM_BRV_DEVICES_CHANGED, 0, 0);
  });
  EXPECT_THAT(handled, ElementsAre(WM_BRV_REFRESH_DEVICES, WM_BRV_DEVICES_CHANGED));
}

TEST(PostedMessageQueue, CrossThreadPostsArriveCompleteAndInOrder) {
  PostedMessageQueue queue;
  constexpr int kCount = 20000;
  std::thread poster([&] {
    for (int i = 0; i < kCount; ++i) {
      while (!queue.Post(WM_BRV_BUTTONS_CHANGED, i, -i)) std::this_thread::yield();
    }
  });
  int expected = 0;
  bool inOrder = true;
  while (expected < kCount) {
    queue.WaitForMessage(100ms);
    queue.Drain([&](const PostedMessage& m) {
      inOrder &= m.wParam == expected && m.lParam == -expected;
      ++expected;
    });
  }
  poster.join();
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(queue.Size(), 0u);
}

}  // namespace
}  // namespace brevanto
