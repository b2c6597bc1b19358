#pragma once
// Queries of the stand-in's plug-in registry for tests and minihost: which modules are
// loaded and what each registered. A module never includes this header.

#include <string>
#include <vector>

namespace host {

struct RegisteredNodeType {
    std::string name;
    unsigned int id = 0;
    int kind = 0;                // MPxNode::Type
    std::string classification;  // as registered; empty for none
};

struct PluginInfo {
    std::string name;  // the file name without directory and extension
    std::string path;  // as opened
    std::string apiVersion;
    std::string vendor;
    std::string version;
    std::vector<std::string> translators;  // in registration order
    std::vector<std::string> commands;
    std::vector<RegisteredNodeType> nodeTypes;
    std::vector<std::string> drawOverrides;  // classifications of its draw override creators
};

std::vector<PluginInfo> loadedPlugins();
// False when no module of that name (or path) is loaded.
bool findPlugin(const std::string& nameOrPath, PluginInfo* info);

// Every file translator and command known, in registration order.
std::vector<std::string> registeredTranslators();
std::vector<std::string> registeredCommands();
// Every classification with a Viewport 2.0 draw override creator, in registration order.
std::vector<std::string> registeredDrawOverrides();

// Every registration call that modules made through MFnPlugin, in order: "registerCommand
// NAME", "deregisterFileTranslator NAME", "registerNode NAME", "deregisterNode ID" (the
// decimal type id), "registerDrawOverrideCreator CLASSIFICATION" and the like; a call that the host
// refused ends in " (refused)". Unlike the lists above, it shows what a module did even when its
// load failed and was undone.
const std::vector<std::string>& registrationLog();
void clearRegistrationLog();

// Loads / unloads as the MEL commands do; true on success, else *error says why (nothing
// is printed but what the module and its registrations print).
bool loadPlugin(const std::string& nameOrPath, std::string* error = nullptr);
bool unloadPlugin(const std::string& nameOrPath, std::string* error = nullptr);
// Unloads every module (last loaded first); for test tear-down.
void unloadAllPlugins();

// The folders a bare module name is looked up in: each entry of the environment variable
// MAYA_PLUG_IN_PATH (separated by ':' or ';' on Windows), then the folder of the running
// program.
std::vector<std::string> pluginSearchPath();

}  // namespace host
