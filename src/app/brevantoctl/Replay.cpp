#include "app/brevantoctl/Replay.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/OutputSelection.h"
#include "core/log/Logger.h"
#include "core/processing/CycleProfileHooks.h"
#include "core/processing/InjectedInput.h"
#include "core/processing/PostedMessageQueue.h"
#include "core/processing/ProcessingCycle.h"
#include "core/processing/ProcessingTimer.h"
#include "core/processing/ProfileSource.h"
#include "core/processing/ReplayScript.h"
#include "core/processing/TargetWindow.h"
#include "core/processing/Vibration.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/ConfigFileManager.h"
#include "core/profile/ProfileFiles.h"
#include "core/settings/AtomicFile.h"
#include "core/settings/SettingByName.h"
#include "platform/fake/FakeWindowTracker.h"
#include "platform/fake/ManualTimerThread.h"
#include "platform/fake/ScriptedDeviceSource.h"
#include "platform/fake/ScriptedInputDevices.h"
#include "core/ports/AbstractEvent.h"
#include "core/ports/Clipboard.h"
#include "core/ports/Rumble.h"
#include "core/ports/Shell.h"

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

// Prints the profile line of every switch the cycle requests, lets the
// profile manager make it, and starts the new profile's vibration as the
// program's window does when a profile became current.
class PrintedSwitches final : public ProfileSource {
 public:
  PrintedSwitches(ProfileSource& profiles, ReplayPrinter& printer, Vibration& vibration,
                  int turboMode)
      : profiles_(profiles), printer_(printer), vibration_(vibration), turboMode_(turboMode) {}

  ConfigFile* Current() const override { return profiles_.Current(); }
  int SwitchTo(const std::string& name) override {
    printer_.Line("profile %s", Quoted(name).c_str());
    const ConfigFile* before = profiles_.Current();
    const int result = profiles_.SwitchTo(name);
    const ConfigFile* now = profiles_.Current();
    if (result == 0 && now != nullptr && now != before &&
        (now->VibrationSpeed1 > 0 || now->VibrationSpeed2 > 0) && now->VibrationDuration > 0) {
      vibration_.StartVibration(now->VibrationSpeed1, now->VibrationSpeed2,
                                now->VibrationDuration, turboMode_);
    }
    return result;
  }

 private:
  ProfileSource& profiles_;
  ReplayPrinter& printer_;
  Vibration& vibration_;
  int turboMode_;
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
  // The profile is one of the profiles of its folder, which a switch request
  // can name; the manager lists that folder as the program lists its data
  // directory.
  const std::filesystem::path profileFile = std::filesystem::absolute(profilePath);
  if (profileFile.extension() != kProfileExtension) {
    std::fprintf(stderr, "%s: %s is not a profile (NAME%s)\n", kCommand, profilePath.c_str(),
                 kProfileExtension);
    return 2;
  }
  std::string bytes;
  if (ReadWholeFile(profilePath, bytes) != FileReadStatus::Ok) {
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
  InjectedInput injected;
  PostedMessageQueue messages;
  CycleProfileHooks hooks(injected);
  settings.FileName = profileFile.stem().string();
  ConfigFileManager manager(profileFile.parent_path().string() + "/", settings, messages, hooks);
  // A replay only reads profiles, also those of old versions, which the
  // program rewrites in the current format when it leaves them.
  manager.SetReadOnly(true);
  Vibration vibration(printer);
  PrintedSwitches profiles(manager, printer, vibration, settings.TurboMode);
  // No window exists: the target window stays null.
  FakeWindowTracker desktop;
  TargetWindow target(desktop);
  ProcessingCycle cycle(settings, profiles, devices, target, injected, messages);
  cycle.SetShell(&printer);
  cycle.SetClipboard(&printer);
  cycle.SetVibration(&vibration);
  ManualTimerThread thread;
  ProcessingTimer timer(thread, cycle);
  hooks.Connect(cycle, &timer);
  manager.LoadList();
  for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, &printer);

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
