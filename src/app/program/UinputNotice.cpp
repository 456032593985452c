#include "app/program/UinputNotice.h"

#include <unistd.h>

#include <QMessageBox>
#include <QString>

#include "core/settings/AppInfo.h"

namespace brevanto {

const char* const kUinputNoticeLog =
    "Keys and mouse go through the X server (XTest) because /dev/uinput is not writable; "
    "install Brevanto (make install or the Debian package) for its udev rule and log in again";

bool UinputNodeNotWritable(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0;
}

bool UinputNoticeWanted(const std::string& path, bool waylandSession) {
  if (waylandSession && ::access(path.c_str(), F_OK) != 0) return true;
  return UinputNodeNotWritable(path);
}

std::string UinputNoticeText() {
  return "/dev/uinput に書き込めないため、キーとマウスの入力は X サーバー (XTest) "
         "を通して送ります。"
         "Wayland のウィンドウには届きません。\n\n"
         "Brevanto をインストールすると (make install または Debian パッケージ)、"
         "ログイン中のユーザーが /dev/uinput を使えるようになります。"
         "インストールの後、ログインし直してください。";
}

void ShowUinputNotice(QWidget* window) {
  auto* box = new QMessageBox(QMessageBox::Information, QString::fromLatin1(AppInfo::kProductName),
                              QString::fromStdString(UinputNoticeText()), QMessageBox::Ok, window);
  box->setObjectName(QStringLiteral("UinputNotice"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

}  // namespace brevanto
