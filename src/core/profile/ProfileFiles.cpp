#include "core/profile/ProfileFiles.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

void LogFailure(const char* what, const std::string& path, int error) {
  LOG_ERROR("%s \"%s\"", what, path.c_str());
  Logger& logger = Logger::Instance();
  if (logger.IsOpen()) logger.WriteAt(LogLevel::Error, __FILE__, __LINE__, SystemErrorText(error));
}

bool EndsWithExtension(const std::string& fileName) {
  const std::size_t n = sizeof(kProfileExtension) - 1;
  return fileName.size() > n && fileName.compare(fileName.size() - n, n, kProfileExtension) == 0;
}

}  // namespace

std::vector<std::string> ListProfileFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) {
    LOG_ERROR("Cannot list the profiles in \"%s\"", folder.c_str());
    Logger::Instance().WriteAt(LogLevel::Error, __FILE__, __LINE__, error.message());
    return names;
  }
  for (const auto& entry : it) {
    const std::string fileName = entry.path().filename().string();
    if (!EndsWithExtension(fileName)) continue;
    std::error_code statError;
    if (!entry.is_regular_file(statError)) continue;
    // The name is everything before the last ".", so "a.b.cfg" is "a.b".
    std::string name = fileName.substr(0, fileName.rfind('.'));
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool IsValidProfileName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  return true;
}

bool CreateEmptyFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    LogFailure("Cannot create the file", path, errno);
    return false;
  }
  ::close(fd);
  return true;
}

bool RenameFileWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    LogFailure("Cannot rename the file", from, errno);
    return false;
  }
  // File systems without RENAME_NOREPLACE (FAT on a portable drive): check,
  // then rename; only another program could slip in between.
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) {
    LogFailure("Cannot rename the file", from, EEXIST);
    return false;
  }
  if (::rename(from.c_str(), to.c_str()) != 0) {
    LogFailure("Cannot rename the file", from, errno);
    return false;
  }
  return true;
}

RemoveResult RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return RemoveResult::Removed;
  if (errno == ENOENT) return RemoveResult::Missing;
  LogFailure("Cannot delete the file", path, errno);
  return RemoveResult::Failed;
}

}  // namespace brevanto
