// kfile generate: a synthetic take.
#include <filesystem>

#include "Commands.h"
#include "Output.h"
#include "TakeReading.h"

namespace {

// Why the take cannot go to `fileName`'s folder: more bytes than the file system has free.
std::string RoomRefusal(const TakeOptions& take, const std::string& fileName) {
    const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    std::error_code error;
    const std::filesystem::space_info space =
        std::filesystem::space(folder.empty() ? "." : folder, error);
    const uint64_t needed = EstimatedTakeBytes(take);
    if (error || needed <= space.available) {
        return {};
    }
    return "the take would take about " + Counted(int64_t(needed), "byte") + ", more than the " +
           Counted(int64_t(space.available), "byte") + " free there";
}

}  // namespace

int RunGenerate(const GenerateOptions& options, Console& console) {
    const TakeOptions& take = options.take;
    std::string refused = CheckTakeOptions(take);
    refused = refused.empty() ? RoomRefusal(take, options.out)
                              : refused + " (see kfile generate --help for the limits)";
    if (!refused.empty()) {
        console.err << "kfile: " << refused << "\n";
        return 2;
    }
    kfile::KWriteReport report;
    {
        Progress progress(console, "writing frames");
        report = WriteGeneratedTakeReporting(
            take, options.out, [&](int32_t done, int32_t total) { progress.Show(done, total); });
    }
    if (!report.written) {
        return ReportWriteFailure(console, options.out, report);
    }
    console.out << "wrote " << options.out << ": " << Counted(take.subjects, "subject") << " with "
                << Counted(take.markers, "marker") << " and " << Counted(take.segments, "segment")
                << " each, " << Counted(take.frames, "frame") << " at " << RateText(take.rate)
                << " fps from frame " << take.firstFrame << ", seed " << take.seed << "\n";
    return 0;
}

Progress::~Progress() {
    if (shown_) {
        console_.err << "\r\033[K" << std::flush;
    }
}

void Progress::Show(int64_t done, int64_t total) {
    if (!console_.progress) {
        return;
    }
    console_.err << "\r" << what_ << ": " << done << " of " << total << std::flush;
    shown_ = true;
}
