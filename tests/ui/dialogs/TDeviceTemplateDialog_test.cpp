#include "ui/dialogs/TDeviceTemplateDialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/device/DeviceTemplateManager.h"
#include "support/TempDir.h"
#include "support/UiTestSupport.h"
#include "ui/UiText.h"
#include "ui/dialogs/TInputNameDialog.h"

namespace brevanto {
namespace {

using Labels = std::vector<std::string>;

class TDeviceTemplateDialogTest : public ::testing::Test {
 protected:
  TDeviceTemplateDialogTest()
      : templates(std::make_unique<DeviceTemplateManager>(dir.File("templates.json"))) {}

  // What a new start of the program reads back.
  std::unique_ptr<DeviceTemplateManager> Reloaded() const {
    return std::make_unique<DeviceTemplateManager>(dir.File("templates.json"),
                                                   DeviceTemplateManager::Mode::ReadOnly);
  }
  bool Saved() const { return std::filesystem::exists(dir.File("templates.json")); }
  static void Type(TDeviceTemplateDialog& dialog, int row, const char* text) {
    dialog.StartEditing(row);
    dialog.ListViewCellEditor->setText(QString::fromUtf8(text));
  }
  static void Answer(const char* text) {
    testing::WhenModal<TInputNameDialog>([text](TInputNameDialog* names) {
      names->editNewName->setText(QString::fromUtf8(text));
      names->btnOK->click();
    });
  }

  testing::TempDir dir;
  std::unique_ptr<DeviceTemplateManager> templates;
};

TEST_F(TDeviceTemplateDialogTest, OpensOnTheTemplateOfTheIdElseOnDefault) {
  const struct {
    std::string id;
    QString name;
    QString row1, row14;
  } cases[] = {
      {"XBOX", "Xbox controller", "A", "Button"},
      {"", "Default", "Button", "Button"},
      {"{00000000-0000-0000-0000-000000000000}", "Default", "Button", "Button"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    TDeviceTemplateDialog dialog(*templates, c.id);
    EXPECT_EQ(dialog.cbTemplates->count(), 5);
    EXPECT_EQ(dialog.cbTemplates->currentText(), c.name);
    ASSERT_EQ(dialog.lvButtonLabels->topLevelItemCount(), 128);
    EXPECT_EQ(dialog.lvButtonLabels->topLevelItem(0)->text(0), QStringLiteral("[1]"));
    EXPECT_EQ(dialog.lvButtonLabels->topLevelItem(127)->text(0), QStringLiteral("[128]"));
    EXPECT_EQ(dialog.RowLabel(0), c.row1);
    EXPECT_EQ(dialog.RowLabel(13), c.row14);
    EXPECT_FALSE(dialog.ListViewCellEditor->isVisible());
    dialog.show();
    dialog.close();
    EXPECT_EQ(dialog.ResultId(), c.id == "XBOX" ? "XBOX" : "DEFAULT");
  }
  EXPECT_FALSE(Saved()) << "nothing changed, nothing written";
}

TEST_F(TDeviceTemplateDialogTest, ALabelEditedAndClosedWithTheCloseBoxIsSaved) {
  {
    TDeviceTemplateDialog dialog(*templates, "XBOX");
    dialog.show();
    Type(dialog, 2, "Jump");
    dialog.close();
    EXPECT_EQ(dialog.ResultId(), "XBOX");
  }
  ASSERT_TRUE(Saved());
  EXPECT_EQ(Reloaded()->Find("XBOX")->Labels(),
            (Labels{"A", "B", "Jump", "Y", "LB", "RB", "View", "Menu", "L-Stick", "R-Stick", "LT",
                    "RT", "XBOX"}));
}

TEST_F(TDeviceTemplateDialogTest, LabelsAreStoredUpToTheLastRealLabel) {
  templates->Find("SWITCH")->MutableLabels() = {"B", "A"};
  using Edit = std::pair<int, const char*>;
  const struct {
    const char* name;
    std::string id;
    std::vector<Edit> edits;
    Labels labels;
  } cases[] = {
      {"rows between keep their texts",
       "DEFAULT",
       {{5, "Fire"}, {2, ""}},
       {"Button", "Button", "", "Button", "Button", "Fire"}},
      {"only Button and empty rows keep the labels",
       "SWITCH",
       {{0, ""}, {1, "Button"}},
       {"B", "A"}},
      {"a label cleared at the end", "SWITCH", {{1, ""}}, {"B"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TDeviceTemplateDialog dialog(*templates, c.id);
    for (const auto& [row, text] : c.edits) Type(dialog, row, text);
    dialog.accept();
    EXPECT_EQ(templates->Find(c.id)->Labels(), c.labels);
  }
}

TEST_F(TDeviceTemplateDialogTest, EnterAndArrowsStoreTheRowAndMoveWithinTheList) {
  const struct {
    const char* name;
    int row;
    Qt::Key key;
    int next;
  } cases[] = {
      {"Enter", 4, Qt::Key_Return, 5},
      {"Down", 4, Qt::Key_Down, 5},
      {"Up", 4, Qt::Key_Up, 3},
      {"Down on the last row", 127, Qt::Key_Down, 127},
      {"Enter on the last row", 127, Qt::Key_Enter, 127},
      {"Up on the first row", 0, Qt::Key_Up, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TDeviceTemplateDialog dialog(*templates, "DEFAULT");
    dialog.show();
    Type(dialog, c.row, c.name);
    QTest::keyClick(dialog.ListViewCellEditor, c.key);
    EXPECT_EQ(dialog.RowLabel(c.row), QString::fromUtf8(c.name));
    EXPECT_EQ(dialog.EditingRow(), c.next);
    EXPECT_TRUE(dialog.ListViewCellEditor->isVisible());
    EXPECT_EQ(dialog.ListViewCellEditor->text(), dialog.RowLabel(c.next));
    EXPECT_EQ(dialog.ListViewCellEditor->selectedText(), dialog.RowLabel(c.next));
    EXPECT_TRUE(dialog.Modified());
    dialog.reject();
  }
}

TEST_F(TDeviceTemplateDialogTest, AClickOnTheLabelColumnEditsThatRowAndElsewhereEndsEditing) {
  TDeviceTemplateDialog dialog(*templates, "PS4");
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTreeWidget* list = dialog.lvButtonLabels;
  auto cell = [&](int row, int column) {
    QRect rect = list->visualItemRect(list->topLevelItem(row));
    return QPoint(list->header()->sectionViewportPosition(column) + 5, rect.center().y());
  };
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell(3, 1));
  EXPECT_EQ(dialog.EditingRow(), -1) << "editing starts after the click was handled";
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.EditingRow() == 3; }, 2000));
  EXPECT_EQ(dialog.ListViewCellEditor->text(), QString::fromUtf8("△"));
  dialog.ListViewCellEditor->setText(QStringLiteral("Triangle"));

  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell(6, 0));
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog.EditingRow(), -1);
  EXPECT_FALSE(dialog.ListViewCellEditor->isVisible());
  EXPECT_EQ(dialog.RowLabel(3), QStringLiteral("Triangle")) << "leaving the row stores it";
  dialog.accept();
  EXPECT_EQ(Reloaded()->Find("PS4")->Labels()[3], "Triangle");
}

