#include "ui/dialogs/TAppLinkItemDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/text/NameCollation.h"
#include "ui/UiText.h"
#include "ui/dialogs/TAppCaptureDialog.h"

namespace brevanto {
namespace {

QLineEdit* NamedEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

}  // namespace

TAppLinkItemDialog::TAppLinkItemDialog(const std::vector<std::string>& profileNames,
                                       WindowTracker* tracker, QWidget* parent)
    : QDialog(parent),
      EditAppName(NamedEdit(this, "EditAppName")),
      EditPath(NamedEdit(this, "EditPath")),
      lblPathNote(new QLabel(this)),
      EditTitle(NamedEdit(this, "EditTitle")),
      CBConfigFile(new QComboBox(this)),
      btnCaptureApp(new QPushButton(QStringLiteral("アプリケーション情報の取得..."), this)),
      btnOK(new QPushButton(QStringLiteral("OK"), this)),
      btnCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      tracker_(tracker) {
  setObjectName(QStringLiteral("TAppLinkItemDialog"));
  setWindowTitle(QStringLiteral("アプリケーションの関連付け"));
  lblPathNote->setObjectName(QStringLiteral("lblPathNote"));
  CBConfigFile->setObjectName(QStringLiteral("CBConfigFile"));
  btnCaptureApp->setObjectName(QStringLiteral("btnCaptureApp"));
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  EditAppName->setToolTip(QStringLiteral("自由なラベル"));
  lblPathNote->setWordWrap(true);
  lblPathNote->setText(
      QStringLiteral("（フルパスである必要はなく、一部マッチするだけで大丈夫です。例えば、Firefox "
                     "を関連付けるのに \"/usr/lib/firefox/firefox\" "
                     "とフル指定してしまうと、その場所にインストールされた Firefox "
                     "のみに限定されてしまうので、単に　\"firefox\" "
                     "と指定するだけの方がより汎用性があります。）"));
  // A name typed that is no profile is kept as typed; OK asks about it.
  CBConfigFile->setEditable(true);
  CBConfigFile->setInsertPolicy(QComboBox::NoInsert);
  CBConfigFile->addItem(QString());
  for (const std::string& name : profileNames) CBConfigFile->addItem(ToQ(name));
  btnOK->setDefault(true);
  btnCaptureApp->setEnabled(tracker_ != nullptr);

  auto* layout = new QVBoxLayout(this);
  auto addField = [&](const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(field);
    layout->addWidget(label);
    layout->addWidget(field);
  };
  addField(QStringLiteral("アプリケーションの名前"), EditAppName);
  addField(QStringLiteral("アプリケーションの Path で関連付ける場合"), EditPath);
  layout->addWidget(lblPathNote);
  addField(QStringLiteral("Window の Title で関連付ける場合"), EditTitle);
  addField(QStringLiteral("関連付ける設定ファイル"), CBConfigFile);
  layout->addSpacing(8);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnCaptureApp);
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  layout->addLayout(buttons);
  // The note wraps: its height depends on the width.
  constexpr int kWidth = 560;
  resize(kWidth,
         layout->hasHeightForWidth() ? layout->totalHeightForWidth(kWidth) : sizeHint().height());

  connect(btnOK, &QPushButton::clicked, this, &TAppLinkItemDialog::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnCaptureApp, &QPushButton::clicked, this, &TAppLinkItemDialog::btnCaptureAppClick);
}

void TAppLinkItemDialog::SetLink(const AppLink& link) {
  EditAppName->setText(ToQ(link.AppName));
  CBConfigFile->setCurrentText(ToQ(link.Profile));
  EditPath->setText(ToQ(link.Path));
  EditTitle->setText(ToQ(link.Title));
}

AppLink TAppLinkItemDialog::Link() const {
  return AppLink{FromQ(EditAppName->text()), FromQ(CBConfigFile->currentText()),
                 FromQ(EditPath->text()), FromQ(EditTitle->text())};
}

bool TAppLinkItemDialog::NamesAProfile() const {
  const std::string text = FromQ(CBConfigFile->currentText());
  if (text.empty()) return false;
  // Profile names compare without regard to case.
  const NameCollation& names = NameCollation::User();
  for (int i = 1; i < CBConfigFile->count(); ++i) {
    if (names.Equal(text, FromQ(CBConfigFile->itemText(i)))) return true;
  }
  return false;
}

void TAppLinkItemDialog::btnOKClick() {
  if (EditAppName->text().isEmpty()) {
    QMessageBox::critical(this, QStringLiteral("Error"),
                          QStringLiteral("アプリケーション名を指定してください"));
    return;
  }
  if (!NamesAProfile() &&
      QMessageBox::warning(
          this, QStringLiteral("Warning"),
          QStringLiteral("関連付ける設定ファイルが空または不正です。関連付けを解除しますか？"),
          QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
    return;
  }
  if (EditPath->text().isEmpty() && EditTitle->text().isEmpty()) {
    QMessageBox::critical(
        this, QStringLiteral("Error"),
        QStringLiteral("アプリケーションの Path、もしくは Window Title を指定してください"));
    return;
  }
  accept();
}

void TAppLinkItemDialog::btnCaptureAppClick() {
  if (!tracker_) return;
  TAppCaptureDialog capture(*tracker_, this);
  capture.exec();
  activateWindow();
  raise();
  if (!capture.Captured()) return;
  EditAppName->setText(ToQ(capture.CapturedTitle()));
  EditTitle->setText(ToQ(capture.CapturedTitle()));
  EditPath->setText(ToQ(capture.CapturedPath()));
}

}  // namespace brevanto
