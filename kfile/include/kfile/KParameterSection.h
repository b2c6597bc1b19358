// The section named "PARAMETER": named, typed arrays of values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kfile/KFileRecord.h"
#include "kfile/KFileSection.h"

namespace kfile {

// Payload: uint8 L (name + NUL) and the name with its NUL; uint8 value type; uint8 dimension
// count D; D int16 dimensions; then element count x element width value bytes.
//
// The element count is the product of the dimensions (1 without any). Text parameters use the
// first dimension as the width of one text slot and the others to count the slots.
class KFileParameterRecord : public KFileRecord {
  public:
    // From raw bytes read from a file; Unpack decodes them.
    KFileParameterRecord(KBytes data, int16_t length) : KFileRecord(std::move(data), length) {
        dimensions_.reserve(3);
    }
    // An empty parameter to be filled and written.
    KFileParameterRecord(const std::string& name, int32_t type);

    int32_t GetPackedSize() const override;
    // Decodes the fields that fit in the raw bytes; the value block holds the value bytes that
    // are present, at most element count x width.
    void Unpack() override;
    // 0 when the name is longer than 254 characters, there are more than 255 dimensions, the
    // element count is negative or the record would exceed 32767 bytes. Value bytes missing
    // from the block are written as zeros.
    int16_t Pack() override;

    std::string GetName() const { return name_; }
    int32_t GetType() const { return type_; }
    const std::vector<int16_t>& GetDimensions() const { return dimensions_; }
    const std::vector<uint8_t>& GetValues() const { return values_; }
    int32_t GetElementSize() const { return KValueTypeWidth(type_); }
    // Product of the dimensions, saturated to the int32 range; may be 0 or negative.
    int32_t GetElementCount() const;

    // Element getters without a missing-value test; an element outside the value block reads as
    // zero (or an empty text).
    bool GetBoolean(int32_t index) const { return GetByte(index) != 0; }
    uint8_t GetByte(int32_t index) const;
    int16_t GetShort(int32_t index) const;
    int32_t GetLong(int32_t index) const;
    float GetFloat(int32_t index) const;
    double GetDouble(int32_t index) const;
    // The text of slot `index`, up to its first NUL and at most slot width - 1 characters.
    std::string GetText(int32_t index) const;

    // Element setters. An element inside the element count grows the value block to hold all
    // elements; an element outside it is not written (false).
    bool SetBoolean(int32_t index, bool value) { return SetByte(index, value ? 1 : 0); }
    bool SetByte(int32_t index, uint8_t value);
    bool SetShort(int32_t index, int16_t value);
    bool SetLong(int32_t index, int32_t value);
    bool SetFloat(int32_t index, float value);
    bool SetDouble(int32_t index, double value);
    // Stores exactly slot-width bytes: the text cut to the width or filled up with NUL bytes.
    bool SetText(int32_t index, const std::string& text);

    void SetType(int32_t type);
    void SetName(const std::string& name);
    // The dimension writers change the element count and leave the values as they are.
    void SetDimension(int16_t value, int32_t index);
    void InsertDimension(int16_t value, int32_t index);  // 0 or below: at the front
    void AppendDimension(int16_t value);
    void RemoveDimension(int32_t index);  // 0 or below: the first
    void MarkModified() { SetModified(); }

  private:
    int64_t ValueBlockSize() const;  // element count x width, never negative
    int32_t TextWidth() const;
    // The bytes of element `index` of `width` bytes inside the present block, or null.
    const uint8_t* Element(int32_t index, int32_t width) const;
    // The same for writing: grows the block to the full element count first.
    uint8_t* WritableElement(int32_t index, int32_t width);

    std::string name_;
    int32_t type_ = 0;
    std::vector<uint8_t> values_;
    std::vector<int16_t> dimensions_;
};

class KFileParameterSection : public KRecordSection<KFileParameterRecord> {
  public:
    static constexpr const char* kName = "PARAMETER";

    explicit KFileParameterSection(int32_t size) : KRecordSection(size, kName) {}

    // The first parameter of this name (compared exactly); null when none.
    const KFileParameterRecord* FindRecord(const std::string& name) const;
    KFileParameterRecord* FindRecord(const std::string& name);
};

class KParameterSectionHandler : public KFramedSectionHandler {
  public:
    explicit KParameterSectionHandler(KExtendedFileWrapper* wrapper)
        : KFramedSectionHandler(wrapper, KFileParameterSection::kName) {}

    int32_t ReadSection(KFileContents* contents, int32_t bodyLength) override;
    bool WriteSection(KFileSection* section) override;
};

}  // namespace kfile
