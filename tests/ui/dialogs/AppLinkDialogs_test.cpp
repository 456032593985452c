#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/applink/AppLinkManager.h"
#include "platform/fake/FakeWindowTracker.h"
#include "platform/linux/x11/X11WindowTracker.h"
#include "support/ActiveWindowProbe.h"
#include "support/FakeMainFormHost.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/UiTestSupport.h"
#include "ui/dialogs/TAppCaptureDialog.h"
#include "ui/dialogs/TAppLinkDialog.h"
#include "ui/dialogs/TAppLinkItemDialog.h"

namespace brevanto {
namespace {

using Button = QMessageBox::StandardButton;

struct Shown {
  QString title;
  QString text;
  bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* os) {
  *os << s.title.toStdString() << ": " << s.text.toStdString();
}

// Answers every message box that comes up, in order, and keeps what each
// said. Boxes beyond the answers given are answered OK.
class MessageBoxes {
 public:
  explicit MessageBoxes(std::vector<Button> answers = {}) : answers_(std::move(answers)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  std::vector<Shown> shown;

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || box->property("answered").toBool()) return;
    box->setProperty("answered", true);
    shown.push_back({box->windowTitle(), box->text()});
    const Button answer = next_ < answers_.size() ? answers_[next_++] : QMessageBox::Ok;
    if (QAbstractButton* button = box->button(answer)) {
      button->click();
    } else {
      box->reject();
    }
  }

