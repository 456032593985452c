#include "platform/linux/timer/TimerFdThread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <system_error>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

timespec AddMilliseconds(timespec t, int ms) {
  t.tv_sec += ms / 1000;
  t.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
  if (t.tv_nsec >= 1000000000L) {
    t.tv_sec += 1;
    t.tv_nsec -= 1000000000L;
  }
  return t;
}

}  // namespace

TimerFdThread::~TimerFdThread() {
  RequestStop();
  if (thread_.joinable()) thread_.join();
  CloseDescriptors();
}

TimerStartResult TimerFdThread::Start(int periodMs, std::function<void()> onTick) {
  if (thread_.joinable()) {
    RequestStop();
    thread_.join();
  }
  CloseDescriptors();

  timerFd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
  if (timerFd_ < 0) return {TimerStartStatus::TimerUnavailable, errno};
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    const int error = errno;
    CloseDescriptors();
    return {TimerStartStatus::TimerUnavailable, error};
  }

  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  itimerspec spec{};
  spec.it_interval = AddMilliseconds(timespec{}, periodMs);
  spec.it_value = AddMilliseconds(now, periodMs);
  if (::timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &spec, nullptr) != 0) {
    const int error = errno;
    CloseDescriptors();
    return {TimerStartStatus::TimerNotSet, error};
  }

  onTick_ = std::move(onTick);
  stop_.store(false, std::memory_order_relaxed);
  finished_ = false;
  try {
    thread_ = std::thread(&TimerFdThread::Run, this);
  } catch (const std::system_error& e) {
    CloseDescriptors();
    return {TimerStartStatus::ThreadNotCreated, e.code().value()};
  }
  return {};
}

void TimerFdThread::RequestStop() {
  stop_.store(true, std::memory_order_relaxed);
  if (wakeFd_ >= 0) {
    const uint64_t one = 1;
    // Only fails when the counter is full, and then the thread is woken anyway.
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
  }
}

bool TimerFdThread::WaitStopped(std::chrono::milliseconds timeout) {
  if (!thread_.joinable()) return true;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!ended_.wait_for(lock, timeout, [this] { return finished_; })) return false;
  }
  thread_.join();
  CloseDescriptors();
  return true;
}

void TimerFdThread::Run() {
  pollfd fds[2] = {{timerFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  while (!stop_.load(std::memory_order_relaxed)) {
    const int n = ::poll(fds, 2, -1);
    if (n < 0) {
      if (errno == EINTR) continue;
      LOG_ERROR("TimerThread: waiting for the timer failed");
      LOG_SYSTEM_ERROR();
      break;
    }
    if (fds[1].revents != 0 || stop_.load(std::memory_order_relaxed)) break;
    if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
      LOG_ERROR("TimerThread: the timer stopped working");
      break;
    }
    if (fds[0].revents & POLLIN) {
      uint64_t expirations = 0;
      if (::read(timerFd_, &expirations, sizeof expirations) != sizeof expirations) continue;
      onTick_();
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  finished_ = true;
  ended_.notify_all();
}

void TimerFdThread::CloseDescriptors() {
  if (timerFd_ >= 0) ::close(timerFd_);
  if (wakeFd_ >= 0) ::close(wakeFd_);
  timerFd_ = -1;
  wakeFd_ = -1;
}

}  // namespace brevanto
