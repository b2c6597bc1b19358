// import_summary: imports a take into the stand-in host with the module loaded, as
// `minihost -c 'loadPlugin MayaKFileReader; file -import "TAKE"'` does, and tells what the
// import made.
#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include <host/scene.h>

#include "SceneSummary.h"

namespace {

// The text as a MEL string literal.
std::string MelString(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        quoted += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
    }
    return quoted + '"';
}

// Writes the text to the file; 0, or the error number of the failure.
int WriteFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return errno;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int error = errno;
    if (std::fclose(file) != 0) {
        return errno;
    }
    return written ? 0 : error;
}

bool Run(const std::string& command) {
    return MGlobal::executeCommand(MString(command.c_str()));
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Imports a take into the stand-in host with the MayaKFileReader module loaded and "
        "shows what the import made: per character group its locators, keyed "
        "attributes, keys and gaps, and the playback range before and after.",
        "import_summary"};
    std::string take;
    std::string dumpTo;
    app.add_option("TAKE", take, "the K-file to import")->required();
    app.add_option("--dump-to", dumpTo, "write the whole scene dump to this file");
    app.footer("\nExit status: 0 imported, 1 the module or the import failed, 2 bad usage.\n");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;
    }

    if (!Run("loadPlugin MayaKFileReader")) {
        std::cerr << "import_summary: the module MayaKFileReader cannot be loaded\n";
        return 1;
    }
    const PlaybackRange before = CurrentPlaybackRange();
    if (!Run("file -import " + MelString(take))) {
        std::cerr << "import_summary: the import of '" << take << "' failed\n";
        return 1;
    }
    std::cout << "Imported " << take << " with MayaKFileReader into the stand-in host.\n";
    PrintSummary(std::cout, SummariseLocators(), before, CurrentPlaybackRange());
    if (!dumpTo.empty()) {
        if (const int error = WriteFile(dumpTo, host::sceneDump())) {
            std::cerr << "import_summary: cannot write '" << dumpTo << "': " << std::strerror(error)
                      << "\n";
            return 1;
        }
        std::cout << "\nThe whole scene: " << dumpTo << "\n";
    }
    return 0;
}
