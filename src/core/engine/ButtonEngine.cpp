#include "core/engine/ButtonEngine.h"

#include <algorithm>
#include <cmath>

#include "core/engine/KeyOutput.h"
#include "core/engine/LaunchAndPaste.h"
#include "core/engine/MouseStep.h"
#include "core/log/Logger.h"
#include "core/processing/TimeBase.h"

namespace brevanto {
namespace {

constexpr int32_t kFullValue = 1000;
constexpr int kLastInput = kInputsPerAssignment - 1;
// Half a repeat period at rate 1, in ms.
constexpr int32_t kRepeatHalfPeriodMs = 500;

// The time since an earlier tick. The counter may wrap in a long session;
// the difference stays right as long as the span itself fits.
int32_t Elapsed(int32_t now, int32_t then) {
  return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(then));
}

struct Cycle {
  const EngineContext& context;

  int32_t Ms(int32_t cycles) const { return MillisecondsFromCycles(cycles, context.turboMode); }
  // Profiles are not range-checked: sums are taken wide and saturated.
  int32_t Cycles(int64_t ms) const {
    return CyclesFromMilliseconds(SaturateInt32(ms), context.turboMode);
  }
  // A hold time in cycles plus the cycle that counts it down to zero. A
  // negative hold (a hand-edited profile) is no hold: a count that starts
  // below one would never run down, and a sequence would hold its first
  // input for good.
  int32_t HoldSteps(int32_t ms) const {
    return SaturateInt32(int64_t{Cycles(std::max(ms, 0))} + 1);
  }
  int32_t MsSince(int32_t tick) const { return Ms(Elapsed(context.tick, tick)); }
};

// The codes and scans of input i. Indexes past the last input (the end
// marker of a finished sequence) never reach the arrays.
const KeyCode* K(const ButtonAssignment& r, int i) {
  return r.keys[static_cast<std::size_t>(std::clamp(i, 0, kLastInput))].data();
}
const int32_t* S(const ButtonAssignment& r, int i) {
  return r.scanCodes[static_cast<std::size_t>(std::clamp(i, 0, kLastInput))].data();
}

void PressInput(ButtonAssignment& r, int i) {
  ApplyKeys(r, K(r, i), S(r, i), false, true);
}
void ReleaseInput(ButtonAssignment& r, int i) {
  ApplyKeys(r, K(r, i), S(r, i), true, false);
}
void HoldInput(ButtonAssignment& r, int i) {
  ApplyKeys(r, K(r, i), S(r, i), false, false);
}
void HoldHeld(ButtonAssignment& r) {
  ApplyHeldKeys(r, false, false);
}
void ReleaseHeld(ButtonAssignment& r) {
  ApplyHeldKeys(r, true, false);
}

// Every key of input i goes up, last first, whether or not the record
// believes it holds it.
void ReleaseKeyByKey(ButtonAssignment& r, int i) {
  for (int k = kKeysPerInput - 1; k >= 0; --k) {
    if (!ListedBefore(K(r, i), k)) KeyOut(r, K(r, i)[k], S(r, i)[k], true, false);
  }
}

// From input `from` to input `to`: keys both share stay down.
void Transition(ButtonAssignment& r, int from, int to) {
  const auto f = static_cast<std::size_t>(std::clamp(from, 0, kLastInput));
  const auto t = static_cast<std::size_t>(std::clamp(to, 0, kLastInput));
  TransitionLists(r, r.keys[f], r.scanCodes[f], r.keys[t], r.scanCodes[t]);
}

void CompleteTransition(ButtonAssignment& r) {
  r.keysHeld = false;
  for (int k = kKeysPerInput - 1; k >= 0; --k) {
    const auto i = static_cast<std::size_t>(k);
    if (ListedBefore(r.releaseList.codes.data(), k)) continue;
    KeyOut(r, r.releaseList.codes[i], r.releaseList.scans[i], true, false);
  }
  ApplyKeys(r, r.pressList.codes.data(), r.pressList.scans.data(), false, true);
}

// The half period of auto-repeat in cycles; fractions are carried only as far
// as the truncation of the sum allows, as the counter is whole cycles.
int32_t ReloadRepeatCounter(const ButtonAssignment& r, const Cycle& cycle) {
  const double p =
      static_cast<double>(kRepeatHalfPeriodMs << ClampTurboMode(cycle.context.turboMode));
  const double rate = r.repeatRate;
  double half = rate > 0 ? p / 16.0 / rate : -rate * p / 16.0;
  // A rate read as NaN or infinity from a damaged profile must not reach the
  // integer conversion.
  if (!(half >= 0)) half = 0;
  // Truncated toward zero. A zero half period would otherwise run the
  // counter down without end.
  const double next = std::trunc(half + r.repeatCounter);
  return static_cast<int32_t>(std::clamp(next, 0.0, static_cast<double>(INT32_MAX)));
}

struct Flags {
  bool press = false;
  bool release = false;
};

// The auto-repeat decision for a pressed or just released record. False when
// the cycle must produce no output at all (waiting for the delay or for the
// counter).
bool RepeatFlags(ButtonAssignment& r, int32_t value, bool jp, int32_t held, bool jr,
                 const Cycle& cycle, Flags& flags) {
  if (r.repeatRate == 0.0f) {
    flags.press = jp;
    flags.release = jr;
    return true;
  }
  if (!jp && value <= 0) {
    r.repeatCounter = 0;
    flags.release = r.keysHeld;
    flags.press = false;
    return true;
  }
  if (!jp && held < r.repeatDelay) {
    // The first press stays down through the delay.
    r.repeatCounter = 0;
    return false;
  }
  r.repeatCounter -= 1;
  if (r.repeatCounter > 0) return false;
  r.repeatCounter = ReloadRepeatCounter(r, cycle);
  flags.release = r.keysHeld;
  flags.press = !r.keysHeld;
  return true;
}

void AutoRepeat(ButtonAssignment& r, int32_t value, bool jp, int32_t held, bool jr,
                const Cycle& cycle) {
  Flags flags;
  if (!RepeatFlags(r, value, jp, held, jr, cycle, flags)) return;
  if (r.kind == AssignmentKind::Keys) {
    ApplyKeys(r, K(r, 0), S(r, 0), flags.release, flags.press);
  } else {
    MouseStep(r, value, flags.press, flags.release);
  }
}

int InputCountOf(MultiMode mode) {
  switch (mode) {
    case MultiMode::MultiSwitch2:
      return 2;
    case MultiMode::MultiSwitch3:
      return 3;
    default:
      return 4;
  }
}

void MultiSwitch(ButtonAssignment& r, int32_t value, bool jp, int32_t held, bool jr,
                 const Cycle& cycle) {
  Flags flags;
  if (!RepeatFlags(r, value, jp, held, jr, cycle, flags)) return;
  if (!flags.press) {
    ApplyHeldKeys(r, flags.release, false);
    return;
  }
  if (r.counterResetDuration > 0 && cycle.MsSince(r.releaseTick) > r.counterResetDuration) {
    r.inputIndex = 0;
  }
  PressInput(r, r.inputIndex);
  const int last = InputCountOf(r.multiMode) - 1;
  r.inputIndex = r.inputIndex >= last ? 0 : r.inputIndex + 1;
}

void DelayedSwitch(ButtonAssignment& r, int32_t value, bool jp, int32_t held, bool jr,
                   const Cycle& cycle) {
  const int32_t mh = r.minimumHoldDuration;
  if (value > 0 && held >= r.switchDelay) {
    // Without a delay a new press is long at once and skips the branch below
    // that lets go of an input still in its minimum hold: its keys would be
    // pressed again over themselves and one press would never be released.
    // The whole input goes up, as there: after the change from input 2 the
    // held list has only the keys input 3 did not share.
    if (jp && r.keysHeld) ApplyKeys(r, K(r, r.inputIndex), S(r, r.inputIndex), true, false);
    // Long press: input 2 goes down once and is held.
    r.inputIndex = 2;
    r.stepTimer = 0;
    ApplyKeys(r, K(r, 1), S(r, 1), false, !r.keysHeld);
  } else if (value > 0) {
    // A short input still held from the previous press goes up now.
    r.stepTimer = 0;
    ApplyKeys(r, K(r, r.inputIndex), S(r, r.inputIndex), r.keysHeld, false);
  } else if (jr && !r.keysHeld) {
    r.inputIndex = 0;
    r.stepTimer = cycle.Cycles(int64_t{held} + mh);
    PressInput(r, 0);
  } else if (jr && r.inputIndex == 2) {
    Transition(r, 1, 2);
    LOG_DEBUG("%d#button[%d]: DelayedSwitch: long press release = %X,%X,%X", r.joystickIndex,
              r.buttonIndex, r.releaseList.codes[0], r.releaseList.codes[1],
              r.releaseList.codes[2]);
    LOG_DEBUG("%d#button[%d]: DelayedSwitch: press (upon release) = %X,%X,%X", r.joystickIndex,
              r.buttonIndex, r.pressList.codes[0], r.pressList.codes[1], r.pressList.codes[2]);
    CompleteTransition(r);
    r.stepTimer = cycle.Cycles(mh);
  } else if (jr) {
    r.stepTimer = 0;
    ReleaseHeld(r);
  } else if (r.stepTimer > 0) {
    r.stepTimer -= 1;
    HoldHeld(r);
  } else {
    // Input 1 or 3 goes up once its minimum hold has passed.
    ApplyKeys(r, K(r, r.inputIndex), S(r, r.inputIndex), r.keysHeld, false);
  }
}

void AnalogSwitch(ButtonAssignment& r, int32_t value, bool jp, bool jr) {
  if (value > 0) {
    int t = 0;
    if (value > int64_t{r.analogThreshold1} * 10) {
      t = 1;
      if (value > int64_t{r.analogThreshold2} * 10) t = 2;
    }
    LOG_DEBUG("%d#button[%d]: AnalogSwitch: value=%d, targetInput=%d", r.joystickIndex,
              r.buttonIndex, value, t + 1);
    if (jp) {
      LOG_DEBUG("%d#button[%d]: AnalogSwitch: input=[None->%d]: justPressed=%X,%X,%X",
                r.joystickIndex, r.buttonIndex, t + 1, K(r, t)[0], K(r, t)[1], K(r, t)[2]);
      r.inputIndex = t;
      PressInput(r, t);
    } else if (t == r.inputIndex) {
      HoldInput(r, t);
    } else {
      Transition(r, r.inputIndex, t);
      LOG_DEBUG("%d#button[%d]: AnalogSwitch: input=[%d->%d]: release=%X,%X,%X, press=%X,%X,%X",
                r.joystickIndex, r.buttonIndex, r.inputIndex + 1, t + 1, r.releaseList.codes[0],
                r.releaseList.codes[1], r.releaseList.codes[2], r.pressList.codes[0],
                r.pressList.codes[1], r.pressList.codes[2]);
      CompleteTransition(r);
      r.inputIndex = t;
    }
  } else if (jr) {
    LOG_DEBUG("%d#button[%d]: AnalogSwitch: value=%d, targetInput=None", r.joystickIndex,
              r.buttonIndex, value);
    LOG_DEBUG("%d#button[%d]: AnalogSwitch: input=[%d->None]: justReleased=%X,%X,%X",
              r.joystickIndex, r.buttonIndex, r.inputIndex + 1, K(r, r.inputIndex)[0],
              K(r, r.inputIndex)[1], K(r, r.inputIndex)[2]);
    ReleaseInput(r, r.inputIndex);
    r.inputIndex = 0;
  } else {
    HoldHeld(r);
  }
}

void ReleaseSwitch(ButtonAssignment& r, int32_t value, bool jp, bool jr, const Cycle& cycle) {
  if (jp) {
    if (r.stepTimer >= 0 && r.keysHeld) {
      // Input 1 of the previous release is still in its hold time.
      r.stepTimer = 0;
      r.keysHeld = false;
      ReleaseKeyByKey(r, 0);
    }
    PressInput(r, 1);
  } else if (jr) {
    Transition(r, 1, 0);
    LOG_DEBUG("%d#button[%d]: ReleaseSwitch: input=[%d->%d]: release=%X,%X,%X", r.joystickIndex,
              r.buttonIndex, 2, 1, r.releaseList.codes[0], r.releaseList.codes[1],
              r.releaseList.codes[2]);
    LOG_DEBUG("%d#button[%d]: ReleaseSwitch: input=[%d->%d]: press=%X,%X,%X", r.joystickIndex,
              r.buttonIndex, 2, 1, r.pressList.codes[0], r.pressList.codes[1],
              r.pressList.codes[2]);
    CompleteTransition(r);
    // A negative hold is no hold; below zero the next press would not let go
    // of input 1.
    r.stepTimer = cycle.Cycles(std::max(r.minimumHoldDuration, 0));
  } else if (value > 0) {
    // Input 2's mouse codes keep moving.
    HoldHeld(r);
  } else if (r.stepTimer > 0) {
    r.stepTimer -= 1;
    HoldInput(r, 0);
  } else {
    ApplyKeys(r, K(r, 0), S(r, 0), r.keysHeld, false);
  }
}

void RepeatSwitch(ButtonAssignment& r, int32_t value, bool jp, int32_t sinceLast, int32_t held,
                  const Cycle& cycle) {
  if (jp) {
    // A new tap ends an input still held from the last one: its keys would
    // otherwise stay down once the index moves on.
    if (r.keysHeld) ReleaseHeld(r);
    if (sinceLast <= r.switchDelay && r.inputIndex < kLastInput) {
      r.inputIndex += 1;
    } else {
      r.inputIndex = 0;
    }
    r.stepTimer = cycle.HoldSteps(r.minimumHoldDuration);
    HoldInput(r, r.inputIndex);
  } else if (value > 0) {
    if (held <= r.switchDelay) {
      HoldHeld(r);
    } else {
      // The tap became a hold: its input goes down now.
      ApplyKeys(r, K(r, r.inputIndex), S(r, r.inputIndex), false, !r.keysHeld);
      if (r.stepTimer > 0) r.stepTimer -= 1;
    }
  } else if (!r.keysHeld) {
    if (r.stepTimer > 0 && sinceLast > r.switchDelay) {
      // No further tap came in time.
      r.stepTimer -= 1;
      PressInput(r, r.inputIndex);
    } else {
      HoldHeld(r);
    }
  } else if (r.stepTimer > 0) {
    r.stepTimer -= 1;
    HoldHeld(r);
  } else {
    ReleaseInput(r, r.inputIndex);
  }
}

void MultiSequence(ButtonAssignment& r, bool jp, const Cycle& cycle) {
  const int32_t step = cycle.HoldSteps(r.minimumHoldDuration);
  if (jp) {
    if (r.keysHeld) {
      r.keysHeld = false;
      ReleaseKeyByKey(r, r.inputIndex);
    }
    r.inputIndex = 0;
    r.stepTimer = step;
    PressInput(r, 0);
  } else if (r.stepTimer >= 2) {
    r.stepTimer -= 1;
    HoldInput(r, r.inputIndex);
  } else if (r.stepTimer == 1) {
    const int old = r.inputIndex;
    r.inputIndex += 1;
    if (old < kLastInput) {
      Transition(r, old, r.inputIndex);
      LOG_DEBUG("%d#button[%d]: Sequence: input=[%d->%d]: release=%X,%X,%X", r.joystickIndex,
                r.buttonIndex, old + 1, r.inputIndex + 1, r.releaseList.codes[0],
                r.releaseList.codes[1], r.releaseList.codes[2]);
      LOG_DEBUG("%d#button[%d]: Sequence: input=[%d->%d]: press=%X,%X,%X", r.joystickIndex,
                r.buttonIndex, old + 1, r.inputIndex + 1, r.pressList.codes[0],
                r.pressList.codes[1], r.pressList.codes[2]);
      CompleteTransition(r);
      r.stepTimer = step;
    } else {
      // The end: inputIndex stays past the last input until the next press.
      r.stepTimer = 0;
      ReleaseInput(r, kLastInput);
    }
  } else {
    HoldHeld(r);
  }
}

void MultiInputStep(ButtonAssignment& r, int32_t value, bool jp, int32_t sinceLast, int32_t held,
                    bool jr, const Cycle& cycle) {
  switch (r.multiMode) {
    case MultiMode::MultiSwitch2:
    case MultiMode::MultiSwitch3:
    case MultiMode::MultiSwitch4:
      MultiSwitch(r, value, jp, held, jr, cycle);
      break;
    case MultiMode::DelayedSwitch:
      DelayedSwitch(r, value, jp, held, jr, cycle);
      break;
    case MultiMode::AnalogSwitch:
      AnalogSwitch(r, value, jp, jr);
      break;
    case MultiMode::ReleaseSwitch:
      ReleaseSwitch(r, value, jp, jr, cycle);
      break;
    case MultiMode::RepeatSwitch:
      RepeatSwitch(r, value, jp, sinceLast, held, cycle);
      break;
    case MultiMode::MultiSequence:
      MultiSequence(r, jp, cycle);
      break;
    default:
      // No mode: the record does nothing.
      break;
  }
}

void ForceReleaseMultiInput(ButtonAssignment& r, const Cycle& cycle) {
  const int32_t held = cycle.MsSince(r.pressTick);
  switch (r.multiMode) {
    case MultiMode::DelayedSwitch:
    case MultiMode::ReleaseSwitch:
      if (r.prevPressed) {
        ReleaseHeld(r);
      } else {
        // Released already: the input still in its hold time goes up.
        r.stepTimer = 0;
        MultiInputStep(r, 0, false, held, held, false, cycle);
      }
      break;
    case MultiMode::AnalogSwitch:
      MultiInputStep(r, 0, false, held, held, true, cycle);
      break;
    case MultiMode::MultiSequence:
      LOG_DEBUG("%d#button[%d]: force release sequence at Input[%d]", r.joystickIndex,
                r.buttonIndex, r.inputIndex + 1);
      r.keysHeld = false;
      ReleaseKeyByKey(r, r.inputIndex);
      break;
    default:
      ReleaseHeld(r);
      break;
  }
}

}  // namespace

