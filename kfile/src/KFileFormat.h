// Layout helpers of the K-file format shared by the library's sources: name comparison and the
// framing of section headers and int16 lengths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "kfile/KFileManager.h"

namespace kfile {

constexpr size_t kSectionNameField = 28;

// Section names compare ignoring ASCII case, whatever the C locale says.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);
// The name in a section header's 28-byte field: up to the first NUL, never past the field.
std::string SectionName(const uint8_t* field);

[[nodiscard]] bool ReadInt16(KThinFileWrapper& wrapper, int16_t& value);
[[nodiscard]] bool WriteInt16(KThinFileWrapper& wrapper, int16_t value);
// A 32-byte section header: the size, then only if that was written the name cut to 27
// characters and padded with NUL bytes.
[[nodiscard]] bool WriteSectionHeader(KThinFileWrapper& wrapper, int32_t size,
                                      const std::string& name);

}  // namespace kfile
