#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

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

  // The processing thread is found by its name in this process; the X
  // server only when its process is known (a private one). The receiver is
  // the calling thread.
  static CoreWaits Find(const std::string& processingThreadName, std::optional<pid_t> xServer);

  bool HasProcessing() const { return processing_.has_value(); }
  bool HasXServer() const { return xServer_.has_value(); }
  // Parties that cannot be read count 0.
  Reading Read() const;

 private:
  std::optional<std::string> processing_;
  std::optional<std::string> xServer_;
  std::string receiver_;
};

}  // namespace brevanto::bench
