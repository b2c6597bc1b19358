// kfile export: one datagroup as CSV.
#include <fstream>

#include "Commands.h"
#include "Csv.h"
#include "TakeReading.h"

using namespace kfile;

namespace {

void WriteRows(std::ostream& out, const KFileContents& contents, const KFileDatagroupRecord& group,
               Progress& progress) {
    std::vector<std::string> row{"frame", "time"};
    for (const std::string& label : group.GetLabels()) {
        row.push_back(label);
    }
    WriteCsvRow(out, row);
    const float rate = group.GetRate();
    const int32_t total = contents.GetDynamicRecordCount();
    int32_t done = 0;
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords()) {
        if (++done % 4096 == 0) {
            progress.Show(done, total);
        }
        if (record.GetId() != group.GetId()) {
            continue;
        }
        row.assign({std::to_string(record.GetFrame()),
                    rate > 0.0f ? NumberText(record.GetFrame() / static_cast<double>(rate)) : ""});
        for (int32_t c = 0; c < group.GetLabelCount(); ++c) {
            row.emplace_back();
            ValueText(record, group.GetValueType(), c, row.back());
        }
        WriteCsvRow(out, row);
    }
}

}  // namespace

int RunExport(const ExportOptions& options, Console& console) {
    std::unique_ptr<KFileContents> contents = ReadTakeOrComplain(options.take, console.err);
    if (!contents) {
        return 1;
    }
    const KFileDatagroupSection* section = contents->GetDatagroupSection();
    const KFileDatagroupRecord* group =
        section && options.datagroup >= INT16_MIN && options.datagroup <= INT16_MAX
            ? section->FindRecord(static_cast<int16_t>(options.datagroup))
            : nullptr;
    if (!group) {
        console.err << "kfile: '" << options.take << "' has no datagroup " << options.datagroup
                    << "\n";
        return 1;
    }
    if (!IsNumericValueType(group->GetValueType())) {
        console.err << "kfile: datagroup " << options.datagroup << " holds values of type "
                    << group->GetValueType() << ", which are not numbers\n";
        return 1;
    }
    std::ofstream file;
    if (!options.out.empty()) {
        file.open(options.out, std::ios::binary);
        if (!file) {
            console.err << "kfile: cannot write '" << options.out << "'\n";
            return 1;
        }
    }
    std::ostream& out = options.out.empty() ? console.out : file;
    Progress progress(console, "exporting records");
    WriteRows(out, *contents, *group, progress);
    out.flush();
    if (!out) {
        console.err << "kfile: writing the CSV failed\n";
        return 1;
    }
    const int32_t incomplete = CountFrames(*contents, *group).incomplete;
    if (incomplete > 0) {
        console.err << "kfile: " << incomplete << " records of datagroup " << options.datagroup
                    << " do not hold one value per channel; their absent values are empty "
                       "cells (see kfile validate)\n";
        return 1;
    }
    return 0;
}
