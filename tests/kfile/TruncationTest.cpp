// A take cut at every byte reads without fault: while the section list is incomplete the read
// fails with the reason and the place of the cut, afterwards it gives the contents with exactly
// the dynamic records that are complete.
#include <gtest/gtest.h>

#include <algorithm>

#include "ReadSupport.h"
#include "SampleTake.h"

using namespace kfile;
using namespace testsupport;

namespace {

struct Failure {
    KReadError error;
    uint64_t offset;
    std::string section;
};

// What a read of the first `cut` bytes must answer while the cut lies before the end of the
// section list, whose headers the full read reported.
Failure ExpectedFailure(size_t cut, const std::vector<KSectionReport>& sections,
                        uint64_t terminator) {
    if (cut < static_cast<size_t>(kFileHeaderSize)) {
        return {KReadError::kTooShort, cut, ""};
    }
    for (const KSectionReport& section : sections) {
        uint64_t bodyEnd = section.offset + kSectionHeaderSize + uint64_t(section.size);
        if (cut == section.offset) {
            return {KReadError::kNoSectionTerminator, cut, ""};
        }
        if (cut < section.offset + kSectionHeaderSize) {
            return {KReadError::kSectionCutShort, section.offset, ""};
        }
        if (cut < bodyEnd) {
            return {KReadError::kSectionCutShort, section.offset, section.name};
        }
    }
    return {cut == terminator ? KReadError::kNoSectionTerminator : KReadError::kSectionCutShort,
            terminator, ""};
}

TEST(Truncation, EveryPrefixReadsToWhatItHolds) {
    SampleTakeOptions options;
    options.markerCount = 2;
    options.segmentCount = 1;
    options.frameCount = 3;
    TempDir dir;
    ASSERT_TRUE(SampleTake(options).Write(dir.Path("full.K")));
    const Bytes full = ReadFileBytes(dir.Path("full.K"));
    const BytesRead whole = ReadBytes(full);
    ASSERT_TRUE(whole.contents);
    const std::vector<KSectionReport>& sections = whole.report.sections;
    ASSERT_EQ(sections.size(), 2u);

    const KSectionReport& last = sections.back();
    const uint64_t terminator = last.offset + kSectionHeaderSize + uint64_t(last.size);
    const size_t sectionsEnd = terminator + kSectionHeaderSize;
    std::vector<size_t> recordEnds;
    size_t end = sectionsEnd;
    for (const KFileDynamicRecord& record : whole.contents->GetDynamicRecords()) {
        end += 2 + record.GetLength();
        recordEnds.push_back(end);
    }
    ASSERT_EQ(end, full.size());

    for (size_t cut = 0; cut <= full.size(); ++cut) {
        SCOPED_TRACE("cut at byte " + std::to_string(cut));
        BytesRead read = ReadBytes(Bytes(full.begin(), full.begin() + cut));
        EXPECT_LE(read.largestAllocation, full.size() + 1024);
        if (cut < sectionsEnd) {
            Failure expected = ExpectedFailure(cut, sections, terminator);
            EXPECT_FALSE(read.contents);
            EXPECT_EQ(read.report.error, expected.error) << read.report.Describe();
            EXPECT_EQ(read.report.errorOffset, expected.offset);
            EXPECT_EQ(read.report.errorSection, expected.section);
            continue;
        }
        ASSERT_TRUE(read.contents);
        EXPECT_EQ(read.contents->GetDatagroupCount(), whole.contents->GetDatagroupCount());
        size_t complete = static_cast<size_t>(
            std::upper_bound(recordEnds.begin(), recordEnds.end(), cut) - recordEnds.begin());
        ASSERT_EQ(read.contents->GetDynamicRecordCount(), static_cast<int32_t>(complete));
        EXPECT_EQ(read.report.incompleteBytes,
                  cut - (complete ? recordEnds[complete - 1] : sectionsEnd));
        for (size_t i = 0; i < complete; ++i) {
            int32_t at = static_cast<int32_t>(i);
            EXPECT_EQ(read.contents->GetDynamicRecord(at)->GetFrame(),
                      whole.contents->GetDynamicRecord(at)->GetFrame());
        }
    }
}

}  // namespace
