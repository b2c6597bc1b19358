#include "Commands.h"

#include <cstdio>
#include <cstdlib>
#include <map>

#include "SampleTake.h"
#include "kfile/kfile.h"

namespace {

int Usage(const char* message) {
    std::fprintf(stderr, "kfile: %s (see kfile --help)\n", message);
    return 2;
}

// Opens and reads a take; on failure prints why and answers null.
std::unique_ptr<KFileContents> ReadTake(const std::string& fileName) {
    KFileManager manager;
    if (manager.Open(fileName) == 0) {
        std::fprintf(stderr, "kfile: cannot open '%s'\n", fileName.c_str());
        return nullptr;
    }
    std::unique_ptr<KFileContents> contents = manager.Read();
    if (!contents) {
        std::fprintf(stderr, "kfile: '%s' is not a complete K-file: %s\n", fileName.c_str(),
                     manager.DescribeLastError().c_str());
    }
    manager.Close();
    return contents;
}

struct FrameSummary {
    int32_t records = 0;
    int32_t missing = 0;
    int32_t mismatched = 0;  // value block does not match the datagroup's channels
};

std::map<int16_t, FrameSummary> SummariseFrames(const KFileContents& contents) {
    std::map<int16_t, FrameSummary> summaries;
    const auto* groups = dynamic_cast<const KFileDatagroupSection*>(
        contents.FindSection(KFileDatagroupSection::kName));
    for (int32_t i = 0; i < contents.GetDynamicRecordCount(); ++i) {
        const KFileDynamicRecord* record = contents.GetDynamicRecord(i);
        FrameSummary& summary = summaries[record->GetId()];
        ++summary.records;
        const KFileDatagroupRecord* group = groups ? groups->FindRecord(record->GetId()) : nullptr;
        if (!group || record->GetValueBytes() != group->GetLabelCount() * group->GetValueSize()) {
            ++summary.mismatched;
            continue;
        }
        double value;
        for (int32_t c = 0; group->GetValueType() == kValueDouble && c < group->GetLabelCount();
             ++c) {
            summary.missing += record->GetDouble(c, value) ? 0 : 1;
        }
    }
    return summaries;
}

void PrintParameters(const KFileParameterSection& section) {
    std::printf("parameters: %d\n", section.GetRecordCount());
    for (int32_t i = 0; i < section.GetRecordCount(); ++i) {
        const KFileParameterRecord* record = section.GetRecord(i);
        std::printf("  %-16s %-8s [", record->GetName().c_str(),
                    KValueTypeName(record->GetType()).c_str());
        for (size_t d = 0; d < record->GetDimensions().size(); ++d) {
            std::printf(d ? " %d" : "%d", record->GetDimensions()[d]);
        }
        std::printf("]\n");
    }
}

void PrintDatagroups(const KFileContents& contents) {
    const auto* groups = dynamic_cast<const KFileDatagroupSection*>(
        contents.FindSection(KFileDatagroupSection::kName));
    std::printf("datagroups: %d\n", contents.GetDatagroupCount());
    std::map<int16_t, FrameSummary> frames = SummariseFrames(contents);
    for (int32_t i = 0; groups && i < groups->GetRecordCount(); ++i) {
        const KFileDatagroupRecord* group = groups->GetRecord(i);
        const FrameSummary& summary = frames[group->GetId()];
        std::printf("  %d %-10s %s x%d  %g fps  %d channels  %d records  %d missing values\n",
                    group->GetId(), group->GetName().empty() ? "-" : group->GetName().c_str(),
                    group->GetValueTypeName().c_str(), group->GetValueSize(), group->GetRate(),
                    group->GetLabelCount(), summary.records, summary.missing);
        for (int32_t c = 0; c < group->GetLabelCount() && c < 6; ++c) {
            std::printf("      %s\n", group->GetLabel(c).c_str());
        }
        if (group->GetLabelCount() > 6) {
            std::printf("      ... %d more\n", group->GetLabelCount() - 6);
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
    std::unique_ptr<KFileContents> contents = ReadTake(arguments[0]);
    if (!contents) {
        return 1;
    }
    std::printf("file: %s\nversion: %d\nsections:", arguments[0].c_str(), contents->GetVersion());
    for (int32_t i = 0; i < contents->GetSectionCount(); ++i) {
        std::printf(" %s (%d bytes)", contents->GetSection(i)->GetName().c_str(),
                    contents->GetSection(i)->GetStoredSize());
    }
    std::printf("\n");
    if (const auto* parameters = dynamic_cast<const KFileParameterSection*>(
            contents->FindSection(KFileParameterSection::kName))) {
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
    std::unique_ptr<KFileContents> contents = ReadTake(arguments[0]);
    if (!contents) {
        return 1;
    }
    int32_t mismatched = 0;
    for (const auto& [id, summary] : SummariseFrames(*contents)) {
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
    std::unique_ptr<KFileContents> contents = ReadTake(arguments[0]);
    std::vector<std::string> labels;
    if (!contents || !contents->GetDatagroupLabels(static_cast<int16_t>(id), labels)) {
        std::fprintf(stderr, "kfile: no datagroup %d\n", id);
        return 1;
    }
    std::printf("frame");
    for (const auto& label : labels) {
        std::printf(",\"%s\"", label.c_str());
    }
    std::printf("\n");
    for (auto* record = contents->FirstDynamicRecord(static_cast<int16_t>(id)); record;
         record = contents->NextDynamicRecord(static_cast<int16_t>(id))) {
        std::printf("%d", record->GetFrame());
        for (int32_t c = 0; c < static_cast<int32_t>(labels.size()); ++c) {
            double value;
            if (record->GetDouble(c, value)) {
                std::printf(",%.6f", value);
            } else {
                std::printf(",");
            }
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
