#pragma once

#include <string>

#include "core/processing/ProfileSource.h"

namespace brevanto {

// One profile that is always current; switch requests name no profile it
// knows. For running cycles without a profile manager.
class FixedProfileSource final : public ProfileSource {
 public:
  explicit FixedProfileSource(ConfigFile& profile) : profile_(profile) {}
  ConfigFile* Current() const override { return &profile_; }
  int SwitchTo(const std::string&) override { return 1; }

 private:
  ConfigFile& profile_;
};

}  // namespace brevanto
