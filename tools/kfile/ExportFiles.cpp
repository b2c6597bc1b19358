// kfile export --format c3d|trc, and --out-dir: many takes, each to its own file, with a
// progress line on the terminal.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "Commands.h"
#include "Output.h"
#include "TakeExport.h"
#include "TakeReading.h"

using namespace kfile;
namespace fs = std::filesystem;

namespace {

std::optional<int16_t> ChosenDatagroup(const ExportOptions& options) {
    return options.datagroupGiven ? std::optional<int16_t>(static_cast<int16_t>(options.datagroup))
                                  : std::nullopt;
}

// One take to --out as C3D or TRC.
int ExportFormatted(const ExportOptions& options, Console& console) {
    if (options.out.empty()) {
        console.err << "kfile: --format " << options.format
                    << " writes a file: give it with --out (see kfile export --help)\n";
        return 2;
    }
    KReadReport report;
    std::unique_ptr<KFileContents> contents;
    if (const int status = ReadTakeToExport(options, console, report, contents)) {
        return status;
    }
    const ExportFormat format = options.format == "c3d" ? ExportFormat::kC3d : ExportFormat::kTrc;
    const ExportResult result =
        ExportTake(*contents, format, ChosenDatagroup(options), options.out);
    if (!result.problem.empty()) {
        return ReportError(console, {options.take, Latin1ToUtf8(result.problem), std::nullopt});
    }
    if (!result.write.written) {
        return ReportWriteFailure(console, options.out, result.write);
    }
    for (const std::string& line : result.leftOut) {
        console.err << "kfile: '" << options.take << "': left out " << Latin1ToUtf8(line) << "\n";
    }
    int status = 0;
    for (int16_t id : result.datagroups) {
        const int32_t incomplete =
            CountFrames(*contents, *contents->GetDatagroupSection()->FindRecord(id)).incomplete;
        if (incomplete > 0) {
            console.err << "kfile: '" << options.take << "': " << Counted(incomplete, "record")
                        << " of datagroup " << id << (incomplete == 1 ? " does" : " do")
                        << " not hold one value per channel; absent values are written as "
                           "missing (see kfile validate)\n";
            status = 1;
        }
    }
    return TellDroppedRecord(console, options.take, report) != 0 ? 1 : status;
}

int ExportOne(const ExportOptions& options, Console& console) {
    return options.format == "csv" ? RunExport(options, console)
                                   : ExportFormatted(options, console);
}

std::string Megabytes(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    return text;
}

// "takes done of all, bytes, the current name, time left" on one terminal line.
class BatchProgress {
  public:
    BatchProgress(Console& console, bool shown, const std::vector<std::string>& takes)
        : console_(console), shown_(shown), takes_(takes.size()) {
        for (const std::string& take : takes) {
            std::error_code error;
            const uintmax_t size = fs::file_size(take, error);
            sizes_.push_back(error ? 0 : size);
            total_ += sizes_.back();
        }
    }

    void Start(size_t index, const std::string& name) {
        if (!shown_) {
            return;
        }
        console_.err << "\r\033[Kexporting " << index << " of " << takes_ << " takes, "
                     << Megabytes(done_) << " of " << Megabytes(total_) << ", " << name
                     << TimeLeft() << std::flush;
        drawn_ = true;
    }

    void Done(size_t index) { done_ += sizes_[index]; }

    // Clears the line so that a message can be written.
    void Clear() {
        if (drawn_) {
            console_.err << "\r\033[K" << std::flush;
            drawn_ = false;
        }
    }

  private:
    std::string TimeLeft() const {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        if (done_ == 0 || elapsed < 0.5) {
            return "";
        }
        const auto seconds = static_cast<long long>(elapsed * (total_ - done_) / done_ + 0.5);
        char text[48];
        std::snprintf(text, sizeof text, ", %lld:%02lld left", seconds / 60, seconds % 60);
        return text;
    }

    Console& console_;
    bool shown_;
    size_t takes_;
    std::vector<uint64_t> sizes_;
    uint64_t total_ = 0;
    uint64_t done_ = 0;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

int ExportBatch(const ExportOptions& options, Console& console) {
    std::error_code error;
    fs::create_directories(options.outDir, error);
    if (!fs::is_directory(options.outDir)) {
        return ReportError(console, {options.outDir,
                                     "cannot make the folder: " +
                                         (error ? error.message() : "a file is in the way"),
                                     std::nullopt});
    }
    BatchProgress progress(console, console.progress && !options.quiet, options.takes);
    std::map<std::string, std::string> outputs;  // output path -> the take written to it
    int status = 0;
    for (size_t t = 0; t < options.takes.size(); ++t) {
        ExportOptions one = options;
        one.take = options.takes[t];
        one.outDir.clear();
        const std::string name = fs::path(one.take).stem().string() + "." + options.format;
        one.out = (fs::path(options.outDir) / name).string();
        progress.Start(t, fs::path(one.take).filename().string());

        std::ostringstream messages;
        Console quiet{console.out, messages, false, console.json};
        auto [earlier, added] = outputs.insert({one.out, one.take});
        const int taken =
            added ? ExportOne(one, quiet)
                  : ReportError(quiet, {one.take,
                                        "its export '" + one.out + "' would replace that of '" +
                                            earlier->second + "'",
                                        std::nullopt});
        status = std::max(status, taken);
        progress.Done(t);
        if (!messages.str().empty()) {
            progress.Clear();
            console.err << messages.str();
        }
    }
    progress.Clear();
    return status == 0 ? 0 : 1;
}

bool ReadDatagroup(const std::string& text, int32_t& datagroup) {
    try {
        size_t used = 0;
        const long value = std::stol(text, &used);
        if (used != text.size() || value < INT16_MIN || value > INT16_MAX) {
            return false;
        }
        datagroup = static_cast<int32_t>(value);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::string ResolveExportTakes(ExportOptions& options) {
    if (!options.outDir.empty()) {
        options.take = options.takes.front();
        return "";
    }
    if (options.takes.size() > 2) {
        return "export reads one take, or several with --out-dir";
    }
    options.take = options.takes.front();
    if (options.takes.size() == 2) {
        if (options.datagroupGiven) {
            return "DATAGROUP excludes --datagroup";
        }
        if (!ReadDatagroup(options.takes[1], options.datagroup)) {
            return "DATAGROUP must be a whole number from -32768 to 32767";
        }
        options.datagroupGiven = true;
    }
    return "";
}

int RunExportFiles(const ExportOptions& options, Console& console) {
    return options.outDir.empty() ? ExportFormatted(options, console)
                                  : ExportBatch(options, console);
}
