#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/processing/Messages.h"
#include "platform/fake/RecordingInstanceHandler.h"
#include "platform/linux/instance/InstanceServer.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

extern char** environ;

namespace brevanto {
namespace {

struct Outcome {
  int exitCode = -1;
  std::string errors;
};

// Runs brevantoctl with the given arguments and environment overrides
// (an empty value removes the variable), serving the channel meanwhile.
Outcome RunBrevantoctl(InstanceServer* server, const std::vector<std::string>& args,
                       const std::vector<std::pair<std::string, std::string>>& env) {
  std::vector<std::string> environment;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    bool overridden = false;
    for (const auto& [name, value] : env) overridden |= entry.starts_with(name + "=");
    if (!overridden) environment.push_back(entry);
  }
  for (const auto& [name, value] : env) {
    if (!value.empty()) environment.push_back(name + "=" + value);
  }
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argStrings = {BREVANTOCTL_PATH};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);

  int errorPipe[2];
  EXPECT_EQ(::pipe2(errorPipe, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, errorPipe[1], 2);
  pid_t pid = -1;
  const int spawned =
      posix_spawn(&pid, BREVANTOCTL_PATH, &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(errorPipe[1]);
  Outcome outcome;
  if (spawned != 0) {
    ::close(errorPipe[0]);
    return outcome;
  }
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      break;
    }
    if (server) {
      pollfd p{server->EventFd(), POLLIN, 0};
      if (::poll(&p, 1, 5) > 0) server->Process();
    } else {
      ::usleep(5000);
    }
  }
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(errorPipe[0], buffer, sizeof buffer)) > 0) outcome.errors.append(buffer, n);
  ::close(errorPipe[0]);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

class BrevantoctlSendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(server_.Listen(runtime_.Dir()), InstanceServer::ListenStatus::Listening);
  }
  Outcome Send(const std::vector<std::string>& args) {
    std::vector<std::string> full = {"send"};
    full.insert(full.end(), args.begin(), args.end());
    return RunBrevantoctl(
        &server_, full, {{"XDG_RUNTIME_DIR", runtime_.path().string()}, {"BREVANTO_DATA_DIR", ""}});
  }

  testing::TempDir runtime_;
  testing::LogCapture log_;
  RecordingInstanceHandler handler_;
  InstanceServer server_{handler_};
};

TEST_F(BrevantoctlSendTest, EachCommandDeliversItsMessage) {
  struct Case {
    std::vector<std::string> args;
    InstanceMessage expected;
  };
  const Case cases[] = {
      {{"restore"}, {WM_BRV_RESTORE, 0, 0, {}}},
      {{"show"}, {WM_BRV_SHOW, 0, 0, {}}},
      {{"minimize"}, {WM_BRV_MINIMIZE, 0, 0, {}}},
      {{"refresh"}, {WM_BRV_REFRESH_DEVICES, 0, 0, {}}},
      {{"profile", "Second"}, {WM_COPYDATA, 0, 0, std::string("Second\0", 7)}},
      {{"profile", "レース"}, {WM_COPYDATA, 0, 0, std::string("レース\0", 10)}},
      {{"switch-file", "R"}, {WM_BRV_SWITCH_FILE, 0, 0x52, {}}},
      // Half-width katakana are one byte in the Japanese Windows code page;
      // a byte that is no UTF-8 goes as it is.
      {{"switch-file", "ﾀ"}, {WM_BRV_SWITCH_FILE, 0, 0xC0, {}}},
      {{"switch-file", "\xC0"}, {WM_BRV_SWITCH_FILE, 0, 0xC0, {}}},
      {{"switch-file", "?"}, {WM_BRV_SWITCH_FILE, 0, '?', {}}},
      {{"set-input-target", "0", "1"}, {WM_BRV_SET_INPUT_TARGET, 0, 1, {}}},
      {{"set-input-target", "-1", "-1"}, {WM_BRV_SET_INPUT_TARGET, -1, -1, {}}},
      {{"press", "4"}, {WM_BRV_PRESS_BUTTON, 0, 4, {}}},
      {{"release", "127"}, {WM_BRV_RELEASE_BUTTON, 0, 127, {}}},
  };
  for (const Case& c : cases) {
    const std::size_t before = handler_.Messages().size();
    const Outcome outcome = Send(c.args);
    EXPECT_EQ(outcome.exitCode, 0) << c.args[0] << ": " << outcome.errors;
    ASSERT_EQ(handler_.Messages().size(), before + 1) << c.args[0];
    EXPECT_EQ(handler_.Messages().back(), c.expected) << c.args[0];
  }
}

TEST_F(BrevantoctlSendTest, BadUsageExitsWithTwoAndSendsNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"bogus"},
      {"restore", "extra"},
      {"profile"},
      {"profile", ""},
      {"switch-file", "Ra"},
      // Two bytes in the code page, or none at all.
      {"switch-file", "タ"},
      {"switch-file", "é"},
      {"set-input-target", "0"},
      {"set-input-target", "0", "x"},
      {"set-input-target", "-2", "0"},
      {"press", "128"},
      {"press", "-1"},
      {"release", "4x"},
      {"--data-dir"},
      {"--frobnicate", "restore"},
  };
  for (const auto& args : cases) {
    const Outcome outcome = Send(args);
    EXPECT_EQ(outcome.exitCode, 2) << (args.empty() ? "(none)" : args[0]);
    EXPECT_NE(outcome.errors.find("usage: brevantoctl send"), std::string::npos);
  }
  EXPECT_TRUE(handler_.Messages().empty());
}

TEST(BrevantoctlSend, WithoutARuntimeFolderItFindsTheUsersPrivateFolder) {
  testing::TempDir temporary;
  const std::string folder = temporary.Dir() + "brevanto-" + std::to_string(::geteuid());
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  RecordingInstanceHandler handler;
  InstanceServer server(handler);
  ASSERT_EQ(server.Listen(folder), InstanceServer::ListenStatus::Listening);
  const Outcome outcome = RunBrevantoctl(
      &server, {"send", "show"}, {{"XDG_RUNTIME_DIR", ""}, {"TMPDIR", temporary.path().string()}});
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
  EXPECT_EQ(handler.Messages().size(), 1u);
}

TEST(BrevantoctlSend, WithoutARunningInstanceItFailsWithOne) {
  testing::TempDir empty;
  const Outcome outcome =
      RunBrevantoctl(nullptr, {"send", "restore"}, {{"XDG_RUNTIME_DIR", empty.path().string()}});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_NE(outcome.errors.find("no running instance listens on"), std::string::npos)
      << outcome.errors;
}

TEST_F(BrevantoctlSendTest, AMessageTheInstanceDropsIsAFailure) {
  handler_.onMessage = [](const InstanceMessage&) { throw std::runtime_error("broken"); };
  const Outcome outcome = Send({"restore"});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_NE(outcome.errors.find("dropped the message"), std::string::npos) << outcome.errors;
}

}  // namespace
}  // namespace brevanto
