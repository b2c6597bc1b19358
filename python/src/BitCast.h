// The bits of one type read as another of the same size, as C++20's std::bit_cast does.
#pragma once

#include <cstring>

namespace kfile_python {

template <typename To, typename From>
To BitCast(From from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

}  // namespace kfile_python
