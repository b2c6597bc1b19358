// Record bytes that a contents object carves from blocks of its own: that each record keeps its
// own bytes, how large the blocks may get, how running out of memory shows, who frees what, and
// how much memory a whole read holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "HeapCounter.h"
#include "ReadSupport.h"
#include "SameContents.h"
#include "SampleTake.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

using namespace kfile;
using namespace testsupport;

namespace {

constexpr uint64_t kUnknownRemainder = UINT64_MAX;

// A record made the way a caller makes one: bytes of its own, a datagroup id and a frame.
std::unique_ptr<KFileDynamicRecord> OwnRecord(KBytes raw, int16_t id, int32_t frame) {
    Bytes payload = DynamicPayload(id, frame, {1.5});
    std::copy(payload.begin(), payload.end(), raw.get());
    auto record =
        std::make_unique<KFileDynamicRecord>(std::move(raw), static_cast<int16_t>(payload.size()));
    record->Unpack();
    return record;
}

std::string WriteSampleTake(const TempDir& dir, int32_t frames) {
    SampleTakeOptions options;
    options.markerCount = 100;
    options.segmentCount = 25;
    options.frameCount = frames;
    std::string path = dir.Path("take.K");
    return SampleTake(options).Write(path) ? path : std::string();
}

TEST(RecordBytes, EveryRecordKeepsItsOwnBytes) {
    KFileContents contents;
    std::vector<std::pair<KBytes, int16_t>> buffers;
    // Lengths up to the largest a record can have, across several blocks.
    for (int16_t length : {1, 7, 8, 9, 4000, 32767, 32767, 32767, 5, 32767, 3}) {
        KBytes bytes = contents.NewRecordBytes(length, kUnknownRemainder);
        ASSERT_TRUE(bytes);
        std::fill_n(bytes.get(), length, static_cast<uint8_t>(buffers.size()));
        buffers.emplace_back(std::move(bytes), length);
    }
    for (size_t i = 0; i < buffers.size(); ++i) {
        const auto& [bytes, length] = buffers[i];
        EXPECT_EQ(std::count(bytes.get(), bytes.get() + length, static_cast<uint8_t>(i)), length)
            << "buffer " << i;
    }
}

TEST(RecordBytes, BlocksGrowWithWhatIsHeldAndNeverPastTheBytesLeft) {
    KFileContents contents;
    {
        heap::LargestAllocationScope allocations;
        ASSERT_TRUE(contents.NewRecordBytes(100, 150));
        EXPECT_LE(allocations.Largest(), 150u);
    }
    // A known remainder of a few megabytes is taken in one block, which the records that follow
    // fill without further allocations.
    {
        KFileContents take;
        constexpr uint64_t kRemainder = 3 << 20;
        heap::LargestAllocationScope allocations;
        ASSERT_TRUE(take.NewRecordBytes(1000, kRemainder));
        EXPECT_EQ(allocations.Largest(), kRemainder);
        const size_t held = heap::LiveBytes();
        for (uint64_t left = kRemainder - 1000; left >= kRemainder / 2; left -= 1000) {
            ASSERT_TRUE(take.NewRecordBytes(1000, left));
        }
        EXPECT_EQ(heap::LiveBytes(), held);
    }
    // Without a known remainder the blocks double what is held, starting small: a stream that
    // turns out short never costs a large block.
    size_t before = heap::LiveBytes();
    size_t carved = 0;
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(contents.NewRecordBytes(1000, kUnknownRemainder));
        carved += 1000;
    }
    EXPECT_LE(heap::LiveBytes() - before, 2 * carved + (64u << 10));
}

TEST(RecordBytes, NoMemoryOrNoLengthGivesNoBytes) {
    KFileContents contents;
    heap::FailAfter(0);
    KBytes refused = contents.NewRecordBytes(10, 10);
    heap::FailAfter(-1);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(contents.NewRecordBytes(0, 10));
    EXPECT_FALSE(contents.NewRecordBytes(-5, 10));
    EXPECT_TRUE(contents.NewRecordBytes(10, 10));
}

