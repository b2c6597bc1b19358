// Exact heap accounting for the benchmark binary: HeapCounter.cpp replaces every form of the
// global operator new and delete, so that each byte requested through them is counted while it
// is live, and the highest live total is kept.
#pragma once

#include <cstddef>

namespace heap {

// Bytes currently allocated through operator new and not yet released.
size_t LiveBytes();
// The highest value LiveBytes() has reached since the last ResetPeak().
size_t PeakBytes();
// Starts a new high-water mark at the present live total.
void ResetPeak();

}  // namespace heap
