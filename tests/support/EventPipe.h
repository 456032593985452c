#pragma once

#include <fcntl.h>
#include <linux/input.h>
#include <unistd.h>

#include <cstdint>
#include <ostream>
#include <vector>

namespace brevanto::testing {

// One input_event as read back, without its time stamp.
struct Ev {
  uint16_t type;
  uint16_t code;
  int32_t value;
  bool operator==(const Ev&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Ev& e) {
  return os << "{" << e.type << ", " << e.code << ", " << e.value << "}";
}

inline constexpr Ev kSyn{EV_SYN, SYN_REPORT, 0};

// A pipe standing in for the uinput device: the writer side goes to the code
// under test, the reader side gives back the records written so far.
class EventPipe {
 public:
  EventPipe() {
    if (::pipe2(fds_, O_CLOEXEC) == 0) ::fcntl(fds_[0], F_SETFL, O_NONBLOCK);
  }
  ~EventPipe() {
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  EventPipe(const EventPipe&) = delete;
  EventPipe& operator=(const EventPipe&) = delete;

  int WriteEnd() const { return fds_[1]; }

  std::vector<Ev> Read() {
    std::vector<Ev> events;
    input_event e{};
    while (::read(fds_[0], &e, sizeof e) == static_cast<ssize_t>(sizeof e)) {
      events.push_back({e.type, e.code, e.value});
    }
    return events;
  }

 private:
  int fds_[2] = {-1, -1};
};

}  // namespace brevanto::testing
