// kfile validate: a clean generated take, and one broken take per finding, each found with its
// section, record and byte offset.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "TakeGenerator.h"
#include "TestFiles.h"
#include "ToolRun.h"

using Json = nlohmann::json;
using namespace testsupport;

namespace {

// Offsets in the takes below: the file header is 4 bytes, a section header 32.
constexpr uint64_t kFirstBody = 4 + 32;

Bytes Datagroups(const std::vector<Bytes>& records) {
    return RecordBody(records);
}

Bytes Group(int16_t id, std::vector<std::string> labels = {"a <P-X>", "a <P-Y>"},
            float rate = 100.0f, uint8_t type = 6, uint8_t size = 8) {
    return DatagroupPayload(id, "", type, size, rate, labels);
}

// A take with these datagroup records and these dynamic record payloads.
Bytes Take(const std::vector<Bytes>& groups, const std::vector<Bytes>& records) {
    ByteBuilder take;
    take.FileHeader().Section("DATAGROUP", Datagroups(groups)).Terminator();
    for (const Bytes& record : records) {
        take.Framed(record);
    }
    return take.bytes();
}

// Where the dynamic records of Take(groups, ...) start.
uint64_t RecordsStart(const std::vector<Bytes>& groups) {
    return kFirstBody + Datagroups(groups).size() + 32;
}

Bytes Frame(int16_t id, int32_t frame, size_t values = 2) {
    return DynamicPayload(id, frame, std::vector<double>(values, 1.5));
}

struct BrokenTake {
    const char* name;
    Bytes bytes;
    const char* check;
    const char* section;
    int64_t record;
    uint64_t offset;
    const char* says;  // part of the message
};

std::vector<BrokenTake> BrokenTakes() {
    const std::vector<Bytes> one = {Group(0)};
    const uint64_t records = RecordsStart(one);
    const uint64_t second = records + 2 + 6 + 16;  // after one framed record of two doubles
    Bytes cutBody = ByteBuilder().FileHeader().SectionHeader(100, "DATAGROUP").Raw({0, 0}).bytes();
    Bytes cutList = ByteBuilder().FileHeader().Section("NOTES", {1, 2, 3}).Raw({9, 9}).bytes();
    Bytes cutRecord = Take(one, {Frame(0, 1)});
    cutRecord.resize(cutRecord.size() - 3);
    Bytes negativeLength = Take(one, {});
    negativeLength.insert(negativeLength.end(), {0xFB, 0xFF, 'j', 'u', 'n', 'k'});
    Bytes longRecord = ByteBuilder()
                           .FileHeader()
                           .Section("DATAGROUP", ByteBuilder().I16(50).Raw({1, 2, 3}).bytes())
                           .Terminator()
                           .bytes();
    return {
        {"NotAKfile", {'k', '#', 1, 0}, "not-a-k-file", "header", -1, 0, "\"K#\""},
        {"TooShort", {'K'}, "not-a-k-file", "header", -1, 0, "holds 1 byte; a K-file"},
        {"SectionCut", cutBody, "truncated-section", "DATAGROUP", -1, 4, "declares 100"},
        {"NoTerminator", cutList, "truncated-section", "header", -1, 4 + 32 + 3, "terminator"},
        {"RecordPastBody", longRecord, "truncated-record", "DATAGROUP", 0, kFirstBody,
         "announces 50 bytes"},
        {"RecordCut", cutRecord, "truncated-record", "records", 0, records, "file ends"},
        {"RecordLength", Take(one, {Frame(0, 1, 3)}), "record-length", "records", 0, records,
         "6 + 2 labels x 8 bytes = 22"},
        {"RecordLengthOneLabel", Take({Group(0, {"a <P-X>"})}, {Frame(0, 1)}), "record-length",
         "records", 0, RecordsStart({Group(0, {"a <P-X>"})}), "6 + 1 label x 8 bytes = 14"},
        {"UnknownDatagroup", Take(one, {Frame(0, 1), Frame(4, 1)}), "unknown-datagroup", "records",
         1, second, "datagroup 4"},
        {"DuplicateFrame", Take(one, {Frame(0, 7), Frame(0, 7)}), "duplicate-frame", "records", 1,
         second, "repeats record 0"},
        {"FrameOrder", Take(one, {Frame(0, 7), Frame(0, 3)}), "frame-order", "records", 1, second,
         "after frame 7"},
        {"NegativeLength", negativeLength, "negative-length", "records", 0, records,
         "announces -5 bytes"},
        {"RateZero", Take({Group(0, {"a <P-X>"}, 0.0f)}, {}), "rate", "DATAGROUP", 0, kFirstBody,
         "the import keys none of its frames"},
        {"RateNegative", Take({Group(0, {"a <P-X>"}, -0.5f)}, {}), "rate", "DATAGROUP", 0,
         kFirstBody, "has rate -0.5:"},
        {"IdsNotFromZero", Take({Group(1)}, {}), "datagroup-ids", "DATAGROUP", 0, kFirstBody,
         "outside 0 to 0"},
        {"IdTwice", Take({Group(0), Group(0)}, {}), "datagroup-ids", "DATAGROUP", 1,
         kFirstBody + 2 + Group(0).size(), "taken already by record 0"},
        {"ValueSize", Take({Group(0, {"a <P-X>"}, 100.0f, 6, 4)}, {}), "value-size", "DATAGROUP", 0,
         kFirstBody, "4-byte slots, but its value type 6 (Double) is 8 bytes wide"},
    };
}

class Validate : public testing::TestWithParam<BrokenTake> {
  protected:
    TempDir dir_;
};

TEST_P(Validate, FindsTheProblemAndWhereItIs) {
    const BrokenTake& broken = GetParam();
    const std::string take = dir_.Write("broken.K", broken.bytes);
    const ToolRun run = RunTool({"validate", take, "--json"});
    EXPECT_EQ(run.status, 1);
    const Json report = Json::parse(run.out);
    EXPECT_FALSE(report["clean"]);
    bool found = false;
    for (const Json& finding : report["findings"]) {
        if (finding["check"] == broken.check) {
            found = true;
            EXPECT_EQ(finding["severity"], "problem");
            EXPECT_EQ(finding["section"], broken.section);
            EXPECT_EQ(finding["record"], broken.record);
            EXPECT_EQ(finding["offset"], broken.offset);
            EXPECT_NE(finding["message"].get<std::string>().find(broken.says), std::string::npos)
                << finding["message"];
        }
    }
    EXPECT_TRUE(found) << run.out;

    const ToolRun text = RunTool({"validate", take});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.out.find(std::string("problem [") + broken.check + "]"), std::string::npos)
        << text.out;
}

