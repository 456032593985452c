#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/ports/AutoStartTask.h"

namespace brevanto {

// The executable to start, or the errno of the failure to find it.
struct ExecutablePath {
  std::string path;  // empty on failure
  int error = 0;
};

// The running program's own executable, from /proc/self/exe.
ExecutablePath RunningExecutable();

// Starts Brevanto at logon through an XDG autostart entry:
// $XDG_CONFIG_HOME/autostart/Brevanto.desktop (~/.config when unset).
class XdgAutoStart final : public AutoStartTask {
 public:
  using ExecutableLookup = std::function<ExecutablePath()>;

  explicit XdgAutoStart(ExecutableLookup executable = RunningExecutable);

  // True when the entry exists and is not marked Hidden (the desktop's way
  // of switching an autostart entry off).
  bool TaskExists() override;
  // Writes the entry for the executable, replacing an existing one.
  bool CreateTask() override;
  bool DeleteTask() override;

  // Where the entry lives; empty when no configuration folder is known.
  static std::string EntryPath();

 private:
  ExecutableLookup executable_;
};

// The entry's text for the executable.
std::string AutoStartEntryText(const std::string& executablePath);
// One argument of an Exec line, quoted and escaped so that any path survives
// the desktop-entry rules (string escapes, argument quoting, field codes).
std::string QuoteExecArgument(std::string_view argument);

}  // namespace brevanto
