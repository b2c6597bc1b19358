// loadPlugin and unloadPlugin.

#include <host/plugins.h>

#include "mel/command.h"

namespace {

mel::Outcome runLoadPlugin(const mel::Call& call) {
    mel::ArgReader args(call, {});
    if (!args.ok())
        return args.failure();
    if (args.positional().empty())
        return mel::Outcome::fail("loadPlugin: no plug-in named");
    std::vector<std::string> names;
    for (const std::string& request : args.positional()) {
        std::string error;
        if (!host::loadPlugin(request, &error))
            return mel::Outcome::fail(error);
        host::PluginInfo info;
        names.push_back(host::findPlugin(request, &info) ? info.name : request);
    }
    return mel::Outcome::ok(names);
}

mel::Outcome runUnloadPlugin(const mel::Call& call) {
    mel::ArgReader args(call, {});
    if (!args.ok())
        return args.failure();
    if (args.positional().empty())
        return mel::Outcome::fail("unloadPlugin: no plug-in named");
    for (const std::string& request : args.positional()) {
        std::string error;
        if (!host::unloadPlugin(request, &error))
            return mel::Outcome::fail(error);
    }
    return mel::Outcome::ok();
}

mel::RegisterBuiltin registerLoad("loadPlugin", &runLoadPlugin);
mel::RegisterBuiltin registerUnload("unloadPlugin", &runUnloadPlugin);

}  // namespace
