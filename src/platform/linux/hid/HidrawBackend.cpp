#include "platform/linux/hid/HidrawBackend.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <utility>

#include "core/log/Logger.h"
#include "core/processing/DeviceDetection.h"

namespace brevanto {

HidrawBackend::HidrawBackend(std::string classDir, std::string devDir)
    : enumerator_(std::move(classDir), std::move(devDir)),
      watcher_([](HidrawWatcher::Change change, const std::string& name) {
        LOG_DEBUG("HID node %s %s", name.empty() ? "(unknown)" : name.c_str(),
                  change == HidrawWatcher::Change::Added ? "added" : "removed");
      }) {}

HidrawBackend::~HidrawBackend() {
  Unload();
}

void HidrawBackend::Connect(DeviceDetection& detection) {
  detection.SetHidStates(&states_);
  SetDeviceChangeCallback([&detection] { detection.RequestDetection(); });
}

void HidrawBackend::SetDeviceChangeCallback(std::function<void()> callback) {
  onDeviceChange_ = std::move(callback);
}

bool HidrawBackend::Load() {
  if (Loaded()) return true;
  LOG_INFO("Loading hidraw");
  if (!enumerator_.Load()) return false;
  if (!watcher_.Start(enumerator_.DevDir())) return false;
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd_ < 0) {
    LOG_ERROR("LoadHid: Cannot create the reader's wake-up event");
    LOG_SYSTEM_ERROR();
    watcher_.Stop();
    return false;
  }
  stopping_.store(false, std::memory_order_release);
  thread_ = std::thread([this] { Run(); });
  return true;
}

bool HidrawBackend::Enumerate(std::vector<HidDevice>& out) {
  return enumerator_.Enumerate(out);
}

void HidrawBackend::ReadDevices(std::span<const HidDevice> devices) {
  {
    std::lock_guard lock(mutex_);
    reader_.CloseAll();
    descriptors_.clear();
    for (std::size_t i = 0; i < devices.size(); ++i) {
      descriptors_.push_back(devices[i].descriptor);
      // A node that could not be opened was logged when it was listed; it
      // is tried again when udev changes its access.
      if (devices[i].readable) reader_.Open(static_cast<int>(i), devices[i].path);
    }
    states_.Reset(static_cast<int>(devices.size()));
  }
  // The thread still waits on the old descriptors.
  Wake();
}

void HidrawBackend::Unload() {
  if (thread_.joinable()) {
    stopping_.store(true, std::memory_order_release);
    Wake();
    thread_.join();
  }
  watcher_.Stop();
  if (wakeFd_ >= 0) ::close(wakeFd_);
  wakeFd_ = -1;
  std::lock_guard lock(mutex_);
  reader_.CloseAll();
  descriptors_.clear();
  states_.Reset(0);
}

void HidrawBackend::Wake() {
  if (wakeFd_ < 0) return;
  const uint64_t one = 1;
  // Fails only when the counter is about to overflow: a wake-up is pending.
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void HidrawBackend::Run() {
  pthread_setname_np(pthread_self(), "brevanto-hidraw");
  std::vector<pollfd> fds;
  bool pollFailureLogged = false;
  while (!stopping_.load(std::memory_order_acquire)) {
    fds.clear();
    fds.push_back(pollfd{wakeFd_, POLLIN, 0});
    fds.push_back(pollfd{watcher_.Fd(), POLLIN, 0});
    {
      std::lock_guard lock(mutex_);
      for (int fd : reader_.Fds()) fds.push_back(pollfd{fd, POLLIN, 0});
    }
    // A node closed by ReadDevices after this list was made shows up as
    // invalid or wakes the poll early; the wake-up event makes the next turn
    // take the new list.
    const int ready = ::poll(fds.data(), fds.size(), -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      if (!pollFailureLogged) {
        LOG_ERROR("HidrawBackend: Waiting for controller input failed");
        LOG_SYSTEM_ERROR();
        pollFailureLogged = true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      continue;
    }
    if (fds[0].revents != 0) {
      uint64_t count = 0;
      [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
    }
    if (stopping_.load(std::memory_order_acquire)) break;

    bool changed = fds[1].revents != 0 && watcher_.Process() > 0;
    {
      std::lock_guard lock(mutex_);
      const std::size_t open = reader_.Fds().size();
      const int reports = reader_.ReadAvailable([this](int key, std::span<const uint8_t> report) {
        const auto index = static_cast<std::size_t>(key);
        if (index < descriptors_.size()) states_.Decode(key, descriptors_[index], report);
      });
      if (reports > 0)
        decoded_.fetch_add(static_cast<uint64_t>(reports), std::memory_order_release);
      // A node that ended was unplugged, even if the folder watch missed it.
      if (reader_.Fds().size() < open) changed = true;
    }
    if (changed && onDeviceChange_) onDeviceChange_();
  }
}

}  // namespace brevanto
