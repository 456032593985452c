#include "ui/dialogs/TPreferenceDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/IniDocument.h"
#include "support/FakeMainFormHost.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/UiTestSupport.h"
#include "ui/RadioGroup.h"
#include "ui/UiText.h"

namespace brevanto {
namespace {

// The fake host, with what the dialog asks of the processing thread kept in
// order and the settings written to a real file as the program writes them.
class RecordingHost : public testing::FakeMainFormHost {
 public:
  void TimerDisable() override {
    events.push_back("pause");
    atPause = settings;
    FakeMainFormHost::TimerDisable();
  }
  void TimerEnable() override {
    events.push_back("resume");
    atResume = settings;
    FakeMainFormHost::TimerEnable();
  }
  void RedetectDevices(bool forceNotify) override {
    events.push_back(std::string(forceNotify ? "detect forced" : "detect") + " mode " +
                     std::to_string(settings.XInputSupport) +
                     (timerDisabled > 0 ? " while paused" : ""));
  }
  void StopProcessing() override { events.push_back("stop"); }
  void StartProcessing() override {
    events.push_back("start speed " + std::to_string(settings.TurboMode));
  }
  bool SaveSettings() override {
    events.push_back("save");
    IniDocument ini;
    if (!ini.Load(IniPath())) return false;
    WriteGlobalSettings(ini, settings);
    return ini.Save(IniPath(), TextEncoding::Utf8Bom);
  }
  std::string IniPath() const { return dataDir + "Brevanto.ini"; }

  std::vector<std::string> events;
  GlobalSettings atPause, atResume;
};

// The message boxes that came up, each answered with OK.
struct Seen {
  std::vector<std::string> boxes;  // "title: text"
};

struct PreferenceCase {
  const char* name;
  std::function<void(GlobalSettings&, const testing::TempDir&)> given;
  // What the user does in the open dialog; ends by pressing OK or Cancel.
  std::function<void(TPreferenceDialog*, const testing::TempDir&)> user;
  std::vector<std::string> events;
  std::function<void(const GlobalSettings& before, const GlobalSettings& after, const Seen&,
                     const testing::LogCapture&)>
      then;
};

void PrintTo(const PreferenceCase& c, std::ostream* os) {
  *os << c.name;
}

void Nothing(GlobalSettings&, const testing::TempDir&) {}

class TPreferenceDialogTable : public ::testing::TestWithParam<PreferenceCase> {};

TEST_P(TPreferenceDialogTable, OpenedFromTheMenu) {
  const PreferenceCase& c = GetParam();
  testing::TempDir dir;
  dir.Write("ding.wav", "RIFF");
  RecordingHost host;
  host.dataDir = dir.Dir();
  c.given(host.settings, dir);
  // Written once before, as every run of the program leaves it.
  ASSERT_TRUE(host.SaveSettings());
  host.events.clear();
  const std::string fileBefore = testing::ReadBytes(host.IniPath());
  const GlobalSettings before = host.settings;
  testing::LogCapture log(before.ShowDebugLog);

  TMainForm form(host, std::make_unique<testing::RecordingSoundPlayer>());
  form.Initialize();
  host.events.clear();

  Seen seen;
  QTimer boxes;
  boxes.setInterval(10);
  QObject::connect(&boxes, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      seen.boxes.push_back(FromQ(box->windowTitle()) + ": " + FromQ(box->text()));
      box->button(QMessageBox::Ok)->click();
    }
  });
  boxes.start();
  bool closed = false;
  testing::WhenModal<TPreferenceDialog>([&](TPreferenceDialog* d) {
    c.user(d, dir);
    closed = !d->isVisible();
    if (!closed) d->btnCancel->click();
  });
  ASSERT_TRUE(form.MMPreference->isEnabled());
  form.MMPreference->trigger();
  boxes.stop();
  QApplication::processEvents();

