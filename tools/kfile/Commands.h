// The subcommands of the kfile program.
#pragma once

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

int GenerateCommand(const Arguments& arguments);
int InfoCommand(const Arguments& arguments);
int ValidateCommand(const Arguments& arguments);
int ExportCommand(const Arguments& arguments);
