// Channel animators keying nodes of the stand-in's scene: key times, distance conversion,
// value types and missing values, Euler continuity, and the frame walk of a datagroup.
#include <gtest/gtest.h>

#include <maya/MDagModifier.h>
#include <maya/MDistance.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>
#include <maya/MTime.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <host/scene.h>

#include "EulerAngles.h"
#include "RotationMatrix.h"
#include "TakeInMemory.h"
#include "import/ChannelAnimator.h"

using namespace kfile;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kAttributes[kChannelSlotCount] = {"rx", "ry", "rz", "tx", "ty", "tz"};
constexpr ChannelSlot kAllSlots[kChannelSlotCount] = {kSlotRX, kSlotRY, kSlotRZ,
                                                      kSlotTX, kSlotTY, kSlotTZ};

struct Key {
    double time;  // in the UI time unit
    double value;
};

using Keys = std::vector<Key>;

class ChannelAnimatorTest : public ::testing::Test {
  protected:
    void SetUp() override { host::resetScene(); }
    void TearDown() override { host::resetScene(); }

    MObject makeTransform(const char* name) {
        MDagModifier modifier;
        MObject node = modifier.createNode("transform");
        modifier.renameNode(node, name);
        modifier.doIt();
        return node;
    }

    MPlug plugOf(const MObject& node, ChannelSlot slot) {
        return MFnDependencyNode(node).findPlug(kAttributes[slot]);
    }

    // Binds each slot to the channel of the same position in `channels` (-1: left unbound),
    // as the import driver binds a node's labels.
    std::unique_ptr<ChannelAnimator> animate(const MObject& node, int32_t group,
                                             const std::vector<int32_t>& channels) {
        auto animator = std::make_unique<ChannelAnimator>(group);
        for (ChannelSlot slot : kAllSlots) {
            const int32_t channel =
                slot < static_cast<int32_t>(channels.size()) ? channels[slot] : -1;
            if (channel >= 0) {
                animator->setChannelIndex(slot, channel);
                animator->setCurve(slot, std::make_unique<MFnAnimCurve>(
                                             findOrCreateAnimCurve(plugOf(node, slot))));
            }
        }
        return animator;
    }

    Keys keysOf(const MObject& node, ChannelSlot slot) {
        MStatus status;
        MFnAnimCurve curve(plugOf(node, slot), &status);
        Keys keys;
        if (!status) {
            return keys;
        }
        for (unsigned int i = 0; i < curve.numKeys(); ++i) {
            keys.push_back({curve.time(i).as(MTime::uiUnit()), curve.value(i)});
        }
        return keys;
    }

    std::vector<double> timesOf(const MObject& node, ChannelSlot slot) {
        std::vector<double> times;
        for (const Key& key : keysOf(node, slot)) {
            times.push_back(key.time);
        }
        return times;
    }
};

// Every slot bound, in slot order: rx, ry, rz from channels 0-2, tx, ty, tz from 3-5.
const std::vector<int32_t> kSixChannels = {0, 1, 2, 3, 4, 5};

// Key times ----------------------------------------------------------------------------------

struct TimeCase {
    const char* title;
    MTime::Unit uiUnit;
    float rate;
    int32_t frame;
    double expectedTime;  // in the UI unit
};

// By name: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const TimeCase& c, std::ostream* out) {
    *out << c.title;
}

class KeyTimeTest : public ChannelAnimatorTest, public ::testing::WithParamInterface<TimeCase> {};

TEST_P(KeyTimeTest, FrameOverRateInTheUiUnit) {
    const TimeCase& c = GetParam();
    MTime::setUIUnit(c.uiUnit);
    MObject node = makeTransform("Hips");
    auto animator = animate(node, 0, {-1, -1, -1, 0});
    animator->addFrameKeys(*makeRecord(0, c.frame, kValueDouble, {10.0}), c.rate);
    const Keys keys = keysOf(node, kSlotTX);
    ASSERT_EQ(keys.size(), 1u);
    // The host may hold times as whole ticks of 1/6000 s: allow half a tick.
    const double halfTick = MTime(0.5 / 6000, MTime::kSeconds).as(c.uiUnit);
    EXPECT_NEAR(keys[0].time, c.expectedTime, std::fabs(c.expectedTime) * 1e-12 + halfTick);
}

