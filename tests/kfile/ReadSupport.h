// Reading test takes held in memory: the bytes go to a file in a temporary folder and are read
// back with the library's one-call read.
#pragma once

#include <cstddef>
#include <memory>

#include "TestFiles.h"
#include "kfile/kfile.h"

struct BytesRead {
    std::unique_ptr<kfile::KFileContents> contents;
    kfile::KReadReport report;
    size_t largestAllocation = 0;  // the largest single allocation made while reading
};
BytesRead ReadBytes(const testsupport::Bytes& bytes);

// Reads a take from a file; a failure is reported to the running test.
std::unique_ptr<kfile::KFileContents> ReadFileOrFail(const std::string& path);
