#include <maya/MTime.h>

#include <cmath>

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

// The nearest whole tick. Counts beyond about 50000 years saturate rather than overflow; up
// to there (2^53 ticks) a double holds every count exactly, so sums go through doubles too.
long long nearestTick(double ticks) {
    constexpr double kLimit = 9007199254740992.0;
    if (std::isnan(ticks))
        return 0;
    if (ticks >= kLimit)
        return static_cast<long long>(kLimit);
    if (ticks <= -kLimit)
        return -static_cast<long long>(kLimit);
    return std::llround(ticks);
}

MTime::Unit g_uiUnit = MTime::kFilm;

}  // namespace

MTime::MTime() : unit_(g_uiUnit) {}

MTime::MTime(double value, Unit unit) : unit_(isValid(unit) ? unit : kInvalid) {
    setValue(value);
}

double MTime::value() const {
    return as(unit_);
}

MStatus MTime::setUnit(Unit unit) {
    if (!isValid(unit))
        return MStatus::kInvalidParameter;
    unit_ = unit;
    return MStatus::kSuccess;
}

MStatus MTime::setValue(double value) {
    ticks_ = nearestTick(value * ticksPerUnit(unit_));
    return MStatus::kSuccess;
}

double MTime::as(Unit unit) const {
    if (!isValid(unit))
        return 0.0;
    return static_cast<double>(ticks_) / ticksPerUnit(unit);
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
    return ticks_ == other.ticks_;
}
bool MTime::operator!=(const MTime& other) const {
    return ticks_ != other.ticks_;
}
bool MTime::operator<(const MTime& other) const {
    return ticks_ < other.ticks_;
}
bool MTime::operator>(const MTime& other) const {
    return ticks_ > other.ticks_;
}
bool MTime::operator<=(const MTime& other) const {
    return ticks_ <= other.ticks_;
}
bool MTime::operator>=(const MTime& other) const {
    return ticks_ >= other.ticks_;
}

MTime MTime::operator+(const MTime& other) const {
    MTime sum(*this);
    sum.ticks_ = nearestTick(static_cast<double>(ticks_) + static_cast<double>(other.ticks_));
    return sum;
}

MTime MTime::operator-(const MTime& other) const {
    MTime difference(*this);
    difference.ticks_ =
        nearestTick(static_cast<double>(ticks_) - static_cast<double>(other.ticks_));
    return difference;
}

MTime& MTime::operator+=(const MTime& other) {
    return *this = *this + other;
}
MTime& MTime::operator-=(const MTime& other) {
    return *this = *this - other;
}
MTime MTime::operator+(double value) const {
    return MTime(this->value() + value, unit_);
}
MTime MTime::operator-(double value) const {
    return MTime(this->value() - value, unit_);
}
MTime MTime::operator*(double factor) const {
    return MTime(value() * factor, unit_);
}
MTime MTime::operator/(double divisor) const {
    return MTime(value() / divisor, unit_);
}
