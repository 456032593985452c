#include "app/program/BrevantoProgram.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QSessionManager>
#include <QSystemTrayIcon>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "app/instance/InstanceChannel.h"
#include "app/output/OwnKeyRepeatNotifier.h"
#include "app/power/LogindSleepWatcher.h"
#include "app/program/FatalError.h"
#include "app/program/GnomeExtensionNotice.h"
#include "app/program/PumpedCycle.h"
#include "app/program/UinputNotice.h"
#include "app/program/WaylandSession.h"
#include "app/program/WindowTrackerChoice.h"
#include "app/signals/ShutdownSignalNotifier.h"
#include "core/applink/AppLinkManager.h"
#include "core/engine/ButtonEngine.h"
#include "core/engine/KeyNames.h"
#include "core/engine/OutputSelection.h"
#include "core/input/DirectInputBackend.h"
#include "core/input/HidDetection.h"
#include "core/input/XInputBackend.h"
#include "core/log/Logger.h"
#include "core/processing/DeviceDetection.h"
#include "core/processing/Messages.h"
#include "core/processing/PowerBroadcast.h"
#include "core/processing/ProcessingCycle.h"
#include "core/processing/ProcessingTimer.h"
#include "core/processing/TargetWindow.h"
#include "core/processing/TimeBase.h"
#include "core/processing/Vibration.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/ConfigFileManager.h"
#include "core/settings/AppInfo.h"
#include "core/settings/AtomicFile.h"
#include "platform/linux/clipboard/X11Clipboard.h"
#include "platform/linux/instance/InstancePaths.h"
#include "platform/linux/instance/LinuxSingleInstance.h"
#include "platform/linux/memory/CleanFilePages.h"
#include "platform/linux/output/LinuxOutput.h"
#include "platform/linux/output/UinputDevice.h"
#include "platform/linux/output/XkbKeyboardLayout.h"
#include "platform/linux/sdl/SdlEventPump.h"
#include "platform/linux/sdl/SdlJoystickSource.h"
#include "platform/linux/sdl/SdlPadSource.h"
#include "platform/linux/sdl/SdlRumble.h"
#include "platform/linux/sdl/VirtualPadDriver.h"
#include "platform/linux/shell/ControllerSettingsTool.h"
#include "ui/AppIcons.h"
#include "ui/ApplicationFont.h"
#include "ui/QtMessageSink.h"
#include "ui/QtProfilePrompt.h"
#include "ui/QtSoundPlayer.h"
#include "ui/Screenshots.h"
#include "ui/TMainForm.h"
#include "ui/UiText.h"

