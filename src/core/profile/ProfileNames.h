#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/text/NameCollation.h"

namespace brevanto {

// The names of the profiles, sorted and compared without regard to case in a
// locale's collation; names that differ only in case are one name.
class ProfileNames {
 public:
  explicit ProfileNames(const NameCollation& collation) : collation_(&collation) {}

  // The position of the name, or -1.
  int Find(std::string_view name) const;
  // Adds the name in its place and returns the position; -1 when the list
  // already holds it (in any letter case).
  int Insert(std::string name);
  void Erase(int index) { names_.erase(names_.begin() + index); }
  void Clear() { names_.clear(); }

  int Size() const { return static_cast<int>(names_.size()); }
  bool Contains(int index) const { return index >= 0 && index < Size(); }
  // index must be valid.
  const std::string& operator[](int index) const { return names_[static_cast<std::size_t>(index)]; }
  const std::vector<std::string>& All() const { return names_; }
  const NameCollation& Collation() const { return *collation_; }

 private:
  const NameCollation* collation_;
  std::vector<std::string> names_;
};

}  // namespace brevanto
