#include "ui/dialogs/TAboutBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings/AppInfo.h"
#include "ui/dialogs/LinkLabel.h"

namespace brevanto {

TAboutBox::TAboutBox(PageOpener openPage, QWidget* parent)
    : QDialog(parent),
      ProductName(new QLabel(QString::fromLatin1(AppInfo::kProductName), this)),
      Version(new QLabel(QStringLiteral("Version " BREVANTO_VERSION), this)),
      LinkSite(
          new LinkLabel(ToQ(AppInfo::WebPageAddress("/ja/")), "/ja/", std::move(openPage), this)),
      OKButton(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("TAboutBox"));
  setWindowTitle(QStringLiteral("About"));
  ProductName->setObjectName(QStringLiteral("ProductName"));
  Version->setObjectName(QStringLiteral("Version"));
  LinkSite->setObjectName(QStringLiteral("LinkSite"));
  OKButton->setObjectName(QStringLiteral("OKButton"));
  QFont big = ProductName->font();
  big.setPixelSize(24);
  big.setBold(true);
  ProductName->setFont(big);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ProductName);
  layout->addWidget(Version);
  layout->addWidget(LinkSite);
  layout->addSpacing(12);
  layout->addLayout(buttons);
  setMinimumWidth(320);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace brevanto
