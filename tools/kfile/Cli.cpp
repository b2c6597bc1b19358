#include "Cli.h"

#include <cerrno>
#include <charconv>
#include <exception>
#include <new>

#include <CLI/CLI.hpp>

#include "Output.h"

namespace {

const char kExitStatus[] =
    "Exit status: 0 done, 1 the take cannot be read or is inconsistent, or a file or the output "
    "cannot be written, 2 bad usage. A take that ends inside a record is read without it: info, "
    "labels and export show what it holds, say what was dropped and exit 1.\n";

const char kExportFormats[] =
    "C3D (--format c3d, with --out or --out-dir): the markers of DATAGROUP (default the first "
    "with markers) and of every datagroup at its rate as points in mm, segments as a "
    "translation point and an angles point (XYZ Euler degrees, in POINT:ANGLES); a frame "
    "without a value is an invalid point (residual -1). Datagroups that place no marker or "
    "segment and whose rate is a whole multiple of the points' are analog channels, a "
    "missing analog value is NaN. TRC (--format trc): the positions, missing values as empty "
    "cells. What does not fit is named on standard error, one line each. With --out-dir, "
    "every take is converted; one that fails is told and the others go on; a progress line "
    "shows on a terminal unless --quiet.";

const char kTextAndErrors[] =
    "Names, labels and file names are 8-bit text; in JSON, CSV and text names and labels are "
    "UTF-8, each byte the character of that code (Latin-1), and so are file names in JSON. An "
    "error names the file and the reason; with --json it is "
    "{\"error\": {\"path\", \"reason\", \"offset\"}} on standard output, a usage error too "
    "(with path null).";

// A value from `least` to `most`, read as a `Number`, refused in those words: "must be a whole
// number from 1 to 715827882", not a conversion error.
template <typename Number>
CLI::Validator Within(int64_t least, int64_t most, const char* what) {
    const std::string rule = std::string("must be ") + what + " from " + std::to_string(least) +
                             " to " + std::to_string(most);
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            Number value = 0;
            const char* end = text.data() + text.size();
            const auto [stop, error] = std::from_chars(text.data(), end, value);
            const bool read = error == std::errc() && stop == end;
            return read && value >= Number(least) && value <= Number(most) ? "" : rule;
        },
        std::to_string(least) + " to " + std::to_string(most));
}

// A path to write: an empty one names no file (and would not mean standard output).
const CLI::Validator kFileName(
    [](std::string& text) -> std::string { return text.empty() ? "must name a file" : ""; }, "");

CLI::Validator WholeNumber(int64_t least, int64_t most) {
    return Within<int64_t>(least, most, "a whole number");
}

// The text broken into lines of at most 80 characters.
std::string Wrapped(const std::string& text) {
    std::string wrapped;
    size_t lineStart = 0;
    size_t lastSpace = std::string::npos;
    for (char c : text) {
        if (c == ' ') {
            lastSpace = wrapped.size();
        }
        wrapped += c;
        if (wrapped.size() - lineStart > 80 && lastSpace != std::string::npos) {
            wrapped[lastSpace] = '\n';
            lineStart = lastSpace + 1;
            lastSpace = std::string::npos;
        }
    }
    return wrapped;
}

// The text, then the exit status.
std::string Details(const std::string& text) {
    return Wrapped(text) + "\n\n" + Wrapped(kExitStatus);
}

void AddTakeArguments(CLI::App& command, InspectOptions& options) {
    command.add_option("TAKE", options.take, "the K-file to read")->required();
    command.add_flag("--json", options.json,
                     "write JSON instead of text, errors too (names in UTF-8)");
}

