// Running MEL: statement order, errors, the command log, MGlobal::executeCommand and the
// display functions, fault injection of commands, ArgReader, and currentUnit.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <maya/MDistance.h>
#include <maya/MGlobal.h>
#include <maya/MTime.h>
#include <filesystem>

#include <host/command_log.h>
#include <host/faults.h>
#include <host/scene.h>

#include <ostream>
#include <string>
#include <vector>

#include "mel/command.h"
#include "mel/interpreter.h"

namespace {

class MelRun : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        host::clearFaults();
        host::clearCommandLog();
        host::clearMessageLog();
        MTime::setUIUnit(MTime::kFilm);
        MDistance::setUIUnit(MDistance::kCentimeters);
    }
    static std::string lastMessage() {
        const auto& log = host::messageLog();
        return log.empty() ? "" : log.back();
    }
};

TEST_F(MelRun, UnknownCommandAndFlagAreNamed) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MStatus::kFailure, MGlobal::executeCommand("noSuchCommand -x 1").statusCode());
    EXPECT_EQ("// Error: Cannot find procedure \"noSuchCommand\". //\n",
              testing::internal::GetCapturedStderr());
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -bogus"));
    EXPECT_EQ("// Error: currentUnit: Invalid flag: -bogus //", lastMessage());
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -l"));
    EXPECT_EQ("// Error: currentUnit: Missing value for flag: -l //", lastMessage());
}

TEST_F(MelRun, StatementsRunInOrderAndStopAtTheFirstFailure) {
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -l mm; nothing; currentUnit -l m"));
    EXPECT_EQ(MDistance::kMillimeters, MDistance::uiUnit());
    // A syntax error anywhere runs nothing at all.
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -l km; currentUnit -l $x"));
    EXPECT_EQ(MDistance::kMillimeters, MDistance::uiUnit());
}

// The interpreter keeps the statements it parsed, and forgets them with the scene. A text must
// still run to its end when one of its statements clears the scene and runs other MEL.
TEST_F(MelRun, ATextRunsToItsEndWhenItsStatementsClearTheScene) {
    std::vector<std::string> units;
    const mel::Outcome outcome =
        mel::execute("currentUnit -l mm; currentUnit -l m; currentUnit -l km",
                     [&units](const mel::Call& call, const mel::Outcome&) {
                         units.push_back(call.args.back().text);
                         host::resetScene();
                         mel::execute("currentUnit -q -l");  // parsed anew after the clear
                     });
    EXPECT_FALSE(outcome.failed());
    EXPECT_EQ(units, (std::vector<std::string>{"mm", "m", "km"}));
}

TEST_F(MelRun, GeneralMelIsRefusedClearly) {
    EXPECT_FALSE(MGlobal::executeCommand("proc f() { }"));
    EXPECT_NE(std::string::npos, lastMessage().find("not supported by the stand-in host"));
}

TEST_F(MelRun, CommandLogKeepsEveryStringAsGiven) {
    MGlobal::executeCommand("currentUnit -l mm");
    MGlobal::executeCommand("bad command");
    mel::execute("currentUnit -q -l");
    const std::vector<std::string> expected{"currentUnit -l mm", "bad command",
                                            "currentUnit -q -l"};
    EXPECT_EQ(expected, host::commandLog());
    host::clearCommandLog();
    EXPECT_TRUE(host::commandLog().empty());
}

TEST_F(MelRun, ExecuteCommandResultForms) {
    MStringArray array;
    array.append("stale");
    EXPECT_TRUE(MGlobal::executeCommand("currentUnit -q -time", array));
    ASSERT_EQ(1u, array.length());
    EXPECT_STREQ("film", array[0].asChar());

    MString text("stale");
    EXPECT_TRUE(MGlobal::executeCommand("currentUnit -q -l -f", text, false, false));
    EXPECT_STREQ("centimeter", text.asChar());

    testing::internal::CaptureStderr();
    EXPECT_EQ(MStatus::kFailure, MGlobal::executeCommand("nope", array).statusCode());
    EXPECT_EQ(0u, array.length());  // a failed command leaves the result empty
    EXPECT_EQ(MStatus::kFailure, MGlobal::executeCommand("nope", text).statusCode());
    EXPECT_STREQ("", text.asChar());
    int number = 7;
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -q -l", number));
    EXPECT_EQ(7, number);
    testing::internal::GetCapturedStderr();
}