INSTANTIATE_TEST_SUITE_P(Kfile, Validate, testing::ValuesIn(BrokenTakes()),
                         [](const testing::TestParamInfo<BrokenTake>& info) {
                             return std::string(info.param.name);
                         });

TEST(ValidateClean, AGeneratedTakeIsCleanAndItsSkippedLabelsAreNotes) {
    TempDir dir;
    ASSERT_TRUE(WriteGeneratedTake(TakeOptions{}, dir.Path("take.K")));
    const ToolRun run = RunTool({"validate", dir.Path("take.K"), "--json"});
    EXPECT_EQ(run.status, 0) << run.out;
    const Json report = Json::parse(run.out);
    EXPECT_TRUE(report["clean"]);
    EXPECT_EQ(report["problems"], 0);
    EXPECT_EQ(report["notes"], 6);  // the force plate's channels key nothing
    for (const Json& finding : report["findings"]) {
        EXPECT_EQ(finding["check"], "skipped-label");
        EXPECT_EQ(finding["severity"], "note");
        EXPECT_NE(finding["message"].get<std::string>().find("Plate1:"), std::string::npos);
    }
    EXPECT_EQ(RunTool({"validate", dir.Path("missing.K")}).status, 1);
}

// A take cut inside a record: validate calls it a problem and notes the frames the parameters
// promise; info and export tell the bytes they dropped.
TEST(ValidateClean, ATakeCutInsideARecordIsAProblemEverywhere) {
    TempDir dir;
    TakeOptions options;
    options.frames = 20;
    ASSERT_TRUE(WriteGeneratedTake(options, dir.Path("take.K")));
    Bytes bytes = ReadFileBytes(dir.Path("take.K"));
    bytes.resize(bytes.size() / 2);
    const std::string cut = dir.Write("cut.K", bytes);

    const Json report = Json::parse(RunTool({"validate", cut, "--json"}).out);
    std::set<std::string> checks;
    for (const Json& finding : report["findings"]) {
        checks.insert(finding["check"].get<std::string>() + " " +
                      finding["severity"].get<std::string>());
    }
    EXPECT_TRUE(checks.count("truncated-record problem")) << report.dump(1);
    EXPECT_TRUE(checks.count("declared-frames note")) << report.dump(1);

    // The others show what the take holds, say what they dropped and exit 1, as --help says.
    const ToolRun info = RunTool({"info", cut, "--json"});
    EXPECT_EQ(info.status, 1);
    EXPECT_GT(Json::parse(info.out)["incompleteBytes"].get<int>(), 0);
    EXPECT_NE(RunTool({"info", cut}).out.find("ends inside a record"), std::string::npos);
    for (const char* command : {"labels", "export"}) {
        const ToolRun run = RunTool({command, cut});
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_NE(run.out, "") << command;
        EXPECT_NE(run.err.find("ends inside a record"), std::string::npos) << run.err;
    }
    EXPECT_NE(RunTool({"info", "--help"}).out.find("ends inside a record"), std::string::npos);
}

}  // namespace
