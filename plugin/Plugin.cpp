// The module's entry points: what it registers with the host when loaded, and removes again,
// in the same order, when unloaded.

#include <maya/MFnPlugin.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include "commands/CopyHierarchyKeysCommand.h"
#include "commands/CreateOffsetCubesCommand.h"
#include "commands/ToLocalCommand.h"
#include "import/KFileTranslator.h"
#include "nodes/LocatorNodes.h"

namespace {

// Text parameters of the translator registration are non-const in the host's API.
char kNoPixmap[] = "";
char kNoOptions[] = "";

// The commands, in the order they are registered and deregistered.
struct CommandEntry {
    const char* name;
    MCreatorFunction creator;
};
const CommandEntry kCommands[] = {
    {"CreateOffsetCubes", CreateOffsetCubesCommand::creator},
    {"CopyHierarchyKeys", CopyHierarchyKeysCommand::creator},
    {"ToLocal", ToLocalCommand::creator},
};

// A command that cannot be registered is reported; the others are still registered.
void addCommand(MFnPlugin& plugin, const char* name, MCreatorFunction creator) {
    const MStatus status = plugin.registerCommand(name, creator);
    if (!status)
        status.perror("registerCommand");
}

void removeCommand(MFnPlugin& plugin, const char* name) {
    const MStatus status = plugin.deregisterCommand(name);
    if (!status)
        status.perror("deregisterCommand");
}

}  // namespace

extern "C" PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MStatus status;
    MFnPlugin plugin(obj, "Brenholt Ltd.", "Release 1.0", "Any", &status);
    if (!status) {
        status.perror("createFileTranslator");
        return status;
    }
    status = plugin.registerFileTranslator(KFileTranslator::kName, kNoPixmap,
                                           KFileTranslator::creator, NULL, kNoOptions, true);
    if (!status)
        status.perror("registerFileTranslator");

    for (const CommandEntry& command : kCommands)
        addCommand(plugin, command.name, command.creator);

    // Only the translator's status decides the result; node types that the host refuses are
    // left out silently.
    plugin.registerNode(DOFLocator::kTypeName, DOFLocator::kTypeId, DOFLocator::creator,
                        DOFLocator::initialize, MPxNode::kLocatorNode);
    plugin.registerNode(MarkerLocator::kTypeName, MarkerLocator::kTypeId, MarkerLocator::creator,
                        MarkerLocator::initialize, MPxNode::kLocatorNode);
    return status;
}

extern "C" PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Unknown", "Unknown", "Any");
    const MStatus status = plugin.deregisterFileTranslator(KFileTranslator::kName);
    if (!status)
        status.perror("deregisterFileTranslator");
    for (const CommandEntry& command : kCommands)
        removeCommand(plugin, command.name);

    plugin.deregisterNode(DOFLocator::kTypeId);
    plugin.deregisterNode(MarkerLocator::kTypeId);
    return status;
}
