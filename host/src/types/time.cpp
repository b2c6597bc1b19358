#include <maya/MTime.h>

namespace {

// Every unit is a whole number of ticks of 1/6000 second, so converting through ticks keeps
// whole frames exact in every unit (1 film frame = 250 ticks, 1 NTSC field = 100).
double ticksPerUnit(MTime::Unit unit) {
    switch (unit) {
        case MTime::kHours:
            return 21600000.0;
        case MTime::kMinutes:
            return 360000.0;
        case MTime::kSeconds:
            return 6000.0;
        case MTime::kMilliseconds:
            return 6.0;
        case MTime::kGames:
            return 400.0;
        case MTime::kFilm:
            return 250.0;
        case MTime::kPALFrame:
            return 240.0;
        case MTime::kNTSCFrame:
            return 200.0;
        case MTime::kShowScan:
            return 125.0;
        case MTime::kPALField:
            return 120.0;
        case MTime::kNTSCField:
            return 100.0;
        case MTime::kInvalid:
            break;
    }
    return 0.0;
}

bool isValid(MTime::Unit unit) {
    return ticksPerUnit(unit) > 0.0;
}

double ticks(const MTime& t) {
    return t.value() * ticksPerUnit(t.unit());
}

MTime::Unit g_uiUnit = MTime::kFilm;

}  // namespace

MTime::MTime(double value, Unit unit) : value_(value), unit_(isValid(unit) ? unit : kInvalid) {}

MStatus MTime::setUnit(Unit unit) {
    if (!isValid(unit))
        return MStatus::kInvalidParameter;
    value_ = as(unit);
    unit_ = unit;
    return MStatus::kSuccess;
}

MStatus MTime::setValue(double value) {
    value_ = value;
    return MStatus::kSuccess;
}

double MTime::as(Unit unit) const {
    if (!isValid(unit) || !isValid(unit_))
        return 0.0;
    if (unit == unit_)
        return value_;
    return ticks(*this) / ticksPerUnit(unit);
}

MTime::Unit MTime::uiUnit() {
    return g_uiUnit;
}

MStatus MTime::setUIUnit(Unit unit) {
    if (!isValid(unit))
        return MStatus::kInvalidParameter;
    g_uiUnit = unit;
    return MStatus::kSuccess;
}

bool MTime::operator==(const MTime& other) const {
    return ticks(*this) == ticks(other);
}
bool MTime::operator!=(const MTime& other) const {
    return ticks(*this) != ticks(other);
}
bool MTime::operator<(const MTime& other) const {
    return ticks(*this) < ticks(other);
}
bool MTime::operator>(const MTime& other) const {
    return ticks(*this) > ticks(other);
}
bool MTime::operator<=(const MTime& other) const {
    return ticks(*this) <= ticks(other);
}
bool MTime::operator>=(const MTime& other) const {
    return ticks(*this) >= ticks(other);
}

MTime MTime::operator+(const MTime& other) const {
    return MTime(value_ + other.as(unit_), unit_);
}

MTime MTime::operator-(const MTime& other) const {
    return MTime(value_ - other.as(unit_), unit_);
}

MTime& MTime::operator+=(const MTime& other) {
    return *this = *this + other;
}
MTime& MTime::operator-=(const MTime& other) {
    return *this = *this - other;
}
MTime MTime::operator+(double value) const {
    return MTime(value_ + value, unit_);
}
MTime MTime::operator-(double value) const {
    return MTime(value_ - value, unit_);
}
MTime MTime::operator*(double factor) const {
    return MTime(value_ * factor, unit_);
}
MTime MTime::operator/(double divisor) const {
    return MTime(value_ / divisor, unit_);
}
