// Other programs cannot lock the running instance's channel: idle
// connections and garbage neither keep a request out nor fill the log.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "program/ProgramProcess.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

constexpr char kProfile[] = "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\n";

int ConnectTo(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::size_t LineCount(const std::string& text) {
  std::size_t n = 0;
  for (const char c : text) n += c == '\n';
  return n;
}

TEST(InstanceChannelUnderAbuse, RequestsGetThroughIdleAndGarbageConnections) {
  ProgramFixtureData run;
  run.WriteData("Other.cfg", kProfile);
  run.WriteData("Race.cfg", kProfile);
  run.WriteData("Pit.cfg", kProfile);
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nFileName=Other\r\n");
  std::unique_ptr<ChildProcess> first = run.Start({"--headless"});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: ", 30s)) << ReadText(run.Output());
  const std::string socket = run.Path("runtime/Brevanto.sock");

  std::vector<int> idle;
  for (int i = 0; i < 200; ++i) {
    const int fd = ConnectTo(socket);
    ASSERT_GE(fd, 0) << "connection " << i;
    idle.push_back(fd);
  }
  std::atomic<bool> stop{false};
  std::thread garbage([&] {
    uint32_t seed = 99;
    while (!stop) {
      const int fd = ConnectTo(socket);
      if (fd < 0) continue;
      char bytes[64];
      for (char& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<char>(seed >> 24);
      }
      ::send(fd, bytes, sizeof bytes, MSG_NOSIGNAL);
      ::close(fd);
      std::this_thread::sleep_for(5ms);
    }
  });
  const std::size_t linesBefore = LineCount(ReadText(run.LogPath()));

  // Locked out, brevantoctl would wait for its answer for ten seconds.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(run.Send({"profile", "Race"}), 0) << ReadText(run.Output());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_TRUE(WaitForText(run.LogPath(), "Received WM_COPYDATA Message: Race", 5s));

  std::unique_ptr<ChildProcess> second = run.Start({"--headless", "Pit"});
  EXPECT_EQ(second->Wait(30s), std::optional<int>(0)) << ReadText(run.Output());
  EXPECT_TRUE(WaitForText(run.LogPath(), "Received WM_COPYDATA Message: Pit", 5s));

  stop = true;
  garbage.join();
  for (const int fd : idle) ::close(fd);
  // The drops are summed up, not logged one by one.
  const std::string log = ReadText(run.LogPath());
  EXPECT_LE(LineCount(log) - linesBefore, 40u) << log;
  EXPECT_TRUE(first->Running());
  first->Signal(SIGTERM);
  EXPECT_EQ(first->Wait(30s), std::optional<int>(0));
}

}  // namespace
}  // namespace brevanto::testing
