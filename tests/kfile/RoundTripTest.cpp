// Takes written by the library read back to the same contents, and rewriting those contents
// gives the same bytes, whichever way the take was written.
#include <gtest/gtest.h>

#include <ostream>

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

TEST(RoundTripOfEdits, EditedRecordsArePackedBeforeWriting) {
    SampleTakeOptions options;
    options.frameCount = 4;
    auto contents = SampleTake(options).MakeContents();
    KFileDatagroupSection* groups = contents->GetDatagroupSection();
    KFileParameterSection* parameters = contents->GetParameterSection();
    ASSERT_TRUE(groups && parameters);
    groups->GetRecord(0)->SetName("a much longer datagroup name than before");
    groups->GetRecord(1)->RemoveLabel(0);
    parameters->GetRecord(1)->SetLong(1, 99);

    TempDir dir;
    KFileManager writer;
    ASSERT_TRUE(writer.Write(dir.Path("edited.K"), *contents));
    auto read = ReadFileOrFail(dir.Path("edited.K"));
    ASSERT_TRUE(read);
    EXPECT_TRUE(SameContents(*contents, *read));
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

}  // namespace