TEST_F(MelRun, DisplayLines) {
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    MGlobal::displayError("it broke");
    MGlobal::displayWarning("careful");
    MGlobal::displayInfo("hello");
    EXPECT_EQ("// Info: hello //\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ("// Error: it broke //\n// Warning: careful //\n",
              testing::internal::GetCapturedStderr());
    const std::vector<std::string> expected{"// Error: it broke //", "// Warning: careful //",
                                            "// Info: hello //"};
    EXPECT_EQ(expected, host::messageLog());
}

TEST_F(MelRun, InjectedCommandFaults) {
    host::injectFault(host::Fault::MelCommand, "currentUnit");
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -l mm"));
    EXPECT_EQ("// Error: currentUnit: failed (injected fault) //", lastMessage());
    EXPECT_EQ(MDistance::kCentimeters, MDistance::uiUnit());
    host::clearFault(host::Fault::MelCommand, "currentUnit");
    EXPECT_TRUE(MGlobal::executeCommand("currentUnit -l mm"));

    host::injectFault(host::Fault::MelCommand, "*");
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -l cm"));
    EXPECT_TRUE(host::faultInjected(host::Fault::MelCommand, "anything"));
    EXPECT_FALSE(host::faultInjected(host::Fault::RegisterCommand, "anything"));
    host::clearFaults();
    EXPECT_TRUE(MGlobal::executeCommand("currentUnit -l cm"));
}

TEST_F(MelRun, ArgReaderFlagsValuesAndQueryMode) {
    mel::Call call;
    call.command = "demo";
    call.args = {{mel::Arg::Kind::Flag, "n", {}},
                 {mel::Arg::Kind::Word, "A", {}},
                 {mel::Arg::Kind::Flag, "ax", {}},
                 {mel::Arg::Kind::Number, "0", {}},
                 {mel::Arg::Kind::Number, "1", {}},
                 {mel::Arg::Kind::Number, "0", {}},
                 {mel::Arg::Kind::Flag, "name", {}},
                 {mel::Arg::Kind::Word, "B", {}},
                 {mel::Arg::Kind::StringArray, "", {"x", "y"}},
                 {mel::Arg::Kind::Word, "z", {}}};
    const mel::ArgReader r(call, {{"n", "name", 1}, {"ax", "axis", 3}, {"q", "query", 0}});
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_FALSE(r.isQuery());
    EXPECT_EQ(2, r.count("n"));
    EXPECT_EQ("B", r.value("name"));
    EXPECT_EQ((std::vector<std::vector<std::string>>{{"A"}, {"B"}}), r.occurrences("n"));
    EXPECT_EQ((std::vector<std::string>{"0", "1", "0"}), r.values("axis"));
    EXPECT_EQ((std::vector<std::string>{"x", "y", "z"}), r.positional());
    EXPECT_EQ("fallback", r.value("q", 0, "fallback"));

    mel::Call query;
    query.command = "demo";
    query.args = {{mel::Arg::Kind::Flag, "n", {}}, {mel::Arg::Kind::Flag, "query", {}}};
    const mel::ArgReader q(query, {{"n", "name", 1}, {"q", "query", 0}});
    ASSERT_TRUE(q.ok()) << q.error();
    EXPECT_TRUE(q.isQuery());
    EXPECT_TRUE(q.has("name"));

    mel::Call bad = query;
    bad.args = {{mel::Arg::Kind::Flag, "n", {}}, {mel::Arg::Kind::StringArray, "", {"a"}}};
    const mel::ArgReader b(bad, {{"n", "name", 1}});
    EXPECT_FALSE(b.ok());
    EXPECT_EQ("demo: Missing value for flag: -n", b.failure().error);
}

