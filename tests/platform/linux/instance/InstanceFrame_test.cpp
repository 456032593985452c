#include "platform/linux/instance/InstanceFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/processing/Messages.h"

namespace brevanto {
namespace {

using Status = InstanceFrameReader::Status;

// Feeds bytes to the reader in pieces of the given size and collects what
// comes out, stopping at the first rejection.
Status Feed(InstanceFrameReader& reader, const std::string& bytes, std::size_t piece,
            std::vector<InstanceMessage>& out) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::span<uint8_t> space = reader.FreeSpace();
    const std::size_t take = std::min({piece, space.size(), bytes.size() - done});
    std::memcpy(space.data(), bytes.data() + done, take);
    reader.Commit(take);
    done += take;
    InstanceMessage message;
    for (Status status; (status = reader.Next(message)) != Status::NeedMore;) {
      if (status != Status::Frame) return status;
      out.push_back(message);
    }
  }
  return Status::NeedMore;
}

std::string Encode(const InstanceMessage& message) {
  std::string bytes;
  EXPECT_TRUE(EncodeInstanceRequest(message, bytes));
  return bytes;
}

std::string LittleEndian(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

TEST(InstanceFrame, MessagesSurviveAnySplitOfTheStream) {
  const std::vector<InstanceMessage> messages = {
      {WM_BRV_RESTORE, 0, 0, {}},
      {WM_COPYDATA, 0, 0, std::string("Race\0", 5)},
      {WM_BRV_SET_INPUT_TARGET, -1, INT64_MAX, {}},
      {WM_BRV_PRESS_BUTTON, INT64_MIN, 127, {}},
      {0xFFFFFFFF, 1, -1, std::string("\0\xff\x80 binary", 10)},
      {WM_COPYDATA, 0, 0, std::string(kMaxInstancePayload, 'x')},
  };
  std::string stream;
  for (const InstanceMessage& m : messages) stream += Encode(m);

  for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{29}, stream.size()}) {
    InstanceFrameReader reader;
    std::vector<InstanceMessage> received;
    EXPECT_EQ(Feed(reader, stream, piece, received), Status::NeedMore) << "pieces of " << piece;
    EXPECT_EQ(received, messages) << "pieces of " << piece;
    EXPECT_EQ(reader.Pending(), 0u);
  }
}

TEST(InstanceFrame, RejectsWhatIsNotAFrameOfThisProtocol) {
  const std::string good = Encode({WM_BRV_SHOW, 0, 0, {}});
  std::string badTag = good;
  badTag[4] = 'X';
  struct Case {
    const char* name;
    std::string bytes;
    Status expected;
  };
  const Case cases[] = {
      {"tag of another protocol", badTag, Status::Malformed},
      {"length shorter than the header", LittleEndian(23) + good.substr(4), Status::Malformed},
      {"text instead of a frame", "GET / HTTP/1.0\r\n\r\n", Status::Oversized},
      // Rejected from the length alone, before the bytes arrive.
      {"one byte over the limit", LittleEndian(kMaxInstanceFrame - 3), Status::Oversized},
      {"huge length", LittleEndian(0xFFFFFFFF), Status::Oversized},
  };
  for (const Case& c : cases) {
    InstanceFrameReader reader;
    std::vector<InstanceMessage> received;
    EXPECT_EQ(Feed(reader, c.bytes, c.bytes.size(), received), c.expected) << c.name;
    EXPECT_TRUE(received.empty()) << c.name;
  }
}

TEST(InstanceFrame, PayloadBeyondTheLimitIsNotEncoded) {
  std::string bytes = "unchanged";
  EXPECT_FALSE(
      EncodeInstanceRequest({WM_COPYDATA, 0, 0, std::string(kMaxInstancePayload + 1, 'x')}, bytes));
  EXPECT_EQ(bytes, "unchanged");
}

TEST(InstanceFrame, RepliesCarryTheResultAndRejectForeignBytes) {
  for (const int64_t value : {int64_t{0}, int64_t{1}, int64_t{-1}, INT64_MIN}) {
    int64_t decoded = 42;
    EXPECT_TRUE(DecodeInstanceReply(EncodeInstanceReply(value), decoded));
    EXPECT_EQ(decoded, value);
  }
  auto reply = EncodeInstanceReply(7);
  reply[5] ^= 1;
  int64_t decoded = 42;
  EXPECT_FALSE(DecodeInstanceReply(reply, decoded));
  EXPECT_EQ(decoded, 42);
}

}  // namespace
}  // namespace brevanto
