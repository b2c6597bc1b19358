// ToLocal leaves the scene and the selection as they were, whatever is selected.

#include "CommandsFixture.h"

namespace commandstest {
namespace {

class ToLocal : public CommandsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ToLocal, LeavesTheSceneAndTheSelectionUnchanged) {
    importSubject("Bob");
    importSubject("Ann", 60.0f, 12);
    if (*GetParam() != '\0') {
        select(GetParam());
    }
    const std::string before = host::sceneDump();  // the selection included

    issuedBy("ToLocal");

    EXPECT_EQ(before, host::sceneDump());
}

INSTANTIATE_TEST_SUITE_P(Selections, ToLocal,
                         ::testing::Values("", "Bob", "Bob Ann", "Ann|Hips Bob Bob|LFHD_marker"));

}  // namespace
}  // namespace commandstest
