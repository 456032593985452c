#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <vector>

#include "ui/dialogs/LinkLabel.h"
#include "ui/dialogs/TAboutBox.h"
#include "ui/dialogs/TGreetingDialog.h"

namespace brevanto {
namespace {

TEST(LinkDialogsTest, TheLinkOpensItsPageAndOkCloses) {
  std::vector<std::string> opened;
  const PageOpener opener = [&](const std::string& path) { opened.push_back(path); };
  TAboutBox about(opener);
  TGreetingDialog greeting(opener);
  const struct {
    QDialog* dialog;
    LinkLabel* link;
    QPushButton* ok;
    const char* path;
  } cases[] = {
      {&about, about.LinkSite, about.OKButton, "/ja/"},
      {&greeting, greeting.LabelURL, greeting.btnClose, "/ja/overview"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    opened.clear();
    c.dialog->show();
    EXPECT_TRUE(c.link->text().endsWith(QString::fromLatin1(c.path)));
    QTest::mouseClick(c.link, Qt::LeftButton);
    EXPECT_EQ(opened, std::vector<std::string>{c.path});
    c.ok->click();
    EXPECT_FALSE(c.dialog->isVisible());
    EXPECT_EQ(c.dialog->result(), QDialog::Accepted);
  }
  EXPECT_EQ(about.Version->text(), QStringLiteral("Version 7.3.2"));
}

}  // namespace
}  // namespace brevanto