CLI::App* AddExport(CLI::App& app, ExportOptions& options) {
    CLI::App* command =
        app.add_subcommand("export", "Write one datagroup as CSV, or a take as C3D or TRC");
    command->footer(Details(
        std::string(
            "CSV: one row per record: its frame, its time in seconds and one column per channel "
            "headed by its label; missing values are empty cells. ") +
        kExportFormats));
    command
        ->add_option("TAKE", options.takes,
                     "the K-file to read, then DATAGROUP, as --datagroup; with --out-dir, the "
                     "K-files")
        ->required();
    command
        ->add_option("--datagroup,-d", options.datagroup,
                     "datagroup id (CSV: default 0; C3D, TRC: default the first with markers)")
        ->check(WholeNumber(INT16_MIN, INT16_MAX));
    CLI::Option* out =
        command
            ->add_option("--out,-o", options.out, "write to this file instead of standard output")
            ->check(kFileName);
    command->add_option("--format,-f", options.format, "csv (the default), c3d or trc")
        ->check(CLI::IsMember({"csv", "c3d", "trc"}));
    command
        ->add_option("--out-dir", options.outDir,
                     "write each take to DIR/<name>.csv, .c3d or .trc, made when missing")
        ->check(kFileName)
        ->excludes(out);
    command->add_flag("--quiet,-q", options.quiet, "show no progress line on the terminal");
    return command;
}

CLI::App* AddGenerate(CLI::App& app, GenerateOptions& options) {
    CLI::App* command = app.add_subcommand("generate", "Write a realistic synthetic take");
    command->footer(Details(
        "Subjects (prefixes Bob1, Ann, Kim2, ..., BobA1, ...: distinct up to their first digit, "
        "as the import names them) with a skeleton each and markers riding on its segments, two "
        "markers without a subject, gaps, local and force channels, a force plate at the "
        "cameras' rate, parameters and a section of a kind readers do not know. Every datagroup "
        "starts at --first-frame; kfile validate calls the take clean. The same options give "
        "the same bytes. Subjects walk at a person's pace, a circle of 1.5 m in 6.7 s. "
        "Limits: at least one subject with a marker or a segment; each datagroup must fit one "
        "record, labels and values: about 590 markers and 250 segments in all (fewer with many "
        "subjects, whose names lengthen the labels). A take of more than 2^31 - 1 records or "
        "more bytes than the file system has free is refused before writing."));
    TakeOptions& take = options.take;
    command->add_option("OUT", options.out, "the K-file to write")->required()->check(kFileName);
    // Counts are bounded by the channels of one record; CheckTakeOptions tells combinations.
    command->add_option("--seed", take.seed, "seed of the random choices")
        ->capture_default_str()
        ->check(WholeNumber(0, UINT32_MAX));
    command->add_option("--subjects", take.subjects, "number of subjects")
        ->capture_default_str()
        ->check(WholeNumber(1, 1000));
    command->add_option("--markers", take.markers, "markers per subject")
        ->capture_default_str()
        ->check(WholeNumber(0, 1000));
    command->add_option("--segments", take.segments, "skeleton segments per subject")
        ->capture_default_str()
        ->check(WholeNumber(0, 1000));
    command->add_option("--frames", take.frames, "frames of the cameras")
        ->capture_default_str()
        ->check(WholeNumber(1, kMostFrames));
    command->add_option("--first-frame", take.firstFrame, "number of the first frame")
        ->capture_default_str()
        ->check(WholeNumber(INT32_MIN, INT32_MAX));
    command->add_option("--rate", take.rate, "frames per second of the cameras")
        ->capture_default_str()
        ->check(Within<double>(1, static_cast<int64_t>(kMostRate), "a number"));
    command
        ->add_option("--missing-every", take.missingEvery,
                     "a marker drops out once in this many frames on average (0: never)")
        ->capture_default_str()
        ->check(WholeNumber(0, INT32_MAX));
    return command;
}

// Whether the arguments ask for JSON: then a usage error is JSON too.
bool AsksForJson(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--json") {
            return true;
        }
    }
    return false;
}

