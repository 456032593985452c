#include "core/profile/ProfileNames.h"

#include <algorithm>

namespace brevanto {

int ProfileNames::Find(std::string_view name) const {
  const auto at = std::lower_bound(
      names_.begin(), names_.end(), name,
      [this](const std::string& a, std::string_view b) { return collation_->Less(a, b); });
  if (at == names_.end() || collation_->Compare(*at, name) != 0) return -1;
  return static_cast<int>(at - names_.begin());
}

int ProfileNames::Insert(std::string name) {
  const auto at = std::lower_bound(
      names_.begin(), names_.end(), name,
      [this](const std::string& a, const std::string& b) { return collation_->Less(a, b); });
  if (at != names_.end() && collation_->Compare(*at, name) == 0) return -1;
  const auto inserted = names_.insert(at, std::move(name));
  return static_cast<int>(inserted - names_.begin());
}

}  // namespace brevanto
