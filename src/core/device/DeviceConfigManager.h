#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/device/DeviceConfig.h"

namespace brevanto {

class DeviceTemplateManager;
class IniDocument;

// Owns the record of every controller ever seen, in file order, and their
// sections in the global settings file.
class DeviceConfigManager {
 public:
  explicit DeviceConfigManager(const DeviceTemplateManager* templates = nullptr)
      : templates_(templates) {}

  // New records copy these; set from the global settings before Load.
  void SetDefaults(const DeviceDefaults& defaults) { defaults_ = defaults; }
  const DeviceDefaults& Defaults() const { return defaults_; }

  // Appends the records of the "DeviceConfig-<i>" sections; sections without
  // a GUID are skipped.
  void Load(const IniDocument& ini);
  // Writes Count and every record, and removes the sections a longer earlier
  // list left behind.
  void Save(IniDocument& ini) const;

  // The first record with exactly this GUID, or a new one appended.
  TDeviceConfig& FindOrCreate(const std::string& guid);
  TDeviceConfig* Find(const std::string& guid) const;
  // 0 when removed, -1 when the record is not in the list.
  int Remove(const TDeviceConfig* record);

  void ClearPresentFlags();
  // References to the records as they are now, for walking while detection
  // may add records.
  std::vector<TDeviceConfig*> Snapshot() const;
  std::size_t Count() const { return records_.size(); }

  // Stores the template id and resolves it (empty: no template).
  void SetTemplateId(TDeviceConfig& record, const std::string& id) const;
  // Resolves by TemplateID when set, otherwise by the device type.
  void RefreshTemplate(TDeviceConfig& record) const;
  std::string TemplateName(const TDeviceConfig& record) const;

 private:
  const DeviceTemplateManager* templates_;
  DeviceDefaults defaults_;
  std::vector<std::unique_ptr<TDeviceConfig>> records_;
};

}  // namespace brevanto
