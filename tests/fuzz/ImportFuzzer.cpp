// Fuzz target of the import: the bytes become a take file that `file -import` reads into a fresh
// stand-in scene with the module loaded; then CreateOffsetCubes and CopyHierarchyKeys run over
// every group the import made. A take the import refuses must leave the scene exactly as it
// was; one it accepts must leave only finite key times.
//
// A ten-minute run (from the repository root): scripts/fuzz.sh import 600
//
// In the test build the same entry function replays the committed corpus and regressions
// (test kfr_import_fuzz_replay).

#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <host/command_log.h>
#include <host/plugins.h>
#include <host/scene.h>

#include "Environment.h"
#include "FuzzExpect.h"
#include "MelText.h"
#include "TestFiles.h"
#include "kfile/kfile.h"
#include "scene/model.h"

namespace {

// The module loaded once for the whole run, the dump of an empty scene, and the scratch folder
// each input is written to.
struct Session {
    Session() {
        testsupport::UnsetEnvironment("MAYA_PLUG_IN_PATH");  // the module of this build
        std::string error;
        if (!host::loadPlugin("MayaKFileReader", &error)) {
            std::fprintf(stderr, "cannot load the module: %s\n", error.c_str());
            std::abort();
        }
        host::resetScene();
        emptyScene = host::sceneDump();
    }
    testsupport::TempDir folder;
    std::string emptyScene;
};

Session& TheSession() {
    static Session session;
    return session;
}

// An empty scene and empty logs (which would otherwise grow with every input).
void ClearHost() {
    host::resetScene();
    host::clearCommandLog();
    host::clearMessageLog();
}

// Clears the host again when an input is done, so that its run frees what it allocated:
// libFuzzer runs an input a second time, looking for a leak, whenever it allocates more than
// it frees.
struct ClearedAfterwards {
    ~ClearedAfterwards() { ClearHost(); }
};

bool Run(const std::string& mel) {
    return static_cast<bool>(MGlobal::executeCommand(MString(mel.c_str())));
}

// Selects the top-level nodes: on a fresh scene, the groups the import made.
void SelectTopLevelNodes() {
    scene::Scene& scene = scene::theScene();
    std::vector<scene::NodeId> roots;
    for (const scene::Node* node : scene.world()->children) {
        roots.push_back(node->id);
    }
    scene.selection() = roots;
}

// Every "  key TIME VALUE ..." line of the dump has a finite time.
bool KeyTimesFinite(const std::string& dump) {
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  key ", 0) == 0 &&
            !std::isfinite(std::strtod(line.c_str() + 6, nullptr))) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Session& session = TheSession();
    ClearHost();
    const ClearedAfterwards clearedAfterwards;
    const std::string path = session.folder.Write("take.k", data, size);
    if (path.empty()) {
        return 0;
    }
    const bool readable = kfile::ReadTake(path).contents != nullptr;
    if (!Run("file -import " + testsupport::MelQuoted(path))) {
        FUZZ_EXPECT(host::sceneDump() == session.emptyScene);
        return 0;
    }
    FUZZ_EXPECT(readable);
    SelectTopLevelNodes();
    FUZZ_EXPECT(Run("CreateOffsetCubes"));
    SelectTopLevelNodes();
    FUZZ_EXPECT(Run("CopyHierarchyKeys"));
    FUZZ_EXPECT(KeyTimesFinite(host::sceneDump()));
    return 0;
}
