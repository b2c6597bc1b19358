// A take cut at every byte reads without fault: null while the section list is incomplete,
// afterwards the contents with exactly the dynamic records that are complete.
#include <gtest/gtest.h>

#include "SampleTake.h"
#include "TakeBuilder.h"

namespace {

TEST(Truncation, EveryPrefixReadsToWhatItHolds) {
    SampleTakeOptions options;
    options.markerCount = 2;
    options.segmentCount = 1;
    options.frameCount = 3;
    TempDir dir;
    ASSERT_TRUE(SampleTake(options).Write(dir.Path("full.K")));
    const Bytes full = ReadFileBytes(dir.Path("full.K"));
    const ReadResult whole = ReadBytes(full);
    ASSERT_TRUE(whole.contents);

    size_t sectionsEnd = kfile::kFileHeaderSize + kfile::kSectionHeaderSize;  // + terminator
    for (int32_t s = 0; s < whole.contents->GetSectionCount(); ++s) {
        sectionsEnd += kfile::kSectionHeaderSize + whole.contents->GetSection(s)->GetStoredSize();
    }
    std::vector<size_t> recordEnds;
    size_t end = sectionsEnd;
    for (int32_t i = 0; i < whole.contents->GetDynamicRecordCount(); ++i) {
        end += 2 + whole.contents->GetDynamicRecord(i)->GetLength();
        recordEnds.push_back(end);
    }
    ASSERT_EQ(end, full.size());

    for (size_t cut = 0; cut <= full.size(); ++cut) {
        SCOPED_TRACE("cut at byte " + std::to_string(cut));
        ReadResult read = ReadBytes(Bytes(full.begin(), full.begin() + cut));
        EXPECT_LE(read.largestAllocation, full.size() + 1024);
        if (cut < sectionsEnd) {
            EXPECT_FALSE(read.contents);
            EXPECT_EQ(read.error, cut < 4    ? KReadError::kTooShort
                                  : cut == 4 ? KReadError::kNoSectionTerminator
                                             : read.error);
            EXPECT_NE(read.error, KReadError::kNone);
            continue;
        }
        ASSERT_TRUE(read.contents);
        EXPECT_EQ(read.contents->GetDatagroupCount(), whole.contents->GetDatagroupCount());
        size_t complete = static_cast<size_t>(
            std::upper_bound(recordEnds.begin(), recordEnds.end(), cut) - recordEnds.begin());
        ASSERT_EQ(read.contents->GetDynamicRecordCount(), static_cast<int32_t>(complete));
        for (size_t i = 0; i < complete; ++i) {
            EXPECT_EQ(read.contents->GetDynamicRecord(static_cast<int32_t>(i))->GetFrame(),
                      whole.contents->GetDynamicRecord(static_cast<int32_t>(i))->GetFrame());
        }
    }
}

}  // namespace
