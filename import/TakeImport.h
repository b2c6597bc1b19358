// The import of a take that is already in memory: widens the playback range to its keys,
// then, datagroup by datagroup, turns channel labels into locators and keys them frame by
// frame.
#pragma once

#include <kfile/KFileContents.h>

#include "import/ChannelAnimator.h"
#include "import/Hierarchy.h"

// The animators made are appended to `animators`, which the caller empties afterwards; the
// nodes, groups and curves stay in the scene.
void importTake(const kfile::KFileContents& take, ChannelAnimatorList& animators);

// The steps of importTake, apart for callers that time them: the range first, then for each
// datagroup its nodes and curves (setUpDatagroup) followed by its keys (keyDatagroupFrames).
// One ImportedDofNodes serves every datagroup of an import.
// The playback range grows to hold the latest key of the take, each datagroup's frames at its
// own rate, and then starts at 0; it never shrinks. Where keys lie before the start, the start
// moves back to the earliest. Datagroups without a usable rate play no part.
void widenPlaybackRange(const kfile::KFileContents& take);
void setUpDatagroup(const kfile::KFileContents& take, int16_t group, ChannelAnimatorList& animators,
                    ImportedDofNodes& imported);
