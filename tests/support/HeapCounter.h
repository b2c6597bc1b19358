// Exact heap accounting for a test or benchmark program: HeapCounter.cpp replaces every form of
// the global operator new and delete, so that each byte requested through them is counted while
// it is live, the highest live total and the largest single request are kept, and allocations
// can be made to fail on purpose. Linking any function below brings the replacement in.
#pragma once

#include <cstddef>

namespace heap {

// Bytes currently allocated through operator new and not yet released.
size_t LiveBytes();
// The highest value LiveBytes() has reached since the last ResetPeak().
size_t PeakBytes();
// Starts a new high-water mark at the present live total.
void ResetPeak();
// The largest single allocation since the last ResetLargest().
size_t LargestAllocation();
void ResetLargest();
// After `count` more allocations succeed, every further one fails (throws std::bad_alloc, or
// answers null for the nothrow forms) until FailAfter(-1).
void FailAfter(long long count);

// Counts while alive: the largest single allocation made in its scope.
class LargestAllocationScope {
  public:
    LargestAllocationScope() { ResetLargest(); }
    size_t Largest() const { return LargestAllocation(); }
};

}  // namespace heap