TEST_F(TDeviceTemplateDialogTest, SwitchingTemplatesStoresTheRowsOfTheOneShownBefore) {
  TDeviceTemplateDialog dialog(*templates, "XBOX");
  Type(dialog, 0, "Confirm");
  dialog.cbTemplates->setCurrentIndex(dialog.cbTemplates->findData(QStringLiteral("PS5")));
  EXPECT_EQ(templates->Find("XBOX")->Labels()[0], "Confirm");
  EXPECT_EQ(dialog.RowLabel(14), QStringLiteral("Mute"));
  EXPECT_FALSE(dialog.ListViewCellEditor->isVisible());
  dialog.accept();
  EXPECT_EQ(dialog.ResultId(), "PS5");
  EXPECT_EQ(Reloaded()->Find("XBOX")->Labels()[0], "Confirm");
}

TEST_F(TDeviceTemplateDialogTest, RenameAndCopyGoThroughTheNameDialog) {
  TDeviceTemplateDialog dialog(*templates, "SWITCH");
  QString title, text;
  testing::WhenModal<TInputNameDialog>([&](TInputNameDialog* names) {
    title = names->windowTitle();
    text = names->editNewName->text();
    names->editNewName->setText(QStringLiteral("Pro controller"));
    names->btnOK->click();
  });
  dialog.btnEditTemplateName->click();
  EXPECT_EQ(title, QStringLiteral("テンプレート名を編集"));
  EXPECT_EQ(text, QStringLiteral("Switch controller"));
  EXPECT_EQ(templates->Find("SWITCH")->Name(), "Pro controller");
  EXPECT_EQ(dialog.cbTemplates->currentText(), QStringLiteral("Pro controller"));

  Type(dialog, 14, "Grip");
  testing::WhenModal<TInputNameDialog>([&](TInputNameDialog* names) {
    title = names->windowTitle();
    text = names->editNewName->text();
    names->editNewName->setText(QStringLiteral("My pad"));
    names->btnOK->click();
  });
  dialog.btnCreateNewTemplate->click();
  EXPECT_EQ(title, QStringLiteral("テンプレートを新規作成"));
  EXPECT_EQ(text, QStringLiteral("Pro controller (copy)"));
  ASSERT_EQ(templates->Templates().size(), 6u);
  const TDeviceTemplate& copy = *templates->Templates().back();
  EXPECT_EQ(dialog.Current(), &copy);
  EXPECT_EQ(copy.Name(), "My pad");
  EXPECT_EQ(copy.Labels().size(), 15u) << "the copy carries the edit";
  EXPECT_EQ(dialog.cbTemplates->count(), 6);
  EXPECT_EQ(dialog.cbTemplates->currentText(), QStringLiteral("My pad"));

  // An empty name creates nothing.
  Answer("");
  dialog.btnCreateNewTemplate->click();
  EXPECT_EQ(templates->Templates().size(), 6u);

  dialog.show();
  dialog.close();
  EXPECT_EQ(dialog.ResultId(), copy.Id());
  const std::unique_ptr<DeviceTemplateManager> reloaded = Reloaded();
  ASSERT_NE(reloaded->Find(copy.Id()), nullptr);
  EXPECT_EQ(reloaded->Find(copy.Id())->Name(), "My pad");
  EXPECT_EQ(reloaded->Find("SWITCH")->Name(), "Pro controller");
  EXPECT_EQ(reloaded->Find("SWITCH")->Labels().back(), "Grip");
}

}  // namespace
}  // namespace brevanto