  std::vector<Button> answers_;
  std::size_t next_ = 0;
  QTimer timer_;
};

const QString kNameMissing = QStringLiteral("アプリケーション名を指定してください");
const QString kProfileQuestion =
    QStringLiteral("関連付ける設定ファイルが空または不正です。関連付けを解除しますか？");
const QString kNothingToMatch =
    QStringLiteral("アプリケーションの Path、もしくは Window Title を指定してください");

const std::vector<std::string> kProfiles = {"Puzzle", "Race", "Shooter"};

// ---- The item dialog ----

TEST(TAppLinkItemDialogTest, OkChecksTheNameTheProfileAndWhatToMatchInThatOrder) {
  const struct {
    const char* name;
    AppLink link;
    std::vector<Button> answers;
    std::vector<Shown> shown;
    bool accepted;
  } cases[] = {
      {"no name", {"", "Race", "gedit", ""}, {}, {{"Error", kNameMissing}}, false},
      {"only a title", {"Manual", "Race", "", "User Manual"}, {}, {}, true},
      {"only a path", {"Editor", "Race", "gedit", ""}, {}, {}, true},
      {"profile in other letters", {"Editor", "race", "gedit", ""}, {}, {}, true},
      {"unknown profile, Cancel",
       {"Editor", "Gone", "gedit", ""},
       {QMessageBox::Cancel},
       {{"Warning", kProfileQuestion}},
       false},
      {"unknown profile, OK",
       {"Editor", "Gone", "gedit", ""},
       {QMessageBox::Ok},
       {{"Warning", kProfileQuestion}},
       true},
      {"no profile, OK, nothing to match",
       {"Editor", "", "", ""},
       {QMessageBox::Ok},
       {{"Warning", kProfileQuestion}, {"Error", kNothingToMatch}},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TAppLinkItemDialog dialog(kProfiles, nullptr);
    dialog.SetLink(c.link);
    dialog.show();
    MessageBoxes boxes(c.answers);
    dialog.btnOK->click();
    EXPECT_EQ(boxes.shown, c.shown);
    EXPECT_EQ(dialog.isVisible(), !c.accepted);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
    // The profile is kept as typed, also when it names no profile.
    EXPECT_EQ(dialog.Link(), c.link);
  }
}

TEST(TAppLinkItemDialogTest, ProfileListStartsWithAnEmptyItemAndCaptureNeedsATracker) {
  TAppLinkItemDialog dialog(kProfiles, nullptr);
  ASSERT_EQ(dialog.CBConfigFile->count(), 4);
  EXPECT_EQ(dialog.CBConfigFile->itemText(0), QString());
  EXPECT_EQ(dialog.CBConfigFile->itemText(1), QStringLiteral("Puzzle"));
  EXPECT_FALSE(dialog.btnCaptureApp->isEnabled());
  FakeWindowTracker tracker;
  TAppLinkItemDialog withTracker(kProfiles, &tracker);
  EXPECT_TRUE(withTracker.btnCaptureApp->isEnabled());
}

// ---- The list dialog ----

class TAppLinkDialogTest : public ::testing::Test {
 protected:
  // Records what the table held when the processing thread was held and let go.
  class Host : public testing::FakeMainFormHost {
   public:
    Host() : FakeMainFormHost({"Puzzle", "Race", "Shooter"}) {}
    void TimerDisable() override {
      FakeMainFormHost::TimerDisable();
      if (appLinks) atDisable.push_back(appLinks->Links());
    }
    void TimerEnable() override {
      FakeMainFormHost::TimerEnable();
      if (appLinks) atEnable.push_back(appLinks->Links());
    }
    std::vector<std::vector<AppLink>> atDisable, atEnable;
  };

  TAppLinkDialogTest() : links(dir.Dir()) {
    links.Replace(original, AppLinkManager::kLastSelected, "Race");
    EXPECT_TRUE(links.Save());
    host.appLinks = &links;
  }
  std::string FileBytes() const { return testing::ReadBytes(links.FilePath()); }

  // Adds a link, edits the first row by a double click and deletes the
  // second after confirming.
  void AddEditDelete(TAppLinkDialog& dialog) {
    testing::WhenModal<TAppLinkItemDialog>([](TAppLinkItemDialog* item) {
      EXPECT_EQ(item->Link(), AppLink{});
      item->SetLink({"Editor", "Puzzle", "gedit", ""});
      item->btnOK->click();
    });
    dialog.btnAdd->click();

    testing::WhenModal<TAppLinkItemDialog>([](TAppLinkItemDialog* item) {
      EXPECT_EQ(item->Link(), (AppLink{"Game", "Shooter", "game", ""}));
      item->EditTitle->setText(QStringLiteral("Level 2"));
      item->btnOK->click();
    });
    QTreeWidgetItem* first = dialog.LVAppLink->topLevelItem(0);
    const QRect rect = dialog.LVAppLink->visualItemRect(first);
    QTest::mouseClick(dialog.LVAppLink->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(dialog.LVAppLink->viewport(), Qt::LeftButton, {}, rect.center());

    dialog.LVAppLink->setCurrentItem(dialog.LVAppLink->topLevelItem(1));
    MessageBoxes boxes({QMessageBox::Yes});
    dialog.btnDelete->click();
    EXPECT_EQ(
        boxes.shown,
        (std::vector<Shown>{
            {"Warning", QStringLiteral("\"Browser\" への関連付けを削除してもよろしいですか？")}}));
  }
  std::vector<AppLink> Rows(const TAppLinkDialog& dialog) const {
    std::vector<AppLink> rows;
    for (int i = 0; i < dialog.LVAppLink->topLevelItemCount(); ++i) {
      rows.push_back(dialog.RowLink(i));
    }
    return rows;
  }

  const std::vector<AppLink> original = {{"Game", "Shooter", "game", ""},
                                         {"Browser", "Race", "firefox", "Mozilla"}};
  const std::vector<AppLink> edited = {{"Game", "Shooter", "game", "Level 2"},
                                       {"Editor", "Puzzle", "gedit", ""}};
  testing::TempDir dir;
  AppLinkManager links;
  Host host;
};

TEST_F(TAppLinkDialogTest, ShowsOneRowPerLinkInFourColumns) {
  TAppLinkDialog dialog(links, host);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("アプリケーションとの関連付け"));
  EXPECT_EQ(Rows(dialog), original);
  const QStringList headers = {
      QStringLiteral("アプリケーションの名前"), QStringLiteral("関連付ける設定ファイル"),
      QStringLiteral("アプリケーションの Path"), QStringLiteral("Window の Title")};
  const int widths[] = {140, 140, 200, 200};
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(dialog.LVAppLink->headerItem()->text(column), headers[column]);
    EXPECT_EQ(dialog.LVAppLink->columnWidth(column), widths[column]);
  }
  EXPECT_EQ(dialog.LVAppLink->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(TAppLinkDialogTest, PolicyAndDefaultProfileAreShownAsStored) {
  const struct {
    int policy;
    std::string defaultProfile;
    QRadioButton* TAppLinkDialog::*checked;
    QString combo;
  } cases[] = {
      {0, "Shooter", &TAppLinkDialog::rbNoAction, QStringLiteral("Shooter")},
      {1, "", &TAppLinkDialog::rbUseLastSelected, QString()},
      {2, "shooter", &TAppLinkDialog::rbUseDefaultConfig, QStringLiteral("Shooter")},
      // Policies the switching treats as "do nothing" show the first choice.
      {7, "Race", &TAppLinkDialog::rbUseLastSelected, QStringLiteral("Race")},
      // A default profile that is gone shows as the empty item.
      {2, "Deleted", &TAppLinkDialog::rbUseDefaultConfig, QString()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.policy);
    links.Replace(original, c.policy, c.defaultProfile);
    TAppLinkDialog dialog(links, host);
    EXPECT_TRUE((dialog.*c.checked)->isChecked());
    ASSERT_EQ(dialog.cbDefaultConfig->count(), 4);
    EXPECT_EQ(dialog.cbDefaultConfig->itemText(0), QString());
    EXPECT_EQ(dialog.cbDefaultConfig->currentText(), c.combo);
  }
}

TEST_F(TAppLinkDialogTest, CancelAfterAddEditAndDeleteLeavesTableAndFileAsTheyWere) {
  const std::string bytes = FileBytes();
  TAppLinkDialog dialog(links, host);
  dialog.show();
  AddEditDelete(dialog);
  EXPECT_EQ(Rows(dialog), edited) << "the rows show every change";
  dialog.rbNoAction->setChecked(true);
  dialog.btnCancel->click();

  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(links.Links(), original);
  EXPECT_EQ(links.GetPolicy(), AppLinkManager::kLastSelected);
  EXPECT_EQ(links.DefaultProfile(), "Race");
  EXPECT_EQ(FileBytes(), bytes);
  EXPECT_TRUE(host.atDisable.empty());
}

TEST_F(TAppLinkDialogTest, OkReplacesTheTableWithTheProcessingHeldAndSavesIt) {
  TAppLinkDialog dialog(links, host);
  dialog.show();
  AddEditDelete(dialog);
  dialog.rbUseDefaultConfig->setChecked(true);
  dialog.cbDefaultConfig->setCurrentIndex(1);  // Puzzle
  dialog.btnOK->click();

  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(links.Links(), edited);
  EXPECT_EQ(links.GetPolicy(), AppLinkManager::kDefaultProfile);
  EXPECT_EQ(links.DefaultProfile(), "Puzzle");
  // The whole table changed while the processing thread was held.
  EXPECT_EQ(host.atDisable, (std::vector<std::vector<AppLink>>{original}));
  EXPECT_EQ(host.atEnable, (std::vector<std::vector<AppLink>>{edited}));
  EXPECT_EQ(host.timerDisabled, 0);

  AppLinkManager reread(dir.Dir());
  reread.Load();
  EXPECT_EQ(reread.Links(), edited);
  EXPECT_EQ(reread.GetPolicy(), AppLinkManager::kDefaultProfile);
  EXPECT_EQ(reread.DefaultProfile(), "Puzzle");
}

TEST_F(TAppLinkDialogTest, RowCommandsNeedASelectedRowAndDeleteAnsweredNoKeepsIt) {
  TAppLinkDialog dialog(links, host);
  dialog.show();
  dialog.LVAppLink->clearSelection();
  MessageBoxes boxes({QMessageBox::No});
  dialog.btnDelete->click();
  dialog.btnEdit->click();  // would block in the item dialog if it opened
  EXPECT_TRUE(boxes.shown.empty());

  dialog.LVAppLink->setCurrentItem(dialog.LVAppLink->topLevelItem(0));
  dialog.btnDelete->click();
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(Rows(dialog), original);

  // An edit cancelled leaves the row alone.
  testing::WhenModal<TAppLinkItemDialog>([](TAppLinkItemDialog* item) {
    item->EditPath->setText(QStringLiteral("changed"));
    item->btnCancel->click();
  });
  dialog.btnEdit->click();
  EXPECT_EQ(Rows(dialog), original);
}

TEST_F(TAppLinkDialogTest, ASaveThatFailsIsReportedAndTheTableStillHoldsForThisRun) {
  AppLinkManager unsaved(dir.File("missing/folder") + "/");
  host.appLinks = &unsaved;
  TAppLinkDialog dialog(unsaved, host);
  dialog.show();
  MessageBoxes boxes;
  testing::WhenModal<TAppLinkItemDialog>([](TAppLinkItemDialog* item) {
    item->SetLink({"Editor", "Puzzle", "gedit", ""});
    item->btnOK->click();
  });
  dialog.btnAdd->click();
  dialog.btnOK->click();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Error"));
  EXPECT_TRUE(boxes.shown[0].text.contains(QString::fromStdString(unsaved.FilePath())));
  EXPECT_EQ(unsaved.Links(), (std::vector<AppLink>{{"Editor", "Puzzle", "gedit", ""}}));
  EXPECT_FALSE(std::filesystem::exists(unsaved.FilePath()));
}

// ---- The capture ----

TEST(TAppCaptureDialogTest, SecondsThatAreNoNumberOrOutOfRangeStartNothing) {
  FakeWindowTracker tracker;
  const struct {
    const char* text;
    QString message;
  } cases[] = {
      {"abc", QStringLiteral("'abc' is not a valid integer value")},
      {"", QStringLiteral("'' is not a valid integer value")},
      {"-1", QStringLiteral("0 以上 2147483 以下の数を入れてください。")},
      {"2147484", QStringLiteral("0 以上 2147483 以下の数を入れてください。")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TAppCaptureDialog dialog(tracker);
    EXPECT_FALSE(dialog.Timer1->isActive()) << "stopped on creation";
    dialog.show();
    dialog.editSeconds->setText(QString::fromUtf8(c.text));
    MessageBoxes boxes;
    dialog.btnCapture->click();
    EXPECT_EQ(boxes.shown, (std::vector<Shown>{{"Error", c.message}}));
    EXPECT_FALSE(dialog.Timer1->isActive());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isMinimized());
  }
}

TEST(TAppCaptureDialogTest, WaitsMinimisedThenTakesTheForegroundWindowAndRestores) {
  testing::LogCapture log(/*debug=*/true);
  FakeWindowTracker tracker;
  tracker.AddWindow(0x123, "Untitled - Editor", "/usr/bin/gedit");
  tracker.SetForeground(0x123);
  QWidget other;
  other.show();
  TAppCaptureDialog dialog(tracker, &other);
  EXPECT_EQ(dialog.editSeconds->text(), QStringLiteral("3"));
  dialog.show();
  dialog.btnCapture->click();
  EXPECT_TRUE(dialog.Timer1->isActive());
  EXPECT_EQ(dialog.Timer1->interval(), 3000);
  EXPECT_TRUE(other.isMinimized()) << "the program is out of the way while it waits";
  EXPECT_FALSE(dialog.Captured());

  dialog.Timer1->setInterval(0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 3000));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.Timer1->isActive());
  EXPECT_TRUE(dialog.Captured());
  EXPECT_EQ(dialog.CapturedTitle(), "Untitled - Editor");
  EXPECT_EQ(dialog.CapturedPath(), "/usr/bin/gedit");
  EXPECT_FALSE(other.isMinimized());
  EXPECT_TRUE(other.isVisible());
  EXPECT_TRUE(
      log.HasMessage("Application info captured [HWND=0x000123, Text='Untitled - Editor', "
                     "Path='/usr/bin/gedit']"));
}

TEST(TAppCaptureDialogTest, CancelCapturesNothing) {
  FakeWindowTracker tracker;
  TAppLinkItemDialog item(kProfiles, &tracker);
  item.SetLink({"Editor", "Race", "gedit", "Doc"});
  item.show();
  testing::WhenModal<TAppCaptureDialog>([](TAppCaptureDialog* d) { d->btnCancel->click(); });
  item.btnCaptureApp->click();
  EXPECT_EQ(item.Link(), (AppLink{"Editor", "Race", "gedit", "Doc"}));
}

// Another program's window on the X server, announced as the active one the
// way window managers do; read through the tracker the processing cycle uses.
class CaptureOnTheDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::OnRealDisplay()) GTEST_SKIP() << "needs an X display (make test runs Xvfb)";
  }

  // Runs the capture from the item dialog with "0" seconds.
  AppLink CaptureFrom(const std::vector<std::string>& probeArguments) {
    probe = testing::ActiveWindowProbe::Start(probeArguments);
    EXPECT_NE(probe, nullptr) << "the X client did not come up";
    if (!probe) return {};
    X11WindowTracker tracker;
    TAppLinkItemDialog item(kProfiles, &tracker);
    item.SetLink({"Old", "Race", "old", "old"});
    item.show();
    testing::WhenModal<TAppCaptureDialog>([](TAppCaptureDialog* d) {
      d->editSeconds->setText(QStringLiteral("0"));
      d->btnCapture->click();
    });
    item.btnCaptureApp->click();
    return item.Link();
  }

  std::unique_ptr<testing::ActiveWindowProbe> probe;
};

