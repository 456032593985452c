#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace brevanto::bench {

// Starts a program of the benchmark's (an X server, a window manager) with
// its output going to logPath; it is ended when the benchmark dies. keepFd
// stays open in it. Returns the process, or -1.
pid_t StartChild(const std::vector<std::string>& command, const std::string& logPath,
                 int keepFd = -1);

// Ends it and waits for it.
void EndChild(pid_t pid);

}  // namespace brevanto::bench
