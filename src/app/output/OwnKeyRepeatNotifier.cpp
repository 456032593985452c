#include "app/output/OwnKeyRepeatNotifier.h"

namespace brevanto {

OwnKeyRepeatNotifier::OwnKeyRepeatNotifier(std::unique_ptr<OwnKeyRepeat> repeat)
    : repeat_(std::move(repeat)) {
  notifier_ = std::make_unique<QSocketNotifier>(repeat_->Fd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this] { repeat_->HandleEvents(); });
  // What came in while the keyboards were first looked at is already read.
  repeat_->HandleEvents();
}

OwnKeyRepeatNotifier::~OwnKeyRepeatNotifier() {
  notifier_.reset();
}

}  // namespace brevanto
