#include "plugin/registry.h"

#include <maya/MGlobal.h>

#include <host/faults.h>

#include <algorithm>
#include <exception>
#include <set>

#include "scene/node_types.h"

namespace plugin {
namespace {

struct State {
    Plugin* current = nullptr;
    std::vector<const Plugin*> busy;  // one entry per running call into a module
    std::vector<std::unique_ptr<TranslatorRecord>> translators;
    std::vector<CommandRecord> commands;
    std::vector<DrawOverrideRecord> drawOverrides;
};

State& state() {
    static State s;
    return s;
}

// Function-local so that reservations from static initialisers in other source files find
// it constructed.
std::set<std::string>& reservedNames() {
    static std::set<std::string> names;
    return names;
}

MStatus refuse(const std::string& call, const std::string& why,
               MStatus::MStatusCode code = MStatus::kFailure) {
    MGlobal::displayError(MString((call + ": " + why).c_str()));
    return code;
}

bool validName(const std::string& name) {
    if (name.empty())
        return false;
    for (char c : name) {
        if (c == ' ' || c == '\t' || c == '\n' || c == ';' || c == '"')
            return false;
    }
    return true;
}

template <class T>
void eraseName(std::vector<T>& list, const std::string& name) {
    list.erase(std::remove(list.begin(), list.end(), name), list.end());
}

}  // namespace

MPxFileTranslator* TranslatorRecord::object() {
    if (!instance) {
        void* made = nullptr;
        try {
            made = creator();
        } catch (...) {
            made = nullptr;
        }
        if (!made) {
            MGlobal::displayError(MString(
                ("the creator of file translator \"" + name + "\" returned nothing").c_str()));
            return nullptr;
        }
        instance.reset(static_cast<MPxFileTranslator*>(made));
    }
    return instance.get();
}

Plugin* current() {
    return state().current;
}
void setCurrent(Plugin* plugin) {
    state().current = plugin;
}

BusyScope::BusyScope(Plugin* plugin) : plugin_(plugin) {
    if (plugin_)
        state().busy.push_back(plugin_);
}

BusyScope::~BusyScope() {
    if (!plugin_)
        return;
    auto& busy = state().busy;
    busy.erase(std::find(busy.begin(), busy.end(), plugin_));
}

bool isBusy(const Plugin& plugin) {
    const auto& busy = state().busy;
    return std::find(busy.begin(), busy.end(), &plugin) != busy.end();
}

MStatus addTranslator(Plugin& owner, const std::string& name, MCreatorFunction creator,
                      const char* defaultOptions, bool requiresFullMel) {
    const char* call = "registerFileTranslator";
    if (host::faultInjected(host::Fault::RegisterFileTranslator, name)) {
        return refuse(call, "\"" + name + "\" refused (injected fault)");
    }
    if (name.empty())
        return refuse(call, "empty translator name", MStatus::kInvalidParameter);
    if (!creator) {
        return refuse(call, "no creator for \"" + name + "\"", MStatus::kInvalidParameter);
    }
    if (findTranslator(name)) {
        return refuse(call, "a file translator named \"" + name + "\" is already registered");
    }
    auto record = std::make_unique<TranslatorRecord>();
    record->name = name;
    record->creator = creator;
    record->defaultOptions = defaultOptions ? defaultOptions : "";
    record->requiresFullMel = requiresFullMel;
    record->owner = &owner;
    state().translators.push_back(std::move(record));
    owner.translators.push_back(name);
    return MStatus::kSuccess;
}

MStatus removeTranslator(Plugin& owner, const std::string& name) {
    auto& list = state().translators;
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const auto& t) { return t->name == name; });
    if (it == list.end() || (*it)->owner != &owner) {
        return refuse("deregisterFileTranslator",
                      "\"" + name + "\" is not a file translator of " + owner.name);
    }
    list.erase(it);  // deletes the host's translator object while the module is still loaded
    eraseName(owner.translators, name);
    return MStatus::kSuccess;
}

MStatus addCommand(Plugin& owner, const std::string& name, MCreatorFunction creator) {
    const char* call = "registerCommand";
    if (host::faultInjected(host::Fault::RegisterCommand, name)) {
        return refuse(call, "\"" + name + "\" refused (injected fault)");
    }
    if (!validName(name)) {
        return refuse(call, "invalid command name \"" + name + "\"", MStatus::kInvalidParameter);
    }
    if (!creator) {
        return refuse(call, "no creator for \"" + name + "\"", MStatus::kInvalidParameter);
    }
    if (findCommand(name) || reservedNames().count(name) != 0) {
        return refuse(call, "a command named \"" + name + "\" already exists");
    }
    state().commands.push_back({name, creator, &owner});
    owner.commands.push_back(name);
    return MStatus::kSuccess;
}

MStatus removeCommand(Plugin& owner, const std::string& name) {
    auto& list = state().commands;
    const auto it = std::find_if(list.begin(), list.end(),
                                 [&](const CommandRecord& c) { return c.name == name; });
    if (it == list.end() || it->owner != &owner) {
        return refuse("deregisterCommand", "\"" + name + "\" is not a command of " + owner.name);
    }
    list.erase(it);
    eraseName(owner.commands, name);
    return MStatus::kSuccess;
}

