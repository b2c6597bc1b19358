#pragma once
// Running a command that a module registered: a new object from its creator for every
// invocation, doIt with the arguments, the object deleted afterwards.

#include "mel/command.h"
#include "plugin/registry.h"

namespace mel {

Outcome runPluginCommand(const plugin::CommandRecord& command, const Call& call);

}  // namespace mel
