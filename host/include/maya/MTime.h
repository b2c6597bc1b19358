#pragma once
// A moment in time, given as a value in a unit and kept as a whole number of ticks
// (6000 per second, the value rounded to the nearest tick). Comparisons and arithmetic work
// on ticks, so MTime(60, kSeconds) == MTime(1, kMinutes) and times that round to one tick
// are equal.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MTime {
  public:
    enum Unit {
        kInvalid = 0,
        kHours = 1,
        kMinutes = 2,
        kSeconds = 3,
        kMilliseconds = 4,
        kGames = 5,       // 15 frames per second
        kFilm = 6,        // 24
        kPALFrame = 7,    // 25
        kNTSCFrame = 8,   // 30
        kShowScan = 9,    // 48
        kPALField = 10,   // 50
        kNTSCField = 11,  // 60
    };

    // Without a unit, the UI time unit at the time of construction.
    MTime();
    MTime(double value, Unit unit = uiUnit());
    MTime(const MTime& other) = default;
    MTime& operator=(const MTime& other) = default;
    ~MTime() = default;

    Unit unit() const { return unit_; }
    double value() const;
    // Changes the unit and converts the value: the instant stays the same.
    MStatus setUnit(Unit unit);
    MStatus setValue(double value);
    double as(Unit unit) const;

    static Unit uiUnit();
    static MStatus setUIUnit(Unit unit);

    bool operator==(const MTime& other) const;
    bool operator!=(const MTime& other) const;
    bool operator<(const MTime& other) const;
    bool operator>(const MTime& other) const;
    bool operator<=(const MTime& other) const;
    bool operator>=(const MTime& other) const;
    // The result has this time's unit.
    MTime operator+(const MTime& other) const;
    MTime operator-(const MTime& other) const;
    MTime& operator+=(const MTime& other);
    MTime& operator-=(const MTime& other);
    MTime operator+(double value) const;
    MTime operator-(double value) const;
    MTime operator*(double factor) const;
    MTime operator/(double divisor) const;

  private:
    long long ticks_ = 0;
    Unit unit_ = kFilm;
};
