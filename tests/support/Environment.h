#pragma once
// Environment variables for tests, on POSIX and on Windows alike.

#include <cstdlib>

namespace testsupport {

inline void UnsetEnvironment(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");  // an empty value removes the variable
#else
    unsetenv(name);
#endif
}

}  // namespace testsupport
