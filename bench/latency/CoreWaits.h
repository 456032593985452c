#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "ProcFile.h"

namespace brevanto::bench {

// How long each party of the path has waited for a core, summed by the
// kernel (the second field of /proc/.../schedstat, nanoseconds runnable but
// not running): the processing thread, the X server and the receiving
// client. The difference of two readings is what a sample lost to the
// machine's other load.
class CoreWaits {
 public:
  enum Party { kProcessing, kXServer, kReceiver, kPartyCount };
  using Reading = std::array<int64_t, kPartyCount>;

  // The processing thread is the thread of this process, other than the
  // caller, that went to sleep most often over 0.3 s: it wakes every tick
  // (none without a running program). The X server counts only when its
  // process is known (a private one). The receiver is the calling thread.
  static CoreWaits Find(std::optional<pid_t> xServer);

  bool HasProcessing() const { return processing_.has_value(); }
  bool HasXServer() const { return xServer_.has_value(); }
  // Parties that cannot be read count 0.
  Reading Read();

 private:
  std::optional<ProcFile> processing_;
  std::optional<ProcFile> xServer_;
  std::optional<ProcFile> receiver_;
};

}  // namespace brevanto::bench
