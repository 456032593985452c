// A native Wayland client for the tests: one xdg-shell window with a title
// and an app id, drawn from a shared-memory buffer. Prints "ready" once the
// compositor has shown it, then stays until SIGTERM or SIGINT.
//
//   wayland_window_probe --title=TEXT --app-id=TEXT
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "xdg-shell-client-protocol.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

volatile sig_atomic_t stopRequested = 0;

void Stop(int) {
  stopRequested = 1;
}

struct Client {
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  xdg_wm_base* wmBase = nullptr;
  wl_surface* surface = nullptr;
  wl_buffer* buffer = nullptr;
  bool configured = false;
  bool closed = false;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* c = static_cast<Client*>(data);
  if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
    c->compositor =
        static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
  } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
    c->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
    c->wmBase =
        static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
  }
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

void OnPing(void*, xdg_wm_base* base, uint32_t serial) {
  xdg_wm_base_pong(base, serial);
}

void OnSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
  auto* c = static_cast<Client*>(data);
  xdg_surface_ack_configure(surface, serial);
  wl_surface_attach(c->surface, c->buffer, 0, 0);
  wl_surface_damage(c->surface, 0, 0, kWidth, kHeight);
  wl_surface_commit(c->surface);
  c->configured = true;
}

void OnToplevelConfigure(void*, xdg_toplevel*, int32_t, int32_t, wl_array*) {}

void OnToplevelClose(void* data, xdg_toplevel*) {
  static_cast<Client*>(data)->closed = true;
}

wl_buffer* GreyBuffer(wl_shm* shm) {
  const int stride = kWidth * 4;
  const int size = stride * kHeight;
  const int fd = memfd_create("wayland_window_probe", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, size) != 0) return nullptr;
  void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (pixels == MAP_FAILED) return nullptr;
  std::memset(pixels, 0x80, size);
  munmap(pixels, size);
  wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
  wl_buffer* buffer =
      wl_shm_pool_create_buffer(pool, 0, kWidth, kHeight, stride, WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  return buffer;
}

}  // namespace

int main(int argc, char** argv) {
  std::string title = "Wayland window probe";
  std::string appId = "wayland_window_probe";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--title=", 0) == 0) title = a.substr(8);
    if (a.rfind("--app-id=", 0) == 0) appId = a.substr(9);
  }
  signal(SIGTERM, Stop);
  signal(SIGINT, Stop);

  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "wayland_window_probe: no Wayland display\n");
    return 1;
  }
  Client c;
  static const wl_registry_listener registryListener = {OnGlobal, OnGlobalRemove};
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registryListener, &c);
  wl_display_roundtrip(display);
  if (!c.compositor || !c.shm || !c.wmBase) {
    std::fprintf(stderr, "wayland_window_probe: the compositor lacks xdg-shell or shm\n");
    return 1;
  }
  static const xdg_wm_base_listener baseListener = {OnPing};
  xdg_wm_base_add_listener(c.wmBase, &baseListener, &c);
  c.buffer = GreyBuffer(c.shm);
  if (c.buffer == nullptr) {
    std::fprintf(stderr, "wayland_window_probe: no shared memory\n");
    return 1;
  }
  c.surface = wl_compositor_create_surface(c.compositor);
  xdg_surface* surface = xdg_wm_base_get_xdg_surface(c.wmBase, c.surface);
  static const xdg_surface_listener surfaceListener = {OnSurfaceConfigure};
  xdg_surface_add_listener(surface, &surfaceListener, &c);
  xdg_toplevel* toplevel = xdg_surface_get_toplevel(surface);
  // Bound at version 1: the events of later versions never come.
  static const xdg_toplevel_listener toplevelListener = {OnToplevelConfigure, OnToplevelClose,
                                                         nullptr, nullptr};
  xdg_toplevel_add_listener(toplevel, &toplevelListener, &c);
  xdg_toplevel_set_title(toplevel, title.c_str());
  xdg_toplevel_set_app_id(toplevel, appId.c_str());
  wl_surface_commit(c.surface);

  bool announced = false;
  while (!stopRequested && !c.closed) {
    if (c.configured && !announced) {
      wl_display_roundtrip(display);
      std::printf("ready\n");
      std::fflush(stdout);
      announced = true;
    }
    while (wl_display_prepare_read(display) != 0) wl_display_dispatch_pending(display);
    wl_display_flush(display);
    pollfd fd{wl_display_get_fd(display), POLLIN, 0};
    const int ready = poll(&fd, 1, 200);
    if (ready > 0) {
      if (wl_display_read_events(display) < 0) break;
    } else {
      wl_display_cancel_read(display);
      if (ready < 0 && errno != EINTR) break;
    }
    if (wl_display_dispatch_pending(display) < 0) break;
  }
  xdg_toplevel_destroy(toplevel);
  xdg_surface_destroy(surface);
  wl_surface_destroy(c.surface);
  wl_buffer_destroy(c.buffer);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
