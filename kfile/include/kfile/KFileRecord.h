// Base of every record of a K-file: the raw payload bytes as stored, plus the decoded fields of
// the derived record kinds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kfile {

// Releases a record's raw bytes: a buffer of its own with delete[]; bytes carved from a block
// that a KFileContents owns are left to the contents, which free the whole block at once.
struct KBytesRelease {
    bool owned = true;

    KBytesRelease() = default;
    explicit KBytesRelease(bool ownsBytes) : owned(ownsBytes) {}
    // So that a std::unique_ptr<uint8_t[]> converts to KBytes and is released as before.
    KBytesRelease(std::default_delete<uint8_t[]>) {}
    void operator()(uint8_t* bytes) const {
        if (owned) {
            delete[] bytes;
        }
    }
};

// The raw bytes of a record: `KBytes(new uint8_t[n])` gives a record bytes of its own.
using KBytes = std::unique_ptr<uint8_t[], KBytesRelease>;

// Value type codes of datagroups and parameters.
enum KValueType : int32_t {
    kValueBinary = 1,
    kValueText = 2,
    kValueShort = 3,
    kValueLong = 4,
    kValueFloat = 5,
    kValueDouble = 6,
    kValueBoolean = 7,
};

// Width in bytes of one element of a value type: 1, 1, 2, 4, 4, 8, 1 for codes 1 to 7, 2 for
// code 8, and 0 for any other code.
int32_t KValueTypeWidth(int32_t code);
// "Binary", "Text", "Short", "Long", "Float", "Double", "Boolean" for codes 1 to 7; empty
// otherwise.
std::string KValueTypeName(int32_t code);

// Largest payload a record frame can announce: its length is an int16.
constexpr int32_t kMaxRecordLength = 32767;

class KFileRecord {
  public:
    KFileRecord() = default;
    // Takes ownership of the bytes.
    KFileRecord(KBytes data, int16_t length) : length_(length), data_(std::move(data)) {}
    KFileRecord(const KFileRecord&) = delete;
    KFileRecord& operator=(const KFileRecord&) = delete;
    virtual ~KFileRecord() = default;

    // Bytes the record's fields need when packed.
    virtual int32_t GetPackedSize() const = 0;
    // Decodes the raw bytes into the fields; never reads past the raw length.
    virtual void Unpack() = 0;
    // Encodes the fields into the raw bytes and answers the new raw length; 0 (and no bytes)
    // when no buffer could be had or the fields cannot be stored in a record.
    virtual int16_t Pack() = 0;

    int16_t GetLength() const { return length_; }
    void SetLength(int16_t length) { length_ = length; }
    const uint8_t* GetData() const { return data_.get(); }
    bool IsModified() const { return modified_; }

  protected:
    // The raw length as a byte count: a negative length holds nothing.
    size_t RawSize() const { return data_ && length_ > 0 ? static_cast<size_t>(length_) : 0; }
    uint8_t* RawData() { return data_.get(); }
    // Gives the record a raw buffer of `size` bytes unless it already has one of that size.
    // False (and no buffer, length 0) when memory ran out or `size` does not fit a record.
    bool ReserveRaw(int32_t size);
    void SetModified() { modified_ = true; }

  private:
    bool modified_ = false;
    int16_t length_ = 0;
    KBytes data_;
};

}  // namespace kfile