int32_t EffectiveValue(ButtonAssignment& record, int32_t raw, const EngineContext& context) {
  int32_t value = raw;
  if (record.overrideCount > 0) {
    value = kFullValue;
  } else if (record.overrideCount == 0) {
    // Triggered and let go: released until the run-time state is reset.
    value = 0;
  }
  if (record.toggle == 0) {
    record.toggleState = false;
    record.toggleEdge = false;
    return value;
  }
  const bool pressed = value > 0;
  if (pressed && !record.toggleEdge) {
    record.toggleState = !record.toggleState;
    LOG_DEBUG("%d#button[%d]: toggle changed to %d", record.joystickIndex, record.buttonIndex,
              record.toggleState ? 1 : 0);
  }
  record.toggleEdge = pressed;
  if (context.targetWindowChanged) {
    if (record.toggleState) {
      LOG_DEBUG("%d#button[%d]: toggle changed to 0 because the target window has changed",
                record.joystickIndex, record.buttonIndex);
    }
    record.toggleState = false;
    record.toggleEdge = false;
    return 0;
  }
  return record.toggleState ? kFullValue : 0;
}

void Process(ButtonAssignment& record, int32_t value, EngineContext& context) {
  const Cycle cycle{context};
  const bool pressed = value > 0;
  const bool jp = pressed && !record.prevPressed;
  const bool jr = !pressed && record.prevPressed;
  record.prevPressed = pressed;

  // Since the previous press started, before this one is recorded.
  const int32_t sinceLast = cycle.MsSince(record.pressTick);
  if (jp) {
    LOG_DEBUG("%d#button[%d]: just pressed event (%d)", record.joystickIndex, record.buttonIndex,
              value);
    record.pressTick = context.tick;
  }
  if (jr) {
    LOG_DEBUG("%d#button[%d]: just released event (%d)", record.joystickIndex, record.buttonIndex,
              value);
    record.releaseTick = context.tick;
  }
  const int32_t held = pressed ? cycle.MsSince(record.pressTick) : 0;

  switch (record.kind) {
    case AssignmentKind::Keys:
    case AssignmentKind::Mouse:
    case AssignmentKind::MouseAbsolute:
      AutoRepeat(record, value, jp, held, jr, cycle);
      break;
    case AssignmentKind::ProfileSwitch:
      // Without a delay the switch happens on release; with one, as soon as
      // the hold exceeds it.
      if ((record.switchDelay == 0 && jr) ||
          (record.switchDelay > 0 && held > record.switchDelay)) {
        context.profileSwitchRequest = &record;
      }
      break;
    case AssignmentKind::MultiInput:
      MultiInputStep(record, value, jp, sinceLast, held, jr, cycle);
      break;
    case AssignmentKind::LaunchProgram:
      if (jp) Launch(record, context.shell);
      break;
    case AssignmentKind::PasteText:
      if (jp) Paste(record, context.clipboard);
      break;
    default:
      // JoystickSwitch is the cycle's own business; None and the old kinds do nothing.
      break;
  }
}

void ForceRelease(ButtonAssignment& record, const EngineContext& context) {
  const Cycle cycle{context};
  if (record.keysHeld) {
    LOG_DEBUG("%d#button[%d]: force release event", record.joystickIndex, record.buttonIndex);
    switch (record.kind) {
      case AssignmentKind::Mouse:
      case AssignmentKind::MouseAbsolute:
        MouseStep(record, 0, false, true);
        break;
      case AssignmentKind::MultiInput:
        ForceReleaseMultiInput(record, cycle);
        break;
      default:
        ReleaseHeld(record);
        break;
    }
  } else if (record.kind == AssignmentKind::MultiInput &&
             record.multiMode == MultiMode::DelayedSwitch && record.prevPressed) {
    // Pressed but not yet long: it counts as the short press it is so far.
    LOG_DEBUG("%d#button[%d]: force release delayed-switch short input", record.joystickIndex,
              record.buttonIndex);
    MultiInputStep(record, 0, false, 1, 1, true, cycle);
    record.stepTimer = 0;
    MultiInputStep(record, 0, false, 1, 1, false, cycle);
  }
  record.ResetRuntimeState();
}

}  // namespace brevanto
