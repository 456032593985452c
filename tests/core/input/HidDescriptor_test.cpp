#include "core/input/HidDescriptor.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/input/HidReport.h"
#include "support/HidDescriptors.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using testing::kArrayJoystick;
using testing::kGenericGamepad;
using testing::kReportIdGamepad;
using Bytes = std::vector<uint8_t>;

HidDescriptor Parse(const Bytes& bytes) {
  HidDescriptor descriptor;
  EXPECT_TRUE(ParseHidDescriptor(bytes, descriptor));
  return descriptor;
}

// (usage page, usage) -> value, or -1 when the report does not carry it.
int64_t Value(const HidDescriptor& d, uint16_t page, uint16_t usage, const Bytes& report) {
  const auto value = GetHidUsageValue(d, page, usage, report);
  return value ? static_cast<int64_t>(*value) : -1;
}

std::vector<uint16_t> Pressed(const HidDescriptor& d, uint16_t page, const Bytes& report) {
  std::vector<uint16_t> usages(64);
  usages.resize(GetHidPressedUsages(d, page, report, usages));
  return usages;
}

struct ValueExpectation {
  uint16_t page, usageMin, usageMax;
  uint8_t reportId;
  uint32_t bitOffset;
  uint16_t bitSize, reportCount;
  int64_t logicalMin, logicalMax;
};

void ExpectValueCaps(const HidDescriptor& d, const std::vector<ValueExpectation>& expected) {
  ASSERT_EQ(d.valueCaps.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const HidValueCaps& c = d.valueCaps[i];
    const ValueExpectation& e = expected[i];
    SCOPED_TRACE("value capability " + std::to_string(i));
    EXPECT_EQ(c.usagePage, e.page);
    EXPECT_EQ(c.usageMin, e.usageMin);
    EXPECT_EQ(c.usageMax, e.usageMax);
    EXPECT_EQ(c.reportId, e.reportId);
    EXPECT_EQ(c.bitOffset, e.bitOffset);
    EXPECT_EQ(c.bitSize, e.bitSize);
    EXPECT_EQ(c.reportCount, e.reportCount);
    EXPECT_EQ(c.logicalMin, e.logicalMin);
    EXPECT_EQ(c.logicalMax, e.logicalMax);
  }
}

TEST(HidDescriptor, GenericGamepadWithByteAxesHatAndTwelveButtons) {
  const HidDescriptor d = Parse(kGenericGamepad);
  EXPECT_TRUE(d.IsGameController());
  EXPECT_EQ(d.usage, kHidUsageGamepad);
  EXPECT_FALSE(d.usesReportIds);
  EXPECT_EQ(d.InputReportLength(0), 7u);
  ExpectValueCaps(d, {{1, 0x30, 0x30, 0, 0, 8, 1, 0, 255},
                      {1, 0x31, 0x31, 0, 8, 8, 1, 0, 255},
                      {1, 0x32, 0x32, 0, 16, 8, 1, 0, 255},
                      {1, 0x35, 0x35, 0, 24, 8, 1, 0, 255},
                      {1, 0x39, 0x39, 0, 32, 4, 1, 0, 7}});
  EXPECT_TRUE(d.valueCaps[4].hasNull);
  ASSERT_EQ(d.buttonCaps.size(), 2u);
  const HidButtonCaps& buttons = d.buttonCaps[0];
  EXPECT_EQ(buttons.usagePage, kHidPageButton);
  EXPECT_EQ(buttons.usageMin, 1);
  EXPECT_EQ(buttons.usageMax, 12);
  EXPECT_TRUE(buttons.isRange);
  EXPECT_FALSE(buttons.isArray);
  EXPECT_EQ(buttons.bitOffset, 36u);
  EXPECT_EQ(d.buttonCaps[1].usagePage, 0xFF00);

  // Hat 2 in the low nibble of byte 4; buttons 1, 5 and 12 at bits 36, 40, 47.
  const Bytes report = {0x00, 0x80, 0xFF, 0x7F, 0x12, 0x81, 0xFF};
  EXPECT_EQ(Value(d, 1, 0x30, report), 0x00);
  EXPECT_EQ(Value(d, 1, 0x31, report), 0x80);
  EXPECT_EQ(Value(d, 1, 0x32, report), 0xFF);
  EXPECT_EQ(Value(d, 1, 0x35, report), 0x7F);
  EXPECT_EQ(Value(d, 1, 0x39, report), 2);
  EXPECT_EQ(Value(d, 1, 0x33, report), -1);  // no Rx
  EXPECT_EQ(Pressed(d, kHidPageButton, report), (std::vector<uint16_t>{1, 5, 12}));
  EXPECT_EQ(Pressed(d, 0xFF00, report).size(), 8u);
}

