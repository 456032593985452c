#pragma once

#include <array>
#include <memory>
#include <string>

#include "core/input/ButtonAlias.h"
#include "core/input/VirtualButton.h"
#include "core/profile/ProfileJoystick.h"
#include "core/settings/AtomicFile.h"

namespace brevanto {

class DeviceTemplateManager;
class IniDocument;

// The per-profile options, with the values a new profile starts with.
struct ProfileOptions {
  int NumberOfButtons = 32;  // plain buttons shown, read and written: 0..128
  ButtonAliasTable ButtonAlias = IdentityAliasTable();
  int DisplayMode = 2;  // 0 one stick .. 3 all axes and hats
  bool UseDiagonalInput = false;
  bool UseDiagonalInput2 = false;
  bool UsePOV8Way = false;
  bool RepeatSameKeyInSequence = false;
  int Threshold = 20;  // thousandths of full deflection
  int Threshold2 = 20;
  int KeySendMode = 0;
  std::string SoundFile;
  std::string ImageFile;
  int VibrationSpeed1 = 0;  // percent
  int VibrationSpeed2 = 0;
  int VibrationDuration = 0;  // ms
};

// One profile: its options, its alias table and the assignments of every
// joystick slot it uses. Containers are created when a slot comes into use
// and kept when the number of joysticks is lowered, so raising it again
// brings the assignments back.
class ConfigFile : public ProfileOptions {
 public:
  static constexpr int kFileVersion = 70;

  // A new profile: two slots, the defaults above, modified. Template ids
  // resolve in templates, which must outlive the profile (none: no ids resolve).
  explicit ConfigFile(const DeviceTemplateManager* templates = nullptr);
  ConfigFile(const ConfigFile&) = delete;
  ConfigFile& operator=(const ConfigFile&) = delete;

  // A new profile loaded from the file.
  static std::unique_ptr<ConfigFile> CreateFromFile(
      const std::string& path, const DeviceTemplateManager* templates = nullptr);

  // Reads the file into this profile. A missing or unreadable file, or one
  // from a version below 30, leaves the defaults and the profile modified.
  FileReadStatus Load(const std::string& path);
  // Writes the profile into the file, keeping what the file holds that the
  // profile does not write. On failure the file stays as it was, the profile
  // stays modified and false is returned.
  bool Save(const std::string& path);

  // The same as Load and Save without the file, for a document in memory.
  void Read(const IniDocument& document);
  void Write(IniDocument& document) const;

  // Makes this profile a deep copy of other; the copy is modified.
  void Assign(const ConfigFile& other);

  // Uses n slots (clamped to 1..50), creating the missing containers.
  void SetNumberOfJoysticks(int n);
  // Stores a slot's template id and resolves it (empty: no template).
  void SetDefaultTemplateId(int slot, std::string id);

  // The container of a slot, or nullptr for a slot never used.
  ProfileJoystick* Joystick(int slot);
  const ProfileJoystick* Joystick(int slot) const;

  // Slots in use, 1..50; every one of them has its container.
  int NumberOfJoysticks() const { return numberOfJoysticks_; }

  // Unsaved changes exist.
  bool modified = true;

 private:
  const DeviceTemplateManager* templates_;
  int numberOfJoysticks_ = 0;
  std::array<std::unique_ptr<ProfileJoystick>, kMaxJoysticks> joysticks_;
};

}  // namespace brevanto
