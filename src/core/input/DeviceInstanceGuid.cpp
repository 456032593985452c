#include "core/input/DeviceInstanceGuid.h"

#include <cstdio>

namespace brevanto {
namespace {

// 64-bit FNV-1a, with the offset basis as a parameter so that two passes with
// different bases give the two halves of the result.
uint64_t Fnv1a(uint64_t hash, const std::array<uint8_t, 16>& guid, std::string_view text) {
  constexpr uint64_t kPrime = 0x100000001B3ull;
  for (uint8_t byte : guid) hash = (hash ^ byte) * kPrime;
  // A separator, so that no guid/text split can collide with another.
  hash = (hash ^ 0xFFu) * kPrime;
  for (char c : text) hash = (hash ^ static_cast<uint8_t>(c)) * kPrime;
  return hash;
}

}  // namespace

std::string DeviceInstanceGuid(const std::array<uint8_t, 16>& modelGuid,
                               std::string_view distinguisher) {
  const uint64_t high = Fnv1a(0xCBF29CE484222325ull, modelGuid, distinguisher);
  const uint64_t low = Fnv1a(0x84222325CBF29CE4ull, modelGuid, distinguisher);
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}",
                static_cast<unsigned>(high >> 32), static_cast<unsigned>((high >> 16) & 0xFFFF),
                static_cast<unsigned>(high & 0xFFFF), static_cast<unsigned>(low >> 48),
                static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
  return text;
}

}  // namespace brevanto
