// MPlug, MPlugArray and MDGContext.

#include <algorithm>
#include <cmath>

#include <maya/MDGContext.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include "scene/access.h"
#include "scene/api_util.h"

using scene::setStatus;

MDGContext MDGContext::fsNormal;

MDGContext::MDGContext(const MTime& when) : normal_(false), time_(when) {}

bool MDGContext::isNormal(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return normal_;
}

MStatus MDGContext::getTime(MTime& when) const {
    if (normal_) {
        return MStatus::kInvalidParameter;
    }
    when = time_;
    return MStatus::kSuccess;
}

namespace {

// The node and attribute of a plug when both still exist and belong together.
bool resolve(const MPlug& plug, scene::Node** node, const scene::AttrDef** def) {
    scene::PlugRef ref = MPlugAccess::ref(plug);
    scene::Node* n = scene::theScene().find(ref.node);
    const scene::AttrDef* a = scene::attribute(ref.attr);
    if (n == nullptr || a == nullptr) {
        return false;
    }
    const auto& attrs = n->type->attributes;
    if (std::find(attrs.begin(), attrs.end(), ref.attr) == attrs.end()) {
        return false;
    }
    *node = n;
    *def = a;
    return true;
}

MStatus readValue(const MPlug& plug, const MDGContext& ctx, double* value) {
    scene::Node* node;
    const scene::AttrDef* def;
    if (!resolve(plug, &node, &def)) {
        return MStatus::kInvalidParameter;
    }
    if (def->type == scene::AttrType::Compound) {
        return MStatus::kInvalidParameter;  // read the children one by one
    }
    scene::Scene& s = scene::theScene();
    MTime when;
    double time = ctx.getTime(when) ? scene::toSeconds(when) : s.ranges().currentTime;
    *value = s.evaluate(MPlugAccess::ref(plug), time);
    return MStatus::kSuccess;
}

MStatus writeValue(const MPlug& plug, double value) {
    scene::Node* node;
    const scene::AttrDef* def;
    if (!resolve(plug, &node, &def)) {
        return MStatus::kInvalidParameter;
    }
    if (def->type == scene::AttrType::Compound || !def->writable) {
        return MStatus::kFailure;
    }
    scene::theScene().setStoredValue(node, MPlugAccess::ref(plug).attr, value);
    return MStatus::kSuccess;
}

}  // namespace

MPlug::MPlug(const MObject& node, const MObject& attribute) {
    node_ = MObjectAccess::nodeId(node);
    attr_ = MObjectAccess::attrId(attribute);
    scene::Node* n;
    const scene::AttrDef* a;
    if (!resolve(*this, &n, &a)) {
        node_ = 0;
        attr_ = -1;
    }
}

