#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

namespace brevanto::bench {

// An Xvfb of the benchmark's own on a free display number, so that the keys
// it injects reach no one's desktop. Ended with the object, or with the
// benchmark if that dies first.
class PrivateXServer {
 public:
  // nullptr (with the reason in error) when Xvfb cannot be started.
  static std::unique_ptr<PrivateXServer> Start(const std::string& logPath, std::string& error);
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  // ":N"
  const std::string& DisplayName() const { return name_; }
  pid_t Pid() const { return pid_; }

 private:
  PrivateXServer(pid_t pid, std::string name) : pid_(pid), name_(std::move(name)) {}

  pid_t pid_;
  std::string name_;
};

}  // namespace brevanto::bench
