#include "platform/linux/instance/InstancePaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace brevanto {
namespace {

std::string Join(const std::string& directory, const char* name) {
  if (directory.empty()) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

// An absolute folder that exists; relative values are invalid by the
// base-directory rules and are ignored.
bool IsUsableBase(const char* value) {
  struct stat st {};
  return value != nullptr && value[0] == '/' && ::stat(value, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string InstanceDirectory(std::string& error) {
  error.clear();
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (IsUsableBase(runtime)) return runtime;
  const char* temporary = std::getenv("TMPDIR");
  return PrivateInstanceDirectory(IsUsableBase(temporary) ? temporary : "/tmp", error);
}

std::string PrivateInstanceDirectory(const std::string& base, std::string& error) {
  error.clear();
  const uid_t user = ::geteuid();
  const std::string path = Join(base, ("brevanto-" + std::to_string(user)).c_str());
  if (::mkdir(path.c_str(), 0700) == 0) {
    // The umask may have taken the owner's own rights.
    ::chmod(path.c_str(), 0700);
  } else if (errno != EEXIST) {
    error = "cannot create \"" + path + "\": " + std::strerror(errno);
    return {};
  }
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    error = "cannot examine \"" + path + "\": " + std::strerror(errno);
    return {};
  }
  if (!S_ISDIR(st.st_mode)) {
    error = "\"" + path + "\" is not a folder";
  } else if (st.st_uid != user) {
    error = "\"" + path + "\" belongs to another user";
  } else if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    error = "\"" + path + "\" is open to other users";
  } else if ((st.st_mode & S_IRWXU) != S_IRWXU) {
    error = "\"" + path + "\" is not usable by its owner";
  }
  return error.empty() ? path : std::string();
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
