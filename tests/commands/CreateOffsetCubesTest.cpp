// CreateOffsetCubes on imported takes and on scenes built with MEL: the exact MEL it issues,
// where the cubes end up, which nodes the walk over the selection reaches, and cubes whose
// names are taken.

#include <algorithm>
#include <cmath>

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
    // The children of a DOF node after its locator shape.
    static Strings cubesUnder(const std::string& dof) {
        const Strings all = children(dof);
        return Strings(all.begin() + 1, all.end());
    }
    // The cubes sit at the DOF node's origin with its orientation, at every frame.
    static void expectCubesFollow(const std::string& dof, const Strings& cubeNames) {
        for (const char* frame : {"1", "7", "12"}) {
            mel(std::string("currentTime ") + frame);
            const scene::Matrix expected = worldMatrix(dof);
            for (const std::string& cube : cubeNames) {
                const scene::Matrix actual = worldMatrix(dof + "|" + cube);
                for (int row = 0; row < 4; ++row) {
                    for (int col = 0; col < 4; ++col) {
                        EXPECT_NEAR(expected[row][col], actual[row][col], 1e-9)
                            << cube << " at frame " << frame << ", element " << row << col;
                    }
                }
            }
        }
    }
};

struct UnitCase {
    const char* unit;
    const char* edge;
};

class CreateOffsetCubesUnits : public CreateOffsetCubes,
                               public ::testing::WithParamInterface<UnitCase> {};

