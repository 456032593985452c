// The edit loop of the button list: the assignment dialog row after row.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "core/engine/ButtonEngine.h"
#include "core/engine/KeyOutput.h"
#include "core/engine/OutputSelection.h"
#include "core/input/VirtualButton.h"
#include "core/ports/AbstractEvent.h"
#include "platform/fake/RecordingEvent.h"
#include "support/MainFormFixture.h"
#include "support/UiTestSupport.h"
#include "ui/ButtonListEditor.h"
#include "ui/dialogs/TAssignDialog.h"

namespace brevanto {
namespace {

// One stick's four directions and two buttons: six rows.
class EditLoopTest : public testing::TMainFormTest {
 protected:
  void SetUp() override {
    ConfigFile& p = host.Profile(0);
    p.DisplayMode = 0;
    p.NumberOfButtons = 2;
    Create();
    p.modified = false;
    ASSERT_EQ(form->lvButtonList->topLevelItemCount(), 6);
  }
  QTreeWidgetItem* row(int i) const { return form->lvButtonList->topLevelItem(i); }
  int selected() const {
    return form->lvButtonList->indexOfTopLevelItem(form->lvButtonList->currentItem());
  }
  ButtonAssignment& record(int virtualButton) {
    return host.Profile(0).Joystick(0)->Button(virtualButton);
  }

  // Answers each pass of the dialog in turn; the titles it showed are kept.
  void Answer(std::vector<std::function<void(TAssignDialog*)>> passes) {
    passes_ = std::move(passes);
    next_ = 0;
    titles.clear();
    Arm();
  }

  std::vector<QString> titles;

 private:
  void Arm() {
    testing::WhenModal<TAssignDialog>([this](TAssignDialog* d) {
      titles.push_back(d->windowTitle());
      const std::size_t pass = next_++;
      if (pass + 1 < passes_.size()) Arm();
      if (pass < passes_.size()) passes_[pass](d);
    });
  }
  std::vector<std::function<void(TAssignDialog*)>> passes_;
  std::size_t next_ = 0;
};

TEST_F(EditLoopTest, StepsRowByRowAndStopsOnTheRowAtEitherEnd) {
  auto next = [](TAssignDialog* d) { d->btnGoToNext->click(); };

  form->lvButtonList->setCurrentItem(row(4));
  Answer({next, next});
  form->Editor().btnEditSelectedClick();
  ASSERT_EQ(titles.size(), 2u) << ">> on the last row ends the loop";
  EXPECT_EQ(titles[0], QStringLiteral("ジョイスティック 1 の [1] Button の設定"));
  EXPECT_EQ(titles[1], QStringLiteral("ジョイスティック 1 の [2] Button の設定"));
  EXPECT_EQ(selected(), 5);

  // A key given on the way shows in its row as soon as the dialog moves on.
  form->lvButtonList->setCurrentItem(row(1));
  Answer({[](TAssignDialog* d) {
            d->SpecialKeyChosen(d->Key[0], 0x41);
            d->btnGoToPrev->click();
          },
          [this](TAssignDialog* d) {
            EXPECT_EQ(row(1)->text(1), QStringLiteral("A"));
            EXPECT_EQ(selected(), 0);
            d->btnGoToPrev->click();
          }});
  form->Editor().btnEditSelectedClick();
  ASSERT_EQ(titles.size(), 2u) << "<< on the first row ends the loop";
  EXPECT_EQ(titles[1], QStringLiteral("ジョイスティック 1 の Stick1: ← の設定"));
  EXPECT_EQ(selected(), 0);
  EXPECT_EQ(record(1).kind, AssignmentKind::Keys);
  EXPECT_TRUE(host.Profile(0).modified);
  EXPECT_EQ(host.timerDisabled, 0);

  // OK ends it on the row edited.
  form->lvButtonList->setCurrentItem(row(3));
  Answer({[](TAssignDialog* d) { d->btnOK->click(); }});
  form->Editor().btnEditSelectedClick();
  EXPECT_EQ(titles.size(), 1u);
  EXPECT_EQ(selected(), 3);
}

TEST_F(EditLoopTest, CancelLeavesTheRecordAndTheModifiedMark) {
  ButtonAssignment& fire = record(PlainButton(1));
  fire.kind = AssignmentKind::Keys;
  fire.keys[0][0] = 0x5A;
  fire.Derive();
  form->lvButtonList->setCurrentItem(row(4));
  Answer({[](TAssignDialog* d) {
    d->SpecialKeyChosen(d->Key[0], 0x41);
    d->btnCancel->click();
  }});
  form->Editor().btnEditSelectedClick();
  EXPECT_EQ(titles.size(), 1u);
  EXPECT_EQ(fire.keys[0][0], 0x5Au);
  EXPECT_FALSE(host.Profile(0).modified);
  EXPECT_TRUE(host.released.empty()) << "nothing was written";
  EXPECT_EQ(selected(), 4);
}

TEST_F(EditLoopTest, EveryWayInOpensTheDialogForTheSelectedRow) {
  form->resize(700, 600);
  form->show();
  form->lvButtonList->setCurrentItem(row(2));
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"Enter in the list", [&] { QTest::keyClick(form->lvButtonList, Qt::Key_Return); }},
      {"double click", [&] { emit form->lvButtonList->itemDoubleClicked(row(2), 0); }},
      {"edit button", [&] { form->btnEditSelected->click(); }},
      {"menu item", [&] { form->PMButtonListEdit->trigger(); }},
  };
  for (const auto& [name, open] : ways) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(form->PMButtonListEdit->isEnabled());
    Answer({[](TAssignDialog* d) { d->reject(); }});
    open();
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0], QStringLiteral("ジョイスティック 1 の Stick1: ↑ の設定"));
  }

  // Without a selected row nothing opens.
  form->lvButtonList->clearSelection();
  bool opened = false;
  // Bound to the window, so it never fires into a later test.
  QTimer::singleShot(300, form.get(), [&opened] {
    if (auto* d = qobject_cast<TAssignDialog*>(QApplication::activeModalWidget())) {
      opened = true;
      d->reject();
    }
  });
  form->btnEditSelected->click();
  EXPECT_FALSE(opened);
  form->hide();
}

