#include "plugin/library.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace plugin {

#ifdef _WIN32

void* openLibrary(const std::string& path, std::string* error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module)
        *error =
            "LoadLibrary failed for " + path + " (error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<void*>(module);
}

void closeLibrary(void* handle) {
    if (handle)
        FreeLibrary(reinterpret_cast<HMODULE>(handle));
}

void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name));
}

std::vector<const char*> moduleSuffixes() {
    return {".mll", ".dll"};
}

std::string programDirectory() {
    char buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return "";
    std::string path(buffer, n);
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

bool samePath(const std::string& a, const std::string& b) {
    char fa[MAX_PATH], fb[MAX_PATH];
    if (!GetFullPathNameA(a.c_str(), MAX_PATH, fa, nullptr))
        return false;
    if (!GetFullPathNameA(b.c_str(), MAX_PATH, fb, nullptr))
        return false;
    return _stricmp(fa, fb) == 0;
}

#else

void* openLibrary(const std::string& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* message = dlerror();
        *error = "Cannot load " + path + ": " + (message ? message : "unknown error");
    }
    return handle;
}

void closeLibrary(void* handle) {
    if (handle)
        dlclose(handle);
}

void* findSymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}

std::vector<const char*> moduleSuffixes() {
    return {".so"};
}

std::string programDirectory() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return "";
    std::string path(buffer, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

bool samePath(const std::string& a, const std::string& b) {
    char ra[PATH_MAX], rb[PATH_MAX];
    if (!realpath(a.c_str(), ra) || !realpath(b.c_str(), rb))
        return false;
    return std::string(ra) == rb;
}

#endif

bool fileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG;
}

}  // namespace plugin