TEST(HidDescriptor, ReportIdsSeparateSticksFromButtonsAndSkipOtherCollections) {
  const HidDescriptor d = Parse(kReportIdGamepad);
  EXPECT_TRUE(d.IsGameController());
  EXPECT_TRUE(d.usesReportIds);
  EXPECT_EQ(d.InputReportLength(1), 12u);
  EXPECT_EQ(d.InputReportLength(2), 4u);
  EXPECT_EQ(d.InputReportLength(3), 3u);  // laid out, though not a controller's
  ExpectValueCaps(d, {{1, 0x30, 0x30, 1, 0, 16, 1, 0, 65535},
                      {1, 0x31, 0x31, 1, 16, 16, 1, 0, 65535},
                      {1, 0x33, 0x33, 1, 32, 16, 1, 0, 65535},
                      {1, 0x34, 0x34, 1, 48, 16, 1, 0, 65535},
                      {2, 0xC4, 0xC4, 1, 64, 10, 1, 0, 1023},
                      {2, 0xC5, 0xC5, 1, 74, 10, 1, 0, 1023},
                      {1, 0x39, 0x39, 2, 16, 4, 1, 1, 8}});
  ASSERT_EQ(d.buttonCaps.size(), 1u);  // the consumer array is not a controller's
  EXPECT_EQ(d.buttonCaps[0].reportId, 2);
  EXPECT_EQ(d.buttonCaps[0].usageMax, 16);

  // X 0x1234, Y 0xFFFF, Rx 0, Ry 0x8000, Accelerator 1023, Brake 0x155.
  const Bytes sticks = {0x01, 0x34, 0x12, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0xFF, 0x57, 0x05};
  EXPECT_EQ(Value(d, 1, 0x30, sticks), 0x1234);
  EXPECT_EQ(Value(d, 1, 0x31, sticks), 0xFFFF);
  EXPECT_EQ(Value(d, 1, 0x34, sticks), 0x8000);
  EXPECT_EQ(Value(d, 2, 0xC4, sticks), 1023);
  EXPECT_EQ(Value(d, 2, 0xC5, sticks), 0x155);
  EXPECT_EQ(Value(d, 1, 0x39, sticks), -1);  // the hat is in report 2
  EXPECT_TRUE(Pressed(d, kHidPageButton, sticks).empty());

  const Bytes buttons = {0x02, 0x01, 0x80, 0x07};
  EXPECT_EQ(Value(d, 1, 0x39, buttons), 7);
  EXPECT_EQ(Value(d, 1, 0x30, buttons), -1);
  EXPECT_EQ(Pressed(d, kHidPageButton, buttons), (std::vector<uint16_t>{1, 16}));

  const Bytes unknownId = {0x07, 0x01, 0x80, 0x07};
  EXPECT_EQ(Value(d, 1, 0x39, unknownId), -1);
  EXPECT_TRUE(Pressed(d, kHidPageButton, unknownId).empty());
}

