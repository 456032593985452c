#include "platform/linux/instance/LinuxSingleInstance.h"

#include <cstdio>
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
  handOverError_.clear();
  if (directory_.empty()) {
    LOG_ERROR(
        "SingleInstance: no private folder for the instance files; not checking for "
        "another instance");
    return InstanceRole::First;
  }
  const std::string path = InstanceLockPath(directory_);
  switch (lock_.TryAcquire(path)) {
    case LockStatus::Acquired:
      return InstanceRole::First;
    case LockStatus::HeldElsewhere:
      return HandOver(request) ? InstanceRole::HandedOver : InstanceRole::HandOverFailed;
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

bool LinuxSingleInstance::HandOver(const HandOverRequest& request) {
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
    handOverError_ = "the running instance cannot be reached: " + client.ErrorText();
    LOG_ERROR("SingleInstance: %s", handOverError_.c_str());
    return false;
  }
  for (const InstanceMessage& message : messages) {
    if (client.Send(message, answerTimeout_) != ChannelStatus::Ok) {
      char number[16];
      std::snprintf(number, sizeof number, "0x%04X", message.message);
      handOverError_ = std::string("the running instance did not take message ") + number + ": " +
                       client.ErrorText();
      LOG_ERROR("SingleInstance: %s", handOverError_.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace brevanto
