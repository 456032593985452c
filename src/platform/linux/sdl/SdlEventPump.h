#pragma once

#include <functional>
#include <vector>

namespace brevanto {

class SdlContext;

// Brings SDL's view of the controllers up to date. The processing thread
// calls Pump once per cycle, before it reads any controller: that updates the
// state of every open controller and notices controllers coming and going.
class SdlEventPump {
 public:
  // Something that sets controller states before each update (the scripted
  // virtual controllers).
  class Feeder {
   public:
    virtual ~Feeder() = default;
    virtual void BeforePump() = 0;
  };

  // onDeviceChange runs when controllers were attached or detached, on the
  // pumping thread or, for a virtual controller attached within the process
  // after the first pump, on the thread that attached it; it asks for a
  // re-detection.
  SdlEventPump(SdlContext& context, std::function<void()> onDeviceChange);
  SdlEventPump(const SdlEventPump&) = delete;
  SdlEventPump& operator=(const SdlEventPump&) = delete;
  ~SdlEventPump();

  void AddFeeder(Feeder* feeder);
  void RemoveFeeder(Feeder* feeder);

  // Returns whether controllers came or went since the last call.
  bool Pump();

  // For SDL's event watch.
  void DeviceChanged();

 private:
  SdlContext& context_;
  std::function<void()> onDeviceChange_;
  std::vector<Feeder*> feeders_;
  bool watching_ = false;
};

}  // namespace brevanto
