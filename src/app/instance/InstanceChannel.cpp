#include "app/instance/InstanceChannel.h"

namespace brevanto {

InstanceChannel::InstanceChannel(InstanceMessageHandler& handler) : server_(handler) {}

InstanceChannel::~InstanceChannel() {
  notifier_.reset();
}

InstanceServer::ListenStatus InstanceChannel::Listen(const std::string& directory) {
  notifier_.reset();
  const InstanceServer::ListenStatus status = server_.Listen(directory);
  if (status != InstanceServer::ListenStatus::Listening) return status;
  notifier_ = std::make_unique<QSocketNotifier>(server_.EventFd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this] { OnActivated(); });
  return status;
}

void InstanceChannel::OnActivated() {
  // A handler may open a modal dialog, whose nested event loop would
  // otherwise report the same pending work again and again while the server
  // refuses to re-enter.
  notifier_->setEnabled(false);
  server_.Process();
  notifier_->setEnabled(true);
}

}  // namespace brevanto
