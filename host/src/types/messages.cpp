#include "types/messages.h"

#include <maya/MGlobal.h>

#include <host/command_log.h>

#include <cstdio>
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

size_t g_errors = 0;

void emit(FILE* stream, const std::string& line) {
    std::fprintf(stream, "%s\n", line.c_str());
    std::fflush(stream);
    messages().push_back(line);
}

}  // namespace

namespace types {

void printError(const std::string& text) {
    ++g_errors;
    emit(stderr, "// Error: " + text + " //");
}
size_t errorsPrinted() {
    return g_errors;
}
void printWarning(const std::string& text) {
    emit(stderr, "// Warning: " + text + " //");
}
void printInfo(const std::string& text) {
    emit(stdout, "// Info: " + text + " //");
}

void logCommand(const std::string& source) {
    commands().push_back(source);
}

}  // namespace types

void MGlobal::displayInfo(const MString& text) {
    types::printInfo(text.asChar());
}
void MGlobal::displayWarning(const MString& text) {
    types::printWarning(text.asChar());
}
void MGlobal::displayError(const MString& text) {
    types::printError(text.asChar());
}

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
