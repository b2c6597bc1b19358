// The import of a take that is already in memory: widens the playback range to the take,
// then, datagroup by datagroup, turns channel labels into locators and keys them frame by
// frame.
#pragma once

#include <kfile/KFileContents.h>

#include "import/ChannelAnimator.h"

// The animators made are appended to `animators`, which the caller empties afterwards; the
// nodes, groups and curves stay in the scene.
void importTake(const kfile::KFileContents& take, ChannelAnimatorList& animators);
