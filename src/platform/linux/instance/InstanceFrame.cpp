#include "platform/linux/instance/InstanceFrame.h"

#include <algorithm>
#include <cstring>

namespace brevanto {
namespace {

void PutU32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutI64(uint8_t* at, int64_t value) {
  const uint64_t bits = static_cast<uint64_t>(value);
  for (int i = 0; i < 8; ++i) at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

uint32_t GetU32(const uint8_t* at) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
  return value;
}

int64_t GetI64(const uint8_t* at) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(at[i]) << (8 * i);
  return static_cast<int64_t>(bits);
}

}  // namespace

bool EncodeInstanceRequest(const InstanceMessage& message, std::string& out) {
  if (message.payload.size() > kMaxInstancePayload) return false;
  uint8_t header[kInstanceRequestHeader];
  PutU32(header, static_cast<uint32_t>(kInstanceRequestHeader - 4 + message.payload.size()));
  PutU32(header + 4, kInstanceFrameTag);
  PutU32(header + 8, message.message);
  PutI64(header + 12, message.wParam);
  PutI64(header + 20, message.lParam);
  out.assign(reinterpret_cast<const char*>(header), sizeof header);
  out += message.payload;
  return true;
}

std::array<uint8_t, kInstanceReplySize> EncodeInstanceReply(int64_t result) {
  std::array<uint8_t, kInstanceReplySize> bytes{};
  PutU32(bytes.data(), kInstanceReplySize - 4);
  PutU32(bytes.data() + 4, kInstanceFrameTag);
  PutI64(bytes.data() + 8, result);
  return bytes;
}

bool DecodeInstanceReply(std::span<const uint8_t, kInstanceReplySize> bytes, int64_t& result) {
  if (GetU32(bytes.data()) != kInstanceReplySize - 4) return false;
  if (GetU32(bytes.data() + 4) != kInstanceFrameTag) return false;
  result = GetI64(bytes.data() + 8);
  return true;
}

std::span<uint8_t> InstanceFrameReader::FreeSpace() {
  return std::span<uint8_t>(buffer_).subspan(used_);
}

void InstanceFrameReader::Commit(std::size_t count) {
  used_ += std::min(count, buffer_.size() - used_);
}

uint32_t InstanceFrameReader::AnnouncedLength() const {
  return used_ >= 4 ? GetU32(buffer_.data()) : 0;
}

InstanceFrameReader::Status InstanceFrameReader::Next(InstanceMessage& out) {
  if (used_ < 4) return Status::NeedMore;
  const uint32_t length = GetU32(buffer_.data());
  if (length > kMaxInstanceFrame - 4) return Status::Oversized;
  if (length < kInstanceRequestHeader - 4) return Status::Malformed;
  if (used_ >= 8 && GetU32(buffer_.data() + 4) != kInstanceFrameTag) return Status::Malformed;
  const std::size_t frameSize = 4 + static_cast<std::size_t>(length);
  if (used_ < frameSize) return Status::NeedMore;

  out.message = GetU32(buffer_.data() + 8);
  out.wParam = static_cast<intptr_t>(GetI64(buffer_.data() + 12));
  out.lParam = static_cast<intptr_t>(GetI64(buffer_.data() + 20));
  out.payload.assign(reinterpret_cast<const char*>(buffer_.data() + kInstanceRequestHeader),
                     frameSize - kInstanceRequestHeader);
  std::memmove(buffer_.data(), buffer_.data() + frameSize, used_ - frameSize);
  used_ -= frameSize;
  return Status::Frame;
}

}  // namespace brevanto
