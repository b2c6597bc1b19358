// A file that is not a complete K-file fails the import with one error that names the file and
// the reason, and leaves the scene exactly as it was.

#include <gmock/gmock.h>
#include <maya/MAnimControl.h>
#include <maya/MGlobal.h>

#include <host/command_log.h>
#include <host/scene.h>

#include <string>
#include <vector>

#include "ModuleTest.h"

namespace {

using ::testing::ElementsAre;

class ImportFailure : public ModuleTest {
  protected:
    testsupport::Bytes validTake() const {
        return testsupport::ReadFileBytes(writeTake(
            "valid.K", {{0, 120.0f, {"Bob:Hips <T-X>", "HEAD <P-X>"}, {{0, {1.0, 2.0}}}}}));
    }

    // Lines of the message log that start with the text.
    static std::vector<std::string> messagesStartingWith(const std::string& start) {
        std::vector<std::string> lines;
        for (const std::string& line : host::messageLog()) {
            if (line.compare(0, start.size(), start) == 0)
                lines.push_back(line);
        }
        return lines;
    }
};

TEST_F(ImportFailure, ACutTakeLeavesTheSceneAsItWas) {
    ASSERT_TRUE(MGlobal::executeCommand("group -em -n Bob"));
    ASSERT_TRUE(MAnimControl::setMinMaxTime(MTime(1.0), MTime(10.0)));
    const testsupport::Bytes take = validTake();
    const struct {
        size_t length;
        const char* reason;
    } cuts[] = {
        {0, "the file is shorter than the 4-byte K-file header (at byte 0 of a 0-byte file)"},
        {3, "the file is shorter than the 4-byte K-file header (at byte 3 of a 3-byte file)"},
        {4, "the section list ends without a section terminator (at byte 4 of a 4-byte file)"},
        {20, "the file ends inside a section (at byte 4 of a 20-byte file)"},
        {40, "the file ends inside a section (in section DATAGROUP, at byte 4 of a 40-byte file)"},
    };
    for (const auto& cut : cuts) {
        const std::string name = "cut" + std::to_string(cut.length) + ".K";
        const std::string path =
            writeBytes(name, testsupport::Bytes(take.begin(), take.begin() + cut.length));
        const std::string before = host::sceneDump();
        host::clearMessageLog();
        EXPECT_FALSE(importFile(path)) << name;
        EXPECT_EQ(before, host::sceneDump()) << name;
        EXPECT_THAT(messagesStartingWith("// Error:"),  // said once, by the module
                    ElementsAre("// Error: Cannot import \"" + path + "\": " + cut.reason + " //"));
    }
}

TEST_F(ImportFailure, AFileThatIsNotATake) {
    const std::string path = writeBytes("notes.k", {'h', 'e', 'l', 'l', 'o'});
    EXPECT_FALSE(importFile(path));
    const std::vector<std::string> errors = messagesStartingWith("// Error: Cannot import");
    ASSERT_EQ(1u, errors.size());
    EXPECT_NE(std::string::npos, errors[0].find(path + "\": the file does not start with"))
        << errors[0];
}

}  // namespace
