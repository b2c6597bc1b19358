#include "TakeInMemory.h"

#include <cstring>
#include <string>

#include "TestFiles.h"

using kfile::KFileDynamicRecord;

namespace {

void appendValue(testsupport::ByteBuilder& bytes, kfile::KValueType type,
                 const std::optional<double>& value) {
    const double v = value.value_or(0.0);
    switch (type) {
        case kfile::kValueShort:
            bytes.I16(value ? static_cast<int16_t>(v) : int16_t{-1});  // marker 0xFFFF
            break;
        case kfile::kValueLong:
            bytes.I32(value ? static_cast<int32_t>(v) : int32_t{-1});  // marker 0xFFFFFFFF
            break;
        case kfile::kValueFloat:
            bytes.F32(value ? static_cast<float>(v) : 4294967296.0f);  // marker 2^32
            break;
        case kfile::kValueDouble:
            bytes.F64(value ? v : 18446744073709551616.0);  // marker 2^64
            break;
        case kfile::kValueBoolean:
            bytes.U8(value ? (v != 0.0) : KFileDynamicRecord::kMissingBoolean);
            break;
        default:
            bytes.U8(static_cast<uint8_t>(v));
            break;
    }
}

}  // namespace

std::unique_ptr<KFileDynamicRecord> makeRecord(int16_t id, int32_t frame, kfile::KValueType type,
                                               const Values& values) {
    testsupport::ByteBuilder payload;
    payload.I16(id).I32(frame);
    for (const std::optional<double>& value : values) {
        appendValue(payload, type, value);
    }
    kfile::KBytes bytes(new uint8_t[payload.size()]);
    std::memcpy(bytes.get(), payload.bytes().data(), payload.size());
    auto record = std::make_unique<KFileDynamicRecord>(std::move(bytes),
                                                       static_cast<int16_t>(payload.size()));
    record->Unpack();
    return record;
}

TakeInMemory::TakeInMemory() {
    auto section = std::make_unique<kfile::KFileDatagroupSection>(0);
    groups_ = section.get();
    if (!contents_.AddSection(std::move(section))) {
        groups_ = nullptr;
    }
}

void TakeInMemory::addGroup(int16_t id, kfile::KValueType type, float rate, int32_t channels) {
    auto group = std::make_unique<kfile::KFileDatagroupRecord>(
        id, type, static_cast<uint8_t>(kfile::KValueTypeWidth(type)), rate);
    for (int32_t i = 0; i < channels; ++i) {
        group->AppendLabel("channel " + std::to_string(i));
    }
    groups_->AddRecord(std::move(group));
}

void TakeInMemory::addRecord(int16_t id, int32_t frame, const Values& values) {
    const kfile::KFileDatagroupRecord* group = groups_->FindRecord(id);
    const auto type =
        static_cast<kfile::KValueType>(group ? group->GetValueType() : kfile::kValueDouble);
    contents_.AddDynamicRecord(makeRecord(id, frame, type, values));
}
