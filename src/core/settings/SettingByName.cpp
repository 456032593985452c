#include "core/settings/SettingByName.h"

#include <charconv>
#include <optional>
#include <string>

#include "core/settings/IniDocument.h"

namespace brevanto {
namespace {

constexpr const char* kSections[] = {"DirectInput", "LastStatus"};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<double> Number(std::string_view text) {
  text = Trimmed(text);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

// Whether the setting now holds what was asked for: the same text, the same
// number in another spelling ("1.50" for 1.5), or, for a switch, any
// non-zero number for on.
bool Took(std::string_view asked, std::string_view stored) {
  if (Trimmed(asked) == stored) return true;
  const std::optional<double> a = Number(asked);
  const std::optional<double> s = Number(stored);
  if (!a || !s) return false;
  return *a == *s || (*a != 0.0 && stored == "1");
}

}  // namespace

SetSettingResult SetGlobalSetting(GlobalSettings& settings, std::string_view key,
                                  std::string_view value) {
  // The settings file's reader and writer are the one definition of every
  // key, its section and its checks.
  IniDocument document;
  WriteGlobalSettings(document, settings);
  const char* section = nullptr;
  for (const char* candidate : kSections) {
    if (document.HasKey(candidate, key)) section = candidate;
  }
  if (!section) return SetSettingResult::UnknownKey;

  document.SetString(section, key, value);
  GlobalSettings updated = settings;
  ReadGlobalSettings(document, updated, false);

  IniDocument written;
  WriteGlobalSettings(written, updated);
  if (!Took(value, written.Raw(section, key).value_or(std::string()))) {
    return SetSettingResult::Rejected;
  }
  settings = updated;
  return SetSettingResult::Ok;
}

}  // namespace brevanto
