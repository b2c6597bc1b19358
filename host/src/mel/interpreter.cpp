#include "mel/interpreter.h"

#include <host/faults.h>

#include <exception>
#include <memory>
#include <unordered_map>

#include "mel/parser.h"
#include "mel/plugin_dispatch.h"
#include "mel/registry.h"
#include "plugin/registry.h"
#include "scene/model.h"
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

namespace {

using Parsed = std::shared_ptr<const ParseResult>;

// Modules run the same few commands over and over (an import lists the children of the same
// paths hundreds of times), so texts are parsed once and their statements kept, up to a bound
// and for the life of the scene: a new scene holds no memory from the last one. Entries are
// shared, since a command that runs MEL itself may empty the cache under its caller.
Parsed parseOnce(const std::string& source) {
    static std::unordered_map<std::string, Parsed> parsedTexts;
    static uint64_t sceneClears = 0;
    constexpr size_t kMaxTexts = 4096;
    const uint64_t clears = scene::theScene().clearCount();
    if (clears != sceneClears || parsedTexts.size() >= kMaxTexts) {
        parsedTexts.clear();
        sceneClears = clears;
    }
    auto known = parsedTexts.find(source);
    if (known != parsedTexts.end())
        return known->second;
    auto parsed = std::make_shared<const ParseResult>(parse(source));
    parsedTexts.emplace(source, parsed);
    return parsed;
}

}  // namespace

Outcome execute(const std::string& source, const StatementHook& hook) {
    types::logCommand(source);
    const Parsed parsed = parseOnce(source);
    if (!parsed->error.empty()) {
        types::printError(parsed->error);
        return Outcome::fail(parsed->error);
    }
    Outcome last;
    for (const Call& call : parsed->statements) {
        last = runCall(call);
        if (hook)
            hook(call, last);
        if (last.failed()) {
            if (!last.reported)
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
