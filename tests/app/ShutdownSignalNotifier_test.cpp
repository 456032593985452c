#include "app/signals/ShutdownSignalNotifier.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <csignal>
#include <vector>

#include "support/LogCapture.h"

namespace brevanto {
namespace {

TEST(ShutdownSignalNotifier, TheFirstSignalRequestsShutdownOnceFromTheEventLoop) {
  testing::LogCapture log;
  std::vector<int> requests;
  ShutdownSignalNotifier notifier([&](int signal) {
    requests.push_back(signal);
    QCoreApplication::quit();
  });
  ASSERT_TRUE(notifier.Installed());
  bool handledInsideTheSignal = true;
  QTimer::singleShot(0, [&] {
    std::raise(SIGTERM);
    std::raise(SIGINT);
    // The handlers only queue; the request comes later from the loop.
    handledInsideTheSignal = !requests.empty();
  });
  QTimer::singleShot(10000, QCoreApplication::instance(), &QCoreApplication::quit);
  QCoreApplication::exec();

  EXPECT_FALSE(handledInsideTheSignal);
  EXPECT_EQ(requests, std::vector<int>{SIGTERM});
  EXPECT_TRUE(log.HasMessage("Received SIGTERM.  Exiting..."));
  EXPECT_TRUE(log.HasMessage("Received SIGINT while shutting down"));
}

}  // namespace
}  // namespace brevanto
