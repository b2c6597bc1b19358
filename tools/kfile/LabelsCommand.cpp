// kfile labels: each channel label and what the import makes of it.
#include "Commands.h"
#include "LabelReading.h"
#include "Output.h"
#include "TakeReading.h"

using namespace kfile;

namespace {

const char kRenamingNote[] =
    "Node names are those the import asks for: the host renames a node whose name a sibling "
    "already holds, so markers imported a second time get a number (HEAD_marker1).";

// The readings with every name in UTF-8 (the import reads the 8-bit names as they are).
std::vector<LabelReading> InUtf8(std::vector<LabelReading> readings) {
    for (LabelReading& reading : readings) {
        for (std::string* text : {&reading.label, &reading.name, &reading.subject,
                                  &reading.writtenSubject, &reading.skipReason}) {
            *text = Latin1ToUtf8(*text);
        }
        for (LabelKey& key : reading.keys) {
            key.group = Latin1ToUtf8(key.group);
            key.node = Latin1ToUtf8(key.node);
        }
    }
    return readings;
}

// Grouped from the 8-bit names, as the import groups them, then put into UTF-8.
std::vector<SubjectGroup> SubjectsInUtf8(const std::vector<LabelReading>& readings) {
    std::vector<SubjectGroup> groups = GroupSubjects(readings);
    for (SubjectGroup& group : groups) {
        group.group = Latin1ToUtf8(group.group);
        for (std::string& subject : group.subjects) {
            subject = Latin1ToUtf8(subject);
        }
    }
    return groups;
}

Json ReadingJson(const LabelReading& reading) {
    Json keys = Json::array();
    for (const LabelKey& key : reading.keys) {
        keys.push_back({{"group", key.group},
                        {"node", key.node},
                        {"path", key.NodePath()},
                        {"attribute", key.attribute}});
    }
    Json json = {{"channel", reading.channel}, {"label", reading.label},     {"kind", reading.kind},
                 {"name", reading.name},       {"subject", reading.subject}, {"keys", keys}};
    if (keys.empty()) {
        json["skipped"] = reading.skipReason;
    }
    return json;
}

void PrintReading(std::ostream& out, const LabelReading& reading,
                  const DatagroupReading& datagroup) {
    out << "  " << reading.channel << " " << reading.label << ": " << reading.kind << " "
        << reading.name;
    if (!reading.subject.empty()) {
        out << ", subject " << reading.subject;
    }
    out << ", keys ";
    for (size_t k = 0; k < reading.keys.size(); ++k) {
        const LabelKey& key = reading.keys[k];
        out << (k ? " and " : "") << key.NodePath() << "." << key.attribute;
    }
    const bool toldAbove = !datagroup.keyed;  // one reason for every channel
    out << (reading.keys.empty() ? "none" + (toldAbove ? "" : " (" + reading.skipReason + ")") : "")
        << "\n";
}

// "Bob (Bob1 and Bob2 merged), Ann"
std::string SubjectsText(const std::vector<SubjectGroup>& groups) {
    std::string text;
    for (const SubjectGroup& group : groups) {
        text += (text.empty() ? "" : ", ") + group.group;
        if (group.subjects.size() == 1 && group.subjects[0] == group.group) {
            continue;
        }
        std::string from;
        for (size_t i = 0; i < group.subjects.size(); ++i) {
            const bool last = i + 1 == group.subjects.size();
            from += (i == 0 ? "" : last ? " and " : ", ") + group.subjects[i];
        }
        text += " (" + from + (group.subjects.size() > 1 ? " merged)" : ")");
    }
    return text;
}

Json SubjectsJson(const std::vector<SubjectGroup>& groups) {
    Json json = Json::array();
    for (const SubjectGroup& group : groups) {
        json.push_back({{"group", group.group}, {"subjects", group.subjects}});
    }
    return json;
}

}  // namespace

int RunLabels(const InspectOptions& options, Console& console) {
    KReadReport report;
    std::unique_ptr<KFileContents> contents = ReadTakeOrComplain(options.take, console, &report);
    if (!contents) {
        return 1;
    }
    Json datagroups = Json::array();
    const std::vector<const KFileDatagroupRecord*> records = DatagroupRecords(*contents);
    for (size_t i = 0; i < records.size(); ++i) {
        const KFileDatagroupRecord& group = *records[i];
        const DatagroupReading reading = ReadDatagroup(records, i);
        const std::vector<LabelReading> read = ReadLabels(group.GetLabels(), reading);
        const std::vector<SubjectGroup> subjects = SubjectsInUtf8(read);
        const std::vector<LabelReading> readings = InUtf8(read);
        const std::string name = Latin1ToUtf8(group.GetName());
        if (!options.json) {
            console.out << "datagroup " << group.GetId() << " \"" << name << "\", "
                        << Counted(static_cast<int64_t>(readings.size()), "channel") << ":\n";
            if (!reading.keyed) {
                console.out << "  keys nothing: " << Latin1ToUtf8(reading.reason) << "\n";
            }
            if (!subjects.empty()) {
                console.out << "  subjects: " << SubjectsText(subjects) << "\n";
            }
            for (const LabelReading& label : readings) {
                PrintReading(console.out, label, reading);
            }
            continue;
        }
        Json channels = Json::array();
        for (const LabelReading& label : readings) {
            channels.push_back(ReadingJson(label));
        }
        Json json = {{"id", group.GetId()},
                     {"name", name},
                     {"keyed", reading.keyed},
                     {"subjects", SubjectsJson(subjects)},
                     {"channels", channels}};
        if (!reading.keyed) {
            json["skipped"] = Latin1ToUtf8(reading.reason);
        }
        datagroups.push_back(json);
    }
    if (options.json) {
        console.out << JsonText({{"file", Latin1ToUtf8(options.take)},
                                 {"datagroups", datagroups},
                                 {"note", kRenamingNote},
                                 {"incompleteBytes", report.incompleteBytes}})
                    << "\n";
    } else {
        console.out << kRenamingNote << "\n";
    }
    return TellDroppedRecord(console, options.take, report);
}
