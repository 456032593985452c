#include "platform/linux/sdl/VirtualPadDriver.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <utility>

#include "core/log/Logger.h"
#include "platform/linux/sdl/PadButtons.h"
#include "platform/linux/sdl/SdlContext.h"

namespace brevanto {
namespace {

constexpr int kJoystickAxes = kAxisCount;
constexpr int kJoystickHats = kPovCount;
constexpr int kJoystickButtons = kPlainButtonCount;

constexpr int kPadAxes = SDL_CONTROLLER_AXIS_MAX;  // sticks and triggers
constexpr int kPadButtonCount = static_cast<int>(std::size(kPadButtons));

// The virtual pads accept vibration like real ones and log it, so that a
// run shows what a real pad would have felt.
int LogRumble(void* slot, Uint16 low, Uint16 high) {
  LOG_INFO("VirtualPad: slot %d vibrates (%u | %u)",
           static_cast<int>(reinterpret_cast<intptr_t>(slot)) + 1, static_cast<unsigned>(low),
           static_cast<unsigned>(high));
  return 0;
}

Sint16 ClampAxis(long value) {
  return static_cast<Sint16>(std::clamp<long>(value, -32768, 32767));
}

// A virtual trigger spans the whole axis range; released is its minimum.
Sint16 TriggerAxis(uint8_t trigger) {
  return ClampAxis(long{trigger} * 257 - 32768);
}

Sint16 JoystickAxis(int32_t value) {
  return ClampAxis(std::lround(value * 32767.0 / 1000.0));
}

// A hat has eight directions; an angle takes the nearest one.
Uint8 HatFor(uint32_t angle) {
  static constexpr Uint8 kDirections[] = {SDL_HAT_UP,        SDL_HAT_RIGHTUP, SDL_HAT_RIGHT,
                                          SDL_HAT_RIGHTDOWN, SDL_HAT_DOWN,    SDL_HAT_LEFTDOWN,
                                          SDL_HAT_LEFT,      SDL_HAT_LEFTUP};
  if (angle > 35999) return SDL_HAT_CENTERED;
  return kDirections[((angle + 2250) / 4500) % 8];
}

std::string SdlErrorText(const std::string& what) {
  return what + ": " + SDL_GetError();
}

}  // namespace

VirtualPadDriver::VirtualPadDriver(const ReplayScript& script, SdlEventPump& pump, int periodMs,
                                   Now now)
    : pump_(pump), source_(script), periodMs_(std::max(periodMs, 1)), now_(std::move(now)) {}

std::unique_ptr<VirtualPadDriver> VirtualPadDriver::Create(const ReplayScript& script,
                                                           SdlEventPump& pump, int periodMs,
                                                           std::string& error, Now now) {
  if (!SDL_WasInit(SDL_INIT_JOYSTICK)) {
    error = "the joystick subsystem is not initialised";
    LOG_ERROR("VirtualPad: Cannot attach the virtual controllers: %s", error.c_str());
    return nullptr;
  }
  std::unique_ptr<VirtualPadDriver> driver(
      new VirtualPadDriver(script, pump, periodMs, std::move(now)));
  for (int slot = 0; slot < kMaxJoysticks; ++slot) {
    if (!driver->source_.Uses(slot)) continue;
    if (!driver->Attach(slot, driver->source_.KindOf(slot), error)) {
      LOG_ERROR("VirtualPad: Cannot attach the virtual controllers: %s", error.c_str());
      return nullptr;
    }
  }
  driver->ApplyAt(std::chrono::milliseconds(0));
  pump.AddFeeder(driver.get());
  LOG_INFO("VirtualPad: %d virtual controller(s) attached", driver->AttachedCount());
  return driver;
}

std::unique_ptr<VirtualPadDriver> VirtualPadDriver::FromFile(const std::string& path,
                                                             SdlEventPump& pump, int periodMs,
                                                             std::string& error, Now now) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    LOG_ERROR("VirtualPad: Cannot read the script %s", path.c_str());
    return nullptr;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ReplayParseResult parsed = ParseReplayScript(text);
  if (!parsed.script) {
    error = path + ": " + parsed.error;
    LOG_ERROR("VirtualPad: The script %s is malformed", path.c_str());
    Logger::Instance().Write(LogLevel::Error, parsed.error);
    return nullptr;
  }
  return Create(*parsed.script, pump, periodMs, error, std::move(now));
}

VirtualPadDriver::~VirtualPadDriver() {
  pump_.RemoveFeeder(this);
  SdlLock lock;
  for (Attached& device : devices_) Detach(device);
}

