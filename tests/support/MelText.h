#pragma once
// Text for MEL statements that tests build.

#include <string>

namespace testsupport {

// `text` as a MEL string literal: quotes and backslashes (of Windows paths) escaped.
inline std::string MelQuoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace testsupport
