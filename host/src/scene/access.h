#pragma once
// How the API layer reaches into the handle classes of the public headers: the scene gives
// a node or attribute handle its identity, and reads it back.

#include <maya/MObject.h>
#include <maya/MPxNode.h>

#include "scene/model.h"

struct MObjectAccess {
    static MObject forNode(scene::NodeId id) {
        MObject o;
        o.kind_ = 1;
        o.id_ = id;
        return o;
    }
    static MObject forAttribute(scene::AttrId id) {
        MObject o;
        o.kind_ = 2;
        o.id_ = static_cast<unsigned long long>(id);
        return o;
    }
    static bool isNode(const MObject& o) { return o.kind_ == 1; }
    static bool isAttribute(const MObject& o) { return o.kind_ == 2; }
    static scene::NodeId nodeId(const MObject& o) { return o.kind_ == 1 ? o.id_ : 0; }
    static scene::AttrId attrId(const MObject& o) {
        return o.kind_ == 2 ? static_cast<scene::AttrId>(o.id_) : -1;
    }
};

struct MPxNodeAccess {
    static void bind(MPxNode& node, scene::NodeId id) { node.node_ = id; }
    static scene::NodeId nodeId(const MPxNode& node) { return node.node_; }
};

namespace scene {

// The live node an object refers to, or null (null object, attribute, deleted node).
inline Node* nodeOf(const MObject& o) {
    return MObjectAccess::isNode(o) ? theScene().find(MObjectAccess::nodeId(o)) : nullptr;
}

}  // namespace scene

#include <maya/MDagPath.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

struct MPlugAccess {
    static MPlug make(scene::NodeId node, scene::AttrId attr) {
        MPlug p;
        p.node_ = node;
        p.attr_ = attr;
        return p;
    }
    static scene::PlugRef ref(const MPlug& p) { return {p.node_, p.attr_}; }
};

struct MDagPathAccess {
    static MDagPath make(scene::NodeId node) {
        MDagPath p;
        p.node_ = node;
        return p;
    }
    static scene::NodeId nodeId(const MDagPath& p) { return p.node_; }
};

struct MSelectionListAccess {
    static std::vector<unsigned long long>& items(MSelectionList& l) { return l.items_; }
    static const std::vector<unsigned long long>& items(const MSelectionList& l) {
        return l.items_;
    }
};
