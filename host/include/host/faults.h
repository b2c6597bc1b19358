#pragma once
// Fault injection for tests of the stand-in host: make a named registration or MEL command
// fail. A fault stays in force until it is cleared. A module never includes this header.

#include <string>

namespace host {

enum class Fault {
    RegisterFileTranslator,  // MFnPlugin::registerFileTranslator of the named translator
    RegisterCommand,         // MFnPlugin::registerCommand of the named command
    RegisterNode,            // MFnPlugin::registerNode of the named node type
    AddAttribute,            // MPxNode::addAttribute of the attribute with that long name
    RegisterDrawOverride,    // MDrawRegistry::registerDrawOverrideCreator of that classification
    MelCommand,              // running the named MEL command (built-in or registered)
};

// Every later call of that site with that name fails; the name "*" matches any name.
void injectFault(Fault site, const std::string& name);
void clearFault(Fault site, const std::string& name);
void clearFaults();

// Asked by the stand-in at each site: true when this call must fail.
bool faultInjected(Fault site, const std::string& name);

}  // namespace host
