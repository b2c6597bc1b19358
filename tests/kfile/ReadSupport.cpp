#include "ReadSupport.h"

#include <gtest/gtest.h>

#include "HeapCounter.h"

BytesRead ReadBytes(const testsupport::Bytes& bytes) {
    testsupport::TempDir dir;
    std::string path = dir.Write("take.K", bytes);
    BytesRead result;
    heap::LargestAllocationScope allocations;
    kfile::KReadResult read = kfile::ReadTake(path);
    result.largestAllocation = allocations.Largest();
    result.contents = std::move(read.contents);
    result.report = std::move(read.report);
    return result;
}

std::unique_ptr<kfile::KFileContents> ReadFileOrFail(const std::string& path) {
    kfile::KReadResult read = kfile::ReadTake(path);
    EXPECT_TRUE(read.contents) << path << ": " << read.report.Describe();
    return std::move(read.contents);
}
