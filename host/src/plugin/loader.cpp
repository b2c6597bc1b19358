// Loading and unloading modules as the host does: open the library, check its MApiVersion,
// call initializePlugin with a plug-in object, and on unload call uninitializePlugin and
// check that it removed exactly what the module had registered.

#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <host/plugins.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "plugin/library.h"
#include "plugin/registry.h"
#include "scene/access.h"

namespace {

using EntryPoint = MStatus (*)(MObject);

// Plug-in objects are handles no scene node ever has: ids far above any node's.
constexpr unsigned long long kFirstPluginObjectId = 1ULL << 62;
unsigned long long g_nextPluginObjectId = kFirstPluginObjectId;

std::vector<std::unique_ptr<plugin::Plugin>>& loaded() {
    static std::vector<std::unique_ptr<plugin::Plugin>> plugins;
    return plugins;
}

bool hasExtension(const std::string& name) {
    const size_t slash = name.find_last_of("/\\");
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

std::string stem(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

bool isPath(const std::string& text) {
    return text.find_first_of("/\\") != std::string::npos;
}

// The file a loadPlugin argument names: a path as given, or a bare module name looked up in
// the search path with the platform's module suffixes.
bool resolve(const std::string& request, std::string* path, std::string* name, std::string* error) {
    if (isPath(request)) {
        if (!plugin::fileExists(request)) {
            *error = "Plug-in file \"" + request + "\" does not exist.";
            return false;
        }
        *path = request;
        *name = stem(request);
        return true;
    }
    std::vector<std::string> files;
    if (hasExtension(request)) {
        files.push_back(request);
    } else {
        for (const char* suffix : plugin::moduleSuffixes()) {
            files.push_back(request + suffix);
            files.push_back("lib" + request + suffix);
        }
    }
    std::string searched;
    for (const std::string& dir : host::pluginSearchPath()) {
        for (const std::string& file : files) {
            const std::string candidate = dir + "/" + file;
            if (plugin::fileExists(candidate)) {
                *path = candidate;
                *name = hasExtension(request) ? stem(request) : request;
                return true;
            }
        }
        searched += (searched.empty() ? "" : ", ") + dir;
    }
    *error = "Plug-in, \"" + request + "\", was not found on MAYA_PLUG_IN_PATH (searched: " +
             (searched.empty() ? std::string("nothing") : searched) + ").";
    return false;
}

plugin::Plugin* findLoaded(const std::string& nameOrPath) {
    for (const auto& p : loaded()) {
        // "name", "name.so" or the path the module was loaded from.
        const bool byName =
            p->name == nameOrPath ||
            (!isPath(nameOrPath) && hasExtension(nameOrPath) && p->name == stem(nameOrPath));
        if (byName || p->path == nameOrPath || plugin::samePath(p->path, nameOrPath)) {
            return p.get();
        }
    }
    return nullptr;
}

std::string describeLeftovers(const plugin::Plugin& p) {
    std::string text;
    for (const std::string& t : p.translators)
        text += " file translator \"" + t + "\";";
    for (const std::string& c : p.commands)
        text += " command \"" + c + "\";";
    for (const plugin::NodeTypeRecord& n : p.nodeTypes) {
        text += " node type \"" + n.name + "\" (id " + std::to_string(n.id.id()) + ");";
    }
    for (const std::string& d : p.drawOverrides)
        text += " draw override \"" + d + "\";";
    if (!text.empty())
        text.pop_back();
    return text;
}

// Runs a module entry point with the registry pointed at the module. Nothing the module
// throws gets past this.
MStatus callEntry(plugin::Plugin& p, EntryPoint entry, const char* which, std::string* error) {
    plugin::Plugin* const outer = plugin::current();  // a module may load another
    plugin::setCurrent(&p);
    MStatus status;
    try {
        status = entry(MObjectAccess::forNode(p.objectId));
    } catch (const std::exception& e) {
        *error = std::string(which) + " of " + p.name + " threw an exception: " + e.what();
        status = MStatus::kFailure;
    } catch (...) {
        *error = std::string(which) + " of " + p.name + " threw an exception";
        status = MStatus::kFailure;
    }
    plugin::setCurrent(outer);
    if (!status && error->empty()) {
        *error = std::string(which) + " of " + p.name + " failed: " + status.errorString().asChar();
    }
    return status;
}

// Removes the module from the registry and closes its library, unless something of it is
// still needed by the scene.
void closeModule(plugin::Plugin* p, std::string* error) {
    if (!plugin::removeEverything(*p)) {
        *error += " The library stays open: node types of " + p->name +
                  " could not be removed from the scene.";
        return;
    }
    plugin::closeLibrary(p->handle);
    auto& list = loaded();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->get() == p) {
            list.erase(it);
            break;
        }
    }
}

// Node types of the module that still have nodes in the scene.
std::vector<std::string> typesInUse(const plugin::Plugin& p) {
    std::vector<std::string> inUse;
    for (const plugin::NodeTypeRecord& n : p.nodeTypes) {
        const scene::NodeType* type = scene::findType(n.name);
        if (type != nullptr && scene::theScene().hasNodesOfType(type))
            inUse.push_back(n.name);
    }
    return inUse;
}

}  // namespace