TEST(HidDescriptor, TenBitAxesCrossBytesAndArraySlotsSelectButtons) {
  const HidDescriptor d = Parse(kArrayJoystick);
  EXPECT_TRUE(d.IsGameController());
  EXPECT_EQ(d.usage, kHidUsageJoystick);
  EXPECT_EQ(d.InputReportLength(0), 6u);
  ExpectValueCaps(d, {{1, 0x30, 0x30, 0, 0, 10, 1, 0, 1023},
                      {1, 0x31, 0x31, 0, 10, 10, 1, 0, 1023},
                      {1, 0x35, 0x35, 0, 24, 8, 1, -127, 127}});
  ASSERT_EQ(d.buttonCaps.size(), 1u);
  EXPECT_TRUE(d.buttonCaps[0].isArray);
  EXPECT_EQ(d.buttonCaps[0].reportCount, 2);

  // X 0x3FF in bits 0..9, Y 0x155 in bits 10..19, Rz -100, slots select 3 and 8.
  const Bytes report = {0xFF, 0x57, 0x05, 0x9C, 0x03, 0x08};
  EXPECT_EQ(Value(d, 1, 0x30, report), 0x3FF);
  EXPECT_EQ(Value(d, 1, 0x31, report), 0x155);
  EXPECT_EQ(Value(d, 1, 0x35, report), 0x9C);
  EXPECT_EQ(HidLogicalValue(d.valueCaps[2], 0x9C), -100);
  EXPECT_EQ(HidLogicalValue(d.valueCaps[2], 0x64), 100);
  EXPECT_EQ(HidLogicalValue(d.valueCaps[0], 0x3FF), 0x3FF);  // unsigned range stays unsigned
  EXPECT_EQ(Pressed(d, kHidPageButton, report), (std::vector<uint16_t>{3, 8}));

  // 0 and 9 lie outside the logical range 1..8: no button.
  EXPECT_TRUE(Pressed(d, kHidPageButton, {0xFF, 0x57, 0x05, 0x9C, 0x00, 0x09}).empty());
}

TEST(HidDescriptor, ShortReportsYieldOnlyTheFieldsTheyHold) {
  const HidDescriptor d = Parse(kArrayJoystick);
  const Bytes full = {0xFF, 0x57, 0x05, 0x9C, 0x03, 0x08};
  // Y ends in byte 2, Rz in byte 3, the slots in bytes 4 and 5.
  EXPECT_EQ(Value(d, 1, 0x30, Bytes(full.begin(), full.begin() + 2)), 0x3FF);
  EXPECT_EQ(Value(d, 1, 0x31, Bytes(full.begin(), full.begin() + 2)), -1);
  EXPECT_EQ(Value(d, 1, 0x31, Bytes(full.begin(), full.begin() + 3)), 0x155);
  EXPECT_EQ(Pressed(d, kHidPageButton, Bytes(full.begin(), full.begin() + 5)),
            (std::vector<uint16_t>{3}));
  EXPECT_EQ(Value(d, 1, 0x30, {}), -1);

  const HidDescriptor ids = Parse(kReportIdGamepad);
  EXPECT_EQ(Value(ids, 1, 0x30, {0x01}), -1);  // the id byte alone
}

TEST(HidDescriptor, PressedUsagesStopAtTheOutputSize) {
  const HidDescriptor d = Parse(kGenericGamepad);
  const Bytes report = {0, 0, 0, 0, 0xF0, 0xFF, 0};
  uint16_t out[3] = {};
  EXPECT_EQ(GetHidPressedUsages(d, kHidPageButton, report, out), 3u);
  EXPECT_EQ(out[2], 3);
}

