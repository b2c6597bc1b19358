// kfile: inspect, validate, export and generate K-files.
#include <cstdio>
#include <cstring>

#include "Commands.h"

namespace {

const char kUsage[] =
    "usage: kfile <command> [arguments]\n"
    "\n"
    "commands:\n"
    "  info FILE                  show the version, sections, datagroups and frames of a take\n"
    "  validate FILE              read a take and report whether it is a complete K-file\n"
    "  export FILE [DATAGROUP]    write one datagroup (default 0) as CSV to standard output\n"
    "  generate FILE [options]    write a synthetic take\n"
    "      --frames N   --markers N   --segments N   --rate FPS   --subject NAME\n"
    "      --first-frame N   --missing-every N (0: no missing samples)\n";

struct Command {
    const char* name;
    int (*run)(const Arguments&);
};

const Command kCommands[] = {{"info", InfoCommand},
                             {"validate", ValidateCommand},
                             {"export", ExportCommand},
                             {"generate", GenerateCommand}};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0) {
            return command.run(Arguments(argv + 2, argv + argc));
        }
    }
    std::fprintf(stderr, "kfile: unknown command '%s'\n\n%s", argv[1], kUsage);
    return 2;
}
