#include "platform/linux/clipboard/X11Clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <vector>

#include "core/log/Logger.h"
#include "core/text/Encoding.h"

namespace brevanto {
namespace {

// How long SetClipboardText waits for the server to grant the selection.
constexpr auto kOwnershipTimeout = std::chrono::milliseconds(1000);

// Xlib's error handler is process-wide. Errors on a clipboard connection (a
// requestor window that went away mid-answer) are logged and ignored; any
// other connection's errors go to the handler that was there before.
std::atomic<XErrorHandler> previousHandler{nullptr};
std::atomic<int> clipboardConnections{0};
std::mutex handlerMutex;
std::vector<Display*> clipboardDisplays;

int ClipboardErrorHandler(Display* display, XErrorEvent* error) {
  bool ours = false;
  {
    std::lock_guard lock(handlerMutex);
    for (Display* d : clipboardDisplays) ours = ours || d == display;
  }
  if (ours) {
    LOG_DEBUG("Clipboard: X error %d on request %d ignored", error->error_code,
              error->request_code);
    return 0;
  }
  const XErrorHandler previous = previousHandler.load();
  return previous ? previous(display, error) : 0;
}

void RegisterDisplay(Display* display) {
  std::lock_guard lock(handlerMutex);
  clipboardDisplays.push_back(display);
  if (clipboardConnections++ == 0) previousHandler.store(XSetErrorHandler(ClipboardErrorHandler));
}

void UnregisterDisplay(Display* display) {
  std::lock_guard lock(handlerMutex);
  std::erase(clipboardDisplays, display);
  if (--clipboardConnections != 0) return;
  // Put the old handler back unless someone has replaced ours since.
  const XErrorHandler current = XSetErrorHandler(previousHandler.exchange(nullptr));
  if (current != ClipboardErrorHandler) XSetErrorHandler(current);
}

std::string WithLfLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

// STRING is Latin-1; characters outside it become '?'.
std::string ToLatin1(std::string_view text) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    char32_t c = 0;
    if (!NextUtf8(text, pos, c) || c > 0xFF) c = '?';
    out += static_cast<char>(c);
  }
  return out;
}

}  // namespace

X11Clipboard::X11Clipboard(const char* displayName, const char* selection) {
  Display* display = XOpenDisplay(displayName);
  if (!display) {
    LOG_ERROR("Clipboard: cannot connect to the X display; text paste cannot set the clipboard");
    return;
  }
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    LOG_ERROR("Clipboard: cannot create the clipboard thread's wake-up event");
    LOG_SYSTEM_ERROR();
    XCloseDisplay(display);
    return;
  }
  RegisterDisplay(display);
  display_ = display;
  window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(display, window_, PropertyChangeMask);
  atoms_.clipboard = XInternAtom(display, selection, False);
  atoms_.targets = XInternAtom(display, "TARGETS", False);
  atoms_.timestamp = XInternAtom(display, "TIMESTAMP", False);
  atoms_.utf8String = XInternAtom(display, "UTF8_STRING", False);
  atoms_.text = XInternAtom(display, "TEXT", False);
  atoms_.textPlainUtf8 = XInternAtom(display, "text/plain;charset=utf-8", False);
  atoms_.stamp = XInternAtom(display, "BREVANTO_CLIPBOARD_TIME", False);
  XFlush(display);
  thread_ = std::thread([this] { Run(); });
}

X11Clipboard::~X11Clipboard() {
  if (!display_) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
  thread_.join();
  XDestroyWindow(display_, window_);
  // Errors of requests still in flight (an answer to a requestor window that
  // is gone) must reach our handler, not Xlib's default one, which exits.
  XSync(display_, False);
  UnregisterDisplay(display_);
  XCloseDisplay(display_);
  ::close(wakeFd_);
}

bool X11Clipboard::SetClipboardText(std::string_view text) {
  if (!display_) {
    LOG_ERROR("Clipboard: no X display; the clipboard is left unchanged");
    return false;
  }
  std::unique_lock lock(mutex_);
  pendingText_ = WithLfLineEnds(text);
  const uint64_t id = ++requested_;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
  if (!done_.wait_for(lock, kOwnershipTimeout, [&] { return finished_ >= id; })) {
    LOG_ERROR("Clipboard: the X server did not grant the clipboard in time");
    return false;
  }
  // A newer text may have finished in the meantime; that result is this one's too.
  return lastResult_;
}

