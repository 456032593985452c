#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brevanto {

// Waits for the programs the shell starts, so none is left as a zombie, and
// logs how they ended. One thread, started with the first child, sleeps in
// poll on the children's pidfds and wakes when one ends.
class ChildReaper {
 public:
  ChildReaper() = default;
  ~ChildReaper();
  ChildReaper(const ChildReaper&) = delete;
  ChildReaper& operator=(const ChildReaper&) = delete;

  // Takes over a started child. name is used in log lines; a failing exit
  // status is logged as an error when failureIsError, otherwise at Debug.
  void Adopt(pid_t pid, const std::string& name, bool failureIsError);

  // Children not yet waited for.
  std::size_t Pending();

 private:
  struct Child {
    pid_t pid = 0;
    int pidfd = -1;  // -1 when the kernel offers none; then polled
    std::string name;
    bool failureIsError = false;
  };

  void Run();
  void ReapEnded();
  void Wake();

  std::mutex mutex_;
  std::vector<Child> children_;
  bool stop_ = false;
  int wakeFd_ = -1;
  std::thread thread_;
};

}  // namespace brevanto