// The button is held while its assignment changes: the old key goes up
// before the record changes, the new one goes down on the next cycle, and
// the release lets go of it.
TEST_F(EditLoopTest, AButtonHeldWhileItsAssignmentChangesLeavesNoKeyDown) {
  RecordingEvent out;
  RegisterOutputMethod(0, &out);
  SelectOutputMethod(0);
  EngineContext context;
  context.tick = 100000;
  ButtonAssignment& r = record(PlainButton(1));
  r.kind = AssignmentKind::Keys;
  r.keys[0][0] = 0x41;
  r.Derive();
  auto cycle = [&](int32_t raw) {
    ++context.tick;
    const int32_t value = EffectiveValue(r, raw, context);
    if (r.IsAssigned()) Process(r, value, context);
  };
  auto keys = [&] {
    std::vector<std::string> texts;
    for (const OutputCall& call : out.Calls()) {
      if (call.op != OutputCall::Op::Key) continue;
      const bool up = (call.args[2] & AbstractEvent::kKeyUp) != 0;
      texts.push_back(QString::number(call.args[0], 16).toUpper().toStdString() + (up ? "-" : "+"));
    }
    out.Clear();
    return texts;
  };
  host.releaseButton = [&](ButtonAssignment& held) { ForceRelease(held, context); };

  cycle(1000);
  EXPECT_EQ(keys(), std::vector<std::string>{"41+"});
  form->lvButtonList->setCurrentItem(row(4));
  Answer({[](TAssignDialog* d) {
    d->SpecialKeyChosen(d->Key[0], 0x42);
    d->btnOK->click();
  }});
  form->Editor().btnEditSelectedClick();
  EXPECT_EQ(keys(), std::vector<std::string>{"41-"}) << "let go before the change";
  EXPECT_EQ(KeyRefCount(0x41), 0);

  cycle(1000);
  cycle(1000);
  cycle(0);
  EXPECT_EQ(keys(), (std::vector<std::string>{"42+", "42-"}));
  EXPECT_EQ(KeyRefCount(0x42), 0);
  RegisterOutputMethod(0, nullptr);
}

}  // namespace
}  // namespace brevanto
