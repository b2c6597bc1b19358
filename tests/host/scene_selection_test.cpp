// The active selection through MGlobal and MSelectionList, and the select command.

#include <ostream>

#include "scene_fixture.h"

namespace scenetest {
namespace {

class Selection : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        for (const char* g : {"A", "B", "C"}) {
            mel(std::string("group -em -n ") + g);
        }
        groupUnder("Hips", "A");
        groupUnder("Hips", "B");
        mel("select -cl");
    }
};

struct AdjustCase {
    MGlobal::ListAdjustment adjustment;
    const char* name;
    Strings expected;  // starting from A, B selected
};

// By name: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const AdjustCase& c, std::ostream* out) {
    *out << c.name;
}

class SelectByName : public Selection, public ::testing::WithParamInterface<AdjustCase> {};

TEST_P(SelectByName, AppliesTheListAdjustment) {
    ASSERT_TRUE(MGlobal::selectByName("A", MGlobal::kAddToList));
    ASSERT_TRUE(MGlobal::selectByName("B", MGlobal::kAddToList));
    ASSERT_TRUE(MGlobal::selectByName(GetParam().name, GetParam().adjustment));
    EXPECT_EQ(selection(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Scene, SelectByName,
    ::testing::Values(AdjustCase{MGlobal::kReplaceList, "C", {"|C"}},
                      AdjustCase{MGlobal::kAddToList, "C", {"|A", "|B", "|C"}},
                      AdjustCase{MGlobal::kAddToList, "A", {"|A", "|B"}},
                      AdjustCase{MGlobal::kXORWithList, "A", {"|B"}},
                      AdjustCase{MGlobal::kXORWithList, "C", {"|A", "|B", "|C"}},
                      AdjustCase{MGlobal::kRemoveFromList, "B", {"|A"}},
                      AdjustCase{MGlobal::kAddToList, "A|Hips", {"|A", "|B", "|A|Hips"}}));

TEST_F(Selection, SelectByNameFailsAndKeepsTheSelectionForMissingOrAmbiguousNames) {
    ASSERT_TRUE(MGlobal::selectByName("A"));
    EXPECT_FALSE(MGlobal::selectByName("Nobody", MGlobal::kReplaceList));
    EXPECT_FALSE(MGlobal::selectByName("Hips", MGlobal::kReplaceList));
    EXPECT_FALSE(MGlobal::selectByName(""));
    EXPECT_EQ(selection(), Strings{"|A"});
}

TEST_F(Selection, TheModulesLookupClearsSelectsAndReadsBackTheFirstObject) {
    mel("select -r B C");
    MSelectionList empty;
    ASSERT_TRUE(MGlobal::setActiveSelectionList(empty, MGlobal::kReplaceList));
    EXPECT_TRUE(selection().empty());
    ASSERT_TRUE(MGlobal::selectByName("|B|Hips", MGlobal::kAddToList));
    MSelectionList active;
    ASSERT_TRUE(MGlobal::getActiveSelectionList(active));
    ASSERT_EQ(active.length(), 1u);
    MObject first;
    ASSERT_TRUE(active.getDependNode(0, first));
    EXPECT_STREQ(MFnDagNode(first).fullPathName().asChar(), "|B|Hips");
    MObject none;
    EXPECT_EQ(active.getDependNode(1, none), MStatus::kInvalidParameter);
}

TEST_F(Selection, SetActiveSelectionListRestoresASavedList) {
    mel("select -r C A");
    MSelectionList saved;
    MGlobal::getActiveSelectionList(saved);
    mel("select -r B");
    ASSERT_TRUE(MGlobal::setActiveSelectionList(saved));
    EXPECT_EQ(selection(), (Strings{"|C", "|A"}));
    MSelectionList more;
    more.add("B");
    ASSERT_TRUE(MGlobal::setActiveSelectionList(more, MGlobal::kAddToList));
    EXPECT_EQ(selection(), (Strings{"|C", "|A", "|B"}));
    ASSERT_TRUE(MGlobal::setActiveSelectionList(more, MGlobal::kRemoveFromList));
    EXPECT_EQ(selection(), (Strings{"|C", "|A"}));
    MStringArray strings;
    saved.getSelectionStrings(strings);
    ASSERT_EQ(strings.length(), 2u);
    EXPECT_STREQ(strings[0].asChar(), "C");
}

TEST_F(Selection, DeletedNodesLeaveTheSelection) {
    mel("select -r A|Hips B");
    mel("delete A");
    EXPECT_EQ(selection(), Strings{"|B"});
    EXPECT_EQ(mel("ls -sl"), Strings{"B"});
}

TEST_F(Selection, SelectCommandModesAndErrors) {
    mel("select -r A B");
    mel("select -tgl A");
    EXPECT_EQ(selection(), Strings{"|B"});
    mel("select -add C");
    mel("select -d B");
    EXPECT_EQ(selection(), Strings{"|C"});
    mel("select \"*|Hips\"");
    EXPECT_EQ(selection(), (Strings{"|A|Hips", "|B|Hips"}));
    EXPECT_TRUE(melFails("select -r A Hips"));  // ambiguous: nothing changes
    EXPECT_TRUE(melFails("select -r Nobody"));
    EXPECT_TRUE(melFails("select -r -add A"));
    EXPECT_TRUE(melFails("select -x A"));
    EXPECT_EQ(selection(), (Strings{"|A|Hips", "|B|Hips"}));
    EXPECT_EQ(mel("ls -sl"), (Strings{"A|Hips", "B|Hips"}));
    mel("select -cl");
    EXPECT_TRUE(selection().empty());
}

}  // namespace
}  // namespace scenetest
