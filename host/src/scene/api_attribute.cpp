// MFnAttribute and MFnUnitAttribute.

#include <maya/MFnAttribute.h>
#include <maya/MFnUnitAttribute.h>

#include "scene/access.h"
#include "scene/api_util.h"

using scene::setStatus;

namespace {

scene::AttrDef* defOf(const MObject& object, MStatus* status) {
    scene::AttrDef* a = scene::attribute(MObjectAccess::attrId(object));
    setStatus(status, a != nullptr ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a;
}

}  // namespace

MFnAttribute::MFnAttribute(const MObject& object, MStatus* ReturnStatus) {
    MStatus s = setObject(object);
    setStatus(ReturnStatus, s.statusCode());
}

MFn::Type MFnAttribute::type() const {
    return MFn::kAttribute;
}
MStatus MFnAttribute::setObject(const MObject& object) {
    return MFnBase::setObject(object);
}

MString MFnAttribute::name(MStatus* ReturnStatus) const {
    scene::AttrDef* a = defOf(object_, ReturnStatus);
    return a != nullptr ? MString(a->longName.c_str()) : MString();
}

MString MFnAttribute::shortName(MStatus* ReturnStatus) const {
    scene::AttrDef* a = defOf(object_, ReturnStatus);
    return a != nullptr ? MString(a->shortName.c_str()) : MString();
}

bool MFnAttribute::isKeyable(MStatus* ReturnStatus) const {
    scene::AttrDef* a = defOf(object_, ReturnStatus);
    return a != nullptr && a->keyable;
}

bool MFnAttribute::isWritable(MStatus* ReturnStatus) const {
    scene::AttrDef* a = defOf(object_, ReturnStatus);
    return a != nullptr && a->writable;
}

MStatus MFnAttribute::setKeyable(bool state) {
    MStatus s;
    scene::AttrDef* a = defOf(object_, &s);
    if (a != nullptr) {
        a->keyable = state;
    }
    return s;
}

MStatus MFnAttribute::setWritable(bool state) {
    MStatus s;
    scene::AttrDef* a = defOf(object_, &s);
    if (a != nullptr) {
        a->writable = state;
    }
    return s;
}

MStatus MFnAttribute::setStorable(bool) {
    MStatus s;
    defOf(object_, &s);
    return s;
}

MStatus MFnAttribute::setReadable(bool) {
    MStatus s;
    defOf(object_, &s);
    return s;
}

MStatus MFnAttribute::setHidden(bool) {
    MStatus s;
    defOf(object_, &s);
    return s;
}

MFnUnitAttribute::MFnUnitAttribute(const MObject& object, MStatus* ReturnStatus) {
    MStatus s = setObject(object);
    setStatus(ReturnStatus, s.statusCode());
}

MFn::Type MFnUnitAttribute::type() const {
    return MFn::kUnitAttribute;
}
MStatus MFnUnitAttribute::setObject(const MObject& object) {
    return MFnBase::setObject(object);
}

MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName, Type unitType,
                                 double defaultValue, MStatus* ReturnStatus) {
    scene::AttrDef def;
    def.longName = fullName.asChar();
    def.shortName = briefName.asChar();
    def.defaultValue = defaultValue;
    switch (unitType) {
        case kAngle:
            def.type = scene::AttrType::Angle;
            break;
        case kDistance:
            def.type = scene::AttrType::Distance;
            break;
        case kTime:
            def.type = scene::AttrType::Time;
            break;
        default:
            setStatus(ReturnStatus, MStatus::kInvalidParameter);
            return MObject();
    }
    if (def.longName.empty() || def.shortName.empty() ||
        scene::validName(def.longName) != def.longName ||
        scene::validName(def.shortName) != def.shortName) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    object_ = MObjectAccess::forAttribute(scene::newAttribute(std::move(def)));
    setStatus(ReturnStatus, MStatus::kSuccess);
    return object_;
}

MFnUnitAttribute::Type MFnUnitAttribute::unitType(MStatus* ReturnStatus) const {
    scene::AttrDef* a = defOf(object_, ReturnStatus);
    if (a == nullptr) {
        return kInvalid;
    }
    switch (a->type) {
        case scene::AttrType::Angle:
            return kAngle;
        case scene::AttrType::Distance:
            return kDistance;
        case scene::AttrType::Time:
            return kTime;
        default:
            return kInvalid;
    }
}

MStatus MFnUnitAttribute::setDefault(double value) {
    MStatus s;
    scene::AttrDef* a = defOf(object_, &s);
    if (a != nullptr) {
        a->defaultValue = value;
    }
    return s;
}

MStatus MFnUnitAttribute::setDefault(const MDistance& value) {
    if (unitType() != kDistance) {
        return MStatus::kInvalidParameter;
    }
    return setDefault(value.as(MDistance::internalUnit()));
}

MStatus MFnUnitAttribute::setDefault(const MTime& value) {
    if (unitType() != kTime) {
        return MStatus::kInvalidParameter;
    }
    return setDefault(scene::toSeconds(value));
}

MStatus MFnUnitAttribute::getDefault(double& value) {
    MStatus s;
    scene::AttrDef* a = defOf(object_, &s);
    if (a != nullptr) {
        value = a->defaultValue;
    }
    return s;
}
