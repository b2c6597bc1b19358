// MFnPlugin: the module's view of the registry, valid only while the host runs the
// module's initializePlugin or uninitializePlugin.

#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "plugin/registry.h"
#include "scene/access.h"

namespace {

plugin::Plugin* record(void* p) {
    return static_cast<plugin::Plugin*>(p);
}

void setStatus(MStatus* status, MStatus::MStatusCode code) {
    if (status)
        *status = code;
}

MStatus outsideInitialisation(const char* call) {
    MGlobal::displayError(MString(call) +
                          ": MFnPlugin is only usable inside initializePlugin and "
                          "uninitializePlugin, on the object the host passed");
    return MStatus::kFailure;
}

// "Any", or a version number this host (700) satisfies.
bool apiVersionAccepted(const char* required) {
    if (!required || std::strcmp(required, "Any") == 0)
        return true;
    char* end = nullptr;
    const long wanted = std::strtol(required, &end, 10);
    return end != required && *end == '\0' && wanted <= MAYA_API_VERSION;
}

}  // namespace

MFnPlugin::MFnPlugin() = default;

MFnPlugin::MFnPlugin(MObject& object, const char* vendor, const char* version,
                     const char* requiredApiVersion, MStatus* status) {
    plugin::Plugin* loading = plugin::current();
    if (!loading) {
        setStatus(status, outsideInitialisation("MFnPlugin").statusCode());
        return;
    }
    if (!MObjectAccess::isNode(object) || MObjectAccess::nodeId(object) != loading->objectId) {
        MGlobal::displayError(MString("MFnPlugin: ") + loading->name.c_str() +
                              " passed an object that is not the plug-in object the host gave it");
        setStatus(status, MStatus::kInvalidParameter);
        return;
    }
    if (!apiVersionAccepted(requiredApiVersion)) {
        MGlobal::displayError(MString("MFnPlugin: ") + loading->name.c_str() +
                              " requires API version " + requiredApiVersion +
                              "; this host has 700");
        setStatus(status, MStatus::kFailure);
        return;
    }
    plugin_ = loading;
    // The identity is what initializePlugin declares; uninitializePlugin's is not kept.
    if (loading->empty() && loading->vendor == "Unknown") {
        loading->vendor = vendor ? vendor : "Unknown";
        loading->version = version ? version : "Unknown";
    }
    setStatus(status, MStatus::kSuccess);
}

MFnPlugin::~MFnPlugin() = default;

MString MFnPlugin::vendor(MStatus* status) const {
    setStatus(status, plugin_ ? MStatus::kSuccess : MStatus::kFailure);
    return plugin_ ? MString(record(plugin_)->vendor.c_str()) : MString();
}

MString MFnPlugin::version(MStatus* status) const {
    setStatus(status, plugin_ ? MStatus::kSuccess : MStatus::kFailure);
    return plugin_ ? MString(record(plugin_)->version.c_str()) : MString();
}

MString MFnPlugin::apiVersion(MStatus* status) const {
    setStatus(status, plugin_ ? MStatus::kSuccess : MStatus::kFailure);
    return plugin_ ? MString(record(plugin_)->apiVersion.c_str()) : MString();
}

MString MFnPlugin::name(MStatus* status) const {
    setStatus(status, plugin_ ? MStatus::kSuccess : MStatus::kFailure);
    return plugin_ ? MString(record(plugin_)->name.c_str()) : MString();
}

MString MFnPlugin::loadPath(MStatus* status) const {
    setStatus(status, plugin_ ? MStatus::kSuccess : MStatus::kFailure);
    if (!plugin_)
        return MString();
    const std::string& path = record(plugin_)->path;
    const size_t slash = path.find_last_of("/\\");
    return MString(slash == std::string::npos ? "." : path.substr(0, slash).c_str());
}

MStatus MFnPlugin::registerFileTranslator(const MString& translatorName, char* /*pixmapName*/,
                                          MCreatorFunction creatorFunction,
                                          char* /*optionsScriptName*/, char* defaultOptionsString,
                                          bool requiresFullMel) {
    if (!plugin_)
        return outsideInitialisation("registerFileTranslator");
    return plugin::addTranslator(*record(plugin_), translatorName.asChar(), creatorFunction,
                                 defaultOptionsString, requiresFullMel);
}

MStatus MFnPlugin::deregisterFileTranslator(const MString& translatorName) {
    if (!plugin_)
        return outsideInitialisation("deregisterFileTranslator");
    return plugin::removeTranslator(*record(plugin_), translatorName.asChar());
}

MStatus MFnPlugin::registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                                   MCreateSyntaxFunction createSyntaxFunction) {
    if (!plugin_)
        return outsideInitialisation("registerCommand");
    if (createSyntaxFunction) {
        MGlobal::displayError(
            MString("registerCommand: ") + commandName +
            ": syntax objects (MSyntax) are not implemented by the stand-in host");
        return MStatus::kNotImplemented;
    }
    return plugin::addCommand(*record(plugin_), commandName.asChar(), creatorFunction);
}

MStatus MFnPlugin::deregisterCommand(const MString& commandName) {
    if (!plugin_)
        return outsideInitialisation("deregisterCommand");
    return plugin::removeCommand(*record(plugin_), commandName.asChar());
}

MStatus MFnPlugin::registerNode(const MString& typeName, const MTypeId& typeId,
                                MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                                MPxNode::Type type, const MString* /*classification*/) {
    if (!plugin_)
        return outsideInitialisation("registerNode");
    return plugin::addNodeType(*record(plugin_), typeName.asChar(), typeId, creatorFunction,
                               initFunction, type);
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId) {
    if (!plugin_)
        return outsideInitialisation("deregisterNode");
    return plugin::removeNodeType(*record(plugin_), typeId);
}
