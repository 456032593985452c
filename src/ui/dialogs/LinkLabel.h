#pragma once

#include <QLabel>
#include <string>

#include "ui/UiText.h"

namespace brevanto {

// A blue, underlined label with a hand cursor that opens a page of the
// product's site when clicked.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  LinkLabel(const QString& text, std::string path, PageOpener opener, QWidget* parent = nullptr);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::string path_;
  PageOpener opener_;
};

}  // namespace brevanto
