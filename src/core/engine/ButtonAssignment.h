#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/engine/KeyCode.h"

namespace brevanto {

// What a virtual button does. Numbers the program does not know are kept as
// they are and do nothing (3 and 4 come from old profiles).
enum class AssignmentKind : int32_t {
  None = 0,
  Keys = 1,
  Mouse = 2,
  JoystickSwitch = 5,
  ProfileSwitch = 6,
  MultiInput = 7,
  MouseAbsolute = 8,
  LaunchProgram = 9,
  PasteText = 10,
};

// How a MultiInput record chooses among its four inputs. 0 is no mode.
enum class MultiMode : int32_t {
  MultiSwitch2 = 1,
  MultiSwitch3 = 2,
  DelayedSwitch = 3,
  AnalogSwitch = 4,
  MultiSwitch4 = 5,
  ReleaseSwitch = 6,
  RepeatSwitch = 7,
  MultiSequence = 8,
};

using KeyCodes = std::array<KeyCode, kKeysPerInput>;
using KeyScans = std::array<int32_t, kKeysPerInput>;

// Keys pressed together, with the scan codes they are sent with.
struct KeyList {
  int count = 0;
  KeyCodes codes{};
  KeyScans scans{};
};

// The part of an assignment a profile stores, in the order of its line.
struct AssignmentFields {
  AssignmentKind kind = AssignmentKind::None;
  int32_t toggle = 0;
  float repeatRate = 0.0f;  // > 0 repeats per second, < 0 seconds per repeat, 0 off
  int32_t repeatDelay = 0;  // ms
  std::array<KeyCodes, kInputsPerAssignment> keys{};
  MultiMode multiMode{0};
  int32_t counterResetDuration = 0;  // ms
  int32_t switchDelay = 0;           // ms
  int32_t minimumHoldDuration = 20;  // ms
  int32_t analogThreshold1 = 95;     // percent
  int32_t analogThreshold2 = 100;    // percent
  int32_t HMove = 0;
  int32_t VMove = 0;
  int32_t wheelH = 0;
  int32_t wheelV = 0;
  int32_t clickLeft = 0;
  int32_t clickMiddle = 0;
  int32_t clickRight = 0;
  int32_t clickX1 = 0;
  int32_t clickX2 = 0;
  float accelerationFactor = 1.0f;
  int32_t analogFactor = 100;  // percent
  float absCenterX = 50.0f;    // percent of the desktop
  float absCenterY = 50.0f;
  int32_t absRangeX = 0;
  int32_t absRangeY = 0;
  int32_t targetJoystick = 100;  // 0-based slot; 100 is none
  std::string targetName;
  std::string parameters;
  std::string startFrom;
  std::string pasteText;
  std::string comment;

  friend bool operator==(const AssignmentFields&, const AssignmentFields&) = default;
};

// What the engine keeps between cycles while the record's profile is current.
// Default values are the reset values.
struct AssignmentRuntime {
  int32_t repeatCounter = 0;
  int32_t stepTimer = 0;
  int32_t inputIndex = 0;
  int32_t MouseHCount = 0;
  int32_t MouseVCount = 0;
  int32_t MouseWHCount = 0;
  int32_t MouseWVCount = 0;
  bool toggleState = false;
  bool toggleEdge = false;  // input state the toggle filter saw last cycle
  bool prevPressed = false;
  int32_t pressTick = 0;
  int32_t releaseTick = 0;
  bool keysHeld = false;
  KeyList heldCodes;           // released on release or force release
  int32_t overrideCount = -1;  // trigger override: -1 none, 0 released, > 0 pressed
  int32_t ignoreCounter = 0;
};

// The assignment of one virtual button of one joystick slot with the state
// the engine needs to turn its presses into output. Records are not copyable:
// Copy takes the persistent part only, so held keys never get duplicated.
class ButtonAssignment : public AssignmentFields, public AssignmentRuntime {
 public:
  // Scan codes of keys, recomputed by Derive.
  std::array<KeyScans, kInputsPerAssignment> scanCodes{};
  // Scratch lists for the hand-over from one input to another.
  KeyList pressList;
  KeyList releaseList;
  // Slot and virtual button of the owning container, for log lines.
  int16_t joystickIndex = -1;
  int16_t buttonIndex = -1;

  ButtonAssignment() = default;
  ButtonAssignment(const ButtonAssignment&) = delete;
  ButtonAssignment& operator=(const ButtonAssignment&) = delete;

  // Persistent fields to their defaults, scan codes to 0, run-time state reset.
  void Clear();
  void Stamp(int joystick, int button);
  // Takes source's persistent fields; the identity stays, the run-time state
  // is reset and the scan codes derived anew.
  void Copy(const ButtonAssignment& source);
  // Recomputes scanCodes and normalises a JoystickSwitch without a target.
  void Derive();
  // The state a force release leaves behind; releases nothing by itself.
  void ResetRuntimeState();

  bool IsAssigned() const { return kind != AssignmentKind::None; }

  // Whether a profile switch may move b's held state onto a because both
  // produce the same output.
  static bool SameEffect(const ButtonAssignment& a, const ButtonAssignment& b);
  // Moves the run-time state of a held button to its counterpart in another
  // profile without pressing or releasing anything.
  static void HandOver(ButtonAssignment& from, ButtonAssignment& to);
};

// The scan code a key code is sent with: the derived one for a plain virtual
// key, the explicit one in bits 16-31 for a virtual key that carries it, and 0
// for every other category.
int32_t DeriveScanCode(KeyCode code);

}  // namespace brevanto
