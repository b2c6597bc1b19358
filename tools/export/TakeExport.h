// A take written as C3D or TRC, planned by PlanExport and written through the library's safe
// write, for the kfile command and the Python module alike.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "kfile/kfile.h"

enum class ExportFormat { kC3d, kTrc };

struct ExportResult {
    std::string problem;               // why the take cannot be exported; nothing written
    std::vector<std::string> leftOut;  // what the file does not hold, one sentence each
    kfile::KWriteReport write;         // of the file, when there was no problem
    std::vector<int16_t> datagroups;   // the ids of the datagroups read, points and analog

    bool Written() const { return problem.empty() && write.written; }
};

// Writes `contents` to `fileName` as `format`, with the points of `datagroup` (see PlanExport).
ExportResult ExportTake(const kfile::KFileContents& contents, ExportFormat format,
                        std::optional<int16_t> datagroup, const std::string& fileName);
