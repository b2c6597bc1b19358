#pragma once
// Viewport 2.0's registry of draw overrides: a node whose type was registered with a
// classification is drawn by the override created by the creator registered under it.

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

namespace MHWRender {

class MPxDrawOverride;

class MDrawRegistry {
  public:
    typedef MPxDrawOverride* (*DrawOverrideCreator)(const MObject&);
    // kFailure when the classification already has a creator from that registrant, or the
    // classification or the creator is missing.
    static MStatus registerDrawOverrideCreator(const MString& drawClassification,
                                               const MString& registrantId,
                                               DrawOverrideCreator creator);
    // kFailure when that registrant registered no creator under the classification.
    static MStatus deregisterDrawOverrideCreator(const MString& drawClassification,
                                                 const MString& registrantId);

  private:
    MDrawRegistry() = delete;
};

}  // namespace MHWRender
