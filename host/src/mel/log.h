#pragma once
// Appending to the command and message logs (read through host/command_log.h).

#include <string>

namespace mel {

void logCommand(const std::string& source);
void logMessage(const std::string& line);

}  // namespace mel
