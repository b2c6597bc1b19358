// Takes written by the library read back to the same contents, and rewriting those contents
// gives the same bytes, whichever way the take was written.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "HeapCounter.h"
#include "ReadSupport.h"
#include "SameContents.h"
#include "SampleTake.h"

using namespace kfile;
using namespace testsupport;

namespace {

struct TakeShape {
    const char* name;
    SampleTakeOptions options;
};

// By name: the default print of the case's bytes would read the unused part of its strings.
void PrintTo(const TakeShape& c, std::ostream* out) {
    *out << c.name;
}

SampleTakeOptions Shape(int32_t markers, int32_t segments, int32_t frames, int32_t firstFrame) {
    SampleTakeOptions options;
    options.markerCount = markers;
    options.segmentCount = segments;
    options.frameCount = frames;
    options.firstFrame = firstFrame;
    return options;
}

class RoundTrip : public testing::TestWithParam<TakeShape> {
  protected:
    TempDir dir_;
};

TEST_P(RoundTrip, StreamedAndCombinedWritersAgree) {
    SampleTake take(GetParam().options);
    std::string streamed = dir_.Path("streamed.K");
    std::string combined = dir_.Path("combined.K");
    ASSERT_TRUE(take.Write(streamed));
    auto made = take.MakeContents();
    KFileManager writer;
    ASSERT_TRUE(writer.Write(combined, *made));

    Bytes bytes = ReadFileBytes(streamed);
    EXPECT_EQ(bytes, ReadFileBytes(combined));
    EXPECT_EQ(bytes.size(), take.FileSize());

    auto read = ReadFileOrFail(streamed);
    ASSERT_TRUE(read);
    EXPECT_TRUE(SameContents(*made, *read));
}

TEST_P(RoundTrip, RewritingReadContentsGivesTheSameBytes) {
    std::string original = dir_.Path("original.K");
    ASSERT_TRUE(SampleTake(GetParam().options).Write(original));
    auto first = ReadFileOrFail(original);
    ASSERT_TRUE(first);

    std::string rewritten = dir_.Path("rewritten.K");
    KFileManager writer;
    ASSERT_TRUE(writer.Write(rewritten, *first));
    EXPECT_EQ(ReadFileBytes(original), ReadFileBytes(rewritten));
    auto second = ReadFileOrFail(rewritten);
    ASSERT_TRUE(second);
    EXPECT_TRUE(SameContents(*first, *second));
}

INSTANTIATE_TEST_SUITE_P(KFile, RoundTrip,
                         testing::Values(TakeShape{"Default", SampleTakeOptions{}},
                                         TakeShape{"NoFrames", Shape(3, 2, 0, 1)},
                                         TakeShape{"MarkersOnly", Shape(30, 0, 50, -10)},
                                         TakeShape{"SkeletonOnly", Shape(0, 10, 50, 1000)},
                                         TakeShape{"WideRecords", Shape(500, 20, 3, 1)}),
                         [](const testing::TestParamInfo<TakeShape>& info) {
                             return std::string(info.param.name);
                         });

std::unique_ptr<KFileContents> ShortTake(int32_t frames) {
    SampleTakeOptions options;
    options.frameCount = frames;
    return SampleTake(options).MakeContents();
}

// The contents (packed by the write) written to a take and read back; null, with a failure,
// when either step fails.
std::unique_ptr<KFileContents> WrittenAndReadBack(KFileContents& contents) {
    TempDir dir;
    KFileManager writer;
    if (!writer.Write(dir.Path("edited.K"), contents)) {
        ADD_FAILURE() << "the contents cannot be written";
        return nullptr;
    }
    return ReadFileOrFail(dir.Path("edited.K"));
}

TEST(RoundTripOfEdits, EditedRecordsArePackedBeforeWriting) {
    auto contents = ShortTake(4);
    KFileDatagroupSection* groups = contents->GetDatagroupSection();
    KFileParameterSection* parameters = contents->GetParameterSection();
    ASSERT_TRUE(groups && parameters);
    groups->GetRecord(0)->SetName("a much longer datagroup name than before");
    groups->GetRecord(1)->RemoveLabel(0);
    parameters->GetRecord(1)->SetLong(1, 99);

    auto read = WrittenAndReadBack(*contents);
    ASSERT_TRUE(read);
    EXPECT_TRUE(SameContents(*contents, *read));
}

// Records made and shaped through the setters, of every parameter value type and a datagroup
// without records, come back from a written take as they were set; an element outside a
// parameter's shape is refused, and a label index outside the list changes nothing.
TEST(RoundTripOfEdits, RecordsShapedThroughTheSettersComeBackAsSet) {
    auto contents = ShortTake(2);
    KFileParameterSection* parameters = contents->GetParameterSection();
    KFileDatagroupSection* groups = contents->GetDatagroupSection();
    ASSERT_TRUE(parameters && groups);
    auto add = [&](const char* name, int32_t type) {
        parameters->AddRecord(std::make_unique<KFileParameterRecord>(name, type));
        return parameters->FindRecord(name);
    };

    KFileParameterRecord* flags = add("FLAGS", kValueBoolean);
    flags->AppendDimension(2);
    EXPECT_TRUE(flags->SetBoolean(1, true));
    EXPECT_FALSE(flags->SetBoolean(2, true));
    KFileParameterRecord* bytes = add("BYTES", kValueBinary);
    bytes->AppendDimension(3);
    EXPECT_TRUE(bytes->SetByte(2, 0xAB));
    KFileParameterRecord* grid = add("GRID", kValueShort);
    grid->InsertDimension(3, 0);
    grid->InsertDimension(2, -1);  // at the front: 2 x 3
    EXPECT_TRUE(grid->SetShort(5, -7));
    EXPECT_FALSE(grid->SetShort(6, 1));
    KFileParameterRecord* longs = add("LONGS", kValueLong);
    longs->AppendDimension(4);
    longs->SetDimension(2, 0);
    longs->SetDimension(9, 1);  // no second dimension: nothing changes
    EXPECT_TRUE(longs->SetLong(1, 123456789));
    EXPECT_FALSE(longs->SetLong(2, 1));
    KFileParameterRecord* scale = add("SCALE", kValueFloat);  // no dimensions: one element
    EXPECT_TRUE(scale->SetFloat(0, 1.5f));
    KFileParameterRecord* offsets = add("OFFSETS", kValueFloat);
    offsets->SetType(kValueDouble);
    offsets->AppendDimension(1);
    offsets->AppendDimension(2);
    offsets->RemoveDimension(-4);  // below zero: the first
    EXPECT_TRUE(offsets->SetDouble(1, -2.25));
    offsets->SetName("SHIFTS");
    KFileParameterRecord* names = add("NAMES", kValueText);
    names->AppendDimension(8);  // characters per text
    names->AppendDimension(2);
    EXPECT_TRUE(names->SetText(0, "left"));
    EXPECT_TRUE(names->SetText(1, "right"));
    EXPECT_FALSE(names->SetText(2, "none"));

    auto extra = std::make_unique<KFileDatagroupRecord>(0, kValueFloat, 4, 50.0f);
    extra->SetId(7);
    extra->SetName("Extra");
    extra->SetValueType(kValueShort);
    extra->SetValueSize(2);
    extra->SetRate(25.0f);
    extra->AppendLabel("b");
    extra->InsertLabel("a", -3);
    extra->SetLabel("c", 1);
    extra->SetLabel("d", 2);  // past the end: nothing changes
    groups->AddRecord(std::move(extra));

    auto read = WrittenAndReadBack(*contents);
    ASSERT_TRUE(read);
    EXPECT_TRUE(SameContents(*contents, *read));
    const KFileParameterSection* back = read->GetParameterSection();
    ASSERT_TRUE(back);
    for (const char* name : {"FLAGS", "BYTES", "GRID", "LONGS", "SCALE", "SHIFTS", "NAMES"}) {
        ASSERT_TRUE(back->FindRecord(name)) << name;
    }
    EXPECT_FALSE(back->FindRecord("FLAGS")->GetBoolean(0));
    EXPECT_TRUE(back->FindRecord("FLAGS")->GetBoolean(1));
    EXPECT_EQ(back->FindRecord("BYTES")->GetByte(2), 0xAB);
    EXPECT_EQ(back->FindRecord("GRID")->GetDimensions(), (std::vector<int16_t>{2, 3}));
    EXPECT_EQ(back->FindRecord("GRID")->GetShort(5), -7);
    EXPECT_EQ(back->FindRecord("LONGS")->GetDimensions(), (std::vector<int16_t>{2}));
    EXPECT_EQ(back->FindRecord("LONGS")->GetLong(1), 123456789);
    EXPECT_EQ(back->FindRecord("SCALE")->GetFloat(0), 1.5f);
    EXPECT_EQ(back->FindRecord("SHIFTS")->GetType(), kValueDouble);
    EXPECT_EQ(back->FindRecord("SHIFTS")->GetDouble(1), -2.25);
    EXPECT_EQ(back->FindRecord("NAMES")->GetText(0), "left");
    EXPECT_EQ(back->FindRecord("NAMES")->GetText(1), "right");

    const KFileDatagroupRecord* group = read->GetDatagroupSection()->FindRecord(7);
    ASSERT_TRUE(group);
    EXPECT_EQ(group->GetName(), "Extra");
    EXPECT_EQ(group->GetValueType(), kValueShort);
    EXPECT_EQ(group->GetValueSize(), 2);
    EXPECT_EQ(group->GetRate(), 25.0f);
    EXPECT_EQ(group->GetLabels(), (std::vector<std::string>{"a", "c"}));
}

TEST(RoundTripOfEdits, UnstorableRecordsFailTheWriteInsteadOfCorruptingIt) {
    auto contents = SampleTake(SampleTakeOptions{}).MakeContents();
    KFileDatagroupSection* groups = contents->GetDatagroupSection();
    ASSERT_NE(groups, nullptr);
    groups->GetRecord(0)->AppendLabel(std::string(300, 'L'));  // a label byte counts only 254
    TempDir dir;
    KFileManager writer;
    EXPECT_FALSE(writer.Write(dir.Path("bad.K"), *contents));

    KFileDatagroupRecord tooWide(0, kValueDouble, 8, 100.0f);
    for (int i = 0; i < 5000; ++i) {
        tooWide.AppendLabel("m");
    }
    KFileDynamicRecord record(tooWide);  // 40006 bytes cannot be framed by an int16
    EXPECT_EQ(record.Pack(), 0);
    EXPECT_FALSE(writer.WriteDynamicRecord(&record));
}

// Reading keeps no trace of a section of unknown name in the contents, so a rewrite drops it;
// the report is where it shows. Everything else comes back byte for byte.
TEST(RoundTripOfUnknownSections, RewriteDropsThemAndTheReportListsThem) {
    const Bytes notes{'s', 'e', 's', 's', 'i', 'o', 'n', 0};
    const Bytes datagroups = RecordBody({DatagroupPayload(0, "", kValueDouble, 8, 100.0f, {"x"})});
    auto take = [&](bool withNotes) {
        ByteBuilder b;
        b.FileHeader();
        if (withNotes) {
            b.Section("NOTES", notes);
        }
        return b.Section("DATAGROUP", datagroups)
            .Terminator()
            .Framed(DynamicPayload(0, 1, {2.5}))
            .bytes();
    };
    BytesRead read = ReadBytes(take(true));
    ASSERT_TRUE(read.contents);
    ASSERT_EQ(read.report.sections.size(), 2u);
    const KSectionReport& unknown = read.report.sections[0];
    EXPECT_EQ(unknown.name, "NOTES");
    EXPECT_EQ(unknown.offset, 4u);
    EXPECT_EQ(unknown.size, static_cast<int32_t>(notes.size()));
    EXPECT_FALSE(unknown.kept);
    EXPECT_TRUE(read.report.sections[1].kept);
    EXPECT_EQ(read.report.sections[1].offset, 4u + 32 + notes.size());

    TempDir dir;
    KFileManager writer;
    ASSERT_TRUE(writer.Write(dir.Path("rewritten.K"), *read.contents));
    EXPECT_EQ(ReadFileBytes(dir.Path("rewritten.K")), take(false));
}

// Kept when asked, unknown sections come back in their places byte for byte: several of one
// name, a name filling the whole 28-byte field, any bytes in the body.
TEST(RoundTripOfUnknownSections, KeptSectionsAreWrittenBackInTheirPlaces) {
    const std::string fullName(28, 'N');
    const Bytes bytes =
        ByteBuilder()
            .FileHeader(3)
            .Section("notes", {0xFF, 0x00, 0x80})
            .Section("DATAGROUP",
                     RecordBody({DatagroupPayload(0, "", kValueDouble, 8, 100.0f, {"x"})}))
            .Section(fullName, {1})
            .Section("notes", {2, 3})
            .Section("PARAMETER", RecordBody({}))
            .Terminator()
            .Framed(DynamicPayload(0, 1, {2.5}))
            .bytes();
    TempDir dir;
    const std::string original = dir.Write("original.K", bytes);
    KReadResult read = ReadTake(original, KReadOptions{true});
    ASSERT_TRUE(read.contents) << read.report.Describe();
    ASSERT_EQ(read.contents->GetSectionCount(), 5);
    for (const KSectionReport& section : read.report.sections) {
        EXPECT_TRUE(section.kept) << section.name;
    }
    EXPECT_EQ(read.contents->GetSection(2)->GetName(), fullName);

    KFileManager writer;
    ASSERT_TRUE(writer.Write(dir.Path("rewritten.K"), *read.contents));
    EXPECT_EQ(ReadFileBytes(dir.Path("rewritten.K")), bytes);
    EXPECT_EQ(ReadTake(original).contents->GetSectionCount(), 2);  // by default: stepped over

    // An empty one would end the section list: the write fails and leaves the file alone.
    read.contents->AddUnknownSection(std::make_unique<KFileUnknownSection>(0, "EMPTY", nullptr));
    EXPECT_FALSE(writer.Write(dir.Path("rewritten.K"), *read.contents));
    EXPECT_EQ(ReadFileBytes(dir.Path("rewritten.K")), bytes);
}

TEST(RoundTripOfUnknownSections, AKeptBodyCutByTheEndOfTheFileIsNotAllocated) {
    TempDir dir;
    const std::string cut = dir.Write(
        "cut.K", ByteBuilder().FileHeader().SectionHeader(0x7FFFFFFF, "NOTES").Raw({1, 2}).bytes());
    heap::LargestAllocationScope allocations;
    KReadResult read = ReadTake(cut, KReadOptions{true});
    EXPECT_EQ(read.report.error, KReadError::kSectionCutShort);
    EXPECT_LE(allocations.Largest(), 4096u);
}

}  // namespace
