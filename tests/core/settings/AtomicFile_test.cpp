#include "core/settings/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using testing::LogCapture;
using testing::ReadBytes;
using testing::TempDir;

TEST(ReadWholeFile, TellsAMissingFileFromOneThatCannotBeRead) {
  TempDir dir;
  dir.Write("a.ini", std::string("x=1\0y", 5));
  std::string bytes = "stale";

  EXPECT_EQ(ReadWholeFile(dir.File("a.ini"), bytes), FileReadStatus::Ok);
  EXPECT_EQ(bytes, std::string("x=1\0y", 5));

  EXPECT_EQ(ReadWholeFile(dir.File("none.ini"), bytes), FileReadStatus::Missing);
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(ReadWholeFile(dir.File("none/a.ini"), bytes), FileReadStatus::Missing);

  LogCapture log;
  bytes = "stale";
  EXPECT_EQ(ReadWholeFile(dir.path().string(), bytes), FileReadStatus::Failed);
  EXPECT_EQ(bytes, "");
  EXPECT_NE(log.Text().find(dir.path().string()), std::string::npos);

  // A named pipe would block a reader until someone writes to it.
  ASSERT_EQ(::mkfifo(dir.File("pipe.ini").c_str(), 0644), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("pipe.ini"), bytes), FileReadStatus::Failed);
}

TEST(SaveFileAtomically, CreatesAndReplacesLeavingNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.File("Race.cfg");
  ASSERT_TRUE(SaveFileAtomically(path, "first"));
  EXPECT_EQ(ReadBytes(path), "first");
  ASSERT_TRUE(SaveFileAtomically(path, std::string("se\0cond", 7)));
  EXPECT_EQ(ReadBytes(path), std::string("se\0cond", 7));
  ASSERT_TRUE(SaveFileAtomically(path, ""));
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"Race.cfg"});
}

TEST(SaveFileAtomically, AFailedStepLeavesTheOldFileByteIdenticalAndIsLogged) {
  struct Case {
    SaveStep step;
    int error;
  };
  const Case cases[] = {
      {SaveStep::CreateTemporary, EACCES},
      {SaveStep::Write, ENOSPC},
      {SaveStep::Flush, EIO},
      {SaveStep::Rename, EXDEV},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.step));
    TempDir dir;
    const std::string path = dir.File("Brevanto.ini");
    const std::string old = "\xEF\xBB\xBF[LastStatus]\r\nFileName=Race\r\n";
    dir.Write("Brevanto.ini", old);
    LogCapture log;
    {
      ScopedSaveFailure failure(c.step, c.error);
      EXPECT_FALSE(SaveFileAtomically(path, std::string(4096, 'n')));
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"Brevanto.ini"});
    const std::string text = log.Text();
    EXPECT_NE(text.find(path), std::string::npos) << text;
    EXPECT_NE(text.find(std::strerror(c.error)), std::string::npos) << text;
  }
}

TEST(SaveFileAtomically, FailsWhenTheFolderIsMissing) {
  TempDir dir;
  EXPECT_FALSE(SaveFileAtomically(dir.File("gone/Race.cfg"), "x"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("gone")));
}

TEST(SaveFileAtomically, KeepsThePermissionBitsOfThePreviousFile) {
  TempDir dir;
  const std::string path = dir.File("private.ini");
  dir.Write("private.ini", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  ASSERT_TRUE(SaveFileAtomically(path, "new"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(SaveFileAtomically, SavingThroughASymbolicLinkUpdatesTheLinkedFile) {
  TempDir dir;
  dir.Write("real/Brevanto.ini", "old");
  const std::filesystem::path link = dir.path() / "Brevanto.ini";
  std::filesystem::create_symlink(dir.path() / "real/Brevanto.ini", link);
  ASSERT_TRUE(SaveFileAtomically(link.string(), "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(dir.File("real/Brevanto.ini")), "new");
}

}  // namespace
}  // namespace brevanto
