// Runs the kfile command in-process and parses what it writes.
#pragma once

#include <string>
#include <vector>

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// `kfile` with these arguments; nothing goes to the terminal.
ToolRun RunTool(const std::vector<std::string>& arguments);

// The rows of a CSV text (RFC 4180: quoted fields, doubled quotes, CR LF or LF line ends).
std::vector<std::vector<std::string>> ParseCsv(const std::string& text);
