#pragma once

#include <cstdint>

namespace brevanto {

// The message numbers of the main window's protocol. Other programs and a
// second start send them through the instance channel; the processing thread
// posts its own through the message sink. The numbers are those of the
// Windows program, so tools written for it keep working.
inline constexpr uint32_t WM_APP = 0x8000;

inline constexpr uint32_t WM_QUERYENDSESSION = 0x0011;
inline constexpr uint32_t WM_COPYDATA = 0x004A;
inline constexpr uint32_t WM_INPUT_DEVICE_CHANGE = 0x00FE;
inline constexpr uint32_t WM_INPUT = 0x00FF;
inline constexpr uint32_t WM_POWERBROADCAST = 0x0218;

inline constexpr uint32_t WM_BRV_RESTORE = WM_APP + 0x65;
inline constexpr uint32_t WM_BRV_UPDATE_CAPTION = WM_APP + 0xC8;
inline constexpr uint32_t WM_BRV_PROFILE_CHANGED = WM_APP + 0xC9;
inline constexpr uint32_t WM_BRV_BUTTONS_CHANGED = WM_APP + 0xCA;
// Goes to the device configuration dialog, not the main window.
inline constexpr uint32_t WM_BRV_ANALOG_CHANGED = WM_APP + 0xCB;
inline constexpr uint32_t WM_BRV_DEVICES_CHANGED = WM_APP + 0xCC;
// wParam: slot whose physical input is ignored; lParam: joystick (0-based)
// whose plain buttons the injected states drive; -1 = none for both.
inline constexpr uint32_t WM_BRV_SET_INPUT_TARGET = WM_APP + 0x3E8;
// lParam: plain button 0..127.
inline constexpr uint32_t WM_BRV_RELEASE_BUTTON = WM_APP + 0x3F2;
inline constexpr uint32_t WM_BRV_PRESS_BUTTON = WM_APP + 0x3F3;
// lParam: the profile's initial in the low byte.
inline constexpr uint32_t WM_BRV_SWITCH_FILE = WM_APP + 0x3FC;
inline constexpr uint32_t WM_BRV_SHOW = WM_APP + 0x3FD;
inline constexpr uint32_t WM_BRV_MINIMIZE = WM_APP + 0x3FE;
inline constexpr uint32_t WM_BRV_REFRESH_DEVICES = WM_APP + 0x3FF;

// wParam of WM_POWERBROADCAST.
inline constexpr intptr_t PBT_APMQUERYSUSPEND = 0;
inline constexpr intptr_t PBT_APMSUSPEND = 4;
inline constexpr intptr_t PBT_APMRESUMESUSPEND = 7;
inline constexpr intptr_t PBT_APMRESUMEAUTOMATIC = 18;

}  // namespace brevanto
