#include "mel/results.h"

#include <cstdio>

namespace mel {
namespace {

std::vector<std::vector<std::string>>& stack() {
    static std::vector<std::vector<std::string>> results;
    return results;
}

}  // namespace

ResultScope::ResultScope() {
    stack().emplace_back();
}
ResultScope::~ResultScope() {
    stack().pop_back();
}
std::vector<std::string> ResultScope::take() {
    return stack().back();
}

std::vector<std::string>* currentResult() {
    return stack().empty() ? nullptr : &stack().back();
}

std::string formatNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

}  // namespace mel
