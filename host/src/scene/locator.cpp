// MPxLocatorNode, and the stand-in's calls into plug-in nodes: draw (in the legacy viewport
// and in Viewport 2.0), bounds, compute.

#include <maya/MDataBlock.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxLocatorNode.h>

#include <host/scene.h>

#include <memory>

#include "plugin/registry.h"
#include "scene/access.h"
#include "vp2/viewport2.h"

MPxLocatorNode::MPxLocatorNode() = default;
MPxLocatorNode::~MPxLocatorNode() = default;

MPxNode::Type MPxLocatorNode::type() const {
    return kLocatorNode;
}

void MPxLocatorNode::draw(M3dView&, const MDagPath&, M3dView::DisplayStyle,
                          M3dView::DisplayStatus) {}

bool MPxLocatorNode::isBounded() const {
    return false;
}

MBoundingBox MPxLocatorNode::boundingBox() const {
    return MBoundingBox();
}

bool MPxLocatorNode::excludeAsLocator() const {
    return true;
}

namespace {

void fail(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}

// The plug-in locator shape a name means: the shape itself, or the transform above it.
scene::Node* locatorNamed(const std::string& name, std::string* error) {
    scene::Scene& s = scene::theScene();
    std::string lookupError;
    scene::Node* n = s.lookup(name, &lookupError);
    if (n == nullptr) {
        fail(error, lookupError);
        return nullptr;
    }
    if (n->kind() != scene::Kind::Locator) {
        for (scene::Node* c : n->children) {
            if (c->kind() == scene::Kind::Locator) {
                return c;
            }
        }
        fail(error, "Not a plug-in locator: " + name);
        return nullptr;
    }
    return n;
}

void copyBox(const MBoundingBox& box, double min[3], double max[3]) {
    const MPoint lo = box.min(), hi = box.max();
    for (unsigned i = 0; i < 3; ++i) {
        min[i] = lo[i];
        max[i] = hi[i];
    }
}

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
    scene::Node* n = locatorNamed(name, error);
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
            copyBox(drawer->boundingBox(path, camera), min, max);
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

bool drawLocator(const std::string& name, int style, int status, std::string* error) {
    scene::Node* n = locatorNamed(name, error);
    if (n == nullptr) {
        return false;
    }
    auto* locator = dynamic_cast<MPxLocatorNode*>(n->user.get());
    if (locator == nullptr) {
        fail(error, "The node's object is not a locator: " + name);
        return false;
    }
    M3dView view = M3dView::active3dView();
    try {
        locator->draw(view, MDagPathAccess::make(n->id), static_cast<M3dView::DisplayStyle>(style),
                      static_cast<M3dView::DisplayStatus>(status));
    } catch (...) {
        fail(error, "draw threw an exception");
        return false;
    }
    return true;
}

bool locatorBounds(const std::string& name, bool* bounded, double min[3], double max[3],
                   std::string* error) {
    scene::Node* n = locatorNamed(name, error);
    auto* locator = n != nullptr ? dynamic_cast<MPxLocatorNode*>(n->user.get()) : nullptr;
    if (locator == nullptr) {
        if (n != nullptr) {
            fail(error, "The node's object is not a locator: " + name);
        }
        return false;
    }
    try {
        *bounded = locator->isBounded();
        copyBox(locator->boundingBox(), min, max);
    } catch (...) {
        fail(error, "isBounded or boundingBox threw an exception");
        return false;
    }
    return true;
}

int computePlug(const std::string& plugName, std::string* error) {
    scene::Scene& s = scene::theScene();
    size_t dot = plugName.rfind('.');
    std::string lookupError;
    scene::Node* n =
        dot == std::string::npos ? nullptr : s.lookup(plugName.substr(0, dot), &lookupError);
    if (n == nullptr) {
        fail(error, lookupError.empty() ? "Not a plug: " + plugName : lookupError);
        return -1;
    }
    if (n->kind() != scene::Kind::Locator && n->kind() != scene::Kind::PluginDepend) {
        for (scene::Node* c : n->children) {
            if (c->user) {
                n = c;
                break;
            }
        }
    }
    scene::AttrId attr = s.findAttribute(n, plugName.substr(dot + 1));
    if (!n->user || attr < 0) {
        fail(error, "No plug-in node attribute: " + plugName);
        return -1;
    }
    MDataBlock data;
    try {
        return n->user->compute(MPlugAccess::make(n->id, attr), data).statusCode();
    } catch (...) {
        fail(error, "compute threw an exception");
        return -1;
    }
}

}  // namespace host
