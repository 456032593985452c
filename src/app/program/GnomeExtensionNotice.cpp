#include "app/program/GnomeExtensionNotice.h"

#include <QMessageBox>
#include <QString>

#include "core/settings/AppInfo.h"

namespace brevanto {

std::string GnomeExtensionNoticeText(GnomeExtensionState state) {
  const std::string uuid = GnomeFocusExtension::kUuid;
  const std::string head = "GNOME Shell の拡張機能 " + uuid +
                           " が動いていないため、"
                           "アプリケーションリンクは X11 のウィンドウにしか働きません。\n\n";
  const std::string enable = "gnome-extensions enable " + uuid;
  switch (state) {
    case GnomeExtensionState::Active:
    case GnomeExtensionState::Unknown:
      return {};
    case GnomeExtensionState::Missing:
      return head +
             "Brevanto をインストールし (make install または Debian パッケージ)、"
             "ログインし直してから、次のコマンドで拡張機能を有効にして Brevanto "
             "を起動し直してください。\n\n" +
             enable;
    case GnomeExtensionState::Disabled:
      return head +
             "次のコマンドで (または「拡張機能」アプリで) 拡張機能を有効にして、"
             "Brevanto を起動し直してください。\n\n" +
             enable;
    case GnomeExtensionState::Failed:
      return head +
             "拡張機能の起動に失敗しました。理由は GNOME Shell のログ (journalctl -b) "
             "にあります。";
    case GnomeExtensionState::OutOfDate:
      return head + "この拡張機能はお使いの GNOME Shell のバージョンに対応していません。";
  }
  return {};
}

void ShowGnomeExtensionNotice(QWidget* window, GnomeExtensionState state) {
  const std::string text = GnomeExtensionNoticeText(state);
  if (text.empty()) return;
  auto* box = new QMessageBox(QMessageBox::Information, QString::fromLatin1(AppInfo::kProductName),
                              QString::fromStdString(text), QMessageBox::Ok, window);
  box->setObjectName(QStringLiteral("GnomeExtensionNotice"));
  box->setTextInteractionFlags(Qt::TextSelectableByMouse);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

}  // namespace brevanto
