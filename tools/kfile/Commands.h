// The subcommands of the kfile command. Each writes its results to `out` and its complaints to
// `err`, and answers the exit status: 0 done, 1 a take that cannot be read or is inconsistent
// (2, bad usage, is decided while the arguments are parsed).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "TakeGenerator.h"
#include "kfile/kfile.h"

// Where a subcommand writes, whether it may show progress (only on a terminal), and whether
// errors are told as JSON (with --json).
struct Console {
    std::ostream& out;
    std::ostream& err;
    bool progress = false;
    bool json = false;
};

struct InspectOptions {
    std::string take;
    bool json = false;
};

struct ExportOptions {
    std::string take;
    int32_t datagroup = 0;
    std::string out;  // empty: standard output

    // Many takes and the other formats (ExportFiles.cpp).
    std::vector<std::string> takes;  // as given: TAKE [DATAGROUP], or with --out-dir the takes
    bool datagroupGiven = false;
    std::string format = "csv";  // "csv", "c3d" or "trc"
    std::string outDir;          // empty: one take, to --out
    bool quiet = false;
};

// Sorts the positional arguments of export into the take and its datagroup (without
// --out-dir) or the takes (with it); answers what is wrong with them, or empty.
std::string ResolveExportTakes(ExportOptions& options);
// Reads the take to export into `contents`: 0 when read, 1 when it cannot be read, 2 when --out
// names the take itself by any path to it (a link, "./take.K"), which exporting would
// overwrite. Each failure is told.
int ReadTakeToExport(const ExportOptions& options, Console& console, kfile::KReadReport& report,
                     std::unique_ptr<kfile::KFileContents>& contents);
// Exports in the chosen format, or every take to --out-dir (see RunExport for one CSV).
int RunExportFiles(const ExportOptions& options, Console& console);

struct GenerateOptions {
    std::string out;
    TakeOptions take;
};

int RunInfo(const InspectOptions& options, Console& console);
int RunLabels(const InspectOptions& options, Console& console);
int RunValidate(const InspectOptions& options, Console& console);
int RunExport(const ExportOptions& options, Console& console);
int RunGenerate(const GenerateOptions& options, Console& console);

// Shows "what done/total" on one line of the terminal while work goes on.
class Progress {
  public:
    Progress(Console& console, std::string what) : console_(console), what_(std::move(what)) {}
    ~Progress();
    void Show(int64_t done, int64_t total);

  private:
    Console& console_;
    std::string what_;
    bool shown_ = false;
};
