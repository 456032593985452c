#include "platform/linux/timer/TimerFdThread.h"

#include <pthread.h>
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
  stop_.store(true, std::memory_order_release);
  if (timerFd_ < 0) return;
  // The thread is woken by an expiry right away; it then sees the flag.
  itimerspec now{};
  now.it_value.tv_nsec = 1;
  if (::timerfd_settime(timerFd_, 0, &now, nullptr) != 0) {
    LOG_ERROR("TimerThread: the timer could not be set to wake the thread for its end");
    LOG_SYSTEM_ERROR();
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

// One blocking read per period and nothing else while idle: on a virtual
// machine every system call of a wake-up costs microseconds. Stopping wakes
// the read through the same timer.
void TimerFdThread::Run() {
  // Named so that per-thread figures (top -H, /proc/PID/task) say whose they are.
  pthread_setname_np(pthread_self(), "brevanto-timer");
  while (!stop_.load(std::memory_order_acquire)) {
    uint64_t expirations = 0;
    const ssize_t n = ::read(timerFd_, &expirations, sizeof expirations);
    if (n < 0) {
      if (errno == EINTR) continue;
      LOG_ERROR("TimerThread: waiting for the timer failed");
      LOG_SYSTEM_ERROR();
      break;
    }
    if (stop_.load(std::memory_order_acquire)) break;
    if (n == sizeof expirations) onTick_();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  finished_ = true;
  ended_.notify_all();
}

void TimerFdThread::CloseDescriptors() {
  if (timerFd_ >= 0) ::close(timerFd_);
  timerFd_ = -1;
}

}  // namespace brevanto
