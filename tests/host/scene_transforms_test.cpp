// World transforms, parenting that keeps the world position, and the two constraints.

#include <cmath>
#include <random>

#include "scene_fixture.h"

namespace scenetest {
namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(Matrices, ComposeThenDecomposeGivesTheSameMatrixForRandomTransforms) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> angle(-kPi, kPi), len(-50, 50), scale(0.1, 3);
    for (int i = 0; i < 500; ++i) {
        std::array<double, 3> t{len(rng), len(rng), len(rng)};
        std::array<double, 3> r{angle(rng), angle(rng) / 2, angle(rng)};
        std::array<double, 3> s{scale(rng), scale(rng), scale(rng)};
        scene::Matrix m = scene::composeTRS(t, r, s);
        std::array<double, 3> t2, r2, s2;
        scene::decomposeTRS(m, &t2, &r2, &s2);
        scene::Matrix back = scene::composeTRS(t2, r2, s2);
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 4; ++col) {
                ASSERT_NEAR(back[row][col], m[row][col], 1e-9) << i;
            }
        }
        scene::Matrix product = scene::multiply(m, scene::inverse(m));
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 4; ++col) {
                ASSERT_NEAR(product[row][col], row == col ? 1.0 : 0.0, 1e-9);
            }
        }
    }
}

TEST(Matrices, RotateOrderXyzAppliesXFirstForRowVectors) {
    // (0, 1, 0) turned 90 degrees about X goes to (0, 0, 1); then about Z it stays there.
    scene::Matrix m = scene::composeTRS({0, 0, 0}, {kPi / 2, 0, kPi / 2}, {1, 1, 1});
    double p[3] = {0, 1, 0};
    double out[3] = {0, 0, 0};
    for (int j = 0; j < 3; ++j) {
        for (int k = 0; k < 3; ++k) {
            out[j] += p[k] * m[k][j];
        }
    }
    EXPECT_NEAR(out[0], 0, 1e-12);
    EXPECT_NEAR(out[1], 0, 1e-12);
    EXPECT_NEAR(out[2], 1, 1e-12);
}

TEST(Matrices, GimbalLockDecomposesWithZeroZ) {
    scene::Matrix m = scene::composeTRS({0, 0, 0}, {0.3, kPi / 2, 0.2}, {1, 1, 1});
    std::array<double, 3> t, r, s;
    scene::decomposeTRS(m, &t, &r, &s);
    EXPECT_DOUBLE_EQ(r[2], 0.0);
    scene::Matrix back = scene::composeTRS(t, r, s);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            EXPECT_NEAR(back[row][col], m[row][col], 1e-9);
        }
    }
}

class Transforms : public SceneTest {
  protected:
    std::array<double, 3> worldPosition(const std::string& name) {
        scene::Matrix w = scene().worldMatrix(node(name));
        return {w[3][0], w[3][1], w[3][2]};
    }
    std::array<double, 3> values(const std::string& plug) {
        std::vector<std::string> r = mel("getAttr " + plug);
        return {std::stod(r.at(0)), std::stod(r.at(1)), std::stod(r.at(2))};
    }
};

TEST_F(Transforms, WorldMatrixFollowsTheParentChain) {
    mel("group -em -n A");
    mel("group -em -n B -p A");
    mel("setAttr A.t 10 0 0");
    mel("setAttr A.r 0 0 90");
    mel("setAttr A.s 2 2 2");
    mel("setAttr B.t 1 0 0");
    auto p = worldPosition("B");
    EXPECT_NEAR(p[0], 10, 1e-9);
    EXPECT_NEAR(p[1], 2, 1e-9);  // (1,0,0) scaled by 2, turned 90 degrees about Z
    EXPECT_NEAR(p[2], 0, 1e-9);
}

TEST_F(Transforms, ParentKeepsTheWorldPositionAndRenamesOnASiblingClash) {
    mel("group -em -n Target");
    mel("setAttr Target.t 5 0 0");
    mel("setAttr Target.r 0 90 0");
    mel("group -em -n Child");
    groupUnder("Child", "Target");
    mel("setAttr |Child.t 1 2 3");
    mel("setAttr |Child.r 10 20 30");
    scene::Matrix before = scene().worldMatrix(node("|Child"));
    mel("select -r |Child");
    mel("select -tgl Target");
    EXPECT_EQ(mel("parent"), Strings{"Child1"});
    scene::Matrix after = scene().worldMatrix(node("Target|Child1"));
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(after[r][c], before[r][c], 1e-9);
        }
    }
    auto local = values("Child1.t");
    EXPECT_NEAR(local[0], -3, 1e-9);  // (1,2,3) - (5,0,0), turned back by -90 about Y
    EXPECT_NEAR(local[1], 2, 1e-9);
    EXPECT_NEAR(local[2], -4, 1e-9);
    EXPECT_EQ(mel("listRelatives -c -f Target"), (Strings{"|Target|Child", "|Target|Child1"}));
}

