// MTime and MDistance: enum values, defaults, conversions and comparisons.

#include <gtest/gtest.h>
#include <maya/MDistance.h>
#include <maya/MTime.h>

#include <cmath>
#include <ostream>

namespace {

class TypesUnits : public ::testing::Test {
  protected:
    void TearDown() override {
        MTime::setUIUnit(MTime::kFilm);
        MDistance::setUIUnit(MDistance::kCentimeters);
    }
};

}  // namespace

// Every unit with its number and how many of it make a second.
TEST_F(TypesUnits, TimeUnitsNumbersAndRates) {
    struct Row {
        MTime::Unit unit;
        int number;
        double perSecond;
    };
    const Row rows[] = {
        {MTime::kHours, 1, 1.0 / 3600}, {MTime::kMinutes, 2, 1.0 / 60},
        {MTime::kSeconds, 3, 1},        {MTime::kMilliseconds, 4, 1000},
        {MTime::kGames, 5, 15},         {MTime::kFilm, 6, 24},
        {MTime::kPALFrame, 7, 25},      {MTime::kNTSCFrame, 8, 30},
        {MTime::kShowScan, 9, 48},      {MTime::kPALField, 10, 50},
        {MTime::kNTSCField, 11, 60},    {MTime::k2FPS, 12, 2},
        {MTime::k3FPS, 13, 3},          {MTime::k4FPS, 14, 4},
        {MTime::k5FPS, 15, 5},          {MTime::k6FPS, 16, 6},
        {MTime::k8FPS, 17, 8},          {MTime::k10FPS, 18, 10},
        {MTime::k12FPS, 19, 12},        {MTime::k16FPS, 20, 16},
        {MTime::k20FPS, 21, 20},        {MTime::k40FPS, 22, 40},
        {MTime::k75FPS, 23, 75},        {MTime::k80FPS, 24, 80},
        {MTime::k100FPS, 25, 100},      {MTime::k120FPS, 26, 120},
        {MTime::k125FPS, 27, 125},      {MTime::k150FPS, 28, 150},
        {MTime::k200FPS, 29, 200},      {MTime::k240FPS, 30, 240},
        {MTime::k250FPS, 31, 250},      {MTime::k300FPS, 32, 300},
        {MTime::k375FPS, 33, 375},      {MTime::k400FPS, 34, 400},
        {MTime::k500FPS, 35, 500},      {MTime::k600FPS, 36, 600},
        {MTime::k750FPS, 37, 750},      {MTime::k1200FPS, 38, 1200},
        {MTime::k1500FPS, 39, 1500},    {MTime::k2000FPS, 40, 2000},
        {MTime::k3000FPS, 41, 3000},    {MTime::k6000FPS, 42, 6000},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.number, row.unit);
        EXPECT_EQ(row.perSecond, MTime(1.0, MTime::kSeconds).as(row.unit)) << row.number;
        EXPECT_DOUBLE_EQ(1.0, MTime(row.perSecond, row.unit).as(MTime::kSeconds)) << row.number;
        EXPECT_TRUE(MTime::setUIUnit(row.unit)) << row.number;
    }
    EXPECT_EQ(0, MTime::kInvalid);
    EXPECT_EQ(43, MTime::kUserDef);
    EXPECT_EQ(44, MTime::kLast);
    // The stand-in knows no rate for a user-defined unit: it is refused like an invalid one.
    for (MTime::Unit refused : {MTime::kInvalid, MTime::kUserDef, MTime::kLast}) {
        EXPECT_EQ(MStatus::kInvalidParameter, MTime::setUIUnit(refused).statusCode());
        EXPECT_EQ(0.0, MTime(1.0, MTime::kSeconds).as(refused));
    }
    EXPECT_EQ(MTime::k6000FPS, MTime::uiUnit());
}

// MTime() is 0 in the UI unit; a value without a unit is in film frames whatever the UI unit.
TEST_F(TypesUnits, TimeWithoutAUnitIsInFilmFrames) {
    EXPECT_EQ(MTime::kFilm, MTime::uiUnit());
    EXPECT_EQ(MStatus::kSuccess, MTime::setUIUnit(MTime::kNTSCFrame).statusCode());
    EXPECT_EQ(MTime::kNTSCFrame, MTime::uiUnit());
    EXPECT_EQ(MTime::kFilm, MTime(3.0).unit());
    EXPECT_TRUE(MTime(3.0) == MTime(0.125, MTime::kSeconds));
    EXPECT_EQ(MTime::kNTSCFrame, MTime().unit());
    EXPECT_EQ(0.0, MTime().value());
    EXPECT_EQ(MStatus::kInvalidParameter, MTime::setUIUnit(MTime::kInvalid).statusCode());
    EXPECT_EQ(MTime::kNTSCFrame, MTime::uiUnit());
}

