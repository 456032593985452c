#include "app/signals/ShutdownSignalNotifier.h"

#include "core/log/Logger.h"

namespace brevanto {

ShutdownSignalNotifier::ShutdownSignalNotifier(std::function<void(int)> onShutdown)
    : onShutdown_(std::move(onShutdown)) {
  if (!signals_.Installed()) return;
  notifier_ = std::make_unique<QSocketNotifier>(signals_.ReadFd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this] { OnActivated(); });
}

ShutdownSignalNotifier::~ShutdownSignalNotifier() {
  notifier_.reset();
}

void ShutdownSignalNotifier::OnActivated() {
  for (const int signal : signals_.TakeReceived()) {
    if (requested_) {
      LOG_INFO("Received %s while shutting down", ShutdownSignals::Name(signal));
      continue;
    }
    LOG_INFO("Received %s.  Exiting...", ShutdownSignals::Name(signal));
    requested_ = true;
    if (onShutdown_) onShutdown_(signal);
  }
}

}  // namespace brevanto
