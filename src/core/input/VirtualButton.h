#pragma once

#include <cstdint>

namespace brevanto {

// The one numbering of controller inputs shared by profiles, the engine, the
// button list and the log.
inline constexpr int kVirtualButtonCount = 184;
inline constexpr int kAxisCount = 8;
inline constexpr int kPovCount = 4;
inline constexpr int kPlainButtonCount = 128;
inline constexpr int kMaxJoysticks = 50;

inline constexpr int kFirstAxisButton = 0;    // axis k: 2(k-1) negative, 2(k-1)+1 positive
inline constexpr int kFirstPovButton = 16;    // 16 + 8 * hat + direction (up first, clockwise)
inline constexpr int kFirstDiagonal = 48;     // 48..51 stick 1, 52..55 stick 2
inline constexpr int kFirstPlainButton = 56;  // plain button b = 1..128 at 55 + b

// Offsets of the diagonals within a stick's group of four.
inline constexpr int kDiagonalUpRight = 0;
inline constexpr int kDiagonalUpLeft = 1;
inline constexpr int kDiagonalDownLeft = 2;
inline constexpr int kDiagonalDownRight = 3;

inline constexpr int kFullValue = 1000;

// Physical axis positions of a joystick state and of an axis mapping entry.
inline constexpr int kAxisX = 0;
inline constexpr int kAxisY = 1;
inline constexpr int kAxisZ = 2;
inline constexpr int kAxisRx = 3;
inline constexpr int kAxisRy = 4;
inline constexpr int kAxisRz = 5;
inline constexpr int kAxisSlider0 = 6;
inline constexpr int kAxisSlider1 = 7;

constexpr int AxisNegativeButton(int axis /* 1..8 */) { return 2 * (axis - 1); }
constexpr int AxisPositiveButton(int axis /* 1..8 */) { return 2 * (axis - 1) + 1; }
constexpr int PovButton(int hat /* 1..4 */, int direction /* 0..7 */) {
  return kFirstPovButton + 8 * (hat - 1) + direction;
}
constexpr int PlainButton(int number /* 1..128 */) { return kFirstPlainButton - 1 + number; }

// Virtual buttons a profile with this many plain buttons addresses.
constexpr int ActiveButtonCount(int numberOfButtons) { return kFirstPlainButton + numberOfButtons; }

}  // namespace brevanto
