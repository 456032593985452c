#pragma once

#include <array>
#include <span>
#include <string>

#include "core/engine/ButtonAssignment.h"
#include "core/input/VirtualButton.h"

namespace brevanto {

class TDeviceTemplate;

// The assignments of one joystick slot of a profile: one record per virtual
// button, record i being virtual button i, so the engine can reach a
// trigger's target relative to the record it is processing.
class ProfileJoystick {
 public:
  // Every record is stamped with the slot and its own index.
  explicit ProfileJoystick(int slot);
  ProfileJoystick(const ProfileJoystick&) = delete;
  ProfileJoystick& operator=(const ProfileJoystick&) = delete;

  int Slot() const { return slot_; }

  // virtualButton must be 0..183.
  ButtonAssignment& Button(int virtualButton) {
    return buttons_[static_cast<std::size_t>(virtualButton)];
  }
  const ButtonAssignment& Button(int virtualButton) const {
    return buttons_[static_cast<std::size_t>(virtualButton)];
  }
  std::span<ButtonAssignment, kVirtualButtonCount> Buttons() { return buttons_; }
  std::span<const ButtonAssignment, kVirtualButtonCount> Buttons() const { return buttons_; }

  // Takes the assignments of source record by record; the records keep this
  // slot's identity, and the slot keeps its names.
  void CopyButtons(const ProfileJoystick& source);

  // Shown for the slot when no device is attached to it.
  std::string DefaultDisplayName;
  // Button label template for the slot when no attached device has its own;
  // empty for none. Set through ConfigFile::SetDefaultTemplateId, which
  // resolves it.
  std::string DefaultTemplateId;
  // The template of that id, or nullptr when the id is empty or unknown.
  const TDeviceTemplate* resolvedTemplate = nullptr;

 private:
  int slot_;
  std::array<ButtonAssignment, kVirtualButtonCount> buttons_;
};

}  // namespace brevanto
