// Byte builders for K-files in tests, and a temporary folder to put them in.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

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

// A temporary folder removed with its contents at destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return (root_ / name).string(); }
    std::string Write(const std::string& name, const Bytes& bytes) const;

  private:
    std::filesystem::path root_;
};

Bytes ReadFileBytes(const std::string& path);

#include <memory>

#include "kfile/kfile.h"

// Writes the bytes to a temporary file and reads them with a fresh KFileManager.
struct ReadResult {
    std::unique_ptr<KFileContents> contents;
    KReadError error = KReadError::kNone;
    size_t largestAllocation = 0;  // the largest single allocation made by Read
};
ReadResult ReadBytes(const Bytes& bytes);