INSTANTIATE_TEST_SUITE_P(
    Units, KeyTimeTest,
    ::testing::Values(TimeCase{"Film", MTime::kFilm, 120, 240, 48},
                      TimeCase{"NtscFrame", MTime::kNTSCFrame, 120, 121, 30.25},
                      TimeCase{"NtscField", MTime::kNTSCField, 60, 7, 7},
                      TimeCase{"Seconds", MTime::kSeconds, 100, 250, 2.5},
                      TimeCase{"Milliseconds", MTime::kMilliseconds, 100, 3, 30},
                      TimeCase{"Minutes", MTime::kMinutes, 120, 14400, 2},
                      TimeCase{"Hours", MTime::kHours, 50, 360000, 2},
                      TimeCase{"NegativeFrame", MTime::kFilm, 48, -96, -48},
                      // The stored rate, not a whole number of frames per second.
                      TimeCase{"FractionalRate", MTime::kFilm, 119.88f, 119880,
                               24.0 / double{119.88f} * 119880},
                      // Past 2^24 a float frame number would land on its neighbour's time.
                      TimeCase{"FrameBeyondFloatPrecision", MTime::kFilm, 24, 16777217, 16777217}),
    [](const ::testing::TestParamInfo<TimeCase>& info) { return info.param.title; });

// Distances ----------------------------------------------------------------------------------

class DistanceTest : public ChannelAnimatorTest,
                     public ::testing::WithParamInterface<MDistance::Unit> {};

TEST_P(DistanceTest, MillimetresBecomeInternalUnitsWhateverTheUiUnit) {
    MDistance::setUIUnit(GetParam());
    MObject node = makeTransform("HEAD_marker");
    auto animator = animate(node, 0, {-1, -1, -1, 0, 1, 2});
    double value = 25.4;
    animator->toInternalDistance(value);
    EXPECT_DOUBLE_EQ(value, 2.54);
    animator->addFrameKeys(*makeRecord(0, 1, kValueDouble, {1234.5, -10.0, 0.0}), 24);
    EXPECT_DOUBLE_EQ(keysOf(node, kSlotTX).at(0).value, 123.45);
    EXPECT_DOUBLE_EQ(keysOf(node, kSlotTY).at(0).value, -1.0);
    EXPECT_DOUBLE_EQ(keysOf(node, kSlotTZ).at(0).value, 0.0);
}

INSTANTIATE_TEST_SUITE_P(UiUnits, DistanceTest,
                         ::testing::Values(MDistance::kMillimeters, MDistance::kCentimeters,
                                           MDistance::kMeters, MDistance::kInches,
                                           MDistance::kFeet));

// Value types and missing values -------------------------------------------------------------

class ValueTypeTest : public ChannelAnimatorTest,
                      public ::testing::WithParamInterface<KValueType> {};

