// currentUnit: query and set the UI linear and time units.

#include <maya/MDistance.h>
#include <maya/MTime.h>

#include <string>

#include "mel/command.h"

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

struct TimeName {
    const char* name;
    MTime::Unit unit;
};

const TimeName kTime[] = {
    {"hour", MTime::kHours},      {"min", MTime::kMinutes},
    {"sec", MTime::kSeconds},     {"millisec", MTime::kMilliseconds},
    {"game", MTime::kGames},      {"film", MTime::kFilm},
    {"pal", MTime::kPALFrame},    {"ntsc", MTime::kNTSCFrame},
    {"show", MTime::kShowScan},   {"palf", MTime::kPALField},
    {"ntscf", MTime::kNTSCField},
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
        for (const TimeName& n : kTime) {
            if (n.unit == MTime::uiUnit())
                return mel::Outcome::ok({n.name});
        }
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
    const TimeName* time = nullptr;
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
        for (const TimeName& n : kTime) {
            if (value == n.name)
                time = &n;
        }
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
