#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "core/device/DeviceConfigManager.h"
#include "core/device/DeviceTemplateManager.h"
#include "core/input/DirectInputBackend.h"
#include "core/input/HidDetection.h"
#include "core/input/XInputBackend.h"
#include "core/processing/DeviceDetection.h"
#include "core/processing/Messages.h"
#include "platform/fake/FakeControllers.h"
#include "platform/fake/RecordingMessageSink.h"
#include "platform/linux/sdl/SdlContext.h"
#include "platform/linux/sdl/SdlEventPump.h"
#include "platform/linux/sdl/SdlJoystickSource.h"
#include "platform/linux/sdl/SdlPadSource.h"
#include "platform/linux/sdl/SdlRumble.h"
#include "support/TempDir.h"

namespace brevanto::testing {

// One SDL virtual controller of a test, detached when it goes.
class VirtualDevice {
 public:
  // An Xbox 360 pad: SDL's standard buttons and axes in their own order.
  static std::unique_ptr<VirtualDevice> Pad(uint16_t vendorId = 0x045E, uint16_t productId = 0x028E,
                                            int buttons = 15) {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = static_cast<Uint16>(buttons);
    desc.vendor_id = vendorId;
    desc.product_id = productId;
    desc.name = "Test Pad";
    auto device = std::unique_ptr<VirtualDevice>(new VirtualDevice(desc));
    // Virtual triggers span the whole axis; released is its minimum.
    device->Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
    device->Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    return device;
  }
  static std::unique_ptr<VirtualDevice> Generic(int axes, int hats, int buttons,
                                                const char* name = "Test Stick") {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
    desc.naxes = static_cast<Uint16>(axes);
    desc.nhats = static_cast<Uint16>(hats);
    desc.nbuttons = static_cast<Uint16>(buttons);
    desc.name = name;
    return std::unique_ptr<VirtualDevice>(new VirtualDevice(desc));
  }

  ~VirtualDevice() { Unplug(); }
  VirtualDevice(const VirtualDevice&) = delete;
  VirtualDevice& operator=(const VirtualDevice&) = delete;

  void Axis(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick_, axis, value); }
  void Button(int button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
  }
  void Hat(int hat, Uint8 value) { SDL_JoystickSetVirtualHat(joystick_, hat, value); }
  // Virtual trigger for a pad trigger value 0..255.
  void Trigger(int axis, int value) { Axis(axis, static_cast<Sint16>(value * 257 - 32768)); }

  void Unplug() {
    if (!joystick_) return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == instanceId_) SDL_JoystickDetachVirtual(i);
    }
  }

  // What the device's motors were told, in order.
  std::vector<std::pair<Uint16, Uint16>> rumbles;

 private:
  explicit VirtualDevice(SDL_VirtualJoystickDesc desc) {
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.userdata = this;
    desc.Rumble = [](void* self, Uint16 low, Uint16 high) {
      static_cast<VirtualDevice*>(self)->rumbles.emplace_back(low, high);
      return 0;
    };
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    instanceId_ = SDL_JoystickGetDeviceInstanceID(index);
    joystick_ = SDL_JoystickOpen(index);
    EXPECT_NE(joystick_, nullptr) << SDL_GetError();
  }

  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID instanceId_ = -1;
};

// Detection and the back ends over SDL, with no HID controllers, headless.
class SdlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    ASSERT_TRUE(sdl_.Init());
    if (SDL_NumJoysticks() > 0) {
      GTEST_SKIP() << "real controllers are attached; the test counts its virtual ones only";
    }
    // No dead zone unless a test asks for one, and the automatic mapping.
    records_.SetDefaults(DeviceDefaults{0, {-1, 0, 0, 0, 0, 0, 6, 7}});
  }

  // Lets SDL take in attached or changed virtual controllers.
  void Update() { pump_.Pump(); }

  std::vector<PostedMessage> DeviceMessages() const {
    std::vector<PostedMessage> list;
    for (const PostedMessage& m : sink_.Messages()) {
      if (m.message == WM_BRV_DEVICES_CHANGED) list.push_back(m);
    }
    return list;
  }

  SdlContext sdl_;
  SdlPadSource pads_{sdl_};
  SdlRumble rumble_{sdl_, pads_};
  SdlJoystickSource joysticks_{sdl_};
  FakeHidSource hidSource_;
  TempDir dir_;
  DeviceTemplateManager templates_{dir_.File("templates.json")};
  DeviceConfigManager records_{&templates_};
  HidDetection hid_{hidSource_, records_};
  XInputBackend xinput_{pads_, rumble_, records_};
  DirectInputBackend directInput_{joysticks_, records_, xinput_};
  RecordingMessageSink sink_;
  DeviceDetection detection_{records_, hid_, xinput_, directInput_, sink_};
  SdlEventPump pump_{sdl_, [this] { detection_.RequestDetection(); }};
};

}  // namespace brevanto::testing
