#pragma once
// What loaded modules registered with the host: file translators, commands and node types,
// each recorded with the module that owns it. Names of translators and commands, and names
// and ids of node types, are unique; a second registration is refused.

#include <maya/MDrawRegistry.h>
#include <maya/MPxFileTranslator.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

#include <memory>
#include <string>
#include <vector>

namespace plugin {

struct NodeTypeRecord {
    std::string name;
    MTypeId id;
    MPxNode::Type kind = MPxNode::kDependNode;
    std::string classification;  // as given to registerNode; empty for none
};

// One loaded module.
struct Plugin {
    std::string name;
    std::string path;
    std::string apiVersion;
    std::string vendor = "Unknown";
    std::string version = "Unknown";
    void* handle = nullptr;
    // Identifies the plug-in object handed to initializePlugin / uninitializePlugin.
    unsigned long long objectId = 0;
    std::vector<std::string> translators;
    std::vector<std::string> commands;
    std::vector<NodeTypeRecord> nodeTypes;
    std::vector<std::string> drawOverrides;  // classifications of its draw override creators

    bool empty() const {
        return translators.empty() && commands.empty() && nodeTypes.empty() &&
               drawOverrides.empty();
    }
};

struct TranslatorRecord {
    std::string name;
    MCreatorFunction creator = nullptr;
    std::string defaultOptions;
    bool requiresFullMel = false;
    Plugin* owner = nullptr;
    // The host's own translator object, made on first use and kept until deregistration.
    std::unique_ptr<MPxFileTranslator> instance;

    // Null when the creator gives nothing back (reported as an error).
    MPxFileTranslator* object();
};

// A Viewport 2.0 draw override creator.
struct DrawOverrideRecord {
    std::string classification;
    std::string registrantId;
    MHWRender::MDrawRegistry::DrawOverrideCreator creator = nullptr;
    Plugin* owner = nullptr;  // the module whose entry point registered it, if any
};

struct CommandRecord {
    std::string name;
    MCreatorFunction creator = nullptr;
    Plugin* owner = nullptr;
};

// The module whose initializePlugin or uninitializePlugin is running, or null.
Plugin* current();
void setCurrent(Plugin* plugin);

// Marks a module's code as running (a command's doIt, a translator's reader) for the
// lifetime of the scope, so that the module cannot be unloaded from under it.
class BusyScope {
  public:
    explicit BusyScope(Plugin* plugin);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    Plugin* plugin_;
};
bool isBusy(const Plugin& plugin);

MStatus addTranslator(Plugin& owner, const std::string& name, MCreatorFunction creator,
                      const char* defaultOptions, bool requiresFullMel);
MStatus removeTranslator(Plugin& owner, const std::string& name);
MStatus addCommand(Plugin& owner, const std::string& name, MCreatorFunction creator);
MStatus removeCommand(Plugin& owner, const std::string& name);
MStatus addNodeType(Plugin& owner, const std::string& name, const MTypeId& id,
                    MCreatorFunction creator, MInitializeFunction initializer, MPxNode::Type kind,
                    const std::string& classification);
MStatus removeNodeType(Plugin& owner, const MTypeId& id);

MStatus addDrawOverride(Plugin* owner, const std::string& classification,
                        const std::string& registrantId,
                        MHWRender::MDrawRegistry::DrawOverrideCreator creator);
MStatus removeDrawOverride(const std::string& classification, const std::string& registrantId);
// The creator registered under one of the classification's entries (separated by ':'), or
// null.
const DrawOverrideRecord* findDrawOverride(const std::string& classification);
// The classification a plug-in node type was registered with; empty for none.
std::string classificationOf(const std::string& typeName);

// Records a registration call for host::registrationLog; returns the status.
MStatus logRegistration(const std::string& call, const MStatus& status);

// Removes whatever the module still has registered; false when something could not be
// removed (a node type whose nodes remain in the scene).
bool removeEverything(Plugin& owner);

// Names a module cannot register a command under: the host's own commands, reserved by the
// MEL layer as it registers them.
void reserveCommandName(const std::string& name);

const CommandRecord* findCommand(const std::string& name);
TranslatorRecord* findTranslator(const std::string& name);
// In registration order.
std::vector<TranslatorRecord*> translators();
std::vector<const CommandRecord*> commands();
const std::vector<DrawOverrideRecord>& drawOverrides();

}  // namespace plugin
