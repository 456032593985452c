#include "ui/dialogs/TAppLinkDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/applink/AppLinkManager.h"
#include "core/text/NameCollation.h"
#include "ui/MainFormHost.h"
#include "ui/UiText.h"
#include "ui/dialogs/TAppLinkItemDialog.h"

namespace brevanto {
namespace {

QPushButton* NamedButton(QWidget* parent, const QString& caption, const char* name) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

QRadioButton* NamedRadio(QWidget* parent, const QString& caption, const char* name) {
  auto* radio = new QRadioButton(caption, parent);
  radio->setObjectName(QString::fromLatin1(name));
  return radio;
}

}  // namespace

TAppLinkDialog::TAppLinkDialog(AppLinkManager& links, MainFormHost& host, QWidget* parent)
    : QDialog(parent),
      LVAppLink(new QTreeWidget(this)),
      btnEdit(NamedButton(this, QStringLiteral("編集"), "btnEdit")),
      btnAdd(NamedButton(this, QStringLiteral("追加"), "btnAdd")),
      btnDelete(NamedButton(this, QStringLiteral("削除"), "btnDelete")),
      gbNoLink(new QGroupBox(
          QStringLiteral("関連付けされていないアプリケーションに移った場合の動作"), this)),
      rbUseLastSelected(NamedRadio(
          gbNoLink, QStringLiteral("関連付けで切り替わる前に選んでいた設定ファイルに戻す"),
          "rbUseLastSelected")),
      rbNoAction(NamedRadio(gbNoLink, QStringLiteral("特に何もしない（設定ファイルはそのまま）"),
                            "rbNoAction")),
      rbUseDefaultConfig(NamedRadio(gbNoLink, QStringLiteral("デフォルトの設定ファイルを指定"),
                                    "rbUseDefaultConfig")),
      cbDefaultConfig(new QComboBox(gbNoLink)),
      btnOK(NamedButton(this, QStringLiteral("OK"), "btnOK")),
      btnCancel(NamedButton(this, QStringLiteral("Cancel"), "btnCancel")),
      links_(links),
      host_(host),
      profileNames_(host.ProfileNames()) {
  setObjectName(QStringLiteral("TAppLinkDialog"));
  setWindowTitle(QStringLiteral("アプリケーションとの関連付け"));
  gbNoLink->setObjectName(QStringLiteral("gbNoLink"));
  cbDefaultConfig->setObjectName(QStringLiteral("cbDefaultConfig"));
  cbDefaultConfig->setAccessibleName(QStringLiteral("デフォルトの設定ファイル"));
  LVAppLink->setObjectName(QStringLiteral("LVAppLink"));
  LVAppLink->setAccessibleName(windowTitle());
  LVAppLink->setRootIsDecorated(false);
  LVAppLink->setUniformRowHeights(true);
  LVAppLink->setSelectionBehavior(QAbstractItemView::SelectRows);
  LVAppLink->setSelectionMode(QAbstractItemView::SingleSelection);
  LVAppLink->setHeaderLabels(
      {QStringLiteral("アプリケーションの名前"), QStringLiteral("関連付ける設定ファイル"),
       QStringLiteral("アプリケーションの Path"), QStringLiteral("Window の Title")});
  LVAppLink->header()->setStretchLastSection(false);
  const int widths[] = {140, 140, 200, 200};
  for (int column = 0; column < 4; ++column) LVAppLink->setColumnWidth(column, widths[column]);

  for (const AppLink& link : links_.Links()) ShowLink(new QTreeWidgetItem(LVAppLink), link);

  switch (links_.GetPolicy()) {
    case AppLinkManager::kDoNothing:
      rbNoAction->setChecked(true);
      break;
    case AppLinkManager::kDefaultProfile:
      rbUseDefaultConfig->setChecked(true);
      break;
    default:
      rbUseLastSelected->setChecked(true);
      break;
  }
  cbDefaultConfig->addItem(QString());
  const NameCollation& names = NameCollation::User();
  int selected = 0;
  for (const std::string& name : profileNames_) {
    cbDefaultConfig->addItem(ToQ(name));
    if (selected == 0 && !links_.DefaultProfile().empty() &&
        names.Equal(name, links_.DefaultProfile())) {
      selected = cbDefaultConfig->count() - 1;
    }
  }
  cbDefaultConfig->setCurrentIndex(selected);

  auto* group = new QVBoxLayout(gbNoLink);
  group->addWidget(rbUseLastSelected);
  group->addWidget(rbNoAction);
  auto* defaultRow = new QHBoxLayout;
  defaultRow->addWidget(rbUseDefaultConfig);
  defaultRow->addWidget(cbDefaultConfig, 1);
  group->addLayout(defaultRow);
  auto* rowButtons = new QHBoxLayout;
  rowButtons->addWidget(btnEdit);
  rowButtons->addWidget(btnAdd);
  rowButtons->addWidget(btnDelete);
  rowButtons->addStretch();
  auto* closeButtons = new QHBoxLayout;
  closeButtons->addStretch();
  closeButtons->addWidget(btnOK);
  closeButtons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LVAppLink, 1);
  layout->addLayout(rowButtons);
  layout->addWidget(gbNoLink);
  layout->addLayout(closeButtons);
  resize(740, 480);

