#pragma once

#include <QDialog>

#include "ui/UiText.h"

class QLabel;
class QPushButton;

namespace brevanto {

class LinkLabel;

// The product's name, its version and a link to its web site.
class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(PageOpener openPage, QWidget* parent = nullptr);

  QLabel* ProductName;
  QLabel* Version;
  LinkLabel* LinkSite;
  QPushButton* OKButton;
};

}  // namespace brevanto
