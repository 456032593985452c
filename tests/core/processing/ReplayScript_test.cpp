#include "core/processing/ReplayScript.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

struct ErrorCase {
  const char* script;
  const char* error;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
  *os << c.error;
}

class ReplayScriptErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ReplayScriptErrorTest, NamesTheLineAndTheFault) {
  const ReplayParseResult result = ParseReplayScript(GetParam().script);
  EXPECT_FALSE(result.script.has_value());
  EXPECT_EQ(result.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, ReplayScriptErrorTest,
    ::testing::Values(
        ErrorCase{"device 0 dinput\nend 1", "line 1: slot '0' is not a number from 1 to 50"},
        ErrorCase{"end 1\ndevice 51 xinput", "line 2: slot '51' is not a number from 1 to 50"},
        ErrorCase{"device 1 joystick\nend 1",
                  "line 1: unknown device type 'joystick' (expected dinput or xinput)"},
        ErrorCase{"device 1\nend 1", "line 1: expected 'device <slot> dinput|xinput'"},
        ErrorCase{"device 1 xinput\n# again\ndevice 1 xinput\nend 1",
                  "line 3: slot 1 is declared on line 1 already"},
        ErrorCase{"1 2 x 5\ndevice 2 xinput\nend 1",
                  "line 2: the device line of slot 2 must come before its first use on line 1"}));

INSTANTIATE_TEST_SUITE_P(
    Ends, ReplayScriptErrorTest,
    ::testing::Values(ErrorCase{"", "the script has no 'end <tick>' line"},
                      ErrorCase{"1 1 x 5\n", "the script has no 'end <tick>' line"},
                      ErrorCase{"end", "line 1: expected 'end <tick>'"},
                      ErrorCase{"end 5\nend 6", "line 2: the script ends on line 1 already"},
                      ErrorCase{"end 0", "line 1: tick '0' is not a number from 1 to 2147483647"},
                      ErrorCase{"end 2147483648",
                                "line 1: tick '2147483648' is not a number from 1 to 2147483647"},
                      ErrorCase{"1 1 x 5\n7 1 x 0\n6 1 y 0\nend 4",
                                "line 2: tick 7 comes after 'end 4' (line 4)"}));

INSTANTIATE_TEST_SUITE_P(
    Events, ReplayScriptErrorTest,
    ::testing::Values(
        ErrorCase{"1 1 x\nend 1",
                  "line 1: expected '<tick> <slot> <control> <value>', 'device' or 'end'"},
        ErrorCase{"1 1 x 5 6\nend 1",
                  "line 1: expected '<tick> <slot> <control> <value>', 'device' or 'end'"},
        ErrorCase{"1x 1 x 5\nend 1", "line 1: tick '1x' is not a number from 1 to 2147483647"},
        ErrorCase{"-3 1 x 5\nend 1", "line 1: tick '-3' is not a number from 1 to 2147483647"},
        ErrorCase{"1 1 lx 0\nend 1",
                  "line 1: unknown control 'lx' for the dinput device of slot 1"},
        ErrorCase{"device 3 xinput\n1 3 b1 1\nend 1",
                  "line 2: unknown control 'b1' for the xinput device of slot 3"},
        ErrorCase{"1 1 b129 1\nend 1",
                  "line 1: unknown control 'b129' for the dinput device of slot 1"},
        ErrorCase{"1 1 b01 1\nend 1",
                  "line 1: unknown control 'b01' for the dinput device of slot 1"},
        ErrorCase{"1 1 pov5 0\nend 1",
                  "line 1: unknown control 'pov5' for the dinput device of slot 1"},
        ErrorCase{"1 1 X 0\nend 1", "line 1: unknown control 'X' for the dinput device of slot 1"},
        ErrorCase{"1 1 x 1001\nend 1", "line 1: value '1001' of x is not -1000..1000"},
        ErrorCase{"1 1 s1 -1001\nend 1", "line 1: value '-1001' of s1 is not -1000..1000"},
        ErrorCase{"1 1 pov1 36000\nend 1",
                  "line 1: value '36000' of pov1 is not -1 (centred) or 0..35999"},
        ErrorCase{"1 1 pov1 -2\nend 1",
                  "line 1: value '-2' of pov1 is not -1 (centred) or 0..35999"},
        ErrorCase{"1 1 b1 2\nend 1", "line 1: value '2' of b1 is not 0 or 1"},
        ErrorCase{"1 1 b1 +1\nend 1", "line 1: value '+1' of b1 is not 0 or 1"},
        ErrorCase{"device 1 xinput\n1 1 lt 256\nend 1", "line 2: value '256' of lt is not 0..255"},
        ErrorCase{"device 1 xinput\n1 1 lx -32769\nend 1",
                  "line 2: value '-32769' of lx is not -32768..32767"},
        ErrorCase{"device 1 xinput\n1 1 guide 1.0\nend 1",
                  "line 2: value '1.0' of guide is not 0 or 1"},
        ErrorCase{"# caf\xE9\nend 1", "line 1: the line is not valid UTF-8"}));

TEST(ReplayScript, ReadsDevicesAndEventsInTickOrder) {
  const char* text =
      "\xEF\xBB\xBF# controller check, \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\r\n"
      "device 2 xinput\r\n"
      "\r\n"
      "3 2 a 1   # press A\r\n"
      "1 1 x -1000\r\n"
      "\t3 1 pov2 -1\n"
      "2 1 b128 1\n"
      "3 2 a 0\n"
      "end 5\n";
  const ReplayParseResult result = ParseReplayScript(text);
  ASSERT_TRUE(result.script.has_value()) << result.error;
  const ReplayScript& script = *result.script;
  EXPECT_TRUE(script.used[0]);
  EXPECT_TRUE(script.used[1]);
  EXPECT_FALSE(script.used[2]);
  EXPECT_EQ(script.kinds[0], ReplayDeviceKind::DirectInput);
  EXPECT_EQ(script.kinds[1], ReplayDeviceKind::XInput);
  EXPECT_EQ(script.endTick, 5);

  struct Expected {
    int32_t tick;
    int slot;
    ReplayControl control;
    int32_t value;
    int line;
  };
  const std::vector<Expected> expected{
      {1, 0, {ReplayControlKind::Axis, 0}, -1000, 5},
      {2, 0, {ReplayControlKind::Button, 127}, 1, 7},
      {3, 1, {ReplayControlKind::PadButton, 0x1000}, 1, 4},
      {3, 0, {ReplayControlKind::Pov, 1}, -1, 6},
      {3, 1, {ReplayControlKind::PadButton, 0x1000}, 0, 8},
  };
  ASSERT_EQ(script.events.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(script.events[i].tick, expected[i].tick);
    EXPECT_EQ(script.events[i].slot, expected[i].slot);
    EXPECT_EQ(script.events[i].control, expected[i].control);
    EXPECT_EQ(script.events[i].value, expected[i].value);
    EXPECT_EQ(script.events[i].line, expected[i].line);
  }
}

TEST(ReplayScript, DeviceLineAloneMarksTheSlotUsed) {
  const ReplayParseResult result = ParseReplayScript("device 50 dinput\nend 3");
  ASSERT_TRUE(result.script.has_value()) << result.error;
  EXPECT_TRUE(result.script->used[49]);
  EXPECT_TRUE(result.script->events.empty());
}

}  // namespace
}  // namespace brevanto
