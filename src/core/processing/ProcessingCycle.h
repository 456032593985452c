#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "core/engine/EngineContext.h"
#include "core/input/AliasEvaluation.h"
#include "core/input/SlotState.h"
#include "core/ports/WindowTracker.h"
#include "core/processing/ProcessingTimer.h"

namespace brevanto {

class Clipboard;
class ConfigFile;
class InjectedInput;
class InputDevices;
class MessageSink;
class ProfileJoystick;
class ProfileSource;
class Shell;
class TargetWindow;
class Vibration;
struct GlobalSettings;

// What one timer tick does: re-detects devices when a change was reported,
// samples the target window, and runs the processing cycle over every joystick
// slot that has a device — read, alias table, pressed flags, profile and
// joystick switching, effective values, analog passes, the button engine —
// then posts what the user interface shows and acts on a profile-switch
// request. Everything it reads is changed only while the timer is paused.
//
// A cycle allocates nothing and formats Debug lines only when debug logging
// is on: it runs every 1 to 16 ms.
class ProcessingCycle final : public TickHandler {
 public:
  ProcessingCycle(const GlobalSettings& settings, ProfileSource& profiles, InputDevices& devices,
                  TargetWindow& target, InjectedInput& injected, MessageSink& sink);
  ProcessingCycle(const ProcessingCycle&) = delete;
  ProcessingCycle& operator=(const ProcessingCycle&) = delete;

  // Where program launches and text pastes go; set before the timer starts.
  void SetShell(Shell* shell) { context_.shell = shell; }
  void SetClipboard(Clipboard* clipboard) { context_.clipboard = clipboard; }
  // The profile-switch vibration, counted down every tick; none without a pad
  // interface.
  void SetVibration(Vibration* vibration) { vibration_ = vibration; }

  // A menu of the program is open: no detection and no target sampling.
  void SetMenuActive(bool active) { menuActive_.store(active, std::memory_order_relaxed); }
  // The main window was shown from the task tray (set) or hidden or
  // minimised (cleared); with SkipForegroundProcessing it decides whether the
  // program's own windows receive the generated input.
  void SetShowMainForm(bool shown) { showMainForm_.store(shown, std::memory_order_relaxed); }
  // The open device configuration dialog's window, kNoWindow when closed.
  // While it is in front nothing is sent and its live axis display is told
  // about changes. Set with the timer paused.
  void PublishDeviceDialog(WindowId window) {
    deviceDialog_.store(window, std::memory_order_relaxed);
  }

  // The containers of profile drive its slots from now on; the other slots
  // have none. Called whenever a profile was made current.
  void ResetSlotContainers(ConfigFile& profile);

  // Per-slot pressed flags (the button highlight) and containers. Read by the
  // user interface; detection clears the highlight with the timer paused.
  SlotStates& Slots() { return slots_; }
  const SlotStates& Slots() const { return slots_; }

  // The engine state of the last cycle, for force releases outside a cycle
  // (a profile switch, a new injected-input target).
  const EngineContext& Engine() const { return context_; }

  void OnEveryTick(int32_t tick) override;
  void OnLockedTick(int32_t tick) override;

 private:
  void RunCycle(ConfigFile& profile);
  void ProcessInjectedInput(ConfigFile& profile, std::span<bool> processed);
  // Lets go of every key and mouse button the records of profile hold.
  void ReleaseHeldRecords(ConfigFile& profile);
  // Returns whether a pressed flag of the slot changed.
  bool ProcessSlot(ConfigFile& profile, int slot, bool suppressOutput, bool profileChanged,
                   std::span<bool> processed, bool& displayChanged);
  // The container that drives the slot this cycle, after the profile-change
  // ignore, the joystick-switch scan and the hand-over.
  ProfileJoystick& SelectButtons(ConfigFile& profile, int slot, bool profileChanged,
                                 VirtualValues& out, int count, std::span<bool> processed);

  const GlobalSettings& settings_;
  ProfileSource& profiles_;
  InputDevices& devices_;
  TargetWindow& target_;
  InjectedInput& injected_;
  MessageSink& sink_;
  Vibration* vibration_ = nullptr;

  std::atomic<bool> menuActive_{false};
  std::atomic<bool> showMainForm_{true};
  std::atomic<WindowId> deviceDialog_{kNoWindow};

  EngineContext context_;
  SlotStates slots_{};
  const ConfigFile* lastProfile_ = nullptr;
  bool outputSuppressed_ = false;
};

}  // namespace brevanto
