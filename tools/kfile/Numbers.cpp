#include "Numbers.h"

#include <charconv>
#include <cmath>

namespace {

template <typename Number>
std::string ShortestText(Number value) {
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string NumberText(double value) {
    return ShortestText(value);
}
std::string NumberText(float value) {
    return ShortestText(value);
}

std::string RateText(float rate) {
    const float size = std::abs(rate);
    if (!(size >= 1e-6 && size < 1e15)) {
        return NumberText(rate);  // 0, 1e-30, 1e+30, inf, nan
    }
    char buffer[64];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, rate, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::string Counted(int64_t count, const std::string& thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}
