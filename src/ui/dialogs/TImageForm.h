#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>
#include <string>

class QLabel;
class QTimer;

namespace brevanto {

// Size of the window for a picture: the picture's own, or scaled to the
// given share of the screen when ratio is not 0.
QSize ImageClientSize(QSize picture, double ratio, QSize screen);
// Top-left corner for a placement: 0 top-left, 1 bottom-left, 2 top-right,
// 3 bottom-right, 4 centre. Other values count as bottom-right.
QPoint ImagePlacement(int position, QSize client, QSize screen);

// The picture of a profile, shown for a while after a switch: borderless,
// above every window, never taking the focus. A click or the end of the
// duration (when there is one) hides it.
class TImageForm : public QWidget {
  Q_OBJECT

 public:
  // ratio reads the share of the screen a picture is scaled to (0 = none)
  // at each Show.
  explicit TImageForm(const double* fullScreenRatio, QWidget* parent = nullptr);

  // False (logged) when the file is not a picture; the window then stays
  // hidden. A duration of 0 or less keeps the picture until it is clicked.
  bool Show(const std::string& path, int position, int durationMs);
  void Hide();

  QSize ScreenSize() const { return screen_; }

  QLabel* Image;
  QTimer* CloseTimer;

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const double* fullScreenRatio_;
  QSize screen_;
};

}  // namespace brevanto
