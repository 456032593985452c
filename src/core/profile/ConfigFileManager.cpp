#include "core/profile/ConfigFileManager.h"

#include "core/applink/AppLinkManager.h"
#include "core/log/Logger.h"
#include "core/ports/MessageSink.h"
#include "core/processing/Messages.h"
#include "core/profile/ProfileFiles.h"
#include "core/settings/GlobalSettings.h"
#include "core/text/Encoding.h"

namespace brevanto {

ConfigFileManager::ConfigFileManager(std::string dataDir, GlobalSettings& settings,
                                     MessageSink& messages, ProfileCycleHooks& cycle,
                                     const NameCollation& collation)
    : dataDir_(std::move(dataDir)),
      settings_(settings),
      messages_(messages),
      cycle_(cycle),
      names_(collation),
      cache_(collation.Order()) {}

ConfigFileManager::~ConfigFileManager() = default;

void ConfigFileManager::SetAppLinks(const AppLinkManager* appLinks) {
  PausedCycle paused(cycle_);
  std::lock_guard lock(mutex_);
  appLinks_ = appLinks;
}

void ConfigFileManager::SetTemplates(const DeviceTemplateManager* templates) {
  std::lock_guard lock(mutex_);
  templates_ = templates;
}

void ConfigFileManager::SetReadOnly(bool readOnly) {
  std::lock_guard lock(mutex_);
  readOnly_ = readOnly;
}

std::string ConfigFileManager::FilePath(const std::string& name) const {
  return dataDir_ + name + kProfileExtension;
}

std::vector<std::string> ConfigFileManager::Names() const {
  std::lock_guard lock(mutex_);
  return names_.All();
}

int ConfigFileManager::CurrentIndex() const {
  std::lock_guard lock(mutex_);
  return currentIndex_;
}

int ConfigFileManager::LastSelected() const {
  std::lock_guard lock(mutex_);
  return lastSelected_;
}

std::string ConfigFileManager::CurrentName() const {
  std::lock_guard lock(mutex_);
  return names_.Contains(currentIndex_) ? names_[currentIndex_] : std::string();
}

void ConfigFileManager::LoadList() {
  PausedCycle paused(cycle_);
  std::lock_guard lock(mutex_);
  LOG_INFO("ConfigDir=%s*%s", dataDir_.c_str(), kProfileExtension);
  LOG_DEBUG("--- loading config list ---");
  names_.Clear();
  for (std::string& name : ListProfileFiles(dataDir_)) {
    // On a file system that tells case apart, "Race.cfg" and "race.cfg" can
    // both exist; they are one profile, the first in byte order.
    if (names_.Insert(name) < 0) {
      LOG_INFO("Ignoring \"%s%s\": the list already holds that name in other letter case",
               name.c_str(), kProfileExtension);
    }
  }
  if (names_.Size() == 0) names_.Insert(kFirstProfileName);
  LOG_DEBUG("--- finished loading config list ---");

  int index = names_.Find(settings_.FileName);
  if (index < 0) {
    index = 0;
    settings_.FileName = names_[0];
  }
  // A second listing: the profile that was current gives back what it holds.
  ReleaseCurrentLocked();
  MakeCurrentLocked(index);
  lastSelected_ = index;
}

int ConfigFileManager::LoadByIndex(int index, bool temporary) {
  PausedCycle paused(cycle_);
  std::lock_guard lock(mutex_);
  return LoadByIndexLocked(index, temporary);
}

int ConfigFileManager::LoadByName(const std::string& name) {
  PausedCycle paused(cycle_);
  std::lock_guard lock(mutex_);
  return LoadByNameLocked(name);
}

int ConfigFileManager::SwitchTo(const std::string& name) {
  std::lock_guard lock(mutex_);
  return LoadByNameLocked(name);
}

int ConfigFileManager::LoadByInitial(char32_t letter) {
  PausedCycle paused(cycle_);
  std::lock_guard lock(mutex_);
  const NameCollation& rules = names_.Collation();
  const auto lower = [&](char32_t c) { return rules.LowerChar(c); };
  const auto alnum = [&](char32_t c) { return rules.IsLetterOrDigit(c); };

  const char32_t wanted = lower(letter);
  int remembered = -1;
  for (int i = 0; i < names_.Size(); ++i) {
    const std::string& name = names_[i];
    std::size_t pos = 0;
    char32_t first = 0;
    if (name.empty() || !NextUtf8(name, pos, first)) continue;
    if (!alnum(first) || lower(first) != wanted) continue;
    char32_t second = 0;
    const bool hasSecond = pos < name.size();
    const bool secondValid = hasSecond && NextUtf8(name, pos, second);
    if (!hasSecond || !secondValid || !alnum(second)) return LoadByIndexLocked(i, false);
    if (remembered < 0) remembered = i;
  }
  return remembered >= 0 ? LoadByIndexLocked(remembered, false) : -1;
}

bool ConfigFileManager::Save(int /*index*/) {
  // The list's selected entry is always the current profile, which is what
  // is saved, under its own name whatever the caller saw.
  PausedCycle paused(cycle_);
  std::lock_guard lock(mutex_);
  ConfigFile* current = Current();
  if (current == nullptr || !names_.Contains(currentIndex_) || readOnly_) return false;
  LOG_INFO("Save config file \"%s\"", names_[currentIndex_].c_str());
  return SaveLocked(*current);
}

void ConfigFileManager::ReleaseCurrent() {
  PausedCycle paused(cycle_);
  std::lock_guard lock(mutex_);
  ReleaseCurrentLocked();
}

void ConfigFileManager::Shutdown() {
  PausedCycle paused(cycle_);
  std::lock_guard lock(mutex_);
  if (names_.Contains(currentIndex_)) {
    settings_.FileName = names_[currentIndex_];
    SaveIfModifiedLocked();
  }
  current_.store(nullptr, std::memory_order_release);
  currentIndex_ = -1;
  lastSelected_ = -1;
  cache_.clear();
  retired_.clear();
}

void ConfigFileManager::OnTargetChanged(const std::string& path, const std::string& title,
                                        bool isDesktopOrDock) {
  std::lock_guard lock(mutex_);
  OnTargetChangedLocked(path, title, isDesktopOrDock);
}

void ConfigFileManager::OnTargetChangedLocked(const std::string& path, const std::string& title,
                                              bool isDesktopOrDock) {
  if (appLinks_ == nullptr || !names_.Contains(currentIndex_)) return;
  const int link = appLinks_->Match(path, title, isDesktopOrDock);
  if (link >= 0) {
    const int index = names_.Find(appLinks_->Links()[static_cast<std::size_t>(link)].Profile);
    if (index >= 0 && index != currentIndex_) {
      LOG_INFO("Switching config file [Path='%s', Title='%s']", path.c_str(), title.c_str());
      LoadByIndexLocked(index, true);
    }
    return;
  }
  // The user's own choice is current: no link took over, nothing to undo.
  if (lastSelected_ == currentIndex_) return;
  switch (appLinks_->GetPolicy()) {
    case AppLinkManager::kLastSelected:
      LOG_INFO(
          "Switching back to the last selected config [Path='%s', Title='%s', LastSelected=%d]",
          path.c_str(), title.c_str(), lastSelected_);
      LoadByIndexLocked(lastSelected_, false);
      break;
    case AppLinkManager::kDefaultProfile:
      LOG_INFO("Switching to the default config [Path='%s', Title='%s']", path.c_str(),
               title.c_str());
      LoadByNameLocked(appLinks_->DefaultProfile());
      break;
    default:
      break;
  }
}

int ConfigFileManager::LoadByNameLocked(const std::string& name) {
  const int index = names_.Find(name);
  if (index < 0) {
    LOG_ERROR("Failed to load ConfigFile \"%s\" - cannot be found in the list", name.c_str());
    return 1;
  }
  return LoadByIndexLocked(index, false);
}

int ConfigFileManager::LoadByIndexLocked(int index, bool temporary) {
  if (index == currentIndex_) return 0;
  if (!names_.Contains(index)) {
    LOG_ERROR("Cannot load config file: specified index %d is out of range", index);
    return -1;
  }
  LOG_INFO("About to load config file \"%s\"", names_[index].c_str());
  SaveIfModifiedLocked();
  ReleaseCurrentLocked();
  MakeCurrentLocked(index);
  messages_.Post(WM_BRV_PROFILE_CHANGED, 0, 0);
  if (!temporary) lastSelected_ = index;
  return 0;
}

void ConfigFileManager::SaveIfModifiedLocked() {
  ConfigFile* current = Current();
  if (current != nullptr && current->modified && names_.Contains(currentIndex_) && !readOnly_) {
    SaveLocked(*current);
  }
}

bool ConfigFileManager::SaveLocked(ConfigFile& current) {
  if (current.Save(FilePath(names_[currentIndex_]))) return true;
  // The file keeps its old content; the changes live on in memory.
  LOG_ERROR("Config file \"%s\" not saved; it is still marked modified",
            names_[currentIndex_].c_str());
  return false;
}

void ConfigFileManager::ReleaseCurrentLocked() {
  ConfigFile* current = Current();
  if (current == nullptr) return;
  // Every container, also those above the number of joysticks in use: one
  // may have been in use when a key went down.
  for (int slot = 0; slot < kMaxJoysticks; ++slot) {
    if (ProfileJoystick* joystick = current->Joystick(slot)) {
      for (ButtonAssignment& record : joystick->Buttons()) cycle_.ForceRelease(record);
    }
  }
  cycle_.ClearInjectedStates();
}

ConfigFile& ConfigFileManager::CachedOrLoadedLocked(const std::string& name) {
  auto it = cache_.find(name);
  if (it == cache_.end()) {
    it = cache_.emplace(name, ConfigFile::CreateFromFile(FilePath(name), templates_)).first;
  }
  return *it->second;
}

void ConfigFileManager::MakeCurrentLocked(int index) {
  ConfigFile& profile = CachedOrLoadedLocked(names_[index]);
  current_.store(&profile, std::memory_order_release);
  currentIndex_ = index;
  settings_.FileName = names_[index];
  cycle_.ResetSlotContainers(profile);
}

void ConfigFileManager::RetireLocked(const std::string& name) {
  const auto it = cache_.find(name);
  if (it == cache_.end()) return;
  retired_.push_back(std::move(it->second));
  cache_.erase(it);
}

}  // namespace brevanto