// Records with bytes of their own sit beside records read into carved bytes; a record whose
// packed size differs from its carved bytes gets bytes of its own. Everything written comes back,
// and destroying the contents frees all of it (the sanitizer build also checks that nothing is
// freed twice).
TEST(RecordBytes, CallerMadeAndCarvedRecordsLiveAndDieTogether) {
    TempDir dir;
    std::string path = WriteSampleTake(dir, 4);
    ASSERT_FALSE(path.empty());
    size_t before = heap::LiveBytes();
    {
        std::unique_ptr<KFileContents> contents = ReadFileOrFail(path);
        ASSERT_TRUE(contents);
        KFileDynamicRecord* read = contents->GetDynamicRecord(0);
        ASSERT_TRUE(read->SetDouble(0, 42.0));
        EXPECT_EQ(read->Pack(), read->GetLength());  // in place: the same size

        const size_t payload = DynamicPayload(0, 0, {0.0}).size();
        contents->AddDynamicRecord(OwnRecord(KBytes(new uint8_t[payload]), 0, 90));
        contents->AddDynamicRecord(OwnRecord(std::make_unique<uint8_t[]>(payload), 1, 91));
        // Packed before it was unpacked: its 20 carved bytes are left for 6 of its own.
        auto repacked = std::make_unique<KFileDynamicRecord>(
            contents->NewRecordBytes(20, kUnknownRemainder), 20);
        repacked->SetId(0);
        repacked->SetFrame(92);
        EXPECT_EQ(repacked->Pack(), KFileDynamicRecord::kHeaderSize);
        contents->AddDynamicRecord(std::move(repacked));

        KFileManager writer;
        ASSERT_TRUE(writer.Write(dir.Path("again.K"), *contents));
        std::unique_ptr<KFileContents> again = ReadFileOrFail(dir.Path("again.K"));
        ASSERT_TRUE(again);
        EXPECT_TRUE(SameContents(*contents, *again));
        double value = 0.0;
        EXPECT_TRUE(again->GetDynamicRecord(0)->GetDouble(0, value));
        EXPECT_EQ(value, 42.0);
    }
    EXPECT_EQ(heap::LiveBytes(), before);
}

// Records, their bytes, the stream's buffer and the contents' bookkeeping together stay within a
// quarter more than the file, and no single allocation is larger than the file. (A take of a
// few kilobytes needs more: the stream's buffer alone may be as large as the file.)
TEST(RecordBytes, ReadingATakeHoldsAtMostAQuarterMoreThanTheFile) {
    TempDir dir;
    for (int32_t frames : {300, 3000}) {
        SCOPED_TRACE(std::to_string(frames) + " frames");
        std::string path = WriteSampleTake(dir, frames);
        ASSERT_FALSE(path.empty());
        const double fileSize = static_cast<double>(ReadFileBytes(path).size());
        size_t before = heap::LiveBytes();
        heap::ResetPeak();
        heap::LargestAllocationScope allocations;
        std::unique_ptr<KFileContents> contents = ReadFileOrFail(path);
        ASSERT_TRUE(contents);
        EXPECT_LE(static_cast<double>(heap::PeakBytes() - before), 1.25 * fileSize);
        EXPECT_LE(static_cast<double>(allocations.Largest()), fileSize);
    }
}

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer sees each record's bounds: the byte after a record is off limits, as it would be
// after a buffer of its own.
TEST(RecordBytes, TheSanitizerSeesEachRecordsEnd) {
    KFileContents contents;
    for (int16_t length : {1, 6, 8, 1806}) {
        KBytes bytes = contents.NewRecordBytes(length, kUnknownRemainder);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(__asan_region_is_poisoned(bytes.get(), static_cast<size_t>(length)), nullptr);
        EXPECT_TRUE(__asan_address_is_poisoned(bytes.get() + length)) << length;
    }
}
#endif

}  // namespace
