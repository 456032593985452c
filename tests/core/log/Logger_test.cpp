#include "core/log/Logger.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace brevanto {
namespace {

LogTime FixedTime() {
  return LogTime{2024, 5, 1, 13, 2, 3, 45};
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class LoggerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("brevanto_log_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log");
    logger_.SetClock(&FixedTime);
    ASSERT_TRUE(logger_.Open(path_.string()));
  }
  void TearDown() override {
    logger_.Close();
    std::filesystem::remove(path_);
    std::filesystem::remove(Logger::RotatedPath(path_.string()));
  }

  Logger logger_;
  std::filesystem::path path_;
};

TEST_F(LoggerTest, LineFormatsMatchTheLogLayoutByteForByte) {
  logger_.WriteAt(LogLevel::Info, "src/core/processing/Processing.cpp", 1040,
                  "TimerInit: Timer initialized");
  logger_.Write(LogLevel::Error, "plain error");
  logger_.PrintfAt(LogLevel::Error, "C:\\src\\Joystick\\ProcessingDI.cpp", 7, "%d#button[%d]: %s",
                   1, 56, "x");
  logger_.Close();
  EXPECT_EQ(ReadAll(path_),
            "2024/05/01 13:02:03.045 Info   TimerInit: Timer initialized (Processing.cpp#1040)\r\n"
            "2024/05/01 13:02:03.045 Error  plain error\r\n"
            "2024/05/01 13:02:03.045 Error  1#button[56]: x (ProcessingDI.cpp#7)\r\n"
            "Application terminated\r\n");
}

TEST_F(LoggerTest, DebugOffWritesNothingAndDoesNotEvaluateArguments) {
  int evaluated = 0;
  auto touch = [&evaluated] { return ++evaluated; };
  LOG_DEBUG("never %d", touch());  // the global logger: not open in tests
  Logger& global = Logger::Instance();
  ASSERT_FALSE(global.IsOpen());
  global.SetDebugEnabled(true);
  LOG_DEBUG("never %d", touch());
  global.SetDebugEnabled(false);
  EXPECT_EQ(evaluated, 0);

  logger_.Printf(LogLevel::Debug, "%s", "hidden");
  logger_.SetDebugEnabled(true);
  logger_.Printf(LogLevel::Debug, "%s", "shown");
  logger_.Close();
  EXPECT_EQ(ReadAll(path_), "2024/05/01 13:02:03.045 Debug  shown\r\nApplication terminated\r\n");
}

TEST_F(LoggerTest, DebugMacroSkipsFormattingWhenDisabledOnOpenLogger) {
  Logger& global = Logger::Instance();
  global.SetClock(&FixedTime);
  ASSERT_TRUE(global.Open(path_.string() + ".global"));
  int evaluated = 0;
  auto touch = [&evaluated] { return ++evaluated; };
  LOG_DEBUG("debug %d", touch());
  LOG_INFO("info %d", touch());
  global.Close();
  global.SetClock(nullptr);
  EXPECT_EQ(evaluated, 1);
  const std::string text = ReadAll(path_.string() + ".global");
  EXPECT_NE(text.find("Info   info 1 (Logger_test.cpp#"), std::string::npos) << text;
  EXPECT_EQ(text.find("debug"), std::string::npos);
  std::filesystem::remove(path_.string() + ".global");
}

TEST_F(LoggerTest, LongMessagesAreCutToTheLineLimitKeepingLocationAndLineEnd) {
  const std::string huge(5000, 'x');
  logger_.WriteAt(LogLevel::Info, "a/b/File.cpp", 12, huge);
  // A multi-byte character straddling the cut is dropped whole.
  std::string japanese;
  for (int i = 0; i < 400; ++i) japanese += "ボ";
  logger_.Write(LogLevel::Info, japanese);
  logger_.Printf(LogLevel::Info, "%s", huge.c_str());
  logger_.Close();
  std::istringstream lines(ReadAll(path_));
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    if (line == "Application terminated\r") break;
    EXPECT_LE(line.size() + 1, Logger::kMaxLine) << "line " << count;
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\r');
  }
  EXPECT_EQ(count, 4);
  const std::string text = ReadAll(path_);
  EXPECT_NE(text.find("x (File.cpp#12)\r\n"), std::string::npos);
  EXPECT_NE(text.find("ボ\r\n"), std::string::npos);
}