namespace brevanto {
namespace {

constexpr char kMissingProfileText[] = "指定されたファイルが存在しません。";
constexpr char kMissingProfileTitle[] = "ERROR: WM_BRV_SWITCH_FILE";

constexpr std::chrono::milliseconds kScreenshotDelay(1500);
// Long enough for start-up to be over and the window's first paint.
constexpr std::chrono::milliseconds kFilePagesReleaseDelay(1000);

void ReleaseFilePages() {
  const std::size_t released = ReleaseCleanFilePages();
  LOG_DEBUG("Unchanged file pages released: %zu KiB", released / 1024);
}

void LogSystemVersion() {
  struct utsname name {};
  if (::uname(&name) == 0) {
    LOG_INFO("%s %s (%s)", name.sysname, name.release, name.machine);
  } else {
    LOG_INFO("Unknown system");
  }
}

}  // namespace

BrevantoProgram::BrevantoProgram(StartupContext context, ProgramOptions options, bool windowed)
    : context_(std::move(context)), options_(std::move(options)), windowed_(windowed) {
  context_.shell = &shell_;
  context_.arguments = options_.arguments;
  if (!options_.dataDir.empty()) {
    // The option stands for the variable, which it overrides.
    EnvironmentLookup environment = context_.environment;
    const std::string dataDir = options_.dataDir;
    context_.environment = [environment, dataDir](const std::string& name) {
      if (name == "BREVANTO_DATA_DIR") return std::optional<std::string>(dataDir);
      return environment ? environment(name) : std::nullopt;
    };
  }
}

BrevantoProgram::~BrevantoProgram() {
  Shutdown();
}

std::optional<int> BrevantoProgram::Start() {
  // A save past the user's file size limit must fail and say so, not end
  // the program with keys held.
  IgnoreFileSizeSignal();
  // Whatever goes wrong in start-up is shown, logged and ends the program in
  // order, never silently.
  try {
    return StartUp();
  } catch (const std::exception& error) {
    ShowStartError(std::string("Start-up failed: ") + error.what());
  } catch (...) {
    ShowStartError("Start-up failed: unknown error");
  }
  Shutdown();
  return 1;
}

std::optional<int> BrevantoProgram::StartUp() {
  try {
    appInfo_ = std::make_unique<AppInfo>(context_, AppInfo::LogOpening::AfterInstanceCheck);
  } catch (const AppInfoError& error) {
    ShowStartError(error.what());
    return 1;
  }
  std::error_code ignored;
  firstStart_ = !std::filesystem::exists(appInfo_->IniFilePath(), ignored);
  // One place per user whatever the data directory, so that starts with
  // different data directories still find each other.
  std::string instanceError;
  instanceDir_ = InstanceDirectory(instanceError);
  if (instanceDir_.empty()) {
    std::fprintf(stderr, "brevanto: %s; not checking for another instance\n",
                 instanceError.c_str());
  }
  auto singleInstance = std::make_unique<LinuxSingleInstance>(instanceDir_);
  const LinuxSingleInstance& instance = *singleInstance;
  appInfo_->SetSingleInstance(std::move(singleInstance));
  if (appInfo_->LoadSettings()) {
    const bool failed = appInfo_->HandOverFailed();
    // A request the running instance did not take is not lost in silence.
    if (failed) std::fprintf(stderr, "brevanto: %s\n", instance.HandOverError().c_str());
    appInfo_.reset();
    shutDown_ = true;
    return failed ? 1 : 0;
  }
  started_ = true;
  if (instanceDir_.empty()) LOG_ERROR("Instance files: %s", instanceError.c_str());
  for (const std::string& option : options_.unknown) {
    LOG_INFO("Unknown option ignored: %s", option.c_str());
  }
  // From here on a signal ends the program in order (once the event loop
  // runs), never half way through start-up.
  signals_ = std::make_unique<ShutdownSignalNotifier>([this](int) { RequestExit(); });

  QCoreApplication::setApplicationName(QString::fromLatin1(AppInfo::kProductName));
  if (windowed_) {
    // The window may live in the tray alone; that is no reason to end.
    QApplication::setQuitOnLastWindowClosed(false);
    ApplyApplicationFont();
    QGuiApplication::setWindowIcon(ApplicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("brevanto"));
    form_ = std::make_unique<TMainForm>(*this, std::make_unique<QtSoundPlayer>());
    prompt_ = std::make_unique<QtProfilePrompt>(form_.get());
    connect(form_.get(), &TMainForm::Closed, this, [] { QCoreApplication::quit(); });
    // The desktop session ends: the same as being told so by a message.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
      messages_.HandleInstanceMessage(InstanceMessage{WM_QUERYENDSESSION, 0, 0, {}});
    });
  } else {
    LOG_INFO(options_.headless ? "Running without a window (headless, as asked)"
                               : "No display: running without a window (headless)");
  }

  // Output first: the key names of the lists come from the keyboard layout.
  const bool wayland = IsWaylandSession(context_.environment);
  LinuxOutput::Options outputOptions;
  outputOptions.useUinput = !options_.noUinput;
  outputOptions.waylandSession = wayland;
  output_ = std::make_unique<LinuxOutput>(outputOptions);
  output_->Register();
  // A held key is one press: the X server must not repeat the own keyboards.
  if (auto repeat = OwnKeyRepeat::Open(
          nullptr, output_->HasUinput() ? UinputDevice::kDeviceName : std::string())) {
    keyRepeat_ = std::make_unique<OwnKeyRepeatNotifier>(std::move(repeat));
  }
  layout_ = XkbKeyboardLayout::Open();
  SetKeyboardLayout(layout_.get());
  ChosenWindowTracker chosen = ChooseSessionWindowTracker(context_.environment);
  tracker_ = std::move(chosen.tracker);
  clipboard_ = std::make_unique<X11Clipboard>();

  CreateProcessing(!chosen.seesWaylandWindows);
  LogSystemVersion();
  if (wayland) {
    const std::string platform = form_ ? QGuiApplication::platformName().toStdString() : "";
    for (const std::string& line :
         WaylandSessionReport(platform, {!options_.noUinput, output_->HasUinput()},
                              {chosen.seesWaylandWindows, chosen.logLine})) {
      LOG_INFO("%s", line.c_str());
    }
  }

  if (!CreateControllers()) {
    ShowStartError(kControllerLibraryMissing);
    Shutdown();
    return 1;
  }
  CreateProfiles();

  if (form_) {
    target_->SetMainWindowHandle(static_cast<WindowId>(form_->winId()));
    form_->Initialize();
  }
  LOG_INFO(::geteuid() == 0 ? "Application is running with administrator privileges"
                            : "Application is running with standard user privileges");
  StartTimer();
  WatchEvents();
  if (form_) {
    form_->ShowAtStart(false);
    form_->installEventFilter(this);
    SyncShowMainForm();
  }
  // What start-up ran and read is not needed while the program waits.
  QTimer::singleShot(kFilePagesReleaseDelay, this, [] { ReleaseFilePages(); });
  if (!options_.noUinput && !output_->HasUinput() &&
      UinputNoticeWanted(UinputDevice::kDefaultPath, wayland)) {
    LOG_INFO("%s", kUinputNoticeLog);
    if (form_) ShowUinputNotice(form_.get());
  }
  if (form_ && chosen.inactiveGnomeExtension) {
    ShowGnomeExtensionNotice(form_.get(), *chosen.inactiveGnomeExtension);
  }
  if (!options_.screenshotDir.empty()) {
    if (!form_) {
      std::fprintf(stderr, "brevanto: --screenshots needs a display\n");
      Shutdown();
      return 2;
    }
    // Time for the virtual controllers to press what their script holds.
    QTimer::singleShot(kScreenshotDelay, this, [this] { TakeScreenshots(); });
  }
  return std::nullopt;
}

