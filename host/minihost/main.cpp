// minihost: the stand-in host program. Runs MEL given with -c or in script files, in
// order, stopping with a non-zero exit status at the first failed statement; without
// arguments on a terminal it offers a prompt.

#include <host/scene.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "mel/interpreter.h"
#include "types/messages.h"

namespace {

const char* const kUsage =
    "usage: minihost [options] [script.mel ...]\n"
    "  -c MEL           run MEL statements (may be given several times)\n"
    "  script.mel       run the statements of a MEL file\n"
    "  --dump           print the scene dump when done\n"
    "  --dump-to FILE   write the scene dump to FILE when done\n"
    "  --dump-digits N  significant digits of the dump's numbers (1 to 17, default 15;\n"
    "                   9 hide last-bit differences between platforms)\n"
    "  --picture FILE   write an SVG picture of the scene's locators to FILE when done\n"
    "  --viewport V     the viewport the picture draws them as: 2.0 (their draw\n"
    "                   overrides, the default) or legacy (their OpenGL draw)\n"
    "  -h, --help       show this text\n"
    "Steps run in the order given; the first failed statement ends the run with exit\n"
    "status 1. Without steps, on a terminal, minihost reads MEL at a prompt (end with\n"
    "Ctrl-D); without a terminal it runs MEL read from standard input.\n"
    "Modules named without a path (loadPlugin NAME) are looked up in the folders of\n"
    "MAYA_PLUG_IN_PATH, then in this build's module folder, then in the folder of\n"
    "minihost.\n";

struct Step {
    bool isFile;
    std::string text;  // MEL, or the script's path
};

struct Options {
    std::vector<Step> steps;
    bool dump = false;
    std::string dumpFile;
    int dumpDigits = 15;
    std::string pictureFile;
    host::Viewport viewport = host::Viewport::kViewport2;
};

// Prints each statement's result the way the host's script editor does.
void printResult(const mel::Call&, const mel::Outcome& outcome) {
    if (!outcome.failed() && !outcome.result.empty()) {
        std::printf("%s\n", mel::formatResult(outcome).c_str());
        std::fflush(stdout);
    }
}

bool runMel(const std::string& source) {
    return !mel::execute(source, printResult).failed();
}

bool runFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        types::printError("Cannot open script \"" + path + "\".");
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return runMel(text.str());
}

void prompt() {
    std::string line;
    while (true) {
        std::printf("mel> ");
        std::fflush(stdout);
        if (!std::getline(std::cin, line))
            break;
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        runMel(line);
    }
    std::printf("\n");
}

bool parseDigits(const std::string& text, int* digits) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 17)
        return false;
    *digits = static_cast<int>(value);
    return true;
}

bool parseOptions(int argc, char** argv, Options* options, int* exitCode) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::printf("%s", kUsage);
            *exitCode = 0;
            return false;
        }
        if (arg == "-c" || arg == "--dump-to" || arg == "--dump-digits" || arg == "--picture" ||
            arg == "--viewport") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "minihost: %s needs a value\n%s", arg.c_str(), kUsage);
                *exitCode = 2;
                return false;
            }
            const std::string value = argv[++i];
            if (arg == "-c") {
                options->steps.push_back({false, value});
            } else if (arg == "--dump-to") {
                options->dumpFile = value;
            } else if (arg == "--picture") {
                options->pictureFile = value;
            } else if (arg == "--viewport") {
                if (value != "2.0" && value != "legacy") {
                    std::fprintf(stderr, "minihost: --viewport takes 2.0 or legacy, not %s\n",
                                 value.c_str());
                    *exitCode = 2;
                    return false;
                }
                options->viewport =
                    value == "legacy" ? host::Viewport::kLegacy : host::Viewport::kViewport2;
            } else if (!parseDigits(value, &options->dumpDigits)) {
                std::fprintf(stderr, "minihost: --dump-digits takes 1 to 17, not %s\n",
                             value.c_str());
                *exitCode = 2;
                return false;
            }
        } else if (arg == "--dump") {
            options->dump = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "minihost: unknown option %s\n%s", arg.c_str(), kUsage);
            *exitCode = 2;
            return false;
        } else {
            options->steps.push_back({true, arg});
        }
    }
    return true;
}

bool writePicture(const Options& options) {
    if (options.pictureFile.empty())
        return true;
    const std::string picture = host::scenePicture(options.viewport);
    errno = 0;
    std::ofstream out(options.pictureFile, std::ios::binary);
    out << picture;
    out.close();
    if (!out) {
        std::fprintf(stderr, "minihost: cannot write %s: %s\n", options.pictureFile.c_str(),
                     errno != 0 ? std::strerror(errno) : "write failed");
        return false;
    }
    return true;
}

bool writeDump(const Options& options) {
    const std::string dump = host::sceneDump(options.dumpDigits);
    if (options.dump)
        std::printf("%s", dump.c_str());
    if (options.dumpFile.empty())
        return true;
    std::ofstream out(options.dumpFile, std::ios::binary);
    out << dump;
    if (!out) {
        std::fprintf(stderr, "minihost: cannot write %s\n", options.dumpFile.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    int exitCode = 0;
    if (!parseOptions(argc, argv, &options, &exitCode))
        return exitCode;

    if (options.steps.empty()) {
        if (isatty(STDIN_FILENO)) {
            prompt();
        } else {
            std::ostringstream text;
            text << std::cin.rdbuf();
            if (!runMel(text.str()))
                return 1;
        }
        return writeDump(options) && writePicture(options) ? 0 : 1;
    }
    for (const Step& step : options.steps) {
        if (!(step.isFile ? runFile(step.text) : runMel(step.text)))
            return 1;
    }
    return writeDump(options) && writePicture(options) ? 0 : 1;
}
