#include "ui/dialogs/TGreetingDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings/AppInfo.h"
#include "ui/dialogs/LinkLabel.h"

namespace brevanto {

TGreetingDialog::TGreetingDialog(PageOpener openPage, QWidget* parent)
    : QDialog(parent),
      LabelURL(new LinkLabel(ToQ(AppInfo::WebPageAddress("/ja/overview")), "/ja/overview",
                             std::move(openPage), this)),
      LabelNote(new QLabel(this)),
      btnClose(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("TGreetingDialog"));
  setWindowTitle(QStringLiteral("はじめに"));
  LabelURL->setObjectName(QStringLiteral("LabelURL"));
  LabelNote->setObjectName(QStringLiteral("LabelNote"));
  btnClose->setObjectName(QStringLiteral("btnClose"));
  // The settings file lives in the data folder, so that folder is the one
  // that must be writable.
  LabelNote->setText(QStringLiteral(
      "注意 :  このメッセージは初めて起動した際に表示されます。もしもこのメッセージが何度も表示され"
      "る場合には、設定ファイルがうまく保存されていない可能性があります。Brevanto.ini "
      "が置かれている"
      "フォルダが読み取り専用（書き取り禁止）になっていないかご確認ください。"));
  LabelNote->setWordWrap(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("Brevanto をダウンロード、ご利用いただきありがとうございます。"), this));
  layout->addWidget(
      new QLabel(QStringLiteral("基本的な使い方は、以下のリンクをご参照ください。"), this));
  layout->addWidget(LabelURL);
  layout->addSpacing(8);
  layout->addWidget(LabelNote);
  layout->addLayout(buttons);
  setMinimumWidth(480);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace brevanto
