#include "platform/linux/instance/InstancePaths.h"

#include <sys/stat.h>

#include <cstdlib>

namespace brevanto {
namespace {

std::string Join(const std::string& directory, const char* name) {
  if (directory.empty()) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

}  // namespace

std::string InstanceDirectory(const std::string& dataDir) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  // A relative value is invalid by the base-directory rules and is ignored.
  if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) {
    return runtime;
  }
  return dataDir;
}

std::string InstanceLockPath(const std::string& directory) {
  return Join(directory, "Mutex_Brevanto.lock");
}

std::string InstanceSocketPath(const std::string& directory) {
  return Join(directory, "Brevanto.sock");
}

std::string InstanceSocketLockPath(const std::string& directory) {
  return Join(directory, "Brevanto.sock.lock");
}

}  // namespace brevanto
