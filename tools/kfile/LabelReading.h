// How the import reads the channel labels of one datagroup, worked out with the import's own
// label rules: which locator each label names and which attribute, if any, it keys.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One attribute a channel keys.
struct LabelKey {
    std::string group;      // the character group: the subject prefix, "UnnamedCharacter"
    std::string node;       // the locator under it: "Hips", "Hips_local", "LFHD_marker"
    std::string attribute;  // "rx", "ry", "rz", "tx", "ty" or "tz"
};

struct LabelReading {
    int32_t channel = 0;
    std::string label;
    std::string kind;            // "marker", "segment" or "local": the list its name goes to
    std::string name;            // the name before its suffix
    std::string subject;         // the subject prefix of the name; empty when it has none
    std::vector<LabelKey> keys;  // usually one; none when the import skips the channel
    std::string skipReason;      // why it keys nothing
};

// One reading per label, in channel order.
std::vector<LabelReading> ReadLabels(const std::vector<std::string>& labels);
