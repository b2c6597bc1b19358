#include "TakeInMemory.h"

#include <cstring>
#include <string>

using namespace kfile;

namespace {

// Little-endian, whatever the machine.
template <typename Bits>
void appendBits(std::vector<uint8_t>& bytes, Bits bits) {
    for (size_t i = 0; i < sizeof(Bits); ++i) {
        bytes.push_back(static_cast<uint8_t>(static_cast<uint64_t>(bits) >> (8 * i)));
    }
}

template <typename Real, typename Bits>
Bits bitsOf(Real value) {
    Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void appendValue(std::vector<uint8_t>& bytes, KValueType type, const std::optional<double>& value) {
    const double v = value.value_or(0.0);
    switch (type) {
        case kValueShort:
            appendBits<uint16_t>(bytes, value ? static_cast<uint16_t>(static_cast<int16_t>(v))
                                              : KFileDynamicRecord::kMissingShort);
            break;
        case kValueLong:
            appendBits<uint32_t>(bytes, value ? static_cast<uint32_t>(static_cast<int32_t>(v))
                                              : KFileDynamicRecord::kMissingLong);
            break;
        case kValueFloat:
            appendBits<uint32_t>(bytes, value ? bitsOf<float, uint32_t>(static_cast<float>(v))
                                              : KFileDynamicRecord::kMissingFloat);
            break;
        case kValueDouble:
            appendBits<uint64_t>(
                bytes, value ? bitsOf<double, uint64_t>(v) : KFileDynamicRecord::kMissingDouble);
            break;
        case kValueBoolean:
            appendBits<uint8_t>(bytes,
                                value ? (v != 0.0 ? 1 : 0) : KFileDynamicRecord::kMissingBoolean);
            break;
        default:
            appendBits<uint8_t>(bytes, static_cast<uint8_t>(v));
            break;
    }
}

}  // namespace

std::unique_ptr<KFileDynamicRecord> makeRecord(int16_t id, int32_t frame, KValueType type,
                                               const Values& values) {
    std::vector<uint8_t> payload;
    appendBits<uint16_t>(payload, static_cast<uint16_t>(id));
    appendBits<uint32_t>(payload, static_cast<uint32_t>(frame));
    for (const std::optional<double>& value : values) {
        appendValue(payload, type, value);
    }
    KBytes bytes(new uint8_t[payload.size()]);
    std::memcpy(bytes.get(), payload.data(), payload.size());
    auto record = std::make_unique<KFileDynamicRecord>(std::move(bytes),
                                                       static_cast<int16_t>(payload.size()));
    record->Unpack();
    return record;
}

TakeInMemory::TakeInMemory() {
    auto section = std::make_unique<KFileDatagroupSection>(0);
    KFileDatagroupSection* groups = section.get();
    groups_ = contents_.AddSection(std::move(section)) ? groups : nullptr;
}

void TakeInMemory::addGroup(int16_t id, KValueType type, float rate, int32_t channels) {
    auto group = std::make_unique<KFileDatagroupRecord>(
        id, type, static_cast<uint8_t>(KValueTypeWidth(type)), rate);
    for (int32_t i = 0; i < channels; ++i) {
        group->AppendLabel("channel " + std::to_string(i));
    }
    groups_->AddRecord(std::move(group));
}

void TakeInMemory::addRecord(int16_t id, int32_t frame, const Values& values) {
    const KFileDatagroupRecord* group = groups_->FindRecord(id);
    const auto type = static_cast<KValueType>(group ? group->GetValueType() : kValueDouble);
    contents_.AddDynamicRecord(makeRecord(id, frame, type, values));
}
