#include "platform/linux/output/LinuxOutput.h"

#include "core/engine/OutputSelection.h"
#include "platform/linux/output/UinputDevice.h"
#include "platform/linux/output/XTestConnection.h"

namespace brevanto {

LinuxOutput::LinuxOutput(const Options& options) {
  if (options.useUinput) uinput_ = UinputDevice::Create(options.uinputPath);
  if (options.useX) x_ = XTestConnection::Open(options.displayName);
  facilities_.uinput = uinput_ ? &uinput_->Writer() : nullptr;
  facilities_.x = x_.get();
  facilities_.wayland = options.waylandSession;
}

LinuxOutput::~LinuxOutput() {
  if (registered_) {
    for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, nullptr);
  }
}

void LinuxOutput::Register() {
  for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, &Method(mode));
  registered_ = true;
}

AbstractEvent& LinuxOutput::Method(int keySendMode) {
  switch (keySendMode) {
    case 1:
      return virtualKey_;
    case 2:
      return scanCode_;
    case 3:
      return message_;
    default:
      return keybd_;
  }
}

}  // namespace brevanto
