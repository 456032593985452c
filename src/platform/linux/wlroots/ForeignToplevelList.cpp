#include "platform/linux/wlroots/ForeignToplevelList.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/log/Logger.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace brevanto {

struct ForeignToplevelList::Entry {
  ForeignToplevelList* list = nullptr;
  zwlr_foreign_toplevel_handle_v1* handle = nullptr;
  Toplevel pending;  // collects the events up to "done"
  Toplevel current;
  bool complete = false;  // a first "done" arrived
};

namespace {

// Version 2 adds only fullscreen requests; the events read here are all in 1.
constexpr uint32_t kManagerVersion = 2;

}  // namespace

std::unique_ptr<ForeignToplevelList> ForeignToplevelList::Connect(const char* displayName) {
  wl_display* display = wl_display_connect(displayName);
  if (display == nullptr) return nullptr;
  std::unique_ptr<ForeignToplevelList> list(new ForeignToplevelList());
  list->display_ = display;
  list->registry_ = wl_display_get_registry(display);
  static const wl_registry_listener listener = {&ForeignToplevelList::OnGlobal,
                                                &ForeignToplevelList::OnGlobalRemove};
  wl_registry_add_listener(list->registry_, &listener, list.get());
  // The globals, then the windows the manager announces with their details.
  if (wl_display_roundtrip(display) < 0 || list->manager_ == nullptr) return nullptr;
  if (wl_display_roundtrip(display) < 0) return nullptr;
  return list;
}

ForeignToplevelList::~ForeignToplevelList() {
  for (const std::unique_ptr<Entry>& entry : entries_) {
    zwlr_foreign_toplevel_handle_v1_destroy(entry->handle);
  }
  if (manager_) zwlr_foreign_toplevel_manager_v1_destroy(manager_);
  if (registry_) wl_registry_destroy(registry_);
  if (display_) wl_display_disconnect(display_);
}

void ForeignToplevelList::OnGlobal(void* data, wl_registry* registry, uint32_t name,
                                   const char* interface, uint32_t version) {
  auto* list = static_cast<ForeignToplevelList*>(data);
  if (list->manager_ != nullptr ||
      std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) != 0) {
    return;
  }
  list->manager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(
      wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface,
                       std::min(version, kManagerVersion)));
  static const zwlr_foreign_toplevel_manager_v1_listener listener = {
      &ForeignToplevelList::OnToplevel, &ForeignToplevelList::OnFinished};
  zwlr_foreign_toplevel_manager_v1_add_listener(list->manager_, &listener, list);
}

void ForeignToplevelList::OnGlobalRemove(void*, wl_registry*, uint32_t) {}

void ForeignToplevelList::OnToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                                     zwlr_foreign_toplevel_handle_v1* handle) {
  auto* list = static_cast<ForeignToplevelList*>(data);
  auto entry = std::make_unique<Entry>();
  entry->list = list;
  entry->handle = handle;
  entry->pending.id = list->NextId();
  static const zwlr_foreign_toplevel_handle_v1_listener listener = {
      &ForeignToplevelList::OnTitle,  &ForeignToplevelList::OnAppId, &ForeignToplevelList::OnOutput,
      &ForeignToplevelList::OnOutput, &ForeignToplevelList::OnState, &ForeignToplevelList::OnDone,
      &ForeignToplevelList::OnClosed};
  zwlr_foreign_toplevel_handle_v1_add_listener(handle, &listener, entry.get());
  list->entries_.push_back(std::move(entry));
}

void ForeignToplevelList::OnFinished(void* data, zwlr_foreign_toplevel_manager_v1*) {
  auto* list = static_cast<ForeignToplevelList*>(data);
  LOG_ERROR("Window tracking: the compositor stopped reporting its windows");
  zwlr_foreign_toplevel_manager_v1_destroy(list->manager_);
  list->manager_ = nullptr;
}

void ForeignToplevelList::OnTitle(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title) {
  static_cast<Entry*>(data)->pending.title = title ? title : "";
}

void ForeignToplevelList::OnAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
  static_cast<Entry*>(data)->pending.appId = appId ? appId : "";
}

void ForeignToplevelList::OnOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}

void ForeignToplevelList::OnState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* state) {
  bool activated = false;
  const auto* states = static_cast<const uint32_t*>(state->data);
  for (std::size_t i = 0; i < state->size / sizeof(uint32_t); ++i) {
    if (states[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) activated = true;
  }
  static_cast<Entry*>(data)->pending.activated = activated;
}

void ForeignToplevelList::OnDone(void* data, zwlr_foreign_toplevel_handle_v1*) {
  auto* entry = static_cast<Entry*>(data);
  entry->current = entry->pending;
  entry->complete = true;
  entry->list->changed_ = true;
}

void ForeignToplevelList::OnClosed(void* data, zwlr_foreign_toplevel_handle_v1*) {
  auto* entry = static_cast<Entry*>(data);
  entry->list->Remove(entry);
}

void ForeignToplevelList::Remove(Entry* entry) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [entry](const auto& e) { return e.get() == entry; });
  if (found == entries_.end()) return;
  zwlr_foreign_toplevel_handle_v1_destroy(entry->handle);
  entries_.erase(found);
  changed_ = true;
}

WindowId ForeignToplevelList::NextId() {
  // Ids run up and skip the one that means no window; four billion windows
  // later they start again.
  if (++lastId_ == kNoWindow) ++lastId_;
  return lastId_;
}

int ForeignToplevelList::Fd() const {
  return wl_display_get_fd(display_);
}

bool ForeignToplevelList::BeginRead() {
  while (wl_display_prepare_read(display_) != 0) {
    if (wl_display_dispatch_pending(display_) < 0) return false;
  }
  // A full socket buffer (EAGAIN) is sent on the next round.
  if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
    wl_display_cancel_read(display_);
    return false;
  }
  return true;
}

bool ForeignToplevelList::EndRead(bool readable) {
  if (readable) {
    if (wl_display_read_events(display_) < 0) return false;
  } else {
    wl_display_cancel_read(display_);
  }
  return wl_display_dispatch_pending(display_) >= 0;
}

std::vector<ForeignToplevelList::Toplevel> ForeignToplevelList::Toplevels() const {
  std::vector<Toplevel> toplevels;
  toplevels.reserve(entries_.size());
  for (const std::unique_ptr<Entry>& entry : entries_) {
    if (entry->complete) toplevels.push_back(entry->current);
  }
  return toplevels;
}

bool ForeignToplevelList::TakeChanged() {
  const bool changed = changed_;
  changed_ = false;
  return changed;
}

}  // namespace brevanto
