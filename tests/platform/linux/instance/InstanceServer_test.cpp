#include "platform/linux/instance/InstanceServer.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/processing/Messages.h"
#include "platform/fake/RecordingInstanceHandler.h"
#include "platform/linux/instance/InstanceClient.h"
#include "platform/linux/instance/InstancePaths.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using namespace std::chrono_literals;
using testing::LogCapture;
using testing::TempDir;

std::string Frame(const InstanceMessage& message) {
  std::string bytes;
  EncodeInstanceRequest(message, bytes);
  return bytes;
}

// A client that speaks the protocol badly on purpose.
class RawClient {
 public:
  explicit RawClient(const std::string& path) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    connected_ = ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawClient() { Close(); }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  bool Connected() const { return connected_; }
  int Fd() const { return fd_; }
  void Send(const std::string& bytes) {
    ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }
  // The answer, or nothing when the server closed the connection instead.
  std::optional<int64_t> Answer() {
    uint8_t reply[kInstanceReplySize];
    std::size_t done = 0;
    while (done < sizeof reply) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 5000) != 1) return std::nullopt;
      const ssize_t n = ::recv(fd_, reply + done, sizeof reply - done, 0);
      if (n <= 0) return std::nullopt;
      done += static_cast<std::size_t>(n);
    }
    int64_t result = 0;
    if (!DecodeInstanceReply(std::span<const uint8_t, kInstanceReplySize>(reply), result)) {
      return std::nullopt;
    }
    return result;
  }
  // True when the server closed the connection.
  bool ClosedByServer() {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 5000) != 1) return false;
    char byte;
    return ::recv(fd_, &byte, 1, 0) <= 0;
  }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
};

class InstanceServerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(log_.Opened()); }

  void Listen() { ASSERT_EQ(server_.Listen(dir_.Dir()), InstanceServer::ListenStatus::Listening); }
  std::string SocketPath() const { return InstanceSocketPath(dir_.Dir()); }

  // Runs the server the way the event loop does until done() holds; false
  // when 10 s were not enough.
  bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      pollfd p{server_.EventFd(), POLLIN, 0};
      if (::poll(&p, 1, 10) > 0) server_.Process();
    }
    return true;
  }
  bool PumpUntilLogged(const std::string& fragment) {
    return PumpUntil([&] { return log_.Contains(fragment); });
  }
  bool PumpUntilReceived(std::size_t count) {
    return PumpUntil([&] { return handler_.Messages().size() >= count; });
  }

  TempDir dir_;
  LogCapture log_;
  RecordingInstanceHandler handler_;
  InstanceServer server_{handler_};
};

