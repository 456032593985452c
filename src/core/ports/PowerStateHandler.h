#pragma once

namespace brevanto {

// Port: what the program does when the machine goes to sleep and wakes up.
// Both run on the user-interface thread.
class PowerStateHandler {
 public:
  virtual ~PowerStateHandler() = default;
  // Stops processing and releases the controllers. Every key and mouse button
  // the program holds down must be released first: the system would keep it
  // down through the sleep and after.
  virtual void Suspend() = 0;
  // Initialises the controller back ends, detects the devices and restarts
  // processing.
  virtual void Resume() = 0;
};

}  // namespace brevanto
