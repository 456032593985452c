#pragma once

#include <cstdint>

#include "core/engine/ButtonAssignment.h"
#include "core/engine/KeyCode.h"

namespace brevanto {

// Key and mouse output of the button engine. Several buttons may hold the same
// key, so every code up to 0x3FF (virtual keys, special keys, mouse buttons)
// carries one process-wide reference count: only its first press and its last
// release reach the current output method (core/engine/OutputSelection.h).
// Processing thread only.

inline constexpr int kRefCountSize = 1024;

// The current profile's RepeatSameKeyInSequence, set by the processing cycle.
// When on, nothing is counted: every press and release goes out as asked and
// transitions between inputs also release and press the keys they share.
void SetRepeatSameKeyInSequence(bool on);
bool RepeatSameKeyInSequence();

// How many holders a counted code has; 0 for codes that are not counted.
int32_t KeyRefCount(KeyCode code);

// Whether codes[i] is a key, mouse button or trigger already listed before
// it in the same list. Such a code has one holder per list however often it
// is listed: counting it twice would let a change of input, which keeps the
// keys both inputs share, leave a press behind that nothing releases.
bool ListedBefore(const KeyCode* codes, int i);

// One code pressed or released for record (release and press are never both
// set). scan is the code's scan code as the record stores it.
void KeyOut(ButtonAssignment& record, KeyCode code, int32_t scan, bool release, bool press);

// A key list of count entries: press (press set) in list order and make it the
// record's held list; release (release set, press not) in reverse order; or
// hold (neither), which repeats only the held list's mouse-motion and wheel
// codes. A release without arrays is logged and sends nothing.
void ApplyKeys(ButtonAssignment& record, const KeyCode* codes, const int32_t* scans, bool release,
               bool press, int count = kKeysPerInput);

// ApplyKeys on the record's held list; a record that has held nothing since its
// last reset has no list.
void ApplyHeldKeys(ButtonAssignment& record, bool release, bool press);

// Fills record.releaseList with the old keys the new input does not have and
// record.pressList with the new keys the old input does not have, so keys both
// share stay down across the change.
void TransitionLists(ButtonAssignment& record, const KeyCodes& oldCodes, const KeyScans& oldScans,
                     const KeyCodes& newCodes, const KeyScans& newScans);

}  // namespace brevanto
