#include "platform/linux/output/UinputDevice.h"

#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

// Keyboard keys only: announcing joystick or gamepad buttons would make the
// system take the device for a controller.
constexpr int kLastKeyboardKey = KEY_MICMUTE;
constexpr int kMouseButtons[] = {BTN_LEFT, BTN_MIDDLE, BTN_RIGHT, BTN_SIDE, BTN_EXTRA};
constexpr int kRelativeAxes[] = {REL_X, REL_Y, REL_WHEEL, REL_HWHEEL};
constexpr int kAbsoluteAxes[] = {ABS_X, ABS_Y};

bool Setup(int fd) {
  bool ok = ioctl(fd, UI_SET_EVBIT, EV_SYN) == 0 && ioctl(fd, UI_SET_EVBIT, EV_KEY) == 0 &&
            ioctl(fd, UI_SET_EVBIT, EV_REL) == 0 && ioctl(fd, UI_SET_EVBIT, EV_ABS) == 0;
  for (int key = KEY_ESC; ok && key <= kLastKeyboardKey; ++key) {
    ok = ioctl(fd, UI_SET_KEYBIT, key) == 0;
  }
  for (int button : kMouseButtons) ok = ok && ioctl(fd, UI_SET_KEYBIT, button) == 0;
  for (int axis : kRelativeAxes) ok = ok && ioctl(fd, UI_SET_RELBIT, axis) == 0;
  for (int axis : kAbsoluteAxes) {
    ok = ok && ioctl(fd, UI_SET_ABSBIT, axis) == 0;
    uinput_abs_setup abs{};
    abs.code = static_cast<uint16_t>(axis);
    abs.absinfo.minimum = 0;
    abs.absinfo.maximum = UinputDevice::kAbsoluteMax;
    ok = ok && ioctl(fd, UI_ABS_SETUP, &abs) == 0;
  }
  if (!ok) return false;

  uinput_setup setup{};
  setup.id.bustype = BUS_VIRTUAL;
  setup.id.version = 1;
  std::strncpy(setup.name, UinputDevice::kDeviceName, UINPUT_MAX_NAME_SIZE - 1);
  return ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ioctl(fd, UI_DEV_CREATE) == 0;
}

}  // namespace

std::unique_ptr<UinputDevice> UinputDevice::Create(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    LOG_ERROR("UinputDevice: cannot open %s for writing", path.c_str());
    LOG_SYSTEM_ERROR();
    return nullptr;
  }
  if (!Setup(fd)) {
    LOG_ERROR("UinputDevice: cannot create the virtual input device on %s", path.c_str());
    LOG_SYSTEM_ERROR();
    ::close(fd);
    return nullptr;
  }
  LOG_INFO("UinputDevice: created \"%s\"", kDeviceName);
  return std::unique_ptr<UinputDevice>(new UinputDevice(fd));
}

UinputDevice::~UinputDevice() {
  ioctl(fd_, UI_DEV_DESTROY);
  ::close(fd_);
}

std::string UinputDevice::SystemName() const {
  char name[64] = {};
  if (ioctl(fd_, UI_GET_SYSNAME(sizeof name), name) < 0) return {};
  return name;
}

}  // namespace brevanto
