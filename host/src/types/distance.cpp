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

double MDistance::asInches() const {
    return as(kInches);
}
double MDistance::asFeet() const {
    return as(kFeet);
}
double MDistance::asYards() const {
    return as(kYards);
}
double MDistance::asMiles() const {
    return as(kMiles);
}
double MDistance::asMillimeters() const {
    return as(kMillimeters);
}
double MDistance::asCentimeters() const {
    return as(kCentimeters);
}
double MDistance::asKilometers() const {
    return as(kKilometers);
}
double MDistance::asMeters() const {
    return as(kMeters);
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
