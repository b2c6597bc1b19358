// MGlobal's MEL side: running commands. Its selection functions belong to the scene, and
// its messages to the lowest layer.

#include <maya/MGlobal.h>

#include <utility>

#include "mel/command.h"
#include "mel/interpreter.h"
#include "scene/api_util.h"
#include "types/messages.h"

namespace {

MStatus run(const MString& command, std::vector<std::string>* result) {
    mel::Outcome outcome = mel::execute(command.asChar());
    if (outcome.failed())
        return MStatus::kFailure;
    if (result)
        *result = std::move(outcome.result);
    return MStatus::kSuccess;
}

MStatus runForModifier(const MString& command) {
    return run(command, nullptr);
}

// Modifiers run their commands through MEL.
struct InstallMelRunner {
    InstallMelRunner() { scene::setMelRunner(&runForModifier); }
} installMelRunner;

}  // namespace

MStatus MGlobal::executeCommand(const MString& command, bool, bool) {
    return run(command, nullptr);
}

MStatus MGlobal::executeCommand(const MString& command, MStringArray& result, bool, bool) {
    result.clear();
    std::vector<std::string> items;
    const MStatus status = run(command, &items);
    result.setLength(static_cast<unsigned int>(items.size()));
    for (unsigned int i = 0; i < result.length(); ++i)
        result.set(MString(items[i].c_str()), i);
    return status;
}

// A single result as it is; several are joined with spaces.
MStatus MGlobal::executeCommand(const MString& command, MString& result, bool, bool) {
    result = "";
    std::vector<std::string> items;
    const MStatus status = run(command, &items);
    std::string joined;
    for (const std::string& item : items)
        joined += (joined.empty() ? "" : " ") + item;
    result = joined.c_str();
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, int& result, bool, bool) {
    std::vector<std::string> items;
    MStatus status = run(command, &items);
    if (!status)
        return status;
    int value = 0;
    if (items.size() != 1 || !mel::parseInt(items[0], &value)) {
        types::printError("executeCommand: \"" + std::string(command.asChar()) +
                          "\" did not return one int");
        return MStatus::kFailure;
    }
    result = value;
    return status;
}

MStatus MGlobal::executeCommand(const MString& command, double& result, bool, bool) {
    std::vector<std::string> items;
    MStatus status = run(command, &items);
    if (!status)
        return status;
    double value = 0;
    if (items.size() != 1 || !mel::parseDouble(items[0], &value)) {
        types::printError("executeCommand: \"" + std::string(command.asChar()) +
                          "\" did not return one number");
        return MStatus::kFailure;
    }
    result = value;
    return status;
}
