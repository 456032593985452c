#include "core/engine/KeyNames.h"

#include <array>
#include <atomic>
#include <cstdio>

#include "core/ports/KeyboardLayout.h"

namespace brevanto {
namespace {

std::atomic<const KeyboardLayout*> g_layout{nullptr};

constexpr const char* kDirections[8] = {"↑", "↗", "→", "↘", "↓", "↙", "←", "↖"};

constexpr std::array<const char*, 16> kAxisNames = {
    "Stick1: ←", "Stick1: →", "Stick1: ↑", "Stick1: ↓", "Stick2: ←",   "Stick2: →",
    "Stick2: ↑", "Stick2: ↓", "Axis5(<0)", "Axis5(>0)", "Axis6(<0)",   "Axis6(>0)",
    "Slider1(<0)", "Slider1(>0)", "Slider2(<0)", "Slider2(>0)"};

constexpr std::array<const char*, 8> kDiagonalNames = {"Stick1: ↗", "Stick1: ↖", "Stick1: ↙",
                                                       "Stick1: ↘", "Stick2: ↗", "Stick2: ↖",
                                                       "Stick2: ↙", "Stick2: ↘"};

constexpr std::array<const char*, 10> kSpecialNames = {
    "漢字ON/OFF", "Numpad Enter", "←(DI)",      "↑(DI)",      "→(DI)",
    "↓(DI)",      "R-Ctrl(DI)",   "R-Alt(DI)", "Pause(Alt)", "N/A"};

struct NamedKey {
  uint8_t code;
  const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {0x00, "None"},         {0x01, "Mouse Left"},    {0x02, "Mouse Right"},  {0x04, "Mouse Middle"},
    {0x08, "BackSpace"},    {0x09, "Tab"},           {0x0C, "Clear"},        {0x0D, "Enter"},
    {0x10, "Shift"},        {0x11, "Ctrl"},          {0x12, "Alt"},          {0x13, "Pause"},
    {0x14, "Caps"},         {0x1B, "Escape"},        {0x1C, "前候補"},       {0x1D, "無変換"},
    {0x20, "Space"},        {0x21, "PageUp"},        {0x22, "PageDown"},     {0x23, "End"},
    {0x24, "Home"},         {0x25, "←"},             {0x26, "↑"},            {0x27, "→"},
    {0x28, "↓"},            {0x29, "Select"},        {0x2B, "Execute"},      {0x2C, "Print Screen"},
    {0x2D, "Insert"},       {0x2E, "Delete"},        {0x2F, "Help"},         {0x5B, "L-Win"},
    {0x5C, "R-Win"},        {0x5D, "Application"},   {0x6A, "Numpad *"},     {0x6B, "Numpad +"},
    {0x6C, "Separator"},    {0x6D, "Numpad -"},      {0x6E, "Numpad ."},     {0x6F, "Numpad /"},
    {0x90, "NumLock"},      {0x91, "ScrollLock"},    {0xA0, "L-Shift"},      {0xA1, "R-Shift"},
    {0xA2, "L-Ctrl"},       {0xA3, "R-Ctrl"},        {0xA4, "L-Alt"},        {0xA5, "R-Alt"},
    {0xAD, "Volume Mute"},  {0xAE, "Volume Down"},   {0xAF, "Volume Up"},    {0xB0, "Media Next"},
    {0xB1, "Media Prev"},   {0xB2, "Media Stop"},    {0xB3, "Medit Play/Pause"},
    {0xBA, ":"},            {0xBB, ";"},             {0xBC, "<"},            {0xBD, "-"},
    {0xBE, ">"},            {0xBF, "/"},             {0xC0, "@"},            {0xDB, "["},
    {0xDC, "\\"},           {0xDD, "]"},             {0xDE, "^"},            {0xE2, "_"},
    {0xF0, "Caps"},         {0xF2, "カタカナ"},      {0xF3, "半角"},         {0xF4, "全角"},
};

using VirtualKeyTable = std::array<std::string, 256>;

VirtualKeyTable BuildVirtualKeyTable() {
  VirtualKeyTable table;
  for (int v = 0; v < 256; ++v) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", v);
    table[static_cast<std::size_t>(v)] = hex;
  }
  for (const NamedKey& k : kNamedKeys) table[k.code] = k.name;
  for (int d = 0; d <= 9; ++d) {
    table[static_cast<std::size_t>(0x30 + d)] = std::string(1, static_cast<char>('0' + d));
    table[static_cast<std::size_t>(0x60 + d)] = "Numpad " + std::to_string(d);
  }
  for (int l = 0; l < 26; ++l) {
    table[static_cast<std::size_t>(0x41 + l)] = std::string(1, static_cast<char>('A' + l));
  }
  for (int f = 1; f <= 24; ++f) table[static_cast<std::size_t>(0x6F + f)] = "F" + std::to_string(f);
  return table;
}

const VirtualKeyTable& VirtualKeyNames() {
  static const VirtualKeyTable table = BuildVirtualKeyTable();
  return table;
}

std::string VirtualKeyName(uint8_t v) {
  const bool asksLayout = (v >= 0x30 && v <= 0x5F) || (v >= 0x70 && v != 0xE2);
  if (asksLayout) {
    if (const KeyboardLayout* layout = g_layout.load(std::memory_order_acquire)) {
      std::string character = layout->CharacterOf(v);
      if (!character.empty()) return character;
    }
  }
  return VirtualKeyNames()[v];
}

}  // namespace

void SetKeyboardLayout(const KeyboardLayout* layout) {
  g_layout.store(layout, std::memory_order_release);
}

const KeyboardLayout* CurrentKeyboardLayout() { return g_layout.load(std::memory_order_acquire); }

std::string ButtonName(int index) {
  if (index >= 0 && index < 16) return kAxisNames[static_cast<std::size_t>(index)];
  if (index >= 16 && index < 48) {
    const int hat = (index - 16) / 8;
    const std::string prefix = hat == 0 ? "POV: " : "POV" + std::to_string(hat + 1) + ": ";
    return prefix + kDirections[(index - 16) % 8];
  }
  if (index >= 48 && index < 56) return kDiagonalNames[static_cast<std::size_t>(index - 48)];
  if (index > 55) return "Button " + std::to_string(index - 55);
  return "???";
}

std::string KeyName(uint32_t code) {
  const uint32_t category = (code >> 8) & 0xFF;
  const uint32_t v = code & 0xFF;
  switch (category) {
    case 0:
      return VirtualKeyName(static_cast<uint8_t>(v));
    case 1:
      return v < kSpecialNames.size() ? kSpecialNames[v] : "???";
    case 2:
      if (v == 1) return "左クリック";
      if (v == 2) return "中クリック";
      if (v == 3) return "右クリック";
      return "???";
    case 4:
      return "Mouse:↑(" + std::to_string(v) + ")";
    case 5:
      return "Mouse:→(" + std::to_string(v) + ")";
    case 6:
      return "Mouse:↓(" + std::to_string(v) + ")";
    case 7:
      return "Mouse:←(" + std::to_string(v) + ")";
    case 8:
      return "Button" + std::to_string(v + 1);
    case 9:
      return "Wheel:↑(" + std::to_string(v) + ")";
    case 10:
      return "Wheel:↓(" + std::to_string(v) + ")";
    default:
      return "???";
  }
}

}  // namespace brevanto
