// How the subcommands speak: names from a take as UTF-8, JSON that never fails to print, and one
// form for errors, plain text on standard error or JSON on standard output.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "Commands.h"
#include "kfile/KFileManager.h"

using Json = nlohmann::ordered_json;

// Names and labels in a take are 8-bit text: each byte is the code point of that value
// (Latin-1), so that every name has a UTF-8 form and bytes 0x80-0xFF never break JSON or CSV.
std::string Latin1ToUtf8(const std::string& text);

// The JSON text, indented by 2. Texts from a take and file names are put into UTF-8 first; a
// byte that is still not UTF-8 would become U+FFFD rather than break the output.
std::string JsonText(const Json& json);

// A file the command could not read or write (its name in 8-bit text, shown as Latin-1 in
// JSON), and why (in UTF-8).
struct FileError {
    std::string path;
    std::string reason;
    std::optional<uint64_t> offset;  // where in the file, when it is known
};

// Tells the error: `kfile: 'PATH': REASON` on standard error, or with --json
// {"error": {"path", "reason", "offset"}} on standard output. Answers the exit status 1.
int ReportError(Console& console, const FileError& error);

// Writes `fileName` through the library's safe write (a temporary renamed over it when
// complete); `write` fills the path it is given. On failure tells why and answers 1.
int WriteOutput(Console& console, const std::string& fileName,
                const std::function<bool(const std::string&)>& write);

// Tells why the file could not be written (see ReportError); answers 1.
int ReportWriteFailure(Console& console, const std::string& fileName,
                       const kfile::KWriteReport& report);

// The system's sentence for an errno value.
std::string SystemReason(int error);

// Why `path` cannot be read as a take ("No such file or directory", "Is a directory", ...), or
// empty when it is a regular file. A FIFO or a device is refused too: reading one could wait
// for a writer or never end.
std::string WhyUnreadable(const std::string& path);
