#include "ui/ApplicationFont.h"

#include <QApplication>
#include <QFont>

namespace brevanto {

void ApplyApplicationFont() {
  QFont font(kApplicationFontFamily);
  font.setPixelSize(15);
  QApplication::setFont(font);
}

}  // namespace brevanto
