#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevanto {

// The profile files of the data directory: one "NAME.cfg" per profile.

inline constexpr char kProfileExtension[] = ".cfg";

// The names of the profiles in the folder (which ends in "/"): every regular
// file whose name ends in ".cfg", without its last extension, in byte order.
// Folders and files without a name before the extension are left out. A
// folder that cannot be read gives none (logged).
std::vector<std::string> ListProfileFiles(const std::string& folder);

// Whether a name can be a profile's: it must not be empty, nor hold a
// character that no Windows file name may hold (\ / : * ? " < > | or a
// control character), so the file can go to a Windows machine and the name
// into the quoted, line-based texts that refer to profiles.
bool IsValidProfileName(std::string_view name);

// Creates the file empty, or empties it when it exists. False (logged with
// the system's reason) when it cannot.
bool CreateEmptyFile(const std::string& path);

// Renames a file, never over an existing one. False (logged) when the source
// is missing, the target exists or the system refuses; both stay as they were.
bool RenameFileWithoutReplacing(const std::string& from, const std::string& to);

enum class RemoveResult { Removed, Missing, Failed };
// Deletes a file. Failed (logged) leaves it in place.
RemoveResult RemoveFile(const std::string& path);

}  // namespace brevanto
