#include "platform/linux/output/ScanCodeKeys.h"

#include <linux/input-event-codes.h>

#include <array>

#include "core/engine/ScanCodes.h"

namespace brevanto {
namespace {

constexpr uint16_t kExtended = 0x100;

struct ScanKey {
  uint16_t scan;
  uint16_t key;
};

// Codes beyond the block where evdev numbers equal set-1 make codes.
constexpr ScanKey kPlainKeys[] = {
    {0x54, KEY_SYSRQ},     {0x56, KEY_102ND},    {0x57, KEY_F11},
    {0x58, KEY_F12},       {0x59, KEY_KPEQUAL},  {0x64, KEY_F13},
    {0x65, KEY_F14},       {0x66, KEY_F15},      {0x67, KEY_F16},
    {0x68, KEY_F17},       {0x69, KEY_F18},      {0x6A, KEY_F19},
    {0x6B, KEY_F20},       {0x6C, KEY_F21},      {0x6D, KEY_F22},
    {0x6E, KEY_F23},       {0x76, KEY_F24},      {0x70, KEY_KATAKANAHIRAGANA},
    {0x73, KEY_RO},        {0x77, KEY_HIRAGANA}, {0x78, KEY_KATAKANA},
    {0x79, KEY_HENKAN},    {0x7B, KEY_MUHENKAN}, {0x7D, KEY_YEN},
    {0x7E, KEY_KPJPCOMMA}, {0xF1, KEY_HANJA},    {0xF2, KEY_HANGEUL},
};

constexpr ScanKey kExtendedKeys[] = {
    {0x10, KEY_PREVIOUSSONG}, {0x19, KEY_NEXTSONG},  {0x1C, KEY_KPENTER},   {0x1D, KEY_RIGHTCTRL},
    {0x20, KEY_MUTE},         {0x21, KEY_CALC},      {0x22, KEY_PLAYPAUSE}, {0x24, KEY_STOPCD},
    {0x2E, KEY_VOLUMEDOWN},   {0x30, KEY_VOLUMEUP},  {0x32, KEY_HOMEPAGE},  {0x35, KEY_KPSLASH},
    {0x37, KEY_SYSRQ},        {0x38, KEY_RIGHTALT},  {0x45, KEY_NUMLOCK},   {0x46, KEY_PAUSE},
    {0x47, KEY_HOME},         {0x48, KEY_UP},        {0x49, KEY_PAGEUP},    {0x4B, KEY_LEFT},
    {0x4D, KEY_RIGHT},        {0x4F, KEY_END},       {0x50, KEY_DOWN},      {0x51, KEY_PAGEDOWN},
    {0x52, KEY_INSERT},       {0x53, KEY_DELETE},    {0x5B, KEY_LEFTMETA},  {0x5C, KEY_RIGHTMETA},
    {0x5D, KEY_COMPOSE},      {0x5E, KEY_POWER},     {0x5F, KEY_SLEEP},     {0x63, KEY_WAKEUP},
    {0x65, KEY_SEARCH},       {0x66, KEY_BOOKMARKS}, {0x67, KEY_REFRESH},   {0x68, KEY_STOP},
    {0x69, KEY_FORWARD},      {0x6A, KEY_BACK},      {0x6B, KEY_COMPUTER},  {0x6C, KEY_MAIL},
    {0x6D, KEY_MEDIA},
};

// The key numbers DirectInput gives the arrows and the right-hand Ctrl and
// Alt, sent with the E0 flag by the "for DirectInput" keys of an assignment.
// No keyboard sends them, so a captured key never maps back to them.
constexpr ScanKey kDirectInputKeys[] = {
    {0xC8, KEY_UP},   {0xCB, KEY_LEFT},      {0xCD, KEY_RIGHT},
    {0xD0, KEY_DOWN}, {0x9D, KEY_RIGHTCTRL}, {0xB8, KEY_RIGHTALT},
};

struct Table {
  std::array<uint16_t, 256> plain{};
  std::array<uint16_t, 256> extended{};
  std::array<uint16_t, KEY_CNT> scanOfKey{};
};

Table BuildTable() {
  Table table;
  // Escape (0x01) through numpad Delete (0x53) carry the same numbers in both.
  for (uint16_t scan = 0x01; scan <= 0x53; ++scan) table.plain[scan] = scan;
  for (const ScanKey& k : kPlainKeys) table.plain[k.scan] = k.key;
  for (const ScanKey& k : kExtendedKeys) table.extended[k.scan] = k.key;
  for (const ScanKey& k : kDirectInputKeys) table.extended[k.scan] = k.key;
  for (uint16_t scan = 1; scan < 256; ++scan) {
    if (const uint16_t key = table.plain[scan]) table.scanOfKey[key] = scan;
  }
  for (const ScanKey& k : kExtendedKeys) table.scanOfKey[k.key] = k.scan | kExtended;
  return table;
}

const Table& Keys() {
  static const Table table = BuildTable();
  return table;
}

}  // namespace

uint16_t EvdevKeyOfScanCode(uint16_t scanCode) {
  if (scanCode >= 0x200) return 0;
  const auto low = static_cast<std::size_t>(scanCode & 0xFF);
  if (scanCode & kExtended) {
    if (const uint16_t key = Keys().extended[low]) return key;
  }
  return Keys().plain[low];
}

uint16_t ScanCodeOfEvdevKey(uint16_t evdevKey) {
  return evdevKey < KEY_CNT ? Keys().scanOfKey[evdevKey] : 0;
}

uint16_t EvdevKeyOfVirtualKey(uint8_t virtualKey, uint8_t scanCode, bool extended) {
  // Pause and Num Lock share 0x145 in the scan table; the virtual key tells
  // them apart.
  if (virtualKey == 0x13) return KEY_PAUSE;
  if (virtualKey == 0x90) return KEY_NUMLOCK;
  uint16_t scan = VirtualKeyToScanCode(virtualKey);
  if (scan == 0) scan = scanCode;
  if (extended) scan |= kExtended;
  return EvdevKeyOfScanCode(scan);
}

}  // namespace brevanto
