#include "core/profile/ConfigFile.h"

#include <algorithm>

#include "core/device/DeviceTemplateManager.h"
#include "core/engine/AssignmentLine.h"
#include "core/log/Logger.h"
#include "core/profile/ProfileKeys.h"
#include "core/settings/IniDocument.h"
#include "core/text/Directives.h"

namespace brevanto {
namespace {

// Versions at which the file format changed.
constexpr int kFirstReadableVersion = 30;
constexpr int kLastDisplayFlagsVersion = 43;  // DisplayMode came from Use8Axes/UsePOV
constexpr int kFirstEightWayPovVersion = 43;  // before: two four-way hats
constexpr int kFirstSecondStickDiagonalVersion = 50;
constexpr int kLastOldAxisOrderVersion = 50;
constexpr int kFirstSeparateDiagonalFlagVersion = 68;

constexpr int kDefaultNumberOfJoysticks = 2;

// Old files numbered the axes differently: their key k holds axis a.
constexpr int kOldAxisOrder[kAxisCount] = {0, 1, 2, 4, 5, 3, 6, 7};

// An integer option; a value that is there but no number is reported and
// gives the default.
int ReadInt(const IniDocument& doc, const char* section, const char* key, int defaultValue) {
  // Only a value that is no number yields both fallbacks.
  const int value = doc.GetInt(section, key, 0);
  if (value == doc.GetInt(section, key, 1)) return value;
  const auto raw = doc.Raw(section, key);
  if (raw && raw->find_first_not_of(" \t") != std::string::npos) {
    LOG_INFO("ConfigFile: %s/%s is not a number, using %d", section, key, defaultValue);
  }
  return defaultValue;
}

bool ReadBool(const IniDocument& doc, const char* section, const char* key) {
  return ReadInt(doc, section, key, 0) != 0;
}

int ReadCount(const IniDocument& doc, const char* key, int defaultValue, int low, int high) {
  const int value = ReadInt(doc, kGeneralSection, key, defaultValue);
  if (value >= low && value <= high) return value;
  LOG_INFO("ConfigFile: %s=%d is outside %d..%d, using %d", key, value, low, high, defaultValue);
  return defaultValue;
}

}  // namespace

ConfigFile::ConfigFile(const DeviceTemplateManager* templates) : templates_(templates) {
  SetNumberOfJoysticks(kDefaultNumberOfJoysticks);
}

std::unique_ptr<ConfigFile> ConfigFile::CreateFromFile(const std::string& path,
                                                       const DeviceTemplateManager* templates) {
  auto profile = std::make_unique<ConfigFile>(templates);
  profile->Load(path);
  return profile;
}

FileReadStatus ConfigFile::Load(const std::string& path) {
  LOG_DEBUG("Parsing ConfigFile \"%s\"", path.c_str());
  std::string bytes;
  const FileReadStatus status = ReadWholeFile(path, bytes);
  Read(IniDocument::FromBytes(status == FileReadStatus::Ok ? bytes : std::string()));
  return status;
}

void ConfigFile::Read(const IniDocument& doc) {
  const int fileVersion = ReadInt(doc, kGeneralSection, "FileVersion", 0);
  if (fileVersion < kFirstReadableVersion) {
    modified = true;
    return;
  }

  SetNumberOfJoysticks(
      ReadCount(doc, "NumberOfJoysticks", kDefaultNumberOfJoysticks, 1, kMaxJoysticks));
  NumberOfButtons =
      ReadCount(doc, "NumberOfButtons", ProfileOptions{}.NumberOfButtons, 0, kPlainButtonCount);

  if (fileVersion <= kLastDisplayFlagsVersion) {
    const bool use8Axes = ReadBool(doc, kGeneralSection, "Use8Axes");
    const bool usePov = ReadBool(doc, kGeneralSection, "UsePOV");
    DisplayMode = use8Axes ? 3 : usePov ? 1 : 0;
  } else {
    DisplayMode = ReadInt(doc, kGeneralSection, "DisplayMode", 0);
  }
  UseDiagonalInput = ReadBool(doc, kGeneralSection, "UseDiagonalInput");
  UseDiagonalInput2 = fileVersion >= kFirstSeparateDiagonalFlagVersion
                          ? ReadBool(doc, kGeneralSection, "UseDiagonalInput2")
                          : UseDiagonalInput;
  UsePOV8Way = ReadBool(doc, kGeneralSection, "UsePOV8Way");
  RepeatSameKeyInSequence = ReadBool(doc, kGeneralSection, "RepeatSameKeyInSequence");
  Threshold = ReadInt(doc, kGeneralSection, "Threshold", 0);
  Threshold2 = ReadInt(doc, kGeneralSection, "Threshold2", 0);
  KeySendMode = ReadInt(doc, kGeneralSection, "KeySendMode", 0);
  SoundFile = doc.GetString(kGeneralSection, "SoundFile");
  ImageFile = doc.GetString(kGeneralSection, "ImageFile");
  VibrationSpeed1 = ReadInt(doc, kGeneralSection, "VibrationSpeed1", 0);
  VibrationSpeed2 = ReadInt(doc, kGeneralSection, "VibrationSpeed2", 0);
  VibrationDuration = ReadInt(doc, kGeneralSection, "VibrationDuration", 0);

  // A malformed entry changes only the numbers before the first mismatch.
  auto readAlias = [&](int entry) {
    const std::string value = doc.GetString(kButtonAliasSection, AliasKey(entry));
    if (value.empty()) return;
    auto& alias = ButtonAlias[static_cast<std::size_t>(entry)];
    ScanDirectives(value, "%d, %d, %d", {&alias.a, &alias.b, &alias.c});
  };
  for (int entry = PovButton(1, 0); entry <= PovButton(1, 7); ++entry) readAlias(entry);
  for (int b = 1; b <= NumberOfButtons; ++b) readAlias(PlainButton(b));

  for (int slot = 0; slot < numberOfJoysticks_; ++slot) {
    ProfileJoystick& joystick = *joysticks_[static_cast<std::size_t>(slot)];
    const std::string section = JoystickSectionName(slot);
    // A missing key reads as an empty line, which leaves the button unassigned.
    const bool present = doc.HasSection(section);
    auto read = [&](const std::string& key, int virtualButton) {
      ReadLine(joystick.Button(virtualButton),
               present ? doc.GetString(section, key) : std::string(), fileVersion);
    };

    joystick.DefaultDisplayName = doc.GetString(section, "DefaultDisplayName");
    SetDefaultTemplateId(slot, doc.GetString(section, "DefaultTemplateId"));

    for (int k = 1; k <= kAxisCount; ++k) {
      const int axis = fileVersion <= kLastOldAxisOrderVersion ? kOldAxisOrder[k - 1] : k - 1;
      read(AssignmentKey(AxisNegativeButton(k)), 2 * axis);
      read(AssignmentKey(AxisPositiveButton(k)), 2 * axis + 1);
    }

    if (fileVersion >= kFirstEightWayPovVersion) {
      for (int b = PovButton(1, 0); b <= PovButton(kPovCount, 7); ++b) read(AssignmentKey(b), b);
    } else {
      // Two four-way hats: up, right, down and left of the eight-way layout.
      for (int hat = 1; hat <= 2; ++hat) {
        for (int d = 1; d <= 4; ++d) {
          read(AssignmentKey(PovButton(hat, d - 1)), PovButton(hat, 2 * (d - 1)));
        }
      }
    }

    const int diagonals = fileVersion >= kFirstSecondStickDiagonalVersion ? 8 : 4;
    for (int b = kFirstDiagonal; b < kFirstDiagonal + diagonals; ++b) read(AssignmentKey(b), b);

    for (int b = 1; b <= NumberOfButtons; ++b) read(AssignmentKey(PlainButton(b)), PlainButton(b));
  }

  modified = false;
}

bool ConfigFile::Save(const std::string& path) {
  LOG_DEBUG("Saving ConfigFile \"%s\"", path.c_str());
  std::string bytes;
  // Writing over a file that exists but cannot be read would lose what it
  // holds beyond the profile.
  if (ReadWholeFile(path, bytes) == FileReadStatus::Failed) {
    LOG_ERROR("ConfigFile: not saved, \"%s\" cannot be read", path.c_str());
    return false;
  }
  IniDocument doc = IniDocument::FromBytes(bytes);
  Write(doc);
  if (!doc.Save(path, TextEncoding::Utf8Bom)) return false;
  modified = false;
  return true;
}

void ConfigFile::Write(IniDocument& doc) const {
  const int buttons = std::clamp(NumberOfButtons, 0, kPlainButtonCount);
  doc.SetInt(kGeneralSection, "FileVersion", kFileVersion);
  doc.SetInt(kGeneralSection, "NumberOfJoysticks", numberOfJoysticks_);
  doc.SetInt(kGeneralSection, "NumberOfButtons", buttons);
  doc.SetInt(kGeneralSection, "DisplayMode", DisplayMode);
  doc.SetBool(kGeneralSection, "UseDiagonalInput", UseDiagonalInput);
  doc.SetBool(kGeneralSection, "UseDiagonalInput2", UseDiagonalInput2);
  doc.SetBool(kGeneralSection, "UsePOV8Way", UsePOV8Way);
  doc.SetBool(kGeneralSection, "RepeatSameKeyInSequence", RepeatSameKeyInSequence);
  doc.SetInt(kGeneralSection, "Threshold", Threshold);
  doc.SetInt(kGeneralSection, "Threshold2", Threshold2);
  doc.SetInt(kGeneralSection, "KeySendMode", KeySendMode);
  doc.SetString(kGeneralSection, "SoundFile", SoundFile);
  doc.SetString(kGeneralSection, "ImageFile", ImageFile);
  doc.SetInt(kGeneralSection, "VibrationSpeed1", VibrationSpeed1);
  doc.SetInt(kGeneralSection, "VibrationSpeed2", VibrationSpeed2);
  doc.SetInt(kGeneralSection, "VibrationDuration", VibrationDuration);

  auto writeAlias = [&](int entry) {
    const auto& alias = ButtonAlias[static_cast<std::size_t>(entry)];
    const std::string key = AliasKey(entry);
    if (alias.a == entry && alias.b < 0 && alias.c < 0) {
      doc.EraseKey(kButtonAliasSection, key);
    } else {
      doc.SetString(
          kButtonAliasSection, key,
          FormatDirectives("%d, %d, %d", {int32_t{alias.a}, int32_t{alias.b}, int32_t{alias.c}}));
    }
  };
  for (int entry = PovButton(1, 0); entry <= PovButton(1, 7); ++entry) writeAlias(entry);
  for (int b = 1; b <= buttons; ++b) writeAlias(PlainButton(b));

  for (int slot = 0; slot < numberOfJoysticks_; ++slot) {
    const ProfileJoystick& joystick = *joysticks_[static_cast<std::size_t>(slot)];
    const std::string section = JoystickSectionName(slot);
    doc.SetString(section, "DefaultDisplayName", joystick.DefaultDisplayName);
    doc.SetString(section, "DefaultTemplateId", joystick.DefaultTemplateId);
    auto write = [&](int virtualButton) {
      const ButtonAssignment& record = joystick.Button(virtualButton);
      const std::string& key = AssignmentKey(virtualButton);
      if (!record.IsAssigned() && record.comment.empty()) {
        doc.EraseKey(section, key);
      } else {
        doc.SetString(section, key, WriteLine(record));
      }
    };
    for (int b = 0; b < kFirstPlainButton; ++b) write(b);
    for (int b = 1; b <= buttons; ++b) write(PlainButton(b));
  }
}

void ConfigFile::Assign(const ConfigFile& other) {
  if (this == &other) return;
  static_cast<ProfileOptions&>(*this) = other;
  for (auto& joystick : joysticks_) joystick.reset();
  numberOfJoysticks_ = 0;
  SetNumberOfJoysticks(other.numberOfJoysticks_);
  for (int slot = 0; slot < numberOfJoysticks_; ++slot) {
    ProfileJoystick& mine = *joysticks_[static_cast<std::size_t>(slot)];
    const ProfileJoystick& theirs = *other.joysticks_[static_cast<std::size_t>(slot)];
    mine.CopyButtons(theirs);
    // A copied profile keeps the slots' names and templates with their
    // assignments.
    mine.DefaultDisplayName = theirs.DefaultDisplayName;
    SetDefaultTemplateId(slot, theirs.DefaultTemplateId);
  }
  modified = true;
}

void ConfigFile::SetNumberOfJoysticks(int n) {
  n = std::clamp(n, 1, kMaxJoysticks);
  for (int slot = 0; slot < n; ++slot) {
    auto& joystick = joysticks_[static_cast<std::size_t>(slot)];
    if (!joystick) joystick = std::make_unique<ProfileJoystick>(slot);
  }
  numberOfJoysticks_ = n;
}

void ConfigFile::SetDefaultTemplateId(int slot, std::string id) {
  ProfileJoystick* joystick = Joystick(slot);
  if (!joystick) return;
  joystick->resolvedTemplate = id.empty() || !templates_ ? nullptr : templates_->Find(id);
  joystick->DefaultTemplateId = std::move(id);
}

ProfileJoystick* ConfigFile::Joystick(int slot) {
  if (slot < 0 || slot >= kMaxJoysticks) return nullptr;
  return joysticks_[static_cast<std::size_t>(slot)].get();
}

const ProfileJoystick* ConfigFile::Joystick(int slot) const {
  if (slot < 0 || slot >= kMaxJoysticks) return nullptr;
  return joysticks_[static_cast<std::size_t>(slot)].get();
}

}  // namespace brevanto
