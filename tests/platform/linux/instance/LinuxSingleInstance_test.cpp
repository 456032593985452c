#include "platform/linux/instance/LinuxSingleInstance.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "core/processing/Messages.h"
#include "platform/fake/RecordingInstanceHandler.h"
#include "platform/linux/instance/InstancePaths.h"
#include "platform/linux/instance/InstanceServer.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using namespace std::chrono_literals;
using testing::LogCapture;
using testing::TempDir;

// Serves the channel on this thread while a second start runs on another.
InstanceRole SecondStart(InstanceServer& server, const std::string& directory,
                         const HandOverRequest& request) {
  auto second = std::async(std::launch::async, [&] {
    LinuxSingleInstance instance(directory, 2s, 5s);
    return instance.AcquireOrHandOver(request);
  });
  while (second.wait_for(0ms) != std::future_status::ready) {
    pollfd p{server.EventFd(), POLLIN, 0};
    if (::poll(&p, 1, 10) > 0) server.Process();
  }
  return second.get();
}

TEST(LinuxSingleInstance, SecondStartHandsItsRequestOverInOrder) {
  struct Case {
    const char* name;
    HandOverRequest request;
    std::vector<InstanceMessage> expected;
  };
  const Case cases[] = {
      {"no arguments", {}, {{WM_BRV_RESTORE, 0, 0, {}}}},
      {"-r", {"", true}, {{WM_BRV_REFRESH_DEVICES, 0, 0, {}}, {WM_BRV_RESTORE, 0, 0, {}}}},
      {"Race",
       {"Race", false},
       {{WM_COPYDATA, 0, 0, std::string("Race\0", 5)}, {WM_BRV_RESTORE, 0, 0, {}}}},
      {"-r Race",
       {"Race", true},
       {{WM_COPYDATA, 0, 0, std::string("Race\0", 5)},
        {WM_BRV_REFRESH_DEVICES, 0, 0, {}},
        {WM_BRV_RESTORE, 0, 0, {}}}},
  };
  TempDir dir;
  LinuxSingleInstance first(dir.Dir());
  ASSERT_EQ(first.AcquireOrHandOver({}), InstanceRole::First);
  EXPECT_TRUE(first.Holds());
  for (const Case& c : cases) {
    RecordingInstanceHandler handler;
    InstanceServer server(handler);
    ASSERT_EQ(server.Listen(dir.Dir()), InstanceServer::ListenStatus::Listening);
    EXPECT_EQ(SecondStart(server, dir.Dir(), c.request), InstanceRole::HandedOver) << c.name;
    EXPECT_EQ(handler.Messages(), c.expected) << c.name;
  }
}

TEST(LinuxSingleInstance, TheLockIsFreeAgainWhenTheFirstInstanceEnds) {
  TempDir dir;
  {
    LinuxSingleInstance first(dir.Dir());
    ASSERT_EQ(first.AcquireOrHandOver({}), InstanceRole::First);
  }
  LinuxSingleInstance next(dir.Dir());
  EXPECT_EQ(next.AcquireOrHandOver({}), InstanceRole::First);
  EXPECT_TRUE(next.Holds());
}

TEST(LinuxSingleInstance, UnreachableInstanceStillMeansExit) {
  TempDir dir;
  LogCapture log;
  LinuxSingleInstance first(dir.Dir());
  ASSERT_EQ(first.AcquireOrHandOver({}), InstanceRole::First);
  // The first instance holds the lock but serves no channel (yet).
  LinuxSingleInstance second(dir.Dir(), 100ms, 1s);
  EXPECT_EQ(second.AcquireOrHandOver({"Race", true}), InstanceRole::HandedOver);
  EXPECT_FALSE(second.Holds());
  EXPECT_TRUE(
      log.Contains("SingleInstance: the running instance cannot be reached: no running "
                   "instance listens on"));
}

TEST(LinuxSingleInstance, ALockThatCannotBeMadeDoesNotStopTheProgram) {
  TempDir dir;
  LogCapture log;
  LinuxSingleInstance instance(dir.Dir() + "missing/");
  EXPECT_EQ(instance.AcquireOrHandOver({}), InstanceRole::First);
  EXPECT_FALSE(instance.Holds());
  EXPECT_TRUE(log.Contains("SingleInstance: cannot lock"));
  EXPECT_TRUE(log.HasMessage("No such file or directory"));
}

TEST(InstancePaths, RuntimeFolderWhenItExistsElseTheDataDirectory) {
  TempDir runtime;
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string restore = saved ? saved : "";
  struct Case {
    const char* value;  // nullptr: unset
    std::string expected;
  };
  const Case cases[] = {
      {runtime.path().c_str(), runtime.path().string()},
      {nullptr, "/data/"},
      {"", "/data/"},
      {"relative/run", "/data/"},
      {"/no/such/folder", "/data/"},
  };
  for (const Case& c : cases) {
    if (c.value) {
      setenv("XDG_RUNTIME_DIR", c.value, 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
    EXPECT_EQ(InstanceDirectory("/data/"), c.expected) << (c.value ? c.value : "unset");
  }
  if (saved) {
    setenv("XDG_RUNTIME_DIR", restore.c_str(), 1);
  } else {
    unsetenv("XDG_RUNTIME_DIR");
  }
  EXPECT_EQ(InstanceLockPath("/run/user/1000"), "/run/user/1000/Mutex_Brevanto.lock");
  EXPECT_EQ(InstanceSocketPath("/data/"), "/data/Brevanto.sock");
}

}  // namespace
}  // namespace brevanto
