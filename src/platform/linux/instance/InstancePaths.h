#pragma once

#include <string>

namespace brevanto {

// The folder of the per-user instance files, one for every start of the user
// whatever its data directory: $XDG_RUNTIME_DIR when it names an existing
// folder (private to the user and cleared at logout), else the private folder
// "brevanto-UID" in $TMPDIR, else in /tmp (PrivateInstanceDirectory). Empty,
// with the reason in error, when no safe folder can be had.
std::string InstanceDirectory(std::string& error);

// base/brevanto-UID, created with mode 0700, or the one found there when it
// is a real folder (not a link) owned by this user that no one else may
// enter. Empty, with the reason in error, otherwise: another user could
// otherwise put a socket or lock file of its own where this user's
// instances meet.
std::string PrivateInstanceDirectory(const std::string& base, std::string& error);

// The lock file that stands for the single-instance mutex.
std::string InstanceLockPath(const std::string& directory);
// The socket of the instance channel, and the lock its owner holds while it
// serves it.
std::string InstanceSocketPath(const std::string& directory);
std::string InstanceSocketLockPath(const std::string& directory);

}  // namespace brevanto
