#pragma once

#include <string>

namespace brevanto {

// The folder of the per-user instance files: $XDG_RUNTIME_DIR when it names
// an existing folder (private to the user and cleared at logout), else the
// data directory.
std::string InstanceDirectory(const std::string& dataDir);

// The lock file that stands for the single-instance mutex.
std::string InstanceLockPath(const std::string& directory);
// The socket of the instance channel, and the lock its owner holds while it
// serves it.
std::string InstanceSocketPath(const std::string& directory);
std::string InstanceSocketLockPath(const std::string& directory);

}  // namespace brevanto
