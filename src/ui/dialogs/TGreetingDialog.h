#pragma once

#include <QDialog>

#include "ui/UiText.h"

class QLabel;
class QPushButton;

namespace brevanto {

class LinkLabel;

// The welcome shown on the first activation after a first start, pointing to
// the page that explains the basic use.
class TGreetingDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TGreetingDialog(PageOpener openPage, QWidget* parent = nullptr);

  LinkLabel* LabelURL;
  QLabel* LabelNote;
  QPushButton* btnClose;
};

}  // namespace brevanto
