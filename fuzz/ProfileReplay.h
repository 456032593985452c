#pragma once

// Random profiles with joystick and profile switches, played through the
// processing cycle by a random controller script as `brevantoctl replay`
// plays them. The same promises as for single records: letting go of
// everything leaves nothing down once the timers have run out, and ending
// processing at any moment (a release of the current profile, an unplugged
// device, the timer's end) leaves nothing down either.

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "StuckKeyCheck.h"
#include "core/engine/OutputSelection.h"
#include "core/input/VirtualButton.h"
#include "core/processing/CycleProfileHooks.h"
#include "core/processing/InjectedInput.h"
#include "core/processing/PostedMessageQueue.h"
#include "core/processing/ProcessingCycle.h"
#include "core/processing/ProcessingTimer.h"
#include "core/processing/ReplayScript.h"
#include "core/processing/TargetWindow.h"
#include "core/processing/TimeBase.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/ConfigFileManager.h"
#include "core/profile/ProfileJoystick.h"
#include "core/settings/GlobalSettings.h"
#include "core/settings/IniDocument.h"
#include "platform/fake/FakeWindowTracker.h"
#include "platform/fake/ManualTimerThread.h"
#include "platform/fake/ScriptedDeviceSource.h"
#include "platform/fake/ScriptedInputDevices.h"

namespace brevanto::fuzzing {

class ProfileReplay {
 public:
  static constexpr int kProfiles = 3;
  static constexpr int kSlots = 3;
  static constexpr int kButtons = 4;
  // Changes of window at the end: more than a chain of triggers between the
  // records of a slot can take.
  static constexpr int kSettleRounds = 5;

  ProfileReplay() {
    // Memory-backed where there is such a folder: the profiles are rewritten
    // for every input.
    char pattern[] = "/dev/shm/brevanto-replay-XXXXXX";
    if (::access("/dev/shm", W_OK) != 0) std::strcpy(pattern, "/tmp/brevanto-replay-XXXXXX");
    if (::mkdtemp(pattern) != nullptr) dir_ = pattern;
  }
  ~ProfileReplay() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  ProfileReplay(const ProfileReplay&) = delete;
  ProfileReplay& operator=(const ProfileReplay&) = delete;

  // Empty when every promise holds, else what went wrong and when.
  std::string Run(const uint8_t* data, std::size_t size) {
    if (dir_.empty()) return "no temporary folder";
    // The profiles take the second half of the input and the script the
    // first, so that neither uses up the bytes of the other.
    ByteReader in(data + size / 2, size - size / 2);
    ByteReader play(data, size / 2);
    GlobalSettings settings;
    // The faster speeds only multiply the cycles a run takes; the engine's
    // own target covers them.
    settings.TurboMode = in.Below(3);
    static constexpr std::array<int, 5> kIgnore = {0, 0, -1, 16, 100};
    settings.IgnoreInputAfterProfileSwitch = in.Pick(kIgnore);
    settings.IgnoreInputAfterShiftSwitch = in.Pick(kIgnore);
    settings.FileName = Name(0);
    turboMode_ = settings.TurboMode;
    for (int p = 0; p < kProfiles; ++p) {
      if (!WriteProfile(in, p)) return "cannot write a profile";
    }

    std::vector<int32_t> releases;  // ticks of force releases
    std::vector<int32_t> unplugs;   // ticks at which slot 0 goes away
    ScriptedDeviceSource source(Script(play, releases, unplugs));
    ScriptedInputDevices devices(
        source, DeviceDefaults{settings.AnalogDeadZone, settings.DefaultAxisMapping});
    RecordingEvent out;
    HeldOutput held;
    InjectedInput injected;
    PostedMessageQueue messages;
    CycleProfileHooks hooks(injected);
    ConfigFileManager manager(dir_ + "/", settings, messages, hooks);
    manager.SetReadOnly(true);
    FakeWindowTracker desktop;
    desktop.AddWindow(1, "game", "/usr/games/game");
    desktop.AddWindow(2, "other", "/usr/games/other");
    desktop.SetForeground(1);
    TargetWindow target(desktop);
    ProcessingCycle cycle(settings, manager, devices, target, injected, messages);
    ManualTimerThread thread;
    ProcessingTimer timer(thread, cycle);
    hooks.Connect(cycle, &timer);
    manager.LoadList();
    for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, &out);

    std::string problem;
    auto check = [&](const char* when, int32_t tick) {
      held.Take(out);
      if (!problem.empty()) return;
      const std::string found = NothingHeld(held);
      if (!found.empty())
        problem = std::string(when) + " at tick " + std::to_string(tick) + ": " + found;
    };

