#include <maya/MTime.h>

#include <cmath>
#include <cstring>

#include "types/time_units.h"

namespace {

// Every unit is a whole number of ticks of 1/6000 second, so converting through ticks keeps
// whole frames exact in every unit (1 film frame = 250 ticks, 1 NTSC field = 100). The
// user-defined unit has no fixed rate here: the stand-in refuses it.
// Listed in enum order, so that a unit's entry is found by its number.
constexpr types::TimeUnitInfo kUnits[] = {
    {MTime::kHours, 21600000, "hour"}, {MTime::kMinutes, 360000, "min"},
    {MTime::kSeconds, 6000, "sec"},    {MTime::kMilliseconds, 6, "millisec"},
    {MTime::kGames, 400, "game"},      {MTime::kFilm, 250, "film"},
    {MTime::kPALFrame, 240, "pal"},    {MTime::kNTSCFrame, 200, "ntsc"},
    {MTime::kShowScan, 125, "show"},   {MTime::kPALField, 120, "palf"},
    {MTime::kNTSCField, 100, "ntscf"}, {MTime::k2FPS, 3000, "2fps"},
    {MTime::k3FPS, 2000, "3fps"},      {MTime::k4FPS, 1500, "4fps"},
    {MTime::k5FPS, 1200, "5fps"},      {MTime::k6FPS, 1000, "6fps"},
    {MTime::k8FPS, 750, "8fps"},       {MTime::k10FPS, 600, "10fps"},
    {MTime::k12FPS, 500, "12fps"},     {MTime::k16FPS, 375, "16fps"},
    {MTime::k20FPS, 300, "20fps"},     {MTime::k40FPS, 150, "40fps"},
    {MTime::k75FPS, 80, "75fps"},      {MTime::k80FPS, 75, "80fps"},
    {MTime::k100FPS, 60, "100fps"},    {MTime::k120FPS, 50, "120fps"},
    {MTime::k125FPS, 48, "125fps"},    {MTime::k150FPS, 40, "150fps"},
    {MTime::k200FPS, 30, "200fps"},    {MTime::k240FPS, 25, "240fps"},
    {MTime::k250FPS, 24, "250fps"},    {MTime::k300FPS, 20, "300fps"},
    {MTime::k375FPS, 16, "375fps"},    {MTime::k400FPS, 15, "400fps"},
    {MTime::k500FPS, 12, "500fps"},    {MTime::k600FPS, 10, "600fps"},
    {MTime::k750FPS, 8, "750fps"},     {MTime::k1200FPS, 5, "1200fps"},
    {MTime::k1500FPS, 4, "1500fps"},   {MTime::k2000FPS, 3, "2000fps"},
    {MTime::k3000FPS, 2, "3000fps"},   {MTime::k6000FPS, 1, "6000fps"},
};

constexpr bool inEnumOrder() {
    int expected = MTime::kHours;
    for (const types::TimeUnitInfo& info : kUnits) {
        if (info.unit != expected++)
            return false;
    }
    return expected == MTime::kUserDef;
}
static_assert(inEnumOrder(), "the unit table follows MTime::Unit from kHours to k6000FPS");

double ticksPerUnit(MTime::Unit unit) {
    const types::TimeUnitInfo* info = types::timeUnitInfo(unit);
    return info ? info->ticks : 0.0;
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

namespace types {

const TimeUnitInfo* timeUnitInfo(MTime::Unit unit) {
    if (unit < MTime::kHours || unit >= MTime::kUserDef)
        return nullptr;
    return &kUnits[unit - MTime::kHours];
}

const TimeUnitInfo* timeUnitNamed(const char* melName) {
    for (const TimeUnitInfo& info : kUnits) {
        if (std::strcmp(info.melName, melName) == 0)
            return &info;
    }
    return nullptr;
}

}  // namespace types

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
