// CopyHierarchyKeys on scenes built with MEL: which locator nodes are paired, in which
// order the keys are copied, and what happens to names that repeat on either side.

#include "CommandsFixture.h"

namespace commandstest {
namespace {

class CopyHierarchyKeys : public CommandsTest {
  protected:
    // A locator node keyed with tx = value at frames 1 and 2 (value and value + 1).
    static std::string keyed(const std::string& name, const std::string& parent, int value,
                             const std::string& type = "DOFLocator") {
        const std::string path = node(name, parent, type);
        mel("setKeyframe -t 1 -v " + std::to_string(value) + " -at tx " + path);
        mel("setKeyframe -t 2 -v " + std::to_string(value + 1) + " -at tx " + path);
        return path;
    }
    // The tx key values of a node, "" when it has none.
    static std::string keys(const std::string& path) {
        std::string text;
        for (const std::string& value : mel("keyframe -q -vc -at tx " + path)) {
            text += (text.empty() ? "" : " ") + value;
        }
        return text;
    }
    // Runs the command on the selection; the copy and paste commands it issued, in order.
    static Strings transfersWith(const std::string& selected) {
        if (!selected.empty()) {
            select(selected);
        }
        const Strings before = selection();
        Strings transfers;
        for (const std::string& command : issuedBy("CopyHierarchyKeys")) {
            if (command.rfind("listRelatives ", 0) != 0) {
                transfers.push_back(command);
            }
        }
        EXPECT_EQ(before, selection());
        return transfers;
    }
};

struct ImportedCase {
    const char* selection;
    const char* source;
    Strings destinations;
};

class CopyHierarchyKeysImported : public CopyHierarchyKeys,
                                  public ::testing::WithParamInterface<ImportedCase> {
  protected:
    // Every key of the node, attribute by attribute: times, then values.
    static std::string allKeys(const std::string& path) {
        std::string text;
        for (const char* attribute : {"tx", "ty", "tz", "rx", "ry", "rz"}) {
            text += std::string(attribute) + ":";
            for (const char* query : {"keyframe -q -tc -at ", "keyframe -q -vc -at "}) {
                for (const std::string& value : mel(query + std::string(attribute) + " " + path)) {
                    text += " " + value;
                }
            }
            text += "\n";
        }
        return text;
    }
};

// The destinations end with exactly the source's keys, also where theirs run longer.
TEST_P(CopyHierarchyKeysImported, TheLastSelectedSubjectsMotionReachesTheOthers) {
    // Different rates and lengths give the subjects different keys, and their missing marker
    // samples fall on different frames.
    importSubject("Ann", 60.0f, 6);
    importSubject("Cat", 30.0f, 3);
    importSubject("Bob");
    const Strings nodes = {"LFHD_marker", "RFHD_marker", "Hips", "Spine", "Chest"};
    ASSERT_NE(allKeys("|Bob|Hips"), allKeys("|Ann|Hips"));
    const std::string source = GetParam().source;

    Strings expected;
    for (const std::string& node : nodes) {
        for (const std::string& destination : GetParam().destinations) {
            expected.push_back("copyKey |" + source + "|" + node);
            expected.push_back("pasteKey -o replaceCompletely |" + destination + "|" + node);
        }
    }
    EXPECT_EQ(expected, transfersWith(GetParam().selection));

    for (const std::string& node : nodes) {
        for (const std::string& destination : GetParam().destinations) {
            EXPECT_EQ(allKeys("|" + source + "|" + node), allKeys("|" + destination + "|" + node))
                << destination << "|" << node;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Selections, CopyHierarchyKeysImported,
                         ::testing::Values(ImportedCase{"Ann Bob", "Bob", {"Ann"}},
                                           ImportedCase{"Ann Cat Bob", "Bob", {"Ann", "Cat"}},
                                           ImportedCase{"Bob Ann", "Ann", {"Bob"}}),
                         [](const auto& info) { return std::to_string(info.index + 2); });

TEST_F(CopyHierarchyKeys, CopiesFromTheLastSelectedHierarchyByExactLeafName) {
    const std::string a = group("A");
    keyed("Hips", a, 10);
    keyed("Knee", a, 20, "MarkerLocator");
    keyed("hips", a, 30);
    const std::string b = group("B");
    keyed("Hips", b, 40);
    keyed("Knee", b, 50, "MarkerLocator");
    keyed("Head", b, 60);
    // A key beyond the source's goes; an attribute the source does not animate keeps its keys.
    mel("setKeyframe -t 9 -v 99 -at tx |A|Hips");
    mel("setKeyframe -t 5 -v 7 -at ty |A|Hips");

    EXPECT_EQ((Strings{"copyKey |B|Hips", "pasteKey -o replaceCompletely |A|Hips",
                       "copyKey |B|Knee", "pasteKey -o replaceCompletely |A|Knee"}),
              transfersWith("A B"));

    EXPECT_EQ("40 41", keys("|A|Hips"));
    EXPECT_EQ((Strings{"7"}), mel("keyframe -q -vc -at ty |A|Hips"));
    EXPECT_EQ("50 51", keys("|A|Knee"));
    EXPECT_EQ("30 31", keys("|A|hips"));  // letter case differs: no partner
    EXPECT_EQ("40 41", keys("|B|Hips"));
}

TEST_F(CopyHierarchyKeys, EveryDestinationOfARepeatedNameGetsTheFirstSourceOfThatName) {
    // Two Hips on each side, in different subgroups.
    const std::string a = group("A");
    keyed("Hips", group("Left", a), 10);
    keyed("Hips", group("Right", a), 20);
    const std::string b = group("B");
    keyed("Hips", group("Left", b), 30);
    keyed("Hips", group("Right", b), 40);

    EXPECT_EQ((Strings{"copyKey |B|Left|Hips", "pasteKey -o replaceCompletely |A|Left|Hips",
                       "copyKey |B|Left|Hips", "pasteKey -o replaceCompletely |A|Right|Hips"}),
              transfersWith("A B"));

    EXPECT_EQ("30 31", keys("|A|Left|Hips"));
    EXPECT_EQ("30 31", keys("|A|Right|Hips"));
}

TEST_F(CopyHierarchyKeys, ASelectedLocatorNodeIsTheOnlyNodeOfItsHierarchy) {
    const std::string aHips = keyed("Hips", group("A"), 10);
    keyed("Spine", aHips, 20);
    const std::string b = group("B");
    keyed("Hips", b, 30);
    keyed("Spine", b, 40);

    // The selected node is addressed by its selection string, as the host gave it. A node
    // that is not a locator node has its children listed twice, once to test and once to walk.
    select("|A|Hips B");
    EXPECT_EQ(
        (Strings{"listRelatives -c -f A|Hips", "listRelatives -c -f B", "listRelatives -c -f B",
                 "listRelatives -c -f |B|Hips", "listRelatives -c -f |B|Spine", "copyKey |B|Hips",
                 "pasteKey -o replaceCompletely A|Hips"}),
        issuedBy("CopyHierarchyKeys"));

    EXPECT_EQ("30 31", keys("|A|Hips"));
    EXPECT_EQ("20 21", keys("|A|Hips|Spine"));  // below a locator node: not collected
}

TEST_F(CopyHierarchyKeys, FewerThanTwoSelectedObjectsCopyNothing) {
    keyed("Hips", group("A"), 10);
    mel("select -cl");
    EXPECT_TRUE(issuedBy("CopyHierarchyKeys").empty());
    select("A");
    EXPECT_TRUE(issuedBy("CopyHierarchyKeys").empty());  // not even a children query
}

TEST_F(CopyHierarchyKeys, ASourceWithoutKeysPastesNothingLeftFromAnEarlierCopy) {
    const std::string a = group("A");
    keyed("Hips", a, 10);
    keyed("Knee", a, 20);
    const std::string b = group("B");
    keyed("Hips", b, 30);
    node("Knee", b);  // no keys

    EXPECT_EQ(
        (Strings{"copyKey |B|Hips", "pasteKey -o replaceCompletely |A|Hips", "copyKey |B|Knee"}),
        transfersWith("A B"));

    EXPECT_EQ("30 31", keys("|A|Hips"));
    EXPECT_EQ("20 21", keys("|A|Knee"));
    EXPECT_TRUE(host::messageLog().empty());
}

}  // namespace
}  // namespace commandstest
