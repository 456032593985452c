#include "ui/dialogs/TButtonAliasDialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QTableWidget>
#include <QTest>

#include "core/profile/ConfigFile.h"

namespace brevanto {
namespace {

TEST(AliasTextTest, NamesTheSourcesThatAreSet) {
  const struct {
    ButtonAlias alias;
    const char* text;
  } cases[] = {
      {{56, -1, -1}, "Button 1"},
      {{58, 59, -1}, "Button 3 + Button 4"},
      {{58, 59, 60}, "Button 3 + Button 4 + Button 5"},
      // Without a second source the third is not shown.
      {{56, -1, 60}, "Button 1"},
      {{16, -1, -1}, "POV: ↑"},
  };
  for (const auto& c : cases) EXPECT_EQ(AliasText(c.alias), c.text);
}

class TButtonAliasDialogTest : public ::testing::Test {
 protected:
  TButtonAliasDialogTest() {
    profile.NumberOfButtons = 4;
    profile.ButtonAlias[57] = ButtonAlias{58, 59, -1};  // Button 2 = Button 3 + Button 4
    profile.modified = false;
  }
  void Choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  bool RowIsBold(const TButtonAliasDialog& d, int row) {
    return d.lvButtonAlias->item(row, 1)->font().bold();
  }

  ConfigFile profile;
};

TEST_F(TButtonAliasDialogTest, ListsTheFirstPovThenTheProfilesButtons) {
  TButtonAliasDialog dialog(profile);
  ASSERT_EQ(dialog.lvButtonAlias->rowCount(), 8 + 4);
  for (int row = 0; row < 8; ++row) EXPECT_EQ(dialog.RowButton(row), 16 + row);
  for (int row = 8; row < 12; ++row) EXPECT_EQ(dialog.RowButton(row), 56 + row - 8);
  EXPECT_EQ(dialog.lvButtonAlias->item(9, 0)->text(), QStringLiteral("Button 2"));
  EXPECT_EQ(dialog.lvButtonAlias->item(9, 1)->text(), QStringLiteral("Button 3 + Button 4"));
  EXPECT_EQ(dialog.lvButtonAlias->item(10, 1)->text(), QStringLiteral("Button 3"));
  EXPECT_TRUE(RowIsBold(dialog, 9));
  EXPECT_FALSE(RowIsBold(dialog, 8));
  EXPECT_EQ(dialog.cbAssignment1->count(), 184);
  EXPECT_EQ(dialog.cbAssignment2->count(), 185);
}

TEST_F(TButtonAliasDialogTest, SelectingARowShowsItsSources) {
  TButtonAliasDialog dialog(profile);
  dialog.lvButtonAlias->selectRow(9);
  EXPECT_EQ(dialog.lblSelected->title(), QStringLiteral("Button 2"));
  EXPECT_EQ(dialog.cbAssignment1->currentIndex(), 58);
  EXPECT_EQ(dialog.cbAssignment2->currentIndex(), 60);
  EXPECT_EQ(dialog.cbAssignment3->currentIndex(), 0);
  dialog.lvButtonAlias->selectRow(0);
  EXPECT_EQ(dialog.lblSelected->title(), QStringLiteral("POV: ↑"));
  EXPECT_EQ(dialog.cbAssignment1->currentIndex(), 16);
  EXPECT_EQ(dialog.cbAssignment2->currentIndex(), 0);
  EXPECT_FALSE(profile.modified) << "selecting is not editing";
}

TEST_F(TButtonAliasDialogTest, ChoicesWriteTheEntryAtOnceAndMarkTheProfile) {
  TButtonAliasDialog dialog(profile);
  dialog.lvButtonAlias->selectRow(8);  // Button 1
  Choose(dialog.cbAssignment1, 60);
  Choose(dialog.cbAssignment2, 62);
  Choose(dialog.cbAssignment3, 63);
  EXPECT_EQ(profile.ButtonAlias[56], (ButtonAlias{60, 61, 62}));
  EXPECT_TRUE(profile.modified);
  EXPECT_EQ(dialog.lvButtonAlias->item(8, 1)->text(),
            QStringLiteral("Button 5 + Button 6 + Button 7"));
  EXPECT_TRUE(RowIsBold(dialog, 8));

  // Back to no second source: the text shows source 1 only, whatever the third holds.
  Choose(dialog.cbAssignment2, 0);
  EXPECT_EQ(profile.ButtonAlias[56], (ButtonAlias{60, -1, 62}));
  EXPECT_EQ(dialog.lvButtonAlias->item(8, 1)->text(), QStringLiteral("Button 5"));

  // The identity entry is drawn normally again.
  Choose(dialog.cbAssignment1, 56);
  Choose(dialog.cbAssignment3, 0);
  EXPECT_EQ(profile.ButtonAlias[56], (ButtonAlias{56, -1, -1}));
  EXPECT_FALSE(RowIsBold(dialog, 8));
}

TEST_F(TButtonAliasDialogTest, ButtonCountOutsideTheTableIsClamped) {
  profile.NumberOfButtons = 500;
  TButtonAliasDialog dialog(profile);
  EXPECT_EQ(dialog.lvButtonAlias->rowCount(), 8 + 128);
}

}  // namespace
}  // namespace brevanto