struct LinearCase {
    const char* shortName;
    const char* longName;
    MDistance::Unit unit;
};

// By name: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const LinearCase& c, std::ostream* out) {
    *out << c.longName;
}

class MelCurrentUnitLinear : public MelRun, public ::testing::WithParamInterface<LinearCase> {};

TEST_P(MelCurrentUnitLinear, SetByEitherNameAndQuery) {
    const LinearCase c = GetParam();
    for (const char* name : {c.shortName, c.longName}) {
        MDistance::setUIUnit(MDistance::kMiles);
        ASSERT_TRUE(MGlobal::executeCommand(MString("currentUnit -linear ") + name));
        EXPECT_EQ(c.unit, MDistance::uiUnit());
        MString answer;
        MGlobal::executeCommand("currentUnit -q -l", answer);
        EXPECT_STREQ(c.shortName, answer.asChar());
        MGlobal::executeCommand("currentUnit -query -linear -fullName", answer);
        EXPECT_STREQ(c.longName, answer.asChar());
    }
}

INSTANTIATE_TEST_SUITE_P(AllUnits, MelCurrentUnitLinear,
                         ::testing::Values(LinearCase{"mm", "millimeter", MDistance::kMillimeters},
                                           LinearCase{"cm", "centimeter", MDistance::kCentimeters},
                                           LinearCase{"m", "meter", MDistance::kMeters},
                                           LinearCase{"km", "kilometer", MDistance::kKilometers},
                                           LinearCase{"in", "inch", MDistance::kInches},
                                           LinearCase{"ft", "foot", MDistance::kFeet},
                                           LinearCase{"yd", "yard", MDistance::kYards},
                                           LinearCase{"mi", "mile", MDistance::kMiles}));

struct TimeCase {
    const char* name;
    MTime::Unit unit;
};

// By name: the default print of the case's bytes would read its padding, which is never set.
void PrintTo(const TimeCase& c, std::ostream* out) {
    *out << c.name;
}

class MelCurrentUnitTime : public MelRun, public ::testing::WithParamInterface<TimeCase> {};

TEST_P(MelCurrentUnitTime, SetAndQuery) {
    ASSERT_TRUE(MGlobal::executeCommand(MString("currentUnit -t ") + GetParam().name));
    EXPECT_EQ(GetParam().unit, MTime::uiUnit());
    MString answer;
    MGlobal::executeCommand("currentUnit -q -t", answer);
    EXPECT_STREQ(GetParam().name, answer.asChar());
    const std::string unitLine = std::string("units time=") + GetParam().name + " ";
    EXPECT_NE(std::string::npos, host::sceneDump().find(unitLine));
}

