#pragma once

// What the stuck-key fuzz targets share: a reader that turns fuzz bytes into
// choices, random assignment records, and the check that nothing is held.
// Header only, so that the regression test can replay saved inputs through
// the very same code.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "core/engine/ButtonAssignment.h"
#include "core/engine/KeyOutput.h"
#include "core/ports/AbstractEvent.h"
#include "platform/fake/RecordingEvent.h"

namespace brevanto::fuzzing {

// Takes choices from the front of the input; once it is used up every choice
// is the first one, so short inputs still run to the end.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
  bool Bool() { return (Byte() & 1) != 0; }
  // One of n choices, 0..n-1.
  int Below(int n) { return n <= 1 ? 0 : Byte() % n; }
  uint32_t Word() {
    uint32_t w = 0;
    for (int i = 0; i < 4; ++i) w = (w << 8) | Byte();
    return w;
  }
  template <typename T, std::size_t N>
  T Pick(const std::array<T, N>& choices) {
    return choices[static_cast<std::size_t>(Below(static_cast<int>(N)))];
  }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Which keys and mouse buttons an output has down, from the calls made on it.
// Pressing a key twice and releasing it once leaves it up, as on a real
// keyboard.
class HeldOutput {
 public:
  void Take(RecordingEvent& out) {
    for (const OutputCall& call : out.Calls()) {
      if (call.op == OutputCall::Op::Key) {
        keys_[static_cast<std::size_t>(call.args[0] & 0xFF)] =
            (call.args[2] & AbstractEvent::kKeyUp) == 0;
      } else if (call.op == OutputCall::Op::MouseButtons) {
        const bool press = call.args[0] != 0;
        const bool release = call.args[1] != 0;
        if (press == release) continue;
        for (std::size_t b = 0; b < buttons_.size(); ++b) {
          if (call.args[b + 2] != 0) buttons_[b] = press;
        }
      }
    }
    out.Clear();
  }

  // Empty when nothing is down, else what is.
  std::string Down() const {
    std::string down;
    char text[48];  // room for any size_t
    for (std::size_t k = 0; k < keys_.size(); ++k) {
      if (!keys_[k]) continue;
      std::snprintf(text, sizeof text, "key %02zX ", k);
      down += text;
    }
    for (std::size_t b = 0; b < buttons_.size(); ++b) {
      if (!buttons_[b]) continue;
      std::snprintf(text, sizeof text, "mouse button %zu ", b + 1);
      down += text;
    }
    return down;
  }

  void Reset() {
    keys_ = {};
    buttons_ = {};
  }

 private:
  std::array<bool, 256> keys_{};
  std::array<bool, 5> buttons_{};
};

// Empty when no key code has a holder, else the codes that have.
inline std::string CountedCodes() {
  std::string held;
  char text[32];
  for (KeyCode code = 0; code < kRefCountSize; ++code) {
    if (KeyRefCount(code) == 0) continue;
    std::snprintf(text, sizeof text, "code %X count %d ", code, KeyRefCount(code));
    held += text;
  }
  return held;
}

// Empty when the invariant holds: no reference count and nothing down.
inline std::string NothingHeld(const HeldOutput& output) {
  std::string problem = CountedCodes();
  const std::string down = output.Down();
  if (!down.empty()) problem += "output holds " + down;
  return problem;
}

// Codes that records share, of every category the engine treats apart:
// plain keys, special keys, mouse buttons, motion, wheel, triggers of the
// first plain buttons, an explicit scan code, and empty entries.
inline KeyCode RandomCode(ByteReader& in) {
  static constexpr std::array<KeyCode, 24> kCodes = {
      0,     0,     0x41,  0x42,  0x43,  0xA0,  0x11,  0x100, 0x101, 0x102, 0x106, 0x108,
      0x201, 0x202, 0x203, 0x405, 0x520, 0x903, 0xA02, 0x800, 0x801, 0x802, 0x803, 0x1E0041,
  };
  if (in.Below(16) == 0) return in.Word();
  return in.Pick(kCodes);
}

// A record of any kind with fields from the ranges profiles hold, hand-edited
// ones included (negative delays, rates that are no number).
inline void RandomRecord(ByteReader& in, ButtonAssignment& r, int slotCount) {
  static constexpr std::array<int32_t, 12> kKinds = {0, 1, 1, 2, 3, 5, 6, 7, 7, 7, 8, 10};
  static constexpr std::array<float, 9> kRates = {0, 0, 1, 10, 60, -2, -0.05f, 0.3f, 0};
  static constexpr std::array<int32_t, 10> kDelays = {0, 0, -1, -100, 1, 16, 20, 50, 200, 500};
  static constexpr std::array<int32_t, 6> kHolds = {20, 0, -30, 1, 50, 120};
  static constexpr std::array<int32_t, 6> kThresholds = {95, 100, 0, 30, 60, -5};
  r.Clear();
  r.kind = static_cast<AssignmentKind>(in.Pick(kKinds));
  r.toggle = in.Below(5) == 0 ? 1 : 0;
  r.repeatRate = in.Pick(kRates);
  if (in.Below(32) == 0) r.repeatRate = std::numeric_limits<float>::quiet_NaN();
  r.repeatDelay = in.Pick(kDelays);
  for (auto& input : r.keys) {
    for (KeyCode& code : input) code = RandomCode(in);
  }
  r.multiMode = static_cast<MultiMode>(in.Below(10));
  r.counterResetDuration = in.Pick(kDelays);
  r.switchDelay = in.Pick(kDelays);
  r.minimumHoldDuration = in.Pick(kHolds);
  r.analogThreshold1 = in.Pick(kThresholds);
  r.analogThreshold2 = in.Pick(kThresholds);
  r.HMove = in.Below(3) - 1;
  r.VMove = in.Below(3) - 1;
  r.wheelV = in.Below(3) - 1;
  r.wheelH = in.Below(3) - 1;
  r.clickLeft = in.Below(3) == 0;
  r.clickMiddle = in.Below(4) == 0;
  r.clickRight = in.Below(4) == 0;
  r.clickX1 = in.Below(6) == 0;
  r.clickX2 = in.Below(6) == 0;
  r.targetJoystick = in.Below(4) == 0 ? 100 : in.Below(slotCount + 1);
  r.Derive();
}

}  // namespace brevanto::fuzzing