TEST_P(CreateOffsetCubesUnits, IssuesTheCubeCommandsWithA5cmEdgeInTheUiUnit) {
    SampleTakeOptions take;
    take.markerCount = 1;
    take.segmentCount = 1;
    importTake(take);
    mel(std::string("currentUnit -l ") + GetParam().unit);
    select("Bob");

    // The walk passes through the marker node, down to its shape; the children of a node that
    // is not a DOF node are listed twice, once to test and once to walk.
    EXPECT_EQ(
        concat({{"listRelatives -c -f Bob", "listRelatives -c -f Bob",
                 "listRelatives -c -f |Bob|LFHD_marker", "listRelatives -c -f |Bob|LFHD_marker",
                 "listRelatives -c -f |Bob|LFHD_marker|MarkerLocator1",
                 "listRelatives -c -f |Bob|LFHD_marker|MarkerLocator1",
                 "listRelatives -c -f |Bob|Hips"},
                cubeCommands(GetParam().edge, "Rot_Hips", "Rot_Hips", "|Bob|Hips"),
                cubeCommands(GetParam().edge, "Pos_Hips", "Pos_Hips", "|Bob|Hips")}),
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

struct WalkCase {
    const char* name;
    const char* selection;  // as given to "select -r"; empty: nothing selected
    Strings dofNodesWithCubes;
};

class CreateOffsetCubesWalk : public CreateOffsetCubes,
                              public ::testing::WithParamInterface<WalkCase> {};

TEST_P(CreateOffsetCubesWalk, StopsAtTheFirstDofNodeOnEachBranch) {
    // Bob imported (markers LFHD_marker, RFHD_marker; segments Hips, Spine, Chest), then
    // rearranged: |Bob|Hips|Chest        a DOF node below a DOF node |Bob|LFHD_marker|Spine a DOF
    // node below a marker node |Bob|Props|Head        a DOF node below a plain group
    // |DOFLocatorRig|Ann|Neck  below a group whose name holds a locator type's name
    importSubject("Bob");
    mel("parent |Bob|Chest |Bob|Hips");
    mel("parent |Bob|Spine |Bob|LFHD_marker");
    node("Head", group("Props", "Bob"));
    node("Neck", group("Ann", group("DOFLocatorRig")));
    if (*GetParam().selection != '\0') {
        select(GetParam().selection);
    }
    const Strings selectedBefore = selection();

    issuedBy("CreateOffsetCubes");

    EXPECT_EQ(cubesOf(GetParam().dofNodesWithCubes), cubes());
    EXPECT_EQ(selectedBefore, selection());
}

INSTANTIATE_TEST_SUITE_P(
    Selections, CreateOffsetCubesWalk,
    ::testing::Values(
        WalkCase{"Nothing", "", {}},
        WalkCase{"Subject", "Bob", {"|Bob|Hips", "|Bob|LFHD_marker|Spine", "|Bob|Props|Head"}},
        WalkCase{"DofNode", "Hips", {"|Bob|Hips"}},
        WalkCase{"DofBelowDof", "Chest", {"|Bob|Hips|Chest"}},
        WalkCase{"MarkerNode", "LFHD_marker", {"|Bob|LFHD_marker|Spine"}},
        WalkCase{"MarkerWithoutDofs", "RFHD_marker", {}},
        WalkCase{"PlainGroupInside", "Props", {"|Bob|Props|Head"}},
        WalkCase{"GroupNamedLikeAType", "DOFLocatorRig", {"|DOFLocatorRig|Ann|Neck"}},
        WalkCase{"Several", "Chest Props", {"|Bob|Hips|Chest", "|Bob|Props|Head"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CreateOffsetCubes, TwoSubjectsWithTheSameSegmentsEachGetTheirOwnCubes) {
    importSubject("Bob");
    importSubject("Ann", 60.0f, 12);
    mel("setAttr |Ann.translate 100 0 -20");
    mel("setAttr |Ann.rotate 0 45 0");
    select("Bob Ann");

    const Strings issued = issuedBy("CreateOffsetCubes");

    for (const char* segment : {"Hips", "Spine", "Chest"}) {
        SCOPED_TRACE(segment);
        const std::string bob = std::string("|Bob|") + segment;
        const std::string ann = std::string("|Ann|") + segment;
        const std::string rot = std::string("Rot_") + segment, pos = std::string("Pos_") + segment;
        EXPECT_EQ((Strings{rot, pos}), cubesUnder(bob));
        EXPECT_EQ((Strings{rot + "1", pos + "1"}), cubesUnder(ann));
        expectCubesFollow(bob, {rot, pos});
        expectCubesFollow(ann, {rot + "1", pos + "1"});
    }
    // Ann's cubes are asked for by the segment's name and addressed by the name they got.
    const Strings annHips = cubeCommands("5.000000", "Rot_Hips", "Rot_Hips1", "|Ann|Hips");
    EXPECT_NE(std::search(issued.begin(), issued.end(), annHips.begin(), annHips.end()),
              issued.end());
}

TEST_F(CreateOffsetCubes, ASecondRunAddsCubesAndLeavesTheFirstOnesInPlace) {
    const std::string dof = node("Hips", group("Bob"));
    select("Bob");
    issuedBy("CreateOffsetCubes");
    mel("setAttr |Bob|Hips.translate 7 8 9");

    issuedBy("CreateOffsetCubes");

    EXPECT_EQ((Strings{"DOFLocator1", "Rot_Hips", "Pos_Hips", "Rot_Hips1", "Pos_Hips1"}),
              children(dof));
    expectCubesFollow(dof, {"Rot_Hips", "Pos_Hips", "Rot_Hips1", "Pos_Hips1"});
}

TEST_F(CreateOffsetCubes, ACubeThatCannotBeMadeLeavesOlderCubesOfThatNameAlone) {
    const std::string bobHips = node("Hips", group("Bob"));
    const std::string annHips = node("Hips", group("Ann"));
    select("Bob");
    issuedBy("CreateOffsetCubes");
    select("Ann");
    host::injectFault(host::Fault::MelCommand, "polyCube");
    testing::internal::CaptureStderr();

    const Strings issued = issuedBy("CreateOffsetCubes");

    testing::internal::GetCapturedStderr();
    EXPECT_EQ((Strings{"DOFLocator1", "Rot_Hips", "Pos_Hips"}), children(bobHips));
    EXPECT_EQ((Strings{"DOFLocator2"}), children(annHips));
    EXPECT_EQ(5u, issued.size());  // three children queries, two refused cubes
}

}  // namespace
}  // namespace commandstest
