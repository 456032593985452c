#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ports/Clipboard.h"

namespace brevanto {

// A clipboard that keeps every text it is given, in order.
class RecordingClipboard : public Clipboard {
 public:
  bool SetClipboardText(std::string_view text) override {
    texts_.emplace_back(text);
    return succeed_;
  }

  const std::vector<std::string>& Texts() const { return texts_; }
  void Clear() { texts_.clear(); }
  // What later calls report; a failing clipboard still records the attempt.
  void SetSucceed(bool succeed) { succeed_ = succeed; }

 private:
  std::vector<std::string> texts_;
  bool succeed_ = true;
};

}  // namespace brevanto
