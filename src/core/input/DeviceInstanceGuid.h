#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace brevanto {

// The identity of a generic controller in the device settings: a braced
// upper-case GUID, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", derived from the
// controller model's 16-byte GUID and what tells this unit apart (its serial
// number, else the port it is plugged into). The same inputs always give the
// same text, on every run and every build.
std::string DeviceInstanceGuid(const std::array<uint8_t, 16>& modelGuid,
                               std::string_view distinguisher);

}  // namespace brevanto
