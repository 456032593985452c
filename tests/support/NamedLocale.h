#pragma once

#include <cstdlib>
#include <locale>
#include <optional>
#include <stdexcept>
#include <string>

namespace brevanto::testing {

// A locale by name: the installed one, else the one the build generates into
// BREVANTO_TEST_LOCALE_DIR. Empty when neither exists.
inline std::optional<std::locale> NamedLocale(const std::string& name) {
  try {
    return std::locale(name);
  } catch (const std::runtime_error&) {
  }
#ifdef BREVANTO_TEST_LOCALE_DIR
  const char* old = std::getenv("LOCPATH");
  const std::string saved = old ? old : "";
  setenv("LOCPATH", BREVANTO_TEST_LOCALE_DIR, 1);
  std::optional<std::locale> locale;
  try {
    locale = std::locale(name);
  } catch (const std::runtime_error&) {
  }
  if (old)
    setenv("LOCPATH", saved.c_str(), 1);
  else
    unsetenv("LOCPATH");
  return locale;
#else
  return std::nullopt;
#endif
}

}  // namespace brevanto::testing
