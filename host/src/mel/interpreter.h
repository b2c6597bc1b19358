#pragma once
// Runs MEL: parses a string, runs its statements in order (stopping at the first that
// fails), prints host-style lines and keeps the command log.

#include <functional>
#include <string>

#include "mel/command.h"

namespace mel {

using StatementHook = std::function<void(const Call&, const Outcome&)>;

// Logs the source, parses it and runs its statements in order. A failure (parse error or
// failed statement) is printed as "// Error: <message> //" and ends the run. The result is
// the last statement's outcome; hook, when given, sees every statement's outcome.
Outcome execute(const std::string& source, const StatementHook& hook = {});

// Runs one parsed statement: a built-in command or one a module registered. No logging and
// no printing; an unknown command or an injected fault gives a failed outcome.
Outcome runCall(const Call& call);

// The result printed after a statement at the prompt: "// Result: a b //".
std::string formatResult(const Outcome& outcome);

}  // namespace mel
