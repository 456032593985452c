#pragma once

#include <string>

#include "core/settings/StartupContext.h"

namespace brevanto {

// The user's home folder: $HOME, else the password database's entry; empty
// when neither knows it.
std::string HomeDirectory(const EnvironmentLookup& environment);

// The user's documents folder as the desktop names it (XDG_DOCUMENTS_DIR in
// the user-dirs.dirs file of $XDG_CONFIG_HOME or ~/.config), else
// ~/Documents; no trailing "/". Empty when the home folder is unknown.
std::string DocumentsDirectory(const EnvironmentLookup& environment);

// True when the executable's folder belongs to the system (under /usr/ or
// /opt/) or the user cannot write to it: such an installation keeps its data
// in the user's documents, never beside the program.
bool IsSystemInstallFolder(const std::string& exeDir);

// True when the folder holds "Brevanto.ini" or at least one profile (*.cfg):
// the program was copied there to be used from there.
bool HoldsPortableData(const std::string& folder);

}  // namespace brevanto
