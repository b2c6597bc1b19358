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
#include "nodes/LocatorDrawOverride.h"
#include "nodes/LocatorNodes.h"

// The namespaced devkits declare both entry points in <maya/MFnPlugin.h>, with C++ linkage:
// they are defined as declared there. The older ones leave them to the module, which gives
// them C linkage so that the host finds them by their plain names.
#ifdef OPENMAYA_MAJOR_NAMESPACE
#define KFR_ENTRY_POINT PLUGIN_EXPORT
#else
#define KFR_ENTRY_POINT extern "C" PLUGIN_EXPORT
// The host's C++ takes the MStatus back: a class returned with C linkage is its convention.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
#endif

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

// The locator types, in the order they are registered and deregistered. Where the devkit has
// Viewport 2.0, each is classified for the draw override registered under that classification;
// where it has not, it is registered without one.
#if KFR_VIEWPORT2
#define KFR_CLASSIFICATION(classification) classification
#else
#define KFR_CLASSIFICATION(classification) NULL
#endif
struct LocatorEntry {
    const char* typeName;
    const MTypeId& typeId;
    MCreatorFunction creator;
    MInitializeFunction initialize;
    const char* classification;
};
const LocatorEntry kLocators[] = {
    {DOFLocator::kTypeName, DOFLocator::kTypeId, DOFLocator::creator, DOFLocator::initialize,
     KFR_CLASSIFICATION(LocatorDrawOverride::kDofClassification)},
    {MarkerLocator::kTypeName, MarkerLocator::kTypeId, MarkerLocator::creator,
     MarkerLocator::initialize, KFR_CLASSIFICATION(LocatorDrawOverride::kMarkerClassification)},
};

// Node types that the host refuses are left out silently.
void addLocator(MFnPlugin& plugin, const LocatorEntry& locator) {
    const MString classification(locator.classification ? locator.classification : "");
    plugin.registerNode(locator.typeName, locator.typeId, locator.creator, locator.initialize,
                        MPxNode::kLocatorNode, locator.classification ? &classification : NULL);
}

}  // namespace

KFR_ENTRY_POINT MStatus initializePlugin(MObject obj) {
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

    // Only the translator's status decides the result.
    for (const LocatorEntry& locator : kLocators)
        addLocator(plugin, locator);
#if KFR_VIEWPORT2
    LocatorDrawOverride::registerCreators();
#endif
    return status;
}

KFR_ENTRY_POINT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Unknown", "Unknown", "Any");
    const MStatus status = plugin.deregisterFileTranslator(KFileTranslator::kName);
    if (!status)
        status.perror("deregisterFileTranslator");
    for (const CommandEntry& command : kCommands)
        removeCommand(plugin, command.name);

    for (const LocatorEntry& locator : kLocators)
        plugin.deregisterNode(locator.typeId);
#if KFR_VIEWPORT2
    LocatorDrawOverride::deregisterCreators();
#endif
    return status;
}
