#pragma once

namespace brevanto {

class IniDocument;

// Sections of the global settings file that another owner keeps (the device
// records). They are loaded after the global keys, which may serve them as
// defaults, from the same document, and saved into it after those keys.
class SettingsSections {
 public:
  virtual ~SettingsSections() = default;
  virtual void Load(const IniDocument& ini) = 0;
  virtual void Save(IniDocument& ini) const = 0;
};

}  // namespace brevanto
