// MFnPlugin: the module's view of the registry, valid only while the host runs the
// module's initializePlugin or uninitializePlugin.

#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <host/plugins.h>

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

std::vector<std::string>& registrationCalls() {
    static std::vector<std::string> calls;
    return calls;
}

MStatus logged(const std::string& call, const MStatus& status) {
    return plugin::logRegistration(call, status);
}

}  // namespace

MStatus plugin::logRegistration(const std::string& call, const MStatus& status) {
    registrationCalls().push_back(status ? call : call + " (refused)");
    return status;
}

namespace host {

const std::vector<std::string>& registrationLog() {
    return registrationCalls();
}

void clearRegistrationLog() {
    registrationCalls().clear();
}

}  // namespace host

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
    const std::string call = std::string("registerFileTranslator ") + translatorName.asChar();
    if (!plugin_)
        return logged(call, outsideInitialisation("registerFileTranslator"));
    return logged(call,
                  plugin::addTranslator(*record(plugin_), translatorName.asChar(), creatorFunction,
                                        defaultOptionsString, requiresFullMel));
}

MStatus MFnPlugin::deregisterFileTranslator(const MString& translatorName) {
    const std::string call = std::string("deregisterFileTranslator ") + translatorName.asChar();
    if (!plugin_)
        return logged(call, outsideInitialisation("deregisterFileTranslator"));
    return logged(call, plugin::removeTranslator(*record(plugin_), translatorName.asChar()));
}

MStatus MFnPlugin::registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                                   MCreateSyntaxFunction createSyntaxFunction) {
    const std::string call = std::string("registerCommand ") + commandName.asChar();
    if (!plugin_)
        return logged(call, outsideInitialisation("registerCommand"));
    if (createSyntaxFunction) {
        MGlobal::displayError(
            MString("registerCommand: ") + commandName +
            ": syntax objects (MSyntax) are not implemented by the stand-in host");
        return logged(call, MStatus::kNotImplemented);
    }
    return logged(call,
                  plugin::addCommand(*record(plugin_), commandName.asChar(), creatorFunction));
}

MStatus MFnPlugin::deregisterCommand(const MString& commandName) {
    const std::string call = std::string("deregisterCommand ") + commandName.asChar();
    if (!plugin_)
        return logged(call, outsideInitialisation("deregisterCommand"));
    return logged(call, plugin::removeCommand(*record(plugin_), commandName.asChar()));
}

MStatus MFnPlugin::registerNode(const MString& typeName, const MTypeId& typeId,
                                MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                                MPxNode::Type type, const MString* classification) {
    const std::string call = std::string("registerNode ") + typeName.asChar();
    if (!plugin_)
        return logged(call, outsideInitialisation("registerNode"));
    return logged(call, plugin::addNodeType(*record(plugin_), typeName.asChar(), typeId,
                                            creatorFunction, initFunction, type,
                                            classification ? classification->asChar() : ""));
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId) {
    const std::string call = "deregisterNode " + std::to_string(typeId.id());
    if (!plugin_)
        return logged(call, outsideInitialisation("deregisterNode"));
    return logged(call, plugin::removeNodeType(*record(plugin_), typeId));
}
