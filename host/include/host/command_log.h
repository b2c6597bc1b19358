#pragma once
// What the stand-in's MEL side did: every MEL string executed (through
// MGlobal::executeCommand or the prompt), in order, and every line it printed
// ("// Error: ... //" and the like). A module never includes this header.

#include <string>
#include <vector>

namespace host {

const std::vector<std::string>& commandLog();
void clearCommandLog();

// Lines printed by displayError/Warning/Info and by failed MEL statements, as printed.
const std::vector<std::string>& messageLog();
void clearMessageLog();

}  // namespace host
