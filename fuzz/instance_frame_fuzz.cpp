// Feeds arbitrary bytes, cut into arbitrary pieces, through the instance
// channel's frame reader: whatever a local process sends, the reader never
// reads or writes outside its buffer, never yields a frame beyond the limit
// and always has room for more bytes while it waits.
//
// Input: each piece is a length byte followed by that many bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/linux/instance/InstanceFrame.h"

using namespace brevanto;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InstanceFrameReader reader;
  InstanceMessage message;
  while (size > 0) {
    std::size_t length = std::min<std::size_t>(data[0], size - 1);
    const uint8_t* piece = data + 1;
    data += 1 + length;
    size -= 1 + length;
    while (length > 0) {
      const std::span<uint8_t> space = reader.FreeSpace();
      if (space.empty()) std::abort();
      const std::size_t take = std::min(length, space.size());
      std::memcpy(space.data(), piece, take);
      reader.Commit(take);
      piece += take;
      length -= take;
      for (;;) {
        const InstanceFrameReader::Status status = reader.Next(message);
        if (status == InstanceFrameReader::Status::NeedMore) break;
        if (status != InstanceFrameReader::Status::Frame) return 0;
        if (message.payload.size() > kMaxInstancePayload) std::abort();
        std::string encoded;
        if (!EncodeInstanceRequest(message, encoded)) std::abort();
      }
    }
  }
  return 0;
}
