// What `kfile labels`, `validate` and `info` say about a take, checked against the scene that
// the import makes of it: takes across rates, datagroup ids, value sizes, label forms and
// values that are not finite, each imported into a clean scene.
#include <maya/MTime.h>

#include <host/command_log.h>
#include <host/scene.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>
#include <map>
#include <sstream>

#include "ModuleTest.h"
#include "ToolRun.h"

namespace {

using Json = nlohmann::json;
using testsupport::ByteBuilder;
using testsupport::Bytes;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();  // not the missing marker
constexpr int kFrames = 4;                                         // 1 to 4

struct Group {
    int16_t id;
    float rate = 120.0f;
    uint8_t type = kfile::kValueDouble;
    uint8_t size = 8;
    std::vector<std::string> labels = {"Bob:M <T-X>", "Bob:M <T-Y>"};
};

// A take: its datagroups, with frames 1 to kFrames each. `odd` (frame, channel) pairs of the
// first hold inf, NaN or 1e308 instead of their value, by turns: 1e308 is infinite as a Float
// (as a Double, millimetres that the host's centimetres cannot hold, which the tools do not
// predict).
struct Variant {
    const char* name;
    std::vector<Group> groups;
    std::vector<std::pair<int, int>> odd = {};  // of the group at index 0
};

void PrintTo(const Variant& variant, std::ostream* out) {
    *out << variant.name;
}

// The value of channel c of the group at section index g in frame f: distinct across the take,
// small for angles.
double Value(const Group& group, size_t g, size_t c, int frame) {
    const bool angle = group.labels[c].find("<A-") != std::string::npos;
    return angle ? 0.1 * double(c + 1) + 0.01 * frame : 1000.0 * double(g + 1) + 10.0 * c + frame;
}

double StoredValue(const Variant& variant, size_t g, size_t c, int frame) {
    for (size_t i = 0; g == 0 && i < variant.odd.size(); ++i) {
        if (variant.odd[i] == std::make_pair(frame, int(c))) {
            const double odd[] = {kInf, kNaN, 1e308};
            return odd[i % 3];
        }
    }
    return Value(variant.groups[g], g, c, frame);
}

// The value as the group's slots hold it; a Float slot turns 1e308 into inf.
void PutValue(ByteBuilder& out, const Group& group, double value) {
    if (group.size == 8) {
        out.F64(value);
    } else if (group.type == kfile::kValueFloat && group.size == 4) {
        out.F32(static_cast<float>(value));
    } else if (group.type == kfile::kValueShort && group.size == 2) {
        out.I16(static_cast<int16_t>(value));
    } else if (group.type == kfile::kValueLong && group.size == 4) {
        out.I32(static_cast<int32_t>(value));
    } else {
        out.Raw(Bytes(group.size, 0x11));  // a slot the import cannot read
    }
}

// The group whose records and rate the import keys a datagroup id with: the first of that id.
size_t FirstOfId(const Variant& variant, size_t g) {
    size_t first = 0;
    while (variant.groups[first].id != variant.groups[g].id) {
        ++first;
    }
    return first;
}

// The value the import reads for channel c of the group at index g, in the first record of
// that id at the frame, as its slots hold it.
double ReadValue(const Variant& variant, size_t g, size_t c, int frame) {
    const size_t first = FirstOfId(variant, g);
    const Group& group = variant.groups[first];
    const double value = StoredValue(variant, first, c, frame);
    return group.type == kfile::kValueFloat && group.size == 4 ? double(float(value)) : value;
}

Bytes TakeOf(const Variant& variant) {
    std::vector<Bytes> groups;
    for (const Group& group : variant.groups) {
        groups.push_back(testsupport::DatagroupPayload(group.id, "G", group.type, group.size,
                                                       group.rate, group.labels));
    }
    ByteBuilder take;
    take.FileHeader().Section("DATAGROUP", testsupport::RecordBody(groups)).Terminator();
    for (int frame = 1; frame <= kFrames; ++frame) {
        for (size_t g = 0; g < variant.groups.size(); ++g) {
            const Group& group = variant.groups[g];
            ByteBuilder record;
            record.I16(group.id).I32(frame);
            for (size_t c = 0; c < group.labels.size(); ++c) {
                PutValue(record, group, StoredValue(variant, g, c, frame));
            }
            take.Framed(record.bytes());
        }
    }
    return take.bytes();
}

const std::vector<std::string> kLabelForms = {
    "HEAD <P-X>",      "head <P-Y>",      "Fz",
    "Ann:Hips <Q-X>",                                         // 0-3
    "Bob1:Hips <A-X>", "Bob1:Hips <A-Y>", "Bob1:Hips <A-Z>",  // 4-6
    "Bob1:Hips <T-X>", "Bob2:Hips <T-X>", "Kim:Knee <A-X>",
    " Fx <t-X> ",  // 7-10
};

std::vector<Variant> Variants() {
    return {
        {"WholeRate", {{0}}},
        {"NotWholeRate", {{0, 29.97f}}},
        {"RateBelowOne", {{0, 0.5f}}},
        {"RateZero", {{0, 0.0f}}},
        {"RateNegative", {{0, -120.0f}}},
        {"IdsZeroAndTwo", {{0}, {2, 120.0f, kfile::kValueDouble, 8, {"Ann:Hips <T-X>"}}}},
        {"IdsFromOne", {{1}, {2}}},
        {"IdTwice", {{0, 60.0f}, {0, 120.0f, kfile::kValueDouble, 8, {"Eve:N <T-Z>"}}}},
        {"SecondGroupAtItsRate", {{0}, {1, 30.0f, kfile::kValueDouble, 8, {"Eve:N <T-Z>"}}}},
        {"Float", {{0, 100.0f, kfile::kValueFloat, 4}}},
        {"FloatIn8Bytes", {{0, 100.0f, kfile::kValueFloat, 8}}},
        {"FloatIn3Bytes", {{0, 100.0f, kfile::kValueFloat, 3}}},
        {"Short", {{0, 100.0f, kfile::kValueShort, 2}}},
        {"Long", {{0, 100.0f, kfile::kValueLong, 4}}},
        {"UnknownTypeIn8Bytes", {{0, 100.0f, 9, 8}}},
        {"TextIn8Bytes", {{0, 100.0f, kfile::kValueText, 8}}},
        {"LabelForms", {{0, 120.0f, kfile::kValueDouble, 8, kLabelForms}}},
        {"NotFiniteDoubles", {{0}}, {{1, 0}, {3, 1}}},
        {"NotFiniteFloats", {{0, 120.0f, kfile::kValueFloat, 4}}, {{1, 0}, {2, 0}, {3, 0}}},
        {"NotFiniteAngle", {{0, 120.0f, kfile::kValueDouble, 8, kLabelForms}}, {{2, 5}, {1, 7}}},
    };
}

const std::map<std::string, std::string> kLongNames = {{"tx", "translateX"}, {"ty", "translateY"},
                                                       {"tz", "translateZ"}, {"rx", "rotateX"},
                                                       {"ry", "rotateY"},    {"rz", "rotateZ"}};

// Every keyed plug of the scene ("|Bob|M.translateX") with its keys (UI time, value).
std::map<std::string, std::vector<std::pair<double, double>>> SceneKeys() {
    std::map<std::string, std::vector<std::pair<double, double>>> curves;
    std::map<std::string, std::vector<std::pair<double, double>>> keyed;
    std::istringstream lines(host::sceneDump());
    std::string line;
    std::string curve;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word, name, type, arrow;
        words >> word;
        if (word == "node") {
            words >> name;
            curve = name;
        } else if (word == "key") {
            double time = 0, value = 0;
            words >> time >> value;
            curves[curve].push_back({time, value});
        } else if (word == "connection" && words >> name >> arrow >> type) {
            const std::string source = name.substr(0, name.rfind('.'));
            if (curves.count(source) && !curves[source].empty()) {
                keyed[type] = curves[source];
            }
        }
    }
    return keyed;
}

