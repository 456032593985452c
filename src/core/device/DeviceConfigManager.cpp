#include "core/device/DeviceConfigManager.h"

#include <algorithm>
#include <cstdint>

#include "core/device/DeviceTemplateManager.h"
#include "core/settings/IniDocument.h"
#include "core/text/NumberText.h"

namespace brevanto {
namespace {

constexpr const char* kIndexSection = "DeviceConfig";
// Sections beyond the current count that a save clears.
constexpr int kStaleSections = 20;

std::string RecordSection(int number) {
  return "DeviceConfig-" + std::to_string(number);
}

// Up to eight ":"-separated "%d" pieces; a piece that does not scan keeps its
// entry, an empty text keeps the whole mapping.
void ReadAxisMapping(const std::string& text, AxisMapping& mapping) {
  std::size_t start = 0;
  for (std::size_t entry = 0; entry < mapping.size() && start <= text.size(); ++entry) {
    const std::size_t colon = text.find(':', start);
    const std::string piece =
        text.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    std::size_t pos = 0;
    long long value = 0;
    if (ScanInt(piece, pos, value) && value >= INT32_MIN && value <= INT32_MAX) {
      mapping[entry] = static_cast<int32_t>(value);
    }
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
}

}  // namespace

void DeviceConfigManager::Load(const IniDocument& ini) {
  const int count = ini.GetInt(kIndexSection, "Count", 0);
  for (int i = 1; i <= count; ++i) {
    const std::string section = RecordSection(i);
    // An absurd count costs only lookups of sections that are not there.
    if (!ini.HasSection(section)) continue;
    const std::string guid = ini.GetString(section, "GUID");
    if (guid.empty()) continue;
    auto record = std::make_unique<TDeviceConfig>(guid, defaults_);
    record->PUID = ini.GetInt(section, "PUID", 0);
    record->Name = ini.GetString(section, "Name");
    record->NameOverride = ini.GetString(section, "NameOverride");
    record->PreferredNumber = ini.GetInt(section, "PreferredNumber", -1);
    record->AnalogDeadZone = ini.GetInt(section, "AnalogDeadZone", defaults_.analogDeadZone);
    ReadAxisMapping(ini.GetString(section, "AxisMapping"), record->axisMapping);
    SetTemplateId(*record, ini.GetString(section, "TemplateID"));
    records_.push_back(std::move(record));
  }
}

void DeviceConfigManager::Save(IniDocument& ini) const {
  const int count = static_cast<int>(records_.size());
  ini.SetInt(kIndexSection, "Count", count);
  for (int i = 1; i <= count; ++i) {
    const TDeviceConfig& r = *records_[static_cast<std::size_t>(i - 1)];
    const std::string section = RecordSection(i);
    ini.SetString(section, "GUID", r.GUID);
    ini.SetInt(section, "PUID", r.PUID);
    ini.SetString(section, "Name", r.Name);
    ini.SetString(section, "NameOverride", r.NameOverride);
    ini.SetString(section, "TemplateID", r.TemplateID);
    ini.SetInt(section, "PreferredNumber", r.PreferredNumber);
    ini.SetInt(section, "AnalogDeadZone", r.AnalogDeadZone);
    ini.SetString(section, "AxisMapping",
                  IntListText(r.axisMapping.data(), static_cast<int>(r.axisMapping.size())));
  }
  for (int n = count + 1; n <= count + kStaleSections; ++n) ini.EraseSection(RecordSection(n));
}

TDeviceConfig* DeviceConfigManager::Find(const std::string& guid) const {
  for (const auto& record : records_) {
    if (record->GUID == guid) return record.get();
  }
  return nullptr;
}

TDeviceConfig& DeviceConfigManager::FindOrCreate(const std::string& guid) {
  if (TDeviceConfig* found = Find(guid)) return *found;
  records_.push_back(std::make_unique<TDeviceConfig>(guid, defaults_));
  return *records_.back();
}

int DeviceConfigManager::Remove(const TDeviceConfig* record) {
  auto it = std::find_if(records_.begin(), records_.end(),
                         [record](const auto& r) { return r.get() == record; });
  if (it == records_.end()) return -1;
  records_.erase(it);
  return 0;
}

void DeviceConfigManager::ClearPresentFlags() {
  for (const auto& record : records_) record->present = false;
}

std::vector<TDeviceConfig*> DeviceConfigManager::Snapshot() const {
  std::vector<TDeviceConfig*> list;
  list.reserve(records_.size());
  for (const auto& record : records_) list.push_back(record.get());
  return list;
}

void DeviceConfigManager::SetTemplateId(TDeviceConfig& record, const std::string& id) const {
  record.TemplateID = id;
  record.resolvedTemplate = id.empty() || !templates_ ? nullptr : templates_->Find(id);
}

void DeviceConfigManager::RefreshTemplate(TDeviceConfig& record) const {
  if (!templates_) {
    record.resolvedTemplate = nullptr;
  } else if (!record.TemplateID.empty()) {
    record.resolvedTemplate = templates_->Find(record.TemplateID);
  } else {
    record.resolvedTemplate = templates_->FindForDeviceType(record.deviceType);
  }
}

std::string DeviceConfigManager::TemplateName(const TDeviceConfig& record) const {
  return record.resolvedTemplate ? record.resolvedTemplate->Name() : std::string();
}

}  // namespace brevanto
