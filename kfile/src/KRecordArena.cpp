#include "KRecordArena.h"

#include <algorithm>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define KFILE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KFILE_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(KFILE_ADDRESS_SANITIZER)
#include <sanitizer/asan_interface.h>
#endif

namespace kfile {
namespace {

// Under AddressSanitizer the blocks are poisoned and each record is unpoisoned as it is carved,
// with a poisoned gap of at least one shadow granule after it: reading past a record's end is
// then caught as it would be with a buffer of its own.
#if defined(KFILE_ADDRESS_SANITIZER)
constexpr size_t kGranule = 8;
size_t Footprint(size_t size) {
    return (size + kGranule - 1) / kGranule * kGranule + kGranule;
}
void Poison(uint8_t* bytes, size_t size) {
    ASAN_POISON_MEMORY_REGION(bytes, size);
}
void Unpoison(uint8_t* bytes, size_t size) {
    ASAN_UNPOISON_MEMORY_REGION(bytes, size);
}
#else
size_t Footprint(size_t size) {
    return size;
}
void Poison(uint8_t*, size_t) {}
void Unpoison(uint8_t*, size_t) {}
#endif

constexpr size_t kFirstBlock = size_t{64} << 10;
// Large enough that a long take needs only a few blocks, small enough that a 32-bit process
// finds room for each in a crowded address space.
constexpr size_t kLargestBlock = size_t{32} << 20;

#if defined(MADV_HUGEPAGE)
constexpr size_t kHugePage = size_t{2} << 20;

// A block of at least one huge page starts on a huge-page boundary and asks for huge pages:
// one fault then maps 2 MiB instead of 4 KiB. Where the system offers none the advice is
// ignored and the block is ordinary memory.
uint8_t* AllocateBlock(size_t size) {
    if (size < kHugePage) {
        return static_cast<uint8_t*>(::operator new(size, std::nothrow));
    }
    void* block = ::operator new (size, std::align_val_t{kHugePage}, std::nothrow);
    if (block) {
        madvise(block, size / kHugePage * kHugePage, MADV_HUGEPAGE);
    }
    return static_cast<uint8_t*>(block);
}

void ReleaseBlock(uint8_t* block, size_t size) {
    if (size < kHugePage) {
        ::operator delete(block);
    } else {
        ::operator delete (block, std::align_val_t{kHugePage});
    }
}
#else
uint8_t* AllocateBlock(size_t size) {
    return static_cast<uint8_t*>(::operator new(size, std::nothrow));
}

void ReleaseBlock(uint8_t* block, size_t) {
    ::operator delete(block);
}
#endif

}  // namespace

void KRecordArena::BlockRelease::operator()(uint8_t* block) const {
    Unpoison(block, size);
    ReleaseBlock(block, size);
}

KBytes KRecordArena::Carve(size_t size, uint64_t bytesLeft) {
    size_t footprint = Footprint(size);
    if (footprint > left_ && !AddBlock(NextBlockSize(footprint, bytesLeft))) {
        return KBytes(nullptr);
    }
    uint8_t* bytes = next_;
    next_ += footprint;
    left_ -= footprint;
    Unpoison(bytes, size);
    return KBytes(bytes, KBytesRelease(false));
}

// A known remainder is taken in blocks as large as it, up to the largest size: a take of a few
// megabytes then fills one block mapped in huge pages rather than a dozen small ones mapped
// 4 KiB at a time. Without one, each block is as large as all before it together, up to the
// largest size, so that a stream that turns out short never costs a large block. The rest of a
// block is given up when the next record does not fit it.
size_t KRecordArena::NextBlockSize(size_t size, uint64_t bytesLeft) const {
    const uint64_t limit = bytesLeft == kUnknownRemainder
                               ? std::clamp<uint64_t>(capacity_, kFirstBlock, kLargestBlock)
                               : kLargestBlock;
    return static_cast<size_t>(std::max<uint64_t>(size, std::min(limit, bytesLeft)));
}

bool KRecordArena::AddBlock(size_t size) {
    try {
        blocks_.reserve(blocks_.size() + 1);  // so that keeping the block cannot fail
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint8_t* block = AllocateBlock(size);
    if (!block) {
        return false;
    }
    blocks_.emplace_back(block, BlockRelease{size});
    Poison(block, size);
    next_ = block;
    left_ = size;
    capacity_ += size;
    return true;
}

}  // namespace kfile
