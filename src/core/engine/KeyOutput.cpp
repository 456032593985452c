#include "core/engine/KeyOutput.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdlib>

#include "core/engine/OutputSelection.h"
#include "core/input/VirtualButton.h"
#include "core/log/Logger.h"
#include "core/ports/AbstractEvent.h"

namespace brevanto {
namespace {

std::array<int32_t, kRefCountSize> g_refCount{};
bool g_repeatSameKeyInSequence = false;

constexpr uint32_t kLastCountedCode = kRefCountSize - 1;
constexpr uint8_t kKanjiVirtualKey = 0xF4;
constexpr int32_t kKanjiScan = 0x29;
constexpr int32_t kRelativeUnit = 1024;  // per speed step; 4096 make a pixel
constexpr int32_t kWheelUnit = 512;      // per speed step; above 0x10000 makes a notch
constexpr int32_t kWheelNotchAt = 0x10000;

// The replacement key and scan code of special keys 0x101..0x107.
struct SpecialKey {
  uint8_t virtualKey;
  int32_t scan;
};
constexpr SpecialKey kSpecialKeys[] = {
    {0x0D, 0x11C},                                               // numpad Enter
    {0x25, 0x1CB},                                               // arrows
    {0x26, 0x1C8}, {0x27, 0x1CD}, {0x28, 0x1D0}, {0xA3, 0x19D},  // right Ctrl
    {0xA5, 0x1B8},                                               // right Alt
};

// Returns false when the output must not happen: another holder keeps the key
// down, or the key is already down.
bool CountReference(const ButtonAssignment& record, KeyCode code, bool press) {
  int32_t& count = g_refCount[code];
  const int32_t n = count;
  if (press) {
    count = n + 1;
    if (n > 0) return false;
  } else {
    count = n - 1;
    if (n > 1) return false;
    if (n < 1) {
      count = 0;
      LOG_INFO("WARNING: %d#button[%d] is released, but there is no corresponding press event",
               record.joystickIndex, record.buttonIndex);
    }
  }
  LOG_DEBUG("%d#button[%d]: key[%X] refCount = %d", record.joystickIndex, record.buttonIndex, code,
            count);
  return true;
}

void PlainKey(KeyCode code, int32_t scan, bool release) {
  const int32_t flags =
      ((scan >> 8) & AbstractEvent::kExtendedKey) | (release ? AbstractEvent::kKeyUp : 0);
  CurrentOutput().KeyEvent(KeyValue(code), static_cast<uint8_t>(scan & 0xFF), flags);
}

// Whether pressing button target of the container that starts at first
// comes back, through the trigger codes of the records it presses, to button
// source. Such a trigger would hold its own sender pressed after the input is
// let go, and with it every key of the loop.
bool TriggersBack(const ButtonAssignment* first, int target, int source) {
  std::bitset<kVirtualButtonCount> seen;
  std::array<int, kVirtualButtonCount> pending{};
  pending[0] = target;
  int count = 1;
  seen.set(static_cast<std::size_t>(target));
  while (count > 0) {
    const int button = pending[static_cast<std::size_t>(--count)];
    if (button == source) return true;
    const ButtonAssignment& r = first[button];
    if (!r.IsAssigned()) continue;
    for (const KeyCodes& input : r.keys) {
      for (KeyCode code : input) {
        if (KeyCategoryOf(code) != kCategoryTrigger) continue;
        const int next = kFirstPlainButton + KeyValue(code);
        if (next >= kVirtualButtonCount || seen.test(static_cast<std::size_t>(next))) continue;
        seen.set(static_cast<std::size_t>(next));
        pending[static_cast<std::size_t>(count++)] = next;
      }
    }
  }
  return false;
}

// Trigger codes press plain button value + 1 of the record's own container.
void Trigger(ButtonAssignment& record, uint8_t value, bool press) {
  const int target = kFirstPlainButton + value;
  const bool inContainer = record.joystickIndex >= 0 && record.buttonIndex >= 0 &&
                           record.buttonIndex < kVirtualButtonCount;
  if (!inContainer || target >= kVirtualButtonCount) {
    LOG_DEBUG("%d#button[%d]: trigger of button[%d] ignored: no such record beside this one",
              record.joystickIndex, record.buttonIndex, target);
    return;
  }
  const ButtonAssignment* first = &record - record.buttonIndex;
  if (TriggersBack(first, target, record.buttonIndex)) {
    LOG_DEBUG("%d#button[%d]: trigger of button[%d] ignored: it would trigger this button again",
              record.joystickIndex, record.buttonIndex, target);
    return;
  }
  ButtonAssignment& other = *(&record - record.buttonIndex + target);
  if (other.overrideCount < 0) other.overrideCount = 0;
  other.overrideCount += press ? 1 : -1;
  LOG_DEBUG("%d#button[%d]: triggering button[%d] (overridding press refCount=%d)",
            record.joystickIndex, record.buttonIndex, target, other.overrideCount);
}

void MouseMotion(ButtonAssignment& record, KeyCode code) {
  const int32_t n = KeyValue(code);
  int32_t dx = 0, dy = 0, wheel = 0;
  switch (KeyCategoryOf(code)) {
    case kCategoryMouseUp:
      dy = -n;
      break;
    case kCategoryMouseRight:
      dx = n;
      break;
    case kCategoryMouseDown:
      dy = n;
      break;
    case kCategoryMouseLeft:
      dx = -n;
      break;
    case kCategoryWheelUp:
      wheel = n;
      break;
    case kCategoryWheelDown:
      wheel = -n;
      break;
    default:
      break;
  }
  AbstractEvent& output = CurrentOutput();

  record.MouseHCount += dx * kRelativeUnit;
  record.MouseVCount += dy * kRelativeUnit;
  const int32_t stepX = record.MouseHCount >> 12;
  const int32_t stepY = record.MouseVCount >> 12;
  record.MouseHCount &= 0xFFF;
  record.MouseVCount &= 0xFFF;
  output.MoveRelative(stepX, stepY);

  record.MouseWVCount += std::abs(wheel) * kWheelUnit;
  LOG_DEBUG("%d#button[%d]: MouseWVCount=%X", record.joystickIndex, record.buttonIndex,
            static_cast<unsigned>(record.MouseWVCount));
  if (record.MouseWVCount > kWheelNotchAt) {
    record.MouseWVCount &= 0xFFFF;
    output.Wheel(wheel > 0 ? AbstractEvent::kWheelDelta : -AbstractEvent::kWheelDelta);
  }
  LOG_DEBUG("%d#button[%d]: mouse move dx=%d, dy=%d", record.joystickIndex, record.buttonIndex,
            stepX, stepY);
}

}  // namespace

void SetRepeatSameKeyInSequence(bool on) {
  g_repeatSameKeyInSequence = on;
}

bool RepeatSameKeyInSequence() {
  return g_repeatSameKeyInSequence;
}

int32_t KeyRefCount(KeyCode code) {
  return code <= kLastCountedCode ? g_refCount[code] : 0;
}

bool ListedBefore(const KeyCode* codes, int i) {
  const KeyCode code = codes[i];
  if (code == 0) return false;
  if (code > kLastCountedCode && KeyCategoryOf(code) != kCategoryTrigger) return false;
  return std::find(codes, codes + i, code) != codes + i;
}

void KeyOut(ButtonAssignment& record, KeyCode code, int32_t scan, bool release, bool press) {
  if (code == 0) return;
  if (press) {
    LOG_DEBUG("%d#button[%d]: API press = %02X (%02X)", record.joystickIndex, record.buttonIndex,
              code, static_cast<unsigned>(scan));
  } else {
    LOG_DEBUG("%d#button[%d]: API release = %02X (%02X)", record.joystickIndex, record.buttonIndex,
              code, static_cast<unsigned>(scan));
  }
  if (code <= kLastCountedCode && !g_repeatSameKeyInSequence) {
    if (!CountReference(record, code, press)) return;
  }

  const uint8_t value = KeyValue(code);
  switch (KeyCategoryOf(code)) {
    case kCategoryTrigger:
      Trigger(record, value, press);
      return;
    case kCategorySpecial:
      if (code == kKeyKanji) {
        // The half/full-width key toggles the input method on its press. A
        // key-down alone would leave the key held on this system, so the
        // key-up follows at once.
        if (release) {
          CurrentOutput().KeyEvent(kKanjiVirtualKey, kKanjiScan, 0);
          CurrentOutput().KeyEvent(kKanjiVirtualKey, kKanjiScan, AbstractEvent::kKeyUp);
        }
        return;
      }
      if (code == kKeyPauseAlternative) {
        if (press) {
          LOG_DEBUG("Triggering Custom PAUSE input");
          CurrentOutput().SendPauseSequence();
        }
        return;
      }
      if (code >= kKeyNumpadEnter && code <= kKeyRightAltDirectInput) {
        const SpecialKey& key = kSpecialKeys[code - kKeyNumpadEnter];
        PlainKey(key.virtualKey, key.scan, release);
        return;
      }
      PlainKey(code, scan, release);
      return;
    case kCategoryVirtualKey:
      PlainKey(code, scan, release);
      return;
    case kCategoryMouseButton:
      if (press) {
        LOG_DEBUG("%d#button[%d]: MouseEvent click pressed = %d,%d,%d", record.joystickIndex,
                  record.buttonIndex, value == 1, value == 2, value == 3);
      } else {
        LOG_DEBUG("%d#button[%d]: MouseEvent click released = %d,%d,%d", record.joystickIndex,
                  record.buttonIndex, value == 1, value == 2, value == 3);
      }
      CurrentOutput().MouseButtons(press, release, value == 1, value == 2, value == 3, 0, 0);
      return;
    default:
      // Motion and wheel codes act only while held; a release has nothing to undo.
      if (press) MouseMotion(record, code);
      return;
  }
}

void ApplyKeys(ButtonAssignment& record, const KeyCode* codes, const int32_t* scans, bool release,
               bool press, int count) {
  count = std::clamp(count, 0, kKeysPerInput);
  if (press) {
    record.keysHeld = true;
    KeyList& held = record.heldCodes;
    if (!codes || !scans) {
      held = KeyList{};
      return;
    }
    held.count = count;
    // The list may be the held list itself (a repeat press).
    for (int i = 0; i < count; ++i) {
      held.codes[static_cast<std::size_t>(i)] = codes[i];
      held.scans[static_cast<std::size_t>(i)] = scans[i];
    }
    for (int i = 0; i < count; ++i) {
      if (!ListedBefore(codes, i)) KeyOut(record, codes[i], scans[i], false, true);
    }
    return;
  }
  if (release) {
    record.keysHeld = false;
    if (!codes || !scans) {
      LOG_INFO("WARNING: %d#button[%d] is released, but there is no key record to release",
               record.joystickIndex, record.buttonIndex);
      return;
    }
    for (int i = count - 1; i >= 0; --i) {
      if (!ListedBefore(codes, i)) KeyOut(record, codes[i], scans[i], true, false);
    }
    return;
  }
  if (!record.keysHeld || !codes || !scans) return;
  for (int i = 0; i < count; ++i) {
    if (codes[i] >= 0x400 && KeyCategoryOf(codes[i]) != kCategoryTrigger) {
      KeyOut(record, codes[i], scans[i], false, true);
    }
  }
}

void ApplyHeldKeys(ButtonAssignment& record, bool release, bool press) {
  KeyList& held = record.heldCodes;
  const bool hasList = held.count > 0;
  ApplyKeys(record, hasList ? held.codes.data() : nullptr, hasList ? held.scans.data() : nullptr,
            release, press, held.count);
}

void TransitionLists(ButtonAssignment& record, const KeyCodes& oldCodes, const KeyScans& oldScans,
                     const KeyCodes& newCodes, const KeyScans& newScans) {
  KeyList& releases = record.releaseList;
  KeyList& presses = record.pressList;
  releases.count = kKeysPerInput;
  presses.count = kKeysPerInput;
  if (g_repeatSameKeyInSequence) {
    releases.codes = oldCodes;
    releases.scans = oldScans;
    presses.codes = newCodes;
    presses.scans = newScans;
    return;
  }
  releases.codes = {};
  releases.scans = {};
  presses.codes = {};
  presses.scans = {};
  const auto contains = [](const KeyCodes& list, KeyCode code) {
    return std::find(list.begin(), list.end(), code) != list.end();
  };
  std::size_t r = 0, p = 0;
  for (std::size_t i = 0; i < oldCodes.size(); ++i) {
    if (oldCodes[i] != 0 && !contains(newCodes, oldCodes[i])) {
      releases.codes[r] = oldCodes[i];
      releases.scans[r++] = oldScans[i];
    }
  }
  for (std::size_t i = 0; i < newCodes.size(); ++i) {
    if (newCodes[i] != 0 && !contains(oldCodes, newCodes[i])) {
      presses.codes[p] = newCodes[i];
      presses.scans[p++] = newScans[i];
    }
  }
}

}  // namespace brevanto