TEST(HidDescriptor, UsageListsShareFieldsAndTheLastUsageTakesTheRest) {
  // Three 8-bit fields for X and a range Ry..Rz, then three more fields for
  // one usage (Slider); extended four-byte usages carry their own page.
  const Bytes bytes = {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01,        // Game Pad collection
                       0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,  // 0..255, 8 bits
                       0x95, 0x03, 0x09, 0x30, 0x19, 0x34, 0x29, 0x35, 0x81, 0x02,  // X, Ry..Rz
                       0x95, 0x03, 0x0B, 0x36, 0x00, 0x01, 0x00, 0x81, 0x02,        // Slider x3
                       0x95, 0x01, 0x0B, 0xC4, 0x00, 0x02, 0x00, 0x81, 0x02,        // Accelerator
                       0xC0};
  const HidDescriptor d = Parse(bytes);
  ExpectValueCaps(d, {{1, 0x30, 0x30, 0, 0, 8, 1, 0, 255},
                      {1, 0x34, 0x35, 0, 8, 8, 2, 0, 255},
                      {1, 0x36, 0x36, 0, 24, 8, 3, 0, 255},
                      {2, 0xC4, 0xC4, 0, 48, 8, 1, 0, 255}});
  const Bytes report = {10, 20, 30, 40, 50, 60, 70};
  EXPECT_EQ(Value(d, 1, 0x35, report), 30);
  EXPECT_EQ(Value(d, 1, 0x36, report), 40);
  EXPECT_EQ(Value(d, 2, 0xC4, report), 70);
}

TEST(HidDescriptor, OddButHarmlessItemsAreAccepted) {
  Bytes bytes = kGenericGamepad;
  // A vendor long item, a push/pop pair and trailing zero padding.
  bytes.insert(bytes.begin(), {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0xA4, 0xB4});
  bytes.insert(bytes.end(), {0x00, 0x00});
  const HidDescriptor d = Parse(bytes);
  EXPECT_EQ(d.valueCaps.size(), 5u);
  EXPECT_EQ(d.InputReportLength(0), 7u);
}

TEST(HidDescriptor, NonControllerTopCollectionGivesNoCapabilities) {
  const HidDescriptor d = Parse(testing::kKeyboard);
  EXPECT_FALSE(d.IsGameController());
  EXPECT_EQ(d.usage, 6);
  EXPECT_TRUE(d.buttonCaps.empty());
  EXPECT_EQ(d.InputReportLength(0), 1u);
}

struct MalformedCase {
  const char* name;
  Bytes bytes;
  const char* message;
};

void PrintTo(const MalformedCase& c, std::ostream* os) {
  *os << c.name;
}

class MalformedDescriptor : public ::testing::TestWithParam<MalformedCase> {};

Bytes InGamepad(std::initializer_list<uint8_t> items) {
  Bytes bytes = {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01};
  bytes.insert(bytes.end(), items);
  bytes.push_back(0xC0);
  return bytes;
}

Bytes Repeated(std::initializer_list<uint8_t> item, int times) {
  Bytes bytes;
  for (int i = 0; i < times; ++i) bytes.insert(bytes.end(), item);
  return bytes;
}