  EXPECT_TRUE(closed) << "OK or Cancel closes the dialog";
  EXPECT_EQ(host.events, c.events);
  EXPECT_EQ(host.timerDisabled, 0) << "every pause is resumed";
  const GlobalSettings& after = host.settings;
  if (std::find(host.events.begin(), host.events.end(), "pause") != host.events.end()) {
    // What the processing thread reads changes only while it is paused, or
    // (the speed) while it is stopped.
    GlobalSettings changedWhilePaused = after;
    changedWhilePaused.TurboMode = before.TurboMode;
    EXPECT_EQ(host.atPause, before);
    EXPECT_EQ(host.atResume, changedWhilePaused);
  } else {
    EXPECT_EQ(after, before) << "nothing stored";
    EXPECT_EQ(testing::ReadBytes(host.IniPath()), fileBefore);
  }
  c.then(before, after, seen, log);
}

void PressOk(TPreferenceDialog* d, const testing::TempDir&) {
  d->btnOK->click();
}

const PreferenceCase kCases[] = {
    {"UncheckingTheSoundBoxEmptiesTheFileThoughTheEditKeepsAName",
     [](GlobalSettings& s, const testing::TempDir&) { s.NotifySoundFile = "ding.wav"; },
     [](TPreferenceDialog* d, const testing::TempDir&) {
       EXPECT_TRUE(d->cbNotifySound->isChecked());
       d->cbNotifySound->click();
       EXPECT_FALSE(d->editSoundFile->isEnabled());
       EXPECT_FALSE(d->btnSoundFile->isEnabled());
       EXPECT_EQ(d->editSoundFile->text(), QStringLiteral("ding.wav"));
       d->btnOK->click();
     },
     {"pause", "resume", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen& seen,
        const testing::LogCapture&) {
       EXPECT_EQ(after.NotifySoundFile, "");
       EXPECT_TRUE(seen.boxes.empty());
     }},
    {"ASoundFileThatIsMissingIsRefusedWithTheFocusBackInItsEdit",
     [](GlobalSettings& s, const testing::TempDir&) { s.NotifySoundFile = "ding.wav"; },
     [](TPreferenceDialog* d, const testing::TempDir&) {
       d->cbNotifyBalloon->click();
       d->editSoundFile->setText(QStringLiteral("gone.wav"));
       d->btnOK->click();
       EXPECT_TRUE(d->isVisible());
       EXPECT_EQ(d->focusWidget(), d->editSoundFile);
       d->btnCancel->click();
     },
     {"save"},
     [](const GlobalSettings&, const GlobalSettings&, const Seen& seen,
        const testing::LogCapture&) {
       EXPECT_EQ(seen.boxes,
                 std::vector<std::string>{"Error: \"gone.wav\" は有効なファイルではありません"});
     }},
    {"AChosenSoundFileBelowTheDataFolderIsKeptRelative",
     Nothing,
     [](TPreferenceDialog* d, const testing::TempDir& dir) {
       d->cbNotifySound->click();
       testing::WhenModal<QFileDialog>([&dir](QFileDialog* files) {
         EXPECT_EQ(files->nameFilters(),
                   (QStringList{QStringLiteral("サウンドファイル (*.mp3 *.wav)"),
                                QStringLiteral("すべてのファイル (*)")}));
         EXPECT_EQ(files->defaultSuffix(), QStringLiteral("wav"));
         files->selectFile(ToQ(dir.File("ding.wav")));
         QMetaObject::invokeMethod(files, "accept");
       });
       d->btnSoundFile->click();
       EXPECT_EQ(d->editSoundFile->text(), QStringLiteral("ding.wav"));
       d->btnOK->click();
     },
     {"pause", "resume", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen&,
        const testing::LogCapture&) { EXPECT_EQ(after.NotifySoundFile, "ding.wav"); }},
    {"CheckingAllTabsUnchecksTheHighlightAndTheLastCheckedWins",
     [](GlobalSettings& s, const testing::TempDir&) {
       s.HighlightButtons = true;
       s.HighlightButtonsForAllTabs = false;
     },
     [](TPreferenceDialog* d, const testing::TempDir&) {
       d->cbHighlightButtonsForAllTabs->click();
       EXPECT_FALSE(d->cbHighlightButtons->isChecked());
       d->cbHighlightButtons->click();
       EXPECT_FALSE(d->cbHighlightButtonsForAllTabs->isChecked());
       d->cbHighlightButtonsForAllTabs->click();
       d->btnOK->click();
     },
     {"pause", "resume", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen&,
        const testing::LogCapture&) {
       EXPECT_FALSE(after.HighlightButtons);
       EXPECT_TRUE(after.HighlightButtonsForAllTabs);
     }},
    {"MinusOneInTheIgnoreEditsIsStored",
     Nothing,
     [](TPreferenceDialog* d, const testing::TempDir&) {
       EXPECT_FALSE(d->editIgnoreInputAfterProfileSwitch->isEnabled());
       d->cbIgnoreInputAfterProfileSwitch->click();
       d->cbIgnoreInputAfterShiftSwitch->click();
       EXPECT_TRUE(d->editIgnoreInputAfterProfileSwitch->isEnabled());
       d->editIgnoreInputAfterProfileSwitch->setText(QStringLiteral("-1"));
       d->editIgnoreInputAfterShiftSwitch->setText(QStringLiteral(" -1 "));
       d->btnOK->click();
     },
     {"pause", "resume", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen& seen,
        const testing::LogCapture&) {
       EXPECT_EQ(after.IgnoreInputAfterProfileSwitch, -1);
       EXPECT_EQ(after.IgnoreInputAfterShiftSwitch, -1);
       EXPECT_TRUE(seen.boxes.empty());
     }},
    {"ZeroInACheckedIgnoreEditStoresZeroAndAnUncheckedBoxStoresZero",
     [](GlobalSettings& s, const testing::TempDir&) {
       s.IgnoreInputAfterProfileSwitch = 300;
       s.IgnoreInputAfterShiftSwitch = 500;
     },
     [](TPreferenceDialog* d, const testing::TempDir&) {
       EXPECT_EQ(d->editIgnoreInputAfterProfileSwitch->text(), QStringLiteral("300"));
       d->editIgnoreInputAfterProfileSwitch->setText(QStringLiteral("0"));
       d->cbIgnoreInputAfterShiftSwitch->click();
       d->btnOK->click();
     },
     {"pause", "resume", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen&,
        const testing::LogCapture&) {
       EXPECT_EQ(after.IgnoreInputAfterProfileSwitch, 0);
       EXPECT_EQ(after.IgnoreInputAfterShiftSwitch, 0);
     }},
    {"TextThatIsNoNumberStopsOkWithTheFocusOnItsEditAndStoresNothing",
     [](GlobalSettings& s, const testing::TempDir&) { s.NotifyProfileImage = true; },
     [](TPreferenceDialog* d, const testing::TempDir&) {
       d->cbNotifyBalloon->click();
       d->editProfileImageDuration->setText(QString());
       d->btnOK->click();
       EXPECT_TRUE(d->isVisible());
       EXPECT_EQ(d->focusWidget(), d->editProfileImageDuration);
       d->editProfileImageDuration->setText(QStringLiteral("1500"));
       d->cbIgnoreInputAfterShiftSwitch->click();
       d->editIgnoreInputAfterShiftSwitch->setText(QStringLiteral("1.5"));
       d->btnOK->click();
       EXPECT_TRUE(d->isVisible());
       EXPECT_EQ(d->focusWidget(), d->editIgnoreInputAfterShiftSwitch);
       d->btnCancel->click();
     },
     {"save"},
     [](const GlobalSettings&, const GlobalSettings&, const Seen& seen,
        const testing::LogCapture&) {
       EXPECT_EQ(seen.boxes, (std::vector<std::string>{"Error: \"\" は数字ではありません",
                                                       "Error: \"1.5\" は数字ではありません"}));
     }},
    {"AnImageBoxLeftUncheckedKeepsDurationAndPosition",
     [](GlobalSettings& s, const testing::TempDir&) {
       s.NotifyProfileImage = true;
       s.ProfileImageDuration = 1200;
       s.ProfileImagePosition = 4;
     },
     [](TPreferenceDialog* d, const testing::TempDir&) {
       EXPECT_EQ(d->radioProfileImagePosition->ItemIndex(), 4);
       d->editProfileImageDuration->setText(QStringLiteral("abc"));
       d->radioProfileImagePosition->Button(0)->click();
       d->cbNotifyProfileImage->click();
       EXPECT_FALSE(d->radioProfileImagePosition->isEnabled());
       d->btnOK->click();
     },
     {"pause", "resume", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen& seen,
        const testing::LogCapture&) {
       EXPECT_FALSE(after.NotifyProfileImage);
       EXPECT_EQ(after.ProfileImageDuration, 1200);
       EXPECT_EQ(after.ProfileImagePosition, 4);
       EXPECT_TRUE(seen.boxes.empty()) << "an edit out of use is not read";
     }},
    {"ChangingOnlyTheSpeedRestartsTheTimerOnceWithANotice",
     Nothing,
     [](TPreferenceDialog* d, const testing::TempDir&) {
       d->rgTurboMode->Button(2)->click();
       d->btnOK->click();
     },
     {"pause", "resume", "stop", "start speed 2", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen& seen,
        const testing::LogCapture&) {
       EXPECT_EQ(after.TurboMode, 2);
       ASSERT_EQ(seen.boxes.size(), 1u);
       EXPECT_EQ(seen.boxes[0].rfind("倍速処理モード: 内部処理を2～16倍速で行うことで", 0), 0u)
           << seen.boxes[0];
     }},
    {"NormalSpeedRestartsTheTimerWithoutANotice",
     [](GlobalSettings& s, const testing::TempDir&) { s.TurboMode = 3; },
     [](TPreferenceDialog* d, const testing::TempDir&) {
       EXPECT_TRUE(d->rgTurboMode->Button(3)->isChecked());
       d->rgTurboMode->Button(0)->click();
       d->btnOK->click();
     },
     {"pause", "resume", "stop", "start speed 0", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen& seen,
        const testing::LogCapture&) {
       EXPECT_EQ(after.TurboMode, 0);
       EXPECT_TRUE(seen.boxes.empty());
     }},
    {"ChangingTheApiModeDetectsDevicesOnceWithTheNewMode",
     [](GlobalSettings& s, const testing::TempDir&) { s.ShowDebugLog = true; },
     [](TPreferenceDialog* d, const testing::TempDir&) {
       EXPECT_EQ(d->cbXInputSupport->currentText(),
                 QStringLiteral("XInput and DirectInput devices"));
       d->cbXInputSupport->setCurrentIndex(4);
       d->btnOK->click();
     },
     {"pause", "resume", "detect forced mode 4", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen&,
        const testing::LogCapture& log) {
       EXPECT_EQ(after.XInputSupport, 4);
       EXPECT_TRUE(log.HasMessage("API Mode is changed from 2 to 4")) << log.Text();
     }},
    {"OkWithoutAChangeDetectsNothingAndRestartsNothing",
     [](GlobalSettings& s, const testing::TempDir&) {
       s.ShowDebugLog = true;
       s.TurboMode = 1;
       s.XInputSupport = 0;
     },
     PressOk,
     {"pause", "resume", "save"},
     [](const GlobalSettings& before, const GlobalSettings& after, const Seen& seen,
        const testing::LogCapture& log) {
       EXPECT_EQ(after, before);
       EXPECT_TRUE(seen.boxes.empty());
       EXPECT_TRUE(log.HasMessage("Opening PreferenceDialog...")) << log.Text();
       EXPECT_TRUE(log.HasMessage("Debug logging is enabled"));
       EXPECT_TRUE(log.HasMessage("Closed PreferenceDialog"));
     }},
    {"DebugLoggingSwitchedOnWritesDebugLinesFromThenOn",
     Nothing,
     [](TPreferenceDialog* d, const testing::TempDir&) {
       d->cbShowDebugLog->click();
       d->btnOK->click();
     },
     {"pause", "resume", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen&,
        const testing::LogCapture& log) {
       EXPECT_TRUE(after.ShowDebugLog);
       std::vector<std::string> lines;
       for (const testing::LogEntry& e : log.Entries()) lines.push_back(e.level + " " + e.message);
       const auto enabled = std::find(lines.begin(), lines.end(), "Info Debug logging is enabled");
       ASSERT_NE(enabled, lines.end()) << log.Text();
       EXPECT_EQ(std::find(lines.begin(), enabled, "Debug Opening PreferenceDialog..."), enabled)
           << "no debug line before";
       EXPECT_NE(std::find(enabled, lines.end(), "Debug Closed PreferenceDialog"), lines.end())
           << log.Text();
     }},
    {"DebugLoggingSwitchedOffIsLoggedAndStopsDebugLines",
     [](GlobalSettings& s, const testing::TempDir&) { s.ShowDebugLog = true; },
     [](TPreferenceDialog* d, const testing::TempDir&) {
       d->cbShowDebugLog->click();
       d->btnOK->click();
     },
     {"pause", "resume", "save"},
     [](const GlobalSettings&, const GlobalSettings& after, const Seen&,
        const testing::LogCapture& log) {
       EXPECT_FALSE(after.ShowDebugLog);
       EXPECT_TRUE(log.HasMessage("Opening PreferenceDialog..."));
       EXPECT_TRUE(log.HasMessage("Debug logging is disabled"));
       EXPECT_FALSE(log.HasMessage("Closed PreferenceDialog"));
     }},
    {"CancelStoresNothingAndLeavesTheFileByteIdentical",
     [](GlobalSettings& s, const testing::TempDir&) {
       s.NotifySoundFile = "ding.wav";
       s.IgnoreInputAfterShiftSwitch = 250;
     },
     [](TPreferenceDialog* d, const testing::TempDir&) {
       for (QCheckBox* box : d->findChildren<QCheckBox*>()) box->click();
       d->rgTurboMode->Button(4)->click();
       d->cbXInputSupport->setCurrentIndex(3);
       d->btnCancel->click();
     },
     {"save"},
     [](const GlobalSettings&, const GlobalSettings&, const Seen& seen,
        const testing::LogCapture&) { EXPECT_TRUE(seen.boxes.empty()); }},
};

