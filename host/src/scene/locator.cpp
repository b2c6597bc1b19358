// MPxLocatorNode, and the stand-in's calls into plug-in nodes: draw, bounds, compute.

#include <maya/MDataBlock.h>
#include <maya/MPxLocatorNode.h>

#include <host/scene.h>

#include "scene/access.h"
#include "scene/locator.h"

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

namespace scene {

void fail(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}

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

}  // namespace scene

namespace host {

using scene::copyBox;
using scene::fail;
using scene::locatorNamed;

bool drawLocator(const std::string& name, int style, int status, std::string* error) {
    scene::Node* n = scene::locatorNamed(name, error);
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
