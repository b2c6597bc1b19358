#pragma once
// Small helpers shared by the API function sets.

#include <vector>

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTime.h>

namespace scene {

// The kinds an object has, most specific first; empty for a null or dead object.
std::vector<MFn::Type> kindsOf(const MObject& object);
bool objectHasFn(const MObject& object, MFn::Type type);
void setStatus(MStatus* status, MStatus::MStatusCode code);

// MEL sits above the scene and hands down how a MEL string runs, for the commands that
// modifiers carry out (MDGModifier::commandToExecute).
using MelRunner = MStatus (*)(const MString& command);
void setMelRunner(MelRunner run);

inline double toSeconds(const MTime& t) {
    return t.as(MTime::kSeconds);
}
inline MTime fromSeconds(double seconds) {
    MTime t(seconds, MTime::kSeconds);
    t.setUnit(MTime::uiUnit());
    return t;
}

}  // namespace scene
