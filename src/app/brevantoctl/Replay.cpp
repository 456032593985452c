#include "app/brevantoctl/Replay.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/ButtonEngine.h"
#include "core/engine/OutputSelection.h"
#include "core/log/Logger.h"
#include "core/processing/InjectedInput.h"
#include "core/processing/PostedMessageQueue.h"
#include "core/processing/ProcessingCycle.h"
#include "core/processing/ProcessingTimer.h"
#include "core/processing/ProfileSource.h"
#include "core/processing/ReplayScript.h"
#include "core/processing/TargetWindow.h"
#include "core/processing/Vibration.h"
#include "core/profile/ConfigFile.h"
#include "core/settings/AtomicFile.h"
#include "core/settings/SettingByName.h"
#include "core/text/TextCase.h"
#include "platform/fake/FakeWindowTracker.h"
#include "platform/fake/ManualTimerThread.h"
#include "platform/fake/ScriptedDeviceSource.h"
#include "platform/fake/ScriptedInputDevices.h"
#include "platform/ports/AbstractEvent.h"
#include "platform/ports/Clipboard.h"
#include "platform/ports/Rumble.h"
#include "platform/ports/Shell.h"

namespace brevanto::ctl {
namespace {

constexpr char kCommand[] = "brevantoctl replay";

int Usage() {
  std::fprintf(stderr,
               "usage: brevantoctl replay [--set Key=Value]... [--log FILE] PROFILE.cfg SCRIPT\n");
  return 2;
}

// Text in double quotes, with backslash, quote, CR and LF escaped so that a
// line of output stays one line.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    switch (c) {
      case '\\':
        quoted += "\\\\";
        break;
      case '"':
        quoted += "\\\"";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\n':
        quoted += "\\n";
        break;
      default:
        quoted += c;
    }
  }
  return quoted + '"';
}

// Prints every call the cycle makes on the outside world as one line that
// starts with the cycle's tick, in call order.
class ReplayPrinter final : public AbstractEvent, public Shell, public Clipboard, public Rumble {
 public:
  void SetTick(int32_t tick) { tick_ = tick; }

  void Line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    std::printf("%d ", tick_);
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
  }

  void KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) override {
    Line("key %02X %02X %d", virtualKey, scanCode, flags);
  }
  void MoveAbsolute(int32_t x, int32_t y) override { Line("abs %d %d", x, y); }
  void MoveRelative(int32_t dx, int32_t dy) override { Line("move %d %d", dx, dy); }
  void Wheel(int32_t delta) override { Line("wheel %d", delta); }
  void HWheel(int32_t delta) override { Line("hwheel %d", delta); }
  void MouseButtons(bool press, bool release, int32_t left, int32_t middle, int32_t right,
                    int32_t x1, int32_t x2) override {
    if (!press && !release) return;
    Line("mouse %s %d %d %d %d %d", press ? "down" : "up", left, middle, right, x1, x2);
  }
  void SendPauseSequence() override { Line("pause"); }

  bool Open(const std::string& target) override { return Launch(target, {}, {}); }
  bool Launch(const std::string& program, const std::string& parameters,
              const std::string& startFrom) override {
    Line("launch %s %s %s", Quoted(program).c_str(), Quoted(parameters).c_str(),
         Quoted(startFrom).c_str());
    return true;
  }

  bool SetClipboardText(std::string_view text) override {
    Line("clipboard %s", Quoted(text).c_str());
    return true;
  }

  bool Available() const override { return true; }
  bool SetMotors(int /*userIndex*/, uint16_t left, uint16_t right) override {
    Line("vibrate %d %d", left, right);
    return true;
  }

 private:
  int32_t tick_ = 0;
};

// The profiles of the folder that holds the replayed profile: a switch
// request loads the named one (its name compared without regard to case)
// and keeps it for later switches, and the new profile's vibration starts,
// as in the program. Profiles are only read, never saved.
class ReplayProfiles final : public ProfileSource {
 public:
  ReplayProfiles(const std::filesystem::path& first, std::unique_ptr<ConfigFile> profile,
                 ReplayPrinter& printer, Vibration& vibration, int turboMode)
      : folder_(first.parent_path()),
        printer_(printer),
        vibration_(vibration),
        turboMode_(turboMode) {
    currentName_ = first.stem().string();
    current_ = profile.get();
    cache_[UpperCase(currentName_)] = std::move(profile);
  }

  void SetCycle(ProcessingCycle& cycle) { cycle_ = &cycle; }

  ConfigFile* Current() const override { return current_; }

  int SwitchTo(const std::string& name) override {
    printer_.Line("profile %s", Quoted(name).c_str());
    const std::string key = UpperCase(name);
    if (key == UpperCase(currentName_)) return 0;
    std::filesystem::path path;
    if (!Find(key, path)) {
      LOG_ERROR("Failed to load ConfigFile \"%s\" - cannot be found in the list", name.c_str());
      return 1;
    }
    std::unique_ptr<ConfigFile>& cached = cache_[key];
    if (!cached) cached = ConfigFile::CreateFromFile(path.string());

    // Nothing of the old profile's output survives a switch.
    for (int slot = 0; slot < current_->NumberOfJoysticks(); ++slot) {
      for (ButtonAssignment& record : current_->Joystick(slot)->Buttons()) {
        ForceRelease(record, cycle_->Engine());
      }
    }
    current_ = cached.get();
    currentName_ = path.stem().string();
    cycle_->ResetSlotContainers(*current_);
    const ConfigFile& now = *current_;
    if ((now.VibrationSpeed1 > 0 || now.VibrationSpeed2 > 0) && now.VibrationDuration > 0) {
      vibration_.StartVibration(now.VibrationSpeed1, now.VibrationSpeed2, now.VibrationDuration,
                                turboMode_);
    }
    return 0;
  }

