#include "platform/linux/output/OwnKeyRepeat.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>

#include "core/log/Logger.h"
#include "platform/linux/output/XDisplayOpen.h"

namespace brevanto {
namespace {

constexpr char kXTestProperty[] = "XTEST Device";
// Events of others that undo the change come in bursts; a few rounds settle
// them, and a party that keeps fighting is not followed for ever.
constexpr int kMaxRounds = 4;

bool Contains(const std::vector<int>& ids, int id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool HasKeys(const XIDeviceInfo& device) {
  for (int i = 0; i < device.num_classes; ++i) {
    if (device.classes[i]->type == XIKeyClass) return true;
  }
  return false;
}

bool IsKeyboard(const XIDeviceInfo& device) {
  return device.use == XISlaveKeyboard || (device.use == XIFloatingSlave && HasKeys(device));
}

}  // namespace

std::unique_ptr<OwnKeyRepeat> OwnKeyRepeat::Open(const char* displayName, std::string uinputName) {
  const char* name = displayName ? displayName : std::getenv("DISPLAY");
  if (!name || !*name) return nullptr;
  Display* display = OpenXDisplay(name);
  if (!display) {
    LOG_ERROR("OwnKeyRepeat: cannot open X display \"%s\"", name);
    return nullptr;
  }
  int xkbOpcode = 0, xkbEventBase = 0, xkbErrorBase = 0;
  int xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
  int xiOpcode = 0, xiEventBase = 0, xiErrorBase = 0;
  int xiMajor = 2, xiMinor = 0;
  const char* missing = nullptr;
  if (!XkbQueryExtension(display, &xkbOpcode, &xkbEventBase, &xkbErrorBase, &xkbMajor, &xkbMinor)) {
    missing = "XKB";
  } else if (!XQueryExtension(display, "XInputExtension", &xiOpcode, &xiEventBase, &xiErrorBase) ||
             XIQueryVersion(display, &xiMajor, &xiMinor) != Success) {
    missing = "XInput 2";
  }
  if (missing) {
    LOG_ERROR("OwnKeyRepeat: X display \"%s\" has no %s: held keys may repeat", name, missing);
    XCloseDisplay(display);
    return nullptr;
  }
  IgnoreXProtocolErrors();

  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, XI_HierarchyChanged);
  XIEventMask mask{XIAllDevices, static_cast<int>(sizeof bits), bits};
  XISelectEvents(display, DefaultRootWindow(display), &mask, 1);

  std::unique_ptr<OwnKeyRepeat> self(
      new OwnKeyRepeat(display, std::move(uinputName), xiOpcode, xkbEventBase));
  self->Apply();
  return self;
}

OwnKeyRepeat::OwnKeyRepeat(Display* display, std::string uinputName, int xiOpcode, int xkbEventBase)
    : display_(display),
      uinputName_(std::move(uinputName)),
      xiOpcode_(xiOpcode),
      xkbEventBase_(xkbEventBase) {}

OwnKeyRepeat::~OwnKeyRepeat() {
  // Other programs share the XTest keyboard; the uinput keyboard leaves
  // with the program.
  for (const int device : restoreOnExit_) SetRepeat(device, true);
  if (!restoreOnExit_.empty() && xtestMaster_ != 0) {
    TakeOverMaster();
    AlignMaster(xtestMaster_, true);
  }
  XSync(display_, False);
  XCloseDisplay(display_);
}

int OwnKeyRepeat::Fd() const {
  return ConnectionNumber(display_);
}

void OwnKeyRepeat::HandleEvents() {
  for (int round = 0; round < kMaxRounds && XPending(display_) > 0; ++round) {
    bool apply = false;
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      XGenericEventCookie& cookie = event.xcookie;
      if (cookie.type == GenericEvent && cookie.extension == xiOpcode_ &&
          XGetEventData(display_, &cookie)) {
        if (cookie.evtype == XI_HierarchyChanged) {
          const auto* change = static_cast<const XIHierarchyEvent*>(cookie.data);
          if (change->flags & (XISlaveAdded | XIDeviceEnabled | XISlaveAttached)) apply = true;
        }
        XFreeEventData(display_, &cookie);
      } else if (event.type == xkbEventBase_) {
        const auto* xkb = reinterpret_cast<const XkbEvent*>(&event);
        if (xkb->any.xkb_type == XkbControlsNotify &&
            (xkb->ctrls.enabled_ctrls & XkbRepeatKeysMask)) {
          apply = true;
        }
      }
    }
    if (apply) Apply();
  }
}

