// One per-frame record of a datagroup: its id, a frame number and one value per channel.
#pragma once

#include <cstdint>

#include "kfile/KFileRecord.h"

namespace kfile {

class KFileDatagroupRecord;

// Payload: int16 datagroup id, int32 frame, then the value block (channel i at 6 + i * width).
// The values are read and written in place in the raw bytes. Each value type has one bit
// pattern meaning "no value at this frame"; the getters answer false for it.
class KFileDynamicRecord : public KFileRecord {
  public:
    static constexpr int32_t kHeaderSize = 6;

    // Missing-value markers.
    static constexpr uint16_t kMissingShort = 0xFFFF;
    static constexpr uint32_t kMissingLong = 0xFFFFFFFFu;
    static constexpr uint32_t kMissingFloat = 0x4F800000u;             // 2^32
    static constexpr uint64_t kMissingDouble = 0x43F0000000000000ull;  // 2^64
    static constexpr uint8_t kMissingBoolean = 0xFF;

    // From raw bytes read from a file; Unpack decodes them.
    KFileDynamicRecord(KBytes data, int16_t length);
    // A record to be written for datagroup `group`: its id, frame -1, room for one value per
    // label. A datagroup whose values do not fit one record gives a record without a buffer.
    explicit KFileDynamicRecord(const KFileDatagroupRecord& group);

    int32_t GetPackedSize() const override { return valueBytes_ + kHeaderSize; }
    // Decodes the fields that fit: the id needs 2 bytes, the frame 6; shorter payloads keep -1.
    void Unpack() override;
    int16_t Pack() override;

    int16_t GetId() const { return id_; }
    void SetId(int16_t id) { id_ = id; }
    int32_t GetFrame() const { return frame_; }
    void SetFrame(int32_t frame) { frame_ = frame; }
    int32_t GetValueBytes() const { return valueBytes_; }

    // Whether channel `index` of `valueSize`-byte values lies inside the value block: tells a
    // channel that the record does not hold from a value marked missing, for which the getters
    // answer false as well.
    bool HasChannel(int32_t index, int32_t valueSize) const;

    // Each getter stores the value at the channel index whatever it is and answers true when it
    // is not the missing-value marker. An index outside the value block stores 0 and answers
    // false too (HasChannel tells the two apart).
    bool GetShort(int32_t index, int16_t& value) const;
    bool GetLong(int32_t index, int32_t& value) const;
    bool GetFloat(int32_t index, float& value) const;
    bool GetDouble(int32_t index, double& value) const;
    bool GetBoolean(int32_t index, bool& value) const;

    // Setters store exactly what they are given (store the marker to mark a value missing). An
    // index outside the value block writes nothing and answers false.
    bool SetShort(int32_t index, int16_t value);
    bool SetLong(int32_t index, int32_t value);
    bool SetFloat(int32_t index, float value);
    bool SetDouble(int32_t index, double value);
    bool SetBoolean(int32_t index, bool value);

  private:
    // Where element `index` of `width` bytes lies, or null when it is not inside the block.
    uint8_t* Slot(int32_t index, int32_t width) const;

    int16_t id_ = -1;
    int32_t frame_ = -1;
    int32_t valueBytes_ = 0;
};

}  // namespace kfile
