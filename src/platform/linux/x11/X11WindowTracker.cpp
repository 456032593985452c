#include "platform/linux/x11/X11WindowTracker.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/log/Logger.h"
#include "core/text/Encoding.h"

namespace brevanto {
namespace {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// Enough for any title the program looks at (it keeps 2047 characters).
constexpr uint32_t kMaxPropertyWords = 2048;
constexpr std::size_t kMaxPathBytes = 65536;

uint32_t InternAtom(xcb_connection_t* connection, std::string_view name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data());
  Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr));
  return reply ? reply->atom : static_cast<uint32_t>(XCB_ATOM_NONE);
}

Reply<xcb_get_property_reply_t> GetProperty(xcb_connection_t* connection, uint32_t window,
                                            uint32_t property, uint32_t type,
                                            uint32_t words = kMaxPropertyWords) {
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, window, property, type, 0, words);
  return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(connection, cookie, nullptr));
}

// The first 32-bit item of a property, 0 when it is missing.
uint32_t CardinalProperty(xcb_connection_t* connection, uint32_t window, uint32_t property,
                          uint32_t type) {
  Reply<xcb_get_property_reply_t> reply = GetProperty(connection, window, property, type, 1);
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) return 0;
  return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
}

std::string PropertyText(const xcb_get_property_reply_t& reply) {
  const auto* data = static_cast<const char*>(
      xcb_get_property_value(const_cast<xcb_get_property_reply_t*>(&reply)));
  const int length = xcb_get_property_value_length(const_cast<xcb_get_property_reply_t*>(&reply));
  if (reply.format != 8 || length <= 0) return {};
  return std::string(data, static_cast<std::size_t>(length));
}

// Host names as programs put them into WM_CLIENT_MACHINE: some give the
// fully qualified name, some the short one.
std::string_view ShortHostName(std::string_view name) {
  return name.substr(0, name.find('.'));
}

bool SameHost(std::string_view a, std::string_view b) {
  a = ShortHostName(a);
  b = ShortHostName(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// WM_NAME is Latin-1 by convention; many programs put UTF-8 there anyway.
std::string Latin1OrUtf8(std::string bytes) {
  if (IsValidUtf8(bytes)) return bytes;
  std::string text;
  text.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      text.push_back(static_cast<char>(c));
    } else {
      text.push_back(static_cast<char>(0xC0 | (c >> 6)));
      text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return text;
}

}  // namespace

X11WindowTracker::X11WindowTracker(const char* displayName) {
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    LOG_INFO("Window tracking: no X display, so the foreground window is unknown");
    return;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) {
    xcb_disconnect(connection);
    LOG_ERROR("Window tracking: the X display has no screen %d", screenNumber);
    return;
  }
  connection_ = connection;
  root_ = screens.data->root;
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) == 0) hostName_ = host;

  atoms_.activeWindow = InternAtom(connection, "_NET_ACTIVE_WINDOW");
  atoms_.wmName = InternAtom(connection, "_NET_WM_NAME");
  atoms_.utf8String = InternAtom(connection, "UTF8_STRING");
  atoms_.wmPid = InternAtom(connection, "_NET_WM_PID");
  atoms_.windowType = InternAtom(connection, "_NET_WM_WINDOW_TYPE");
  atoms_.typeDesktop = InternAtom(connection, "_NET_WM_WINDOW_TYPE_DESKTOP");
  atoms_.typeDock = InternAtom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
  atoms_.wmState = InternAtom(connection, "WM_STATE");

  // The window manager announces every change of the active window on the
  // root window; without one, focus events on the root and on the focused
  // application's window say when the focus moved. Either way a tick costs
  // no round trip to the server while the foreground stays.
  const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_FOCUS_CHANGE;
  xcb_change_window_attributes(connection, root_, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(connection);

  Update(false);

  // The events are read as they arrive, by a thread that sleeps in between
  // and keeps the answer current, so that a tick only reads it.
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    LOG_ERROR("Window tracking: cannot create the event that ends the event reader");
    LOG_SYSTEM_ERROR();
    return;
  }
  try {
    reader_ = std::thread([this] { ReadEventsAsTheyCome(); });
  } catch (const std::system_error&) {
    LOG_ERROR("Window tracking: cannot start the event reader; events are read on every tick");
    LOG_SYSTEM_ERROR();
    ::close(wakeFd_);
    wakeFd_ = -1;
  }
}

X11WindowTracker::~X11WindowTracker() {
  if (reader_.joinable()) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
    reader_.join();
  }
  if (wakeFd_ >= 0) ::close(wakeFd_);
  if (connection_) xcb_disconnect(connection_);
}

