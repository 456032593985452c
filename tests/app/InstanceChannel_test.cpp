#include "app/instance/InstanceChannel.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "core/processing/Messages.h"
#include "platform/fake/RecordingInstanceHandler.h"
#include "platform/linux/instance/InstanceClient.h"
#include "platform/linux/instance/InstancePaths.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using namespace std::chrono_literals;

void QuitLater() {
  QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                            Qt::QueuedConnection);
}

// Runs the application's event loop until quit, at most 10 s.
void RunLoop() {
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, QCoreApplication::instance(), &QCoreApplication::quit);
  guard.start(10000);
  QCoreApplication::exec();
}

std::chrono::microseconds ThreadCpuTime() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

class InstanceChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(channel_.Listen(dir_.Dir()), InstanceServer::ListenStatus::Listening);
  }
  // Sends on a connection of its own, from another thread.
  std::thread Sender(std::vector<InstanceMessage> messages, std::atomic<int>& delivered) {
    return std::thread([this, messages, &delivered] {
      InstanceClient client;
      if (client.Connect(InstanceSocketPath(dir_.Dir())) != ChannelStatus::Ok) return;
      for (const InstanceMessage& m : messages) {
        if (client.Send(m, 5s) == ChannelStatus::Ok) ++delivered;
      }
    });
  }

  testing::TempDir dir_;
  testing::LogCapture log_;
  RecordingInstanceHandler handler_;
  InstanceChannel channel_{handler_};
};

TEST_F(InstanceChannelTest, MessagesAreHandledOnTheEventLoopsThread) {
  std::atomic<int> delivered{0};
  std::thread sender = Sender(
      {{WM_COPYDATA, 0, 0, std::string("Race\0", 5)}, {WM_BRV_RESTORE, 0, 0, {}}}, delivered);
  handler_.onMessage = [](const InstanceMessage& m) {
    if (m.message == WM_BRV_RESTORE) QuitLater();
  };
  RunLoop();
  sender.join();

  EXPECT_EQ(delivered.load(), 2);
  ASSERT_EQ(handler_.Messages().size(), 2u);
  EXPECT_EQ(handler_.Messages()[0].payload, std::string("Race\0", 5));
  for (const std::thread::id id : handler_.Threads()) EXPECT_EQ(id, std::this_thread::get_id());
}

// A handler that shows a modal dialog runs a nested event loop. Meanwhile
// another message waits; it must neither re-enter the handler nor keep the
// nested loop busy, and it is handled once the dialog closes.
TEST_F(InstanceChannelTest, ANestedLoopInAHandlerNeitherReentersNorSpins) {
  std::atomic<bool> inDialog{false};
  int depth = 0;
  int deepest = 0;
  std::chrono::microseconds dialogCpu{0};
  handler_.onMessage = [&](const InstanceMessage& m) {
    deepest = std::max(deepest, ++depth);
    if (m.lParam == 1) {
      QEventLoop dialog;
      QTimer::singleShot(300, &dialog, &QEventLoop::quit);
      inDialog = true;
      const auto before = ThreadCpuTime();
      dialog.exec();
      dialogCpu = ThreadCpuTime() - before;
    } else {
      QuitLater();
    }
    --depth;
  };
  std::atomic<int> delivered{0};
  std::thread first = Sender({{WM_BRV_SHOW, 0, 1, {}}}, delivered);
  std::thread second([&] {
    while (!inDialog) std::this_thread::sleep_for(1ms);
    InstanceClient client;
    if (client.Connect(InstanceSocketPath(dir_.Dir())) == ChannelStatus::Ok &&
        client.Send({WM_BRV_SHOW, 0, 2, {}}, 5s) == ChannelStatus::Ok) {
      ++delivered;
    }
  });
  RunLoop();
  first.join();
  second.join();

  EXPECT_EQ(delivered.load(), 2);
  EXPECT_EQ(deepest, 1);
  ASSERT_EQ(handler_.Messages().size(), 2u);
  EXPECT_EQ(handler_.Messages()[0].lParam, 1);
  EXPECT_EQ(handler_.Messages()[1].lParam, 2);
  EXPECT_LT(dialogCpu, 100ms) << "the nested loop spun on the pending message";
}

}  // namespace
}  // namespace brevanto
