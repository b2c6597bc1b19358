// Indexed access and tolerance comparison for the small value types whose components are
// named members: points, quaternions and Euler rotations.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

namespace types {

// Component `i` of `owner`, taken from its member table. An index out of range stops the
// program with a message, as such an access would fail in the host.
template <typename Owner, std::size_t N>
auto& component(Owner& owner, double std::remove_const_t<Owner>::*const (&members)[N],
                unsigned int i, const char* typeName) {
    if (i >= N) {
        std::fprintf(stderr, "%s: component index %u out of range\n", typeName, i);
        std::abort();
    }
    return owner.*members[i];
}

template <std::size_t N>
bool withinTolerance(const std::array<double, N>& a, const std::array<double, N>& b,
                     double tolerance) {
    for (std::size_t i = 0; i < N; ++i) {
        if (std::fabs(a[i] - b[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

}  // namespace types
