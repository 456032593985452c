#include "ui/IntegerText.h"

#include <climits>
#include <string>

#include "core/text/NumberText.h"
#include "ui/UiText.h"

namespace brevanto {

std::optional<int> ParseIntegerText(const QString& text) {
  const std::string trimmed = FromQ(text.trimmed());
  std::size_t pos = 0;
  long long value = 0;
  if (!ScanInt(trimmed, pos, value) || pos != trimmed.size()) return std::nullopt;
  if (value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

QString NotAnIntegerMessage(const QString& text) {
  return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

}  // namespace brevanto
