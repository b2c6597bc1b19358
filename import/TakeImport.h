// The import of a take that is already in memory: widens the playback range to the take,
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
// The playback range grows to hold the take's last frame and never shrinks. Only the rate of
// datagroup 0 sets the length; without a usable rate the range stays as it is.
void widenPlaybackRange(const kfile::KFileContents& take);
void setUpDatagroup(const kfile::KFileContents& take, int16_t group, ChannelAnimatorList& animators,
                    ImportedDofNodes& imported);