TEST_F(LoggerTest, CallsAfterCloseWriteNothingAndReopenTruncates) {
  logger_.Write(LogLevel::Info, "first run");
  logger_.Close();
  logger_.Write(LogLevel::Error, "after close");
  EXPECT_EQ(ReadAll(path_),
            "2024/05/01 13:02:03.045 Info   first run\r\nApplication terminated\r\n");
  logger_.Close();  // a second Close adds nothing
  EXPECT_EQ(ReadAll(path_).size(), 66u);

  ASSERT_TRUE(logger_.Open(path_.string()));
  logger_.Write(LogLevel::Info, "second run");
  logger_.Close();
  EXPECT_EQ(ReadAll(path_),
            "2024/05/01 13:02:03.045 Info   second run\r\nApplication terminated\r\n");
}

TEST(LoggerOpen, UnwritablePathLeavesTheLoggerSilent) {
  Logger logger;
  EXPECT_FALSE(logger.Open("/nonexistent-dir/sub/Brevanto.log"));
  EXPECT_FALSE(logger.IsOpen());
  logger.Write(LogLevel::Error, "nowhere");
  logger.Close();
}

TEST_F(LoggerTest, TwoThreadsNeverInterleaveWithinALine) {
  constexpr int kLines = 10000;
  auto writer = [this](char tag) {
    const std::string body(60, tag);
    for (int i = 0; i < kLines; ++i) logger_.Printf(LogLevel::Info, "%s %d", body.c_str(), i);
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  a.join();
  b.join();
  logger_.Close();

  std::istringstream lines(ReadAll(path_));
  std::string line;
  int countA = 0;
  int countB = 0;
  const std::string prefix = "2024/05/01 13:02:03.045 Info   ";
  while (std::getline(lines, line)) {
    if (line == "Application terminated\r") continue;
    ASSERT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
    const std::string body = line.substr(prefix.size(), 60);
    ASSERT_TRUE(body == std::string(60, 'a') || body == std::string(60, 'b')) << line;
    (body[0] == 'a' ? countA : countB)++;
  }
  EXPECT_EQ(countA, kLines);
  EXPECT_EQ(countB, kLines);
}

TEST_F(LoggerTest, AFullFileIsMovedAsideSoTheLogNeverGrowsWithoutBound) {
  constexpr uint64_t kCap = 64 * 1024;
  logger_.SetMaxSize(kCap);
  // Two threads write ten times the cap between them.
  constexpr int kLines = 5000;
  auto writer = [this](char tag) {
    const std::string body(60, tag);
    for (int i = 0; i < kLines; ++i) logger_.Printf(LogLevel::Info, "%s %06d", body.c_str(), i);
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  a.join();
  b.join();
  logger_.Printf(LogLevel::Info, "%s %06d", std::string(60, 'z').c_str(), 0);
  logger_.Close();

  const std::string rotated = Logger::RotatedPath(path_.string());
  ASSERT_TRUE(std::filesystem::exists(rotated));
  // A file ends a line or two past the cap at most: the lines written while
  // it was being moved aside.
  const uint64_t slack = 2 * (Logger::kMaxLine + 1) + 32;
  EXPECT_LE(std::filesystem::file_size(path_), kCap + slack);
  EXPECT_LE(std::filesystem::file_size(rotated), kCap + slack);

  // Every line is whole, each thread's lines run on from the moved file into
  // the new one, and the last line written is the last in the new file.
  const std::string prefix = "2024/05/01 13:02:03.045 Info   ";
  int last[3] = {-1, -1, -1};
  std::string lastLine;
  for (const std::filesystem::path& file : {std::filesystem::path(rotated), path_}) {
    std::istringstream lines(ReadAll(file));
    std::string line;
    while (std::getline(lines, line)) {
      if (line == "Application terminated\r") continue;
      ASSERT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
      const std::string body = line.substr(prefix.size());
      ASSERT_EQ(body.size(), 60u + 1 + 6 + 1) << line;
      const int who = body[0] - 'a' < 2 ? body[0] - 'a' : 2;
      const int n = std::stoi(body.substr(61, 6));
      EXPECT_GT(n, last[who]) << line;
      last[who] = n;
      lastLine = body;
    }
  }
  EXPECT_EQ(lastLine, std::string(60, 'z') + " 000000\r");
}

TEST(SystemErrorText, DescribesErrno) {
  EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
  errno = EACCES;
  EXPECT_EQ(SystemErrorText(), "Permission denied");
}

}  // namespace
}  // namespace brevanto