class ToolTruth : public ModuleTest, public ::testing::WithParamInterface<Variant> {};

TEST_P(ToolTruth, LabelsValidateAndInfoTellWhatTheImportMakes) {
    const Variant& variant = GetParam();
    const std::string take = writeBytes("take.K", TakeOf(variant));
    ASSERT_TRUE(importFile(take));
    auto scene = SceneKeys();
    const Json labels = Json::parse(RunTool({"labels", take, "--json"}).out);
    const Json validate = Json::parse(RunTool({"validate", take, "--json"}).out);
    const Json info = Json::parse(RunTool({"info", take, "--json"}).out);
    SCOPED_TRACE(labels.dump(1) + "\n" + validate.dump(1) + "\n" + host::sceneDump(6));

    // Which datagroup and channel keys each plug, as labels predicts.
    std::map<std::string, std::pair<size_t, size_t>> predicted;
    for (size_t g = 0; g < labels["datagroups"].size(); ++g) {
        for (const Json& channel : labels["datagroups"][g]["channels"]) {
            for (const Json& key : channel["keys"]) {
                const std::string plug = key["path"].get<std::string>() + "." +
                                         kLongNames.at(key["attribute"].get<std::string>());
                predicted[plug] = {g, channel["channel"].get<size_t>()};
            }
        }
    }
    // Every plug keyed is predicted, and a predicted plug holds the channel's finite values at
    // frame / rate seconds (an angle: keys at the frames whose three angles are all finite).
    for (const auto& [plug, keys] : scene) {
        EXPECT_TRUE(predicted.count(plug)) << plug << " is keyed, not predicted";
    }
    for (const auto& [plug, source] : predicted) {
        SCOPED_TRACE(plug);
        const auto [g, c] = source;
        const float rate = variant.groups[FirstOfId(variant, g)].rate;
        const std::string node = plug.substr(0, plug.rfind('.'));
        const bool angle = plug.find(".rotate") != std::string::npos;
        std::vector<std::pair<double, double>> expected;
        for (int frame = 1; frame <= kFrames; ++frame) {
            bool keyed = std::isfinite(ReadValue(variant, g, c, frame));
            for (const auto& [other, from] : predicted) {  // a rotation needs all three angles
                keyed = keyed && !(angle && other.rfind(node + ".rotate", 0) == 0 &&
                                   !std::isfinite(ReadValue(variant, g, from.second, frame)));
            }
            if (keyed) {
                // At frame / rate seconds, to the host's resolution of time.
                const double time =
                    MTime(frame / double(rate), MTime::kSeconds).as(MTime::uiUnit());
                expected.push_back({time, ReadValue(variant, g, c, frame) / 10});
            }
        }
        const std::vector<std::pair<double, double>>& keys = scene[plug];
        ASSERT_EQ(keys.size(), expected.size());
        for (size_t k = 0; k < keys.size(); ++k) {
            EXPECT_NEAR(keys[k].first, expected[k].first, 1e-9);
            if (!angle) {
                EXPECT_NEAR(keys[k].second, expected[k].second,
                            1e-6 * std::abs(expected[k].second));
            }
        }
    }

    // A datagroup that keys nothing: none of its channels' values is in the scene, and the
    // warning the reason promises was given.
    for (size_t g = 0; g < labels["datagroups"].size(); ++g) {
        const Json& datagroup = labels["datagroups"][g];
        if (datagroup["keyed"]) {
            continue;
        }
        const std::string reason = datagroup["skipped"];
        for (const auto& [plug, keys] : scene) {
            const bool labelledLater = reason.find("from a later record") != std::string::npos;
            EXPECT_TRUE(labelledLater || keys.front().second != ReadValue(variant, g, 0, 1) / 10)
                << plug;
        }
        bool warned = false;
        for (const std::string& message : host::messageLog()) {
            warned = warned || message.find("cannot read values") != std::string::npos;
        }
        EXPECT_EQ(warned, reason.find("warns") != std::string::npos) << reason;
        if (reason.find("reads the datagroups of ids") != std::string::npos) {
            EXPECT_EQ(typeOf("|Ann"), "") << "a datagroup the import never reads made a node";
        }
    }

    // Every note: a skipped label's values are keyed nowhere, a rate that is not whole keys at
    // the stored rate (above), and values that are not finite are counted as info counts them.
    std::map<std::pair<size_t, size_t>, int64_t> notFinite;
    for (const Json& finding : validate["findings"]) {
        const std::string check = finding["check"];
        const std::string message = finding["message"];
        SCOPED_TRACE(message);
        if (finding["severity"] == "problem") {
            continue;  // what the import makes of those is checked above
        }
        if (check == "skipped-label") {
            const size_t g = finding["record"];
            const size_t c = std::stoul(message.substr(message.find("channel ") + 8));
            EXPECT_TRUE(labels["datagroups"][g]["channels"][c]["keys"].empty());
            for (const auto& [plug, keys] : scene) {
                for (const auto& key : keys) {
                    EXPECT_NE(key.second, ReadValue(variant, g, c, 1) / 10) << plug;
                }
            }
        } else if (check == "rate") {
            EXPECT_NE(variant.groups[0].rate, std::floor(variant.groups[0].rate));
            EXPECT_EQ(message.find("whole part"), std::string::npos);
            EXPECT_FALSE(predicted.empty());
        } else {
            ASSERT_EQ(check, "not-finite");
            const size_t c = std::stoul(message.substr(message.find("channel ") + 8));
            notFinite[{0, c}] = std::stoll(message.substr(message.find("holds ") + 6));
        }
    }
    std::map<std::pair<size_t, size_t>, int64_t> written;
    for (const auto& [frame, c] : variant.odd) {
        if (!std::isfinite(ReadValue(variant, 0, size_t(c), frame))) {
            ++written[{0, size_t(c)}];
        }
    }
    EXPECT_EQ(notFinite, written);
    for (const auto& [where, count] : written) {
        EXPECT_EQ(info["datagroups"][0]["channels"][where.second]["notFinite"], count);
    }
}

INSTANTIATE_TEST_SUITE_P(Takes, ToolTruth, ::testing::ValuesIn(Variants()),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
