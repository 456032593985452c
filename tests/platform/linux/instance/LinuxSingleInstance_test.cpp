#include "platform/linux/instance/LinuxSingleInstance.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <thread>

#include "core/processing/Messages.h"
#include "platform/fake/RecordingInstanceHandler.h"
#include "platform/linux/instance/InstancePaths.h"
#include "platform/linux/instance/InstanceServer.h"
#include "support/LogCapture.h"
#include "support/ScopedEnvironment.h"
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

TEST(LinuxSingleInstance, UnreachableInstanceMeansExitWithTheReason) {
  TempDir dir;
  LogCapture log;
  LinuxSingleInstance first(dir.Dir());
  ASSERT_EQ(first.AcquireOrHandOver({}), InstanceRole::First);
  // The first instance holds the lock but serves no channel (yet).
  LinuxSingleInstance second(dir.Dir(), 100ms, 1s);
  EXPECT_EQ(second.AcquireOrHandOver({"Race", true}), InstanceRole::HandOverFailed);
  EXPECT_FALSE(second.Holds());
  EXPECT_EQ(second.HandOverError().rfind("the running instance cannot be reached: no running "
                                         "instance listens on",
                                         0),
            0u)
      << second.HandOverError();
  EXPECT_TRUE(log.Contains("SingleInstance: " + second.HandOverError()));
}

TEST(LinuxSingleInstance, WithoutAFolderEveryStartRuns) {
  LogCapture log;
  LinuxSingleInstance first("");
  LinuxSingleInstance second("");
  EXPECT_EQ(first.AcquireOrHandOver({}), InstanceRole::First);
  EXPECT_EQ(second.AcquireOrHandOver({}), InstanceRole::First);
  EXPECT_TRUE(log.Contains("SingleInstance: no private folder for the instance files"));
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

TEST(InstancePaths, RuntimeFolderWhenItExistsElseAPrivateFolderOfTheUser) {
  TempDir runtime;
  TempDir temporary;
  const std::string own = temporary.Dir() + "brevanto-" + std::to_string(::geteuid());
  struct Case {
    const char* runtime;  // nullptr: unset
    const char* tmpdir;   // nullptr: unset
    std::string expected;
  };
  const Case cases[] = {
      {runtime.path().c_str(), temporary.path().c_str(), runtime.path().string()},
      // Whatever the data directory: one place per user.
      {nullptr, temporary.path().c_str(), own},
      {"", temporary.path().c_str(), own},
      {"relative/run", temporary.path().c_str(), own},
      {"/no/such/folder", temporary.path().c_str(), own},
  };
  testing::ScopedEnvironment environment;
  for (const Case& c : cases) {
    environment.Set("XDG_RUNTIME_DIR", c.runtime);
    environment.Set("TMPDIR", c.tmpdir);
    std::string error;
    EXPECT_EQ(InstanceDirectory(error), c.expected) << (c.runtime ? c.runtime : "unset");
    EXPECT_EQ(error, "");
  }
  struct stat st {};
  ASSERT_EQ(::lstat(own.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  EXPECT_EQ(st.st_uid, ::geteuid());

  EXPECT_EQ(InstanceLockPath("/run/user/1000"), "/run/user/1000/Mutex_Brevanto.lock");
  EXPECT_EQ(InstanceSocketPath("/data/"), "/data/Brevanto.sock");
}

TEST(InstancePaths, APrivateFolderSomeoneElseCouldReachIsRefused) {
  namespace fs = std::filesystem;
  struct Case {
    const char* name;
    std::function<void(const std::string& path)> prepare;
    const char* reason;  // nullptr: accepted
  };
  const Case cases[] = {
      {"made fresh under a wide umask", [](const std::string&) { ::umask(0777); }, nullptr},
      {"already there and private", [](const std::string& p) { ::mkdir(p.c_str(), 0700); },
       nullptr},
      {"open to the group",
       [](const std::string& p) {
         ::mkdir(p.c_str(), 0700);
         ::chmod(p.c_str(), 0770);
       },
       "is open to other users"},
      {"open to everyone",
       [](const std::string& p) {
         ::mkdir(p.c_str(), 0700);
         ::chmod(p.c_str(), 01777);
       },
       "is open to other users"},
      {"a link to a private folder",
       [](const std::string& p) {
         ::mkdir((p + "-target").c_str(), 0700);
         ::symlink((p + "-target").c_str(), p.c_str());
       },
       "is not a folder"},
      {"a file", [](const std::string& p) { std::ofstream(p) << "x"; }, "is not a folder"},
  };
  for (const Case& c : cases) {
    TempDir base;
    const std::string path = base.Dir() + "brevanto-" + std::to_string(::geteuid());
    const mode_t mask = ::umask(022);
    c.prepare(path);
    std::string error;
    const std::string got = PrivateInstanceDirectory(base.path().string(), error);
    ::umask(mask);
    if (c.reason == nullptr) {
      EXPECT_EQ(got, path) << c.name << ": " << error;
      struct stat st {};
      ASSERT_EQ(::lstat(path.c_str(), &st), 0) << c.name;
      EXPECT_TRUE(S_ISDIR(st.st_mode)) << c.name;
      EXPECT_EQ(st.st_mode & 07777, 0700u) << c.name;
    } else {
      EXPECT_EQ(got, "") << c.name;
      EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    }
  }
}

TEST(InstancePaths, AFolderOfAnotherUserIsRefused) {
  TempDir base;
  const std::string path = base.Dir() + "brevanto-" + std::to_string(::geteuid());
  ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
  if (::chown(path.c_str(), ::geteuid() + 1, ::getegid()) != 0) {
    GTEST_SKIP() << "only root can give a folder to another user";
  }
  std::string error;
  EXPECT_EQ(PrivateInstanceDirectory(base.path().string(), error), "");
  EXPECT_NE(error.find("belongs to another user"), std::string::npos) << error;
}

}  // namespace
}  // namespace brevanto
