#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brevanto {

// Button labels of a controller family: label k names plain button k + 1
// (virtual button 56 + k).
class TDeviceTemplate {
 public:
  TDeviceTemplate(std::string id, std::string name, std::vector<std::string> labels = {})
      : id_(std::move(id)), name_(std::move(name)), labels_(std::move(labels)) {}

  const std::string& Id() const { return id_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  const std::vector<std::string>& Labels() const { return labels_; }
  std::vector<std::string>& MutableLabels() { return labels_; }

  // The label of virtual button `index`, if it is a plain button the list
  // covers. Axes, POV directions and diagonals never have labels.
  std::optional<std::string> LabelOf(int index) const;

 private:
  std::string id_;
  std::string name_;
  std::vector<std::string> labels_;
};

}  // namespace brevanto
