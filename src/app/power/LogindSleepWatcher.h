#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include "core/processing/PowerBroadcast.h"

namespace brevanto {

// Suspend and resume from logind's PrepareForSleep signal, handed to the
// power event handling as the matching power broadcasts. While awake it holds
// a delay inhibitor, so the machine waits for the suspend handling (which
// releases every held key) before it sleeps.
class LogindSleepWatcher : public QObject {
  Q_OBJECT

 public:
  explicit LogindSleepWatcher(PowerBroadcastHandler& handler,
                              QDBusConnection bus = QDBusConnection::systemBus(),
                              QObject* parent = nullptr);

  // False, with one log line, when the bus cannot be reached; the program
  // goes on without power events.
  bool Start();
  bool HoldsDelayLock() const { return delayLock_.isValid(); }

 private slots:
  void OnPrepareForSleep(bool start);

 private:
  void TakeDelayLock();

  PowerBroadcastHandler& handler_;
  QDBusConnection bus_;
  QDBusUnixFileDescriptor delayLock_;
  bool delayLockRefused_ = false;
};

}  // namespace brevanto
