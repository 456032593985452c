#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "core/ports/TimerThread.h"

namespace brevanto {

// What one timer tick does beyond counting and locking.
class TickHandler {
 public:
  virtual ~TickHandler() = default;
  // Every tick, before the disabled check, so it runs while processing is
  // paused too.
  virtual void OnEveryTick(int32_t tick) = 0;
  // Ticks that are not disabled and got the processing lock; the lock is held
  // throughout.
  virtual void OnLockedTick(int32_t tick) = 0;
};

// The processing thread's clock and the lock that guards everything a cycle
// reads. The user-interface thread pauses cycling around every change of that
// data (TimerDisable/TimerEnable) and takes the lock only through
// SafeEnterCriticalSection; the processing thread only ever tries the lock and
// skips a tick when it is busy.
class ProcessingTimer {
 public:
  ProcessingTimer(TimerThread& thread, TickHandler& handler);
  ProcessingTimer(const ProcessingTimer&) = delete;
  ProcessingTimer& operator=(const ProcessingTimer&) = delete;
  ~ProcessingTimer();

  // Starts cycling every 16 >> turboMode ms. False when the timer or its
  // thread could not be started: the program then runs without input.
  bool TimerInit(int turboMode);
  // Stops cycling for good and waits until the thread has ended. TimerInit
  // may start it again.
  void TimerTerminate();
  // Pauses cycling; returns only after a running cycle has left the lock.
  void TimerDisable();
  void TimerEnable();

  // The pause the user chooses. It is kept apart from the TimerDisable and
  // TimerEnable bracket that surrounds every edit, so an edit made during the
  // pause does not end it: only SetUserPaused(false) does, and neither
  // TimerInit nor TimerEnable touch it. Pausing returns only after a running
  // cycle has left the lock.
  void SetUserPaused(bool paused);
  bool UserPaused() const { return userPaused_.load(std::memory_order_relaxed); }

  // Takes the processing lock from the user-interface thread: while it is
  // busy, retries every 20 ms. Re-entrant. No events of the user-interface
  // thread run while it waits: a cycle never waits for that thread (results
  // travel by posted messages, the clipboard answers on a thread of its own),
  // and handlers run inside the wait would re-enter the caller half way
  // through its change.
  void SafeEnterCriticalSection();
  void LeaveCriticalSection() { lock_.unlock(); }

  // One timer tick: counts it, then runs the handler's locked part unless
  // processing is paused (either way) or the lock is busy. The timer thread calls it; tests
  // and the replay tool call it directly.
  void TimerCallback();

  int32_t Tick() const { return tick_.load(std::memory_order_relaxed); }
  bool Disabled() const { return disabled_.load(std::memory_order_relaxed); }
  bool Terminating() const { return terminating_.load(std::memory_order_relaxed); }
  bool Running() const { return running_; }
  int PeriodMs() const { return periodMs_; }

 private:
  bool Paused() const { return Disabled() || UserPaused(); }

  TimerThread& thread_;
  TickHandler& handler_;
  std::recursive_mutex lock_;
  std::atomic<int32_t> tick_{0};
  std::atomic<bool> disabled_{true};
  std::atomic<bool> userPaused_{false};
  std::atomic<bool> terminating_{false};
  bool running_ = false;  // user-interface thread only
  int periodMs_ = 0;
};

}  // namespace brevanto
