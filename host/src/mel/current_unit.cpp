// currentUnit: query and set the UI linear and time units.

#include <maya/MDistance.h>
#include <maya/MTime.h>

#include <string>

#include "mel/command.h"
#include "types/time_units.h"

namespace {

struct LinearName {
    const char* shortName;
    const char* longName;
    MDistance::Unit unit;
};

const LinearName kLinear[] = {
    {"mm", "millimeter", MDistance::kMillimeters},
    {"cm", "centimeter", MDistance::kCentimeters},
    {"m", "meter", MDistance::kMeters},
    {"km", "kilometer", MDistance::kKilometers},
    {"in", "inch", MDistance::kInches},
    {"ft", "foot", MDistance::kFeet},
    {"yd", "yard", MDistance::kYards},
    {"mi", "mile", MDistance::kMiles},
};

mel::Outcome query(const mel::ArgReader& args) {
    const int asked = (args.has("linear") ? 1 : 0) + (args.has("time") ? 1 : 0);
    if (asked != 1) {
        return mel::Outcome::fail("currentUnit -query needs exactly one of -linear and -time");
    }
    if (args.has("linear")) {
        for (const LinearName& n : kLinear) {
            if (n.unit == MDistance::uiUnit()) {
                return mel::Outcome::ok({args.has("fullName") ? n.longName : n.shortName});
            }
        }
    } else {
        if (const types::TimeUnitInfo* time = types::timeUnitInfo(MTime::uiUnit()))
            return mel::Outcome::ok({time->melName});
    }
    return mel::Outcome::fail("currentUnit: the current unit has no name");
}

mel::Outcome runCurrentUnit(const mel::Call& call) {
    mel::ArgReader args(call, {{"q", "query", 0},
                               {"l", "linear", 1},
                               {"t", "time", 1},
                               {"a", "angle", 1},
                               {"f", "fullName", 0}});
    if (!args.ok())
        return args.failure();
    if (args.has("angle")) {
        return mel::Outcome::fail(
            "currentUnit -angle is not supported by the stand-in host (angles are radians "
            "inside, degrees in the UI)");
    }
    if (!args.positional().empty()) {
        return mel::Outcome::fail("currentUnit: unexpected argument \"" +
                                  args.positional().front() + "\"");
    }
    if (args.isQuery())
        return query(args);

    // Check both values before changing anything.
    const LinearName* linear = nullptr;
    const types::TimeUnitInfo* time = nullptr;
    if (args.has("linear")) {
        const std::string value = args.value("linear");
        for (const LinearName& n : kLinear) {
            if (value == n.shortName || value == n.longName)
                linear = &n;
        }
        if (!linear)
            return mel::Outcome::fail("currentUnit: unknown linear unit \"" + value + "\"");
    }
    if (args.has("time")) {
        const std::string value = args.value("time");
        time = types::timeUnitNamed(value.c_str());
        if (!time)
            return mel::Outcome::fail("currentUnit: unknown time unit \"" + value + "\"");
    }
    if (linear)
        MDistance::setUIUnit(linear->unit);
    if (time)
        MTime::setUIUnit(time->unit);
    return mel::Outcome::ok();
}

mel::RegisterBuiltin registerCurrentUnit("currentUnit", &runCurrentUnit);

}  // namespace
