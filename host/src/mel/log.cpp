#include "mel/log.h"

#include <host/command_log.h>

#include <vector>

namespace {

std::vector<std::string>& commands() {
    static std::vector<std::string> log;
    return log;
}

std::vector<std::string>& messages() {
    static std::vector<std::string> log;
    return log;
}

}  // namespace

namespace mel {

void logCommand(const std::string& source) {
    commands().push_back(source);
}
void logMessage(const std::string& line) {
    messages().push_back(line);
}

}  // namespace mel

namespace host {

const std::vector<std::string>& commandLog() {
    return commands();
}
void clearCommandLog() {
    commands().clear();
}
const std::vector<std::string>& messageLog() {
    return messages();
}
void clearMessageLog() {
    messages().clear();
}

}  // namespace host