void X11WindowTracker::ReadEventsAsTheyCome() {
  pthread_setname_np(pthread_self(), "brevanto-xwatch");
  pollfd fds[2] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  for (;;) {
    const int ready = ::poll(fds, 2, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || fds[1].revents != 0) return;
    std::lock_guard<std::mutex> lock(mutex_);
    // A lost connection stays readable.
    if (!Usable()) {
      foreground_.store(kNoWindow, std::memory_order_relaxed);
      return;
    }
    Update(true);
  }
}

bool X11WindowTracker::Connected() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connection_ && !xcb_connection_has_error(connection_);
}

bool X11WindowTracker::Usable() {
  if (!connection_) return false;
  if (!xcb_connection_has_error(connection_)) return true;
  if (!lostLogged_) {
    LOG_ERROR("Window tracking: the connection to the X display was lost");
    lostLogged_ = true;
  }
  return false;
}

void X11WindowTracker::ReadEvents(bool fromSocket) {
  while (xcb_generic_event_t* event = fromSocket ? xcb_poll_for_event(connection_)
                                                 : xcb_poll_for_queued_event(connection_)) {
    switch (event->response_type & 0x7F) {
      case XCB_PROPERTY_NOTIFY:
        if (reinterpret_cast<const xcb_property_notify_event_t*>(event)->atom ==
            atoms_.activeWindow) {
          activeWindowStale_ = true;
        }
        break;
      case XCB_FOCUS_IN:
      case XCB_FOCUS_OUT:
        focusStale_ = true;
        break;
      case 0:
        // The only requests whose errors come here are the event selections
        // on the focused window, which may have gone meanwhile.
        focusStale_ = true;
        break;
      default:
        break;
    }
    std::free(event);
  }
}

WindowId X11WindowTracker::ForegroundWindow() {
  if (reader_.joinable()) return foreground_.load(std::memory_order_relaxed);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!Usable()) return kNoWindow;
  Update(true);
  return foreground_.load(std::memory_order_relaxed);
}

// Events that came in with the answer to a request are queued already and
// wake no reader; every locked use of the connection ends here.
void X11WindowTracker::Update(bool fromSocket) {
  ReadEvents(fromSocket);
  // Each answer may bring further changes along; a few rounds are plenty, and
  // a later event brings the rest.
  for (int round = 0; round < 4 && (activeWindowStale_ || focusStale_); ++round) {
    if (activeWindowStale_) {
      activeWindowStale_ = false;
      const bool wasNamed = activeWindowNamed_;
      ++roundTrips_;
      Reply<xcb_get_property_reply_t> reply =
          GetProperty(connection_, root_, atoms_.activeWindow, XCB_ATOM_WINDOW, 1);
      // None there means the window manager knows no window has the focus.
      activeWindowNamed_ = reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32 &&
                           xcb_get_property_value_length(reply.get()) >= 4;
      activeWindow_ = activeWindowNamed_
                          ? *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()))
                          : 0;
      // The focus was not followed while the window manager named the window.
      if (wasNamed && !activeWindowNamed_) focusStale_ = true;
    }
    // Without a window manager that names the active window: the input focus.
    if (!activeWindowNamed_ && focusStale_) RefreshFocus();
    foreground_.store(activeWindowNamed_ ? activeWindow_ : focusClient_, std::memory_order_relaxed);
    ReadEvents(false);
  }
}

int X11WindowTracker::RoundTrips() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return roundTrips_;
}

uint32_t X11WindowTracker::InputFocus() {
  ++roundTrips_;
  Reply<xcb_get_input_focus_reply_t> focus(
      xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
  if (!focus) return XCB_WINDOW_NONE;
  const uint32_t window = focus->focus;
  if (window == XCB_INPUT_FOCUS_POINTER_ROOT || window == root_) return XCB_WINDOW_NONE;
  return window;
}

// The focus is asked for again only after an event said it moved. The focus
// events of a window reach only clients that selected them on that window,
// and a move between two applications reaches neither the root nor any
// window above the applications' own, so the focused application's
// top-level window is watched as well as the root.
void X11WindowTracker::RefreshFocus() {
  focusStale_ = false;
  focusClient_ = 0;
  uint32_t focus = InputFocus();
  // A focus that moves while its new window is being watched is asked for
  // again; a few tries are plenty, and a later event brings the rest.
  for (int attempt = 0; attempt < 4 && focus != XCB_WINDOW_NONE; ++attempt) {
    const FocusOwner owner = FocusOwnerOf(focus);
    Watch(owner.topLevel);
    const uint32_t now = InputFocus();
    if (now == focus) {
      focusClient_ = owner.client;
      return;
    }
    focus = now;
  }
  if (focus != XCB_WINDOW_NONE) focusStale_ = true;
}

void X11WindowTracker::Watch(uint32_t topLevel) {
  if (topLevel == watched_) return;
  const uint32_t none = 0;
  const uint32_t focusChange = XCB_EVENT_MASK_FOCUS_CHANGE;
  if (watched_ != 0) xcb_change_window_attributes(connection_, watched_, XCB_CW_EVENT_MASK, &none);
  if (topLevel != 0) {
    xcb_change_window_attributes(connection_, topLevel, XCB_CW_EVENT_MASK, &focusChange);
  }
  watched_ = topLevel;
}

// The focus may sit on a child of an application's window; the application's
// window is the nearest ancestor the window manager marked with WM_STATE, or
// without a window manager the ancestor just below the root, which is also
// the top-level window.
X11WindowTracker::FocusOwner X11WindowTracker::FocusOwnerOf(uint32_t window) {
  FocusOwner owner{0, window};
  uint32_t current = window;
  for (int depth = 0; depth < 64; ++depth) {
    if (owner.client == 0 && HasProperty(current, atoms_.wmState)) owner.client = current;
    ++roundTrips_;
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, current), nullptr));
    if (!tree) break;
    if (tree->parent == root_ || tree->parent == XCB_WINDOW_NONE) {
      owner.topLevel = current;
      break;
    }
    current = tree->parent;
  }
  if (owner.client == 0) owner.client = owner.topLevel;
  return owner;
}

