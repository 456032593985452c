#include "ui/Screenshots.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "core/applink/AppLinkManager.h"
#include "core/profile/ConfigFile.h"
#include "ui/ButtonListEditor.h"
#include "ui/MainFormHost.h"
#include "ui/TMainForm.h"
#include "ui/UiText.h"
#include "ui/dialogs/TAboutBox.h"
#include "ui/dialogs/TAppLinkDialog.h"
#include "ui/dialogs/TAppLinkItemDialog.h"
#include "ui/dialogs/TAssignDialog.h"
#include "ui/dialogs/TDeviceConfigDialog.h"
#include "ui/dialogs/TDeviceTemplateDialog.h"
#include "ui/dialogs/TPreferenceDialog.h"

namespace brevanto {
namespace {

// Lets the window system and the window's own timers catch up.
void Settle(int ms) {
  QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired()) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
}

bool WaitFor(const std::function<bool()>& done, int ms) {
  QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
  return true;
}

// The tray menu above a strip of panel with the tray icon at its right end,
// as the menu opens from the tray.
QPixmap WithTrayIcon(const QPixmap& menu, const QIcon& icon) {
  const qreal ratio = menu.devicePixelRatio();
  const QSize logical = menu.deviceIndependentSize().toSize();
  QPixmap picture(QSize(logical.width(), logical.height() + kScreenshotTrayStripHeight) * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(QColor(0x30, 0x30, 0x30));
  QPainter painter(&picture);
  painter.drawPixmap(0, 0, menu);
  const int margin = (kScreenshotTrayStripHeight - kScreenshotTrayIconSize) / 2;
  icon.paint(&painter, logical.width() - kScreenshotTrayIconSize - margin,
             logical.height() + margin, kScreenshotTrayIconSize, kScreenshotTrayIconSize);
  return picture;
}

// Opens the modal dialog of type T through the action, hands it to save once
// it has settled and closes it with Cancel.
template <class T>
void WithModalDialog(QAction& action, const std::function<void(QWidget&)>& save) {
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
      poll.stop();
      Settle(100);
      save(*dialog);
      dialog->reject();
    }
  });
  poll.start();
  action.trigger();
}

}  // namespace

std::vector<std::string> WriteScreenshots(TMainForm& form, const std::string& folder,
                                          std::string& error) {
  std::vector<std::string> written;
  const std::string dir = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  auto savePicture = [&](const QPixmap& picture, const char* name) {
    const std::string path = dir + name;
    if (!error.empty()) return;
    if (!picture.save(ToQ(path), "PNG")) {
      error = "cannot write " + path;
      return;
    }
    written.push_back(path);
  };
  auto save = [&](QWidget& widget, const char* name) { savePicture(widget.grab(), name); };

  form.RestoreFromTray();
  // Without a window manager activation may never come; the pictures are
  // taken all the same, without highlights.
  WaitFor([&] { return form.HighlightActive(); }, 2000);
  const int tab = form.tcJoystick->currentIndex();
  const bool dark = form.MMDarkMode->isChecked();
  if (dark) form.MMDarkMode->trigger();
  form.tcJoystick->setCurrentIndex(0);
  Settle(200);
  save(form, kScreenshotMainWindow);

  form.tcJoystick->setCurrentIndex(form.tcJoystick->count() - 1);
  Settle(100);
  save(form, kScreenshotOptions);
  form.tcJoystick->setCurrentIndex(0);

  form.PMTaskTray->popup(form.mapToGlobal(QPoint(form.width() / 2, form.height() / 4)));
  Settle(100);
  savePicture(WithTrayIcon(form.PMTaskTray->grab(), form.TrayIcon->icon()), kScreenshotTrayMenu);
  form.PMTaskTray->hide();

  {
    TAboutBox about([](const std::string&) {}, &form);
    about.show();
    Settle(100);
    save(about, kScreenshotAbout);
  }

  if (AppLinkManager* links = form.Host().AppLinks()) {
    TAppLinkDialog list(*links, form.Host(), &form);
    list.show();
    list.LVAppLink->setCurrentItem(list.LVAppLink->topLevelItem(0));
    Settle(100);
    save(list, kScreenshotAppLinks);
    TAppLinkItemDialog item(form.Host().ProfileNames(), form.Host().ForegroundTracker(), &list);
    item.SetLink(list.RowLink(0));
    item.show();
    Settle(100);
    save(item, kScreenshotAppLinkItem);
  }

  {
    // Shown, never confirmed: the pictures change no assignment.
    TAssignDialog dialog(form.Editor(), 0, &form);
    for (int page = 0; page < dialog.PageControl1->count(); ++page) {
      int button = -1;
      std::string label;
      for (int row = 0; row < form.lvButtonList->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = form.lvButtonList->topLevelItem(row);
        const int candidate = item->data(0, TMainForm::kButtonRole).toInt();
        dialog.Load(candidate, FromQ(item->text(0)));
        if (button < 0 || dialog.PageControl1->currentIndex() == page) {
          button = candidate;
          label = FromQ(item->text(0));
        }
        if (dialog.PageControl1->currentIndex() == page) break;
      }
      if (button < 0) break;
      dialog.Load(button, label);
      dialog.PageControl1->setCurrentIndex(page);
      dialog.show();
      Settle(100);
      save(dialog, kScreenshotAssignPages[page]);
    }
    dialog.hide();
  }

  form.MMDarkMode->trigger();
  Settle(200);
  save(form, kScreenshotMainWindowDark);

  // Back as it was; the theme switch re-attaches processing by its timer.
  if (!dark) form.MMDarkMode->trigger();
  form.tcJoystick->setCurrentIndex(tab < 0 ? 0 : tab);
  WaitFor([&] { return !form.DelayedExecTimer->isActive(); }, 3000);

  WithModalDialog<TPreferenceDialog>(
      *form.MMPreference, [&](QWidget& dialog) { save(dialog, kScreenshotPreferences); });

  WithModalDialog<TDeviceConfigDialog>(*form.MMJoystickProperty, [&](QWidget& dialog) {
    static_cast<TDeviceConfigDialog&>(dialog).PageControl->setCurrentIndex(1);
    Settle(100);
    save(dialog, kScreenshotDeviceConfig);
  });
  {
    TDeviceTemplateDialog templates(form.Host().Templates(), "XBOX", &form);
    templates.show();
    Settle(100);
    save(templates, kScreenshotTemplates);
  }
  return written;
}

}  // namespace brevanto
