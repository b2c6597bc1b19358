#pragma once
// MEL text to statements. The subset: commands with words, flags, numbers, quoted strings
// (with backslash escapes) and {"..."} string arrays, separated by ';', with // and /* */
// comments. Everything of general MEL (variables, procedures, expressions, control flow)
// is refused with a message that says so.

#include <string>
#include <vector>

#include "mel/command.h"

namespace mel {

struct ParseResult {
    std::vector<Call> statements;
    std::string error;  // non-empty: nothing was parsed
};

ParseResult parse(const std::string& source);

}  // namespace mel
