#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/ports/WindowTracker.h"

struct wl_display;
struct wl_registry;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;
struct wl_output;
struct wl_array;

namespace brevanto {

// The compositor's list of top-level windows through the wlroots
// foreign-toplevel protocol. Each window gets an id of its own that stays
// while the window lives and is not given again. Not thread-safe: one thread
// reads the connection and uses the list.
class ForeignToplevelList {
 public:
  struct Toplevel {
    WindowId id = kNoWindow;
    std::string title;
    std::string appId;
    bool activated = false;
  };

  // Nothing when there is no Wayland display (displayName nullptr:
  // $WAYLAND_DISPLAY) or the compositor does not offer the protocol. The
  // windows open now are read before it returns.
  static std::unique_ptr<ForeignToplevelList> Connect(const char* displayName = nullptr);
  ~ForeignToplevelList();
  ForeignToplevelList(const ForeignToplevelList&) = delete;
  ForeignToplevelList& operator=(const ForeignToplevelList&) = delete;

  // Reading the connection without blocking: BeginRead before waiting on
  // Fd(), EndRead after (readable: the wait saw data). False when the
  // connection is gone.
  int Fd() const;
  bool BeginRead();
  bool EndRead(bool readable);

  // The windows as of their last complete update, in the order they opened.
  std::vector<Toplevel> Toplevels() const;
  // Whether a window changed, opened or closed since the last call.
  bool TakeChanged();

 private:
  struct Entry;
  ForeignToplevelList() = default;
  static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
  static void OnGlobalRemove(void* data, wl_registry* registry, uint32_t name);
  static void OnToplevel(void* data, zwlr_foreign_toplevel_manager_v1* manager,
                         zwlr_foreign_toplevel_handle_v1* handle);
  static void OnFinished(void* data, zwlr_foreign_toplevel_manager_v1* manager);
  static void OnTitle(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* title);
  static void OnAppId(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* appId);
  static void OnOutput(void* data, zwlr_foreign_toplevel_handle_v1* handle, wl_output*);
  static void OnState(void* data, zwlr_foreign_toplevel_handle_v1* handle, wl_array* state);
  static void OnDone(void* data, zwlr_foreign_toplevel_handle_v1* handle);
  static void OnClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle);
  WindowId NextId();
  void Remove(Entry* entry);

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
  std::vector<std::unique_ptr<Entry>> entries_;
  WindowId lastId_ = kNoWindow;
  bool changed_ = false;
};

}  // namespace brevanto
