// The module's entry points: what it registers with the host when loaded, and removes again,
// in the same order, when unloaded.

#include <maya/MFnPlugin.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include "import/KFileTranslator.h"
#include "nodes/LocatorNodes.h"

namespace {

// Text parameters of the translator registration are non-const in the host's API.
char kNoPixmap[] = "";
char kNoOptions[] = "";

// A command that cannot be registered is reported; the others are still registered.
[[maybe_unused]] void addCommand(MFnPlugin& plugin, const char* name, MCreatorFunction creator) {
    const MStatus status = plugin.registerCommand(name, creator);
    if (!status)
        status.perror("registerCommand");
}

[[maybe_unused]] void removeCommand(MFnPlugin& plugin, const char* name) {
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

    // The commands are registered here, each with addCommand, and removed in the same order.

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

    plugin.deregisterNode(DOFLocator::kTypeId);
    plugin.deregisterNode(MarkerLocator::kTypeId);
    return status;
}