void BrevantoProgram::CreateProcessing(bool targetsAreXWindows) {
  sink_ = std::make_unique<QtMessageSink>(this, [this](const PostedMessage& m) { OnPosted(m); });
  target_ = std::make_unique<TargetWindow>(*tracker_);
  // KeySendMode 3 addresses its key events to the window the cycle sampled;
  // the id of a Wayland window means nothing to the X server.
  if (targetsAreXWindows) {
    output_->MessageMethod().SetTargetWindowSource([this] { return target_->targetWindow(); });
  }
}

bool BrevantoProgram::CreateControllers() {
  DeviceConfigManager& records = appInfo_->Devices();
  pads_ = std::make_unique<SdlPadSource>(sdl_);
  rumble_ = std::make_unique<SdlRumble>(sdl_, *pads_);
  joysticks_ = std::make_unique<SdlJoystickSource>(sdl_);
  hid_ = std::make_unique<HidDetection>(hidraw_, records);
  xinput_ = std::make_unique<XInputBackend>(*pads_, *rumble_, records);
  directInput_ = std::make_unique<DirectInputBackend>(*joysticks_, records, *xinput_);
  directInput_->SetAnalogSaturation(appInfo_->settings.AnalogSaturation);
  detection_ = std::make_unique<DeviceDetection>(records, *hid_, *xinput_, *directInput_, *sink_);
  detection_->SetApiMode(appInfo_->settings.XInputSupport);
  // The HID back end reads its controllers on a thread of its own and asks
  // for a re-detection when hidraw nodes come or go.
  hidraw_.Connect(*detection_);
  pump_ = std::make_unique<SdlEventPump>(sdl_, [this] { RequestDetection(); });
  vibration_ = std::make_unique<Vibration>(*rumble_);

  // The processing objects exist before the first detection: it holds the
  // processing lock and clears the cycle's highlight.
  profiles_ =
      std::make_unique<ConfigFileManager>(appInfo_->DataDir(), appInfo_->settings, *sink_, hooks_);
  cycle_ = std::make_unique<ProcessingCycle>(appInfo_->settings, *profiles_, *detection_, *target_,
                                             injected_, *sink_);
  cycle_->SetShell(&shell_);
  cycle_->SetClipboard(clipboard_.get());
  cycle_->SetVibration(vibration_.get());
  tick_ = std::make_unique<PumpedCycle>(
      *cycle_, [this] { pump_->Pump(); }, *detection_, appInfo_->settings);
  timer_ = std::make_unique<ProcessingTimer>(timerThread_, *tick_);
  hooks_.Connect(*cycle_, timer_.get());
  detection_->SetProcessingTimer(timer_.get());
  detection_->SetSlotStates(&cycle_->Slots());
  target_->SetTargetChangedHandler([this](const std::string& path, const std::string& title) {
    profiles_->OnTargetChanged(path, title);
  });

  if (!options_.virtualPadScript.empty() && !StartVirtualPads()) return false;
  if (!detection_->InitJoysticks()) {
    detection_->ReleaseJoysticks();
    return false;
  }
  // The hidraw reader watches the device folders for every kind of controller.
  tick_->SetArrivalsAnnounced(hidraw_.Loaded());
  appInfo_->settings.XInputSupport = detection_->ApiMode();
  return true;
}

