#include "platform/linux/output/XkbKeyboardLayout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>

#include "core/log/Logger.h"
#include "platform/linux/output/ScanCodeKeys.h"
#include "platform/linux/output/XDisplayOpen.h"

namespace brevanto {
namespace {

struct DeadKey {
  unsigned long keysym;
  unsigned long spacing;
};

// Dead keys print nothing by themselves; their caps show the accent.
constexpr DeadKey kDeadKeys[] = {
    {XK_dead_grave, XK_grave},
    {XK_dead_acute, XK_acute},
    {XK_dead_circumflex, XK_asciicircum},
    {XK_dead_tilde, XK_asciitilde},
    {XK_dead_diaeresis, XK_diaeresis},
    {XK_dead_cedilla, XK_cedilla},
    {XK_dead_abovering, XK_degree},
};

}  // namespace

std::string KeyCapText(unsigned long keysym) {
  for (const DeadKey& d : kDeadKeys) {
    if (keysym == d.keysym) keysym = d.spacing;
  }
  KeySym lower = 0, upper = 0;
  XConvertCase(keysym, &lower, &upper);
  char text[8] = {};
  const int size = xkb_keysym_to_utf8(static_cast<xkb_keysym_t>(upper), text, sizeof text);
  if (size <= 1) return {};
  const auto first = static_cast<unsigned char>(text[0]);
  if (first < 0x20 || first == 0x7F) return {};  // Return, Tab, Escape, Delete
  return text;
}

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::Open(const char* displayName) {
  const char* name = displayName ? displayName : std::getenv("DISPLAY");
  if (!name || !*name) {
    LOG_ERROR("XkbKeyboardLayout: no X display: DISPLAY is not set");
    return nullptr;
  }
  Display* display = OpenXDisplay(name);
  if (!display) {
    LOG_ERROR("XkbKeyboardLayout: cannot open X display \"%s\"", name);
    return nullptr;
  }
  int opcode = 0, eventBase = 0, errorBase = 0;
  int major = XkbMajorVersion, minor = XkbMinorVersion;
  if (!XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &major, &minor)) {
    LOG_ERROR("XkbKeyboardLayout: X display \"%s\" has no XKB extension", name);
    XCloseDisplay(display);
    return nullptr;
  }
  XkbSelectEvents(display, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                  XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
  XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                        XkbGroupStateMask);
  return std::unique_ptr<XkbKeyboardLayout>(new XkbKeyboardLayout(display, eventBase));
}

XkbKeyboardLayout::~XkbKeyboardLayout() {
  XCloseDisplay(display_);
}

// Reads only what has already arrived, so asking for a name never waits for
// the server.
void XkbKeyboardLayout::NoteChanges() const {
  while (XEventsQueued(display_, QueuedAfterReading) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == xkbEventBase_ || event.type == MappingNotify) stale_ = true;
  }
}

void XkbKeyboardLayout::Rebuild() const {
  characters_.fill({});
  XkbDescPtr keyboard = XkbGetMap(display_, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
  if (!keyboard) {
    LOG_DEBUG("XkbKeyboardLayout: cannot read the keyboard map");
    return;
  }
  XkbStateRec state{};
  XkbGetState(display_, XkbUseCoreKbd, &state);
  for (int vk = 0; vk < 256; ++vk) {
    const uint16_t code = EvdevKeyOfVirtualKey(static_cast<uint8_t>(vk), 0, false);
    if (code == 0) continue;
    const unsigned keycode = code + kXKeycodeOffset;
    if (keycode < keyboard->min_key_code || keycode > keyboard->max_key_code) continue;
    const int groups = XkbKeyNumGroups(keyboard, keycode);
    if (groups == 0) continue;
    const int group = state.group < groups ? state.group : state.group % groups;
    characters_[static_cast<std::size_t>(vk)] =
        KeyCapText(XkbKeySymEntry(keyboard, keycode, 0, group));
  }
  XkbFreeKeyboard(keyboard, 0, True);
  stale_ = false;
}

std::string XkbKeyboardLayout::CharacterOf(uint8_t virtualKey) const {
  std::lock_guard lock(mutex_);
  NoteChanges();
  if (stale_) Rebuild();
  return characters_[virtualKey];
}

}  // namespace brevanto
