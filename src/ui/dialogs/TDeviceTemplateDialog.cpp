#include "ui/dialogs/TDeviceTemplateDialog.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/device/DeviceTemplateManager.h"
#include "ui/UiText.h"
#include "ui/WidgetNames.h"
#include "ui/dialogs/TInputNameDialog.h"

namespace brevanto {
namespace {

const char* const kNoLabel = "Button";
const char* const kNamePrompt = "このテンプレートの名前を入力してください";

}  // namespace

TDeviceTemplateDialog::TDeviceTemplateDialog(DeviceTemplateManager& templates,
                                             const std::string& templateId, QWidget* parent)
    : QDialog(parent), templates_(templates) {
  setObjectName(QStringLiteral("TDeviceTemplateDialog"));
  setWindowTitle(QStringLiteral("ボタン表示テンプレートの設定"));

  cbTemplates = Named(new QComboBox(this), "cbTemplates");
  cbTemplates->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  auto* choose = new QLabel(QStringLiteral("テンプレートを選択"), this);
  choose->setBuddy(cbTemplates);
  cbTemplates->setAccessibleName(choose->text());
  lvButtonLabels = Named(new QTreeWidget(this), "lvButtonLabels");
  lvButtonLabels->setColumnCount(2);
  lvButtonLabels->setHeaderLabels({QStringLiteral("ボタン"), QStringLiteral("表示名")});
  lvButtonLabels->setAccessibleName(QStringLiteral("ボタン表示名"));
  lvButtonLabels->setRootIsDecorated(false);
  lvButtonLabels->setUniformRowHeights(true);
  lvButtonLabels->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvButtonLabels->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvButtonLabels->setColumnWidth(0, 60);
  lvButtonLabels->setMinimumSize(280, 360);
  QList<QTreeWidgetItem*> rows;
  for (int k = 0; k < kRows; ++k) {
    rows.append(new QTreeWidgetItem({QStringLiteral("[%1]").arg(k + 1), QString()}));
  }
  lvButtonLabels->addTopLevelItems(rows);
  lvButtonLabels->viewport()->installEventFilter(this);

  ListViewCellEditor = Named(new QLineEdit(lvButtonLabels->viewport()), "ListViewCellEditor");
  ListViewCellEditor->setAccessibleName(QStringLiteral("表示名"));
  ListViewCellEditor->hide();
  ListViewCellEditor->installEventFilter(this);

  btnEditTemplateName =
      Named(new QPushButton(QStringLiteral("テンプレート名を編集"), this), "btnEditTemplateName");
  btnCreateNewTemplate = Named(new QPushButton(QStringLiteral("テンプレートを新規作成"), this),
                               "btnCreateNewTemplate");
  btnOk = Named(new QPushButton(QStringLiteral("OK"), this), "btnOk");
  btnOk->setAutoDefault(false);

  auto* top = new QHBoxLayout;
  top->addWidget(choose);
  top->addWidget(cbTemplates, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnEditTemplateName);
  buttons->addWidget(btnCreateNewTemplate);
  buttons->addStretch();
  buttons->addWidget(btnOk);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(lvButtonLabels, 1);
  layout->addLayout(buttons);

  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnEditTemplateName, &QPushButton::clicked, this,
          &TDeviceTemplateDialog::btnEditTemplateNameClick);
  connect(btnCreateNewTemplate, &QPushButton::clicked, this,
          &TDeviceTemplateDialog::btnCreateNewTemplateClick);
  connect(cbTemplates, &QComboBox::currentIndexChanged, this,
          &TDeviceTemplateDialog::TemplateChosen);

  TDeviceTemplate* initial = templateId.empty() ? nullptr : templates_.Find(templateId);
  if (!initial) initial = templates_.Find("DEFAULT");
  ShowTemplate(initial);
  FillTemplates();
}

std::string TDeviceTemplateDialog::Choose(DeviceTemplateManager& templates,
                                          const std::string& templateId, QWidget* parent) {
  TDeviceTemplateDialog dialog(templates, templateId, parent);
  dialog.exec();
  return dialog.ResultId();
}

QString TDeviceTemplateDialog::RowLabel(int row) const {
  const QTreeWidgetItem* item = lvButtonLabels->topLevelItem(row);
  return item ? item->text(1) : QString();
}

void TDeviceTemplateDialog::FillTemplates() {
  const QSignalBlocker block(cbTemplates);
  cbTemplates->clear();
  for (const auto& [id, name] : templates_.IdsAndNames()) {
    cbTemplates->addItem(ToQ(name), ToQ(id));
    if (current_ && id == current_->Id()) cbTemplates->setCurrentIndex(cbTemplates->count() - 1);
  }
}

void TDeviceTemplateDialog::TemplateChosen(int index) {
  if (index < 0) return;
  if (TDeviceTemplate* chosen = templates_.Find(FromQ(cbTemplates->itemData(index).toString()))) {
    ShowTemplate(chosen);
  }
}

