// MEL commands that make geometry and constraints: polyCube, pointConstraint,
// orientConstraint.

#include <cctype>

#include "mel/scene/common.h"

namespace mel {
namespace scenecmd {
namespace {

scene::Scene& S() {
    return scene::theScene();
}

// "pCube1" -> "pCubeShape1", "Rot_Hips" -> "Rot_HipsShape".
std::string shapeNameFor(const std::string& transform) {
    size_t digits = transform.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(transform[digits - 1]))) {
        --digits;
    }
    return transform.substr(0, digits) + "Shape" + transform.substr(digits);
}

bool readDimension(const ArgReader& args, const char* flag, double* cm, std::string* error) {
    double ui = 1.0;
    if (args.has(flag) && !number("polyCube", args.value(flag), &ui, error)) {
        return false;
    }
    if (ui <= 0) {
        *error = std::string("polyCube: -") + flag + " must be positive";
        return false;
    }
    *cm = fromUi(scene::AttrType::Distance, ui);
    return true;
}

// Only what this host models: one subdivision per side, the Y axis, no history.
std::string unsupportedCubeOptions(const ArgReader& args) {
    for (const char* f : {"sx", "sy", "sz"}) {
        if (args.has(f) && args.value(f) != "1") {
            return std::string("polyCube: only -") + f + " 1 is supported by this host";
        }
    }
    if (args.has("ax")) {
        auto ax = args.values("ax");
        double x = 0, y = 0, z = 0;
        if (!parseDouble(ax[0], &x) || !parseDouble(ax[1], &y) || !parseDouble(ax[2], &z) ||
            x != 0 || y <= 0 || z != 0) {
            return "polyCube: only -axis 0 1 0 is supported by this host";
        }
    }
    if (args.has("ch") && args.value("ch") != "0" && args.value("ch") != "false" &&
        args.value("ch") != "off") {
        return "polyCube: construction history is not supported by this host (use -ch 0)";
    }
    return "";
}

Outcome runPolyCube(const Call& call) {
    ArgReader args(call, {{"w", "width", 1},
                          {"h", "height", 1},
                          {"d", "depth", 1},
                          {"sx", "subdivisionsX", 1},
                          {"sy", "subdivisionsY", 1},
                          {"sz", "subdivisionsZ", 1},
                          {"ax", "axis", 3},
                          {"tx", "texture", 1},
                          {"ch", "constructionHistory", 1},
                          {"n", "name", 1}});
    if (!args.ok()) {
        return args.failure();
    }
    if (!args.positional().empty()) {
        return Outcome::fail("polyCube: unexpected argument: " + args.positional()[0]);
    }
    std::string error = unsupportedCubeOptions(args);
    double w = 0, h = 0, d = 0;
    if (!error.empty() || !readDimension(args, "w", &w, &error) ||
        !readDimension(args, "h", &h, &error) || !readDimension(args, "d", &d, &error)) {
        return Outcome::fail(error);
    }
    std::string requested = args.has("n") ? args.value("n") : "pCube1";
    if (scene::validName(requested).empty()) {
        return Outcome::fail("polyCube: invalid name: " + requested);
    }
    scene::Node* transform =
        S().createNode(scene::builtinType(scene::Kind::Transform), requested, nullptr);
    scene::Node* mesh = S().createNode(scene::builtinType(scene::Kind::Mesh),
                                       shapeNameFor(transform->name), transform);
    for (int i = 0; i < 8; ++i) {
        mesh->points.push_back(
            {(i & 1 ? 0.5 : -0.5) * w, (i & 2 ? 0.5 : -0.5) * h, (i & 4 ? 0.5 : -0.5) * d});
    }
    S().selection().assign(1, transform->id);
    return Outcome::ok({transform->name});
}

Outcome runConstraint(const Call& call, scene::Kind kind) {
    ArgReader args(call, {{"n", "name", 1}, {"w", "weight", 1}, {"mo", "maintainOffset", 0}});
    if (!args.ok()) {
        return args.failure();
    }
    if (args.has("mo")) {
        return Outcome::fail(call.command + ": -maintainOffset is not supported by this host");
    }
    double weight = 1;
    std::string error;
    if (args.has("w") && (!number(call.command, args.value("w"), &weight, &error) || weight != 1)) {
        return Outcome::fail(error.empty() ? call.command + ": only weight 1 is supported" : error);
    }
    std::vector<scene::Node*> objects = objectsOrSelection(args.positional(), &error);
    if (!error.empty()) {
        return Outcome::fail(error);
    }
    if (objects.size() < 2) {
        return Outcome::fail(call.command + ": Not enough objects or values.");
    }
    scene::Node* constrained = objects.back();
    objects.pop_back();
    scene::Node* node = S().createConstraint(kind, objects, constrained, args.value("n"), &error);
    if (node == nullptr) {
        return Outcome::fail(call.command + ": " + error);
    }
    return Outcome::ok({node->name});
}

Outcome runPointConstraint(const Call& call) {
    return runConstraint(call, scene::Kind::PointConstraint);
}

Outcome runOrientConstraint(const Call& call) {
    return runConstraint(call, scene::Kind::OrientConstraint);
}

RegisterBuiltin registerPolyCube("polyCube", &runPolyCube);
RegisterBuiltin registerPointConstraint("pointConstraint", &runPointConstraint);
RegisterBuiltin registerOrientConstraint("orientConstraint", &runOrientConstraint);

}  // namespace
}  // namespace scenecmd
}  // namespace mel
