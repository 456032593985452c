#include "platform/linux/instance/LinuxSingleInstance.h"

#include <vector>

#include "core/log/Logger.h"
#include "core/processing/Messages.h"
#include "platform/linux/instance/InstanceClient.h"
#include "platform/linux/instance/InstancePaths.h"

namespace brevanto {

LinuxSingleInstance::LinuxSingleInstance(std::string directory,
                                         std::chrono::milliseconds connectWait,
                                         std::chrono::milliseconds answerTimeout)
    : directory_(std::move(directory)), connectWait_(connectWait), answerTimeout_(answerTimeout) {}

InstanceRole LinuxSingleInstance::AcquireOrHandOver(const HandOverRequest& request) {
  const std::string path = InstanceLockPath(directory_);
  switch (lock_.TryAcquire(path)) {
    case LockStatus::Acquired:
      return InstanceRole::First;
    case LockStatus::HeldElsewhere:
      HandOver(request);
      return InstanceRole::HandedOver;
    case LockStatus::Failed: {
      // Refusing to start over a lock file that cannot be made is worse than
      // running twice.
      const std::string reason = SystemErrorText();
      LOG_ERROR("SingleInstance: cannot lock \"%s\"; not checking for another instance",
                path.c_str());
      Logger::Instance().WriteAt(LogLevel::Error, __FILE__, __LINE__, reason);
      return InstanceRole::First;
    }
  }
  return InstanceRole::First;
}

void LinuxSingleInstance::HandOver(const HandOverRequest& request) {
  LOG_INFO("SingleInstance: another instance is running; handing the request over");
  std::vector<InstanceMessage> messages;
  if (!request.profileName.empty()) {
    // A zero-terminated string, as WM_COPYDATA carries it.
    messages.push_back({WM_COPYDATA, 0, 0, request.profileName + '\0'});
  }
  if (request.refreshDevices) messages.push_back({WM_BRV_REFRESH_DEVICES, 0, 0, {}});
  messages.push_back({WM_BRV_RESTORE, 0, 0, {}});

  InstanceClient client;
  if (client.Connect(InstanceSocketPath(directory_), connectWait_) != ChannelStatus::Ok) {
    LOG_ERROR("SingleInstance: the running instance cannot be reached: %s",
              client.ErrorText().c_str());
    return;
  }
  for (const InstanceMessage& message : messages) {
    if (client.Send(message, answerTimeout_) != ChannelStatus::Ok) {
      LOG_ERROR("SingleInstance: message 0x%04X was not delivered: %s", message.message,
                client.ErrorText().c_str());
      return;
    }
  }
}

}  // namespace brevanto
