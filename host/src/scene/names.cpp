// Node name rules: valid characters, the numeric suffix after a clash, patterns.

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

#include "scene/model.h"

namespace scene {

std::string validName(const std::string& requested) {
    std::string name;
    for (char c : requested) {
        unsigned char u = static_cast<unsigned char>(c);
        name += (std::isalnum(u) || c == '_') ? c : '_';
    }
    if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) {
        name.insert(name.begin(), '_');
    }
    return name;
}

std::string nextCandidate(const std::string& name) {
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) {
        --digits;
    }
    if (digits == name.size() || name.size() - digits > 15) {
        return name + "1";
    }
    unsigned long long n = std::stoull(name.substr(digits));
    return name.substr(0, digits) + std::to_string(n + 1);
}

// '*' matches any run of characters, '?' any one character; '|' is never matched by either
// because callers match one path level at a time.
bool globMatch(std::string_view pattern, std::string_view text) {
    size_t p = 0, t = 0, starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool hasWildcard(std::string_view name) {
    for (char c : name) {
        if (c == '*' || c == '?') {
            return true;
        }
    }
    return false;
}

std::string formatNumber(double value, int significantDigits) {
    if (value == 0.0) {
        return "0";  // no "-0"
    }
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf");
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", significantDigits, value);
    return text;
}

}  // namespace scene
