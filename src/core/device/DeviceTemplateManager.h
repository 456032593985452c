#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/device/DeviceTemplate.h"

namespace brevanto {

// Owns every button label template: those of "templates.json" in file order,
// then the built-in ones the file lacks. Templates are never deleted while the
// program runs, so the references devices and profiles hold stay valid.
class DeviceTemplateManager {
 public:
  static constexpr int kFirstFamilyType = 31;

  // ReadOnly managers never write the file (tools that only look).
  enum class Mode { ReadWrite, ReadOnly };

  // Loads the file (when it exists) and adds the missing built-in templates.
  explicit DeviceTemplateManager(std::string path, Mode mode = Mode::ReadWrite);
  // Writes the file back, unless it could not be read and nothing was changed
  // since: a damaged file is never replaced by the built-in templates alone.
  ~DeviceTemplateManager();

  DeviceTemplateManager(const DeviceTemplateManager&) = delete;
  DeviceTemplateManager& operator=(const DeviceTemplateManager&) = delete;

  const std::string& Path() const { return path_; }

  // Rewrites the whole file atomically. Returns false (and logs) on failure.
  bool Save();

  // Exact, case-sensitive id match.
  TDeviceTemplate* Find(const std::string& id) const;
  // The automatic choice for a device type of the controller name table:
  // Xbox 360/One (31, 32) "XBOX", PS3/PS4 (33, 34) "PS4", Switch Pro and
  // Joy-Con pair (38, 41) "SWITCH", PS5 (45) "PS5", everything else
  // (unknown devices: 0) "DEFAULT".
  TDeviceTemplate* FindForDeviceType(int deviceType) const;
  static const char* TemplateIdForDeviceType(int deviceType);

  // A copy with a new random id and the name followed by "(copy)"; the caller
  // hands it to Add.
  std::unique_ptr<TDeviceTemplate> Copy(const TDeviceTemplate& source) const;
  TDeviceTemplate* Add(std::unique_ptr<TDeviceTemplate> deviceTemplate);

  // Callers that edit a template's name or labels report it, so that the
  // change reaches the file.
  void MarkModified() { modified_ = true; }

  std::vector<std::pair<std::string, std::string>> IdsAndNames() const;
  const std::vector<std::unique_ptr<TDeviceTemplate>>& Templates() const { return templates_; }

  // A braced upper-case GUID: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
  static std::string NewGuid();

 private:
  void Load();
  void AddMissingBuiltIns();

  std::string path_;
  Mode mode_;
  std::vector<std::unique_ptr<TDeviceTemplate>> templates_;
  bool loadFailed_ = false;
  bool modified_ = false;
};

}  // namespace brevanto
