#pragma once
// The time units the stand-in knows: each one's length in ticks of 1/6000 second and its
// MEL name, in one table for MTime, currentUnit and the scene dump.

#include <maya/MTime.h>

namespace types {

struct TimeUnitInfo {
    MTime::Unit unit;
    int ticks;            // 1/6000 s ticks in one unit; 0 for a unit without a fixed length
    const char* melName;  // as currentUnit -time takes and reports it
};

// The entry of the unit; nullptr for kInvalid, kUserDef, kLast and numbers outside the enum.
const TimeUnitInfo* timeUnitInfo(MTime::Unit unit);
// The entry named so in MEL; nullptr when no unit has the name.
const TimeUnitInfo* timeUnitNamed(const char* melName);

}  // namespace types
