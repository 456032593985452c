#pragma once

#include <string>
#include <vector>

#include "core/ports/Shell.h"

namespace brevanto {

// A shell that only records what it was asked to open or start.
class RecordingShell : public Shell {
 public:
  struct Call {
    enum class Kind { Open, Launch };
    Kind kind;
    std::string target;  // the document, address or program
    std::string parameters;
    std::string startFrom;

    bool operator==(const Call&) const = default;
  };

  bool Open(const std::string& target) override;
  bool Launch(const std::string& program, const std::string& parameters,
              const std::string& startFrom) override;

  std::vector<Call> calls;
  // What every call returns; false simulates a shell that fails.
  bool result = true;
};

}  // namespace brevanto
