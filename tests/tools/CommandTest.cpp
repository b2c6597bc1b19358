// The kfile subcommands on generated and hand-built takes: usage and exit status, info and
// labels as JSON read back, export as CSV read back.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <nlohmann/json.hpp>
#include <ostream>

#include "Csv.h"
#include "HeapCounter.h"
#include "Output.h"
#include "TakeGenerator.h"
#include "TakeReading.h"
#include "TestFiles.h"
#include "ToolRun.h"

using namespace testsupport;
using namespace kfile;

namespace {

class Command : public testing::Test {
  protected:
    // A small generated take, written once per test.
    std::string Generated() {
        TakeOptions options;
        options.frames = 40;
        options.markers = 4;
        options.segments = 3;
        options.missingEvery = 10;
        const std::string path = dir_.Path("take.K");
        EXPECT_TRUE(WriteGeneratedTake(options, path));
        return path;
    }

    // A take whose single datagroup has these labels (double values) and one record per frame
    // with the values given.
    std::string HandBuilt(const std::vector<std::string>& labels,
                          const std::vector<std::vector<double>>& frames, float rate = 100.0f) {
        ByteBuilder take;
        take.FileHeader()
            .Section("DATAGROUP", RecordBody({DatagroupPayload(0, "G", 6, 8, rate, labels)}))
            .Terminator();
        for (size_t f = 0; f < frames.size(); ++f) {
            take.Framed(DynamicPayload(0, static_cast<int32_t>(f + 1), frames[f]));
        }
        return dir_.Write("hand.K", take.bytes());
    }

    TempDir dir_;
};

struct UsageCase {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    const char* inOut;  // text expected on standard output (or empty)
    const char* inErr;  // text expected on standard error (or empty)
};

// By name: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const UsageCase& c, std::ostream* out) {
    *out << c.name;
}

class Usage : public testing::TestWithParam<UsageCase> {};

