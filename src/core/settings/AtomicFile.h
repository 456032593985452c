#pragma once

#include <string>
#include <string_view>

namespace brevanto {

enum class FileReadStatus { Ok, Missing, Failed };

// Reads the whole file into bytes. A missing file is not an error for the
// callers (it reads as empty), so it is told apart from one that exists but
// cannot be read; the latter is logged with the system's error text.
FileReadStatus ReadWholeFile(const std::string& path, std::string& bytes);

// Replaces the file's content so that a crash or a full disk leaves either the
// old or the new content, never a mix: the bytes go to a temporary file in the
// same folder, are flushed to disk and renamed over the old file. The folder is
// flushed too so the rename survives a power loss. On failure the old file is
// untouched, the temporary file is removed, the reason is logged and false is
// returned, with errno telling why. The old file's permission bits carry over
// to the new one; a symbolic link is followed so the link stays a link.
bool SaveFileAtomically(const std::string& path, std::string_view bytes);

// A write past the file size limit (RLIMIT_FSIZE) kills the process with
// SIGXFSZ unless the signal is ignored; ignored, the write fails with EFBIG
// and the save reports it as it reports a full disk. Called once at start.
void IgnoreFileSizeSignal();

// The steps of a save, for tests that make one of them fail.
enum class SaveStep { CreateTemporary, Write, Flush, Rename };

// While alive, makes the given step of every save fail with errorNumber as if
// the system call had failed (a failed write has already written half of the
// bytes, as a full disk would). Tests only; not for concurrent use.
class ScopedSaveFailure {
 public:
  ScopedSaveFailure(SaveStep step, int errorNumber);
  ~ScopedSaveFailure();
  ScopedSaveFailure(const ScopedSaveFailure&) = delete;
  ScopedSaveFailure& operator=(const ScopedSaveFailure&) = delete;
};

}  // namespace brevanto
