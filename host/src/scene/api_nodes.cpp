// MFnDependencyNode, MFnDagNode and MDagPath.

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPlugArray.h>

#include "scene/access.h"
#include "scene/api_util.h"

using scene::setStatus;

namespace {

scene::Scene& S() {
    return scene::theScene();
}

// The attached node, if it still exists; sets the status either way.
scene::Node* attached(const MObject& object, MStatus* status) {
    scene::Node* n = scene::nodeOf(object);
    setStatus(status, n != nullptr ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return n;
}

MString text(const std::string& s) {
    return MString(s.c_str());
}

bool isShapeType(const scene::NodeType& t) {
    return t.kind == scene::Kind::Locator || t.kind == scene::Kind::Mesh;
}

}  // namespace

// --- MFnDependencyNode ---------------------------------------------------------------------

MFnDependencyNode::MFnDependencyNode(const MObject& object, MStatus* ReturnStatus) {
    MStatus s = setObject(object);
    setStatus(ReturnStatus, s.statusCode());
}

MFn::Type MFnDependencyNode::type() const {
    return MFn::kDependencyNode;
}

MStatus MFnDependencyNode::setObject(const MObject& object) {
    return MFnBase::setObject(object);
}

MObject MFnDependencyNode::create(const MString& type, MStatus* ReturnStatus) {
    return create(type, MString(), ReturnStatus);
}

MObject MFnDependencyNode::create(const MString& type, const MString& name, MStatus* ReturnStatus) {
    const scene::NodeType* t = scene::findType(type.asChar());
    if (t == nullptr || t->kind == scene::Kind::AnimCurve) {
        // Curves are made for a plug through MFnAnimCurve::create.
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    if (t->kind != scene::Kind::PluginDepend) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);  // DAG types: MFnDagNode
        return MObject();
    }
    scene::Node* n = S().createNode(*t, name.asChar(), nullptr);
    if (n == nullptr) {
        setStatus(ReturnStatus, MStatus::kFailure);
        return MObject();
    }
    object_ = MObjectAccess::forNode(n->id);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return object_;
}

MObject MFnDependencyNode::create(const MTypeId& typeId, MStatus* ReturnStatus) {
    const scene::NodeType* t = scene::findTypeById(typeId.id());
    if (t == nullptr) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    return create(MString(t->name.c_str()), ReturnStatus);
}

MString MFnDependencyNode::name(MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    return n != nullptr ? text(n->name) : MString();
}

MString MFnDependencyNode::setName(const MString& name, MStatus* ReturnStatus) {
    scene::Node* n = attached(object_, ReturnStatus);
    if (n == nullptr) {
        return MString();
    }
    if (scene::validName(name.asChar()).empty()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return text(n->name);
    }
    return text(S().rename(n, name.asChar()));
}

MTypeId MFnDependencyNode::typeId(MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    return n != nullptr ? MTypeId(n->type->typeId) : MTypeId();
}

MString MFnDependencyNode::typeName(MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    return n != nullptr ? text(n->type->name) : MString();
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    if (n == nullptr) {
        return MPlug();
    }
    scene::AttrId a = S().findAttribute(n, attrName.asChar());
    if (a < 0) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MPlug();
    }
    return MPlugAccess::make(n->id, a);
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, bool, MStatus* ReturnStatus) const {
    return findPlug(attrName, ReturnStatus);
}

