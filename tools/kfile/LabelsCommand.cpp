// kfile labels: each channel label and what the import makes of it.
#include <nlohmann/json.hpp>

#include "Commands.h"
#include "LabelReading.h"
#include "TakeReading.h"

using namespace kfile;
using Json = nlohmann::ordered_json;

namespace {

Json ReadingJson(const LabelReading& reading) {
    Json keys = Json::array();
    for (const LabelKey& key : reading.keys) {
        keys.push_back({{"group", key.group}, {"node", key.node}, {"attribute", key.attribute}});
    }
    Json json = {{"channel", reading.channel}, {"label", reading.label},     {"kind", reading.kind},
                 {"name", reading.name},       {"subject", reading.subject}, {"keys", keys}};
    if (keys.empty()) {
        json["skipped"] = reading.skipReason;
    }
    return json;
}

void PrintReading(std::ostream& out, const LabelReading& reading) {
    out << "  " << reading.channel << " " << reading.label << ": " << reading.kind << " "
        << reading.name;
    if (!reading.subject.empty()) {
        out << ", subject " << reading.subject;
    }
    out << ", keys ";
    for (size_t k = 0; k < reading.keys.size(); ++k) {
        const LabelKey& key = reading.keys[k];
        out << (k ? " and " : "") << key.group << "|" << key.node << "." << key.attribute;
    }
    out << (reading.keys.empty() ? "none (" + reading.skipReason + ")" : "") << "\n";
}

}  // namespace

int RunLabels(const InspectOptions& options, Console& console) {
    std::unique_ptr<KFileContents> contents = ReadTakeOrComplain(options.take, console.err);
    if (!contents) {
        return 1;
    }
    Json datagroups = Json::array();
    const KFileDatagroupSection* section = contents->GetDatagroupSection();
    for (int32_t i = 0; section && i < section->GetRecordCount(); ++i) {
        const KFileDatagroupRecord& group = *section->GetRecord(i);
        const std::vector<LabelReading> readings = ReadLabels(group.GetLabels());
        if (!options.json) {
            console.out << "datagroup " << group.GetId() << " \"" << group.GetName() << "\", "
                        << readings.size() << " channels:\n";
            for (const LabelReading& reading : readings) {
                PrintReading(console.out, reading);
            }
            continue;
        }
        Json channels = Json::array();
        for (const LabelReading& reading : readings) {
            channels.push_back(ReadingJson(reading));
        }
        datagroups.push_back(
            {{"id", group.GetId()}, {"name", group.GetName()}, {"channels", channels}});
    }
    if (options.json) {
        console.out << Json{{"file", options.take}, {"datagroups", datagroups}}.dump(2) << "\n";
    }
    return 0;
}
