// kfile info: what a take holds.
#include <cmath>

#include "Commands.h"
#include "Output.h"
#include "TakeReading.h"
#include "import/ChannelLabels.h"

using namespace kfile;

namespace {

// A single-precision number as the double nearest to its shortest decimal: 29.97, not
// 29.969999313354492.
Json FloatJson(float value) {
    return std::isfinite(value) ? Json(std::stod(NumberText(value))) : Json(value);
}

// Values of a parameter: its texts for a text parameter, else its numbers.
Json ParameterValues(const KFileParameterRecord& parameter) {
    Json values = Json::array();
    const int32_t count = std::max(parameter.GetElementCount(), 0);
    if (parameter.GetType() == kValueText) {
        const std::vector<int16_t>& dimensions = parameter.GetDimensions();
        const int32_t width = dimensions.empty() ? 1 : std::max<int32_t>(dimensions[0], 1);
        for (int32_t slot = 0; slot < count / width; ++slot) {
            values.push_back(Latin1ToUtf8(parameter.GetText(slot)));
        }
        return values;
    }
    for (int32_t i = 0; i < count; ++i) {
        switch (parameter.GetType()) {
            case kValueShort:
                values.push_back(parameter.GetShort(i));
                break;
            case kValueLong:
                values.push_back(parameter.GetLong(i));
                break;
            case kValueFloat:
                values.push_back(FloatJson(parameter.GetFloat(i)));
                break;
            case kValueDouble:
                values.push_back(parameter.GetDouble(i));
                break;
            case kValueBoolean:
                values.push_back(parameter.GetBoolean(i));
                break;
            default:
                values.push_back(parameter.GetByte(i));
                break;
        }
    }
    return values;
}

Json SectionsJson(const KReadReport& report) {
    Json sections = Json::array();
    for (const KSectionReport& section : report.sections) {
        sections.push_back({{"name", Latin1ToUtf8(section.name)},
                            {"offset", section.offset},
                            {"size", section.size},
                            {"kept", section.kept}});
    }
    return sections;
}

Json ParametersJson(const KFileContents& contents) {
    Json parameters = Json::array();
    if (const KFileParameterSection* section = contents.GetParameterSection()) {
        for (const KFileParameterRecord& parameter : section->GetRecords()) {
            parameters.push_back({{"name", Latin1ToUtf8(parameter.GetName())},
                                  {"type", parameter.GetType()},
                                  {"typeName", KValueTypeName(parameter.GetType())},
                                  {"dimensions", parameter.GetDimensions()},
                                  {"values", ParameterValues(parameter)}});
        }
    }
    return parameters;
}

Json DatagroupJson(const KFileContents& contents, const KFileDatagroupRecord& group) {
    const DatagroupFrames frames = CountFrames(contents, group);
    Json missing = Json::array();
    for (int32_t c = 0; c < group.GetLabelCount(); ++c) {
        missing.push_back({{"channel", c},
                           {"label", Latin1ToUtf8(group.GetLabel(c))},
                           {"missing", frames.missing[static_cast<size_t>(c)]},
                           {"notFinite", frames.notFinite[static_cast<size_t>(c)]}});
    }
    return {{"id", group.GetId()},
            {"name", Latin1ToUtf8(group.GetName())},
            {"valueType", group.GetValueType()},
            {"valueTypeName", group.GetValueTypeName()},
            {"valueSize", group.GetValueSize()},
            {"rate", FloatJson(group.GetRate())},
            {"channelCount", group.GetLabelCount()},
            {"records", frames.records},
            {"firstFrame", frames.firstFrame},
            {"lastFrame", frames.lastFrame},
            {"incompleteRecords", frames.incomplete},
            {"channels", missing}};
}

Json InfoJson(const std::string& fileName, const KFileContents& contents,
              const KReadReport& report) {
    Json datagroups = Json::array();
    if (const KFileDatagroupSection* section = contents.GetDatagroupSection()) {
        for (const KFileDatagroupRecord& group : section->GetRecords()) {
            datagroups.push_back(DatagroupJson(contents, group));
        }
    }
    return {{"file", Latin1ToUtf8(fileName)},
            {"size", report.fileSize},
            {"version", contents.GetVersion()},
            {"sections", SectionsJson(report)},
            {"parameters", ParametersJson(contents)},
            {"datagroups", datagroups},
            {"dynamicRecords", contents.GetDynamicRecordCount()},
            {"incompleteBytes", report.incompleteBytes}};
}

// A JSON scalar as text: a string as it is, a number that JSON cannot hold as "nan" or "inf".
std::string ScalarText(const Json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    return value.is_number_float() ? NumberText(value.get<double>()) : value.dump();
}

// A list of JSON scalars as "a, b, c", at most `most` of them.
std::string ValueList(const Json& values, size_t most) {
    std::string text;
    for (size_t i = 0; i < values.size() && i < most; ++i) {
        text += (i ? ", " : "") + ScalarText(values[i]);
    }
    return values.size() > most ? text + ", ... (" + std::to_string(values.size()) + ")" : text;
}

// The channels whose count of `what` is not 0, after the heading: channels of one name with the
// same count share a line, "Bob1:LFHD <P-X> <P-Y> <P-Z>: 4". Without any, " none" or nothing.
void PrintCounts(std::ostream& out, const Json& channels, const char* what, const char* heading,
                 bool sayNone) {
    std::string line;
    std::string lineName;
    int64_t lineCount = 0;
    auto flush = [&]() {
        if (!line.empty()) {
            out << "    " << line << ": " << lineCount << "\n";
        }
        line.clear();
    };
    bool any = false;
    for (const Json& channel : channels) {
        const int64_t count = channel[what].get<int64_t>();
        if (count == 0) {
            flush();
            continue;
        }
        const std::string label = channel["label"].get<std::string>();
        const std::string name = channelBaseName(label);
        if (line.empty() || name != lineName || count != lineCount) {
            flush();
            out << (any ? "" : std::string("  ") + heading + "\n");
            any = true;
            line = label;
            lineName = name;
            lineCount = count;
        } else {
            line += label.substr(std::min(label.size(), name.size()));
        }
    }
    flush();
    if (!any && sayNone) {
        out << "  " << heading << " none\n";
    }
}

void PrintDatagroup(std::ostream& out, const Json& group) {
    const std::string typeName = group["valueTypeName"];
    out << "datagroup " << group["id"] << " \"" << group["name"].get<std::string>()
        << "\": " << (typeName.empty() ? "unknown" : typeName) << " (type " << group["valueType"]
        << "), " << group["valueSize"] << "-byte values, "
        << (group["rate"].is_number() ? RateText(group["rate"].get<float>())
                                      : ScalarText(group["rate"]))
        << " fps, " << Counted(group["channelCount"].get<int64_t>(), "channel") << "\n  "
        << Counted(group["records"].get<int64_t>(), "record");
    if (group["records"] > 0) {
        out << ", frames " << group["firstFrame"] << " to " << group["lastFrame"];
    }
    if (group["incompleteRecords"] > 0) {
        out << ", " << group["incompleteRecords"] << " without one value per channel";
    }
    out << "\n";
    PrintCounts(out, group["channels"], "missing", "missing values:", true);
    PrintCounts(out, group["channels"], "notFinite",
                "values that are not finite (the import keys none of them):", false);
}

// The file name as given, as in every text message; the names of the take in UTF-8.
void PrintInfo(std::ostream& out, const std::string& fileName, const Json& info) {
    out << fileName << ": K-file version " << info["version"] << ", "
        << Counted(info["size"].get<int64_t>(), "byte") << ", "
        << Counted(info["dynamicRecords"].get<int64_t>(), "dynamic record") << "\n";
    if (info["incompleteBytes"] > 0) {
        out << DroppedRecordText(info["incompleteBytes"].get<uint64_t>()) << "\n";
    }
    out << "sections:\n";
    for (const Json& section : info["sections"]) {
        out << "  " << section["name"].get<std::string>() << " at byte " << section["offset"]
            << ", " << Counted(section["size"].get<int64_t>(), "byte")
            << (section["kept"] ? "" : " (unknown kind: readers step over it)") << "\n";
    }
    out << "parameters:" << (info["parameters"].empty() ? " none" : "") << "\n";
    for (const Json& parameter : info["parameters"]) {
        out << "  " << parameter["name"].get<std::string>() << " "
            << parameter["typeName"].get<std::string>() << " " << parameter["dimensions"].dump()
            << ": " << ValueList(parameter["values"], 8) << "\n";
    }
    for (const Json& group : info["datagroups"]) {
        PrintDatagroup(out, group);
    }
    if (info["datagroups"].empty()) {
        out << "datagroups: none\n";
    }
}

}  // namespace

int RunInfo(const InspectOptions& options, Console& console) {
    KReadReport report;
    std::unique_ptr<KFileContents> contents = ReadTakeOrComplain(options.take, console, &report);
    if (!contents) {
        return 1;
    }
    const Json info = InfoJson(options.take, *contents, report);
    if (options.json) {
        console.out << JsonText(info) << "\n";
    } else {
        PrintInfo(console.out, options.take, info);
    }
    return report.incompleteBytes > 0 ? 1 : 0;  // what was dropped is told above
}
