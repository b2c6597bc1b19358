// MObject, MFnBase and MPxNode: handles, the base function set and the plug-in node base.

#include <maya/MDataBlock.h>
#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>

#include <host/faults.h>

#include "scene/access.h"
#include "scene/api_util.h"

MObject MObject::kNullObj;

namespace scene {

namespace {

// A node's own kind first, then the kinds it also is, down to kBase.
std::vector<MFn::Type> kindsOfType(const NodeType& type) {
    std::vector<MFn::Type> kinds{type.apiType};
    switch (type.kind) {
        case Kind::World:
            kinds.push_back(MFn::kDagNode);
            break;
        case Kind::Transform:
            kinds.push_back(MFn::kDagNode);
            break;
        case Kind::PointConstraint:
        case Kind::OrientConstraint:
            kinds.insert(kinds.end(), {MFn::kConstraint, MFn::kTransform, MFn::kDagNode});
            break;
        case Kind::Locator:
            kinds.insert(kinds.end(), {MFn::kLocator, MFn::kShape, MFn::kDagNode});
            break;
        case Kind::Mesh:
            kinds.insert(kinds.end(), {MFn::kShape, MFn::kDagNode});
            break;
        case Kind::AnimCurve:
            kinds.push_back(MFn::kAnimCurve);
            break;
        case Kind::PluginDepend:
            break;
    }
    kinds.insert(kinds.end(), {MFn::kDependencyNode, MFn::kBase});
    return kinds;
}

}  // namespace

std::vector<MFn::Type> kindsOf(const MObject& object) {
    if (MObjectAccess::isAttribute(object)) {
        const AttrDef* a = attribute(MObjectAccess::attrId(object));
        if (a == nullptr) {
            return {};
        }
        MFn::Type own = a->type == AttrType::Compound ? MFn::kCompoundAttribute
                        : (a->type == AttrType::Distance || a->type == AttrType::Angle ||
                           a->type == AttrType::Time)
                            ? MFn::kUnitAttribute
                            : MFn::kNumericAttribute;
        return {own, MFn::kAttribute, MFn::kBase};
    }
    const Node* n = nodeOf(object);
    const NodeType* type =
        n != nullptr ? n->type : theScene().reservedType(MObjectAccess::nodeId(object));
    return type != nullptr ? kindsOfType(*type) : std::vector<MFn::Type>{};
}

bool objectHasFn(const MObject& object, MFn::Type type) {
    for (MFn::Type t : kindsOf(object)) {
        if (t == type) {
            return true;
        }
    }
    return false;
}

void setStatus(MStatus* status, MStatus::MStatusCode code) {
    if (status != nullptr) {
        *status = code;
    }
}

}  // namespace scene

MFn::Type MObject::apiType() const {
    std::vector<MFn::Type> kinds = scene::kindsOf(*this);
    return kinds.empty() ? MFn::kInvalid : kinds.front();
}

bool MObject::hasFn(MFn::Type type) const {
    return scene::objectHasFn(*this, type);
}

const char* MObject::apiTypeStr() const {
    switch (apiType()) {
        case MFn::kWorld:
            return "kWorld";
        case MFn::kTransform:
            return "kTransform";
        case MFn::kPluginLocatorNode:
            return "kPluginLocatorNode";
        case MFn::kPluginDependNode:
            return "kPluginDependNode";
        case MFn::kMesh:
            return "kMesh";
        case MFn::kPointConstraint:
            return "kPointConstraint";
        case MFn::kOrientConstraint:
            return "kOrientConstraint";
        case MFn::kAnimCurveTimeToAngular:
            return "kAnimCurveTimeToAngular";
        case MFn::kAnimCurveTimeToDistance:
            return "kAnimCurveTimeToDistance";
        case MFn::kAnimCurveTimeToTime:
            return "kAnimCurveTimeToTime";
        case MFn::kAnimCurveTimeToUnitless:
            return "kAnimCurveTimeToUnitless";
        case MFn::kUnitAttribute:
            return "kUnitAttribute";
        case MFn::kNumericAttribute:
            return "kNumericAttribute";
        case MFn::kCompoundAttribute:
            return "kCompoundAttribute";
        default:
            return "kInvalid";
    }
}

// --- MFnBase -------------------------------------------------------------------------------

MFn::Type MFnBase::type() const {
    return MFn::kBase;
}

