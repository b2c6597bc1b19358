#pragma once
// The host's printed messages and its logs, below every other part of the stand-in: every
// layer prints through here, and host/command_log.h reads the logs back.

#include <cstddef>
#include <string>

namespace types {

// Host-style message lines: "// Error: text //" and "// Warning: text //" to stderr,
// "// Info: text //" to stdout; each also goes to the message log.
void printError(const std::string& text);
void printWarning(const std::string& text);
void printInfo(const std::string& text);

// How many error lines have been printed so far.
size_t errorsPrinted();

// Appends a MEL string that is about to run to the command log.
void logCommand(const std::string& source);

}  // namespace types
