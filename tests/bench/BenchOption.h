#pragma once
// Options of the benchmark programs beside Google Benchmark's own.

#include <string>

namespace benchsupport {

// The value of `--name=value` among the arguments the benchmark library left, or `fallback`.
inline std::string Option(int argc, char** argv, const std::string& name,
                          const std::string& fallback) {
    const std::string prefix = "--" + name + "=";
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]).rfind(prefix, 0) == 0) {
            return argv[i] + prefix.size();
        }
    }
    return fallback;
}

}  // namespace benchsupport
