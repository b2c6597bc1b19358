// Records the largest single heap allocation made while a tracker is alive, so tests can check
// that nothing read from a file makes the library allocate more than the file holds.
#pragma once

#include <cstddef>

class AllocationTracker {
  public:
    AllocationTracker();
    ~AllocationTracker();
    AllocationTracker(const AllocationTracker&) = delete;
    AllocationTracker& operator=(const AllocationTracker&) = delete;

    size_t Largest() const;
};
