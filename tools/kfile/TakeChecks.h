// The checks of `kfile validate`: a walk over the bytes of a take that finds what readers
// would trip over or silently drop, each with where it is and what was expected.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Finding {
    std::string check;    // short name of the check: "truncated-section", "frame-order", ...
    bool problem = true;  // false for notes, which leave a take clean
    std::string section;  // "header", a section name, or "records" for the dynamic records
    int64_t record = -1;  // index of the record within its section or the records; -1: none
    uint64_t offset = 0;  // byte offset in the file
    std::string message;  // what was found and what was expected
};

// Every finding, in file order within each check. Problems: a file that is not a K-file,
// truncated sections and records, dynamic records whose length disagrees with their datagroup
// (6 + labels x value size), records of an unknown datagroup, a second record for a
// (datagroup, frame), frames out of order, rates that are 0 or not whole, datagroup ids not
// numbered 0 to count - 1, value sizes that disagree with the value type's width. Notes: labels
// that the import skips.
std::vector<Finding> CheckTake(const std::vector<uint8_t>& bytes);
