#include "core/device/DeviceTemplateManager.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <random>

#include "core/log/Logger.h"
#include "core/settings/AtomicFile.h"
#include "core/text/Encoding.h"

namespace brevanto {
namespace {

struct BuiltIn {
  const char* id;
  const char* name;
  std::vector<std::string> labels;
};

const std::vector<BuiltIn>& BuiltIns() {
  static const std::vector<BuiltIn> builtIns = [] {
    const std::vector<std::string> ps4 = {"□",  "×",     "○",       "△",  "L1", "R1", "L2",
                                          "R2", "Share", "Options", "L3", "R3", "PS", "TouchPad"};
    std::vector<std::string> ps5 = ps4;
    ps5.push_back("Mute");
    return std::vector<BuiltIn>{
        {"DEFAULT", "Default", {}},
        {"XBOX",
         "Xbox controller",
         {"A", "B", "X", "Y", "LB", "RB", "View", "Menu", "L-Stick", "R-Stick", "LT", "RT",
          "XBOX"}},
        {"PS4", "PS4 controller", ps4},
        {"PS5", "PS5 controller", ps5},
        {"SWITCH",
         "Switch controller",
         {"B", "A", "Y", "X", "L", "R", "ZL", "ZR", "-", "+", "L-Stick", "R-Stick", "Home",
          "Capture"}},
    };
  }();
  return builtIns;
}

}  // namespace

DeviceTemplateManager::DeviceTemplateManager(std::string path, Mode mode)
    : path_(std::move(path)), mode_(mode) {
  Load();
  AddMissingBuiltIns();
}

DeviceTemplateManager::~DeviceTemplateManager() {
  if (mode_ == Mode::ReadOnly) return;
  if (loadFailed_ && !modified_) {
    LOG_INFO("Button templates not saved: \"%s\" could not be read and nothing was changed",
             path_.c_str());
    return;
  }
  Save();
}

void DeviceTemplateManager::Load() {
  std::string bytes;
  const FileReadStatus status = ReadWholeFile(path_, bytes);
  if (status == FileReadStatus::Missing) return;
  if (status == FileReadStatus::Failed) {
    loadFailed_ = true;
    return;
  }
  Logger::Instance().WriteAt(LogLevel::Info, __FILE__, __LINE__,
                             "Loading button templates from file: " + path_);

  const nlohmann::json document =
      nlohmann::json::parse(DecodeText(bytes).text, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded() || !document.is_object() || !document.contains("templates") ||
      !document["templates"].is_array()) {
    LOG_ERROR(
        "Button templates file is damaged (not a JSON object with a \"templates\" array); "
        "using the built-in templates: %s",
        path_.c_str());
    loadFailed_ = true;
    return;
  }

  int position = 0;
  for (const nlohmann::json& element : document["templates"]) {
    ++position;
    if (!element.is_object() || !element.contains("id") || !element["id"].is_string()) {
      LOG_ERROR("Button template %d in %s has no id and is ignored", position, path_.c_str());
      loadFailed_ = true;
      continue;
    }
    std::string name;
    if (element.contains("name") && element["name"].is_string()) {
      name = element["name"].get<std::string>();
    }
    std::vector<std::string> labels;
    if (element.contains("buttons") && element["buttons"].is_array()) {
      for (const nlohmann::json& label : element["buttons"]) {
        // A label that is not text keeps its place so later labels stay on their buttons.
        labels.push_back(label.is_string() ? label.get<std::string>() : std::string());
      }
    }
    templates_.push_back(std::make_unique<TDeviceTemplate>(element["id"].get<std::string>(),
                                                           std::move(name), std::move(labels)));
  }
}

void DeviceTemplateManager::AddMissingBuiltIns() {
  for (const BuiltIn& builtIn : BuiltIns()) {
    if (Find(builtIn.id)) continue;
    templates_.push_back(
        std::make_unique<TDeviceTemplate>(builtIn.id, builtIn.name, builtIn.labels));
  }
}

bool DeviceTemplateManager::Save() {
  if (mode_ == Mode::ReadOnly) return false;
  Logger::Instance().WriteAt(LogLevel::Info, __FILE__, __LINE__,
                             "Saving button templates to a file: " + path_);
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const auto& t : templates_) {
    nlohmann::ordered_json element;
    element["id"] = t->Id();
    element["name"] = t->Name();
    element["buttons"] = t->Labels();
    list.push_back(std::move(element));
  }
  nlohmann::ordered_json document;
  document["templates"] = std::move(list);
  const std::string text =
      document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  if (!SaveFileAtomically(path_, EncodeText(text, TextEncoding::Utf8Bom))) return false;
  loadFailed_ = false;
  modified_ = false;
  return true;
}

TDeviceTemplate* DeviceTemplateManager::Find(const std::string& id) const {
  for (const auto& t : templates_) {
    if (t->Id() == id) return t.get();
  }
  return nullptr;
}

const char* DeviceTemplateManager::TemplateIdForDeviceType(int deviceType) {
  // Device types are the controller-type codes of the controller name table
  // (31 Xbox 360 ... 45 PS5); the families start at code 31.
  switch (deviceType - kFirstFamilyType) {
    case 0:
    case 1:
      return "XBOX";
    case 2:
    case 3:
      return "PS4";
    case 7:
    case 10:
      return "SWITCH";
    case 14:
      return "PS5";
    default:
      return "DEFAULT";
  }
}

TDeviceTemplate* DeviceTemplateManager::FindForDeviceType(int deviceType) const {
  return Find(TemplateIdForDeviceType(deviceType));
}

std::unique_ptr<TDeviceTemplate> DeviceTemplateManager::Copy(const TDeviceTemplate& source) const {
  return std::make_unique<TDeviceTemplate>(NewGuid(), source.Name() + "(copy)", source.Labels());
}

TDeviceTemplate* DeviceTemplateManager::Add(std::unique_ptr<TDeviceTemplate> deviceTemplate) {
  templates_.push_back(std::move(deviceTemplate));
  modified_ = true;
  return templates_.back().get();
}

std::vector<std::pair<std::string, std::string>> DeviceTemplateManager::IdsAndNames() const {
  std::vector<std::pair<std::string, std::string>> list;
  list.reserve(templates_.size());
  for (const auto& t : templates_) list.emplace_back(t->Id(), t->Name());
  return list;
}

std::string DeviceTemplateManager::NewGuid() {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  std::uniform_int_distribution<unsigned> byte(0, 255);
  unsigned char b[16];
  for (unsigned char& x : b) x = static_cast<unsigned char>(byte(generator));
  b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);  // version 4
  b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
  char text[39];
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[0],
                b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                b[14], b[15]);
  return text;
}

}  // namespace brevanto
