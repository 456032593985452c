#include "ui/QtMessageSink.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <QThread>
#include <thread>
#include <vector>

#include "core/processing/Messages.h"

namespace brevanto {
namespace {

TEST(QtMessageSinkTest, DeliversOnTheReceiversThreadInOrder) {
  QObject receiver;
  std::vector<PostedMessage> received;
  bool allOnUiThread = true;
  QtMessageSink sink(&receiver, [&](const PostedMessage& m) {
    allOnUiThread = allOnUiThread && QThread::currentThread() == receiver.thread();
    received.push_back(m);
  });

  std::thread processing([&] {
    for (intptr_t i = 0; i < 100; ++i) EXPECT_TRUE(sink.Post(WM_BRV_BUTTONS_CHANGED, i, -i));
  });
  processing.join();
  EXPECT_TRUE(received.empty()) << "posting must not run the handler";

  ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 100; }, 2000));
  for (intptr_t i = 0; i < 100; ++i) {
    EXPECT_EQ(received[static_cast<std::size_t>(i)],
              (PostedMessage{WM_BRV_BUTTONS_CHANGED, i, -i}));
  }
  EXPECT_TRUE(allOnUiThread);
}

}  // namespace
}  // namespace brevanto