MPlug MFnDependencyNode::findPlug(const MObject& attr, MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    if (n == nullptr) {
        return MPlug();
    }
    MPlug plug(object_, attr);
    setStatus(ReturnStatus, plug.isNull() ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return plug;
}

MPlug MFnDependencyNode::findPlug(const MObject& attr, bool, MStatus* ReturnStatus) const {
    return findPlug(attr, ReturnStatus);
}

MStatus MFnDependencyNode::getConnections(MPlugArray& array) const {
    array.clear();
    MStatus status;
    scene::Node* n = attached(object_, &status);
    if (n == nullptr) {
        return status;
    }
    for (scene::AttrId a : n->type->attributes) {
        bool connected = false;
        for (const scene::Connection& c : S().connections()) {
            connected = connected || (c.source.node == n->id && c.source.attr == a) ||
                        (c.destination.node == n->id && c.destination.attr == a);
        }
        if (connected) {
            array.append(MPlugAccess::make(n->id, a));
        }
    }
    return MStatus::kSuccess;  // no connections: an empty array
}

unsigned int MFnDependencyNode::attributeCount(MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    return n != nullptr ? static_cast<unsigned int>(n->type->attributes.size()) : 0;
}

MObject MFnDependencyNode::attribute(unsigned int index, MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    if (n == nullptr || index >= n->type->attributes.size()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    return MObjectAccess::forAttribute(n->type->attributes[index]);
}

MObject MFnDependencyNode::attribute(const MString& attrName, MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    scene::AttrId a = n != nullptr ? S().findAttribute(n, attrName.asChar()) : -1;
    if (a < 0) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    return MObjectAccess::forAttribute(a);
}

bool MFnDependencyNode::hasAttribute(const MString& attrName, MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    return n != nullptr && S().findAttribute(n, attrName.asChar()) >= 0;
}

MPxNode* MFnDependencyNode::userNode(MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    if (n == nullptr || !n->user) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return NULL;
    }
    return n->user.get();
}

// --- MFnDagNode ----------------------------------------------------------------------------

MFnDagNode::MFnDagNode(const MObject& object, MStatus* ReturnStatus) {
    MStatus s = setObject(object);
    setStatus(ReturnStatus, s.statusCode());
}

MFnDagNode::MFnDagNode(const MDagPath& path, MStatus* ReturnStatus) {
    MStatus s = setObject(path);
    setStatus(ReturnStatus, s.statusCode());
}

MFn::Type MFnDagNode::type() const {
    return MFn::kDagNode;
}

MStatus MFnDagNode::setObject(MObject& object) {
    return MFnBase::setObject(object);
}

MStatus MFnDagNode::setObject(const MObject& object) {
    return MFnBase::setObject(object);
}

MStatus MFnDagNode::setObject(const MDagPath& path) {
    return MFnBase::setObject(path.node());
}

MObject MFnDagNode::create(const MString& type, MObject& parent, MStatus* ReturnStatus) {
    return create(type, MString(), parent, ReturnStatus);
}

MObject MFnDagNode::create(const MString& type, const MString& name, MObject& parent,
                           MStatus* ReturnStatus) {
    const scene::NodeType* t = scene::findType(type.asChar());
    scene::Node* p = parent.isNull() ? nullptr : scene::nodeOf(parent);
    if (t == nullptr || t->kind == scene::Kind::AnimCurve || t->kind == scene::Kind::PluginDepend ||
        (!parent.isNull() && p == nullptr) || (p != nullptr && !p->isDag())) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    if (p != nullptr && p->kind() != scene::Kind::Transform && p != S().world()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);  // shapes hold no children
        return MObject();
    }
    scene::Node* top = nullptr;
    scene::Node* made = nullptr;
    if (isShapeType(*t) && p == nullptr) {
        top = S().createNode(scene::builtinType(scene::Kind::Transform), "", nullptr);
        made = S().createNode(*t, name.asChar(), top);
        if (made == nullptr) {
            S().deleteNode(top);
        }
    } else {
        made = top = S().createNode(*t, name.asChar(), p);
    }
    if (made == nullptr) {
        setStatus(ReturnStatus, MStatus::kFailure);
        return MObject();
    }
    object_ = MObjectAccess::forNode(made->id);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MObjectAccess::forNode(top->id);
}

unsigned int MFnDagNode::parentCount(MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    return n != nullptr && n->parent != nullptr ? 1u : 0u;
}

MObject MFnDagNode::parent(unsigned int index, MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    if (n == nullptr || n->parent == nullptr || index != 0) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    return MObjectAccess::forNode(n->parent->id);
}

unsigned int MFnDagNode::childCount(MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    return n != nullptr ? static_cast<unsigned int>(n->children.size()) : 0u;
}

