#include "AllocationTracker.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> gTracking{false};
std::atomic<size_t> gLargest{0};

void* Allocate(size_t size) noexcept {
    if (gTracking.load(std::memory_order_relaxed)) {
        size_t largest = gLargest.load(std::memory_order_relaxed);
        while (size > largest && !gLargest.compare_exchange_weak(largest, size)) {
        }
    }
    return std::malloc(size ? size : 1);
}
}  // namespace

AllocationTracker::AllocationTracker() {
    gLargest = 0;
    gTracking = true;
}
AllocationTracker::~AllocationTracker() {
    gTracking = false;
}
size_t AllocationTracker::Largest() const {
    return gLargest;
}

void* operator new(size_t size) {
    if (void* p = Allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
