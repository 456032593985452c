#include "core/processing/ProcessingCycle.h"

#include <algorithm>
#include <array>
#include <span>

#include "core/engine/ButtonEngine.h"
#include "core/engine/KeyOutput.h"
#include "core/engine/OutputSelection.h"
#include "core/input/PressedFlags.h"
#include "core/log/Logger.h"
#include "core/ports/MessageSink.h"
#include "core/processing/AnalogPasses.h"
#include "core/processing/InjectedInput.h"
#include "core/processing/InputDevices.h"
#include "core/processing/Messages.h"
#include "core/processing/ProfileSource.h"
#include "core/processing/SlotSwitching.h"
#include "core/processing/TargetWindow.h"
#include "core/processing/TimeBase.h"
#include "core/processing/Vibration.h"
#include "core/profile/ConfigFile.h"
#include "core/settings/GlobalSettings.h"

namespace brevanto {
namespace {

int ButtonCount(const ConfigFile& profile) {
  return ActiveButtonCount(std::clamp(profile.NumberOfButtons, 0, kPlainButtonCount));
}

ReadOptions ReadOptionsOf(const ConfigFile& profile) {
  ReadOptions options;
  options.threshold = profile.Threshold;
  options.threshold2 = profile.Threshold2;
  options.useDiagonalInput = profile.UseDiagonalInput;
  options.useDiagonalInput2 = profile.UseDiagonalInput2;
  options.usePov8Way = profile.UsePOV8Way;
  options.numberOfButtons = std::clamp(profile.NumberOfButtons, 0, kPlainButtonCount);
  return options;
}

}  // namespace

ProcessingCycle::ProcessingCycle(const GlobalSettings& settings, ProfileSource& profiles,
                                 InputDevices& devices, TargetWindow& target,
                                 InjectedInput& injected, MessageSink& sink)
    : settings_(settings),
      profiles_(profiles),
      devices_(devices),
      target_(target),
      injected_(injected),
      sink_(sink) {}

void ProcessingCycle::ResetSlotContainers(ConfigFile& profile) {
  const int joysticks = profile.NumberOfJoysticks();
  for (int i = 0; i < kMaxJoysticks; ++i) {
    slots_[static_cast<std::size_t>(i)].lastButtons = i < joysticks ? profile.Joystick(i) : nullptr;
  }
}

void ProcessingCycle::OnEveryTick(int32_t /*tick*/) {
  if (vibration_) vibration_->CountdownStep();
}

void ProcessingCycle::OnLockedTick(int32_t tick) {
  context_.tick = tick;
  context_.turboMode = ClampTurboMode(settings_.TurboMode);

  const bool menuActive = menuActive_.load(std::memory_order_relaxed);
  if (!menuActive) {
    if (devices_.DeviceChangePending()) devices_.DetectJoysticks(false);
    target_.Sample();
  }
  // While a menu is open the last sampling's verdict stands.
  context_.targetWindowChanged = target_.targetChanged();

  if (devices_.DeviceCount() <= 0) return;
  ConfigFile* profile = profiles_.Current();
  if (!profile) return;
  RunCycle(*profile);
}

void ProcessingCycle::RunCycle(ConfigFile& profile) {
  context_.profileSwitchRequest = nullptr;

  const WindowId dialog = deviceDialog_.load(std::memory_order_relaxed);
  const bool dialogInFront = dialog != kNoWindow && target_.targetWindow() == dialog;
  // The program's own windows get no input while the user works with the
  // main window shown, so that pressing buttons only highlights them there.
  const bool suppressOutput =
      dialogInFront || (target_.targetIsOwn() && settings_.SkipForegroundProcessing &&
                        showMainForm_.load(std::memory_order_relaxed));
  bool displayChanged = false;
  // Keys held when one of the program's windows comes to the front would stay
  // down there, where the user types, until it lost the front again.
  if (suppressOutput && !outputSuppressed_) ReleaseHeldRecords(profile);
  outputSuppressed_ = suppressOutput;

  SelectOutputMethod(profile.KeySendMode);
  SetRepeatSameKeyInSequence(profile.RepeatSameKeyInSequence);

  const int joysticks = std::clamp(profile.NumberOfJoysticks(), 0, kMaxJoysticks);
  std::array<bool, kMaxJoysticks> processedFlags{};
  const std::span<bool> processed(processedFlags.data(), static_cast<std::size_t>(joysticks));
  const bool profileChanged = &profile != lastProfile_;

  ProcessInjectedInput(profile, processed);

  bool pressedChanged = false;
  for (int slot = 0; slot < joysticks; ++slot) {
    pressedChanged |=
        ProcessSlot(profile, slot, suppressOutput, profileChanged, processed, displayChanged);
  }
  lastProfile_ = &profile;

  if (pressedChanged && target_.targetIsOwn()) sink_.Post(WM_BRV_BUTTONS_CHANGED, 0, 0);
  if (displayChanged && dialogInFront) sink_.Post(WM_BRV_ANALOG_CHANGED, 0, 0);

  if (const ButtonAssignment* request = context_.profileSwitchRequest) {
    context_.profileSwitchRequest = nullptr;
    LOG_INFO("Switching to profile: %s", request->targetName.c_str());
    profiles_.SwitchTo(request->targetName);
  }
}

void ProcessingCycle::ReleaseHeldRecords(ConfigFile& profile) {
  const int joysticks = std::clamp(profile.NumberOfJoysticks(), 0, kMaxJoysticks);
  const int count = ButtonCount(profile);
  for (int slot = 0; slot < joysticks; ++slot) {
    ProfileJoystick* buttons = profile.Joystick(slot);
    if (!buttons) continue;
    for (int i = 0; i < count; ++i) {
      ButtonAssignment& record = buttons->Button(i);
      // Only what holds output: a release would turn a pending short press
      // into a tap sent to the program's own window.
      if (record.keysHeld) ForceRelease(record, context_);
    }
  }
}

void ProcessingCycle::ProcessInjectedInput(ConfigFile& profile, std::span<bool> processed) {
  const int joysticks = static_cast<int>(processed.size());
  const int32_t target = injected_.InjectTargetWithin(joysticks);
  if (target == InjectedInput::kNone) return;
  const int32_t suppressed = injected_.SuppressedSlotWithin(joysticks);
  if (suppressed != InjectedInput::kNone) processed[static_cast<std::size_t>(suppressed)] = true;

  ProfileJoystick* buttons = profile.Joystick(target);
  if (!buttons) return;
  const int plainButtons = ButtonCount(profile) - kFirstPlainButton;
  for (int k = 0; k < plainButtons; ++k) {
    Process(buttons->Button(kFirstPlainButton + k), injected_.Pressed(k) ? kFullValue : 0,
            context_);
  }
}

bool ProcessingCycle::ProcessSlot(ConfigFile& profile, int slot, bool suppressOutput,
                                  bool profileChanged, std::span<bool> processed,
                                  bool& displayChanged) {
  const int device = devices_.SlotDevice(slot);
  if (device < 0 || device >= devices_.DeviceCount()) return false;
  DeviceInput input;
  if (devices_.Read(device, ReadOptionsOf(profile), input, displayChanged) != 0) return false;
  bool& done = processed[static_cast<std::size_t>(slot)];
  if (done) return false;
  done = true;

  const int count = ButtonCount(profile);
  SlotState& state = slots_[static_cast<std::size_t>(slot)];
  VirtualValues out{};
  EvaluateAliases(input.values, profile.ButtonAlias, count, out);
  const bool changed = UpdatePressed(state, out, count, profile.Threshold, context_.tick);
  // The highlight still follows the controller while nothing is sent.
  if (suppressOutput) return changed;

  ProfileJoystick& buttons = SelectButtons(profile, slot, profileChanged, out, count, processed);
  // One pass over the records for both: their order per button is all that
  // matters, and every pass over 184 records costs cache misses.
  for (int i = 0; i < count; ++i) {
    ButtonAssignment& record = buttons.Button(i);
    int32_t& value = out[static_cast<std::size_t>(i)];
    ApplyIgnore(record, i, value);
    value = EffectiveValue(record, value, context_);
  }
  ApplyAnalogPasses(buttons, count, input.analog, settings_.AccelerationSharpness, CurrentOutput(),
                    out);
  for (int i = 0; i < count; ++i) {
    ButtonAssignment& record = buttons.Button(i);
    if (record.IsAssigned()) Process(record, out[static_cast<std::size_t>(i)], context_);
  }
  return changed;
}

ProfileJoystick& ProcessingCycle::SelectButtons(ConfigFile& profile, int slot, bool profileChanged,
                                                VirtualValues& out, int count,
                                                std::span<bool> processed) {
  ProfileJoystick& own = *profile.Joystick(slot);
  if (profileChanged) {
    ApplyProfileChangeIgnore(own, out, count, settings_.IgnoreInputAfterProfileSwitch,
                             context_.turboMode);
  }
  SlotState& state = slots_[static_cast<std::size_t>(slot)];
  ProfileJoystick& buttons = ScanJoystickSwitch(profile, own, out, count, state, context_.tick,
                                                context_.turboMode, processed);

  if (state.lastButtons && state.lastButtons != &buttons) {
    if (&buttons != &own) {
      LOG_DEBUG("Switching PhysicalDevice[%d] temporarily to pJoystick[%d]", slot, buttons.Slot());
    } else {
      LOG_DEBUG("Switching PhysicalDevice[%d] back to pJoystick[%d]", slot, buttons.Slot());
    }
    HandOverButtons(*state.lastButtons, buttons, out, count,
                    IgnoreCycles(settings_.IgnoreInputAfterShiftSwitch, context_.turboMode),
                    context_);
    state.lastButtons = &buttons;
  }
  return buttons;
}

}  // namespace brevanto
