#pragma once

#include <memory>
#include <string>

#include "platform/linux/output/KeybdEventImpl.h"
#include "platform/linux/output/LinuxEvent.h"
#include "platform/linux/output/SendInputSCEventImpl.h"
#include "platform/linux/output/SendInputVKEventImpl.h"
#include "platform/linux/output/SendMessageEventImpl.h"

namespace brevanto {

class UinputDevice;
class XTestConnection;

// Owns what key and mouse output injects through (the uinput device and the
// X connection) and the four output methods that share them. Whatever cannot
// be opened is logged once and the methods use what is left.
class LinuxOutput {
 public:
  struct Options {
    bool useUinput = true;
    std::string uinputPath = "/dev/uinput";
    bool useX = true;
    const char* displayName = nullptr;  // nullptr: $DISPLAY
    // X is XWayland: uinput serves every method when it is open.
    bool waylandSession = false;
  };

  LinuxOutput() : LinuxOutput(Options{}) {}
  explicit LinuxOutput(const Options& options);
  // Unregisters the methods it registered, then removes the uinput device.
  ~LinuxOutput();
  LinuxOutput(const LinuxOutput&) = delete;
  LinuxOutput& operator=(const LinuxOutput&) = delete;

  // Installs the methods as KeySendMode 0..3 (core/engine/OutputSelection.h).
  void Register();

  bool HasUinput() const { return uinput_ != nullptr; }
  bool HasX() const { return x_ != nullptr; }

  AbstractEvent& Method(int keySendMode);
  XTestConnection* XConnection() const { return x_.get(); }
  SendMessageEventImpl& MessageMethod() { return message_; }

 private:
  std::unique_ptr<UinputDevice> uinput_;
  std::unique_ptr<XTestConnection> x_;
  OutputFacilities facilities_;
  KeybdEventImpl keybd_{facilities_};
  SendInputVKEventImpl virtualKey_{facilities_};
  SendInputSCEventImpl scanCode_{facilities_};
  SendMessageEventImpl message_{facilities_};
  bool registered_ = false;
};

}  // namespace brevanto
