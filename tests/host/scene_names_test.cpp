// Names, clash renaming, paths and their resolution, shortest unique names.

#include <maya/MSelectionList.h>

#include "scene_fixture.h"

namespace scenetest {
namespace {

struct CandidateCase {
    const char* taken;
    const char* next;
};

class NextCandidate : public ::testing::TestWithParam<CandidateCase> {};

TEST_P(NextCandidate, IncrementsTrailingNumberOrAppendsOne) {
    EXPECT_EQ(scene::nextCandidate(GetParam().taken), GetParam().next);
}

INSTANTIATE_TEST_SUITE_P(Names, NextCandidate,
                         ::testing::Values(CandidateCase{"Bob", "Bob1"},
                                           CandidateCase{"Bob1", "Bob2"},
                                           CandidateCase{"Bob9", "Bob10"},
                                           CandidateCase{"a1b", "a1b1"},
                                           CandidateCase{"Hips_translateX", "Hips_translateX1"}));

TEST(ValidName, ReplacesCharactersANodeNameCannotHold) {
    EXPECT_EQ(scene::validName("Force Plate:1"), "Force_Plate_1");
    EXPECT_EQ(scene::validName("1abc"), "_1abc");
    EXPECT_EQ(scene::validName("ok_Name2"), "ok_Name2");
    EXPECT_EQ(scene::validName(""), "");
}

TEST(GlobMatch, StarAndQuestionMark) {
    EXPECT_TRUE(scene::globMatch("p*", "pCube1"));
    EXPECT_TRUE(scene::globMatch("*Cube?", "pCube1"));
    EXPECT_FALSE(scene::globMatch("*Cube?", "pCube12"));
    EXPECT_TRUE(scene::globMatch("Hips", "Hips"));
    EXPECT_FALSE(scene::globMatch("Hips", "Hips1"));
}

using Names = SceneTest;

TEST_F(Names, NewNodesAvoidEveryNameRenamesOnlySiblings) {
    EXPECT_EQ(one("group -em -n Bob"), "Bob");
    EXPECT_EQ(one("group -em -n Bob"), "Bob1");
    EXPECT_EQ(one("group -em -n Bob1"), "Bob2");
    mel("group -em -n Hips -p Bob");
    EXPECT_EQ(one("group -em -n Hips -p Bob1"), "Hips1");  // a new node: taken anywhere
    EXPECT_EQ(one("rename Bob1|Hips1 Hips"), "Hips");      // a rename: siblings only
    EXPECT_EQ(scene().fullPath(node("Bob1|Hips")), "|Bob1|Hips");
    mel("group -em -n Spine -p Bob");
    EXPECT_EQ(one("rename Bob|Spine Hips"), "Hips1");
    EXPECT_EQ(one("polyCube -ch 0 -n Hips"), "Hips2");
}

TEST_F(Names, ModifierRenameAndReparentAvoidOnlySiblings) {
    mel("group -em -n Bob");
    mel("group -em -n Alice");
    for (const char* group : {"Bob", "Alice"}) {
        MSelectionList list;
        list.add(group);
        MObject parent;
        list.getDependNode(0, parent);
        MDagModifier mod;
        MObject t = mod.createNode(kLocatorType);
        mod.renameNode(t, "Hips");
        mod.reparentNode(t, parent);
        ASSERT_TRUE(mod.doIt());
    }
    EXPECT_EQ(scene().match("Hips").size(), 2u);
    EXPECT_EQ(scene().fullPath(node("Alice|Hips")), "|Alice|Hips");
}

TEST_F(Names, DgNodesShareTheNameSpaceOfTopLevelNodes) {
    mel("group -em -n Hips_translateX");
    mel("group -em -n Hips");
    mel("setKeyframe -at tx -t 1 -v 2 Hips");
    EXPECT_EQ(one("keyframe -q -n Hips.tx"), "Hips_translateX1");
}

TEST_F(Names, FullPartialAndShortNamesResolveOrFailWithTheHostsWords) {
    mel("group -em -n Bob");
    mel("group -em -n Alice");
    groupUnder("Hips", "Bob");
    groupUnder("Hips", "Alice");
    mel("group -em -n Spine -p |Bob|Hips");
    EXPECT_EQ(scene().fullPath(node("|Bob|Hips")), "|Bob|Hips");
    EXPECT_EQ(scene().fullPath(node("Alice|Hips")), "|Alice|Hips");
    EXPECT_EQ(scene().fullPath(node("Hips|Spine")), "|Bob|Hips|Spine");
    EXPECT_EQ(scene().fullPath(node("Spine")), "|Bob|Hips|Spine");

    std::string error;
    EXPECT_EQ(scene().lookup("Hips", &error), nullptr);
    EXPECT_EQ(error, "More than one object matches name: Hips");
    EXPECT_EQ(scene().lookup("Nobody", &error), nullptr);
    EXPECT_EQ(error, "No object matches name: Nobody");
    EXPECT_EQ(scene().lookup("|Hips", &error), nullptr);  // not at the top
    EXPECT_EQ(scene().lookup("Bob||Hips", &error), nullptr);
    EXPECT_EQ(scene().match("*|Hips").size(), 2u);
}

TEST_F(Names, ShortestUniqueNameGrowsIntoAPartialPathOnlyWhenNeeded) {
    mel("group -em -n Bob");
    mel("group -em -n Alice");
    groupUnder("Hips", "Bob");
    groupUnder("Hips", "Alice");
    mel("group -em -n Spine -p |Bob|Hips");
    mel("group -em -n Pelvis -p |Alice|Hips");
    groupUnder("Hips", "|Alice|Hips|Pelvis");
    groupUnder("Alice", "Spine");
    groupUnder("Hips", "Spine|Alice");
    EXPECT_EQ(scene().shortestUniqueName(node("|Bob")), "Bob");
    EXPECT_EQ(scene().shortestUniqueName(node("|Bob|Hips")), "Bob|Hips");
    EXPECT_EQ(scene().shortestUniqueName(node("Spine")), "Spine");
    EXPECT_EQ(scene().shortestUniqueName(node("Pelvis|Hips")), "Pelvis|Hips");
    EXPECT_EQ(scene().shortestUniqueName(node("Spine|Alice|Hips")), "Spine|Alice|Hips");
    EXPECT_EQ(scene().shortestUniqueName(node("|Alice|Hips")), "|Alice|Hips");

    MSelectionList list;
    ASSERT_TRUE(list.add("Bob|Hips"));
    ASSERT_TRUE(list.add("Spine"));
    ASSERT_TRUE(list.add("|Alice|Hips"));
    MStringArray strings;
    ASSERT_TRUE(list.getSelectionStrings(strings));
    ASSERT_EQ(strings.length(), 3u);
    EXPECT_STREQ(strings[0].asChar(), "Bob|Hips");
    EXPECT_STREQ(strings[1].asChar(), "Spine");
    EXPECT_STREQ(strings[2].asChar(), "|Alice|Hips");
}

TEST_F(Names, NamesGivenUpByDeleteOrRenameAreTakenAgain) {
    for (const char* made : {"Bob", "Bob1", "Bob2"}) {
        EXPECT_EQ(one("group -em -n Bob"), made);
    }
    mel("delete Bob1");
    EXPECT_EQ(one("group -em -n Bob"), "Bob1");
    mel("rename Bob2 Ann");
    EXPECT_EQ(one("group -em -n Bob"), "Bob2");
    EXPECT_EQ(one("group -em -n Bob"), "Bob3");
    EXPECT_EQ(scene().fullPath(node("Ann")), "|Ann");
    EXPECT_TRUE(scene().match("Bob2|*").empty());

    for (const char* made : {"transform1", "transform2", "transform3"}) {
        EXPECT_EQ(one("createNode transform"), made);
    }
    mel("delete transform2");
    EXPECT_EQ(one("createNode transform"), "transform2");
    EXPECT_EQ(one("createNode transform"), "transform4");
}

TEST_F(Names, RenameKeepsUniquenessAndRefusesPaths) {
    mel("group -em -n A");
    mel("group -em -n B");
    EXPECT_EQ(one("rename B A"), "A1");
    EXPECT_EQ(one("rename A1 A1"), "A1");
    EXPECT_EQ(one("rename A1 \"has space\""), "has_space");
    EXPECT_TRUE(melFails("rename has_space \"a|b\""));
    EXPECT_TRUE(melFails("rename Nobody C"));
    mel("select -r A");
    EXPECT_EQ(one("rename C"), "C");  // the first selected object
}

}  // namespace
}  // namespace scenetest
