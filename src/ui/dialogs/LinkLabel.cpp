#include "ui/dialogs/LinkLabel.h"

#include <QMouseEvent>

namespace brevanto {

LinkLabel::LinkLabel(const QString& text, std::string path, PageOpener opener, QWidget* parent)
    : QLabel(text, parent), path_(std::move(path)), opener_(std::move(opener)) {
  setCursor(Qt::PointingHandCursor);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  setStyleSheet(QStringLiteral("QLabel { color: blue; }"));
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      opener_) {
    opener_(path_);
  }
  QLabel::mouseReleaseEvent(event);
}

}  // namespace brevanto