namespace host {

std::vector<std::string> pluginSearchPath() {
    std::vector<std::string> dirs;
    if (const char* env = std::getenv("MAYA_PLUG_IN_PATH")) {
        std::string list(env);
        size_t begin = 0;
        while (begin <= list.size()) {
            size_t end = list.find(plugin::kPathListSeparator, begin);
            if (end == std::string::npos)
                end = list.size();
            if (end > begin)
                dirs.push_back(list.substr(begin, end - begin));
            begin = end + 1;
        }
    }
#ifdef MAYASTANDIN_BUILD_MODULE_DIR
    // The folder into which this build puts the modules it makes.
    dirs.push_back(MAYASTANDIN_BUILD_MODULE_DIR);
#endif
    const std::string programDir = plugin::programDirectory();
    if (!programDir.empty())
        dirs.push_back(programDir);
    return dirs;
}

bool loadPlugin(const std::string& request, std::string* errorOut) {
    std::string error, path, name;
    std::string* err = errorOut ? errorOut : &error;
    err->clear();
    if (!resolve(request, &path, &name, err))
        return false;
    if (findLoaded(name) || findLoaded(path))
        return true;  // already loaded: nothing to do

    void* handle = plugin::openLibrary(path, err);
    if (!handle)
        return false;
    const char* version = static_cast<const char*>(plugin::findSymbol(handle, "MApiVersion"));
    const auto init = reinterpret_cast<EntryPoint>(plugin::findSymbol(handle, "initializePlugin"));
    const auto uninit =
        reinterpret_cast<EntryPoint>(plugin::findSymbol(handle, "uninitializePlugin"));
    char* end = nullptr;
    const long number = version ? std::strtol(version, &end, 10) : 0;
    if (!version || end == version || *end != '\0') {
        *err = path + " is not a plug-in: it defines no MApiVersion text";
    } else if (number > MAYA_API_VERSION) {
        *err = name + " was built for API version " + version + "; this host has " +
               std::to_string(MAYA_API_VERSION);
    } else if (!init || !uninit) {
        *err = path + " is not a plug-in: initializePlugin or uninitializePlugin is missing";
    }
    if (!err->empty()) {
        plugin::closeLibrary(handle);
        return false;
    }
    auto record = std::make_unique<plugin::Plugin>();
    record->name = name;
    record->path = path;
    record->apiVersion = version;
    record->handle = handle;
    record->objectId = g_nextPluginObjectId++;
    plugin::Plugin* p = record.get();
    loaded().push_back(std::move(record));

    if (!callEntry(*p, init, "initializePlugin", err)) {
        // A module that failed to initialise is not loaded; whatever it registered goes.
        closeModule(p, err);
        return false;
    }
    return true;
}

bool unloadPlugin(const std::string& request, std::string* errorOut) {
    std::string error;
    std::string* err = errorOut ? errorOut : &error;
    err->clear();
    plugin::Plugin* p = findLoaded(request);
    if (!p) {
        *err = "Plug-in \"" + request + "\" is not loaded.";
        return false;
    }
    if (plugin::isBusy(*p)) {
        *err = "Cannot unload " + p->name + " while its own code is running.";
        return false;
    }
    if (plugin::current() == p) {
        *err = "Cannot unload " + p->name + " from its own initializePlugin or uninitializePlugin.";
        return false;
    }
    const std::vector<std::string> inUse = typesInUse(*p);
    if (!inUse.empty()) {
        *err = "Cannot unload " + p->name + ": nodes of its type \"" + inUse.front() +
               "\" are in the scene.";
        return false;
    }
    const auto uninit =
        reinterpret_cast<EntryPoint>(plugin::findSymbol(p->handle, "uninitializePlugin"));
    if (!callEntry(*p, uninit, "uninitializePlugin", err)) {
        *err += "; " + p->name + " stays loaded.";
        return false;
    }
    if (!p->empty()) {
        *err = "uninitializePlugin of " + p->name +
               " did not deregister everything it registered:" + describeLeftovers(*p) + ".";
        closeModule(p, err);
        return false;
    }
    closeModule(p, err);
    return err->empty();
}

void unloadAllPlugins() {
    while (!loaded().empty()) {
        plugin::Plugin* p = loaded().back().get();
        std::string error;
        unloadPlugin(p->path, &error);
        if (loaded().empty() || loaded().back().get() != p)
            continue;  // gone, even if reported
        // It refused (nodes of its types remain, uninitializePlugin failed, it is busy): take
        // its registrations away and close it if nothing in the scene needs it.
        closeModule(p, &error);
        if (!loaded().empty() && loaded().back().get() == p) {
            loaded().pop_back();  // the library stays open on purpose: its nodes remain
        }
    }
}

std::vector<PluginInfo> loadedPlugins() {
    std::vector<PluginInfo> out;
    for (const auto& p : loaded()) {
        PluginInfo info;
        info.name = p->name;
        info.path = p->path;
        info.apiVersion = p->apiVersion;
        info.vendor = p->vendor;
        info.version = p->version;
        info.translators = p->translators;
        info.commands = p->commands;
        info.drawOverrides = p->drawOverrides;
        for (const plugin::NodeTypeRecord& n : p->nodeTypes) {
            info.nodeTypes.push_back(
                {n.name, n.id.id(), static_cast<int>(n.kind), n.classification});
        }
        out.push_back(std::move(info));
    }
    return out;
}

bool findPlugin(const std::string& nameOrPath, PluginInfo* info) {
    const plugin::Plugin* p = findLoaded(nameOrPath);
    if (!p)
        return false;
    for (PluginInfo& i : loadedPlugins()) {
        if (i.path == p->path) {
            if (info)
                *info = std::move(i);
            return true;
        }
    }
    return false;
}

std::vector<std::string> registeredTranslators() {
    std::vector<std::string> names;
    for (const plugin::TranslatorRecord* t : plugin::translators())
        names.push_back(t->name);
    return names;
}

std::vector<std::string> registeredCommands() {
    std::vector<std::string> names;
    for (const plugin::CommandRecord* c : plugin::commands())
        names.push_back(c->name);
    return names;
}

std::vector<std::string> registeredDrawOverrides() {
    std::vector<std::string> classifications;
    for (const plugin::DrawOverrideRecord& d : plugin::drawOverrides())
        classifications.push_back(d.classification);
    return classifications;
}

}  // namespace host

std::string plugin::classificationOf(const std::string& typeName) {
    for (const auto& p : loaded()) {
        for (const NodeTypeRecord& n : p->nodeTypes) {
            if (n.name == typeName)
                return n.classification;
        }
    }
    return "";
}
