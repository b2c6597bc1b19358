#pragma once
// A length given as a value in a unit. The scene stores lengths in the internal unit
// (centimetres); the user sees them in the UI unit.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MDistance {
  public:
    enum Unit {
        kInvalid = 0,
        kInches = 1,
        kFeet = 2,
        kYards = 3,
        kMiles = 4,
        kMillimeters = 5,
        kCentimeters = 6,
        kKilometers = 7,
        kMeters = 8,
    };

    MDistance() = default;
    MDistance(double value, Unit unit = kCentimeters);
    MDistance(const MDistance& other) = default;
    MDistance& operator=(const MDistance& other) = default;
    ~MDistance() = default;

    Unit unit() const { return unit_; }
    double value() const { return value_; }
    // Changes the unit only; the value is kept as it is.
    MStatus setUnit(Unit unit);
    MStatus setValue(double value);
    double as(Unit unit, MStatus* status = NULL) const;
    double asInches() const;
    double asFeet() const;
    double asYards() const;
    double asMiles() const;
    double asMillimeters() const;
    double asCentimeters() const;
    double asKilometers() const;
    double asMeters() const;

    static Unit uiUnit();
    static MStatus setUIUnit(Unit unit);
    static Unit internalUnit();
    // Only centimetres are supported as the internal unit here.
    static MStatus setInternalUnit(Unit unit);

  private:
    double value_ = 0.0;
    Unit unit_ = kCentimeters;
};