TEST_P(ValueTypeTest, ValuesReadAsTheTypeAndMissingOnesGetNoKey) {
    const KValueType type = GetParam();
    MObject node = makeTransform("Hips");
    auto animator = animate(node, 0, kSixChannels);
    const std::optional<double> none;
    // Frame 0: everything present. Frame 1: ty missing. Frame 2: one rotation component
    // missing, so no rotation key at all. Frame 3: only tx present.
    animator->addFrameKeys(*makeRecord(0, 0, type, {0, 0, 0, 10, 20, 30}), 24, type);
    animator->addFrameKeys(*makeRecord(0, 1, type, {0, 0, 0, 10, none, 30}), 24, type);
    animator->addFrameKeys(*makeRecord(0, 2, type, {0, none, 0, 10, 20, 30}), 24, type);
    animator->addFrameKeys(*makeRecord(0, 3, type, {none, none, none, 10, none, none}), 24, type);
    const double ten = type == kValueBoolean ? 1.0 : 10.0;  // a Boolean reads as 0 or 1
    EXPECT_EQ(timesOf(node, kSlotTX), (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(timesOf(node, kSlotTY), (std::vector<double>{0, 2}));
    EXPECT_EQ(timesOf(node, kSlotTZ), (std::vector<double>{0, 1, 2}));
    for (ChannelSlot slot : {kSlotRX, kSlotRY, kSlotRZ}) {
        EXPECT_EQ(timesOf(node, slot), (std::vector<double>{0, 1})) << kAttributes[slot];
    }
    EXPECT_DOUBLE_EQ(keysOf(node, kSlotTX).at(0).value, ten / 10);
    EXPECT_DOUBLE_EQ(keysOf(node, kSlotTY).at(0).value, type == kValueBoolean ? 0.1 : 2.0);
}

INSTANTIATE_TEST_SUITE_P(Types, ValueTypeTest,
                         ::testing::Values(kValueShort, kValueLong, kValueFloat, kValueDouble,
                                           kValueBoolean));

TEST_F(ChannelAnimatorTest, NoKeysFromTypesThatHoldNoNumbersOrFromValuesThatAreNotFinite) {
    MObject node = makeTransform("Hips");
    auto animator = animate(node, 0, kSixChannels);
    animator->addFrameKeys(*makeRecord(0, 0, kValueBinary, {1, 2, 3, 4, 5, 6}), 24, kValueBinary);
    animator->addFrameKeys(*makeRecord(0, 1, kValueText, {1, 2, 3, 4, 5, 6}), 24, kValueText);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    animator->addFrameKeys(*makeRecord(0, 2, kValueDouble, {0, nan, 0, inf, 1, -inf}), 24);
    for (ChannelSlot slot : kAllSlots) {
        const Keys keys = keysOf(node, slot);
        const size_t expected = slot == kSlotTY ? 1 : 0;
        EXPECT_EQ(keys.size(), expected) << kAttributes[slot];
    }
    // The rotation state was not spoilt: the next frame keys the identity.
    animator->addFrameKeys(*makeRecord(0, 3, kValueDouble, {0, 0, 0, 0, 0, 0}), 24);
    EXPECT_DOUBLE_EQ(keysOf(node, kSlotRY).at(0).value, 0.0);
}

TEST_F(ChannelAnimatorTest, UnboundSlotsAndOtherDatagroupsWriteNothing) {
    MObject node = makeTransform("Hips");
    auto animator = animate(node, 1, {-1, -1, -1, 0, -1, 2});
    // A channel without a curve is never keyed either.
    animator->setChannelIndex(kSlotTY, 1);
    animator->addFrameKeys(*makeRecord(0, 5, kValueDouble, {1, 2, 3}), 24);
    EXPECT_TRUE(keysOf(node, kSlotTX).empty());
    animator->addFrameKeys(*makeRecord(1, 5, kValueDouble, {1, 2, 3}), 24);
    EXPECT_EQ(keysOf(node, kSlotTX).size(), 1u);
    EXPECT_TRUE(keysOf(node, kSlotTY).empty());
    EXPECT_EQ(keysOf(node, kSlotTZ).size(), 1u);
    EXPECT_TRUE(keysOf(node, kSlotRX).empty());
}

TEST_F(ChannelAnimatorTest, RatesThatCannotTimeKeysWriteNothing) {
    MObject node = makeTransform("Hips");
    auto animator = animate(node, 0, {-1, -1, -1, 0});
    for (float rate : {0.0f, -120.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()}) {
        animator->addFrameKeys(*makeRecord(0, 10, kValueDouble, {1.0}), rate);
    }
    EXPECT_TRUE(keysOf(node, kSlotTX).empty());
}

TEST_F(ChannelAnimatorTest, ALaterCurveForASlotReplacesTheEarlierOne) {
    MObject first = makeTransform("First");
    MObject second = makeTransform("Second");
    auto animator = animate(first, 0, {-1, -1, -1, 0});
    animator->setCurve(
        kSlotTX, std::make_unique<MFnAnimCurve>(findOrCreateAnimCurve(plugOf(second, kSlotTX))));
    EXPECT_EQ(animator->setCurve(kNoChannelSlot, std::make_unique<MFnAnimCurve>()), kNoChannelSlot);
    animator->addFrameKeys(*makeRecord(0, 1, kValueDouble, {1.0}), 24);
    EXPECT_TRUE(keysOf(first, kSlotTX).empty());
    EXPECT_EQ(keysOf(second, kSlotTX).size(), 1u);
}

// Curves behind plugs ------------------------------------------------------------------------

TEST_F(ChannelAnimatorTest, FindOrCreateAnimCurve) {
    MObject driven = makeTransform("Driven");
    MObject driver = makeTransform("Driver");
    MObject keyed = makeTransform("Keyed");

    // An unconnected plug gets a new curve, connected to it; asked again, the same curve.
    MObject curve = findOrCreateAnimCurve(plugOf(keyed, kSlotTX));
    ASSERT_FALSE(curve.isNull());
    EXPECT_TRUE(plugOf(keyed, kSlotTX).isConnected());
    EXPECT_EQ(findOrCreateAnimCurve(plugOf(keyed, kSlotTX)), curve);

    // A plug driven by something that is not a curve: no curve. The plug that drives it only
    // feeds others, so it gets a curve of its own.
    MDGModifier wiring;
    wiring.connect(plugOf(driver, kSlotTY), plugOf(driven, kSlotTY));
    wiring.doIt();
    EXPECT_TRUE(findOrCreateAnimCurve(plugOf(driven, kSlotTY)).isNull());
    MObject driverCurve = findOrCreateAnimCurve(plugOf(driver, kSlotTY));
    EXPECT_FALSE(driverCurve.isNull());
    EXPECT_NE(driverCurve, curve);
    EXPECT_EQ(findOrCreateAnimCurve(plugOf(driver, kSlotTY)), driverCurve);
}

TEST(UiFramesPerSecond, FramesOrUnitsPerSecondOfTheUiUnit) {
    const std::pair<MTime::Unit, float> table[] = {
        {MTime::kGames, 15},          {MTime::kFilm, 24},           {MTime::kPALFrame, 25},
        {MTime::kNTSCFrame, 30},      {MTime::kShowScan, 48},       {MTime::kPALField, 50},
        {MTime::kNTSCField, 60},      {MTime::kSeconds, 1},         {MTime::kMilliseconds, 1000},
        {MTime::kMinutes, 1.0f / 60}, {MTime::kHours, 1.0f / 3600}, {MTime::k2FPS, 2},
        {MTime::k100FPS, 100},        {MTime::k120FPS, 120},        {MTime::k6000FPS, 6000}};
    for (const auto& [unit, framesPerSecond] : table) {
        MTime::setUIUnit(unit);
        EXPECT_FLOAT_EQ(uiFramesPerSecond(), framesPerSecond) << "unit " << unit;
    }
    host::resetScene();
}

// Rotations ----------------------------------------------------------------------------------

struct TurnCase {
    const char* title;
    double axis[3];
    double firstAngle;
    double lastAngle;
};

class EulerContinuityTest : public ChannelAnimatorTest,
                            public ::testing::WithParamInterface<TurnCase> {};

// A steady turn, one rotation vector per frame: every key must give the rotation of its
// vector, and no angle may jump between neighbouring frames. The exports write the same angles.
TEST_P(EulerContinuityTest, KeysFollowTheTurnWithoutJumps) {
    const TurnCase& c = GetParam();
    MObject node = makeTransform("Hips");
    auto animator = animate(node, 0, kSixChannels);
    const int frames = 120;
    const double step = (c.lastAngle - c.firstAngle) / frames;
    std::vector<Matrix3> expected;
    ContinuousEuler exported;
    std::vector<std::array<double, 3>> exportedAngles;
    for (int frame = 0; frame <= frames; ++frame) {
        const double angle = c.firstAngle + step * frame;
        const double v[3] = {c.axis[0] * angle, c.axis[1] * angle, c.axis[2] * angle};
        expected.push_back(matrixOfRotationVector(v[0], v[1], v[2]));
        exportedAngles.emplace_back();
        exported.Next(v, exportedAngles.back().data());
        animator->addFrameKeys(*makeRecord(0, frame, kValueDouble, {v[0], v[1], v[2], 0, 0, 0}),
                               24);
    }
    const Keys x = keysOf(node, kSlotRX);
    const Keys y = keysOf(node, kSlotRY);
    const Keys z = keysOf(node, kSlotRZ);
    ASSERT_EQ(x.size(), expected.size());
    ASSERT_EQ(y.size(), expected.size());
    ASSERT_EQ(z.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_LT(
            largestDifference(matrixOfEulerXYZ(x[i].value, y[i].value, z[i].value), expected[i]),
            1e-9)
            << "frame " << i;
        EXPECT_NEAR(x[i].value, exportedAngles[i][0], 1e-12) << "frame " << i;
        EXPECT_NEAR(y[i].value, exportedAngles[i][1], 1e-12) << "frame " << i;
        EXPECT_NEAR(z[i].value, exportedAngles[i][2], 1e-12) << "frame " << i;
        if (i > 0) {
            for (const Keys* keys : {&x, &y, &z}) {
                EXPECT_LT(std::fabs((*keys)[i].value - (*keys)[i - 1].value), 0.5) << "frame " << i;
            }
        }
    }
}

// An oblique axis that keeps clear of gimbal lock (Y at +-pi/2), where Euler angles may swing.
const double kObliqueLength = std::sqrt(0.2 * 0.2 + 0.3 * 0.3 + 0.9 * 0.9);

INSTANTIATE_TEST_SUITE_P(
    Turns, EulerContinuityTest,
    ::testing::Values(TurnCase{"AboutZThroughPi", {0, 0, 1}, 0.5, 2 * kPi},
                      TurnCase{"AboutZPastAFullTurn", {0, 0, 1}, 0, 3 * kPi},
                      TurnCase{"AboutXBackwardsPastAFullTurn", {1, 0, 0}, 0, -3 * kPi},
                      TurnCase{"AboutYThroughTheVertical", {0, 1, 0}, 0, 2.5 * kPi},
                      TurnCase{"AboutAnObliqueAxisThroughPi",
                               {0.2 / kObliqueLength, 0.3 / kObliqueLength, 0.9 / kObliqueLength},
                               kPi / 2,
                               2.5 * kPi}),
    [](const ::testing::TestParamInfo<TurnCase>& info) { return info.param.title; });

TEST_F(ChannelAnimatorTest, FirstRotationAsDecomposedLaterOnesClosestToThePrevious) {
    MObject node = makeTransform("Hips");
    auto animator = animate(node, 0, kSixChannels);
    // 3pi/2 about X is -pi/2 about X; keyed so on the first frame.
    animator->addFrameKeys(*makeRecord(0, 0, kValueDouble, {1.5 * kPi, 0, 0}), 24);
    // A frame without a full rotation leaves the state alone ...
    animator->addFrameKeys(*makeRecord(0, 1, kValueDouble, {kPi, std::nullopt, 0}), 24);
    // ... so this one follows frame 0: -0.6pi rather than 1.4pi.
    animator->addFrameKeys(*makeRecord(0, 2, kValueDouble, {1.4 * kPi, 0, 0}), 24);
    const Keys x = keysOf(node, kSlotRX);
    ASSERT_EQ(x.size(), 2u);
    EXPECT_NEAR(x[0].value, -0.5 * kPi, 1e-12);
    EXPECT_NEAR(x[1].value, -0.6 * kPi, 1e-12);
    EXPECT_NEAR(keysOf(node, kSlotRY).at(0).value, 0.0, 1e-12);
    EXPECT_NEAR(keysOf(node, kSlotRZ).at(0).value, 0.0, 1e-12);
}

// The frame walk of a datagroup -------------------------------------------------------------

struct Walk {
    const char* title;
    // (datagroup, frame, tx in millimetres), in file order.
    std::vector<std::tuple<int16_t, int32_t, double>> records;
    std::vector<Key> expectedKeys;  // on datagroup 0's tx, value in centimetres
};

class FrameWalkTest : public ChannelAnimatorTest, public ::testing::WithParamInterface<Walk> {};

TEST_P(FrameWalkTest, KeysEachFrameOnceInAscendingOrder) {
    const Walk& walk = GetParam();
    MTime::setUIUnit(MTime::kNTSCField);
    TakeInMemory take;
    take.addGroup(0, kValueDouble, 60, 1);
    take.addGroup(1, kValueDouble, 30, 1);
    for (const auto& [group, frame, tx] : walk.records) {
        take.addRecord(group, frame, {tx});
    }
    MObject node = makeTransform("Hips");
    MObject other = makeTransform("Other");
    ChannelAnimatorList animators;
    animators.push_back(animate(node, 0, {-1, -1, -1, 0}));
    animators.push_back(animate(other, 1, {-1, -1, -1, 0}));
    keyDatagroupFrames(take.contents(), 0, animators);
    const Keys keys = keysOf(node, kSlotTX);
    ASSERT_EQ(keys.size(), walk.expectedKeys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_DOUBLE_EQ(keys[i].time, walk.expectedKeys[i].time) << "key " << i;
        EXPECT_DOUBLE_EQ(keys[i].value, walk.expectedKeys[i].value) << "key " << i;
    }
    EXPECT_TRUE(keysOf(other, kSlotTX).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Takes, FrameWalkTest,
    ::testing::Values(
        Walk{"InFileOrder", {{0, 0, 10}, {0, 1, 20}, {0, 2, 30}}, {{0, 1}, {1, 2}, {2, 3}}},
        Walk{"GapsWriteNothing", {{0, 0, 10}, {0, 7, 20}}, {{0, 1}, {7, 2}}},
        Walk{"OutOfOrderRecordsKeyedAscending",
             {{0, 3, 10}, {0, 9, 20}, {0, 5, 30}},
             {{3, 1}, {5, 3}, {9, 2}}},
        // A record whose frame comes before the frame of the file's first record is keyed.
        Walk{"FramesBeforeTheFirstRecordsFrameAreKeyed",
             {{0, 4, 10}, {0, 2, 20}, {0, 6, 30}},
             {{2, 2}, {4, 1}, {6, 3}}},
        Walk{"FirstRecordOfAFrameWins", {{0, 1, 10}, {0, 1, 20}, {0, 2, 30}}, {{1, 1}, {2, 3}}},
        Walk{"OtherDatagroupsInterleaved",
             {{1, 0, 99}, {0, 0, 10}, {1, 1, 99}, {0, 1, 20}},
             {{0, 1}, {1, 2}}},
        Walk{"FrameNumbersFarApart", {{0, 0, 10}, {0, 2000000000, 20}}, {{0, 1}, {2000000000, 2}}},
        Walk{"NoRecords", {{1, 0, 99}}, {}}),
    [](const ::testing::TestParamInfo<Walk>& info) { return info.param.title; });

TEST_F(ChannelAnimatorTest, DatagroupsAreTimedByTheirOwnRates) {
    MTime::setUIUnit(MTime::kSeconds);
    TakeInMemory take;
    take.addGroup(0, kValueDouble, 100, 1);
    take.addGroup(1, kValueFloat, 250, 1);
    take.addGroup(2, kValueDouble, 0, 1);
    for (int16_t group : {0, 1, 2}) {
        take.addRecord(group, 50, {10.0});
    }
    MObject first = makeTransform("First");
    MObject second = makeTransform("Second");
    MObject unkeyed = makeTransform("Unkeyed");
    ChannelAnimatorList animators;
    animators.push_back(animate(first, 0, {-1, -1, -1, 0}));
    animators.push_back(animate(second, 1, {-1, -1, -1, 0}));
    animators.push_back(animate(unkeyed, 2, {-1, -1, -1, 0}));
    for (int32_t group : {0, 1, 2, 3, 70000}) {
        keyDatagroupFrames(take.contents(), group, animators);
    }
    EXPECT_EQ(timesOf(first, kSlotTX), std::vector<double>{0.5});
    EXPECT_EQ(timesOf(second, kSlotTX), std::vector<double>{0.2});
    EXPECT_DOUBLE_EQ(keysOf(second, kSlotTX).at(0).value, 1.0);  // read as Float
    EXPECT_TRUE(keysOf(unkeyed, kSlotTX).empty());
    // A datagroup that cannot be keyed still has its curves.
    MStatus status;
    MFnAnimCurve curve(plugOf(unkeyed, kSlotTX), &status);
    EXPECT_TRUE(status);
}

}  // namespace