MObject MFnDagNode::child(unsigned int index, MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    if (n == nullptr || index >= n->children.size()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    return MObjectAccess::forNode(n->children[index]->id);
}

bool MFnDagNode::hasParent(const MObject& node, MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    return n != nullptr && n->parent != nullptr && n->parent == scene::nodeOf(node);
}

bool MFnDagNode::hasChild(const MObject& node, MStatus* ReturnStatus) const {
    scene::Node* n = attached(object_, ReturnStatus);
    scene::Node* c = scene::nodeOf(node);
    return n != nullptr && c != nullptr && c->parent == n;
}

bool MFnDagNode::isChildOf(const MObject& node, MStatus* ReturnStatus) const {
    return hasParent(node, ReturnStatus);
}

bool MFnDagNode::isParentOf(const MObject& node, MStatus* ReturnStatus) const {
    return hasChild(node, ReturnStatus);
}

MStatus MFnDagNode::addChild(MObject& child, unsigned int index, bool keepExistingParents) {
    MStatus status;
    scene::Node* n = attached(object_, &status);
    scene::Node* c = scene::nodeOf(child);
    if (n == nullptr || c == nullptr) {
        return MStatus::kInvalidParameter;
    }
    if (keepExistingParents || index != kNextPos) {
        return MStatus::kNotImplemented;
    }
    return S().reparent(c, n).empty() ? MStatus::kSuccess : MStatus::kInvalidParameter;
}

MString MFnDagNode::fullPathName(MStatus* ReturnStatus) {
    scene::Node* n = attached(object_, ReturnStatus);
    return n != nullptr ? text(S().fullPath(n)) : MString();
}

MString MFnDagNode::partialPathName(MStatus* ReturnStatus) {
    scene::Node* n = attached(object_, ReturnStatus);
    return n != nullptr ? text(S().shortestUniqueName(n)) : MString();
}

MStatus MFnDagNode::getPath(MDagPath& path) {
    return MDagPath::getAPathTo(object_, path);
}

MDagPath MFnDagNode::dagPath(MStatus* ReturnStatus) const {
    MDagPath path;
    MStatus s = MDagPath::getAPathTo(object_, path);
    setStatus(ReturnStatus, s.statusCode());
    return path;
}

// --- MDagPath ------------------------------------------------------------------------------

namespace {

scene::Node* pathNode(const MDagPath& path, MStatus* status) {
    scene::Node* n = S().find(MDagPathAccess::nodeId(path));
    setStatus(status, n != nullptr ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return n;
}

}  // namespace

MStatus MDagPath::getAPathTo(const MObject& node, MDagPath& path) {
    scene::Node* n = scene::nodeOf(node);
    if (n == nullptr || !n->isDag()) {
        return MStatus::kInvalidParameter;
    }
    path = MDagPathAccess::make(n->id);
    return MStatus::kSuccess;
}

bool MDagPath::hasFn(MFn::Type type, MStatus* ReturnStatus) const {
    return node(ReturnStatus).hasFn(type);
}

MFn::Type MDagPath::apiType(MStatus* ReturnStatus) const {
    return node(ReturnStatus).apiType();
}

bool MDagPath::isValid(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return S().find(node_) != nullptr;
}

MObject MDagPath::node(MStatus* ReturnStatus) const {
    scene::Node* n = pathNode(*this, ReturnStatus);
    return n != nullptr ? MObjectAccess::forNode(n->id) : MObject();
}

MObject MDagPath::transform(MStatus* ReturnStatus) const {
    scene::Node* n = pathNode(*this, ReturnStatus);
    if (n == nullptr) {
        return MObject();
    }
    scene::Kind k = n->kind();
    bool isTransform = k == scene::Kind::Transform || k == scene::Kind::PointConstraint ||
                       k == scene::Kind::OrientConstraint;
    if (!isTransform && n->parent != nullptr && n->parent != S().world()) {
        n = n->parent;
    } else if (!isTransform) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    return MObjectAccess::forNode(n->id);
}

unsigned int MDagPath::length(MStatus* ReturnStatus) const {
    scene::Node* n = pathNode(*this, ReturnStatus);
    unsigned int count = 0;
    for (; n != nullptr && n != S().world(); n = n->parent) {
        ++count;
    }
    return count;
}

MStatus MDagPath::push(const MObject& child) {
    scene::Node* n = S().find(node_);
    scene::Node* c = scene::nodeOf(child);
    if (n == nullptr || c == nullptr || c->parent != n) {
        return MStatus::kInvalidParameter;
    }
    node_ = c->id;
    return MStatus::kSuccess;
}

MStatus MDagPath::pop(unsigned int num) {
    scene::Node* n = S().find(node_);
    for (unsigned int i = 0; i < num; ++i) {
        if (n == nullptr || n == S().world()) {
            return MStatus::kInvalidParameter;
        }
        n = n->parent;
    }
    node_ = n != nullptr ? n->id : 0;
    return MStatus::kSuccess;
}

unsigned int MDagPath::childCount(MStatus* ReturnStatus) const {
    scene::Node* n = pathNode(*this, ReturnStatus);
    return n != nullptr ? static_cast<unsigned int>(n->children.size()) : 0u;
}

MObject MDagPath::child(unsigned int index, MStatus* ReturnStatus) const {
    scene::Node* n = pathNode(*this, ReturnStatus);
    if (n == nullptr || index >= n->children.size()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    return MObjectAccess::forNode(n->children[index]->id);
}

MString MDagPath::fullPathName(MStatus* ReturnStatus) const {
    scene::Node* n = pathNode(*this, ReturnStatus);
    return n != nullptr ? text(S().fullPath(n)) : MString();
}

MString MDagPath::partialPathName(MStatus* ReturnStatus) const {
    scene::Node* n = pathNode(*this, ReturnStatus);
    return n != nullptr ? text(S().shortestUniqueName(n)) : MString();
}
