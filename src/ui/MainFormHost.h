#pragma once

#include <string>
#include <vector>

#include "core/input/SlotState.h"
#include "core/ports/WindowTracker.h"

namespace brevanto {

class AppLinkManager;
class AutoStartTask;
class ButtonAssignment;
class ConfigFile;
class DeviceConfigManager;
class DeviceTemplateManager;
class TDeviceConfig;
class WindowTracker;
struct GlobalSettings;

// What the main window needs of the rest of the program: the settings, the
// profile manager, the detected devices and the processing thread. The
// program's start-up fills it; tests give their own.
class MainFormHost {
 public:
  virtual ~MainFormHost() = default;

  // Settings and the desktop.
  virtual GlobalSettings& Settings() = 0;
  virtual std::string DataDir() const = 0;
  virtual bool SaveSettings() = 0;
  // Whether this run counts as the first: the welcome is shown once.
  virtual bool FirstStart() const = 0;
  virtual void OpenWebPage(const std::string& path) = 0;
  virtual void OpenFolder(const std::string& path) = 0;
  // Starting the program at logon; nullptr where the desktop offers none.
  virtual AutoStartTask* AutoStart() = 0;
  // Whether the desktop shows tray icons now: without a tray a hidden window
  // could not be brought back.
  virtual bool SystemTrayAvailable() const = 0;

  // The profile manager. Loading a profile that is not current makes it
  // current and posts the profile-changed message; the current one loads
  // nothing. The commands ask the user what they need and return whether
  // the list changed.
  virtual std::vector<std::string> ProfileNames() const = 0;
  virtual int CurrentProfileIndex() const = 0;
  virtual ConfigFile* CurrentProfile() = 0;
  virtual void LoadProfileByIndex(int index) = 0;
  virtual bool NewProfile() = 0;
  virtual bool CopyProfile(int index) = 0;
  virtual bool RenameProfile(int index) = 0;
  virtual bool DeleteProfile(int index) = 0;
  // False when the file could not be written; the profile stays modified.
  virtual bool SaveProfile(int index) = 0;

  // The application links the processing cycle matches against, and the
  // tracker it follows the foreground window with; nullptr where there are
  // none.
  virtual AppLinkManager* AppLinks() = 0;
  virtual WindowTracker* ForegroundTracker() = 0;

  // Detected devices, in slot order.
  virtual int DetectedDeviceCount() const = 0;
  // The device driving a slot, or nullptr.
  virtual TDeviceConfig* SlotDevice(int slot) = 0;
  // Pauses processing, detects devices again with the input API mode of the
  // settings and resumes. The devices-changed message follows when forced or
  // when the count changed.
  virtual void RedetectDevices(bool forceNotify) = 0;
  // Every device record ever seen, and the button label templates.
  virtual DeviceConfigManager& Devices() = 0;
  virtual DeviceTemplateManager& Templates() = 0;
  // The open device configuration dialog's window (kNoWindow: closed): while
  // it is in front the cycle sends nothing and reports changed axis values.
  // Called with the cycle paused.
  virtual void PublishDeviceDialog(WindowId window) = 0;
  // Opens the desktop's game-controller settings; false when none is
  // installed.
  virtual bool OpenControllerSettings() = 0;

  // The processing thread. What the cycle reads is changed only between
  // TimerDisable and TimerEnable. TimerEnable leaves a pause the user chose
  // in place.
  virtual void TimerDisable() = 0;
  virtual void TimerEnable() = 0;
  // Lets go of whatever the record holds (keys, buttons, repeat, toggle)
  // before it changes; called between TimerDisable and TimerEnable.
  virtual void ReleaseButton(ButtonAssignment& record) = 0;
  virtual const SlotStates& PressedStates() const = 0;
  virtual void SetJoystickProcessingSuspended(bool suspended) = 0;
  virtual void SetAppLinkSuspended(bool suspended) = 0;
  // Stops and restarts the thread around a theme change.
  virtual void StopProcessing() = 0;
  virtual void StartProcessing() = 0;
  // One of this program's menus is open; the cycle holds back meanwhile.
  virtual void SetMenuOpen(bool open) = 0;
  virtual void StartSwitchVibration(const ConfigFile& profile) = 0;
};

// Plays the sound of a profile switch.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Stops whatever plays and plays the file.
  virtual void Play(const std::string& path) = 0;
  virtual void Stop() = 0;
};

}  // namespace brevanto
