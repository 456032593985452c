#include "ui/dialogs/TButtonAliasDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/engine/KeyNames.h"
#include "core/profile/ConfigFile.h"
#include "ui/UiText.h"

namespace brevanto {
namespace {

constexpr int kButtonRole = Qt::UserRole;

QComboBox* SourceList(QWidget* parent, const char* name, bool withNone) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  if (withNone) combo->addItem(QString());
  for (int i = 0; i < kVirtualButtonCount; ++i) combo->addItem(ToQ(ButtonName(i)));
  return combo;
}

}  // namespace

std::string AliasText(const ButtonAlias& alias) {
  std::string text = ButtonName(alias.a);
  if (alias.b != -1) {
    text += " + " + ButtonName(alias.b);
    if (alias.c != -1) text += " + " + ButtonName(alias.c);
  }
  return text;
}

TButtonAliasDialog::TButtonAliasDialog(ConfigFile& profile, QWidget* parent)
    : QDialog(parent),
      lblExplanation(new QLabel(this)),
      lvButtonAlias(new QTableWidget(0, 2, this)),
      lblSelected(new QGroupBox(this)),
      cbAssignment1(SourceList(this, "cbAssignment1", false)),
      cbAssignment2(SourceList(this, "cbAssignment2", true)),
      cbAssignment3(SourceList(this, "cbAssignment3", true)),
      btnOK(new QPushButton(QStringLiteral("OK"), this)),
      profile_(profile) {
  setObjectName(QStringLiteral("TButtonAliasDialog"));
  setWindowTitle(QStringLiteral("ボタン割り当ての変更"));
  lblExplanation->setObjectName(QStringLiteral("lblExplanation"));
  lblExplanation->setWordWrap(true);
  lblExplanation->setText(QStringLiteral(
      "例えば、ジョイスティックを買い替えた場合にボタン番号を入れ替えることができます。また、使用さ"
      "れていない後半のボタン設定を利用することで、一つのボタンに複数の機能を割り当てたり（例えば "
      "Button1 が押されたら、Button21 "
      "も押されたことにする）、またはボタンの同時押しに対する処理を指"
      "定することもできます（例えば Button3 と Button4 が両方押されたら Button22 が押されたことにす"
      "る）"));
  lvButtonAlias->setObjectName(QStringLiteral("lvButtonAlias"));
  lvButtonAlias->setHorizontalHeaderLabels({QStringLiteral("ボタン"), QStringLiteral("割り当て")});
  lvButtonAlias->verticalHeader()->hide();
  lvButtonAlias->setShowGrid(true);
  lvButtonAlias->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvButtonAlias->setSelectionMode(QAbstractItemView::SingleSelection);
  lvButtonAlias->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvButtonAlias->horizontalHeader()->setStretchLastSection(true);
  lvButtonAlias->setColumnWidth(0, 110);
  lblSelected->setObjectName(QStringLiteral("lblSelected"));
  btnOK->setObjectName(QStringLiteral("btnOK"));

  auto* group = new QVBoxLayout(lblSelected);
  group->addWidget(
      new QLabel(QStringLiteral("下記の入力があったら押されたことにする"), lblSelected));
  group->addWidget(cbAssignment1);
  group->addWidget(new QLabel(QStringLiteral("さらに下記の入力も同時に押された場合のみに限定する"),
                              lblSelected));
  group->addWidget(cbAssignment2);
  group->addWidget(new QLabel(QStringLiteral("さらに下記の入力も同時に押された場合のみに限定する"),
                              lblSelected));
  group->addWidget(cbAssignment3);
  group->addStretch();
  auto* middle = new QHBoxLayout;
  middle->addWidget(lvButtonAlias, 3);
  middle->addWidget(lblSelected, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblExplanation);
  layout->addLayout(middle, 1);
  layout->addLayout(buttons);
  resize(760, 520);

  for (int d = 0; d < 8; ++d) AddRow(PovButton(1, d), ButtonName(PovButton(1, d)));
  const int buttonCount = std::clamp(profile_.NumberOfButtons, 0, kPlainButtonCount);
  for (int b = 1; b <= buttonCount; ++b) AddRow(PlainButton(b), "Button " + std::to_string(b));

  connect(lvButtonAlias, &QTableWidget::itemSelectionChanged, this,
          &TButtonAliasDialog::lvButtonAliasSelectItem);
  // activated: only the user's choices write the table, not the selection's.
  connect(cbAssignment1, &QComboBox::activated, this,
          [this](int index) { cbAssignmentChange(1, index); });
  connect(cbAssignment2, &QComboBox::activated, this,
          [this](int index) { cbAssignmentChange(2, index); });
  connect(cbAssignment3, &QComboBox::activated, this,
          [this](int index) { cbAssignmentChange(3, index); });
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

  lblSelected->setEnabled(false);
  if (lvButtonAlias->rowCount() > 0) lvButtonAlias->selectRow(0);
}

int TButtonAliasDialog::RowButton(int row) const {
  const QTableWidgetItem* item = lvButtonAlias->item(row, 0);
  return item ? item->data(kButtonRole).toInt() : -1;
}

void TButtonAliasDialog::AddRow(int virtualButton, const std::string& caption) {
  const int row = lvButtonAlias->rowCount();
  lvButtonAlias->insertRow(row);
  auto* captionItem = new QTableWidgetItem(ToQ(caption));
  captionItem->setData(kButtonRole, virtualButton);
  lvButtonAlias->setItem(row, 0, captionItem);
  lvButtonAlias->setItem(row, 1, new QTableWidgetItem);
  RefreshRow(row);
}

void TButtonAliasDialog::RefreshRow(int row) {
  const int button = RowButton(row);
  const ButtonAlias& alias = profile_.ButtonAlias[static_cast<std::size_t>(button)];
  // A changed entry stands out in bold, in the theme's normal colours.
  const bool changed = alias != ButtonAlias{button, -1, -1};
  for (int column = 0; column < 2; ++column) {
    QTableWidgetItem* item = lvButtonAlias->item(row, column);
    QFont font = lvButtonAlias->font();
    font.setBold(changed);
    item->setFont(font);
  }
  lvButtonAlias->item(row, 1)->setText(ToQ(AliasText(alias)));
}

void TButtonAliasDialog::lvButtonAliasSelectItem() {
  const int row = lvButtonAlias->currentRow();
  if (row < 0 || lvButtonAlias->selectedItems().isEmpty()) {
    lblSelected->setEnabled(false);
    return;
  }
  lblSelected->setEnabled(true);
  const ButtonAlias& alias = profile_.ButtonAlias[static_cast<std::size_t>(RowButton(row))];
  cbAssignment1->setCurrentIndex(alias.a);
  cbAssignment2->setCurrentIndex(alias.b == -1 ? 0 : alias.b + 1);
  // Source 3 is shown as stored even without a source 2, so the list never
  // shows another row's value.
  cbAssignment3->setCurrentIndex(alias.c == -1 ? 0 : alias.c + 1);
  lblSelected->setTitle(lvButtonAlias->item(row, 0)->text());
}

void TButtonAliasDialog::cbAssignmentChange(int which, int index) {
  const int row = lvButtonAlias->currentRow();
  if (row < 0 || index < 0) return;
  ButtonAlias& alias = profile_.ButtonAlias[static_cast<std::size_t>(RowButton(row))];
  switch (which) {
    case 1:
      alias.a = index;
      break;
    case 2:
      alias.b = index - 1;
      break;
    default:
      alias.c = index - 1;
      break;
  }
  RefreshRow(row);
  profile_.modified = true;
}

}  // namespace brevanto
