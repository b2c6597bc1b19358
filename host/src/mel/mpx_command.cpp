#include <maya/MPxCommand.h>

#include "mel/interpreter.h"
#include "mel/results.h"
#include "types/messages.h"

namespace {

void setTo(const std::string& value) {
    if (std::vector<std::string>* result = mel::currentResult()) {
        result->assign(1, value);
    } else {
        types::printWarning("MPxCommand::setResult called outside a running command; ignored");
    }
}

void append(const std::string& value) {
    if (std::vector<std::string>* result = mel::currentResult()) {
        result->push_back(value);
    } else {
        types::printWarning("MPxCommand::appendToResult called outside a running command; ignored");
    }
}

}  // namespace

MPxCommand::~MPxCommand() = default;
MStatus MPxCommand::undoIt() {
    return MStatus::kFailure;
}
MStatus MPxCommand::redoIt() {
    return MStatus::kFailure;
}
bool MPxCommand::isUndoable() const {
    return false;
}
bool MPxCommand::hasSyntax() const {
    return true;
}

void MPxCommand::clearResult() {
    if (std::vector<std::string>* result = mel::currentResult())
        result->clear();
}

void MPxCommand::setResult(const MString& result) {
    setTo(result.asChar());
}
void MPxCommand::setResult(const char* result) {
    setTo(result ? result : "");
}
void MPxCommand::setResult(int result) {
    setTo(std::to_string(result));
}
void MPxCommand::setResult(double result) {
    setTo(mel::formatNumber(result));
}
void MPxCommand::setResult(bool result) {
    setTo(result ? "1" : "0");
}

void MPxCommand::setResult(const MStringArray& result) {
    clearResult();
    for (unsigned int i = 0; i < result.length(); ++i)
        append(result[i].asChar());
}

void MPxCommand::appendToResult(const MString& result) {
    append(result.asChar());
}
void MPxCommand::appendToResult(const char* result) {
    append(result ? result : "");
}
void MPxCommand::appendToResult(int result) {
    append(std::to_string(result));
}
void MPxCommand::appendToResult(double result) {
    append(mel::formatNumber(result));
}
void MPxCommand::appendToResult(bool result) {
    append(result ? "1" : "0");
}

void MPxCommand::displayInfo(const MString& text) {
    types::printInfo(text.asChar());
}
void MPxCommand::displayWarning(const MString& text) {
    types::printWarning(text.asChar());
}
void MPxCommand::displayError(const MString& text) {
    types::printError(text.asChar());
}
