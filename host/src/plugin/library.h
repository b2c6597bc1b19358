#pragma once
// The operating system's side of loading modules: dlopen on POSIX, LoadLibrary on Windows.

#include <string>
#include <vector>

namespace plugin {

#ifdef _WIN32
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

// Null on failure, with the loader's message in *error.
void* openLibrary(const std::string& path, std::string* error);
void closeLibrary(void* handle);
void* findSymbol(void* handle, const char* name);

// File suffixes of a loadable module, preferred first.
std::vector<const char*> moduleSuffixes();
bool fileExists(const std::string& path);
bool samePath(const std::string& a, const std::string& b);
// The folder of the running program, or empty when unknown.
std::string programDirectory();

}  // namespace plugin
