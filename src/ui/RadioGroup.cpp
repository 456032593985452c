#include "ui/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <algorithm>

namespace brevanto {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)) {
  setAccessibleName(caption);
  const int count = static_cast<int>(items.size());
  const int rows = std::max(1, (count + std::max(columns, 1) - 1) / std::max(columns, 1));
  auto* layout = new QGridLayout(this);
  for (int i = 0; i < count; ++i) {
    auto* button = new QRadioButton(items[i], this);
    buttons_->addButton(button, i);
    layout->addWidget(button, i % rows, i / rows);
  }
}

int RadioGroup::ItemIndex() const {
  return buttons_->checkedId();
}

void RadioGroup::SetItemIndex(int index) {
  if (QRadioButton* button = Button(index)) {
    button->setChecked(true);
    return;
  }
  // An exclusive group never lets its last checked button go by itself.
  buttons_->setExclusive(false);
  for (QAbstractButton* b : buttons_->buttons()) b->setChecked(false);
  buttons_->setExclusive(true);
}

int RadioGroup::Count() const {
  return static_cast<int>(buttons_->buttons().size());
}

QRadioButton* RadioGroup::Button(int index) const {
  return qobject_cast<QRadioButton*>(buttons_->button(index));
}

}  // namespace brevanto