MObject MPlug::node(MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    bool ok = resolve(*this, &n, &a);
    setStatus(ReturnStatus, ok ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return ok ? MObjectAccess::forNode(node_) : MObject();
}

MObject MPlug::attribute(MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    bool ok = resolve(*this, &n, &a);
    setStatus(ReturnStatus, ok ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return ok ? MObjectAccess::forAttribute(attr_) : MObject();
}

MString MPlug::name(MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    if (!resolve(*this, &n, &a)) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MString();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MString(scene::theScene().plugName(MPlugAccess::ref(*this), true).c_str());
}

MString MPlug::partialName(bool includeNodeName, bool, bool, bool, bool, bool useLongNames,
                           MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    if (!resolve(*this, &n, &a)) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MString();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    std::string text = useLongNames ? a->longName : a->shortName;
    if (includeNodeName) {
        text = scene::theScene().shortestUniqueName(n) + "." + text;
    }
    return MString(text.c_str());
}

MString MPlug::info(MStatus* ReturnStatus) const {
    return name(ReturnStatus);
}

bool MPlug::isNull(MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    setStatus(ReturnStatus, MStatus::kSuccess);
    return !resolve(*this, &n, &a);
}

bool MPlug::isConnected(MStatus* ReturnStatus) const {
    MPlugArray plugs;
    return connectedTo(plugs, true, true, ReturnStatus);
}

bool MPlug::connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus) const {
    array.clear();
    scene::Node* n;
    const scene::AttrDef* a;
    if (!resolve(*this, &n, &a)) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return false;
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    scene::PlugRef self = MPlugAccess::ref(*this);
    for (const scene::Connection& c : scene::theScene().connections()) {
        if (asDst && c.destination == self) {
            array.append(MPlugAccess::make(c.source.node, c.source.attr));
        }
        if (asSrc && c.source == self) {
            array.append(MPlugAccess::make(c.destination.node, c.destination.attr));
        }
    }
    return array.length() > 0;
}

bool MPlug::isCompound(MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    bool ok = resolve(*this, &n, &a);
    setStatus(ReturnStatus, ok ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return ok && a->type == scene::AttrType::Compound;
}

unsigned int MPlug::numChildren(MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    bool ok = resolve(*this, &n, &a);
    setStatus(ReturnStatus, ok ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return ok ? static_cast<unsigned int>(a->children.size()) : 0;
}

MPlug MPlug::child(unsigned int index, MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    if (!resolve(*this, &n, &a) || index >= a->children.size()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MPlug();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MPlugAccess::make(node_, a->children[index]);
}

MPlug MPlug::child(MObject& attr, MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    scene::AttrId id = MObjectAccess::attrId(attr);
    if (!resolve(*this, &n, &a) ||
        std::find(a->children.begin(), a->children.end(), id) == a->children.end()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MPlug();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MPlugAccess::make(node_, id);
}

bool MPlug::isChild(MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    bool ok = resolve(*this, &n, &a);
    setStatus(ReturnStatus, ok ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return ok && a->parent >= 0;
}

MPlug MPlug::parent(MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    if (!resolve(*this, &n, &a) || a->parent < 0) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MPlug();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MPlugAccess::make(node_, a->parent);
}

bool MPlug::isKeyable(MStatus* ReturnStatus) const {
    scene::Node* n;
    const scene::AttrDef* a;
    bool ok = resolve(*this, &n, &a);
    setStatus(ReturnStatus, ok ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return ok && a->keyable && a->writable && a->type != scene::AttrType::Compound;
}

MStatus MPlug::getValue(double& value, MDGContext& ctx) const {
    return readValue(*this, ctx, &value);
}

MStatus MPlug::getValue(float& value, MDGContext& ctx) const {
    double v = 0;
    MStatus s = readValue(*this, ctx, &v);
    if (s) {
        value = static_cast<float>(v);
    }
    return s;
}

MStatus MPlug::getValue(int& value, MDGContext& ctx) const {
    double v = 0;
    MStatus s = readValue(*this, ctx, &v);
    if (s) {
        value = static_cast<int>(std::lround(v));
    }
    return s;
}

MStatus MPlug::getValue(bool& value, MDGContext& ctx) const {
    double v = 0;
    MStatus s = readValue(*this, ctx, &v);
    if (s) {
        value = v != 0.0;
    }
    return s;
}

MStatus MPlug::getValue(MDistance& value, MDGContext& ctx) const {
    double v = 0;
    MStatus s = readValue(*this, ctx, &v);
    if (s) {
        value = MDistance(v, MDistance::internalUnit());
    }
    return s;
}

MStatus MPlug::getValue(MTime& value, MDGContext& ctx) const {
    double v = 0;
    MStatus s = readValue(*this, ctx, &v);
    if (s) {
        value = scene::fromSeconds(v);
    }
    return s;
}

MStatus MPlug::setValue(double value) {
    return writeValue(*this, value);
}
MStatus MPlug::setValue(float value) {
    return writeValue(*this, value);
}
MStatus MPlug::setValue(int value) {
    return writeValue(*this, value);
}
MStatus MPlug::setValue(bool value) {
    return writeValue(*this, value ? 1.0 : 0.0);
}
MStatus MPlug::setValue(MDistance& value) {
    return writeValue(*this, value.as(MDistance::internalUnit()));
}
MStatus MPlug::setValue(MTime& value) {
    return writeValue(*this, scene::toSeconds(value));
}

bool MPlug::operator==(const MPlug& other) const {
    return node_ == other.node_ && attr_ == other.attr_;
}

// --- MPlugArray ----------------------------------------------------------------------------

MPlugArray::MPlugArray(unsigned int initialSize, const MPlug& initialValue)
    : items_(initialSize, initialValue) {}

const MPlug& MPlugArray::operator[](unsigned int index) const {
    return items_.at(index);
}
MPlug& MPlugArray::operator[](unsigned int index) {
    return items_.at(index);
}

MStatus MPlugArray::set(const MPlug& element, unsigned int index) {
    if (index >= items_.size()) {
        return MStatus::kInvalidParameter;
    }
    items_[index] = element;
    return MStatus::kSuccess;
}

MStatus MPlugArray::setLength(unsigned int length) {
    items_.resize(length);
    return MStatus::kSuccess;
}

MStatus MPlugArray::remove(unsigned int index) {
    if (index >= items_.size()) {
        return MStatus::kInvalidParameter;
    }
    items_.erase(items_.begin() + index);
    return MStatus::kSuccess;
}

MStatus MPlugArray::insert(const MPlug& element, unsigned int index) {
    if (index > items_.size()) {
        return MStatus::kInvalidParameter;
    }
    items_.insert(items_.begin() + index, element);
    return MStatus::kSuccess;
}

MStatus MPlugArray::append(const MPlug& element) {
    items_.push_back(element);
    return MStatus::kSuccess;
}

MStatus MPlugArray::clear() {
    items_.clear();
    return MStatus::kSuccess;
}