 private:
  bool Find(const std::string& key, std::filesystem::path& found) const {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
      const std::filesystem::path& path = entry.path();
      if (path.extension() == ".cfg" && UpperCase(path.stem().string()) == key) {
        found = path;
        return true;
      }
    }
    return false;
  }

  std::filesystem::path folder_;
  ReplayPrinter& printer_;
  Vibration& vibration_;
  int turboMode_;
  ProcessingCycle* cycle_ = nullptr;
  std::map<std::string, std::unique_ptr<ConfigFile>> cache_;
  ConfigFile* current_ = nullptr;
  std::string currentName_;
};

struct Arguments {
  GlobalSettings settings;
  std::string logPath;
  std::vector<std::string> files;
};

// 0 when the arguments are complete, else the exit code.
int ParseArguments(int argc, char** argv, Arguments& args) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string value;
    const bool isSet = arg == "--set" || arg.rfind("--set=", 0) == 0;
    const bool isLog = arg == "--log" || arg.rfind("--log=", 0) == 0;
    if (isSet || isLog) {
      const std::size_t equals = arg.find('=');
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        return Usage();
      }
    }
    if (isLog) {
      args.logPath = value;
    } else if (isSet) {
      const std::size_t equals = value.find('=');
      if (equals == std::string::npos || equals == 0) return Usage();
      const std::string key = value.substr(0, equals);
      switch (SetGlobalSetting(args.settings, key, std::string_view(value).substr(equals + 1))) {
        case SetSettingResult::Ok:
          break;
        case SetSettingResult::UnknownKey:
          std::fprintf(stderr, "%s: unknown setting '%s'\n", kCommand, key.c_str());
          return 2;
        case SetSettingResult::Rejected:
          std::fprintf(stderr, "%s: %s does not take '%s'\n", kCommand, key.c_str(),
                       value.c_str() + equals + 1);
          return 2;
      }
    } else if (arg.rfind("--", 0) == 0) {
      return Usage();
    } else {
      args.files.push_back(arg);
    }
  }
  return args.files.size() == 2 ? 0 : Usage();
}

}  // namespace

int RunReplay(int argc, char** argv) {
  Arguments args;
  if (const int code = ParseArguments(argc, argv, args)) return code;
  const std::string& profilePath = args.files[0];
  const std::string& scriptPath = args.files[1];
  GlobalSettings& settings = args.settings;

  std::string text;
  if (ReadWholeFile(scriptPath, text) != FileReadStatus::Ok) {
    std::fprintf(stderr, "%s: cannot read %s\n", kCommand, scriptPath.c_str());
    return 1;
  }
  ReplayParseResult parsed = ParseReplayScript(text);
  if (!parsed.script) {
    std::fprintf(stderr, "%s: %s: %s\n", kCommand, scriptPath.c_str(), parsed.error.c_str());
    return 2;
  }
  auto profile = std::make_unique<ConfigFile>();
  if (profile->Load(profilePath) != FileReadStatus::Ok) {
    std::fprintf(stderr, "%s: cannot read %s\n", kCommand, profilePath.c_str());
    return 1;
  }
  if (!args.logPath.empty()) {
    Logger::Instance().SetDebugEnabled(true);
    if (!Logger::Instance().Open(args.logPath)) {
      std::fprintf(stderr, "%s: cannot write %s\n", kCommand, args.logPath.c_str());
      return 1;
    }
  }

  const int32_t endTick = parsed.script->endTick;
  ScriptedDeviceSource source(std::move(*parsed.script));
  ScriptedInputDevices devices(
      source, DeviceDefaults{settings.AnalogDeadZone, settings.DefaultAxisMapping});
  ReplayPrinter printer;
  Vibration vibration(printer);
  ReplayProfiles profiles(profilePath, std::move(profile), printer, vibration, settings.TurboMode);
  // No window exists: the target window stays null.
  FakeWindowTracker desktop;
  TargetWindow target(desktop);
  InjectedInput injected;
  PostedMessageQueue messages;
  ProcessingCycle cycle(settings, profiles, devices, target, injected, messages);
  cycle.SetShell(&printer);
  cycle.SetClipboard(&printer);
  cycle.SetVibration(&vibration);
  profiles.SetCycle(cycle);
  cycle.ResetSlotContainers(*profiles.Current());
  for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, &printer);

  ManualTimerThread thread;
  ProcessingTimer timer(thread, cycle);
  timer.TimerInit(settings.TurboMode);
  for (int32_t tick = 1; tick <= endTick; ++tick) {
    printer.SetTick(tick);
    source.AdvanceTo(tick);
    thread.Fire();
  }
  timer.TimerTerminate();

  for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, nullptr);
  Logger::Instance().Close();
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace brevanto::ctl
