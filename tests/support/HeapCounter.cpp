#include "HeapCounter.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

// Every block carries its requested size in a prefix, so that the unsized forms of delete
// (which most of the standard library uses) release exactly what was counted. The prefix is as
// large as the block's alignment, so the pointer handed out keeps that alignment.

namespace {

std::atomic<size_t> liveBytes{0};
std::atomic<size_t> peakBytes{0};
std::atomic<size_t> largestBytes{0};
std::atomic<long long> allocationsBeforeFailure{-1};  // -1: never fail

constexpr size_t kDefaultAlignment = alignof(std::max_align_t);

void RaiseTo(std::atomic<size_t>& mark, size_t value) {
    size_t seen = mark.load(std::memory_order_relaxed);
    while (value > seen && !mark.compare_exchange_weak(seen, value)) {
    }
}

void CountAllocation(size_t size) {
    RaiseTo(peakBytes, liveBytes.fetch_add(size, std::memory_order_relaxed) + size);
    RaiseTo(largestBytes, size);
}

// Whether the failure injected by FailAfter is due now.
bool InjectedFailure() {
    long long left = allocationsBeforeFailure.load(std::memory_order_relaxed);
    while (left > 0 && !allocationsBeforeFailure.compare_exchange_weak(left, left - 1)) {
    }
    return left == 0;
}

// The C runtime of Windows has no aligned_alloc; its aligned blocks need their own free.
void* AlignedBlock(size_t alignment, size_t size) {
#ifdef _WIN32
    return _aligned_malloc(size, alignment);
#else
    return std::aligned_alloc(alignment, size);
#endif
}

void FreeAlignedBlock(void* block) {
#ifdef _WIN32
    _aligned_free(block);
#else
    std::free(block);
#endif
}

void* Allocate(size_t size, size_t alignment) noexcept {
    alignment = alignment < kDefaultAlignment ? kDefaultAlignment : alignment;
    if (size > SIZE_MAX - 2 * alignment || InjectedFailure()) {
        return nullptr;
    }
    size_t total = (size + 2 * alignment - 1) / alignment * alignment;  // prefix + size, rounded
    void* base =
        alignment == kDefaultAlignment ? std::malloc(total) : AlignedBlock(alignment, total);
    if (!base) {
        return nullptr;
    }
    auto* user = static_cast<unsigned char*>(base) + alignment;
    reinterpret_cast<size_t*>(user)[-1] = size;
    CountAllocation(size);
    return user;
}

void Release(void* pointer, size_t alignment) noexcept {
    if (!pointer) {
        return;
    }
    alignment = alignment < kDefaultAlignment ? kDefaultAlignment : alignment;
    auto* user = static_cast<unsigned char*>(pointer);
    liveBytes.fetch_sub(reinterpret_cast<size_t*>(user)[-1], std::memory_order_relaxed);
    if (alignment == kDefaultAlignment) {
        std::free(user - alignment);
    } else {
        FreeAlignedBlock(user - alignment);
    }
}

void* AllocateOrThrow(size_t size, size_t alignment) {
    void* pointer = Allocate(size, alignment);
    if (!pointer) {
        throw std::bad_alloc();
    }
    return pointer;
}

}  // namespace

namespace heap {
size_t LiveBytes() {
    return liveBytes.load();
}
size_t PeakBytes() {
    return peakBytes.load();
}
void ResetPeak() {
    peakBytes.store(liveBytes.load());
}
size_t LargestAllocation() {
    return largestBytes.load();
}
void ResetLargest() {
    largestBytes.store(0);
}
void FailAfter(long long count) {
    allocationsBeforeFailure.store(count);
}
}  // namespace heap

// Plain forms.
void* operator new(size_t size) {
    return AllocateOrThrow(size, kDefaultAlignment);
}
void* operator new[](size_t size) {
    return AllocateOrThrow(size, kDefaultAlignment);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, kDefaultAlignment);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, kDefaultAlignment);
}
void operator delete(void* pointer) noexcept {
    Release(pointer, kDefaultAlignment);
}
void operator delete[](void* pointer) noexcept {
    Release(pointer, kDefaultAlignment);
}
void operator delete(void* pointer, size_t) noexcept {
    Release(pointer, kDefaultAlignment);
}
void operator delete[](void* pointer, size_t) noexcept {
    Release(pointer, kDefaultAlignment);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
    Release(pointer, kDefaultAlignment);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
    Release(pointer, kDefaultAlignment);
}

// Over-aligned forms.
void* operator new(size_t size, std::align_val_t alignment) {
    return AllocateOrThrow(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment) {
    return AllocateOrThrow(size, static_cast<size_t>(alignment));
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<size_t>(alignment));
}
void operator delete(void* pointer, std::align_val_t alignment) noexcept {
    Release(pointer, static_cast<size_t>(alignment));
}
void operator delete[](void* pointer, std::align_val_t alignment) noexcept {
    Release(pointer, static_cast<size_t>(alignment));
}
void operator delete(void* pointer, size_t, std::align_val_t alignment) noexcept {
    Release(pointer, static_cast<size_t>(alignment));
}
void operator delete[](void* pointer, size_t, std::align_val_t alignment) noexcept {
    Release(pointer, static_cast<size_t>(alignment));
}
void operator delete(void* pointer, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    Release(pointer, static_cast<size_t>(alignment));
}
void operator delete[](void* pointer, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    Release(pointer, static_cast<size_t>(alignment));
}
