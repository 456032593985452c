// The log of a first start in an empty data directory, start to end.

#include <unistd.h>

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

#include "program/ProgramProcess.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t pos = text.find(from); pos != std::string::npos;
       pos = text.find(from, pos + to.size())) {
    text.replace(pos, from.size(), to);
  }
}

// The log with what differs from run to run and machine to machine masked:
// times, folders, source line numbers, the kernel, the controllers attached.
std::string MaskedLog(std::string log, const ProgramFixtureData& run) {
  ReplaceAll(log, run.DataDir(), "<DATA>/");
  ReplaceAll(log, run.Path(""), "<ROOT>/");
  ReplaceAll(log, BREVANTO_PATH, "<EXE>");
  std::istringstream in(log);
  std::string out;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // "yyyy/mm/dd hh:nn:ss.zzz "
    if (line.size() > 24 && line[4] == '/' && line[23] == ' ') line.erase(0, 24);
    line = std::regex_replace(line, std::regex(R"(#\d+\)$)"), "#N)");
    // What the controller back ends find depends on the machine.
    if (std::regex_search(
            line,
            std::regex(
                R"(\((XInputBackend|DirectInputBackend|HidDetection|Sdl\w+|Hidraw\w+)\.cpp#N\)$)"))) {
      continue;
    }
    if (std::regex_search(line, std::regex(R"(\(DeviceDetection\.cpp#N\)$)")) &&
        line.find(" joystick(s) are detected") == std::string::npos) {
      continue;
    }
    line = std::regex_replace(line, std::regex(R"(^Info   \d+ joystick\(s\) are detected)"),
                              "Info   <N> joystick(s) are detected");
    line = std::regex_replace(line, std::regex(R"(^Info   Linux .* \(BrevantoProgram)"),
                              "Info   Linux <RELEASE> (BrevantoProgram");
    out += line + "\n";
  }
  return out;
}

TEST(FreshStart, LogsStartUpAndShutdownInOrder) {
  ProgramFixtureData run;
  // No display: the window, the X output and the clipboard are absent, which
  // the log says in the same words on every machine.
  std::unique_ptr<ChildProcess> program =
      run.Start({"--no-uinput", "Race"}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
  ASSERT_TRUE(WaitForText(run.LogPath(), "PowerEvents: ", 30s)) << ReadText(run.Output());
  program->Signal(SIGTERM);
  ASSERT_EQ(program->Wait(30s), std::optional<int>(0)) << ReadText(run.Output());

  std::string expected = ReadText(BREVANTO_TEST_DATA "/program/fresh_start.log");
  ReplaceAll(expected, "<PRIVILEGES>",
             ::geteuid() == 0 ? "administrator privileges" : "standard user privileges");
  EXPECT_EQ(MaskedLog(ReadText(run.LogPath()), run), expected);
}

}  // namespace
}  // namespace brevanto::testing
