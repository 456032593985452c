#include "platform/linux/sdl/SdlEventPump.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <utility>

#include "platform/linux/sdl/SdlContext.h"

namespace brevanto {

namespace {

// SDL hands every event it queues to its watchers at once, on the thread
// that queued it.
int SDLCALL WatchDevices(void* pump, SDL_Event* event) {
  if (event->type == SDL_JOYDEVICEADDED || event->type == SDL_JOYDEVICEREMOVED) {
    static_cast<SdlEventPump*>(pump)->DeviceChanged();
  }
  return 0;
}

}  // namespace

SdlEventPump::SdlEventPump(SdlContext& context, std::function<void()> onDeviceChange)
    : context_(context), onDeviceChange_(std::move(onDeviceChange)) {}

SdlEventPump::~SdlEventPump() {
  if (watching_ && SDL_WasInit(SDL_INIT_JOYSTICK)) SDL_DelEventWatch(WatchDevices, this);
}

void SdlEventPump::DeviceChanged() {
  if (onDeviceChange_) onDeviceChange_();
}

void SdlEventPump::AddFeeder(Feeder* feeder) {
  SdlLock lock;
  feeders_.push_back(feeder);
}

void SdlEventPump::RemoveFeeder(Feeder* feeder) {
  SdlLock lock;
  feeders_.erase(std::remove(feeders_.begin(), feeders_.end(), feeder), feeders_.end());
}

bool SdlEventPump::Pump() {
  if (!context_.Initialized()) return false;
  // A controller attached within this process (a virtual one) is queued at
  // once, without a pump; the watch passes that on, so that an idle program
  // need not pump to notice it.
  if (!watching_) {
    SDL_AddEventWatch(WatchDevices, this);
    watching_ = true;
  }
  bool changed = false;
  {
    SdlLock lock;
    for (Feeder* feeder : feeders_) feeder->BeforePump();
    SDL_PumpEvents();
    std::array<SDL_Event, 16> events;
    while (SDL_PeepEvents(events.data(), static_cast<int>(events.size()), SDL_GETEVENT,
                          SDL_JOYDEVICEADDED, SDL_JOYDEVICEREMOVED) > 0) {
      changed = true;
    }
    // Whatever else arrived (controller-level duplicates of the same changes)
    // is not needed.
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  if (changed && onDeviceChange_) onDeviceChange_();
  return changed;
}

}  // namespace brevanto
