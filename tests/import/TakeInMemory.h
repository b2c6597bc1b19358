// K-file contents built in memory for import tests: datagroups of any value type, and records
// whose values may be missing (stored as the type's missing-value marker).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "kfile/KDatagroupSection.h"
#include "kfile/KFileContents.h"
#include "kfile/KFileDynamicRecord.h"

using Values = std::vector<std::optional<double>>;

// One frame's record as read from a file: id, frame, then each value stored as the value type,
// or the type's marker where a value is missing.
std::unique_ptr<kfile::KFileDynamicRecord> makeRecord(int16_t id, int32_t frame,
                                                      kfile::KValueType type, const Values& values);

class TakeInMemory {
  public:
    TakeInMemory();

    // A datagroup with `channels` unnamed labels.
    void addGroup(int16_t id, kfile::KValueType type, float rate, int32_t channels);
    // A record of an added datagroup, stored as that datagroup's type.
    void addRecord(int16_t id, int32_t frame, const Values& values);

    const kfile::KFileContents& contents() const { return contents_; }

  private:
    kfile::KFileContents contents_;
    kfile::KFileDatagroupSection* groups_ = nullptr;
};