TEST_F(InstanceServerTest, HandsMessagesToTheServingThreadInOrderAndAnswersWithTheResult) {
  Listen();
  handler_.result = [](const InstanceMessage& m) { return static_cast<intptr_t>(m.lParam * 2); };
  const std::vector<InstanceMessage> sent = {
      {WM_COPYDATA, 0, 0, std::string("Race\0", 5)},
      {WM_BRV_REFRESH_DEVICES, 0, 0, {}},
      {WM_BRV_SET_INPUT_TARGET, -1, 21, {}},
  };
  std::vector<int64_t> answers;
  std::atomic<bool> finished{false};
  std::thread client([&] {
    InstanceClient c;
    if (c.Connect(SocketPath()) == ChannelStatus::Ok) {
      for (const InstanceMessage& m : sent) {
        int64_t result = -7;
        if (c.Send(m, 5s, &result) != ChannelStatus::Ok) break;
        answers.push_back(result);
      }
    }
    finished = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return finished.load(); }));
  client.join();

  EXPECT_EQ(handler_.Messages(), sent);
  EXPECT_EQ(answers, (std::vector<int64_t>{0, 0, 42}));
  for (const std::thread::id id : handler_.Threads()) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(InstanceServerTest, SocketIsPrivateToTheUserAndGoesWithTheServer) {
  struct stat st {};
  {
    InstanceServer server(handler_);
    ASSERT_EQ(server.Listen(dir_.Dir()), InstanceServer::ListenStatus::Listening);
    ASSERT_EQ(::stat(SocketPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
  }
  EXPECT_NE(::stat(SocketPath().c_str(), &st), 0);
  // The folder is free for the next instance.
  Listen();
}

TEST_F(InstanceServerTest, BadInputIsDroppedWithALogLineAndServingGoesOn) {
  Listen();
  const std::string good = Frame({WM_BRV_SHOW, 0, 0, {}});
  std::string badTag = good;
  badTag[5] = '?';
  // A length field one more than the largest frame allows.
  std::string oversized = Frame({WM_COPYDATA, 0, 0, {}});
  const uint32_t huge = kMaxInstanceFrame - 3;
  for (int i = 0; i < 4; ++i) oversized[i] = static_cast<char>(huge >> (8 * i));
  struct Case {
    const char* name;
    std::string bytes;
    bool closeAfterSending;
    const char* logged;
  };
  const Case cases[] = {
      {"foreign tag", badTag, false, "dropped a malformed message"},
      {"announced length beyond the limit", oversized, false,
       "dropped a message of 4125 bytes (at most 4124 allowed)"},
      {"sender leaves mid-frame", good.substr(0, 10), true,
       "dropped an incomplete message (10 bytes): the sender left"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    {
      RawClient bad(SocketPath());
      ASSERT_TRUE(bad.Connected());
      bad.Send(c.bytes);
      if (c.closeAfterSending) {
        bad.Close();
      } else {
        EXPECT_TRUE(
            PumpUntil([&] { return server_.ConnectionCount() == 0 && log_.Contains(c.logged); }));
        EXPECT_TRUE(bad.ClosedByServer());
      }
      EXPECT_TRUE(PumpUntilLogged(c.logged));
    }
    EXPECT_TRUE(handler_.Messages().empty());
    EXPECT_EQ(server_.ConnectionCount(), 0u);
  }

  RawClient after(SocketPath());
  after.Send(good);
  EXPECT_TRUE(PumpUntilReceived(1));
  EXPECT_EQ(after.Answer(), 0);
}

TEST_F(InstanceServerTest, HalfAMessageHoldsUpNobody) {
  Listen();
  const std::string slow = Frame({WM_COPYDATA, 0, 0, "Slow"});
  RawClient first(SocketPath());
  first.Send(slow.substr(0, 7));
  EXPECT_TRUE(PumpUntil([&] { return server_.ConnectionCount() == 1; }));

  RawClient second(SocketPath());
  second.Send(Frame({WM_BRV_RESTORE, 0, 0, {}}));
  EXPECT_TRUE(PumpUntilReceived(1));
  EXPECT_EQ(second.Answer(), 0);

  first.Send(slow.substr(7));
  EXPECT_TRUE(PumpUntilReceived(2));
  EXPECT_EQ(first.Answer(), 0);
  EXPECT_EQ(handler_.Messages().back().payload, "Slow");
}

TEST_F(InstanceServerTest, ManyClientsAtOnceAreAllServedInTheirOwnOrder) {
  Listen();
  constexpr int kClients = 24;  // more than the listen backlog
  constexpr int kMessages = 8;
  handler_.result = [](const InstanceMessage& m) {
    return static_cast<intptr_t>(m.wParam * 1000 + m.lParam);
  };
  std::atomic<int> finished{0};
  std::atomic<int> wrongAnswers{0};
  std::vector<std::thread> clients;
  for (int id = 0; id < kClients; ++id) {
    clients.emplace_back([&, id] {
      InstanceClient c;
      if (c.Connect(SocketPath(), 5s) == ChannelStatus::Ok) {
        for (int n = 0; n < kMessages; ++n) {
          int64_t result = -1;
          if (c.Send({WM_BRV_PRESS_BUTTON, id, n, {}}, 5s, &result) != ChannelStatus::Ok ||
              result != id * 1000 + n) {
            ++wrongAnswers;
          }
        }
      } else {
        wrongAnswers += kMessages;
      }
      ++finished;
    });
  }
  EXPECT_TRUE(PumpUntil([&] { return finished.load() == kClients; }));
  for (std::thread& t : clients) t.join();

  EXPECT_EQ(wrongAnswers.load(), 0);
  std::map<intptr_t, std::vector<intptr_t>> byClient;
  for (const InstanceMessage& m : handler_.Messages()) byClient[m.wParam].push_back(m.lParam);
  ASSERT_EQ(byClient.size(), static_cast<std::size_t>(kClients));
  for (const auto& [id, sequence] : byClient) {
    EXPECT_EQ(sequence, (std::vector<intptr_t>{0, 1, 2, 3, 4, 5, 6, 7})) << "client " << id;
  }
}

TEST_F(InstanceServerTest, AtTheLimitTheConnectionWaitingLongestMakesRoom) {
  Listen();
  std::vector<std::unique_ptr<RawClient>> open;
  for (std::size_t i = 0; i < InstanceServer::kMaxConnections; ++i) {
    open.push_back(std::make_unique<RawClient>(SocketPath()));
    ASSERT_TRUE(PumpUntil([&] { return server_.ConnectionCount() == i + 1; }));
  }
  RawClient newcomer(SocketPath());
  newcomer.Send(Frame({WM_BRV_MINIMIZE, 0, 0, {}}));
  EXPECT_TRUE(PumpUntilReceived(1));
  EXPECT_EQ(newcomer.Answer(), 0);
  EXPECT_TRUE(log_.Contains("32 connections are open: closed the one waiting longest"));
  EXPECT_TRUE(open.front()->ClosedByServer());
  EXPECT_EQ(server_.ConnectionCount(), InstanceServer::kMaxConnections);
}

// A server whose connections must complete a message within 300 ms.
class InstanceServerDeadlineTest : public InstanceServerTest {
 protected:
  static constexpr auto kDeadline = 300ms;
  InstanceServer quick_{handler_, kDeadline};

  bool PumpQuickUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      pollfd p{quick_.EventFd(), POLLIN, 0};
      if (::poll(&p, 1, 10) > 0) quick_.Process();
    }
    return true;
  }
};

TEST_F(InstanceServerDeadlineTest, AConnectionWithoutACompleteMessageIsClosedAtItsDeadline) {
  ASSERT_EQ(quick_.Listen(dir_.Dir()), InstanceServer::ListenStatus::Listening);
  const std::string frame = Frame({WM_BRV_SHOW, 0, 0, {}});
  struct Case {
    const char* name;
    std::string sent;
  };
  const Case cases[] = {{"nothing sent", ""}, {"half a message", frame.substr(0, 9)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawClient idle(SocketPath());
    if (!c.sent.empty()) idle.Send(c.sent);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(PumpQuickUntil([&] { return quick_.ConnectionCount() == 1; }));
    // Served by the timer alone: the client sends nothing more.
    ASSERT_TRUE(PumpQuickUntil([&] { return quick_.ConnectionCount() == 0; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, kDeadline - 20ms);
    EXPECT_TRUE(idle.ClosedByServer());
  }
  EXPECT_TRUE(log_.Contains("closed a connection that sent no complete message within 300 ms"));
  EXPECT_TRUE(handler_.Messages().empty());
}

TEST_F(InstanceServerDeadlineTest, EachAnswerGivesTheSenderTheSameTimeForItsNextMessage) {
  ASSERT_EQ(quick_.Listen(dir_.Dir()), InstanceServer::ListenStatus::Listening);
  RawClient client(SocketPath());
  for (int n = 0; n < 4; ++n) {
    // Most of the deadline passes between messages, more than it in all.
    const auto resume = std::chrono::steady_clock::now() + 200ms;
    ASSERT_TRUE(PumpQuickUntil([&] { return std::chrono::steady_clock::now() >= resume; }));
    client.Send(Frame({WM_BRV_PRESS_BUTTON, 0, n, {}}));
    ASSERT_TRUE(PumpQuickUntil([&] { return handler_.Messages().size() == std::size_t(n) + 1; }));
    EXPECT_EQ(client.Answer(), 0) << "message " << n;
  }
}

TEST_F(InstanceServerTest, IdleAndGarbageConnectionsNeitherLockOutNorFloodTheLog) {
  Listen();
  const std::size_t linesBefore = log_.Entries().size();
  std::atomic<bool> stop{false};
  std::atomic<bool> idleOpen{false};
  std::vector<std::unique_ptr<RawClient>> idle;
  std::thread opener([&] {
    for (int i = 0; i < 200; ++i) idle.push_back(std::make_unique<RawClient>(SocketPath()));
    idleOpen = true;
  });
  // One client sends random bytes over and over on fresh connections.
  std::thread garbage([&] {
    uint32_t seed = 12345;
    while (!stop) {
      RawClient noisy(SocketPath());
      std::string bytes(64, '\0');
      for (char& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<char>(seed >> 24);
      }
      ::send(noisy.Fd(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
      std::this_thread::sleep_for(2ms);
    }
  });
  ASSERT_TRUE(PumpUntil([&] { return idleOpen.load(); }));

  std::atomic<bool> answered{false};
  ChannelStatus status = ChannelStatus::Failed;
  std::chrono::steady_clock::duration took{};
  std::thread sender([&] {
    const auto start = std::chrono::steady_clock::now();
    InstanceClient c;
    status = c.Connect(SocketPath(), 1s);
    if (status == ChannelStatus::Ok) status = c.Send({WM_BRV_RESTORE, 0, 0, {}}, 1s, nullptr);
    took = std::chrono::steady_clock::now() - start;
    answered = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return answered.load(); }));
  sender.join();
  stop = true;
  garbage.join();
  opener.join();

  EXPECT_EQ(status, ChannelStatus::Ok);
  EXPECT_LT(took, 1s);
  ASSERT_EQ(handler_.Messages().size(), 1u);
  EXPECT_EQ(handler_.Messages()[0].message, WM_BRV_RESTORE);
  // A line per kind of drop, not one per connection.
  EXPECT_LE(log_.Entries().size() - linesBefore, 6u) << log_.Text();
}

TEST_F(InstanceServerTest, ConnectionOfAnotherUserIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can connect as another user";
  Listen();
  // Let the other user reach the socket, so the check of the peer is what
  // stops it.
  ASSERT_EQ(::chmod(SocketPath().c_str(), 0666), 0);
  const std::string frame = Frame({WM_BRV_RESTORE, 0, 0, {}});
  const std::string path = SocketPath();

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) ::_exit(3);
    [[maybe_unused]] const ssize_t sent = ::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL);
    char reply[kInstanceReplySize];
    ::_exit(::recv(fd, reply, sizeof reply, 0) <= 0 ? 0 : 4);
  }
  EXPECT_TRUE(PumpUntilLogged("refused a connection of user 65534"));
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "2: no uid change, 3: no connection, 4: got an answer";
  server_.Process();
  EXPECT_TRUE(handler_.Messages().empty());
}

TEST_F(InstanceServerTest, HandlerThatReentersOrThrowsDoesNotBreakTheOrder) {
  Listen();
  int depth = 0;
  int deepest = 0;
  handler_.onMessage = [&](const InstanceMessage& m) {
    ++depth;
    deepest = std::max(deepest, depth);
    // A nested event loop, as a modal dialog runs one.
    server_.Process();
    --depth;
    if (m.message == WM_BRV_SWITCH_FILE) throw std::runtime_error("no such profile");
  };
  RawClient client(SocketPath());
  client.Send(Frame({WM_BRV_SHOW, 0, 1, {}}) + Frame({WM_BRV_SHOW, 0, 2, {}}) +
              Frame({WM_BRV_SWITCH_FILE, 0, 'R', {}}) + Frame({WM_BRV_SHOW, 0, 4, {}}));
  EXPECT_TRUE(PumpUntilLogged("message 0x83FC failed: no such profile"));
  EXPECT_EQ(deepest, 1);
  ASSERT_EQ(handler_.Messages().size(), 3u);
  EXPECT_EQ(handler_.Messages()[0].lParam, 1);
  EXPECT_EQ(handler_.Messages()[1].lParam, 2);
  EXPECT_EQ(client.Answer(), 0);
  EXPECT_EQ(client.Answer(), 0);
  EXPECT_TRUE(client.ClosedByServer());
}

TEST_F(InstanceServerTest, OneServerPerFolderAndLeftoversAreReplaced) {
  // A socket file whose server died without removing it.
  {
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    SocketPath().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(stale, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(stale);
  }
  Listen();
  RecordingInstanceHandler other;
  InstanceServer second(other);
  EXPECT_EQ(second.Listen(dir_.Dir()), InstanceServer::ListenStatus::ServedElsewhere);
  RawClient client(SocketPath());
  client.Send(Frame({WM_BRV_RESTORE, 0, 0, {}}));
  EXPECT_TRUE(PumpUntilReceived(1));
  EXPECT_EQ(client.Answer(), 0);
}

TEST_F(InstanceServerTest, RefusesToReplaceAFileThatIsNotASocket) {
  dir_.Write("Brevanto.sock", "someone's file");
  EXPECT_EQ(server_.Listen(dir_.Dir()), InstanceServer::ListenStatus::Failed);
  EXPECT_TRUE(log_.Contains("Brevanto.sock\" exists and is not a socket"));
  EXPECT_EQ(testing::ReadBytes(dir_.File("Brevanto.sock")), "someone's file");
}

TEST(InstanceClient, ReportsAMissingInstanceAndAnOverlongPath) {
  TempDir dir;
  InstanceClient client;
  EXPECT_EQ(client.Connect(InstanceSocketPath(dir.Dir())), ChannelStatus::NoInstance);
  EXPECT_NE(client.ErrorText().find("no running instance listens on"), std::string::npos);
  EXPECT_EQ(client.Connect(dir.Dir() + std::string(120, 'x')), ChannelStatus::Failed);
  EXPECT_NE(client.ErrorText().find("too long"), std::string::npos);
  EXPECT_EQ(client.Send({WM_BRV_RESTORE, 0, 0, {}}, 1s), ChannelStatus::NoInstance);
}

}  // namespace
}  // namespace brevanto