void TDeviceTemplateDialog::ShowTemplate(TDeviceTemplate* deviceTemplate) {
  StoreEditor();
  EndEditing();
  StoreRows();
  current_ = deviceTemplate;
  rowsEdited_ = false;
  const std::vector<std::string> none;
  const std::vector<std::string>& labels = current_ ? current_->Labels() : none;
  for (int k = 0; k < kRows; ++k) {
    const auto index = static_cast<std::size_t>(k);
    lvButtonLabels->topLevelItem(k)->setText(
        1, index < labels.size() ? ToQ(labels[index]) : QString::fromLatin1(kNoLabel));
  }
}

void TDeviceTemplateDialog::StartEditing(int row) {
  if (row < 0 || row >= kRows) return;
  StoreEditor();
  QTreeWidgetItem* item = lvButtonLabels->topLevelItem(row);
  lvButtonLabels->scrollToItem(item);
  lvButtonLabels->setCurrentItem(item);
  QRect cell = lvButtonLabels->visualItemRect(item);
  cell.setLeft(lvButtonLabels->header()->sectionViewportPosition(1));
  cell.setWidth(lvButtonLabels->header()->sectionSize(1));
  editingRow_ = row;
  ListViewCellEditor->setGeometry(cell);
  ListViewCellEditor->setText(item->text(1));
  ListViewCellEditor->show();
  ListViewCellEditor->setFocus();
  ListViewCellEditor->selectAll();
}

void TDeviceTemplateDialog::StoreEditor() {
  if (editingRow_ < 0) return;
  QTreeWidgetItem* item = lvButtonLabels->topLevelItem(editingRow_);
  const QString text = ListViewCellEditor->text();
  if (item->text(1) == text) return;
  item->setText(1, text);
  rowsEdited_ = true;
  MarkModified();
}

void TDeviceTemplateDialog::EndEditing() {
  // Hiding the focused editor moves the focus, which comes back here.
  editingRow_ = -1;
  ListViewCellEditor->hide();
}

void TDeviceTemplateDialog::StoreRows() {
  if (!current_ || !rowsEdited_) return;
  int last = -1;
  for (int k = 0; k < kRows; ++k) {
    const QString label = RowLabel(k);
    if (!label.isEmpty() && label != QLatin1String(kNoLabel)) last = k;
  }
  if (last < 0) return;
  std::vector<std::string>& labels = current_->MutableLabels();
  labels.clear();
  for (int k = 0; k <= last; ++k) labels.push_back(FromQ(RowLabel(k)));
  rowsEdited_ = false;
}

void TDeviceTemplateDialog::MarkModified() {
  modified_ = true;
  templates_.MarkModified();
}

bool TDeviceTemplateDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lvButtonLabels->viewport() && event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex index = lvButtonLabels->indexAt(mouse->position().toPoint());
    if (index.isValid() && index.column() == 1) {
      // Editing starts once the list has handled the click that selects the row.
      const int row = index.row();
      QMetaObject::invokeMethod(
          this, [this, row] { StartEditing(row); }, Qt::QueuedConnection);
    } else {
      StoreEditor();
      EndEditing();
    }
    return false;
  }
  if (watched != ListViewCellEditor || editingRow_ < 0) return QDialog::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    int next = -1;
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
      next = std::min(editingRow_ + 1, kRows - 1);
    } else if (key == Qt::Key_Up) {
      next = std::max(editingRow_ - 1, 0);
    }
    if (next >= 0) {
      StoreEditor();
      StartEditing(next);
      return true;
    }
  } else if (event->type() == QEvent::FocusOut) {
    StoreEditor();
    EndEditing();
  }
  return QDialog::eventFilter(watched, event);
}

void TDeviceTemplateDialog::btnEditTemplateNameClick() {
  if (!current_) return;
  const std::string name =
      TInputNameDialog::Ask(this, "テンプレート名を編集", kNamePrompt, current_->Name());
  if (name.empty() || name == current_->Name()) return;
  current_->SetName(name);
  MarkModified();
  FillTemplates();
}

void TDeviceTemplateDialog::btnCreateNewTemplateClick() {
  if (!current_) return;
  // The copy starts from what the rows show, edits included.
  StoreEditor();
  EndEditing();
  StoreRows();
  const std::string name = TInputNameDialog::Ask(this, "テンプレートを新規作成", kNamePrompt,
                                                 current_->Name() + " (copy)");
  if (name.empty()) return;
  std::unique_ptr<TDeviceTemplate> copy = templates_.Copy(*current_);
  copy->SetName(name);
  TDeviceTemplate* added = templates_.Add(std::move(copy));
  MarkModified();
  ShowTemplate(added);
  FillTemplates();
}

void TDeviceTemplateDialog::done(int result) {
  if (!closed_) {
    closed_ = true;
    StoreEditor();
    EndEditing();
    if (current_) resultId_ = current_->Id();
    if (modified_) {
      StoreRows();
      templates_.Save();
    }
  }
  QDialog::done(result);
}

}  // namespace brevanto
