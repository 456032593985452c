#pragma once

namespace brevanto {

// Port: starting the program when the user logs on. The three operations keep
// no state; failures are logged and answered with false.
class AutoStartTask {
 public:
  virtual ~AutoStartTask() = default;
  // Silent: a missing entry is not a failure worth a log line.
  virtual bool TaskExists() = 0;
  // Creates the entry or updates an existing one.
  virtual bool CreateTask() = 0;
  virtual bool DeleteTask() = 0;
};

}  // namespace brevanto
