#include "app/program/FatalError.h"

#include <QMessageBox>
#include <QString>
#include <cstdio>

#include "core/log/Logger.h"

namespace brevanto {

void ReportFatalError(const std::string& text, bool withWindow) {
  Logger::Instance().Write(LogLevel::Error, text);
  std::fprintf(stderr, "brevanto: %s\n", text.c_str());
  if (withWindow) {
    QMessageBox::critical(nullptr, QStringLiteral("Error"), QString::fromStdString(text));
  }
}

}  // namespace brevanto
