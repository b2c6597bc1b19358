#include "Commands.h"

#include <cstdio>
#include <cstdlib>
#include <map>

#include "SampleTake.h"
#include "kfile/kfile.h"

using namespace kfile;

namespace {

int Usage(const char* message) {
    std::fprintf(stderr, "kfile: %s (see kfile --help)\n", message);
    return 2;
}

// Reads a take; on failure prints why, and the result holds no contents.
KReadResult ReadOrComplain(const std::string& fileName) {
    KReadResult take = ReadTake(fileName);
    if (take.report.error == KReadError::kCannotOpen) {
        std::fprintf(stderr, "kfile: cannot open '%s'\n", fileName.c_str());
    } else if (!take.contents) {
        std::fprintf(stderr, "kfile: '%s' is not a complete K-file: %s\n", fileName.c_str(),
                     take.report.Describe().c_str());
    }
    return take;
}

// The value of one channel as text, read with the getter of the datagroup's value type. False
// when the value is missing or the type has no getter; `text` is then empty.
bool FormatValue(const KFileDynamicRecord& record, int32_t valueType, int32_t channel,
                 std::string& text) {
    char buffer[64] = "";
    bool present = false;
    switch (valueType) {
        case kValueShort: {
            int16_t value = 0;
            present = record.GetShort(channel, value);
            std::snprintf(buffer, sizeof buffer, "%d", value);
            break;
        }
        case kValueLong: {
            int32_t value = 0;
            present = record.GetLong(channel, value);
            std::snprintf(buffer, sizeof buffer, "%d", value);
            break;
        }
        case kValueFloat: {
            float value = 0.0f;
            present = record.GetFloat(channel, value);
            std::snprintf(buffer, sizeof buffer, "%.6f", static_cast<double>(value));
            break;
        }
        case kValueDouble: {
            double value = 0.0;
            present = record.GetDouble(channel, value);
            std::snprintf(buffer, sizeof buffer, "%.6f", value);
            break;
        }
        case kValueBoolean: {
            bool value = false;
            present = record.GetBoolean(channel, value);
            std::snprintf(buffer, sizeof buffer, "%d", value ? 1 : 0);
            break;
        }
        default:
            break;
    }
    text = present ? buffer : "";
    return present;
}

bool HasValueGetter(int32_t valueType) {
    return valueType >= kValueShort && valueType <= kValueBoolean;
}

struct FrameSummary {
    int32_t records = 0;
    int32_t missing = 0;
    int32_t mismatched = 0;  // value block does not match the datagroup's channels
};

std::map<int16_t, FrameSummary> SummariseFrames(const KFileContents& contents) {
    std::map<int16_t, FrameSummary> summaries;
    const KFileDatagroupSection* groups = contents.GetDatagroupSection();
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords()) {
        FrameSummary& summary = summaries[record.GetId()];
        ++summary.records;
        const KFileDatagroupRecord* group = groups ? groups->FindRecord(record.GetId()) : nullptr;
        if (!group || record.GetValueBytes() != group->GetLabelCount() * group->GetValueSize()) {
            ++summary.mismatched;
            continue;
        }
        std::string text;
        for (int32_t c = 0; HasValueGetter(group->GetValueType()) && c < group->GetLabelCount();
             ++c) {
            summary.missing += FormatValue(record, group->GetValueType(), c, text) ? 0 : 1;
        }
    }
    return summaries;
}

void PrintParameters(const KFileParameterSection& section) {
    std::printf("parameters: %d\n", section.GetRecordCount());
    for (const KFileParameterRecord& record : section.GetRecords()) {
        std::printf("  %-16s %-8s [", record.GetName().c_str(),
                    KValueTypeName(record.GetType()).c_str());
        for (size_t d = 0; d < record.GetDimensions().size(); ++d) {
            std::printf(d ? " %d" : "%d", record.GetDimensions()[d]);
        }
        std::printf("]\n");
    }
}

void PrintDatagroups(const KFileContents& contents) {
    std::printf("datagroups: %d\n", contents.GetDatagroupCount());
    const KFileDatagroupSection* groups = contents.GetDatagroupSection();
    if (!groups) {
        return;
    }
    std::map<int16_t, FrameSummary> frames = SummariseFrames(contents);
    for (const KFileDatagroupRecord& group : groups->GetRecords()) {
        const FrameSummary& summary = frames[group.GetId()];
        std::printf("  %d %-10s %s x%d  %g fps  %d channels  %d records  %d missing values\n",
                    group.GetId(), group.GetName().empty() ? "-" : group.GetName().c_str(),
                    group.GetValueTypeName().c_str(), group.GetValueSize(), group.GetRate(),
                    group.GetLabelCount(), summary.records, summary.missing);
        for (int32_t c = 0; c < group.GetLabelCount() && c < 6; ++c) {
            std::printf("      %s\n", group.GetLabel(c).c_str());
        }
        if (group.GetLabelCount() > 6) {
            std::printf("      ... %d more\n", group.GetLabelCount() - 6);
        }
    }
}

bool ParseInt(const std::string& text, int32_t& value) {
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) {
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

}  // namespace

