#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <string>

#include "app/program/ProgramOptions.h"
#include "app/program/WindowMessages.h"
#include "core/input/SlotState.h"
#include "core/ports/PowerStateHandler.h"
#include "core/processing/CycleProfileHooks.h"
#include "core/processing/InjectedInput.h"
#include "core/settings/StartupContext.h"
#include "platform/linux/autostart/XdgAutoStart.h"
#include "platform/linux/hid/HidrawBackend.h"
#include "platform/linux/sdl/SdlContext.h"
#include "platform/linux/shell/LinuxShell.h"
#include "platform/linux/timer/TimerFdThread.h"
#include "ui/MainFormHost.h"

namespace brevanto {

class AppInfo;
class AppLinkManager;
class ConfigFileManager;
class DeviceDetection;
class DirectInputBackend;
class HidDetection;
class InstanceChannel;
class LinuxOutput;
class LogindSleepWatcher;
class OwnKeyRepeatNotifier;
class PowerBroadcastHandler;
class ProcessingCycle;
class ProcessingTimer;
class QtMessageSink;
class QtProfilePrompt;
class SdlEventPump;
class SdlJoystickSource;
class SdlPadSource;
class SdlRumble;
class ShutdownSignalNotifier;
class TMainForm;
class TargetWindow;
class TickHandler;
class Vibration;
class VirtualPadDriver;
class WindowTracker;
class X11Clipboard;
class XInputBackend;
class XkbKeyboardLayout;

// The program: brings every part up in order, runs the event loop of the
// user-interface thread and takes every part down in the reverse order. With
// a display it shows the main window; without one (or with --headless) it runs
// the same way with no window, driven by a QCoreApplication loop.
//
// The Qt application object (QApplication with a window, else
// QCoreApplication) must exist before the program is made.
class BrevantoProgram final : public QObject,
                              public MainFormHost,
                              public MessageActions,
                              public PowerStateHandler {
  Q_OBJECT

 public:
  BrevantoProgram(StartupContext context, ProgramOptions options, bool windowed);
  ~BrevantoProgram() override;
  BrevantoProgram(const BrevantoProgram&) = delete;
  BrevantoProgram& operator=(const BrevantoProgram&) = delete;

  // The start-up sequence. Returns the exit code when the program ends here
  // (0: another instance took the request over; 1: it cannot start, or the
  // running instance did not take the request), nothing when it runs.
  std::optional<int> Start();
  // Runs the event loop until the program is told to end, then the shutdown
  // sequence. Returns the exit code.
  int Run();
  // Ends the event loop through the orderly way out (signals, session end).
  void RequestExit();
  // The shutdown sequence; once, also when start-up stopped half way.
  void Shutdown();

  TMainForm* Form() const { return form_.get(); }
  bool Windowed() const { return windowed_; }

  // MainFormHost
  GlobalSettings& Settings() override;
  std::string DataDir() const override;
  bool SaveSettings() override;
  bool FirstStart() const override { return firstStart_; }
  void OpenWebPage(const std::string& path) override;
  void OpenFolder(const std::string& path) override;
  AutoStartTask* AutoStart() override { return &autoStart_; }
  bool SystemTrayAvailable() const override;
  std::vector<std::string> ProfileNames() const override;
  int CurrentProfileIndex() const override;
  ConfigFile* CurrentProfile() override;
  void LoadProfileByIndex(int index) override;
  bool NewProfile() override;
  bool CopyProfile(int index) override;
  bool RenameProfile(int index) override;
  bool DeleteProfile(int index) override;
  bool SaveProfile(int index) override;
  AppLinkManager* AppLinks() override { return appLinks_.get(); }
  WindowTracker* ForegroundTracker() override;
  int DetectedDeviceCount() const override;
  TDeviceConfig* SlotDevice(int slot) override;
  void RedetectDevices(bool forceNotify) override;
  DeviceConfigManager& Devices() override;
  DeviceTemplateManager& Templates() override;
  void PublishDeviceDialog(WindowId window) override;
  bool OpenControllerSettings() override;
  void TimerDisable() override;
  void TimerEnable() override;
  void ReleaseButton(ButtonAssignment& record) override;
  const SlotStates& PressedStates() const override;
  void SetJoystickProcessingSuspended(bool suspended) override;
  void SetAppLinkSuspended(bool suspended) override;
  void StopProcessing() override;
  void StartProcessing() override;
  void SetMenuOpen(bool open) override;
  void StartSwitchVibration(const ConfigFile& profile) override;

  // MessageActions
  void EndSession() override;
  bool LoadProfileByName(const std::string& name) override;
  bool LoadProfileByInitial(char32_t initial) override;
  void ReportMissingProfile() override;
  void RequestDetection() override;
  void RedetectDevices() override { RedetectDevices(true); }
  intptr_t PowerBroadcast(intptr_t event) override;
  void SetInputTarget(intptr_t suppressedSlot, intptr_t joystick) override;
  void SetInjectedButton(int button, bool pressed) override;
  void Restore() override;
  void Minimize() override;
  void ForWindow(const PostedMessage& message) override;

  // PowerStateHandler
  void Suspend() override;
  void Resume() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Whether the window was shown from the tray (not minimised or hidden
  // since): with SkipForegroundProcessing it decides whether the program's
  // own windows receive the generated input.
  void SyncShowMainForm();
  // Start-up steps.
  std::optional<int> StartUp();
  bool CreateControllers();
  bool StartVirtualPads();
  void CreateProfiles();
  // targetsAreXWindows: the tracker's windows are X windows, which
  // KeySendMode 3 can address.
  void CreateProcessing(bool targetsAreXWindows);
  void WatchEvents();
  // --screenshots: writes the window's pictures, then ends the program.
  void TakeScreenshots();
  void StartTimer();
  // A start-up failure the user must see: a message box with a window, else
  // standard error; always logged.
  void ShowStartError(const std::string& text);
  // A message of the processing thread or the profile manager, on the
  // user-interface thread.
  void OnPosted(const PostedMessage& message);
  // Every key and mouse button the current profile holds goes up.
  void ReleaseHeldOutput();
  // Runs f with the cycle paused, unless it is paused already.
  template <class F>
  void WithCyclePaused(F f);

  StartupContext context_;
  ProgramOptions options_;
  bool windowed_;
  bool firstStart_ = false;
  bool started_ = false;
  bool shutDown_ = false;
  bool screenshotsFailed_ = false;
  // Where the single-instance lock and the message socket live; empty when
  // no safe folder could be had.
  std::string instanceDir_;

  LinuxShell shell_;
  std::unique_ptr<AppInfo> appInfo_;
  XdgAutoStart autoStart_;

  // Output and the desktop.
  std::unique_ptr<LinuxOutput> output_;
  std::unique_ptr<OwnKeyRepeatNotifier> keyRepeat_;
  std::unique_ptr<XkbKeyboardLayout> layout_;
  std::unique_ptr<WindowTracker> tracker_;
  std::unique_ptr<X11Clipboard> clipboard_;

  // Controllers.
  SdlContext sdl_;
  std::unique_ptr<SdlPadSource> pads_;
  std::unique_ptr<SdlRumble> rumble_;
  std::unique_ptr<SdlJoystickSource> joysticks_;
  HidrawBackend hidraw_;
  std::unique_ptr<HidDetection> hid_;
  std::unique_ptr<XInputBackend> xinput_;
  std::unique_ptr<DirectInputBackend> directInput_;
  std::unique_ptr<DeviceDetection> detection_;
  std::unique_ptr<SdlEventPump> pump_;
  std::unique_ptr<VirtualPadDriver> virtualPads_;

  // Processing.
  std::unique_ptr<QtMessageSink> sink_;
  InjectedInput injected_;
  CycleProfileHooks hooks_{injected_};
  std::unique_ptr<ConfigFileManager> profiles_;
  std::unique_ptr<AppLinkManager> appLinks_;
  std::unique_ptr<Vibration> vibration_;
  std::unique_ptr<TargetWindow> target_;
  std::unique_ptr<ProcessingCycle> cycle_;
  std::unique_ptr<TickHandler> tick_;
  TimerFdThread timerThread_;
  std::unique_ptr<ProcessingTimer> timer_;

  // Messages and events from outside.
  WindowMessages messages_{*this};
  std::unique_ptr<InstanceChannel> channel_;
  std::unique_ptr<PowerBroadcastHandler> power_;
  std::unique_ptr<LogindSleepWatcher> sleepWatcher_;
  std::unique_ptr<ShutdownSignalNotifier> signals_;

  // The window.
  std::unique_ptr<QtProfilePrompt> prompt_;
  std::unique_ptr<TMainForm> form_;
};

}  // namespace brevanto
