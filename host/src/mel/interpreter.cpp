#include "mel/interpreter.h"

#include <host/faults.h>

#include <exception>

#include "mel/parser.h"
#include "mel/plugin_dispatch.h"
#include "mel/registry.h"
#include "plugin/registry.h"
#include "types/messages.h"

namespace mel {

Outcome runCall(const Call& call) {
    if (host::faultInjected(host::Fault::MelCommand, call.command)) {
        return Outcome::fail(call.command + ": failed (injected fault)");
    }
    if (Builtin builtin = findBuiltin(call.command)) {
        try {
            return builtin(call);
        } catch (const std::exception& e) {
            return Outcome::fail(call.command +
                                 ": internal error of the stand-in host: " + e.what());
        }
    }
    if (const plugin::CommandRecord* command = plugin::findCommand(call.command)) {
        return runPluginCommand(*command, call);
    }
    return Outcome::fail("Cannot find procedure \"" + call.command + "\".");
}

Outcome execute(const std::string& source, const StatementHook& hook) {
    types::logCommand(source);
    const ParseResult parsed = parse(source);
    if (!parsed.error.empty()) {
        types::printError(parsed.error);
        return Outcome::fail(parsed.error);
    }
    Outcome last;
    for (const Call& call : parsed.statements) {
        last = runCall(call);
        if (hook)
            hook(call, last);
        if (last.failed()) {
            types::printError(last.error);
            break;
        }
    }
    return last;
}

std::string formatResult(const Outcome& outcome) {
    std::string line = "// Result:";
    for (const std::string& item : outcome.result)
        line += " " + item;
    return line + " //";
}

}  // namespace mel
