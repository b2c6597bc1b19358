// minihost: the stand-in host program. Runs MEL given with -c or in script files, in
// order, stopping with a non-zero exit status at the first failed statement; without
// arguments on a terminal it offers a prompt.

#include <host/scene.h>

#include <sys/stat.h>
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
    struct stat info;
    const bool folder = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    std::ifstream in(path, std::ios::binary);
    if (folder || !in) {
        const char* reason = folder ? std::strerror(EISDIR) : std::strerror(errno);
        types::printError("Cannot open script \"" + path + "\": " + reason + ".");
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

// Writes all of the text to the stream and closes it when asked; false (errno set) on failure.
bool writeAll(std::FILE* stream, const std::string& text, bool close) {
    const bool written =
        std::fwrite(text.data(), 1, text.size(), stream) == text.size() && std::fflush(stream) == 0;
    const int error = errno;
    const bool closed = !close || std::fclose(stream) == 0;
    if (written && !closed)
        return false;
    errno = error;
    return written;
}

// Writes the text to the file, or tells why it cannot.
bool writeFile(const std::string& path, const std::string& text) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || !writeAll(out, text, true)) {
        std::fprintf(stderr, "minihost: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

bool writePicture(const Options& options) {
    return options.pictureFile.empty() ||
           writeFile(options.pictureFile, host::scenePicture(options.viewport));
}

// Makes the scene dump only when one is asked for: on a long take it costs many times the
// import.
bool writeDump(const Options& options) {
    if (!options.dump && options.dumpFile.empty())
        return true;
    const std::string dump = host::sceneDump(options.dumpDigits);
    if (options.dump && !writeAll(stdout, dump, false)) {
        std::fprintf(stderr, "minihost: cannot write the dump to standard output: %s\n",
                     std::strerror(errno));
        return false;
    }
    if (options.dumpFile.empty())
        return true;
    return writeFile(options.dumpFile, dump);
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
