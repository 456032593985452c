// brevantoctl send: one message of the main window's protocol to the running
// instance, through the same channel a second start uses.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/processing/Messages.h"
#include "core/text/Encoding.h"
#include "platform/linux/instance/InstanceClient.h"
#include "platform/linux/instance/InstanceFrame.h"
#include "platform/linux/instance/InstancePaths.h"

namespace brevanto::ctl {
namespace {

constexpr auto kAnswerTimeout = std::chrono::seconds(10);

enum class Argument { None, Text, Character, TwoNumbers, Button };

struct SendVerb {
  const char* name;
  uint32_t message;
  Argument argument;
  const char* help;
};

constexpr SendVerb kVerbs[] = {
    {"restore", WM_BRV_RESTORE, Argument::None, "restore the main window"},
    {"show", WM_BRV_SHOW, Argument::None, "show the main window"},
    {"minimize", WM_BRV_MINIMIZE, Argument::None, "minimise the main window"},
    {"refresh", WM_BRV_REFRESH_DEVICES, Argument::None, "detect the controllers again"},
    {"profile", WM_COPYDATA, Argument::Text, "NAME: make the profile NAME current"},
    {"switch-file", WM_BRV_SWITCH_FILE, Argument::Character,
     "C: make current the profile whose name starts with C"},
    {"set-input-target", WM_BRV_SET_INPUT_TARGET, Argument::TwoNumbers,
     "W L: ignore slot W, drive joystick L's buttons (-1 = none)"},
    {"press", WM_BRV_PRESS_BUTTON, Argument::Button, "B: press plain button B (0..127)"},
    {"release", WM_BRV_RELEASE_BUTTON, Argument::Button, "B: release plain button B (0..127)"},
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: brevantoctl send COMMAND [ARGS]\n\ncommands:\n");
  for (const SendVerb& verb : kVerbs) {
    std::fprintf(out, "  %-17s 0x%04X  %s\n", verb.name, verb.message, verb.help);
  }
  std::fprintf(out,
               "\nThe running instance listens in $XDG_RUNTIME_DIR, else in the folder\n"
               "brevanto-UID of $TMPDIR (else /tmp).\n");
}

int Usage(const char* problem) {
  std::fprintf(stderr, "brevantoctl send: %s\n", problem);
  PrintUsage(stderr);
  return 2;
}

bool ParseNumber(std::string_view text, long long& value) {
  const char* end = text.data() + text.size();
  const auto [rest, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && rest == end && !text.empty();
}

// Fills the message from the verb's arguments; a problem text on failure.
const char* BuildMessage(const SendVerb& verb, int argc, char** argv, InstanceMessage& message) {
  static constexpr int kCount[] = {0, 1, 1, 2, 1};
  if (argc != kCount[static_cast<int>(verb.argument)]) return "wrong number of arguments";
  message.message = verb.message;
  long long first = 0;
  long long second = 0;
  switch (verb.argument) {
    case Argument::None:
      break;
    case Argument::Text:
      if (argv[0][0] == '\0') return "the profile name is empty";
      if (std::strlen(argv[0]) >= kMaxInstancePayload) return "the profile name is too long";
      message.payload = std::string(argv[0]) + '\0';
      break;
    case Argument::Character: {
      // The byte is read in the Japanese Windows code page, where half-width
      // katakana take one byte each.
      const std::string byte = IsValidUtf8(argv[0]) ? Utf8ToCp932(argv[0]) : std::string(argv[0]);
      if (byte.size() != 1 || (byte == "?" && std::strcmp(argv[0], "?") != 0)) {
        return "C must be one character of one byte (ASCII or half-width katakana)";
      }
      message.lParam = static_cast<unsigned char>(byte[0]);
      break;
    }
    case Argument::TwoNumbers:
      if (!ParseNumber(argv[0], first) || !ParseNumber(argv[1], second) || first < -1 ||
          second < -1 || first > INT32_MAX || second > INT32_MAX) {
        return "W and L must be numbers from -1";
      }
      message.wParam = static_cast<intptr_t>(first);
      message.lParam = static_cast<intptr_t>(second);
      break;
    case Argument::Button:
      if (!ParseNumber(argv[0], first) || first < 0 || first > 127) {
        return "B must be a plain button number from 0 to 127";
      }
      message.lParam = static_cast<intptr_t>(first);
      break;
  }
  return nullptr;
}

}  // namespace

int RunSend(int argc, char** argv) {
  if (argc > 0 && std::strcmp(argv[0], "--help") == 0) {
    PrintUsage(stdout);
    return 0;
  }
  if (argc > 0 && std::strncmp(argv[0], "--", 2) == 0) return Usage("unknown option");
  if (argc < 1) return Usage("no command");

  const SendVerb* verb = nullptr;
  for (const SendVerb& candidate : kVerbs) {
    if (std::strcmp(argv[0], candidate.name) == 0) verb = &candidate;
  }
  if (verb == nullptr) return Usage("unknown command");
  InstanceMessage message;
  if (const char* problem = BuildMessage(*verb, argc - 1, argv + 1, message)) return Usage(problem);

  std::string problem;
  const std::string directory = InstanceDirectory(problem);
  if (directory.empty()) {
    std::fprintf(stderr, "brevantoctl send: %s\n", problem.c_str());
    return 1;
  }
  InstanceClient client;
  if (client.Connect(InstanceSocketPath(directory)) != ChannelStatus::Ok ||
      client.Send(message, kAnswerTimeout) != ChannelStatus::Ok) {
    std::fprintf(stderr, "brevantoctl send: %s\n", client.ErrorText().c_str());
    return 1;
  }
  return 0;
}

}  // namespace brevanto::ctl
