#include "mel/registry.h"

#include <cstdio>
#include <cstdlib>

#include "plugin/registry.h"

namespace mel {
namespace {

// Function-local so that registrations from other source files' static initialisers find
// the table constructed whatever the order of initialisation.
std::map<std::string, Builtin>& table() {
    static std::map<std::string, Builtin> commands;
    return commands;
}

}  // namespace

RegisterBuiltin::RegisterBuiltin(const char* name, Builtin fn) {
    if (!table().emplace(name, fn).second) {
        // Two built-ins of one name is a fault of the stand-in itself.
        std::fprintf(stderr, "stand-in host: built-in MEL command registered twice: %s\n", name);
        std::abort();
    }
    plugin::reserveCommandName(name);
}

const std::map<std::string, Builtin>& builtins() {
    return table();
}

Builtin findBuiltin(const std::string& name) {
    const auto it = table().find(name);
    return it == table().end() ? nullptr : it->second;
}

}  // namespace mel
