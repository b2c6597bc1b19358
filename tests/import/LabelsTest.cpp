// The label rules as tables: what a label is, what it is called, which attribute it feeds.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "import/ChannelLabels.h"

namespace {

using Strings = std::vector<std::string>;

struct LabelCase {
    std::string label;
    std::string baseName;
    bool position;
    bool segment;
};

// By name: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const LabelCase& c, std::ostream* out) {
    *out << c.label;
}

class LabelClassTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(LabelClassTest, BaseNameAndClass) {
    const LabelCase& c = GetParam();
    EXPECT_EQ(channelBaseName(c.label), c.baseName);
    EXPECT_EQ(isPositionLabel(c.label), c.position);
    EXPECT_EQ(isSegmentLabel(c.label), c.segment);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, LabelClassTest,
    ::testing::Values(LabelCase{"HEAD <P-X>", "HEAD", true, false},
                      LabelCase{"HEAD<P-Z>", "HEAD", true, false},
                      LabelCase{"HEAD \t<P-Y>", "HEAD", true, false},
                      LabelCase{"head <p-x>", "head", false, false},
                      LabelCase{"HEAD <P-X>  ", "HEAD", false, false},
                      LabelCase{"Bob:Hips <A-X>", "Bob:Hips", false, true},
                      LabelCase{"Bob:Hips <T-Z>", "Bob:Hips", false, true},
                      LabelCase{"Bob:Hips <a-X>", "Bob:Hips", false, false},
                      LabelCase{"Bob:Hips <P-W>", "Bob:Hips", false, false},
                      LabelCase{"Fz", "Fz", false, false}, LabelCase{" Fz ", " Fz ", false, false},
                      LabelCase{"<P-X>", "", true, false}, LabelCase{"", "", false, false},
                      // The name ends at the last "<", the class test starts at the first.
                      LabelCase{"A<B <P-X>", "A<B", false, false}));

struct SlotCase {
    std::string text;
    ChannelSlot slot;
    std::string attribute;
};

// By name: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const SlotCase& c, std::ostream* out) {
    *out << c.text;
}

class SlotForLabelTest : public ::testing::TestWithParam<SlotCase> {};

TEST_P(SlotForLabelTest, SlotAndAttribute) {
    const SlotCase& c = GetParam();
    std::string attribute = "stale";
    EXPECT_EQ(channelSlotForLabel(c.text, attribute), c.slot);
    EXPECT_EQ(attribute, c.attribute);
}

INSTANTIATE_TEST_SUITE_P(
    Suffixes, SlotForLabelTest,
    ::testing::Values(SlotCase{"<P-X>", kSlotTX, "tx"}, SlotCase{" <P-Y>", kSlotTY, "ty"},
                      SlotCase{"<p-z>", kSlotTZ, "tz"}, SlotCase{" <A-X>", kSlotRX, "rx"},
                      SlotCase{"<a-Y>", kSlotRY, "ry"}, SlotCase{"<A-z>", kSlotRZ, "rz"},
                      SlotCase{"<T-X>", kSlotTX, "tx"}, SlotCase{"  <t-y>", kSlotTY, "ty"},
                      SlotCase{"\t<T-Z>\r\n", kSlotTZ, "tz"}, SlotCase{"<Q-X>", kNoChannelSlot, ""},
                      SlotCase{"< P-X>", kNoChannelSlot, ""},
                      SlotCase{"<P-X>x", kNoChannelSlot, ""}, SlotCase{"", kNoChannelSlot, ""},
                      SlotCase{"   ", kNoChannelSlot, ""}));

struct SplitCase {
    std::string name;
    std::string prefix;
    std::string localName;
};

// By name: the default print of the case's bytes would read the unused part of its strings.
void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << c.name;
}

class SplitSubjectNameTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitSubjectNameTest, PrefixAndLocalName) {
    const SplitCase& c = GetParam();
    std::string prefix = "stale";
    std::string localName = "stale";
    splitSubjectName(c.name, prefix, localName);
    EXPECT_EQ(prefix, c.prefix);
    EXPECT_EQ(localName, c.localName);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SplitSubjectNameTest,
    ::testing::Values(SplitCase{"Bob:HEAD", "Bob", "HEAD"}, SplitCase{"Bob2:HEAD", "Bob", "HEAD"},
                      SplitCase{"Bob10:HEAD", "Bob", "HEAD"}, SplitCase{"Bob0:HEAD", "Bob", "HEAD"},
                      SplitCase{"Take1Bob:X", "Take", "X"}, SplitCase{"2Bob:X", "", "X"},
                      SplitCase{"a:b:c", "a", "b:c"}, SplitCase{"HEAD", "", "HEAD"},
                      SplitCase{"HEAD1", "", "HEAD1"}, SplitCase{"Bob:R2", "Bob", "R2"},
                      SplitCase{":X", "", "X"}, SplitCase{"Bob:", "Bob", ""}));

TEST(TrimSpace, EachEndOnItsOwn) {
    struct Case {
        std::string text, leading, trailing;
    };
    for (const Case& c :
         {Case{"", "", ""}, Case{" \t\r\n", "", ""}, Case{"a", "a", "a"},
          Case{" \ta b\r\n", "a b\r\n", " \ta b"}, Case{"\va\f", "\va\f", "\va\f"}}) {
        EXPECT_EQ(trimLeadingSpace(c.text), c.leading) << '"' << c.text << '"';
        EXPECT_EQ(trimTrailingSpace(c.text), c.trailing) << '"' << c.text << '"';
    }
}

struct ClassifyCase {
    std::string title;
    Strings labels;
    Strings segments;
    Strings locals;
    Strings markers;
};

// By name: the default print of the case's bytes would read the unused part of its strings.
void PrintTo(const ClassifyCase& c, std::ostream* out) {
    *out << c.title;
}

class ClassifyChannelsTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyChannelsTest, SortsNamesIntoThreeLists) {
    const ClassifyCase& c = GetParam();
    // The lists are appended to: what they held stays, and counts as already present.
    Strings segments = {"Pelvis"};
    Strings locals;
    Strings markers;
    classifyChannels(c.labels, segments, locals, markers);
    Strings expectedSegments = {"Pelvis"};
    expectedSegments.insert(expectedSegments.end(), c.segments.begin(), c.segments.end());
    EXPECT_EQ(segments, expectedSegments);
    EXPECT_EQ(locals, c.locals);
    EXPECT_EQ(markers, c.markers);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, ClassifyChannelsTest,
    ::testing::Values(
        ClassifyCase{"MergedIgnoringCaseFirstFormKept",
                     {"Hips <A-X>", "hips <A-Y>", "Hips <T-X>"},
                     {"Hips"},
                     {},
                     {}},
        ClassifyCase{"OneNameInTwoLists",
                     {"Bob:Hips <A-X>", "Bob:Hips <a-X>", "Bob:Hips <P-X>"},
                     {"Bob:Hips"},
                     {"Bob:Hips"},
                     {"Bob:Hips"}},
        ClassifyCase{"OrderOfFirstAppearance",
                     {"LFHD <P-X>", "RFHD <P-X>", "LFHD <P-Y>", "C7 <P-X>", "rfhd <P-Z>"},
                     {},
                     {},
                     {"LFHD", "RFHD", "C7"}},
        ClassifyCase{"EverythingElseIsLocal",
                     {"Fz", "FZ", "HEAD <P-X> ", "A<B <P-X>", "<Q-X>"},
                     {},
                     {"Fz", "HEAD", "A<B", ""},
                     {}},
        ClassifyCase{"ExistingEntriesCount", {"PELVIS <T-X>", "Spine <T-X>"}, {"Spine"}, {}, {}},
        ClassifyCase{"NoLabels", {}, {}, {}, {}}),
    [](const ::testing::TestParamInfo<ClassifyCase>& info) { return info.param.title; });

}  // namespace
