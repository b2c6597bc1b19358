// Viewport 2.0's draw of a plug-in locator: the override registered for its type's
// classification, created for the node and drawn once.

#include <maya/MDagPath.h>
#include <maya/MPxDrawOverride.h>

#include <host/scene.h>

#include <memory>

#include "plugin/registry.h"
#include "scene/access.h"
#include "scene/locator.h"
#include "vp2/viewport2.h"

namespace {

using scene::fail;

// The override of the node's type, created for the node; null (and the reason) when none.
std::unique_ptr<MHWRender::MPxDrawOverride> createOverride(const scene::Node& n,
                                                           std::string* error) {
    const std::string classification = plugin::classificationOf(n.type->name);
    const plugin::DrawOverrideRecord* record = plugin::findDrawOverride(classification);
    if (record == nullptr) {
        fail(error, "No draw override is registered for the classification \"" + classification +
                        "\" of " + n.type->name);
        return nullptr;
    }
    std::unique_ptr<MHWRender::MPxDrawOverride> made(record->creator(MObjectAccess::forNode(n.id)));
    if (!made)
        fail(error, "The draw override creator of \"" + classification + "\" returned nothing");
    return made;
}

}  // namespace

namespace host {

bool drawLocatorOverride(const std::string& name, bool* bounded, double min[3], double max[3],
                         std::string* error) {
    scene::Node* n = scene::locatorNamed(name, error);
    if (n == nullptr)
        return false;
    try {
        const std::unique_ptr<MHWRender::MPxDrawOverride> drawer = createOverride(*n, error);
        if (!drawer)
            return false;
        const MDagPath path = MDagPathAccess::make(n->id);
        const MDagPath camera;
        if (bounded != nullptr) {
            *bounded = drawer->isBounded(path, camera);
            scene::copyBox(drawer->boundingBox(path, camera), min, max);
        }
        const MHWRender::MFrameContext& frame = vp2::frameContext();
        std::unique_ptr<MUserData> data(drawer->prepareForDraw(path, camera, frame, nullptr));
        if (drawer->hasUIDrawables()) {
            MHWRender::MUIDrawManagerAccess::draw([&](MHWRender::MUIDrawManager& manager) {
                drawer->addUIDrawables(path, manager, frame, data.get());
            });
        }
    } catch (...) {
        fail(error, "the draw override threw an exception");
        return false;
    }
    return true;
}

}  // namespace host
