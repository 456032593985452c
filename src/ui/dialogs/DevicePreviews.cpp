#include "ui/dialogs/DevicePreviews.h"

#include <QPainter>
#include <algorithm>

namespace brevanto {
namespace {

// Values beyond the range would draw outside the box.
int Clamp(int value) {
  return std::clamp(value, -50, 50);
}

double DpiScale(const QWidget& widget) {
  return std::max(1.0, widget.logicalDpiX() / 96.0);
}

const char* const kAxisNames[kAxisCount] = {"X", "Y", "Z", "RX", "RY", "RZ", "Slider1", "Slider2"};

}  // namespace

StickPreview::StickPreview(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StickPreview::SetValues(int horizontal, int vertical) {
  horizontal_ = Clamp(horizontal);
  vertical_ = Clamp(vertical);
  update();
}

double StickPreview::Scale() const {
  return DpiScale(*this);
}

QSize StickPreview::sizeHint() const {
  const int side = static_cast<int>(100 * Scale()) + 1;
  return QSize(side, side);
}

void StickPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const double s = Scale();
  painter.scale(s, s);
  painter.setPen(Qt::gray);
  painter.setBrush(Qt::white);
  painter.drawRect(0, 0, 100, 100);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  const QPoint centre = Marker();
  painter.drawRect(centre.x() - 4, centre.y() - 4, 8, 8);
}

AxisPreview::AxisPreview(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void AxisPreview::SetValues(const std::array<int32_t, kAxisCount>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) values_[i] = Clamp(values[i]);
  update();
}

double AxisPreview::Scale() const {
  return DpiScale(*this);
}

QSize AxisPreview::sizeHint() const {
  const double s = Scale();
  return QSize(static_cast<int>(160 * s), static_cast<int>((10 + 20 * kAxisCount) * s));
}

void AxisPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const double s = Scale();
  painter.scale(s, s);
  // The longest name has to fit before the scale, which starts at 48.
  QFont small = font();
  small.setPixelSize(10);
  painter.setFont(small);
  for (int axis = 0; axis < kAxisCount; ++axis) {
    const int y = 10 + 20 * axis;
    painter.setPen(palette().windowText().color());
    painter.drawText(QRect(0, y - 8, 46, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromLatin1(kAxisNames[axis]));
    painter.setPen(Qt::gray);
    painter.drawLine(48, y, 148, y);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().windowText());
    painter.drawRect(Marker(axis) - 3, y - 5, 6, 10);
  }
}

}  // namespace brevanto
