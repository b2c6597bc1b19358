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
        // Fixed rates: kNFPS is N frames a second.
        k2FPS = 12,
        k3FPS = 13,
        k4FPS = 14,
        k5FPS = 15,
        k6FPS = 16,
        k8FPS = 17,
        k10FPS = 18,
        k12FPS = 19,
        k16FPS = 20,
        k20FPS = 21,
        k40FPS = 22,
        k75FPS = 23,
        k80FPS = 24,
        k100FPS = 25,
        k120FPS = 26,
        k125FPS = 27,
        k150FPS = 28,
        k200FPS = 29,
        k240FPS = 30,
        k250FPS = 31,
        k300FPS = 32,
        k375FPS = 33,
        k400FPS = 34,
        k500FPS = 35,
        k600FPS = 36,
        k750FPS = 37,
        k1200FPS = 38,
        k1500FPS = 39,
        k2000FPS = 40,
        k3000FPS = 41,
        k6000FPS = 42,
        kUserDef = 43,  // a rate the user defines; not supported by the stand-in
        kLast = 44,
    };

    // 0 in the UI time unit at the time of construction.
    MTime();
    // Without a unit, film frames whatever the UI unit: MTime(5.0) is 5/24 second.
    MTime(double value, Unit unit = kFilm);
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
