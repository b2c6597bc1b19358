#pragma once
// The scene's time ranges: the playback range (minTime..maxTime) inside the animation range
// (animationStartTime..animationEndTime), and the current time. Times are returned in the
// UI time unit.

#include <maya/MStatus.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

class MAnimControl {
  public:
    MAnimControl() = default;
    virtual ~MAnimControl() = default;

    static MTime minTime();
    static MTime maxTime();
    // Sets the playback range and widens the animation range to hold it;
    // kInvalidParameter when min is after max.
    static MStatus setMinMaxTime(const MTime& min, const MTime& max);
    static MStatus setMinTime(const MTime& min);
    static MStatus setMaxTime(const MTime& max);

    static MTime animationStartTime();
    static MTime animationEndTime();
    // Narrowing the animation range narrows the playback range with it.
    static MStatus setAnimationStartEndTime(const MTime& start, const MTime& end);
    static MStatus setAnimationStartTime(const MTime& start);
    static MStatus setAnimationEndTime(const MTime& end);

    static MTime currentTime();
    static MStatus setCurrentTime(const MTime& when);
};
