#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/linux/shell/ChildReaper.h"
#include "core/ports/Shell.h"

namespace brevanto {

// Starts programs directly with posix_spawn, never through /bin/sh, so the
// parameters are words and nothing in them is run or expanded. Documents,
// folders and web addresses go to xdg-open. Started programs run in a session
// of their own with stdin on /dev/null and none of this program's other file
// descriptors; they are waited for so none is left as a zombie.
class LinuxShell : public Shell {
 public:
  bool Open(const std::string& target) override;
  bool Launch(const std::string& program, const std::string& parameters,
              const std::string& startFrom) override;

  // Started programs that have not ended yet (or not yet been waited for).
  std::size_t RunningChildren() { return reaper_.Pending(); }

  // The executable file that name stands for: a path to an executable
  // regular file (made absolute), or a name without a slash found on PATH.
  static std::optional<std::string> ResolveExecutable(const std::string& name);

 private:
  bool OpenIn(const std::string& target, const std::string& startFrom);
  bool Spawn(const std::string& path, const std::vector<std::string>& argv,
             const std::string& startFrom, bool failureIsError);

  ChildReaper reaper_;
};

}  // namespace brevanto
