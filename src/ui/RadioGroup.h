#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace brevanto {

// A captioned group of radio buttons, one per item, whose choice is an item
// index: a setting stored as a number picks its button by that number.
class RadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  // The items fill the columns from top to bottom, left to right.
  RadioGroup(const QString& caption, const QStringList& items, int columns = 1,
             QWidget* parent = nullptr);

  // The checked item, -1 when none is.
  int ItemIndex() const;
  // An index outside the items unchecks them all.
  void SetItemIndex(int index);
  int Count() const;
  QRadioButton* Button(int index) const;

 private:
  QButtonGroup* buttons_;
};

}  // namespace brevanto
