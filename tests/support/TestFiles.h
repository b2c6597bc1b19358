// Test support shared by the unit tests, the fuzzer and the benchmark: byte builders for
// K-files, little-endian loads, a temporary folder, and a text form of a whole contents object.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "kfile/kfile.h"

namespace testsupport {

using Bytes = std::vector<uint8_t>;

// Appends little-endian fields and K-file framing to a growing byte string.
class ByteBuilder {
  public:
    ByteBuilder& U8(uint8_t value);
    ByteBuilder& I16(int16_t value);
    ByteBuilder& I32(int32_t value);
    ByteBuilder& F32(float value);
    ByteBuilder& F64(double value);
    ByteBuilder& Raw(const Bytes& bytes);
    ByteBuilder& Raw(std::initializer_list<uint8_t> bytes);
    // Characters followed by one NUL.
    ByteBuilder& Text(const std::string& text);

    // "K#" and the version.
    ByteBuilder& FileHeader(int16_t version = 1);
    // A 32-byte section header with a name padded by NULs to 28 bytes.
    ByteBuilder& SectionHeader(int32_t bodyLength, const std::string& name);
    // Header and body; the body length is the body's size.
    ByteBuilder& Section(const std::string& name, const Bytes& body);
    ByteBuilder& Terminator();
    // An int16 length and the payload.
    ByteBuilder& Framed(const Bytes& payload);

    const Bytes& bytes() const { return bytes_; }
    size_t size() const { return bytes_.size(); }

  private:
    Bytes bytes_;
};

// Record payloads and section bodies.
Bytes DatagroupPayload(int16_t id, const std::string& name, uint8_t type, uint8_t size, float rate,
                       const std::vector<std::string>& labels);
Bytes DynamicPayload(int16_t id, int32_t frame, const std::vector<double>& values);
// The framed records followed by the int16 zero.
Bytes RecordBody(const std::vector<Bytes>& payloads);

// A value of type T stored little-endian at `at`, at any alignment.
template <typename T>
T LoadLittleEndian(const uint8_t* at) {
    uint64_t bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        bits |= uint64_t{at[i]} << (8 * i);
    }
    T value;
    std::memcpy(&value, &bits, sizeof(T));
    return value;
}

// A fresh temporary folder, removed with its contents at destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // False when the folder could not be made.
    bool IsValid() const { return !root_.empty(); }
    std::string Path(const std::string& name) const { return (root_ / name).string(); }
    // Writes the bytes to the named file; its path, or empty when the write failed.
    std::string Write(const std::string& name, const uint8_t* data, size_t size) const;
    std::string Write(const std::string& name, const Bytes& bytes) const {
        return Write(name, bytes.data(), bytes.size());
    }

  private:
    std::filesystem::path root_;
};

Bytes ReadFileBytes(const std::string& path);

// Everything a contents object holds as text, one line per section, record and parameter, so
// that two takes compare with == and a difference shows as a diff.
std::string DescribeContents(const kfile::KFileContents& contents);

}  // namespace testsupport
