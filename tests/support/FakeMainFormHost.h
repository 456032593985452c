#pragma once

#include <QMetaObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/applink/AppLinkManager.h"
#include "core/device/DeviceConfig.h"
#include "core/device/DeviceConfigManager.h"
#include "core/device/DeviceTemplateManager.h"
#include "core/ports/AutoStartTask.h"
#include "core/ports/WindowTracker.h"
#include "core/profile/ConfigFile.h"
#include "core/settings/GlobalSettings.h"
#include "ui/MainFormHost.h"
#include "ui/TMainForm.h"

namespace brevanto::testing {

// A profile manager, device list and processing thread in memory, recording
// what the window asks of them. Loading a profile posts the profile-changed
// message to the window, as the manager does.
class FakeMainFormHost : public MainFormHost {
 public:
  explicit FakeMainFormHost(std::vector<std::string> profileNames = {"Race", "Shooter", "Puzzle"})
      : names(std::move(profileNames)) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      profiles.push_back(std::make_unique<ConfigFile>());
      profiles.back()->modified = false;
    }
  }

  GlobalSettings& Settings() override { return settings; }
  std::string DataDir() const override { return dataDir; }
  bool SaveSettings() override {
    ++settingsSaves;
    return saveResult;
  }
  bool FirstStart() const override { return firstStart; }
  void OpenWebPage(const std::string& path) override { openedPages.push_back(path); }
  void OpenFolder(const std::string& path) override { openedFolders.push_back(path); }
  AutoStartTask* AutoStart() override { return autoStart; }
  bool SystemTrayAvailable() const override { return trayAvailable; }

  std::vector<std::string> ProfileNames() const override { return names; }
  int CurrentProfileIndex() const override { return current; }
  ConfigFile* CurrentProfile() override {
    return current >= 0 && current < static_cast<int>(profiles.size())
               ? profiles[static_cast<std::size_t>(current)].get()
               : nullptr;
  }
  void LoadProfileByIndex(int index) override {
    if (index == current || index < 0 || index >= static_cast<int>(names.size())) return;
    current = index;
    ++loads;
    if (form) {
      QMetaObject::invokeMethod(
          form.data(),
          [f = form] {
            if (f) f->HandleMessage(PostedMessage{WM_BRV_PROFILE_CHANGED, 0, 0});
          },
          Qt::QueuedConnection);
    }
  }
  bool NewProfile() override {
    commands.push_back("New");
    return commandResult;
  }
  bool CopyProfile(int index) override {
    commands.push_back("Copy " + std::to_string(index));
    return commandResult;
  }
  bool RenameProfile(int index) override {
    commands.push_back("Rename " + std::to_string(index));
    return commandResult;
  }
  bool DeleteProfile(int index) override {
    commands.push_back("Delete " + std::to_string(index));
    return commandResult;
  }
  bool SaveProfile(int index) override {
    commands.push_back("Save " + std::to_string(index));
    if (!saveResult) return false;
    if (index == current && CurrentProfile()) CurrentProfile()->modified = false;
    return true;
  }

  AppLinkManager* AppLinks() override { return appLinks; }
  WindowTracker* ForegroundTracker() override { return tracker; }

  int DetectedDeviceCount() const override { return static_cast<int>(devices.size()); }
  TDeviceConfig* SlotDevice(int slot) override {
    return slot >= 0 && slot < static_cast<int>(devices.size())
               ? &devices[static_cast<std::size_t>(slot)]
               : nullptr;
  }
  void RedetectDevices(bool forceNotify) override {
    ++redetections;
    if (forceNotify) ++forcedRedetections;
  }

  DeviceConfigManager& Devices() override { return records; }
  DeviceTemplateManager& Templates() override { return templates; }
  void PublishDeviceDialog(WindowId window) override {
    published.push_back(window);
    publishedWhilePaused = publishedWhilePaused && timerDisabled > 0;
  }
  bool OpenControllerSettings() override {
    ++controllerSettingsOpened;
    return controllerSettingsTool;
  }

  void TimerDisable() override { ++timerDisabled; }
  void TimerEnable() override { --timerDisabled; }
  void ReleaseButton(ButtonAssignment& record) override {
    released.push_back({record.joystickIndex, record.buttonIndex});
    if (releaseButton) releaseButton(record);
  }
  const SlotStates& PressedStates() const override { return states; }
  void SetJoystickProcessingSuspended(bool suspended) override { joystickSuspended = suspended; }
  void SetAppLinkSuspended(bool suspended) override { appLinkSuspended = suspended; }
  void StopProcessing() override {
    processing = false;
    ++stops;
  }
  void StartProcessing() override {
    processing = true;
    ++starts;
  }
  void SetMenuOpen(bool open) override { menuOpen = open; }
  void StartSwitchVibration(const ConfigFile&) override { ++vibrations; }

  ConfigFile& Profile(int index) { return *profiles[static_cast<std::size_t>(index)]; }

  GlobalSettings settings;
  std::string dataDir = "/nonexistent/";
  bool firstStart = false;
  std::vector<std::string> openedPages, openedFolders;
  AutoStartTask* autoStart = nullptr;
  bool trayAvailable = true;
  std::vector<std::string> names;
  std::vector<std::unique_ptr<ConfigFile>> profiles;
  int current = 0;
  int loads = 0;
  std::vector<std::string> commands;
  bool commandResult = true;
  bool saveResult = true;  // what SaveProfile and SaveSettings report
  int settingsSaves = 0;
  AppLinkManager* appLinks = nullptr;
  WindowTracker* tracker = nullptr;
  std::vector<TDeviceConfig> devices;
  int redetections = 0, forcedRedetections = 0;
  // Never written: tests that save templates make their own manager.
  DeviceTemplateManager templates{"/nonexistent/templates.json",
                                  DeviceTemplateManager::Mode::ReadOnly};
  DeviceConfigManager records{&templates};
  std::vector<WindowId> published;
  bool publishedWhilePaused = true;
  int controllerSettingsOpened = 0;
  bool controllerSettingsTool = true;
  int timerDisabled = 0;
  // Records released before a change, as (slot, virtual button); the engine
  // a test runs may let go of them for real.
  std::vector<std::pair<int, int>> released;
  std::function<void(ButtonAssignment&)> releaseButton;
  SlotStates states{};
  bool joystickSuspended = false, appLinkSuspended = false;
  bool processing = true;
  int stops = 0, starts = 0;
  bool menuOpen = false;
  int vibrations = 0;
  QPointer<TMainForm> form;
};

// An autostart entry in memory; its operations fail when told to.
class FakeAutoStartTask : public AutoStartTask {
 public:
  bool TaskExists() override { return exists; }
  bool CreateTask() override {
    if (fail) return false;
    exists = true;
    return true;
  }
  bool DeleteTask() override {
    if (fail) return false;
    exists = false;
    return true;
  }

  bool exists = false;
  bool fail = false;
};

// Remembers what it was asked to play.
class RecordingSoundPlayer : public SoundPlayer {
 public:
  void Play(const std::string& path) override { played->push_back(path); }
  void Stop() override { ++*stopped; }

  std::shared_ptr<std::vector<std::string>> played = std::make_shared<std::vector<std::string>>();
  std::shared_ptr<int> stopped = std::make_shared<int>(0);
};

}  // namespace brevanto::testing
