#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/ports/InstanceMessageHandler.h"

namespace brevanto {

// The wire format of the instance channel. All numbers are little-endian.
//
// Request:  u32 length | u32 tag "BRV1" | u32 message | i64 wParam | i64 lParam | payload
// Reply:    u32 length | u32 tag "BRV1" | i64 result
//
// length counts the bytes after itself. The payload is at most
// kMaxInstancePayload bytes, so a frame can never make the receiver hold more
// than kMaxInstanceFrame bytes.
inline constexpr uint32_t kInstanceFrameTag = 0x31565242;  // "BRV1"
inline constexpr std::size_t kInstanceRequestHeader = 4 + 4 + 4 + 8 + 8;
inline constexpr std::size_t kInstanceReplySize = 4 + 4 + 8;
inline constexpr std::size_t kMaxInstancePayload = 4096;
inline constexpr std::size_t kMaxInstanceFrame = kInstanceRequestHeader + kMaxInstancePayload;

// False when the payload exceeds the limit; out is then unchanged.
bool EncodeInstanceRequest(const InstanceMessage& message, std::string& out);
std::array<uint8_t, kInstanceReplySize> EncodeInstanceReply(int64_t result);
// False when the bytes are not a reply of this protocol.
bool DecodeInstanceReply(std::span<const uint8_t, kInstanceReplySize> bytes, int64_t& result);

// Collects the bytes of one connection and cuts them into requests. The
// buffer holds one frame at most; a frame that announces more is rejected as
// soon as its length is known, without waiting for its bytes.
class InstanceFrameReader {
 public:
  enum class Status {
    NeedMore,   // no complete frame yet
    Frame,      // one request was taken out
    Malformed,  // not this protocol; the stream cannot be resynchronised
    Oversized,  // the announced length exceeds the limit
  };

  // Where the next received bytes go; never empty while Next answers NeedMore.
  std::span<uint8_t> FreeSpace();
  void Commit(std::size_t count);

  // Takes the next complete request out of the buffer.
  Status Next(InstanceMessage& out);

  // Bytes received of a frame not yet complete.
  std::size_t Pending() const { return used_; }
  // The length field of the frame that was rejected or is pending (0 when
  // it has not arrived yet).
  uint32_t AnnouncedLength() const;

 private:
  std::array<uint8_t, kMaxInstanceFrame> buffer_{};
  std::size_t used_ = 0;
};

}  // namespace brevanto
