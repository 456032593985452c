#include "core/input/HidDescriptor.h"

#include <algorithm>
#include <optional>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

// Item types and tags of the short items (HID 1.11, 6.2.2).
enum ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

enum MainTag : uint8_t {
  kInput = 0x8,
  kOutput = 0x9,
  kCollection = 0xA,
  kFeature = 0xB,
  kEndCollection = 0xC,
};

enum GlobalTag : uint8_t {
  kUsagePage = 0x0,
  kLogicalMinimum = 0x1,
  kLogicalMaximum = 0x2,
  kReportSize = 0x7,
  kReportId = 0x8,
  kReportCount = 0x9,
  kPush = 0xA,
  kPop = 0xB,
};

enum LocalTag : uint8_t { kUsage = 0x0, kUsageMinimum = 0x1, kUsageMaximum = 0x2 };

constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr uint8_t kInputConstant = 0x01;
constexpr uint8_t kInputVariable = 0x02;
constexpr uint8_t kInputNullState = 0x40;

// Limits beyond which a descriptor is treated as damaged rather than odd.
constexpr uint32_t kMaxReportSize = 256;
constexpr uint32_t kMaxReportCount = 12288;
constexpr std::size_t kMaxGlobalStack = 8;
constexpr int kMaxCollectionDepth = 64;
constexpr std::size_t kMaxLocalUsages = 1024;

struct GlobalState {
  uint16_t usagePage = 0;
  uint32_t logicalMinRaw = 0;
  uint8_t logicalMinSize = 0;
  uint32_t logicalMaxRaw = 0;
  uint8_t logicalMaxSize = 0;
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

// A local usage; page -1 takes the global usage page current at the main item.
struct LocalUsage {
  int32_t page = -1;
  uint16_t min = 0;
  uint16_t max = 0;
};

int64_t SignExtend(uint32_t raw, uint8_t size) {
  switch (size) {
    case 1:
      return static_cast<int8_t>(raw);
    case 2:
      return static_cast<int16_t>(raw);
    case 4:
      return static_cast<int32_t>(raw);
    default:
      return 0;
  }
}

class Parser {
 public:
  Parser(std::span<const uint8_t> bytes, HidDescriptor& out) : bytes_(bytes), out_(out) {}

  bool Run() {
    if (bytes_.empty()) return Fail(0, "the descriptor is empty");
    if (bytes_.size() > kHidMaxDescriptorBytes) {
      return Fail(0, "the descriptor is longer than 4096 bytes");
    }
    std::size_t pos = 0;
    while (pos < bytes_.size()) {
      const uint8_t prefix = bytes_[pos];
      if (prefix == kLongItemPrefix) {
        // Long items carry vendor data only; skip them whole.
        if (bytes_.size() - pos < 3 || bytes_.size() - pos - 3 < bytes_[pos + 1]) {
          return Fail(pos, "a long item runs past the end");
        }
        pos += 3 + bytes_[pos + 1];
        continue;
      }
      static constexpr uint8_t kDataSizes[4] = {0, 1, 2, 4};
      const uint8_t size = kDataSizes[prefix & 0x03];
      if (bytes_.size() - pos - 1 < size) return Fail(pos, "an item runs past the end");
      uint32_t data = 0;
      for (uint8_t i = 0; i < size; ++i)
        data |= static_cast<uint32_t>(bytes_[pos + 1 + i]) << (8 * i);
      const auto type = static_cast<uint8_t>((prefix >> 2) & 0x03);
      const auto tag = static_cast<uint8_t>(prefix >> 4);
      bool ok = true;
      switch (type) {
        case kMain:
          ok = Main(pos, tag, data);
          break;
        case kGlobal:
          ok = Global(pos, tag, data, size);
          break;
        case kLocal:
          ok = Local(pos, tag, data, size);
          break;
        case kReserved:
          break;
      }
      if (!ok) return false;
      pos += 1u + size;
    }
    if (depth_ != 0) return Fail(bytes_.size(), "a collection is never closed");
    if (!sawTopCollection_) return Fail(bytes_.size(), "there is no top collection");
    return true;
  }

 private:
  bool Fail(std::size_t offset, const char* what) {
    LOG_ERROR("ParseHidDescriptor: Malformed report descriptor: %s (byte %zu)", what, offset);
    return false;
  }

