// Rules for the channel labels of a datagroup: a label is a name, optional white space and a
// suffix in angle brackets ("Bob:Hips <A-X>"). These are plain string functions, free of the
// host, so that tools can apply the same rules as the import.
#pragma once

#include <string>
#include <vector>

#include "import/ChannelSlot.h"

// The name of a label: the text before its last "<" without trailing white space; a label
// without "<" is its own name, untrimmed.
std::string channelBaseName(const std::string& label);

// Whether the suffix from the first "<" to the end is exactly "<P-X>", "<P-Y>" or "<P-Z>".
bool isPositionLabel(const std::string& label);
// Whether the suffix from the first "<" to the end is exactly one of "<A-X>" ... "<A-Z>" and
// "<T-X>" ... "<T-Z>" (upper case only).
bool isSegmentLabel(const std::string& label);

// Sorts the base names of the labels into markers (position labels), segments (segment
// labels) and local names (everything else), appending each name to its list unless the list
// already holds it in any letter case. Lists keep the first form met, in order of appearance.
void classifyChannels(const std::vector<std::string>& labels,
                      std::vector<std::string>& segmentNames, std::vector<std::string>& localNames,
                      std::vector<std::string>& markerNames);

// The attribute a label suffix feeds, compared ignoring case and surrounding white space:
// position and translation suffixes give tx/ty/tz, angle suffixes rx/ry/rz. Anything else
// gives kNoChannelSlot and an empty attribute name.
ChannelSlot channelSlotForLabel(const std::string& text, std::string& attributeName);

// Splits "Bob2:Hips" into the subject prefix "Bob" (the text before the first ":", cut at its
// first digit) and the local name "Hips" (everything after that ":"). Without ":" the prefix
// is empty and the local name is the whole name.
void splitSubjectName(const std::string& name, std::string& prefix, std::string& localName);

// The character group of markers whose name has no subject prefix.
extern const char kUnnamedCharacter[];

// A name from a take as the host names nodes: letters, digits and "_" are kept, any other
// character becomes "_", and a leading digit gets a "_" in front. Names go into MEL commands,
// where any other character could end the command and start another one. An empty name
// ("Bob: <T-X>" once subject and suffix are gone) becomes "_": the host would name the node
// after its type, and the next import would not find it again.
std::string nodeName(const std::string& name);
// The node name of a character group; empty, for no group, when the prefix is empty.
std::string groupName(const std::string& prefix);

// The locators that a datagroup's labels become, in the order the import makes them.
enum class LocatorKind {
    kSegment,  // a DOF locator named after a segment name, fed by segment labels
    kLocal,    // a DOF locator "<name>_local", fed by every other label starting with the name
    kMarker,   // a marker locator "<name>_marker", fed by every label starting with the name
};

struct LocatorPlan {
    LocatorKind kind;
    std::string name;  // the listed name that labels start with, e.g. "Bob2:Hips"
    // As node names: the character group ("Bob"; "UnnamedCharacter" for a marker without a
    // subject; empty for a DOF locator without one, which lies at the top of the scene) and
    // the locator's name ("Hips", "Hips_local", "LFHD_marker"). Subjects that differ from
    // their first digit on ("Bob1", "Bob2") share a group.
    std::string group;
    std::string node;
};

// One locator per segment name, then per local name, then per marker name (classifyChannels).
std::vector<LocatorPlan> planLocators(const std::vector<std::string>& labels);

// Whether the label feeds the locator: it starts with the locator's name, compared with case
// (names are merged ignoring case, bound with it), and is of the kind's label class.
bool labelFeedsLocator(const std::string& label, const LocatorPlan& locator);

// Copies without leading or trailing white space (space, tab, carriage return, line feed).
std::string trimLeadingSpace(const std::string& text);
std::string trimTrailingSpace(const std::string& text);
