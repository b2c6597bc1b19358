#include <maya/MDistance.h>

namespace {

// Micrometres per unit: whole numbers for every unit, so a conversion is one exact
// multiplication and one division.
double micrometresPerUnit(MDistance::Unit unit) {
    switch (unit) {
        case MDistance::kInches:
            return 25400.0;
        case MDistance::kFeet:
            return 304800.0;
        case MDistance::kYards:
            return 914400.0;
        case MDistance::kMiles:
            return 1609344000.0;
        case MDistance::kMillimeters:
            return 1000.0;
        case MDistance::kCentimeters:
            return 10000.0;
        case MDistance::kKilometers:
            return 1.0e9;
        case MDistance::kMeters:
            return 1.0e6;
        case MDistance::kInvalid:
            break;
    }
    return 0.0;
}

bool isValid(MDistance::Unit unit) {
    return micrometresPerUnit(unit) > 0.0;
}

MDistance::Unit g_uiUnit = MDistance::kCentimeters;

}  // namespace

MDistance::MDistance(double value, Unit unit)
    : value_(value), unit_(isValid(unit) ? unit : kInvalid) {}

MStatus MDistance::setUnit(Unit unit) {
    if (!isValid(unit))
        return MStatus::kInvalidParameter;
    unit_ = unit;
    return MStatus::kSuccess;
}

MStatus MDistance::setValue(double value) {
    value_ = value;
    return MStatus::kSuccess;
}

double MDistance::as(Unit unit, MStatus* status) const {
    if (!isValid(unit) || !isValid(unit_)) {
        if (status)
            *status = MStatus::kInvalidParameter;
        return 0.0;
    }
    if (status)
        *status = MStatus::kSuccess;
    if (unit == unit_)
        return value_;
    return value_ * micrometresPerUnit(unit_) / micrometresPerUnit(unit);
}

double MDistance::asInches(MStatus* status) const {
    return as(kInches, status);
}
double MDistance::asFeet(MStatus* status) const {
    return as(kFeet, status);
}
double MDistance::asYards(MStatus* status) const {
    return as(kYards, status);
}
double MDistance::asMiles(MStatus* status) const {
    return as(kMiles, status);
}
double MDistance::asMillimeters(MStatus* status) const {
    return as(kMillimeters, status);
}
double MDistance::asCentimeters(MStatus* status) const {
    return as(kCentimeters, status);
}
double MDistance::asKilometers(MStatus* status) const {
    return as(kKilometers, status);
}
double MDistance::asMeters(MStatus* status) const {
    return as(kMeters, status);
}

MDistance::Unit MDistance::uiUnit() {
    return g_uiUnit;
}

MStatus MDistance::setUIUnit(Unit unit) {
    if (!isValid(unit))
        return MStatus::kInvalidParameter;
    g_uiUnit = unit;
    return MStatus::kSuccess;
}

MDistance::Unit MDistance::internalUnit() {
    return kCentimeters;
}

MStatus MDistance::setInternalUnit(Unit unit) {
    // The scene keeps every length in centimetres; another internal unit would need every
    // stored value converted, which the stand-in does not do.
    return unit == kCentimeters ? MStatus::kSuccess : MStatus::kNotImplemented;
}
