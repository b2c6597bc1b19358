// How the import reads the channel labels of one datagroup, worked out with the import's own
// label rules: which locator each label names and which attribute, if any, it keys.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kfile/kfile.h"

// One attribute a channel keys, with the node names the import asks the host for.
struct LabelKey {
    std::string group;      // the character group ("Bob", "UnnamedCharacter"); empty: none
    std::string node;       // the locator: "Hips", "Hips_local", "LFHD_marker"
    std::string attribute;  // "rx", "ry", "rz", "tx", "ty" or "tz"

    // "|Bob|Hips", or "|Fz_local" for a locator at the top of the scene.
    std::string NodePath() const { return (group.empty() ? "" : "|" + group) + "|" + node; }
};

struct LabelReading {
    int32_t channel = 0;
    std::string label;
    std::string kind;            // "marker", "segment" or "local": the list its name goes to
    std::string name;            // the name before its suffix
    std::string subject;         // the subject prefix of the name; empty when it has none
    std::string writtenSubject;  // the text before the name's ":", digits and all: "Bob1"
    std::vector<LabelKey> keys;  // usually one; none when the import skips the channel
    std::string skipReason;      // why it keys nothing
};

// How the import treats one record of the DATAGROUP section. It walks the ids 0 to count - 1,
// makes locators from the labels of the last record of each id and keys them at the rate and
// with the values of the first one (the library's lookups), as far as it can read them.
struct DatagroupReading {
    bool locators = false;                             // its labels become locators
    bool keyed = false;                                // and its frames key them
    kfile::KValueType valuesAs = kfile::kValueDouble;  // how its values are read, when keyed
    std::string reason;                                // why it keys nothing
};

// The reading of records[index]; `records` are the section's records in order.
DatagroupReading ReadDatagroup(const std::vector<const kfile::KFileDatagroupRecord*>& records,
                               size_t index);
std::vector<const kfile::KFileDatagroupRecord*> DatagroupRecords(
    const kfile::KFileContents& contents);

// How the import reads the datagroup's values (false: not at all): as its value type where the
// slot is that type's width; as doubles where the slot is 8 bytes and the type is anything but
// Binary or Text.
bool ReadsValues(const kfile::KFileDatagroupRecord& group, kfile::KValueType& valuesAs);

// A channel's value at one record, read as `valuesAs`: absent (the missing-value marker, or
// outside the record), not finite (infinite or not a number), or a number the import keys.
enum class ValueKind { kAbsent, kNotFinite, kKeyed };
ValueKind KindOfValue(const kfile::KFileDynamicRecord& record, kfile::KValueType valuesAs,
                      int32_t channel);

// One reading per label, in channel order, as the labels of a keyed datagroup; with a
// datagroup that keys nothing, every channel keys nothing for its reason.
std::vector<LabelReading> ReadLabels(const std::vector<std::string>& labels);
std::vector<LabelReading> ReadLabels(const std::vector<std::string>& labels,
                                     const DatagroupReading& datagroup);

// A character group and the subjects of the take that share it: "Bob" holds "Bob1" and
// "Bob2", whose names differ from their first digit on.
struct SubjectGroup {
    std::string group;
    std::vector<std::string> subjects;  // as written, in order of appearance
};

// The groups of the readings that have a subject, in order of appearance.
std::vector<SubjectGroup> GroupSubjects(const std::vector<LabelReading>& readings);