INSTANTIATE_TEST_SUITE_P(
    AllUnits, MelCurrentUnitTime,
    ::testing::Values(TimeCase{"hour", MTime::kHours}, TimeCase{"min", MTime::kMinutes},
                      TimeCase{"sec", MTime::kSeconds}, TimeCase{"millisec", MTime::kMilliseconds},
                      TimeCase{"game", MTime::kGames}, TimeCase{"film", MTime::kFilm},
                      TimeCase{"pal", MTime::kPALFrame}, TimeCase{"ntsc", MTime::kNTSCFrame},
                      TimeCase{"show", MTime::kShowScan}, TimeCase{"palf", MTime::kPALField},
                      TimeCase{"ntscf", MTime::kNTSCField}, TimeCase{"2fps", MTime::k2FPS},
                      TimeCase{"3fps", MTime::k3FPS}, TimeCase{"4fps", MTime::k4FPS},
                      TimeCase{"5fps", MTime::k5FPS}, TimeCase{"6fps", MTime::k6FPS},
                      TimeCase{"8fps", MTime::k8FPS}, TimeCase{"10fps", MTime::k10FPS},
                      TimeCase{"12fps", MTime::k12FPS}, TimeCase{"16fps", MTime::k16FPS},
                      TimeCase{"20fps", MTime::k20FPS}, TimeCase{"40fps", MTime::k40FPS},
                      TimeCase{"75fps", MTime::k75FPS}, TimeCase{"80fps", MTime::k80FPS},
                      TimeCase{"100fps", MTime::k100FPS}, TimeCase{"120fps", MTime::k120FPS},
                      TimeCase{"125fps", MTime::k125FPS}, TimeCase{"150fps", MTime::k150FPS},
                      TimeCase{"200fps", MTime::k200FPS}, TimeCase{"240fps", MTime::k240FPS},
                      TimeCase{"250fps", MTime::k250FPS}, TimeCase{"300fps", MTime::k300FPS},
                      TimeCase{"375fps", MTime::k375FPS}, TimeCase{"400fps", MTime::k400FPS},
                      TimeCase{"500fps", MTime::k500FPS}, TimeCase{"600fps", MTime::k600FPS},
                      TimeCase{"750fps", MTime::k750FPS}, TimeCase{"1200fps", MTime::k1200FPS},
                      TimeCase{"1500fps", MTime::k1500FPS}, TimeCase{"2000fps", MTime::k2000FPS},
                      TimeCase{"3000fps", MTime::k3000FPS}, TimeCase{"6000fps", MTime::k6000FPS}));

TEST_F(MelRun, CurrentUnitRefusals) {
    testing::internal::CaptureStderr();
    // A bad value changes neither unit.
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -l mm -t bogus"));
    EXPECT_EQ(MDistance::kCentimeters, MDistance::uiUnit());
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -l parsec"));
    for (const char* rate : {"7fps", "fps", "0fps", "120FPS", "120"})
        EXPECT_FALSE(MGlobal::executeCommand(MString("currentUnit -t ") + rate)) << rate;
    EXPECT_EQ(MTime::kFilm, MTime::uiUnit());
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -q"));
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -q -l -t"));
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit -angle deg"));
    EXPECT_NE(std::string::npos, lastMessage().find("not supported"));
    EXPECT_FALSE(MGlobal::executeCommand("currentUnit cm"));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(MGlobal::executeCommand("currentUnit -l m -t ntsc"));
    EXPECT_EQ(MDistance::kMeters, MDistance::uiUnit());
    EXPECT_EQ(MTime::kNTSCFrame, MTime::uiUnit());
}

TEST_F(MelRun, FileCommandRefusesWhatItDoesNotDo) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(MGlobal::executeCommand("file -o \"x.ma\""));
    EXPECT_NE(std::string::npos, lastMessage().find("Invalid flag: -o"));
    EXPECT_FALSE(MGlobal::executeCommand("file \"x.ma\""));
    EXPECT_NE(std::string::npos, lastMessage().find("only \"file -import\" is supported"));
    EXPECT_FALSE(MGlobal::executeCommand("file -import \"/no/such/file.k\""));
    EXPECT_EQ("// Error: File not found: \"/no/such/file.k\". //", lastMessage());
    const std::string folder = testing::TempDir() + "import_folder.k";
    const std::string fifo = testing::TempDir() + "import_fifo.k";
    std::filesystem::create_directories(folder);
    std::filesystem::remove(fifo);
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    EXPECT_FALSE(MGlobal::executeCommand(("file -import \"" + folder + "\"").c_str()));
    EXPECT_EQ("// Error: Cannot import \"" + folder + "\": Is a directory. //", lastMessage());
    EXPECT_FALSE(MGlobal::executeCommand(("file -import \"" + fifo + "\"").c_str()));
    EXPECT_EQ("// Error: Cannot import \"" + fifo + "\": it is not a regular file. //",
              lastMessage());
    std::filesystem::remove(fifo);
    EXPECT_FALSE(MGlobal::executeCommand("file -import"));
    testing::internal::GetCapturedStderr();
}

}  // namespace
