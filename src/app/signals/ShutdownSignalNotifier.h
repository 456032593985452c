#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "platform/linux/signals/ShutdownSignals.h"

namespace brevanto {

// SIGTERM, SIGINT and SIGHUP as an orderly-shutdown request on the Qt event
// loop. The request is made once; later signals are only logged, since the
// shutdown is already under way.
class ShutdownSignalNotifier {
 public:
  explicit ShutdownSignalNotifier(std::function<void(int signal)> onShutdown);
  ShutdownSignalNotifier(const ShutdownSignalNotifier&) = delete;
  ShutdownSignalNotifier& operator=(const ShutdownSignalNotifier&) = delete;
  ~ShutdownSignalNotifier();

  bool Installed() const { return signals_.Installed(); }

 private:
  void OnActivated();

  ShutdownSignals signals_;
  std::function<void(int)> onShutdown_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool requested_ = false;
};

}  // namespace brevanto
