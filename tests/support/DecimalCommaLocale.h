#pragma once

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

namespace brevanto::testing {

// Switches LC_NUMERIC to a locale with a decimal comma for the scope, so a
// leak of the process locale into file text shows. Uses an installed locale,
// else the one the build generates; active() says whether either worked.
class DecimalCommaLocale {
 public:
  DecimalCommaLocale() {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    saved_ = old ? old : "C";
    active_ = TrySet();
#ifdef BREVANTO_TEST_LOCALE_DIR
    if (!active_) {
      setenv("LOCPATH", BREVANTO_TEST_LOCALE_DIR, 1);
      usedLocPath_ = true;
      active_ = TrySet();
    }
#endif
  }
  ~DecimalCommaLocale() {
    std::setlocale(LC_NUMERIC, saved_.c_str());
    if (usedLocPath_) unsetenv("LOCPATH");
  }
  DecimalCommaLocale(const DecimalCommaLocale&) = delete;
  DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

  bool active() const {
    return active_;
  }

 private:
  static bool TrySet() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
      if (std::setlocale(LC_NUMERIC, name) &&
          std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
        return true;
      }
    }
    return false;
  }

  std::string saved_;
  bool active_ = false;
  bool usedLocPath_ = false;
};

}  // namespace brevanto::testing
