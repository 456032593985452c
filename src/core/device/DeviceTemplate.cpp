#include "core/device/DeviceTemplate.h"

#include "core/input/VirtualButton.h"

namespace brevanto {

std::optional<std::string> TDeviceTemplate::LabelOf(int index) const {
  const int k = index - kFirstPlainButton;
  if (k < 0 || static_cast<std::size_t>(k) >= labels_.size()) return std::nullopt;
  return labels_[static_cast<std::size_t>(k)];
}

}  // namespace brevanto