MStatus addNodeType(Plugin& owner, const std::string& name, const MTypeId& id,
                    MCreatorFunction creator, MInitializeFunction initializer, MPxNode::Type kind,
                    const std::string& classification) {
    const char* call = "registerNode";
    if (host::faultInjected(host::Fault::RegisterNode, name)) {
        return refuse(call, "\"" + name + "\" refused (injected fault)");
    }
    if (!validName(name)) {
        return refuse(call, "invalid node type name \"" + name + "\"", MStatus::kInvalidParameter);
    }
    // The scene's registry refuses names and ids that are taken, built-in types included,
    // and runs the initializer.
    const MStatus status =
        scene::registerNodeType(MString(name.c_str()), id, creator, initializer, kind);
    if (!status) {
        return refuse(call,
                      "node type \"" + name + "\" (id " + std::to_string(id.id()) +
                          ") refused: " + status.errorString().asChar(),
                      status.statusCode());
    }
    owner.nodeTypes.push_back({name, id, kind, classification});
    return MStatus::kSuccess;
}

MStatus removeNodeType(Plugin& owner, const MTypeId& id) {
    auto& list = owner.nodeTypes;
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const NodeTypeRecord& n) { return n.id == id; });
    if (it == list.end()) {
        return refuse("deregisterNode", "type id " + std::to_string(id.id()) +
                                            " is not a node type of " + owner.name);
    }
    const MStatus status = scene::deregisterNodeType(id);
    if (!status) {
        return refuse(
            "deregisterNode",
            "node type \"" + it->name + "\" cannot be removed: " + status.errorString().asChar(),
            status.statusCode());
    }
    list.erase(it);
    return MStatus::kSuccess;
}

MStatus addDrawOverride(Plugin* owner, const std::string& classification,
                        const std::string& registrantId,
                        MHWRender::MDrawRegistry::DrawOverrideCreator creator) {
    const char* call = "registerDrawOverrideCreator";
    if (host::faultInjected(host::Fault::RegisterDrawOverride, classification)) {
        return refuse(call, "\"" + classification + "\" refused (injected fault)");
    }
    if (classification.empty() || !creator)
        return refuse(call, "no classification or no creator", MStatus::kInvalidParameter);
    for (const DrawOverrideRecord& d : state().drawOverrides) {
        if (d.classification == classification && d.registrantId == registrantId) {
            return refuse(call, "\"" + registrantId + "\" already has a draw override for \"" +
                                    classification + "\"");
        }
    }
    state().drawOverrides.push_back({classification, registrantId, creator, owner});
    if (owner)
        owner->drawOverrides.push_back(classification);
    return MStatus::kSuccess;
}

MStatus removeDrawOverride(const std::string& classification, const std::string& registrantId) {
    auto& list = state().drawOverrides;
    const auto it = std::find_if(list.begin(), list.end(), [&](const DrawOverrideRecord& d) {
        return d.classification == classification && d.registrantId == registrantId;
    });
    if (it == list.end()) {
        return refuse(
            "deregisterDrawOverrideCreator",
            "\"" + registrantId + "\" has no draw override for \"" + classification + "\"");
    }
    if (it->owner) {
        auto& mine = it->owner->drawOverrides;
        const auto own = std::find(mine.begin(), mine.end(), classification);
        if (own != mine.end())
            mine.erase(own);
    }
    list.erase(it);
    return MStatus::kSuccess;
}

const DrawOverrideRecord* findDrawOverride(const std::string& classification) {
    size_t begin = 0;
    while (begin <= classification.size()) {
        size_t end = classification.find(':', begin);
        if (end == std::string::npos)
            end = classification.size();
        const std::string entry = classification.substr(begin, end - begin);
        for (const DrawOverrideRecord& d : state().drawOverrides) {
            if (!entry.empty() && d.classification == entry)
                return &d;
        }
        begin = end + 1;
    }
    return nullptr;
}

bool removeEverything(Plugin& owner) {
    while (!owner.translators.empty())
        removeTranslator(owner, owner.translators.front());
    while (!owner.commands.empty())
        removeCommand(owner, owner.commands.front());
    for (const DrawOverrideRecord& d : std::vector<DrawOverrideRecord>(state().drawOverrides)) {
        if (d.owner == &owner)
            removeDrawOverride(d.classification, d.registrantId);
    }
    std::vector<NodeTypeRecord> types = owner.nodeTypes;
    for (const NodeTypeRecord& t : types)
        removeNodeType(owner, t.id);
    return owner.empty();
}

void reserveCommandName(const std::string& name) {
    reservedNames().insert(name);
}

const CommandRecord* findCommand(const std::string& name) {
    for (const CommandRecord& c : state().commands) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

TranslatorRecord* findTranslator(const std::string& name) {
    for (const auto& t : state().translators) {
        if (t->name == name)
            return t.get();
    }
    return nullptr;
}

std::vector<TranslatorRecord*> translators() {
    std::vector<TranslatorRecord*> out;
    for (const auto& t : state().translators)
        out.push_back(t.get());
    return out;
}

const std::vector<DrawOverrideRecord>& drawOverrides() {
    return state().drawOverrides;
}

std::vector<const CommandRecord*> commands() {
    std::vector<const CommandRecord*> out;
    for (const CommandRecord& c : state().commands)
        out.push_back(&c);
    return out;
}

}  // namespace plugin
