// Fuzz target of the stand-in host's MEL: any text is parsed, then run in a fresh scene with the
// module loaded. Parsing gives statements or an error, never both; running gives a result or an
// error, never a crash, and no command fails by an internal error of the host. The commands that
// reach the file system (file, loadPlugin, unloadPlugin) are made to fail.
//
// A ten-minute run (from the repository root): scripts/fuzz.sh mel 600
//
// In the test build the same entry function replays the committed corpus and regressions
// (test kfr_mel_fuzz_replay).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <host/command_log.h>
#include <host/faults.h>
#include <host/plugins.h>
#include <host/scene.h>

#include "Environment.h"
#include "FuzzExpect.h"
#include "mel/interpreter.h"
#include "mel/parser.h"

namespace {

void PrepareHost() {
    testsupport::UnsetEnvironment("MAYA_PLUG_IN_PATH");  // the module of this build
    std::string error;
    if (!host::loadPlugin("MayaKFileReader", &error)) {
        std::fprintf(stderr, "cannot load the module: %s\n", error.c_str());
        std::abort();
    }
    for (const char* command : {"file", "loadPlugin", "unloadPlugin"}) {
        host::injectFault(host::Fault::MelCommand, command);
    }
}

// An empty scene, and an empty key clipboard, which outlives scenes: copying no keys empties
// it. Nothing of an earlier input remains.
void FreshScene() {
    host::resetScene();
    mel::execute("createNode transform -n keyless; copyKey keyless");
    host::resetScene();
    host::clearCommandLog();  // the logs would otherwise grow with every input
    host::clearMessageLog();
}

// How the interpreter reports an exception that escaped a command.
bool InternalError(const mel::Call& call, const std::string& error) {
    return error.rfind(call.command + ": internal error of the stand-in host", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool prepared = (PrepareHost(), true);
    (void)prepared;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const mel::ParseResult parsed = mel::parse(text);
    FUZZ_EXPECT(parsed.error.empty() || parsed.statements.empty());
    for (const mel::Call& call : parsed.statements) {
        FUZZ_EXPECT(!call.command.empty());
    }

    FreshScene();
    size_t ran = 0;
    const mel::Outcome outcome =
        mel::execute(text, [&](const mel::Call& call, const mel::Outcome& one) {
            ++ran;
            FUZZ_EXPECT(!InternalError(call, one.error));
        });
    FUZZ_EXPECT(parsed.error.empty() ? ran <= parsed.statements.size()
                                     : outcome.error == parsed.error && ran == 0);
    FUZZ_EXPECT(!host::sceneDump().empty());
    return 0;
}
