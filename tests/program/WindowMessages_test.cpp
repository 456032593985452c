#include "app/program/WindowMessages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/processing/Messages.h"
#include "core/text/Encoding.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

// Writes down every action a message asks for.
class RecordingActions final : public MessageActions {
 public:
  void EndSession() override { calls.push_back("end session"); }
  bool LoadProfileByName(const std::string& name) override {
    calls.push_back("load " + name);
    return name != "Missing";
  }
  bool LoadProfileByInitial(char32_t initial) override {
    std::string text;
    AppendUtf8(text, initial);
    calls.push_back("initial " + text);
    return initial != U'Z';
  }
  void ReportMissingProfile() override { calls.push_back("missing"); }
  void RequestDetection() override { calls.push_back("detection requested"); }
  void RedetectDevices() override { calls.push_back("redetect"); }
  intptr_t PowerBroadcast(intptr_t event) override {
    calls.push_back("power " + std::to_string(event));
    return event == PBT_APMQUERYSUSPEND ? 1 : 0;
  }
  void SetInputTarget(intptr_t suppressedSlot, intptr_t joystick) override {
    calls.push_back("target " + std::to_string(suppressedSlot) + " " + std::to_string(joystick));
  }
  void SetInjectedButton(int button, bool pressed) override {
    calls.push_back((pressed ? "press " : "release ") + std::to_string(button));
  }
  void Restore() override { calls.push_back("restore"); }
  void Minimize() override { calls.push_back("minimize"); }
  void ForWindow(const PostedMessage& message) override {
    calls.push_back("window " + std::to_string(message.message));
  }

  std::vector<std::string> calls;
};

TEST(WindowMessages, EachMessageDoesWhatItsNumberSays) {
  struct Case {
    InstanceMessage message;
    std::vector<std::string> calls;
    intptr_t result;
    const char* logLine;  // nullptr: none expected
  };
  const Case cases[] = {
      {{WM_QUERYENDSESSION, 0, 0, ""},
       {"end session"},
       1,
       "Received WM_QUERYENDSESSION.  Exiting..."},
      // The payload ends at its first zero; dwData and cbData do not count.
      {{WM_COPYDATA, 7, 99, std::string("Race\0junk", 9)},
       {"load Race"},
       0,
       "Received WM_COPYDATA Message: Race"},
      {{WM_COPYDATA, 0, 0, std::string("Missing\0", 8)}, {"load Missing", "missing"}, 0, nullptr},
      {{WM_INPUT_DEVICE_CHANGE, 0, 0, ""}, {"detection requested"}, 0, nullptr},
      {{WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, ""}, {"power 0"}, 1, nullptr},
      {{WM_POWERBROADCAST, PBT_APMSUSPEND, 0, ""}, {"power 4"}, 0, nullptr},
      {{WM_BRV_RESTORE, 0, 0, ""}, {"restore"}, 0, nullptr},
      {{WM_BRV_SHOW, 0, 0, ""}, {"restore"}, 0, nullptr},
      {{WM_BRV_MINIMIZE, 0, 0, ""}, {"minimize"}, 0, nullptr},
      {{WM_BRV_SET_INPUT_TARGET, 0, 1, ""}, {"target 0 1"}, 0, nullptr},
      {{WM_BRV_SET_INPUT_TARGET, -1, -1, ""}, {"target -1 -1"}, 0, nullptr},
      {{WM_BRV_PRESS_BUTTON, 0, 4, ""}, {"press 4"}, 0, nullptr},
      {{WM_BRV_RELEASE_BUTTON, 0, 127, ""}, {"release 127"}, 0, nullptr},
      // Buttons outside 0..127 are ignored.
      {{WM_BRV_PRESS_BUTTON, 0, 128, ""}, {}, 0, nullptr},
      {{WM_BRV_RELEASE_BUTTON, 0, -1, ""}, {}, 0, nullptr},
      // Only the low byte carries the initial.
      {{WM_BRV_SWITCH_FILE, 0, 0x1252, ""},
       {"initial R"},
       0,
       "Received WM_BRV_SWITCH_FILE Message: R"},
      {{WM_BRV_SWITCH_FILE, 0, 'Z', ""}, {"initial Z", "missing"}, 0, nullptr},
      // The byte is a character of the Japanese ANSI code page: 0xC0 is the
      // half-width katakana TA, not Latin-1's A with grave.
      {{WM_BRV_SWITCH_FILE, 0, 0xC0, ""},
       {"initial \uFF80"},
       0,
       "Received WM_BRV_SWITCH_FILE Message: \uFF80"},
      // Half of a double-byte character stands for no profile initial.
      {{WM_BRV_SWITCH_FILE, 0, 0x82, ""}, {"initial \uFFFD"}, 0, nullptr},
      {{WM_BRV_REFRESH_DEVICES, 0, 0, ""},
       {"redetect"},
       0,
       "Received WM_BRV_REFRESH_DEVICES Message"},
      {{WM_BRV_DEVICES_CHANGED, 0, 0, ""},
       {"window " + std::to_string(WM_BRV_DEVICES_CHANGED)},
       0,
       nullptr},
      {{WM_BRV_PROFILE_CHANGED, 0, 0, ""},
       {"window " + std::to_string(WM_BRV_PROFILE_CHANGED)},
       0,
       nullptr},
      // Raw input and numbers the protocol does not know do nothing.
      {{WM_INPUT, 0, 0, ""}, {}, 0, nullptr},
      {{0x1234, 1, 2, "x"}, {}, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "message 0x" << std::hex << c.message.message);
    RecordingActions actions;
    WindowMessages messages(actions);
    testing::LogCapture log;
    EXPECT_EQ(messages.HandleInstanceMessage(c.message), c.result);
    EXPECT_EQ(actions.calls, c.calls);
    if (c.logLine != nullptr) {
      EXPECT_NE(log.Text().find(c.logLine), std::string::npos) << log.Text();
    }
  }
}

}  // namespace
}  // namespace brevanto
