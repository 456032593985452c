#pragma once

#include <string>
#include <vector>

#include "platform/ports/Shell.h"

namespace brevanto {

// A shell that starts nothing and records every request.
class RecordingShell : public Shell {
 public:
  struct Request {
    enum class Op { Open, Launch };
    Op op = Op::Open;
    std::string target;  // the document or the program
    std::string parameters;
    std::string startFrom;

    bool operator==(const Request&) const = default;
  };

  bool Open(const std::string& target) override {
    requests_.push_back(Request{Request::Op::Open, target, {}, {}});
    return succeed_;
  }
  bool Launch(const std::string& program, const std::string& parameters,
              const std::string& startFrom) override {
    requests_.push_back(Request{Request::Op::Launch, program, parameters, startFrom});
    return succeed_;
  }

  const std::vector<Request>& Requests() const { return requests_; }
  void Clear() { requests_.clear(); }
  // What later requests report.
  void SetSucceed(bool succeed) { succeed_ = succeed; }

 private:
  std::vector<Request> requests_;
  bool succeed_ = true;
};

}  // namespace brevanto
