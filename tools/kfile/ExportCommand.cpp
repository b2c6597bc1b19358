// kfile export: one datagroup as CSV.
#include <filesystem>
#include <fstream>

#include "Commands.h"
#include "Csv.h"
#include "Output.h"
#include "TakeReading.h"

using namespace kfile;

namespace {

void WriteRows(std::ostream& out, const KFileContents& contents, const KFileDatagroupRecord& group,
               Progress& progress) {
    std::vector<std::string> row{"frame", "time"};
    for (const std::string& label : group.GetLabels()) {
        row.push_back(Latin1ToUtf8(label));
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

// The rows to `out`, or to standard output when it is empty.
int WriteCsv(const ExportOptions& options, Console& console, const KFileContents& contents,
             const KFileDatagroupRecord& group) {
    Progress progress(console, "exporting records");
    if (options.out.empty()) {
        WriteRows(console.out, contents, group, progress);
        return 0;  // a failed write to standard output is told once the command ends
    }
    return WriteOutput(console, options.out, [&](const std::string& path) {
        std::ofstream file(path, std::ios::binary);
        WriteRows(file, contents, group, progress);
        file.close();
        return !file.fail();
    });
}

}  // namespace

int ReadTakeToExport(const ExportOptions& options, Console& console, KReadReport& report,
                     std::unique_ptr<KFileContents>& contents) {
    std::error_code error;
    if (!options.out.empty() && std::filesystem::equivalent(options.out, options.take, error)) {
        console.err << "kfile: --out '" << options.out
                    << "' is the take itself: exporting would overwrite it\n";
        return 2;
    }
    contents = ReadTakeOrComplain(options.take, console, &report);
    return contents ? 0 : 1;
}

int RunExport(const ExportOptions& options, Console& console) {
    if (options.format != "csv" || !options.outDir.empty()) {
        return RunExportFiles(options, console);
    }
    KReadReport report;
    std::unique_ptr<KFileContents> contents;
    if (const int status = ReadTakeToExport(options, console, report, contents)) {
        return status;
    }
    const KFileDatagroupSection* section = contents->GetDatagroupSection();
    const KFileDatagroupRecord* group =
        section && options.datagroup >= INT16_MIN && options.datagroup <= INT16_MAX
            ? section->FindRecord(static_cast<int16_t>(options.datagroup))
            : nullptr;
    if (!group) {
        return ReportError(
            console,
            {options.take, "has no datagroup " + std::to_string(options.datagroup), std::nullopt});
    }
    if (!IsNumericValueType(group->GetValueType())) {
        return ReportError(
            console, {options.take,
                      "datagroup " + std::to_string(options.datagroup) + " holds values of type " +
                          std::to_string(group->GetValueType()) + ", which are not numbers",
                      std::nullopt});
    }
    if (WriteCsv(options, console, *contents, *group) != 0) {
        return 1;
    }
    const int32_t incomplete = CountFrames(*contents, *group).incomplete;
    if (incomplete > 0) {
        console.err << "kfile: " << Counted(incomplete, "record") << " of datagroup "
                    << options.datagroup << (incomplete == 1 ? " does" : " do")
                    << " not hold one value per channel; absent values are empty cells (see "
                       "kfile validate)\n";
    }
    return TellDroppedRecord(console, options.take, report) != 0 || incomplete > 0 ? 1 : 0;
}