INSTANTIATE_TEST_SUITE_P(Cases, TPreferenceDialogTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PreferenceCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(TPreferenceDialogTest, ControlsShowTheSettingsAndTheirDependencies) {
  testing::FakeMainFormHost host;
  GlobalSettings& s = host.settings;
  s.StartIconified = true;
  s.ExitMeansMinimize = false;
  s.NotifySoundFile = "/sounds/switch.wav";
  s.NotifyProfileImage = false;
  s.ProfileImageDuration = 750;
  s.ProfileImagePosition = 1;
  s.IgnoreInputAfterProfileSwitch = -1;
  s.HighlightButtons = true;
  s.HighlightButtonsForAllTabs = true;  // by hand; the window lets the first win
  s.TurboMode = 4;
  s.XInputSupport = 3;
  TPreferenceDialog d(host);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("設定"));
  EXPECT_TRUE(d.cbStartIconified->isChecked());
  EXPECT_FALSE(d.cbExitMeansMinimize->isChecked());
  EXPECT_TRUE(d.cbNotifySound->isChecked());
  EXPECT_TRUE(d.editSoundFile->isEnabled());
  EXPECT_EQ(d.editSoundFile->text(), QStringLiteral("/sounds/switch.wav"));
  EXPECT_FALSE(d.editProfileImageDuration->isEnabled());
  EXPECT_EQ(d.editProfileImageDuration->text(), QStringLiteral("750"));
  EXPECT_EQ(d.radioProfileImagePosition->ItemIndex(), 1);
  EXPECT_FALSE(d.radioProfileImagePosition->isEnabled());
  d.cbNotifyProfileImage->click();
  EXPECT_TRUE(d.editProfileImageDuration->isEnabled());
  EXPECT_TRUE(d.radioProfileImagePosition->isEnabled());
  EXPECT_TRUE(d.cbIgnoreInputAfterProfileSwitch->isChecked());
  EXPECT_EQ(d.editIgnoreInputAfterProfileSwitch->text(), QStringLiteral("-1"));
  EXPECT_FALSE(d.cbIgnoreInputAfterShiftSwitch->isChecked());
  EXPECT_FALSE(d.editIgnoreInputAfterShiftSwitch->isEnabled());
  EXPECT_TRUE(d.cbHighlightButtons->isChecked());
  EXPECT_FALSE(d.cbHighlightButtonsForAllTabs->isChecked());
  EXPECT_EQ(d.rgTurboMode->ItemIndex(), 4);
  EXPECT_EQ(d.rgTurboMode->Button(4)->text(), QStringLiteral("処理速度１６倍速"));
  EXPECT_EQ(d.cbXInputSupport->currentText(), QStringLiteral("Experimental Logic (Beta)"));
  // Every edit is named for the screen reader.
  for (QLineEdit* edit : d.findChildren<QLineEdit*>()) {
    EXPECT_FALSE(edit->accessibleName().isEmpty()) << edit->objectName().toStdString();
  }
}

}  // namespace
}  // namespace brevanto
