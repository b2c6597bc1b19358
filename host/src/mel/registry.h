#pragma once
// The table of built-in MEL commands, filled by mel::RegisterBuiltin at load time.

#include <map>
#include <string>

#include "mel/command.h"

namespace mel {

const std::map<std::string, Builtin>& builtins();
Builtin findBuiltin(const std::string& name);

}  // namespace mel
