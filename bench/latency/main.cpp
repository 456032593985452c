// End-to-end delay from a controller button to the key event an X client
// receives, through the real program: its processing thread reads an SDL
// virtual joystick and sends the key through XTest to an X server; a client
// window with the focus receives it. See docs/PERFORMANCE.md.
//
//   latency_bench [--samples=N] [--turbo=0,4] [--display=NAME]
//                 [--window-manager=COMMAND]
//
// Without --display it starts an Xvfb of its own, and on it the window
// manager when one is named.

#include <X11/keysym.h>
#include <stdlib.h>
#include <sys/prctl.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CoreWaits.h"
#include "DelayFigures.h"
#include "DelaySampler.h"
#include "KeyReceiver.h"
#include "PrivateXServer.h"
#include "Report.h"
#include "TickSchedule.h"
#include "VirtualButton.h"
#include "WindowManager.h"
#include "XTestKey.h"
#include "app/program/BrevantoProgram.h"
#include "app/program/ProgramOptions.h"
#include "core/settings/StartupContext.h"

namespace brevanto::bench {
namespace {

constexpr int64_t kMs = 1000000;
constexpr int64_t kDetectionTimeoutNs = 10000 * kMs;
constexpr int64_t kTargetBeyondP99Ns = kMs / 2;

// Button 1 of the first joystick gives A through XTest (SendInput with
// virtual keys).
constexpr char kProfile[] =
    "[General]\r\n"
    "FileVersion=70\r\n"
    "NumberOfJoysticks=1\r\n"
    "NumberOfButtons=12\r\n"
    "KeySendMode=1\r\n"
    "\r\n"
    "[Joystick 1]\r\n"
    "Button01=1, 41:00:00:00, 0.000, 0, 0\r\n";

struct Options {
  int samples = 1000;
  std::vector<int> turboModes = {0, 4};
  std::string display;
  std::string windowManager;
  bool valid = true;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.starts_with("--samples=")) {
      options.samples = std::atoi(argument.c_str() + 10);
      options.valid = options.valid && options.samples > 0;
    } else if (argument.starts_with("--turbo=")) {
      options.turboModes.clear();
      std::istringstream list(argument.substr(8));
      for (std::string mode; std::getline(list, mode, ',');) {
        const int value = std::atoi(mode.c_str());
        options.valid = options.valid && value >= 0 && value <= 4;
        options.turboModes.push_back(value);
      }
    } else if (argument.starts_with("--display=")) {
      options.display = argument.substr(10);
    } else if (argument.starts_with("--window-manager=")) {
      options.windowManager = argument.substr(17);
    } else {
      options.valid = false;
    }
  }
  return options;
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

struct Run {
  std::string error;
  Samples presses;
  Samples releases;
  int lost = 0;
};

// The X server alone: keys injected from a connection of the benchmark's.
Run MeasureXServer(int count, const std::string& display, std::optional<pid_t> xServer,
                   KeyReceiver& receiver) {
  Run run;
  ::prctl(PR_SET_TIMERSLACK, 1UL);
  const unsigned keycode = receiver.Keycode(XK_b);
  std::unique_ptr<XTestKey> key = XTestKey::Open(display, keycode);
  if (!key) {
    run.error = "no XTest on " + display;
    return run;
  }
  CoreWaits waits = CoreWaits::Find(xServer);
  DelaySampler sampler(receiver, keycode, waits, nullptr, kMs);
  sampler.Run(
      count, [&key](bool down) { key->Set(down); }, run.presses, run.releases, run.lost);
  return run;
}

// The program's path, on the thread that measures while the program runs.
Run MeasureProgram(int turboMode, int count, std::optional<pid_t> xServer, KeyReceiver& receiver) {
  Run run;
  // Pauses end when asked, not up to 50 µs later.
  ::prctl(PR_SET_TIMERSLACK, 1UL);
  const int64_t period = (int64_t{16} >> turboMode) * kMs;
  std::optional<TickSchedule> schedule = TickSchedule::Find(period);
  if (!schedule) {
    run.error = "the processing thread's timer was not found";
    return run;
  }
  CoreWaits waits = CoreWaits::Find(xServer);
  if (!waits.HasProcessing()) {
    run.error = "the processing thread was not found";
    return run;
  }
  std::string error;
  std::unique_ptr<VirtualButton> button = VirtualButton::Attach(error);
  if (!button) {
    run.error = "cannot attach the virtual joystick: " + error;
    return run;
  }
  const unsigned keycode = receiver.Keycode(XK_a);

  // The program notices the joystick within a quarter of a second; until it
  // has, a press gives nothing.
  const int64_t detectionEnd = MonotonicNs() + kDetectionTimeoutNs;
  bool detected = false;
  while (!detected && MonotonicNs() < detectionEnd) {
    button->Set(true);
    detected = receiver.WaitKey(true, keycode, 300 * kMs).has_value();
    button->Set(false);
    if (detected) receiver.WaitKey(false, keycode, 2000 * kMs);
  }
  if (!detected) {
    run.error = "the program did not turn the button into a key";
    return run;
  }
  receiver.Drain();

  DelaySampler sampler(receiver, keycode, waits, &*schedule, period);
  if (!sampler.Run(
          count, [&button](bool down) { button->Set(down); }, run.presses, run.releases,
          run.lost)) {
    run.error = "the processing thread's timer went away";
  }
  return run;
}

bool Report(const std::string& title, const Run& run, const std::string& loadBefore) {
  if (!run.error.empty()) {
    std::fprintf(stderr, "latency_bench: %s: %s\n", title.c_str(), run.error.c_str());
    return false;
  }
  std::printf("%s: %zu presses, %zu releases, %d lost; load average %s before, %s after\n",
              title.c_str(), run.presses.whole.size(), run.releases.whole.size(), run.lost,
              loadBefore.c_str(), LoadAverage().c_str());
  PrintRun(run.presses, run.releases);
  if (!run.presses.beyond.empty()) {
    const int64_t p99 = Summarize(run.presses.beyond).p99;
    std::printf("  press beyond the tick wait, p99 %.3f ms: %s the target of %.3f ms\n", p99 / 1e6,
                p99 <= kTargetBeyondP99Ns ? "meets" : "misses", kTargetBeyondP99Ns / 1e6);
  }
  std::printf("\n");
  std::fflush(stdout);
  return run.lost == 0;
}

// The program with this TurboMode on a fresh data directory, headless, its
// output through XTest.
bool RunProgram(int turboMode, int count, const std::filesystem::path& root,
                std::optional<pid_t> xServer, KeyReceiver& receiver) {
  const std::filesystem::path data = root / ("data-" + std::to_string(turboMode));
  std::filesystem::create_directories(data);
  std::ofstream(data / "Latency.cfg", std::ios::binary) << kProfile;
  std::ofstream(data / "Brevanto.ini", std::ios::binary)
      << "[LastStatus]\r\nFileName=Latency\r\nTurboMode=" << turboMode << "\r\n";

  ProgramOptions options = ParseProgramOptions(
      {"brevanto", "--data-dir", data.string() + "/", "--no-uinput", "--headless"});
  BrevantoProgram program(StartupContext::FromProcess(0, nullptr, nullptr), std::move(options),
                          false);
  if (const std::optional<int> early = program.Start()) {
    std::fprintf(stderr, "latency_bench: the program ended at start with %d (log in %s)\n", *early,
                 data.c_str());
    return false;
  }
  const std::string loadBefore = LoadAverage();
  Run run;
  std::thread measuring([&] {
    run = MeasureProgram(turboMode, count, xServer, receiver);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&program] { program.RequestExit(); }, Qt::QueuedConnection);
  });
  program.Run();
  measuring.join();
  const std::string title = "TurboMode " + std::to_string(turboMode) + " (tick every " +
                            std::to_string(16 >> turboMode) + " ms)";
  return Report(title, run, loadBefore);
}