void OwnKeyRepeat::Apply() {
  int xtestMaster = 0;
  const std::vector<Keyboard> own = OwnKeyboards(xtestMaster);
  bool changed = false;
  for (const Keyboard& keyboard : own) {
    WatchControls(keyboard.id);
    if (!RepeatOn(keyboard.id)) continue;
    SetRepeat(keyboard.id, false);
    changed = true;
    if (keyboard.xtest && !Contains(restoreOnExit_, keyboard.id)) {
      restoreOnExit_.push_back(keyboard.id);
    }
    LOG_INFO("Key repeat of the X server turned off for \"%s\"", keyboard.name.c_str());
  }
  if (changed && xtestMaster != 0) {
    TakeOverMaster();
    AlignMaster(xtestMaster, false);
  }
  if (changed) xtestMaster_ = xtestMaster;
  XFlush(display_);
}

std::vector<OwnKeyRepeat::Keyboard> OwnKeyRepeat::OwnKeyboards(int& xtestMaster) {
  std::vector<Keyboard> own;
  // A client that chose no pointer of its own has the server's first one.
  int pointer = 0;
  if (!XIGetClientPointer(display_, None, &pointer)) pointer = 0;
  const Atom xtestAtom = XInternAtom(display_, kXTestProperty, True);
  int count = 0;
  XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
  xtestMaster = 0;
  for (int i = 0; i < count && xtestMaster == 0; ++i) {
    if (devices[i].use == XIMasterPointer && (pointer == 0 || devices[i].deviceid == pointer)) {
      xtestMaster = devices[i].attachment;
    }
  }
  for (int i = 0; i < count; ++i) {
    const XIDeviceInfo& device = devices[i];
    if (!IsKeyboard(device)) continue;
    const int master = device.use == XISlaveKeyboard ? device.attachment : 0;
    const std::string name = device.name ? device.name : "";
    bool xtest = false;
    if (xtestAtom != None) {
      Atom type = None;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      if (XIGetProperty(display_, device.deviceid, xtestAtom, 0, 1, False, AnyPropertyType, &type,
                        &format, &items, &after, &data) == Success) {
        xtest = format == 8 && items > 0 && data[0] != 0;
      }
      if (data) XFree(data);
    }
    // Each master has an XTest keyboard; the program's output goes through
    // the one of the master its pointer is paired with.
    if (xtest && xtestMaster != 0 && master != xtestMaster) continue;
    const bool uinput = !uinputName_.empty() && name.starts_with(uinputName_);
    if (xtest || uinput) own.push_back(Keyboard{device.deviceid, xtest, name});
  }
  XIFreeDeviceInfo(devices);
  return own;
}

bool OwnKeyRepeat::RepeatOn(int device) {
  XkbDescPtr desc = XkbAllocKeyboard();
  if (!desc) return false;
  desc->device_spec = static_cast<unsigned short>(device);
  const bool on = XkbGetControls(display_, XkbControlsEnabledMask, desc) == Success &&
                  desc->ctrls && (desc->ctrls->enabled_ctrls & XkbRepeatKeysMask) != 0;
  XkbFreeKeyboard(desc, XkbAllComponentsMask, True);
  return on;
}

void OwnKeyRepeat::SetRepeat(int device, bool on) {
  XkbChangeEnabledControls(display_, static_cast<unsigned>(device), XkbRepeatKeysMask,
                           on ? XkbRepeatKeysMask : 0);
}

void OwnKeyRepeat::WatchControls(int device) {
  if (Contains(watched_, device)) return;
  watched_.push_back(device);
  XkbSelectEventDetails(display_, static_cast<unsigned>(device), XkbControlsNotify,
                        XkbRepeatKeysMask, XkbRepeatKeysMask);
}

void OwnKeyRepeat::TakeOverMaster() {
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor)) return;
  // The release of a key that is up changes the master's last keyboard and
  // is dropped before any window sees it.
  char down[32] = {};
  XQueryKeymap(display_, down);
  int minCode = 0, maxCode = 0;
  XDisplayKeycodes(display_, &minCode, &maxCode);
  for (int code = maxCode; code >= minCode; --code) {
    if ((down[code / 8] & (1 << (code % 8))) == 0) {
      XTestFakeKeyEvent(display_, static_cast<unsigned>(code), False, CurrentTime);
      break;
    }
  }
  XSync(display_, False);
}

void OwnKeyRepeat::AlignMaster(int master, bool repeat) {
  if (RepeatOn(master) == repeat) return;
  // The master repeats with the controls it took from the XTest keyboard
  // before the change. Setting them sets every keyboard of the master, so
  // the others get theirs back at once.
  std::vector<std::pair<int, bool>> others;
  int count = 0;
  XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
  for (int i = 0; i < count; ++i) {
    const XIDeviceInfo& device = devices[i];
    if (device.use != XISlaveKeyboard || device.attachment != master) continue;
    others.emplace_back(device.deviceid, RepeatOn(device.deviceid));
  }
  XIFreeDeviceInfo(devices);
  SetRepeat(master, repeat);
  for (const auto& [device, on] : others) {
    if (on != repeat) SetRepeat(device, on);
  }
  XSync(display_, False);
}

}  // namespace brevanto
