#include "core/input/HidInput.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/HidDescriptors.h"

namespace brevanto {
namespace {

using Bytes = std::vector<uint8_t>;

HidDescriptor Parse(const Bytes& bytes) {
  HidDescriptor descriptor;
  EXPECT_TRUE(ParseHidDescriptor(bytes, descriptor));
  return descriptor;
}

void Append32(Bytes& bytes, uint8_t prefix, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  bytes.insert(bytes.end(), {prefix, static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                             static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)});
}

// A gamepad whose one report holds a single value field, padded to a byte.
Bytes OneValueGamepad(uint8_t page, uint8_t usage, uint8_t bits, int32_t min, int32_t max) {
  Bytes b = {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01, 0x05, page};
  Append32(b, 0x17, min);
  Append32(b, 0x27, max);
  b.insert(b.end(), {0x75, bits, 0x95, 0x01, 0x09, usage, 0x81, 0x02});
  if (bits % 8) b.insert(b.end(), {0x75, static_cast<uint8_t>(8 - bits % 8), 0x81, 0x03});
  b.push_back(0xC0);
  return b;
}

Bytes LittleEndian(uint32_t raw, int bits) {
  Bytes report;
  for (int i = 0; i < (bits + 7) / 8; ++i) report.push_back(static_cast<uint8_t>(raw >> (8 * i)));
  return report;
}

std::map<int, int32_t> Active(const DeviceInput& input, int from = 0,
                              int to = kVirtualButtonCount) {
  std::map<int, int32_t> active;
  for (int i = from; i < to; ++i) {
    if (input.values[static_cast<std::size_t>(i)] != 0)
      active[i] = input.values[static_cast<std::size_t>(i)];
  }
  return active;
}

struct ValueCase {
  const char* name;
  uint8_t page, usage, bits;
  int32_t logicalMin, logicalMax;
  uint32_t raw;
  int axis;  // -1: the hat
  int32_t expected;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
  *os << c.name;
}

class DecodeValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(DecodeValue, ScalesTheFieldIntoTheState) {
  const ValueCase& c = GetParam();
  const HidDescriptor d =
      Parse(OneValueGamepad(c.page, c.usage, c.bits, c.logicalMin, c.logicalMax));
  HidState state;
  state.hat = 77;  // a field the report carries is always rewritten
  DecodeHidReport(d, LittleEndian(c.raw, c.bits), state);
  HidState expected;
  expected.hat = 77;
  if (c.axis >= 0) {
    expected.axes[static_cast<std::size_t>(c.axis)] = c.expected;
  } else {
    expected.hat = c.expected;
  }
  EXPECT_EQ(state.axes, expected.axes);
  EXPECT_EQ(state.hat, expected.hat);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeValue,
    ::testing::Values(
        ValueCase{"Axis16BitLow", 1, 0x30, 16, 0, 65535, 0, 0, -1000},
        ValueCase{"Axis16BitCentre", 1, 0x30, 16, 0, 65535, 32768, 0, 0},
        ValueCase{"Axis16BitHigh", 1, 0x30, 16, 0, 65535, 65535, 0, 999},
        ValueCase{"Axis8BitLow", 1, 0x31, 8, 0, 255, 0, 1, -1000},
        ValueCase{"Axis8BitCentre", 1, 0x31, 8, 0, 255, 128, 1, 0},
        ValueCase{"Axis8BitHighTruncatesTowardZero", 1, 0x31, 8, 0, 255, 255, 1, 992},
        ValueCase{"Axis8BitBelowCentreTruncatesTowardZero", 1, 0x31, 8, 0, 255, 127, 1, -7},
        ValueCase{"Axis10BitHigh", 1, 0x32, 10, 0, 1023, 1023, 2, 998},
        ValueCase{"Axis10BitLow", 1, 0x32, 10, 0, 1023, 0, 2, -1000},
        ValueCase{"DialIsAxisEight", 1, 0x37, 8, 0, 255, 0, 7, -1000},
        ValueCase{"Axis12BitIsUnsupported", 1, 0x33, 12, 0, 4095, 4095, 3, 0},
        ValueCase{"SignedAxisCentreIsZero", 1, 0x35, 8, -127, 127, 0, 5, 0},
        ValueCase{"SignedAxisMostNegative", 1, 0x35, 8, -128, 127, 0x80, 5, -1000},
        ValueCase{"SignedAxisPositive", 1, 0x35, 8, -127, 127, 0x7F, 5, 992},
        ValueCase{"Signed16BitAxisNegative", 1, 0x30, 16, -32768, 32767, 0xC000, 0, -500},
        ValueCase{"Accelerator8Bit", 2, 0xC4, 8, 0, 255, 255, 6, 996},
        ValueCase{"Brake16Bit", 2, 0xC5, 16, 0, 65535, 65535, 7, 999},
        ValueCase{"Brake10BitHalf", 2, 0xC5, 10, 0, 1023, 512, 7, 500},
        ValueCase{"Pedal12BitIsUnsupported", 2, 0xC4, 12, 0, 4095, 4000, 6, 0},
        ValueCase{"HatFromZeroRight", 1, 0x39, 4, 0, 7, 2, -1, 3},
        ValueCase{"HatFromZeroNullValue", 1, 0x39, 4, 0, 7, 8, -1, 9},
        ValueCase{"HatFromZeroAllOnes", 1, 0x39, 4, 0, 7, 15, -1, 0},
        ValueCase{"HatFromOneKeepsItsValue", 1, 0x39, 4, 1, 8, 3, -1, 3},
        ValueCase{"HatFromOneNullValue", 1, 0x39, 4, 1, 8, 0, -1, 0},
        ValueCase{"HatWithOtherMinimumIsCentred", 1, 0x39, 8, 2, 9, 5, -1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeHidReport, OnlyGameControllerUsagesReachTheState) {
  // 0x30 on a vendor page and Accelerator on the generic desktop page are
  // not axes.
  for (const Bytes& bytes :
       {OneValueGamepad(0xFF, 0x30, 8, 0, 255), OneValueGamepad(1, 0xC4, 8, 0, 255)}) {
    HidState state;
    DecodeHidReport(Parse(bytes), Bytes{0x00}, state);
    EXPECT_EQ(state.axes, (std::array<int32_t, kAxisCount>{}));
  }
}

TEST(DecodeHidReport, ReportsOfOtherIdsKeepTheFieldsTheyDoNotCarry) {
  const HidDescriptor d = Parse(testing::kReportIdGamepad);
  HidState state;
  DecodeHidReport(d, Bytes{0x01, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0x00, 0x80, 0x00, 0x00, 0x00},
                  state);
  const std::array<int32_t, kAxisCount> sticks{-1000, 999, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(state.axes, sticks);

  DecodeHidReport(d, Bytes{0x02, 0x05, 0x00, 0x03}, state);  // buttons 1 and 3, hat 3
  EXPECT_EQ(state.axes, sticks);
  EXPECT_EQ(state.hat, 3);
  EXPECT_TRUE(state.buttons[0]);
  EXPECT_TRUE(state.buttons[2]);

  DecodeHidReport(d, Bytes{0x01, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00, 0x00, 0x00},
                  state);
  EXPECT_EQ(state.axes[0], 0);
  EXPECT_EQ(state.hat, 3);
  EXPECT_TRUE(state.buttons[0]);

  DecodeHidReport(d, Bytes{0x02, 0x00, 0x00, 0x00}, state);  // released, hat null
  EXPECT_EQ(state.hat, 0);
  EXPECT_EQ(state.buttons, (std::array<bool, kPlainButtonCount>{}));
}

TEST(DecodeHidReport, ButtonsCountFromTheFirstButtonUsageAndStopAt128) {
  // Buttons 5..204 as 200 bits, then buttons 1..4 below the first usage.
  const Bytes bytes = {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x05, 0x09, 0x15, 0x00, 0x25, 0x01,
                       0x75, 0x01, 0x96, 0xC8, 0x00, 0x19, 0x05, 0x29, 0xCC, 0x81, 0x02, 0x95,
                       0x04, 0x19, 0x01, 0x29, 0x04, 0x81, 0x02, 0x95, 0x04, 0x81, 0x03, 0xC0};
  const HidDescriptor d = Parse(bytes);
  Bytes report(26, 0x00);
  report[0] = 0x01;   // button 5: index 0
  report[15] = 0x80;  // bit 127: button 132, index 127
  report[16] = 0x01;  // bit 128: index 128, past the table
  report[24] = 0x80;  // bit 199: the last one
  report[25] = 0x0F;  // buttons 1..4
  HidState state;
  DecodeHidReport(d, report, state);
  std::vector<int> down;
  for (int i = 0; i < kPlainButtonCount; ++i) {
    if (state.buttons[static_cast<std::size_t>(i)]) down.push_back(i);
  }
  EXPECT_EQ(down, (std::vector<int>{0, 127}));
}

struct PovCase {
  int hat;
  std::vector<int> fourWay;
  std::vector<int> eightWay;
};

TEST(ReadHid, HatSetsTheFirstPovInFourOrEightDirections) {
  const PovCase cases[] = {
      {0, {}, {}},         {1, {16}, {16}}, {2, {16, 18}, {17}}, {3, {18}, {18}},
      {4, {18, 20}, {19}}, {5, {20}, {20}}, {6, {20, 22}, {21}}, {7, {22}, {22}},
      {8, {16, 22}, {23}}, {9, {}, {}},     {16, {}, {}},        {-1, {}, {}},
  };
  for (const PovCase& c : cases) {
    for (bool eightWay : {false, true}) {
      HidState state;
      state.hat = c.hat;
      HidReadOptions options;
      options.usePov8Way = eightWay;
      DeviceInput input;
      bool changed = false;
      ReadHid(state, options, {}, input, changed);
      std::map<int, int32_t> expected;
      for (int v : eightWay ? c.eightWay : c.fourWay) expected[v] = 1000;
      EXPECT_EQ(Active(input), expected)
          << "hat " << c.hat << (eightWay ? " eight-way" : " four-way");
    }
  }
}

struct ButtonCase {
  const char* name;
  bool xboxLayout;
  int numberOfButtons;
  std::vector<int> down;      // indexes into HidState::buttons
  int32_t sharedTrigger;      // Z, which the Xbox mapping puts on logical axis 5
  std::vector<int> expected;  // plain button numbers
};

void PrintTo(const ButtonCase& c, std::ostream* os) {
  *os << c.name;
}

class ReadButtons : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(ReadButtons, FollowTheLayoutAndTheButtonLimit) {
  const ButtonCase& c = GetParam();
  HidState state;
  for (int i : c.down) state.buttons[static_cast<std::size_t>(i)] = true;
  state.axes[2] = c.sharedTrigger;
  HidReadOptions options;
  options.xboxLayout = c.xboxLayout;
  options.numberOfButtons = c.numberOfButtons;
  options.axisMapping = {0, 1, 3, 4, 2, 5, 6, 7};
  options.analogDeadZone = 1000;
  DeviceInput input;
  bool changed = false;
  ReadHid(state, options, {}, input, changed);
  std::map<int, int32_t> expected;
  for (int button : c.expected) expected[PlainButton(button)] = 1000;
  EXPECT_EQ(Active(input, kFirstPlainButton), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadButtons,
    ::testing::Values(ButtonCase{"UpToNumberOfButtons", false, 32, {0, 31, 39}, 0, {1, 32}},
                      ButtonCase{"NumberOfButtonsAbove128Caps", false, 500, {127}, 0, {128}},
                      ButtonCase{"NegativeNumberOfButtonsReadsNone", false, -1, {0}, 0, {}},
                      ButtonCase{"TriggerGivesNoButtonWithoutXboxLayout", false, 32, {}, 500, {}},
                      ButtonCase{"XboxFirstTenKeepTheirNumbers", true, 32, {0, 9}, 0, {1, 10}},
                      ButtonCase{"XboxElevenAndUpMoveUpTwo", true, 32, {10, 11}, 0, {13, 14}},
                      ButtonCase{"XboxTriggerPositiveIsButton11", true, 32, {}, 500, {11}},
                      ButtonCase{"XboxTriggerNegativeIsButton12", true, 32, {}, -500, {12}},
                      ButtonCase{"XboxTriggerAtTheDeadZoneIsReleased", true, 32, {}, 100, {}},
                      ButtonCase{"XboxTriggerJustPastTheDeadZone", true, 32, {}, -101, {12}},
                      ButtonCase{"XboxShiftedButtonsStillLimited", true, 12, {10}, 500, {11}},
                      ButtonCase{
                          "XboxLastButtonsFallOffTheEnd", true, 128, {125, 126, 127}, 0, {128}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadHid, MappingFeedsLogicalAxesAndTheDisplayByPhysicalAxis) {
  HidState state;
  state.axes = {100, -200, 300, -400, 500, -450, 700, 800};
  HidReadOptions options;
  options.axisMapping = {1, 0, 2, 3, 4, 5, 6, 9};  // a broken last entry reads nothing
  options.analogDeadZone = 0;
  std::array<int32_t, kAxisCount> lastAnalog{};
  lastAnalog[7] = 33;
  DeviceInput input;
  input.values[100] = 5;  // left over from another device
  bool changed = false;
  ReadHid(state, options, lastAnalog, input, changed);

  EXPECT_EQ(input.analog,
            (std::array<int32_t, kAxisCount>{-200, 100, 300, -400, 500, -450, 700, 0}));
  EXPECT_EQ(lastAnalog, (std::array<int32_t, kAxisCount>{5, -10, 15, -20, 25, -22, 35, 33}));
  EXPECT_TRUE(changed);
  // Sticks with no threshold set every deflection; axes 5..8 go through the
  // further-axis conversion.
  EXPECT_EQ(Active(input),
            (std::map<int, int32_t>{
                {0, 200}, {3, 100}, {5, 300}, {6, 400}, {9, 500}, {10, 450}, {13, 700}}));

  bool again = false;
  ReadHid(state, options, lastAnalog, input, again);
  EXPECT_FALSE(again);
}

TEST(ReadHid, SticksUseTheDeviceDeadZoneAndTheProfileThresholds) {
  HidState state;
  state.axes = {250, 0, 0, 150, 0, 0, 0, 0};
  HidReadOptions options;
  options.analogDeadZone = 1000;  // 100 after / 10
  options.stick1.threshold = 200;
  options.stick2.threshold = 100;
  DeviceInput input;
  bool changed = false;
  ReadHid(state, options, {}, input, changed);
  EXPECT_EQ(Active(input), (std::map<int, int32_t>{{1, 250}, {7, 150}}));
  EXPECT_EQ(input.analog[0], 15);
}

TEST(HidStateTable, ReadsOnlyRegisteredIndexesAndStartsThemCleared) {
  const HidDescriptor d = Parse(testing::kGenericGamepad);
  HidStateTable table;
  table.Reset(2);
  const Bytes report = {0x00, 0x80, 0x80, 0x80, 0x12, 0x00, 0x00};  // X left, hat right, button 1
  table.Decode(1, d, report);
  table.Decode(2, d, report);  // not registered: dropped

  HidReadOptions options;
  DeviceInput input;
  bool changed = false;
  EXPECT_EQ(table.Read(1, options, {}, input, changed), 0);
  EXPECT_EQ(input.analog[0], -1000);
  EXPECT_EQ(input.values[PovButton(1, 2)], 1000);
  EXPECT_EQ(input.values[PlainButton(1)], 1000);
  EXPECT_EQ(table.Read(0, options, {}, input, changed), 0);
  EXPECT_EQ(Active(input), (std::map<int, int32_t>{}));
  for (int index : {-1, 2, 50}) EXPECT_EQ(table.Read(index, options, {}, input, changed), -1);
  EXPECT_EQ(table.Snapshot(2).hat, 0);

  table.Reset(99);
  EXPECT_EQ(table.Count(), HidStateTable::kSize);
  EXPECT_EQ(table.Snapshot(1).hat, 0);
  EXPECT_EQ(table.Read(49, options, {}, input, changed), 0);
  EXPECT_EQ(table.Read(50, options, {}, input, changed), -1);
}

}  // namespace
}  // namespace brevanto
