// The section named "DATAGROUP": one record per datagroup with its id, name, value type and
// width, rate and channel labels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kfile/KFileRecord.h"
#include "kfile/KFileSection.h"

namespace kfile {

// Payload: int16 id; uint8 L (name + NUL, 0 for no name) and the name; uint8 value type;
// uint8 value size; float32 rate; int16 label count N; N entries of uint8 M (label + NUL) and
// the label.
class KFileDatagroupRecord : public KFileRecord {
  public:
    // From raw bytes read from a file; Unpack decodes them.
    KFileDatagroupRecord(KBytes data, int16_t length) : KFileRecord(std::move(data), length) {}
    // From values, for writing: no name, no labels, no raw bytes until Pack.
    KFileDatagroupRecord(int16_t id, int32_t valueType, uint8_t valueSize, float rate)
        : id_(id), valueType_(valueType), valueSize_(valueSize), rate_(rate) {}

    int32_t GetPackedSize() const override;
    // Decodes the fields that fit in the raw bytes; a text without its NUL ends at the end of
    // the bytes, and labels stop where the bytes do.
    void Unpack() override;
    // 0 when a name or label is longer than 254 characters, there are more than 32767 labels or
    // the record would exceed 32767 bytes: such a record cannot be stored.
    int16_t Pack() override;

    int16_t GetId() const { return id_; }
    std::string GetName() const { return name_; }
    int32_t GetValueType() const { return valueType_; }
    uint8_t GetValueSize() const { return valueSize_; }
    float GetRate() const { return rate_; }
    int32_t GetLabelCount() const { return static_cast<int32_t>(labels_.size()); }
    // Empty for an index outside the list.
    std::string GetLabel(int32_t index) const {
        return index >= 0 && index < GetLabelCount() ? labels_[static_cast<size_t>(index)] : "";
    }
    const std::vector<std::string>& GetLabels() const { return labels_; }
    std::string GetValueTypeName() const { return KValueTypeName(valueType_); }

    void SetId(int16_t id);
    void SetName(const std::string& name);
    void SetValueType(int32_t valueType);
    void SetValueSize(uint8_t valueSize);
    void SetRate(float rate);
    // Replaces the label at index; an index outside the list changes nothing.
    void SetLabel(const std::string& label, int32_t index);
    // Inserts before index; 0 or below means the front, beyond the list the back.
    void InsertLabel(const std::string& label, int32_t index);
    void AppendLabel(const std::string& label);
    // Removes the label at index; 0 or below means the first, beyond the list nothing.
    void RemoveLabel(int32_t index);

  private:
    int16_t id_ = -1;
    std::string name_;
    int32_t valueType_ = 0;
    uint8_t valueSize_ = 0;
    float rate_ = 0.0f;
    std::vector<std::string> labels_;
};

class KFileDatagroupSection : public KRecordSection<KFileDatagroupRecord> {
  public:
    static constexpr const char* kName = "DATAGROUP";

    explicit KFileDatagroupSection(int32_t size) : KRecordSection(size, kName) {}

    // The first record in file order with this id; null when none.
    const KFileDatagroupRecord* FindRecord(int16_t id) const;
    KFileDatagroupRecord* FindRecord(int16_t id);
};

class KDatagroupSectionHandler : public KFramedSectionHandler {
  public:
    explicit KDatagroupSectionHandler(KExtendedFileWrapper* wrapper)
        : KFramedSectionHandler(wrapper, KFileDatagroupSection::kName) {}

    int32_t ReadSection(KFileContents* contents, int32_t bodyLength) override;
    bool WriteSection(KFileSection* section) override;
};

}  // namespace kfile
