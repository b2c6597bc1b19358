#include "kfile/KFileWrapper.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <new>

#include "ByteIO.h"
#include "KFileFormat.h"

namespace kfile {

KThinFileWrapper::~KThinFileWrapper() {
    if (stream_) {
        std::fflush(stream_);
        std::fclose(stream_);
    }
}

bool KThinFileWrapper::Open(const std::string& fileName, const std::string& mode) {
    Close();
    stream_ = std::fopen(fileName.c_str(), mode.c_str());
    if (!stream_) {
        return false;
    }
    UseBuffer(BufferSizeFor(fileName, mode));
    // The size is taken once here; writes and seeks keep it current afterwards.
    position_ = 0;
    size_ = 0;
    sizeKnown_ = false;
    if (std::fseek(stream_, 0, SEEK_END) == 0) {
        long end = std::ftell(stream_);
        if (end >= 0) {
            size_ = static_cast<uint64_t>(end);
            sizeKnown_ = true;
        }
    }
    std::fseek(stream_, 0, SEEK_SET);
    return true;
}

// A file opened for reading needs no buffer larger than itself: so a small file never costs a
// large allocation.
size_t KThinFileWrapper::BufferSizeFor(const std::string& fileName, const std::string& mode) {
    if (mode.empty() || mode[0] != 'r') {
        return kStreamBufferSize;
    }
    std::error_code error;
    uintmax_t fileSize = 0;
    try {
        fileSize = std::filesystem::file_size(fileName, error);
    } catch (const std::bad_alloc&) {
        return kStreamBufferSize;  // and UseBuffer will most likely do without
    }
    return error ? kStreamBufferSize : std::clamp<uintmax_t>(fileSize, 1, kStreamBufferSize);
}

// A larger buffer than the C library's default cuts the number of system calls of a sequential
// read several times over. The C library does not take a size without a buffer; when none can
// be had its own serves, only more slowly.
void KThinFileWrapper::UseBuffer(size_t size) {
    try {
        buffer_ = std::make_unique<char[]>(size);
        std::setvbuf(stream_, buffer_.get(), _IOFBF, size);
    } catch (const std::bad_alloc&) {
        buffer_.reset();
    }
}

int KThinFileWrapper::Close() {
    if (!stream_) {
        return 0;
    }
    int result = std::fclose(stream_);
    stream_ = nullptr;
    position_ = 0;
    size_ = 0;
    return result;
}

bool KThinFileWrapper::Read(void* buffer, unsigned byteCount) {
    if (!stream_) {
        return false;
    }
    if (byteCount == 0) {
        return true;
    }
    size_t arrived = std::fread(buffer, 1, byteCount, stream_);
    position_ += arrived;
    return arrived == byteCount;
}

bool KThinFileWrapper::Write(const void* buffer, unsigned byteCount) {
    if (!stream_) {
        return false;
    }
    if (byteCount == 0) {
        return true;
    }
    size_t written = std::fwrite(buffer, 1, byteCount, stream_);
    position_ += written;
    size_ = std::max(size_, position_);
    return written == byteCount;
}

bool KThinFileWrapper::Seek(long offset, KSeekOrigin origin) {
    if (!stream_) {
        return false;
    }
    uint64_t base = origin == KSeekOrigin::kStart     ? 0
                    : origin == KSeekOrigin::kCurrent ? position_
                                                      : size_;
    if (offset < 0 && static_cast<uint64_t>(-(offset + 1)) + 1 > base) {
        return false;  // before the start of the file
    }
    int whence = origin == KSeekOrigin::kStart     ? SEEK_SET
                 : origin == KSeekOrigin::kCurrent ? SEEK_CUR
                                                   : SEEK_END;
    if (std::fseek(stream_, offset, whence) != 0) {
        return false;
    }
    position_ = offset < 0 ? base - (static_cast<uint64_t>(-(offset + 1)) + 1)
                           : base + static_cast<uint64_t>(offset);
    return true;
}

bool KThinFileWrapper::Flush() {
    return stream_ && std::fflush(stream_) == 0;
}

bool KThinFileWrapper::AtEnd() const {
    return stream_ && std::feof(stream_) != 0;
}

bool KThinFileWrapper::HasError() const {
    return stream_ && std::ferror(stream_) != 0;
}

uint64_t KThinFileWrapper::Remaining() const {
    if (stream_ && !sizeKnown_) {
        return UINT64_MAX;
    }
    return stream_ && position_ < size_ ? size_ - position_ : 0;
}

bool KThinFileWrapper::Discard(uint64_t byteCount) {
    uint8_t scratch[4096];
    while (byteCount > 0) {
        unsigned chunk = static_cast<unsigned>(std::min<uint64_t>(byteCount, sizeof scratch));
        if (!Read(scratch, chunk)) {
            return false;
        }
        byteCount -= chunk;
    }
    return true;
}

KOpenResult KExtendedFileWrapper::OpenExisting(const std::string& fileName) {
    if (Open(fileName, "r+b")) {
        accessMode_ = kOpenedExisting;
        return kOpenedForUpdate;
    }
    if (Open(fileName, "rb")) {
        accessMode_ = kOpenedExisting;
        return kOpenedReadOnly;
    }
    return kNotOpened;
}

bool KExtendedFileWrapper::Create(const std::string& fileName) {
    if (!Open(fileName, "w+b")) {
        return false;
    }
    accessMode_ = kCreated;
    return true;
}

int KExtendedFileWrapper::Close() {
    int result = KThinFileWrapper::Close();
    accessMode_ = kNotOpen;
    return result;
}

bool KExtendedFileWrapper::SeekToSection(const std::string& name) {
    constexpr int kHeaderSize = kSectionHeaderSize;
    if (!Seek(kFileHeaderSize, KSeekOrigin::kStart)) {
        return false;
    }
    bool found = false;
    uint8_t header[kHeaderSize];
    while (Read(header, kHeaderSize)) {
        int32_t length = bytes::Load<int32_t>(header);
        if (EqualsIgnoringCase(SectionName(header + 4), name) || length <= 0) {
            found = true;
            break;
        }
        if (!Seek(length, KSeekOrigin::kCurrent)) {
            break;
        }
    }
    return Seek(-kHeaderSize, KSeekOrigin::kCurrent) && found;
}

}  // namespace kfile
