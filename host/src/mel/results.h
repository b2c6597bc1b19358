#pragma once
// The result of the module command being run, which MPxCommand::setResult and
// appendToResult fill. Commands may run inside commands, so results form a stack.

#include <string>
#include <vector>

namespace mel {

class ResultScope {
  public:
    ResultScope();
    ~ResultScope();
    ResultScope(const ResultScope&) = delete;
    ResultScope& operator=(const ResultScope&) = delete;

    std::vector<std::string> take();
};

// The innermost running command's result, or null outside any module command.
std::vector<std::string>* currentResult();

std::string formatNumber(double value);

}  // namespace mel
