// An X client for the tests: opens a window with a title and makes it the
// active window the way a window manager announces one (_NET_ACTIVE_WINDOW on
// the root window). Prints "ready" and the window id once the server has it
// all, then stays until SIGTERM or SIGINT, and takes the announcement back.
//
//   active_window_probe --title=TEXT [--no-pid] [--host=NAME]
//
// --no-pid leaves _NET_WM_PID out; --host puts another machine's name into
// WM_CLIENT_MACHINE (by default this machine's).
#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

volatile sig_atomic_t stopRequested = 0;

void Stop(int) {
  stopRequested = 1;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

void SetText(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
             const std::string& text) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                      static_cast<uint32_t>(text.size()), text.data());
}

void Sync(xcb_connection_t* c) {
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

xcb_window_t ActiveWindow(xcb_connection_t* c, xcb_window_t root, xcb_atom_t active) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, root, active, XCB_ATOM_WINDOW, 0, 1), nullptr);
  xcb_window_t window = XCB_WINDOW_NONE;
  if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4) {
    window = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
  }
  std::free(reply);
  return window;
}

}  // namespace

int main(int argc, char** argv) {
  std::string title = "Probe";
  std::string host;
  bool withPid = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--title=", 0) == 0) {
      title = arg.substr(8);
    } else if (arg.rfind("--host=", 0) == 0) {
      host = arg.substr(7);
    } else if (arg == "--no-pid") {
      withPid = false;
    } else {
      std::fprintf(stderr, "active_window_probe: unknown argument %s\n", arg.c_str());
      return 2;
    }
  }
  if (host.empty()) {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    host = name;
  }
  struct sigaction action {};
  action.sa_handler = Stop;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);

  xcb_connection_t* c = nullptr;
  // Xvfb refuses connections for a moment after its last client left.
  for (int attempt = 0; attempt < 150; ++attempt) {
    c = xcb_connect(nullptr, nullptr);
    if (!xcb_connection_has_error(c)) break;
    xcb_disconnect(c);
    c = nullptr;
    ::usleep(20000);
  }
  if (!c) {
    std::fprintf(stderr, "active_window_probe: no X display\n");
    return 3;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const xcb_atom_t active = Atom(c, "_NET_ACTIVE_WINDOW");

  const xcb_window_t window = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, 10, 10, 200, 100, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  SetText(c, window, Atom(c, "_NET_WM_NAME"), Atom(c, "UTF8_STRING"), title);
  SetText(c, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
  SetText(c, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, host);
  if (withPid) {
    const uint32_t pid = static_cast<uint32_t>(::getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, Atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL,
                        32, 1, &pid);
  }
  xcb_map_window(c, window);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, active, XCB_ATOM_WINDOW, 32, 1, &window);
  Sync(c);
  std::printf("ready 0x%x\n", window);
  std::fflush(stdout);

  pollfd connection{xcb_get_file_descriptor(c), POLLIN, 0};
  while (!stopRequested && !xcb_connection_has_error(c)) {
    if (::poll(&connection, 1, 50) > 0) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(c)) std::free(event);
    }
  }
  // Later tests must not find a window that is gone announced as active.
  if (ActiveWindow(c, root, active) == window) xcb_delete_property(c, root, active);
  xcb_destroy_window(c, window);
  Sync(c);
  xcb_disconnect(c);
  return 0;
}
