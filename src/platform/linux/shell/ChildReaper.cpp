#include "platform/linux/shell/ChildReaper.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

// Without a pidfd, ended children are looked for this often.
constexpr int kPollMilliseconds = 200;

int OpenPidfd(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

void LogEnd(const std::string& name, int status, bool failureIsError) {
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    LOG_DEBUG("Launch: %s ended", name.c_str());
    return;
  }
  const LogLevel level = failureIsError ? LogLevel::Error : LogLevel::Debug;
  Logger& logger = Logger::Instance();
  if (!logger.Enabled(level)) return;
  if (WIFEXITED(status)) {
    logger.PrintfAt(level, __FILE__, __LINE__, "Launch: %s exited with status %d", name.c_str(),
                    WEXITSTATUS(status));
  } else if (WIFSIGNALED(status)) {
    logger.PrintfAt(level, __FILE__, __LINE__, "Launch: %s was ended by signal %d", name.c_str(),
                    WTERMSIG(status));
  }
}

}  // namespace

ChildReaper::~ChildReaper() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  if (thread_.joinable()) {
    Wake();
    thread_.join();
  }
  // Children still running are reaped by init once this process is gone.
  for (const Child& child : children_) {
    if (child.pidfd >= 0) ::close(child.pidfd);
  }
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void ChildReaper::Adopt(pid_t pid, const std::string& name, bool failureIsError) {
  std::lock_guard lock(mutex_);
  if (wakeFd_ < 0) {
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
      LOG_ERROR("Launch: cannot create the event that watches started programs");
      LOG_SYSTEM_ERROR();
    }
  }
  children_.push_back(Child{pid, OpenPidfd(pid), name, failureIsError});
  if (!thread_.joinable()) {
    thread_ = std::thread([this] { Run(); });
  } else {
    Wake();
  }
}

std::size_t ChildReaper::Pending() {
  std::lock_guard lock(mutex_);
  return children_.size();
}

void ChildReaper::Wake() {
  if (wakeFd_ < 0) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void ChildReaper::ReapEnded() {
  for (auto it = children_.begin(); it != children_.end();) {
    int status = 0;
    const pid_t ended = ::waitpid(it->pid, &status, WNOHANG);
    if (ended == 0) {
      ++it;
      continue;
    }
    if (ended == it->pid) LogEnd(it->name, status, it->failureIsError);
    // ended < 0: someone else waited for it already; nothing left to reap.
    if (it->pidfd >= 0) ::close(it->pidfd);
    it = children_.erase(it);
  }
}

void ChildReaper::Run() {
  pthread_setname_np(pthread_self(), "brevanto-reaper");
  std::vector<pollfd> fds;
  for (;;) {
    bool polling = false;
    {
      std::lock_guard lock(mutex_);
      ReapEnded();
      if (stop_) return;
      fds.clear();
      if (wakeFd_ >= 0) fds.push_back(pollfd{wakeFd_, POLLIN, 0});
      for (const Child& child : children_) {
        if (child.pidfd >= 0)
          fds.push_back(pollfd{child.pidfd, POLLIN, 0});
        else
          polling = true;
      }
      // Without a wake event, changes are only seen by polling.
      if (wakeFd_ < 0) polling = true;
    }
    const int ready = ::poll(fds.data(), fds.size(), polling ? kPollMilliseconds : -1);
    if (ready < 0 && errno != EINTR) {
      LOG_ERROR("Launch: waiting for started programs failed");
      LOG_SYSTEM_ERROR();
      ::usleep(kPollMilliseconds * 1000);
    }
    if (wakeFd_ >= 0) {
      uint64_t count = 0;
      [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
    }
  }
}

}  // namespace brevanto
