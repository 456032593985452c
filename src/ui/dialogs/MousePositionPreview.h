#pragma once

#include <QWidget>

namespace brevanto {

// A picture of the whole desktop, 0..100 on each axis, with the target
// point or, in range mode, the centre and the range the stick moves the
// cursor in.
class MousePositionPreview : public QWidget {
  Q_OBJECT

 public:
  explicit MousePositionPreview(QWidget* parent = nullptr);

  // Centre in per cent of the desktop; ranges -100..100 (0 in target mode).
  void SetPosition(double x, double y, bool rangeMode, int rangeX, int rangeY);

  double X() const { return x_; }
  double Y() const { return y_; }
  bool RangeMode() const { return rangeMode_; }

  QSize sizeHint() const override { return QSize(160, 100); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double x_ = 50.0;
  double y_ = 50.0;
  bool rangeMode_ = true;
  int rangeX_ = 0;
  int rangeY_ = 0;
};

}  // namespace brevanto
