// MFnAnimCurve and MAnimControl.

#include <algorithm>
#include <cmath>

#include <maya/MAnimControl.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MPlugArray.h>

#include "scene/access.h"
#include "scene/api_util.h"

using scene::setStatus;

namespace {

scene::Node* curveOf(const MObject& object, MStatus* status) {
    scene::Node* n = scene::nodeOf(object);
    bool ok = n != nullptr && n->isCurve();
    setStatus(status, ok ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return ok ? n : nullptr;
}

// Key `index` of the curve, or null (with an invalid-parameter status) when there is none.
const scene::Key* keyOf(const MObject& object, unsigned int index, MStatus* status) {
    const scene::Node* c = curveOf(object, status);
    if (c == nullptr || index >= c->keys.size()) {
        setStatus(status, MStatus::kInvalidParameter);
        return nullptr;
    }
    return &c->keys[index];
}

bool validTangent(int t) {
    return t >= MFnAnimCurve::kTangentGlobal && t <= MFnAnimCurve::kTangentStep;
}

}  // namespace

MFnAnimCurve::MFnAnimCurve(const MObject& object, MStatus* ReturnStatus) {
    MStatus s = setObject(object);
    setStatus(ReturnStatus, s.statusCode());
}

MFnAnimCurve::MFnAnimCurve(const MPlug& plug, MStatus* ReturnStatus) {
    MPlugArray sources;
    plug.connectedTo(sources, true, false);
    MStatus s = MStatus::kInvalidParameter;
    if (sources.length() > 0) {
        s = setObject(sources[0].node());
    }
    setStatus(ReturnStatus, s.statusCode());
}

MFn::Type MFnAnimCurve::type() const {
    return MFn::kAnimCurve;
}

MStatus MFnAnimCurve::setObject(const MObject& object) {
    return MFnBase::setObject(object);
}

MObject MFnAnimCurve::create(MPlug& plug, MDGModifier* modifier, MStatus* ReturnStatus) {
    if (modifier != NULL) {
        // Curves are made at once here; recording them in a modifier is not supported.
        setStatus(ReturnStatus, MStatus::kNotImplemented);
        return MObject();
    }
    if (plug.isNull()) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    std::string error;
    scene::Node* curve = scene::theScene().createCurveFor(MPlugAccess::ref(plug), &error);
    if (curve == nullptr) {
        setStatus(ReturnStatus, MStatus::kFailure);
        return MObject();
    }
    object_ = MObjectAccess::forNode(curve->id);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return object_;
}

MObject MFnAnimCurve::create(const MObject& node, const MObject& attribute, MDGModifier* modifier,
                             MStatus* ReturnStatus) {
    MPlug plug(node, attribute);
    return create(plug, modifier, ReturnStatus);
}

MFnAnimCurve::AnimCurveType MFnAnimCurve::animCurveType(MStatus* ReturnStatus) const {
    scene::Node* c = curveOf(object_, ReturnStatus);
    return c != nullptr ? static_cast<AnimCurveType>(c->curveType()) : kAnimCurveUnknown;
}

MStatus MFnAnimCurve::addKeyframe(const MTime& time, double value, TangentType tangentInType,
                                  TangentType tangentOutType, MAnimCurveChange* change) {
    MStatus status;
    scene::Node* c = curveOf(object_, &status);
    if (c == nullptr) {
        return status;
    }
    if (change != NULL) {
        return MStatus::kNotImplemented;  // no undo records here
    }
    double seconds = scene::toSeconds(time);
    if (!std::isfinite(seconds) || !std::isfinite(value) || !validTangent(tangentInType) ||
        !validTangent(tangentOutType)) {
        return MStatus::kInvalidParameter;
    }
    scene::Key key;
    key.time = seconds;
    key.value = value;
    key.inTangent = tangentInType;
    key.outTangent = tangentOutType;
    scene::Scene::addKey(c, key);
    return MStatus::kSuccess;
}

MStatus MFnAnimCurve::addKeyframe(const MTime& time, double value, MAnimCurveChange* change) {
    return addKeyframe(time, value, kTangentGlobal, kTangentGlobal, change);
}

MStatus MFnAnimCurve::remove(unsigned int index, MAnimCurveChange* change) {
    MStatus status;
    scene::Node* c = curveOf(object_, &status);
    if (c == nullptr) {
        return status;
    }
    if (change != NULL) {
        return MStatus::kNotImplemented;
    }
    if (index >= c->keys.size()) {
        return MStatus::kInvalidParameter;
    }
    c->keys.erase(c->keys.begin() + index);
    return MStatus::kSuccess;
}

unsigned int MFnAnimCurve::numKeys(MStatus* ReturnStatus) const {
    scene::Node* c = curveOf(object_, ReturnStatus);
    return c != nullptr ? static_cast<unsigned int>(c->keys.size()) : 0u;
}

unsigned int MFnAnimCurve::numKeyframes(MStatus* ReturnStatus) const {
    return numKeys(ReturnStatus);
}

MTime MFnAnimCurve::time(unsigned int index, MStatus* ReturnStatus) const {
    const scene::Key* k = keyOf(object_, index, ReturnStatus);
    return k != nullptr ? scene::fromSeconds(k->time) : MTime();
}

double MFnAnimCurve::value(unsigned int index, MStatus* ReturnStatus) const {
    const scene::Key* k = keyOf(object_, index, ReturnStatus);
    return k != nullptr ? k->value : 0.0;
}

MStatus MFnAnimCurve::setValue(unsigned int index, double value, MAnimCurveChange* change) {
    MStatus status;
    scene::Node* c = curveOf(object_, &status);
    if (c == nullptr) {
        return status;
    }
    if (change != NULL) {
        return MStatus::kNotImplemented;
    }
    if (index >= c->keys.size() || !std::isfinite(value)) {
        return MStatus::kInvalidParameter;
    }
    c->keys[index].value = value;
    return MStatus::kSuccess;
}

MFnAnimCurve::TangentType MFnAnimCurve::inTangentType(unsigned int index,
                                                      MStatus* ReturnStatus) const {
    const scene::Key* k = keyOf(object_, index, ReturnStatus);
    return k != nullptr ? static_cast<TangentType>(k->inTangent) : kTangentGlobal;
}

MFnAnimCurve::TangentType MFnAnimCurve::outTangentType(unsigned int index,
                                                       MStatus* ReturnStatus) const {
    const scene::Key* k = keyOf(object_, index, ReturnStatus);
    return k != nullptr ? static_cast<TangentType>(k->outTangent) : kTangentGlobal;
}

bool MFnAnimCurve::find(const MTime& time, unsigned int& index, MStatus* ReturnStatus) const {
    scene::Node* c = curveOf(object_, ReturnStatus);
    if (c == nullptr) {
        return false;
    }
    double seconds = scene::toSeconds(time);
    for (size_t i = 0; i < c->keys.size(); ++i) {
        if (std::fabs(c->keys[i].time - seconds) <= 1e-9) {
            index = static_cast<unsigned int>(i);
            return true;
        }
    }
    return false;
}

double MFnAnimCurve::evaluate(const MTime& atTime, MStatus* ReturnStatus) const {
    scene::Node* c = curveOf(object_, ReturnStatus);
    return c != nullptr ? scene::Scene::evaluateCurve(c, scene::toSeconds(atTime)) : 0.0;
}

MStatus MFnAnimCurve::evaluate(const MTime& atTime, double& value) const {
    MStatus status;
    double v = evaluate(atTime, &status);
    if (status) {
        value = v;
    }
    return status;
}

// --- MAnimControl --------------------------------------------------------------------------

namespace {

scene::Ranges& ranges() {
    return scene::theScene().ranges();
}

}  // namespace

MTime MAnimControl::minTime() {
    return scene::fromSeconds(ranges().minTime);
}
MTime MAnimControl::maxTime() {
    return scene::fromSeconds(ranges().maxTime);
}
MTime MAnimControl::animationStartTime() {
    return scene::fromSeconds(ranges().animationStart);
}
MTime MAnimControl::animationEndTime() {
    return scene::fromSeconds(ranges().animationEnd);
}
MTime MAnimControl::currentTime() {
    return scene::fromSeconds(ranges().currentTime);
}

MStatus MAnimControl::setMinMaxTime(const MTime& min, const MTime& max) {
    double lo = scene::toSeconds(min), hi = scene::toSeconds(max);
    if (!std::isfinite(lo) || !std::isfinite(hi) || lo > hi) {
        return MStatus::kInvalidParameter;
    }
    scene::Ranges& r = ranges();
    r.minTime = lo;
    r.maxTime = hi;
    r.animationStart = std::min(r.animationStart, lo);
    r.animationEnd = std::max(r.animationEnd, hi);
    return MStatus::kSuccess;
}

MStatus MAnimControl::setMinTime(const MTime& min) {
    return setMinMaxTime(min, scene::fromSeconds(ranges().maxTime));
}

MStatus MAnimControl::setMaxTime(const MTime& max) {
    return setMinMaxTime(scene::fromSeconds(ranges().minTime), max);
}

MStatus MAnimControl::setAnimationStartEndTime(const MTime& start, const MTime& end) {
    double lo = scene::toSeconds(start), hi = scene::toSeconds(end);
    if (!std::isfinite(lo) || !std::isfinite(hi) || lo > hi) {
        return MStatus::kInvalidParameter;
    }
    scene::Ranges& r = ranges();
    r.animationStart = lo;
    r.animationEnd = hi;
    r.minTime = std::min(std::max(r.minTime, lo), hi);
    r.maxTime = std::max(std::min(r.maxTime, hi), lo);
    return MStatus::kSuccess;
}

MStatus MAnimControl::setAnimationStartTime(const MTime& start) {
    return setAnimationStartEndTime(start, scene::fromSeconds(ranges().animationEnd));
}

MStatus MAnimControl::setAnimationEndTime(const MTime& end) {
    return setAnimationStartEndTime(scene::fromSeconds(ranges().animationStart), end);
}

MStatus MAnimControl::setCurrentTime(const MTime& when) {
    double t = scene::toSeconds(when);
    if (!std::isfinite(t)) {
        return MStatus::kInvalidParameter;
    }
    ranges().currentTime = t;
    return MStatus::kSuccess;
}