// Help and version on standard output; a usage error as one line on standard error that points
// to the help of the subcommand, or with --json as a JSON error on standard output.
int TellParseError(CLI::App& app, const CLI::ParseError& error, int argc, const char* const* argv,
                   Console& console) {
    if (error.get_exit_code() == 0) {
        return app.exit(error, console.out, console.err);
    }
    std::string message;
    const std::vector<CLI::App*> commands = app.get_subcommands();
    if (commands.empty() && argc > 1 && argv[1][0] != '-') {
        message = "unknown command '" + std::string(argv[1]) +
                  "': the commands are info, labels, validate, export and generate";
    } else {
        message = error.what();
        const size_t colon = message.find(": must ");
        if (colon != std::string::npos) {
            message.erase(colon, 1);  // "--frames must be a whole number from 1 to ..."
        }
    }
    const std::string help =
        "kfile " + (commands.empty() ? "" : commands.front()->get_name() + " ") + "--help";
    message += " (see " + help + ")";
    if (AsksForJson(argc, argv)) {
        console.out
            << JsonText(
                   {{"error",
                     {{"path", nullptr}, {"reason", Latin1ToUtf8(message)}, {"offset", nullptr}}}})
            << "\n";
    } else {
        console.err << "kfile: " << message << "\n";
    }
    return 2;
}

// The subcommand's exit status; a failed write of its output is one too.
int RunParsed(int argc, const char* const* argv, Console& console) {
    CLI::App app{"kfile: inspect, validate, export and generate K-files (motion-capture takes)",
                 "kfile"};
    app.set_version_flag("--version", "kfile " KFR_VERSION);
    app.footer("\n" + Details(kTextAndErrors));
    app.require_subcommand(1);

    InspectOptions inspect;
    CLI::App* info = app.add_subcommand("info", "Show what a take holds");
    info->footer(
        Details("The version; every section with its offset and size, unknown ones too; "
                "the parameters; per datagroup its id, name, value type and size, rate, "
                "channels, records, frame range and missing values per channel."));
    AddTakeArguments(*info, inspect);
    CLI::App* labels = app.add_subcommand("labels", "Show how the import reads each channel label");
    labels->footer(
        Details("Per channel: marker, segment or local name, subject prefix, and the "
                "locator attribute it keys, or why it keys none."));
    AddTakeArguments(*labels, inspect);
    CLI::App* validate =
        app.add_subcommand("validate", "Report every problem of a take and where it is");
    validate->footer(Details(
        "Truncated sections and records, records whose length disagrees with their datagroup, "
        "records of unknown datagroups, repeated or unordered frames, bad rates, datagroup ids "
        "not numbered from 0, value sizes that disagree with the value type; each with its "
        "section, record and byte offset. Notes (labels the import skips) are no problems."));
    AddTakeArguments(*validate, inspect);
    ExportOptions exportOptions;
    CLI::App* exportCommand = AddExport(app, exportOptions);
    GenerateOptions generate;
    CLI::App* generateCommand = AddGenerate(app, generate);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return TellParseError(app, error, argc, argv, console);
    }
    console.json = inspect.json;
    if (*info) {
        return RunInfo(inspect, console);
    }
    if (*labels) {
        return RunLabels(inspect, console);
    }
    if (*validate) {
        return RunValidate(inspect, console);
    }
    if (*exportCommand) {
        exportOptions.datagroupGiven = exportCommand->get_option("--datagroup")->count() > 0;
        const std::string problem = ResolveExportTakes(exportOptions);
        if (!problem.empty()) {
            console.err << "kfile: " << problem << " (see kfile export --help)\n";
            return 2;
        }
        return RunExport(exportOptions, console);
    }
    return *generateCommand ? RunGenerate(generate, console) : 2;
}

}  // namespace

int RunKfile(int argc, const char* const* argv, Console& console) {
    int status = 1;
    try {
        status = RunParsed(argc, argv, console);
    } catch (const std::bad_alloc&) {
        console.err << "kfile: there is not enough memory\n";
    } catch (const std::exception& error) {
        console.err << "kfile: unexpected failure: " << error.what() << "\n";
    } catch (...) {
        console.err << "kfile: unexpected failure\n";
    }
    if (!console.out.flush()) {
        const int error = errno;  // of the write that failed, then or before
        console.err << "kfile: cannot write the output"
                    << (error ? ": " + SystemReason(error) : std::string()) << "\n";
        return 1;
    }
    return status;
}
