#pragma once

#include <vector>

#include "core/ports/SingleInstance.h"

namespace brevanto {

// Answers the single-instance check with a chosen role and keeps every
// request it was given.
class FakeSingleInstance final : public SingleInstance {
 public:
  InstanceRole AcquireOrHandOver(const HandOverRequest& request) override {
    requests.push_back(request);
    return role;
  }

  InstanceRole role = InstanceRole::First;
  std::vector<HandOverRequest> requests;
};

}  // namespace brevanto
