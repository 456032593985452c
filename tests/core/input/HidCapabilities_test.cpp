#include "core/input/HidCapabilities.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/HidDescriptors.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using Bytes = std::vector<uint8_t>;

HidDescriptor Parse(const Bytes& bytes) {
  HidDescriptor descriptor;
  EXPECT_TRUE(ParseHidDescriptor(bytes, descriptor));
  return descriptor;
}

struct CapabilitiesCase {
  const char* name;
  const Bytes* descriptor;
  int numAxes;
  const char* axisFlags;
  int numPovs;
  int numButtons;
};

TEST(ReadHidCapabilities, CountsAndLogsAxesHatsAndButtons) {
  const CapabilitiesCase cases[] = {
      {"generic", &testing::kGenericGamepad, 4, "1,1,1,0,0,1,0,0", 1, 12},
      {"report ids", &testing::kReportIdGamepad, 6, "1,1,0,1,1,0,1,1", 1, 16},
      {"array", &testing::kArrayJoystick, 3, "1,1,0,0,0,1,0,0", 0, 8},
      {"keyboard", &testing::kKeyboard, 0, "0,0,0,0,0,0,0,0", 0, 0},
  };
  for (const CapabilitiesCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::LogCapture log;
    const HidCapabilities caps = ReadHidCapabilities(Parse(*c.descriptor));
    EXPECT_EQ(caps.numAxes, c.numAxes);
    EXPECT_EQ(caps.numPovs, c.numPovs);
    EXPECT_EQ(caps.numButtons, c.numButtons);
    EXPECT_TRUE(log.Contains("Info   numAxis = " + std::to_string(c.numAxes) + " [" + c.axisFlags +
                             "] (HidCapabilities.cpp#"))
        << log.Text();
    EXPECT_TRUE(log.Contains("numPOVs = " + std::to_string(c.numPovs)));
    EXPECT_TRUE(log.Contains("numButtons = " + std::to_string(c.numButtons)));
    EXPECT_FALSE(log.Contains("Unsupported")) << log.Text();
  }
}

TEST(ReadHidCapabilities, LogsEachValueCapabilityAndWhatItCannotRead) {
  // X..Y as a 12-bit range, a signed 8-bit Rz and a vendor value.
  const Bytes bytes = {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x0F,
                       0x75, 0x0C, 0x95, 0x02, 0x19, 0x30, 0x29, 0x31, 0x81, 0x02, 0x15,
                       0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x01, 0x09, 0x35, 0x81, 0x02,
                       0x06, 0x00, 0xFF, 0x09, 0x20, 0x81, 0x02, 0xC0};
  testing::LogCapture log(/*debug=*/true);
  const HidCapabilities caps = ReadHidCapabilities(Parse(bytes));
  EXPECT_EQ(caps.numAxes, 3);
  const std::string text = log.Text();
  const std::vector<std::string> inOrder = {
      "Debug  ValueCapability: UsageRange=<30,31>, BitSize=12, Logical=[0,4095]",
      "Error  Unsupported BitSize!",
      "Debug  ValueCapability: Usage=35, BitSize=8, Logical=[-127,127]",
      "Debug  ValueCapability: Usage=20, BitSize=8, Logical=[-127,127]",
      "Error  Unsupported ValueCapability!",
      "Info   numAxis = 3 [1,1,0,0,0,1,0,0]",
  };
  std::size_t at = 0;
  for (const std::string& line : inOrder) {
    const std::size_t found = text.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << "\n" << text;
    at = found + line.size();
  }
  // The range's two axes share one complaint.
  EXPECT_EQ(text.find("Unsupported BitSize!", text.find("Unsupported BitSize!") + 1),
            std::string::npos);
}

TEST(IsXboxLayout, FiveAxesOneHatOnAMicrosoftDeviceOrAnXboxType) {
  struct Case {
    int numAxes, numPovs;
    bool microsoft;
    int deviceType;
    bool expected;
  };
  const Case cases[] = {
      {5, 1, true, 0, true},    {5, 1, false, 0, false}, {4, 1, true, 0, false},
      {5, 0, true, 0, false},   {0, 0, false, 31, true}, {0, 0, false, 32, true},
      {5, 1, false, 33, false},
  };
  for (const Case& c : cases) {
    HidCapabilities caps;
    caps.numAxes = c.numAxes;
    caps.numPovs = c.numPovs;
    EXPECT_EQ(IsXboxLayout(caps, c.microsoft, c.deviceType), c.expected)
        << c.numAxes << " axes, " << c.numPovs << " hats, type " << c.deviceType;
  }
}

TEST(AutomaticHidAxisMapping, PicksTheSecondStickByFamily) {
  using Mapping = std::array<int, kAxisCount>;
  const Mapping identity{0, 1, 2, 3, 4, 5, 6, 7};
  const Mapping playStation{0, 1, 2, 5, 3, 4, 6, 7};
  const Mapping xbox{0, 1, 3, 4, 2, 5, 6, 7};
  struct Case {
    std::vector<int> present;
    int deviceType;
    bool xboxLayout;
    Mapping expected;
  };
  const Case cases[] = {
      {{0, 1, 2, 5}, 33, false, playStation},
      {{0, 1, 2, 5}, 34, false, playStation},
      {{0, 1, 2, 5}, 45, false, playStation},
      {{0, 1, 2}, 34, false, identity},
      {{0, 1, 2, 3, 4}, 0, true, xbox},
      {{0, 1, 3}, 0, true, identity},
      {{0, 1, 2, 3, 4, 5}, 0, false, identity},
      // A PlayStation pad with Z and Rz wins over the Xbox rule.
      {{0, 1, 2, 3, 4, 5}, 34, true, playStation},
  };
  for (const Case& c : cases) {
    HidCapabilities caps;
    for (int axis : c.present) caps.axisPresent[static_cast<std::size_t>(axis)] = true;
    EXPECT_EQ(AutomaticHidAxisMapping(caps, c.deviceType, c.xboxLayout), c.expected)
        << "type " << c.deviceType;
  }
}

}  // namespace
}  // namespace brevanto
