// What an import left in the scene, asked of the stand-in host (the locators with MEL, their keys
// read from the scene itself): per character group its DOF and marker locators, which
// attributes carry keys, how many, over which times, and frames without values.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

struct LocatorSummary {
    std::string name;                     // the transform's name under its group
    bool marker = false;                  // a MarkerLocator, else a DOFLocator
    std::vector<std::string> keyed;       // "rx" ... "tz", those with keys
    size_t keys = 0;                      // on all its attributes
    size_t fewestKeys = 0, mostKeys = 0;  // over the keyed attributes
    std::vector<double> times;            // distinct key times of all its attributes, ascending
    size_t framesWithoutValues = 0;       // times its group keys elsewhere but it does not
};

struct GroupSummary {
    std::string name;
    std::vector<LocatorSummary> locators;  // in scene order, DOF locators first
};

struct PlaybackRange {
    double min = 0, max = 0;  // in the UI time unit
};

// The character groups holding the locators in the scene, in the order the host lists them.
std::vector<GroupSummary> SummariseLocators();

PlaybackRange CurrentPlaybackRange();

void PrintSummary(std::ostream& out, const std::vector<GroupSummary>& groups,
                  const PlaybackRange& before, const PlaybackRange& after);
