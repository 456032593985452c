#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace brevanto::testing {

// Environment variables changed for one scope and put back at its end.
class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  explicit ScopedEnvironment(const std::map<std::string, std::string>& values) {
    for (const auto& [name, value] : values) Set(name, value);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

  // nullptr unsets the variable.
  void Set(const std::string& name, const char* value) {
    Set(name, value ? std::optional<std::string>(value) : std::nullopt);
  }
  void Set(const std::string& name, const std::string& value) {
    Set(name, std::optional<std::string>(value));
  }
  // No value unsets the variable.
  void Set(const std::string& name, const std::optional<std::string>& value) {
    if (saved_.count(name) == 0) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace brevanto::testing
