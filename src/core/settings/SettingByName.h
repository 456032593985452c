#pragma once

#include <string_view>

#include "core/settings/GlobalSettings.h"

namespace brevanto {

enum class SetSettingResult {
  Ok,
  UnknownKey,  // no global setting has this key
  Rejected,    // the value is not one the setting takes (not a number, out of range)
};

// Sets one global setting by its key in the settings file (TurboMode,
// AnalogDeadZone, ...; without regard to case) from its text there. The
// value is read exactly as the settings file's would be; a value the reader
// would replace by the default leaves the settings unchanged.
SetSettingResult SetGlobalSetting(GlobalSettings& settings, std::string_view key,
                                  std::string_view value);

}  // namespace brevanto
