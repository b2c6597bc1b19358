#define MNoVersionString
#include "test_locator.h"

#include <maya/MFnPlugin.h>

// Filled in once locator nodes exist in the stand-in.
MStatus registerTestLocator(MFnPlugin&) {
    return MStatus::kSuccess;
}
MStatus deregisterTestLocator(MFnPlugin&) {
    return MStatus::kSuccess;
}