    timer.TimerInit(settings.TurboMode);
    const int32_t endTick = source.Script().endTick;
    for (int32_t tick = 1; tick <= endTick && problem.empty(); ++tick) {
      source.AdvanceTo(tick);
      // Once input has ended and the timers have run out, the foreground
      // window changes, which lets go of a latched toggle; a toggle let go
      // may trigger and latch another, so it changes again a few times.
      if (tick >= settleTick_ && (tick - settleTick_) % settleCycles_ == 0) {
        desktop.SetForeground(desktop.ForegroundWindow() == 1 ? 2 : 1);
      }
      thread.Fire();
      held.Take(out);
      if (std::find(unplugs.begin(), unplugs.end(), tick) != unplugs.end()) {
        devices.SetUnplugged(0, true);
        devices.RequestDetection();
        thread.Fire();
        devices.SetUnplugged(0, false);
        devices.RequestDetection();
        held.Take(out);
      }
      if (std::find(releases.begin(), releases.end(), tick) != releases.end()) {
        manager.ReleaseCurrent();
        check("after a release of the current profile", tick);
      }
    }
    check("after all inputs were released", endTick);
    // The way out of the program: the timer stops, the profile lets go.
    timer.TimerTerminate();
    manager.ReleaseCurrent();
    check("after processing ended", endTick);
    for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, nullptr);
    SetRepeatSameKeyInSequence(false);
    return problem;
  }

 private:
  static std::string Name(int p) { return "p" + std::to_string(p); }

  bool WriteProfile(ByteReader& in, int p) {
    ConfigFile profile;
    profile.SetNumberOfJoysticks(1 + in.Below(kSlots));
    profile.NumberOfButtons = kButtons;
    profile.RepeatSameKeyInSequence = in.Below(4) == 0;
    const int records = 2 + in.Below(6);
    for (int n = 0; n < records; ++n) {
      ProfileJoystick* joystick =
          profile.Joystick(in.Below(2) == 0 ? in.Below(profile.NumberOfJoysticks()) : 0);
      if (joystick == nullptr) continue;
      // Few buttons, so that the script's presses meet the records: plain
      // buttons, or the directions of the first stick.
      const int button = in.Below(3) != 0 ? PlainButton(1 + in.Below(kButtons)) : in.Below(4);
      ButtonAssignment& record = joystick->Button(button);
      RandomRecord(in, record, profile.NumberOfJoysticks());
      if (in.Below(3) == 0) record.kind = AssignmentKind::JoystickSwitch;
      if (in.Below(4) == 0) record.kind = AssignmentKind::ProfileSwitch;
      record.targetName = in.Below(6) == 0 ? "none" : Name(in.Below(kProfiles));
    }
    // Written plainly: a flushed atomic save per run would slow the fuzzer
    // down to the speed of the disk.
    IniDocument document;
    profile.Write(document);
    std::ofstream file(dir_ + "/" + Name(p) + ".cfg", std::ios::binary | std::ios::trunc);
    file << document.Text();
    return static_cast<bool>(file);
  }

  // Buttons and the first stick of a few slots, set at random ticks; then
  // every control at rest and time for every timer to run out.
  ReplayScript Script(ByteReader& in, std::vector<int32_t>& releases,
                      std::vector<int32_t>& unplugs) {
    ReplayScript script;
    for (int slot = 0; slot < kSlots; ++slot) {
      script.used[static_cast<std::size_t>(slot)] = true;
      script.kinds[static_cast<std::size_t>(slot)] = ReplayDeviceKind::DirectInput;
    }
    static constexpr std::array<int32_t, 5> kAxis = {0, 1000, -1000, 600, -300};
    int32_t tick = 1;
    while (!in.Empty() && tick < 1000) {
      const uint8_t op = in.Byte();
      tick += in.Below(12);
      if (op < 12) {
        releases.push_back(tick);
        continue;
      }
      if (op < 18) {
        unplugs.push_back(tick);
        continue;
      }
      ReplayEvent event;
      event.tick = tick;
      event.slot = in.Below(3) == 0 ? in.Below(kSlots) : 0;
      if (op < 80) {
        event.control = ReplayControl{ReplayControlKind::Axis, static_cast<uint16_t>(in.Below(2))};
        event.value = in.Pick(kAxis);
      } else {
        event.control =
            ReplayControl{ReplayControlKind::Button, static_cast<uint16_t>(in.Below(kButtons))};
        event.value = in.Bool() ? 1 : 0;
      }
      script.events.push_back(event);
    }
    restTick_ = tick + 1;
    for (int slot = 0; slot < kSlots; ++slot) {
      for (uint16_t axis = 0; axis < 2; ++axis) {
        script.events.push_back({restTick_, slot, {ReplayControlKind::Axis, axis}, 0, 0});
      }
      for (uint16_t b = 0; b < kButtons; ++b) {
        script.events.push_back({restTick_, slot, {ReplayControlKind::Button, b}, 0, 0});
      }
    }
    // The longest timer of a record (a four-step sequence of the longest
    // hold, a tap window and its hold, an ignore period) ends within 0.7
    // seconds: after the rest, and again after the change of window.
    settleCycles_ = CyclesFromMilliseconds(700, turboMode_);
    settleTick_ = restTick_ + settleCycles_;
    script.endTick = settleTick_ + kSettleRounds * settleCycles_;
    return script;
  }

  std::string dir_;
  int32_t restTick_ = 0;
  int32_t settleTick_ = 0;
  int32_t settleCycles_ = 1;
  int turboMode_ = 0;
};

}  // namespace brevanto::fuzzing