// Times are whole ticks of 1/6000 s: a value is rounded to the nearest tick, and times that
// round to the same tick are equal however they were written.
TEST_F(TypesUnits, TimeRoundsToTheNearestTick) {
    const MTime oneTick(1.0 / 6000.0, MTime::kSeconds);
    EXPECT_EQ(1.0 / 6000.0, oneTick.as(MTime::kSeconds));
    EXPECT_TRUE(MTime(1.0001, MTime::kFilm) == MTime(1.0, MTime::kFilm));   // 0.025 tick off
    EXPECT_TRUE(MTime(1.003, MTime::kFilm) == MTime(1.004, MTime::kFilm));  // both tick 251
    EXPECT_EQ(251.0 / 250.0, MTime(1.003, MTime::kFilm).value());
    EXPECT_TRUE(MTime(0.08, MTime::kMilliseconds) == MTime(0.0, MTime::kSeconds));
    EXPECT_TRUE(MTime(0.5 / 6000.0, MTime::kSeconds) == oneTick);  // half a tick rounds up
    EXPECT_TRUE(MTime(-0.6 / 6000.0, MTime::kSeconds) == MTime(-1.0 / 6000, MTime::kSeconds));
    EXPECT_TRUE(MTime(1.0 / 3.0, MTime::kNTSCFrame) < MTime(0.34, MTime::kNTSCFrame));
    EXPECT_EQ(0.0, MTime(std::nan(""), MTime::kFilm).value());
    EXPECT_GT(MTime(1e300, MTime::kHours).value(), 4e8);  // saturates, no overflow
    // Arithmetic works on ticks: adding stays exact, scaling rounds again.
    EXPECT_TRUE(MTime(1.0, MTime::kFilm) + oneTick + oneTick ==
                MTime(252.0 / 6000.0, MTime::kSeconds));
    EXPECT_TRUE(MTime(1.0, MTime::kFilm) / 3.0 == MTime(83.0 / 6000.0, MTime::kSeconds));
}

struct FramesPerSecond {
    MTime::Unit unit;
    double perSecond;
};

// By unit: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const FramesPerSecond& c, std::ostream* out) {
    *out << c.unit;
}

class TypesTimeRates : public ::testing::TestWithParam<FramesPerSecond> {};

TEST_P(TypesTimeRates, OneSecondInEachUnit) {
    const FramesPerSecond p = GetParam();
    EXPECT_DOUBLE_EQ(p.perSecond, MTime(1.0, MTime::kSeconds).as(p.unit));
    EXPECT_TRUE(MTime(p.perSecond, p.unit) == MTime(1.0, MTime::kSeconds));
    EXPECT_DOUBLE_EQ(1.0, MTime(p.perSecond * 7, p.unit).as(MTime::kSeconds) / 7);
}

INSTANTIATE_TEST_SUITE_P(
    AllUnits, TypesTimeRates,
    ::testing::Values(FramesPerSecond{MTime::kHours, 1.0 / 3600},
                      FramesPerSecond{MTime::kMinutes, 1.0 / 60},
                      FramesPerSecond{MTime::kSeconds, 1},
                      FramesPerSecond{MTime::kMilliseconds, 1000},
                      FramesPerSecond{MTime::kGames, 15}, FramesPerSecond{MTime::kFilm, 24},
                      FramesPerSecond{MTime::kPALFrame, 25}, FramesPerSecond{MTime::kNTSCFrame, 30},
                      FramesPerSecond{MTime::kShowScan, 48}, FramesPerSecond{MTime::kPALField, 50},
                      FramesPerSecond{MTime::kNTSCField, 60}));

TEST_F(TypesUnits, TimeComparisonsConvertFirst) {
    EXPECT_TRUE(MTime(60, MTime::kSeconds) == MTime(1, MTime::kMinutes));
    EXPECT_TRUE(MTime(1, MTime::kFilm) == MTime(2.5, MTime::kNTSCField));
    EXPECT_TRUE(MTime(24, MTime::kFilm) < MTime(31, MTime::kNTSCFrame));
    EXPECT_TRUE(MTime(24, MTime::kFilm) > MTime(29, MTime::kNTSCFrame));
    EXPECT_TRUE(MTime(24, MTime::kFilm) <= MTime(30, MTime::kNTSCFrame));
    EXPECT_TRUE(MTime(24, MTime::kFilm) >= MTime(30, MTime::kNTSCFrame));
    EXPECT_TRUE(MTime(24, MTime::kFilm) != MTime(23, MTime::kFilm));
}

