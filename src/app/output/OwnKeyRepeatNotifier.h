#pragma once

#include <QSocketNotifier>
#include <memory>

#include "platform/linux/output/OwnKeyRepeat.h"

namespace brevanto {

// Keeps the own keyboards' key repeat off on the Qt event loop: keyboards
// the X server takes in later, and changes others make, are handled as they
// come.
class OwnKeyRepeatNotifier {
 public:
  explicit OwnKeyRepeatNotifier(std::unique_ptr<OwnKeyRepeat> repeat);
  OwnKeyRepeatNotifier(const OwnKeyRepeatNotifier&) = delete;
  OwnKeyRepeatNotifier& operator=(const OwnKeyRepeatNotifier&) = delete;
  ~OwnKeyRepeatNotifier();

 private:
  std::unique_ptr<OwnKeyRepeat> repeat_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace brevanto
