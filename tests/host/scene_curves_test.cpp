// Animation curves through MFnAnimCurve, their evaluation, and the time ranges.

#include <maya/MAnimControl.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MPlugArray.h>

#include <host/scene.h>

#include "scene_fixture.h"

namespace scenetest {
namespace {

class Curves : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        mel("group -em -n Bob");
        MSelectionList list;
        list.add("Bob");
        list.getDependNode(0, bob_);
    }
    // MFnAnimCurve::create takes a non-const plug, so the plug is kept here.
    MPlug& plug(const char* name) {
        plug_ = MFnDependencyNode(bob_).findPlug(name);
        return plug_;
    }
    MObject bob_;
    MPlug plug_;
};

struct CurveKindCase {
    const char* attribute;
    MFnAnimCurve::AnimCurveType type;
    MFn::Type api;
    const char* typeName;
    const char* curveName;
};

class CurveKinds : public Curves, public ::testing::WithParamInterface<CurveKindCase> {};

TEST_P(CurveKinds, CreateMakesTheCurveThePlugNeedsAndConnectsIt) {
    const CurveKindCase& c = GetParam();
    MFnAnimCurve curve;
    MStatus status;
    MObject made = curve.create(plug(c.attribute), NULL, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(curve.animCurveType(), c.type);
    EXPECT_EQ(made.apiType(), c.api);
    EXPECT_TRUE(made.hasFn(MFn::kAnimCurve));
    EXPECT_STREQ(curve.typeName().asChar(), c.typeName);
    EXPECT_STREQ(curve.name().asChar(), c.curveName);
    MPlugArray sources;
    ASSERT_TRUE(plug(c.attribute).connectedTo(sources, true, false));
    EXPECT_TRUE(sources[0].node() == made);
    // A second curve on a driven plug is refused.
    MFnAnimCurve second;
    second.create(plug(c.attribute), NULL, &status);
    EXPECT_EQ(status, MStatus::kFailure);
}

INSTANTIATE_TEST_SUITE_P(
    Scene, CurveKinds,
    ::testing::Values(CurveKindCase{"tx", MFnAnimCurve::kAnimCurveTL, MFn::kAnimCurveTimeToDistance,
                                    "animCurveTL", "Bob_translateX"},
                      CurveKindCase{"rotateZ", MFnAnimCurve::kAnimCurveTA,
                                    MFn::kAnimCurveTimeToAngular, "animCurveTA", "Bob_rotateZ"},
                      CurveKindCase{"sy", MFnAnimCurve::kAnimCurveTU, MFn::kAnimCurveTimeToUnitless,
                                    "animCurveTU", "Bob_scaleY"},
                      CurveKindCase{"v", MFnAnimCurve::kAnimCurveTU, MFn::kAnimCurveTimeToUnitless,
                                    "animCurveTU", "Bob_visibility"}));

TEST_F(Curves, CreateRefusesCompoundsModifiersAndNullPlugs) {
    MFnAnimCurve curve;
    MStatus status;
    curve.create(plug("translate"), NULL, &status);
    EXPECT_EQ(status, MStatus::kFailure);
    MDGModifier mod;
    curve.create(plug("tx"), &mod, &status);
    EXPECT_EQ(status, MStatus::kNotImplemented);
    MPlug null;
    curve.create(null, NULL, &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    EXPECT_EQ(curve.addKeyframe(MTime(1.0), 1.0), MStatus::kInvalidParameter);  // unattached
}

TEST_F(Curves, KeysStayInTimeOrderAndAKeyAtATakenTimeReplacesIt) {
    MFnAnimCurve curve;
    curve.create(plug("tx"));
    const MFnAnimCurve::TangentType lin = MFnAnimCurve::kTangentLinear;
    ASSERT_TRUE(curve.addKeyframe(MTime(10.0), 3.0, lin, lin));
    ASSERT_TRUE(curve.addKeyframe(MTime(2.0), 1.0, lin, lin));
    ASSERT_TRUE(curve.addKeyframe(MTime(5.0), 2.0, lin, lin));
    ASSERT_TRUE(curve.addKeyframe(MTime(0.25, MTime::kSeconds), 7.0, MFnAnimCurve::kTangentStep,
                                  lin));  // 0.25 s is film frame 6
    ASSERT_TRUE(curve.addKeyframe(MTime(5.0), 4.0, lin, lin));
    // After the last key, and at its time.
    ASSERT_TRUE(curve.addKeyframe(MTime(12.0), 9.0, lin, lin));
    ASSERT_TRUE(curve.addKeyframe(MTime(12.0), 8.0, lin, lin));
    ASSERT_EQ(curve.numKeys(), 5u);
    const double times[] = {2, 5, 6, 10, 12};
    const double values[] = {1, 4, 7, 3, 8};
    for (unsigned i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(curve.time(i).as(MTime::kFilm), times[i]);
        EXPECT_DOUBLE_EQ(curve.value(i), values[i]);
    }
    EXPECT_EQ(curve.inTangentType(2), MFnAnimCurve::kTangentStep);
    EXPECT_EQ(curve.outTangentType(2), MFnAnimCurve::kTangentLinear);
    unsigned index = 0;
    EXPECT_TRUE(curve.find(MTime(6.0), index));
    EXPECT_EQ(index, 2u);
    MStatus status;
    curve.time(9, &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    ASSERT_TRUE(curve.remove(0));
    EXPECT_EQ(curve.numKeys(), 4u);
    EXPECT_EQ(curve.addKeyframe(MTime(1.0), 0.0, static_cast<MFnAnimCurve::TangentType>(42), lin),
              MStatus::kInvalidParameter);
}

TEST_F(Curves, EvaluatesLinearlyBetweenKeysAndHoldsTheEnds) {
    MFnAnimCurve curve;
    curve.create(plug("ty"));
    curve.addKeyframe(MTime(10.0), 0.0);
    curve.addKeyframe(MTime(20.0), 10.0);
    curve.addKeyframe(MTime(30.0), 0.0);
    struct {
        double frame, value;
    } cases[] = {{0, 0}, {10, 0}, {15, 5}, {20, 10}, {27.5, 2.5}, {30, 0}, {99, 0}};
    for (const auto& c : cases) {
        EXPECT_NEAR(curve.evaluate(MTime(c.frame)), c.value, 1e-12) << c.frame;
        MDGContext at(MTime(c.frame));
        double v = -1;
        ASSERT_TRUE(plug("ty").getValue(v, at));
        EXPECT_NEAR(v, c.value, 1e-12) << c.frame;
    }
    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(15.0)));
    MDistance d;
    ASSERT_TRUE(plug("ty").getValue(d));
    EXPECT_NEAR(d.asCentimeters(), 5.0, 1e-12);
    EXPECT_NEAR(number("getAttr Bob.ty"), 5.0, 1e-12);
    EXPECT_NEAR(number("getAttr -t 25 Bob.ty"), 5.0, 1e-12);
}

TEST_F(Curves, KeyTimesFollowTheUiTimeUnit) {
    MFnAnimCurve curve;
    curve.create(plug("rx"));
    curve.addKeyframe(MTime(48.0, MTime::kFilm), 1.0);
    MTime::setUIUnit(MTime::kNTSCFrame);
    EXPECT_EQ(curve.time(0).unit(), MTime::kNTSCFrame);
    EXPECT_DOUBLE_EQ(curve.time(0).value(), 60.0);
    EXPECT_EQ(mel("keyframe -q -tc Bob.rx"), Strings{"60"});
    std::vector<double> times;  // the same, read from the scene
    EXPECT_TRUE(host::keyTimes("Bob.rotateX", &times));
    EXPECT_EQ(times, std::vector<double>{60.0});
    EXPECT_TRUE(host::keyTimes("Bob.ry", &times));
    EXPECT_TRUE(times.empty());
    std::string error;
    EXPECT_FALSE(host::keyTimes("Bob.nothing", &times, &error));
    EXPECT_EQ(error, "No attribute: Bob.nothing");
    EXPECT_FALSE(host::keyTimes("Nobody.rx", &times));
    EXPECT_EQ(mel("keyframe -q -vc Bob.rx"), Strings{"57.2957795130823"});  // degrees
}

TEST_F(Curves, FunctionSetOnAPlugAttachesToItsCurve) {
    MFnAnimCurve made;
    made.create(plug("tz"));
    made.addKeyframe(MTime(1.0), 2.0);
    MStatus status;
    MFnAnimCurve found(plug("tz"), &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(found.numKeys(), 1u);
    MFnAnimCurve none(plug("tx"), &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    MFnAnimCurve notACurve(bob_, &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
}

using Ranges = SceneTest;

TEST_F(Ranges, NewSceneDefaultsAndSetMinMaxWidensTheAnimationRange) {
    EXPECT_DOUBLE_EQ(MAnimControl::minTime().as(MTime::kFilm), 1.0);
    EXPECT_DOUBLE_EQ(MAnimControl::maxTime().as(MTime::kFilm), 24.0);
    EXPECT_DOUBLE_EQ(MAnimControl::animationStartTime().as(MTime::kFilm), 1.0);
    EXPECT_DOUBLE_EQ(MAnimControl::animationEndTime().as(MTime::kFilm), 48.0);
    EXPECT_EQ(MAnimControl::maxTime().unit(), MTime::uiUnit());

    ASSERT_TRUE(MAnimControl::setMinMaxTime(MTime(), MTime(240.0)));
    EXPECT_DOUBLE_EQ(MAnimControl::minTime().as(MTime::kFilm), 0.0);
    EXPECT_DOUBLE_EQ(MAnimControl::maxTime().as(MTime::kFilm), 240.0);
    EXPECT_DOUBLE_EQ(MAnimControl::animationStartTime().as(MTime::kFilm), 0.0);
    EXPECT_DOUBLE_EQ(MAnimControl::animationEndTime().as(MTime::kFilm), 240.0);
    EXPECT_TRUE(MAnimControl::maxTime() < MTime(241.0));
    EXPECT_EQ(MAnimControl::setMinMaxTime(MTime(5.0), MTime(4.0)), MStatus::kInvalidParameter);
    EXPECT_DOUBLE_EQ(MAnimControl::maxTime().as(MTime::kFilm), 240.0);

    ASSERT_TRUE(MAnimControl::setAnimationStartEndTime(MTime(10.0), MTime(20.0)));
    EXPECT_DOUBLE_EQ(MAnimControl::minTime().as(MTime::kFilm), 10.0);
    EXPECT_DOUBLE_EQ(MAnimControl::maxTime().as(MTime::kFilm), 20.0);
}

TEST_F(Ranges, PlaybackOptionsQueriesAndSetsInTheUiUnit) {
    EXPECT_EQ(one("playbackOptions -q -max"), "24");
    mel("playbackOptions -min 0 -max 100");
    EXPECT_EQ(one("playbackOptions -q -min"), "0");
    EXPECT_EQ(one("playbackOptions -q -aet"), "100");
    EXPECT_EQ(one("playbackOptions -query -animationStartTime"), "0");
    MTime::setUIUnit(MTime::kNTSCFrame);
    EXPECT_EQ(one("playbackOptions -q -max"), "125");
    MTime::setUIUnit(MTime::kFilm);
    mel("playbackOptions -ast 10 -aet 50");
    EXPECT_EQ(one("playbackOptions -q -min"), "10");
    EXPECT_EQ(one("playbackOptions -q -max"), "50");
    EXPECT_TRUE(melFails("playbackOptions -min 60 -max 50"));
    EXPECT_TRUE(melFails("playbackOptions -q -min -max"));
    EXPECT_TRUE(melFails("playbackOptions -q"));
    EXPECT_TRUE(melFails("playbackOptions -min"));
    EXPECT_TRUE(melFails("playbackOptions -by 2"));
    EXPECT_TRUE(melFails("playbackOptions -min abc"));
    EXPECT_EQ(one("playbackOptions -q -max"), "50");
}

// The current time is where plugs evaluate when no time is given, through MEL and the API.
TEST_F(Curves, CurrentTimeMovesWhereCurvesEvaluate) {
    MFnAnimCurve curve;
    curve.create(plug("tx"));
    const MFnAnimCurve::TangentType lin = MFnAnimCurve::kTangentLinear;
    curve.addKeyframe(MTime(0.0), 0.0, lin, lin);
    curve.addKeyframe(MTime(10.0), 10.0, lin, lin);

    EXPECT_EQ(one("currentTime -q"), "1");  // a new scene starts at frame 1
    EXPECT_EQ(one("currentTime 4"), "4");
    EXPECT_TRUE(MAnimControl::currentTime() == MTime(4.0, MTime::kFilm));
    EXPECT_EQ(one("getAttr Bob.tx"), "4");

    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(0.25, MTime::kSeconds)));
    EXPECT_EQ(one("currentTime -query"), "6");
    EXPECT_EQ(MAnimControl::currentTime().unit(), MTime::kFilm);
    MTime::setUIUnit(MTime::kNTSCFrame);
    EXPECT_EQ(one("currentTime -q"), "7.5");
    EXPECT_EQ(MAnimControl::currentTime().unit(), MTime::kNTSCFrame);
    mel("currentTime -e 3 -u false");  // frame 3 at 30 fps: 2.4 film frames
    double tx = 0.0;
    plug("tx").getValue(tx);
    EXPECT_DOUBLE_EQ(tx, 2.4);
    MTime::setUIUnit(MTime::kFilm);

    EXPECT_TRUE(melFails("currentTime"));
    EXPECT_TRUE(melFails("currentTime 1 2"));
    EXPECT_TRUE(melFails("currentTime abc"));
    EXPECT_TRUE(melFails("currentTime -q 5"));
    EXPECT_TRUE(melFails("currentTime -by 2"));
    EXPECT_EQ(one("currentTime -q"), "2.4");
}

}  // namespace
}  // namespace scenetest