  bool Main(std::size_t pos, uint8_t tag, uint32_t data) {
    bool ok = true;
    switch (tag) {
      case kInput:
        ok = Input(pos, static_cast<uint8_t>(data));
        break;
      case kCollection:
        ok = OpenCollection(pos);
        break;
      case kEndCollection:
        if (depth_ == 0) return Fail(pos, "End Collection without a Collection");
        if (--depth_ == 0) inGameCollection_ = false;
        break;
      default:
        break;  // Output, Feature and unknown tags (some devices pad with zero bytes)
    }
    pendingMin_.reset();
    pendingMax_.reset();
    usages_.clear();
    return ok;
  }

  bool OpenCollection(std::size_t pos) {
    if (depth_ >= kMaxCollectionDepth) return Fail(pos, "collections are nested too deep");
    if (depth_ == 0) {
      uint16_t page = global_.usagePage;
      uint16_t usage = 0;
      if (!usages_.empty()) {
        if (usages_.front().page >= 0) page = static_cast<uint16_t>(usages_.front().page);
        usage = usages_.front().min;
      }
      inGameCollection_ = page == kHidPageGenericDesktop &&
                          (usage == kHidUsageJoystick || usage == kHidUsageGamepad);
      if (!sawTopCollection_ || (inGameCollection_ && !sawGameCollection_)) {
        out_.usagePage = page;
        out_.usage = usage;
      }
      sawTopCollection_ = true;
      sawGameCollection_ = sawGameCollection_ || inGameCollection_;
    }
    ++depth_;
    return true;
  }

  bool Input(std::size_t pos, uint8_t flags) {
    if (pendingMin_ || pendingMax_) return Fail(pos, "Usage Minimum and Maximum do not pair up");
    const uint64_t bits = static_cast<uint64_t>(global_.reportSize) * global_.reportCount;
    uint32_t& offset = out_.inputBits[global_.reportId];
    const uint64_t headroom = (kHidMaxReportBytes - (out_.usesReportIds ? 1 : 0)) * 8;
    if (offset + bits > headroom) return Fail(pos, "an input report is longer than 16384 bytes");
    const auto base = offset;
    offset += static_cast<uint32_t>(bits);
    if (!inGameCollection_ || (flags & kInputConstant) || bits == 0 || usages_.empty()) return true;

    HidFieldLayout layout;
    layout.reportId = global_.reportId;
    layout.bitOffset = base;
    layout.bitSize = static_cast<uint16_t>(global_.reportSize);
    layout.logicalMin = SignExtend(global_.logicalMinRaw, global_.logicalMinSize);
    // A maximum such as 0xFF in one byte means 255 unless the range is signed.
    layout.logicalMax = layout.logicalMin < 0
                            ? SignExtend(global_.logicalMaxRaw, global_.logicalMaxSize)
                            : static_cast<int64_t>(global_.logicalMaxRaw);

    if (!(flags & kInputVariable)) {
      AddArray(layout);
    } else {
      AddVariables(layout, (flags & kInputNullState) != 0);
    }
    return true;
  }

  uint16_t PageOf(const LocalUsage& usage) const {
    return usage.page >= 0 ? static_cast<uint16_t>(usage.page) : global_.usagePage;
  }

  void AddArray(HidFieldLayout layout) {
    layout.reportCount = static_cast<uint16_t>(global_.reportCount);
    HidButtonCaps caps;
    static_cast<HidFieldLayout&>(caps) = layout;
    caps.isArray = true;
    caps.usagePage = PageOf(usages_.front());
    caps.usageMin = usages_.front().min;
    caps.usageMax = usages_.front().max;
    caps.isRange = caps.usageMin != caps.usageMax;
    caps.firstArrayUsage = static_cast<uint32_t>(out_.arrayUsages.size());
    caps.arrayUsageCount = static_cast<uint32_t>(usages_.size());
    for (const LocalUsage& usage : usages_) {
      out_.arrayUsages.push_back(HidUsageRange{PageOf(usage), usage.min, usage.max});
    }
    out_.buttonCaps.push_back(caps);
  }

