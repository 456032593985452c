#pragma once

#include <chrono>
#include <string>

#include "core/ports/SingleInstance.h"
#include "platform/linux/instance/InstanceLock.h"

namespace brevanto {

// The single-instance check with a per-user lock file in the instance folder
// (InstanceDirectory) standing for the named mutex, and the hand-over of a
// second start through the instance channel.
class LinuxSingleInstance final : public SingleInstance {
 public:
  // connectWait: how long a second start waits for the running instance's
  // channel to appear (it may still be starting). answerTimeout: how long it
  // waits for each message to be handled.
  // An empty directory (no safe folder for the instance files) checks
  // nothing: every start runs.
  explicit LinuxSingleInstance(std::string directory,
                               std::chrono::milliseconds connectWait = std::chrono::seconds(5),
                               std::chrono::milliseconds answerTimeout = std::chrono::seconds(10));

  InstanceRole AcquireOrHandOver(const HandOverRequest& request) override;

  // Whether this process holds the lock (it is released on destruction).
  bool Holds() const { return lock_.Held(); }
  // Why the last hand-over failed; empty when it did not.
  const std::string& HandOverError() const { return handOverError_; }

 private:
  bool HandOver(const HandOverRequest& request);

  std::string directory_;
  std::chrono::milliseconds connectWait_;
  std::chrono::milliseconds answerTimeout_;
  InstanceLock lock_;
  std::string handOverError_;
};

}  // namespace brevanto