TEST_P(Usage, ExitStatusAndStreams) {
    const UsageCase& usage = GetParam();
    const ToolRun run = RunTool(usage.arguments);
    EXPECT_EQ(run.status, usage.status) << run.err;
    EXPECT_NE(run.out.find(usage.inOut), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(usage.inErr), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Kfile, Usage,
    testing::Values(
        UsageCase{"Help", {"--help"}, 0, "generate", ""},
        UsageCase{"Version", {"--version"}, 0, "kfile 1.", ""},
        UsageCase{"InfoHelp", {"info", "--help"}, 0, "--json", ""},
        UsageCase{"LabelsHelp", {"labels", "--help"}, 0, "TAKE", ""},
        UsageCase{"ValidateHelp", {"validate", "--help"}, 0, "Exit status", ""},
        UsageCase{"ExportHelp", {"export", "--help"}, 0, "--datagroup", ""},
        UsageCase{"GenerateHelp", {"generate", "--help"}, 0, "--seed", ""},
        UsageCase{"NoCommand", {}, 2, "", "subcommand"},
        UsageCase{"UnknownCommand", {"frobnicate"}, 2, "", "frobnicate"},
        UsageCase{"MissingTake", {"info"}, 2, "", "TAKE is required (see kfile info --help)"},
        UsageCase{"NegativeCount", {"generate", "x.K", "--frames", "-1"}, 2, "", "--frames"},
        UsageCase{"NotANumber", {"generate", "x.K", "--rate", "fast"}, 2, "", "--rate"},
        UsageCase{"TooManyChannels", {"generate", "x.K", "--markers", "1000"}, 2, "", "channels"},
        UsageCase{"NoSubject",
                  {"generate", "x.K", "--subjects", "0", "--markers", "0"},
                  2,
                  "",
                  "--subjects must be a whole number from 1 to 1000 (see kfile generate --help)"},
        UsageCase{"NoChannel",
                  {"generate", "x.K", "--markers", "0", "--segments", "0"},
                  2,
                  "",
                  "no subject with a channel: it needs a subject and a marker or a segment (see "
                  "kfile generate --help for the limits)"},
        UsageCase{"LimitsInHelp", {"generate", "--help"}, 0, "--subjects INT:1 to 1000", ""},
        UsageCase{"EmptyOut", {"generate", ""}, 2, "", "OUT must name a file"},
        UsageCase{"EmptyExportOut", {"export", "t.K", "--out", ""}, 2, "", "--out must name a"},
        UsageCase{"JsonUsageError",
                  {"labels", "--json"},
                  2,
                  "{\n  \"error\": {\n    \"path\": null,\n    \"reason\": \"TAKE is required (see "
                  "kfile labels --help)\"",
                  ""},
        UsageCase{"FramesTooMany",
                  {"generate", "x.K", "--frames", "1e400"},
                  2,
                  "",
                  "--frames must be a whole number from 1 to 715827882"},
        UsageCase{"RateNotANumber",
                  {"generate", "x.K", "--rate", "29,97"},
                  2,
                  "",
                  "--rate must be a number from 1 to 100000"},
        UsageCase{"DatagroupTwice", {"export", "t.K", "1", "--datagroup", "1"}, 2, "", "exclude"},
        UsageCase{"DatagroupNotANumber", {"export", "t.K", "one"}, 2, "", "DATAGROUP must be"},
        UsageCase{"TakesWithoutOutDir", {"export", "a.K", "b.K", "c.K"}, 2, "", "--out-dir"},
        UsageCase{"C3dWithoutOut", {"export", "t.K", "--format", "c3d"}, 2, "", "--out"},
        UsageCase{"UnknownFormat", {"export", "t.K", "--format", "fbx"}, 2, "", "--format"},
        UsageCase{"OutAndOutDir", {"export", "t.K", "-o", "x", "--out-dir", "d"}, 2, "", "exclude"},
        UsageCase{"MissingFile", {"info", "/nonexistent/take.K"}, 1, "", "cannot open"}),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

TEST_F(Command, InfoListsSectionsParametersAndDatagroups) {
    const std::string take = Generated();
    const ToolRun run = RunTool({"info", take, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json info = Json::parse(run.out);

    std::vector<std::string> names;
    for (const Json& section : info["sections"]) {
        names.push_back(section["name"]);
        EXPECT_EQ(section["kept"], section["name"] != "TAKEINFO");
    }
    EXPECT_EQ(names, (std::vector<std::string>{"PARAMETER", "TAKEINFO", "DATAGROUP"}));
    EXPECT_EQ(info["sections"][0]["offset"], 4);
    EXPECT_EQ(info["parameters"][0]["values"], Json({"Bob1", "Ann"}));
    EXPECT_EQ(info["parameters"][1]["values"], Json({1, 40}));

    const Json& groups = info["datagroups"];
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0]["valueTypeName"], "Double");
    EXPECT_EQ(groups[0]["channelCount"], 3 * (2 * 4 + 2));
    EXPECT_EQ(groups[0]["records"], 40);
    EXPECT_EQ(groups[0]["lastFrame"], 40);
    EXPECT_EQ(groups[2]["valueTypeName"], "Float");
    EXPECT_EQ(groups[2]["rate"], 120.0);
    EXPECT_EQ(groups[2]["records"], 40);

    // The missing values it counts are the empty cells of the export.
    for (const Json& group : groups) {
        const ToolRun exported = RunTool({"export", take, "-d", group["id"].dump()});
        ASSERT_EQ(exported.status, 0) << exported.err;
        const auto rows = ParseCsv(exported.out);
        for (const Json& channel : group["channels"]) {
            int64_t empty = 0;
            for (size_t r = 1; r < rows.size(); ++r) {
                empty += rows[r][2 + channel["channel"].get<size_t>()].empty() ? 1 : 0;
            }
            EXPECT_EQ(channel["missing"], empty) << channel["label"];
        }
    }
    EXPECT_GT(groups[0]["channels"][0]["missing"].get<int>() +
                  groups[0]["channels"][3]["missing"].get<int>(),
              0);

    const ToolRun text = RunTool({"info", take});
    EXPECT_NE(text.out.find("TAKEINFO at byte"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Bob1:LFHD <P-X> <P-Y> <P-Z>: "), std::string::npos) << text.out;
}

TEST_F(Command, EveryCommandRefusesATakeThatIsNotAKfile) {
    const std::string take = dir_.Write("cut.K", ByteBuilder().FileHeader().bytes());
    for (const char* command : {"info", "labels", "export"}) {
        const ToolRun run = RunTool({command, take});
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_NE(run.err.find("not a complete K-file"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << command;
    }
    for (const char* command : {"info", "labels"}) {
        const Json error = Json::parse(RunTool({command, take, "--json"}).out)["error"];
        EXPECT_EQ(error["offset"], 4) << command;
    }
}

// A read that runs out of memory says so, whichever allocation fails.
TEST_F(Command, AReadWithoutMemorySaysSo) {
    const std::string take = Generated();
    int failures = 0;
    for (long long allowed = 0; allowed < 400; allowed += 7) {
        heap::FailAfter(allowed);
        const KReadResult read = ReadTake(take);
        heap::FailAfter(-1);
        if (read.report.error != KReadError::kNoMemory) {
            continue;
        }
        ++failures;
        const FileError error = ReadFailure(take, read.report);
        EXPECT_EQ(error.reason.rfind("cannot read: there is not enough memory", 0), 0u)
            << error.reason;
    }
    EXPECT_GT(failures, 10);
}

// Every command on every kind of path it cannot read: one line naming the path and the system's
// reason and exit status 1, or with --json the same as a JSON error on standard output.
TEST_F(Command, EveryCommandTellsWhyAPathCannotBeRead) {
    const std::string file = dir_.Write("file.K", ByteBuilder().FileHeader().bytes());
    std::vector<std::pair<std::string, std::string>> paths = {
        {dir_.Path("missing.K"), "No such file or directory"},
        {dir_.Path(""), "Is a directory"},
        {file + "/take.K", "Not a directory"},
    };
#ifndef _WIN32
    const std::string fifo = dir_.Path("fifo.K");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    paths.emplace_back(fifo, "not a regular file");
    if (geteuid() != 0) {  // root reads whatever the permissions say
        const std::string locked = dir_.Write("locked.K", ByteBuilder().FileHeader().bytes());
        ASSERT_EQ(chmod(locked.c_str(), 0), 0);
        paths.emplace_back(locked, "Permission denied");
    }
#endif
    for (const auto& [path, reason] : paths) {
        for (const char* command : {"info", "labels", "validate", "export"}) {
            SCOPED_TRACE(std::string(command) + " " + path);
            const ToolRun run = RunTool({command, path});
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, "kfile: '" + path + "': cannot open: " + reason + "\n");
            if (std::string(command) == "export") {
                continue;
            }
            const ToolRun json = RunTool({command, path, "--json"});
            EXPECT_EQ(json.status, 1);
            EXPECT_EQ(json.err, "");
            const Json error = Json::parse(json.out)["error"];
            EXPECT_EQ(error["path"], path);
            EXPECT_EQ(error["reason"], "cannot open: " + reason);
            EXPECT_TRUE(error["offset"].is_null());
        }
    }
    const ToolRun generate = RunTool({"generate", file + "/take.K"});
    EXPECT_EQ(generate.status, 1);
    EXPECT_NE(generate.err.find("cannot write: Not a directory"), std::string::npos)
        << generate.err;
}

// Names and labels with bytes 0x80-0xFF come out as UTF-8, one character per byte, in every
// JSON and CSV output.
TEST_F(Command, EightBitNamesComeOutAsUtf8) {
    const std::string zoe = "Zo\xE9:T\xEAte <P-X>";
    const std::string all = std::string("\x80\x9F\xA0\xFF <P-Y>");
    const std::string take = HandBuilt({zoe, all}, {{1.0, 2.0}});
    const std::string zoeUtf8 = "Zo\xC3\xA9:T\xC3\xAAte <P-X>";
    const std::string allUtf8 = "\xC2\x80\xC2\x9F\xC2\xA0\xC3\xBF <P-Y>";

    const Json info = Json::parse(RunTool({"info", take, "--json"}).out);
    EXPECT_EQ(info["datagroups"][0]["channels"][0]["label"], zoeUtf8);
    EXPECT_EQ(info["datagroups"][0]["channels"][1]["label"], allUtf8);
    const Json labels = Json::parse(RunTool({"labels", take, "--json"}).out);
    EXPECT_EQ(labels["datagroups"][0]["channels"][0]["label"], zoeUtf8);
    EXPECT_EQ(labels["datagroups"][0]["channels"][0]["subject"], "Zo\xC3\xA9");
    // The group is named from the 8-bit name, one "_" for the one byte, as the import names it.
    EXPECT_EQ(labels["datagroups"][0]["subjects"][0]["group"], "Zo_");
    EXPECT_EQ(labels["datagroups"][0]["channels"][0]["keys"][0]["path"], "|Zo_|T_te_marker");
    const Json validate = Json::parse(RunTool({"validate", take, "--json"}).out);
    EXPECT_TRUE(validate["clean"]);
    // File names too, in JSON: each byte the character of its code, never U+FFFD.
    const std::string named = dir_.Write("Zo\xE9.K", ReadFileBytes(take));
    const std::string namedUtf8 = dir_.Path("Zo\xC3\xA9.K");
    for (const char* command : {"info", "labels", "validate"}) {
        EXPECT_EQ(Json::parse(RunTool({command, named, "--json"}).out)["file"], namedUtf8);
    }
    const Json missing = Json::parse(RunTool({"info", named + "x", "--json"}).out);
    EXPECT_EQ(missing["error"]["path"], namedUtf8 + "x");
    const auto rows = ParseCsv(RunTool({"export", take}).out);
    EXPECT_EQ(rows.at(0), (std::vector<std::string>{"frame", "time", zoeUtf8, allUtf8}));
}

struct LabelCase {
    size_t channel;
    const char* kind;
    const char* subject;
    const char* keys;  // "|group|node.attribute", or the start of the reason it keys nothing
};

TEST_F(Command, LabelsShowHowTheImportReadsEachChannel) {
    const std::string take =
        HandBuilt({"HEAD <P-X>", "head <P-Y>", "Bob2:Hips <T-X>", "Bob1:Hips <T-X>",
                   "Bob1:Hips <t-Y>", "Fz", "Ann:Hips <Q-X>", "Kim3:Knee  <T-Z> ", "Fx <t-X>",
                   "Bob1:Left Knee <T-X>", "Kim3:Knee <A-X>"},
                  {});
    const ToolRun run = RunTool({"labels", take, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json labels = Json::parse(run.out);
    const Json& channels = labels["datagroups"][0]["channels"];
    const LabelCase cases[] = {
        {0, "marker", "", "|UnnamedCharacter|HEAD_marker.tx"},
        {1, "marker", "", "its name matches an earlier name only when case is ignored"},
        {2, "segment", "Bob", "channel 3 keys the same attribute"},
        {3, "segment", "Bob", "|Bob|Hips.tx"},
        {4, "local", "Bob", "|Bob|Hips_local.ty"},
        {5, "local", "", "it has no suffix such as <P-X>"},
        {6, "local", "Ann", "its suffix <Q-X> names no attribute"},
        {7, "local", "Kim", "|Kim|Knee_local.tz"},
        {8, "local", "", "|Fx_local.tx"},            // no subject: the top of the scene
        {9, "segment", "Bob", "|Bob|Left_Knee.tx"},  // a node name
        {10, "segment", "Kim", "the import keys a rotation only from all three angles"},
    };
    ASSERT_EQ(channels.size(), std::size(cases));
    for (const LabelCase& expected : cases) {
        const Json& channel = channels[expected.channel];
        SCOPED_TRACE(channel.dump());
        EXPECT_EQ(channel["channel"], expected.channel);
        EXPECT_EQ(channel["kind"], expected.kind);
        EXPECT_EQ(channel["subject"], expected.subject);
        std::string keys;
        for (const Json& key : channel["keys"]) {
            keys += key["path"].get<std::string>() + "." + key["attribute"].get<std::string>();
        }
        if (channel["keys"].empty()) {
            keys = channel["skipped"];
        }
        EXPECT_EQ(keys.rfind(expected.keys, 0), 0u) << keys;
    }

    const ToolRun text = RunTool({"labels", take});
    for (const char* line :
         {"  subjects: Bob (Bob2 and Bob1 merged), Ann, Kim (Kim3)\n",
          "  3 Bob1:Hips <T-X>: segment Bob1:Hips, subject Bob, keys |Bob|Hips.tx\n",
          "renames a node whose name a sibling already holds"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << text.out;
    }
}

TEST_F(Command, ExportWritesFramesTimesAndValuesThatReadBackExactly) {
    double missing;
    const uint64_t marker = 0x43F0000000000000ull;
    std::memcpy(&missing, &marker, sizeof missing);
    const std::vector<std::vector<double>> frames = {
        {0.1, -2.5e-7, 1e300}, {missing, 3.0, -0.0}, {1.0 / 3.0, missing, 42.0}};
    const std::string take =
        HandBuilt({"Bob:\"odd\", name <P-X>", " padded <P-Y>", "plain <P-Z>"}, frames, 120.0f);

    const ToolRun run = RunTool({"export", take, "--out", dir_.Path("out.csv")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const Bytes written = ReadFileBytes(dir_.Path("out.csv"));
    const auto rows = ParseCsv(std::string(written.begin(), written.end()));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"frame", "time", "Bob:\"odd\", name <P-X>",
                                                 " padded <P-Y>", "plain <P-Z>"}));
    for (size_t f = 0; f < frames.size(); ++f) {
        const std::vector<std::string>& row = rows[f + 1];
        ASSERT_EQ(row.size(), 5u);
        EXPECT_EQ(std::stoi(row[0]), f + 1);
        EXPECT_EQ(std::stod(row[1]), (f + 1) / 120.0);
        for (size_t c = 0; c < 3; ++c) {
            const bool isMissing = std::memcmp(&frames[f][c], &missing, sizeof missing) == 0;
            if (isMissing) {
                EXPECT_EQ(row[2 + c], "");
            } else {
                EXPECT_EQ(std::stod(row[2 + c]), frames[f][c]) << row[2 + c];
            }
        }
    }
    EXPECT_EQ(RunTool({"export", take, "0"}).out, std::string(written.begin(), written.end()));
    EXPECT_EQ(RunTool({"export", take, "--datagroup", "7"}).status, 1);
}

TEST_F(Command, ExportOfRecordsShorterThanTheirDatagroupFailsAfterWritingThem) {
    ByteBuilder take;
    take.FileHeader()
        .Section("DATAGROUP", RecordBody({DatagroupPayload(0, "G", 6, 8, 100, {"a", "b"})}))
        .Terminator()
        .Framed(DynamicPayload(0, 1, {1.0, 2.0}))
        .Framed(DynamicPayload(0, 2, {3.0}));
    const ToolRun run = RunTool({"export", dir_.Write("short.K", take.bytes())});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("1 record of datagroup 0 does not hold one value per channel"),
              std::string::npos)
        << run.err;
    const auto rows = ParseCsv(run.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2], (std::vector<std::string>{"2", "0.02", "3", ""}));

    // As C3D and TRC the short record's point is invalid, and the export fails all the same.
    ByteBuilder points;
    points.FileHeader()
        .Section(
            "DATAGROUP",
            RecordBody({DatagroupPayload(0, "G", 6, 8, 100, {"M <P-X>", "M <P-Y>", "M <P-Z>"})}))
        .Terminator()
        .Framed(DynamicPayload(0, 1, {1.0, 2.0, 3.0}))
        .Framed(DynamicPayload(0, 2, {3.0}));
    const std::string shortPoints = dir_.Write("points.K", points.bytes());
    for (const char* format : {"c3d", "trc"}) {
        const ToolRun file =
            RunTool({"export", shortPoints, "-f", format, "-o", dir_.Path("points.out")});
        EXPECT_EQ(file.status, 1) << format;
        EXPECT_NE(file.err.find("1 record of datagroup 0 does not hold one value per channel"),
                  std::string::npos)
            << file.err;
        EXPECT_FALSE(ReadFileBytes(dir_.Path("points.out")).empty());
    }
    // info counts the value past the end of the short record as missing, as export leaves it out.
    const Json info = Json::parse(RunTool({"info", dir_.Path("short.K"), "--json"}).out);
    EXPECT_EQ(info["datagroups"][0]["channels"][1]["missing"], 1);
    EXPECT_EQ(info["datagroups"][0]["channels"][0]["missing"], 0);
}

// --out naming the take by any other path is refused before anything is written.
TEST_F(Command, ExportRefusesToWriteOverTheTakeByAnyPath) {
    const std::string take = Generated();
    const Bytes before = ReadFileBytes(take);
    std::filesystem::create_directory(dir_.Path("sub"));
    std::vector<std::string> paths = {take, dir_.Path("./take.K"), dir_.Path("sub/../take.K")};
    std::error_code error;
    std::filesystem::create_symlink(take, dir_.Path("link.K"), error);
    if (!error) {
        paths.push_back(dir_.Path("link.K"));
    }
    std::filesystem::create_hard_link(take, dir_.Path("hard.K"), error);
    if (!error) {
        paths.push_back(dir_.Path("hard.K"));
    }
    EXPECT_GE(paths.size(), 4u);
    for (const char* format : {"csv", "c3d", "trc"}) {
        for (const std::string& out : paths) {
            const ToolRun run = RunTool({"export", take, "--format", format, "--out", out});
            EXPECT_EQ(run.status, 2) << format << " " << out;
            EXPECT_NE(run.err.find("is the take itself"), std::string::npos) << run.err;
            EXPECT_EQ(ReadFileBytes(take), before) << format << " " << out;
        }
    }
}

TEST(Csv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"Bob:LFHD <P-X>", "Bob:LFHD <P-X>"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
        {" lead", "\" lead\""},
        {"trail ", "\"trail \""},
    };
    for (const auto& [text, field] : cases) {
        EXPECT_EQ(CsvField(text), field) << text;
        EXPECT_EQ(ParseCsv(CsvField(text) + "\n"), (std::vector<std::vector<std::string>>{{text}}));
    }
}

}  // namespace
