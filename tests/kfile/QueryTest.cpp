// The questions the import asks of a contents object: sections, datagroups, frames and the
// cursor over dynamic records.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ReadSupport.h"
#include "SampleTake.h"

using namespace kfile;
using namespace testsupport;

namespace {

std::unique_ptr<KFileDynamicRecord> Record(int16_t id, int32_t frame, double value = 0.0) {
    Bytes payload = DynamicPayload(id, frame, {value});
    KBytes raw(new uint8_t[payload.size()]);
    std::copy(payload.begin(), payload.end(), raw.get());
    auto record =
        std::make_unique<KFileDynamicRecord>(std::move(raw), static_cast<int16_t>(payload.size()));
    record->Unpack();
    return record;
}

std::unique_ptr<KFileContents> WithFrames(const std::vector<std::pair<int16_t, int32_t>>& records) {
    auto contents = std::make_unique<KFileContents>();
    for (const auto& [id, frame] : records) {
        contents->AddDynamicRecord(Record(id, frame));
    }
    return contents;
}

TEST(Sections, FoundIgnoringCaseAndDuplicatesRefused) {
    KFileContents contents;
    auto first = std::make_unique<KFileDatagroupSection>(2);
    KFileDatagroupSection* kept = first.get();
    ASSERT_TRUE(contents.AddSection(std::move(first)));
    EXPECT_EQ(contents.FindSection("datagroup"), kept);
    EXPECT_EQ(contents.GetDatagroupSection(), kept);
    EXPECT_EQ(contents.FindSection("PARAMETER"), nullptr);
    EXPECT_EQ(contents.GetParameterSection(), nullptr);

    auto second = std::make_unique<KFileParameterSection>(2);
    second->SetName("DataGroup");
    EXPECT_FALSE(contents.AddSection(std::move(second)));
    EXPECT_EQ(contents.GetSectionCount(), 1);
    EXPECT_EQ(contents.GetDatagroupSection(), kept);
}

// A section under a known name that is not of the known kind is found by name, never as the
// typed section.
TEST(Sections, TypedAccessNeedsTheKnownKind) {
    KFileContents contents;
    ASSERT_TRUE(
        contents.AddSection(std::make_unique<KFileUnknownSection>(0, "DATAGROUP", nullptr)));
    EXPECT_NE(contents.FindSection("DATAGROUP"), nullptr);
    EXPECT_EQ(contents.GetDatagroupSection(), nullptr);
    EXPECT_EQ(contents.GetDatagroupCount(), 0);
}

TEST(Datagroups, AnswersWithoutASection) {
    KFileContents contents;
    std::vector<std::string> labels{"untouched"};
    EXPECT_EQ(contents.GetDatagroupCount(), 0);
    EXPECT_EQ(contents.GetDatagroupRate(0), 0.0f);
    EXPECT_FALSE(contents.GetDatagroupLabels(0, labels));
    EXPECT_EQ(labels, std::vector<std::string>{"untouched"});
}

TEST(Datagroups, RateFromTheFirstRecordLabelsFromTheLast) {
    BytesRead read = ReadBytes(
        ByteBuilder()
            .FileHeader()
            .Section("DATAGROUP", RecordBody({DatagroupPayload(0, "", 6, 8, 100.0f, {"a"}),
                                              DatagroupPayload(1, "", 6, 8, 60.0f, {}),
                                              DatagroupPayload(0, "", 6, 8, 50.0f, {"b", "c"})}))
            .Terminator()
            .bytes());
    ASSERT_TRUE(read.contents);
    const KFileContents& contents = *read.contents;
    EXPECT_EQ(contents.GetDatagroupCount(), 3);
    EXPECT_EQ(contents.GetDatagroupRate(0), 100.0f);
    EXPECT_EQ(contents.GetDatagroupRate(1), 60.0f);
    EXPECT_EQ(contents.GetDatagroupRate(2), 0.0f);
    std::vector<std::string> labels;
    EXPECT_TRUE(contents.GetDatagroupLabels(0, labels));
    EXPECT_EQ(labels, (std::vector<std::string>{"b", "c"}));
    EXPECT_TRUE(contents.GetDatagroupLabels(1, labels));
    EXPECT_TRUE(labels.empty());
}

TEST(Frames, FirstAndLast) {
    EXPECT_EQ(WithFrames({})->GetFirstFrame(), 0);
    EXPECT_EQ(WithFrames({})->GetLastFrame(), 0);
    auto contents = WithFrames({{0, 7}, {0, 3}, {1, 12}});
    EXPECT_EQ(contents->GetFirstFrame(), 7);
    EXPECT_EQ(contents->GetLastFrame(), 12);
    EXPECT_EQ(WithFrames({{0, -1}, {1, -1}})->GetLastFrame(), 0);
    EXPECT_EQ(WithFrames({{0, -4}})->GetFirstFrame(), -4);
}

TEST(Frames, FindReturnsTheFirstMatchAndFollowsLaterAdditions) {
    auto contents = WithFrames({{0, 1}, {1, 1}, {0, 2}});
    contents->AddDynamicRecord(Record(0, 1, 5.0));  // same key as the first: must not win
    const KFileDynamicRecord* first = contents->GetDynamicRecord(0);
    EXPECT_EQ(contents->FindDynamicRecord(0, 1), first);
    EXPECT_EQ(contents->FindDynamicRecord(1, 1), contents->GetDynamicRecord(1));
    EXPECT_EQ(contents->FindDynamicRecord(1, 2), nullptr);
    EXPECT_EQ(contents->FindDynamicRecord(-1, 1), nullptr);

    contents->AddDynamicRecord(Record(1, 2));  // after the index exists
    EXPECT_EQ(contents->FindDynamicRecord(1, 2), contents->GetDynamicRecord(4));
    contents->AddDynamicRecord(Record(0, 1));
    EXPECT_EQ(contents->FindDynamicRecord(0, 1), first);

    contents->GetDynamicRecord(0)->SetFrame(9);  // never answered for its old frame again
    EXPECT_EQ(contents->FindDynamicRecord(0, 1), contents->GetDynamicRecord(3));
    EXPECT_EQ(contents->FindDynamicRecord(0, 9), first);
}

TEST(Cursor, WalksAllRecordsThenStaysAtTheEnd) {
    auto contents = WithFrames({{0, 1}, {1, 1}, {0, 2}});
    EXPECT_EQ(WithFrames({})->FirstDynamicRecord(), nullptr);
    EXPECT_EQ(contents->FirstDynamicRecord(), contents->GetDynamicRecord(0));
    EXPECT_EQ(contents->NextDynamicRecord(), contents->GetDynamicRecord(1));
    EXPECT_EQ(contents->NextDynamicRecord(), contents->GetDynamicRecord(2));
    EXPECT_EQ(contents->NextDynamicRecord(), nullptr);
    EXPECT_EQ(contents->NextDynamicRecord(), nullptr);
}

TEST(Cursor, VisitsEachRecordOfOneDatagroupOnceInFileOrder) {
    auto contents = WithFrames({{1, 1}, {0, 1}, {1, 2}, {0, 2}, {1, 3}});
    std::vector<int32_t> frames;
    for (auto* r = contents->FirstDynamicRecord(1); r; r = contents->NextDynamicRecord(1)) {
        frames.push_back(r->GetFrame());
    }
    EXPECT_EQ(frames, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(contents->NextDynamicRecord(1), nullptr);
    EXPECT_EQ(contents->NextDynamicRecord(0), nullptr);
    EXPECT_EQ(contents->FirstDynamicRecord(7), nullptr);
    EXPECT_EQ(contents->FirstDynamicRecord(0)->GetFrame(), 1);
}

// Several threads ask one contents object at once, the first of them building the index; run
// under ThreadSanitizer (preset tsan) this also shows that nothing races.
TEST(Frames, FindAnswersSeveralThreadsAtOnce) {
    SampleTakeOptions options;
    options.markerCount = 2;
    options.segmentCount = 1;
    options.frameCount = 200;
    std::unique_ptr<KFileContents> take = SampleTake(options).MakeContents();
    ASSERT_TRUE(take);
    const KFileContents& contents = *take;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int32_t frame = contents.GetFirstFrame(); frame <= contents.GetLastFrame();
                 ++frame) {
                for (int16_t id : {0, 1}) {
                    const KFileDynamicRecord* record = contents.FindDynamicRecord(id, frame);
                    wrong += !record || record->GetId() != id || record->GetFrame() != frame;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, 0);
}

TEST(Ranges, WalkConstContentsInFileOrder) {
    auto contents = WithFrames({{1, 1}, {0, 1}, {1, 2}});
    const KFileContents& walked = *contents;
    std::vector<std::pair<int16_t, int32_t>> all;
    for (const KFileDynamicRecord& record : walked.GetDynamicRecords()) {
        all.emplace_back(record.GetId(), record.GetFrame());
    }
    EXPECT_EQ(all, (std::vector<std::pair<int16_t, int32_t>>{{1, 1}, {0, 1}, {1, 2}}));
    std::vector<int32_t> frames;
    for (const KFileDynamicRecord& record : walked.GetDynamicRecords(1)) {
        frames.push_back(record.GetFrame());
    }
    EXPECT_EQ(frames, (std::vector<int32_t>{1, 2}));
    EXPECT_TRUE(walked.GetDynamicRecords(7).empty());
    EXPECT_TRUE(KFileContents().GetDynamicRecords().empty());
}

}  // namespace