bool BrevantoProgram::StartVirtualPads() {
  if (!sdl_.Init()) return false;
  std::string error;
  virtualPads_ = VirtualPadDriver::FromFile(options_.virtualPadScript, *pump_,
                                            TimerPeriodMs(appInfo_->settings.TurboMode), error);
  if (!virtualPads_) {
    LOG_ERROR("Virtual controllers: %s", error.c_str());
    return false;
  }
  LOG_INFO("Virtual controllers: %d attached from %s", virtualPads_->AttachedCount(),
           options_.virtualPadScript.c_str());
  // SDL takes the new controllers in with its next update.
  pump_->Pump();
  return true;
}

void BrevantoProgram::CreateProfiles() {
  profiles_->SetTemplates(&appInfo_->Templates());
  profiles_->LoadList();
  appLinks_ = std::make_unique<AppLinkManager>(appInfo_->DataDir());
  appLinks_->Load();
  profiles_->SetAppLinks(appLinks_.get());
}

void BrevantoProgram::StartTimer() {
  // A pause the user chose outlasts a restart of the thread: the timer keeps
  // it apart from its own running state.
  timer_->TimerInit(appInfo_->settings.TurboMode);
}

void BrevantoProgram::WatchEvents() {
  channel_ = std::make_unique<InstanceChannel>(messages_);
  const std::string& directory = instanceDir_;
  switch (directory.empty() ? InstanceServer::ListenStatus::Failed : channel_->Listen(directory)) {
    case InstanceServer::ListenStatus::Listening:
      break;
    case InstanceServer::ListenStatus::ServedElsewhere:
      LOG_INFO("Another instance takes the messages of %s; this one takes none", directory.c_str());
      break;
    case InstanceServer::ListenStatus::Failed:
      LOG_ERROR("Messages from other programs cannot be received");
      break;
  }

  power_ = std::make_unique<PowerBroadcastHandler>(*this);
  sleepWatcher_ = std::make_unique<LogindSleepWatcher>(*power_);
  sleepWatcher_->Start();
}

int BrevantoProgram::Run() {
  const int code = QCoreApplication::exec();
  Shutdown();
  return screenshotsFailed_ ? 1 : code;
}

void BrevantoProgram::TakeScreenshots() {
  std::string error;
  const std::vector<std::string> written = WriteScreenshots(*form_, options_.screenshotDir, error);
  for (const std::string& file : written) std::printf("%s\n", file.c_str());
  std::fflush(stdout);
  if (!error.empty()) {
    std::fprintf(stderr, "brevanto: %s\n", error.c_str());
    screenshotsFailed_ = true;
  }
  RequestExit();
}

void BrevantoProgram::RequestExit() {
  if (form_) {
    // The window's own way out: ExitMeansMinimize does not apply.
    form_->MMExitClick();
  } else {
    QCoreApplication::quit();
  }
}

void BrevantoProgram::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  if (!started_) return;

  // Nothing more arrives from outside while the program goes down.
  signals_.reset();
  sleepWatcher_.reset();
  channel_.reset();

  if (form_) {
    // Logs, stops the processing thread, stores the geometry, saves.
    form_->Shutdown();
  } else {
    LOG_DEBUG("Destroying application...");
    StopProcessing();
    appInfo_->SaveSettings();
  }
  if (detection_) detection_->ReleaseJoysticks();
  // Its reader thread refers to detection.
  hidraw_.Unload();

  form_.reset();
  prompt_.reset();
  power_.reset();
  if (profiles_) {
    profiles_->SetAppLinks(nullptr);
    profiles_->Shutdown();
  }
  appLinks_.reset();
  timer_.reset();
  tick_.reset();
  cycle_.reset();
  profiles_.reset();
  // The controller side refers to the device records, which go with AppInfo.
  vibration_.reset();
  virtualPads_.reset();
  pump_.reset();
  detection_.reset();
  directInput_.reset();
  xinput_.reset();
  hid_.reset();
  joysticks_.reset();
  rumble_.reset();
  pads_.reset();
  for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, nullptr);
  SetKeyboardLayout(nullptr);
  // Every key is up by now, so the XTest keyboard may repeat again.
  keyRepeat_.reset();
  output_.reset();
  appInfo_.reset();
  Logger::Instance().Close();
}

