// File access for the K-file library: one buffered C stream, moved in raw blocks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace kfile {

// Where a Seek offset counts from.
enum class KSeekOrigin { kStart, kCurrent, kEnd };

// The answer of an open of an existing file: a bit set, 1 readable, 2 writable. Unscoped, so
// that `Open(name) == 0` and `if (!Open(name))` read as they always have.
enum KOpenResult : int32_t {
    kNotOpened = 0,
    kOpenedReadOnly = 1,
    kOpenedForUpdate = 3,
};

// Moves raw blocks of bytes through one buffered C stream and positions it.
//
// Besides the stream the wrapper tracks the position and the size of the file, so that readers
// can compare every length taken from a file with the bytes that remain before they allocate
// a buffer for it (see Remaining()).
class KThinFileWrapper {
  public:
    KThinFileWrapper() = default;
    KThinFileWrapper(const KThinFileWrapper&) = delete;
    KThinFileWrapper& operator=(const KThinFileWrapper&) = delete;
    // Flushes and closes a stream that is still open.
    virtual ~KThinFileWrapper();

    // Opens fileName with a C stream mode ("rb", "r+b", "w+b"). A stream already open is closed
    // first. True when a stream was obtained.
    [[nodiscard]] bool Open(const std::string& fileName, const std::string& mode);
    // Closes the stream; answers the C close result (0 on success). Does nothing when none is
    // open.
    virtual int Close();

    // True only when exactly byteCount bytes arrived; on a short read the bytes that did arrive
    // stay in the buffer and the stream has advanced by them.
    [[nodiscard]] bool Read(void* buffer, unsigned byteCount);
    // True only when all byteCount bytes were written.
    [[nodiscard]] bool Write(const void* buffer, unsigned byteCount);
    // A successful seek clears the end-of-file indicator; a failed one (before the start of the
    // file, or on a stream that cannot seek) leaves the position as it was.
    [[nodiscard]] bool Seek(long offset, KSeekOrigin origin);
    [[nodiscard]] bool Flush();

    bool IsOpen() const { return stream_ != nullptr; }
    // A read has run into the end of the file (reaching the end exactly does not count).
    bool AtEnd() const;
    // The stream reports a read or write error.
    bool HasError() const;

    // Bytes between the current position and the end of the file; 0 when nothing is open or the
    // position lies beyond the end. A stream whose size cannot be told (not seekable) answers
    // UINT64_MAX.
    uint64_t Remaining() const;
    // Byte offset of the stream, and the size of the file as far as it is known.
    uint64_t Position() const { return position_; }
    uint64_t Size() const { return size_; }
    // Reads and drops up to byteCount bytes without a buffer of that size; true when all of
    // them were there. Used where a length from the file exceeds what remains.
    bool Discard(uint64_t byteCount);

  private:
    static constexpr size_t kStreamBufferSize = 1 << 16;

    static size_t BufferSizeFor(const std::string& fileName, const std::string& mode);
    void UseBuffer(size_t size);

    std::unique_ptr<char[]> buffer_;  // declared before stream_: outlives it
    std::FILE* stream_ = nullptr;
    uint64_t position_ = 0;
    uint64_t size_ = 0;
    bool sizeKnown_ = false;
};

// Adds the library's two ways of opening a K-file and a search of its section headers.
class KExtendedFileWrapper : public KThinFileWrapper {
  public:
    enum AccessMode : int32_t { kNotOpen = 0, kCreated = 1, kOpenedExisting = 2 };

    KExtendedFileWrapper() = default;
    ~KExtendedFileWrapper() override = default;

    // Opens an existing file for reading and update, or failing that for reading only. A file
    // already open is closed first, whatever the answer.
    [[nodiscard]] KOpenResult OpenExisting(const std::string& fileName);
    // Creates (or truncates) a file for reading and writing.
    [[nodiscard]] bool Create(const std::string& fileName);
    // Also forgets how the file was opened: afterwards the access mode is kNotOpen.
    int Close() override;

    // Positions the stream at the header of the first section named `name` (ignoring ASCII
    // case) or, when there is none, at the section terminator. False when the section list
    // ends before either is found, or the stream cannot be positioned.
    [[nodiscard]] bool SeekToSection(const std::string& name);

    int32_t GetAccessMode() const { return accessMode_; }

  private:
    int32_t accessMode_ = kNotOpen;
};

}  // namespace kfile
