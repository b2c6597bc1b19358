#include "nodes/LocatorDrawOverride.h"

#if KFR_VIEWPORT2

#include <maya/MColor.h>
#include <maya/MDrawRegistry.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MHWGeometryUtilities.h>
#include <maya/MPoint.h>
#include <maya/MPxLocatorNode.h>

#include "nodes/LocatorNodes.h"

namespace {

// The node's own answers; none when the object is not a locator of this module (it always
// is, as the registry matches by its type's classification).
const MPxLocatorNode* locatorOf(const MObject& node) {
    return dynamic_cast<const MPxLocatorNode*>(MFnDependencyNode(node).userNode());
}

const char* const kRegistrantId = "MayaKFileReader";

struct CreatorEntry {
    const char* classification;
    MHWRender::MDrawRegistry::DrawOverrideCreator creator;
};

}  // namespace

const char* const LocatorDrawOverride::kDofClassification = "drawdb/geometry/DOFLocator";
const char* const LocatorDrawOverride::kMarkerClassification = "drawdb/geometry/MarkerLocator";

void LocatorDrawOverride::registerCreators() {
    const CreatorEntry creators[] = {{kDofClassification, dofCreator},
                                     {kMarkerClassification, markerCreator}};
    for (const CreatorEntry& entry : creators) {
        const MStatus status = MHWRender::MDrawRegistry::registerDrawOverrideCreator(
            entry.classification, kRegistrantId, entry.creator);
        if (!status)
            status.perror("registerDrawOverrideCreator");
    }
}

void LocatorDrawOverride::deregisterCreators() {
    for (const char* classification : {kDofClassification, kMarkerClassification}) {
        const MStatus status =
            MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(classification, kRegistrantId);
        if (!status)
            status.perror("deregisterDrawOverrideCreator");
    }
}

LocatorDrawOverride::LocatorDrawOverride(const MObject& node, double crossCm)
    // Everything is drawn from addUIDrawables: no draw callback.
    : MHWRender::MPxDrawOverride(node, NULL), node_(node), crossCm_(crossCm) {}

MHWRender::MPxDrawOverride* LocatorDrawOverride::dofCreator(const MObject& node) {
    return new LocatorDrawOverride(node, DOFLocator::kCrossCm);
}

MHWRender::MPxDrawOverride* LocatorDrawOverride::markerCreator(const MObject& node) {
    return new LocatorDrawOverride(node, MarkerLocator::kCrossCm);
}

MHWRender::DrawAPI LocatorDrawOverride::supportedDrawAPIs() const {
    return MHWRender::kAllDevices;  // UI lines only, which every device draws
}

bool LocatorDrawOverride::hasUIDrawables() const {
    return true;
}

bool LocatorDrawOverride::isBounded(const MDagPath&, const MDagPath&) const {
    const MPxLocatorNode* locator = locatorOf(node_);
    return locator != NULL && locator->isBounded();
}

MBoundingBox LocatorDrawOverride::boundingBox(const MDagPath&, const MDagPath&) const {
    const MPxLocatorNode* locator = locatorOf(node_);
    return locator != NULL ? locator->boundingBox() : MBoundingBox();
}

MUserData* LocatorDrawOverride::prepareForDraw(const MDagPath&, const MDagPath&,
                                               const MHWRender::MFrameContext&,
                                               MUserData* oldData) {
    return oldData;
}

void LocatorDrawOverride::addUIDrawables(const MDagPath& objPath,
                                         MHWRender::MUIDrawManager& drawManager,
                                         const MHWRender::MFrameContext&, const MUserData*) {
    const CrossVertices vertices = crossVertices(crossCm_);
    drawManager.beginDrawable();
    drawManager.setColor(MHWRender::MGeometryUtilities::wireframeColor(objPath));
    for (size_t i = 0; i + 1 < vertices.size(); i += 2) {
        const CrossVertex& from = vertices[i];
        const CrossVertex& to = vertices[i + 1];
        drawManager.line(MPoint(from.x, from.y, from.z), MPoint(to.x, to.y, to.z));
    }
    drawManager.endDrawable();
}

#endif
