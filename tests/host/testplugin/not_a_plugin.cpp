// A library with the entry points of a module but without MApiVersion: the host must
// refuse to load it.

#define MNoVersionString
#include <maya/MFnPlugin.h>

extern "C" PLUGIN_EXPORT MStatus initializePlugin(MObject) {
    return MStatus::kSuccess;
}
extern "C" PLUGIN_EXPORT MStatus uninitializePlugin(MObject) {
    return MStatus::kSuccess;
}
