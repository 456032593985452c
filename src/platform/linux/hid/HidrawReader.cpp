#include "platform/linux/hid/HidrawReader.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

// Enough to drain a controller between two cycles while a flooding device
// cannot hold up the others.
constexpr int kMaxReportsPerNode = 64;

}  // namespace

HidrawReader::~HidrawReader() {
  CloseAll();
}

bool HidrawReader::Open(int key, const std::string& path) {
  Close(key);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    LOG_ERROR("HidrawReader: Cannot open %s for reading", path.c_str());
    LOG_SYSTEM_ERROR();
    return false;
  }
  nodes_.push_back(Node{key, fd, path});
  return true;
}

void HidrawReader::Close(int key) {
  for (std::size_t i = nodes_.size(); i-- > 0;) {
    if (nodes_[i].key == key) CloseNode(i);
  }
}

void HidrawReader::CloseAll() {
  while (!nodes_.empty()) CloseNode(nodes_.size() - 1);
}

void HidrawReader::CloseNode(std::size_t index) {
  ::close(nodes_[index].fd);
  nodes_.erase(nodes_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool HidrawReader::IsOpen(int key) const {
  return std::any_of(nodes_.begin(), nodes_.end(), [key](const Node& n) { return n.key == key; });
}

std::vector<int> HidrawReader::Fds() const {
  std::vector<int> fds;
  for (const Node& node : nodes_) fds.push_back(node.fd);
  return fds;
}

bool HidrawReader::Wait(int timeoutMs) const {
  std::vector<pollfd> fds;
  for (const Node& node : nodes_) fds.push_back(pollfd{node.fd, POLLIN, 0});
  if (fds.empty()) return false;
  int ready = 0;
  do {
    ready = ::poll(fds.data(), fds.size(), timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

int HidrawReader::ReadAvailable(const ReportHandler& handler) {
  int reports = 0;
  for (std::size_t i = 0; i < nodes_.size();) {
    const Node node = nodes_[i];
    bool gone = false;
    for (int n = 0; n < kMaxReportsPerNode; ++n) {
      const ssize_t length = ::read(node.fd, buffer_.data(), buffer_.size());
      if (length > 0) {
        ++reports;
        handler(node.key,
                std::span<const uint8_t>(buffer_.data(), static_cast<std::size_t>(length)));
        continue;
      }
      if (length < 0 && errno == EINTR) continue;
      if (length < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      // End of file or an error such as ENODEV: the controller was unplugged.
      if (length == 0) {
        LOG_INFO("HidrawReader: %s was removed", node.path.c_str());
      } else {
        LOG_ERROR("HidrawReader: Reading %s failed; it is no longer read", node.path.c_str());
        LOG_SYSTEM_ERROR();
      }
      gone = true;
      break;
    }
    if (gone) {
      CloseNode(i);
    } else {
      ++i;
    }
  }
  return reports;
}

}  // namespace brevanto