TEST_P(MalformedDescriptor, IsRejectedWithALogLine) {
  testing::LogCapture log;
  ASSERT_TRUE(log.Opened());
  HidDescriptor d;
  d.valueCaps.resize(3);  // whatever was there before is dropped
  EXPECT_FALSE(ParseHidDescriptor(GetParam().bytes, d));
  EXPECT_TRUE(d.valueCaps.empty());
  EXPECT_TRUE(log.Contains(std::string("ParseHidDescriptor: Malformed report descriptor: ") +
                           GetParam().message))
      << log.Text();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedDescriptor,
    ::testing::Values(
        MalformedCase{"Empty", {}, "the descriptor is empty (byte 0)"},
        MalformedCase{"TruncatedItem", {0x05, 0x01, 0x09}, "an item runs past the end (byte 2)"},
        MalformedCase{"TruncatedFourByteItem",
                      {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01, 0x27, 0xFF, 0xFF},
                      "an item runs past the end (byte 6)"},
        MalformedCase{
            "TruncatedLongItem", {0xFE, 0x10, 0x00, 0x01}, "a long item runs past the end"},
        MalformedCase{"EndCollectionFirst", {0xC0}, "End Collection without a Collection"},
        MalformedCase{"ExtraEndCollection",
                      {0x09, 0x05, 0xA1, 0x01, 0xC0, 0xC0},
                      "End Collection without a Collection (byte 5)"},
        MalformedCase{"CollectionNeverClosed",
                      {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01},
                      "a collection is never closed (byte 6)"},
        MalformedCase{"NoCollection", {0x05, 0x01, 0x09, 0x05}, "there is no top collection"},
        MalformedCase{"NestedTooDeep", Repeated({0xA1, 0x00}, 65),
                      "collections are nested too deep (byte 128)"},
        MalformedCase{"ReportSizeAbsurd", InGamepad({0x76, 0x01, 0x01}),
                      "Report Size is larger than 256 bits"},
        MalformedCase{"ReportCountAbsurd", InGamepad({0x97, 0xFF, 0xFF, 0xFF, 0x7F}),
                      "Report Count is larger than 12288"},
        MalformedCase{"ReportLongerThanHidrawDelivers",
                      InGamepad({0x75, 0x80, 0x96, 0x10, 0x04, 0x09, 0x30, 0x81, 0x02}),
                      "an input report is longer than 16384 bytes"},
        MalformedCase{"ReportLongerOnceItGetsAnId",
                      InGamepad({0x75, 0x80, 0x96, 0x00, 0x04, 0x81, 0x03, 0x85, 0x01}),
                      "an input report is longer than 16384 bytes"},
        MalformedCase{"ReportIdZero", InGamepad({0x85, 0x00}), "Report ID outside 1..255"},
        MalformedCase{"ReportIdTooLarge", InGamepad({0x86, 0x00, 0x01}),
                      "Report ID outside 1..255"},
        MalformedCase{"PopWithoutPush", InGamepad({0xB4}), "Pop without Push"},
        MalformedCase{"PushTooDeep",
                      InGamepad({0xA4, 0xA4, 0xA4, 0xA4, 0xA4, 0xA4, 0xA4, 0xA4, 0xA4}),
                      "Push nested too deep"},
        MalformedCase{"UsageRangeReversed", InGamepad({0x19, 0x05, 0x29, 0x01}),
                      "Usage Minimum above Usage Maximum"},
        MalformedCase{"UsageMinimumAlone",
                      InGamepad({0x75, 0x01, 0x95, 0x01, 0x19, 0x01, 0x81, 0x02}),
                      "Usage Minimum and Maximum do not pair up"},
        MalformedCase{"TooManyUsages", Repeated({0x09, 0x30}, 1025),
                      "too many usages for one item"},
        MalformedCase{"LongerThanKernelLimit", Bytes(4097, 0x00),
                      "the descriptor is longer than 4096 bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HidDescriptor, CutsInsideAnItemOrACollectionAreRejected) {
  struct Case {
    const Bytes* full;
    std::set<std::size_t> acceptedLengths;
  };
  // The report-id gamepad is complete after its first top collection (88
  // bytes) and stays so through the two global and local items that follow.
  const Case cases[] = {
      {&kGenericGamepad, {}}, {&kArrayJoystick, {}}, {&kReportIdGamepad, {88, 90, 92}}};
  for (const Case& c : cases) {
    std::set<std::size_t> accepted;
    for (std::size_t length = 0; length < c.full->size(); ++length) {
      // A copy of exactly this length, so reading past it trips the sanitizer.
      const Bytes prefix(c.full->begin(), c.full->begin() + static_cast<std::ptrdiff_t>(length));
      HidDescriptor d;
      if (ParseHidDescriptor(prefix, d)) accepted.insert(length);
    }
    EXPECT_EQ(accepted, c.acceptedLengths);
  }
}

}  // namespace
}  // namespace brevanto
