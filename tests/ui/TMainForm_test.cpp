#include "ui/TMainForm.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include "core/device/DeviceTemplate.h"
#include "core/engine/AssignmentText.h"
#include "core/input/VirtualButton.h"
#include "support/FakeMainFormHost.h"
#include "support/LogCapture.h"
#include "support/MainFormFixture.h"
#include "support/TempDir.h"
#include "support/UiTestSupport.h"
#include "ui/dialogs/TImageForm.h"
#include "ui/dialogs/TInputNameDialog.h"

namespace brevanto {
namespace {

using testing::FakeMainFormHost;
using testing::RecordingSoundPlayer;

using testing::TMainFormTest;

std::vector<int> Range(int first, int count, int step = 1) {
  std::vector<int> v;
  for (int i = 0; i < count; ++i) v.push_back(first + i * step);
  return v;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
  std::vector<int> v;
  for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
  return v;
}

TEST_F(TMainFormTest, ButtonListRowsFollowTheDisplayOptions) {
  const struct {
    const char* name;
    int displayMode;
    bool diagonal1, diagonal2, pov8;
    int buttons;
    std::vector<int> rows;
  } cases[] = {
      {"one stick, nothing else", 0, false, false, false, 0, Range(0, 4)},
      // 4 + 4 + 4 + 4 + 8 + 8 + 24 = 56 rows before the buttons.
      {"everything, 8-way POV", 3, true, true, true, 2,
       Join({Range(0, 4), Range(48, 4), Range(4, 4), Range(52, 4), Range(8, 8), Range(16, 32),
             Range(56, 2)})},
      {"everything, 4-way POV", 3, false, false, false, 1,
       Join({Range(0, 8), Range(8, 8), Range(16, 16, 2), Range(56, 1)})},
      {"one stick and a POV", 1, true, true, false, 3,
       Join({Range(0, 4), Range(48, 4), Range(16, 4, 2), Range(56, 3)})},
  };
  Create();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigFile& p = host.Profile(1);
    p.DisplayMode = c.displayMode;
    p.UseDiagonalInput = c.diagonal1;
    p.UseDiagonalInput2 = c.diagonal2;
    p.UsePOV8Way = c.pov8;
    p.NumberOfButtons = c.buttons;
    host.current = 0;
    host.LoadProfileByIndex(1);
    Settle();
    EXPECT_EQ(Rows(), c.rows);
  }
}

TEST_F(TMainFormTest, RowsShowTheSlotsAssignmentsForTheShownTab) {
  ConfigFile& p = host.Profile(0);
  p.SetNumberOfJoysticks(2);
  ButtonAssignment& jump = p.Joystick(1)->Button(PlainButton(1));
  jump.kind = AssignmentKind::Keys;
  jump.keys[0][0] = 0x20;
  jump.repeatRate = 10.0f;
  jump.comment = "jump";
  Create();
  QTreeWidgetItem* row =
      form->lvButtonList->topLevelItem(12);  // mode 2: two sticks, a POV, buttons
  ASSERT_EQ(row->data(0, Qt::UserRole).toInt(), PlainButton(1));
  EXPECT_EQ(row->text(1).toStdString(), "None") << "slot 1 has nothing on button 1";

  form->tcJoystick->setCurrentIndex(1);
  EXPECT_EQ(form->PageControl1->currentIndex(), 0);
  EXPECT_EQ(row->text(0).toStdString(), ButtonCaption(jump, nullptr));
  EXPECT_EQ(row->text(1).toStdString(), AssignmentText(jump));
  EXPECT_EQ(row->text(2).toStdString(), RepeatText(jump));
  EXPECT_EQ(row->text(3).toStdString(), "jump");
  EXPECT_EQ(form->lvButtonList->topLevelItemCount(), 12 + 32) << "a tab change rebuilds nothing";
}

// The first caption the button column cuts, measured the way the style lays
// out an item's text; empty when every caption fits.
std::string FirstCutCaption(const QTreeWidget& list) {
  const QFontMetrics metrics(list.font());
  const int margin =
      2 * (list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1);
  for (int i = 0; i < list.topLevelItemCount(); ++i) {
    const QString caption = list.topLevelItem(i)->text(0);
    if (metrics.horizontalAdvance(caption) + margin > list.columnWidth(0)) {
      return caption.toStdString();
    }
  }
  return {};
}

TEST_F(TMainFormTest, TheButtonColumnFitsItsCaptionsAndKeepsAWiderWidth) {
  const TDeviceTemplate labels("LONG", "long labels", {"A", "Right shoulder, upper"});
  ConfigFile& p = host.Profile(0);
  p.SetNumberOfJoysticks(2);
  p.NumberOfButtons = 12;
  p.Joystick(1)->resolvedTemplate = &labels;
  Create();
  EXPECT_EQ(FirstCutCaption(*form->lvButtonList), "");
  form->tcJoystick->setCurrentIndex(1);
  ASSERT_EQ(form->lvButtonList->topLevelItem(13)->text(0).toStdString(),
            "[2] Right shoulder, upper");
  EXPECT_EQ(FirstCutCaption(*form->lvButtonList), "") << "the labels of the second tab";

  host.settings.ListColumnWidthButton = 500;
  Create();
  EXPECT_EQ(form->lvButtonList->columnWidth(0), 500) << "a width the user chose";
}

TEST_F(TMainFormTest, TabsNameTheDeviceTheSlotsNameOrJoystick) {
  ConfigFile& p = host.Profile(0);
  p.SetNumberOfJoysticks(4);
  p.Joystick(0)->DefaultDisplayName = "Left hand";
  p.Joystick(1)->DefaultDisplayName = "Right hand";
  p.Joystick(2)->DefaultDisplayName = "Pedals";
  host.devices.emplace_back("guid-a", DeviceDefaults{});
  host.devices.back().Name = "Pad A";
  host.devices.emplace_back("guid-b", DeviceDefaults{});
  host.devices.back().Name = "Pad B";
  host.devices.back().NameOverride = "My pad";
  Create();
  EXPECT_EQ(Tabs(), (std::vector<std::string>{"[1] Pad A", "[2] My pad", "[3] Pedals",
                                              "[4] Joystick", "Options"}));
  EXPECT_EQ(form->lblJoystickStatus->text(), QStringLiteral("ジョイスティック: 2 本検出"));

  form->tcJoystick->setCurrentIndex(4);
  EXPECT_EQ(form->PageControl1->currentIndex(), 1) << "the Options tab shows the options page";
}

TEST_F(TMainFormTest, ClickingAProfileLoadsItAndNamesItInTheCaption) {
  Create();
  EXPECT_EQ(form->Caption(), "Brevanto v7.3.2 : Race");
  form->lbConfigListClick(2);
  Settle();
  EXPECT_EQ(host.current, 2);
  EXPECT_EQ(form->lbConfigList->currentRow(), 2);
  EXPECT_EQ(form->Caption(), "Brevanto v7.3.2 : Puzzle");

  QTest::keyClick(form->lbConfigList, Qt::Key_Up);
  Settle();
  EXPECT_EQ(host.current, 1) << "the keyboard moves through the profiles too";
  EXPECT_EQ(form->Caption(), "Brevanto v7.3.2 : Shooter");
  form->lbConfigListClick(2);
  Settle();

  form->MMDisableJoystick->trigger();
  EXPECT_TRUE(host.joystickSuspended);
  EXPECT_TRUE(form->PMTaskTrayDisableJoystick->isChecked()) << "the tray item follows";
  EXPECT_EQ(form->Caption(), "Brevanto v7.3.2 (一時停止中) : Puzzle");
  form->PMTaskTrayDisableJoystick->trigger();
  EXPECT_FALSE(host.joystickSuspended);
  EXPECT_FALSE(form->MMDisableJoystick->isChecked());
}

TEST_F(TMainFormTest, RightClickLoadsTheEntryUnderThePointerOrBelowTheListTheLast) {
  Create();
  form->resize(700, 600);
  form->show();
  const QRect second = form->lbConfigList->visualItemRect(form->lbConfigList->item(1));
  form->lbConfigListRightClick(second.center());
  Settle();
  EXPECT_EQ(host.current, 1);
  EXPECT_TRUE(form->PMConfigList->isVisible());
  form->PMConfigList->hide();

  const QRect last = form->lbConfigList->visualItemRect(form->lbConfigList->item(2));
  form->lbConfigListRightClick(QPoint(last.center().x(), last.bottom() + 40));
  Settle();
  EXPECT_EQ(host.current, 2);
  EXPECT_EQ(form->lbConfigList->currentRow(), 2);
  form->PMConfigList->hide();
}

TEST_F(TMainFormTest, TheOptionsTabHasNoPopupMenu) {
  host.devices.emplace_back("guid-a", DeviceDefaults{});
  Create();
  form->resize(700, 600);
  form->show();
  const int options = form->tcJoystick->count() - 1;
  form->tcJoystickContextPopup(form->tcJoystick->tabRect(options).center());
  EXPECT_EQ(form->tcJoystick->currentIndex(), options);
  EXPECT_FALSE(form->PMJoystickTab->isVisible());

  // On a joystick tab it opens, with the items that fit whether a device is there.
  form->tcJoystickContextPopup(form->tcJoystick->tabRect(0).center());
  EXPECT_EQ(form->tcJoystick->currentIndex(), 0);
  EXPECT_TRUE(form->PMJoystickTab->isVisible());
  EXPECT_TRUE(form->PMRenameDeviceName->isEnabled());
  EXPECT_FALSE(form->PMRenameTabName->isEnabled());
  form->PMJoystickTab->hide();
  form->tcJoystickContextPopup(form->tcJoystick->tabRect(1).center());
  EXPECT_FALSE(form->PMRenameDeviceName->isEnabled());
  EXPECT_TRUE(form->PMRenameTabName->isEnabled());
  EXPECT_TRUE(form->PMSpecifyTabTemplate->isEnabled());
  form->PMJoystickTab->hide();
}

TEST_F(TMainFormTest, CommandsWithoutTheirDialogAreDisabledAndSaySo) {
  Create();
  for (QAction* a : {form->MMAutoStartup /* no autostart on this host */}) {
    EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_FALSE(a->toolTip().isEmpty()) << a->objectName().toStdString();
  }
}

TEST_F(TMainFormTest, ProfileCommandsRefreshTheListOnlyOnSuccess) {
  Create();
  host.commandResult = false;
  host.names.push_back("Added");
  form->btnAddNew->click();
  EXPECT_EQ(form->lbConfigList->count(), 3);
  host.commandResult = true;
  form->lbConfigList->setCurrentRow(1);  // selecting loads: the list shows the current one
  form->btnCopy->click();
  EXPECT_EQ(form->lbConfigList->count(), 4);
  form->btnRename->click();
  form->btnDelete->click();
  form->MMSaveConfiguration->trigger();
  EXPECT_EQ(host.commands,
            (std::vector<std::string>{"New", "Copy 1", "Rename 1", "Delete 1", "Save 1"}));
}

// A save the user asked for and that failed is shown; the profile keeps its
// changes. The preferences' save after the dialog is shown the same way.
TEST_F(TMainFormTest, AFailedSaveTheUserAskedForIsShown) {
  host.dataDir = "/data/";
  Create();
  host.saveResult = false;
  form->lbConfigList->setCurrentRow(0);
  host.CurrentProfile()->modified = true;
  QString text;
  testing::AnswerNextMessageBox(&text);
  form->MMSaveConfiguration->trigger();
  EXPECT_EQ(text, QStringLiteral("設定ファイルを保存できませんでした。\n/data/Race.cfg"));
  EXPECT_TRUE(host.CurrentProfile()->modified);

  text.clear();
  testing::WhenModal<QDialog>([&text](QDialog* dialog) {
    testing::AnswerNextMessageBox(&text);
    dialog->reject();
  });
  form->MMPreference->trigger();
  EXPECT_EQ(text, QStringLiteral("全体設定を保存できませんでした。"));

  host.saveResult = true;
  text.clear();
  form->MMSaveConfiguration->trigger();
  EXPECT_TRUE(text.isEmpty());
  EXPECT_FALSE(host.CurrentProfile()->modified);
}

TEST_F(TMainFormTest, CloseMinimizesWhileExitEnds) {
  const struct {
    const char* name;
    bool exitMeansMinimize;
    std::function<void(TMainForm&)> act;
    bool ends;
  } cases[] = {
      {"close with ExitMeansMinimize", true, [](TMainForm& f) { f.close(); }, false},
      {"close without it", false, [](TMainForm& f) { f.close(); }, true},
      {"MMExit", true, [](TMainForm& f) { f.MMExit->trigger(); }, true},
      {"tray exit", true, [](TMainForm& f) { f.PMTaskTrayExit->trigger(); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.settings.ExitMeansMinimize = c.exitMeansMinimize;
    host.settings.HideWhenMinimized = true;
    Create();
    form->show();
    QSignalSpy closed(form.get(), &TMainForm::Closed);
    c.act(*form);
    EXPECT_EQ(closed.count(), c.ends ? 1 : 0);
    EXPECT_FALSE(form->isVisible()) << "minimized into the tray or closed";
    EXPECT_FALSE(form->Shown() && !c.ends);
  }
}

TEST_F(TMainFormTest, TrayClickTogglesBetweenWindowAndTray) {
  host.settings.HideWhenMinimized = true;
  Create();
  form->ShowAtStart(false);
  ASSERT_TRUE(form->Shown());
  form->TrayIconClick();
  EXPECT_FALSE(form->Shown());
  EXPECT_FALSE(form->isVisible());
  form->TrayIconClick();
  EXPECT_TRUE(form->Shown());
  EXPECT_TRUE(form->isVisible());

  // Any press on the icon re-detects devices.
  form->TrayIconMouseDown();
  EXPECT_EQ(host.forcedRedetections, 1);
}

TEST_F(TMainFormTest, StartsInTheTrayAloneWhenMinimizedAndHidden) {
  host.settings.StartIconified = true;
  host.settings.HideWhenMinimized = true;
  Create();
  form->ShowAtStart(false);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->Shown());
  form->HandleMessage(PostedMessage{WM_BRV_RESTORE, 0, 0});
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->Shown());
  form->HandleMessage(PostedMessage{WM_BRV_MINIMIZE, 0, 0});
  EXPECT_FALSE(form->isVisible());
}

TEST_F(TMainFormTest, WithoutATrayTheWindowGoesToTheTaskBarInsteadOfHiding) {
  const struct {
    const char* name;
    bool shownFirst;
    std::function<void(TMainForm&)> act;
  } cases[] = {
      {"start minimized", false, [](TMainForm& f) { f.ShowAtStart(true); }},
      {"minimize", true,
       [](TMainForm& f) {
         f.HandleMessage(PostedMessage{WM_BRV_MINIMIZE, 0, 0});
       }},
      {"close with ExitMeansMinimize", true, [](TMainForm& f) { f.close(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::LogCapture log;
    host.trayAvailable = false;
    host.settings.HideWhenMinimized = true;
    host.settings.ExitMeansMinimize = true;
    Create();
    if (c.shownFirst) {
      form->ShowAtStart(false);
      (void)QTest::qWaitForWindowExposed(form.get(), 1000);
    }
    QSignalSpy closed(form.get(), &TMainForm::Closed);
    c.act(*form);
    Settle();
    EXPECT_TRUE(form->isVisible()) << "hidden with no tray to come back from";
    EXPECT_TRUE(form->isMinimized());
    EXPECT_FALSE(form->Shown());
    EXPECT_EQ(closed.count(), 0);
    EXPECT_TRUE(log.HasMessage(
        "No system tray on this desktop: minimizing to the task bar instead of hiding"));
  }
}

TEST_F(TMainFormTest, WindowMessagesRestoreShowAndMinimizeTheWindow) {
  const struct {
    const char* name;
    bool hideWhenMinimized;
    bool startMinimized;
    uint32_t message;
    bool visible, minimized;
  } cases[] = {
      {"minimize into the tray", true, false, WM_BRV_MINIMIZE, false, false},
      {"minimize onto the task bar", false, false, WM_BRV_MINIMIZE, true, true},
      {"show from the tray", true, true, WM_BRV_SHOW, true, false},
      {"restore from the task bar", false, true, WM_BRV_RESTORE, true, false},
      {"restore a shown window", false, false, WM_BRV_RESTORE, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.settings.HideWhenMinimized = c.hideWhenMinimized;
    Create();
    form->ShowAtStart(c.startMinimized);
    // The window system's answer to the start state must not arrive after
    // the message and undo it.
    if (form->isVisible()) (void)QTest::qWaitForWindowExposed(form.get(), 1000);
    Settle();
    EXPECT_TRUE(form->HandleMessage(PostedMessage{c.message, 0, 0}));
    Settle();
    EXPECT_EQ(form->isVisible(), c.visible);
    EXPECT_EQ(form->isMinimized(), c.minimized);
    EXPECT_EQ(form->Shown(), c.message != WM_BRV_MINIMIZE)
        << "a tray click after it must do the opposite";
  }
}

TEST_F(TMainFormTest, TheStoredPositionIsUsedOnlyOnTheScreen) {
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  const struct {
    int top, left;
    bool restored;
  } cases[] = {
      {10, 20, true},
      {screen.height() - 33, screen.width() - 1, true},
      {screen.height() - 32, 20, false},
      {-1, -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.top);
    host.settings.WindowPositionTop = c.top;
    host.settings.WindowPositionLeft = c.left;
    host.settings.WindowWidth = 640;
    host.settings.WindowHeight = 480;
    host.settings.SplitterPosition = 200;
    Create();
    if (c.restored) {
      EXPECT_EQ(form->pos(), QPoint(c.left, c.top));
    } else {
      EXPECT_NE(form->pos().y(), c.top);
    }
    EXPECT_EQ(form->size(), QSize(640, 480));
  }

  form->PMResetWindowPosition->trigger();
  EXPECT_EQ(form->pos(), QPoint(0, 0));
  EXPECT_EQ(form->size(), QSize(800, 700));
  EXPECT_TRUE(form->Shown());
}

TEST_F(TMainFormTest, ShutdownStoresTheGeometry) {
  host.settings.WindowWidth = 640;
  host.settings.WindowHeight = 480;
  host.settings.SplitterPosition = 180;
  host.settings.ListColumnWidthKeyboard = 210;
  Create();
  form->show();
  form->resize(720, 520);
  Settle();
  form->Shutdown();
  EXPECT_EQ(host.settings.WindowWidth, 720);
  EXPECT_EQ(host.settings.WindowHeight, 520);
  EXPECT_EQ(host.settings.SplitterPosition, form->LeftPanel->width());
  EXPECT_EQ(host.settings.ListColumnWidthKeyboard, 210);
  EXPECT_EQ(host.settingsSaves, 1);
  EXPECT_FALSE(host.processing);
}

class ProfileSwitchNotificationTest : public TMainFormTest {
 protected:
  ProfileSwitchNotificationTest() {
    host.dataDir = dir.Dir();
    host.settings.NotifyBalloon = true;
    host.settings.NotifyProfileImage = true;
    host.settings.ProfileImageDuration = 60000;
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    picture.save(QString::fromStdString(dir.File("shooter.png")));
    dir.Write("switch.wav", "RIFF");
    ConfigFile& shooter = host.Profile(1);
    shooter.ImageFile = "shooter.png";
    shooter.SoundFile = "switch.wav";
    shooter.VibrationSpeed1 = 50;
    shooter.VibrationDuration = 300;
  }

  testing::TempDir dir;
};

TEST_F(ProfileSwitchNotificationTest, ALoadNotifiesAndStartUpOrTheCurrentProfileDoNot) {
  testing::LogCapture log;
  host.current = 1;  // starts on the profile that has every notification
  Construct();
  QSignalSpy balloons(form.get(), &TMainForm::BalloonShown);
  form->Initialize();
  Settle();
  EXPECT_EQ(balloons.count(), 0) << "start-up";
  EXPECT_TRUE(played->empty());
  EXPECT_FALSE(form->ImageForm->isVisible());
  EXPECT_EQ(host.vibrations, 0);

  form->lbConfigListClick(1);  // already current
  Settle();
  EXPECT_EQ(balloons.count(), 0) << "the current profile";
  EXPECT_TRUE(played->empty());
  EXPECT_FALSE(form->ImageForm->isVisible());
  EXPECT_EQ(host.vibrations, 0);

  // A profile without its own files: the balloon alone.
  form->lbConfigListClick(0);
  Settle();
  ASSERT_EQ(balloons.count(), 1);
  EXPECT_EQ(balloons[0][1].toString(), QStringLiteral("設定ファイル: Race"));
  EXPECT_TRUE(played->empty());
  EXPECT_EQ(host.vibrations, 0);

  form->lbConfigListClick(1);
  Settle();
  ASSERT_EQ(balloons.count(), 2);
  EXPECT_EQ(balloons[1][0].toString(), QStringLiteral("Brevanto"));
  EXPECT_EQ(balloons[1][1].toString(), QStringLiteral("設定ファイル: Shooter"));
  EXPECT_TRUE(form->ImageForm->isVisible());
  EXPECT_EQ(*played, std::vector<std::string>{dir.File("switch.wav")});
  EXPECT_EQ(host.vibrations, 1);
  EXPECT_TRUE(log.HasMessage("Displaying an image file: " + dir.File("shooter.png")));
  EXPECT_TRUE(log.HasMessage("Playing a sound file: " + dir.File("switch.wav")));

  // Missing files: logged, the picture goes away and the player stops.
  host.Profile(2).ImageFile = "gone.png";
  host.Profile(2).SoundFile = dir.File("gone.wav");
  form->lbConfigListClick(2);
  Settle();
  EXPECT_FALSE(form->ImageForm->isVisible());
  EXPECT_EQ(*stopped, 1);
  EXPECT_TRUE(log.HasMessage("Warning: failed to find an image file: " + dir.File("gone.png")));
  EXPECT_TRUE(log.HasMessage("Warning: failed to find a sound file: " + dir.File("gone.wav")));
}

TEST_F(ProfileSwitchNotificationTest, SettingsAndSuspensionSilenceTheirParts) {
  host.settings.NotifyBalloon = false;
  host.settings.NotifyProfileImage = false;
  host.settings.NotifySoundFile = "switch.wav";
  host.Profile(1).SoundFile.clear();
  Create();
  form->MMDisableJoystick->trigger();
  QSignalSpy balloons(form.get(), &TMainForm::BalloonShown);
  form->lbConfigListClick(1);
  Settle();
  EXPECT_EQ(balloons.count(), 0);
  EXPECT_FALSE(form->ImageForm->isVisible());
  EXPECT_EQ(host.vibrations, 0) << "no vibration while joystick processing is suspended";
  EXPECT_EQ(*played, std::vector<std::string>{dir.File("switch.wav")}) << "the global sound";
}

TEST_F(ProfileSwitchNotificationTest, AnImageWithoutDurationStaysUntilClicked) {
  for (const int duration : {0, -1}) {
    SCOPED_TRACE(duration);
    host.settings.ProfileImageDuration = duration;
    host.current = 0;
    Create();
    form->lbConfigListClick(1);
    Settle();
    ASSERT_TRUE(form->ImageForm->isVisible());
    QTest::qWait(200);
    EXPECT_TRUE(form->ImageForm->isVisible()) << "hidden without a click";
    QTest::mouseClick(form->ImageForm, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(form->ImageForm->isVisible());
  }
}

TEST_F(TMainFormTest, NameDialogsChangeNamesOnlyWithANewNonEmptyText) {
  ConfigFile& p = host.Profile(0);
  p.SetNumberOfJoysticks(2);
  p.Joystick(1)->DefaultDisplayName = "Wheel";
  p.modified = false;
  host.devices.emplace_back("guid-a", DeviceDefaults{});
  host.devices.back().Name = "Pad A";
  Create();

  const struct {
    const char* name;
    int tab;
    std::function<void()> command;
    QString typed;
    bool cancel;
    std::string tabCaption;
  } cases[] = {
      {"tab, emptied", 1, [&] { form->PMRenameTabNameClick(); }, "", false, "[2] Wheel"},
      {"tab, cancelled", 1, [&] { form->PMRenameTabNameClick(); }, "Yoke", true, "[2] Wheel"},
      {"device, emptied", 0, [&] { form->PMRenameDeviceNameClick(); }, "", false, "[1] Pad A"},
      {"tab, renamed", 1, [&] { form->PMRenameTabNameClick(); }, "Yoke", false, "[2] Yoke"},
      {"device, renamed", 0, [&] { form->PMRenameDeviceNameClick(); }, "Mine", false, "[1] Mine"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form->tcJoystick->setCurrentIndex(c.tab);
    QString title;
    testing::WhenModal<TInputNameDialog>([&](TInputNameDialog* d) {
      title = d->windowTitle();
      d->editNewName->setText(c.typed);
      (c.cancel ? d->btnCancel : d->btnOK)->click();
    });
    c.command();
    EXPECT_EQ(form->TabCaption(c.tab), c.tabCaption);
    EXPECT_EQ(title, c.tab == 1 ? QStringLiteral("タブ[2] の表示名の変更")
                                : QStringLiteral("デバイスPad Aの表示名の変更"));
  }
  EXPECT_TRUE(p.modified) << "the tab name is the profile's";
  EXPECT_EQ(host.devices[0].NameOverride, "Mine");

  form->tcJoystick->setCurrentIndex(0);
  form->PMClearDeviceName->trigger();
  EXPECT_EQ(form->TabCaption(0), "[1] Pad A");
  EXPECT_EQ(host.settingsSaves, 1);
}

TEST_F(TMainFormTest, TrayMenuListsTheProfilesAboveTheLine) {
  Create();
  for (int round = 0; round < 2; ++round) {
    form->PMTaskTrayPopup();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  const QList<QAction*> actions = form->PMTaskTray->actions();
  const int line = static_cast<int>(actions.indexOf(form->PMTaskTrayLine));
  ASSERT_EQ(line, 3) << "rebuilt, not added to";
  EXPECT_EQ(actions[1]->text(), QStringLiteral("Shooter"));
  EXPECT_TRUE(actions[0]->isChecked());
  EXPECT_FALSE(actions[1]->isChecked());
  actions[1]->trigger();
  Settle();
  EXPECT_EQ(host.current, 1);
}

TEST_F(TMainFormTest, ThemeSwitchStopsProcessingUntilNoMenuIsOpen) {
  testing::LogCapture log(true);
  Create();
  const int startsBefore = host.starts;
  form->MMDarkMode->trigger();
  EXPECT_TRUE(host.settings.DarkMode);
  EXPECT_TRUE(form->MMDarkMode->isChecked());
  EXPECT_FALSE(host.processing);
  EXPECT_EQ(ThemeStyleName(), QStringLiteral("fusion"));
  EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 100);

  form->PMTaskTray->popup(QPoint(0, 0));  // a menu is open: the thread waits
  form->DelayedExecTimerTimer();
  EXPECT_FALSE(host.processing);
  EXPECT_TRUE(form->DelayedExecTimer->isActive());
  form->PMTaskTray->hide();
  form->DelayedExecTimerTimer();
  EXPECT_TRUE(host.processing);
  EXPECT_EQ(host.starts, startsBefore + 1);
  EXPECT_FALSE(form->DelayedExecTimer->isActive());
  EXPECT_TRUE(log.HasMessage("Changing to the Dark Mode"));

  form->MMDarkMode->trigger();
  EXPECT_FALSE(host.settings.DarkMode);
  EXPECT_FALSE(form->MMDarkMode->isChecked());
  EXPECT_GT(QApplication::palette().color(QPalette::Window).lightness(), 100);
}

TEST_F(TMainFormTest, DevicesChangedRebuildsTheTabs) {
  Create();
  ASSERT_EQ(Tabs(), (std::vector<std::string>{"[1] Joystick", "[2] Joystick", "Options"}));
  host.devices.emplace_back("guid-a", DeviceDefaults{});
  host.devices.back().Name = "Pad A";
  EXPECT_TRUE(form->HandleMessage(PostedMessage{WM_BRV_DEVICES_CHANGED, 0, 0}));
  EXPECT_EQ(Tabs(), (std::vector<std::string>{"[1] Pad A", "[2] Joystick", "Options"}));
  EXPECT_EQ(form->lblJoystickStatus->text(), QStringLiteral("ジョイスティック: 1 本検出"));
  EXPECT_FALSE(form->HandleMessage(PostedMessage{WM_BRV_REFRESH_DEVICES, 0, 0}))
      << "not the window's message";
}

TEST_F(TMainFormTest, AutoStartItemAsksThenCreatesOrRemovesTheEntry) {
  testing::FakeAutoStartTask task;
  host.autoStart = &task;
  task.exists = true;
  Create();
  ASSERT_TRUE(form->MMAutoStartup->isEnabled());
  EXPECT_TRUE(form->MMAutoStartup->isChecked()) << "shows the entry found at start";

  const struct {
    const char* name;
    QMessageBox::StandardButton answer;
    bool fail;
    bool exists;
    const char* question;
    const char* result;
  } cases[] = {
      {"keep it", QMessageBox::No, false, true, "自動起動を無効にしますか？", nullptr},
      {"removal fails", QMessageBox::Yes, true, true, "自動起動を無効にしますか？",
       "自動起動の無効化に失敗しました。"},
      {"remove", QMessageBox::Yes, false, false, "自動起動を無効にしますか？",
       "自動起動を無効にしました。"},
      {"creation fails", QMessageBox::Yes, true, false, "ログイン時にBrevantoを自動起動しますか？",
       "自動起動の設定に失敗しました。"},
      {"create", QMessageBox::Yes, false, true, "ログイン時にBrevantoを自動起動しますか？",
       "自動起動を設定しました。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    task.fail = c.fail;
    QString question, result;
    testing::WhenModal<QMessageBox>([&, c](QMessageBox* box) {
      question = box->text();
      if (c.answer == QMessageBox::Yes) testing::AnswerNextMessageBox(&result);
      box->button(c.answer)->click();
    });
    form->MMAutoStartup->trigger();
    EXPECT_EQ(question.toStdString(), c.question);
    EXPECT_EQ(result.toStdString(), c.result ? c.result : "");
    EXPECT_EQ(task.exists, c.exists);
    EXPECT_EQ(form->MMAutoStartup->isChecked(), c.exists);
  }
}

TEST_F(TMainFormTest, RecordsTheLastKeyPressedAnywhereInTheProgram) {
  Create();
  QLineEdit elsewhere;
  QTest::keyClick(&elsewhere, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(form->LastKey().virtualKey, 0x0D);
  QTest::keyClick(form->lvButtonList, Qt::Key_F2);
  EXPECT_EQ(form->LastKey(), (CapturedKey{0x71, 0x3C, false}));
}

TEST_F(TMainFormTest, HelpAndFolderCommandsOpenTheirPages) {
  Create();
  form->MMOverview->trigger();
  form->MMTips->trigger();
  form->MMFAQ->trigger();
  form->MMDonation->trigger();
  form->MMChanges->trigger();
  form->MMOpenConfigDir->trigger();
  EXPECT_EQ(host.openedPages,
            (std::vector<std::string>{"/ja/overview", "/ja/blog/category/brevanto/", "/ja/faq",
                                      "/ja/donate", "/ja/news"}));
  EXPECT_EQ(host.openedFolders, std::vector<std::string>{host.dataDir});
}

}  // namespace
}  // namespace brevanto