TEST_F(CaptureOnTheDisplayTest, ZeroSecondsTakesTheWindowsTitleAndItsProgramsPath) {
  testing::LogCapture log(/*debug=*/true);
  const AppLink link = CaptureFrom({"--title=Probe ウィンドウ"});
  const std::string program =
      std::filesystem::canonical(testing::ActiveWindowProbe::Executable()).string();
  EXPECT_EQ(link, (AppLink{"Probe ウィンドウ", "Race", program, "Probe ウィンドウ"}));
  char window[16];
  std::snprintf(window, sizeof window, "%#08x", probe ? probe->Window() : 0u);
  EXPECT_TRUE(log.HasMessage("Application info captured [HWND=" + std::string(window) +
                             ", Text='Probe ウィンドウ', Path='" + program + "']"))
      << log.Text();
}

TEST_F(CaptureOnTheDisplayTest, AWindowWhoseProgramCannotBeFoundGivesTheTitleOnly) {
  const struct {
    const char* name;
    std::vector<std::string> arguments;
  } cases[] = {
      {"no process id", {"--title=Remote", "--no-pid"}},
      {"another machine", {"--title=Remote", "--host=brevanto-elsewhere.invalid"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::LogCapture log(/*debug=*/true);
    const AppLink link = CaptureFrom(c.arguments);
    EXPECT_EQ(link, (AppLink{"Remote", "Race", "", "Remote"}));
    EXPECT_TRUE(log.HasMessage("Failed to obtain the target window handle")) << log.Text();
    probe.reset();
  }
}

}  // namespace
}  // namespace brevanto
