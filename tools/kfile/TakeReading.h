// What the subcommands share: reading a take with a clear complaint, values as text, and a
// count of each datagroup's frames and missing values.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Numbers.h"
#include "kfile/kfile.h"

struct Console;
struct FileError;

// Why a take did not read: "cannot open: ...", "cannot read: there is not enough memory ...",
// or "not a complete K-file: ...", with where reading stopped.
FileError ReadFailure(const std::string& fileName, const kfile::KReadReport& report);

// Reads the take; when it cannot be read, says why (see ReportError) and answers null. `report`
// (when given) receives the read report either way.
std::unique_ptr<kfile::KFileContents> ReadTakeOrComplain(const std::string& fileName,
                                                         Console& console,
                                                         kfile::KReadReport* report = nullptr);

// Whether the library reads values of this type as numbers (Short to Boolean).
bool IsNumericValueType(int32_t valueType);

// The value of one channel as text, read as the datagroup's value type; false (and `text`
// empty) when it is missing, outside the record, or of a type without numbers.
bool ValueText(const kfile::KFileDynamicRecord& record, int32_t valueType, int32_t channel,
               std::string& text);

// What reading dropped of a take that ends inside a record (KReadReport::incompleteBytes).
std::string DroppedRecordText(uint64_t incompleteBytes);

// For a take that ends inside a record: says so on standard error and answers 1; else 0.
int TellDroppedRecord(Console& console, const std::string& fileName,
                      const kfile::KReadReport& report);

// What the dynamic records of one datagroup hold.
struct DatagroupFrames {
    int32_t records = 0;
    int32_t firstFrame = 0;  // smallest and largest frame number; 0 without records
    int32_t lastFrame = 0;
    std::vector<int64_t> missing;    // per channel: records without a value for it
    std::vector<int64_t> notFinite;  // per channel: values that are infinite or not a number
    int32_t incomplete = 0;          // records whose value block is not one value per channel
};

DatagroupFrames CountFrames(const kfile::KFileContents& contents,
                            const kfile::KFileDatagroupRecord& group);