bool VirtualPadDriver::Attach(int slot, ReplayDeviceKind kind, std::string& error) {
  SdlLock lock;
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  if (kind == ReplayDeviceKind::XInput) {
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = kPadAxes;
    desc.nbuttons = kPadButtonCount;
    desc.vendor_id = kPadVendorId;
    desc.product_id = kPadProductId;
    desc.name = kPadName;
    desc.Rumble = LogRumble;
    desc.userdata = reinterpret_cast<void*>(static_cast<intptr_t>(slot));
  } else {
    desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
    desc.naxes = kJoystickAxes;
    desc.nhats = kJoystickHats;
    desc.nbuttons = kJoystickButtons;
    desc.name = kJoystickName;
  }
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index < 0) {
    error = SdlErrorText("slot " + std::to_string(slot + 1));
    return false;
  }
  Attached& device = devices_[static_cast<std::size_t>(slot)];
  device.kind = kind;
  device.instanceId = SDL_JoystickGetDeviceInstanceID(index);
  device.joystick = SDL_JoystickOpen(index);
  if (!device.joystick) {
    error = SdlErrorText("slot " + std::to_string(slot + 1));
    SDL_JoystickDetachVirtual(index);
    device = Attached{};
    return false;
  }
  return true;
}

void VirtualPadDriver::Detach(Attached& device) {
  if (!device.joystick) return;
  SDL_JoystickClose(device.joystick);
  const int count = SDL_NumJoysticks();
  for (int i = 0; i < count; ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == device.instanceId) {
      SDL_JoystickDetachVirtual(i);
      break;
    }
  }
  device = Attached{};
}

int VirtualPadDriver::AttachedCount() const {
  return static_cast<int>(std::count_if(devices_.begin(), devices_.end(),
                                        [](const Attached& d) { return d.joystick != nullptr; }));
}

void VirtualPadDriver::BeforePump() {
  const Clock::time_point now = now_();
  if (!start_) start_ = now;
  ApplyAt(std::chrono::duration_cast<std::chrono::milliseconds>(now - *start_));
}

void VirtualPadDriver::ApplyAt(std::chrono::milliseconds elapsed) {
  const int64_t tick = std::max<int64_t>(elapsed.count(), 0) / periodMs_;
  const ReplayScript& script = source_.Script();
  finished_ = tick > script.endTick;
  if (!finished_) source_.AdvanceTo(static_cast<int32_t>(tick));
  // The controllers keep what they were given: they are fed again only when
  // the script moved on, not on every pump.
  const std::size_t state =
      finished_ ? kRested
                : static_cast<std::size_t>(
                      std::upper_bound(script.events.begin(), script.events.end(), tick,
                                       [](int64_t t, const ReplayEvent& e) { return t < e.tick; }) -
                      script.events.begin());
  if (state == fedState_) return;
  fedState_ = state;
  SdlLock lock;
  for (int slot = 0; slot < kMaxJoysticks; ++slot) {
    const Attached& device = devices_[static_cast<std::size_t>(slot)];
    if (device.joystick) Feed(slot, device, finished_);
  }
}

void VirtualPadDriver::Feed(int slot, const Attached& device, bool rest) {
  SDL_Joystick* joystick = device.joystick;
  if (device.kind == ReplayDeviceKind::XInput) {
    XInputGamepadState pad;
    if (!rest) source_.ReadXInput(slot, pad);
    // SDL's Y axes point down.
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, pad.thumbLX);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, ClampAxis(-long{pad.thumbLY}));
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_RIGHTX, pad.thumbRX);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_RIGHTY, ClampAxis(-long{pad.thumbRY}));
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT,
                               TriggerAxis(pad.leftTrigger));
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
                               TriggerAxis(pad.rightTrigger));
    for (const PadButton& b : kPadButtons) {
      SDL_JoystickSetVirtualButton(joystick, b.button, (pad.buttons & b.bit) ? 1 : 0);
    }
    return;
  }
  DirectInputState state;
  if (!rest) source_.ReadDirectInput(slot, state);
  for (int axis = 0; axis < kJoystickAxes; ++axis) {
    SDL_JoystickSetVirtualAxis(joystick, axis,
                               JoystickAxis(state.axes[static_cast<std::size_t>(axis)]));
  }
  for (int hat = 0; hat < kJoystickHats; ++hat) {
    SDL_JoystickSetVirtualHat(joystick, hat, HatFor(state.pov[static_cast<std::size_t>(hat)]));
  }
  for (int button = 0; button < kJoystickButtons; ++button) {
    SDL_JoystickSetVirtualButton(joystick, button,
                                 state.buttons[static_cast<std::size_t>(button)] ? 1 : 0);
  }
}

}  // namespace brevanto
