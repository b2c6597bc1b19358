// Attribute definitions and the built-in node types.

#include "scene/model.h"

namespace scene {
namespace {

std::vector<std::unique_ptr<AttrDef>>& attributeArena() {
    static std::vector<std::unique_ptr<AttrDef>> arena;
    return arena;
}

AttrId leaf(const char* longName, const char* shortName, AttrType type, double def = 0.0) {
    AttrDef d;
    d.longName = longName;
    d.shortName = shortName;
    d.type = type;
    d.defaultValue = def;
    return newAttribute(std::move(d));
}

// A compound of three children named long+X/Y/Z and short+x/y/z.
AttrId triple(const char* longName, const char* shortName, AttrType type, double def, AttrId* x,
              AttrId* y, AttrId* z, bool writable = true) {
    AttrDef parent;
    parent.longName = longName;
    parent.shortName = shortName;
    parent.type = AttrType::Compound;
    parent.writable = writable;
    AttrId p = newAttribute(std::move(parent));
    AttrId* out[3] = {x, y, z};
    const char* axes[3] = {"X", "Y", "Z"};
    const char* small[3] = {"x", "y", "z"};
    for (int i = 0; i < 3; ++i) {
        AttrDef child;
        child.longName = std::string(longName) + axes[i];
        child.shortName = std::string(shortName) + small[i];
        child.type = type;
        child.defaultValue = def;
        child.parent = p;
        child.writable = writable;
        *out[i] = newAttribute(std::move(child));
        attribute(p)->children.push_back(*out[i]);
    }
    return p;
}

BuiltinAttrs makeBuiltinAttrs() {
    BuiltinAttrs a{};
    a.translate = triple("translate", "t", AttrType::Distance, 0.0, &a.translateX, &a.translateY,
                         &a.translateZ);
    a.rotate = triple("rotate", "r", AttrType::Angle, 0.0, &a.rotateX, &a.rotateY, &a.rotateZ);
    a.scale = triple("scale", "s", AttrType::Unitless, 1.0, &a.scaleX, &a.scaleY, &a.scaleZ);
    a.visibility = leaf("visibility", "v", AttrType::Bool, 1.0);
    a.curveOutput = leaf("output", "o", AttrType::Unitless);
    attribute(a.curveOutput)->writable = false;
    a.constraintTranslate =
        triple("constraintTranslate", "ct", AttrType::Distance, 0.0, &a.constraintTranslateX,
               &a.constraintTranslateY, &a.constraintTranslateZ, false);
    a.constraintRotate =
        triple("constraintRotate", "cr", AttrType::Angle, 0.0, &a.constraintRotateX,
               &a.constraintRotateY, &a.constraintRotateZ, false);
    return a;
}

void appendTree(std::vector<AttrId>* list, AttrId id) {
    list->push_back(id);
    for (AttrId c : attribute(id)->children) {
        appendTree(list, c);
    }
}

std::vector<AttrId> transformAttributes() {
    const BuiltinAttrs& a = builtinAttrs();
    std::vector<AttrId> list;
    appendTree(&list, a.translate);
    appendTree(&list, a.rotate);
    appendTree(&list, a.scale);
    appendTree(&list, a.visibility);
    return list;
}

NodeType makeType(const char* name, Kind kind, MFn::Type api, std::vector<AttrId> attrs) {
    NodeType t;
    t.name = name;
    t.kind = kind;
    t.apiType = api;
    t.attributes = std::move(attrs);
    return t;
}

struct Builtins {
    NodeType world, transform, mesh, pointConstraint, orientConstraint;
    NodeType curves[4];
};

const Builtins& builtins() {
    static const Builtins b = [] {
        const BuiltinAttrs& a = builtinAttrs();
        Builtins out;
        out.world = makeType("world", Kind::World, MFn::kWorld, {});
        out.transform =
            makeType("transform", Kind::Transform, MFn::kTransform, transformAttributes());
        out.mesh = makeType("mesh", Kind::Mesh, MFn::kMesh, {a.visibility});
        std::vector<AttrId> point = transformAttributes();
        appendTree(&point, a.constraintTranslate);
        out.pointConstraint =
            makeType("pointConstraint", Kind::PointConstraint, MFn::kPointConstraint, point);
        std::vector<AttrId> orient = transformAttributes();
        appendTree(&orient, a.constraintRotate);
        out.orientConstraint =
            makeType("orientConstraint", Kind::OrientConstraint, MFn::kOrientConstraint, orient);
        const char* names[4] = {"animCurveTA", "animCurveTL", "animCurveTT", "animCurveTU"};
        const MFn::Type apis[4] = {MFn::kAnimCurveTimeToAngular, MFn::kAnimCurveTimeToDistance,
                                   MFn::kAnimCurveTimeToTime, MFn::kAnimCurveTimeToUnitless};
        for (int i = 0; i < 4; ++i) {
            out.curves[i] = makeType(names[i], Kind::AnimCurve, apis[i], {a.curveOutput});
        }
        return out;
    }();
    return b;
}

}  // namespace

AttrId newAttribute(AttrDef def) {
    auto& arena = attributeArena();
    arena.push_back(std::make_unique<AttrDef>(std::move(def)));
    return static_cast<AttrId>(arena.size() - 1);
}

AttrDef* attribute(AttrId id) {
    auto& arena = attributeArena();
    if (id < 0 || static_cast<size_t>(id) >= arena.size()) {
        return nullptr;
    }
    return arena[static_cast<size_t>(id)].get();
}

const BuiltinAttrs& builtinAttrs() {
    static const BuiltinAttrs attrs = makeBuiltinAttrs();
    return attrs;
}

const NodeType& builtinType(Kind kind, CurveType curve) {
    const Builtins& b = builtins();
    switch (kind) {
        case Kind::World:
            return b.world;
        case Kind::Mesh:
            return b.mesh;
        case Kind::PointConstraint:
            return b.pointConstraint;
        case Kind::OrientConstraint:
            return b.orientConstraint;
        case Kind::AnimCurve:
            return b.curves[static_cast<int>(curve)];
        default:
            return b.transform;
    }
}

std::vector<const NodeType*> builtinTypes() {
    const Builtins& b = builtins();
    return {&b.transform, &b.mesh,      &b.pointConstraint, &b.orientConstraint,
            &b.curves[0], &b.curves[1], &b.curves[2],       &b.curves[3]};
}

}  // namespace scene