  connect(LVAppLink, &QTreeWidget::itemDoubleClicked, this, &TAppLinkDialog::btnEditClick);
  connect(btnEdit, &QPushButton::clicked, this, &TAppLinkDialog::btnEditClick);
  connect(btnAdd, &QPushButton::clicked, this, &TAppLinkDialog::btnAddClick);
  connect(btnDelete, &QPushButton::clicked, this, &TAppLinkDialog::btnDeleteClick);
  connect(btnOK, &QPushButton::clicked, this, &TAppLinkDialog::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

AppLink TAppLinkDialog::RowLink(int row) const {
  const QTreeWidgetItem* item = LVAppLink->topLevelItem(row);
  if (!item) return {};
  return AppLink{FromQ(item->text(0)), FromQ(item->text(1)), FromQ(item->text(2)),
                 FromQ(item->text(3))};
}

QTreeWidgetItem* TAppLinkDialog::SelectedRow() const {
  QTreeWidgetItem* item = LVAppLink->currentItem();
  return item && item->isSelected() ? item : nullptr;
}

void TAppLinkDialog::ShowLink(QTreeWidgetItem* row, const AppLink& link) {
  row->setText(0, ToQ(link.AppName));
  row->setText(1, ToQ(link.Profile));
  row->setText(2, ToQ(link.Path));
  row->setText(3, ToQ(link.Title));
}

bool TAppLinkDialog::EditLink(AppLink& link) {
  TAppLinkItemDialog item(profileNames_, host_.ForegroundTracker(), this);
  item.SetLink(link);
  if (item.exec() != QDialog::Accepted) return false;
  link = item.Link();
  return true;
}

void TAppLinkDialog::btnEditClick() {
  QTreeWidgetItem* row = SelectedRow();
  if (!row) return;
  AppLink link = RowLink(LVAppLink->indexOfTopLevelItem(row));
  if (EditLink(link)) ShowLink(row, link);
}

void TAppLinkDialog::btnAddClick() {
  AppLink link;
  if (EditLink(link)) ShowLink(new QTreeWidgetItem(LVAppLink), link);
}

void TAppLinkDialog::btnDeleteClick() {
  QTreeWidgetItem* row = SelectedRow();
  if (!row) return;
  const QString question =
      QStringLiteral("\"%1\" への関連付けを削除してもよろしいですか？").arg(row->text(0));
  if (QMessageBox::warning(this, QStringLiteral("Warning"), question,
                           QMessageBox::Yes | QMessageBox::No) == QMessageBox::No) {
    return;
  }
  delete row;
}

void TAppLinkDialog::btnOKClick() {
  std::vector<AppLink> table;
  for (int row = 0; row < LVAppLink->topLevelItemCount(); ++row) table.push_back(RowLink(row));
  int policy = links_.GetPolicy();
  if (rbNoAction->isChecked()) {
    policy = AppLinkManager::kDoNothing;
  } else if (rbUseLastSelected->isChecked()) {
    policy = AppLinkManager::kLastSelected;
  } else if (rbUseDefaultConfig->isChecked()) {
    policy = AppLinkManager::kDefaultProfile;
  }
  // The processing thread matches against the table.
  host_.TimerDisable();
  links_.Replace(std::move(table), policy, FromQ(cbDefaultConfig->currentText()));
  host_.TimerEnable();
  if (!links_.Save()) {
    // The links hold for this run; the user must know they are not kept.
    QMessageBox::critical(
        this, QStringLiteral("Error"),
        QStringLiteral("関連付けを保存できませんでした。\n%1").arg(ToQ(links_.FilePath())));
  }
  accept();
}

}  // namespace brevanto