bool BrevantoProgram::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_.get() && (event->type() == QEvent::Show || event->type() == QEvent::Hide ||
                                 event->type() == QEvent::WindowStateChange)) {
    // The window settles its state after the event.
    QTimer::singleShot(0, this, [this] {
      SyncShowMainForm();
      // A window in the tray draws nothing until it is shown again.
      if (form_ && !form_->Shown()) ReleaseFilePages();
    });
  }
  return QObject::eventFilter(watched, event);
}

void BrevantoProgram::SyncShowMainForm() {
  if (form_ && cycle_) cycle_->SetShowMainForm(form_->Shown());
}

void BrevantoProgram::ShowStartError(const std::string& text) {
  ReportFatalError(text, windowed_);
}

void BrevantoProgram::ReleaseHeldOutput() {
  if (profiles_) profiles_->ReleaseCurrent();
}

template <class F>
void BrevantoProgram::WithCyclePaused(F f) {
  const bool pause = timer_ && !timer_->Disabled();
  if (pause) timer_->TimerDisable();
  f();
  if (pause) timer_->TimerEnable();
}

void BrevantoProgram::OnPosted(const PostedMessage& message) {
  if (form_) {
    form_->HandleMessage(message);
    return;
  }
  // Without a window only the vibration of a profile switch is left to do.
  if (message.message == WM_BRV_PROFILE_CHANGED && profiles_ && timer_ && !timer_->UserPaused()) {
    if (const ConfigFile* profile = profiles_->Current()) {
      if ((profile->VibrationSpeed1 != 0 || profile->VibrationSpeed2 != 0) &&
          profile->VibrationDuration > 0) {
        StartSwitchVibration(*profile);
      }
    }
  }
}

// MainFormHost

GlobalSettings& BrevantoProgram::Settings() {
  return appInfo_->settings;
}

std::string BrevantoProgram::DataDir() const {
  return appInfo_->DataDir();
}

bool BrevantoProgram::SaveSettings() {
  return appInfo_->SaveSettings();
}

void BrevantoProgram::OpenWebPage(const std::string& path) {
  appInfo_->OpenWebPage(path);
}

void BrevantoProgram::OpenFolder(const std::string& path) {
  appInfo_->OpenDocument(path);
}