void X11Clipboard::Finish(bool result) {
  std::lock_guard lock(mutex_);
  finished_ = acquiring_;
  lastResult_ = result;
  done_.notify_all();
}

void X11Clipboard::Run() {
  pthread_setname_np(pthread_self(), "brevanto-clip");
  Display* display = display_;
  pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      HandleEvent(event);
    }
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
      LOG_ERROR("Clipboard: waiting for X events failed; the clipboard stops");
      LOG_SYSTEM_ERROR();
      Finish(false);
      return;
    }
    if (fds[1].revents & POLLIN) {
      uint64_t count = 0;
      [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
      {
        std::lock_guard lock(mutex_);
        if (stop_) return;
      }
      HandleWake();
    }
  }
}

void X11Clipboard::HandleWake() {
  {
    std::lock_guard lock(mutex_);
    if (requested_ == acquiring_) return;
    acquiring_ = requested_;
    acquiringText_ = pendingText_;
  }
  // The selection must be taken with a real server time, which comes with
  // the notice of a property change on our own window.
  if (!awaitingTimestamp_) {
    awaitingTimestamp_ = true;
    XChangeProperty(display_, window_, atoms_.stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XFlush(display_);
  }
}

void X11Clipboard::HandleEvent(const XEvent& event) {
  switch (event.type) {
    case PropertyNotify:
      if (awaitingTimestamp_ && event.xproperty.window == window_ &&
          event.xproperty.atom == atoms_.stamp) {
        awaitingTimestamp_ = false;
        XSetSelectionOwner(display_, atoms_.clipboard, window_, event.xproperty.time);
        owned_ = XGetSelectionOwner(display_, atoms_.clipboard) == window_;
        if (owned_) {
          ownedSince_ = event.xproperty.time;
          text_ = std::move(acquiringText_);
        } else {
          LOG_ERROR("Clipboard: the X server refused the clipboard selection");
        }
        Finish(owned_);
        // A text that came while this one was being set is taken next.
        HandleWake();
      }
      break;
    case SelectionClear:
      if (event.xselectionclear.selection == atoms_.clipboard) owned_ = false;
      break;
    case SelectionRequest:
      AnswerRequest(event);
      break;
    default:
      break;
  }
}

void X11Clipboard::AnswerRequest(const XEvent& event) {
  const XSelectionRequestEvent& request = event.xselectionrequest;
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = display_;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.time = request.time;
  reply.xselection.property = None;

  // Requests from before the ownership began are not this text's.
  const bool serving = owned_ && request.selection == atoms_.clipboard &&
                       (request.time == CurrentTime || request.time >= ownedSince_);
  // Old clients leave the property to the owner.
  const Atom property = request.property != None ? request.property : request.target;
  if (serving) {
    // Texts longer than one request would need the incremental protocol.
    const long maxBytes = (XExtendedMaxRequestSize(display_) ? XExtendedMaxRequestSize(display_)
                                                             : XMaxRequestSize(display_)) *
                              4 -
                          256;
    const Atom target = request.target;
    if (target == atoms_.targets) {
      const Atom targets[] = {atoms_.targets, atoms_.timestamp,     atoms_.utf8String,
                              atoms_.text,    atoms_.textPlainUtf8, XA_STRING};
      XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(targets), std::size(targets));
      reply.xselection.property = property;
    } else if (target == atoms_.timestamp) {
      const long time = static_cast<long>(ownedSince_);
      XChangeProperty(display_, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&time), 1);
      reply.xselection.property = property;
    } else if (target == atoms_.utf8String || target == atoms_.text ||
               target == atoms_.textPlainUtf8 || target == XA_STRING) {
      const std::string data = target == XA_STRING ? ToLatin1(text_) : text_;
      const Atom type = target == atoms_.text ? atoms_.utf8String : target;
      if (static_cast<long>(data.size()) > maxBytes) {
        LOG_ERROR("Clipboard: a text of %zu bytes is too long to hand over in one piece",
                  data.size());
      } else {
        XChangeProperty(display_, request.requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
        reply.xselection.property = property;
      }
    }
  }
  XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
  XFlush(display_);
}

}  // namespace brevanto
