#include "Cli.h"

#include <CLI/CLI.hpp>

namespace {

const char kExitStatus[] =
    "Exit status: 0 done, 1 the take cannot be read or is inconsistent, 2 bad usage.";

void AddTakeArguments(CLI::App& command, InspectOptions& options) {
    command.add_option("TAKE", options.take, "the K-file to read")->required();
    command.add_flag("--json", options.json, "write JSON instead of text");
}

CLI::App* AddExport(CLI::App& app, ExportOptions& options) {
    CLI::App* command = app.add_subcommand(
        "export", "Write one datagroup as CSV: one row per record with its frame, its time in "
                  "seconds and one column per channel; missing values are empty cells");
    command->add_option("TAKE", options.take, "the K-file to read")->required();
    CLI::Option* positional =
        command->add_option("DATAGROUP", options.datagroup, "datagroup id (default 0)");
    command->add_option("--datagroup,-d", options.datagroup, "datagroup id (default 0)")
        ->excludes(positional);
    command->add_option("--out,-o", options.out, "write to this file instead of standard output");
    return command;
}

CLI::App* AddGenerate(CLI::App& app, GenerateOptions& options) {
    CLI::App* command = app.add_subcommand(
        "generate",
        "Write a synthetic take: subjects with skeletons and markers on them, markers without a "
        "subject, gaps, a force plate at half the rate, parameters and a section of unknown "
        "kind. The same options give the same bytes");
    TakeOptions& take = options.take;
    command->add_option("OUT", options.out, "the K-file to write")->required();
    command->add_option("--seed", take.seed, "seed of the random choices")
        ->capture_default_str();
    command->add_option("--subjects", take.subjects, "number of subjects")
        ->capture_default_str()
        ->check(CLI::NonNegativeNumber);
    command->add_option("--markers", take.markers, "markers per subject")
        ->capture_default_str()
        ->check(CLI::NonNegativeNumber);
    command->add_option("--segments", take.segments, "skeleton segments per subject")
        ->capture_default_str()
        ->check(CLI::NonNegativeNumber);
    command->add_option("--frames", take.frames, "frames of the cameras")
        ->capture_default_str()
        ->check(CLI::NonNegativeNumber);
    command->add_option("--first-frame", take.firstFrame, "number of the first frame")
        ->capture_default_str();
    command->add_option("--rate", take.rate, "frames per second of the cameras")
        ->capture_default_str()
        ->check(CLI::PositiveNumber);
    command
        ->add_option("--missing-every", take.missingEvery,
                     "a marker drops out once in this many frames on average (0: never)")
        ->capture_default_str()
        ->check(CLI::NonNegativeNumber);
    return command;
}

}  // namespace

int RunKfile(int argc, const char* const* argv, Console& console) {
    CLI::App app{"kfile: inspect, validate, export and generate K-files (motion-capture takes)",
                 "kfile"};
    app.set_version_flag("--version", "kfile " KFR_VERSION);
    app.footer(kExitStatus);
    app.require_subcommand(1);

    InspectOptions inspect;
    CLI::App* info = app.add_subcommand(
        "info", "Show the version, every section (unknown ones too), the parameters, and per "
                "datagroup its type, rate, channels, records, frame range and missing values");
    AddTakeArguments(*info, inspect);
    CLI::App* labels = app.add_subcommand(
        "labels", "Show each datagroup's channel labels and how the import reads them: marker, "
                  "segment or local name, subject, and the attribute each keys");
    AddTakeArguments(*labels, inspect);
    CLI::App* validate = app.add_subcommand(
        "validate", "Report every problem of a take with where it is; exit status 0 when there "
                    "is none. Notes (labels the import skips) do not count as problems");
    AddTakeArguments(*validate, inspect);
    ExportOptions exportOptions;
    CLI::App* exportCommand = AddExport(app, exportOptions);
    GenerateOptions generate;
    CLI::App* generateCommand = AddGenerate(app, generate);
    for (CLI::App* command : app.get_subcommands({})) {
        command->footer(kExitStatus);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error, console.out, console.err) == 0 ? 0 : 2;
    }
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
        return RunExport(exportOptions, console);
    }
    return *generateCommand ? RunGenerate(generate, console) : 2;
}