bool X11WindowTracker::HasProperty(uint32_t window, uint32_t atom) {
  ++roundTrips_;
  Reply<xcb_get_property_reply_t> reply =
      GetProperty(connection_, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0);
  return reply && reply->type != XCB_ATOM_NONE;
}

std::string X11WindowTracker::WindowTitle(WindowId window) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (window == kNoWindow || !Usable()) return {};
  std::string text;
  if (Reply<xcb_get_property_reply_t> name =
          GetProperty(connection_, window, atoms_.wmName, atoms_.utf8String)) {
    text = PropertyText(*name);
  }
  if (text.empty()) {
    if (Reply<xcb_get_property_reply_t> name =
            GetProperty(connection_, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY)) {
      text = Latin1OrUtf8(PropertyText(*name));
    }
  }
  Update(false);
  return text;
}

int X11WindowTracker::ProcessIdOf(uint32_t window) {
  const int processId =
      static_cast<int>(CardinalProperty(connection_, window, atoms_.wmPid, XCB_ATOM_CARDINAL));
  return processId > 0 && OnThisHost(window) ? processId : 0;
}

// A process id means something only on the machine the client runs on; a
// window without WM_CLIENT_MACHINE is taken to be local.
bool X11WindowTracker::OnThisHost(uint32_t window) {
  Reply<xcb_get_property_reply_t> machine =
      GetProperty(connection_, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 64);
  if (!machine) return true;
  const std::string name = PropertyText(*machine);
  return name.empty() || hostName_.empty() || SameHost(name, hostName_);
}

ProcessPath X11WindowTracker::ProcessPathOf(WindowId window) {
  int processId = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (window != kNoWindow && Usable()) {
      processId = ProcessIdOf(window);
      Update(false);
    }
  }
  // A window that does not name its process (or names one of another host's)
  // cannot be traced to an executable.
  if (processId <= 0) return ProcessPath{ProcessPathStatus::NoProcess, {}, ESRCH};
  return ExecutableOf(processId);
}

ProcessPath X11WindowTracker::ExecutableOf(int processId) {
  const std::string link = "/proc/" + std::to_string(processId) + "/exe";
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (n < 0) {
      const int error = errno;
      return ProcessPath{
          error == ENOENT ? ProcessPathStatus::NoProcess : ProcessPathStatus::Unreadable,
          {},
          error};
    }
    if (static_cast<std::size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<std::size_t>(n));
      // A program rebuilt or updated while it runs still is that program.
      static constexpr std::string_view kDeleted = " (deleted)";
      if (path.size() > kDeleted.size() && path.ends_with(kDeleted)) {
        path.resize(path.size() - kDeleted.size());
      }
      return ProcessPath{ProcessPathStatus::Found, std::move(path), 0};
    }
    if (buffer.size() >= kMaxPathBytes) {
      return ProcessPath{ProcessPathStatus::Unreadable, {}, ENAMETOOLONG};
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool X11WindowTracker::IsDesktopOrDock(WindowId window) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (window == kNoWindow || !Usable()) return false;
  Reply<xcb_get_property_reply_t> types =
      GetProperty(connection_, window, atoms_.windowType, XCB_ATOM_ATOM, 32);
  Update(false);
  if (!types || types->format != 32) return false;
  const auto* atoms = static_cast<const uint32_t*>(xcb_get_property_value(types.get()));
  const int count = xcb_get_property_value_length(types.get()) / 4;
  for (int i = 0; i < count; ++i) {
    if (atoms[i] == atoms_.typeDesktop || atoms[i] == atoms_.typeDock) return true;
  }
  return false;
}

}  // namespace brevanto