TEST_F(Transforms, ParentRelativeAndWorldAndItsErrors) {
    mel("group -em -n P");
    mel("setAttr P.t 1 1 1");
    mel("group -em -n C");
    mel("setAttr C.t 2 0 0");
    mel("parent -r C P");
    EXPECT_EQ(values("C.t")[0], 2);
    EXPECT_NEAR(worldPosition("C")[0], 3, 1e-12);
    mel("parent -w C");
    EXPECT_EQ(scene().fullPath(node("C")), "|C");
    EXPECT_NEAR(values("C.t")[0], 3, 1e-12);
    mel("select -cl");
    EXPECT_TRUE(melFails("parent"));
    mel("select -r C");
    EXPECT_TRUE(melFails("parent"));
    EXPECT_TRUE(melFails("parent P C|P"));
    mel("parent C P");
    EXPECT_TRUE(melFails("parent P C"));  // under its own child
    EXPECT_TRUE(melFails("parent C P"));  // already there
    EXPECT_TRUE(melFails("parent -add C P"));
}

TEST_F(Transforms, PointAndOrientConstraintsMatchTheTargetsAndDeleteCnKeepsTheValues) {
    mel("group -em -n Dof");
    mel("setAttr Dof.t 4 5 6");
    mel("setAttr Dof.r 30 40 50");
    mel("polyCube -w 5 -h 5 -d 5 -sx 1 -sy 1 -sz 1 -ax 0 1 0 -tx 1 -ch 0 -n Rot_Dof");
    mel("select -r Rot_Dof");
    mel("select -tgl Dof");
    mel("parent");
    mel("select -r Dof");
    mel("select -tgl Rot_Dof");
    EXPECT_EQ(mel("pointConstraint"), Strings{"Rot_Dof_pointConstraint1"});
    EXPECT_EQ(mel("orientConstraint"), Strings{"Rot_Dof_orientConstraint1"});
    EXPECT_EQ(mel("listRelatives -c Rot_Dof"),
              (Strings{"Rot_DofShape", "Rot_Dof_pointConstraint1", "Rot_Dof_orientConstraint1"}));
    for (double v : values("Rot_Dof.t")) {
        EXPECT_NEAR(v, 0, 1e-9);
    }
    for (double v : values("Rot_Dof.r")) {
        EXPECT_NEAR(v, 0, 1e-9);
    }
    // The constraint follows its target.
    mel("setAttr Dof.t 0 0 0");
    mel("select -r Rot_Dof");
    mel("delete -cn");
    EXPECT_TRUE(mel("ls -type constraint").empty());
    for (double v : values("Rot_Dof.t")) {
        EXPECT_NEAR(v, 0, 1e-9);
    }
    for (double v : values("Rot_Dof.r")) {
        EXPECT_NEAR(v, 0, 1e-9);
    }
    EXPECT_EQ(mel("setAttr Rot_Dof.tx 1"), Strings{});  // no longer driven
}

TEST_F(Transforms, ConstraintValuesAreBakedWhenDeleted) {
    mel("group -em -n T1");
    mel("group -em -n T2");
    mel("setAttr T1.t 2 0 0");
    mel("setAttr T2.t 4 2 0");
    mel("setAttr T2.r 0 0 90");
    mel("group -em -n Parent");
    mel("setAttr Parent.t 0 0 10");
    mel("group -em -n Driven -p Parent");
    mel("pointConstraint -n pc T1 T2 Driven");
    auto p = worldPosition("Driven");
    EXPECT_NEAR(p[0], 3, 1e-9);
    EXPECT_NEAR(p[1], 1, 1e-9);
    EXPECT_NEAR(p[2], 0, 1e-9);
    EXPECT_TRUE(melFails("setAttr Driven.tx 1"));
    mel("orientConstraint T2 Driven");
    EXPECT_NEAR(values("Driven.r")[2], 90, 1e-9);
    mel("delete -cn Driven");
    auto baked = values("Driven.t");
    EXPECT_NEAR(baked[0], 3, 1e-9);
    EXPECT_NEAR(baked[2], -10, 1e-9);
    EXPECT_NEAR(values("Driven.r")[2], 90, 1e-9);
}

TEST_F(Transforms, ConstraintErrors) {
    mel("group -em -n A");
    mel("select -r A");
    EXPECT_TRUE(melFails("pointConstraint"));
    EXPECT_TRUE(melFails("pointConstraint -mo A A"));
    EXPECT_TRUE(melFails("orientConstraint -w 0.5 A A"));
    EXPECT_TRUE(melFails("pointConstraint A A"));  // a node cannot drive itself
    mel("group -em -n B");
    mel("setKeyframe -at tx B");
    EXPECT_TRUE(melFails("pointConstraint A B"));  // already driven by a curve
    EXPECT_TRUE(melFails("pointConstraint A Nobody"));
    mel("select -cl");
    EXPECT_TRUE(melFails("delete -cn"));  // nothing to act on
}

}  // namespace
}  // namespace scenetest
