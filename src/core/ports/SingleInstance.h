#pragma once

#include <string>

namespace brevanto {

// What a second start asks of the instance that already runs.
struct HandOverRequest {
  std::string profileName;      // empty when no profile argument was given
  bool refreshDevices = false;  // "-r"

  friend bool operator==(const HandOverRequest&, const HandOverRequest&) = default;
};

enum class InstanceRole {
  First,       // this process holds the single-instance lock until it ends
  HandedOver,  // another instance runs and got the request; this one exits
  // Another instance holds the lock but did not take the request (it does
  // not answer): this one exits all the same, with an error, so the request
  // is not lost without a word.
  HandOverFailed,
};

// Port: the single-instance check of loading the settings, made only when
// several instances are not allowed.
class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // Takes the per-user lock, or, when another instance holds it, sends that
  // instance WM_COPYDATA with the profile name (when one was given),
  // WM_BRV_REFRESH_DEVICES (when asked for) and WM_BRV_RESTORE, in that order,
  // each waiting for the instance to handle it. An instance that cannot be
  // reached is still an instance: the answer is then HandOverFailed.
  virtual InstanceRole AcquireOrHandOver(const HandOverRequest& request) = 0;
};

}  // namespace brevanto
