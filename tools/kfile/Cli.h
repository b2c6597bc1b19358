// The kfile command line: subcommands, options, --help and --version.
#pragma once

#include "Commands.h"

// Parses the arguments and runs the subcommand; answers the exit status: 0 done, 1 a bad or
// inconsistent take, 2 bad usage. Help and version go to `out`, usage errors to `err`.
int RunKfile(int argc, const char* const* argv, Console& console);
