#pragma once

#include <QLocale>
#include <QString>
#include <cmath>
#include <optional>

namespace brevanto {

// The assignment dialog's messages for texts it refuses.
inline QString NotANumberText(const QString& text) {
  return text + QStringLiteral("は数字ではありません");
}
inline QString CenterRefusedText() {
  return QStringLiteral("0.0 以上の数字を入れてください");
}

// A decimal number as the dialog's number edits read it, with a point
// whatever the user's locale; nothing when the text is not one.
inline std::optional<double> ParseDecimalText(const QString& text) {
  bool ok = false;
  const double value = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

// The property that marks a key edit with the index of the key code it edits.
inline constexpr const char* kKeyIndexProperty = "keyIndex";

}  // namespace brevanto
