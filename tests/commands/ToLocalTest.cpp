// ToLocal leaves the scene and the selection as they were, whatever is selected.

#include "CommandsFixture.h"

namespace commandstest {
namespace {

class ToLocal : public CommandsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ToLocal, LeavesTheSceneAndTheSelectionUnchanged) {
    const std::string hips = node("Hips", group("Bob"));
    node("Knee", group("Ann"), "MarkerLocator");
    mel("setKeyframe -t 1 -v 3 -at tx " + hips);
    if (*GetParam() != '\0') {
        select(GetParam());
    }
    const std::string before = host::sceneDump();

    EXPECT_TRUE(runCommand("ToLocal"));

    EXPECT_EQ(before, host::sceneDump());
}

INSTANTIATE_TEST_SUITE_P(Selections, ToLocal,
                         ::testing::Values("", "Bob", "Bob Ann", "Ann Hips Bob"));

}  // namespace
}  // namespace commandstest