int InfoCommand(const Arguments& arguments) {
    if (arguments.size() != 1) {
        return Usage("info takes one file");
    }
    KReadResult take = ReadOrComplain(arguments[0]);
    const KFileContents* contents = take.contents.get();
    if (!contents) {
        return 1;
    }
    std::printf("file: %s\nversion: %d\nsections:\n", arguments[0].c_str(), contents->GetVersion());
    for (const KSectionReport& section : take.report.sections) {
        std::printf("  %-12s at byte %llu, %d bytes%s\n", section.name.c_str(),
                    static_cast<unsigned long long>(section.offset), section.size,
                    section.kept ? "" : " (not kept)");
    }
    if (const KFileParameterSection* parameters = contents->GetParameterSection()) {
        PrintParameters(*parameters);
    }
    PrintDatagroups(*contents);
    std::printf("dynamic records: %d\nframes: %d to %d\n", contents->GetDynamicRecordCount(),
                contents->GetFirstFrame(), contents->GetLastFrame());
    return 0;
}

int ValidateCommand(const Arguments& arguments) {
    if (arguments.size() != 1) {
        return Usage("validate takes one file");
    }
    KReadResult take = ReadOrComplain(arguments[0]);
    if (!take.contents) {
        return 1;
    }
    int32_t mismatched = 0;
    for (const auto& [id, summary] : SummariseFrames(*take.contents)) {
        if (summary.mismatched > 0) {
            std::printf("datagroup %d: %d records do not match its channels\n", id,
                        summary.mismatched);
        }
        mismatched += summary.mismatched;
    }
    std::printf("%s: %s\n", arguments[0].c_str(), mismatched ? "readable, with problems" : "ok");
    return mismatched ? 1 : 0;
}

int ExportCommand(const Arguments& arguments) {
    int32_t id = 0;
    if (arguments.empty() || arguments.size() > 2 ||
        (arguments.size() == 2 && !ParseInt(arguments[1], id))) {
        return Usage("export takes a file and an optional datagroup id");
    }
    KReadResult take = ReadOrComplain(arguments[0]);
    if (!take.contents) {
        return 1;
    }
    const KFileContents& contents = *take.contents;
    const KFileDatagroupSection* groups = contents.GetDatagroupSection();
    const KFileDatagroupRecord* group =
        groups ? groups->FindRecord(static_cast<int16_t>(id)) : nullptr;
    std::vector<std::string> labels;
    if (!group || !contents.GetDatagroupLabels(static_cast<int16_t>(id), labels)) {
        std::fprintf(stderr, "kfile: no datagroup %d\n", id);
        return 1;
    }
    if (!HasValueGetter(group->GetValueType())) {
        std::fprintf(stderr, "kfile: datagroup %d holds values of type %d, which do not export\n",
                     id, group->GetValueType());
        return 1;
    }
    std::printf("frame");
    for (const auto& label : labels) {
        std::printf(",\"%s\"", label.c_str());
    }
    std::printf("\n");
    std::string text;
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords(static_cast<int16_t>(id))) {
        std::printf("%d", record.GetFrame());
        for (int32_t c = 0; c < static_cast<int32_t>(labels.size()); ++c) {
            FormatValue(record, group->GetValueType(), c, text);
            std::printf(",%s", text.c_str());
        }
        std::printf("\n");
    }
    return 0;
}

int GenerateCommand(const Arguments& arguments) {
    if (arguments.empty()) {
        return Usage("generate takes a file name");
    }
    SampleTakeOptions options;
    for (size_t i = 1; i < arguments.size(); i += 2) {
        if (i + 1 >= arguments.size()) {
            return Usage(("missing value after " + arguments[i]).c_str());
        }
        const std::string& flag = arguments[i];
        const std::string& value = arguments[i + 1];
        int32_t number = 0;
        bool numeric = ParseInt(value, number);
        if (flag == "--subject") {
            options.subject = value;
        } else if (flag == "--rate") {
            options.rate = std::strtof(value.c_str(), nullptr);
        } else if (flag == "--frames" && numeric && number >= 0) {
            options.frameCount = number;
        } else if (flag == "--markers" && numeric && number >= 0) {
            options.markerCount = number;
        } else if (flag == "--segments" && numeric && number >= 0) {
            options.segmentCount = number;
        } else if (flag == "--first-frame" && numeric) {
            options.firstFrame = number;
        } else if (flag == "--missing-every" && numeric && number >= 0) {
            options.missingEvery = number;
        } else {
            return Usage(("bad option " + flag + " " + value).c_str());
        }
    }
    if (!(options.rate > 0.0f)) {
        return Usage("the rate must be a positive number");
    }
    if (!SampleTake(options).Write(arguments[0])) {
        std::fprintf(stderr, "kfile: cannot write '%s'\n", arguments[0].c_str());
        return 1;
    }
    std::printf("wrote %s: %d frames at %g fps, %d markers, %d segments\n", arguments[0].c_str(),
                options.frameCount, options.rate, options.markerCount, options.segmentCount);
    return 0;
}
