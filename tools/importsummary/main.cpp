// import_summary: imports a take into the stand-in host with the module loaded, as
// `minihost -c 'loadPlugin MayaKFileReader; file -import "TAKE"'` does, and tells what the
// import made.
#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <CLI/CLI.hpp>
#include <fstream>
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
        std::ofstream dump(dumpTo, std::ios::binary);
        dump << host::sceneDump();
        if (!dump.flush()) {
            std::cerr << "import_summary: cannot write '" << dumpTo << "'\n";
            return 1;
        }
        std::cout << "\nThe whole scene: " << dumpTo << "\n";
    }
    return 0;
}
