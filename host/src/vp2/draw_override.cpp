// Viewport 2.0 as a plug-in's draw override sees it: the override's base class, its user
// data, the frame context, the wireframe colours and the draw registry.

#include <maya/MDagPath.h>
#include <maya/MDrawRegistry.h>
#include <maya/MHWGeometryUtilities.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MUserData.h>

#include <algorithm>

#include "plugin/registry.h"
#include "scene/access.h"
#include "scene/model.h"
#include "vp2/viewport2.h"

MUserData::MUserData(bool deleteAfterUse) : deleteAfterUse_(deleteAfterUse) {}
MUserData::~MUserData() = default;

bool MUserData::deleteAfterUse() {
    return deleteAfterUse_;
}

void MUserData::setDeleteAfterUse(bool shouldDelete) {
    deleteAfterUse_ = shouldDelete;
}

namespace MHWRender {

MFrameContext::MFrameContext() = default;
MFrameContext::~MFrameContext() = default;

MPxDrawOverride::MPxDrawOverride(const MObject&, GeometryDrawOverrideCb callback)
    : callback_(callback) {}
MPxDrawOverride::~MPxDrawOverride() = default;

DrawAPI MPxDrawOverride::supportedDrawAPIs() const {
    return kOpenGL;
}

bool MPxDrawOverride::hasUIDrawables() const {
    return false;
}

MBoundingBox MPxDrawOverride::boundingBox(const MDagPath&, const MDagPath&) const {
    return MBoundingBox();
}

bool MPxDrawOverride::isBounded(const MDagPath&, const MDagPath&) const {
    return false;
}

bool MPxDrawOverride::disableInternalBoundingBoxDraw() const {
    return false;
}

void MPxDrawOverride::addUIDrawables(const MDagPath&, MUIDrawManager&, const MFrameContext&,
                                     const MUserData*) {}

// The stand-in's colours: the last node selected (the lead), the others selected, the rest.
MColor MGeometryUtilities::wireframeColor(const MDagPath& path) {
    switch (vp2::displayStatus(MDagPathAccess::nodeId(path))) {
        case M3dView::kLead:
            return MColor(0.26f, 1.0f, 0.64f);
        case M3dView::kActive:
            return MColor(1.0f, 1.0f, 1.0f);
        default:
            return MColor(0.0f, 0.016f, 0.376f);
    }
}

MStatus MDrawRegistry::registerDrawOverrideCreator(const MString& drawClassification,
                                                   const MString& registrantId,
                                                   DrawOverrideCreator creator) {
    const std::string call =
        std::string("registerDrawOverrideCreator ") + drawClassification.asChar();
    return plugin::logRegistration(
        call, plugin::addDrawOverride(plugin::current(), drawClassification.asChar(),
                                      registrantId.asChar(), creator));
}

MStatus MDrawRegistry::deregisterDrawOverrideCreator(const MString& drawClassification,
                                                     const MString& registrantId) {
    const std::string call =
        std::string("deregisterDrawOverrideCreator ") + drawClassification.asChar();
    return plugin::logRegistration(
        call, plugin::removeDrawOverride(drawClassification.asChar(), registrantId.asChar()));
}

}  // namespace MHWRender

namespace vp2 {

namespace {
struct StandInFrame : MHWRender::MFrameContext {};
}  // namespace

const MHWRender::MFrameContext& frameContext() {
    static const StandInFrame frame;
    return frame;
}

M3dView::DisplayStatus displayStatus(scene::NodeId node) {
    const scene::Scene& s = scene::theScene();
    const scene::Node* n = s.find(node);
    const std::vector<scene::NodeId>& selection = s.selection();
    const scene::NodeId parent = n != nullptr && n->parent != nullptr ? n->parent->id : 0;
    auto isNode = [&](scene::NodeId id) { return id == node || (parent != 0 && id == parent); };
    if (!selection.empty() && isNode(selection.back()))
        return M3dView::kLead;
    if (std::any_of(selection.begin(), selection.end(), isNode))
        return M3dView::kActive;
    return M3dView::kDormant;
}

}  // namespace vp2