TEST_F(TypesUnits, TimeSetUnitKeepsTheInstant) {
    MTime t(48, MTime::kFilm);
    EXPECT_EQ(MStatus::kSuccess, t.setUnit(MTime::kSeconds).statusCode());
    EXPECT_EQ(MTime::kSeconds, t.unit());
    EXPECT_DOUBLE_EQ(2.0, t.value());
    t.setValue(3);
    EXPECT_DOUBLE_EQ(72.0, t.as(MTime::kFilm));
    EXPECT_EQ(MStatus::kInvalidParameter, t.setUnit(MTime::kInvalid).statusCode());
    EXPECT_EQ(MTime::kSeconds, t.unit());
    const MTime sum = MTime(1, MTime::kSeconds) + MTime(12, MTime::kFilm);
    EXPECT_EQ(MTime::kSeconds, sum.unit());
    EXPECT_DOUBLE_EQ(1.5, sum.value());
}

TEST_F(TypesUnits, DistanceEnumValuesAndDefaults) {
    EXPECT_EQ(0, MDistance::kInvalid);
    EXPECT_EQ(1, MDistance::kInches);
    EXPECT_EQ(2, MDistance::kFeet);
    EXPECT_EQ(3, MDistance::kYards);
    EXPECT_EQ(4, MDistance::kMiles);
    EXPECT_EQ(5, MDistance::kMillimeters);
    EXPECT_EQ(6, MDistance::kCentimeters);
    EXPECT_EQ(7, MDistance::kKilometers);
    EXPECT_EQ(8, MDistance::kMeters);
    const MDistance d;
    EXPECT_EQ(0.0, d.value());
    EXPECT_EQ(MDistance::kCentimeters, d.unit());
    EXPECT_EQ(MDistance::kCentimeters, MDistance::internalUnit());
    EXPECT_EQ(MDistance::kCentimeters, MDistance::uiUnit());
    EXPECT_EQ(MStatus::kNotImplemented,
              MDistance::setInternalUnit(MDistance::kMeters).statusCode());
}

struct CentimetresPer {
    MDistance::Unit unit;
    double centimetres;
};

// By unit: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const CentimetresPer& c, std::ostream* out) {
    *out << c.unit;
}

class TypesDistanceUnits : public ::testing::TestWithParam<CentimetresPer> {};

TEST_P(TypesDistanceUnits, Conversions) {
    const CentimetresPer p = GetParam();
    EXPECT_DOUBLE_EQ(p.centimetres, MDistance(1, p.unit).asCentimeters());
    EXPECT_DOUBLE_EQ(1.0, MDistance(p.centimetres, MDistance::kCentimeters).as(p.unit));
}

INSTANTIATE_TEST_SUITE_P(AllUnits, TypesDistanceUnits,
                         ::testing::Values(CentimetresPer{MDistance::kInches, 2.54},
                                           CentimetresPer{MDistance::kFeet, 30.48},
                                           CentimetresPer{MDistance::kYards, 91.44},
                                           CentimetresPer{MDistance::kMiles, 160934.4},
                                           CentimetresPer{MDistance::kMillimeters, 0.1},
                                           CentimetresPer{MDistance::kCentimeters, 1},
                                           CentimetresPer{MDistance::kKilometers, 100000},
                                           CentimetresPer{MDistance::kMeters, 100}));

TEST_F(TypesUnits, DistanceShortcutsAndSetUnit) {
    const MDistance foot(1, MDistance::kFeet);
    EXPECT_DOUBLE_EQ(12.0, foot.asInches());
    EXPECT_DOUBLE_EQ(1.0 / 3, foot.asYards());
    EXPECT_DOUBLE_EQ(1.0 / 5280, foot.asMiles());
    EXPECT_DOUBLE_EQ(304.8, foot.asMillimeters());
    EXPECT_DOUBLE_EQ(0.3048, foot.asMeters());
    EXPECT_DOUBLE_EQ(0.0003048, foot.asKilometers());
    EXPECT_DOUBLE_EQ(1.0, foot.asFeet());
    // Exact where the module needs it: 5 cm in mm and m, millimetres to centimetres.
    EXPECT_EQ(50.0, MDistance(5.0, MDistance::kCentimeters).as(MDistance::kMillimeters));
    EXPECT_EQ(0.05, MDistance(5.0, MDistance::kCentimeters).as(MDistance::kMeters));
    MDistance d;
    d.setUnit(MDistance::kMillimeters);
    d.setValue(123.0);
    EXPECT_EQ(12.3, d.as(MDistance::internalUnit()));
    MDistance kept(2.0, MDistance::kMeters);
    kept.setUnit(MDistance::kFeet);
    EXPECT_EQ(2.0, kept.value());  // setUnit relabels, it does not convert
    MStatus status;
    EXPECT_EQ(0.0, kept.as(MDistance::kInvalid, &status));
    EXPECT_EQ(MStatus::kInvalidParameter, status.statusCode());
    EXPECT_EQ(MStatus::kSuccess, MDistance::setUIUnit(MDistance::kMillimeters).statusCode());
    EXPECT_EQ(MDistance::kMillimeters, MDistance::uiUnit());
    EXPECT_EQ(MStatus::kInvalidParameter, MDistance::setUIUnit(MDistance::kInvalid).statusCode());
}
