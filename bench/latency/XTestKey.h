#pragma once

#include <memory>
#include <string>

struct _XDisplay;

namespace brevanto::bench {

// Presses a key through XTest on a connection of the benchmark's own: the
// X server's share of the path, without the program.
class XTestKey {
 public:
  static std::unique_ptr<XTestKey> Open(const std::string& displayName, unsigned keycode);
  ~XTestKey();
  XTestKey(const XTestKey&) = delete;
  XTestKey& operator=(const XTestKey&) = delete;

  // Sent and flushed, as the program sends its keys.
  void Set(bool down);

 private:
  XTestKey(_XDisplay* display, unsigned keycode) : display_(display), keycode_(keycode) {}

  _XDisplay* display_;
  unsigned keycode_;
};

}  // namespace brevanto::bench