bool BrevantoProgram::SystemTrayAvailable() const {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

std::vector<std::string> BrevantoProgram::ProfileNames() const {
  return profiles_->Names();
}

int BrevantoProgram::CurrentProfileIndex() const {
  return profiles_->CurrentIndex();
}

ConfigFile* BrevantoProgram::CurrentProfile() {
  return profiles_->Current();
}

void BrevantoProgram::LoadProfileByIndex(int index) {
  profiles_->LoadByIndex(index, false);
}

bool BrevantoProgram::NewProfile() {
  return profiles_->New(*prompt_);
}

bool BrevantoProgram::CopyProfile(int index) {
  return profiles_->Copy(index, *prompt_);
}

bool BrevantoProgram::RenameProfile(int index) {
  return profiles_->Rename(index, *prompt_);
}

bool BrevantoProgram::DeleteProfile(int index) {
  return profiles_->Delete(index, *prompt_);
}

bool BrevantoProgram::SaveProfile(int index) {
  return profiles_->Save(index);
}

WindowTracker* BrevantoProgram::ForegroundTracker() {
  return tracker_.get();
}

int BrevantoProgram::DetectedDeviceCount() const {
  return detection_ ? detection_->DeviceCount() : 0;
}

TDeviceConfig* BrevantoProgram::SlotDevice(int slot) {
  return detection_ ? detection_->DeviceInSlot(slot) : nullptr;
}

void BrevantoProgram::RedetectDevices(bool forceNotify) {
  WithCyclePaused([&] {
    // The preferences may have chosen another input API mode.
    detection_->SetApiMode(appInfo_->settings.XInputSupport);
    detection_->DetectJoysticks(forceNotify);
  });
}

DeviceConfigManager& BrevantoProgram::Devices() {
  return appInfo_->Devices();
}

DeviceTemplateManager& BrevantoProgram::Templates() {
  return appInfo_->Templates();
}

void BrevantoProgram::PublishDeviceDialog(WindowId window) {
  if (cycle_) cycle_->PublishDeviceDialog(window);
}

bool BrevantoProgram::OpenControllerSettings() {
  const std::optional<ControllerSettingsTool> tool =
      FindControllerSettingsTool(&LinuxShell::ResolveExecutable);
  if (!tool) {
    LOG_INFO("No game controller settings tool is installed");
    return false;
  }
  LOG_INFO("Opening the game controller settings: %s", tool->program.c_str());
  return shell_.Launch(tool->program, tool->parameters, "");
}

void BrevantoProgram::TimerDisable() {
  timer_->TimerDisable();
}

void BrevantoProgram::TimerEnable() {
  // The timer keeps a pause the user chose apart from this bracket.
  timer_->TimerEnable();
}

void BrevantoProgram::ReleaseButton(ButtonAssignment& record) {
  hooks_.ForceRelease(record);
}

const SlotStates& BrevantoProgram::PressedStates() const {
  return cycle_->Slots();
}

void BrevantoProgram::SetJoystickProcessingSuspended(bool suspended) {
  if (suspended == timer_->UserPaused()) return;
  timer_->SetUserPaused(suspended);
  // A paused cycle sends nothing more, so nothing may stay down.
  if (suspended) ReleaseHeldOutput();
}

void BrevantoProgram::SetAppLinkSuspended(bool suspended) {
  target_->SetAppLinksSuspended(suspended);
}

void BrevantoProgram::StopProcessing() {
  if (timer_) timer_->TimerTerminate();
  // Before the output can go away: a key the thread left down would stay
  // down in the system.
  ReleaseHeldOutput();
}

void BrevantoProgram::StartProcessing() {
  if (form_) target_->SetMainWindowHandle(static_cast<WindowId>(form_->winId()));
  StartTimer();
}

void BrevantoProgram::SetMenuOpen(bool open) {
  cycle_->SetMenuActive(open);
}

void BrevantoProgram::StartSwitchVibration(const ConfigFile& profile) {
  vibration_->StartVibration(profile.VibrationSpeed1, profile.VibrationSpeed2,
                             profile.VibrationDuration, appInfo_->settings.TurboMode);
}

// MessageActions

void BrevantoProgram::EndSession() {
  RequestExit();
}

bool BrevantoProgram::LoadProfileByName(const std::string& name) {
  return profiles_->LoadByName(name) == 0;
}

bool BrevantoProgram::LoadProfileByInitial(char32_t initial) {
  return profiles_->LoadByInitial(initial) >= 0;
}

void BrevantoProgram::ReportMissingProfile() {
  if (!form_) {
    LOG_ERROR("%s", kMissingProfileText);
    return;
  }
  // Shown after the answer went back: the sender does not wait for the user.
  QTimer::singleShot(0, form_.get(), [form = form_.get()] {
    QMessageBox::critical(form, QString::fromUtf8(kMissingProfileTitle),
                          QString::fromUtf8(kMissingProfileText));
  });
}

void BrevantoProgram::RequestDetection() {
  if (detection_) detection_->RequestDetection();
}

intptr_t BrevantoProgram::PowerBroadcast(intptr_t event) {
  return power_ ? power_->Handle(event) : 0;
}

void BrevantoProgram::SetInputTarget(intptr_t suppressedSlot, intptr_t joystick) {
  injected_.SetSuppressedSlot(suppressedSlot);
  WithCyclePaused([&] {
    const int32_t previous = injected_.injectTarget();
    ConfigFile* profile = profiles_->Current();
    if (previous != InjectedInput::kNone && profile != nullptr) {
      if (ProfileJoystick* buttons = profile->Joystick(previous)) {
        for (ButtonAssignment& record : buttons->Buttons()) ForceRelease(record, cycle_->Engine());
      }
    }
    injected_.SetTarget(joystick);
  });
}

void BrevantoProgram::SetInjectedButton(int button, bool pressed) {
  if (pressed) {
    injected_.Press(button);
  } else {
    injected_.Release(button);
  }
}

void BrevantoProgram::Restore() {
  if (form_) form_->RestoreFromTray();
  SyncShowMainForm();
}

void BrevantoProgram::Minimize() {
  if (form_) form_->MinimizeApplication();
  SyncShowMainForm();
}

void BrevantoProgram::ForWindow(const PostedMessage& message) {
  OnPosted(message);
}

// PowerStateHandler

void BrevantoProgram::Suspend() {
  StopProcessing();
  detection_->ReleaseJoysticks();
}

void BrevantoProgram::Resume() {
  detection_->InitJoysticks();
  tick_->SetArrivalsAnnounced(hidraw_.Loaded());
  StartTimer();
}

}  // namespace brevanto
