#pragma once

#include <cstdint>
#include <string>

#include "core/ports/InstanceMessageHandler.h"
#include "core/ports/MessageSink.h"

namespace brevanto {

// What the messages of the main window's protocol act on: the program with
// its window, or the program running without one.
class MessageActions {
 public:
  virtual ~MessageActions() = default;

  // The session ends: the program closes as if the user had chosen Exit.
  virtual void EndSession() = 0;
  // False when no profile of that name (or initial) exists.
  virtual bool LoadProfileByName(const std::string& name) = 0;
  virtual bool LoadProfileByInitial(char32_t initial) = 0;
  // Tells the user that the requested profile does not exist.
  virtual void ReportMissingProfile() = 0;
  // Controllers came or went: the next cycle detects them again.
  virtual void RequestDetection() = 0;
  // Detects the controllers now, with the cycle paused, and announces the
  // result.
  virtual void RedetectDevices() = 0;
  virtual intptr_t PowerBroadcast(intptr_t event) = 0;
  virtual void SetInputTarget(intptr_t suppressedSlot, intptr_t joystick) = 0;
  virtual void SetInjectedButton(int button, bool pressed) = 0;
  virtual void Restore() = 0;
  virtual void Minimize() = 0;
  // Messages only a window acts on (caption, lists, highlight).
  virtual void ForWindow(const PostedMessage& message) = 0;
};

// The running instance's message handling: the messages another process
// sends through the instance channel, handled on the user-interface thread.
class WindowMessages final : public InstanceMessageHandler {
 public:
  explicit WindowMessages(MessageActions& actions) : actions_(actions) {}

  intptr_t HandleInstanceMessage(const InstanceMessage& message) override;

 private:
  MessageActions& actions_;
};

}  // namespace brevanto
