// How the import reads the channel labels of one datagroup, worked out with the import's own
// label rules: which locator each label names and which attribute, if any, it keys.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// One reading per label, in channel order.
std::vector<LabelReading> ReadLabels(const std::vector<std::string>& labels);

// A character group and the subjects of the take that share it: "Bob" holds "Bob1" and
// "Bob2", whose names differ from their first digit on.
struct SubjectGroup {
    std::string group;
    std::vector<std::string> subjects;  // as written, in order of appearance
};

// The groups of the readings that have a subject, in order of appearance.
std::vector<SubjectGroup> GroupSubjects(const std::vector<LabelReading>& readings);