  // Each declared usage or range takes its share of the fields in order; the
  // last one takes whatever fields are left.
  void AddVariables(const HidFieldLayout& layout, bool hasNull) {
    uint32_t field = 0;
    for (std::size_t k = 0; k < usages_.size() && field < global_.reportCount; ++k) {
      const LocalUsage& usage = usages_[k];
      const uint32_t span = static_cast<uint32_t>(usage.max - usage.min) + 1;
      const uint32_t left = global_.reportCount - field;
      const bool last = k + 1 == usages_.size();
      const uint32_t count = last ? left : std::min(span, left);
      HidFieldLayout part = layout;
      part.bitOffset = layout.bitOffset + field * layout.bitSize;
      part.reportCount = static_cast<uint16_t>(count);
      const auto max = static_cast<uint16_t>(usage.min + std::min(span, count) - 1);
      if (layout.bitSize == 1) {
        HidButtonCaps caps;
        static_cast<HidFieldLayout&>(caps) = part;
        caps.usagePage = PageOf(usage);
        caps.usageMin = usage.min;
        caps.usageMax = max;
        caps.isRange = usage.min != usage.max;
        out_.buttonCaps.push_back(caps);
      } else {
        HidValueCaps caps;
        static_cast<HidFieldLayout&>(caps) = part;
        caps.usagePage = PageOf(usage);
        caps.usageMin = usage.min;
        caps.usageMax = max;
        caps.isRange = usage.min != usage.max;
        caps.hasNull = hasNull;
        out_.valueCaps.push_back(caps);
      }
      field += count;
    }
  }

  bool Global(std::size_t pos, uint8_t tag, uint32_t data, uint8_t size) {
    switch (tag) {
      case kUsagePage:
        global_.usagePage = static_cast<uint16_t>(data);
        break;
      case kLogicalMinimum:
        global_.logicalMinRaw = data;
        global_.logicalMinSize = size;
        break;
      case kLogicalMaximum:
        global_.logicalMaxRaw = data;
        global_.logicalMaxSize = size;
        break;
      case kReportSize:
        if (data > kMaxReportSize) return Fail(pos, "Report Size is larger than 256 bits");
        global_.reportSize = data;
        break;
      case kReportCount:
        if (data > kMaxReportCount) return Fail(pos, "Report Count is larger than 12288");
        global_.reportCount = data;
        break;
      case kReportId:
        if (data == 0 || data > 255) return Fail(pos, "Report ID outside 1..255");
        global_.reportId = static_cast<uint8_t>(data);
        if (!out_.usesReportIds) {
          out_.usesReportIds = true;
          // Reports with ids lose a byte to the id.
          for (uint32_t bits : out_.inputBits) {
            if (bits > (kHidMaxReportBytes - 1) * 8) {
              return Fail(pos, "an input report is longer than 16384 bytes");
            }
          }
        }
        break;
      case kPush:
        if (stack_.size() >= kMaxGlobalStack) return Fail(pos, "Push nested too deep");
        stack_.push_back(global_);
        break;
      case kPop:
        if (stack_.empty()) return Fail(pos, "Pop without Push");
        global_ = stack_.back();
        stack_.pop_back();
        break;
      default:
        break;  // physical range, units: not needed to read values
    }
    return true;
  }

  bool Local(std::size_t pos, uint8_t tag, uint32_t data, uint8_t size) {
    if (tag != kUsage && tag != kUsageMinimum && tag != kUsageMaximum) return true;
    if (usages_.size() >= kMaxLocalUsages) return Fail(pos, "too many usages for one item");
    // A four-byte usage carries its own usage page in the high half.
    LocalUsage usage;
    usage.page = size == 4 ? static_cast<int32_t>(data >> 16) : -1;
    usage.min = usage.max = static_cast<uint16_t>(data);
    if (tag == kUsage) {
      usages_.push_back(usage);
      return true;
    }
    (tag == kUsageMinimum ? pendingMin_ : pendingMax_) = usage;
    if (pendingMin_ && pendingMax_) {
      if (pendingMin_->min > pendingMax_->min)
        return Fail(pos, "Usage Minimum above Usage Maximum");
      usages_.push_back(LocalUsage{pendingMin_->page, pendingMin_->min, pendingMax_->min});
      pendingMin_.reset();
      pendingMax_.reset();
    }
    return true;
  }

  std::span<const uint8_t> bytes_;
  HidDescriptor& out_;
  GlobalState global_;
  std::vector<GlobalState> stack_;
  std::vector<LocalUsage> usages_;
  std::optional<LocalUsage> pendingMin_;
  std::optional<LocalUsage> pendingMax_;
  int depth_ = 0;
  bool inGameCollection_ = false;
  bool sawTopCollection_ = false;
  bool sawGameCollection_ = false;
};

}  // namespace

std::size_t HidDescriptor::InputReportLength(uint8_t reportId) const {
  const uint32_t bits = inputBits[reportId];
  if (bits == 0) return 0;
  return (bits + 7) / 8 + (usesReportIds ? 1 : 0);
}

bool ParseHidDescriptor(std::span<const uint8_t> bytes, HidDescriptor& out) {
  out = HidDescriptor{};
  if (!Parser(bytes, out).Run()) {
    out = HidDescriptor{};
    return false;
  }
  return true;
}

}  // namespace brevanto
