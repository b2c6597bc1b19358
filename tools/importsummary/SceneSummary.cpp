#include "SceneSummary.h"

#include <maya/MAnimControl.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>

#include <algorithm>
#include <iomanip>
#include <iterator>
#include <sstream>

#include <host/scene.h>

namespace {

const char* const kAttributes[] = {"rx", "ry", "rz", "tx", "ty", "tz"};

std::vector<std::string> Query(const std::string& command) {
    MStringArray result;
    std::vector<std::string> words;
    if (MGlobal::executeCommand(MString(command.c_str()), result)) {
        for (unsigned i = 0; i < result.length(); ++i) {
            words.push_back(result[i].asChar());
        }
    }
    return words;
}

// "|Bob|Hips|DOFLocator1" -> group "Bob", transform "Hips"; false for a locator that is not
// directly under a top-level group.
bool SplitShapePath(const std::string& path, std::string& group, std::string& transform) {
    const size_t second = path.find('|', 1);
    const size_t third = second == std::string::npos ? second : path.find('|', second + 1);
    if (path.empty() || path[0] != '|' || third == std::string::npos) {
        return false;
    }
    group = path.substr(1, second - 1);
    transform = path.substr(second + 1, third - second - 1);
    return true;
}

// The times in either of two ascending lists, ascending, each once.
std::vector<double> Union(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> both;
    both.reserve(std::max(a.size(), b.size()));
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
    return both;
}

LocatorSummary SummariseLocator(const std::string& path, const std::string& name, bool marker) {
    LocatorSummary locator{name, marker, {}, 0, 0, 0, {}, 0};
    std::vector<double> keys;
    for (const char* attribute : kAttributes) {
        if (!host::keyTimes(path + "." + attribute, &keys) || keys.empty()) {
            continue;
        }
        locator.fewestKeys =
            locator.keyed.empty() ? keys.size() : std::min(locator.fewestKeys, keys.size());
        locator.mostKeys = std::max(locator.mostKeys, keys.size());
        locator.keys += keys.size();
        locator.keyed.push_back(attribute);
        locator.times = locator.times.empty() ? std::move(keys) : Union(locator.times, keys);
    }
    return locator;
}

void AddLocators(const char* type, bool marker, std::vector<GroupSummary>& groups) {
    for (const std::string& shape : Query(std::string("ls -l -type ") + type)) {
        std::string group;
        std::string transform;
        if (!SplitShapePath(shape, group, transform)) {
            continue;
        }
        auto found = std::find_if(groups.begin(), groups.end(),
                                  [&](const GroupSummary& g) { return g.name == group; });
        if (found == groups.end()) {
            found = groups.insert(groups.end(), GroupSummary{group, {}});
        }
        found->locators.push_back(
            SummariseLocator("|" + group + "|" + transform, transform, marker));
    }
}

// A locator misses a frame when its group keys that time on another locator but not on it.
void CountFramesWithoutValues(GroupSummary& group) {
    std::vector<double> groupTimes;
    for (const LocatorSummary& locator : group.locators) {
        groupTimes = Union(groupTimes, locator.times);
    }
    for (LocatorSummary& locator : group.locators) {
        if (!locator.keyed.empty()) {
            locator.framesWithoutValues = groupTimes.size() - locator.times.size();
        }
    }
}

std::string Number(double value) {
    std::ostringstream text;
    text << std::setprecision(6) << value;
    return text.str();
}

// "1 key", "2 keys": the count and the noun, singular or plural.
std::string Counted(size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

void PrintLocator(std::ostream& out, const LocatorSummary& locator) {
    out << "    " << std::left << std::setw(7) << (locator.marker ? "marker" : "DOF")
        << std::setw(16) << locator.name << " ";
    if (locator.keyed.empty()) {
        out << "no keys\n";
        return;
    }
    std::string attributes;
    for (const std::string& attribute : locator.keyed) {
        attributes += (attributes.empty() ? "" : " ") + attribute;
    }
    out << std::setw(18) << attributes << " " << Counted(locator.mostKeys, "key");
    if (locator.fewestKeys != locator.mostKeys) {
        out << " (fewest " << locator.fewestKeys << ")";
    }
    out << ", at " << Number(locator.times.front()) << " to " << Number(locator.times.back());
    if (locator.framesWithoutValues > 0) {
        out << ", " << Counted(locator.framesWithoutValues, "frame") << " without values";
    }
    out << "\n";
}

}  // namespace

std::vector<GroupSummary> SummariseLocators() {
    std::vector<GroupSummary> groups;
    AddLocators("DOFLocator", false, groups);
    AddLocators("MarkerLocator", true, groups);
    for (GroupSummary& group : groups) {
        CountFramesWithoutValues(group);
    }
    return groups;
}

PlaybackRange CurrentPlaybackRange() {
    return {MAnimControl::minTime().as(MTime::uiUnit()),
            MAnimControl::maxTime().as(MTime::uiUnit())};
}

void PrintSummary(std::ostream& out, const std::vector<GroupSummary>& groups,
                  const PlaybackRange& before, const PlaybackRange& after) {
    out << "Playback range: " << Number(before.min) << " to " << Number(before.max)
        << " before the import, " << Number(after.min) << " to " << Number(after.max)
        << " after (frames of the UI time unit; key times below are in it too)\n";
    for (const GroupSummary& group : groups) {
        const auto markers = std::count_if(group.locators.begin(), group.locators.end(),
                                           [](const LocatorSummary& l) { return l.marker; });
        size_t keys = 0;
        for (const LocatorSummary& locator : group.locators) {
            keys += locator.keys;
        }
        out << "\n"
            << group.name << ": " << Counted(group.locators.size() - size_t(markers), "DOF locator")
            << ", " << Counted(size_t(markers), "marker locator") << ", " << Counted(keys, "key")
            << "\n";
        for (const LocatorSummary& locator : group.locators) {
            PrintLocator(out, locator);
        }
    }
    if (groups.empty()) {
        out << "\nThe import made no locators.\n";
    }
}
