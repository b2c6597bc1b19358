// A module whose entry points are not declared extern "C": PLUGIN_EXPORT exports them but
// leaves their names decorated, so the host must not find them.

#include <maya/MFnPlugin.h>

PLUGIN_EXPORT MStatus initializePlugin(MObject) {
    return MStatus::kSuccess;
}
PLUGIN_EXPORT MStatus uninitializePlugin(MObject) {
    return MStatus::kSuccess;
}
