// Takes imported end to end: loadPlugin, then "file -import" of takes written with the K-file
// library into a temporary folder, checked through the stand-in's scene.

#include <gmock/gmock.h>
#include <maya/MAnimControl.h>
#include <maya/MDistance.h>
#include <maya/MGlobal.h>
#include <maya/MTime.h>

#include <host/command_log.h>
#include <host/scene.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "ModuleTest.h"
#ifdef KFR_HAVE_KFILE_CLI
#include "LabelReading.h"
#endif

namespace {

using ::testing::ElementsAre;

constexpr double kTolerance = 1e-9;

void expectKeys(const std::vector<Key>& expected, const std::vector<Key>& actual,
                const std::string& what) {
    ASSERT_EQ(expected.size(), actual.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(expected[i].time, actual[i].time, kTolerance) << what << " key " << i;
        EXPECT_NEAR(expected[i].value, actual[i].value, kTolerance) << what << " key " << i;
    }
}

// One label of each kind the import knows, at channel indices 0 to 15.
const std::vector<std::string> kMixedLabels = {
    "HEAD <P-X>",      "HEAD <P-Y>",      "HEAD <P-Z>",             // 0-2
    "Bob1:Hips <A-X>", "Bob1:Hips <A-Y>", "Bob1:Hips <A-Z>",        // 3-5
    "Bob1:Hips <T-X>", "Bob1:Hips <T-Y>", "Bob1:Hips <T-Z>",        // 6-8
    "Bob2:Hips <a-X>", "Bob2:Hips <a-Y>", "Bob2:Hips <a-Z>",        // 9-11
    "Bob2:LTOE <P-X>", "Bob2:LTOE <P-Y>", "Bob2:LTOE <P-Z>", "Fz",  // 12-15
};
// Frame f turns 0.5 rad about axis f alone (channels 3-5 and 9-11); every other channel c holds
// 10 (c + 1) + f mm. HEAD's y is missing at frame 1.
TestFrame mixedFrame(int32_t frame) {
    TestFrame result{frame, {}};
    for (int channel = 0; channel < static_cast<int>(kMixedLabels.size()); ++channel) {
        const bool rotation = channel / 3 == 1 || channel / 3 == 3;
        result.values.push_back(rotation ? (channel % 3 == frame ? 0.5 : 0.0)
                                         : 10.0 * (channel + 1) + frame);
    }
    if (frame == 1)
        result.values[1] = kMissing;
    return result;
}

class Import : public ModuleTest {
  protected:
    void importMixedTake() {
        const std::vector<TestFrame> frames = {mixedFrame(0), mixedFrame(1), mixedFrame(2)};
        ASSERT_TRUE(importFile(writeTake("mixed.K", {{0, 120.0f, kMixedLabels, frames}})));
    }
};

TEST_F(Import, BuildsCharacterGroupsOfLocators) {
    importMixedTake();

    EXPECT_THAT(children("|UnnamedCharacter"), ElementsAre("|UnnamedCharacter|HEAD_marker"));
    EXPECT_THAT(children("|Bob"), ElementsAre("|Bob|Hips", "|Bob|Hips_local", "|Bob|LTOE_marker"));
    const struct {
        const char* transform;
        const char* shapeType;
    } nodes[] = {{"|UnnamedCharacter|HEAD_marker", "MarkerLocator"},
                 {"|Bob|Hips", "DOFLocator"},
                 {"|Bob|Hips_local", "DOFLocator"},
                 {"|Bob|LTOE_marker", "MarkerLocator"},
                 {"|Fz_local", "DOFLocator"}};  // no subject: at the top of the scene
    for (const auto& node : nodes) {
        const std::vector<std::string> shapes = children(node.transform);
        ASSERT_EQ(1u, shapes.size()) << node.transform;
        EXPECT_EQ(node.shapeType, typeOf(shapes[0])) << node.transform;
    }
}

TEST_F(Import, KeysEachAttributeFromItsChannel) {
    importMixedTake();

    const struct {
        const char* node;
        const char* attribute;
        int channel;  // translations: -1 for none
    } translations[] = {{"|UnnamedCharacter|HEAD_marker", "tx", 0},
                        {"|UnnamedCharacter|HEAD_marker", "tz", 2},
                        {"|Bob|Hips", "tx", 6},
                        {"|Bob|Hips", "ty", 7},
                        {"|Bob|Hips", "tz", 8},
                        {"|Bob|LTOE_marker", "tx", 12},
                        {"|Bob|LTOE_marker", "ty", 13},
                        {"|Bob|LTOE_marker", "tz", 14},
                        {"|Bob|Hips_local", "tx", -1},
                        {"|Fz_local", "tx", -1}};
    for (const auto& t : translations) {
        std::vector<Key> expected;
        for (int frame = 0; t.channel >= 0 && frame < 3; ++frame)  // 24 fps / 120 Hz
            expected.push_back({frame * 0.2, (10.0 * (t.channel + 1) + frame) / 10.0});
        expectKeys(expected, keys(t.node, t.attribute), std::string(t.node) + "." + t.attribute);
    }
    // The missing value leaves a gap at frame 1.
    expectKeys({{0.0, 2.0}, {0.4, 2.2}}, keys("|UnnamedCharacter|HEAD_marker", "ty"), "HEAD ty");

    // Frame f turns about axis f alone, so each rotation attribute carries 0.5 at its frame.
    const char* const axes[] = {"rx", "ry", "rz"};
    for (const char* node : {"|Bob|Hips", "|Bob|Hips_local"}) {
        for (int axis = 0; axis < 3; ++axis) {
            std::vector<Key> expected;
            for (int frame = 0; frame < 3; ++frame)
                expected.push_back({frame * 0.2, frame == axis ? 0.5 : 0.0});
            expectKeys(expected, keys(node, axes[axis]), std::string(node) + "." + axes[axis]);
        }
    }
    EXPECT_TRUE(keys("|Bob|Hips_local", "ty").empty());
}

struct UnitsCase {
    const char* time;  // currentUnit -time
    double framesPerSecond;
    const char* linear;  // currentUnit -linear
    float takeRate;
};

void PrintTo(const UnitsCase& c, std::ostream* out) {
    *out << c.time << " " << c.linear << " take " << c.takeRate << " Hz";
}

// Key times follow the UI time unit, whichever the scene is set to, and so does the playback
// range; values are stored in centimetres whatever the UI distance unit is.
class ImportUnits : public ModuleTest, public ::testing::WithParamInterface<UnitsCase> {};

TEST_P(ImportUnits, KeyTimesValuesAndRange) {
    const UnitsCase& units = GetParam();
    ASSERT_TRUE(MGlobal::executeCommand(MString("currentUnit -time ") + units.time + " -linear " +
                                        units.linear));
    const std::string take = writeTake(
        "units.K",
        {{0, units.takeRate, {"M <P-X>"}, {{0, {1000.0}}, {60, {-5.0}}, {1200, {12.5}}}}});
    ASSERT_TRUE(importFile(take));
    const double step = units.framesPerSecond / units.takeRate;
    expectKeys({{0.0, 100.0}, {60 * step, -0.5}, {1200 * step, 1.25}},
               keys("|UnnamedCharacter|M_marker", "tx"), "M tx");
    EXPECT_NEAR(1200 * step, MAnimControl::maxTime().as(MTime::uiUnit()), kTolerance);
}

INSTANTIATE_TEST_SUITE_P(TimeAndDistanceUnits, ImportUnits,
                         ::testing::Values(UnitsCase{"film", 24.0, "cm", 120.0f},
                                           UnitsCase{"ntsc", 30.0, "mm", 120.0f},
                                           UnitsCase{"pal", 25.0, "m", 120.0f},
                                           UnitsCase{"ntscf", 60.0, "in", 120.0f},
                                           // Motion-capture scenes: a take at the scene's rate
                                           // keys at its own frame numbers.
                                           UnitsCase{"120fps", 120.0, "cm", 120.0f},
                                           UnitsCase{"100fps", 100.0, "mm", 60.0f}));

// Datagroups key at their own rates; a datagroup without a usable rate gets its nodes but no
// keys, and the import goes on.
TEST_F(Import, DatagroupsKeyAtTheirOwnRates) {
    const std::string take =
        writeTake("groups.K", {{0, 120.0f, {"A <P-X>"}, {{0, {10.0}}, {120, {20.0}}}},
                               {1, 60.0f, {"Bob:Hips <T-X>"}, {{0, {30.0}}, {60, {40.0}}}},
                               {2, 0.0f, {"C <P-X>"}, {{0, {50.0}}, {60, {60.0}}}},
                               {3, 30.0f, {"D <P-X>"}, {{0, {70.0}}, {2000000000, {80.0}}}}});
    ASSERT_TRUE(importFile(take));
    expectKeys({{0, 1.0}, {24, 2.0}}, keys("|UnnamedCharacter|A_marker", "tx"), "A");
    expectKeys({{0, 3.0}, {24, 4.0}}, keys("|Bob|Hips", "tx"), "Hips");
    EXPECT_EQ("transform", typeOf("|UnnamedCharacter|C_marker"));
    EXPECT_TRUE(keys("|UnnamedCharacter|C_marker", "tx").empty());
    // Two records two billion frames apart: two keys, without walking the frames between.
    expectKeys({{0, 7.0}, {1.6e9, 8.0}}, keys("|UnnamedCharacter|D_marker", "tx"), "D");
}

// Importing again finds the DOF locators under their group and clears their keys; markers are
// made anew.
TEST_F(Import, ReimportReusesDofLocatorsAndAddsMarkers) {
    const std::vector<std::string> labels = {"Bob:Hips <T-X>", "Bob:HEAD <P-X>"};
    const std::string first =
        writeTake("first.K", {{0, 120.0f, labels, {{0, {10.0, 1.0}}, {1, {20.0, 2.0}}}}});
    const std::string second = writeTake("second.K", {{0, 120.0f, labels, {{5, {30.0, 3.0}}}}});
    ASSERT_TRUE(importFile(first));
    EXPECT_THAT(host::commandLog(), ElementsAre(importCommand(first), "group -em -n Bob"));
    host::clearCommandLog();
    ASSERT_TRUE(importFile(second));
    EXPECT_THAT(host::commandLog(),
                ElementsAre(importCommand(second), "listRelatives -c -f |Bob",
                            "listRelatives -c -f |Bob|Hips",
                            "cutKey -cl -t \":\" -hierarchy none {\"|Bob|Hips\"}"));

    const std::vector<std::string> members = children("|Bob");
    ASSERT_EQ(3u, members.size());
    EXPECT_EQ("|Bob|Hips", members[0]);
    expectKeys({{1.0, 3.0}}, keys("|Bob|Hips", "tx"), "Hips after the second import");
    expectKeys({{0.0, 0.1}, {0.2, 0.2}}, keys(members[1], "tx"), "first marker");
    expectKeys({{1.0, 0.3}}, keys(members[2], "tx"), "second marker");
}

struct RangeCase {
    const char* name;
    std::vector<TestDatagroup> groups;
    double start;  // the playback range after the import, from 10 to 100 film frames
    double end;
};

class ImportRange : public ModuleTest, public ::testing::WithParamInterface<RangeCase> {};

// The playback range grows to the latest key of the take, each datagroup at its own rate, and
// then starts at 0, or earlier where keys lie before that; it never shrinks, and stays as it is
// when no datagroup gives a usable rate.
TEST_P(ImportRange, PlaybackRange) {
    ASSERT_TRUE(MAnimControl::setMinMaxTime(MTime(10.0, MTime::kFilm), MTime(100.0, MTime::kFilm)));
    ASSERT_TRUE(importFile(writeTake("range.K", GetParam().groups)));
    EXPECT_DOUBLE_EQ(GetParam().start, MAnimControl::minTime().as(MTime::kFilm));
    EXPECT_DOUBLE_EQ(GetParam().end, MAnimControl::maxTime().as(MTime::kFilm));
}

TestDatagroup rangeGroup(int16_t id, float rate, int32_t last, bool declared = true,
                         int32_t first = 0) {
    return {id, rate, {"M <P-X>"}, {{first, {1.0}}, {last, {2.0}}}, declared};
}

constexpr int32_t kEarliestFrame = std::numeric_limits<int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Rates, ImportRange,
    ::testing::Values(
        RangeCase{"Widened", {rangeGroup(0, 120.0f, 1200)}, 0.0, 240.0},
        RangeCase{"NeverShortened", {rangeGroup(0, 120.0f, 300, true, 60)}, 10.0, 100.0},
        RangeCase{"NoDatagroupsMeansOneHertz", {rangeGroup(0, 9.0f, 50, false)}, 0.0, 1200.0},
        RangeCase{"RateZero", {rangeGroup(0, 0.0f, 1200)}, 10.0, 100.0},
        RangeCase{"NegativeRate", {rangeGroup(0, -120.0f, 1200)}, 10.0, 100.0},
        RangeCase{"DatagroupZeroMissing",
                  {rangeGroup(0, 120.0f, 1200, false), rangeGroup(1, 120.0f, 1200)},
                  10.0,
                  100.0},
        // Datagroup 1 keys longer than datagroup 0, or the other way round.
        RangeCase{"ASlowerDatagroupOneKeysLast",
                  {rangeGroup(0, 120.0f, 1200), rangeGroup(1, 30.0f, 1200)},
                  0.0,
                  960.0},
        RangeCase{"ASlowerDatagroupZeroKeysFirst",
                  {rangeGroup(0, 30.0f, 100), rangeGroup(1, 120.0f, 1000)},
                  0.0,
                  200.0},
        RangeCase{"KeysBeforeZero", {rangeGroup(0, 120.0f, 1200, true, -100)}, -20.0, 240.0},
        RangeCase{"KeysAtTheEarliestFrame",
                  {rangeGroup(0, 120.0f, kEarliestFrame + 240, true, kEarliestFrame)},
                  kEarliestFrame / 5.0,
                  100.0}),
    [](const ::testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// An earlier DOF locator is found again directly under its group or below other locator
// transforms, never below a plain transform; one that is found loses its old keys.
TEST_F(Import, FindsEarlierDofLocatorsOnlyThroughLocatorTransforms) {
    const struct {
        const char* setup;
        const char* hips;  // the node named Hips before the import
        bool found;
    } cases[] = {
        {"createNode transform -n Hips -p Bob; createNode DOFLocator -p Hips", "|Bob|Hips", true},
        {"createNode transform -n Pelvis -p Bob; createNode MarkerLocator -p Pelvis;"
         "createNode transform -n Hips -p Pelvis; createNode DOFLocator -p |Bob|Pelvis|Hips",
         "|Bob|Pelvis|Hips", true},
        {"createNode transform -n Extra -p Bob; createNode transform -n Hips -p Extra;"
         "createNode DOFLocator -p |Bob|Extra|Hips",
         "|Bob|Extra|Hips", false},
        {"createNode transform -n Hips -p Bob", "|Bob|Hips", false},
    };
    const std::string take = writeTake("hips.K", {{0, 120.0f, {"Bob:Hips <T-X>"}, {{0, {10.0}}}}});
    for (const auto& c : cases) {
        host::resetScene();
        ASSERT_TRUE(MGlobal::executeCommand(MString("group -em -n Bob;") + c.setup)) << c.setup;
        ASSERT_TRUE(MGlobal::executeCommand(MString("setKeyframe -t 50 -v 9 -at tx ") + c.hips));
        const std::vector<std::string> before = children("|Bob");
        ASSERT_TRUE(importFile(take));
        const std::vector<std::string> after = children("|Bob");
        if (c.found) {
            EXPECT_EQ(before, after) << c.setup;
            expectKeys({{0, 1.0}}, keys(c.hips, "tx"), c.setup);
        } else {
            ASSERT_EQ(before.size() + 1, after.size()) << c.setup;
            expectKeys({{50, 9.0}}, keys(c.hips, "tx"), c.setup);
            expectKeys({{0, 1.0}}, keys(after.back(), "tx"), c.setup);
            EXPECT_EQ("DOFLocator", typeOf(children(after.back()).at(0))) << c.setup;
        }
    }
}

// Names from a take become node names before they reach a MEL command: they cannot run
// commands of their own, and a node made from an unusual name is found again on re-import.
TEST_F(Import, NamesFromATakeAreNodeNames) {
    ASSERT_TRUE(MGlobal::executeCommand("group -em -n Keep"));
    const std::vector<std::string> labels = {"x;delete Keep:Hips <T-X>", "Bob:Left Knee <T-X>",
                                             "Bob:2nd <T-X>"};
    const std::string take = writeTake("names.K", {{0, 120.0f, labels, {{0, {10.0, 20.0, 30.0}}}}});
    ASSERT_TRUE(importFile(take));
    ASSERT_TRUE(importFile(take));
    EXPECT_EQ("transform", typeOf("|Keep"));
    EXPECT_THAT(children("|x_delete_Keep"), ElementsAre("|x_delete_Keep|Hips"));
    EXPECT_THAT(children("|Bob"), ElementsAre("|Bob|Left_Knee", "|Bob|_2nd"));
    expectKeys({{0, 2.0}}, keys("|Bob|Left_Knee", "tx"), "Left_Knee");
}

// A subject name held by two nodes selects neither: the import makes a group of its own and
// puts the locators into it under the name the host gave that group.
TEST_F(Import, AnAmbiguousSubjectNameGetsAGroupOfItsOwn) {
    ASSERT_TRUE(
        MGlobal::executeCommand("group -em -n A; group -em -n C; createNode transform -n Bob -p A;"
                                "createNode transform -n X -p C; rename |C|X Bob"));
    ASSERT_TRUE(importFile(writeTake("bob.K", {{0, 120.0f, {"Bob:Hips <T-X>"}, {{0, {10.0}}}}})));
    EXPECT_THAT(children("|Bob1"), ElementsAre("|Bob1|Hips"));
    expectKeys({{0, 1.0}}, keys("|Bob1|Hips", "tx"), "Hips");
}

}  // namespace

namespace {

using testsupport::ByteBuilder;
using testsupport::Bytes;

// A take written byte by byte: one DATAGROUP section, then the records in the order given.
Bytes takeBytes(const std::vector<Bytes>& datagroups, const std::vector<Bytes>& records) {
    ByteBuilder take;
    take.FileHeader().Section("DATAGROUP", testsupport::RecordBody(datagroups)).Terminator();
    for (const Bytes& record : records)
        take.Framed(record);
    return take.bytes();
}

Bytes datagroup(int16_t id, float rate, const std::vector<std::string>& labels,
                uint8_t type = kfile::kValueDouble, uint8_t size = 8) {
    return testsupport::DatagroupPayload(id, "G" + std::to_string(id), type, size, rate, labels);
}

Bytes doubles(int16_t id, int32_t frame, const std::vector<double>& values) {
    return testsupport::DynamicPayload(id, frame, values);
}

// A record whose values are the builder's bytes.
Bytes record(int16_t id, int32_t frame, const ByteBuilder& values) {
    return ByteBuilder().I16(id).I32(frame).Raw(values.bytes()).bytes();
}

// What the rows compare, read from the scene dump: each locator transform ("|Bob|Hips
// DOFLocator") and each keyed attribute with its keys ("|Bob|Hips.translateX 0:1 0.2:2").
std::vector<std::string> locatorsAndKeys(const std::string& dump) {
    std::map<std::string, std::string> curveKeys;
    std::vector<std::string> result;
    std::istringstream lines(dump);
    std::string line;
    std::string curve;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word, name, type, time, value;
        words >> word;
        if (word == "node") {
            words >> name >> type;
            curve = type.rfind("type=animCurve", 0) == 0 ? name : "";
            if (type == "type=DOFLocator" || type == "type=MarkerLocator")
                result.push_back(name.substr(0, name.rfind('|')) + " " + type.substr(5));
        } else if (word == "key" && !curve.empty() && words >> time >> value) {
            curveKeys[curve] += " " + time + ":" + value;
        } else if (word == "connection" && words >> name >> type >> value) {
            const std::string source = name.substr(0, name.rfind('.'));
            if (curveKeys.count(source))
                result.push_back(value + curveKeys[source]);
        }
    }
    return result;
}

struct LosslessCase {
    const char* name;
    std::vector<Bytes> takes;  // imported one after the other
    std::vector<std::string> scene;
    std::vector<std::string> messages;  // the whole message log
    const char* afterFirstImport = "";  // MEL that the user runs between the imports
};

void PrintTo(const LosslessCase& c, std::ostream* out) {
    *out << c.name;
}

class ImportLossless : public ModuleTest, public ::testing::WithParamInterface<LosslessCase> {};

// Every value a take holds ends up keyed, or the import says why not.
TEST_P(ImportLossless, KeysEveryValueTheTakeHolds) {
    std::vector<std::string> takes;
    for (const Bytes& take : GetParam().takes) {
        takes.push_back(writeBytes("take" + std::to_string(takes.size()) + ".K", take));
        ASSERT_TRUE(importFile(takes.back()));
        if (takes.size() == 1) {
            ASSERT_TRUE(MGlobal::executeCommand(GetParam().afterFirstImport));
        }
    }
    const std::vector<std::string> scene = locatorsAndKeys(host::sceneDump(9));
    EXPECT_EQ(GetParam().scene, scene);
    EXPECT_EQ(GetParam().messages, host::messageLog());
#ifdef KFR_HAVE_KFILE_CLI
    // `kfile labels` names every locator the import made, in a scene the user left as it was.
    for (const std::string& path :
         *GetParam().afterFirstImport ? std::vector<std::string>() : takes) {
        const kfile::KReadResult take = kfile::ReadTake(path);
        ASSERT_TRUE(take.contents);
        for (int16_t id = 0; id < take.contents->GetDatagroupCount(); ++id) {
            std::vector<std::string> labels;
            take.contents->GetDatagroupLabels(id, labels);
            for (const LabelReading& reading : ReadLabels(labels)) {
                for (const LabelKey& key : reading.keys) {
                    const std::string locator = key.NodePath() + " ";
                    EXPECT_TRUE(std::any_of(scene.begin(), scene.end(),
                                            [&locator](const std::string& line) {
                                                return line.rfind(locator, 0) == 0;
                                            }))
                        << locator;
                }
            }
        }
    }
#endif
}

// The take without its last bytes.
Bytes cutShort(Bytes take, size_t bytes) {
    take.resize(take.size() - bytes);
    return take;
}

// Raw values, unlike the missing-value marker that the datagroup reserves.
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

const std::vector<std::string> kHipsTranslation = {"Bob:Hips <T-X>", "Bob:Hips <T-Y>",
                                                   "Bob:Hips <T-Z>"};
const std::vector<std::string> kHipsRotation = {"Bob:Hips <A-X>", "Bob:Hips <A-Y>",
                                                "Bob:Hips <A-Z>"};

// One datagroup of one channel "<subject>:M <T-X>" (no subject: "M <t-X>") whose records,
// written with values of the given type and size, hold 10, 20 and 30 at frames 0 to 2.
Bytes typedTake(uint8_t type, uint8_t size, void (*write)(ByteBuilder&, int value)) {
    std::vector<Bytes> records;
    for (int frame = 0; frame < 3; ++frame) {
        ByteBuilder value;
        write(value, 10 * (frame + 1));
        records.push_back(record(0, frame, value));
    }
    return takeBytes({datagroup(0, 120.0f, {"Bob:M <T-X>"}, type, size)}, records);
}

const std::vector<std::string> kTypedScene = {"|Bob|M DOFLocator",
                                              "|Bob|M.translateX 0:1 0.2:2 0.4:3"};

INSTANTIATE_TEST_SUITE_P(
    Takes, ImportLossless,
    ::testing::Values(
        // A segment keyed by two datagroups keeps the keys of both, at each one's rate.
        LosslessCase{
            "OneSegmentInTwoDatagroups",
            {takeBytes({datagroup(0, 120.0f, kHipsTranslation),
                        datagroup(1, 60.0f,
                                  {"Bob:Hips <A-X>", "Bob:Hips <A-Y>", "Bob:Hips <A-Z>",
                                   "Bob:Hips <T-X>"})},
                       {doubles(0, 0, {10, 20, 30}), doubles(0, 1, {40, 50, 60}),
                        doubles(1, 3, {0.5, 0, 0, 70})})},
            {"|Bob|Hips DOFLocator", "|Bob|Hips.translateX 0:1 0.2:4 1.2:7",
             "|Bob|Hips.translateY 0:2 0.2:5", "|Bob|Hips.translateZ 0:3 0.2:6",
             "|Bob|Hips.rotateX 1.2:0.5", "|Bob|Hips.rotateY 1.2:0", "|Bob|Hips.rotateZ 1.2:0"},
            {}},
        // A plate's frame 0 written after the markers' frame 1: the file's first frame is 1.
        LosslessCase{"RecordsBeforeTheFirstRecordsFrame",
                     {takeBytes({datagroup(0, 120.0f, {"Bob:M <P-X>"}),
                                 datagroup(1, 240.0f, {"Plate:COP <T-X>"})},
                                {doubles(0, 1, {10}), doubles(1, 1, {20}), doubles(1, 0, {30}),
                                 doubles(0, 0, {40})})},
                     {"|Bob|M_marker MarkerLocator", "|Plate|COP DOFLocator",
                      "|Bob|M_marker.translateX 0:4 0.2:1", "|Plate|COP.translateX 0:3 0.1:2"},
                     {}},
        // Without a subject a DOF locator lies at the top of the scene and is found there again:
        // one node, the second import's keys only, no error.
        LosslessCase{"SegmentsWithoutASubjectImportedTwice",
                     {takeBytes({datagroup(0, 120.0f, {"Hips <T-X>", "Fz <t-X>"})},
                                {doubles(0, 0, {10, 20})}),
                      takeBytes({datagroup(0, 120.0f, {"Hips <T-X>", "Fz <t-X>"})},
                                {doubles(0, 1, {30, 40})})},
                     {"|Hips DOFLocator", "|Fz_local DOFLocator", "|Hips.translateX 0.2:3",
                      "|Fz_local.translateX 0.2:4"},
                     {}},
        // A local locator takes every label of its name but the segment labels (<T-X> feeds the
        // segment and the marker, not Hips_local); a marker takes every label of its name.
        LosslessCase{"LocalLocatorsTakeAllButSegmentLabels",
                     {takeBytes({datagroup(0, 120.0f,
                                           {"Bob:Hips <t-X>", "Bob:Hips <T-X>", "Bob:Hips <P-Y>"})},
                                {doubles(0, 0, {10, 20, 30})})},
                     {"|Bob|Hips DOFLocator", "|Bob|Hips_local DOFLocator",
                      "|Bob|Hips_marker MarkerLocator", "|Bob|Hips.translateX 0:2",
                      "|Bob|Hips_local.translateX 0:1", "|Bob|Hips_local.translateY 0:3",
                      "|Bob|Hips_marker.translateX 0:2", "|Bob|Hips_marker.translateY 0:3"},
                     {}},
        LosslessCase{"FloatValuesOfEightBytesAreDoubles",
                     {typedTake(kfile::kValueFloat, 8, [](ByteBuilder& b, int v) { b.F64(v); })},
                     kTypedScene,
                     {}},
        LosslessCase{"AnUnknownTypeOfEightBytesIsDoubles",
                     {typedTake(9, 8, [](ByteBuilder& b, int v) { b.F64(v); })},
                     kTypedScene,
                     {}},
        LosslessCase{"ShortValuesOfFourBytesAreNotRead",
                     {typedTake(kfile::kValueShort, 4, [](ByteBuilder& b, int v) { b.I32(v); })},
                     {"|Bob|M DOFLocator"},
                     {"// Warning: Datagroup 0 \"G0\" is not keyed: the import cannot read values "
                      "of type Short stored in 4 bytes. //"}},
        LosslessCase{"Short",
                     {typedTake(kfile::kValueShort, 2,
                                [](ByteBuilder& b, int v) { b.I16(static_cast<int16_t>(v)); })},
                     kTypedScene,
                     {}},
        LosslessCase{"Long",
                     {typedTake(kfile::kValueLong, 4, [](ByteBuilder& b, int v) { b.I32(v); })},
                     kTypedScene,
                     {}},
        LosslessCase{"Float",
                     {typedTake(kfile::kValueFloat, 4,
                                [](ByteBuilder& b, int v) { b.F32(static_cast<float>(v)); })},
                     kTypedScene,
                     {}},
        LosslessCase{"Boolean",
                     {typedTake(kfile::kValueBoolean, 1,
                                [](ByteBuilder& b, int v) { b.U8(v == 20 ? 0 : 1); })},
                     {"|Bob|M DOFLocator", "|Bob|M.translateX 0:0.1 0.2:0 0.4:0.1"},
                     {}},
        // The user moved the character group into a group of their own: the import finds its
        // locators there, and no second skeleton appears beside the first.
        LosslessCase{"AGroupMovedIntoAnotherGroup",
                     {takeBytes({datagroup(0, 120.0f, {"Bob:Hips <T-X>"})}, {doubles(0, 0, {10})}),
                      takeBytes({datagroup(0, 120.0f, {"Bob:Hips <T-X>"})}, {doubles(0, 1, {30})})},
                     {"|Characters|Bob|Hips DOFLocator", "|Characters|Bob|Hips.translateX 0.2:3"},
                     {},
                     "group -em -n Characters; parent Bob Characters"},
        // A name that is only a subject, and one that starts with a digit, become node names
        // that the second import finds again.
        LosslessCase{"NamesWithoutALetterToStartWithImportedTwice",
                     {takeBytes({datagroup(0, 120.0f, {"Bob: <T-X>", "Bob:0Hips <T-X>"})},
                                {doubles(0, 0, {10, 20})}),
                      takeBytes({datagroup(0, 120.0f, {"Bob: <T-X>", "Bob:0Hips <T-X>"})},
                                {doubles(0, 1, {30, 40})})},
                     {"|Bob|_ DOFLocator", "|Bob|_0Hips DOFLocator", "|Bob|_.translateX 0.2:3",
                      "|Bob|_0Hips.translateX 0.2:4"},
                     {}},
        LosslessCase{"ATakeCutInsideARecord",
                     {cutShort(takeBytes({datagroup(0, 120.0f, {"Bob:M <T-X>"})},
                                         {doubles(0, 0, {10}), doubles(0, 1, {20})}),
                               3)},
                     {"|Bob|M DOFLocator", "|Bob|M.translateX 0:1"},
                     {"// Warning: The take ends inside a record: its 13 bytes were dropped. //"}},
        LosslessCase{"ValuesThatAreNotFinite",
                     {takeBytes({datagroup(0, 120.0f, kHipsTranslation),
                                 datagroup(1, 120.0f, {"Ann:M <P-X>"})},
                                {doubles(0, 0, {kInfinity, 20, 30}),
                                 doubles(0, 1, {40, -kInfinity, kNotANumber}),
                                 doubles(1, 0, {kNotANumber}), doubles(1, 1, {50})})},
                     {"|Bob|Hips DOFLocator", "|Ann|M_marker MarkerLocator",
                      "|Bob|Hips.translateX 0.2:4", "|Bob|Hips.translateY 0:2",
                      "|Bob|Hips.translateZ 0:3", "|Ann|M_marker.translateX 0.2:5"},
                     {"// Warning: Datagroup 0 \"G0\" holds 3 values that are not finite numbers; "
                      "they are not keyed. //",
                      "// Warning: Datagroup 1 \"G1\" holds 1 value that is not a finite number; "
                      "it is not keyed. //"}}),
    [](const ::testing::TestParamInfo<LosslessCase>& info) {
        return std::string(info.param.name);
    });

}  // namespace
