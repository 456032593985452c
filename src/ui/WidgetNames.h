#pragma once

#include <QString>

namespace brevanto {

// Gives a control the name the rest of the program and the tests know it by.
template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace brevanto
