#include "ui/QtMessageSink.h"

#include <QMetaObject>

namespace brevanto {

bool QtMessageSink::Post(uint32_t message, intptr_t wParam, intptr_t lParam) {
  const PostedMessage posted{message, wParam, lParam};
  return QMetaObject::invokeMethod(
      receiver_, [this, posted] { handler_(posted); }, Qt::QueuedConnection);
}

}  // namespace brevanto