int Main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  if (!options.valid) {
    std::fprintf(stderr,
                 "usage: latency_bench [--samples=N] [--turbo=0,4] [--display=NAME] "
                 "[--window-manager=COMMAND]\n");
    return 2;
  }
  char pattern[] = "/tmp/latency_bench.XXXXXX";
  if (!::mkdtemp(pattern)) {
    std::perror("latency_bench: mkdtemp");
    return 1;
  }
  const std::filesystem::path root = pattern;
  std::unique_ptr<PrivateXServer> server;
  std::string display = options.display;
  std::optional<pid_t> xServer;
  if (display.empty()) {
    std::string error;
    server = PrivateXServer::Start((root / "Xvfb.log").string(), error);
    if (!server) {
      std::fprintf(stderr, "latency_bench: %s\n", error.c_str());
      return 1;
    }
    display = server->DisplayName();
    xServer = server->Pid();
  }
  std::unique_ptr<WindowManager> windowManager;
  if (!options.windowManager.empty()) {
    std::string error;
    windowManager = WindowManager::Start(options.windowManager, display,
                                         (root / "window-manager.log").string(), error);
    if (!windowManager) {
      std::fprintf(stderr, "latency_bench: %s\n", error.c_str());
      return 1;
    }
  }

  // The program keeps its instance lock, settings and log here, apart from
  // any Brevanto the user runs.
  for (const char* folder : {"home/.config", "runtime"}) {
    std::filesystem::create_directories(root / folder);
  }
  std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all);
  ::setenv("HOME", (root / "home").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (root / "home/.config").c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
  ::setenv("DISPLAY", display.c_str(), 1);
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + (root / "no-bus").string()).c_str(), 1);
  ::unsetenv("BREVANTO_DATA_DIR");
  ::unsetenv("BREVANTO_INI_FILE");

  std::unique_ptr<KeyReceiver> receiver = KeyReceiver::Open(display);
  if (!receiver) {
    std::fprintf(stderr, "latency_bench: no focused window on the X display %s\n", display.c_str());
    return 1;
  }
  std::printf("X server %s%s, window manager: %s; %u cores\n\n", display.c_str(),
              server ? " (private Xvfb)" : "",
              options.windowManager.empty() ? "none" : options.windowManager.c_str(),
              std::thread::hardware_concurrency());

  bool ok = true;
  {
    const std::string loadBefore = LoadAverage();
    Run run;
    std::thread measuring(
        [&] { run = MeasureXServer(options.samples, display, xServer, *receiver); });
    measuring.join();
    ok = Report("The X server alone (XTest from the benchmark)", run, loadBefore) && ok;
  }

  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QCoreApplication application(qtArgc, qtArgv);
  for (const int mode : options.turboModes) {
    ok = RunProgram(mode, options.samples, root, xServer, *receiver) && ok;
  }
  receiver.reset();
  windowManager.reset();
  server.reset();
  if (ok) std::filesystem::remove_all(root);
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace brevanto::bench

int main(int argc, char** argv) {
  return brevanto::bench::Main(argc, argv);
}
