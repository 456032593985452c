#include "ui/dialogs/TImageForm.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "support/TempDir.h"

namespace brevanto {
namespace {

TEST(ImageClientSizeTest, ScalesToTheShareOfTheScreenOnlyWithARatio) {
  const struct {
    QSize picture;
    double ratio;
    QSize client;
  } cases[] = {
      // u = min(0.5 * 1920 / 100, 0.5 * 1080 / 100) = 5.4.
      {{100, 100}, 0.5, {540, 540}},
      {{100, 100}, 0.0, {100, 100}},
      {{400, 100}, 1.0, {1920, 480}},
      {{0, 0}, 0.5, {0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ImageClientSize(c.picture, c.ratio, QSize(1920, 1080)), c.client)
        << c.picture.width() << "x" << c.picture.height() << " at " << c.ratio;
  }
}

TEST(ImagePlacementTest, PutsTheWindowInTheChosenCorner) {
  const QSize screen(1920, 1080);
  const QSize client(101, 51);
  const struct {
    int position;
    QPoint at;
  } cases[] = {
      {0, {0, 0}},       {1, {0, 1029}},  {2, {1819, 0}},
      {3, {1819, 1029}}, {4, {909, 514}}, {7, {1819, 1029}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ImagePlacement(c.position, client, screen), c.at) << "position " << c.position;
  }
}

class TImageFormTest : public ::testing::Test {
 protected:
  TImageFormTest() {
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    path = dir.File("profile.png");
    picture.save(QString::fromStdString(path));
  }

  testing::TempDir dir;
  std::string path;
  double ratio = 0.0;
};

TEST_F(TImageFormTest, ShowsThePictureAtItsSizeForTheDuration) {
  TImageForm form(&ratio);
  ASSERT_TRUE(form.Show(path, 0, 60000));
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.size(), QSize(40, 20));
  EXPECT_EQ(form.Image->size(), QSize(40, 20));
  EXPECT_TRUE(form.CloseTimer->isActive());
  EXPECT_EQ(form.CloseTimer->interval(), 60000);
  EXPECT_FALSE(form.isActiveWindow()) << "the picture must not take the focus";

  ratio = 0.5;
  ASSERT_TRUE(form.Show(path, 0, 60000));
  const QSize expected = ImageClientSize(QSize(40, 20), 0.5, form.ScreenSize());
  EXPECT_EQ(form.size(), expected);
}

TEST_F(TImageFormTest, ShowingAgainRestartsTheDuration) {
  TImageForm form(&ratio);
  ASSERT_TRUE(form.Show(path, 3, 300));
  QTest::qWait(200);
  ASSERT_TRUE(form.Show(path, 3, 300));
  EXPECT_GT(form.CloseTimer->remainingTime(), 200);
  QTest::qWait(200);
  EXPECT_TRUE(form.isVisible()) << "hidden by the first showing's timer";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 2000));
}

TEST_F(TImageFormTest, AClickOrHideEndsItEarly) {
  TImageForm form(&ratio);
  ASSERT_TRUE(form.Show(path, 4, 60000));
  QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.CloseTimer->isActive());

  ASSERT_TRUE(form.Show(path, 4, 60000));
  form.Hide();
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.CloseTimer->isActive());
}

TEST_F(TImageFormTest, AFileThatIsNoPictureHidesTheWindow) {
  TImageForm form(&ratio);
  ASSERT_TRUE(form.Show(path, 0, 60000));
  dir.Write("broken.png", "not a picture");
  EXPECT_FALSE(form.Show(dir.File("broken.png"), 0, 60000));
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.CloseTimer->isActive());
}

}  // namespace
}  // namespace brevanto
