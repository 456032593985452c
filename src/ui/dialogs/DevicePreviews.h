#pragma once

#include <QPoint>
#include <QWidget>
#include <array>
#include <cstdint>

#include "core/input/VirtualButton.h"

namespace brevanto {

// The live position of one stick: a white box of 100 x 100 with a black
// marker at the stick's horizontal and vertical value (-50..+50 each).
class StickPreview : public QWidget {
  Q_OBJECT

 public:
  explicit StickPreview(QWidget* parent = nullptr);

  void SetValues(int horizontal, int vertical);
  // The marker's centre in the unscaled 100 x 100 box.
  QPoint Marker() const { return QPoint(50 + horizontal_, 50 + vertical_); }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double Scale() const;

  int horizontal_ = 0;
  int vertical_ = 0;
};

// Every physical axis in a row of its own: its name, a scale and a marker
// at the axis's value (-50..+50).
class AxisPreview : public QWidget {
  Q_OBJECT

 public:
  explicit AxisPreview(QWidget* parent = nullptr);

  void SetValues(const std::array<int32_t, kAxisCount>& values);
  // The marker's x position of an axis, unscaled.
  int Marker(int axis) const { return 98 + values_[static_cast<std::size_t>(axis)]; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double Scale() const;

  std::array<int32_t, kAxisCount> values_{};
};

}  // namespace brevanto
