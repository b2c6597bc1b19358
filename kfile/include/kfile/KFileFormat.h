// Layout constants of the K-file format and the small helpers that read and write its framing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class KExtendedFileWrapper;

namespace kfile {

constexpr int32_t kFileHeaderSize = 4;      // "K#", int16 version
constexpr int32_t kSectionHeaderSize = 32;  // int32 body length, 28-byte name field
constexpr size_t kSectionNameField = 28;
constexpr int16_t kWrittenVersion = 1;

// Section names compare ignoring ASCII case, whatever the C locale says.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);
// The name in a section header's 28-byte field: up to the first NUL, never past the field.
std::string SectionName(const uint8_t* field);

bool ReadInt16(KExtendedFileWrapper* wrapper, int16_t& value);
bool WriteInt16(KExtendedFileWrapper* wrapper, int16_t value);
// A 32-byte section header: the size, then only if that was written the name cut to 27
// characters and padded with NUL bytes.
bool WriteSectionHeader(KExtendedFileWrapper* wrapper, int32_t size, const std::string& name);

}  // namespace kfile
