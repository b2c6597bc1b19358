// kfile: inspect, validate, export and generate K-files.
#include <iostream>

#ifdef _WIN32
#include <io.h>
#define KFR_ISATTY _isatty
#else
#include <unistd.h>
#define KFR_ISATTY isatty
#endif

#include "Cli.h"

int main(int argc, char** argv) {
    try {
        Console console{std::cout, std::cerr, KFR_ISATTY(2) != 0};
        return RunKfile(argc, argv, console);
    } catch (...) {  // RunKfile catches what the commands throw; this is the last guard
        return 1;
    }
}
