#pragma once

#include <QSocketNotifier>
#include <memory>
#include <string>

#include "platform/linux/instance/InstanceServer.h"

namespace brevanto {

// The instance channel on the Qt event loop: whenever the server has work,
// the user-interface thread processes it, so the handler runs there.
class InstanceChannel {
 public:
  explicit InstanceChannel(InstanceMessageHandler& handler);
  InstanceChannel(const InstanceChannel&) = delete;
  InstanceChannel& operator=(const InstanceChannel&) = delete;
  ~InstanceChannel();

  InstanceServer::ListenStatus Listen(const std::string& directory);
  const InstanceServer& Server() const { return server_; }

 private:
  void OnActivated();

  InstanceServer server_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace brevanto
