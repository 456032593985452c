#include "platform/fake/RecordingShell.h"

namespace brevanto {

bool RecordingShell::Open(const std::string& target) {
  calls.push_back(Call{Call::Kind::Open, target, {}, {}});
  return result;
}

bool RecordingShell::Launch(const std::string& program, const std::string& parameters,
                            const std::string& startFrom) {
  calls.push_back(Call{Call::Kind::Launch, program, parameters, startFrom});
  return result;
}

}  // namespace brevanto
