#include "KFileFormat.h"

#include <algorithm>

#include "ByteIO.h"
#include "kfile/KFileSection.h"

namespace kfile {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::string SectionName(const uint8_t* field) {
    size_t length = 0;
    while (length < kSectionNameField && field[length] != 0) {
        ++length;
    }
    return std::string(reinterpret_cast<const char*>(field), length);
}

bool ReadInt16(KThinFileWrapper& wrapper, int16_t& value) {
    uint8_t bytes[2];
    if (!wrapper.Read(bytes, sizeof bytes)) {
        return false;
    }
    value = bytes::Load<int16_t>(bytes);
    return true;
}

bool WriteInt16(KThinFileWrapper& wrapper, int16_t value) {
    uint8_t bytes[2];
    bytes::Store<int16_t>(bytes, value);
    return wrapper.Write(bytes, sizeof bytes);
}

bool WriteSectionHeader(KThinFileWrapper& wrapper, int32_t size, const std::string& name) {
    uint8_t length[4];
    bytes::Store<int32_t>(length, size);
    if (!wrapper.Write(length, sizeof length)) {
        return false;
    }
    uint8_t field[kSectionNameField] = {};
    std::copy_n(name.begin(), std::min(name.size(), kSectionNameField - 1), field);
    return wrapper.Write(field, sizeof field);
}

bool KFramedSectionHandler::Handles(const std::string& name) const {
    return EqualsIgnoringCase(name, sectionName_);
}

bool KFramedSectionHandler::WriteSectionHeader(int32_t size, const std::string& name) {
    return kfile::WriteSectionHeader(*Wrapper(), size, name);
}

}  // namespace kfile
