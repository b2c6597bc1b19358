// CreateOffsetCubes on scenes built with MEL: the exact MEL it issues, where the cubes end
// up, which nodes the walk over the selection reaches, and cubes whose names are taken.

#include <algorithm>
#include <cmath>

#include <host/faults.h>

#include "CommandsFixture.h"

namespace commandstest {
namespace {

// The MEL that makes one cube and puts it in place, as the command issues it.
Strings cubeCommands(const std::string& edge, const std::string& requested, const std::string& made,
                     const std::string& dof) {
    return {"polyCube -w " + edge + " -h " + edge + " -d " + edge +
                " -sx 1 -sy 1 -sz 1 -ax 0 1 0 -tx 1 -ch 0 -n " + requested,
            "select -r " + made,
            "select -tgl " + dof,
            "parent",
            "select -r " + dof,
            "select -tgl " + made,
            "pointConstraint",
            "orientConstraint",
            "select -r " + made,
            "delete -cn"};
}

Strings concat(std::initializer_list<Strings> parts) {
    Strings all;
    for (const Strings& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

void expectSameMatrix(const scene::Matrix& expected, const scene::Matrix& actual) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            EXPECT_NEAR(expected[row][col], actual[row][col], 1e-9) << row << "," << col;
        }
    }
}

class CreateOffsetCubes : public CommandsTest {
  protected:
    // Every cube transform in the scene, by full path, sorted.
    static Strings cubes() {
        Strings paths;
        for (const std::string& shape : mel("ls -type mesh -l")) {
            paths.push_back(shape.substr(0, shape.rfind('|')));
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    // The two cubes of each DOF node, by full path, sorted.
    static Strings cubesOf(const Strings& dofPaths) {
        Strings paths;
        for (const std::string& dof : dofPaths) {
            const std::string leaf = dof.substr(dof.rfind('|') + 1);
            paths.push_back(dof + "|Rot_" + leaf);
            paths.push_back(dof + "|Pos_" + leaf);
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
};

struct UnitCase {
    const char* unit;
    const char* edge;
};

class CreateOffsetCubesUnits : public CreateOffsetCubes,
                               public ::testing::WithParamInterface<UnitCase> {};

TEST_P(CreateOffsetCubesUnits, IssuesTheCubeCommandsWithA5cmEdgeInTheUiUnit) {
    const std::string dof = node("Hips", group("Bob"));
    mel(std::string("currentUnit -l ") + GetParam().unit);
    select("Bob");

    EXPECT_EQ(concat({{"listRelatives -c -f Bob", "listRelatives -c -f |Bob|Hips"},
                      cubeCommands(GetParam().edge, "Rot_Hips", "Rot_Hips", dof),
                      cubeCommands(GetParam().edge, "Pos_Hips", "Pos_Hips", dof)}),
              issuedBy("CreateOffsetCubes"));
    // Whatever the UI unit, the cube's corners lie 2.5 cm from its centre.
    std::string error;
    const scene::Node* shape = scene::theScene().lookup("Rot_HipsShape", &error);
    ASSERT_NE(shape, nullptr) << error;
    ASSERT_EQ(8u, shape->points.size());
    for (const auto& point : shape->points) {
        for (double coordinate : point) {
            EXPECT_NEAR(2.5, std::fabs(coordinate), 1e-6);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(UiUnits, CreateOffsetCubesUnits,
                         ::testing::Values(UnitCase{"cm", "5.000000"}, UnitCase{"mm", "50.000000"},
                                           UnitCase{"m", "0.050000"}),
                         [](const auto& info) { return std::string(info.param.unit); });

TEST_F(CreateOffsetCubes, PlacesBothCubesAtTheDofNodeWithItsOrientation) {
    const std::string bob = group("Bob");
    const std::string dof = node("Hips", bob);
    mel("setAttr |Bob.translate 10 -4 2");
    mel("setAttr |Bob.rotate 0 90 15");
    mel("setAttr |Bob|Hips.translate 3 4 5");
    mel("setAttr |Bob|Hips.rotate 30 -20 45");
    select("Bob");

    EXPECT_TRUE(runCommand("CreateOffsetCubes"));

    EXPECT_EQ((Strings{"DOFLocator1", "Rot_Hips", "Pos_Hips"}), children(dof));
    for (const char* cube : {"|Bob|Hips|Rot_Hips", "|Bob|Hips|Pos_Hips"}) {
        SCOPED_TRACE(cube);
        // The constraints are gone: the mesh shape is the cube's only child.
        EXPECT_EQ(1u, children(cube).size());
        expectSameMatrix(worldMatrix(dof), worldMatrix(cube));
    }
    EXPECT_TRUE(mel("ls -type constraint").empty());
}

struct WalkCase {
    const char* name;
    const char* selection;  // as given to "select -r"; empty: nothing selected
    Strings dofNodesWithCubes;
};

class CreateOffsetCubesWalk : public CreateOffsetCubes,
                              public ::testing::WithParamInterface<WalkCase> {};

TEST_P(CreateOffsetCubesWalk, StopsAtTheFirstDofNodeOnEachBranch) {
    // |Bob|Hips|Spine       DOF below a DOF
    // |Bob|Feet|Knee        DOF below a node whose only locator is a marker
    // |Bob|Props|Head       DOF below a plain group
    // |DOFLocatorRig|Ann|Neck  a group whose name holds a locator type name
    const std::string bob = group("Bob");
    node("Spine", node("Hips", bob));
    node("Knee", node("Feet", bob, "MarkerLocator"));
    node("Head", group("Props", bob));
    node("Neck", group("Ann", group("DOFLocatorRig")));
    if (*GetParam().selection != '\0') {
        select(GetParam().selection);
    }
    const Strings selectedBefore = selection();

    EXPECT_TRUE(runCommand("CreateOffsetCubes"));

    EXPECT_EQ(cubesOf(GetParam().dofNodesWithCubes), cubes());
    EXPECT_EQ(selectedBefore, selection());
}

INSTANTIATE_TEST_SUITE_P(
    Selections, CreateOffsetCubesWalk,
    ::testing::Values(WalkCase{"Nothing", "", {}},
                      WalkCase{"Group", "Bob", {"|Bob|Hips", "|Bob|Feet|Knee", "|Bob|Props|Head"}},
                      WalkCase{"DofNode", "Hips", {"|Bob|Hips"}},
                      WalkCase{"DofBelowDof", "Spine", {"|Bob|Hips|Spine"}},
                      WalkCase{"MarkerNode", "Feet", {"|Bob|Feet|Knee"}},
                      WalkCase{"PlainGroupInside", "Props", {"|Bob|Props|Head"}},
                      WalkCase{"GroupNamedLikeAType", "DOFLocatorRig", {"|DOFLocatorRig|Ann|Neck"}},
                      WalkCase{"Several", "Spine Props", {"|Bob|Hips|Spine", "|Bob|Props|Head"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CreateOffsetCubes, TwoSubjectsWithTheSameSegmentEachGetTheirOwnCubes) {
    const std::string bobHips = node("Hips", group("Bob"));
    const std::string annHips = node("Hips", group("Ann"));
    mel("setAttr |Ann.translate 100 0 0");
    mel("setAttr |Ann|Hips.rotate 0 0 90");
    select("Bob Ann");

    const Strings issued = issuedBy("CreateOffsetCubes");

    EXPECT_EQ((Strings{"DOFLocator1", "Rot_Hips", "Pos_Hips"}), children(bobHips));
    EXPECT_EQ((Strings{"DOFLocator2", "Rot_Hips1", "Pos_Hips1"}), children(annHips));
    for (const std::string& cube : {annHips + "|Rot_Hips1", annHips + "|Pos_Hips1"}) {
        expectSameMatrix(worldMatrix(annHips), worldMatrix(cube));
    }
    // Ann's cubes are asked for by the segment's name and addressed by the name they got.
    EXPECT_EQ(concat({{"listRelatives -c -f Bob", "listRelatives -c -f |Bob|Hips"},
                      cubeCommands("5.000000", "Rot_Hips", "Rot_Hips", bobHips),
                      cubeCommands("5.000000", "Pos_Hips", "Pos_Hips", bobHips),
                      {"listRelatives -c -f Ann", "listRelatives -c -f |Ann|Hips"},
                      cubeCommands("5.000000", "Rot_Hips", "Rot_Hips1", annHips),
                      cubeCommands("5.000000", "Pos_Hips", "Pos_Hips1", annHips)}),
              issued);
}

TEST_F(CreateOffsetCubes, ASecondRunAddsCubesAndLeavesTheFirstOnesInPlace) {
    const std::string dof = node("Hips", group("Bob"));
    select("Bob");
    EXPECT_TRUE(runCommand("CreateOffsetCubes"));
    mel("setAttr |Bob|Hips.translate 7 8 9");

    EXPECT_TRUE(runCommand("CreateOffsetCubes"));

    EXPECT_EQ((Strings{"DOFLocator1", "Rot_Hips", "Pos_Hips", "Rot_Hips1", "Pos_Hips1"}),
              children(dof));
    for (const char* cube : {"Rot_Hips", "Pos_Hips", "Rot_Hips1", "Pos_Hips1"}) {
        expectSameMatrix(worldMatrix(dof), worldMatrix(dof + "|" + cube));
    }
}

TEST_F(CreateOffsetCubes, ACubeThatCannotBeMadeLeavesOlderCubesOfThatNameAlone) {
    const std::string bobHips = node("Hips", group("Bob"));
    const std::string annHips = node("Hips", group("Ann"));
    select("Bob");
    EXPECT_TRUE(runCommand("CreateOffsetCubes"));
    select("Ann");
    host::injectFault(host::Fault::MelCommand, "polyCube");
    testing::internal::CaptureStderr();

    const Strings issued = issuedBy("CreateOffsetCubes");

    testing::internal::GetCapturedStderr();
    host::clearFaults();
    EXPECT_EQ((Strings{"DOFLocator1", "Rot_Hips", "Pos_Hips"}), children(bobHips));
    EXPECT_EQ((Strings{"DOFLocator2"}), children(annHips));
    EXPECT_EQ(4u, issued.size());  // two children queries, two refused cubes
}

}  // namespace
}  // namespace commandstest
