#include "kfile/KFileRecord.h"

#include <new>

namespace kfile {

int32_t KValueTypeWidth(int32_t code) {
    switch (code) {
        case kValueBinary:
        case kValueText:
        case kValueBoolean:
            return 1;
        case kValueShort:
        case 8:
            return 2;
        case kValueLong:
        case kValueFloat:
            return 4;
        case kValueDouble:
            return 8;
        default:
            return 0;
    }
}

std::string KValueTypeName(int32_t code) {
    static const char* const kNames[] = {"Binary", "Text",   "Short",  "Long",
                                         "Float",  "Double", "Boolean"};
    return code >= kValueBinary && code <= kValueBoolean ? kNames[code - 1] : "";
}

bool KFileRecord::ReserveRaw(int32_t size) {
    if (size < 0 || size > kMaxRecordLength) {
        data_.reset();
        length_ = 0;
        return false;
    }
    if (!data_ || size != length_) {
        try {
            // Assigned, not reset: the new buffer is released as the record's own, whoever
            // owned the old one.
            data_ = KBytes(new uint8_t[size > 0 ? size : 1]);
        } catch (const std::bad_alloc&) {
            data_.reset();
            length_ = 0;
            return false;
        }
    }
    return true;
}

}  // namespace kfile