bool MFnBase::hasObj(MFn::Type t) const {
    return object_.hasFn(t);
}

bool MFnBase::hasObj(const MObject& object) const {
    return object.hasFn(type());
}

MObject MFnBase::object(MStatus* ReturnStatus) const {
    scene::setStatus(ReturnStatus,
                     object_.isNull() ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return object_;
}

MStatus MFnBase::setObject(const MObject& object) {
    if (!object.hasFn(type())) {
        object_ = MObject();
        return MStatus::kInvalidParameter;
    }
    object_ = object;
    return MStatus::kSuccess;
}

// --- MPxNode -------------------------------------------------------------------------------

MPxNode::MPxNode() = default;
MPxNode::~MPxNode() = default;

void MPxNode::postConstructor() {}

MStatus MPxNode::compute(const MPlug&, MDataBlock&) {
    return MStatus::kUnknownParameter;
}

MPxNode::Type MPxNode::type() const {
    return kDependNode;
}

bool MPxNode::getInternalValue(const MPlug&, MDataHandle&) {
    return false;
}
bool MPxNode::setInternalValue(const MPlug&, const MDataHandle&) {
    return false;
}
void MPxNode::copyInternalData(MPxNode*) {}
MStatus MPxNode::legalConnection(const MPlug&, const MPlug&, bool, bool&) const {
    return MStatus::kUnknownParameter;
}
MStatus MPxNode::legalDisconnection(const MPlug&, const MPlug&, bool, bool&) const {
    return MStatus::kUnknownParameter;
}
MStatus MPxNode::setDependentsDirty(const MPlug&, MPlugArray&) {
    return MStatus::kSuccess;
}
MStatus MPxNode::connectionMade(const MPlug&, const MPlug&, bool) {
    return MStatus::kUnknownParameter;
}
MStatus MPxNode::connectionBroken(const MPlug&, const MPlug&, bool) {
    return MStatus::kUnknownParameter;
}
MStatus MPxNode::shouldSave(const MPlug&, bool&) {
    return MStatus::kUnknownParameter;
}
bool MPxNode::isAbstractClass() const {
    return false;
}

MObject MPxNode::thisMObject() const {
    return node_ == 0 ? MObject() : MObjectAccess::forNode(node_);
}

MTypeId MPxNode::typeId() const {
    const scene::Node* n = scene::theScene().find(node_);
    return n != nullptr ? MTypeId(n->type->typeId) : MTypeId();
}

MString MPxNode::typeName() const {
    const scene::Node* n = scene::theScene().find(node_);
    return n != nullptr ? MString(n->type->name.c_str()) : MString();
}

MString MPxNode::name() const {
    const scene::Node* n = scene::theScene().find(node_);
    return n != nullptr ? MString(n->name.c_str()) : MString();
}

MStatus MPxNode::addAttribute(const MObject& attr) {
    scene::NodeType* type = scene::typeBeingInitialized();
    scene::AttrDef* def = scene::attribute(MObjectAccess::attrId(attr));
    if (type == nullptr || def == nullptr || def->parent >= 0) {
        return MStatus::kFailure;
    }
    if (host::faultInjected(host::Fault::AddAttribute, def->longName)) {
        return MStatus::kFailure;
    }
    for (scene::AttrId id : type->attributes) {
        const scene::AttrDef* other = scene::attribute(id);
        if (other->longName == def->longName || other->shortName == def->shortName ||
            other->longName == def->shortName || other->shortName == def->longName) {
            return MStatus::kFailure;  // the host refuses a second attribute of that name
        }
    }
    type->attributes.push_back(MObjectAccess::attrId(attr));
    for (scene::AttrId child : def->children) {
        type->attributes.push_back(child);
    }
    return MStatus::kSuccess;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected) {
    // Plugs are evaluated on demand here, so dependencies need no bookkeeping; both
    // attributes must still be the type's own.
    scene::NodeType* type = scene::typeBeingInitialized();
    if (type == nullptr) {
        return MStatus::kFailure;
    }
    auto owned = [type](const MObject& a) {
        scene::AttrId id = MObjectAccess::attrId(a);
        for (scene::AttrId x : type->attributes) {
            if (x == id) {
                return true;
            }
        }
        return false;
    };
    return owned(whenChanges) && owned(isAffected) ? MStatus::kSuccess : MStatus::kInvalidParameter;
}
