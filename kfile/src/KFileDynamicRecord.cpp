#include "kfile/KFileDynamicRecord.h"

#include <algorithm>
#include <cstring>

#include "ByteIO.h"
#include "kfile/KDatagroupSection.h"

namespace kfile {

using bytes::Load;
using bytes::LoadOrZero;
using bytes::Store;
using bytes::StoreIfPresent;

KFileDynamicRecord::KFileDynamicRecord(KBytes data, int16_t length)
    : KFileRecord(std::move(data), length) {}

KFileDynamicRecord::KFileDynamicRecord(const KFileDatagroupRecord& group) : id_(group.GetId()) {
    // The label count is taken as an int16, as the record's length is; a block too large for
    // a record leaves the record without a buffer, and Pack then answers 0.
    valueBytes_ = std::max(0, int32_t{static_cast<int16_t>(group.GetLabelCount())}) *
                  int32_t{group.GetValueSize()};
    if (ReserveRaw(GetPackedSize())) {
        std::memset(RawData(), 0, static_cast<size_t>(GetPackedSize()));
        SetLength(static_cast<int16_t>(GetPackedSize()));
    }
}

void KFileDynamicRecord::Unpack() {
    size_t size = RawSize();
    if (!GetData()) {
        return;
    }
    if (size >= 2) {
        id_ = Load<int16_t>(GetData());
    }
    if (size >= kHeaderSize) {
        frame_ = Load<int32_t>(GetData() + 2);
    }
    valueBytes_ = size > kHeaderSize ? static_cast<int32_t>(size - kHeaderSize) : 0;
}

int16_t KFileDynamicRecord::Pack() {
    int32_t size = GetPackedSize();
    if (size != GetLength() || !GetData()) {
        // Only a record packed before Unpack ran gets here; its old values are not kept.
        if (!ReserveRaw(size)) {
            return 0;
        }
        std::memset(RawData(), 0, static_cast<size_t>(size));
    }
    Store<int16_t>(RawData(), id_);
    Store<int32_t>(RawData() + 2, frame_);
    SetLength(static_cast<int16_t>(size));
    return static_cast<int16_t>(size);
}

bool KFileDynamicRecord::HasChannel(int32_t index, int32_t valueSize) const {
    return valueSize > 0 && Slot(index, valueSize) != nullptr;
}

uint8_t* KFileDynamicRecord::Slot(int32_t index, int32_t width) const {
    if (index < 0 || int64_t{index} * width + width > valueBytes_ ||
        RawSize() < static_cast<size_t>(kHeaderSize + valueBytes_)) {
        return nullptr;
    }
    return const_cast<uint8_t*>(GetData()) + kHeaderSize + static_cast<size_t>(index) * width;
}

namespace {

// Reads element `index` into `value` and compares its bits with the type's marker.
template <typename Value, typename Bits>
bool GetValue(const uint8_t* slot, Bits marker, Value& value) {
    value = LoadOrZero<Value>(slot);
    return slot && Load<Bits>(slot) != marker;
}

}  // namespace

bool KFileDynamicRecord::GetShort(int32_t index, int16_t& value) const {
    return GetValue(Slot(index, 2), kMissingShort, value);
}
bool KFileDynamicRecord::GetLong(int32_t index, int32_t& value) const {
    return GetValue(Slot(index, 4), kMissingLong, value);
}
bool KFileDynamicRecord::GetFloat(int32_t index, float& value) const {
    return GetValue(Slot(index, 4), kMissingFloat, value);
}
bool KFileDynamicRecord::GetDouble(int32_t index, double& value) const {
    return GetValue(Slot(index, 8), kMissingDouble, value);
}
bool KFileDynamicRecord::GetBoolean(int32_t index, bool& value) const {
    const uint8_t* slot = Slot(index, 1);
    value = slot && *slot != 0;
    return slot && *slot != kMissingBoolean;
}

bool KFileDynamicRecord::SetShort(int32_t index, int16_t value) {
    return StoreIfPresent(Slot(index, 2), value);
}
bool KFileDynamicRecord::SetLong(int32_t index, int32_t value) {
    return StoreIfPresent(Slot(index, 4), value);
}
bool KFileDynamicRecord::SetFloat(int32_t index, float value) {
    return StoreIfPresent(Slot(index, 4), value);
}
bool KFileDynamicRecord::SetDouble(int32_t index, double value) {
    return StoreIfPresent(Slot(index, 8), value);
}
bool KFileDynamicRecord::SetBoolean(int32_t index, bool value) {
    return StoreIfPresent<uint8_t>(Slot(index, 1), value ? 1 : 0);
}

}  // namespace kfile
