#pragma once

#include <QString>
#include <functional>
#include <string>

namespace brevanto {

// Core strings are UTF-8; Qt's are UTF-16.
inline QString ToQ(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string FromQ(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Opens a page of the product's web site by its path ("/ja/overview").
using PageOpener = std::function<void(const std::string& path)>;

// Shown when the controller library cannot be started; the program ends.
inline const char* const kControllerLibraryMissing =
    "SDL 2 (libSDL2) が入っていることを確認してください。";

// Shown on commands whose dialog this build does not have.
inline const char* const kNotAvailableYet = "この機能はまだ利用できません。";

}  // namespace brevanto
